// Text1 as a box that lays out only what is on screen: the text is held in pieces of about
// a few thousand characters cut at line breaks, each a block that the browser skips
// (content-visibility: auto) until it scrolls into view. A textarea lays out the whole
// text at once, for seconds on ten megabytes, and the page stops drawing meanwhile.
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
    const PIECE = 2048;  // units a piece holds at least, up to its next line break
    let pieces = [""];   // the text, cut at line breaks; each break between two pieces is one
    let starts = null;   // where each piece starts in the text, worked out when needed
    let joined = "";     // the whole text, while it is up to date
    let joinedValid = true;
    let readOnly = false;
    let lastSelection = {start: 0, end: 0, direction: "none"};
    let composing = false;
    let committed = pieces;  // the pieces as the last edit reported left them

    element.contentEditable = "plaintext-only";
    element.setAttribute("role", "textbox");
    element.setAttribute("aria-multiline", "true");
    element.tabIndex = 0;
    element.spellcheck = false;
    element.setAttribute("autocapitalize", "off");
    element.setAttribute("autocorrect", "off");
    element.setAttribute("translate", "no");

    // A piece as the page shows it: an empty line, or one that ends in a break, needs one
    // more break to be drawn at all, which is not part of the text.
    const shown = (text) => (text === "" || text.endsWith("\n") ? `${text}\n` : text);
    const read = (block) => {
        const text = block.textContent;
        return text.endsWith("\n") ? text.slice(0, -1) : text;
    };
    function block(text) {
        const div = document.createElement("div");
        div.className = "piece";
        div.textContent = shown(text);
        return div;
    }
    function cut(text) {
        const cutPieces = [];
        let at = 0;
        for (;;) {
            const end = text.length - at > PIECE ? text.indexOf("\n", at + PIECE) : -1;
            if (end < 0) {
                cutPieces.push(text.slice(at));
                return cutPieces;
            }
            cutPieces.push(text.slice(at, end));
            at = end + 1;
        }
    }
    function changed() {
        starts = null;
        joinedValid = false;
    }

    // What an input method wrote in the page is taken back into the pieces: only the
    // pieces it touched are read again.
    const observer = new MutationObserver(() => {});
    observer.observe(element, {characterData: true, childList: true, subtree: true});
    function takeBackEdits() {
        const records = observer.takeRecords();
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
        if (touched.has(element)) {
            if ([...element.children].some((child) => !child.classList.contains("piece")) ||
                element.childElementCount === 0) {
                setText(read(element).replace(/\n$/, ""), false);  // rebuilt whole
                return;
            }
            pieces = [...element.children].map(read);
        } else {
            pieces = pieces.slice();
            for (const piece of touched) {
                pieces[Array.prototype.indexOf.call(element.children, piece)] = read(piece);
            }
        }
        changed();
    }
    function ours(work) {
        takeBackEdits();
        work();
        observer.takeRecords();  // what the box itself did is already in its pieces
        if (!composing) {
            committed = pieces;
        }
    }
    // The edit that made `after` of `before` (both lists of pieces), found in the pieces
    // that differ, with one piece on either side for the line break between.
    function editBetween(before, after) {
        let first = 0;
        while (first < before.length && first < after.length && before[first] === after[first]) {
            ++first;
        }
        if (first === before.length && first === after.length) {
            return null;
        }
        let lastBefore = before.length - 1;
        let lastAfter = after.length - 1;
        while (lastBefore > first && lastAfter > first && before[lastBefore] === after[lastAfter]) {
            --lastBefore;
            --lastAfter;
        }
        first = Math.max(0, first - 1);
        const was = before.slice(first, lastBefore + 2).join("\n");
        const is = after.slice(first, lastAfter + 2).join("\n");
        let head = 0;
        while (head < was.length && head < is.length && was[head] === is[head]) {
            ++head;
        }
        let tail = 0;
        while (tail < was.length - head && tail < is.length - head &&
               was[was.length - 1 - tail] === is[is.length - 1 - tail]) {
            ++tail;
        }
        let at = head;
        for (let i = 0; i < first; ++i) {
            at += before[i].length + 1;
        }
        return {at, removed: was.slice(head, was.length - tail),
                inserted: is.slice(head, is.length - tail)};
    }
    // What the browser or an input method changed since the last edit, as one edit.
    function reportBrowsersEdit(inputType) {
        takeBackEdits();
        const edit = editBetween(committed, pieces);
        committed = pieces;
        if (edit && (edit.removed || edit.inserted)) {
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
            pieces = cut(text);
            const fragment = document.createDocumentFragment();
            for (const piece of pieces) {
                fragment.appendChild(block(piece));
            }
            element.replaceChildren(fragment);
            changed();
            joined = text;
            joinedValid = true;
        };
        if (fromOutside) {
            ours(work);
        } else {
            work();
            observer.takeRecords();
        }
    }
    // The whole text's length, and the text from `start` to `end`, without joining it.
    function length() {
        const at = pieceStarts();
        return at[at.length - 1] + pieces[pieces.length - 1].length;
    }
    function slice(start, end) {
        if (start >= end) {
            return "";
        }
        const [first, from] = locate(start);
        const [last, to] = locate(end);
        if (first === last) {
            return pieces[first].slice(from, to);
        }
        return [pieces[first].slice(from), ...pieces.slice(first + 1, last),
                pieces[last].slice(0, to)].join("\n");
    }
    function text() {
        takeBackEdits();
        if (!joinedValid) {
            joined = pieces.join("\n");
            joinedValid = true;
        }
        return joined;
    }
    function pieceStarts() {
        takeBackEdits();
        if (!starts) {
            starts = new Array(pieces.length);
            let at = 0;
            for (let i = 0; i < pieces.length; ++i) {
                starts[i] = at;
                at += pieces[i].length + 1;
            }
        }
        return starts;
    }
    // The piece where `position` lies, and where in it.
    function locate(position) {
        const at = pieceStarts();
        let low = 0;
        let high = at.length - 1;
        while (low < high) {
            const middle = (low + high + 1) >> 1;
            if (at[middle] <= position) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        return [low, Math.min(position - at[low], pieces[low].length)];
    }
    // A point of the page (node, offset) as a position in the text.
    function positionOf(node, offset) {
        if (node === element) {
            const index = Math.min(offset, pieces.length);
            return index === pieces.length ? length() : pieceStarts()[index];
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
        return pieceStarts()[index] + Math.min(within, pieces[index].length);
    }
    // A position in the text as a point of the page.
    function pointOf(position) {
        const [index, within] = locate(position);
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
        const [index] = locate(end);
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
            const [first, from] = locate(start);
            const [last, to] = locate(end);
            const replaced = cut(pieces[first].slice(0, from) + inserted + pieces[last].slice(to));
            if (first === last && replaced.length === 1) {
                element.children[first].textContent = shown(replaced[0]);
            } else {
                const fragment = document.createDocumentFragment();
                for (const piece of replaced) {
                    fragment.appendChild(block(piece));
                }
                const range = document.createRange();
                range.setStartBefore(element.children[first]);
                range.setEndAfter(element.children[last]);
                range.deleteContents();
                element.insertBefore(fragment, element.children[first] || null);
            }
            pieces.splice(first, last - first + 1, ...replaced);
            changed();
        });
    }
    function announce(inputType, data, edit) {
        const event = new InputEvent("input", {inputType, data, bubbles: true});
        event.edit = edit;
        element.dispatchEvent(event);
    }
    // The user's edit: made in the pieces, and said.
    function userEdit(inputType, data, start, end, inserted) {
        const edit = {at: start, removed: slice(start, end), inserted};
        replace(start, end, inserted);
        announce(inputType, data, edit);
    }

    // The unit at `position`, and the one character before or after it: a surrogate pair
    // is not cut in two.
    function unitAt(position) {
        const [index, within] = locate(position);
        return within < pieces[index].length ? pieces[index].charCodeAt(within) : 10;
    }
    function step(position, forward) {
        if (forward) {
            const code = unitAt(position);
            return position + (code >= 0xD800 && code <= 0xDBFF &&
                               position + 1 < length() ? 2 : 1);
        }
        const code = unitAt(position - 1);
        return position - (code >= 0xDC00 && code <= 0xDFFF && position >= 2 ? 2 : 1);
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
                start = step(start, false);
            } else if (type.includes("Forward") && end < length()) {
                end = step(end, true);
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
            event.clipboardData.setData("text/plain", slice(start, end));
            event.preventDefault();
        }
    });
    element.addEventListener("cut", (event) => {
        const {start, end} = selection();
        event.preventDefault();
        if (start === end || readOnly) {
            return;
        }
        event.clipboardData.setData("text/plain", slice(start, end));
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
        return pieces.slice();
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
