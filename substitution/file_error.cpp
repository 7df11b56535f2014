#include "substitution/file_error.h"

#include "substitution/paths.h"

#include <cerrno>
#include <cstring>

namespace mardovane {

FileError file_error_from_errno(int error, std::filesystem::path path) {
    const bool missing = error == ENOENT || error == ENOTDIR;
    return file_error(missing ? FileProblem::Missing : FileProblem::Unreadable, std::move(path),
                      std::strerror(error));
}

std::string describe(const FileError& error, std::string_view what_file) {
    const std::string file = one_line_path(error.path);
    const std::string what(what_file);
    switch (error.problem) {
        case FileProblem::Missing:
            return file + ": " + what + " does not exist";
        case FileProblem::NotRegularFile:
            return file + ": " + what + " is not a regular file";
        case FileProblem::Unreadable:
            return file + ": " + what + " cannot be read" +
                   (error.system_message.empty() ? "" : ": " + error.system_message);
        case FileProblem::InvalidEncoding:
            break;
    }
    const std::string where = file + ":" + std::to_string(error.line) + ": ";
    const std::string name(encoding_name(error.encoding));
    const std::string offset = " at byte offset " + std::to_string(error.decode.byte_offset);
    if (error.decode.reason == DecodeError::Reason::Truncated) {
        return where + name + " byte sequence cut off by the end" + offset;
    }
    return where + "invalid " + name + " byte sequence" + offset;
}

}  // namespace mardovane
