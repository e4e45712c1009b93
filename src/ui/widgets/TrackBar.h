#pragma once

#include <QSlider>

namespace velmorin {

// A horizontal slider whose change signal follows the stored position: it fires whenever
// the position changes, from code or from the user, also while hidden, and once for every
// scroll step the user makes, even one that leaves the position where it was.
class TTrackBar : public QSlider
{
    Q_OBJECT

public:
    explicit TTrackBar(QWidget *parent = nullptr);

    int position() const { return value(); }
    // A minimum above the maximum, or a maximum below the minimum, is ignored; otherwise
    // the range is stored and the position clamped into it.
    void setMin(int minimum);
    void setMax(int maximum);
    void setPosition(int position) { setValue(position); }

signals:
    void changed();

private:
    void onActionTriggered();
};

} // namespace velmorin
