// Writes keyword.info and tables/keyword-full.info from the CJK decomposition data, and
// prints how much of GB2312 and GBK each table splits.
//   make-keyword-tables cjk-decomp.txt.js OVERRIDES OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <variant>

#include "substitution/file_reader.h"
#include "substitution/text_codec.h"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: make-keyword-tables cjk-decomp.txt.js OVERRIDES OUTPUT_FOLDER\n");
        return 1;
    }
    auto overrides_file = read_whole_file(argv[2], FileRole::Input);
    if (!std::holds_alternative<std::string>(overrides_file)) {
        std::fprintf(stderr, "make-keyword-tables: cannot read %s\n", argv[2]);
        return 1;
    }
    const Overrides overrides = parse_overrides(std::get<std::string>(overrides_file));
    auto data = read_whole_file(argv[1], FileRole::Input);
    if (!std::holds_alternative<std::string>(data)) {
        std::fprintf(stderr, "make-keyword-tables: cannot read %s\n", argv[1]);
        return 1;
    }
    const auto parsed = parse_decomposition(std::get<std::string>(data));
    std::printf("%zu records read, %zu lines skipped\n", parsed.records.size(),
                parsed.skipped_lines);
    const std::filesystem::path out = argv[3];
    const auto default_table = build_table(parsed.records, TableKind::Default, overrides);
    const auto full_table = build_table(parsed.records, TableKind::Full, overrides);
    if (!write(out / "keyword.info", to_keyword_file(default_table.pairs)) ||
        !write(out / "tables" / "keyword-full.info", to_keyword_file(full_table.pairs))) {
        std::fprintf(stderr, "make-keyword-tables: cannot write into %s\n", argv[3]);
        return 1;
    }
    report("keyword.info", default_table);
    report("tables/keyword-full.info", full_table);
    // The components spelled out by their own splits, for review.
    const auto spelled = spelled_out_splits(parsed.records, TableKind::Full, overrides);
    std::printf("%zu splits spell out a component GBK lacks: %s\n", spelled.size(),
                std::get<std::string>(encode_utf8(pairs_as_text(spelled))).c_str());
    return 0;
}
