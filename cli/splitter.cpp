#include "cli/splitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "cli/option_table.h"
#include "cli/options.h"
#include "cli/output_file.h"
#include "cli/stream_split.h"
#include "cli/system_io.h"
#include "substitution/keyword_file.h"
#include "substitution/paths.h"
#include "substitution/split.h"

#ifndef MARDOVANE_VERSION
#error "the build sets MARDOVANE_VERSION"
#endif

namespace mardovane::cli {
namespace {

// "1 line", "2 lines".
std::string count_of(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string summarise(const std::filesystem::path& path, const KeywordTable& table) {
    std::size_t empty_finds = 0;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        empty_finds += table.find_text(pair).empty() ? 1 : 0;
    }
    return display_path(path) + ": " + count_of(table.line_count(), "line", "lines") + ", " +
           count_of(table.pair_count(), "pair", "pairs") + ", " +
           count_of(empty_finds, "empty text to find", "empty texts to find") + ", " +
           (table.has_unpaired_last_line() ? "an unpaired last line (ignored)"
                                           : "no unpaired last line") +
           "\n";
}

class Run {
  public:
    Run(std::istream& in, std::ostream& out, std::ostream& err) : in_(in), out_(out), err_(err) {}

    int fail(int status, const std::string& message) {
        warn(message);
        return status;
    }
    void warn(const std::string& message) { err_ << "mardovane-split: " << message << '\n'; }

    int print(std::string_view text) {
        out_ << text;
        out_.flush();
        return out_ ? kDone
                    : fail(kOutputFailed, "standard output: cannot write the output" +
                                              failure_reason(out_.rdbuf()));
    }

    int run(const Options& options, const ProgramDirectory& program_directory) {
        if (options.help) {
            return print(usage_text());
        }
        if (options.version) {
            return print("mardovane-split " MARDOVANE_VERSION "\n");
        }
        std::filesystem::path keywords;
        if (options.keywords) {
            keywords = *options.keywords;
        } else if (const auto* folder = std::get_if<std::filesystem::path>(&program_directory)) {
            keywords = keyword_file_path(*folder);
        } else {
            return fail(kKeywordFileFailed,
                        std::get<ProgramDirectoryError>(program_directory).message +
                            "; name the keyword file with --keywords");
        }
        // A table named on purpose may come down a pipe (--keywords <(...)), as the text may.
        auto loaded = load_keyword_file(
            keywords, options.keywords ? FileKinds::PipesToo : FileKinds::RegularOnly);
        if (const auto* error = std::get_if<FileError>(&loaded)) {
            return fail(kKeywordFileFailed, describe(*error));
        }
        const KeywordTable& table = std::get<KeywordTable>(loaded);
        if (options.check) {
            return print(summarise(keywords, table));
        }
        if (table.has_unpaired_last_line()) {
            warn(one_line_path(keywords) + ":" + std::to_string(table.line_count()) +
                 ": the last line has no line after it to replace it with, and is ignored");
        }
        const SplitPlan plan(std::move(std::get<KeywordTable>(loaded)));
        return split(options, plan);
    }

  private:
    int split(const Options& options, const SplitPlan& plan) {
        const bool from_file = options.input && *options.input != std::filesystem::path("-");
        FileDescriptor input_file;
        std::optional<FdInputBuffer> file_buffer;
        std::optional<std::istream> file_stream;
        if (from_file) {
            auto opened = open_input_file(*options.input);
            if (const auto* error = std::get_if<FileError>(&opened)) {
                return fail(kInputFailed, describe_input(*error));
            }
            input_file = std::move(std::get<FileDescriptor>(opened));
            file_buffer.emplace(input_file.get());
            file_stream.emplace(&*file_buffer);
        }
        std::istream& in = from_file ? *file_stream : in_;
        const std::string input_name =
            from_file ? one_line_path(*options.input) : std::string("standard input");

        // A name of this process's own descriptor (/dev/stdout, /proc/self/fd/3) is
        // written through it, as -o - writes standard output: following it to the file it
        // was opened on would replace that file instead of writing where it leads.
        const bool named_output = options.output && *options.output != std::filesystem::path("-");
        const int own_descriptor = named_output ? own_descriptor_named(*options.output) : 1;
        std::optional<OutputFile> output_file;
        std::optional<FdOutputBuffer> own_buffer;
        std::optional<std::ostream> own_stream;
        if (own_descriptor < 0) {
            output_file.emplace(*options.output);
            if (!output_file->open_error().empty()) {
                return fail(kOutputFailed, output_file->open_error());
            }
        } else if (own_descriptor != 1) {
            own_buffer.emplace(own_descriptor);
            own_stream.emplace(&*own_buffer);
        }
        std::ostream& out = output_file ? output_file->stream() : own_stream ? *own_stream : out_;
        const std::string output_name =
            named_output ? one_line_path(*options.output) : std::string("standard output");
        if (!output_file && reads_what_it_writes(in, out)) {
            // `mardovane-split f >> f` would read its own output until the disk is full.
            return fail(kBadUsage, input_name + ": input file is output file");
        }
        StreamSettings settings;
        settings.times = options.times;
        settings.jobs =
            options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
        if (auto failure = split_stream(in, input_name, out, output_name, plan, settings)) {
            return fail(failure->status, failure->message);
        }
        if (output_file) {
            std::string warning;
            if (const std::string error = output_file->commit(warning); !error.empty()) {
                return fail(kOutputFailed, error);
            }
            if (!warning.empty()) {
                warn(warning);
            }
            return kDone;
        }
        out.flush();
        return out ? kDone
                   : fail(kOutputFailed,
                          output_name + ": cannot write the output" + failure_reason(out.rdbuf()));
    }

    static bool reads_what_it_writes(std::istream& in, std::ostream& out) {
        const auto* reading = dynamic_cast<const FdInputBuffer*>(in.rdbuf());
        const auto* writing = dynamic_cast<const FdOutputBuffer*>(out.rdbuf());
        return reading != nullptr && writing != nullptr &&
               same_regular_file(reading->fd(), writing->fd());
    }

    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace

int run_splitter(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                 std::ostream& err, const ProgramDirectory& program_directory) {
    Run run(in, out, err);
    auto parsed = parse_arguments(arguments);
    if (const auto* complaint = std::get_if<std::string>(&parsed)) {
        return run.fail(kBadUsage, *complaint + " (see --help)");
    }
    try {
        return run.run(std::get<Options>(parsed), program_directory);
    } catch (const std::bad_alloc&) {
        return run.fail(kOutOfMemory, "out of memory");
    } catch (const std::length_error&) {  // a string asked to grow past what it can hold
        return run.fail(kOutOfMemory, "out of memory");
    } catch (const std::system_error& error) {
        if (error.code() == std::errc::resource_unavailable_try_again) {
            return run.fail(kThreadsUnavailable,
                            std::string("cannot start a thread: ") + error.code().message());
        }
        return run.fail(kInternalError,
                        std::string("internal error (please report it): ") + error.what());
    } catch (const std::exception& error) {
        return run.fail(kInternalError,
                        std::string("internal error (please report it): ") + error.what());
    }
}

}  // namespace mardovane::cli
