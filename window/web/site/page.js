// The page's window: builds Form1 from the program's own layout and texts, and does what
// only the browser does (drawing, events, fetching, the clipboard, sharing, working
// offline). What the window does is the program's, compiled to WebAssembly: the window
// controller behind the page, and the jobs its worker does.
"use strict";

// This release's own files: the page names them with its release, which index.html gives
// its scripts, so that a page open when the next release arrives keeps to its own worker
// and program.
const RELEASE = new URL(document.currentScript.src).searchParams.get("v");
const released = (name) => (RELEASE ? `${name}?v=${RELEASE}` : name);

// A string's UTF-16 code units as they stand (lone surrogates too), and back.
function unitsOf(text) {
    const units = new Uint16Array(text.length);
    for (let i = 0; i < text.length; ++i) {
        units[i] = text.charCodeAt(i);
    }
    return units;
}
const strictUtf16 = new TextDecoder("utf-16le", {fatal: true});
function stringOf(units) {
    try {
        return strictUtf16.decode(units);  // at once, where every surrogate is paired
    } catch (error) {
        // a lone surrogate, which the decoder would not keep: unit by unit
    }
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

// What the page says where it cannot start, instead of staying blank.
function cannotStart(why) {
    const startup = document.getElementById("startup");
    startup.textContent = `这个页面无法运行拆分程序：${why}`;
    startup.hidden = false;
    startup.classList.add("failed");
}

// The program, loaded after the page so that a missing or refused file is said in words.
function loadProgram() {
    return new Promise((resolve, reject) => {
        if (typeof WebAssembly !== "object" || typeof Worker !== "function") {
            reject(new Error("这个浏览器太旧，不能运行 WebAssembly。请换用新一些的浏览器。"));
            return;
        }
        const script = document.createElement("script");
        script.src = released("mardovane.js");
        script.onload = () => resolve();
        script.onerror = () => reject(new Error("无法载入 mardovane.js。"));
        document.head.appendChild(script);
    }).then(() => createMardovane({locateFile: (path, prefix) => prefix + released(path)}))
        .catch((error) => {
        const words = String(error && error.message || error);
        if (/unsafe-eval|Content Security Policy|CSP/i.test(words)) {
            throw new Error("网站的内容安全策略（Content-Security-Policy）不允许 WebAssembly，" +
                            "须在 script-src 中加上 'wasm-unsafe-eval'。");
        }
        if (/mardovane\.wasm|wasm|fetch|magic|both async and sync fetching/i.test(words)) {
            throw new Error("无法载入 mardovane.wasm（" + words + "）。");
        }
        throw error;
    });
}

// The worker that does the jobs. A worker that fails, is missing or does not answer ends
// the jobs it had as failures, in Chinese with their cause, and is replaced at the next job.
class JobWorker {
    constructor(onAnswer) {
        this.onAnswer = onAnswer;
        this.worker = null;
        this.pending = new Map();  // job id → its timer until the worker says it began
    }
    // How long a worker may take to say it has the job: more, and it is taken for dead.
    static get answerMs() {
        return window.MARDOVANE_WORKER_ANSWER_MS || 10000;
    }
    send(id, message, transfer) {
        if (!this.worker) {
            try {
                this.worker = new Worker(released("worker.js"));
            } catch (error) {
                this.failOne(id, `无法启动拆分用的后台程序 worker.js（${error.message}）。`);
                return;
            }
            this.worker.onmessage = (event) => this.received(event.data);
            this.worker.onerror = (event) => {
                event.preventDefault();
                this.failAll(event.message
                    ? `拆分用的后台程序 worker.js 出错了（${event.message}）。`
                    : "无法载入拆分用的后台程序 worker.js。");
            };
            this.worker.onmessageerror = () => this.failAll("拆分用的后台程序送回了无法读取的结果。");
        }
        this.pending.set(id, setTimeout(
            () => this.failAll("拆分用的后台程序 worker.js 没有回应。"), JobWorker.answerMs));
        this.worker.postMessage(message, transfer);
    }
    received(data) {
        if (data.began !== undefined) {
            clearTimeout(this.pending.get(data.began));
            this.pending.set(data.began, 0);
            return;
        }
        clearTimeout(this.pending.get(data.id));
        this.pending.delete(data.id);
        this.onAnswer(data);
    }
    failOne(id, why) {
        clearTimeout(this.pending.get(id));
        this.pending.delete(id);
        this.onAnswer({id, result: {kind: "failure", failure: "unexpected", what: why}});
    }
    // Every job it had fails; the next job starts a new worker.
    failAll(why) {
        if (this.worker) {
            this.worker.terminate();
            this.worker = null;
        }
        for (const id of [...this.pending.keys()]) {
            this.failOne(id, why);
        }
    }
}

async function start() {
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
    textBox.title = "";
    place(textBox, layout.text1);
    textBox.style.fontSize = `${layout.text1.pixelHeight}px`;
    form.appendChild(textBox);

    // The hotspots: invisible over the picture in the designed window, buttons with their
    // captions and shortcuts in the phone layout.
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

    // A short line below the window, which screen readers hear too.
    const status = document.getElementById("status");
    let statusTimer = 0;
    function say(message) {
        status.textContent = message;
        clearTimeout(statusTimer);
        statusTimer = setTimeout(() => {
            status.textContent = "";
        }, 6000);
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
    // Shows `shown` (its text, selection and typing) and keeps what the box had.
    function putInstead(shown) {
        const kept = {text: textBox.value, selection: [textBox.selectionStart, textBox.selectionEnd],
                      undo: typing.undo, redo: typing.redo};
        try {
            ownChange = true;
            timed("set the text", () => {
                textBox.value = shown.text;
            });
        } catch (error) {
            return {number: 0};  // no room for it: the box keeps its text
        } finally {
            ownChange = false;
        }
        shownValue = textBox.value;
        const [from, to] = shown.selection;
        textBox.setSelectionRange(from, to);
        if (from === 0 && to === 0) {
            textBox.scrollTop = 0;
        }
        typing.undo = shown.undo;
        typing.redo = shown.redo;
        remember();
        const number = typing.next++;
        typing.kept.set(number, kept);
        let lines = 1;
        for (let at = kept.text.indexOf("\n"); at >= 0; at = kept.text.indexOf("\n", at + 1)) {
            ++lines;
        }
        return {number, characters: kept.text.length, lines};
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
        remember();
    }

    // The text being edited outlives a reload of the tab (and goes with the tab): it is
    // kept in the tab's session storage, and never sent anywhere.
    const storageKey = "mardovane-text";
    const storable = 4 * 1024 * 1024;  // characters: browsers keep about 5 Mi of them a tab
    let rememberTimer = 0;
    function remember() {
        clearTimeout(rememberTimer);
        rememberTimer = setTimeout(() => {
            try {
                if (textBox.value.length > storable) {
                    throw new RangeError("too long to keep");
                }
                sessionStorage.setItem(storageKey, textBox.value);
            } catch (error) {
                sessionStorage.removeItem(storageKey);  // too long to keep
            }
        }, 300);
    }
    try {
        const kept = sessionStorage.getItem(storageKey);
        if (kept) {
            textBox.value = kept;
            shownValue = kept;
        }
    } catch (error) {
        // no storage in this browser: nothing to bring back
    }

    textBox.addEventListener("input", () => {
        if (!ownChange) {
            edited();
            remember();
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

    // Copy all: the clipboard's own call where the page may use it (https, or this
    // computer); elsewhere the older way, selecting the text and copying it.
    async function copyAll() {
        const text = textBox.value;
        if (navigator.clipboard && window.isSecureContext) {
            try {
                await navigator.clipboard.writeText(text);
                say("已复制全部文字。");
                return true;
            } catch (error) {
                // refused: try the older way
            }
        }
        const focused = document.activeElement;
        const [start, end, direction] = [textBox.selectionStart, textBox.selectionEnd,
                                         textBox.selectionDirection];
        textBox.focus();
        textBox.select();
        let copied = false;
        try {
            copied = document.execCommand("copy");
        } catch (error) {
            copied = false;
        }
        textBox.setSelectionRange(start, end, direction);
        if (focused) {
            focused.focus();
        }
        if (copied) {
            say("已复制全部文字。");
        } else {
            showMessage(layout.clipboardRefused);
        }
        return copied;
    }

    // The table read offline is the last one read: the page says so, once, quietly.
    const offlineLine = document.getElementById("offline");
    function tableWasFrom(offline) {
        if (offline && offlineLine.hidden) {
            offlineLine.textContent = "没有网络：正在用上次读到的拆字表拆分。";
            offlineLine.hidden = false;
        } else if (!offline) {
            offlineLine.hidden = true;
        }
    }

    const jobs = new JobWorker((data) => {
        for (const [name, duration] of data.timings || []) {
            performance.measure(`worker: ${name}`, {end: performance.now(), duration});
        }
        if (data.offline !== undefined) {
            tableWasFrom(data.offline);
        }
        timed("take the result", () => pageWindow.finishJob(data.id, data.result));
    });
    const view = {
        text: () => timed("read the text", () => unitsOf(textBox.value)),
        selection: () => [textBox.selectionStart, textBox.selectionEnd],
        // A new text in the box, from the program's memory or straight from the worker;
        // the text it replaces is kept here, with its selection and its typing, under the
        // number given back, for the program's history. None (0) when there is no room.
        show(units, from, to) {
            let text;
            try {
                text = timed("make the string", () => stringOf(units));
            } catch (error) {
                return {number: 0};
            }
            return putInstead({text, selection: [from, to], undo: [], redo: []});
        },
        // The text kept under `number` back in the box, the one shown kept instead.
        restore(number) {
            const kept = typing.kept.get(number);
            typing.kept.delete(number);
            return putInstead(kept);
        },
        forget(number) {
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
            // The pointer alone is not seen on a touch screen: the split button says so too.
            document.body.classList.toggle("busy", busy);
            textBox.setAttribute("aria-busy", String(busy));
            if (busy) {
                say("正在处理…");
            }
        },
        showFailure(message) {
            say("");
            showMessage(message);
        },
        showNotice: say,
        report: say,
        copyAll,
        openWebPage() {
            window.open(layout.webPage, "_blank", "noopener");
        },
        startJob(id, job) {
            // Off the program's memory at once, and handed to the worker without a copy.
            const sent = {kind: job.kind, text: Uint16Array.from(job.text), from: job.from,
                          to: job.to, pasted: Uint16Array.from(job.pasted)};
            tableSource().then(
                (source) => jobs.send(id, {id, job: sent, source},
                                      [sent.text.buffer, sent.pasted.buffer]),
                (error) => jobs.failOne(id, `无法读取所选的拆字表（${error.message || error}）。`));
        },
    };
    const pageWindow = new program.PageWindow(view);
    window.pageWindow = pageWindow;

    function run(command) {
        pageWindow.run(command);
    }
    // The keys of the layout table, the same as on the desktop; the program says which
    // command each runs.
    document.addEventListener("keydown", (event) => {
        if (!event.ctrlKey || event.altKey || event.metaKey || dialog.open) {
            return;
        }
        if (pageWindow.key(event.key, event.code, event.shiftKey)) {
            event.preventDefault();
        }
    }, true);

    // The phone layout's own buttons: the split of the selection, which has no menu on a
    // touch screen, and sharing the text where the browser can.
    const splitSelection = document.getElementById("splitSelection");
    splitSelection.setAttribute("aria-label", layout.menu.splitSelection);
    splitSelection.querySelector(".caption").textContent = layout.menu.splitSelection;
    splitSelection.querySelector(".keys").textContent = layout.menu.shortcuts.splitSelection;
    // A tap on the button would take the selection away from the box: keep it.
    splitSelection.addEventListener("pointerdown", (event) => event.preventDefault());
    splitSelection.addEventListener("click", () => run("splitSelection"));
    document.getElementById("share").addEventListener("click", async () => {
        if (navigator.share) {
            try {
                await navigator.share({text: textBox.value});
            } catch (error) {
                // the visitor did not share after all
            }
        } else if (await copyAll()) {
            say("这个浏览器不能直接分享：已复制全部文字，可以粘贴到要分享的地方。");
        }
    });

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
