#pragma once

// The plans as the plan search's table shows them, read from the plans as the view asks: a
// new list is one reset, so the view measures its columns once and not once per row.

#include "PlanSearch.h"

#include <QAbstractTableModel>

#include <vector>

namespace velmorin {

class PlanTableModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { Deviation, Entrants1, Class, Position, E2, E3, E4, T2, T3, T4, kColumns };

    const std::vector<RankedPlan> &plans() const { return m_plans; }
    void setPlans(std::vector<RankedPlan> plans);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    static QString text(const RankedPlan &plan, int column);

    std::vector<RankedPlan> m_plans;
};

} // namespace velmorin
