#pragma once

#include <filesystem>

namespace mardovane {

// The folder of the running executable, with symbolic links resolved, so that a link to
// the program (as on PATH) still finds the files beside the real executable.
std::filesystem::path program_directory();

}  // namespace mardovane
