#pragma once

// Who holds a cup open for writing: a lock file beside it ("coupe.velmorin.verrou") holding
// the host name and the process id, for the message only.
//
// Why a file beside the cup and not a row inside it: the cup is copied and mailed, and a row
// would travel with it and make the copy look held; and a reader that only looks must not
// have to write into the cup. The lock is the system's own (flock) on that file, held as long
// as the holder's process lives: a holder killed, a reused process number, a lock file left
// by another computer or under an old host name never count, and nothing is ever removed on a
// guess. The lock only tells who else edits the cup; the cup's own writes never rely on it
// (CupStore checks what each write was decided on).

#include <QString>

#include <optional>
#include <string>

namespace velmorin {

struct CupHolder
{
    std::string host; // empty when the holder has not written its name yet
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

    // Takes the lock of the cup at `cupPath` (its canonical path, so that every name of one
    // file locks the same); on Held, holder() tells who has it.
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
    int m_fd = -1;
    CupHolder m_holder;
};

} // namespace velmorin
