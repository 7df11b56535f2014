#include "window/web/page_layout.h"

#include <cctype>

#include "window/common/layout.h"
#include "window/common/texts.h"
#include "window/common/window_rules.h"

namespace mardovane::web {
namespace {

using emscripten::val;

val rect_to_js(const layout::Rect& twips) {
    const layout::Rect pixels = twips.in_pixels();
    val rect = val::object();
    rect.set("left", pixels.left);
    rect.set("top", pixels.top);
    rect.set("width", pixels.width);
    rect.set("height", pixels.height);
    return rect;
}

std::string command_name(layout::Command command) {
    switch (command) {
        case layout::Command::Split:
            return "split";
        case layout::Command::SplitSelection:
            return "splitSelection";
        case layout::Command::CopyAll:
            return "copyAll";
        case layout::Command::Clear:
            return "clear";
        case layout::Command::OpenWebPage:
            return "openWebPage";
        case layout::Command::Undo:
            return "undo";
        case layout::Command::Redo:
            return "redo";
    }
    return "";
}

}  // namespace

std::optional<layout::Command> command_named(const std::string& name) {
    for (const auto command :
         {layout::Command::Split, layout::Command::SplitSelection, layout::Command::CopyAll,
          layout::Command::Clear, layout::Command::OpenWebPage, layout::Command::Undo,
          layout::Command::Redo}) {
        if (command_name(command) == name) {
            return command;
        }
    }
    return std::nullopt;
}

// A key as the page's keyboard event gives it: its meaning (KeyboardEvent.key), as the
// desktop windows read it, so that Ctrl+Z is the key marked Z on a German keyboard too;
// the key's place (KeyboardEvent.code) only where the layout writes no Latin letter
// (a Russian or Greek keyboard), as desktop shortcuts do there.
std::optional<layout::Key> key_named(const std::string& key, const std::string& code) {
    if (key == "Enter") {  // the main key and the keypad's
        return layout::Key::Enter;
    }
    const bool latin = key.size() == 1 && std::isalpha(static_cast<unsigned char>(key[0]));
    const std::string letter = latin ? key : code.starts_with("Key") ? code.substr(3) : "";
    return letter.size() == 1 ? rules::key_of_letter(static_cast<unsigned char>(letter[0]))
                              : std::nullopt;
}

// Everything the page places and says, from the one layout table and text list.
val page_layout() {
    val page = val::object();
    page.set("caption", std::string(texts::kCaption));
    page.set("client", rect_to_js(layout::kClientArea));
    page.set("backgroundWidth", layout::kBackgroundWidth);
    page.set("backgroundHeight", layout::kBackgroundHeight);
    page.set("handHotSpotX", layout::kHandHotSpotX);
    page.set("handHotSpotY", layout::kHandHotSpotY);
    val text1 = rect_to_js(layout::kText1);
    text1.set("name", std::string(layout::kText1Name));
    text1.set("font", std::string(layout::kText1Font));
    text1.set("pixelHeight", rules::font_pixel_height(layout::kText1PointSize, 96));
    text1.set("accessibleName", std::string(texts::kText1AccessibleName));
    text1.set("accessibleDescription", std::string(texts::kText1AccessibleDescription));
    page.set("text1", text1);
    page.set("form1", std::string(layout::kForm1Name));
    val hotspots = val::array();
    for (const auto& area : layout::kHotspots) {
        val hotspot = rect_to_js(area.twips);
        hotspot.set("name", std::string(area.name));
        hotspot.set("hand", area.pointer == layout::Pointer::Hand);
        hotspot.set("command", command_name(area.command));
        hotspot.set("accessibleName", std::string(area.accessible_name));
        hotspot.set("tooltip", rules::tooltip(area));
        hotspot.set("reachable", layout::reachable(area));
        hotspots.call<void>("push", hotspot);
    }
    page.set("hotspots", hotspots);
    val order = val::array();
    for (const std::size_t index : rules::keyboard_order()) {
        order.call<void>("push", std::string(layout::kHotspots[index].name));
    }
    page.set("keyboardOrder", order);
    val menu = val::object();
    menu.set("splitSelection", std::string(texts::kSplitSelection));
    menu.set("undo", std::string(texts::kUndo));
    menu.set("redo", std::string(texts::kRedo));
    menu.set("copyAll", std::string(texts::kCopyAll));
    val shortcuts = val::object();
    for (const auto& shortcut : layout::kShortcuts) {
        const std::string name = command_name(shortcut.command);
        if (!shortcuts.hasOwnProperty(name.c_str())) {
            shortcuts.set(name, std::string(shortcut.text));
        }
    }
    menu.set("shortcuts", shortcuts);
    page.set("menu", menu);
    page.set("clipboardRefused", std::string(texts::kClipboardRefused));
    page.set("webPage", std::string(MARDOVANE_HOMEPAGE));
    return page;
}

}  // namespace mardovane::web
