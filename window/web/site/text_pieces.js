// The text of Text1 in pieces that the page lays out one by one: each holds a few thousand
// units and ends after a line break, so that the text is the pieces one after another;
// a line too long for that (a megabyte without a break) is cut where it must be, and its
// pieces end without one. Positions are UTF-16 units of the whole text, as a textarea's.
"use strict";

class TextPieces {
    // A piece holds at least PIECE units, up to the end of its line; a line that goes on
    // past LONGEST units is cut every PIECE units (never inside a surrogate pair).
    static get PIECE() {
        return 2048;
    }
    static get LONGEST() {
        return 8192;
    }

    constructor(text = "") {
        this.set(text);
    }
    set(text) {
        this.list = TextPieces.cut(text);
        this.starts = null;
    }
    // Takes over a new list of pieces (their text is the whole text).
    adopt(list) {
        this.list = list;
        this.starts = null;
    }

    static cut(text) {
        const pieces = [];
        let at = 0;
        while (text.length - at > TextPieces.PIECE) {
            const lineEnd = text.indexOf("\n", at + TextPieces.PIECE - 1);
            let end;
            if (lineEnd >= 0 && lineEnd - at < TextPieces.LONGEST) {
                end = lineEnd + 1;
            } else {
                end = at + TextPieces.PIECE;
                const before = text.charCodeAt(end - 1);
                if (before >= 0xD800 && before <= 0xDBFF) {
                    ++end;  // not between the halves of a surrogate pair
                }
            }
            if (end >= text.length) {
                break;
            }
            pieces.push(text.slice(at, end));
            at = end;
        }
        pieces.push(text.slice(at));
        return pieces;
    }

    text() {
        return this.list.join("");
    }
    positions() {
        if (!this.starts) {
            this.starts = new Array(this.list.length);
            let at = 0;
            for (let i = 0; i < this.list.length; ++i) {
                this.starts[i] = at;
                at += this.list[i].length;
            }
        }
        return this.starts;
    }
    length() {
        const starts = this.positions();
        return starts[starts.length - 1] + this.list[this.list.length - 1].length;
    }
    // The piece where `position` lies, and where in it: a position at the end of one piece
    // is the start of the next.
    locate(position) {
        const starts = this.positions();
        let low = 0;
        let high = starts.length - 1;
        while (low < high) {
            const middle = (low + high + 1) >> 1;
            if (starts[middle] <= position) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        return [low, Math.max(0, Math.min(position - starts[low], this.list[low].length))];
    }
    slice(start, end) {
        if (start >= end) {
            return "";
        }
        const [first, from] = this.locate(start);
        const [last, to] = this.locate(end);
        if (first === last) {
            return this.list[first].slice(from, to);
        }
        return [this.list[first].slice(from), ...this.list.slice(first + 1, last),
                this.list[last].slice(0, to)].join("");
    }
    unitAt(position) {
        const [index, within] = this.locate(position);
        return this.list[index].charCodeAt(within);
    }
    // The position one character before or after `position`: a surrogate pair is not cut
    // in two.
    step(position, forward) {
        if (forward) {
            const code = this.unitAt(position);
            return position + (code >= 0xD800 && code <= 0xDBFF &&
                               position + 1 < this.length() ? 2 : 1);
        }
        const code = this.unitAt(position - 1);
        return position - (code >= 0xDC00 && code <= 0xDFFF && position >= 2 ? 2 : 1);
    }
    // Replaces the text from `start` to `end`: only the pieces it touches are cut again.
    // Gives back which pieces went (first to last) and the pieces in their place.
    replace(start, end, inserted) {
        const [first, from] = this.locate(start);
        const [last, to] = this.locate(end);
        let replaced = TextPieces.cut(
            this.list[first].slice(0, from) + inserted + this.list[last].slice(to));
        if (replaced.length === 1 && replaced[0] === "" && last < this.list.length - 1) {
            replaced = [];  // no empty piece but the last one
        }
        this.list = [...this.list.slice(0, first), ...replaced, ...this.list.slice(last + 1)];
        this.starts = null;
        return {first, last, replaced};
    }

    // The edit that made the pieces `after` of the pieces `before`, found in the pieces
    // that differ: {at, removed, inserted}, or null where they hold the same text.
    static editBetween(before, after) {
        let first = 0;
        while (first < before.length && first < after.length && before[first] === after[first]) {
            ++first;
        }
        let lastBefore = before.length - 1;
        let lastAfter = after.length - 1;
        while (lastBefore >= first && lastAfter >= first && before[lastBefore] === after[lastAfter]) {
            --lastBefore;
            --lastAfter;
        }
        const was = before.slice(first, lastBefore + 1).join("");
        const is = after.slice(first, lastAfter + 1).join("");
        let head = 0;
        while (head < was.length && head < is.length && was[head] === is[head]) {
            ++head;
        }
        let tail = 0;
        while (tail < was.length - head && tail < is.length - head &&
               was[was.length - 1 - tail] === is[is.length - 1 - tail]) {
            ++tail;
        }
        if (head === was.length && head === is.length) {
            return null;
        }
        let at = head;
        for (let i = 0; i < first; ++i) {
            at += before[i].length;
        }
        return {at, removed: was.slice(head, was.length - tail),
                inserted: is.slice(head, is.length - tail)};
    }
}

if (typeof module === "object") {
    module.exports = {TextPieces};  // for the tests under Node
}
