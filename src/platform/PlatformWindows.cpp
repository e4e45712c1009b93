#include "Platform.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <string>
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
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING:
        errno = EWOULDBLOCK;
        break;
    case ERROR_WRITE_PROTECT:
        errno = EROFS;
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

bool writeRefused(int systemError)
{
    return systemError == ERROR_ACCESS_DENIED || systemError == ERROR_WRITE_PROTECT ||
           systemError == ERROR_SHARING_VIOLATION;
}

std::string systemErrorText(int systemError)
{
    // In the user's language, as Windows words it.
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(systemError), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string result;
    if (length > 0) {
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
        result.resize(std::size_t(size));
        ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), result.data(), size, nullptr, nullptr);
    }
    if (text)
        ::LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.'))
        result.pop_back();
    if (result.empty())
        result = "erreur du système " + std::to_string(systemError);
    return result;
}

namespace {

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

std::optional<FileIdentity> identityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &information))
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (std::uint64_t(information.nFileIndexHigh) << 32) |
                            information.nFileIndexLow};
}

// The region of Windows' locks: one byte far beyond any content, which stays readable.
OVERLAPPED lockRegion(std::int64_t start)
{
    OVERLAPPED region{};
    region.Offset = DWORD(std::uint64_t(start) & 0xFFFFFFFFu);
    region.OffsetHigh = DWORD(std::uint64_t(start) >> 32);
    return region;
}
constexpr std::int64_t kLockByte = std::int64_t(0x7FFFFFFF) << 32;

} // namespace

std::optional<FileIdentity> identityOf(const char *path)
{
    // No access asked: the file's information only, whoever holds it open.
    HANDLE handle = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::optional<FileIdentity> identity = identityOfHandle(handle);
    ::CloseHandle(handle);
    return identity;
}

std::optional<FileIdentity> identityOf(int fd)
{
    return identityOfHandle(handleOf(fd));
}

int openShared(const char *path, Creation creation)
{
    // The C runtime's open() shares no deletion: the file could not be removed while open.
    const DWORD disposition = creation == Creation::None        ? OPEN_EXISTING
                              : creation == Creation::IfMissing ? OPEN_ALWAYS
                                                                : CREATE_NEW;
    HANDLE handle = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return failWith(::GetLastError());
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), 0);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
        return -1;
    }
    ::_setmode(fd, _O_BINARY);
    return fd;
}

int lockFile(int fd, bool wait)
{
    OVERLAPPED region = lockRegion(kLockByte);
    if (::LockFileEx(handleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY),
                     0, 1, 0, &region))
        return 0;
    return failWith(::GetLastError());
}

bool lockedByAnother(int fd, std::int64_t start, std::int64_t length)
{
    // Windows cannot ask who holds a lock: the region is taken for an instant, and a holder
    // making its own attempt just then waits as SQLite always does on a busy cup.
    OVERLAPPED region = lockRegion(start);
    const DWORD low = DWORD(std::uint64_t(length) & 0xFFFFFFFFu);
    const DWORD high = DWORD(std::uint64_t(length) >> 32);
    const HANDLE handle = handleOf(fd);
    if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, low, high,
                     &region)) {
        ::UnlockFileEx(handle, 0, low, high, &region);
        return false;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING;
}

std::string readStart(int fd, std::size_t size)
{
    std::string text(size, '\0');
    const int read =
        ::_lseeki64(fd, 0, SEEK_SET) == 0 ? ::_read(fd, text.data(), unsigned(size)) : -1;
    text.resize(read > 0 ? std::size_t(read) : 0);
    return text;
}

int writeWhole(int fd, std::string_view text)
{
    if (::_chsize_s(fd, 0) != 0 || ::_lseeki64(fd, 0, SEEK_SET) != 0)
        return -1;
    const int written = ::_write(fd, text.data(), unsigned(text.size()));
    if (written == int(text.size()))
        return 0;
    if (written >= 0)
        errno = ENOSPC;
    return -1;
}

bool onNetworkFileSystem(const char *folder)
{
    // The folder's volume: a drive letter, a folder a volume is mounted on, or \\server\share\.
    char root[MAX_PATH * 4];
    if (!::GetVolumePathNameA(folder, root, sizeof root))
        return false;
    return ::GetDriveTypeA(root) == DRIVE_REMOTE;
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
