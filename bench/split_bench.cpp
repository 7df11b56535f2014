// Prints how fast the split is: the engine against one pass per pair, and the whole
// command-line splitter against one plain iconv pass over the same file, with the peak
// memory of each, on dense real text (the Tang poems of Debian's fortunes-zh, else the
// prose sample given) repeated to 10 MB and to 1 GB: one job on 10 MB with the shipped
// table, all cores on 1 GB with it, and one job on 10 MB with a 20,000-pair table. Figures
// and ratios only; it never fails because a machine is slow. Also one 32 MB line, from the
// file and through a pipe.
//   split_bench SPLITTER SHIPPED_TABLE PROSE_SAMPLE
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "substitution/split.h"
#include "substitution/text_codec.h"
#include "tests/reference/reference_split.h"

namespace {

using namespace mardovane;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kPairs = 20000;
constexpr char16_t kFirstFind = u'\u4E00';
// Replacements come from the characters after the last one found, so one split is one
// level, as with a real table.
constexpr char16_t kFirstComponent = kFirstFind + kPairs;
constexpr char16_t kLastCjk = u'\u9FA5';

KeywordTable make_table(std::mt19937& random) {
    std::uniform_int_distribution<int> component(kFirstComponent, kLastCjk);
    KeywordTable table;
    for (std::size_t i = 0; i < kPairs; ++i) {
        table.append_line(std::u16string(1, static_cast<char16_t>(kFirstFind + i)));
        table.append_line(std::u16string{static_cast<char16_t>(component(random)),
                                         static_cast<char16_t>(component(random))});
    }
    return table;
}

// Chinese-looking text of about `bytes` bytes in UTF-8: common characters, punctuation
// and a line break now and then.
std::u16string make_text(std::mt19937& random, std::size_t bytes) {
    std::uniform_int_distribution<int> character(kFirstFind, kLastCjk);
    std::uniform_int_distribution<int> roll(0, 99);
    std::u16string text;
    text.reserve(bytes / 3);
    for (std::size_t size = 0; size < bytes; size += 3) {
        const int r = roll(random);
        text += r < 4 ? u'，' : r < 6 ? u'。' : static_cast<char16_t>(character(random));
        if (r == 99) {
            text += u"\r\n";
        }
    }
    return text;
}

double seconds(const std::function<void()>& work, int repeats = 1) {
    double best = 1e100;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

struct Measured {
    double seconds = 0;
    double peak_mb = 0;  // the command's largest resident set; 0 without GNU time
};

// Where the commands' output goes: a null device of the benchmark's own where it may make
// one (as root), else a file in its folder, emptied after each run.
std::string output_sink(const std::filesystem::path& folder) {
    const std::string node = (folder / "null").string();
    if (std::system(("mknod " + node + " c 1 3 2>/dev/null").c_str()) == 0) {
        return node;
    }
    return (folder / "output").string();
}

// Runs a shell command once: its time, and its peak memory as GNU time reports it (a
// forked child starts with its parent's peak, so the benchmark's own would hide a smaller
// one).
Measured run_measured(const std::string& command, const std::string& sink) {
    const auto report = std::filesystem::temp_directory_path() / "mardovane-bench-peak";
    const bool has_time = std::filesystem::exists("/usr/bin/time");
    const std::string measured =
        (has_time ? "/usr/bin/time -f %M -o " + report.string() + " " : std::string()) + command +
        " > " + sink;
    const auto start = Clock::now();
    const int status = std::system(measured.c_str());
    Measured result;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "command failed: %s\n", command.c_str());
    }
    std::ifstream peak(report);
    double kilobytes = 0;
    peak >> kilobytes;
    result.peak_mb = kilobytes / 1024.0;
    if (std::filesystem::is_regular_file(sink)) {
        std::filesystem::resize_file(sink, 0);
    }
    std::filesystem::remove(report);
    return result;
}

// The best of `repeats` runs of each command, taken in turns, so that a moment when the
// machine is slow falls on both alike.
std::pair<Measured, Measured> best_in_turns(const std::string& first, const std::string& second,
                                            const std::string& sink, int repeats) {
    std::pair<Measured, Measured> best{{1e100, 0}, {1e100, 0}};
    for (int i = 0; i < repeats; ++i) {
        for (auto [command, kept] : {std::pair{&first, &best.first}, {&second, &best.second}}) {
            const Measured run = run_measured(*command, sink);
            kept->seconds = std::min(kept->seconds, run.seconds);
            kept->peak_mb = run.peak_mb;
        }
    }
    return best;
}

std::size_t file_size(const std::string& path) {
    return static_cast<std::size_t>(std::filesystem::file_size(path));
}

void compare_with_iconv(const char* what, const std::string& splitter, const std::string& input,
                        const std::string& sink, double aim, double memory_aim_mb = 0) {
    const int repeats = file_size(input) > 100'000'000 ? 2 : 11;
    const auto [split, iconv] =
        best_in_turns(splitter + " " + input, "iconv -f UTF-8 -t UTF-16LE " + input, sink, repeats);
    std::printf("%.1f MB, %s:\n", static_cast<double>(file_size(input)) / 1e6, what);
    std::printf("  mardovane-split:       %8.3f s, peak %7.1f MB\n", split.seconds, split.peak_mb);
    std::printf("  iconv UTF-8 to UTF-16: %8.3f s, peak %7.1f MB\n", iconv.seconds, iconv.peak_mb);
    std::printf("  splitter vs iconv: %.2fx the time (aim: at most %.2fx)",
                split.seconds / iconv.seconds, aim);
    if (memory_aim_mb > 0) {
        std::printf(", peak memory aim: at most %.0f MB", memory_aim_mb);
    }
    std::printf("\n");
}

// Dense real text: the Tang poems without the terminal colours and the fortune separators.
std::string tang_poems() {
    std::ifstream file("/usr/share/games/fortunes/tang300", std::ios::binary);
    std::string text;
    for (std::string line; std::getline(file, line);) {
        std::string plain;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\x1b') {
                i = line.find('m', i);
                if (i == std::string::npos) {
                    break;
                }
                continue;
            }
            plain += line[i];
        }
        if (plain != "%") {
            text += plain + "\n";
        }
    }
    return text;
}

// `sample` repeated to about `bytes` in a file.
void write_repeated(const std::filesystem::path& path, const std::string& sample,
                    std::size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t written = 0; written < bytes && !sample.empty(); written += sample.size()) {
        out.write(sample.data(), static_cast<std::streamsize>(sample.size()));
    }
}

template <typename T>
void write_file(const std::filesystem::path& path, const T& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string splitter = argc > 1 ? argv[1] : "mardovane-split";
    std::mt19937 random(20110101);
    const KeywordTable table = make_table(random);
    const std::u16string text_1mb = make_text(random, 1'000'000);
    const std::u16string text_10mb = make_text(random, 10'000'000);

    std::printf("table: %zu single-character pairs\n", table.pair_count());
    std::u16string fast_result;
    const double engine_1mb =
        seconds([&] { fast_result = std::get<0>(split(text_1mb, table)); }, 5);
    const double engine_10mb = seconds([&] { (void)split(text_10mb, table); }, 3);
    std::optional<testing::ReferenceSplit> slow;
    const double reference_1mb =
        seconds([&] { slow = testing::reference_split(text_1mb, table, kMaxResultLength); });
    std::printf("engine     1 MB: %9.4f s (plan and split)\n", engine_1mb);
    std::printf("engine    10 MB: %9.4f s\n", engine_10mb);
    std::printf("reference  1 MB: %9.4f s (one pass per pair)%s\n", reference_1mb,
                slow && slow->text == fast_result ? "" : "  RESULTS DIFFER");
    std::printf("engine vs reference on 1 MB: %.0fx faster (target: at least 300x)\n",
                reference_1mb / engine_1mb);

    const auto folder = std::filesystem::temp_directory_path() / "mardovane-bench";
    std::filesystem::create_directories(folder);
    write_file(folder / "keyword.info", std::get<std::string>(encode_gbk([&] {
                   std::u16string joined;
                   for (std::size_t i = 0; i < table.line_count(); ++i) {
                       joined += table.line(i);
                       joined += u"\r\n";
                   }
                   return joined;
               }())));
    const std::string keywords = (folder / "keyword.info").string();
    const std::string sink = output_sink(folder);

    std::string sample = tang_poems();
    const char* source = "the Tang poems of fortunes-zh";
    if (sample.empty() && argc > 3) {
        std::ifstream prose_file(argv[3], std::ios::binary);
        sample.assign(std::istreambuf_iterator<char>(prose_file), {});
        source = "the prose sample (install fortunes-zh for the Tang poems)";
    }
    if (sample.empty() || argc < 3) {
        std::printf("no text to split: split_bench SPLITTER SHIPPED_TABLE PROSE_SAMPLE\n");
        return 0;
    }
    std::printf("text: %s, %zu bytes, repeated\n", source, sample.size());
    const auto ten = folder / "text-10mb.txt";
    const auto big = folder / "text-1gb.txt";
    write_repeated(ten, sample, 10'000'000);
    const std::string shipped = splitter + " --keywords " + argv[2];
    compare_with_iconv("one job, the shipped table", shipped + " --jobs 1", ten.string(), sink,
                       1.0);
    compare_with_iconv("one job, 20,000 random pairs",
                       splitter + " --jobs 1 --keywords " + keywords, ten.string(), sink, 1.5);
    // One long line from the file and through a pipe: a pipe hands it over in many small
    // reads, each of which must cost its own bytes only.
    const auto line = folder / "line-32mb.txt";
    write_file(line, std::string(32 << 20, 'a') + "\n");
    const auto [from_file, through_pipe] = best_in_turns(
        shipped + " " + line.string(), "cat " + line.string() + " | " + shipped, sink, 5);
    std::printf(
        "a 32 MB line:\n  from the file:  %8.3f s\n  through a pipe: %8.3f s\n"
        "  pipe vs file: %.2fx the time\n",
        from_file.seconds, through_pipe.seconds, through_pipe.seconds / from_file.seconds);
    std::filesystem::remove(line);
    write_repeated(big, sample, 1'000'000'000);
    compare_with_iconv("all cores, the shipped table", shipped, big.string(), sink, 0.75, 64);
    std::filesystem::remove_all(folder);
    return 0;
}
