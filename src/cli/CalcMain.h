#pragma once

// What both calculator programs do around a run: the locale, the signals, the output on
// standard output and its write errors.

#include <iosfwd>
#include <string>
#include <vector>

namespace velmorin {
class ByteSink;
}

namespace velmorin::cli {

using CalcRunner = int (*)(const std::vector<std::string> &args, ByteSink &out, std::ostream &err);

// Runs `run` on the program's arguments; its exit status, or kExitWriteError after a failed
// write.
int calcMain(int argc, char *argv[], CalcRunner run);

} // namespace velmorin::cli
