#include "window/common/window_rules.h"

#include <algorithm>
#include <cmath>

namespace mardovane::rules {

std::optional<std::size_t> hotspot_at(int x, int y) {
    for (std::size_t i = 0; i < layout::kHotspots.size(); ++i) {
        if (layout::kHotspots[i].twips.in_pixels().contains(x, y)) {
            return i;
        }
    }
    return std::nullopt;
}

layout::Pointer pointer_at(int x, int y) {
    const auto hotspot = hotspot_at(x, y);
    return hotspot ? layout::kHotspots[*hotspot].pointer : layout::Pointer::Arrow;
}

void ClickTracker::press(MouseButton button, int x, int y) {
    pressed_ = button == MouseButton::Left ? hotspot_at(x, y) : std::nullopt;
}

std::optional<layout::Command> ClickTracker::release(MouseButton button, int x, int y) {
    if (button != MouseButton::Left) {
        return std::nullopt;  // another button's release leaves a left press pending
    }
    const auto pressed = pressed_;
    pressed_.reset();
    if (!pressed || hotspot_at(x, y) != pressed) {
        return std::nullopt;
    }
    return layout::kHotspots[*pressed].command;
}

std::optional<layout::Command> shortcut_command(layout::Key key, bool shift) {
    for (const auto& shortcut : layout::kShortcuts) {
        if (shortcut.key == key && shortcut.shift == shift) {
            return shortcut.command;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> shortcut_text(layout::Command command) {
    for (const auto& shortcut : layout::kShortcuts) {
        if (shortcut.command == command) {
            return shortcut.text;
        }
    }
    return std::nullopt;
}

std::optional<layout::Key> key_of_letter(char32_t letter) {
    switch (letter) {
        case U'C':
        case U'c':
            return layout::Key::C;
        case U'Z':
        case U'z':
            return layout::Key::Z;
        case U'Y':
        case U'y':
            return layout::Key::Y;
        default:
            return std::nullopt;
    }
}

std::vector<std::size_t> keyboard_order() {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < layout::kHotspots.size(); ++i) {
        if (layout::reachable(layout::kHotspots[i])) {
            order.push_back(i);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) {
        return layout::kHotspots[a].tab_index < layout::kHotspots[b].tab_index;
    });
    return order;
}

std::string tooltip(const layout::Hotspot& area) {
    std::string text(area.tooltip);
    if (const auto keys = shortcut_text(area.command); keys && !text.empty()) {
        text += " (" + std::string(*keys) + ")";
    }
    return text;
}

int font_pixel_height(double point_size, int dots_per_inch) {
    return static_cast<int>(std::lround(point_size * dots_per_inch / 72.0));
}

int scaled(int pixels, int dots_per_inch) {
    // The first screen pixel whose middle lies at or past the edge: halves round down, so
    // that unscaled() takes every screen pixel back into the layout pixel it came from.
    const long long twice = 2LL * pixels * dots_per_inch - 96;
    return static_cast<int>(twice >= 0 ? (twice + 191) / 192 : -(-twice / 192));
}

layout::Rect scaled(const layout::Rect& pixels, int dots_per_inch) {
    // Edges, not sizes, are rounded, so that areas side by side stay side by side.
    const int left = scaled(pixels.left, dots_per_inch);
    const int top = scaled(pixels.top, dots_per_inch);
    return {left, top, scaled(pixels.left + pixels.width, dots_per_inch) - left,
            scaled(pixels.top + pixels.height, dots_per_inch) - top};
}

int unscaled(int pixels, int dots_per_inch) {
    // The layout pixel under the middle of the screen's pixel, rounding down, for points
    // left of or above the window too.
    const long long numerator = (2LL * pixels + 1) * 96;
    const long long denominator = 2LL * dots_per_inch;
    return static_cast<int>(numerator >= 0 ? numerator / denominator
                                           : -((-numerator + denominator - 1) / denominator));
}

Point centred(int area_left, int area_top, int area_width, int area_height, int width, int height) {
    return {area_left + (area_width - width) / 2, area_top + (area_height - height) / 2};
}

}  // namespace mardovane::rules
