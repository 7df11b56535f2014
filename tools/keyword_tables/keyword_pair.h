#pragma once

#include <string>
#include <vector>

namespace mardovane::tables {

struct KeywordPair {
    char16_t character;
    std::u16string replacement;
};

}  // namespace mardovane::tables
