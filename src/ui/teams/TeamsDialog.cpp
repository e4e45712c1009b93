// The teams' dialog: its controls, the seed of the draw, the plan it follows and its
// installation on the window.

#include "TeamsDialog.h"

#include "ClassAppearance.h"
#include "Contrast.h"
#include "CupContents.h"
#include "CupSession.h"
#include "EntrySheetPainter.h"
#include "FeatureRows.h"
#include "IntText.h"
#include "Named.h"
#include "Placement.h"
#include "ReflowLayout.h"
#include "TeamTableModel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velmorin {

TeamsDialog::TeamsDialog(FeatureHost &host)
    : FeatureWindow(host, QStringLiteral("Equipes"), QStringLiteral("equipes"))
{
    setWindowTitle(QStringLiteral("Équipes inscrites"));
    // The marks and the class colours are fixed: under a dark scheme they need a light face.
    keepReadable({outOfLevelColour(), classColour(ExemptionClass::Class2),
                  classColour(ExemptionClass::Class3)});

    // Made in the order the keyboard goes through them.
    QLayout *top = buildListRow();
    QTableView *teams = buildTeamTable();
    QLayout *side = buildLevelsColumn();
    buildStatusLines();
    QLayout *draw = buildDrawRow();
    QLayout *output = buildEntriesRow();

    // The levels and the wishes go below the teams in a narrow window.
    auto *middle = new ReflowLayout;
    middle->addWidget(teams, 3);
    middle->addLayout(side, 1);
    // The entries' buttons go below the draw in a narrow window.
    auto *actions = new ReflowLayout;
    actions->addLayout(draw, 1);
    actions->addLayout(output);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_readOnly);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(m_planLabel);
    layout->addWidget(m_status);
    layout->addLayout(actions);
    layout->addWidget(m_seedError);
    resize(1000, 580);

    connectControls();
    followCupSession();
}

QLayout *TeamsDialog::buildListRow()
{
    m_open = named(new QPushButton(QStringLiteral("Ouvrir une liste…"), this),
                   QStringLiteral("OuvrirListe"),
                   QStringLiteral("Lit la liste des équipes dans un classeur ODS ou un fichier "
                                  "CSV (colonnes Équipe ou Nom, Club, Niveau, Points)"));
    m_listLabel = new QLabel(this);
    m_listLabel->setObjectName(QStringLiteral("ListeEquipes"));
    auto *top = new QHBoxLayout;
    top->addWidget(m_open);
    top->addWidget(m_listLabel, 1);
    return top;
}

QTableView *TeamsDialog::buildTeamTable()
{
    m_teamModel = new TeamTableModel(this);
    m_teamTable = named(new QTableView(this), QStringLiteral("TableEquipes"),
                        QStringLiteral("Les équipes de la liste et, pour le plan affiché dans "
                                       "la fenêtre principale, leur tour d'entrée"));
    m_teamTable->setModel(m_teamModel);
    m_teamTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_teamTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_teamTable->verticalHeader()->setDefaultSectionSize(m_teamTable->fontMetrics().height() + 6);
    m_teamTable->horizontalHeader()->setSectionResizeMode(TeamTableModel::Name,
                                                          QHeaderView::Stretch);
    m_teamTable->horizontalHeader()->setSectionResizeMode(TeamTableModel::Club,
                                                          QHeaderView::Stretch);
    // Fixed widths: measuring ten thousand rows' contents would make opening a list slow.
    for (int c : {TeamTableModel::Level, TeamTableModel::Points})
        m_teamTable->setColumnWidth(c, 64);
    m_teamTable->setColumnWidth(TeamTableModel::Round, 150);
    return m_teamTable;
}

QLayout *TeamsDialog::buildLevelsColumn()
{
    m_levels = named(
        new QTableWidget(0, 3, this), QStringLiteral("NiveauxTours"),
        QStringLiteral(
            "Chaque niveau de la liste, son nombre d'équipes et le tour où elles doivent entrer"));
    m_levels->setHorizontalHeaderLabels(
        {QStringLiteral("Niveau"), QStringLiteral("Équipes"), QStringLiteral("Tour d'entrée")});
    m_levels->verticalHeader()->hide();
    m_levels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_levels->setSelectionMode(QAbstractItemView::SingleSelection);
    m_levels->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_levels->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_levels->horizontalHeader()->setStretchLastSection(true);
    // As wide as its three columns need: narrower, the notes under it would wrap into a column
    // taller than a small screen.
    m_levels->setMinimumWidth(
        m_levels->fontMetrics().horizontalAdvance(QStringLiteral("Sans niveau  Équipes  Tour 4 ▾")) +
        2 * m_levels->frameWidth());
    buildLevelOrderControls();
    m_wishes = named(new QTableWidget(1, kEntryRounds, this), QStringLiteral("SouhaitsEquipes"),
                     QStringLiteral("Les entrantes de chaque tour que donnent les tours des "
                                    "niveaux : « Chercher les plans » les demande"));
    m_wishes->setAccessibleName(QStringLiteral("Entrantes souhaitées"));
    m_wishes->setVerticalHeaderLabels({QStringLiteral("Souhaitées")});
    for (int round = 1; round <= kEntryRounds; ++round)
        m_wishes->setHorizontalHeaderItem(round - 1, new QTableWidgetItem(entryRoundText(round)));
    m_wishes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_wishes->setSelectionMode(QAbstractItemView::NoSelection);
    m_wishes->setFocusPolicy(Qt::NoFocus);
    m_wishes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_wishes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_wishes->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_wishes->setFixedHeight(m_wishes->horizontalHeader()->sizeHint().height() +
                             m_wishes->verticalHeader()->defaultSectionSize() +
                             2 * m_wishes->frameWidth());
    m_search = named(
        new QPushButton(QStringLiteral("Chercher les plans"), this),
        QStringLiteral("ChercherPlans"),
        QStringLiteral("Ouvre la recherche d'un plan avec les entrantes que donnent les niveaux"));

    auto *side = new QVBoxLayout;
    side->addWidget(m_levels, 1);
    auto *moves = new QHBoxLayout;
    moves->addWidget(m_levelUp);
    moves->addWidget(m_levelDown);
    moves->addStretch(1);
    side->addLayout(moves);
    side->addWidget(m_orderLabel);
    side->addWidget(m_gapLabel);
    side->addWidget(m_wishes);
    side->addWidget(m_search);
    return side;
}

void TeamsDialog::buildStatusLines()
{
    m_readOnly = named(new QLabel(this), QStringLiteral("LectureSeuleEquipes"),
                       QStringLiteral("Pourquoi la liste de la coupe ne peut pas être changée "
                                      "ici"));
    m_readOnly->setWordWrap(true);
    m_readOnly->setVisible(false);
    m_planLabel = new QLabel(this);
    m_planLabel->setObjectName(QStringLiteral("PlanEquipes"));
    // Wrapped, as every sentence here: one line of its own would widen the window past a
    // small screen.
    m_planLabel->setWordWrap(true);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("EtatEquipes"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The table gives up its height first: the plan and the status are read whole.
    for (QLabel *label : {m_planLabel, m_status})
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

QLayout *TeamsDialog::buildDrawRow()
{
    auto *seedLabel = new QLabel(QStringLiteral("Graine du tirage :"), this);
    m_seedEdit = new QLineEdit(this);
    m_seedEdit->setObjectName(QStringLiteral("Graine"));
    m_seedEdit->setProperty(kHintProperty,
                            QStringLiteral("Graine du tirage au sort entre équipes à égalité : la "
                                           "même graine donne la même répartition"));
    markRefusedField(m_seedEdit, QString());
    m_seedError = new QLabel(this);
    m_seedError->setObjectName(QStringLiteral("GraineRefusee"));
    m_seedError->setWordWrap(true);
    m_seedError->setVisible(false);
    m_seedEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,20}")), this));
    m_seedEdit->setMinimumWidth(m_seedEdit->fontMetrics().horizontalAdvance(QString(22, '0')));
    seedLabel->setBuddy(m_seedEdit);
    m_newDraw = named(
        new QPushButton(QStringLiteral("Nouveau tirage"), this), QStringLiteral("NouveauTirage"),
        QStringLiteral("Tire une nouvelle graine et refait le tirage entre équipes à égalité"));
    auto *draw = new QHBoxLayout;
    draw->addWidget(seedLabel);
    draw->addWidget(m_seedEdit);
    draw->addWidget(m_newDraw);
    draw->addStretch(1);
    return draw;
}

QLayout *TeamsDialog::buildEntriesRow()
{
    m_save = named(new QPushButton(QStringLiteral("Enregistrer les entrées…"), this),
                   QStringLiteral("EnregistrerEntrees"),
                   QStringLiteral("Enregistre le tour d'entrée de chaque équipe en ODS ou en CSV"));
    m_print = named(new QPushButton(QStringLiteral("Imprimer les entrées…"), this),
                    QStringLiteral("ImprimerEntrees"),
                    QStringLiteral("Imprime une feuille par tour avec les équipes qui y entrent"));
    m_pdf =
        named(new QPushButton(QStringLiteral("Exporter les entrées en PDF…"), this),
              QStringLiteral("ExporterEntreesPdf"),
              QStringLiteral("Écrit les feuilles des entrées, une par tour, dans un fichier PDF"));
    auto *output = new QHBoxLayout;
    output->addWidget(m_save);
    output->addWidget(m_print);
    output->addWidget(m_pdf);
    return output;
}

void TeamsDialog::connectControls()
{
    // Enter in the seed field takes the seed: no button of the dialog is its default.
    for (QPushButton *button :
         {m_open, m_levelUp, m_levelDown, m_search, m_newDraw, m_save, m_print, m_pdf})
        button->setAutoDefault(false);
    const auto guarded = [this](QPushButton *button, void (TeamsDialog::*slot)()) {
        connect(button, &QPushButton::clicked, this,
                [this, slot] { runGuarded([this, slot] { (this->*slot)(); }); });
    };
    guarded(m_open, &TeamsDialog::chooseList);
    guarded(m_search, &TeamsDialog::searchPlans);
    guarded(m_newDraw, &TeamsDialog::drawNewSeed);
    guarded(m_save, &TeamsDialog::saveEntries);
    guarded(m_print, &TeamsDialog::printEntries);
    guarded(m_pdf, &TeamsDialog::exportEntriesPdf);
    connect(m_seedEdit, &QLineEdit::editingFinished, this,
            [this] { runGuarded([this] { applySeedText(); }); });
    connect(host().notifier(), &FeatureNotifier::planShown, this, &TeamsDialog::followPlan);
    connect(host().notifier(), &FeatureNotifier::calculated, this, &TeamsDialog::followPlan);
}

void TeamsDialog::followCupSession()
{
    // A cup already open gives its own seed and list; without one, a seed is drawn.
    CupSession &session = CupSession::of(host());
    connect(&session, &CupSession::teamsRestored, this, [this] { restoreTeams(); });
    // Opened, closed, or its round 1 drawn or cancelled: the teams can change or not.
    for (auto signal : {&CupSession::opened, &CupSession::closed, &CupSession::changed})
        connect(&session, signal, this, &TeamsDialog::updateButtons);
    m_restoring = true;
    setSeed(session.teams().seed.value_or(QRandomGenerator::system()->generate64()));
    m_restoring = false;
    showLevels();
    restoreTeams();
}

TeamsDialog::~TeamsDialog() = default;

void TeamsDialog::setSeed(std::uint64_t seed)
{
    if (!m_restoring && teamsLocked())
        return;
    showSeedError(QString());
    m_seed = seed;
    m_seedEdit->setText(QString::number(seed));
    followPlan();
    reportTeams();
}

void TeamsDialog::reportTeams()
{
    if (m_restoring)
        return;
    CupTeams teams;
    if (m_list) {
        teams.list = m_importedList;
        teams.levelRounds = levelRoundsOf(m_mapping);
        if (m_mapping.order().chosen()) {
            for (const Level &level : m_mapping.order().levels())
                teams.levelOrder.push_back(levelText(level));
        }
    }
    teams.seed = m_seed;
    CupSession::of(host()).setTeams(teams);
}

void TeamsDialog::restoreTeams()
{
    const CupTeams &teams = CupSession::of(host()).teams();
    m_restoring = true;
    if (teams.seed && *teams.seed != m_seed)
        setSeed(*teams.seed);
    if (teams.list && teams.list != m_importedList) {
        // The teams the cup keeps, whatever this program's reader makes of its rows.
        TeamListResult read = teams.teams
                                  ? TeamListResult{teams.teams, {}, {}}
                                  : teamListFromRows(teams.list->fileName, teams.list->rows);
        if (read.ok()) {
            // The levels' order the cup keeps, when it still names every level of the list.
            std::optional<LevelOrder> order;
            std::vector<Level> strongestFirst;
            for (const std::string &key : teams.levelOrder) {
                if (const std::optional<Level> level = readLevel(key))
                    strongestFirst.push_back(*level);
            }
            const std::vector<Level> listed = levelsOf(*read.list);
            if (!strongestFirst.empty() && strongestFirst.size() == listed.size() &&
                std::is_permutation(listed.begin(), listed.end(), strongestFirst.begin()))
                order = LevelOrder(strongestFirst, true);
            showList(std::move(*read.list), toQString(teams.list->fileName), std::move(order));
            m_importedList = teams.list;
        }
    }
    // The same list too: a round the cup refused goes back to the cup's.
    if (teams.list && teams.list == m_importedList) {
        for (const LevelRoundChoice &choice : teams.levelRounds) {
            const std::optional<Level> level =
                choice.level.empty() ? std::nullopt : readLevel(choice.level);
            if (choice.level.empty() || level)
                setLevelRound(level, choice.round);
        }
    }
    m_restoring = false;
}

bool TeamsDialog::teamsLocked()
{
    if (CupSession::of(host()).teamsLockedReason().isEmpty())
        return false;
    updateButtons(); // the sentence says why
    return true;
}

void TeamsDialog::drawNewSeed()
{
    setSeed(QRandomGenerator::system()->generate64());
}

void TeamsDialog::applySeedText()
{
    if (teamsLocked()) {
        m_seedEdit->setText(QString::number(m_seed));
        return;
    }
    const QString text = m_seedEdit->text();
    // Empty: the field shows the seed in use again.
    if (text.isEmpty()) {
        m_seedEdit->setText(QString::number(m_seed));
        showSeedError(QString());
        return;
    }
    bool ok = false;
    const std::uint64_t seed = text.toULongLong(&ok, 10);
    // Above 2^64 - 1 the typed text stays, with the reason: the draw keeps the seed in use.
    if (!ok) {
        showSeedError(
            QStringLiteral("'%1' est trop grand pour le tirage : au plus %2. Le tirage garde "
                           "la graine %3.")
                .arg(
                    text,
                    QString::fromStdString(groupedDigits(std::string_view("18446744073709551615"))),
                    QString::number(m_seed)));
        return;
    }
    showSeedError(QString());
    if (seed != m_seed)
        setSeed(seed);
}

void TeamsDialog::showSeedError(const QString &message)
{
    markRefusedField(m_seedEdit, message);
    m_seedError->setText(message);
    m_seedError->setVisible(!message.isEmpty());
}

void TeamsDialog::followPlan()
{
    m_plan = host().shownPlan();
    m_assignment.reset();
    m_assignmentError.clear();
    if (m_list && m_plan) {
        AssignmentResult result = assignTeams(*m_list, m_mapping, planEntrants(*m_plan), m_seed);
        if (result.ok())
            m_assignment = std::move(result.assignment);
        else
            m_assignmentError = std::move(result.error);
    }
    m_teamModel->show(m_list ? &*m_list : nullptr, m_assignment ? &*m_assignment : nullptr);

    if (m_plan) {
        // The entrants per round are the status line's: said once.
        m_planLabel->setText(QStringLiteral("Plan affiché : ") +
                             planSummaryLines(*m_plan).constFirst());
        QPalette palette = m_planLabel->palette();
        palette.setColor(QPalette::WindowText, classColour(m_plan->exemptionClass));
        m_planLabel->setPalette(palette);
    } else {
        m_planLabel->setText(QStringLiteral("Plan affiché : aucun."));
        m_planLabel->setPalette(palette());
    }
    m_status->setText(statusText());
    updateButtons();
}

QString TeamsDialog::statusText() const
{
    if (!m_list)
        return QStringLiteral("Ouvrez une liste d'équipes (CSV ou ODS).");
    if (!m_plan)
        return QStringLiteral("Calculez un plan dans la fenêtre principale : les tours "
                              "d'entrée suivent le plan qu'elle affiche.");
    if (!m_assignment)
        return toQString(m_assignmentError);
    const std::array<Count, kEntryRounds> &perRound = m_assignment->perRound;
    // No-break spaces: a line never ends inside "Tour 2 : 12".
    const QChar glue(0x00A0);
    QStringList rounds;
    for (int round = 1; round <= kEntryRounds; ++round)
        rounds << QStringLiteral("Tour%1%2%1:%1%3")
                      .arg(glue)
                      .arg(round)
                      .arg(perRound[std::size_t(round - 1)]);
    return QStringLiteral("Entrantes : %1 — %2 hors niveau.")
        .arg(rounds.join(QStringLiteral(" · ")))
        .arg(m_assignment->outOfLevelCount);
}

void TeamsDialog::updateButtons()
{
    m_search->setEnabled(m_list.has_value() &&
                         isSignalConnected(QMetaMethod::fromSignal(&TeamsDialog::plansWanted)));
    const bool assigned = m_assignment.has_value();
    m_save->setEnabled(assigned);
    m_print->setEnabled(assigned);
    m_pdf->setEnabled(assigned);
    // A cup open read-only or whose round 1 is drawn: its list, levels, order and seed are
    // shown, never changed here.
    const QString reason = CupSession::of(host()).teamsLockedReason();
    const bool writable = reason.isEmpty();
    m_readOnly->setText(reason);
    m_readOnly->setVisible(!writable);
    m_open->setEnabled(writable);
    m_newDraw->setEnabled(writable);
    m_seedEdit->setReadOnly(!writable);
    for (int row = 0; row < m_levels->rowCount(); ++row) {
        if (QWidget *chooser = m_levels->cellWidget(row, 2))
            chooser->setEnabled(writable);
    }
    updateMoveButtons();
}

void TeamsDialog::showEvent(QShowEvent *event)
{
    updateButtons();
    QDialog::showEvent(event);
}

void installTeams(FeatureHost &host, PlanSearchOpener searchPlans)
{
    addFeatureAction(host, QStringLiteral("Équipes inscrites…"), QStringLiteral("actionEquipes"),
                     QKeySequence(Qt::Key_F4), [host = &host, searchPlans] {
                         const QString name = QStringLiteral("Equipes");
                         if (!FeatureWindow::find(*host, name) && searchPlans) {
                             auto *dialog = new TeamsDialog(*host); // the host's registry owns it
                             QObject::connect(dialog, &TeamsDialog::plansWanted, dialog,
                                              searchPlans);
                         }
                         FeatureWindow::open<TeamsDialog>(*host, name);
                     });
}

} // namespace velmorin
