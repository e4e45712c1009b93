#pragma once

#include <QWidget>

class QToolButton;

namespace velmorin {

// Two arrow buttons, up over down, stepping a position between a minimum and a maximum.
// Setting the values from code checks nothing and signals nothing; clicked() fires once
// for each step by which an arrow (clicked or held down) changes the position.
class TUpDown : public QWidget
{
    Q_OBJECT

public:
    explicit TUpDown(QWidget *parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int increment() const { return m_increment; }
    int position() const { return m_position; }
    void setMin(int minimum) { m_minimum = minimum; }
    void setMax(int maximum) { m_maximum = maximum; }
    void setIncrement(int increment) { m_increment = increment; }
    void setPosition(int position) { m_position = position; }

    QToolButton *upArrow() const { return m_up; }
    QToolButton *downArrow() const { return m_down; }

    // One step, as a click on that arrow: clicked() fires when the position changes.
    void stepUp();
    void stepDown();

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
    int m_position = 0;
};

} // namespace velmorin
