#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace mardovane {

// Why the folder of the running executable could not be found, in English.
struct ProgramDirectoryError {
    std::string message;
};

using ProgramDirectory = std::variant<std::filesystem::path, ProgramDirectoryError>;

// The folder of the running executable, with symbolic links resolved, so that a link to
// the program (as on PATH) still finds the files beside the real executable.
[[nodiscard]] ProgramDirectory program_directory();

}  // namespace mardovane
