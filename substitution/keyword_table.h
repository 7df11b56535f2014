#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mardovane {

// The lines of a keyword file in file order. Lines pair up: line 1 is the first text to
// find and line 2 its replacement, line 3 the next text to find, and so on.
//
// All lines live in one buffer, one after another, with the end of each line recorded:
// a table of millions of short lines then costs a few bytes a line, not a string apiece.
class KeywordTable {
  public:
    KeywordTable() = default;
    explicit KeywordTable(const std::vector<std::u16string>& lines) {
        for (const auto& line : lines) {
            append_line(line);
        }
    }

    void append_line(std::u16string_view line) {
        text_ += line;
        ends_.push_back(text_.size());
    }

    std::size_t line_count() const { return ends_.size(); }
    // The line at 0-based `index`, without its terminator.
    std::u16string_view line(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::u16string_view(text_).substr(begin, ends_[index] - begin);
    }

    std::size_t pair_count() const { return ends_.size() / 2; }
    bool has_unpaired_last_line() const { return ends_.size() % 2 == 1; }
    std::u16string_view find_text(std::size_t pair) const { return line(2 * pair); }
    std::u16string_view replacement(std::size_t pair) const { return line(2 * pair + 1); }

    // Takes over a buffer of lines that has already been laid out one after another.
    static KeywordTable adopt(std::u16string text, std::vector<std::size_t> ends) {
        KeywordTable table;
        table.text_ = std::move(text);
        table.ends_ = std::move(ends);
        return table;
    }

  private:
    std::u16string text_;            // every line, one after another, without terminators
    std::vector<std::size_t> ends_;  // ends_[i]: where line i ends in text_
};

}  // namespace mardovane
