#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace mardovane {

// The encodings the program reads and writes, as glibc's iconv names them.
enum class Encoding { Gbk, Utf8 };

// Where decoding stopped: the first byte of the sequence that is not valid in the
// encoding. A multibyte sequence cut off by the end of the input counts as invalid too.
struct DecodeError {
    std::size_t byte_offset = 0;
};

std::variant<std::u16string, DecodeError> decode(std::string_view bytes, Encoding encoding);

// UTF-16 to UTF-8. Fails (at the code unit offset) only on an unpaired surrogate.
std::variant<std::string, DecodeError> encode_utf8(std::u16string_view text);

// UTF-16 to GBK, for tools that write keyword files. Fails at the first code unit that GBK
// cannot represent.
std::variant<std::string, DecodeError> encode_gbk(std::u16string_view text);

}  // namespace mardovane
