#pragma once

#include <emscripten/val.h>

#include <optional>
#include <string>

#include "window/common/layout.h"

namespace mardovane::web {

// Everything the page places and says, from the one layout table and text list.
emscripten::val page_layout();

// A command as the page names it ("split", "copyAll", ...).
std::optional<layout::Command> command_named(const std::string& name);

// A key as the page's keyboard event gives it: KeyboardEvent.key and KeyboardEvent.code.
std::optional<layout::Key> key_named(const std::string& key, const std::string& code);

}  // namespace mardovane::web
