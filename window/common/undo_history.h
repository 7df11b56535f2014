#pragma once

#include <cstddef>
#include <span>

namespace mardovane::rules {

// A document the text box replaced (by a split, a long paste, clearing) and keeps for
// Ctrl+Z.
struct KeptDocument {
    std::size_t characters;
    std::size_t lines;
};

// What the window may hold in kept documents, by the memory they take: a line costs far
// more than its characters (the document's block and the line's layout, about 600 bytes
// measured with Qt 6.4), so a text of millions of short lines counts for what it takes.
inline constexpr std::size_t kKeptBytes = std::size_t{256} * 1024 * 1024;
inline constexpr std::size_t kBytesPerKeptLine = 600;
inline constexpr std::size_t kKeptDocuments = 100;

std::size_t estimated_bytes(const KeptDocument& document);

// How many of the oldest kept documents to let go, given them oldest first: the newest
// always stays (one Ctrl+Z undoes the last split, whatever its size), and the older ones
// while all of them together stay within kKeptBytes and kKeptDocuments.
std::size_t documents_to_forget(std::span<const KeptDocument> oldest_first);

}  // namespace mardovane::rules
