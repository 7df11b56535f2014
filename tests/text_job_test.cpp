#include <gtest/gtest.h>

#include <string>

#include "tests/temporary_directory.h"
#include "window/common/text_job.h"

namespace mardovane {
namespace {

// 胡 before 湖: one click splits one level.
constexpr std::string_view kOneLevelAClick =
    "\xBA\xFA\r\n\xB9\xC5\xD4\xC2\r\n\xBA\xFE\r\n\xE3\xDF\xBA\xFA\r\n\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r"
    "\n";

Job job_of(JobKind kind, std::u16string text, Selection selection = {},
           std::u16string pasted = {}) {
    return Job{kind, std::move(text), selection, std::move(pasted)};
}

struct JobCase {
    const char* name;
    JobKind kind;
    std::u16string text;
    Selection selection;
    std::u16string pasted;
    std::u16string result;  // empty with `unchanged`
    Selection selection_after;
    bool unchanged = false;
};

class Jobs : public ::testing::TestWithParam<JobCase> {};

TEST_P(Jobs, MakeTheTextAndTheSelectionAfter) {
    const JobCase& test = GetParam();
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", kOneLevelAClick);
    const auto outcome = run_job(Job{test.kind, test.text, test.selection, test.pasted},
                                 keyword_file_loader(folder.path()));
    if (test.unchanged) {
        EXPECT_TRUE(std::holds_alternative<TextUnchanged>(outcome));
        return;
    }
    ASSERT_TRUE(std::holds_alternative<NewText>(outcome));
    EXPECT_EQ(std::get<NewText>(outcome).text, test.result);
    EXPECT_EQ(std::get<NewText>(outcome).selection, test.selection_after);
}

INSTANTIATE_TEST_SUITE_P(
    TextJob, Jobs,
    ::testing::Values(
        JobCase{"split_one_level", JobKind::Split, u"湖\r\n湖", {}, {}, u"氵胡\r\n氵胡", {6, 6}},
        JobCase{"split_nothing_found", JobKind::Split, u"你", {}, {}, {}, {}, true},
        JobCase{
            "selection_only", JobKind::SplitSelection, u"好湖好", {1, 2}, {}, u"好氵胡好", {1, 3}},
        JobCase{"selection_at_the_end",
                JobKind::SplitSelection,
                u"你好",
                {1, 2},
                {},
                u"你女子",
                {1, 3}},
        JobCase{"selection_of_what_no_pair_finds",
                JobKind::SplitSelection,
                u"好你",
                {1, 2},
                {},
                {},
                {},
                true},
        JobCase{
            "selection_past_the_end", JobKind::SplitSelection, u"好", {0, 9}, {}, u"女子", {0, 2}},
        JobCase{
            "paste_at_the_caret", JobKind::Paste, u"好湖", {1, 1}, u"你们", u"好你们湖", {3, 3}},
        JobCase{"paste_over_the_selection",
                JobKind::Paste,
                u"好湖好",
                {1, 2},
                u"你",
                u"好你好",
                {2, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextJob, AFailedTableLeavesTheTextUntouched) {
    testing::TemporaryDirectory folder;
    folder.write("bad/keyword.info", "a\r\nb\r\n\xFF\r\n");
    const auto missing = run_job(job_of(JobKind::Split, u"a"), keyword_file_loader(folder.path()));
    ASSERT_TRUE(std::holds_alternative<SplitFailure>(missing));
    EXPECT_EQ(std::get<FileError>(std::get<SplitFailure>(missing)).problem, FileProblem::Missing);
    const auto invalid =
        run_job(job_of(JobKind::Split, u"a"), keyword_file_loader(folder.path() / "bad"));
    ASSERT_TRUE(std::holds_alternative<SplitFailure>(invalid));
    EXPECT_EQ(std::get<FileError>(std::get<SplitFailure>(invalid)).line, 3u);
}

// The limit holds for the whole text, whatever part of it a job makes.
TEST(TextJob, AWholeTextPastTheLimitIsRefused) {
    const TableLoader doubling = [] {
        KeywordTable table;
        for (int i = 0; i < 30; ++i) {
            table.append_line(u"a");
            table.append_line(u"aa");
        }
        return std::variant<KeywordTable, FileError>(std::move(table));
    };
    for (const JobKind kind : {JobKind::Split, JobKind::SplitSelection}) {
        const auto outcome = run_job(job_of(kind, u"ba", {1, 2}), doubling);
        ASSERT_TRUE(std::holds_alternative<SplitFailure>(outcome));
        EXPECT_TRUE(std::holds_alternative<ResultTooLarge>(std::get<SplitFailure>(outcome)));
    }
}

TEST(TextJob, AnEditedFileTakesEffectAtTheNextSplit) {
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", "a\r\nb\r\n");
    const TableLoader table = keyword_file_loader(folder.path());
    auto first = run_job(job_of(JobKind::Split, u"ac"), table);
    folder.write("keyword.info", "c\r\nd\r\n");
    auto second = run_job(job_of(JobKind::Split, std::get<NewText>(first).text), table);
    EXPECT_EQ(std::get<NewText>(second).text, u"bd");
}

}  // namespace
}  // namespace mardovane
