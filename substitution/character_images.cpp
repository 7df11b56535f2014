#include <algorithm>

#include "substitution/character_run_pass.h"
#include "substitution/split.h"

namespace mardovane {

std::optional<CharacterImages> SplitPlan::character_images(std::size_t max_image_length) const {
    CharacterImages images;
    if (passes_.empty()) {
        return images;
    }
    const CharacterRunPass* run = only_character_run();
    if (run == nullptr) {
        return std::nullopt;
    }
    const auto finds = run->finds();
    // Characters apart split independently: one split of them all, each followed by a
    // mark that no pair finds, costs far less than a split of each alone. Should a
    // replacement hold the mark, the marks do not tell the images apart: one at a time.
    char16_t mark = 0;
    for (const char16_t candidate : {u'\uFFFF', u'\uFFFE', u'\uFDD0', u'\uFDD1'}) {
        if (std::find(finds.begin(), finds.end(), candidate) == finds.end()) {
            mark = candidate;
            break;
        }
    }
    if (mark != 0) {
        std::u16string joined;
        joined.reserve(finds.size() * 2);
        for (const char16_t c : finds) {
            joined += c;
            joined += mark;
        }
        // Longer than this, some image is too long: no need to make them all to see it.
        const auto most = static_cast<std::size_t>(std::min<std::uint64_t>(
            finds.size() * (std::uint64_t{std::min(max_image_length, kMaxResultLength)} + 1),
            kMaxResultLength));
        auto all = apply(std::move(joined), most);
        if (auto* text = std::get_if<std::u16string>(&all);
            text != nullptr && static_cast<std::size_t>(
                                   std::count(text->begin(), text->end(), mark)) == finds.size()) {
            // The marks taken out in place, each image moved down to where the last ended.
            images.ends.reserve(finds.size());
            std::size_t kept = 0;
            std::size_t start = 0;
            for (std::size_t i = 0; i < finds.size(); ++i) {
                const std::size_t end = text->find(mark, start);
                if (end - start > max_image_length) {
                    return std::nullopt;
                }
                std::char_traits<char16_t>::move(text->data() + kept, text->data() + start,
                                                 end - start);
                kept += end - start;
                images.ends.push_back(static_cast<std::uint32_t>(kept));
                start = end + 1;
            }
            text->resize(kept);
            images.text = std::move(*text);
            images.characters = finds;
            return images;
        }
    }
    for (const char16_t c : finds) {
        auto image = apply(std::u16string(1, c), max_image_length);
        if (std::holds_alternative<ResultTooLarge>(image)) {
            return std::nullopt;
        }
        images.append(c, std::get<std::u16string>(image));
    }
    return images;
}

}  // namespace mardovane
