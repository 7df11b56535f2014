#include "cli/options.h"

#include <getopt.h>

#include <charconv>
#include <optional>
#include <string_view>

#include "cli/block_workers.h"
#include "cli/option_table.h"
#include "substitution/paths.h"

namespace mardovane::cli {
namespace {

template <typename Number>
bool parse_number(const std::string& text, Number& number) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc() && stop == end;
}

const OptionSpec* spec_of(int code) {
    for (const OptionSpec& entry : kOptionTable) {
        if (static_cast<int>(entry.id) + 256 == code ||
            (entry.short_name != 0 && entry.short_name == code)) {
            return &entry;
        }
    }
    return nullptr;
}

// The option as the user wrote it, up to any '=', for messages.
std::string as_written(const char* element) {
    const std::string_view text(element);
    return std::string(text.substr(0, text.find('=')));
}

std::optional<std::string> take_value(const OptionSpec& entry, const std::string& written,
                                      const std::string& value, Options& options) {
    switch (entry.id) {
        case OptionId::Keywords:
        case OptionId::Output:
            if (value.empty()) {
                return written + " needs a file name, not an empty one";
            }
            (entry.id == OptionId::Keywords ? options.keywords : options.output) =
                path_from_utf8(value);
            return std::nullopt;
        case OptionId::Times:
            if (!parse_number(value, options.times)) {
                return written + " takes a whole number, not '" + value + "'";
            }
            return std::nullopt;
        case OptionId::Jobs:
            if (!parse_number(value, options.jobs) || options.jobs == 0 ||
                options.jobs > kMaxJobs) {
                return written + " takes a whole number from 1 to " + std::to_string(kMaxJobs) +
                       ", not '" + value + "'";
            }
            return std::nullopt;
        case OptionId::Check:
            options.check = true;
            return std::nullopt;
        case OptionId::Help:
            options.help = true;
            return std::nullopt;
        case OptionId::Version:
            options.version = true;
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

// With getopt_long, as other programs' options are read: bundled short options (-hV),
// values attached or apart (-j4, -j 4, --jobs=4, --jobs 4), options after the file, and
// -- to end them. Unlike getopt_long alone, a long option must be written in full: a
// shortened one could name another option once more options are added.
std::variant<Options, std::string> parse_arguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> held = {"mardovane-split"};
    held.insert(held.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : held) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(held.size());

    std::string short_options = ":";  // a missing value is told apart from an unknown option
    std::vector<option> long_options;
    for (const OptionSpec& entry : kOptionTable) {
        const int has_value = entry.value_name != nullptr ? required_argument : no_argument;
        long_options.push_back(
            {entry.long_name, has_value, nullptr, static_cast<int>(entry.id) + 256});
        if (entry.short_name != 0) {
            short_options += entry.short_name;
            if (has_value == required_argument) {
                short_options += ':';
            }
        }
    }
    long_options.push_back({nullptr, 0, nullptr, 0});

    Options options;
    opterr = 0;
    optind = 0;  // starts afresh, as every call must
    for (;;) {
        int long_index = -1;
        const int code =
            getopt_long(argc, argv.data(), short_options.c_str(), long_options.data(), &long_index);
        if (code == -1) {
            break;
        }
        // The element that held the option: the one before optind, or before its value.
        const bool value_apart = optarg != nullptr && optind >= 2 && optarg == argv[optind - 1];
        const char* element = argv[optind - (value_apart ? 2 : 1)];
        if (code == '?' || code == ':') {
            const std::string written = optopt != 0 && optopt < 256
                                            ? std::string("-") + static_cast<char>(optopt)
                                            : as_written(element);
            // glibc says '?' for a value given to an option that takes none, the BSD
            // getopt_long of MinGW-w64 says ':'; the element tells either way.
            if (std::string_view(element).starts_with("--") &&
                std::string_view(element).find('=') != std::string_view::npos) {
                if (const OptionSpec* entry = spec_of(optopt);
                    entry != nullptr && entry->value_name == nullptr &&
                    written == std::string("--") + entry->long_name) {
                    return written + " takes no value";
                }
            }
            if (code == ':') {
                return written + " needs a value";
            }
            return "unknown option '" + written + "'";
        }
        const OptionSpec* entry = spec_of(code);
        if (entry == nullptr) {
            return "unknown option '" + as_written(element) + "'";
        }
        std::string written =
            long_index >= 0 ? as_written(element) : std::string("-") + entry->short_name;
        if (long_index >= 0 && written != std::string("--") + entry->long_name) {
            return "unknown option '" + written + "'";  // shortened
        }
        if (auto complaint =
                take_value(*entry, written, optarg != nullptr ? optarg : "", options)) {
            return *complaint;
        }
    }
    for (int i = optind; i < argc; ++i) {
        if (options.input) {
            return std::string("only one input file may be given");
        }
        options.input = path_from_utf8(argv[i]);
    }
    return options;
}

}  // namespace mardovane::cli
