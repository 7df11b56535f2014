// --help is made from the splitter's table of options and figures; the manual page and
// the README are written by hand, and must say the same.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "cli/option_table.h"

namespace mardovane::cli {
namespace {

// A text's words, its troff escapes and line breaks taken out: "\-\-jobs" reads "--jobs",
// and a phrase may run across lines.
std::string words_in(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(\n\.[A-Z]+ ?)"), " ");
    return std::regex_replace(text, std::regex(R"([\s`"]+)"), " ");
}

std::string words_of(const std::string& file) {
    std::ifstream in(std::string(MARDOVANE_SOURCE_DIR) + "/" + file, std::ios::binary);
    return words_in(std::string(std::istreambuf_iterator<char>(in), {}));
}

// Whether `words` name `option` as a word of its own: "-o" is not named by "--output",
// nor "--jobs" by "--jobsx".
bool names(const std::string& words, const std::string& option) {
    const auto part_of_a_name = [](char c) {
        return c == '-' || std::isalnum(static_cast<unsigned char>(c)) != 0;
    };
    for (auto at = words.find(option); at != std::string::npos; at = words.find(option, at + 1)) {
        const auto end = at + option.size();
        if ((at == 0 || !part_of_a_name(words[at - 1])) &&
            (end == words.size() || !part_of_a_name(words[end]))) {
            return true;
        }
    }
    return false;
}

TEST(SplitterDocumentWords, AnOptionIsNamedOnlyAsAWordOfItsOwn) {
    EXPECT_TRUE(names("[-o, --output=FILE]", "-o"));
    EXPECT_TRUE(names("[-o, --output=FILE]", "--output"));
    EXPECT_FALSE(names("[--output=FILE]", "-o"));
    EXPECT_FALSE(names("--jobs-count", "--jobs"));
    EXPECT_FALSE(names("-j4", "-j"));
}

class SplitterDocuments : public ::testing::TestWithParam<const char*> {
  protected:
    std::string words = words_of(GetParam());
};

TEST_P(SplitterDocuments, NameEveryOption) {
    ASSERT_FALSE(words.empty()) << "cannot read " << GetParam();
    for (const OptionSpec& entry : kOptionTable) {
        EXPECT_TRUE(names(words, std::string("--") + entry.long_name)) << entry.long_name;
        if (entry.short_name != 0) {
            EXPECT_TRUE(names(words, std::string("-") + entry.short_name)) << entry.short_name;
        }
    }
}

TEST_P(SplitterDocuments, GiveTheFiguresAsTheyAre) {
    for (const std::string& figure :
         {"blocks of " + block_size_text(), "pieces of about " + piece_size_text(),
          "up to " + held_size_text(), size_limit_text(),
          "from 1 to " + std::to_string(kMaxJobs)}) {
        EXPECT_NE(words.find(figure), std::string::npos) << figure;
    }
    EXPECT_NE(words_in(usage_text()).find("blocks of " + block_size_text()), std::string::npos);
}

// getopt_long alone would take --job for --jobs; the splitter does not, and says so.
TEST_P(SplitterDocuments, SayThatALongOptionIsWrittenInFull) {
    EXPECT_NE(words.find("long option must be written in full"), std::string::npos);
    EXPECT_NE(words_in(usage_text()).find("long option must be written in full"),
              std::string::npos);
}

TEST_P(SplitterDocuments, GiveEveryExitStatusInTheSameWords) {
    for (const ExitStatusSpec& status : kExitStatusTable) {
        const std::string said = std::to_string(status.status) + " " + status.meaning;
        EXPECT_NE(words.find(said), std::string::npos) << said;
        EXPECT_NE(words_in(usage_text()).find(said), std::string::npos) << said;
    }
}

INSTANTIATE_TEST_SUITE_P(Splitter, SplitterDocuments,
                         ::testing::Values("README.md", "assets/man/mardovane-split.1.in"),
                         [](const auto& info) {
                             return std::string(info.param).starts_with("README") ? "readme"
                                                                                  : "man_page";
                         });

}  // namespace
}  // namespace mardovane::cli
