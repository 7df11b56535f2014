#include "substitution/program_directory.h"

#include <system_error>

namespace mardovane {

ProgramDirectory program_directory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return ProgramDirectoryError{"cannot find the program's folder through /proc/self/exe: " +
                                     error.message()};
    }
    return executable.parent_path();
}

}  // namespace mardovane
