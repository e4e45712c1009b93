#include "AutoSizeLabel.h"

namespace velmorin {

TAutoSizeLabel::TAutoSizeLabel(QWidget *parent) : QLabel(parent) {}

void TAutoSizeLabel::setText(const QString &text)
{
    const bool changed = text != this->text();
    QLabel::setText(text);
    adjustSize();
    if (changed)
        emit textChanged(text);
}

} // namespace velmorin
