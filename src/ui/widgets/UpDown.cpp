#include "UpDown.h"

#include <QToolButton>

#include <algorithm>
#include <cstdint>

namespace velmorin {

namespace {

QToolButton *makeArrow(QWidget *parent, Qt::ArrowType type, const char *name,
                       const QString &accessibleName)
{
    auto *arrow = new QToolButton(parent);
    arrow->setObjectName(QLatin1String(name));
    arrow->setArrowType(type);
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setAutoRepeat(true);
    arrow->setAccessibleName(accessibleName);
    return arrow;
}

} // namespace

TUpDown::TUpDown(QWidget *parent)
    : QWidget(parent), m_up(makeArrow(this, Qt::UpArrow, "up", tr("Augmenter"))),
      m_down(makeArrow(this, Qt::DownArrow, "down", tr("Diminuer")))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, &TUpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &TUpDown::stepDown);
}

void TUpDown::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

// Computed in 64 bits so that a step near the ends of the int range cannot overflow.
void TUpDown::stepUp()
{
    if (m_position >= m_maximum)
        return;
    m_position =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{m_position} + m_increment, m_maximum));
    emit clicked();
}

void TUpDown::stepDown()
{
    if (m_position <= m_minimum)
        return;
    m_position =
        static_cast<int>(std::max<std::int64_t>(std::int64_t{m_position} - m_increment, m_minimum));
    emit clicked();
}

} // namespace velmorin
