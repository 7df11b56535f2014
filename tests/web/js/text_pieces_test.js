// The text box's pieces under Node's test runner: the text is always the pieces one after
// another, however it is cut and edited, and the edits found between two lists of pieces
// are the edits made.
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const {TextPieces} = require("../../../window/web/site/text_pieces.js");

const {PIECE, LONGEST} = TextPieces;
const line = (n, c = "好") => c.repeat(n);

test("cuts after line breaks, and a line too long for one piece where it must", () => {
    const cases = [
        ["empty", "", [0]],
        ["short", "ab\ncd", [5]],
        ["lines", `${line(PIECE)}\n${line(10)}`, [PIECE + 1, 10]],
        ["a long line", line(3 * PIECE + 5), [PIECE, PIECE, PIECE, 5]],
        ["a break within reach", `${line(PIECE + 100)}\n${line(5)}`, [PIECE + 101, 5]],
        // Cut once, then the rest of the line is within reach.
        ["a break out of reach", `${line(LONGEST + 10)}\nx`, [PIECE, LONGEST + 11 - PIECE, 1]],
    ];
    for (const [name, text, sizes] of cases) {
        const pieces = TextPieces.cut(text);
        assert.deepEqual(pieces.map((p) => p.length), sizes, name);
        assert.equal(pieces.join(""), text, name);
    }
});

test("never cuts a surrogate pair in two", () => {
    const text = `a${"😀".repeat(PIECE)}`;
    const pieces = TextPieces.cut(text);
    assert.equal(pieces.join(""), text);
    for (const piece of pieces) {
        const last = piece.charCodeAt(piece.length - 1);
        assert.ok(!(last >= 0xD800 && last <= 0xDBFF), "ends in a high surrogate");
    }
});

test("positions, slices and steps across pieces are those of the whole text", () => {
    const text = `${line(PIECE - 1)}\n${line(3 * PIECE, "湖")}😀\nend`;
    const pieces = new TextPieces(text);
    assert.ok(pieces.list.length > 2);
    assert.equal(pieces.length(), text.length);
    for (const [start, end] of [[0, 5], [PIECE - 3, PIECE + 3], [10, text.length],
                                [text.length - 6, text.length], [PIECE, PIECE]]) {
        assert.equal(pieces.slice(start, end), text.slice(start, end), `${start}-${end}`);
    }
    const emoji = text.indexOf("😀");
    assert.equal(pieces.step(emoji, true), emoji + 2);
    assert.equal(pieces.step(emoji + 2, false), emoji);
    assert.equal(pieces.step(emoji, false), emoji - 1);
});

test("an edit anywhere leaves the text as a string's edit would", () => {
    const text = `${line(PIECE + 7)}\n${line(3 * PIECE, "湖")}\n\nabc`;
    const edits = [
        ["type at the start", 0, 0, "x"],
        ["delete a line break between pieces", PIECE + 7, PIECE + 8, ""],
        ["replace across three pieces", 100, 3 * PIECE, "新"],
        ["paste a long line at the end", text.length, text.length, line(2 * PIECE, "长")],
        ["delete everything", 0, text.length, ""],
        ["delete the last line", text.length - 3, text.length, ""],
    ];
    for (const [name, start, end, inserted] of edits) {
        const pieces = new TextPieces(text);
        const before = pieces.list;
        pieces.replace(start, end, inserted);
        const expected = text.slice(0, start) + inserted + text.slice(end);
        assert.equal(pieces.text(), expected, name);
        assert.ok(pieces.list.slice(0, -1).every((piece) => piece !== ""), `${name}: no empty piece`);
        // The edit found between the two lists is the one made (or an equal one).
        const edit = TextPieces.editBetween(before, pieces.list);
        const made = text.slice(0, edit.at) + edit.inserted + text.slice(edit.at + edit.removed.length);
        assert.equal(made, expected, name);
    }
});

test("the same text in other pieces is no edit", () => {
    assert.equal(TextPieces.editBetween(["ab\n", "c"], ["ab\n", "c"]), null);
    assert.deepEqual(TextPieces.editBetween(["ab\n", "c"], ["ab\n", "cd"]),
                     {at: 4, removed: "", inserted: "d"});
});
