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

    // Ctrl+Z and Ctrl+Y over the splits. The browser's own undo is far too slow for a
    // long result (half a minute for a megabyte) and forgets everything when a script
    // sets the text, so the box keeps the texts a split replaced, and the browser keeps
    // the typing since.
    const history = {undo: [], redo: [], kept: 0};
    const keptCharacters = 64 * 1024 * 1024;
    function setWhole(text) {
        textBox.setRangeText(text, 0, textBox.value.length, "start");
        textBox.setSelectionRange(0, 0);
        textBox.scrollTop = 0;
    }
    function storeSplit(text) {
        const entry = {before: textBox.value, after: text};
        history.undo.push(entry);
        history.redo = [];
        history.kept += entry.before.length + entry.after.length;
        while (history.undo.length > 1 && history.kept > keptCharacters) {
            const dropped = history.undo.shift();
            history.kept -= dropped.before.length + dropped.after.length;
        }
        setWhole(text);
    }
    function stepBack() {
        const entry = history.undo[history.undo.length - 1];
        if (!entry || textBox.value !== entry.after) {
            return false;  // typing since the split: the browser takes that back first
        }
        history.redo.push(history.undo.pop());
        setWhole(entry.before);
        return true;
    }
    function stepForward() {
        const entry = history.redo[history.redo.length - 1];
        if (!entry || textBox.value !== entry.before) {
            return false;
        }
        history.undo.push(history.redo.pop());
        setWhole(entry.after);
        return true;
    }
    textBox.addEventListener("keydown", (event) => {
        if (!event.ctrlKey || event.altKey || event.metaKey || textBox.readOnly) {
            return;
        }
        const undo = event.code === "KeyZ" && !event.shiftKey;
        const redo = event.code === "KeyY" || (event.code === "KeyZ" && event.shiftKey);
        if ((undo && stepBack()) || (redo && stepForward())) {
            event.preventDefault();
        }
    });
    textBox.addEventListener("beforeinput", (event) => {
        // Undo and Redo from the text box's own menu.
        const handled = (event.inputType === "historyUndo" && stepBack()) ||
                        (event.inputType === "historyRedo" && stepForward());
        if (handled) {
            event.preventDefault();
        }
    });

    const worker = new Worker("worker.js");
    let busyTimer = 0;
    const view = {
        text: () => unitsOf(textBox.value),
        replaceText(units) {
            storeSplit(stringOf(units));
        },
        setEditable(editable) {
            textBox.readOnly = !editable;
        },
        setBusy(busy) {
            clearTimeout(busyTimer);
            if (busy) {
                busyTimer = setTimeout(() => document.body.classList.add("busy"), layout.busyDelay);
            } else {
                document.body.classList.remove("busy");
            }
        },
        showFailure: showMessage,
        startSplit(id, units) {
            const text = Uint16Array.from(units);  // off the program's memory at once
            tableSource().then(
                (source) => worker.postMessage({id, text, source}, [text.buffer]),
                (error) => window.pageWindow.finishSplit(id, {
                    kind: "failure", failure: "unexpected", what: String(error.message || error)}));
        },
    };
    const pageWindow = new program.PageWindow(view);
    window.pageWindow = pageWindow;
    worker.onmessage = (event) => pageWindow.finishSplit(event.data.id, event.data.result);
    worker.onerror = (event) => showMessage(String(event.message));

    function run(command) {
        if (command === "split") {
            pageWindow.click();
        } else if (command === "copyAll") {
            // The whole text, whatever is selected.
            navigator.clipboard.writeText(textBox.value).catch(
                () => showMessage(layout.clipboardRefused));
        } else if (command === "openWebPage") {
            window.open(layout.webPage, "_blank", "noopener");
        }
    }
    document.addEventListener("keydown", (event) => {
        if (!event.ctrlKey || event.altKey || event.metaKey || dialog.open) {
            return;
        }
        for (const shortcut of layout.shortcuts) {
            const key = shortcut.key === "Enter" ? event.key === "Enter" : event.code === "KeyC";
            if (key && shortcut.shift === event.shiftKey) {
                event.preventDefault();
                run(shortcut.command);
                return;
            }
        }
    }, true);

    form.dataset.ready = "true";
    textBox.focus();
}

start();
