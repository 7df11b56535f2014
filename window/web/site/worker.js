// The split, off the page's thread: reads the keyword table afresh (never from a cache),
// splits with the program's own engine and sends the outcome back.
"use strict";
importScripts("mardovane.js");
const ready = createMardovane();

async function readTable(source) {
    if (source.file) {
        return {name: source.file.name, bytes: new Uint8Array(await source.file.arrayBuffer())};
    }
    const name = new URL(source.url, self.location.href).href;
    const response = await fetch(name, {cache: "no-store"});
    if (response.status === 404 || response.status === 410) {
        return {name, problem: "missing"};
    }
    if (!response.ok) {
        return {name, problem: `HTTP ${response.status} ${response.statusText}`.trim()};
    }
    return {name, bytes: new Uint8Array(await response.arrayBuffer())};
}

self.onmessage = async (event) => {
    const {id, text, source} = event.data;
    let result;
    try {
        const program = await ready;
        let table;
        try {
            table = await readTable(source);
        } catch (error) {
            table = {name: source.url || source.file.name, problem: String(error.message || error)};
        }
        result = program.splitInWorker(text, table.bytes || null, table.name, table.problem || "");
    } catch (error) {
        result = {kind: "failure", failure: "unexpected", what: String(error.message || error)};
    }
    self.postMessage({id, result}, result.text ? [result.text.buffer] : []);
};
