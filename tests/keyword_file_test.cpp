#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "substitution/keyword_file.h"
#include "substitution/paths.h"
#include "tests/temporary_directory.h"

namespace mardovane {
namespace {

using Lines = std::vector<std::u16string>;

// GBK bytes of a few characters, spelled out so that the tests do not lean on the encoder.
#define HAO "\xBA\xC3"  // 好
#define NV "\xC5\xAE"   // 女
#define ZI "\xD7\xD3"   // 子

Lines parse_lines(std::string_view bytes) {
    auto parsed = parse_keyword_file(bytes, "keyword.info");
    EXPECT_TRUE(std::holds_alternative<KeywordTable>(parsed))
        << describe(std::get<KeywordFileError>(parsed));
    return std::holds_alternative<KeywordTable>(parsed) ? std::get<KeywordTable>(parsed).lines
                                                        : Lines{};
}

struct LineCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

TEST(KeywordFileLines, FollowTheLineRules) {
    const std::vector<LineCase> cases = {
        {"empty file", "", {}},
        {"CR LF after every line", "A\r\nB\r\n", {u"A", u"B"}},
        {"no final terminator", "A\r\nB", {u"A", u"B"}},
        {"trailing empty line", "A\r\nB\r\n\r\n", {u"A", u"B", u""}},
        {"only a terminator", "\r\n", {u""}},
        {"spaces and tabs kept", " A \r\n\tB\t\r\n", {u" A ", u"\tB\t"}},
        {"lone LF ends a line", "A\nB\n", {u"A", u"B"}},
        {"lone CR ends a line", "A\rB\r", {u"A", u"B"}},
        {"LF CR is two breaks", "A\n\rB", {u"A", u"", u"B"}},
        {"mixed breaks", "A\r\nB\nC\rD", {u"A", u"B", u"C", u"D"}},
        {"no comment syntax", "# x\r\n// y", {u"# x", u"// y"}},
        {"GBK characters", HAO "\r\n" NV ZI "\r\n", {u"好", u"女子"}},
        {"code page 936 euro sign", "\x80", {u"€"}},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF"
         "好\r\n女子",
         {u"好", u"女子"}},
        {"byte-order mark alone", "\xEF\xBB\xBF", {}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(parse_lines(test.bytes), test.lines) << test.name;
    }
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    std::size_t line;
    std::size_t byte_offset;
    const char* encoding;
};

TEST(KeywordFileLines, InvalidBytesNameLineAndOffset) {
    const std::vector<EncodingCase> cases = {
        {"invalid GBK on line 1", "\xFF", 1, 0, "GBK"},
        {"invalid GBK after CR LF lines", "A\r\nB\r\n" HAO "\xFF\xFF", 3, 8, "GBK"},
        {"lead byte cut off by the end", HAO "\r\n\x81", 2, 4, "GBK"},
        {"lead byte cut off by a line end", "\x81\r\nA", 1, 0, "GBK"},
        {"lone LF and CR counted", "A\nB\rC\r\n\xFF", 4, 7, "GBK"},
        {"invalid UTF-8 counts the mark",
         "\xEF\xBB\xBF"
         "A\r\n\xC3",
         2, 6, "UTF-8"},
        {"UTF-8 surrogate rejected", "\xEF\xBB\xBF\xED\xA0\x80", 1, 3, "UTF-8"},
    };
    for (const auto& test : cases) {
        auto parsed = parse_keyword_file(test.bytes, "/some/keyword.info");
        ASSERT_TRUE(std::holds_alternative<KeywordFileError>(parsed)) << test.name;
        const auto& error = std::get<KeywordFileError>(parsed);
        EXPECT_EQ(error.reason, KeywordFileError::Reason::InvalidEncoding) << test.name;
        EXPECT_EQ(error.line, test.line) << test.name;
        EXPECT_EQ(error.byte_offset, test.byte_offset) << test.name;
        EXPECT_EQ(error.encoding_name, test.encoding) << test.name;
        EXPECT_EQ(describe(error),
                  "/some/keyword.info:" + std::to_string(test.line) + ": invalid " + test.encoding +
                      " byte sequence at byte offset " + std::to_string(test.byte_offset))
            << test.name;
    }
}

TEST(KeywordFilePath, AppendsTheFileNameUnchanged) {
#ifdef _WIN32
    EXPECT_EQ(keyword_file_path(L"C:\\Mardovane").native(), L"C:\\Mardovane\\keyword.info");
    EXPECT_EQ(keyword_file_path(L"C:\\").native(), L"C:\\\\keyword.info");
#else
    EXPECT_EQ(keyword_file_path("/opt/mardovane").native(), "/opt/mardovane/keyword.info");
    EXPECT_EQ(keyword_file_path("/opt/mardovane/").native(), "/opt/mardovane//keyword.info");
#endif
}

TEST(KeywordFileLoad, ReadsTheFileBesideTheProgram) {
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", HAO "\r\n" NV ZI "\r\n");
    auto loaded = load_keyword_table(folder.path());
    ASSERT_TRUE(std::holds_alternative<KeywordTable>(loaded));
    EXPECT_EQ(std::get<KeywordTable>(loaded).lines, (Lines{u"好", u"女子"}));
}

TEST(KeywordFileLoad, EveryLoadReadsTheFileAfresh) {
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", "a\r\nb\r\n");
    const auto first = std::get<KeywordTable>(load_keyword_table(folder.path()));
    const auto second = std::get<KeywordTable>(load_keyword_table(folder.path()));
    EXPECT_EQ(first.lines, second.lines);
    folder.write("keyword.info", "a\r\nc\r\n");
    EXPECT_EQ(std::get<KeywordTable>(load_keyword_table(folder.path())).lines, (Lines{u"a", u"c"}));
}

struct FailureCase {
    const char* name;
    std::filesystem::path path;
    KeywordFileError::Reason reason;
    std::string description_ends_with;
};

TEST(KeywordFileLoad, FailuresNameThePathAndTheReason) {
    testing::TemporaryDirectory folder;
    std::filesystem::create_directory(folder.path() / "folder");
    std::vector<FailureCase> cases = {
        {"missing", folder.path() / "keyword.info", KeywordFileError::Reason::Missing,
         ": the keyword file does not exist"},
        {"missing folder", folder.path() / "none" / "keyword.info",
         KeywordFileError::Reason::Missing, ": the keyword file does not exist"},
        {"a directory", folder.path() / "folder", KeywordFileError::Reason::NotRegularFile,
         ": the keyword file is not a regular file"},
    };
#ifdef _WIN32
    cases.push_back({"a device", "NUL", KeywordFileError::Reason::NotRegularFile,
                     ": the keyword file is not a regular file"});
#else
    ASSERT_EQ(::mkfifo((folder.path() / "fifo").c_str(), 0600), 0);
    cases.push_back({"a FIFO does not hang", folder.path() / "fifo",
                     KeywordFileError::Reason::NotRegularFile,
                     ": the keyword file is not a regular file"});
    // A regular file whose read fails, even for root.
    cases.push_back({"read error", "/proc/self/mem", KeywordFileError::Reason::Unreadable,
                     ": the keyword file cannot be read: Input/output error"});
#endif
    for (const auto& test : cases) {
        auto loaded = load_keyword_file(test.path);
        ASSERT_TRUE(std::holds_alternative<KeywordFileError>(loaded)) << test.name;
        const auto& error = std::get<KeywordFileError>(loaded);
        EXPECT_EQ(error.reason, test.reason) << test.name;
        EXPECT_EQ(error.path, test.path) << test.name;
        EXPECT_EQ(describe(error), display_path(test.path) + test.description_ends_with)
            << test.name;
    }
}

}  // namespace
}  // namespace mardovane
