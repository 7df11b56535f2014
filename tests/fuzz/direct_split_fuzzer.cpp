// Holds the splitter's direct way through UTF-8 against its general way (decode, split,
// encode): the same bytes out, and the same failure, said in the same words. Input: a
// table, a NUL byte, a settings byte, then the text as raw bytes, well-formed UTF-8 or not.
// The table is keyword file bytes, or, after a leading 0x01, lines cut at 0x02 whose bytes
// pick letters of one to four bytes in UTF-8. The settings pick the size limit and the size
// of the pieces.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cli/block_split.h"
#include "cli/exit_status.h"
#include "substitution/direct_utf8_split.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace mardovane;

// No line break: no text to find or replacement of a keyword file holds one.
constexpr std::array<std::u16string_view, 10> kLetters = {
    u"a", u"b", u"é", u"好", u"子", u"女", u"😀", std::u16string_view(u"\0", 1), u"\uFFFF", u"",
};

struct Way {
    std::string output;
    std::optional<cli::BlockFailure> failure;
    std::size_t line_breaks = 0;
};

Way split(const SplitPlan& plan, std::string_view text, std::size_t limit, std::size_t piece_units,
          const DirectUtf8Split* direct) {
    Way way;
    const auto outcome = cli::split_block(
        plan, text, 1,
        [&way](std::string&& piece) {
            way.output += piece;
            return true;
        },
        limit, piece_units, direct);
    way.failure = outcome.failure;
    way.line_breaks = outcome.line_breaks;
    return way;
}

std::string message_of(const Way& way) {
    return way.failure ? cli::describe(*way.failure, "input", 1, 0) + " / " +
                             std::to_string(cli::exit_status_of(way.failure->kind))
                       : std::string("done");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto input = fuzz::sections_of({reinterpret_cast<const char*>(data), size});
    auto parsed = fuzz::table_of(input.table, kLetters);
    if (!input.settings || std::holds_alternative<FileError>(parsed)) {
        return 0;
    }
    const KeywordTable& table = std::get<KeywordTable>(parsed);
    if (table.line_count() > 2100) {
        return 0;
    }
    const SplitPlan plan(table);
    const auto direct = DirectUtf8Split::of(plan);
    if (!direct) {
        return 0;  // no direct way for this table: nothing to compare
    }
    const std::size_t limit = std::size_t{16} << (*input.settings & 7);
    const std::size_t piece_units = std::size_t{1} << ((*input.settings >> 3) & 7);
    const std::string_view text = input.text.substr(0, 512);

    const Way general = split(plan, text, limit, piece_units, nullptr);
    const Way straight = split(plan, text, limit, piece_units, &*direct);
    if (message_of(general) != message_of(straight)) {
        std::abort();  // failed differently, or only one way failed
    }
    if (!general.failure &&
        (general.output != straight.output || general.line_breaks != straight.line_breaks)) {
        std::abort();  // different bytes out
    }
    return 0;
}
