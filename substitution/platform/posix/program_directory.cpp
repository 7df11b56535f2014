#include "substitution/program_directory.h"

namespace mardovane {

std::filesystem::path program_directory() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

}  // namespace mardovane
