#pragma once

// What the operating system does differently: each function has a POSIX body (Platform.cpp)
// and a Windows one (PlatformWindows.cpp), and callers never test the platform themselves.
// No Qt here: the calculator's programs without Qt use it too.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmorin::platform {

// open() flag keeping a descriptor out of the programs this one starts.
extern const int kNoInherit;
// What a program's file name ends with: ".exe" on Windows.
extern const std::string_view kProgramSuffix;
// The characters that end a folder's name in a path.
extern const std::string_view kPathSeparators;

std::int64_t processId();

// Whether the process with this id still runs on this machine; when the system cannot say,
// it counts as running.
bool processRuns(std::int64_t pid);

// This machine's name, or "localhost" when the system does not give one.
std::string hostName();

// Gives the file `from` the name `to` as well, never replacing a file already named `to`.
// 0 on success; otherwise -1 with errno set (EEXIST when `to` exists). Where the file system
// has no hard links (FAT), the file is renamed instead: `from` may be gone afterwards.
int linkFile(const char *from, const char *to);

// Whether a system error code (errno, or the one SQLite reports) means the disk or the
// user's quota is full, or the file's size limit reached.
bool diskFull(int systemError);

// Makes the standard output take bytes as they are: a reader that goes away or a file-size
// limit fails the write with an error instead of killing the program (POSIX), and no line
// ending is rewritten (Windows).
void prepareStandardOutput();

// Blocks until the descriptor takes more output; false when even waiting fails.
bool waitUntilWritable(int fd);

// The running program's own file, whatever the search path or argv[0] say.
std::optional<std::string> ownPath();

// Whether this file exists and can be run.
bool isProgram(const std::string &path);

// Runs the program at `path` with these arguments (argv[0] included) in place of this one:
// its exit status becomes ours. Returns only when it could not be started, with errno set.
int runInstead(const std::string &path, char *const argv[]);

// One argument written for a Windows command line, so that the C runtime of the program
// started reads it back unchanged (quotes and the backslashes before them escaped).
std::string windowsArgument(std::string_view argument);

} // namespace velmorin::platform
