#include <locale.h>
#include <uchar.h>

#include "substitution/code_page_936.h"
#include "substitution/text_codec.h"

namespace mardovane {
namespace {

// The C library's UTF-8 conversions follow the thread's locale: C.UTF-8, whatever the
// page or Node set.
class Utf8Locale {
  public:
    Utf8Locale()
        : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))),
          previous_(uselocale(locale_)) {}
    ~Utf8Locale() {
        uselocale(previous_);
        freelocale(locale_);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

  private:
    locale_t locale_;
    locale_t previous_;
};

constexpr std::size_t kInvalid = static_cast<std::size_t>(-1);
constexpr std::size_t kIncomplete = static_cast<std::size_t>(-2);
constexpr std::size_t kSecondHalf = static_cast<std::size_t>(-3);

std::variant<std::u16string, DecodeError> decode_utf8(std::string_view bytes) {
    const Utf8Locale utf8;
    std::u16string text;
    text.reserve(bytes.size());
    mbstate_t state{};
    std::size_t at = 0;
    while (at < bytes.size()) {
        char16_t unit = 0;
        const std::size_t used = mbrtoc16(&unit, bytes.data() + at, bytes.size() - at, &state);
        if (used == kInvalid) {
            return DecodeError{at, DecodeError::Reason::InvalidSequence};
        }
        if (used == kIncomplete) {
            return DecodeError{at, DecodeError::Reason::Truncated};
        }
        text += unit;
        if (used != kSecondHalf) {
            at += used == 0 ? 1 : used;  // 0: the null character, one byte
        }
    }
    // The low surrogate of a character outside the BMP that ended the input, which the
    // next call gives without reading (a null source would drop it).
    char16_t unit = 0;
    if (mbrtoc16(&unit, "", 1, &state) == kSecondHalf) {
        text += unit;
    }
    return text;
}

}  // namespace

std::variant<std::u16string, DecodeError> decode(std::string_view bytes, Encoding encoding) {
    return encoding == Encoding::Gbk ? decode_code_page_936(bytes) : decode_utf8(bytes);
}

std::variant<std::string, EncodeError> encode_utf8(std::u16string_view text) {
    const Utf8Locale utf8;
    std::string bytes;
    bytes.reserve(text.size() * 3);
    mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::size_t written = c16rtomb(buffer, text[at], &state);
        const bool lone_high = written == 0 && (at + 1 == text.size() || text[at + 1] < 0xDC00 ||
                                                text[at + 1] > 0xDFFF);
        if (written == kInvalid || lone_high) {
            return EncodeError{at, EncodeError::Reason::UnpairedSurrogate};
        }
        bytes.append(buffer, written);
    }
    return bytes;
}

std::variant<std::string, EncodeError> encode_gbk(std::u16string_view text) {
    return encode_code_page_936(text);
}

}  // namespace mardovane
