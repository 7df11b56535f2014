#pragma once

#include <string>
#include <vector>

#include "tools/keyword_tables/keyword_pair.h"

namespace mardovane::tables {

// The pairs as "好→女子 湖→氵胡 ", for people to read.
std::u16string pairs_as_text(const std::vector<KeywordPair>& pairs);

// The keyword file bytes: GBK, CR LF after every line, no byte-order mark.
std::string to_keyword_file(const std::vector<KeywordPair>& pairs);

}  // namespace mardovane::tables
