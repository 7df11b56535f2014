// The generated code page 936 table, as the web page decodes with it, against ICU's
// windows-936-2000 converter as the desktop decodes with it: every one- and two-byte
// sequence, and every character of the BMP.
#include <gtest/gtest.h>

#include <string>

#include "substitution/code_page_936.h"
#include "substitution/text_codec.h"

namespace mardovane {
namespace {

std::string describe(const std::variant<std::u16string, DecodeError>& decoded) {
    if (const auto* text = std::get_if<std::u16string>(&decoded)) {
        std::string units;
        for (const char16_t unit : *text) {
            units += std::to_string(static_cast<int>(unit)) + " ";
        }
        return "text " + units;
    }
    const auto& error = std::get<DecodeError>(decoded);
    return "error at " + std::to_string(error.byte_offset) + " reason " +
           std::to_string(static_cast<int>(error.reason));
}

std::string describe(const std::variant<std::string, EncodeError>& encoded) {
    if (const auto* bytes = std::get_if<std::string>(&encoded)) {
        std::string hex;
        for (const char byte : *bytes) {
            hex += std::to_string(static_cast<unsigned char>(byte)) + " ";
        }
        return "bytes " + hex;
    }
    const auto& error = std::get<EncodeError>(encoded);
    return "error at " + std::to_string(error.code_unit_offset) + " reason " +
           std::to_string(static_cast<int>(error.reason));
}

TEST(CodePage936, DecodesEveryOneAndTwoByteSequenceAsIcuDoes) {
    int differences = 0;
    for (int first = 0; first < 256; ++first) {
        const std::string one{static_cast<char>(first)};
        if (describe(decode_code_page_936(one)) != describe(decode(one, Encoding::Gbk))) {
            ADD_FAILURE() << "byte " << first;
            ++differences;
        }
        for (int second = 0; second < 256 && differences < 20; ++second) {
            const std::string two{static_cast<char>(first), static_cast<char>(second)};
            const auto table = describe(decode_code_page_936(two));
            const auto icu = describe(decode(two, Encoding::Gbk));
            if (table != icu) {
                ADD_FAILURE() << "bytes " << first << " " << second << ": " << table << " vs "
                              << icu;
                ++differences;
            }
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(CodePage936, EncodesEveryCharacterAsIcuDoes) {
    int differences = 0;
    for (int c = 0; c < 0x10000 && differences < 20; ++c) {
        const std::u16string one(1, static_cast<char16_t>(c));
        const auto icu_bytes = encode_gbk(one);
        const auto* written = std::get_if<std::string>(&icu_bytes);
        if (written != nullptr && written->empty() && c != 0) {
            continue;  // ICU drops a default-ignorable character that GBK lacks (U+200E)
        }
        const auto table = describe(encode_code_page_936(one));
        const auto icu = describe(icu_bytes);
        if (table != icu) {
            ADD_FAILURE() << "U+" << std::hex << c << std::dec << ": " << table << " vs " << icu;
            ++differences;
        }
    }
    EXPECT_EQ(differences, 0);
    // A pair of surrogates is one character, outside the BMP: GBK has none.
    EXPECT_EQ(describe(encode_code_page_936(u"a\U0001F600")), describe(encode_gbk(u"a\U0001F600")));
}

}  // namespace
}  // namespace mardovane
