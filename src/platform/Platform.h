#pragma once

// What the operating system does differently: each function has a POSIX body (PlatformPosix.cpp)
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

// Whether a system error code means the file or its disk takes no writing (read-only, access
// denied).
bool writeRefused(int systemError);

// The system's text for an error code of its own, as SQLite reports them
// (sqlite3_system_errno): errno's on POSIX, GetLastError's on Windows. Without a final period.
std::string systemErrorText(int systemError);

// What tells one file from another on this machine: the same for every name of one file,
// another for a file put in its place.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity &a, const FileIdentity &b)
    {
        return a.device == b.device && a.file == b.file;
    }
    friend bool operator!=(const FileIdentity &a, const FileIdentity &b) { return !(a == b); }
};
std::optional<FileIdentity> identityOf(const char *path);
std::optional<FileIdentity> identityOf(int fd);

// Opens a file for reading and writing, kept out of the programs this one starts, and such
// that it may be removed while open. A descriptor, or -1 with errno set (EEXIST for New).
enum class Creation { None, IfMissing, New };
int openShared(const char *path, Creation creation);

// Locks an open file for this process alone, until the descriptor is closed: 0, or -1 with
// errno set (EWOULDBLOCK when another process holds it and `wait` is false). The file's
// bytes stay readable by others: Windows' locks forbid reading what they cover, so there the
// lock covers a byte far beyond any content.
int lockFile(int fd, bool wait);

// Whether another process holds a lock (SQLite's, taken its own way) on some of these bytes
// of the file.
bool lockedByAnother(int fd, std::int64_t start, std::int64_t length);

// The file's first bytes, at most `size`; empty when it cannot be read.
std::string readStart(int fd, std::size_t size);

// Makes `text` the file's whole content: 0, or -1 with errno set.
int writeWhole(int fd, std::string_view text);

// Whether the folder is on another computer (NFS, SMB, sshfs, a Windows network drive), where
// SQLite's locks cannot be trusted.
bool onNetworkFileSystem(const char *folder);

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
