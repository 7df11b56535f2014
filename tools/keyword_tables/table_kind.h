#pragma once

namespace mardovane::tables {

enum class TableKind {
    // Splits that still look like the character when written side by side: left-right
    // (a), repetitions (ra, r3a, r3tr, r4sq), the enclosures that read well (门 问,
    // 囗 国, 广 店, 辶 这 and the like), and the top-bottom splits whose top or bottom is a
    // well-known component (艹 花, 宀 家, 心 想) or whose halves are both common
    // characters (李 → 木子).
    Default,
    // Default, and every other top-bottom split (d, and the repetition down, rd) whose
    // pieces read well.
    Full,
};

}  // namespace mardovane::tables
