#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mardovane::cli {

struct Options {
    std::optional<std::filesystem::path> keywords;
    std::uint64_t times = 1;
    unsigned jobs = 0;  // 0: one a core
    bool check = false;
    bool help = false;
    bool version = false;
    std::optional<std::filesystem::path> input;   // none, or "-": standard input
    std::optional<std::filesystem::path> output;  // none: standard output
};

// The options, or the complaint about them. `-` names standard input; `--` ends the
// options, so that a file whose name starts with a dash can be given after it.
[[nodiscard]] std::variant<Options, std::string> parse_arguments(
    const std::vector<std::string>& arguments);

}  // namespace mardovane::cli
