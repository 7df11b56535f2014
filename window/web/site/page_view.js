// The page's window as the program sees it (the PageWindow's view): the text box and the
// texts that jobs replaced, the busy state, messages, the clipboard, the web page and the
// jobs' worker. What the window does with them is the program's.
"use strict";

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

// `page` gives what the view works with: textBox, layout, say(message),
// showMessage(message), jobs (a JobWorker), tableSource() and textChanged().
// eslint-disable-next-line no-unused-vars
function makePageView(page) {
    const {textBox} = page;
    const kept = new Map();  // the texts jobs replaced, by number: text and selection
    let nextNumber = 1;
    let ownChange = false;   // the text changes by the program's doing

    // Shows `shown` (a text and its selection) and keeps what the box had, under a number.
    function putInstead(shown) {
        const replaced = {text: textBox.value,
                          selection: [textBox.selectionStart, textBox.selectionEnd]};
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
        const [from, to] = shown.selection;
        textBox.setSelectionRange(from, to);
        page.textChanged();
        const number = nextNumber++;
        kept.set(number, replaced);
        let lines = 1;
        for (let at = replaced.text.indexOf("\n"); at >= 0;
             at = replaced.text.indexOf("\n", at + 1)) {
            ++lines;
        }
        return {number, characters: replaced.text.length, lines};
    }

    // Copy all: the clipboard's own call where the page may use it (https, or this
    // computer); elsewhere the older way, selecting the text and copying it.
    async function copyAll() {
        const text = textBox.value;
        if (navigator.clipboard && window.isSecureContext) {
            try {
                await navigator.clipboard.writeText(text);
                page.say(TEXTS.pageCopied);
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
            page.say(TEXTS.pageCopied);
        } else {
            page.showMessage(page.layout.clipboardRefused);
        }
        return copied;
    }

    const view = {
        text: () => timed("read the text", () => unitsOf(textBox.value)),
        selection: () => [textBox.selectionStart, textBox.selectionEnd],
        // A new text in the box, from the program's memory or straight from the worker;
        // the text it replaces is kept here, with its selection, under the number given
        // back, for the program's history. None (0) when there is no room.
        show(units, from, to) {
            let text;
            try {
                text = timed("make the string", () => stringOf(units));
            } catch (error) {
                return {number: 0};
            }
            return putInstead({text, selection: [from, to]});
        },
        // The text kept under `number` back in the box, the one shown kept instead.
        restore(number) {
            const text = kept.get(number);
            kept.delete(number);
            return putInstead(text);
        },
        forget(number) {
            kept.delete(number);
        },
        setEditable(editable) {
            textBox.readOnly = !editable;
        },
        // A step of the typing history: `length` units at `at` give way to `units`.
        edit(at, length, units) {
            ownChange = true;
            try {
                textBox.setRangeText(stringOf(units), at, at + length, "end");
            } finally {
                ownChange = false;
            }
            page.textChanged();
        },
        showBusy(busy) {
            // The pointer alone is not seen on a touch screen: the split button says so too.
            document.body.classList.toggle("busy", busy);
            textBox.setAttribute("aria-busy", String(busy));
            if (busy) {
                page.say(TEXTS.pageWorking);
            }
        },
        showFailure(message) {
            page.say("");
            page.showMessage(message);
        },
        showNotice: (message) => page.say(message),
        report: (message) => page.say(message),
        copyAll,
        openWebPage() {
            window.open(page.layout.webPage, "_blank", "noopener");
        },
        // The job as the program gives it, with the text, which goes from here to the
        // worker as a string (the worker makes its units).
        startJob(id, job) {
            const sent = {kind: job.kind, text: textBox.value, from: job.from, to: job.to,
                          pasted: Uint16Array.from(job.pasted)};
            page.tableSource().then(
                (source) => page.jobs.send(id, {id, job: sent, source}, [sent.pasted.buffer]),
                (error) => page.jobs.failOne(
                    id, worded(TEXTS.pageOwnTableUnreadable, error.message || error)));
        },
    };
    return {view, copyAll, isOwnChange: () => ownChange};
}
