#include "LabeledEdit.h"

#include <QLabel>

#include <limits>

namespace velmorin {

namespace {
constexpr int kCaptionGap = 3;
}

// The box takes a pasted text whole: cut to Qt's default 32767 characters, a long run of
// leading zeros would change the number it holds.
TLabeledEdit::TLabeledEdit(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
}

QLabel *TLabeledEdit::setCaption(const QString &text, const QFont &font)
{
    if (!m_caption) {
        m_caption = new QLabel(parentWidget());
        m_caption->setObjectName(objectName() + QLatin1String("Caption"));
        m_caption->setBuddy(this);
    }
    m_caption->setFont(font);
    m_caption->setText(text);
    placeCaption();
    return m_caption;
}

void TLabeledEdit::moveEvent(QMoveEvent *event)
{
    QLineEdit::moveEvent(event);
    placeCaption();
}

void TLabeledEdit::placeCaption()
{
    if (!m_caption)
        return;
    m_caption->adjustSize();
    m_caption->move(x(), y() - kCaptionGap - m_caption->height());
}

} // namespace velmorin
