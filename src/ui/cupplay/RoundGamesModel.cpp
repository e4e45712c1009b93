#include "RoundGamesModel.h"

namespace velmorin {

namespace {

QString fromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

RoundGamesModel::RoundGamesModel(int round, std::function<const Cup *()> cup, QObject *parent)
    : QAbstractTableModel(parent), m_round(round), m_cup(std::move(cup))
{
    m_rows = currentRows();
    if (const Cup *c = m_cup(); c && c->drawnRound(m_round))
        m_attempt = c->drawnRound(m_round)->attempt;
}

int RoundGamesModel::rowsPerGroup() const
{
    const Cup *cup = m_cup();
    return cup ? cup->layout().gamesPerGroup(m_round) : 1;
}

int RoundGamesModel::currentRows() const
{
    const Cup *cup = m_cup();
    const DrawRecord *drawn = cup ? cup->drawnRound(m_round) : nullptr;
    return drawn ? static_cast<int>(drawn->groups.size()) * rowsPerGroup() : 0;
}

GameRef RoundGamesModel::gameAt(int row) const
{
    const int each = rowsPerGroup();
    return {m_round, row / each + 1, row % each + 1};
}

int RoundGamesModel::rowOf(const GameRef &game) const
{
    return (game.group - 1) * rowsPerGroup() + game.game - 1;
}

bool RoundGamesModel::isPlayable(int row) const
{
    const Cup *cup = m_cup();
    return cup && row >= 0 && row < m_rows && cup->gameTeams(gameAt(row)).has_value();
}

bool RoundGamesModel::hasResult(int row) const
{
    const Cup *cup = m_cup();
    return cup && row >= 0 && row < m_rows && cup->result(gameAt(row)).has_value();
}

void RoundGamesModel::refresh()
{
    const Cup *cup = m_cup();
    const DrawRecord *drawn = cup ? cup->drawnRound(m_round) : nullptr;
    const int rows = currentRows();
    const int attempt = drawn ? drawn->attempt : 0;
    if (rows != m_rows || attempt != m_attempt) {
        beginResetModel();
        m_rows = rows;
        m_attempt = attempt;
        endResetModel();
    } else if (m_rows > 0) {
        // A view asks only for the cells it shows: announcing them all costs nothing more.
        emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
    }
}

int RoundGamesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RoundGamesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RoundGamesModel::data(const QModelIndex &index, int role) const
{
    const Cup *cup = m_cup();
    if (!cup || !index.isValid() || index.row() >= m_rows)
        return {};
    const GameRef game = gameAt(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() <= Game || index.column() == ScoreColumn
                   ? QVariant(Qt::AlignCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    const auto sides = cup->gameTeams(game);
    const auto result = sides ? cup->result(game) : std::nullopt;
    const auto name = [&](int team) { return fromUtf8(cup->teams()[std::size_t(team)].name); };
    const auto club = [&](int team) { return fromUtf8(cup->teams()[std::size_t(team)].club); };
    switch (index.column()) {
    case Group:
        return game.game == 1 ? QVariant(game.group) : QVariant();
    case Game:
        return game.game == kBarrage ? QStringLiteral("Barrage") : QString::number(game.game);
    case TeamA:
        return sides ? name(sides->first) : QStringLiteral("(perdante partie 1)");
    case ClubA:
        return sides ? club(sides->first) : QString();
    case TeamB:
        return sides ? name(sides->second) : QStringLiteral("(perdante partie 2)");
    case ClubB:
        return sides ? club(sides->second) : QString();
    case Winner:
        if (!result)
            return {};
        return result->winner == sides->first ? QStringLiteral("A — ") + name(result->winner)
                                              : QStringLiteral("B — ") + name(result->winner);
    case ScoreColumn:
        if (!result)
            return {};
        if (result->withdrawn)
            return QStringLiteral("forfait ") +
                   (*result->withdrawn == sides->first ? QStringLiteral("A") : QStringLiteral("B"));
        // The winner's points first, as scores are typed everywhere.
        if (result->winnerScore && result->loserScore)
            return QStringLiteral("%1-%2").arg(*result->winnerScore).arg(*result->loserScore);
        return {};
    default:
        return {};
    }
}

QVariant RoundGamesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const titles[ColumnCount] = {"Poule",    "Partie", "Équipe A", "Club A",
                                                    "Équipe B", "Club B", "Gagnant",  "Score"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

Qt::ItemFlags RoundGamesModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == ScoreColumn && isPlayable(index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RoundGamesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != ScoreColumn || !isPlayable(index.row()))
        return false;
    const QString text = value.toString().trimmed();
    if (text.isEmpty() || text == data(index, Qt::EditRole).toString())
        return false; // an editor left as it was records nothing
    emit scoreEntered(index.row(), text);
    return true;
}

} // namespace velmorin
