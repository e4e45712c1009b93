#pragma once

// The registered teams beside the main window: a list read from a CSV or ODS file, its levels
// with the round each one enters at (the wishes for the plan search), and each team's entry
// round in the plan the main window shows, saved, printed or exported as PDF.

#include "Plan.h"
#include "TeamAssignment.h"
#include "TeamList.h"
#include "VlmPrg.h"
#include "Wishes.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace velmorin {

class TeamTableModel;

class TeamsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TeamsDialog(TVlmFPrg *window);
    ~TeamsDialog() override;

    // The kinds of file the entries are saved as.
    enum class EntriesFormat { Ods, Csv };

    // Reads a list file and, when it is accepted, shows it, maps its levels to their default
    // rounds and sets the window's registered teams to its count. A refused file shows its
    // message in an error box and changes nothing; returns whether the list was taken.
    bool openList(const QString &fileName);

    // Sends a level's teams to another round (1 to 4), as its chooser does.
    bool setLevelRound(const std::optional<int> &level, int round);

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
    void chooseList();
    void searchPlans();
    void saveEntries();
    void printEntries();
    void exportEntriesPdf();
    void applySeedText();
    void showSeedError(const QString &message);

    void showLevels();
    void showWishes();
    // Follows the plan the window shows: the assignment, the table's rounds, the texts.
    void followPlan();
    void updateButtons();
    QString defaultFileName(const QString &suffix) const;
    QString stamp() const;

    TVlmFPrg *m_window;
    std::optional<TeamList> m_list;
    QString m_listName;
    LevelMapping m_mapping;
    std::optional<Plan> m_plan;
    std::optional<Assignment> m_assignment;
    std::string m_assignmentError;
    std::uint64_t m_seed = 0;

    QLabel *m_listLabel = nullptr;
    QTableView *m_teamTable = nullptr;
    TeamTableModel *m_teamModel = nullptr;
    QTableWidget *m_levels = nullptr;
    QLabel *m_wishesLabel = nullptr;
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
void installTeams(TVlmFPrg *window, PlanSearchOpener searchPlans = {});

} // namespace velmorin
