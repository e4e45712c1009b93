#include "AutoSizeLabel.h"

#include <QEvent>

namespace velmorin {

TAutoSizeLabel::TAutoSizeLabel(QWidget *parent) : QLabel(parent) {}

void TAutoSizeLabel::setText(const QString &text)
{
    const bool changed = text != this->text();
    QLabel::setText(text);
    refit();
    if (changed)
        emit textChanged(text);
}

void TAutoSizeLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        refit();
}

void TAutoSizeLabel::showEvent(QShowEvent *event)
{
    if (m_fitPending)
        refit();
    QLabel::showEvent(event);
}

// A label that is not on screen is measured when it shows: measuring loads its font, and the
// end mark, hidden at start, need not load its large one before the window shows.
void TAutoSizeLabel::refit()
{
    m_fitPending = !isVisible();
    if (!m_fitPending)
        adjustSize();
}

} // namespace velmorin
