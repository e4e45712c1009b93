#include "CupLock.h"

#include "Platform.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace velmorin {

namespace {

CupHolder readHolder(int fd)
{
    char text[512] = {};
    const ssize_t size = ::pread(fd, text, sizeof text - 1, 0);
    CupHolder holder;
    if (size <= 0)
        return holder;
    const std::string read(text, static_cast<std::size_t>(size));
    const std::size_t end = read.find('\n');
    if (end == std::string::npos)
        return holder;
    holder.host = read.substr(0, end);
    try {
        holder.pid = std::stoll(read.substr(end + 1));
    } catch (...) {
        holder.pid = 0;
    }
    return holder;
}

// The file we locked is still the one at the path: a holder releasing removes its file
// while still holding it, and a taker that opened the old file must try again.
bool stillAtPath(int fd, const QByteArray &path)
{
    struct stat opened
    {
    };
    struct stat named
    {
    };
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

std::string CupLock::thisHost()
{
    return platform::hostName();
}

CupLock::Outcome CupLock::acquire(const QString &cupPath)
{
    const QString lockPath = lockPathOf(cupPath);
    const QByteArray native = QFile::encodeName(lockPath);
    // A few times at most: once more each time a holder removed the file we had opened.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | platform::kNoInherit, 0644);
        if (fd < 0)
            return Outcome::Failed;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error == EWOULDBLOCK)
                m_holder = readHolder(fd);
            ::close(fd);
            if (error != EWOULDBLOCK) {
                errno = error;
                return Outcome::Failed;
            }
            return Outcome::Held;
        }
        if (!stillAtPath(fd, native)) {
            ::close(fd);
            continue;
        }
        const std::string text = thisHost() + '\n' + std::to_string(::getpid()) + '\n';
        if (::ftruncate(fd, 0) != 0 ||
            ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
            const int error = errno;
            ::unlink(native.constData());
            ::close(fd);
            errno = error;
            return Outcome::Failed;
        }
        m_fd = fd;
        m_path = lockPath;
        m_holder = {thisHost(), ::getpid()};
        return Outcome::Taken;
    }
    errno = EAGAIN;
    return Outcome::Failed;
}

void CupLock::release()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so that no one takes a file on its way out.
    if (stillAtPath(m_fd, QFile::encodeName(m_path)))
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

} // namespace velmorin
