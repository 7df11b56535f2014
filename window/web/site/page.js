// The page's window: builds Form1 from the program's own layout and texts, and does what
// only the browser does (drawing, events, fetching, the clipboard). The split controller
// and the split itself are the program's, compiled to WebAssembly.
"use strict";

// A string's UTF-16 code units as they stand (lone surrogates too), and back.
function unitsOf(text) {
    const units = new Uint16Array(text.length);
    for (let i = 0; i < text.length; ++i) {
        units[i] = text.charCodeAt(i);
    }
    return units;
}
function stringOf(units) {
    const pieces = [];
    for (let at = 0; at < units.length; at += 8192) {
        pieces.push(String.fromCharCode.apply(null, units.subarray(at, at + 8192)));
    }
    return pieces.join("");
}

// Runs `work`, and keeps how long it took as a performance measure named `name`, for the
// browser's tools and the page's timing tests.
function timed(name, work) {
    const start = performance.now();
    try {
        return work();
    } finally {
        performance.measure(name, {start, end: performance.now()});
    }
}

function place(element, rect) {
    element.style.left = `${rect.left}px`;
    element.style.top = `${rect.top}px`;
    element.style.width = `${rect.width}px`;
    element.style.height = `${rect.height}px`;
}

async function start() {
    const program = await createMardovane();
    const layout = program.pageLayout();
    document.title = layout.caption;

    const form = document.getElementById(layout.form1);
    form.style.width = `${layout.client.width}px`;
    form.style.height = `${layout.client.height}px`;
    const background = document.getElementById("background");
    background.width = layout.backgroundWidth;
    background.height = layout.backgroundHeight;

    const textBox = document.createElement("textarea");
    textBox.id = layout.text1.name;
    textBox.spellcheck = false;
    textBox.setAttribute("aria-label", layout.text1.accessibleName);
    textBox.setAttribute("aria-description", layout.text1.accessibleDescription);
    textBox.title = "";
    place(textBox, layout.text1);
    textBox.style.fontFamily =
        `"${layout.text1.font}", "Noto Sans CJK SC", "WenQuanYi Micro Hei", "Microsoft YaHei", sans-serif`;
    textBox.style.fontSize = `${layout.text1.pixelHeight}px`;
    form.appendChild(textBox);

    const handCursor = `url(hand-cursor.png) ${layout.handHotSpotX} ${layout.handHotSpotY}, pointer`;
    const hotspots = {};
    for (const area of layout.hotspots) {
        // The hotspot below the window is placed as the layout says, but never drawn,
        // focused or offered to a screen reader.
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

    const dialog = document.getElementById("failure");
    document.getElementById("failureCaption").textContent = layout.caption;
    dialog.addEventListener("close", () => textBox.focus());
    function showMessage(message) {
        document.getElementById("failureMessage").textContent = message;
        if (!dialog.open) {
            dialog.showModal();
        }
        document.getElementById("failureOk").focus();
    }

    // The table of the next split: beside the page, or the visitor's own file, read
    // afresh at each split.
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
    async function tableSource() {
        const chosen = document.querySelector('input[name="table"]:checked').value;
        if (chosen !== "own") {
            return {url: chosen};
        }
        if (ownHandle) {
            return {file: await ownHandle.getFile()};
        }
        return ownFile ? {file: ownFile} : {url: "keyword.info"};
    }

    // The typing in the text shown is kept here, an edit a step: the browser's own undo
    // knows nothing of the texts that jobs put in, and goes astray after them. The texts
    // that jobs replaced are the program's history, which asks here for the typing.
    const typing = {undo: [], redo: [], kept: new Map(), next: 1};
    let shownValue = textBox.value;  // the text as it stood after the last change
    let ownChange = false;           // the text changes by the program's doing
    function edited() {
        // What changed since the last change: one run replaced by another.
        const before = shownValue;
        const after = textBox.value;
        let start = 0;
        const shortest = Math.min(before.length, after.length);
        while (start < shortest && before.charCodeAt(start) === after.charCodeAt(start)) {
            ++start;
        }
        let end = 0;
        while (end < shortest - start &&
               before.charCodeAt(before.length - 1 - end) === after.charCodeAt(after.length - 1 - end)) {
            ++end;
        }
        const step = {at: start, removed: before.slice(start, before.length - end),
                      inserted: after.slice(start, after.length - end)};
        shownValue = after;
        const last = typing.undo[typing.undo.length - 1];
        // Letters typed one after another are one step, as in a word processor.
        if (last && !last.removed && !step.removed && last.at + last.inserted.length === step.at &&
            step.inserted.length === 1 && !/\s/.test(step.inserted) && typing.redo.length === 0) {
            last.inserted += step.inserted;
        } else {
            typing.undo.push(step);
        }
        typing.redo = [];
    }
    function apply(step, forward) {
        const [remove, insert] = forward ? [step.removed, step.inserted] : [step.inserted, step.removed];
        ownChange = true;
        try {
            textBox.setRangeText(insert, step.at, step.at + remove.length, "end");
        } finally {
            ownChange = false;
        }
        shownValue = textBox.value;
    }
    textBox.addEventListener("input", () => {
        if (!ownChange) {
            edited();
            pageWindow.typed();
        }
    });
    textBox.addEventListener("beforeinput", (event) => {
        // Undo and Redo from the browser's own menu go through the program's history.
        if (event.inputType === "historyUndo" || event.inputType === "historyRedo") {
            event.preventDefault();
            pageWindow.run(event.inputType === "historyUndo" ? "undo" : "redo");
        }
    });
    textBox.addEventListener("paste", (event) => {
        const pasted = event.clipboardData && event.clipboardData.getData("text/plain");
        if (pasted && !textBox.readOnly && pageWindow.paste(unitsOf(pasted))) {
            event.preventDefault();  // long: made off the page's thread, as one step
        }
    });

    const notice = document.getElementById("notice");
    let noticeTimer = 0;
    const worker = new Worker("worker.js");
    const view = {
        text: () => timed("read the text", () => unitsOf(textBox.value)),
        selection: () => [textBox.selectionStart, textBox.selectionEnd],
        show(units, from, to, keptTyping) {
            try {
                const text = timed("make the string", () => stringOf(units));
                ownChange = true;
                timed("set the text", () => {
                    textBox.value = text;
                });
            } catch (error) {
                return 0;  // no room for it: the box keeps its text
            } finally {
                ownChange = false;
            }
            shownValue = textBox.value;
            textBox.setSelectionRange(from, to);
            if (from === 0 && to === 0) {
                textBox.scrollTop = 0;
            }
            // The typing of the text replaced is kept with it; the text shown brings its own.
            const number = typing.next++;
            typing.kept.set(number, {undo: typing.undo, redo: typing.redo});
            const restored = typing.kept.get(keptTyping);
            typing.kept.delete(keptTyping);
            typing.undo = restored ? restored.undo : [];
            typing.redo = restored ? restored.redo : [];
            return number;
        },
        forgetTyping(number) {
            typing.kept.delete(number);
        },
        setEditable(editable) {
            textBox.readOnly = !editable;
        },
        canUndoTyping: () => typing.undo.length > 0,
        canRedoTyping: () => typing.redo.length > 0,
        undoTyping() {
            const step = typing.undo.pop();
            apply(step, false);
            typing.redo.push(step);
        },
        redoTyping() {
            const step = typing.redo.pop();
            apply(step, true);
            typing.undo.push(step);
        },
        showBusy(busy) {
            document.body.classList.toggle("busy", busy);
        },
        showFailure: showMessage,
        showNotice(message) {
            notice.textContent = message;
            clearTimeout(noticeTimer);
            noticeTimer = setTimeout(() => {
                notice.textContent = "";
            }, 4000);
        },
        copyAll() {
            // The whole text, whatever is selected.
            navigator.clipboard.writeText(textBox.value).catch(
                () => showMessage(layout.clipboardRefused));
        },
        openWebPage() {
            window.open(layout.webPage, "_blank", "noopener");
        },
        startJob(id, job) {
            // Off the program's memory at once, and handed to the worker without a copy.
            const sent = {kind: job.kind, text: Uint16Array.from(job.text), from: job.from,
                          to: job.to, pasted: Uint16Array.from(job.pasted)};
            tableSource().then(
                (source) => worker.postMessage({id, job: sent, source},
                                               [sent.text.buffer, sent.pasted.buffer]),
                (error) => window.pageWindow.finishJob(id, {
                    kind: "failure", failure: "unexpected", what: String(error.message || error)}));
        },
    };
    const pageWindow = new program.PageWindow(view);
    window.pageWindow = pageWindow;
    worker.onmessage = (event) => {
        for (const [name, duration] of event.data.timings || []) {
            performance.measure(`worker: ${name}`, {end: performance.now(), duration});
        }
        timed("take the result", () => pageWindow.finishJob(event.data.id, event.data.result));
    };
    worker.onerror = (event) => showMessage(String(event.message));

    function run(command) {
        pageWindow.run(command);
    }
    // The keys of the layout table, the same as on the desktop; the program says which
    // command each runs.
    document.addEventListener("keydown", (event) => {
        if (!event.ctrlKey || event.altKey || event.metaKey || dialog.open) {
            return;
        }
        const code = event.key === "Enter" ? "Enter" : event.code;
        if (pageWindow.key(code, event.shiftKey)) {
            event.preventDefault();
        }
    }, true);

    // The text box's own menu, with the split of the selection; Shift with the right
    // button, or a touch screen, gives the browser's.
    const menu = document.getElementById("menu");
    function closeMenu() {
        menu.hidden = true;
    }
    function menuItem(label, shortcut, enabled, command) {
        const item = document.createElement("button");
        item.type = "button";
        item.setAttribute("role", "menuitem");
        item.textContent = label;
        if (shortcut) {
            const keys = document.createElement("span");
            keys.className = "shortcut";
            keys.textContent = shortcut;
            item.appendChild(keys);
        }
        item.disabled = !enabled;
        item.dataset.command = command;
        item.addEventListener("click", () => {
            closeMenu();
            textBox.focus();
            run(command);
        });
        return item;
    }
    textBox.addEventListener("contextmenu", (event) => {
        if (event.shiftKey || matchMedia("(pointer: coarse)").matches) {
            return;
        }
        event.preventDefault();
        const labels = layout.menu;
        menu.replaceChildren(
            menuItem(labels.splitSelection, labels.shortcuts.splitSelection,
                     pageWindow.canSplitSelection(), "splitSelection"),
            menuItem(labels.undo, labels.shortcuts.undo, pageWindow.canUndo(), "undo"),
            menuItem(labels.redo, labels.shortcuts.redo, pageWindow.canRedo(), "redo"),
            menuItem(labels.copyAll, labels.shortcuts.copyAll, true, "copyAll"));
        menu.style.left = `${event.clientX + window.scrollX}px`;
        menu.style.top = `${event.clientY + window.scrollY}px`;
        menu.hidden = false;
        menu.querySelector("button:not([disabled])")?.focus();
    });
    document.addEventListener("pointerdown", (event) => {
        if (!menu.contains(event.target)) {
            closeMenu();
        }
    });
    menu.addEventListener("keydown", (event) => {
        if (event.key === "Escape") {
            closeMenu();
            textBox.focus();
        }
    });

    form.dataset.ready = "true";
    textBox.focus();
}

start();
