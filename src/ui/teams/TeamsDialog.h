#pragma once

// The registered teams beside the main window: a list read from a CSV or ODS file, its levels
// in their order, strongest first, with the round each one enters at (the wishes for the plan
// search), and each team's entry
// round in the plan the main window shows, saved, printed or exported as PDF.

#include "CupSetup.h"
#include "FeatureWindow.h"
#include "Plan.h"
#include "TeamAssignment.h"
#include "TeamList.h"
#include "Wishes.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace velmorin {

class TeamTableModel;

class TeamsDialog : public FeatureWindow
{
    Q_OBJECT

public:
    explicit TeamsDialog(FeatureHost &host);
    ~TeamsDialog() override;

    // The kinds of file the entries are saved as.
    enum class EntriesFormat { Ods, Csv };

    // Reads a list file and, when it is accepted, shows it, maps its levels to their default
    // rounds and sets the window's registered teams to its count. A refused file shows its
    // message in an error box and changes nothing; returns whether the list was taken.
    bool openList(const QString &fileName);

    // Sends a level's teams to another round (1 to 4), as its chooser does.
    bool setLevelRound(const std::optional<Level> &level, int round);
    // "Monter" (step -1) or "Descendre" (step 1): the level of the table's `row` changes place
    // with its neighbour in the levels' order; the rounds stay in their rows. False for the
    // teams without a level, which stay the weakest, and past either end.
    bool moveLevel(int row, int step);

    // The seed of the draw among tied teams; setting it draws the assignment again.
    std::uint64_t seed() const { return m_seed; }
    void setSeed(std::uint64_t seed);
    // "Nouveau tirage": a seed from the system's random source.
    void drawNewSeed();

    // The wishes the levels give: each round's entrants exactly as the mapping sends them.
    Wishes wishes() const;

    const std::optional<TeamList> &list() const { return m_list; }
    const LevelMapping &mapping() const { return m_mapping; }
    // The assignment to the plan the window shows; none without a list, without a shown plan
    // or when the plan is for another number of teams (statusText() then says why).
    const std::optional<Assignment> &assignment() const { return m_assignment; }
    QString statusText() const;

    // The writes behind the dialogs. A failure shows the error box and leaves an existing file
    // as it was; the result says whether the file was written.
    bool saveEntriesTo(const QString &fileName, EntriesFormat format);
    bool exportEntriesPdfTo(const QString &fileName);

signals:
    // "Chercher les plans": the plan search is to run with these wishes.
    void plansWanted(const velmorin::Wishes &wishes);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Shows a list taken in, its levels at their default rounds in `order` (none: the
    // list's).
    void showList(TeamList list, const QString &name, std::optional<LevelOrder> order);
    // The cup session hears of the list, the levels and the seed as they are now.
    void reportTeams();
    // The list, levels and seed of the cup just opened.
    void restoreTeams();
    void chooseList();
    void searchPlans();
    void saveEntries();
    void printEntries();
    void exportEntriesPdf();
    void applySeedText();
    void showSeedError(const QString &message);

    // The constructor's parts, each a concept of the window, made in the keyboard's order.
    QLayout *buildListRow();
    QTableView *buildTeamTable();
    QLayout *buildLevelsColumn();
    void buildStatusLines();
    QLayout *buildDrawRow();
    QLayout *buildEntriesRow();
    void connectControls();
    void followCupSession();
    // Whether the cup keeps the teams as they are (read-only, or round 1 drawn); then the
    // window says why and nothing changes.
    bool teamsLocked();

    void buildLevelOrderControls();
    void showLevels();
    void showWishes();
    // The order taken and the gaps in the levels' numbers, under the levels.
    void showLevelNotes();
    void moveCurrentLevel(int step);
    void updateMoveButtons();
    // Follows the plan the window shows: the assignment, the table's rounds, the texts.
    void followPlan();
    void updateButtons();
    QString defaultFileName(const QString &suffix) const;

    std::optional<TeamList> m_list;
    QString m_listName;
    LevelMapping m_mapping;
    std::optional<Plan> m_plan;
    std::optional<Assignment> m_assignment;
    std::string m_assignmentError;
    std::uint64_t m_seed = 0;
    std::optional<ImportedList> m_importedList; // the list as a cup keeps it
    bool m_restoring = false;                   // showing the cup's own: nothing to report

    QLabel *m_listLabel = nullptr;
    QTableView *m_teamTable = nullptr;
    TeamTableModel *m_teamModel = nullptr;
    QTableWidget *m_levels = nullptr;
    QPushButton *m_levelUp = nullptr;
    QPushButton *m_levelDown = nullptr;
    QLabel *m_orderLabel = nullptr;
    QLabel *m_gapLabel = nullptr;
    QTableWidget *m_wishes = nullptr;
    QLabel *m_readOnly = nullptr;
    QLabel *m_planLabel = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_seedEdit = nullptr;
    QLabel *m_seedError = nullptr; // why a typed seed is refused, under the draw's row
    QPushButton *m_open = nullptr;
    QPushButton *m_search = nullptr;
    QPushButton *m_newDraw = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_pdf = nullptr;
};

// What "Chercher les plans" runs: the plan search opened with the wishes.
using PlanSearchOpener = std::function<void(const Wishes &wishes)>;

// Adds the action "Équipes inscrites…" (F4) to the window; it opens the dialog, one per
// window, whose "Chercher les plans" runs `searchPlans` (the button stays disabled without).
void installTeams(FeatureHost &host, PlanSearchOpener searchPlans = {});

} // namespace velmorin
