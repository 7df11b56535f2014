#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/block_workers.h"
#include "cli/exit_status.h"

// The splitter's options and figures, written once: --help is made from them, and a test
// holds the manual page and the README to them.
namespace mardovane::cli {

enum class OptionId { Keywords, Times, Output, Jobs, Check, Help, Version };

struct OptionSpec {
    OptionId id;
    const char* long_name;
    char short_name;         // 0: none
    const char* value_name;  // nullptr: takes no value
    const char* help;        // one line
    const char* more;        // nullptr, or a second line of help
};

inline constexpr std::array<OptionSpec, 7> kOptionTable = {{
    {OptionId::Keywords, "keywords", 0, "FILE",
     "the keyword file (default: keyword.info beside this program)", "(a file, a FIFO or <(...))"},
    {OptionId::Times, "times", 0, "N",
     "split N times, like N clicks of the split button (default 1)",
     "(0 copies the text as it is)"},
    {OptionId::Output, "output", 'o', "FILE",
     "write to FILE, replacing it only once the whole result is there",
     "(a device or FIFO is written directly; - is standard output)"},
    {OptionId::Jobs, "jobs", 'j', "N", "split on N threads (default: one a core)", nullptr},
    {OptionId::Check, "check", 0, nullptr, "only load the keyword file and summarise it", nullptr},
    {OptionId::Help, "help", 'h', nullptr, "show this help", nullptr},
    {OptionId::Version, "version", 'V', nullptr, "show the version", nullptr},
}};

struct ExitStatusSpec {
    int status;
    const char* meaning;
};

inline constexpr std::array<ExitStatusSpec, 9> kExitStatusTable = {{
    {kDone, "done"},
    {kBadUsage, "bad usage (or output appended to the input file)"},
    {kKeywordFileFailed, "keyword file not loaded"},
    {kInputFailed, "input unreadable or not UTF-8"},
    {kResultTooLarge, "a line or its split over the size limit"},
    {kOutputFailed, "output not written"},
    {kOutOfMemory, "out of memory"},
    {kThreadsUnavailable, "the threads asked for cannot be started"},
    {kInternalError, "an internal error of mardovane-split"},
}};

// The figures users are told, in the words they are told in: "512 KiB" and the like.
std::string block_size_text();
std::string piece_size_text();
std::string held_size_text();
std::string size_limit_text();

// What --help prints.
std::string usage_text();

}  // namespace mardovane::cli
