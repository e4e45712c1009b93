#include "ResultKeys.h"

#include "CupPlayText.h"
#include "CupPlayWindow.h"

#include <QKeyEvent>
#include <QTableView>

namespace velmorin {

namespace {

int sideKey(int key)
{
    switch (key) {
    case Qt::Key_1:
    case Qt::Key_A:
        return 0;
    case Qt::Key_2:
    case Qt::Key_B:
        return 1;
    default:
        return -1;
    }
}

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

ResultKeys::ResultKeys(CupPlayWindow &window) : QObject(&window), m_window(window) {}

void ResultKeys::watch(QTableView *table)
{
    table->installEventFilter(this);
}

bool ResultKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool entry = sideKey(key->key()) >= 0 || key->key() == Qt::Key_F ||
                       key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    QTableView *view = m_window.table(m_window.shownRound());
    if (watched != view)
        // A table left behind when its round completed: its keys do nothing, and Enter must
        // not reach the buttons.
        return entry;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const int row = m_window.selectedRow();
    const int side = sideKey(key->key());
    // Read-only: the keys that would enter a result say why they do nothing.
    if (const QString reason = m_window.readOnlyReason();
        !reason.isEmpty() && (side >= 0 || key->key() == Qt::Key_F)) {
        m_forfeitPending = false;
        m_window.say(reason, true);
        return true;
    }
    if (m_forfeitPending) {
        m_forfeitPending = false;
        if (side >= 0 && row >= 0)
            m_window.runGuarded([&] { m_window.markForfeit(row, side); });
        else
            m_window.say(text(cupwords::kForfeitDropped));
        return true; // Esc ends the forfeit, not the window
    }
    if (view->indexWidget(view->currentIndex())) {
        // A key the score's editor let through (Enter once the score is read): the game stays
        // current, whether the score is taken or refused.
        return entry;
    }
    // Whatever the column: a score has its own key.
    if (side >= 0 && row >= 0) {
        m_window.runGuarded([&] { m_window.markWinner(row, side); });
        return true;
    }
    if (key->key() == Qt::Key_S && row >= 0) {
        m_window.openScore(row);
        return true;
    }
    if (key->key() == Qt::Key_F && row >= 0) {
        m_forfeitPending = true;
        m_window.say(text(cupwords::kForfeitAsked));
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        m_window.goToNextOpenGame();
        return true;
    }
    return false;
}

} // namespace velmorin
