#include "AutoSizeLabel.h"

namespace velmorin {

TAutoSizeLabel::TAutoSizeLabel(QWidget *parent) : QLabel(parent) {}

void TAutoSizeLabel::setText(const QString &text)
{
    QLabel::setText(text);
    adjustSize();
}

} // namespace velmorin
