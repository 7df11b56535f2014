#include "tools/keyword_tables/reader_rules.h"

#include <map>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane::tables {
namespace {

// Pieces a reader would not call pieces: single strokes (乙 is a character of its own).
constexpr std::u16string_view kBareStrokes = u"一丨丶丿乚乛亅乀乁";

// The Kangxi radicals of one to five strokes (1 to 117), as simplified Chinese writes them:
// readers see each as one unit, and know each as a piece.
constexpr std::u16string_view kSmallRadicals =
    u"一丨丶丿乙亅二亠人儿入八冂冖冫几凵刀力勹匕匚匸十卜卩厂厶又口囗土士夂夊夕大女子宀寸小"
    u"尢尸屮山巛工己巾干幺广廴廾弋弓彐彡彳心戈户手支攴文斗斤方无日曰月木欠止歹殳毋比毛氏"
    u"气水火爪父爻爿片牙牛犬玄玉瓜瓦甘生用田疋疒癶白皮皿目矛矢石示禸禾穴立";

// Component forms that readers see as units and know as pieces.
constexpr std::u16string_view kComponentForms =
    u"亻氵忄扌犭纟讠钅饣礻衤阝刂丬艹罒覀耂灬爫氺攵廾彡门虍辶丷";

// The enclosing components of the surrounding shapes that read well side by side.
const std::map<std::string, std::u16string_view>& enclosures() {
    static const std::map<std::string, std::u16string_view> by_kind = {
        {"s", u"囗"},           {"st", u"门門鬥"}, {"stl", u"疒广尸厂户耂虍麻鹿夕"},
        {"str", u"勹气戈弋丁"}, {"sl", u"匚"},     {"sbl", u"辶走廴鬼是免爪毛九尢"},
        {"lock", u"勹"},  // 包: 勹 round 巳
    };
    return by_kind;
}

// Top-bottom splits go into the default table when the top or the bottom is one of these.
constexpr std::u16string_view kKnownTops = u"艹宀竹雨罒覀穴冖爫癶丷髟亠日";
constexpr std::u16string_view kKnownBottoms = u"心灬皿贝貝氺糸隹土";

bool contains(std::u16string_view set, char16_t c) {
    return set.find(c) != std::u16string_view::npos;
}

}  // namespace

// How many times a repetition kind writes its one component.
std::optional<std::size_t> repetition_count(const std::string& kind) {
    static const std::map<std::string, std::size_t> counts = {
        {"ra", 2}, {"r3a", 3}, {"r3tr", 3}, {"r4sq", 4}, {"rd", 2}};
    const auto it = counts.find(kind);
    return it != counts.end() ? std::optional<std::size_t>(it->second) : std::nullopt;
}

std::string arrangement_of(const std::string& kind) {
    if (kind == "ra" || kind == "r3a") {
        return "a";  // a repetition in a row is a row (比, 川)
    }
    return is_top_bottom(kind) ? "d" : kind;
}

bool is_top_bottom(const std::string& kind) {
    // d/t and d/m: the halves touch or cross a little (早 去 果), as a reader still sees two.
    return kind == "d" || kind == "rd" || kind == "d/t" || kind == "d/m";
}

namespace {

// Radical forms that GBK lacks, written as the full characters they stand for.
const std::map<char16_t, char16_t>& full_forms() {
    static const std::map<char16_t, char16_t> forms = {
        {u'⺅', u'亻'}, {u'⺌', u'小'}, {u'⺍', u'小'}, {u'⺖', u'忄'}, {u'⺗', u'心'},
        {u'⺘', u'扌'}, {u'⺙', u'攵'}, {u'⺡', u'氵'}, {u'⺨', u'犭'}, {u'⺮', u'竹'},
        {u'⺲', u'罒'}, {u'⺶', u'羊'}, {u'⺷', u'羊'}, {u'⺻', u'聿'}, {u'⺼', u'月'},
        {u'⺾', u'艹'}, {u'⺿', u'艹'}, {u'⻀', u'艹'}, {u'⻊', u'足'}, {u'⻌', u'辶'},
        {u'⻍', u'辶'}, {u'⻎', u'辶'}, {u'⻏', u'阝'}, {u'⻖', u'阝'}, {u'⻗', u'雨'},
        {u'㇠', u'乙'},
    };
    return forms;
}

}  // namespace

std::optional<char16_t> ReaderRules::piece_of(const std::u16string& component) const {
    if (component.size() != 1) {
        return std::nullopt;  // an intermediate shape, or a character beyond the BMP
    }
    char16_t c = component[0];
    if (const auto full = full_form(c)) {
        c = *full;
    }
    if (is_bare_stroke(c) || !is_known_piece(c)) {
        return std::nullopt;
    }
    return c;
}

std::optional<char16_t> full_form(char16_t c) {
    const auto it = full_forms().find(c);
    return it != full_forms().end() ? std::optional<char16_t>(it->second) : std::nullopt;
}

std::optional<std::u16string_view> enclosing_components(const std::string& kind) {
    const auto it = enclosures().find(kind);
    return it != enclosures().end() ? std::optional<std::u16string_view>(it->second) : std::nullopt;
}

bool is_known_top(char16_t c) {
    return contains(kKnownTops, c);
}

bool is_known_bottom(char16_t c) {
    return contains(kKnownBottoms, c);
}

// GB2312's hanzi: the common characters, bytes B0A1 to F7FE; level 1 (the most common
// 3,755) ends before lead byte D8.
bool is_gb2312_hanzi(char16_t c, bool level_1_only) {
    const auto bytes = encode_gbk(std::u16string(1, c));
    const auto* gbk = std::get_if<std::string>(&bytes);
    if (gbk == nullptr || gbk->size() != 2) {
        return false;
    }
    const auto lead = static_cast<unsigned char>((*gbk)[0]);
    const auto trail = static_cast<unsigned char>((*gbk)[1]);
    return lead >= 0xB0 && lead <= (level_1_only ? 0xD7 : 0xF7) && trail >= 0xA1;
}

bool ReaderRules::is_unit(char16_t c) const {
    const auto overridden = overrides_.characters.find(c);
    if (overridden != overrides_.characters.end() && overridden->second) {
        return false;  // reviewed: readers split it at a glance
    }
    return contains(kSmallRadicals, c) || contains(kComponentForms, c) ||
           facts_.radicals.contains(c);
}

bool ReaderRules::is_known_piece(char16_t c) const {
    if (!is_gbk_character(c)) {
        return false;
    }
    if (is_gb2312_hanzi(c) || is_unit(c) || overrides_.familiar_pieces.contains(c)) {
        return true;
    }
    const auto simplified = facts_.simplified_of_traditional(c);
    return simplified && simplified->size() == 1 && is_gb2312_hanzi((*simplified)[0]);
}

bool ReaderRules::fits(char16_t character, char16_t piece) const {
    if (facts_.is_simplified_only(character)) {
        return !facts_.is_traditional_only(piece);  // 们 is 亻门, never 亻門
    }
    if (facts_.is_traditional_only(character) || !is_gb2312_hanzi(character)) {
        return !facts_.is_simplified_only(piece);  // 們 is 亻門, never 亻门
    }
    return true;  // written alike in both (倪 淤): the pieces are what both readers see
}

bool ReaderRules::is_among_the_most_common(char16_t c) const {
    if (is_gb2312_hanzi(c, /*level_1_only=*/true)) {
        return true;
    }
    const auto simplified = facts_.simplified_of_traditional(c);
    return simplified && simplified->size() == 1 &&
           is_gb2312_hanzi((*simplified)[0], /*level_1_only=*/true);
}

bool is_bare_stroke(char16_t c) {
    return contains(kBareStrokes, c);
}

bool is_gbk_character(char16_t c) {
    const bool private_use = c >= 0xE000 && c <= 0xF8FF;
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return !private_use && !surrogate && c >= 0x80 &&
           std::holds_alternative<std::string>(encode_gbk(std::u16string(1, c)));
}

}  // namespace mardovane::tables
