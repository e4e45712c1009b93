#pragma once

// "Déroulement de la coupe" (F5): the open cup round by round. A page per round lists its
// games; the organiser draws a round once the one before is complete, enters results from
// the keyboard (ResultKeys), corrects, redraws and cancels after a question, prints the group
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
#include <utility>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace velmorin {

class CupBanner;
class ResultKeys;
class RoundGamesModel;
class RoundPage;

class CupPlayWindow : public FeatureWindow
{
    Q_OBJECT

public:
    using SourceGetter = std::function<CupRunSource *()>;

    CupPlayWindow(FeatureHost &host, SourceGetter source);
    ~CupPlayWindow() override;

    // Shows the cup as it stands (or that none is open); follows a source opened since.
    void refresh();

    // The round of the page shown, and the round the cup is at: the last drawn, or the next
    // one once it is complete.
    int shownRound() const;
    int currentRound() const;
    // Brings the round's page forward, its table taking the keys.
    void showRound(int round);
    QTableView *table(int round) const;
    RoundGamesModel *model(int round) const;

    // What the keys and buttons do, on a row of the round shown. A correction, a redraw or a
    // cancellation asks first; false when nothing changed.
    bool markWinner(int row, int side); // side 0: team A, 1: team B
    bool markForfeit(int row, int side);
    bool enterScore(int row, const QString &text);
    bool drawShownRound();
    bool redrawShownRound();
    bool cancelShownRound();
    // Opens the score's editor on a decided game (the S key).
    void openScore(int row);
    // Selects the first game after `row` without a result (wrapping round); false when none.
    bool goToNextOpenGame();
    // The row of the round shown that the keys act on; -1 when none.
    int selectedRow() const;

    // The message line: what the last key or button did, or why it was refused.
    void say(const QString &message, bool refused = false);
    // Why the cup may not be changed here (read-only); empty when it may.
    QString readOnlyReason() const;

    // The results page as it stands at `madeAt`, which its title and heading give. Each
    // export, once saved, names its file on the message line.
    bool exportPageTo(const QString &fileName,
                      const QDateTime &madeAt = QDateTime::currentDateTime());
    bool exportSheetsPdfTo(const QString &fileName);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    friend class ResultKeys; // its keys run under the host's guard

    const Cup *cup() const;
    RoundPage *page(int round) const;
    CupRunSource *connectSource();
    CupAnswer applyToCup(CupCommand command);
    // Asks `question` before a command that undoes something; the question says all that
    // would go. False when the organiser says no or the cup refuses.
    bool confirm(const QString &title, const QString &question, const CupCommand &command);
    // The teams of a row's game; none, said, while a barrage waits for its teams.
    std::optional<std::pair<int, int>> playableSides(int row);
    bool replaceResult(int row, int winner, std::optional<Score> score, bool withdrawn);
    void updateButtons();
    void updateFinal();
    // Ctrl+Tab and Ctrl+Page down show the next round, with Shift or Page up the one before
    // (wrapping round), Alt+1 to Alt+6 a round.
    void addRoundKeys();
    void stepRound(int step);
    void printSheets();
    void exportSheetsPdf();
    void exportPage();
    QString cupName() const;
    // Its place and size, for the next session.
    void keepPlacement();

    SourceGetter m_source;
    QPointer<CupRunSource> m_connected;
    int m_placedRound = 0; // the round the cup was at when its page was last brought forward
    bool m_placementRestored = false;

    QStackedWidget *m_stack = nullptr;
    CupBanner *m_banner = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_readOnly = nullptr;
    QTabWidget *m_tabs = nullptr;
    std::array<RoundPage *, kCupRounds> m_pages{};
    ResultKeys *m_keys = nullptr;
    QLabel *m_final = nullptr;
    QPushButton *m_draw = nullptr;
    QPushButton *m_redraw = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_pdf = nullptr;
    QPushButton *m_web = nullptr;
};

// Adds the action "Déroulement de la coupe…" (F5); `source` gives the open cup at each look
// (null: none open).
void installCupPlay(FeatureHost &host, CupPlayWindow::SourceGetter source);
// The host's window, made on first use, shown and raised.
CupPlayWindow *openCupPlay(FeatureHost &host, const CupPlayWindow::SourceGetter &source);

} // namespace velmorin
