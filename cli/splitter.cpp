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

constexpr std::string_view kUsage =
    "Usage: mardovane-split [OPTION]... [FILE]\n"
    "Splits the Chinese characters of UTF-8 text from FILE (or standard input, also named\n"
    "by -) with the pairs of a keyword file, and writes the UTF-8 result to standard output.\n"
    "\n"
    "  --keywords=FILE    the keyword file (default: keyword.info beside this program)\n"
    "  --times=N          split N times, like N clicks of the split button (default 1)\n"
    "  -o, --output=FILE  write to FILE, replacing it only once the whole result is there\n"
    "                     (a device or FIFO is written directly; - is standard output)\n"
    "  -j, --jobs=N       split on N threads, 1 to 256 (default: one a core)\n"
    "  --check            only load the keyword file and summarise it\n"
    "  -h, --help         show this help\n"
    "  -V, --version      show the version\n"
    "  --                 end of the options: what follows is the input file\n"
    "\n"
    "An option's value may follow it as the next argument or after '=' (--jobs 2, --jobs=2).\n"
    "\n"
    "The input is read in blocks of a few MiB cut at line breaks, and the result written in\n"
    "pieces as it comes, so that any size fits in memory. A result of up to 4 MiB is written\n"
    "only once complete; on standard output, a longer one may already have written the\n"
    "part before a fault.\n"
    "\n"
    "Exit status: 0 done, 1 bad usage, 2 keyword file not loaded, 3 input unreadable or\n"
    "not UTF-8, 4 a line's text over the size limit after some pair, 5 output not written,\n"
    "6 out of memory, 7 threads unavailable.\n";

std::string summarise(const std::filesystem::path& path, const KeywordTable& table) {
    std::size_t empty_finds = 0;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        empty_finds += table.find_text(pair).empty() ? 1 : 0;
    }
    return display_path(path) + ": " + std::to_string(table.line_count()) + " lines, " +
           std::to_string(table.pair_count()) + " pairs, " + std::to_string(empty_finds) +
           " empty texts to find, " +
           (table.has_unpaired_last_line() ? "an unpaired last line (ignored)"
                                           : "no unpaired last line") +
           "\n";
}

class Run {
  public:
    Run(std::istream& in, std::ostream& out, std::ostream& err) : in_(in), out_(out), err_(err) {}

    int fail(int status, const std::string& message) {
        err_ << "mardovane-split: " << message << '\n';
        return status;
    }

    int print(std::string_view text) {
        out_ << text;
        out_.flush();
        return out_ ? kDone
                    : fail(kOutputFailed,
                           "cannot write to standard output" + failure_reason(out_.rdbuf()));
    }

    int run(const Options& options, const ProgramDirectory& program_directory) {
        if (options.help) {
            return print(kUsage);
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
        auto loaded = load_keyword_file(keywords);
        if (const auto* error = std::get_if<FileError>(&loaded)) {
            return fail(kKeywordFileFailed, describe(*error));
        }
        if (options.check) {
            return print(summarise(keywords, std::get<KeywordTable>(loaded)));
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
                return fail(kInputFailed, describe(*error));
            }
            input_file = std::move(std::get<FileDescriptor>(opened));
            file_buffer.emplace(input_file.get());
            file_stream.emplace(&*file_buffer);
        }
        std::istream& in = from_file ? *file_stream : in_;
        const std::string input_name =
            from_file ? one_line_path(*options.input) : std::string("standard input");

        const bool to_file = options.output && *options.output != std::filesystem::path("-");
        std::optional<OutputFile> output_file;
        if (to_file) {
            output_file.emplace(*options.output);
            if (!output_file->open_error().empty()) {
                return fail(kOutputFailed, output_file->open_error());
            }
        } else if (reads_what_it_writes(in, out_)) {
            // `mardovane-split f >> f` would read its own output until the disk is full.
            return fail(kBadUsage, input_name + ": input file is output file");
        }
        std::ostream& out = output_file ? output_file->stream() : out_;
        StreamSettings settings;
        settings.times = options.times;
        settings.jobs =
            options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
        if (auto failure = split_stream(in, input_name, out, plan, settings)) {
            return fail(failure->status, failure->message);
        }
        if (output_file) {
            std::string warning;
            if (const std::string error = output_file->commit(warning); !error.empty()) {
                return fail(kOutputFailed, error);
            }
            if (!warning.empty()) {
                err_ << "mardovane-split: " << warning << '\n';
            }
            return kDone;
        }
        return print({});  // flushes, and says if standard output failed
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
    } catch (const std::length_error&) {
        return run.fail(kOutOfMemory, "out of memory");
    } catch (const std::system_error& error) {  // no thread to be had
        return run.fail(kOutOfMemory, std::string("cannot split: ") + error.what());
    }
}

}  // namespace mardovane::cli
