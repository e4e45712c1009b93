#pragma once

// Running a program installed beside this one in this one's place.
//
// The calculator starts as a small program: most runs only count, and each shared library it
// loads costs every run. What only some runs need (reading a team list pulls liborcus, boost
// and zlib in) lives in a sibling program that the calculator exec()s with the same
// arguments; the sibling's exit status is the calculator's. An exec rather than a dlopen'ed
// module: nothing crosses a plugin boundary, and each program links plainly.

#include <optional>
#include <string>
#include <string_view>

namespace velmorin::cli {

// Where the sibling `name` is: beside the running program (the build tree), or in
// ../libexec/velmorin/ from it (installed). Nothing when neither holds a program.
std::optional<std::string> siblingPath(std::string_view name);

// Replaces this process with the sibling `name`, given `argv` (argv[0] and the arguments, null
// at the end). Returns only when it could not be started: the French reason, for a one-line
// refusal.
std::string execSibling(std::string_view name, char *const argv[]);

} // namespace velmorin::cli
