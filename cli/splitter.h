#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace mardovane::cli {

// Exit statuses of mardovane-split.
enum ExitStatus : int {
    kDone = 0,
    kBadUsage = 1,
    kKeywordFileFailed = 2,
    kInputFailed = 3,
    kResultTooLarge = 4,
    kOutputFailed = 5,
};

// The whole command-line splitter, without the process around it: `arguments` excludes
// the program name; `program_directory` is where keyword.info is looked for by default.
// On failure one line goes to `err` and nothing to `out`.
int run_splitter(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                 std::ostream& err, const std::filesystem::path& program_directory);

}  // namespace mardovane::cli
