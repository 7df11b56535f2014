// Writes keyword.info and tables/keyword-full.info from the CJK decomposition data and
// Unicode's character data, prints how much of GB2312 and GBK each table splits, and
// lists the pairs whose stroke counts differ that the stroke review does not explain.
//   make-keyword-tables cjk-decomp.txt.js OVERRIDES STROKE_REVIEW UNICODE_FOLDER OUTPUT_FOLDER
// UNICODE_FOLDER holds Unihan_Variants.txt, Unihan_IRGSources.txt and CJKRadicals.txt.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "substitution/file_reader.h"
#include "substitution/text_codec.h"
#include "tools/keyword_tables/level_check.h"
#include "tools/keyword_tables/numbered_shapes.h"
#include "tools/keyword_tables/piece_splitter.h"
#include "tools/keyword_tables/stroke_check.h"
#include "tools/keyword_tables/table_builder.h"

namespace {

using namespace mardovane;
using namespace mardovane::tables;

// Every character that GBK encodes in two bytes (outside private use); with
// gb2312_only, just the 6,763 hanzi of GB2312 (lead bytes B0-F7, trail bytes A1-FE).
std::set<char16_t> gbk_characters(bool gb2312_only) {
    std::set<char16_t> characters;
    for (int lead = gb2312_only ? 0xB0 : 0x81; lead <= (gb2312_only ? 0xF7 : 0xFE); ++lead) {
        for (int trail = gb2312_only ? 0xA1 : 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            auto decoded = decode(bytes, Encoding::Gbk);
            if (auto* text = std::get_if<std::u16string>(&decoded);
                text && text->size() == 1 && is_gbk_character((*text)[0])) {
                characters.insert((*text)[0]);
            }
        }
    }
    return characters;
}

void report(const char* name, const BuiltTable& table) {
    static const auto gb2312 = gbk_characters(true);
    static const auto gbk = gbk_characters(false);
    std::size_t in_gb2312 = 0;
    std::size_t in_gbk = 0;
    for (const auto& pair : table.pairs) {
        in_gb2312 += gb2312.contains(pair.character) ? 1 : 0;
        in_gbk += gbk.contains(pair.character) ? 1 : 0;
    }
    std::printf(
        "%s: %zu pairs; splits %zu of GB2312's %zu hanzi and %zu of GBK's %zu characters"
        "; %zu left out for cycles\n",
        name, table.pairs.size(), in_gb2312, gb2312.size(), in_gbk, gbk.size(),
        table.left_out_for_cycles);
}

bool write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

std::optional<std::string> read_text(const std::filesystem::path& path) {
    auto file = read_whole_file(path);
    if (auto* text = std::get_if<std::string>(&file)) {
        return std::move(*text);
    }
    std::fprintf(stderr, "make-keyword-tables: cannot read %s\n", path.string().c_str());
    return std::nullopt;
}

std::string utf8(const std::u16string& text) {
    return std::get<std::string>(encode_utf8(text));
}

// The differences the review does not explain, one a line; true when there are none.
bool report_strokes(const char* name, const BuiltTable& table, const CharacterFacts& facts,
                    const std::map<char16_t, std::u16string>& reviewed) {
    const auto differences = stroke_differences(table.pairs, facts);
    const auto left = unreviewed(differences, reviewed);
    std::printf("%s: %zu pairs differ in strokes, %zu of them not reviewed\n", name,
                differences.size(), left.size());
    for (const auto& difference : left) {
        std::printf("  %s\t%s\t%d strokes, pieces %d\n",
                    utf8(std::u16string(1, difference.pair.character)).c_str(),
                    utf8(difference.pair.replacement).c_str(), difference.character_strokes,
                    difference.piece_strokes);
    }
    return left.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: make-keyword-tables cjk-decomp.txt.js OVERRIDES STROKE_REVIEW "
                     "UNICODE_FOLDER OUTPUT_FOLDER\n");
        return 1;
    }
    const auto data = read_text(argv[1]);
    const auto overrides_file = read_text(argv[2]);
    const auto review_file = read_text(argv[3]);
    if (!data || !overrides_file || !review_file) {
        return 1;
    }
    const Overrides overrides = parse_overrides(*overrides_file);
    const auto reviewed = parse_stroke_review(*review_file);
    const CharacterFacts facts = load_character_facts(argv[4]);
    const auto parsed = parse_decomposition(*data);
    std::printf("%zu records read, %zu lines skipped\n", parsed.records.size(),
                parsed.skipped_lines);
    const std::filesystem::path out = argv[5];
    const auto default_table = build_table(parsed.records, TableKind::Default, overrides, facts);
    const auto full_table = build_table(parsed.records, TableKind::Full, overrides, facts);
    if (!write(out / "keyword.info", to_keyword_file(default_table.pairs)) ||
        !write(out / "tables" / "keyword-full.info", to_keyword_file(full_table.pairs))) {
        std::fprintf(stderr, "make-keyword-tables: cannot write into %s\n", argv[5]);
        return 1;
    }
    report("keyword.info", default_table);
    report("tables/keyword-full.info", full_table);
    // The components spelled out by their own splits, for review.
    const auto spelled = spelled_out_splits(parsed.records, TableKind::Full, overrides, facts);
    std::printf("%zu splits spell out a component GBK lacks: %s\n", spelled.size(),
                utf8(pairs_as_text(spelled)).c_str());
    // The data's numbered shapes that draw a GBK character, taken as that character.
    std::u16string drawn;
    const NumberedShapes numbered(parsed.records, facts);
    for (const auto& [shape, character] : numbered.resolved()) {
        drawn += shape + u"=" + std::u16string(1, character) + u" ";
    }
    std::printf("%zu numbered shapes draw a GBK character: %s\n", numbered.resolved().size(),
                utf8(drawn).c_str());
    // The pairs each rule of the numbered shapes and of one level a click shaped.
    std::map<std::string, std::u16string> by_rule;
    for (const auto& [c, split] :
         usable_splits(parsed.records, TableKind::Full, overrides, facts)) {
        if (!split.rule.empty()) {
            by_rule[split.rule] += std::u16string(1, c) + u"→" + split.pieces + u" ";
        }
    }
    for (const auto& [rule, pairs] : by_rule) {
        std::printf("%s: %s\n", rule.c_str(), utf8(pairs).c_str());
    }
    // One level a click: no pair writes out a named component readers know.
    bool levels_kept = true;
    for (const auto kind : {TableKind::Default, TableKind::Full}) {
        std::u16string listed;
        for (const auto& [pair, component] :
             skipped_levels(parsed.records, usable_splits(parsed.records, kind, overrides, facts),
                            overrides, ReaderRules(facts, overrides))) {
            listed += std::u16string(1, pair.character) + u"→" + pair.replacement + u" (" +
                      std::u16string(1, component) + u") ";
        }
        std::printf("%s: pairs that skip a level: %s\n",
                    kind == TableKind::Default ? "keyword.info" : "tables/keyword-full.info",
                    listed.empty() ? "none" : utf8(listed).c_str());
        levels_kept = levels_kept && listed.empty();
    }
    // Pairs whose pieces pass for sharing a stroke: each one to look at.
    std::u16string shared;
    for (const auto& pair : default_table.pairs) {
        if (const auto difference = stroke_difference(pair.character, pair.replacement, facts);
            difference && *difference == kSharedStrokes) {
            shared += std::u16string(1, pair.character) + u"→" + pair.replacement + u" ";
        }
    }
    std::printf("pairs whose pieces share a stroke: %s\n", utf8(shared).c_str());
    // Shapes no GBK pieces spell that the overrides do not name yet.
    std::u16string unrecorded;
    for (const auto& [shape, pieces] :
         unspellable_shapes(parsed.records, TableKind::Full, overrides, facts)) {
        unrecorded += std::u16string(1, shape) + u"→" + pieces + u" ";
    }
    std::printf("shapes whose pieces do not add up, not yet in the overrides: %s\n",
                unrecorded.empty() ? "none" : utf8(unrecorded).c_str());
    const bool reviewed_default = report_strokes("keyword.info", default_table, facts, reviewed);
    const bool reviewed_full =
        report_strokes("tables/keyword-full.info", full_table, facts, reviewed);
    return reviewed_default && reviewed_full && unrecorded.empty() && levels_kept ? 0 : 2;
}
