#include "window/common/undo_history.h"

namespace mardovane::rules {

std::size_t estimated_bytes(const KeptDocument& document) {
    return document.characters * sizeof(char16_t) + document.lines * kBytesPerKeptLine;
}

std::size_t documents_to_forget(std::span<const KeptDocument> oldest_first) {
    std::size_t total = 0;
    for (const KeptDocument& document : oldest_first) {
        total += estimated_bytes(document);
    }
    std::size_t forgotten = 0;
    while (oldest_first.size() - forgotten > 1 &&
           (oldest_first.size() - forgotten > kKeptDocuments || total > kKeptBytes)) {
        total -= estimated_bytes(oldest_first[forgotten]);
        ++forgotten;
    }
    return forgotten;
}

}  // namespace mardovane::rules
