#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace mardovane {

struct FileReadError {
    enum class Reason { Missing, NotRegularFile, Unreadable };
    Reason reason = Reason::Unreadable;
    std::string system_message;  // the system's own words, empty where there are none
};

// Opens, reads to the end and closes the file before returning, on success and on error.
std::variant<std::string, FileReadError> read_whole_file(const std::filesystem::path& path);

}  // namespace mardovane
