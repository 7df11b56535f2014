#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mardovane {

// Characters and what one split makes of each, all images in one text: a table of tens of
// thousands of pairs then takes one buffer, not a string a character.
struct CharacterImages {
    std::vector<char16_t> characters;
    std::u16string text;              // every image, one after another
    std::vector<std::uint32_t> ends;  // where each character's image ends in text

    std::size_t size() const { return characters.size(); }
    std::u16string_view image(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends[index - 1];
        return std::u16string_view(text).substr(begin, ends[index] - begin);
    }
    void append(char16_t character, std::u16string_view image) {
        characters.push_back(character);
        text += image;
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
};

}  // namespace mardovane
