// Text1 as a box that lays out only what is on screen: the text is held in pieces
// (text_pieces.js), each a block that the browser skips (content-visibility: auto) until it
// scrolls into view. A textarea lays out the whole text at once, for seconds on ten
// megabytes, and the page stops drawing meanwhile. A line longer than a piece is cut into
// several, each wrapped on its own: a very long line wraps a little early every few
// thousand characters, and is laid out piece by piece like any other text.
//
// It looks to the page like a textarea: value, selectionStart and selectionEnd,
// setSelectionRange(), setRangeText(), select(), readOnly, and input events. Edits are the
// box's own (the browser's editing of blocks it has skipped loses text): it takes each
// beforeinput, makes the edit in its pieces, and fires the input event; only an input
// method's composition is left to the browser, and read back from the page. Each input
// event the box fires carries the edit the user committed, `edit` = {at, removed,
// inserted}, found in the pieces it touched, not in the whole text; while an input method
// composes there is none, and what it commits is one edit (a cancelled one, none).
"use strict";

// eslint-disable-next-line no-unused-vars
function makeTextBox(element) {
    const pieces = new TextPieces();
    let readOnly = false;
    let lastSelection = {start: 0, end: 0, direction: "none"};
    let composing = false;
    let committed = pieces.list;  // the pieces as the last edit reported left them

    element.contentEditable = "plaintext-only";
    element.setAttribute("role", "textbox");
    element.setAttribute("aria-multiline", "true");
    element.tabIndex = 0;
    element.spellcheck = false;
    element.setAttribute("autocapitalize", "off");
    element.setAttribute("autocorrect", "off");
    element.setAttribute("translate", "no");

    // A piece as the page shows it: the last one, empty or ending in a line break, needs
    // one more break for its last (empty) line to be drawn, which is not part of the text.
    const shown = (text, last) => (last && (text === "" || text.endsWith("\n")) ? `${text}\n` : text);
    const read = (block, last) => {
        const text = block.textContent;
        return last && text.endsWith("\n") ? text.slice(0, -1) : text;
    };
    function block(text, last) {
        const div = document.createElement("div");
        div.className = "piece";
        div.textContent = shown(text, last);
        return div;
    }
    const isLast = (index) => index === element.children.length - 1;

    // What an input method wrote in the page is taken back into the pieces: only the
    // pieces it touched are read again.
    // (Records the observer is handed wait here until they are taken.)
    const handed = [];
    const observer = new MutationObserver((records) => handed.push(...records));
    observer.observe(element, {characterData: true, childList: true, subtree: true});
    function ourOwnChanges() {
        handed.length = 0;
        observer.takeRecords();  // what the box itself did is already in its pieces
    }
    function takeBackEdits() {
        const records = [...handed.splice(0), ...observer.takeRecords()];
        if (records.length === 0) {
            return;
        }
        const touched = new Set();
        for (const record of records) {
            let piece = record.target;
            while (piece && piece.parentNode !== element) {
                piece = piece.parentNode;
            }
            if (!piece || (record.type === "childList" && record.target === element)) {
                touched.clear();
                touched.add(element);  // the pieces themselves changed
                break;
            }
            touched.add(piece);
        }
        const blocks = [...element.children];
        if (touched.has(element)) {
            if (blocks.length === 0 || blocks.some((child) => !child.classList.contains("piece"))) {
                setText(read(element, true), false);  // rebuilt whole
                return;
            }
            pieces.adopt(blocks.map((child, index) => read(child, isLast(index))));
        } else {
            const list = pieces.list.slice();
            for (const piece of touched) {
                const index = blocks.indexOf(piece);
                list[index] = read(piece, isLast(index));
            }
            pieces.adopt(list);
        }
    }
    function ours(work) {
        takeBackEdits();
        work();
        ourOwnChanges();
        if (!composing) {
            committed = pieces.list;
        }
    }
    // What the browser or an input method changed since the last edit, as one edit.
    function reportBrowsersEdit(inputType) {
        takeBackEdits();
        const edit = TextPieces.editBetween(committed, pieces.list);
        committed = pieces.list;
        if (edit) {
            announce(inputType, edit.inserted, edit);
        }
    }
    element.addEventListener("compositionstart", () => {
        takeBackEdits();
        composing = true;
    });
    element.addEventListener("compositionend", () => {
        composing = false;
        reportBrowsersEdit("insertFromComposition");
    });
    element.addEventListener("input", (event) => {
        // The browser's own input events: the box fires its own, with the edit.
        if (event.isTrusted) {
            event.stopImmediatePropagation();
            if (!composing && !event.isComposing) {
                reportBrowsersEdit(event.inputType);
            }
        }
    });

    function setText(text, fromOutside = true) {
        const work = () => {
            pieces.set(text);
            const fragment = document.createDocumentFragment();
            pieces.list.forEach((piece, index) => {
                fragment.appendChild(block(piece, index === pieces.list.length - 1));
            });
            element.replaceChildren(fragment);
        };
        if (fromOutside) {
            ours(work);
        } else {
            work();
            ourOwnChanges();
        }
    }
    const text = () => {
        takeBackEdits();
        return pieces.text();
    };
    const length = () => {
        takeBackEdits();
        return pieces.length();
    };

    // A point of the page (node, offset) as a position in the text.
    function positionOf(node, offset) {
        takeBackEdits();
        if (node === element) {
            const index = Math.min(offset, pieces.list.length);
            return index === pieces.list.length ? pieces.length() : pieces.positions()[index];
        }
        let piece = node;
        while (piece && piece.parentNode !== element) {
            piece = piece.parentNode;
        }
        if (!piece) {
            return 0;
        }
        const index = Array.prototype.indexOf.call(element.children, piece);
        let within = 0;
        if (node.nodeType === Node.TEXT_NODE) {
            for (let sibling = piece.firstChild; sibling && sibling !== node;
                 sibling = sibling.nextSibling) {
                within += sibling.textContent.length;
            }
            within += offset;
        } else {
            for (let i = 0; i < offset && i < node.childNodes.length; ++i) {
                within += node.childNodes[i].textContent.length;
            }
        }
        return pieces.positions()[index] + Math.min(within, pieces.list[index].length);
    }
    // A position in the text as a point of the page.
    function pointOf(position) {
        const [index, within] = pieces.locate(position);
        const piece = element.children[index];
        let node = piece.firstChild;
        let left = within;
        while (node && node.nextSibling && left > node.textContent.length) {
            left -= node.textContent.length;
            node = node.nextSibling;
        }
        return node ? [node, Math.min(left, node.textContent.length)] : [piece, 0];
    }

    function selection() {
        const chosen = getSelection();
        if (chosen.rangeCount > 0 && element.contains(chosen.anchorNode) &&
            element.contains(chosen.focusNode)) {
            const anchor = positionOf(chosen.anchorNode, chosen.anchorOffset);
            const focus = positionOf(chosen.focusNode, chosen.focusOffset);
            lastSelection = {start: Math.min(anchor, focus), end: Math.max(anchor, focus),
                             direction: anchor <= focus ? "forward" : "backward"};
        }
        return lastSelection;
    }
    function select(start, end, direction = "none") {
        const whole = length();
        start = Math.max(0, Math.min(start, whole));
        end = Math.max(start, Math.min(end, whole));
        lastSelection = {start, end, direction};
        const [anchorNode, anchorOffset] = pointOf(direction === "backward" ? end : start);
        const [focusNode, focusOffset] = pointOf(direction === "backward" ? start : end);
        if (document.activeElement === element) {
            getSelection().setBaseAndExtent(anchorNode, anchorOffset, focusNode, focusOffset);
        }
        const [index] = pieces.locate(end);
        const piece = element.children[index];
        const box = element.getBoundingClientRect();
        const place = piece.getBoundingClientRect();
        if (place.bottom < box.top || place.top > box.bottom) {
            piece.scrollIntoView({block: "nearest"});
        }
    }
    element.addEventListener("focus", () => {
        const {start, end, direction} = lastSelection;
        select(start, end, direction);
    });

    // Replaces the text from `start` to `end`: only the pieces it touches change.
    function replace(start, end, inserted) {
        ours(() => {
            const {first, last, replaced} = pieces.replace(start, end, inserted);
            const lastIndex = pieces.list.length - 1;
            if (first === last && replaced.length === 1) {
                element.children[first].textContent = shown(replaced[0], first === lastIndex);
                return;
            }
            const fragment = document.createDocumentFragment();
            replaced.forEach((piece, index) => {
                fragment.appendChild(block(piece, first + index === lastIndex));
            });
            const range = document.createRange();
            range.setStartBefore(element.children[first]);
            range.setEndAfter(element.children[last]);
            range.deleteContents();
            element.insertBefore(fragment, element.children[first] || null);
        });
    }
    function announce(inputType, data, edit) {
        const event = new InputEvent("input", {inputType, data, bubbles: true});
        event.edit = edit;
        element.dispatchEvent(event);
    }
    // The user's edit: made in the pieces, and said.
    function userEdit(inputType, data, start, end, inserted) {
        const edit = {at: start, removed: pieces.slice(start, end), inserted};
        replace(start, end, inserted);
        announce(inputType, data, edit);
    }

    element.addEventListener("beforeinput", (event) => {
        const type = event.inputType;
        if (event.defaultPrevented || type === "historyUndo" || type === "historyRedo" ||
            type.includes("Composition") || event.isComposing || composing) {
            return;  // the page's history; an input method's work, read back afterwards
        }
        event.preventDefault();
        if (readOnly) {
            return;
        }
        let {start, end} = selection();
        const target = event.getTargetRanges ? event.getTargetRanges()[0] : null;
        if (target) {
            start = positionOf(target.startContainer, target.startOffset);
            end = positionOf(target.endContainer, target.endOffset);
        }
        let inserted = "";
        if (type === "insertLineBreak" || type === "insertParagraph") {
            inserted = "\n";
        } else if (type.startsWith("insert")) {
            inserted = event.data ?? (event.dataTransfer ? event.dataTransfer.getData("text/plain") : "");
            inserted = inserted.replace(/\r\n?/g, "\n");
        } else if (type.startsWith("delete") && start === end) {
            if (type.includes("Backward") && start > 0) {
                start = pieces.step(start, false);
            } else if (type.includes("Forward") && end < length()) {
                end = pieces.step(end, true);
            }
        }
        if (start === end && inserted === "") {
            return;
        }
        userEdit(type, event.data, start, end, inserted);
        select(start + inserted.length, start + inserted.length);
    });
    // Copied and cut from the pieces, not from what the page has laid out of them.
    element.addEventListener("copy", (event) => {
        const {start, end} = selection();
        if (start !== end) {
            event.clipboardData.setData("text/plain", pieces.slice(start, end));
            event.preventDefault();
        }
    });
    element.addEventListener("cut", (event) => {
        const {start, end} = selection();
        event.preventDefault();
        if (start === end || readOnly) {
            return;
        }
        event.clipboardData.setData("text/plain", pieces.slice(start, end));
        userEdit("deleteByCut", null, start, end, "");
        select(start, start);
    });
    element.addEventListener("dragstart", (event) => event.preventDefault());

    Object.defineProperties(element, {
        value: {get: text, set: (value) => setText(String(value)), configurable: true},
        selectionStart: {get: () => selection().start},
        selectionEnd: {get: () => selection().end},
        selectionDirection: {get: () => selection().direction},
        readOnly: {
            get: () => readOnly,
            set: (value) => {
                readOnly = Boolean(value);
                element.contentEditable = readOnly ? "false" : "plaintext-only";
                element.setAttribute("aria-readonly", String(readOnly));
            },
        },
    });
    element.setSelectionRange = (start, end, direction) => select(start, end, direction);
    element.select = () => select(0, length());
    // The pieces as they stand (a copy of the list), for keeping the text without joining it.
    element.pieces = () => {
        takeBackEdits();
        return pieces.list.slice();
    };
    element.setRangeText = (inserted, start, end, mode = "preserve") => {
        const old = selection();
        replace(start, end, String(inserted));
        const after = start + String(inserted).length;
        if (mode === "end") {
            select(after, after);
        } else if (mode === "start") {
            select(start, start);
        } else if (mode === "select") {
            select(start, after);
        } else {
            const moved = (at) => (at <= start ? at : at >= end ? at - (end - start) + String(inserted).length : start);
            select(moved(old.start), moved(old.end));
        }
    };
    setText("");
    return element;
}
