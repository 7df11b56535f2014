#include "cli/option_table.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "cli/block_split.h"
#include "cli/stream_split.h"
#include "substitution/split.h"

namespace mardovane::cli {
namespace {

std::string size_text(std::size_t bytes) {
    constexpr std::size_t kKi = 1024;
    if (bytes % (kKi * kKi) == 0) {
        return std::to_string(bytes / (kKi * kKi)) + " MiB";
    }
    return std::to_string(bytes / kKi) + " KiB";
}

// Fills lines up to `width` columns with the words of `paragraph`.
std::string wrapped(const std::string& paragraph, std::size_t width = 88) {
    std::string text;
    std::size_t line = 0;
    std::size_t at = 0;
    while (at < paragraph.size()) {
        const std::size_t space = std::min(paragraph.find(' ', at), paragraph.size());
        const std::string word = paragraph.substr(at, space - at);
        if (line != 0 && line + 1 + word.size() > width) {
            text += '\n';
            line = 0;
        } else if (line != 0) {
            text += ' ';
            ++line;
        }
        text += word;
        line += word.size();
        at = space + 1;
    }
    return text + "\n";
}

// The parts one after another (chains of + on strings make GCC 12 warn wrongly).
std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text += part;
    }
    return text;
}

}  // namespace

std::string block_size_text() {
    return size_text(kBlockBytes);
}

std::string piece_size_text() {
    return size_text(kPieceUnits * sizeof(char16_t));
}

std::string held_size_text() {
    return size_text(kHeldBytes);
}

std::string size_limit_text() {
    return std::to_string(kMaxResultLength >> 20) + " Mi UTF-16 code units";
}

std::string usage_text() {
    std::string text =
        "Usage: mardovane-split [OPTION]... [FILE]\n"
        "Splits the Chinese characters of UTF-8 text from FILE (or standard input, also named\n"
        "by -) with the pairs of a keyword file, and writes the UTF-8 result to standard "
        "output.\n\n";
    constexpr std::size_t kHelpColumn = 21;
    for (const OptionSpec& entry : kOptionTable) {
        std::string names = joined({"  ", entry.short_name != 0 ? "-" : "",
                                    std::string_view(&entry.short_name, entry.short_name != 0),
                                    entry.short_name != 0 ? ", " : "", "--", entry.long_name,
                                    entry.value_name != nullptr ? "=" : "",
                                    entry.value_name != nullptr ? entry.value_name : ""});
        names.resize(std::max(names.size() + 1, kHelpColumn), ' ');
        text += joined({names, entry.help, "\n"});
        if (entry.more != nullptr) {
            text += joined({std::string(kHelpColumn, ' '), entry.more, "\n"});
        }
    }
    text += "  --                 end of the options: what follows is the input file\n\n";
    text +=
        wrapped(joined({"Options are read as getopt_long reads them: -j4, -j 4, --jobs=4 and "
                        "--jobs 4 are the same, and short options may be bundled (-hV); "
                        "a long option must be written in full (--jobs, not --job). "
                        "--jobs takes 1 to ",
                        std::to_string(kMaxJobs), "."}));
    text += '\n';
    text += wrapped(joined({"The input is read in blocks of ", block_size_text(),
                            " cut at line breaks, and the result written in pieces of about ",
                            piece_size_text(),
                            " as it comes, so that any size fits in memory; only a single line "
                            "must fit whole, and neither a line nor its split may pass ",
                            size_limit_text(), ". A result of up to ", held_size_text(),
                            " is written only once complete; on standard output, a longer one "
                            "may already have written the part before a fault."}));
    std::string statuses = "Exit status:";
    for (const ExitStatusSpec& status : kExitStatusTable) {
        statuses += joined(
            {status.status == 0 ? " " : ", ", std::to_string(status.status), " ", status.meaning});
    }
    text += '\n';
    text += wrapped(statuses + ".");
    return text;
}

}  // namespace mardovane::cli
