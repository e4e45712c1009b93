#pragma once

#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace velmorin {

// Signals exited() when the focus leaves the watched widget for another control of the same
// window: Tab, Shift+Tab or a click on a control that takes the focus. The signal comes
// before the clicked control sees the mouse press. Switching applications and opening a
// dialog or message box do not count.
class TFocusExit : public QObject
{
    Q_OBJECT

public:
    explicit TFocusExit(QWidget *watched);

    // Stops watching (the window calls it while it is being destroyed).
    void stop();

    // Called from a handler of exited(): when a mouse press moved the focus, that press
    // does not reach the control it was meant for (as when a message box interrupts it).
    void cancelPressInProgress();

    // Moves the focus to `target` as the keyboard would, and returns whether the exit it
    // caused, if any, let the move carry on (no handler cancelled it).
    bool moveFocusTo(QWidget *target);

signals:
    void exited();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void onFocusChanged(QWidget *old, QWidget *now);

    QPointer<QWidget> m_watched;
    std::optional<Qt::FocusReason> m_outReason;
    // The exit being signalled: where the focus went, and why.
    QPointer<QWidget> m_exitTarget;
    Qt::FocusReason m_exitReason = Qt::OtherFocusReason;
    bool m_cancelled = false;
};

} // namespace velmorin
