#include "CupLock.h"

#include "Platform.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace velmorin {

namespace {

std::optional<CupHolder> readHolder(const QString &lockPath)
{
    QFile file(lockPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    if (lines.size() < 2)
        return std::nullopt;
    bool ok = false;
    CupHolder holder{lines[0].toStdString(), lines[1].toLongLong(&ok)};
    if (!ok || holder.pid <= 0)
        return std::nullopt;
    return holder;
}

bool stillRuns(const CupHolder &holder)
{
    if (holder.host != CupLock::thisHost())
        return true;
    return platform::processRuns(holder.pid);
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
    // Twice at most: once more after removing the file of a holder that is gone.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | platform::kNoInherit, 0644);
        if (fd >= 0) {
            const std::string text = thisHost() + '\n' + std::to_string(::getpid()) + '\n';
            const bool written =
                ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            ::close(fd);
            if (!written) {
                ::unlink(native.constData());
                return Outcome::Failed;
            }
            m_path = lockPath;
            m_holder = {thisHost(), ::getpid()};
            return Outcome::Taken;
        }
        if (errno != EEXIST)
            return Outcome::Failed;
        // A file without a holder was left half-written by a holder killed at its start.
        const std::optional<CupHolder> holder = readHolder(lockPath);
        if (holder && stillRuns(*holder)) {
            m_holder = *holder;
            return Outcome::Held;
        }
        ::unlink(native.constData());
    }
    return Outcome::Failed;
}

void CupLock::release()
{
    if (m_path.isEmpty())
        return;
    // Only our own file: another process may have taken it after ours was removed.
    const std::optional<CupHolder> holder = readHolder(m_path);
    if (holder && holder->pid == ::getpid() && holder->host == thisHost())
        QFile::remove(m_path);
    m_path.clear();
}

} // namespace velmorin
