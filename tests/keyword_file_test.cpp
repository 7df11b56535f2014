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

Lines lines_of(const KeywordTable& table) {
    Lines lines;
    for (std::size_t i = 0; i < table.line_count(); ++i) {
        lines.emplace_back(table.line(i));
    }
    return lines;
}

// GBK bytes of a few characters, spelled out so that the tests do not lean on the encoder.
#define HAO "\xBA\xC3"  // 好
#define NV "\xC5\xAE"   // 女
#define ZI "\xD7\xD3"   // 子

Lines parse_lines(std::string_view bytes) {
    auto parsed = parse_keyword_file(bytes, "keyword.info");
    EXPECT_TRUE(std::holds_alternative<KeywordTable>(parsed))
        << describe(std::get<FileError>(parsed));
    return std::holds_alternative<KeywordTable>(parsed) ? lines_of(std::get<KeywordTable>(parsed))
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
        {"UTF-8 without the mark, as Notepad saves it", "好湖\r\n女子氵胡", {u"好湖", u"女子氵胡"}},
        {"two-byte UTF-8 alone stays GBK", "\xC3\xA9", {u"茅"}},
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
    DecodeError::Reason reason;
};

constexpr auto kInvalid = DecodeError::Reason::InvalidSequence;
constexpr auto kCutOff = DecodeError::Reason::Truncated;

TEST(KeywordFileLines, InvalidBytesNameLineAndOffset) {
    const std::vector<EncodingCase> cases = {
        {"invalid GBK on line 1", "\xFF", 1, 0, "GBK", kInvalid},
        {"invalid GBK after CR LF lines", "A\r\nB\r\n" HAO "\xFF\xFF", 3, 8, "GBK", kInvalid},
        {"lead byte cut off by the end", HAO "\r\n\x81", 2, 4, "GBK", kCutOff},
        {"lead byte cut off by a line end", "\x81\r\nA", 1, 0, "GBK", kInvalid},
        {"lone LF and CR counted", "A\nB\rC\r\n\xFF", 4, 7, "GBK", kInvalid},
        {"0xFF after a lead byte", "\x81\xFF", 1, 0, "GBK", kInvalid},
        {"0xFF after an earlier fault", "\x81\r\xFF", 1, 0, "GBK", kInvalid},
        {"UTF-8 cut off by the end",
         "\xEF\xBB\xBF"
         "A\r\n\xC3",
         2, 6, "UTF-8", kCutOff},
        {"UTF-8 continuation byte alone", "\xEF\xBB\xBF\x80", 1, 3, "UTF-8", kInvalid},
        {"UTF-8 surrogate rejected", "\xEF\xBB\xBF\xED\xA0\x80", 1, 3, "UTF-8", kInvalid},
        {"UTF-8 after the mark, broken past a conversion piece",
         "\xEF\xBB\xBF" + std::string(32762, 'a') + "好\x80", 1, 32768, "UTF-8", kInvalid},
        {"UTF-8 without the mark, read further than GBK", "好\r\n\x80", 2, 5, "UTF-8", kInvalid},
        {"GBK read further than UTF-8", HAO "\r\n\xE5\x41\xFF", 2, 6, "GBK", kInvalid},
        {"UTF-8 overlong form rejected",
         "\xEF\xBB\xBF"
         "a\xC0\xAF",
         1, 4, "UTF-8", kInvalid},
    };
    for (const auto& test : cases) {
        auto parsed = parse_keyword_file(test.bytes, "/some/keyword.info");
        ASSERT_TRUE(std::holds_alternative<FileError>(parsed)) << test.name;
        const auto& error = std::get<FileError>(parsed);
        EXPECT_EQ(error.problem, FileProblem::InvalidEncoding) << test.name;
        EXPECT_EQ(error.line, test.line) << test.name;
        EXPECT_EQ(error.decode.byte_offset, test.byte_offset) << test.name;
        EXPECT_EQ(error.decode.reason, test.reason) << test.name;
        EXPECT_EQ(encoding_name(error.encoding), test.encoding) << test.name;
        const std::string what =
            test.reason == kCutOff
                ? std::string(test.encoding) + " byte sequence cut off by the end"
                : "invalid " + std::string(test.encoding) + " byte sequence";
        EXPECT_EQ(describe(error), "/some/keyword.info:" + std::to_string(test.line) + ": " + what +
                                       " at byte offset " + std::to_string(test.byte_offset))
            << test.name;
    }
}

// Code page 936 as Windows decodes it, user-defined areas and extras included, so that a
// table that loads on Windows loads everywhere. The same rows run in the Windows build.
struct CodePageCase {
    const char* bytes;
    char16_t character;
};

class CodePage936 : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePage936, DecodesAsWindowsDoes) {
    auto parsed = parse_keyword_file(GetParam().bytes, "keyword.info");
    ASSERT_TRUE(std::holds_alternative<KeywordTable>(parsed))
        << describe(std::get<FileError>(parsed));
    EXPECT_EQ(lines_of(std::get<KeywordTable>(parsed)),
              Lines{std::u16string(1, GetParam().character)});
}

INSTANTIATE_TEST_SUITE_P(
    WindowsMapping, CodePage936,
    ::testing::Values(CodePageCase{"\xA8\xBF", u'\uE7C8'}, CodePageCase{"\xFE\x50", u'\uE815'},
                      CodePageCase{"\xA2\xE3", u'\uE76C'}, CodePageCase{"\xA1\x40", u'\uE4C6'},
                      CodePageCase{"\xAA\xA1", u'\uE000'}, CodePageCase{"\xFE\xFE", u'\uE4C5'},
                      CodePageCase{"\x80", u'\u20AC'}, CodePageCase{"\xA1\xA1", u'\u3000'},
                      // 锘: the first two bytes of a UTF-8 byte-order mark, without the third.
                      CodePageCase{"\xEF\xBB", u'\u9518'}),
    [](const ::testing::TestParamInfo<CodePageCase>& info) {
        std::string name;
        for (const char byte : std::string_view(info.param.bytes)) {
            constexpr char kHex[] = "0123456789ABCDEF";
            name += kHex[static_cast<unsigned char>(byte) >> 4];
            name += kHex[static_cast<unsigned char>(byte) & 0xF];
        }
        return name;
    });

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
    EXPECT_EQ(lines_of(std::get<KeywordTable>(loaded)), (Lines{u"好", u"女子"}));
}

TEST(KeywordFileLoad, EveryLoadReadsTheFileAfresh) {
    testing::TemporaryDirectory folder;
    folder.write("keyword.info", "a\r\nb\r\n");
    const auto first = std::get<KeywordTable>(load_keyword_table(folder.path()));
    const auto second = std::get<KeywordTable>(load_keyword_table(folder.path()));
    EXPECT_EQ(lines_of(first), lines_of(second));
    folder.write("keyword.info", "a\r\nc\r\n");
    EXPECT_EQ(lines_of(std::get<KeywordTable>(load_keyword_table(folder.path()))),
              (Lines{u"a", u"c"}));
}

struct FailureCase {
    const char* name;
    std::filesystem::path path;
    FileProblem reason;
    std::string description_ends_with;
};

TEST(KeywordFileLoad, FailuresNameThePathAndTheReason) {
    testing::TemporaryDirectory folder;
    std::filesystem::create_directory(folder.path() / "folder");
    std::vector<FailureCase> cases = {
        {"missing", folder.path() / "keyword.info", FileProblem::Missing,
         ": the keyword file does not exist"},
        {"missing folder", folder.path() / "none" / "keyword.info", FileProblem::Missing,
         ": the keyword file does not exist"},
        {"a directory", folder.path() / "folder", FileProblem::NotRegularFile,
         ": the keyword file is not a regular file"},
    };
#ifdef _WIN32
    cases.push_back({"a device", "NUL", FileProblem::NotRegularFile,
                     ": the keyword file is not a regular file"});
#elif !defined(__EMSCRIPTEN__)  // Node's files are no system's own
    ASSERT_EQ(::mkfifo((folder.path() / "fifo").c_str(), 0600), 0);
    cases.push_back({"a FIFO does not hang", folder.path() / "fifo", FileProblem::NotRegularFile,
                     ": the keyword file is not a regular file"});
    // A regular file whose read fails, even for root.
    cases.push_back({"read error", "/proc/self/mem", FileProblem::Unreadable,
                     ": the keyword file cannot be read: Input/output error"});
#endif
    for (const auto& test : cases) {
        auto loaded = load_keyword_file(test.path);
        ASSERT_TRUE(std::holds_alternative<FileError>(loaded)) << test.name;
        const auto& error = std::get<FileError>(loaded);
        EXPECT_EQ(error.problem, test.reason) << test.name;
        EXPECT_EQ(error.path, test.path) << test.name;
        EXPECT_EQ(describe(error), display_path(test.path) + test.description_ends_with)
            << test.name;
    }
}

}  // namespace
}  // namespace mardovane
