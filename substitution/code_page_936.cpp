#include "substitution/code_page_936.h"

#include <array>
#include <utility>
#include <vector>

namespace mardovane {
namespace {

#include "code_page_936_table.inc"

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFE;
constexpr unsigned kTrails = kLastTrail - kFirstTrail + 1;

bool is_lead(unsigned byte) {
    return byte >= kFirstLead && byte <= kLastLead;
}

char16_t pair_character(unsigned lead, unsigned trail) {
    if (trail < kFirstTrail || trail > kLastTrail) {
        return u'\0';
    }
    return kDoubleBytes[(lead - kFirstLead) * kTrails + (trail - kFirstTrail)];
}

// Each BMP character's bytes (one or two, high byte first; 0: not representable), made
// once from the decoding tables.
const std::vector<std::uint16_t>& encodings() {
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> bytes(0x10000, 0);
        for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
            for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
                if (const char16_t c = pair_character(lead, trail); c != u'\0' && bytes[c] == 0) {
                    bytes[c] = static_cast<std::uint16_t>(lead << 8 | trail);
                }
            }
        }
        // Single bytes win: ASCII and the euro sign are written in one byte.
        for (unsigned byte = 0; byte < 256; ++byte) {
            if (const char16_t c = kSingleBytes[byte]; c != u'\0' || byte == 0) {
                bytes[c] = static_cast<std::uint16_t>(byte);
            }
        }
        return bytes;
    }();
    return table;
}

}  // namespace

std::variant<std::u16string, DecodeError> decode_code_page_936(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (!is_lead(byte)) {
            const char16_t c = kSingleBytes[byte];
            if (c == u'\0' && byte != 0) {
                return DecodeError{at, DecodeError::Reason::InvalidSequence};
            }
            text += c;
            ++at;
            continue;
        }
        if (at + 1 == bytes.size()) {
            return DecodeError{at, DecodeError::Reason::Truncated};
        }
        const char16_t c = pair_character(byte, static_cast<unsigned char>(bytes[at + 1]));
        if (c == u'\0') {
            return DecodeError{at, DecodeError::Reason::InvalidSequence};
        }
        text += c;
        at += 2;
    }
    return text;
}

std::variant<std::string, EncodeError> encode_code_page_936(std::u16string_view text) {
    const auto& table = encodings();
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c >= 0xD800 && c <= 0xDFFF) {
            const bool paired = c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
                                text[at + 1] <= 0xDFFF;
            return EncodeError{at, paired ? EncodeError::Reason::NotRepresentable
                                          : EncodeError::Reason::UnpairedSurrogate};
        }
        const std::uint16_t encoded = table[c];
        if (encoded == 0 && c != 0) {
            return EncodeError{at, EncodeError::Reason::NotRepresentable};
        }
        if (encoded > 0xFF) {
            bytes += static_cast<char>(encoded >> 8);
        }
        bytes += static_cast<char>(encoded & 0xFF);
    }
    return bytes;
}

}  // namespace mardovane
