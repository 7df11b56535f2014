// A string's UTF-16 code units as they stand (lone surrogates too), and back: what the
// page, its worker and the program hand each other.
"use strict";

// eslint-disable-next-line no-unused-vars
function unitsOf(text) {
    const units = new Uint16Array(text.length);
    for (let i = 0; i < text.length; ++i) {
        units[i] = text.charCodeAt(i);
    }
    return units;
}
const strictUtf16 = new TextDecoder("utf-16le", {fatal: true});
// eslint-disable-next-line no-unused-vars
function stringOf(units) {
    try {
        return strictUtf16.decode(units);  // at once, where every surrogate is paired
    } catch (error) {
        // a lone surrogate, which the decoder would not keep: unit by unit
    }
    const pieces = [];
    for (let at = 0; at < units.length; at += 8192) {
        pieces.push(String.fromCharCode.apply(null, units.subarray(at, at + 8192)));
    }
    return pieces.join("");
}
