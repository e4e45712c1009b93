#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;

namespace velmorin {

// A frame without title holding radio items in two columns. The selected item is an
// index, -1 for none.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit TRadioGroup(const QStringList &items, QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    QAbstractButton *item(int index) const;

private:
    QButtonGroup *m_buttons;
};

} // namespace velmorin
