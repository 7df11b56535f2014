#include <gtest/gtest.h>

#include <string>

#include "substitution/text_codec.h"

namespace mardovane {
namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    Encoding encoding;
    std::u16string text;  // when it decodes
    std::size_t offset;   // when it does not
    DecodeError::Reason reason;
    bool decodes;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesTheTextOrWhereAndWhyItStopped) {
    const auto& test = GetParam();
    auto decoded = decode(test.bytes, test.encoding);
    ASSERT_EQ(std::holds_alternative<std::u16string>(decoded), test.decodes);
    if (test.decodes) {
        EXPECT_EQ(std::get<std::u16string>(decoded), test.text);
    } else {
        EXPECT_EQ(std::get<DecodeError>(decoded).byte_offset, test.offset);
        EXPECT_EQ(std::get<DecodeError>(decoded).reason, test.reason);
    }
}

constexpr auto kGbk = Encoding::Gbk;
constexpr auto kUtf8 = Encoding::Utf8;
constexpr auto kInvalid = DecodeError::Reason::InvalidSequence;
constexpr auto kCut = DecodeError::Reason::Truncated;

INSTANTIATE_TEST_SUITE_P(
    Codec, Decode,
    ::testing::Values(
        DecodeCase{"gbk_text", "\xBA\xC3\r\n", kGbk, u"好\r\n", 0, kInvalid, true},
        DecodeCase{"gbk_empty", "", kGbk, u"", 0, kInvalid, true},
        DecodeCase{"gbk_lone_FF", "a\xFF", kGbk, u"", 1, kInvalid, false},
        DecodeCase{"gbk_bad_trail", "ab\x81\x7F", kGbk, u"", 2, kInvalid, false},
        DecodeCase{"gbk_cut_lead", "ab\x81", kGbk, u"", 2, kCut, false},
        DecodeCase{"utf8_text", "a好😀", kUtf8, u"a好😀", 0, kInvalid, true},
        DecodeCase{"utf8_cut_two_of_three", "ab\xE5\xA5", kUtf8, u"", 2, kCut, false},
        DecodeCase{"utf8_bad_continuation", "ab\xE5\x41", kUtf8, u"", 2, kInvalid, false},
        DecodeCase{"utf8_lone_continuation_at_end", "ab\x80", kUtf8, u"", 2, kInvalid, false},
        DecodeCase{"utf8_surrogate", "\xED\xA0\x80", kUtf8, u"", 0, kInvalid, false},
        DecodeCase{"utf8_past_U10FFFF", "\xF4\x90\x80\x80", kUtf8, u"", 0, kInvalid, false},
        // A lead byte that ends an internal conversion piece, followed by ASCII: broken,
        // not cut off, since the input goes on.
        DecodeCase{"utf8_lead_at_a_piece_end", std::string(32767, 'a') + "\xE5" + "b", kUtf8, u"",
                   32767, kInvalid, false},
        // Stray continuation bytes just past a character that runs over a piece's end:
        // the error is theirs, not the character's.
        DecodeCase{"utf8_stray_bytes_after_a_character_across_a_piece",
                   std::string(32762, 'a') + "\xE5\xA5\xBD" + "\x80\x80\x80\x80", kUtf8, u"", 32765,
                   kInvalid, false},
        DecodeCase{"utf8_stray_byte_after_a_character_across_a_piece",
                   std::string(32766, 'a') + "\xE5\xA5\xBD" + "\x80", kUtf8, u"", 32769, kInvalid,
                   false},
        DecodeCase{"utf8_stray_byte_after_four_bytes_across_a_piece",
                   std::string(32765, 'a') + "\xF0\x9F\x98\x80" + "\xBF", kUtf8, u"", 32769,
                   kInvalid, false},
        DecodeCase{"utf8_stray_bytes_at_a_piece_end",
                   std::string(32766, 'a') + "\x80\x80\x80" + "b", kUtf8, u"", 32766, kInvalid,
                   false},
        DecodeCase{"utf8_cut_at_the_real_end", std::string(32767, 'a') + "\xE5", kUtf8, u"", 32767,
                   kCut, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A text longer than one conversion buffer, with a character across every boundary.
TEST(Decode, LongTextsGoThroughWhole) {
    std::string bytes;
    std::u16string text;
    for (int i = 0; i < 70000; ++i) {
        bytes += i % 3 == 0 ? "a" : i % 3 == 1 ? "好" : "😀";
        text += i % 3 == 0 ? u"a" : i % 3 == 1 ? u"好" : u"😀";
    }
    EXPECT_EQ(std::get<std::u16string>(decode(bytes, kUtf8)), text);
    EXPECT_EQ(std::get<std::string>(encode_utf8(text)), bytes);
    auto broken = bytes + "\xFF";
    EXPECT_EQ(std::get<DecodeError>(decode(broken, kUtf8)).byte_offset, bytes.size());
}

// One line longer than the pieces the system converters take, with a character across the
// boundary: it decodes whole in both encodings.
TEST(Decode, ALineLongerThanAConversionPiece) {
    const std::string ascii((std::size_t{1} << 26) - 1, 'a');
    const std::u16string text = std::u16string(ascii.size(), u'a') + u"好";
    EXPECT_EQ(std::get<std::u16string>(decode(ascii + "\xBA\xC3", kGbk)), text);
    EXPECT_EQ(std::get<std::u16string>(decode(ascii + "好", kUtf8)), text);
}

struct EncodeCase {
    const char* name;
    std::u16string text;
    bool gbk;
    std::size_t offset;
    EncodeError::Reason reason;
};

class EncodeFailure : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeFailure, CountsInCodeUnits) {
    const auto& test = GetParam();
    auto encoded = test.gbk ? encode_gbk(test.text) : encode_utf8(test.text);
    ASSERT_TRUE(std::holds_alternative<EncodeError>(encoded));
    EXPECT_EQ(std::get<EncodeError>(encoded).code_unit_offset, test.offset);
    EXPECT_EQ(std::get<EncodeError>(encoded).reason, test.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Codec, EncodeFailure,
    ::testing::Values(EncodeCase{"utf8_lone_high_surrogate", u"ab\xD800", false, 2,
                                 EncodeError::Reason::UnpairedSurrogate},
                      EncodeCase{"utf8_lone_low_surrogate", u"a😀\xDC00", false, 3,
                                 EncodeError::Reason::UnpairedSurrogate},
                      EncodeCase{"gbk_lacks_the_character", u"好😀", true, 1,
                                 EncodeError::Reason::NotRepresentable},
                      EncodeCase{"gbk_lone_surrogate", u"好\xD800", true, 1,
                                 EncodeError::Reason::UnpairedSurrogate},
                      // Characters ICU would skip without a word.
                      EncodeCase{"gbk_lacks_the_byte_order_mark", u"a\uFEFFb", true, 1,
                                 EncodeError::Reason::NotRepresentable},
                      EncodeCase{"gbk_lacks_a_variation_selector", u"好好\uFE0F", true, 2,
                                 EncodeError::Reason::NotRepresentable}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encode, GbkRoundTrips) {
    EXPECT_EQ(std::get<std::string>(encode_gbk(u"好€\uE000")), "\xBA\xC3\x80\xAA\xA1");
}

}  // namespace
}  // namespace mardovane
