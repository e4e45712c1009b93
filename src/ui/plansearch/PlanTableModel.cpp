#include "PlanTableModel.h"

#include "ClassAppearance.h"
#include "FeatureRows.h"
#include "Plan.h"

#include <QBrush>

#include <array>
#include <utility>

namespace velmorin {

void PlanTableModel::setPlans(std::vector<RankedPlan> plans)
{
    beginResetModel();
    m_plans = std::move(plans);
    endResetModel();
}

int PlanTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_plans.size());
}

int PlanTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<const char *, kColumns> names{
        "Écart", "E1", "Classe", "Solution p/n", "E2", "E3", "E4", "T2", "T3", "T4"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(names[std::size_t(section)]);
}

QVariant PlanTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || std::size_t(index.row()) >= m_plans.size())
        return {};
    const RankedPlan &plan = m_plans[std::size_t(index.row())];
    const int column = index.column();
    const bool classText = column == Class || column == Position;
    switch (role) {
    case Qt::DisplayRole:
        return text(plan, column);
    case Qt::ForegroundRole:
        return classText ? QVariant(QBrush(classColour(plan.exemptionClass))) : QVariant();
    case Qt::TextAlignmentRole:
        return classText ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

QString PlanTableModel::text(const RankedPlan &plan, int column)
{
    const auto value = [&plan](Quantity quantity) {
        return countText(quantityValue(quantity, plan.solution, plan.tour4));
    };
    switch (column) {
    case Deviation:
        return countText(plan.deviation);
    case Entrants1:
        return countText(plan.entrants1());
    case Class:
        return toQString(wording(plan.exemptionClass).heading);
    case Position:
        return countText(plan.position) + QLatin1Char('/') + countText(plan.solutions);
    case E2:
        return value(Quantity::Entrants2);
    case E3:
        return value(Quantity::Entrants3);
    case E4:
        return value(Quantity::Entrants4);
    case T2:
        return value(Quantity::Tour2);
    case T3:
        return value(Quantity::Tour3);
    default:
        return value(Quantity::Tour4);
    }
}

} // namespace velmorin
