// The quiet line below the window that says a split used the table read last, offline:
// said once, and gone when the table is read from the network again.
"use strict";

// eslint-disable-next-line no-unused-vars
function makeOfflineLine(line) {
    return (offline) => {
        if (offline && line.hidden) {
            line.textContent = TEXTS.pageOfflineTable;
            line.hidden = false;
        } else if (!offline) {
            line.hidden = true;
        }
    };
}
