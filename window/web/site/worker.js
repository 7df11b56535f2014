// The page's jobs, off its thread: a split reads the keyword table afresh and splits with
// the program's own engine; a long paste is made here too. The outcome goes back to the
// page, with how long each step took.
"use strict";
// This release's own files: the page names its release in the worker's address.
const RELEASE = new URL(self.location.href).searchParams.get("v");
const released = (name) => (RELEASE ? `${name}?v=${RELEASE}` : name);
importScripts(released("texts.js"), released("utf16.js"), released("mardovane.js"),
              released("table_check.js"));
const ready = createMardovane({locateFile: (path, prefix) => prefix + released(path)});
const TABLE_CACHE = "mardovane-tables";

// A table the page accepted, kept for offline use as the table read last (only a table
// that splits is kept: a web page served in its place once must not spoil offline use).
async function keepForOffline(name, bytes) {
    if (!self.caches) {
        return;  // no secure page, no offline copy
    }
    try {
        const cache = await caches.open(TABLE_CACHE);
        await cache.put(name, new Response(bytes, {headers: {"Content-Type": "text/plain"}}));
    } catch (error) {
        // no room: offline use keeps the table kept before
    }
}

// The table at `source`: the visitor's own file as it is now, or the file on the server,
// asked for again at every split (an unchanged file costs a round trip, not a download).
// Offline, the page's service worker answers with the copy it read last, and says so.
async function readTable(source) {
    if (source.file) {
        return {name: source.file.name, bytes: new Uint8Array(await source.file.arrayBuffer())};
    }
    const name = new URL(source.url, self.location.href).href;
    const response = await fetch(name, {cache: "no-cache"});
    const offline = response.headers.get("X-Mardovane-Offline");
    if (offline === "none") {
        return {name, problem: TEXTS.pageNoTableOffline, offline: true};
    }
    if (response.status === 404 || response.status === 410) {
        return {name, problem: "missing"};
    }
    const bytes = new Uint8Array(await response.arrayBuffer());
    if (looksLikeWebPage(response.headers.get("Content-Type"), bytes)) {
        return {name, problem: TEXTS.pageWebPageAsTable.replace("{}", response.status)};
    }
    if (!response.ok) {
        return {name, problem: `HTTP ${response.status} ${response.statusText}`.trim()};
    }
    return {name, bytes, offline: offline === "last"};
}

self.onmessage = async (event) => {
    const {id, job, source} = event.data;
    job.text = unitsOf(job.text);  // the page sends the text as it holds it, a string
    self.postMessage({began: id});  // the page knows this worker is alive
    const timings = [];
    const timed = async (name, work) => {
        const start = performance.now();
        try {
            return await work();
        } finally {
            timings.push([name, performance.now() - start]);
        }
    };
    let result;
    let offline;
    try {
        const program = await ready;
        let table = {name: "", problem: "missing"};
        if (job.kind !== "paste") {
            try {
                table = await timed("read the table", () => readTable(source));
                offline = source.url ? Boolean(table.offline) : undefined;
            } catch (error) {
                table = {name: source.url || source.file.name,
                         problem: String(error.message || error)};
            }
        }
        result = await timed("do the job", () =>
            program.jobInWorker(job, table.bytes || null, table.name, table.problem || ""));
        if (source.url && table.bytes && !table.offline && result.kind !== "failure") {
            await keepForOffline(table.name, table.bytes);
        }
    } catch (error) {
        result = {kind: "failure", failure: "unexpected", what: String(error.message || error)};
    }
    self.postMessage({id, result, timings, offline}, result.text ? [result.text.buffer] : []);
};
