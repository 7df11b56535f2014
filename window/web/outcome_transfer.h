#pragma once

#include <emscripten/val.h>

#include "window/common/split_command.h"

// A split's outcome as a plain JavaScript object, to cross from the worker that splits to
// the page that shows it: {kind: "text", text: Uint16Array}, {kind: "unchanged"}, or
// {kind: "failure", ...the failure's fields}.
namespace mardovane::web {

emscripten::val outcome_to_js(const SplitOutcome& outcome);
SplitOutcome outcome_from_js(const emscripten::val& object);

// A JavaScript string's UTF-16 code units as they stand, lone surrogates included, from
// the Uint16Array the page makes of it.
std::u16string units_from_js(const emscripten::val& units);
// A view of `text` for JavaScript to copy at once (before the memory can grow).
emscripten::val units_to_js(const std::u16string& text);

}  // namespace mardovane::web
