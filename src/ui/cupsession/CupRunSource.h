#pragma once

// The open cup as the cup's window sees it: read, changed by an operation of the model, and
// the news of any change. The cup file's session is one; the tests keep a cup in memory.

#include "CupCommand.h"

#include <QObject>
#include <QString>

namespace velmorin {

class CupRunSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The cup as it stands; null when none is open.
    virtual const Cup *cup() const = 0;
    // Applies a command to the cup and keeps what it did (the source saves it, say); emits
    // cupChanged when it changed the cup.
    virtual CupAnswer apply(const CupCommand &command) = 0;
    // The cup's name as its organiser knows it (the file's name, say).
    virtual QString cupName() const = 0;
    // Why nothing may be written to the cup, one sentence for the organiser; empty when the
    // cup may be changed.
    virtual QString readOnlyReason() const { return {}; }
    // While cup() is null: why the cup that is open cannot be played yet and what it lacks,
    // for the organiser; empty when none is open.
    virtual QString unplayableReason() const { return {}; }

signals:
    void cupChanged();
};

} // namespace velmorin
