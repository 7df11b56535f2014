// What the web page's script reaches of the program: the layout and texts of the shared
// rules, the split controller behind the page's window, and the split the worker runs.
#include <emscripten.h>
#include <emscripten/bind.h>

#include <map>
#include <memory>
#include <string>

#include "window/common/failure_text.h"
#include "window/common/layout.h"
#include "window/common/split_controller.h"
#include "window/common/texts.h"
#include "window/common/window_rules.h"
#include "window/web/outcome_transfer.h"

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
        case layout::Command::CopyAll:
            return "copyAll";
        case layout::Command::Clear:
            return "clear";
        case layout::Command::OpenWebPage:
            return "openWebPage";
    }
    return "";
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
    val shortcuts = val::array();
    for (const auto& shortcut : layout::kShortcuts) {
        val entry = val::object();
        entry.set("command", command_name(shortcut.command));
        entry.set("key", std::string(shortcut.key == layout::Key::Enter ? "Enter" : "C"));
        entry.set("shift", shortcut.shift);
        shortcuts.call<void>("push", entry);
    }
    page.set("shortcuts", shortcuts);
    page.set("clipboardRefused", std::string(texts::kClipboardRefused));
    page.set("webPage", std::string(MARDOVANE_HOMEPAGE));
    page.set("busyDelay", kBusyPointerDelayMs);
    return page;
}

// A split that the page's worker runs: its outcome comes back through finishSplit.
class WorkerSplit final : public RunningSplit {
  public:
    explicit WorkerSplit(Deliver deliver) : deliver_(std::move(deliver)) {}
    void abandon() override { deliver_ = nullptr; }
    void deliver(SplitOutcome outcome) {
        if (deliver_) {
            deliver_(std::move(outcome));
        }
    }

  private:
    Deliver deliver_;
};

// The page's window as the split controller sees it. `view` is the page script's object:
// text(), replaceText(units), setEditable(on), setBusy(on), showFailure(message) and
// startSplit(id, units).
class PageWindow final : public SplitView {
  public:
    explicit PageWindow(val view)
        : view_(std::move(view)),
          controller_(
              *this, {}, split_with_keyword_file,
              [this](std::u16string text, std::filesystem::path, SplitFunction, Deliver deliver) {
                  return start(std::move(text), std::move(deliver));
              }) {}

    void click() { controller_.click(); }
    bool running() const { return controller_.running(); }

    // The worker's answer to the split `id`.
    void finish_split(int id, const val& result) {
        const auto it = pending_.find(id);
        if (it == pending_.end()) {
            return;
        }
        const auto split = it->second;
        pending_.erase(it);
        split->deliver(outcome_from_js(result));
    }

    std::u16string content() const override { return units_from_js(view_.call<val>("text")); }
    void replace_content(std::u16string text) override {
        view_.call<void>("replaceText", units_to_js(text));
    }
    void set_editable(bool editable) override { view_.call<void>("setEditable", editable); }
    void set_busy(bool busy) override { view_.call<void>("setBusy", busy); }
    void show_failure(const std::string& message) override {
        view_.call<void>("showFailure", message);
    }
    // The worker's answer arrives on the page's one thread already: the task runs after
    // the current event, as the desktop's queued call does.
    void run_on_window_thread(std::function<void()> task) override {
        auto* queued = new std::function<void()>(std::move(task));
        emscripten_async_call(
            [](void* argument) {
                std::unique_ptr<std::function<void()>> run(
                    static_cast<std::function<void()>*>(argument));
                (*run)();
            },
            queued, 0);
    }

  private:
    std::shared_ptr<RunningSplit> start(std::u16string text, Deliver deliver) {
        auto split = std::make_shared<WorkerSplit>(std::move(deliver));
        const int id = ++last_id_;
        pending_[id] = split;
        view_.call<void>("startSplit", id, units_to_js(text));
        return split;
    }

    val view_;
    std::map<int, std::shared_ptr<WorkerSplit>> pending_;
    int last_id_ = 0;
    SplitController controller_;
};

// The worker's split: `table` is the keyword file's bytes (a Uint8Array) read afresh
// from `name`, or null when it could not be read (`problem` says why: "missing" or the
// browser's own words).
val split_in_worker(const val& units, const val& table, const std::string& name,
                    const std::string& problem) {
    std::u16string text = units_from_js(units);
    std::variant<KeywordTable, FileError> loaded = file_error(FileProblem::Missing, name);
    if (table.isNull() || table.isUndefined()) {
        if (problem != "missing") {
            loaded = file_error(FileProblem::Unreadable, name, problem);
        }
    } else {
        std::string bytes(table["length"].as<std::size_t>(), '\0');
        val(emscripten::typed_memory_view(bytes.size(),
                                          reinterpret_cast<std::uint8_t*>(bytes.data())))
            .call<void>("set", table);
        loaded = parse_keyword_file(bytes, name);
    }
    return outcome_to_js(split_with_table(std::move(text), std::move(loaded)));
}

}  // namespace
}  // namespace mardovane::web

EMSCRIPTEN_BINDINGS(mardovane) {
    using namespace mardovane::web;
    emscripten::function("pageLayout", &page_layout);
    emscripten::function("splitInWorker", &split_in_worker);
    emscripten::class_<PageWindow>("PageWindow")
        .constructor<emscripten::val>()
        .function("click", &PageWindow::click)
        .function("running", &PageWindow::running)
        .function("finishSplit", &PageWindow::finish_split);
}
