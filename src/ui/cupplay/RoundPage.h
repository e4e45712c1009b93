#pragma once

// One round's page in the cup's window: its games' table, the club meetings its draw could not
// avoid and, on round 4's page, the exempted teams to choose before its draw.

#include "Cup.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QTableView;

namespace velmorin {

class RoundGamesModel;

// The widths of columns sharing `width` pixels: each at least its minimum, what is left shared
// by weight (a weight of 0 keeps its minimum), the last pixels to the heaviest. Narrower than
// the minimums, the minimums: the table scrolls.
std::vector<int> sharedWidths(int width, const std::vector<int> &minimum,
                              const std::vector<int> &weight);

class RoundPage : public QWidget
{
    Q_OBJECT

public:
    // `cup` gives the cup at each look (null: none open).
    RoundPage(int round, std::function<const Cup *()> cup, QWidget *parent = nullptr);

    int round() const { return m_round; }
    QTableView *table() const { return m_table; }
    RoundGamesModel *model() const { return m_model; }

    // Shows the cup as it stands; `writable` lets the organiser open scores and choose the
    // exempted teams.
    void refresh(bool writable);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A score typed in the games' table.
    void scoreEntered(int row, const QString &text);
    // Round 4's exempted teams as checked, once their count is the plan's.
    void exemptedChosen(const std::vector<int> &teams);
    // A choice of exempted teams not taken, and why.
    void exemptedRefused(const QString &why);

private:
    // The games' columns across the table's width, the team names first.
    void shareColumns();
    void updateMeetings();
    void updateExempted();
    void exemptedToggled(QListWidgetItem *item);

    int m_round;
    std::function<const Cup *()> m_cup;
    QTableView *m_table = nullptr;
    RoundGamesModel *m_model = nullptr;
    QLabel *m_meetings = nullptr;
    QLabel *m_exemptedText = nullptr;
    QListWidget *m_exemptedList = nullptr;
    std::vector<int> m_exemptedChoices; // the teams the list offers
};

} // namespace velmorin
