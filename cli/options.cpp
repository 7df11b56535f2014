#include "cli/options.h"

#include <charconv>
#include <string_view>

#include "cli/block_workers.h"
#include "substitution/paths.h"

namespace mardovane::cli {
namespace {

template <typename Number>
bool parse_number(const std::string& text, Number& number) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

std::variant<Options, std::string> parse_arguments(const std::vector<std::string>& arguments) {
    Options options;
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!options_ended && argument == "--") {
            options_ended = true;
            continue;
        }
        const bool is_option = !options_ended && argument.size() > 1 && argument[0] == '-';
        if (!is_option) {
            if (options.input) {
                return std::string("only one input file may be given");
            }
            options.input = path_from_utf8(argument);
            continue;
        }
        const bool takes_value = argument == "--keywords" || argument == "--times" ||
                                 argument == "--jobs" || argument == "--output" || argument == "-o";
        if (takes_value && i + 1 == arguments.size()) {
            return argument + " needs a value";
        }
        if (argument == "--keywords" || argument == "--output" || argument == "-o") {
            const std::string& value = arguments[++i];
            if (value.empty()) {
                return argument + " needs a file name, not an empty one";
            }
            (argument == "--keywords" ? options.keywords : options.output) = path_from_utf8(value);
        } else if (argument == "--times") {
            if (!parse_number(arguments[++i], options.times)) {
                return "--times takes a whole number, not '" + arguments[i] + "'";
            }
        } else if (argument == "--jobs") {
            if (!parse_number(arguments[++i], options.jobs) || options.jobs == 0 ||
                options.jobs > kMaxJobs) {
                return "--jobs takes a whole number from 1 to " + std::to_string(kMaxJobs) +
                       ", not '" + arguments[i] + "'";
            }
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else {
            return "unknown option '" + argument + "'";
        }
    }
    return options;
}

}  // namespace mardovane::cli
