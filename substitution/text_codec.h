#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace mardovane {

// The encodings the program reads and writes. GBK is Windows code page 936 exactly as
// Windows decodes it, user-defined areas included, so that a keyword file reads the same
// on every platform.
enum class Encoding { Gbk, Utf8 };

std::string_view encoding_name(Encoding encoding);

// Where decoding stopped, and why: the first byte of the sequence that is not valid in
// the encoding.
struct DecodeError {
    enum class Reason {
        InvalidSequence,  // bytes that no character of the encoding starts with
        Truncated,        // a multibyte sequence cut off by the end of the input
    };
    std::size_t byte_offset = 0;
    Reason reason = Reason::InvalidSequence;
};

// Where encoding stopped, counted in UTF-16 code units from the start of the text.
struct EncodeError {
    enum class Reason {
        UnpairedSurrogate,  // half of a surrogate pair, which no encoding can write
        NotRepresentable,   // a character the target encoding lacks
    };
    std::size_t code_unit_offset = 0;
    Reason reason = Reason::NotRepresentable;
};

[[nodiscard]] std::variant<std::u16string, DecodeError> decode(std::string_view bytes,
                                                               Encoding encoding);

// UTF-16 to UTF-8. Fails only on an unpaired surrogate.
[[nodiscard]] std::variant<std::string, EncodeError> encode_utf8(std::u16string_view text);

// UTF-16 to GBK, for tools that write keyword files.
[[nodiscard]] std::variant<std::string, EncodeError> encode_gbk(std::u16string_view text);

}  // namespace mardovane
