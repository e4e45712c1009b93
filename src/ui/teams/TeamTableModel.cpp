#include "TeamTableModel.h"

#include "ClassAppearance.h"

#include <QFont>

namespace velmorin {

QString entryRoundText(int round)
{
    return QStringLiteral("Tour %1").arg(round);
}

void TeamTableModel::show(const TeamList *list, const Assignment *assignment)
{
    if (list == m_list && rowCount() == int(list ? list->teams.size() : 0)) {
        // Same rows: only the rounds change, and the view keeps its scrolling.
        m_assignment = assignment;
        if (rowCount() > 0)
            emit dataChanged(index(0, Round), index(rowCount() - 1, Round));
        return;
    }
    beginResetModel();
    m_list = list;
    m_assignment = assignment;
    endResetModel();
}

int TeamTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_list ? 0 : int(m_list->teams.size());
}

int TeamTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TeamTableModel::data(const QModelIndex &index, int role) const
{
    if (!m_list || !index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = std::size_t(index.row());
    const Team &team = m_list->teams[row];
    const bool outOfLevel = m_assignment && m_assignment->outOfLevel[row];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Name:
            return toQString(team.name);
        case Club:
            return toQString(team.club);
        case Level:
            return toQString(levelText(team.level));
        case Points:
            return toQString(team.pointsText);
        case Round:
            if (!m_assignment)
                return {};
            return outOfLevel
                       ? QStringLiteral("%1, %2").arg(
                             entryRoundText(m_assignment->roundOfTeam[row]), toQString(kOutOfLevel))
                       : entryRoundText(m_assignment->roundOfTeam[row]);
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == Level || index.column() == Points)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return outOfLevel ? QVariant(outOfLevelColour()) : QVariant();
    case Qt::FontRole:
        if (outOfLevel) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant TeamTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const kHeaders[] = {"Équipe", "Club", "Niveau", "Points", "Tour d'entrée"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kHeaders[section])
                                                 : QVariant();
}

} // namespace velmorin
