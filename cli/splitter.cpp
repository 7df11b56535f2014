#include "cli/splitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "cli/options.h"
#include "cli/output_file.h"
#include "cli/stream_split.h"
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
    "  --keywords FILE    the keyword file (default: keyword.info beside this program)\n"
    "  --times N          split N times, like N clicks of the split button (default 1)\n"
    "  -o, --output FILE  write to FILE, replacing it only once the whole result is there\n"
    "  --jobs N           split on N threads (default: one a core)\n"
    "  --check            only load the keyword file and summarise it\n"
    "  --help             show this help\n"
    "  --version          show the version\n"
    "  --                 end of the options: what follows is the input file\n"
    "\n"
    "The input is read and written in blocks of a few MiB cut at line breaks, so that any\n"
    "size fits in memory. An input that fits in one block writes nothing on a failure; on\n"
    "standard output, a longer one may already have written the blocks before the fault.\n"
    "\n"
    "Exit status: 0 done, 1 bad usage, 2 keyword file not loaded, 3 input unreadable or\n"
    "not UTF-8, 4 a line's result over the size limit, 5 output not written, 6 out of\n"
    "memory.\n";

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

// Opens the input file, or says why not. FIFOs and the pipes of <(...) are read too.
std::optional<FileError> open_input(const std::filesystem::path& path, std::ifstream& file) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        return file_error(FileProblem::Missing, FileRole::Input, path);
    }
    if (std::filesystem::is_directory(status)) {
        return file_error(FileProblem::NotRegularFile, FileRole::Input, path);
    }
    file.open(path, std::ios::binary);
    if (!file) {
        return file_error(FileProblem::Unreadable, FileRole::Input, path, std::strerror(errno));
    }
    return std::nullopt;
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
        return out_ ? kDone : fail(kOutputFailed, "cannot write to standard output");
    }

    int run(const Options& options, const ProgramDirectory& program_directory) {
        if (options.help) {
            return print(kUsage);
        }
        if (options.version) {
            return print(MARDOVANE_VERSION "\n");
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
        if (const auto* error = std::get_if<KeywordFileError>(&loaded)) {
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
        std::ifstream file;
        if (from_file) {
            if (auto error = open_input(*options.input, file)) {
                return fail(kInputFailed, describe(*error));
            }
        }
        const std::string input_name =
            from_file ? one_line_path(*options.input) : std::string("standard input");

        std::optional<OutputFile> output_file;
        if (options.output) {
            output_file.emplace(*options.output);
            if (!output_file->open_error().empty()) {
                return fail(kOutputFailed, output_file->open_error());
            }
        }
        std::ostream& out = output_file ? output_file->stream() : out_;
        const unsigned jobs =
            options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
        if (auto failure =
                split_stream(from_file ? file : in_, input_name, out, plan, options.times, jobs)) {
            return fail(failure->status, failure->message);
        }
        if (output_file) {
            if (const std::string error = output_file->commit(); !error.empty()) {
                return fail(kOutputFailed, error);
            }
            return kDone;
        }
        out_.flush();
        return out_ ? kDone
                    : fail(kOutputFailed,
                           std::string("cannot write to standard output: ") + std::strerror(errno));
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
