#pragma once

#include <array>
#include <string_view>

#include "window/common/texts.h"

// Where everything on the main window lies, in twips (1/1440 inch) as the window was
// designed, with the conversion to pixels at 15 twips per pixel (96 dots per inch). The
// window, its tests and any other front end read this one table. No toolkit code here.
namespace mardovane::layout {

inline constexpr int kTwipsPerPixel = 15;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr Rect in_pixels() const {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                height / kTwipsPerPixel};
    }
    constexpr bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

enum class Pointer { Arrow, Hand };
// What a click, a key or a menu item asks of the window. Split splits the whole text, as
// the painted button does; SplitSelection only the selection, from the text box's menu.
enum class Command { Split, SplitSelection, CopyAll, Clear, OpenWebPage, Undo, Redo };

// A transparent click area over a painted part of the background picture.
struct Hotspot {
    std::string_view name;
    Rect twips;
    Pointer pointer;
    int tab_index;
    Command command;
    std::string_view accessible_name;  // UTF-8
    std::string_view tooltip;          // UTF-8; empty: none (a shortcut is added to it)
};

// The keyboard's way to the commands, the same in every front end: Ctrl held, with Shift
// or not, and a key (Enter on the main keys or the keypad).
enum class Key { Enter, C, Z, Y };
struct Shortcut {
    Command command;
    Key key;
    bool shift;
    std::string_view text;  // as tooltips and Qt write it
};
inline constexpr std::array<Shortcut, 6> kShortcuts = {{
    {Command::Split, Key::Enter, false, "Ctrl+Enter"},
    {Command::SplitSelection, Key::Enter, true, "Ctrl+Shift+Enter"},
    {Command::CopyAll, Key::C, true, "Ctrl+Shift+C"},
    {Command::Undo, Key::Z, false, "Ctrl+Z"},
    {Command::Redo, Key::Y, false, "Ctrl+Y"},
    {Command::Redo, Key::Z, true, "Ctrl+Shift+Z"},
}};

inline constexpr std::string_view kForm1Name = "Form1";
inline constexpr Rect kClientArea{0, 0, 8475, 6105};  // 565 x 407 pixels

inline constexpr std::string_view kText1Name = "Text1";
inline constexpr Rect kText1{420, 390, 7650, 4560};  // inside the painted frame
inline constexpr std::string_view kText1Font = "Tahoma";
inline constexpr double kText1PointSize = 10.5;

// clang-format off
inline constexpr std::array<Hotspot, 4> kHotspots = {{
    {"Label1", {315, 5190, 1485, 675}, Pointer::Hand, 1, Command::Split,
     texts::kSplit, texts::kSplit},
    {"Label2", {2085, 5205, 1380, 675}, Pointer::Arrow, 2, Command::CopyAll,
     texts::kCopyAll, texts::kCopyAll},
    // Below the client area, and the window cannot grow: never visible, never clicked.
    {"Label4", {4095, 6630, 1545, 660}, Pointer::Arrow, 3, Command::Clear,
     texts::kClear, ""},
    // The notice, all but its left-most 38 pixels.
    {"Label5", {4470, 5370, 3615, 405}, Pointer::Hand, 4, Command::OpenWebPage,
     texts::kNotice, texts::kOpenWebPageTooltip},
}};
// clang-format on

// Whether a hotspot lies inside the client area, where it can be seen and reached. The
// one below it is never shown, focused or offered to a screen reader.
constexpr bool reachable(const Hotspot& area) {
    const Rect pixels = area.twips.in_pixels();
    return pixels.top + pixels.height <= kClientArea.in_pixels().height;
}

// The background picture: drawn once at its natural size at the top-left corner. It is
// one pixel wider than the client area and seven pixels shorter.
inline constexpr int kBackgroundWidth = 566;
inline constexpr int kBackgroundHeight = 400;

// The tip of the hand cursor's index finger.
inline constexpr int kHandHotSpotX = 6;
inline constexpr int kHandHotSpotY = 0;

}  // namespace mardovane::layout
