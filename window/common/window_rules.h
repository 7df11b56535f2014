#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "window/common/layout.h"

// The rules every front end of the window follows, with no toolkit code, so that they are
// written once and tested natively: where a click lands, when it counts, which key runs
// what, which pointer shows, how large the text box's font is and where the window opens.
namespace mardovane::rules {

// The index in layout::kHotspots of the hotspot under a point of the client area, in
// pixels, or none.
[[nodiscard]] std::optional<std::size_t> hotspot_at(int x, int y);

// The pointer over a point of the client area: the hotspot's own, or the arrow.
[[nodiscard]] layout::Pointer pointer_at(int x, int y);

enum class MouseButton { Left, Right, Middle, Other };

// A click is the left button pressed and released inside the same hotspot. Fed the press
// and release events of the client area, it answers which command a release runs.
class ClickTracker {
  public:
    void press(MouseButton button, int x, int y);
    [[nodiscard]] std::optional<layout::Command> release(MouseButton button, int x, int y);

  private:
    std::optional<std::size_t> pressed_;
};

// The command a key runs with Ctrl held (and Shift, or not), if any.
[[nodiscard]] std::optional<layout::Command> shortcut_command(layout::Key key, bool shift);
// The first key of the shortcut table that runs `command`, as menus and tooltips write it.
[[nodiscard]] std::optional<std::string_view> shortcut_text(layout::Command command);
// The layout table's key for a Latin letter as its key writes it (either case), if it has
// one: every toolkit names C, Z and Y by their letter (a virtual-key code, a Qt key, a
// browser's key).
[[nodiscard]] std::optional<layout::Key> key_of_letter(char32_t letter);

// The hotspots the keyboard reaches after the text box, in tab order: indices into
// layout::kHotspots.
[[nodiscard]] std::vector<std::size_t> keyboard_order();

// A hotspot's tooltip: its text and, where its command has one, the shortcut, as
// "拆分文字 (Ctrl+Enter)". Empty: none.
[[nodiscard]] std::string tooltip(const layout::Hotspot& area);

// The text box font's character height in pixels at `dots_per_inch`, rounded.
[[nodiscard]] int font_pixel_height(double point_size, int dots_per_inch);

// The layout's pixels, at 96 dots per inch, at another density (rounded), and a point of
// the window at that density back in the layout's pixels.
[[nodiscard]] int scaled(int pixels, int dots_per_inch);
[[nodiscard]] layout::Rect scaled(const layout::Rect& pixels, int dots_per_inch);
[[nodiscard]] int unscaled(int pixels, int dots_per_inch);

// Where a window of `width` × `height` goes to stand centred in the work area.
struct Point {
    int x = 0;
    int y = 0;
};
[[nodiscard]] Point centred(int area_left, int area_top, int area_width, int area_height, int width,
                            int height);

}  // namespace mardovane::rules
