#include "CupLock.h"

#include "Platform.h"

#include <QFile>

#include <cerrno>
#include <string>
#include <unistd.h>

namespace velmorin {

namespace {

CupHolder readHolder(int fd)
{
    const std::string read = platform::readStart(fd, 511);
    CupHolder holder;
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
    const std::optional<platform::FileIdentity> opened = platform::identityOf(fd);
    return opened && opened == platform::identityOf(path.constData());
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
        const int fd = platform::openShared(native.constData(), platform::Creation::IfMissing);
        if (fd < 0)
            return Outcome::Failed;
        if (platform::lockFile(fd, false) != 0) {
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
        const std::string text = thisHost() + '\n' + std::to_string(platform::processId()) + '\n';
        if (platform::writeWhole(fd, text) != 0) {
            const int error = errno;
            ::unlink(native.constData());
            ::close(fd);
            errno = error;
            return Outcome::Failed;
        }
        m_fd = fd;
        m_path = lockPath;
        m_holder = {thisHost(), platform::processId()};
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
