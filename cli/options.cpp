#include "cli/options.h"

#include <charconv>
#include <optional>
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
        std::string argument = arguments[i];
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
        // --opt=value stands for --opt value.
        std::optional<std::string> attached;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            attached = argument.substr(equals + 1);
            argument.resize(equals);
        }
        const bool takes_value = argument == "--keywords" || argument == "--times" ||
                                 argument == "--jobs" || argument == "-j" ||
                                 argument == "--output" || argument == "-o";
        if (attached && !takes_value) {
            return argument + " takes no value";
        }
        if (takes_value && !attached && i + 1 == arguments.size()) {
            return argument + " needs a value";
        }
        const auto value = [&]() -> const std::string& {
            return attached ? *attached : arguments[++i];
        };
        if (argument == "--keywords" || argument == "--output" || argument == "-o") {
            const std::string& name = value();
            if (name.empty()) {
                return argument + " needs a file name, not an empty one";
            }
            (argument == "--keywords" ? options.keywords : options.output) = path_from_utf8(name);
        } else if (argument == "--times") {
            const std::string& number = value();
            if (!parse_number(number, options.times)) {
                return "--times takes a whole number, not '" + number + "'";
            }
        } else if (argument == "--jobs" || argument == "-j") {
            const std::string& number = value();
            if (!parse_number(number, options.jobs) || options.jobs == 0 ||
                options.jobs > kMaxJobs) {
                return argument + " takes a whole number from 1 to " + std::to_string(kMaxJobs) +
                       ", not '" + number + "'";
            }
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version" || argument == "-V") {
            options.version = true;
        } else {
            return "unknown option '" + argument + "'";
        }
    }
    return options;
}

}  // namespace mardovane::cli
