#include "LabeledEdit.h"

#include <QLabel>

namespace velmorin {

namespace {
constexpr int kCaptionGap = 3;
}

TLabeledEdit::TLabeledEdit(QWidget *parent) : QLineEdit(parent) {}

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
