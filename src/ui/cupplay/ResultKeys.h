#pragma once

// The cup window's keys on the games' tables: 1 or A, 2 or B name the winner of the current
// game in every column; S opens its score; F then a side declares a forfeit; Enter goes to the
// next game without a result. A key that enters nothing says why on the message line.

#include <QObject>

class QTableView;

namespace velmorin {

class CupPlayWindow;

class ResultKeys : public QObject
{
    Q_OBJECT

public:
    explicit ResultKeys(CupPlayWindow &window);

    // Its keys go through this from now on.
    void watch(QTableView *table);
    // A forfeit asked for is dropped (another round shown).
    void reset() { m_forfeitPending = false; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CupPlayWindow &m_window;
    bool m_forfeitPending = false;
};

} // namespace velmorin
