#include "Platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
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
