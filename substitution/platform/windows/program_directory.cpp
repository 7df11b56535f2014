#include "substitution/program_directory.h"

#include <windows.h>

#include <string>

namespace mardovane {

ProgramDirectory program_directory() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return ProgramDirectoryError{"cannot find the program's folder: error " +
                                         std::to_string(GetLastError())};
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);  // the path was cut off
    }
}

}  // namespace mardovane
