#pragma once

#include <emscripten/val.h>

#include "window/common/text_job.h"

// A job and its outcome as plain JavaScript objects, to cross between the page and the
// worker that does the job: {kind, text, from, to, pasted} (texts as Uint16Array), and
// {kind: "text", text, from, to}, {kind: "unchanged"}, or {kind: "failure", ...the
// failure's fields}.
namespace mardovane::web {

emscripten::val outcome_to_js(const SplitOutcome& outcome);
SplitOutcome outcome_from_js(const emscripten::val& object);
emscripten::val job_to_js(const Job& job);
Job job_from_js(const emscripten::val& object);

// A JavaScript string's UTF-16 code units as they stand, lone surrogates included, from
// the Uint16Array the page makes of it.
std::u16string units_from_js(const emscripten::val& units);
// A view of `text` for JavaScript to copy at once (before the memory can grow).
emscripten::val units_to_js(const std::u16string& text);

}  // namespace mardovane::web
