#include <gtest/gtest.h>

#include <string>

#include "tests/temporary_directory.h"
#include "window/common/split_command.h"

namespace mardovane {
namespace {

class RecordingHolder : public TextHolder {
  public:
    explicit RecordingHolder(std::u16string text) : text_(std::move(text)) {}
    std::u16string content() const override { return text_; }
    void replace_content(std::u16string text) override {
        text_ = std::move(text);
        ++replacements;
    }
    const std::u16string& text() const { return text_; }
    int replacements = 0;

  private:
    std::u16string text_;
};

// One click's work, as the window does it: split the whole content, store it back.
std::optional<SplitFailure> run_split_command(TextHolder& holder,
                                              const std::filesystem::path& program_directory) {
    return store_split_outcome(holder,
                               split_with_keyword_file(holder.content(), program_directory));
}

TEST(SplitCommand, SplitsTheWholeTextOnceAndLevelByLevel) {
    testing::TemporaryDirectory folder;
    // 胡 before 湖: one click splits one level.
    folder.write("keyword.info",
                 "\xBA\xFA\r\n\xB9\xC5\xD4\xC2\r\n\xBA\xFE\r\n\xE3\xDF\xBA\xFA\r\n");
    RecordingHolder holder(u"湖\r\n湖");
    EXPECT_FALSE(run_split_command(holder, folder.path()).has_value());
    EXPECT_EQ(holder.text(), u"氵胡\r\n氵胡");
    EXPECT_FALSE(run_split_command(holder, folder.path()).has_value());
    EXPECT_EQ(holder.text(), u"氵古月\r\n氵古月");
    EXPECT_EQ(holder.replacements, 2);
    // Nothing left to split: the holder is not written at all.
    EXPECT_FALSE(run_split_command(holder, folder.path()).has_value());
    EXPECT_EQ(holder.replacements, 2);
}

TEST(SplitCommand, AMissingFileLeavesTheTextUntouched) {
    testing::TemporaryDirectory folder;
    RecordingHolder holder(u"湖");
    auto failure = run_split_command(holder, folder.path());
    ASSERT_TRUE(failure.has_value());
    ASSERT_TRUE(std::holds_alternative<FileError>(*failure));
    EXPECT_EQ(std::get<FileError>(*failure).problem, FileProblem::Missing);
    EXPECT_EQ(std::get<FileError>(*failure).path, folder.path() / "keyword.info");
    EXPECT_EQ(holder.replacements, 0);
}

TEST(SplitCommand, InvalidBytesLeaveTheTextUntouched) {
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", "a\r\nb\r\n\xFF\r\n");
    RecordingHolder holder(u"a");
    auto failure = run_split_command(holder, folder.path());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(std::get<FileError>(*failure).line, 3u);
    EXPECT_EQ(holder.replacements, 0);
    EXPECT_EQ(holder.text(), u"a");
}

TEST(SplitCommand, ATextThatWouldGrowTooLargeIsKept) {
    testing::TemporaryDirectory folder;
    std::string doubling;
    for (int i = 0; i < 30; ++i) {
        doubling += "a\r\naa\r\n";
    }
    folder.write("keyword.info", doubling);
    RecordingHolder holder(u"a");
    auto failure = run_split_command(holder, folder.path());
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(std::holds_alternative<ResultTooLarge>(*failure));
    EXPECT_EQ(holder.replacements, 0);
}

TEST(SplitCommand, AnEditedFileTakesEffectAtTheNextSplit) {
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", "a\r\nb\r\n");
    RecordingHolder holder(u"ac");
    EXPECT_FALSE(run_split_command(holder, folder.path()).has_value());
    folder.write("keyword.info", "c\r\nd\r\n");
    EXPECT_FALSE(run_split_command(holder, folder.path()).has_value());
    EXPECT_EQ(holder.text(), u"bd");
}

}  // namespace
}  // namespace mardovane
