// The text being edited outlives a reload of the tab, a tab the phone discarded and brings
// back, and the page closed by a slip: it is kept in the browser's IndexedDB, where a large
// text fits, a moment after each change and when the page is hidden or closed, and never
// sent anywhere. A page that goes does not wait for IndexedDB, so then a text that fits is
// also kept in the tab's session storage, at once; the newer of the two comes back. Each
// tab keeps its own, under a name in its session storage; what a tab kept and left for a
// month goes. Where the text cannot be kept, the page is told, and the text kept before
// stays.
"use strict";

// eslint-disable-next-line no-unused-vars
class TextKeeper {
    // `pieces()` gives the text as a list of pieces, one after another;
    // `notKept()` says that it could not be kept.
    constructor(pieces, notKept) {
        this.pieces = pieces;
        this.notKept = notKept;
        this.timer = 0;
        this.dirty = false;
        this.tab = TextKeeper.tabName();
        this.database = TextKeeper.open();
    }
    static tabName() {
        try {
            let name = sessionStorage.getItem("mardovane-tab");
            if (!name) {
                name = `${Date.now()}-${Math.random().toString(36).slice(2)}`;
                sessionStorage.setItem("mardovane-tab", name);
            }
            return name;
        } catch (error) {
            return "tab";  // no session storage: one text for every tab
        }
    }
    static open() {
        return new Promise((resolve) => {
            try {
                const request = indexedDB.open("mardovane", 1);
                request.onupgradeneeded = () => request.result.createObjectStore("texts");
                request.onsuccess = () => resolve(request.result);
                request.onerror = () => resolve(null);
            } catch (error) {
                resolve(null);  // no IndexedDB here (a private window of some browsers)
            }
        });
    }
    // The text this tab kept, or null.
    async load() {
        let quick = null;
        try {
            const item = sessionStorage.getItem(TextKeeper.quickName);
            try {
                quick = JSON.parse(item);
                if (typeof quick !== "object" || !Array.isArray(quick.pieces)) {
                    throw new TypeError("not kept by this page");
                }
            } catch (error) {
                // the earlier pages kept the text itself there
                quick = item === null ? null : {tab: this.tab, saved: 0, pieces: [item]};
            }
        } catch (error) {
            // no session storage
        }
        const kept = await this.loadKept();
        if (quick && quick.tab !== this.tab) {
            quick = null;  // left by a page of another name for the tab
        }
        const newer = quick && (!kept || quick.saved > kept.saved) ? quick : kept;
        return newer ? newer.pieces.join("") : null;
    }
    static get quickName() {
        return "mardovane-text";
    }
    async loadKept() {
        const database = await this.database;
        if (!database) {
            return null;
        }
        return new Promise((resolve) => {
            const store = database.transaction("texts", "readwrite").objectStore("texts");
            const request = store.get(this.tab);
            request.onsuccess = () => resolve(request.result || null);
            request.onerror = () => resolve(null);
            const month = Date.now() - 30 * 24 * 3600 * 1000;
            store.openCursor().onsuccess = (event) => {
                const cursor = event.target.result;
                if (cursor) {
                    if (cursor.value.saved < month) {
                        cursor.delete();
                    }
                    cursor.continue();
                }
            };
        });
    }
    // The text changed: kept a moment later, once the typing pauses.
    changed() {
        this.dirty = true;
        clearTimeout(this.timer);
        this.timer = setTimeout(() => this.keepNow(), 400);
    }
    // Kept now; `going`: the page is being hidden or closed.
    async keepNow(going = false) {
        clearTimeout(this.timer);
        if (!this.dirty) {
            return;
        }
        this.dirty = false;
        const kept = {pieces: this.pieces(), saved: Date.now()};
        if (going) {
            try {
                let length = 0;
                for (const piece of kept.pieces) {
                    length += piece.length;
                }
                if (length <= TextKeeper.quickLength) {
                    sessionStorage.setItem(TextKeeper.quickName,
                                           JSON.stringify({...kept, tab: this.tab}));
                } else {
                    sessionStorage.removeItem(TextKeeper.quickName);
                }
            } catch (error) {
                // too much for the session storage: IndexedDB has it, if it can
            }
        }
        const database = await this.database;
        if (!database) {
            return;
        }
        try {
            const transaction = database.transaction("texts", "readwrite");
            transaction.objectStore("texts").put(kept, this.tab);
            transaction.onabort = () => this.notKept();  // no room: the last text kept stays
        } catch (error) {
            this.notKept();
        }
    }
    // What the tab's session storage takes at once (it holds about 5 Mi units in all).
    static get quickLength() {
        return 2 * 1024 * 1024;
    }
}
