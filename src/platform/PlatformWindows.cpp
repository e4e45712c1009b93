#include "Platform.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

namespace velmorin::platform {

const int kNoInherit = O_NOINHERIT;
const std::string_view kProgramSuffix = ".exe";
const std::string_view kPathSeparators = "\\/";

std::int64_t processId()
{
    return static_cast<std::int64_t>(::GetCurrentProcessId());
}

bool processRuns(std::int64_t pid)
{
    HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return ::GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    const bool runs = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return runs;
}

std::string hostName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!::GetComputerNameA(name, &size))
        return "localhost";
    return std::string(name, size);
}

namespace {

int failWith(DWORD error)
{
    switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        errno = EACCES;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        errno = ENOENT;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    default:
        errno = EIO;
    }
    return -1;
}

} // namespace

int linkFile(const char *from, const char *to)
{
    if (::CreateHardLinkA(to, from, nullptr))
        return 0;
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED)
        return failWith(error);
    // No hard links here (FAT): a rename that does not replace is the same promise.
    if (::MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH))
        return 0;
    return failWith(::GetLastError());
}

bool diskFull(int systemError)
{
    constexpr int kDiskQuotaExceeded = 1295; // ERROR_DISK_QUOTA_EXCEEDED, not in MinGW's headers
    // SQLite reports Windows' own codes, the C runtime errno's.
    return systemError == ERROR_DISK_FULL || systemError == ERROR_HANDLE_DISK_FULL ||
           systemError == kDiskQuotaExceeded || systemError == ENOSPC || systemError == EFBIG;
}

void prepareStandardOutput()
{
    // The results go out as on Linux, "\n" and UTF-8, and a console shows the UTF-8.
    ::_setmode(1, _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
}

bool waitUntilWritable(int)
{
    // The C runtime's pipes block: a write never asks to wait. Should one, try again shortly.
    ::Sleep(1);
    return true;
}

std::optional<std::string> ownPath()
{
    char path[MAX_PATH * 4];
    const DWORD size = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (size == 0 || size >= sizeof path)
        return std::nullopt;
    return std::string(path, size);
}

bool isProgram(const std::string &path)
{
    struct _stat status;
    return ::_stat(path.c_str(), &status) == 0 && (status.st_mode & _S_IFREG);
}

int runInstead(const std::string &path, char *const argv[])
{
    // Windows has no exec: the program runs as a child, and we leave with its status.
    std::vector<std::string> quoted;
    for (char *const *arg = argv; *arg; ++arg)
        quoted.push_back(windowsArgument(*arg));
    std::vector<const char *> args;
    for (const std::string &arg : quoted)
        args.push_back(arg.c_str());
    args.push_back(nullptr);
    const intptr_t status = ::_spawnv(_P_WAIT, path.c_str(), args.data());
    if (status == -1)
        return -1;
    ::_exit(int(status));
}

} // namespace velmorin::platform
