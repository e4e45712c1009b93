#pragma once

// velmorin-calc --coupe with a cup on a PostgreSQL server (CalcCupServer.cpp): publishing a
// file cup, copying a server cup back to a file, its venues and their groups.

#include <iosfwd>
#include <string>
#include <vector>

namespace velmorin::cli {

// Whether the arguments name a server's cup or a server action (--publier, --copie, --salle,
// --affecter).
bool isServerRun(const std::vector<std::string> &args);

// Exit codes as runCupCalc: 0 done, 1 the server or the file could not be written, 2 refused.
int runCupServer(const std::vector<std::string> &args, std::ostream &err);

} // namespace velmorin::cli
