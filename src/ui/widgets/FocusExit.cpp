#include "FocusExit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTimer>
#include <QWidget>

namespace velmorin {

namespace {

// Eats the mouse press about to be delivered to its target, then goes away.
class PressEater : public QObject
{
public:
    explicit PressEater(QWidget *target) : QObject(target)
    {
        target->installEventFilter(this);
        // The press in progress arrives before the event loop runs again.
        QTimer::singleShot(0, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(object, event);
        object->removeEventFilter(this);
        deleteLater();
        return true;
    }
};

} // namespace

TFocusExit::TFocusExit(QWidget *watched) : QObject(watched), m_watched(watched)
{
    watched->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &TFocusExit::onFocusChanged);
}

void TFocusExit::stop()
{
    disconnect(qApp, &QApplication::focusChanged, this, &TFocusExit::onFocusChanged);
    m_watched = nullptr;
}

// focusChanged() does not tell why the focus moved; the focus-out event does.
bool TFocusExit::eventFilter(QObject *object, QEvent *event)
{
    if (object == m_watched) {
        if (event->type() == QEvent::FocusIn)
            m_outReason.reset();
        else if (event->type() == QEvent::FocusOut)
            m_outReason = static_cast<QFocusEvent *>(event)->reason();
    }
    return QObject::eventFilter(object, event);
}

void TFocusExit::onFocusChanged(QWidget *old, QWidget *now)
{
    if (!m_watched || old != m_watched || !now)
        return;
    const std::optional<Qt::FocusReason> reason = m_outReason;
    m_outReason.reset();
    // Popup and menu-bar focus changes send no focus-out, so reason stays empty for them.
    if (!reason || *reason == Qt::ActiveWindowFocusReason || *reason == Qt::PopupFocusReason)
        return;
    if (now->window() != m_watched->window())
        return;
    m_exitTarget = now;
    m_exitReason = *reason;
    emit exited();
    m_exitTarget = nullptr;
}

void TFocusExit::cancelPressInProgress()
{
    m_cancelled = true;
    if (m_exitTarget && m_exitReason == Qt::MouseFocusReason)
        new PressEater(m_exitTarget);
}

bool TFocusExit::moveFocusTo(QWidget *target)
{
    m_cancelled = false;
    target->setFocus(Qt::ShortcutFocusReason);
    return !m_cancelled;
}

} // namespace velmorin
