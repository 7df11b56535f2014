#include "cli/splitter.h"

#include <charconv>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "substitution/file_reader.h"
#include "substitution/keyword_file.h"
#include "substitution/line_breaks.h"
#include "substitution/paths.h"
#include "substitution/split.h"
#include "substitution/text_codec.h"

namespace mardovane::cli {
namespace {

constexpr std::string_view kVersion = "1.00";
constexpr std::string_view kUsage =
    "Usage: mardovane-split [--keywords FILE] [--times N] [--check] [FILE]\n"
    "Splits the Chinese characters of UTF-8 text from FILE (or standard input) with the\n"
    "pairs of a keyword file, and writes the UTF-8 result to standard output.\n"
    "\n"
    "  --keywords FILE  the keyword file (default: keyword.info beside this program)\n"
    "  --times N        split N times, like N clicks of the split button (default 1)\n"
    "  --check          only load the keyword file and summarise it\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 done, 1 bad usage, 2 keyword file not loaded, 3 input unreadable or\n"
    "not UTF-8, 4 result over the size limit, 5 output not written.\n";

struct Options {
    std::optional<std::filesystem::path> keywords;
    unsigned long times = 1;
    bool check = false;
    bool help = false;
    bool version = false;
    std::optional<std::filesystem::path> input;
};

// Returns the options, or the complaint about them.
std::variant<Options, std::string> parse_arguments(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takes_value = argument == "--keywords" || argument == "--times";
        if (takes_value && i + 1 == arguments.size()) {
            return argument + " needs a value";
        }
        if (argument == "--keywords") {
            options.keywords = path_from_utf8(arguments[++i]);
        } else if (argument == "--times") {
            const std::string& value = arguments[++i];
            const char* end = value.data() + value.size();
            auto [stop, error] = std::from_chars(value.data(), end, options.times);
            if (value.empty() || error != std::errc() || stop != end) {
                return "--times takes a whole number, not '" + value + "'";
            }
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument.size() > 1 && argument.starts_with("-")) {
            return "unknown option '" + argument + "'";
        } else if (options.input) {
            return "only one input file may be given";
        } else {
            options.input = path_from_utf8(argument);
        }
    }
    return options;
}

std::string read_stream(std::istream& in) {
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}

std::string describe_read_error(const std::string& name, const FileReadError& error) {
    switch (error.reason) {
        case FileReadError::Reason::Missing:
            return name + ": the input file does not exist";
        case FileReadError::Reason::NotRegularFile:
            return name + ": the input is not a regular file";
        case FileReadError::Reason::Unreadable:
            break;
    }
    return name + ": the input cannot be read: " + error.system_message;
}

std::string summarise(const std::filesystem::path& path, const KeywordTable& table) {
    std::size_t empty_finds = 0;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        empty_finds += table.find_text(pair).empty() ? 1 : 0;
    }
    return display_path(path) + ": " + std::to_string(table.lines.size()) + " lines, " +
           std::to_string(table.pair_count()) + " pairs, " + std::to_string(empty_finds) +
           " empty texts to find, " +
           (table.has_unpaired_last_line() ? "an unpaired last line (ignored)"
                                           : "no unpaired last line") +
           "\n";
}

}  // namespace

int run_splitter(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                 std::ostream& err, const std::filesystem::path& program_directory) {
    const auto fail = [&err](int status, const std::string& message) {
        err << "mardovane-split: " << message << '\n';
        return status;
    };

    auto parsed = parse_arguments(arguments);
    if (const auto* complaint = std::get_if<std::string>(&parsed)) {
        return fail(kBadUsage, *complaint + " (see --help)");
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
        out << kUsage;
        return kDone;
    }
    if (options.version) {
        out << kVersion << '\n';
        return kDone;
    }

    const std::filesystem::path keywords =
        options.keywords ? *options.keywords : keyword_file_path(program_directory);
    auto loaded = load_keyword_file(keywords);
    if (const auto* error = std::get_if<KeywordFileError>(&loaded)) {
        return fail(kKeywordFileFailed, describe(*error));
    }
    const KeywordTable& table = std::get<KeywordTable>(loaded);
    if (options.check) {
        out << summarise(keywords, table);
        return out.flush() ? kDone : fail(kOutputFailed, "cannot write to standard output");
    }

    const std::string input_name = options.input ? display_path(*options.input) : "standard input";
    std::string bytes;
    if (options.input) {
        auto read = read_whole_file(*options.input);
        if (const auto* error = std::get_if<FileReadError>(&read)) {
            return fail(kInputFailed, describe_read_error(input_name, *error));
        }
        bytes = std::move(std::get<std::string>(read));
    } else {
        bytes = read_stream(in);
        if (in.bad()) {
            return fail(kInputFailed, "standard input cannot be read");
        }
    }

    auto decoded = decode(bytes, Encoding::Utf8);
    if (const auto* error = std::get_if<DecodeError>(&decoded)) {
        return fail(kInputFailed, input_name + ":" +
                                      std::to_string(line_number_at(std::string_view(bytes),
                                                                    error->byte_offset)) +
                                      ": invalid UTF-8 byte sequence at byte offset " +
                                      std::to_string(error->byte_offset));
    }
    std::u16string text = std::move(std::get<std::u16string>(decoded));

    const SplitPlan plan(table);
    for (unsigned long round = 0; round < options.times; ++round) {
        auto result = plan.apply(round + 1 < options.times ? text : std::move(text));
        if (const auto* too_large = std::get_if<ResultTooLarge>(&result)) {
            return fail(kResultTooLarge, "the result would exceed " +
                                             std::to_string(too_large->limit) +
                                             " UTF-16 code units; nothing was written");
        }
        auto& next = std::get<std::u16string>(result);
        const bool fixed_point = round + 1 < options.times && next == text;
        text = std::move(next);
        if (fixed_point) {
            break;  // further rounds would change nothing
        }
    }

    // Valid UTF-8 in, pairs from a decoded file: the text holds no unpaired surrogate.
    auto encoded = encode_utf8(text);
    if (std::holds_alternative<DecodeError>(encoded)) {
        return fail(kInputFailed, input_name + ": the result holds an unpaired surrogate");
    }
    const std::string& output = std::get<std::string>(encoded);
    out.write(output.data(), static_cast<std::streamsize>(output.size()));
    return out.flush() ? kDone : fail(kOutputFailed, "cannot write to standard output");
}

}  // namespace mardovane::cli
