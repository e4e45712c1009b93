#pragma once

// The games of one round as the cup's window lists them: three rows per group of four (games
// 1 and 2, then the barrage of their losers) or one per game of two. It reads the cup at
// each look, so that a result shows by announcing a change, never by copying a round.

#include "Cup.h"

#include <QAbstractTableModel>

#include <functional>
#include <optional>

namespace velmorin {

class RoundGamesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Group, Game, TeamA, ClubA, TeamB, ClubB, Winner, ScoreColumn, ColumnCount };

    // `cup` gives the cup at each look (null: none open).
    RoundGamesModel(int round, std::function<const Cup *()> cup, QObject *parent = nullptr);

    int round() const { return m_round; }
    GameRef gameAt(int row) const;
    int rowOf(const GameRef &game) const;
    // Whether the row's two teams are known (a barrage waits for games 1 and 2).
    bool isPlayable(int row) const;
    bool hasResult(int row) const;

    // Rows again when the round was drawn or cancelled, else every cell announced as changed.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A score typed in its cell: the window hears it through scoreEntered.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void scoreEntered(int row, const QString &text);

private:
    int rowsPerGroup() const;
    int currentRows() const;

    int m_round;
    std::function<const Cup *()> m_cup;
    int m_rows = 0;
    int m_attempt = 0; // the draw the rows were made for: a redraw makes them again
};

} // namespace velmorin
