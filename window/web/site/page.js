// The page's window: builds Form1 from the program's own layout and texts, and wires what
// only the browser does (drawing, events, the keys, the tables to read, keeping the text,
// working offline) to what the window does, which is the program's, compiled to
// WebAssembly: the window controller behind the page, and the jobs its worker does.
"use strict";

function place(element, rect) {
    element.style.left = `${rect.left}px`;
    element.style.top = `${rect.top}px`;
    element.style.width = `${rect.width}px`;
    element.style.height = `${rect.height}px`;
}

// The hotspots: invisible over the picture in the designed window, buttons with their
// captions and shortcuts in the phone layout. The one below the window is placed as the
// layout says, but never drawn, focused or offered to a screen reader.
function makeHotspots(form, layout, run) {
    const handCursor = `url(hand-cursor.png) ${layout.handHotSpotX} ${layout.handHotSpotY}, pointer`;
    const hotspots = {};
    for (const area of layout.hotspots) {
        const element = document.createElement(area.reachable ? "button" : "div");
        element.id = area.name;
        element.className = "hotspot";
        place(element, area);
        if (area.reachable) {
            element.type = "button";
            element.setAttribute("aria-label", area.accessibleName);
            if (area.tooltip) {
                element.title = area.tooltip;
            }
            element.style.cursor = area.hand ? handCursor : "default";
            const caption = document.createElement("span");
            caption.className = "caption";
            caption.textContent = area.accessibleName;
            const keys = document.createElement("span");
            keys.className = "keys";
            keys.textContent = layout.menu.shortcuts[area.command] || "";
            element.append(caption, keys);
            element.addEventListener("click", () => run(area.command));
        } else {
            element.hidden = true;
            element.setAttribute("aria-hidden", "true");
        }
        hotspots[area.name] = element;
    }
    for (const name of layout.keyboardOrder) {  // the tab order after the text box
        form.appendChild(hotspots[name]);
    }
    for (const area of layout.hotspots) {
        if (!area.reachable) {
            form.appendChild(hotspots[area.name]);
        }
    }
}

// The table of the next split: beside the page, or the visitor's own file, read afresh at
// each split.
function makeTableChoice() {
    let ownFile = null;
    let ownHandle = null;
    const ownInput = document.getElementById("ownTable");
    const ownName = document.getElementById("ownTableName");
    function chooseOwn(name) {
        ownName.textContent = name;
        document.querySelector('input[name="table"][value="own"]').checked = true;
    }
    document.getElementById("chooseTable").addEventListener("click", async () => {
        if (window.showOpenFilePicker) {  // a handle reads the file as it is now, every time
            try {
                [ownHandle] = await window.showOpenFilePicker();
                ownFile = null;
                chooseOwn(ownHandle.name);
            } catch (error) {
                // cancelled
            }
        } else {
            ownInput.click();
        }
    });
    ownInput.addEventListener("change", () => {
        if (ownInput.files.length > 0) {
            ownFile = ownInput.files[0];
            ownHandle = null;
            chooseOwn(ownFile.name);
        }
    });
    return async () => {
        const chosen = document.querySelector('input[name="table"]:checked').value;
        if (chosen !== "own") {
            return {url: chosen};
        }
        if (ownHandle) {
            return {file: await ownHandle.getFile()};
        }
        return ownFile ? {file: ownFile} : {url: "keyword.info"};
    };
}

// A short line below the window, which screen readers hear too.
function makeStatusLine() {
    const status = document.getElementById("status");
    let timer = 0;
    return (message) => {
        status.textContent = message;
        clearTimeout(timer);
        timer = setTimeout(() => {
            status.textContent = "";
        }, 6000);
    };
}

// The window's messages: a dialog, which gives the focus back to the text box.
function makeMessageDialog(layout, textBox) {
    const dialog = document.getElementById("failure");
    document.getElementById("failureCaption").textContent = layout.caption;
    dialog.addEventListener("close", () => textBox.focus());
    return (message) => {
        document.getElementById("failureMessage").textContent = message;
        if (!dialog.open) {
            dialog.showModal();
        }
        document.getElementById("failureOk").focus();
    };
}

// Text shared to the installed app from another one (the manifest's share target) comes
// in the address: it goes into the box, ready for one tap of the split button.
function sharedText() {
    const asked = new URLSearchParams(window.location.search);
    const shared = [asked.get("title"), asked.get("text"), asked.get("url")]
        .filter((part) => part).join("\n");
    if (asked.has("text") || asked.has("title") || asked.has("url")) {
        history.replaceState(null, "", window.location.pathname);
    }
    return shared;
}

// The phone layout takes the screen the keyboard leaves: where a browser only shrinks the
// visual viewport, the page follows it.
function followVisualViewport() {
    const viewport = window.visualViewport;
    if (!viewport) {
        return;
    }
    const fit = () => document.documentElement.style.setProperty(
        "--viewport-height", `${Math.round(viewport.height)}px`);
    viewport.addEventListener("resize", fit);
    fit();
}

async function start() {
    followVisualViewport();
    const program = await loadProgram();
    const layout = program.pageLayout();
    document.title = layout.caption;
    document.getElementById("startup").hidden = true;

    const form = document.getElementById(layout.form1);
    form.style.width = `${layout.client.width}px`;
    form.style.height = `${layout.client.height}px`;
    const background = document.getElementById("background");
    background.width = layout.backgroundWidth;
    background.height = layout.backgroundHeight;

    const textBox = makeTextBox(document.createElement("div"));
    textBox.id = layout.text1.name;
    textBox.setAttribute("aria-label", layout.text1.accessibleName);
    textBox.setAttribute("aria-description", layout.text1.accessibleDescription);
    place(textBox, layout.text1);
    textBox.style.fontSize = `${layout.text1.pixelHeight}px`;
    form.appendChild(textBox);

    const say = makeStatusLine();
    const keeper = new TextKeeper(() => textBox.pieces(), () => say(TEXTS.pageTextNotKept));
    const tableWasFrom = makeOfflineLine(document.getElementById("offline"));
    const jobs = new JobWorker((data) => {
        for (const [name, duration] of data.timings || []) {
            performance.measure(`worker: ${name}`, {end: performance.now(), duration});
        }
        if (data.offline !== undefined) {
            tableWasFrom(data.offline);
        }
        timed("take the result", () => pageWindow.finishJob(data.id, data.result));
    });
    const {view, copyAll, isOwnChange} = makePageView({
        textBox, layout, say, jobs,
        showMessage: makeMessageDialog(layout, textBox),
        tableSource: makeTableChoice(),
        textChanged: () => keeper.changed(),
    });
    const pageWindow = new program.PageWindow(view);
    window.pageWindow = pageWindow;
    const run = (command) => pageWindow.run(command);
    makeHotspots(form, layout, run);

    // Typing is the program's history: the box says what each edit the user commits
    // changed, and what an input method is still composing is no edit.
    textBox.addEventListener("input", (event) => {
        if (!isOwnChange() && event.edit) {
            const {at, removed, inserted} = event.edit;
            pageWindow.typed(at, unitsOf(removed), unitsOf(inserted));
            keeper.changed();
        }
    });
    textBox.addEventListener("beforeinput", (event) => {
        // Undo and Redo from the browser's own menu go through the program's history.
        if (event.inputType === "historyUndo" || event.inputType === "historyRedo") {
            event.preventDefault();
            run(event.inputType === "historyUndo" ? "undo" : "redo");
        }
    });
    textBox.addEventListener("paste", (event) => {
        const pasted = event.clipboardData && event.clipboardData.getData("text/plain");
        if (pasted && !textBox.readOnly && pageWindow.paste(unitsOf(pasted))) {
            event.preventDefault();  // long: made off the page's thread, as one step
        }
    });
    // While a job runs the box takes no typing: a key that would type says so.
    textBox.addEventListener("keydown", (event) => {
        const types = event.key.length === 1 || ["Enter", "Backspace", "Delete"].includes(event.key);
        if (textBox.readOnly && types && !event.ctrlKey && !event.metaKey && !event.altKey) {
            say(TEXTS.pageTypedDuringSplit);
        }
    });

    // The keys of the layout table, the same as on the desktop; the program says which
    // command each runs.
    const dialog = document.getElementById("failure");
    document.addEventListener("keydown", (event) => {
        if (!event.ctrlKey || event.altKey || event.metaKey || dialog.open) {
            return;
        }
        if (pageWindow.key(event.key, event.code, event.shiftKey)) {
            event.preventDefault();
        }
    }, true);
    addTextBoxMenu(textBox, layout, pageWindow);
    addPhoneCommands(textBox, layout, pageWindow, copyAll, say);

    // The text this tab was editing comes back; text shared from another app takes its
    // place as an edit, which Ctrl+Z takes back.
    const kept = await keeper.load();
    if (kept) {
        textBox.value = kept;
        textBox.setSelectionRange(kept.length, kept.length);
    }
    const shared = sharedText();
    if (shared) {
        textBox.setRangeText(shared, 0, textBox.value.length, "end");
        pageWindow.typed(0, unitsOf(kept || ""), unitsOf(shared));
        keeper.changed();
    }
    window.addEventListener("pagehide", (event) => {
        keeper.keepNow(true);
        if (!event.persisted) {
            jobs.stop();
        }
    });
    document.addEventListener("visibilitychange", () => {
        if (document.visibilityState === "hidden") {
            keeper.keepNow(true);
        }
    });

    // Kept for offline use, where the browser may keep a page's files (https, or this
    // computer).
    if ("serviceWorker" in navigator && window.isSecureContext) {
        navigator.serviceWorker.register("sw.js", {updateViaCache: "none"}).catch(() => {
            // no offline copy: the page works online all the same
        });
    }

    form.dataset.ready = "true";
    textBox.focus();
}

window.addEventListener("error", (event) => {
    if (document.getElementById("Form1").dataset.ready !== "true") {
        cannotStart(event.message);
    }
});
start().catch((error) => cannotStart(String(error && error.message || error)));
