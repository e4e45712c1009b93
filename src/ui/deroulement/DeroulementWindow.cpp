#include "DeroulementWindow.h"

#include "DeroulementPrivate.h"

#include "Named.h"
#include "RoundGamesModel.h"
#include "RoundSheets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
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
// No key typed opens the score (1 and 2 name the winner in every column); none on a cup open
// read-only.
const QAbstractItemView::EditTriggers kEntryTriggers = QAbstractItemView::DoubleClicked |
                                                       QAbstractItemView::EditKeyPressed;

} // namespace

using namespace deroulementprivate;

DeroulementWindow::DeroulementWindow(FeatureHost &host, SourceGetter source)
    : FeatureWindow(host, kName, QStringLiteral("deroulement")), m_source(std::move(source))
{
    setWindowTitle(QStringLiteral("Déroulement de la coupe"));
    setModal(false);
    const QColor bannerColour(0, 0, 128);
    keepReadable({bannerColour, QColor(Qt::darkRed)});

    m_stack = new QStackedWidget(this);
    auto *none = new QLabel(this);
    none->setObjectName(QStringLiteral("AucuneCoupe"));
    none->setWordWrap(true);
    none->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(none);

    auto *content = new QWidget(this);
    m_banner = named(new QLabel(content), QStringLiteral("BandeauDeroulement"),
                     QStringLiteral("Où en est la coupe, et ce qui vient ensuite"));
    m_banner->setWordWrap(true);
    QFont bannerFont = m_banner->font();
    bannerFont.setBold(true);
    m_banner->setFont(bannerFont);
    QPalette bannerPalette = m_banner->palette();
    bannerPalette.setColor(QPalette::WindowText, bannerColour);
    m_banner->setPalette(bannerPalette);
    m_message = named(new QLabel(content), QStringLiteral("MessageDeroulement"),
                      QStringLiteral("Ce que la dernière saisie a fait, ou pourquoi elle a "
                                     "été refusée"));
    m_message->setWordWrap(true);
    m_readOnly = named(new QLabel(content), QStringLiteral("LectureSeule"),
                       QStringLiteral("Pourquoi rien ne peut être changé dans cette coupe ici"));
    m_readOnly->setWordWrap(true);

    m_tabs = named(new QTabWidget(content), QStringLiteral("OngletsTours"),
                   QStringLiteral("Un onglet par tour"));
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
            "1 ou A : l'équipe A gagne ; 2 ou B : l'équipe B gagne ; S : le score (13-7) ; "
            "F puis 1 ou 2 : forfait ; Entrée : partie suivante sans résultat"));
        page.table->setModel(page.model);
        // A delegate of its own: the views' shared default would send a score typed in one
        // tab's table to another's.
        page.table->setItemDelegate(new QStyledItemDelegate(page.table));
        page.table->setSelectionBehavior(QAbstractItemView::SelectRows);
        page.table->setSelectionMode(QAbstractItemView::SingleSelection);
        page.table->setEditTriggers(kEntryTriggers);
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
        table(shownRound())->setFocus(); // the keys go to the round shown
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
    contentLayout->addWidget(m_readOnly);
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
    // No cup to play: the open one says what it lacks.
    const QString unplayable = m_connected ? m_connected->unplayableReason() : QString();
    qobject_cast<QLabel *>(m_stack->widget(0))
        ->setText(!unplayable.isEmpty()
                      ? unplayable
                      : QStringLiteral("Aucune coupe ouverte : « Nouvelle coupe… » (Ctrl+N) ou "
                                       "« Ouvrir une coupe… » (Ctrl+O) dans le menu de la "
                                       "fenêtre principale."));
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
    view->setFocus();
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

QString DeroulementWindow::readOnlyReason() const
{
    return m_connected ? m_connected->readOnlyReason() : QString();
}

CupAnswer DeroulementWindow::applyToCup(CupCommand command)
{
    CupRunSource *source = connectSource();
    if (!source || !source->cup())
        return CupAnswer::refused("Aucune coupe n'est ouverte.");
    command.basedOn = source->cup()->version();
    const CupAnswer answer = source->apply(command);
    say(text(answer.text), !answer.done);
    return answer;
}

bool DeroulementWindow::confirm(const QString &title, const QString &question,
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
    Cup trial = *c; // the cup says what it would discard without changing the real one
    const CupAnswer preview = trial.apply(command);
    if (!preview.done || !preview.changed) {
        say(text(preview.text), !preview.done);
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
    return applyToCup(command).done;
}

void DeroulementWindow::updateButtons()
{
    const Cup *c = cup();
    const int round = shownRound();
    m_draw->setText(QStringLiteral("Tirer le %1").arg(roundLabel(round)));
    m_cancel->setText(QStringLiteral("Annuler le tirage du %1").arg(roundLabel(round)));
    const QString reason = readOnlyReason();
    const bool writable = reason.isEmpty();
    m_readOnly->setText(reason);
    m_readOnly->setVisible(!writable);
    m_draw->setEnabled(writable && c && !c->drawRefusal(round));
    m_cancel->setEnabled(writable && c && round == c->drawnRounds());
    m_exemptedList->setEnabled(writable);
    for (const RoundPage &page : m_pages)
        page.table->setEditTriggers(writable ? kEntryTriggers : QAbstractItemView::NoEditTriggers);
    m_print->setEnabled(c && roundSheetPages(*c, round) > 0);
    m_pdf->setEnabled(m_print->isEnabled());
    m_web->setEnabled(c != nullptr);
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
