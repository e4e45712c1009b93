#pragma once

// Who holds a cup open for writing: a lock file beside it ("coupe.velmorin.verrou") holding
// the host name and the process id.
//
// Why a file beside the cup and not a row inside it: the cup is copied and mailed, and a row
// would travel with it and make the copy look held; and a reader that only looks must not
// have to write into the cup. A holder that was killed leaves its file behind, so a file
// whose process no longer runs on this host (kill(pid, 0) fails with ESRCH) does not count.
// A holder on another host cannot be checked from here and always counts.

#include <QString>

#include <optional>
#include <string>

namespace velmorin {

struct CupHolder
{
    std::string host;
    long long pid = 0;
};

class CupLock
{
public:
    enum class Outcome { Taken, Held, Failed };

    CupLock() = default;
    ~CupLock() { release(); }
    CupLock(const CupLock &) = delete;
    CupLock &operator=(const CupLock &) = delete;

    // Takes the lock of the cup at `cupPath`; on Held, holder() tells who has it.
    Outcome acquire(const QString &cupPath);
    void release();

    const CupHolder &holder() const { return m_holder; }
    static QString lockPathOf(const QString &cupPath)
    {
        return cupPath + QStringLiteral(".verrou");
    }
    static std::string thisHost();

private:
    QString m_path; // set while we hold it
    CupHolder m_holder;
};

} // namespace velmorin
