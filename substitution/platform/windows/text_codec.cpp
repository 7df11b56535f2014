#include "substitution/text_codec.h"

#include <windows.h>

#include <optional>

namespace mardovane {
namespace {

constexpr UINT kGbkCodePage = 936;

UINT code_page(Encoding encoding) {
    return encoding == Encoding::Gbk ? kGbkCodePage : CP_UTF8;
}

// Whether the last bytes of the input begin a sequence that more bytes would complete:
// a GBK lead byte alone, or a UTF-8 lead byte followed by fitting continuation bytes.
bool cut_off_by_the_end(std::string_view rest, UINT page) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    if (page != CP_UTF8) {
        return rest.size() == 1 && lead >= 0x81 && lead <= 0xFE;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (rest.size() >= length) {
        return false;
    }
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const auto next = static_cast<unsigned char>(rest[i]);
        // The second byte of some leads has a narrower range: no overlong forms, no
        // surrogates, nothing past U+10FFFF.
        const unsigned low = i > 1 ? 0x80 : lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = i > 1 ? 0xBF : lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (next < low || next > high) {
            return false;
        }
    }
    return true;
}

// Windows converts whole buffers and only says that something was invalid; this finds the
// first byte that no sequence of one to four bytes starting there converts. Only a
// sequence that runs into the end of the whole input (`at_end`) is cut off.
DecodeError first_invalid_byte(std::string_view bytes, std::size_t base, UINT page, bool at_end) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t length = 1;
        while (length <= 4 && at + length <= bytes.size() &&
               MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data() + at,
                                   static_cast<int>(length), nullptr, 0) == 0) {
            ++length;
        }
        if (length > 4 || at + length > bytes.size()) {
            return {base + at, at_end && cut_off_by_the_end(bytes.substr(at), page)
                                   ? DecodeError::Reason::Truncated
                                   : DecodeError::Reason::InvalidSequence};
        }
        at += length;
    }
    return {base + at, DecodeError::Reason::Truncated};
}

// The API takes int sizes: long texts go through in pieces of at most this many bytes or
// code units.
constexpr std::size_t kPiece = std::size_t{1} << 26;

// Where a piece of at most kPiece bytes may end: after its last line break, which no
// multibyte sequence of either encoding contains; in a longer line, between two
// characters (GBK's trail bytes look like leads, so its characters are counted from the
// piece's start).
std::size_t piece_length(std::string_view rest, UINT page) {
    if (rest.size() <= kPiece) {
        return rest.size();
    }
    const std::string_view piece = rest.substr(0, kPiece);
    if (const std::size_t cut = piece.find_last_of("\r\n"); cut != std::string_view::npos) {
        return cut + 1;
    }
    if (page == CP_UTF8) {
        std::size_t cut = kPiece;
        while (cut > kPiece - 4 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        return cut;
    }
    std::size_t at = 0;
    while (at < kPiece) {
        const auto byte = static_cast<unsigned char>(rest[at]);
        const std::size_t length = byte >= 0x81 && byte <= 0xFE ? 2 : 1;
        if (at + length > kPiece) {
            break;
        }
        at += length;
    }
    return at;
}

}  // namespace

std::variant<std::u16string, DecodeError> decode(std::string_view bytes, Encoding encoding) {
    const UINT page = code_page(encoding);
    std::u16string text;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::string_view piece = bytes.substr(done, piece_length(bytes.substr(done), page));
        const int size = static_cast<int>(piece.size());
        const int units =
            MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, piece.data(), size, nullptr, 0);
        if (units == 0) {
            return first_invalid_byte(piece, done, page, done + piece.size() == bytes.size());
        }
        const std::size_t start = text.size();
        text.resize(start + static_cast<std::size_t>(units));
        MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, piece.data(), size,
                            reinterpret_cast<wchar_t*>(text.data() + start), units);
        done += piece.size();
    }
    return text;
}

namespace {

// The first code unit that converts to nothing: for UTF-8 an unpaired surrogate, for GBK a
// character it lacks.
std::size_t first_unconvertible(std::u16string_view text, UINT page) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool pair = text[at] >= 0xD800 && text[at] <= 0xDBFF && at + 1 < text.size() &&
                          text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
        const int length = pair ? 2 : 1;
        BOOL used_default = FALSE;
        const int bytes =
            WideCharToMultiByte(page, page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                reinterpret_cast<const wchar_t*>(text.data() + at), length, nullptr,
                                0, nullptr, page == CP_UTF8 ? nullptr : &used_default);
        if (bytes == 0 || used_default) {
            return at;
        }
        at += static_cast<std::size_t>(length - 1);
    }
    return text.size();
}

// Appends one piece to `result`, or says where it cannot be converted.
std::optional<EncodeError> encode_piece(std::u16string_view text, UINT page, std::string& result) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const DWORD flags = page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* check_default = page == CP_UTF8 ? nullptr : &used_default;
    const int bytes =
        WideCharToMultiByte(page, flags, wide, size, nullptr, 0, nullptr, check_default);
    if (bytes == 0 || used_default) {
        const std::size_t at = first_unconvertible(text, page);
        const auto is_high = [&](std::size_t i) { return text[i] >= 0xD800 && text[i] <= 0xDBFF; };
        const auto is_low = [&](std::size_t i) { return text[i] >= 0xDC00 && text[i] <= 0xDFFF; };
        const bool paired = at + 1 < text.size() && is_high(at) && is_low(at + 1);
        const bool surrogate = at < text.size() && !paired && (is_high(at) || is_low(at));
        return EncodeError{at, surrogate ? EncodeError::Reason::UnpairedSurrogate
                                         : EncodeError::Reason::NotRepresentable};
    }
    const std::size_t start = result.size();
    result.resize(start + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(page, flags, wide, size, result.data() + start, bytes, nullptr, nullptr);
    return std::nullopt;
}

// In pieces of at most kPiece code units, a surrogate pair kept whole, so that a text of
// any length converts.
std::variant<std::string, EncodeError> encode(std::u16string_view text, UINT page) {
    std::string result;
    std::size_t done = 0;
    while (done < text.size()) {
        std::u16string_view piece = text.substr(done, kPiece);
        if (done + piece.size() < text.size() && piece.back() >= 0xD800 && piece.back() <= 0xDBFF) {
            piece.remove_suffix(1);
        }
        if (auto error = encode_piece(piece, page, result)) {
            error->code_unit_offset += done;
            return *error;
        }
        done += piece.size();
    }
    return result;
}

}  // namespace

std::variant<std::string, EncodeError> encode_utf8(std::u16string_view text) {
    return encode(text, CP_UTF8);
}

std::variant<std::string, EncodeError> encode_gbk(std::u16string_view text) {
    return encode(text, kGbkCodePage);
}

}  // namespace mardovane
