#pragma once

// A row of a feature window that goes into a column when the window is too narrow for it: a
// table's side panel goes below it, so that every feature window can shrink to open beside
// the main window. Its minimum is the column's, the narrowest.

#include <QBoxLayout>

namespace velmorin {

class ReflowLayout : public QBoxLayout
{
public:
    ReflowLayout() : QBoxLayout(LeftToRight) {}

    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    // The minimum of the items side by side (`row`) or one above the other.
    QSize minimumAs(bool row) const;
};

} // namespace velmorin
