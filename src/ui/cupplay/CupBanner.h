#pragma once

// The cup window's banner: where the cup stands and what comes next, in bold and the window's
// own blue, so that a key that did not count shows at once in its count.

#include "Cup.h"

#include <QLabel>

namespace velmorin {

class CupBanner : public QLabel
{
    Q_OBJECT

public:
    explicit CupBanner(QWidget *parent = nullptr);

    // Its colour, kept readable under a dark scheme by the window.
    static QColor colour();

    // The cup at `round`, the round it is at.
    void showCup(const Cup &cup, int round);
};

} // namespace velmorin
