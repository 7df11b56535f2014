#include "substitution/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <new>
#include <optional>
#include <stdexcept>

namespace mardovane {
namespace {

// ICU's table for Windows code page 936 matches Windows byte for byte (user-defined areas
// and the euro sign at 0x80 included) but for one byte: Windows refuses a lone 0xFF, which
// ICU maps to U+F8F5. 0xFF is neither a lead nor a trail byte of GBK, so any 0xFF in the
// input is an invalid sequence of its own.
constexpr const char* kGbkConverter = "windows-936-2000";
constexpr char kByteWindowsRefuses = '\xFF';
constexpr char16_t kCharacterOnlyIcuDecodes = u'\uF8F5';

constexpr std::size_t kOutputUnits = std::size_t{1} << 15;
// Room for the bytes or code units of one failed character, as ICU asks of its callers.
constexpr int8_t kInvalidBufferLength = 32;

class GbkConverter {
  public:
    explicit GbkConverter() {
        UErrorCode status = U_ZERO_ERROR;
        converter_ = ucnv_open(kGbkConverter, &status);
        if (U_FAILURE(status)) {
            throw std::runtime_error(std::string("ICU has no converter ") + kGbkConverter);
        }
        ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        ucnv_setFromUCallBack(converter_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
    }
    ~GbkConverter() { ucnv_close(converter_); }
    GbkConverter(const GbkConverter&) = delete;
    GbkConverter& operator=(const GbkConverter&) = delete;
    UConverter* get() const { return converter_; }

  private:
    UConverter* converter_ = nullptr;
};

// Bytes to UTF-16 through a small output buffer, so that no worst-case-sized buffer is
// ever filled; the converter keeps a character cut between two calls.
std::variant<std::u16string, DecodeError> decode_gbk(std::string_view bytes) {
    const std::size_t refused = bytes.find(kByteWindowsRefuses);
    const std::string_view convertible = bytes.substr(0, refused);
    GbkConverter converter;
    // GBK takes at least a byte a code unit, so this never grows; the pages of it that the
    // text does not reach are never touched, and cost no memory.
    std::u16string text;
    text.reserve(convertible.size());
    const char* source = convertible.data();
    const char* const end = source + convertible.size();
    UChar buffer[kOutputUnits];
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        UChar* target = buffer;
        ucnv_toUnicode(converter.get(), &target, buffer + kOutputUnits, &source, end, nullptr,
                       /*flush=*/true, &status);
        text.append(reinterpret_cast<const char16_t*>(buffer),
                    static_cast<std::size_t>(target - buffer));
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            continue;
        }
        if (U_SUCCESS(status)) {
            break;
        }
        // The source stands just past the bytes that failed.
        char invalid[kInvalidBufferLength];
        int8_t length = sizeof invalid;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(converter.get(), invalid, &length, &ignored);
        const auto at = static_cast<std::size_t>(source - convertible.data()) -
                        static_cast<std::size_t>(length);
        return DecodeError{at, status == U_TRUNCATED_CHAR_FOUND && source == end &&
                                       refused == std::string_view::npos
                                   ? DecodeError::Reason::Truncated
                                   : DecodeError::Reason::InvalidSequence};
    }
    if (refused != std::string_view::npos) {
        return DecodeError{refused, DecodeError::Reason::InvalidSequence};
    }
    return text;
}

// The first ill-formed sequence, found with ICU's own iteration once the fast conversion
// has said that there is one. Only a sequence that runs into the end of the whole input
// (`at_end`), not merely of this piece, is cut off.
DecodeError first_invalid_utf8(std::string_view bytes, std::size_t base, bool at_end) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    int32_t at = 0;
    while (at < length) {
        const int32_t start = at;
        UChar32 c = 0;
        U8_NEXT(data, at, length, c);
        if (c < 0) {
            // Cut off: a lead byte whose sequence, valid so far, runs into the end.
            const bool cut_off = at_end && at == length && U8_IS_LEAD(data[start]);
            return {
                base + static_cast<std::size_t>(start),
                cut_off ? DecodeError::Reason::Truncated : DecodeError::Reason::InvalidSequence};
        }
    }
    return {base + bytes.size(), DecodeError::Reason::Truncated};
}

// A piece of at most `limit` bytes that does not cut a well-formed character in two. Bytes
// that belong to no such character stay where they fall: the piece that holds them fails
// at their own offset.
std::string_view next_utf8_piece(std::string_view rest, std::size_t limit) {
    if (rest.size() <= limit) {
        return rest;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(rest.data());
    auto cut = static_cast<int32_t>(limit);
    U8_SET_CP_START(data, 0, cut);  // back to the lead byte of the character `limit` is in
    return rest.substr(0, static_cast<std::size_t>(cut));
}

std::variant<std::u16string, DecodeError> decode_utf8(std::string_view bytes) {
    // Through a small buffer, as for the output: a result sized for the worst case would
    // be cleared in full first.
    std::u16string text;
    text.reserve(bytes.size() / 2);
    UChar buffer[kOutputUnits];
    std::size_t done = 0;
    while (done < bytes.size()) {
        // UTF-16 never takes more code units than UTF-8 takes bytes.
        const std::string_view piece = next_utf8_piece(bytes.substr(done), kOutputUnits);
        int32_t units = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8(buffer, static_cast<int32_t>(kOutputUnits), &units, piece.data(),
                      static_cast<int32_t>(piece.size()), &status);
        if (U_FAILURE(status)) {
            return first_invalid_utf8(piece, done, done + piece.size() == bytes.size());
        }
        text.append(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(units));
        done += piece.size();
    }
    return text;
}

std::size_t first_unpaired_surrogate(std::u16string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = at;
        UChar32 c = 0;
        U16_NEXT(text.data(), at, text.size(), c);
        if (U_IS_SURROGATE(c)) {
            return start;
        }
    }
    return text.size();
}

// ICU skips a default-ignorable character that GBK lacks (U+FEFF, U+200B, variation
// selectors) instead of failing: where the bytes do not read back as the text, the first
// character they lost.
std::optional<std::size_t> first_dropped(std::u16string_view text, const std::string& bytes) {
    const auto back = decode_gbk(bytes);
    const auto* read = std::get_if<std::u16string>(&back);
    if (read != nullptr && *read == text) {
        return std::nullopt;
    }
    const std::u16string_view again = read != nullptr ? std::u16string_view(*read) : u"";
    const auto [lost, unused] = std::mismatch(text.begin(), text.end(), again.begin(), again.end());
    return static_cast<std::size_t>(lost - text.begin());
}

}  // namespace

std::variant<std::u16string, DecodeError> decode(std::string_view bytes, Encoding encoding) {
    return encoding == Encoding::Gbk ? decode_gbk(bytes) : decode_utf8(bytes);
}

std::variant<std::string, EncodeError> encode_utf8(std::u16string_view text) {
    // Through a small buffer: sizing the result for three bytes a unit up front would
    // clear far more memory than the result takes.
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 2);
    char buffer[3 * kOutputUnits];
    std::size_t done = 0;
    while (done < text.size()) {
        std::u16string_view piece = text.substr(done, kOutputUnits);
        if (piece.size() == kOutputUnits && U16_IS_LEAD(piece.back())) {
            piece.remove_suffix(1);  // keep a surrogate pair together
        }
        int32_t written = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strToUTF8(buffer, static_cast<int32_t>(sizeof buffer), &written,
                    reinterpret_cast<const UChar*>(piece.data()),
                    static_cast<int32_t>(piece.size()), &status);
        if (U_FAILURE(status)) {
            return EncodeError{done + first_unpaired_surrogate(piece),
                               EncodeError::Reason::UnpairedSurrogate};
        }
        bytes.append(buffer, static_cast<std::size_t>(written));
        done += piece.size();
    }
    return bytes;
}

std::variant<std::string, EncodeError> encode_gbk(std::u16string_view text) {
    if (const std::size_t at = first_unpaired_surrogate(text); at < text.size()) {
        return EncodeError{at, EncodeError::Reason::UnpairedSurrogate};
    }
    // What ICU alone decodes from a lone 0xFF: Windows has no bytes for it.
    if (const std::size_t at = text.find(kCharacterOnlyIcuDecodes); at != text.npos) {
        return EncodeError{at, EncodeError::Reason::NotRepresentable};
    }
    GbkConverter converter;
    std::string bytes;
    const auto* const begin = reinterpret_cast<const UChar*>(text.data());
    const UChar* source = begin;
    const UChar* const end = begin + text.size();
    char buffer[kOutputUnits];
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        char* target = buffer;
        ucnv_fromUnicode(converter.get(), &target, buffer + sizeof buffer, &source, end, nullptr,
                         /*flush=*/true, &status);
        bytes.append(buffer, static_cast<std::size_t>(target - buffer));
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            continue;
        }
        if (U_SUCCESS(status)) {
            if (const auto lost = first_dropped(text, bytes)) {
                return EncodeError{*lost, EncodeError::Reason::NotRepresentable};
            }
            return bytes;
        }
        UChar invalid[kInvalidBufferLength];
        int8_t length = kInvalidBufferLength;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidUChars(converter.get(), invalid, &length, &ignored);
        return EncodeError{
            static_cast<std::size_t>(source - begin) - static_cast<std::size_t>(length),
            EncodeError::Reason::NotRepresentable};
    }
}

}  // namespace mardovane
