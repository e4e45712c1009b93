#pragma once

// The round-1 overview beside the main window: for its registered teams, final and ratios,
// every round-1 entrant count with solutions, as a chart and a table. It follows the
// window's inputs, and choosing an entrant count runs the window's calculation with it.

#include "FeatureWindow.h"
#include "Overview.h"

#include <optional>
#include <vector>

class QLabel;
class QModelIndex;
class QStandardItemModel;
class QTableView;

namespace velmorin {

class OverviewChart;

class OverviewDialog : public FeatureWindow
{
    Q_OBJECT

public:
    explicit OverviewDialog(FeatureHost &host);

    using Failure = FeatureHost::Failure;

    // Reads the window's inputs and shows their overview. When the registered teams are not
    // an integer the content stays as it was; returns whether it was refreshed.
    bool refresh(Failure failure = Failure::Report);

    // Shows the window's plan for this round-1 entrant count: E1 set and the calculation run,
    // as "Calcul" would. When the window's inputs changed since the rows were built (an
    // Effectif text typed but not left included), it first takes them in and shows their
    // rows, and runs the plan only if the entrant count is still a row; returns whether it
    // ran.
    bool choose(Count entrants1);

    const std::vector<OverviewRow> &rows() const { return m_rows; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showRows(std::vector<OverviewRow> rows);
    void selectEntrants1(Count entrants1);
    void chooseRow(const QModelIndex &index);
    void fitTableWidth();
    bool hasRow(Count entrants1) const;

    std::vector<OverviewRow> m_rows;
    std::optional<Problem> m_problem;  // the inputs the rows were built from
    Count m_upDownBound = 0;           // past it, an E1 is marked: the up-down does not reach it
    std::optional<Count> m_shownBound; // the bound the table's marks were drawn for

    QLabel *m_inputs = nullptr;
    QLabel *m_summary = nullptr;
    OverviewChart *m_chart = nullptr;
    QTableView *m_table = nullptr;
    QStandardItemModel *m_model = nullptr;
};

// Adds the action "Vue d'ensemble…" (F2) to the window; it opens the dialog, one per window.
void installOverview(FeatureHost &host);

} // namespace velmorin
