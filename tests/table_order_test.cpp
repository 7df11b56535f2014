#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "tools/keyword_tables/keyword_file_writer.h"
#include "tools/keyword_tables/table_order.h"

namespace mardovane::tables {
namespace {

using Splits = std::map<char16_t, std::u16string>;

struct CycleCase {
    const char* name;
    Splits splits;
    std::u16string cyclic;  // the characters on cycles, in code point order
};

class CharactersOnCycles : public ::testing::TestWithParam<CycleCase> {};

TEST_P(CharactersOnCycles, AreFoundWhateverTheirLength) {
    const auto found = characters_on_cycles(GetParam().splits);
    EXPECT_EQ(std::u16string(found.begin(), found.end()), GetParam().cyclic);
}

INSTANTIATE_TEST_SUITE_P(
    TableOrder, CharactersOnCycles,
    ::testing::Values(
        CycleCase{"none", {{u'湖', u"氵胡"}, {u'胡', u"古月"}}, u""},
        CycleCase{"two", {{u'a', u"b"}, {u'b', u"a"}, {u'c', u"a"}}, u"ab"},
        CycleCase{
            "three_with_a_tail", {{u'a', u"bx"}, {u'b', u"c"}, {u'c', u"a"}, {u'd', u"a"}}, u"abc"},
        CycleCase{"a_character_in_its_own_split", {{u'a', u"ab"}, {u'c', u"a"}}, u"a"}),
    [](const auto& info) { return std::string(info.param.name); });

// Pairs as the text people read, for comparing orders at a glance.
std::u16string ordered(Splits splits) {
    return pairs_as_text(order_one_level_per_click(std::move(splits)).pairs);
}

struct OrderCase {
    const char* name;
    Splits splits;
    std::u16string pairs;
    std::size_t left_out;
};

class OneLevelPerClick : public ::testing::TestWithParam<OrderCase> {};

// A component's own pair comes first, so that the click that writes it does not split it
// further; ties go by code point; characters on cycles are left out.
TEST_P(OneLevelPerClick, PutsEveryComponentBeforeItsUsers) {
    const auto& test = GetParam();
    EXPECT_EQ(ordered(test.splits), test.pairs);
    EXPECT_EQ(order_one_level_per_click(test.splits).left_out_for_cycles, test.left_out);
}

INSTANTIATE_TEST_SUITE_P(
    TableOrder, OneLevelPerClick,
    ::testing::Values(
        OrderCase{"component_first", {{u'湖', u"氵胡"}, {u'胡', u"古月"}}, u"胡→古月 湖→氵胡 ", 0},
        OrderCase{"code_point_order_between_the_ready",
                  {{u'好', u"女子"}, {u'林', u"木木"}, {u'明', u"日月"}},
                  u"好→女子 明→日月 林→木木 ",
                  0},
        OrderCase{"a_deep_chain", {{u'c', u"b"}, {u'b', u"a1"}, {u'a', u"x"}}, u"a→x b→a1 c→b ", 0},
        OrderCase{"cycles_left_out", {{u'a', u"b"}, {u'b', u"a"}, {u'c', u"d"}}, u"c→d ", 2},
        OrderCase{
            "a_user_of_a_cycle_stays", {{u'a', u"b"}, {u'b', u"a"}, {u'c', u"a"}}, u"c→a ", 2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mardovane::tables
