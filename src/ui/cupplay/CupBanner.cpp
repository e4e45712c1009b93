#include "CupBanner.h"

#include "CupPlayText.h"
#include "Named.h"

namespace velmorin {

CupBanner::CupBanner(QWidget *parent) : QLabel(parent)
{
    named(this, QStringLiteral("BandeauDeroulement"),
          QStringLiteral("Où en est la coupe, et ce qui vient ensuite"));
    setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour());
    setPalette(colours);
}

QColor CupBanner::colour()
{
    return QColor(0, 0, 128);
}

void CupBanner::showCup(const Cup &cup, int round)
{
    setText(QString::fromStdString(cupProgress(cup, round)));
}

} // namespace velmorin
