// Fuzzes the keyword file reader and holds the split engine against one pass per pair.
// Input: keyword file bytes, a NUL byte, then text bytes (each byte picks a letter).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "substitution/keyword_file.h"
#include "substitution/split.h"
#include "tests/reference/reference_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mardovane;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t separator = input.find('\0');
    const std::string_view file = input.substr(0, separator);
    auto parsed = parse_keyword_file(file, "fuzz.info");
    if (const auto* error = std::get_if<KeywordFileError>(&parsed)) {
        if (error->byte_offset >= file.size() || error->line == 0) {
            std::abort();  // an error must point into the file
        }
        return 0;
    }
    const auto& table = std::get<KeywordTable>(parsed);
    if (separator == std::string_view::npos || table.lines.size() > 40) {
        return 0;
    }
    static constexpr std::u16string_view kLetters = u"abc好";
    std::u16string text;
    for (const char byte : input.substr(separator + 1, 64)) {
        text += kLetters[static_cast<unsigned char>(byte) % kLetters.size()];
    }
    constexpr std::size_t kLimit = 1024;
    auto fast = split(text, table, kLimit);
    auto slow = testing::reference_split(text, table, 64 * kLimit);
    if (!slow) {
        return 0;  // one pass per pair grew past its guard: nothing to compare with
    }
    if (std::holds_alternative<ResultTooLarge>(fast)) {
        if (slow->longest <= kLimit) {
            std::abort();  // gave up although the text never grew too long
        }
    } else if (std::get<std::u16string>(fast) != slow->text) {
        std::abort();
    }
    return 0;
}
