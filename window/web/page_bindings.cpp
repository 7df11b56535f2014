// What the web page's script reaches of the program: the layout and texts of the shared
// rules, the window controller behind the page's window, and the job the worker does.
#include <emscripten.h>
#include <emscripten/bind.h>

#include <map>
#include <memory>
#include <string>

#include "window/common/failure_text.h"
#include "window/common/layout.h"
#include "window/common/texts.h"
#include "window/common/window_controller.h"
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

// A key as the page names it (KeyboardEvent.code, or "Enter" for both Enter keys).
std::optional<layout::Key> key_named(const std::string& code) {
    if (code == "Enter" || code == "NumpadEnter") {
        return layout::Key::Enter;
    }
    if (code == "KeyC") {
        return layout::Key::C;
    }
    if (code == "KeyZ") {
        return layout::Key::Z;
    }
    if (code == "KeyY") {
        return layout::Key::Y;
    }
    return std::nullopt;
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

// A job that the page's worker does: its outcome comes back through finishJob.
class WorkerJob final : public RunningSplit {
  public:
    explicit WorkerJob(Deliver deliver) : deliver_(std::move(deliver)) {}
    void abandon() override { deliver_ = nullptr; }
    void deliver(SplitOutcome outcome) {
        if (deliver_) {
            deliver_(std::move(outcome));
        }
    }

  private:
    Deliver deliver_;
};

// A text the page's box showed before it was replaced whole, with the typing history the
// page keeps for it under `typing`.
struct KeptPageText final : KeptText {
    KeptPageText(val view, std::u16string text, Selection selection)
        : view(std::move(view)), text(std::move(text)), selection(selection) {}
    ~KeptPageText() override {
        if (typing != 0) {
            view.call<void>("forgetTyping", typing);
        }
    }
    rules::KeptDocument size() const override {
        return {text.size(),
                static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1};
    }
    val view;
    std::u16string text;
    Selection selection;
    int typing = 0;
};

// The page's window as the controller sees it. `view` is the page script's object, which
// does what only the browser does: text(), selection(), show(units, from, to, typing)
// (the number under which it keeps the typing of the text it replaced, or 0 when the box
// could not take the text), forgetTyping(number), setEditable(on), showBusy(on),
// showFailure(message), showNotice(message), report(message), copyAll(), openWebPage(),
// canUndoTyping(),
// canRedoTyping(), undoTyping(), redoTyping() and startJob(id, job).
class PageWindow final : public WindowView {
  public:
    explicit PageWindow(val view)
        : view_(std::move(view)),
          controller_(*this, [this](Job job, TextPreparer, Deliver deliver) {
              // The page makes no text ready off its thread: it has no preparer.
              return start(std::move(job), std::move(deliver));
          }) {}

    void run(const std::string& command) {
        if (const auto found = command_named(command)) {
            controller_.run(*found);
        }
    }
    bool key(const std::string& code, bool shift) {
        const auto pressed = key_named(code);
        return pressed && controller_.key(*pressed, shift);
    }
    bool paste(const val& units) { return controller_.paste(units_from_js(units)); }
    void typed() { controller_.typed(); }
    bool running() const { return controller_.running(); }
    bool can_undo() const { return controller_.can_undo(); }
    bool can_redo() const { return controller_.can_redo(); }
    bool can_split_selection() const { return controller_.can_split_selection(); }

    // The worker's answer to the job `id`.
    void finish_job(int id, const val& result) {
        const auto it = pending_.find(id);
        if (it == pending_.end()) {
            return;
        }
        const auto job = it->second;
        pending_.erase(it);
        job->deliver(outcome_from_js(result));
    }

    std::u16string content() const override { return units_from_js(view_.call<val>("text")); }
    Selection selection() const override {
        const val range = view_.call<val>("selection");
        return {range[0].as<std::size_t>(), range[1].as<std::size_t>()};
    }
    // A textarea's value has LF line breaks.
    rules::TextForm text_form() const override { return {false, false}; }
    std::unique_ptr<KeptText> show(NewText text) override { return show(text, 0); }
    void set_editable(bool editable) override { view_.call<void>("setEditable", editable); }

    bool can_undo_typing() const override { return view_.call<bool>("canUndoTyping"); }
    bool can_redo_typing() const override { return view_.call<bool>("canRedoTyping"); }
    void undo_typing() override { view_.call<void>("undoTyping"); }
    void redo_typing() override { view_.call<void>("redoTyping"); }
    std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) override {
        auto& shown = static_cast<KeptPageText&>(*kept);
        auto result = show(NewText{shown.text, shown.selection}, shown.typing);
        shown.typing = 0;  // given back to the box with its text
        kept.reset();
        return result;
    }

    void show_busy(bool busy) override { view_.call<void>("showBusy", busy); }
    void show_failure(const std::string& message) override {
        view_.call<void>("showFailure", message);
    }
    void show_notice(const std::string& message) override {
        view_.call<void>("showNotice", message);
    }
    void report(const std::string& message) override { view_.call<void>("report", message); }
    void copy_all() override { view_.call<void>("copyAll"); }
    void open_web_page() override { view_.call<void>("openWebPage"); }
    // The worker's answer arrives on the page's one thread already: the task runs after
    // the current event, as the desktop's queued call does.
    void run_on_window_thread(std::function<void()> task) override {
        run_later(0, std::move(task));
    }
    void run_later(int milliseconds, std::function<void()> task) override {
        auto* queued = new std::function<void()>(std::move(task));
        emscripten_async_call(
            [](void* argument) {
                std::unique_ptr<std::function<void()>> run(
                    static_cast<std::function<void()>*>(argument));
                (*run)();
            },
            queued, milliseconds);
    }

  private:
    // Shows `text`, with the typing history kept under `typing` (0: none), and keeps the
    // text shown now with its own.
    std::unique_ptr<KeptText> show(const NewText& text, int typing) {
        auto kept = std::make_unique<KeptPageText>(view_, content(), selection());
        const int kept_typing = view_.call<int>("show", units_to_js(text.text), text.selection.from,
                                                text.selection.to, typing);
        if (kept_typing == 0) {
            throw std::bad_alloc();  // the box has kept its text
        }
        kept->typing = kept_typing;
        return kept;
    }

    std::shared_ptr<RunningSplit> start(Job job, Deliver deliver) {
        auto running = std::make_shared<WorkerJob>(std::move(deliver));
        const int id = ++last_id_;
        pending_[id] = running;
        view_.call<void>("startJob", id, job_to_js(job));
        return running;
    }

    val view_;
    std::map<int, std::shared_ptr<WorkerJob>> pending_;
    int last_id_ = 0;
    WindowController controller_;
};

// The worker's job: `table` is the keyword file's bytes (a Uint8Array) read afresh from
// `name`, or null when it could not be read (`problem` says why: "missing" or the
// browser's own words).
val job_in_worker(const val& job, const val& table, const std::string& name,
                  const std::string& problem) {
    const TableLoader loader = [&]() -> std::variant<KeywordTable, FileError> {
        if (table.isNull() || table.isUndefined()) {
            return problem == "missing" ? file_error(FileProblem::Missing, name)
                                        : file_error(FileProblem::Unreadable, name, problem);
        }
        std::string bytes(table["length"].as<std::size_t>(), '\0');
        val(emscripten::typed_memory_view(bytes.size(),
                                          reinterpret_cast<std::uint8_t*>(bytes.data())))
            .call<void>("set", table);
        return parse_keyword_file(bytes, name);
    };
    return outcome_to_js(run_job(job_from_js(job), loader));
}

}  // namespace
}  // namespace mardovane::web

EMSCRIPTEN_BINDINGS(mardovane) {
    using namespace mardovane::web;
    emscripten::function("pageLayout", &page_layout);
    emscripten::function("jobInWorker", &job_in_worker);
    emscripten::class_<PageWindow>("PageWindow")
        .constructor<emscripten::val>()
        .function("run", &PageWindow::run)
        .function("key", &PageWindow::key)
        .function("paste", &PageWindow::paste)
        .function("typed", &PageWindow::typed)
        .function("running", &PageWindow::running)
        .function("canUndo", &PageWindow::can_undo)
        .function("canRedo", &PageWindow::can_redo)
        .function("canSplitSelection", &PageWindow::can_split_selection)
        .function("finishJob", &PageWindow::finish_job);
}
