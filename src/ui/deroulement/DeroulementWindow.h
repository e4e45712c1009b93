#pragma once

// "Déroulement de la coupe" (F5): the open cup round by round. A tab per round lists its
// games; the organiser draws a round once the one before is complete, enters results from
// the keyboard (1/A or 2/B the winner, a score typed in its cell, F then 1/2 a forfeit, Enter
// the next game without a result), corrects and cancels after a question, prints the group
// sheets and exports the results page. A cup open read-only is shown and printed, never
// changed: its writing buttons are disabled and its keys say why; what another program writes
// shows here within a second.

#include "CupRunSource.h"
#include "FeatureWindow.h"

#include <QDateTime>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace velmorin {

class RoundGamesModel;

class DeroulementWindow : public FeatureWindow
{
    Q_OBJECT

public:
    using SourceGetter = std::function<CupRunSource *()>;

    DeroulementWindow(FeatureHost &host, SourceGetter source);

    // Shows the cup as it stands (or that none is open); follows a source opened since.
    void refresh();

    // The round of the tab shown, and the round the cup is at: the last drawn, or the next one
    // once it is complete.
    int shownRound() const;
    int currentRound() const;
    void showRound(int round);
    QTableView *table(int round) const;
    RoundGamesModel *model(int round) const;

    // What the keys and buttons do, on a row of the round shown. A correction or a
    // cancellation asks first; false when nothing changed.
    bool markWinner(int row, int side); // side 0: team A, 1: team B
    bool markForfeit(int row, int side);
    bool enterScore(int row, const QString &text);
    bool drawShownRound();
    bool cancelShownRound();
    // Opens the score's editor on a decided game (the S key).
    void openScore(int row);
    // Selects the first game after `row` without a result (wrapping round); false when none.
    bool goToNextOpenGame();

    // The results page as it stands at `madeAt`, which its title and heading give.
    bool exportPageTo(const QString &fileName,
                      const QDateTime &madeAt = QDateTime::currentDateTime());
    bool exportSheetsPdfTo(const QString &fileName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct RoundPage
    {
        QTableView *table = nullptr;
        RoundGamesModel *model = nullptr;
        QLabel *meetings = nullptr;
    };

    const Cup *cup() const;
    CupRunSource *connectSource();
    CupAnswer applyToCup(CupCommand command);
    // Asks before a command that undoes something: the question, then what the command would
    // discard, as the cup itself says it on a copy.
    bool confirm(const QString &title, const QString &question, const CupCommand &command);
    // The teams of a row's game; none, said, while a barrage waits for its teams.
    std::optional<std::pair<int, int>> playableSides(int row);
    bool replaceResult(int row, int winner, std::optional<Score> score, bool withdrawn);
    // The command's answer is the one the calculator gives; the window only adds its basedOn.
    void say(const QString &message, bool refused = false);
    // Why the cup may not be changed here (read-only); empty when it may.
    QString readOnlyReason() const;
    void updateButtons();
    void updateBanner();
    void updateMeetings(int round);
    void updateExempted();
    void updateFinal();
    void exemptedToggled(QListWidgetItem *item);
    void printSheets();
    void exportSheetsPdf();
    void exportPage();
    QString cupName() const;
    int selectedRow() const;

    SourceGetter m_source;
    QPointer<CupRunSource> m_connected;
    bool m_forfeitPending = false;
    int m_placedRound = 0; // the round the cup was at when its tab was last brought forward

    QStackedWidget *m_stack = nullptr;
    QLabel *m_banner = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_readOnly = nullptr;
    QTabWidget *m_tabs = nullptr;
    std::array<RoundPage, kCupRounds> m_pages{};
    QLabel *m_exemptedText = nullptr;
    QListWidget *m_exemptedList = nullptr;
    std::vector<int> m_exemptedChoices; // the teams the list offers
    QLabel *m_final = nullptr;
    QPushButton *m_draw = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_pdf = nullptr;
    QPushButton *m_web = nullptr;
};

// Adds the action "Déroulement de la coupe…" (F5); `source` gives the open cup at each look
// (null: none open).
void installDeroulement(FeatureHost &host, DeroulementWindow::SourceGetter source);
// The host's window, made on first use, shown and raised.
DeroulementWindow *openDeroulement(FeatureHost &host,
                                   const DeroulementWindow::SourceGetter &source);

} // namespace velmorin
