#pragma once

// The teams of a list in its order, with their entry round once a plan is assigned.

#include "TeamAssignment.h"
#include "TeamList.h"

#include <QAbstractTableModel>
#include <QColor>

namespace velmorin {

// Teams entering at another round than their level's: dark orange, readable on white.
inline QColor outOfLevelColour()
{
    return {0xA0, 0x40, 0x00};
}

QString entryRoundText(int round);

class TeamTableModel : public QAbstractTableModel
{
public:
    enum Column { Name, Club, Level, Points, Round, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Shows `list` with the rounds of `assignment` (either may be none); both must outlive
    // the model's showing them.
    void show(const TeamList *list, const Assignment *assignment);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TeamList *m_list = nullptr;
    const Assignment *m_assignment = nullptr;
};

} // namespace velmorin
