#include "RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace velmorin {

TRadioGroup::TRadioGroup(const QStringList &items, QWidget *parent)
    : QGroupBox(parent), m_buttons(new QButtonGroup(this))
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 2, 2);
    grid->setSpacing(0);
    constexpr int columns = 2;
    for (int i = 0; i < items.size(); ++i) {
        auto *radio = new QRadioButton(items.at(i), this);
        m_buttons->addButton(radio, i);
        grid->addWidget(radio, i / columns, i % columns);
    }
}

int TRadioGroup::itemIndex() const
{
    return m_buttons->checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *chosen = m_buttons->button(index)) {
        chosen->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last checked item.
    m_buttons->setExclusive(false);
    for (QAbstractButton *b : m_buttons->buttons())
        b->setChecked(false);
    m_buttons->setExclusive(true);
}

QAbstractButton *TRadioGroup::item(int index) const
{
    return m_buttons->button(index);
}

} // namespace velmorin
