#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "substitution/program_directory.h"

namespace mardovane::cli {

// The whole command-line splitter, without the process around it: `arguments` excludes
// the program name; `program_directory` is where keyword.info is looked for by default.
// On failure one line goes to `err`; an input that fits in one block writes nothing to
// `out` then.
[[nodiscard]] int run_splitter(const std::vector<std::string>& arguments, std::istream& in,
                               std::ostream& out, std::ostream& err,
                               const ProgramDirectory& program_directory);

}  // namespace mardovane::cli
