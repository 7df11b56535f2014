// Holds the split engine against one pass per pair.
// Input: a table, a NUL byte, then a settings byte and the text. The table is keyword file
// bytes, or, after a leading 0x01, lines cut at 0x02 whose bytes pick letters (so that line
// ends, NUL, the byte-order mark and characters outside the BMP reach the engine through
// the table too). The settings pick the size limit and whether the plan is applied twice.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "substitution/split.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/reference/reference_split.h"

namespace {

using namespace mardovane;

constexpr std::array<std::u16string_view, 10> kLetters = {
    u"a",      u"b", u"c", u"好", u"\r", u"\n", std::u16string_view(u"\0", 1), u"\uFEFF", u"😀",
    u"\xD83D",  // half of a surrogate pair, as a text box may hold
};

// Splits with the engine and with one pass per pair; aborts where they disagree. The
// engine must give up exactly where a text it holds, the one given to a round or its
// result, passes the limit.
void compare(const SplitPlan& plan, const KeywordTable& table, const std::u16string& text,
             std::size_t limit, int rounds) {
    std::u16string expected = text;
    std::u16string actual = text;
    for (int round = 0; round < rounds; ++round) {
        const auto slow = testing::reference_split(expected, table, 64 * limit);
        if (!slow) {
            return;  // one pass per pair grew past its guard: nothing to compare with
        }
        const bool too_large = expected.size() > limit || slow->text.size() > limit;
        expected = slow->text;
        auto fast = plan.apply(actual, limit);
        if (std::holds_alternative<ResultTooLarge>(fast) != too_large) {
            std::abort();  // gave up on a text within the limit, or took one past it
        }
        if (too_large) {
            return;
        }
        actual = std::get<std::u16string>(fast);
        if (actual != expected) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto input = fuzz::sections_of({reinterpret_cast<const char*>(data), size});
    auto parsed = fuzz::table_of(input.table, kLetters);
    if (std::holds_alternative<FileError>(parsed)) {
        return 0;  // the keyword file fuzzer holds its errors to account
    }
    const KeywordTable& table = std::get<KeywordTable>(parsed);
    if (!input.settings || table.line_count() > 2100) {
        return 0;
    }
    const std::size_t limit = std::size_t{16} << (*input.settings & 7);
    const int rounds = (*input.settings & 8) != 0 ? 2 : 1;
    const std::u16string text = fuzz::letters(input.text.substr(0, 64), kLetters);
    const SplitPlan plan(table);
    compare(plan, table, text, limit, rounds);
    return 0;
}
