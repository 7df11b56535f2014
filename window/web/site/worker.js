// The page's jobs, off its thread: a split reads the keyword table afresh (never from a
// cache) and splits with the program's own engine; a long paste is made here too. The
// outcome goes back to the page.
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
    const {id, job, source} = event.data;
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
    try {
        const program = await ready;
        let table = {name: "", problem: "missing"};
        if (job.kind !== "paste") {
            try {
                table = await timed("read the table", () => readTable(source));
            } catch (error) {
                table = {name: source.url || source.file.name,
                         problem: String(error.message || error)};
            }
        }
        result = await timed("do the job", () =>
            program.jobInWorker(job, table.bytes || null, table.name, table.problem || ""));
    } catch (error) {
        result = {kind: "failure", failure: "unexpected", what: String(error.message || error)};
    }
    self.postMessage({id, result, timings}, result.text ? [result.text.buffer] : []);
};
