#include "DeroulementWindow.h"

#include "CupText.h"
#include "PrintPreview.h"
#include "PrintedSheet.h"
#include "RoundGamesModel.h"
#include "RoundSheets.h"
#include "SaveFile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace velmorin {

namespace {

const QString kName = QStringLiteral("Deroulement");
constexpr int kMeetingsShown = 40; // past them, a count: the list would push the games away

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString roundLabel(int round)
{
    return QStringLiteral("Tour %1").arg(round);
}

int sideKey(int key)
{
    switch (key) {
    case Qt::Key_1:
    case Qt::Key_A:
        return 0;
    case Qt::Key_2:
    case Qt::Key_B:
        return 1;
    default:
        return -1;
    }
}

} // namespace

DeroulementWindow::DeroulementWindow(FeatureHost &host, SourceGetter source)
    : FeatureWindow(host, kName, QStringLiteral("deroulement")), m_source(std::move(source))
{
    setWindowTitle(QStringLiteral("Déroulement de la coupe"));
    setModal(false);
    const QColor bannerColour(0, 0, 128);
    keepReadable({bannerColour, QColor(Qt::darkRed)});

    m_stack = new QStackedWidget(this);
    auto *none = new QLabel(
        QStringLiteral("Aucune coupe ouverte : « Nouvelle coupe… » (Ctrl+N) ou « Ouvrir une "
                       "coupe… » (Ctrl+O) dans le menu de la fenêtre principale."),
        this);
    none->setObjectName(QStringLiteral("AucuneCoupe"));
    none->setWordWrap(true);
    none->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(none);

    auto *content = new QWidget(this);
    m_banner = new QLabel(content);
    m_banner->setObjectName(QStringLiteral("BandeauDeroulement"));
    m_banner->setToolTip(QStringLiteral("Où en est la coupe, et ce qui vient ensuite"));
    m_banner->setWordWrap(true);
    QFont bannerFont = m_banner->font();
    bannerFont.setBold(true);
    m_banner->setFont(bannerFont);
    QPalette bannerPalette = m_banner->palette();
    bannerPalette.setColor(QPalette::WindowText, bannerColour);
    m_banner->setPalette(bannerPalette);
    m_message = new QLabel(content);
    m_message->setObjectName(QStringLiteral("MessageDeroulement"));
    m_message->setToolTip(QStringLiteral("Ce que la dernière saisie a fait, ou pourquoi elle a "
                                         "été refusée"));
    m_message->setWordWrap(true);

    m_tabs = new QTabWidget(content);
    m_tabs->setObjectName(QStringLiteral("OngletsTours"));
    m_tabs->setToolTip(QStringLiteral("Un onglet par tour"));
    for (int round = 1; round <= kCupRounds; ++round) {
        RoundPage &page = m_pages[std::size_t(round - 1)];
        auto *tab = new QWidget(m_tabs);
        auto *layout = new QVBoxLayout(tab);
        if (round == 4) {
            m_exemptedText = new QLabel(tab);
            m_exemptedText->setObjectName(QStringLiteral("TexteExemptees"));
            m_exemptedText->setWordWrap(true);
            m_exemptedText->setToolTip(QStringLiteral("Les équipes qui ne jouent pas le Tour 4 "
                                                      "et passent au Tour 5"));
            m_exemptedList = new QListWidget(tab);
            m_exemptedList->setObjectName(QStringLiteral("ExempteesTour4"));
            m_exemptedList->setToolTip(QStringLiteral("Cochez les équipes exemptées du Tour 4 ; "
                                                      "le choix se fait avant son tirage"));
            m_exemptedList->setMaximumHeight(110);
            layout->addWidget(m_exemptedText);
            layout->addWidget(m_exemptedList);
            connect(m_exemptedList, &QListWidget::itemChanged, this,
                    [this](QListWidgetItem *item) { runGuarded([&] { exemptedToggled(item); }); });
        }
        page.model = new RoundGamesModel(
            round, [this] { return cup(); }, this);
        page.table = new QTableView(tab);
        page.table->setObjectName(QStringLiteral("TableParties"));
        page.table->setToolTip(QStringLiteral(
            "1 ou A : l'équipe A gagne ; 2 ou B : l'équipe B gagne ; score dans sa case "
            "(13-7) ; F puis 1 ou 2 : forfait ; Entrée : partie suivante sans résultat"));
        page.table->setModel(page.model);
        // A delegate of its own: the views' shared default would send a score typed in one
        // tab's table to another's.
        page.table->setItemDelegate(new QStyledItemDelegate(page.table));
        page.table->setSelectionBehavior(QAbstractItemView::SelectRows);
        page.table->setSelectionMode(QAbstractItemView::SingleSelection);
        page.table->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                    QAbstractItemView::DoubleClicked |
                                    QAbstractItemView::EditKeyPressed);
        page.table->verticalHeader()->hide();
        // Fixed row heights and column widths: a round of thousands of games never measures
        // its rows.
        page.table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        page.table->horizontalHeader()->setStretchLastSection(true);
        const int widths[] = {50, 60, 170, 130, 170, 130, 170, 70};
        for (int c = 0; c < RoundGamesModel::ColumnCount; ++c)
            page.table->setColumnWidth(c, widths[c]);
        page.table->installEventFilter(this);
        connect(page.model, &RoundGamesModel::scoreEntered, this, [this](int row, QString score) {
            // After the editor closes: the answer may change the rows the editor stands on.
            QMetaObject::invokeMethod(
                this, [this, row, score] { runGuarded([&] { enterScore(row, score); }); },
                Qt::QueuedConnection);
        });
        layout->addWidget(page.table, 1);
        page.meetings = new QLabel(tab);
        page.meetings->setObjectName(QStringLiteral("RencontresClubs"));
        page.meetings->setWordWrap(true);
        page.meetings->setToolTip(QStringLiteral("Les équipes d'un même club que le tirage n'a "
                                                 "pas pu séparer"));
        layout->addWidget(page.meetings);
        m_tabs->addTab(tab, roundLabel(round));
        m_tabs->setTabToolTip(round - 1, text(roundTitle(round)));
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        m_forfeitPending = false;
        updateButtons();
        updateBanner();
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
    m_cancel = button(QStringLiteral("BoutonAnnulerTirage"),
                      QStringLiteral("Annule le tirage du dernier tour tiré et ses résultats, "
                                     "après confirmation"),
                      [this] { cancelShownRound(); });
    m_print = button(QStringLiteral("BoutonFeuilles"),
                     QStringLiteral("Aperçu avant impression des feuilles de poule du tour"),
                     [this] { printSheets(); });
    m_print->setText(QStringLiteral("Imprimer les feuilles du tour…"));
    m_pdf = button(QStringLiteral("BoutonFeuillesPdf"),
                   QStringLiteral("Enregistre les feuilles de poule du tour en PDF"),
                   [this] { exportSheetsPdf(); });
    m_pdf->setText(QStringLiteral("Feuilles du tour en PDF…"));
    m_web = button(QStringLiteral("BoutonPageWeb"),
                   QStringLiteral("Enregistre une page web des résultats, lisible sur un "
                                  "téléphone"),
                   [this] { exportPage(); });
    m_web->setText(QStringLiteral("Exporter la page des résultats…"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_draw, m_cancel, m_print, m_pdf, m_web})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(m_banner);
    contentLayout->addWidget(m_message);
    contentLayout->addWidget(m_tabs, 1);
    contentLayout->addWidget(m_final);
    contentLayout->addLayout(buttons);
    m_stack->addWidget(content);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_stack);
    resize(1000, 560);
    refresh();
}

const Cup *DeroulementWindow::cup() const
{
    return m_connected ? m_connected->cup() : nullptr;
}

CupRunSource *DeroulementWindow::connectSource()
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

void DeroulementWindow::showEvent(QShowEvent *event)
{
    refresh();
    FeatureWindow::showEvent(event);
}

void DeroulementWindow::refresh()
{
    connectSource();
    const Cup *c = cup();
    m_stack->setCurrentIndex(c ? 1 : 0);
    for (RoundPage &page : m_pages)
        page.model->refresh();
    if (!c)
        return;
    // A round drawn, completed or cancelled: its tab comes forward, where the next step is.
    if (currentRound() != m_placedRound) {
        m_placedRound = currentRound();
        showRound(m_placedRound);
    }
    for (int round = 1; round <= kCupRounds; ++round)
        updateMeetings(round);
    updateExempted();
    updateFinal();
    updateButtons();
    updateBanner();
}

int DeroulementWindow::shownRound() const
{
    return m_tabs->currentIndex() + 1;
}

int DeroulementWindow::currentRound() const
{
    const Cup *c = cup();
    if (!c || c->drawnRounds() == 0)
        return 1;
    const int last = c->drawnRounds();
    return c->isComplete(last) && last < kCupRounds ? last + 1 : last;
}

void DeroulementWindow::showRound(int round)
{
    m_tabs->setCurrentIndex(std::clamp(round, 1, kCupRounds) - 1);
    QTableView *view = table(shownRound());
    if (!view->currentIndex().isValid() && view->model()->rowCount() > 0)
        view->setCurrentIndex(view->model()->index(0, RoundGamesModel::TeamA));
}

QTableView *DeroulementWindow::table(int round) const
{
    return m_pages[std::size_t(round - 1)].table;
}

RoundGamesModel *DeroulementWindow::model(int round) const
{
    return m_pages[std::size_t(round - 1)].model;
}

QString DeroulementWindow::cupName() const
{
    return m_connected ? m_connected->cupName() : QString();
}

int DeroulementWindow::selectedRow() const
{
    const QModelIndex current = table(shownRound())->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void DeroulementWindow::say(const QString &message, bool refused)
{
    QPalette colours = m_message->palette();
    colours.setColor(QPalette::WindowText,
                     refused ? QColor(Qt::darkRed) : palette().color(QPalette::WindowText));
    m_message->setPalette(colours);
    m_message->setText(message);
}

CupAnswer DeroulementWindow::applyToCup(const std::function<CupAnswer(Cup &)> &operation)
{
    CupRunSource *source = connectSource();
    if (!source || !source->cup())
        return CupAnswer::refused("Aucune coupe n'est ouverte.");
    const CupAnswer answer = source->apply(operation);
    say(text(answer.text), !answer.done);
    return answer;
}

bool DeroulementWindow::confirm(const QString &title, const QString &question,
                                const std::function<CupAnswer(Cup &)> &operation)
{
    const Cup *c = cup();
    if (!c)
        return false;
    Cup trial = *c; // the cup says what it would discard without changing the real one
    const CupAnswer preview = operation(trial);
    if (!preview.done) {
        say(text(preview.text), true);
        return false;
    }
    QString body = question;
    if (!preview.text.empty())
        body += QStringLiteral("\n\n") + text(preview.text);
    const auto answer = QMessageBox::question(this, title, body, QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        say(QStringLiteral("Rien n'a changé."));
        return false;
    }
    return applyToCup(operation).done;
}

bool DeroulementWindow::replaceResult(int row, int winner, std::optional<Score> score,
                                      bool withdrawn)
{
    const Cup *c = cup();
    const GameRef game = model(shownRound())->gameAt(row);
    const ResultRecord before = *c->result(game);
    const std::string winnerName = c->teams()[std::size_t(before.winner)].name;
    if (before.winner == winner)
        // The same winner: the score or the forfeit change and nothing else goes.
        if (before.withdrawn.has_value() == withdrawn)
            return applyToCup([=](Cup &cup) { return cup.correct(game, winner, score, withdrawn); })
                .done;
    return confirm(
        QStringLiteral("Corriger le résultat"),
        QStringLiteral("%1 a gagné cette partie. Corriger son résultat ?").arg(text(winnerName)),
        [=](Cup &cup) { return cup.correct(game, winner, score, withdrawn); });
}

std::optional<std::pair<int, int>> DeroulementWindow::playableSides(int row)
{
    const Cup *c = cup();
    const auto sides = c ? c->gameTeams(model(shownRound())->gameAt(row)) : std::nullopt;
    if (!sides)
        say(QStringLiteral("Cette partie attend les résultats des parties 1 et 2 de la poule."),
            true);
    return sides;
}

bool DeroulementWindow::markWinner(int row, int side)
{
    const Cup *c = cup();
    const int round = shownRound();
    const auto sides = playableSides(row);
    if (!sides)
        return false;
    const int winner = side == 0 ? sides->first : sides->second;
    if (const auto before = c->result(model(round)->gameAt(row))) {
        if (before->winner == winner && !before->withdrawn)
            return false;
        return replaceResult(row, winner, std::nullopt, false);
    }
    return applyToCup([=](Cup &cup) { return cup.recordWinner(round, winner); }).done;
}

bool DeroulementWindow::markForfeit(int row, int side)
{
    const Cup *c = cup();
    const int round = shownRound();
    const auto sides = playableSides(row);
    if (!sides)
        return false;
    const int withdrawn = side == 0 ? sides->first : sides->second;
    const int winner = side == 0 ? sides->second : sides->first;
    if (const auto before = c->result(model(round)->gameAt(row))) {
        if (before->withdrawn == withdrawn)
            return false;
        return replaceResult(row, winner, std::nullopt, true);
    }
    return applyToCup([=](Cup &cup) { return cup.forfeit(round, withdrawn); }).done;
}

bool DeroulementWindow::enterScore(int row, const QString &typed)
{
    const Cup *c = cup();
    const int round = shownRound();
    const auto sides = c ? c->gameTeams(model(round)->gameAt(row)) : std::nullopt;
    if (!sides)
        return false;
    const auto points = parseScore(typed);
    if (!points) {
        say(QStringLiteral("« %1 » n'est pas un score : tapez les points de l'équipe A puis ceux "
                           "de l'équipe B, par exemple 13-7.")
                .arg(typed),
            true);
        return false;
    }
    const auto [a, b] = *points;
    const int winner = a >= b ? sides->first : sides->second;
    const Score score{std::max(a, b), std::min(a, b)};
    if (c->result(model(round)->gameAt(row)))
        return replaceResult(row, winner, score, false);
    return applyToCup([=](Cup &cup) { return cup.recordWinner(round, winner, score); }).done;
}

bool DeroulementWindow::drawShownRound()
{
    const int round = shownRound();
    const bool drawn = applyToCup([round](Cup &cup) { return cup.draw(round); }).done;
    if (drawn) {
        QTableView *view = table(round);
        if (view->model()->rowCount() > 0)
            view->setCurrentIndex(view->model()->index(0, RoundGamesModel::TeamA));
        view->setFocus();
    }
    return drawn;
}

bool DeroulementWindow::cancelShownRound()
{
    const int round = shownRound();
    return confirm(QStringLiteral("Annuler le tirage"),
                   QStringLiteral("Annuler le tirage du %1 ?").arg(roundLabel(round)),
                   [round](Cup &cup) { return cup.cancelDraw(round); });
}

bool DeroulementWindow::goToNextOpenGame()
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
    say(QStringLiteral("Toutes les parties du tour qui peuvent se jouer ont leur résultat."));
    return false;
}

bool DeroulementWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return FeatureWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const bool entry = sideKey(key->key()) >= 0 || key->key() == Qt::Key_F ||
                       key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched != table(shownRound()))
        // A table left behind when its round completed: its keys do nothing, and Enter must
        // not reach the buttons.
        return entry;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const int row = selectedRow();
    const int column = table(shownRound())->currentIndex().column();
    const int side = sideKey(key->key());
    if (m_forfeitPending) {
        m_forfeitPending = false;
        if (side >= 0 && row >= 0)
            runGuarded([&] { markForfeit(row, side); });
        else
            say(QStringLiteral("Forfait abandonné."));
        return true; // Esc ends the forfeit, not the window
    }
    // In the score's cell, digits start the score: only letters choose there.
    const bool digit = key->key() == Qt::Key_1 || key->key() == Qt::Key_2;
    if (side >= 0 && row >= 0 && !(digit && column == RoundGamesModel::ScoreColumn)) {
        runGuarded([&] { markWinner(row, side); });
        return true;
    }
    if (key->key() == Qt::Key_F && row >= 0) {
        m_forfeitPending = true;
        say(QStringLiteral("Forfait : 1 ou A si l'équipe A déclare forfait, 2 ou B si c'est "
                           "l'équipe B, Échap pour y renoncer."));
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        goToNextOpenGame();
        return true;
    }
    return false;
}

void DeroulementWindow::updateButtons()
{
    const Cup *c = cup();
    const int round = shownRound();
    m_draw->setText(QStringLiteral("Tirer le %1").arg(roundLabel(round)));
    m_cancel->setText(QStringLiteral("Annuler le tirage du %1").arg(roundLabel(round)));
    const bool drawable =
        c && round == c->drawnRounds() + 1 && (round == 1 || c->isComplete(round - 1));
    m_draw->setEnabled(drawable);
    m_cancel->setEnabled(c && round == c->drawnRounds());
    m_print->setEnabled(c && roundSheetPages(*c, round) > 0);
    m_pdf->setEnabled(m_print->isEnabled());
    m_web->setEnabled(c != nullptr);
}

void DeroulementWindow::updateBanner()
{
    const Cup *c = cup();
    if (!c)
        return;
    const int round = currentRound();
    QString banner;
    if (!c->isDrawn(round)) {
        banner = round == 1 ? QStringLiteral("Tirez le Tour 1 pour commencer la coupe.")
                            : QStringLiteral("%1 terminé — Tirez le %2.")
                                  .arg(roundLabel(round - 1), roundLabel(round));
    } else if (c->isComplete(round)) {
        banner = QStringLiteral("Coupe terminée : les équipes de la finale sont connues.");
    } else {
        const DrawRecord &drawn = *c->drawnRound(round);
        const int perGroup = c->layout().groupSize(round) == 4 ? 3 : 1;
        const int games = int(drawn.groups.size()) * perGroup;
        int results = 0;
        for (int group = 1; group <= int(drawn.groups.size()); ++group)
            for (int game = 1; game <= perGroup; ++game)
                results += c->result({round, group, game}).has_value();
        banner = QStringLiteral("%1 : %2 résultats sur %3")
                     .arg(roundLabel(round))
                     .arg(results)
                     .arg(games);
        banner += round < kCupRounds
                      ? QStringLiteral(" — Tirage du %1 quand ils sont tous saisis")
                            .arg(roundLabel(round + 1))
                      : QStringLiteral(" — La finale est connue quand ils sont tous saisis");
    }
    m_banner->setText(banner);
}

void DeroulementWindow::updateMeetings(int round)
{
    QLabel *label = m_pages[std::size_t(round - 1)].meetings;
    const Cup *c = cup();
    const std::vector<Meeting> meetings = c ? c->meetings(round) : std::vector<Meeting>{};
    label->setVisible(!meetings.empty());
    if (meetings.empty())
        return;
    QStringList lines;
    for (std::size_t k = 0; k < meetings.size() && k < std::size_t(kMeetingsShown); ++k) {
        const Meeting &m = meetings[k];
        const CupTeam &a = c->teams()[std::size_t(m.teamA)];
        const CupTeam &b = c->teams()[std::size_t(m.teamB)];
        lines << QStringLiteral("poule %1 : %2 et %3 (%4)")
                     .arg(m.group)
                     .arg(text(a.name), text(b.name), text(a.club));
    }
    QString shown = QStringLiteral("Rencontres de même club que le tirage n'a pas pu éviter : ") +
                    lines.join(QStringLiteral(" ; "));
    if (meetings.size() > std::size_t(kMeetingsShown))
        shown += QStringLiteral(" ; et %1 autres.").arg(meetings.size() - kMeetingsShown);
    label->setText(shown);
}

void DeroulementWindow::updateExempted()
{
    const Cup *c = cup();
    const bool any = c && c->layout().exempted > 0;
    m_exemptedText->setVisible(any);
    const std::vector<int> playing =
        any && !c->isDrawn(4) ? c->participants(4) : std::vector<int>{};
    m_exemptedList->setVisible(!playing.empty());
    if (!any)
        return;
    const std::vector<int> exempted = c->exemptedTeams();
    QStringList names;
    for (const int team : exempted)
        names << text(c->teams()[std::size_t(team)].name);
    if (c->isDrawn(4))
        m_exemptedText->setText(
            QStringLiteral("Exemptées du Tour 4 : %1.").arg(names.join(QStringLiteral(", "))));
    else if (playing.empty())
        m_exemptedText->setText(QStringLiteral("Le Tour 4 exempte %1 équipe(s), à choisir une "
                                               "fois le Tour 3 terminé.")
                                    .arg(c->layout().exempted));
    else
        m_exemptedText->setText(QStringLiteral("Exemptées du Tour 4 : %1 — cochez-en %2 autre(s) "
                                               "avant le tirage pour changer.")
                                    .arg(names.join(QStringLiteral(", ")))
                                    .arg(c->layout().exempted));
    const QSignalBlocker quiet(m_exemptedList);
    if (playing != m_exemptedChoices) {
        m_exemptedChoices = playing;
        m_exemptedList->clear();
        for (const int team : playing) {
            const CupTeam &t = c->teams()[std::size_t(team)];
            auto *item = new QListWidgetItem(
                t.club.empty() ? text(t.name) : text(t.name) + QStringLiteral(" — ") + text(t.club),
                m_exemptedList);
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
    }
    for (int k = 0; k < m_exemptedList->count(); ++k) {
        const bool checked = std::find(exempted.begin(), exempted.end(),
                                       m_exemptedChoices[std::size_t(k)]) != exempted.end();
        m_exemptedList->item(k)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void DeroulementWindow::exemptedToggled(QListWidgetItem *item)
{
    const Cup *c = cup();
    if (!c)
        return;
    std::vector<int> chosen;
    for (int k = 0; k < m_exemptedList->count(); ++k)
        if (m_exemptedList->item(k)->checkState() == Qt::Checked)
            chosen.push_back(m_exemptedChoices[std::size_t(k)]);
    // Checking one more than the plan exempts replaces the one checked before it.
    if (int(chosen.size()) > c->layout().exempted && item->checkState() == Qt::Checked) {
        const int added = m_exemptedChoices[std::size_t(m_exemptedList->row(item))];
        const std::vector<int> before = c->exemptedTeams();
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                    [&](int team) {
                                        return team != added && !before.empty() &&
                                               team == before.front();
                                    }),
                     chosen.end());
    }
    if (int(chosen.size()) != c->layout().exempted) {
        updateExempted();
        say(QStringLiteral("Le Tour 4 exempte %1 équipe(s) : cochez-en une autre à la place.")
                .arg(c->layout().exempted),
            true);
        return;
    }
    std::sort(chosen.begin(), chosen.end());
    applyToCup([chosen](Cup &cup) { return cup.setExempted(chosen); });
    updateExempted();
}

void DeroulementWindow::updateFinal()
{
    const Cup *c = cup();
    const std::vector<int> teams = c ? c->finalTeams() : std::vector<int>{};
    m_final->setVisible(!teams.empty());
    QStringList names;
    for (const int team : teams) {
        const CupTeam &t = c->teams()[std::size_t(team)];
        names << (t.club.empty()
                      ? text(t.name)
                      : text(t.name) + QStringLiteral(" (") + text(t.club) + QStringLiteral(")"));
    }
    m_final->setText(QStringLiteral("Équipes de la finale : ") + names.join(QStringLiteral(", ")) +
                     QStringLiteral("."));
}

void DeroulementWindow::printSheets()
{
    const Cup *c = cup();
    const int round = shownRound();
    if (!c || roundSheetPages(*c, round) == 0)
        return;
    const QString stamp = sheetStampNow();
    const QString name = cupName();
    showPrintPreview(this, QStringLiteral("Feuilles du %1").arg(roundLabel(round)),
                     QStringLiteral("apercuFeuilles"),
                     QStringLiteral("Imprimer les feuilles du %1").arg(roundLabel(round)),
                     [&](QPainter &painter, QPrinter &printer) {
                         paintRoundSheets(painter, printer, *c, round, name, stamp);
                     });
}

bool DeroulementWindow::exportSheetsPdfTo(const QString &fileName)
{
    const Cup *c = cup();
    const int round = shownRound();
    if (!c || roundSheetPages(*c, round) == 0)
        return false;
    return writeAtomically(
        this, fileName, QStringLiteral("Feuilles du tour en PDF"),
        [&](QSaveFile &file) { return writeRoundSheetsPdf(&file, *c, round, cupName()); });
}

void DeroulementWindow::exportSheetsPdf()
{
    const auto fileName = askSaveFileName(this, QStringLiteral("Feuilles du tour en PDF"),
                                          QStringLiteral("feuilles-tour-%1.pdf").arg(shownRound()),
                                          {pdfFilter()}, QStringLiteral("pdf"));
    if (fileName)
        exportSheetsPdfTo(*fileName);
}

bool DeroulementWindow::exportPageTo(const QString &fileName)
{
    const Cup *c = cup();
    if (!c)
        return false;
    return writeAtomically(
        this, fileName, QStringLiteral("Exporter la page des résultats"), [&](QSaveFile &file) {
            const std::string page = cupHtml(*c);
            return file.write(page.data(), qint64(page.size())) == qint64(page.size());
        });
}

void DeroulementWindow::exportPage()
{
    const auto fileName = askSaveFileName(
        this, QStringLiteral("Exporter la page des résultats"), QStringLiteral("resultats.html"),
        {QStringLiteral("Page web (*.html)")}, QStringLiteral("html"));
    if (fileName)
        exportPageTo(*fileName);
}

DeroulementWindow *openDeroulement(FeatureHost &host, const DeroulementWindow::SourceGetter &source)
{
    auto *window = FeatureWindow::find<DeroulementWindow>(host, kName);
    if (!window)
        window = new DeroulementWindow(host, source); // the host's registry owns it
    window->showRaised();
    window->refresh();
    return window;
}

void installDeroulement(FeatureHost &host, DeroulementWindow::SourceGetter source)
{
    addFeatureAction(host, QStringLiteral("Déroulement de la coupe…"),
                     QStringLiteral("actionDeroulement"), QKeySequence(Qt::Key_F5),
                     [&host, source] { openDeroulement(host, source); });
}

} // namespace velmorin
