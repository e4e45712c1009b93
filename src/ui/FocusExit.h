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

signals:
    void exited();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void onFocusChanged(QWidget *old, QWidget *now);

    QPointer<QWidget> m_watched;
    std::optional<Qt::FocusReason> m_outReason;
};

} // namespace velmorin
