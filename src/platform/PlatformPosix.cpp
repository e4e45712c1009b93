#include "Platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/types.h>
#include <unistd.h>

namespace velmorin::platform {

const int kNoInherit = O_CLOEXEC;
const std::string_view kProgramSuffix;
const std::string_view kPathSeparators = "/";

std::int64_t processId()
{
    return ::getpid();
}

bool processRuns(std::int64_t pid)
{
    // EPERM: it runs, under another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

std::string hostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "localhost";
    return name;
}

int linkFile(const char *from, const char *to)
{
    return ::link(from, to);
}

bool diskFull(int systemError)
{
    return systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT;
}

bool writeRefused(int systemError)
{
    return systemError == EROFS || systemError == EACCES || systemError == EPERM;
}

std::string systemErrorText(int systemError)
{
    return std::strerror(systemError);
}

namespace {

FileIdentity identityFrom(const struct stat &status)
{
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

} // namespace

std::optional<FileIdentity> identityOf(const char *path)
{
    struct stat status
    {
    };
    if (::stat(path, &status) != 0)
        return std::nullopt;
    return identityFrom(status);
}

std::optional<FileIdentity> identityOf(int fd)
{
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return identityFrom(status);
}

int openShared(const char *path, Creation creation)
{
    const int flags = creation == Creation::None        ? 0
                      : creation == Creation::IfMissing ? O_CREAT
                                                        : O_CREAT | O_EXCL;
    return ::open(path, O_RDWR | O_CLOEXEC | flags, 0644);
}

int lockFile(int fd, bool wait)
{
    while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        if (errno != EINTR)
            return -1;
    }
    return 0;
}

bool lockedByAnother(int fd, std::int64_t start, std::int64_t length)
{
    struct flock probe
    {
    };
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = static_cast<off_t>(start);
    probe.l_len = static_cast<off_t>(length);
    return ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

std::string readStart(int fd, std::size_t size)
{
    std::string text(size, '\0');
    const ssize_t read = ::pread(fd, text.data(), size, 0);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return text;
}

int writeWhole(int fd, std::string_view text)
{
    if (::ftruncate(fd, 0) != 0)
        return -1;
    const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
    if (written == static_cast<ssize_t>(text.size()))
        return 0;
    if (written >= 0)
        errno = ENOSPC; // a short write: the disk took no more
    return -1;
}

bool onNetworkFileSystem(const char *folder)
{
    struct statfs status
    {
    };
    if (::statfs(folder, &status) != 0)
        return false;
    switch (static_cast<unsigned long>(status.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs and the like)
    case 0x01021997UL: // 9P
    case 0x5346414FUL: // AFS
    case 0x00C36400UL: // Ceph
        return true;
    default:
        return false;
    }
}

void prepareStandardOutput()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool waitUntilWritable(int fd)
{
    pollfd entry{fd, POLLOUT, 0};
    for (;;) {
        if (::poll(&entry, 1, -1) >= 0)
            return true; // writable, or an error that the next write reports
        if (errno != EINTR)
            return false;
    }
}

std::optional<std::string> ownPath()
{
    char path[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path);
    if (size <= 0 || static_cast<std::size_t>(size) >= sizeof path)
        return std::nullopt;
    return std::string(path, static_cast<std::size_t>(size));
}

bool isProgram(const std::string &path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

int runInstead(const std::string &path, char *const argv[])
{
    return ::execv(path.c_str(), argv);
}

} // namespace velmorin::platform
