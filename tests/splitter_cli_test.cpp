#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/splitter.h"
#include "substitution/paths.h"
#include "tests/temporary_directory.h"

namespace mardovane::cli {
namespace {

// 好 → 女子, 胡 → 古月, 湖 → 氵胡 (one level a click): UTF-8 with the byte-order mark, to keep the
// tests readable.
constexpr std::string_view kTable =
    "\xEF\xBB\xBF"
    "好\r\n女子\r\n胡\r\n古月\r\n湖\r\n氵胡\r\n";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class SplitterCli : public ::testing::Test {
  protected:
    SplitterCli() { folder.write("keyword.info", kTable); }

    Outcome run(std::vector<std::string> arguments, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = run_splitter(arguments, in, out, err, folder.path());
        return {status, out.str(), err.str()};
    }

    testing::TemporaryDirectory folder;
};

struct OutputCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string output;
};

TEST_F(SplitterCli, WritesTheSplitTextByteForByte) {
    const std::vector<OutputCase> cases = {
        {"one split", {}, "你好", "你女子"},
        {"line breaks of every kind", {}, "好\r\n好\n好\r好", "女子\r\n女子\n女子\r女子"},
        {"byte-order mark kept", {}, "\xEF\xBB\xBF好", "\xEF\xBB\xBF女子"},
        {"empty input", {}, "", ""},
        {"two splits are two clicks", {"--times", "2"}, "湖", "氵古月"},
        {"one click one level", {"--times", "1"}, "湖", "氵胡"},
        {"zero clicks", {"--times", "0"}, "湖", "湖"},
        {"many clicks stop at a fixed point", {"--times", "1000000000"}, "湖", "氵古月"},
        {"ASCII untouched", {}, "a b\tc", "a b\tc"},
        {"- is standard input", {"-"}, "好", "女子"},
        {"-- ends the options", {"--", "-"}, "好", "女子"},
        {"one job", {"--jobs", "1"}, "湖\n好", "氵胡\n女子"},
        {"-j is --jobs", {"-j", "2"}, "湖\n好", "氵胡\n女子"},
        {"a value after =", {"--times=2", "--jobs=1"}, "湖", "氵古月"},
        {"-o - is standard output", {"-o", "-"}, "好", "女子"},
    };
    for (const auto& test : cases) {
        const Outcome result = run(test.arguments, test.input);
        EXPECT_EQ(result.status, kDone) << test.name << ": " << result.err;
        EXPECT_EQ(result.out, test.output) << test.name;
        EXPECT_EQ(result.err, "") << test.name;
    }
}

TEST_F(SplitterCli, ReadsAFileAndAnotherKeywordFile) {
    const auto input = folder.write("input.txt", "好湖");
    const auto other = folder.write("other.info", "\xBA\xC3\r\nX\r\n");  // 好 → X in GBK
    EXPECT_EQ(run({display_path(input)}).out, "女子氵胡");
    EXPECT_EQ(run({"--keywords", display_path(other), display_path(input)}).out, "X湖");
}

struct CheckCase {
    const char* name;
    std::string table;
    std::string summary;  // after the file's name
};

TEST_F(SplitterCli, ChecksAKeywordFile) {
    const std::vector<CheckCase> cases = {
        {"one of each", "a\r\nb\r\n\r\nc\r\nd",
         ": 5 lines, 2 pairs, 1 empty text to find, an unpaired last line (ignored)\n"},
        {"one line", "a",
         ": 1 line, 0 pairs, 0 empty texts to find, an unpaired last line (ignored)\n"},
        {"many", "\r\n\r\n\r\nx\r\na\r\nb\r\n",
         ": 6 lines, 3 pairs, 2 empty texts to find, no unpaired last line\n"},
    };
    for (const auto& test : cases) {
        const auto file = folder.write("check.info", test.table);
        const Outcome result = run({"--check", "--keywords", display_path(file)});
        EXPECT_EQ(result.status, kDone) << test.name;
        EXPECT_EQ(result.out, display_path(file) + test.summary) << test.name;
    }
}

// The unpaired last line of a table is ignored, as --check says; a split says so once on
// standard error, naming the file and the line, and goes on.
TEST_F(SplitterCli, WarnsOfAnUnpairedLastLineAndSplits) {
    const auto odd = folder.write("odd.info", "\xEF\xBB\xBF好\r\n女子\r\n湖");
    const Outcome result = run({"--keywords", display_path(odd)}, "好湖");
    EXPECT_EQ(result.status, kDone);
    EXPECT_EQ(result.out, "女子湖");
    EXPECT_EQ(result.err, "mardovane-split: " + display_path(odd) +
                              ":3: the last line has no line after it to replace it with, and "
                              "is ignored\n");
}

struct OptionCase {
    const char* name;
    std::vector<std::string> arguments;
    unsigned jobs;
    std::string output;
    std::string input;
};

// Options as users type them, as getopt_long reads them.
TEST(Options, AreReadAsGetoptLongReadsThem) {
    const std::vector<OptionCase> cases = {
        {"short value attached", {"-j4", "-oout.txt"}, 4, "out.txt", ""},
        {"short value apart", {"-j", "4", "-o", "out.txt"}, 4, "out.txt", ""},
        {"long value after =", {"--jobs=4", "--output=out.txt"}, 4, "out.txt", ""},
        {"long value apart", {"--jobs", "4", "--output", "out.txt"}, 4, "out.txt", ""},
        {"options after the file", {"in.txt", "-j2"}, 2, "", "in.txt"},
        {"-- ends the options", {"-j2", "--", "-j3"}, 2, "", "-j3"},
        {"- is standard input", {"-", "-j1"}, 1, "", "-"},
        {"a value that starts with a dash", {"-o", "-x.txt"}, 0, "-x.txt", ""},
    };
    for (const auto& test : cases) {
        const auto parsed = parse_arguments(test.arguments);
        ASSERT_TRUE(std::holds_alternative<Options>(parsed))
            << test.name << ": " << std::get<std::string>(parsed);
        const Options& options = std::get<Options>(parsed);
        EXPECT_EQ(options.jobs, test.jobs) << test.name;
        EXPECT_EQ(options.output.value_or("").string(), test.output) << test.name;
        EXPECT_EQ(options.input.value_or("").string(), test.input) << test.name;
    }
    const auto bundled = parse_arguments({"-hV"});
    ASSERT_TRUE(std::holds_alternative<Options>(bundled));
    EXPECT_TRUE(std::get<Options>(bundled).help);
    EXPECT_TRUE(std::get<Options>(bundled).version);
}

TEST_F(SplitterCli, ManyClicksEndOnceTheTextCycles) {
    // a and b swap on every click: an odd number of clicks swaps them, an even one does not.
    const auto swap = folder.write("swap.info", "a\r\nX\r\nb\r\na\r\nX\r\nb\r\n");
    const std::string keywords = display_path(swap);
    EXPECT_EQ(run({"--keywords", keywords, "--times", "18446744073709551615"}, "ab\nc").out,
              "ba\nc");
    EXPECT_EQ(run({"--keywords", keywords, "--times", "18446744073709551614"}, "ab\nc").out,
              "ab\nc");
    EXPECT_EQ(run({"--keywords", keywords, "--times", "3"}, "aab").out, "bba");
}

TEST_F(SplitterCli, WritesAnOutputFileWholeOrNotAtAll) {
    const auto output = folder.write("out.txt", "old");
    const std::string name = display_path(output);
    std::filesystem::permissions(output, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read);
    const Outcome done = run({"-o", name}, "好");
    EXPECT_EQ(done.status, kDone) << done.err;
    EXPECT_EQ(done.out, "");
    std::ifstream written(output, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "女子");
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(output).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
#endif
    const Outcome failed = run({"--output", name}, "好\xFF");
    EXPECT_EQ(failed.status, kInputFailed);
    std::ifstream kept(output, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "女子");
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

// The longest names a file system takes (255 bytes) are written too: the temporary name
// beside them is shortened, not refused.
TEST_F(SplitterCli, WritesOutputFilesWithTheLongestNames) {
    std::string chinese;
    for (int i = 0; i < 85; ++i) {
        chinese += "好";  // 255 bytes in UTF-8
    }
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"255 ASCII bytes", std::string(251, 'a') + ".txt"},
        {"236 bytes", std::string(232, 'b') + ".txt"},
        {"85 Chinese characters", chinese},
    };
    for (const auto& [what, leaf] : cases) {
        SCOPED_TRACE(what);
        const std::filesystem::path output = folder.path() / std::filesystem::u8path(leaf);
        const Outcome done = run({"-o", display_path(output)}, "好");
        EXPECT_EQ(done.status, kDone) << done.err;
        {
            std::ifstream written(output, std::ios::binary);  // closed before the removal
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "女子");
        }
        std::filesystem::remove(output);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
            << "a temporary file was left";
    }
}

TEST_F(SplitterCli, ReportsAnOutputThatCannotBeWritten) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--help"}, {"--version"}, {"--check"}, {}}) {
        std::istringstream in("好");
        std::ostringstream out;
        out.setstate(std::ios::badbit);
        std::ostringstream err;
        EXPECT_EQ(run_splitter(arguments, in, out, err, folder.path()), kOutputFailed)
            << (arguments.empty() ? "split" : arguments[0]);
        EXPECT_TRUE(
            err.str().starts_with("mardovane-split: standard output: cannot write the output"))
            << err.str();
    }
}

TEST_F(SplitterCli, PrintsHelpAndVersion) {
    for (const char* version : {"--version", "-V"}) {
        EXPECT_EQ(run({version}).out, "mardovane-split 1.00\n") << version;
    }
    for (const char* help_option : {"--help", "-h"}) {
        const Outcome help = run({help_option});
        EXPECT_EQ(help.status, kDone);
        EXPECT_TRUE(help.out.starts_with("Usage: mardovane-split")) << help.out;
    }
}

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    int status;
    std::string message;  // the whole line on standard error, after "mardovane-split: "
};

TEST_F(SplitterCli, FailsWithOneLineAndNoOutput) {
    const std::string dir = display_path(folder.path());
    folder.write("bad.info", "a\r\nb\r\n\xFF");
    std::string doubling;
    for (int i = 0; i < 30; ++i) {
        doubling += "a\r\naa\r\n";
    }
    folder.write("doubling.info", doubling);
    std::vector<FailureCase> cases = {
        {"unknown option", {"--fast"}, "", kBadUsage, "unknown option '--fast' (see --help)"},
        {"missing value", {"--times"}, "", kBadUsage, "--times needs a value (see --help)"},
        {"bad number",
         {"--times", "two"},
         "",
         kBadUsage,
         "--times takes a whole number, not 'two' (see --help)"},
        {"negative number",
         {"--times", "-1"},
         "",
         kBadUsage,
         "--times takes a whole number, not '-1' (see --help)"},
        {"two inputs", {"a", "b"}, "", kBadUsage, "only one input file may be given (see --help)"},
        {"a value after = for an option without one",
         {"--check=yes"},
         "",
         kBadUsage,
         "--check takes no value (see --help)"},
        {"a shortened long option",
         {"--job=2"},
         "",
         kBadUsage,
         "unknown option '--job' (see --help)"},
        {"an unknown short option in a bundle",
         {"-hx"},
         "",
         kBadUsage,
         "unknown option '-x' (see --help)"},
        {"a short option without its value",
         {"-j"},
         "",
         kBadUsage,
         "-j needs a value (see --help)"},
        {"an empty value after =",
         {"--keywords="},
         "",
         kBadUsage,
         "--keywords needs a file name, not an empty one (see --help)"},
        {"-j out of range",
         {"-j", "0"},
         "",
         kBadUsage,
         "-j takes a whole number from 1 to 256, not '0' (see --help)"},
        {"empty keyword file name",
         {"--keywords", ""},
         "",
         kBadUsage,
         "--keywords needs a file name, not an empty one (see --help)"},
        {"no jobs",
         {"--jobs", "0"},
         "",
         kBadUsage,
         "--jobs takes a whole number from 1 to 256, not '0' (see --help)"},
        {"too many jobs",
         {"--jobs", "5000"},
         "",
         kBadUsage,
         "--jobs takes a whole number from 1 to 256, not '5000' (see --help)"},
        {"a directory as input",
         {dir},
         "",
         kInputFailed,
         dir + ": the input file is not a regular file"},
        {"line break in a file name",
         {"--keywords", dir + "/no\nne.info"},
         "",
         kKeywordFileFailed,
         dir + "/no\\nne.info: the keyword file does not exist"},
        {"missing keyword file",
         {"--keywords", dir + "/none.info"},
         "好",
         kKeywordFileFailed,
         dir + "/none.info: the keyword file does not exist"},
        {"invalid keyword file",
         {"--keywords", dir + "/bad.info"},
         "好",
         kKeywordFileFailed,
         dir + "/bad.info:3: invalid GBK byte sequence at byte offset 6"},
        {"missing input",
         {dir + "/none.txt"},
         "",
         kInputFailed,
         dir + "/none.txt: the input file does not exist"},
        {"input not UTF-8",
         {},
         "好\n\xE5\xA5",
         kInputFailed,
         "standard input:2: UTF-8 byte sequence cut off by the end at byte offset 4"},
        {"invalid UTF-8",
         {},
         "好\n\n\xFF好",
         kInputFailed,
         "standard input:3: invalid UTF-8 byte sequence at byte offset 5"},
        {"too large",
         {"--keywords", dir + "/doubling.info"},
         "a",
         kResultTooLarge,
         "standard input:1: splitting this line makes a text of more than 268435456 UTF-16 code "
         "units"},
        {"too large names its line",
         {"--keywords", dir + "/doubling.info"},
         "b\nb\r\nb\na\nb",
         kResultTooLarge,
         "standard input:4: splitting this line makes a text of more than 268435456 UTF-16 code "
         "units"},
    };
#ifndef _WIN32
    std::filesystem::create_symlink(folder.path() / "loop", folder.path() / "loop");
    cases.push_back(
        {"input behind a link to itself: not missing, and the reason named",
         {dir + "/loop"},
         "",
         kInputFailed,
         dir + "/loop: the input file cannot be read: Too many levels of symbolic links"});
#endif
    for (const auto& test : cases) {
        const Outcome result = run(test.arguments, test.input);
        EXPECT_EQ(result.status, test.status) << test.name;
        EXPECT_EQ(result.out, "") << test.name;
        EXPECT_EQ(result.err, "mardovane-split: " + test.message + "\n") << test.name;
    }
}

}  // namespace
}  // namespace mardovane::cli
