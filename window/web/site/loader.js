// Starting the page: its release, the program (script and WebAssembly) of the same
// release, and in the page's own words what keeps it from starting.
"use strict";

// This release's own files: index.html names the scripts with their release, and the page
// names the program and its worker so, so that a page open when the next release arrives
// keeps to its own.
const RELEASE = new URL(document.currentScript.src).searchParams.get("v");
function released(name) {
    return RELEASE ? `${name}?v=${RELEASE}` : name;
}

// One of the window's texts with what the page puts in for each {}.
function worded(text, ...parts) {
    let next = 0;
    return text.replace(/\{\}/g, () => String(parts[next++] ?? ""));
}

// What the page says where it cannot start, instead of staying blank or showing buttons
// that do nothing.
function cannotStart(why) {
    document.body.classList.add("cannot-start");
    const startup = document.getElementById("startup");
    startup.textContent = worded(TEXTS.pageCannotStart, why);
    startup.hidden = false;
    startup.classList.add("failed");
}

// The program, loaded after the page so that a missing or refused file is said in words.
function loadProgram() {
    return new Promise((resolve, reject) => {
        if (typeof WebAssembly !== "object" || typeof Worker !== "function") {
            reject(new Error(TEXTS.pageBrowserTooOld));
            return;
        }
        const script = document.createElement("script");
        script.src = released("mardovane.js");
        script.onload = () => resolve();
        script.onerror = () => reject(new Error(worded(TEXTS.pageScriptMissing, "mardovane.js")));
        document.head.appendChild(script);
    }).then(() => createMardovane({
        locateFile: (path, prefix) => prefix + released(path),
        // The program's own words go to the console, not to the visitor.
        printErr: (words) => console.warn(words),
    })).catch((error) => {
        const words = String(error && error.message || error);
        if (/unsafe-eval|Content Security Policy|CSP/i.test(words)) {
            throw new Error(TEXTS.pageWasmForbidden);
        }
        if (typeof createMardovane === "function") {  // the script came, its program did not
            console.warn(words);
            throw new Error(TEXTS.pageProgramMissing);
        }
        throw error;
    });
}
