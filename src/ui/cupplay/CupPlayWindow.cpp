#include "CupPlayWindow.h"

#include "CupBanner.h"
#include "CupExports.h"
#include "CupPlayText.h"
#include "Named.h"
#include "Placement.h"
#include "ReflowLayout.h"
#include "ResultKeys.h"
#include "RoundGamesModel.h"
#include "RoundPage.h"
#include "RoundSheets.h"
#include "SaveFile.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace velmorin {

namespace {

const QString kName = QStringLiteral("Deroulement");
const QString kPlacementKey = QStringLiteral("deroulement/placement");

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString roundText(int round)
{
    return text(roundLabel(round));
}

} // namespace

CupPlayWindow::CupPlayWindow(FeatureHost &host, SourceGetter source)
    : FeatureWindow(host, kName, QStringLiteral("deroulement")), m_source(std::move(source))
{
    setWindowTitle(QStringLiteral("Déroulement de la coupe"));
    setModal(false);
    keepReadable({CupBanner::colour(), QColor(Qt::darkRed)});

    m_stack = new QStackedWidget(this);
    auto *none = new QLabel(this);
    none->setObjectName(QStringLiteral("AucuneCoupe"));
    none->setWordWrap(true);
    none->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(none);

    auto *content = new QWidget(this);
    m_banner = new CupBanner(content);
    m_message = named(new QLabel(content), QStringLiteral("MessageDeroulement"),
                      QStringLiteral("Ce que la dernière saisie a fait, ou pourquoi elle a "
                                     "été refusée"));
    m_message->setWordWrap(true);
    m_readOnly = named(new QLabel(content), QStringLiteral("LectureSeule"),
                       QStringLiteral("Pourquoi rien ne peut être changé dans cette coupe ici"));
    m_readOnly->setWordWrap(true);

    m_keys = new ResultKeys(*this);
    m_tabs = named(new QTabWidget(content), QStringLiteral("OngletsTours"),
                   QStringLiteral("Un onglet par tour"));
    for (int round = 1; round <= kCupRounds; ++round) {
        auto *roundPage = new RoundPage(
            round, [this] { return cup(); }, m_tabs);
        m_pages[std::size_t(round - 1)] = roundPage;
        m_keys->watch(roundPage->table());
        connect(roundPage, &RoundPage::scoreEntered, this, [this](int row, const QString &score) {
            // After the editor closes: the answer may change the rows the editor stands on.
            QMetaObject::invokeMethod(
                this, [this, row, score] { runGuarded([&] { enterScore(row, score); }); },
                Qt::QueuedConnection);
        });
        connect(roundPage, &RoundPage::exemptedChosen, this, [this](const std::vector<int> &teams) {
            runGuarded([&] { applyToCup(ExemptedCommand{teams}); });
        });
        connect(roundPage, &RoundPage::exemptedRefused, this,
                [this](const QString &why) { say(why, true); });
        m_tabs->addTab(roundPage, roundText(round));
        m_tabs->setTabToolTip(round - 1, text(roundTitle(round)));
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        m_keys->reset();
        table(shownRound())->setFocus(); // the keys go to the round shown
        updateButtons();
        if (const Cup *c = cup())
            m_banner->showCup(*c, currentRound());
    });

    m_final = new QLabel(content);
    m_final->setObjectName(QStringLiteral("EquipesFinale"));
    m_final->setWordWrap(true);
    m_final->setToolTip(QStringLiteral("Les équipes qualifiées pour la finale"));

    const auto button = [&](const QString &name, const QString &tip, auto slot) {
        auto *b = new QPushButton(content);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setAutoDefault(false); // Enter is the tables' "next game", never a draw
        connect(b, &QPushButton::clicked, this, [this, slot] { runGuarded([&] { slot(); }); });
        return b;
    };
    m_draw = button(QStringLiteral("BoutonTirage"),
                    QStringLiteral("Tire les poules ou parties du tour, une fois le tour "
                                   "précédent terminé"),
                    [this] { drawShownRound(); });
    m_redraw = button(QStringLiteral("BoutonNouveauTirage"),
                      QStringLiteral("Tire de nouveau le dernier tour tiré tant qu'aucun résultat "
                                     "n'y est saisi, après confirmation"),
                      [this] { redrawShownRound(); });
    m_cancel = button(QStringLiteral("BoutonAnnulerTirage"),
                      QStringLiteral("Annule le tirage du dernier tour tiré et ses résultats, "
                                     "après confirmation"),
                      [this] { cancelShownRound(); });
    m_print = button(QStringLiteral("BoutonFeuilles"),
                     QStringLiteral("Aperçu avant impression des feuilles de poule du tour"),
                     [this] { printSheets(); });
    m_print->setText(QStringLiteral("&Imprimer les feuilles…"));
    m_pdf = button(QStringLiteral("BoutonFeuillesPdf"),
                   QStringLiteral("Enregistre les feuilles de poule du tour en PDF"),
                   [this] { exportSheetsPdf(); });
    m_pdf->setText(QStringLiteral("Feuilles en &PDF…"));
    m_web = button(QStringLiteral("BoutonPageWeb"),
                   QStringLiteral("Enregistre une page web des résultats, lisible sur un "
                                  "téléphone"),
                   [this] { exportPage(); });
    m_web->setText(QStringLiteral("Page des &résultats…"));

    // The round's buttons and the paper's side by side, or one row above the other in a
    // narrow window.
    auto *buttons = new ReflowLayout;
    auto *roundButtons = new QHBoxLayout;
    for (QPushButton *b : {m_draw, m_redraw, m_cancel})
        roundButtons->addWidget(b);
    roundButtons->addStretch(1);
    auto *paperButtons = new QHBoxLayout;
    for (QPushButton *b : {m_print, m_pdf, m_web})
        paperButtons->addWidget(b);
    paperButtons->addStretch(1);
    buttons->addLayout(roundButtons);
    buttons->addLayout(paperButtons);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(m_banner);
    contentLayout->addWidget(m_readOnly);
    contentLayout->addWidget(m_message);
    contentLayout->addWidget(m_tabs, 1);
    contentLayout->addWidget(m_final);
    contentLayout->addLayout(buttons);
    m_stack->addWidget(content);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_stack);
    addRoundKeys();
    resize(900, 560);
    refresh();
}

CupPlayWindow::~CupPlayWindow()
{
    if (isVisible())
        keepPlacement();
}

void CupPlayWindow::addRoundKeys()
{
    const auto roundKey = [this](const QList<QKeySequence> &keys, auto go) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, go);
        addAction(action);
    };
    roundKey({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
             [this] { stepRound(1); });
    roundKey({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
              QKeySequence(Qt::CTRL | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
             [this] { stepRound(-1); });
    for (int round = 1; round <= kCupRounds; ++round)
        roundKey({QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + round))},
                 [this, round] { showRound(round); });
}

void CupPlayWindow::stepRound(int step)
{
    showRound((shownRound() - 1 + step + kCupRounds) % kCupRounds + 1);
}

void CupPlayWindow::showEvent(QShowEvent *event)
{
    refresh();
    FeatureWindow::showEvent(event);
    // Where the organiser left it last time, once per session; afterwards the kit keeps it
    // where it was.
    if (!m_placementRestored) {
        m_placementRestored = true;
        restorePlacement(this, programSettings().value(kPlacementKey).toByteArray());
    }
}

void CupPlayWindow::hideEvent(QHideEvent *event)
{
    keepPlacement();
    FeatureWindow::hideEvent(event);
}

void CupPlayWindow::keepPlacement()
{
    programSettings().setValue(kPlacementKey, saveGeometry());
}

const Cup *CupPlayWindow::cup() const
{
    return m_connected ? m_connected->cup() : nullptr;
}

RoundPage *CupPlayWindow::page(int round) const
{
    return m_pages[std::size_t(round - 1)];
}

CupRunSource *CupPlayWindow::connectSource()
{
    CupRunSource *source = m_source ? m_source() : nullptr;
    if (source != m_connected) {
        if (m_connected)
            disconnect(m_connected, nullptr, this, nullptr);
        m_connected = source;
        m_placedRound = 0;
        if (source) {
            connect(source, &CupRunSource::cupChanged, this, [this] { refresh(); });
            connect(
                source, &QObject::destroyed, this, [this] { refresh(); }, Qt::QueuedConnection);
        }
    }
    return source;
}

void CupPlayWindow::refresh()
{
    connectSource();
    const Cup *c = cup();
    m_stack->setCurrentIndex(c ? 1 : 0);
    // No cup to play: the open one says what it lacks.
    const QString unplayable = m_connected ? m_connected->unplayableReason() : QString();
    qobject_cast<QLabel *>(m_stack->widget(0))
        ->setText(!unplayable.isEmpty()
                      ? unplayable
                      : QStringLiteral("Aucune coupe ouverte : « Nouvelle coupe… » (Ctrl+N) ou "
                                       "« Ouvrir une coupe… » (Ctrl+O) dans le menu de la "
                                       "fenêtre principale."));
    const bool writable = readOnlyReason().isEmpty();
    for (RoundPage *roundPage : m_pages)
        roundPage->refresh(writable);
    if (!c)
        return;
    // A round drawn, completed or cancelled: its page comes forward, where the next step is.
    if (currentRound() != m_placedRound) {
        m_placedRound = currentRound();
        showRound(m_placedRound);
    }
    updateFinal();
    updateButtons();
    m_banner->showCup(*c, currentRound());
}

int CupPlayWindow::shownRound() const
{
    return m_tabs->currentIndex() + 1;
}

int CupPlayWindow::currentRound() const
{
    const Cup *c = cup();
    if (!c || c->drawnRounds() == 0)
        return 1;
    const int last = c->drawnRounds();
    return c->isComplete(last) && last < kCupRounds ? last + 1 : last;
}

void CupPlayWindow::showRound(int round)
{
    m_tabs->setCurrentIndex(std::clamp(round, 1, kCupRounds) - 1);
    QTableView *view = table(shownRound());
    if (!view->currentIndex().isValid() && view->model()->rowCount() > 0)
        view->setCurrentIndex(view->model()->index(0, RoundGamesModel::TeamA));
    view->setFocus();
}

QTableView *CupPlayWindow::table(int round) const
{
    return page(round)->table();
}

RoundGamesModel *CupPlayWindow::model(int round) const
{
    return page(round)->model();
}

QString CupPlayWindow::cupName() const
{
    return m_connected ? m_connected->cupName() : QString();
}

int CupPlayWindow::selectedRow() const
{
    const QModelIndex current = table(shownRound())->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CupPlayWindow::say(const QString &message, bool refused)
{
    QPalette colours = m_message->palette();
    colours.setColor(QPalette::WindowText,
                     refused ? QColor(Qt::darkRed) : palette().color(QPalette::WindowText));
    m_message->setPalette(colours);
    m_message->setText(message);
}

QString CupPlayWindow::readOnlyReason() const
{
    return m_connected ? m_connected->readOnlyReason() : QString();
}

CupAnswer CupPlayWindow::applyToCup(CupCommand command)
{
    CupRunSource *source = connectSource();
    if (!source || !source->cup())
        return CupAnswer::refused(std::string(cupwords::kNoCup));
    command.basedOn = source->cup()->version();
    const CupAnswer answer = source->apply(command);
    say(text(answer.text), !answer.done);
    return answer;
}

bool CupPlayWindow::confirm(const QString &title, const QString &question,
                            const CupCommand &command)
{
    const Cup *c = cup();
    if (!c)
        return false;
    // Never a question whose yes would be refused.
    if (const QString reason = readOnlyReason(); !reason.isEmpty()) {
        say(reason, true);
        return false;
    }
    Cup trial = *c; // the cup says whether it would take the command without changing
    const CupAnswer preview = trial.apply(command);
    if (!preview.done || !preview.changed) {
        say(text(preview.text), !preview.done);
        return false;
    }
    const auto answer = QMessageBox::question(this, title, question,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    // The keys go back to the games, whatever the answer.
    activateWindow();
    table(shownRound())->setFocus();
    if (answer != QMessageBox::Yes) {
        say(text(cupwords::kNothingChanged));
        return false;
    }
    return applyToCup(command).done;
}

std::optional<std::pair<int, int>> CupPlayWindow::playableSides(int row)
{
    const Cup *c = cup();
    const auto sides = c ? c->gameTeams(model(shownRound())->gameAt(row)) : std::nullopt;
    if (!sides)
        say(text(cupwords::kBarrageWaits), true);
    return sides;
}

bool CupPlayWindow::replaceResult(int row, int winner, std::optional<Score> score, bool withdrawn)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const ResultRecord before = *c->result(game);
    const CorrectionCommand correction{game, winner, score, withdrawn};
    if (before.winner == winner && before.withdrawn.has_value() == withdrawn)
        // The same winner: the score or the forfeit change and nothing else goes.
        return applyToCup(correction).done;
    Cup after = *c;
    if (!after.apply(correction).done)
        return applyToCup(correction).done; // the cup's refusal, said
    return confirm(QStringLiteral("Corriger le résultat"),
                   text(correctionQuestion(*c, after, game)), correction);
}

bool CupPlayWindow::markWinner(int row, int side)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const auto sides = playableSides(row);
    if (!sides)
        return false;
    const int winner = side == 0 ? sides->first : sides->second;
    if (const auto before = c->result(game)) {
        // Between two withdrawn teams, the organiser names the one that goes through.
        if (c->isWithdrawn(sides->first, game.round) && c->isWithdrawn(sides->second, game.round))
            return applyToCup(QualificationCommand{game, winner}).done;
        if (before->winner == winner && !before->withdrawn)
            return false;
        return replaceResult(row, winner, std::nullopt, false);
    }
    return applyToCup(ResultCommand{game, winner, std::nullopt, false}).done;
}

bool CupPlayWindow::markForfeit(int row, int side)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const auto sides = playableSides(row);
    if (!sides)
        return false;
    const int withdrawn = side == 0 ? sides->first : sides->second;
    const int winner = side == 0 ? sides->second : sides->first;
    if (const auto before = c->result(game)) {
        if (before->withdrawn == withdrawn)
            return false;
        return replaceResult(row, winner, std::nullopt, true);
    }
    return applyToCup(ResultCommand{game, winner, std::nullopt, true}).done;
}

bool CupPlayWindow::enterScore(int row, const QString &typed)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    if (!c || !c->gameTeams(game))
        return false;
    const ScoreReading reading = readScore(typed.toStdString());
    if (!reading.score) {
        say(text(reading.refusal), true);
        return false;
    }
    // The score gives the winner's points first: the winner is the one already chosen.
    const auto before = c->result(game);
    if (!before) {
        say(text(cupwords::kWinnerFirst), true);
        return false;
    }
    return replaceResult(row, before->winner, reading.score, false);
}

void CupPlayWindow::openScore(int row)
{
    const Cup *c = cup();
    if (!c || !playableSides(row))
        return;
    if (!c->result(model(shownRound())->gameAt(row))) {
        say(text(cupwords::kWinnerFirst), true);
        return;
    }
    QTableView *view = table(shownRound());
    const QModelIndex score = model(shownRound())->index(row, RoundGamesModel::ScoreColumn);
    view->setCurrentIndex(score);
    view->edit(score);
}

bool CupPlayWindow::drawShownRound()
{
    const int round = shownRound();
    const bool drawn = applyToCup(DrawCommand{round}).done;
    if (drawn) {
        QTableView *view = table(round);
        RoundGamesModel *games = model(round);
        if (games->rowCount() > 0)
            view->setCurrentIndex(games->index(0, RoundGamesModel::TeamA));
        // A team that withdrew before the draw has lost its game already: the keys start on
        // the first game still to play.
        if (games->rowCount() > 0 && games->hasResult(0))
            goToNextOpenGame();
        view->setFocus();
    }
    return drawn;
}

bool CupPlayWindow::redrawShownRound()
{
    const Cup *c = cup();
    const int round = shownRound();
    if (!c || !confirm(QStringLiteral("Nouveau tirage"), text(redrawQuestion(*c, round)),
                       RedrawCommand{round}))
        return false;
    showRound(round);
    return true;
}

bool CupPlayWindow::cancelShownRound()
{
    const Cup *c = cup();
    const int round = shownRound();
    return c && confirm(QStringLiteral("Annuler le tirage"), text(cancelQuestion(*c, round)),
                        CancelDrawCommand{round});
}

bool CupPlayWindow::goToNextOpenGame()
{
    RoundGamesModel *games = model(shownRound());
    const int rows = games->rowCount();
    const int from = selectedRow();
    for (int step = 1; step <= rows; ++step) {
        const int row = (from + step) % rows;
        if (games->isPlayable(row) && !games->hasResult(row)) {
            QTableView *view = table(shownRound());
            const int column = view->currentIndex().isValid() ? view->currentIndex().column()
                                                              : int(RoundGamesModel::TeamA);
            view->setCurrentIndex(games->index(row, column));
            return true;
        }
    }
    say(text(cupwords::kAllEntered));
    return false;
}

void CupPlayWindow::updateButtons()
{
    const Cup *c = cup();
    const int round = shownRound();
    m_draw->setText(QStringLiteral("&Tirer le %1").arg(roundText(round)));
    m_redraw->setText(QStringLiteral("&Nouveau tirage du %1").arg(roundText(round)));
    m_cancel->setText(QStringLiteral("&Annuler le tirage du %1").arg(roundText(round)));
    const QString reason = readOnlyReason();
    const bool writable = reason.isEmpty();
    m_readOnly->setText(reason);
    m_readOnly->setVisible(!writable);
    m_draw->setEnabled(writable && c && !c->drawRefusal(round));
    m_cancel->setEnabled(writable && c && round == c->drawnRounds());
    m_redraw->setEnabled(m_cancel->isEnabled() && c->resultCount(round) == 0);
    m_print->setEnabled(c && roundSheetPages(*c, round) > 0);
    m_pdf->setEnabled(m_print->isEnabled());
    m_web->setEnabled(c != nullptr);
}

void CupPlayWindow::updateFinal()
{
    const Cup *c = cup();
    const std::string line = c ? finalTeamsLine(*c) : std::string();
    m_final->setVisible(!line.empty());
    m_final->setText(text(line));
}

void CupPlayWindow::printSheets()
{
    if (const Cup *c = cup())
        previewRoundSheets(this, *c, shownRound(), cupName());
}

bool CupPlayWindow::exportSheetsPdfTo(const QString &fileName)
{
    const Cup *c = cup();
    if (!c || !saveRoundSheetsPdf(this, *c, shownRound(), cupName(), fileName))
        return false;
    say(text(sheetsSaved(shownRound(), QDir::toNativeSeparators(fileName).toStdString())));
    return true;
}

void CupPlayWindow::exportSheetsPdf()
{
    if (const auto fileName = askRoundSheetsPdfName(this, shownRound()))
        exportSheetsPdfTo(*fileName);
}

bool CupPlayWindow::exportPageTo(const QString &fileName, const QDateTime &madeAt)
{
    const Cup *c = cup();
    if (!c || !saveResultsPage(this, *c, cupName(), fileName, madeAt))
        return false;
    say(text(pageSaved(QDir::toNativeSeparators(fileName).toStdString())));
    return true;
}

void CupPlayWindow::exportPage()
{
    if (const auto fileName = askResultsPageName(this))
        exportPageTo(*fileName);
}

CupPlayWindow *openCupPlay(FeatureHost &host, const CupPlayWindow::SourceGetter &source)
{
    auto *window = FeatureWindow::find<CupPlayWindow>(host, kName);
    if (!window)
        window = new CupPlayWindow(host, source); // the host's registry owns it
    window->showRaised();
    window->refresh();
    return window;
}

void installCupPlay(FeatureHost &host, CupPlayWindow::SourceGetter source)
{
    addFeatureAction(host, QStringLiteral("Déroulement de la coupe…"),
                     QStringLiteral("actionDeroulement"), QKeySequence(Qt::Key_F5),
                     [&host, source] { openCupPlay(host, source); });
}

} // namespace velmorin
