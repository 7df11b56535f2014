#include "substitution/text_codec.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <optional>
#include <stdexcept>

namespace mardovane {
namespace {

// Keyword files are Windows code page 936 (GBK plus the euro sign at 0x80).
constexpr const char* kGbkName = "CP936";
constexpr const char* kUtf8Name = "UTF-8";
constexpr const char* kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

constexpr std::size_t kBufferBytes = 1 << 16;

class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input, appending to `output` (a std::string or std::u16string)
    // through a small buffer, so that no worst-case-sized buffer is ever filled. On failure
    // returns the offset of the offending input byte.
    template <typename Output>
    std::optional<DecodeError> convert(const char* input, std::size_t size, Output& output) {
        using Unit = typename Output::value_type;
        Unit buffer[kBufferBytes / sizeof(Unit)];
        char* in = const_cast<char*>(input);
        std::size_t in_left = size;
        while (in_left > 0) {
            char* out = reinterpret_cast<char*>(buffer);
            std::size_t out_left = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &in_left, &out, &out_left);
            const int error = errno;
            // iconv stops only between characters, so the buffer holds whole code units.
            output.append(buffer, (sizeof buffer - out_left) / sizeof(Unit));
            if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
                return DecodeError{size - in_left};
            }
        }
        return std::nullopt;
    }

  private:
    iconv_t handle_;
};

}  // namespace

std::variant<std::u16string, DecodeError> decode(std::string_view bytes, Encoding encoding) {
    Converter converter(kUtf16Name, encoding == Encoding::Gbk ? kGbkName : kUtf8Name);
    std::u16string text;
    // Chinese text takes two or three bytes a character in either encoding.
    text.reserve(bytes.size() / 2);
    if (auto error = converter.convert(bytes.data(), bytes.size(), text)) {
        return *error;
    }
    return text;
}

namespace {

std::variant<std::string, DecodeError> encode(std::u16string_view text, const char* to,
                                              std::size_t bytes_per_unit) {
    Converter converter(to, kUtf16Name);
    std::string bytes;
    bytes.reserve(bytes_per_unit * text.size());
    if (auto error = converter.convert(reinterpret_cast<const char*>(text.data()),
                                       text.size() * sizeof(char16_t), bytes)) {
        return DecodeError{error->byte_offset / sizeof(char16_t)};
    }
    return bytes;
}

}  // namespace

std::variant<std::string, DecodeError> encode_utf8(std::u16string_view text) {
    return encode(text, kUtf8Name, 3);
}

std::variant<std::string, DecodeError> encode_gbk(std::u16string_view text) {
    return encode(text, kGbkName, 2);
}

}  // namespace mardovane
