#include "TrackBar.h"

namespace velmorin {

TTrackBar::TTrackBar(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    setSingleStep(1);
    setPageStep(2);
    connect(this, &QAbstractSlider::valueChanged, this, &TTrackBar::changed);
    connect(this, &QAbstractSlider::actionTriggered, this, &TTrackBar::onActionTriggered);
}

void TTrackBar::setMin(int minimum)
{
    if (minimum <= maximum())
        setMinimum(minimum);
}

void TTrackBar::setMax(int maximum)
{
    if (maximum >= minimum())
        setMaximum(maximum);
}

// actionTriggered comes after the action has moved the slider position and before the
// value follows it: when they already agree, no valueChanged will come for this step.
void TTrackBar::onActionTriggered()
{
    if (sliderPosition() == value())
        emit changed();
}

} // namespace velmorin
