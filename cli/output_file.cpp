#include "cli/output_file.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "substitution/paths.h"

namespace mardovane::cli {

OutputFile::OutputFile(std::filesystem::path path) : path_(std::move(path)) {
    std::random_device random;
    const std::filesystem::path name = path_.filename();
    for (int attempt = 0; attempt < 10 && temporary_.empty(); ++attempt) {
        std::filesystem::path leaf(".");
        leaf += name;
        leaf += ".mardovane-" + std::to_string(random() % 1000000);
        const std::filesystem::path candidate = path_.parent_path() / leaf;
        std::error_code ignored;
        if (!std::filesystem::exists(candidate, ignored)) {
            temporary_ = candidate;
        }
    }
    if (temporary_.empty()) {
        open_error_ = one_line_path(path_) + ": no free temporary name beside the output file";
        return;
    }
    stream_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!stream_) {
        open_error_ =
            one_line_path(temporary_) + ": cannot create the output file: " + std::strerror(errno);
        temporary_.clear();
    }
}

OutputFile::~OutputFile() {
    if (!committed_ && !temporary_.empty()) {
        stream_.close();
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

std::string OutputFile::commit() {
    stream_.flush();
    stream_.close();
    if (!stream_) {
        return one_line_path(path_) + ": cannot write the output file: " + std::strerror(errno);
    }
    std::error_code error;
    const auto existing = std::filesystem::status(path_, error);
    if (!error && std::filesystem::exists(existing)) {
        std::filesystem::permissions(temporary_, existing.permissions(), error);
    }
    std::filesystem::rename(temporary_, path_, error);
    if (error) {
        return one_line_path(path_) + ": cannot replace the output file: " + error.message();
    }
    committed_ = true;
    return {};
}

}  // namespace mardovane::cli
