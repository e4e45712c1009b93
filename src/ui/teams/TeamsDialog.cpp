#include "TeamsDialog.h"

#include "ClassAppearance.h"
#include "Contrast.h"
#include "EntrySheetPainter.h"
#include "Placement.h"
#include "PrintPreview.h"
#include "PrintedSheet.h"
#include "SaveFile.h"
#include "TeamCsv.h"
#include "TeamFile.h"
#include "Version.h"
#include "WaitCursor.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <limits>

namespace velmorin {

namespace {

const QString kTitle = QStringLiteral("Équipes inscrites");
const QString kOdsFilter = QStringLiteral("Classeur OpenDocument (*.ods)");
const QString kFrenchCsvFilter = QStringLiteral("CSV pour tableur français (;) (*.csv)");
const QString kPdfFilter = QStringLiteral("PDF (*.pdf)");

// Teams entering at another round than their level's: dark orange, readable on white.
const QColor kOutOfLevelColour(0xA0, 0x40, 0x00);

// The warnings a box lists before it only counts the others.
constexpr int kListedWarnings = 10;

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString roundText(int round)
{
    return QStringLiteral("Tour %1").arg(round);
}

} // namespace

// The teams of the list in its order, with their entry round once a plan is assigned.
class TeamTableModel : public QAbstractTableModel
{
public:
    enum Column { Name, Club, Level, Points, Round, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void show(const TeamList *list, const Assignment *assignment)
    {
        if (list == m_list && rowCount() == int(list ? list->teams.size() : 0)) {
            // Same rows: only the rounds change, and the view keeps its scrolling.
            m_assignment = assignment;
            if (rowCount() > 0)
                emit dataChanged(index(0, Round), index(rowCount() - 1, Round));
            return;
        }
        beginResetModel();
        m_list = list;
        m_assignment = assignment;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_list ? 0 : int(m_list->teams.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_list || !index.isValid() || index.row() >= rowCount())
            return {};
        const auto row = std::size_t(index.row());
        const Team &team = m_list->teams[row];
        const bool outOfLevel = m_assignment && m_assignment->outOfLevel[row];
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case Name:
                return fromUtf8(team.name);
            case Club:
                return fromUtf8(team.club);
            case Level:
                return fromUtf8(levelText(team.level));
            case Points:
                return fromUtf8(team.pointsText);
            case Round:
                if (!m_assignment)
                    return {};
                return outOfLevel
                           ? QStringLiteral("%1, %2").arg(roundText(m_assignment->roundOfTeam[row]),
                                                          fromUtf8(kOutOfLevel))
                           : roundText(m_assignment->roundOfTeam[row]);
            }
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == Level || index.column() == Points)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ForegroundRole:
            return outOfLevel ? QVariant(kOutOfLevelColour) : QVariant();
        case Qt::FontRole:
            if (outOfLevel) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char *const kHeaders[] = {"Équipe", "Club", "Niveau", "Points",
                                               "Tour d'entrée"};
        return section >= 0 && section < ColumnCount ? QString::fromUtf8(kHeaders[section])
                                                     : QVariant();
    }

private:
    const TeamList *m_list = nullptr;
    const Assignment *m_assignment = nullptr;
};

TeamsDialog::TeamsDialog(TVlmFPrg *window) : QDialog(window), m_window(window)
{
    setObjectName(QStringLiteral("Equipes"));
    setWindowTitle(kTitle);
    setModal(false);
    // The marks and the class colours are fixed: under a dark scheme they need a light face.
    keepDesignedBackground(this, {kOutOfLevelColour, classColour(ExemptionClass::Class2),
                                  classColour(ExemptionClass::Class3)});

    m_open = new QPushButton(QStringLiteral("Ouvrir une liste…"), this);
    m_open->setObjectName(QStringLiteral("OuvrirListe"));
    m_open->setToolTip(QStringLiteral("Lit la liste des équipes dans un classeur ODS ou un fichier "
                                      "CSV (colonnes Équipe ou Nom, Club, Niveau, Points)"));
    m_listLabel = new QLabel(this);
    m_listLabel->setObjectName(QStringLiteral("ListeEquipes"));

    m_teamModel = new TeamTableModel(this);
    m_teamTable = new QTableView(this);
    m_teamTable->setObjectName(QStringLiteral("TableEquipes"));
    m_teamTable->setToolTip(QStringLiteral("Les équipes de la liste et, pour le plan affiché dans "
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

    m_levels = new QTableWidget(0, 3, this);
    m_levels->setObjectName(QStringLiteral("NiveauxTours"));
    m_levels->setToolTip(QStringLiteral(
        "Chaque niveau de la liste, son nombre d'équipes et le tour où elles doivent entrer"));
    m_levels->setHorizontalHeaderLabels(
        {QStringLiteral("Niveau"), QStringLiteral("Équipes"), QStringLiteral("Tour d'entrée")});
    m_levels->verticalHeader()->hide();
    m_levels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_levels->setSelectionMode(QAbstractItemView::NoSelection);
    m_levels->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_levels->horizontalHeader()->setStretchLastSection(true);
    m_wishesLabel = new QLabel(this);
    m_wishesLabel->setObjectName(QStringLiteral("SouhaitsEquipes"));
    m_wishesLabel->setWordWrap(true);
    m_search = new QPushButton(QStringLiteral("Chercher les plans"), this);
    m_search->setObjectName(QStringLiteral("ChercherPlans"));
    m_search->setToolTip(
        QStringLiteral("Ouvre la recherche d'un plan avec les entrantes que donnent les niveaux"));

    m_planLabel = new QLabel(this);
    m_planLabel->setObjectName(QStringLiteral("PlanEquipes"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("EtatEquipes"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The table gives up its height first: the plan and the status are read whole.
    for (QLabel *label : {m_planLabel, m_status})
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

    auto *seedLabel = new QLabel(QStringLiteral("Graine du tirage :"), this);
    m_seedEdit = new QLineEdit(this);
    m_seedEdit->setObjectName(QStringLiteral("Graine"));
    m_seedEdit->setToolTip(QStringLiteral("Graine du tirage au sort entre équipes à égalité : la "
                                          "même graine donne la même répartition"));
    m_seedEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,20}")), this));
    m_seedEdit->setMinimumWidth(m_seedEdit->fontMetrics().horizontalAdvance(QString(22, '0')));
    seedLabel->setBuddy(m_seedEdit);
    m_newDraw = new QPushButton(QStringLiteral("Nouveau tirage"), this);
    m_newDraw->setObjectName(QStringLiteral("NouveauTirage"));
    m_newDraw->setToolTip(
        QStringLiteral("Tire une nouvelle graine et refait le tirage entre équipes à égalité"));
    m_save = new QPushButton(QStringLiteral("Enregistrer les entrées…"), this);
    m_save->setObjectName(QStringLiteral("EnregistrerEntrees"));
    m_save->setToolTip(
        QStringLiteral("Enregistre le tour d'entrée de chaque équipe en ODS ou en CSV"));
    m_print = new QPushButton(QStringLiteral("Imprimer les entrées…"), this);
    m_print->setObjectName(QStringLiteral("ImprimerEntrees"));
    m_print->setToolTip(
        QStringLiteral("Imprime une feuille par tour avec les équipes qui y entrent"));
    m_pdf = new QPushButton(QStringLiteral("Exporter les entrées en PDF…"), this);
    m_pdf->setObjectName(QStringLiteral("ExporterEntreesPdf"));
    m_pdf->setToolTip(
        QStringLiteral("Écrit les feuilles des entrées, une par tour, dans un fichier PDF"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_open);
    top->addWidget(m_listLabel, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(m_levels, 1);
    side->addWidget(m_wishesLabel);
    side->addWidget(m_search);
    auto *middle = new QHBoxLayout;
    middle->addWidget(m_teamTable, 3);
    middle->addLayout(side, 1);
    auto *draw = new QHBoxLayout;
    draw->addWidget(seedLabel);
    draw->addWidget(m_seedEdit);
    draw->addWidget(m_newDraw);
    draw->addStretch(1);
    draw->addWidget(m_save);
    draw->addWidget(m_print);
    draw->addWidget(m_pdf);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(m_planLabel);
    layout->addWidget(m_status);
    layout->addLayout(draw);
    resize(1000, 580);
    openBeside(this, window, [window] { return window->inputFieldsArea(); });

    // Enter in the seed field takes the seed: no button of the dialog is its default.
    for (QPushButton *button : {m_open, m_search, m_newDraw, m_save, m_print, m_pdf})
        button->setAutoDefault(false);
    const auto guarded = [this](QPushButton *button, void (TeamsDialog::*slot)()) {
        connect(button, &QPushButton::clicked, this,
                [this, slot] { m_window->runGuarded([this, slot] { (this->*slot)(); }); });
    };
    guarded(m_open, &TeamsDialog::chooseList);
    guarded(m_search, &TeamsDialog::searchPlans);
    guarded(m_newDraw, &TeamsDialog::drawNewSeed);
    guarded(m_save, &TeamsDialog::saveEntries);
    guarded(m_print, &TeamsDialog::printEntries);
    guarded(m_pdf, &TeamsDialog::exportEntriesPdf);
    connect(m_seedEdit, &QLineEdit::editingFinished, this,
            [this] { m_window->runGuarded([this] { applySeedText(); }); });
    connect(m_window, &TVlmFPrg::shownSolutionChanged, this, &TeamsDialog::followPlan);
    connect(m_window, &TVlmFPrg::calculated, this, &TeamsDialog::followPlan);

    setSeed(QRandomGenerator::system()->generate64());
    showLevels();
}

TeamsDialog::~TeamsDialog() = default;

bool TeamsDialog::openList(const QString &fileName)
{
    TeamListResult result;
    {
        const WaitCursor waiting;
        result = readTeamList(QFile::encodeName(fileName).toStdString());
    }
    if (!result.ok()) {
        QMessageBox box(QMessageBox::Critical, kTitle, fromUtf8(result.error), QMessageBox::Ok,
                        this);
        box.exec();
        return false;
    }
    // The window's registered teams are an integer field: a list it cannot hold is refused
    // before anything changes.
    if (result.list->teams.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        QMessageBox box(QMessageBox::Critical, kTitle,
                        QStringLiteral("La liste « %1 » compte trop d'équipes.")
                            .arg(QFileInfo(fileName).fileName()),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }

    // The table forgets the old list before it goes.
    m_teamModel->show(nullptr, nullptr);
    m_assignment.reset();
    m_list = std::move(result.list);
    m_listName = QFileInfo(fileName).fileName();
    m_mapping = LevelMapping::defaults(*m_list);
    m_listLabel->setText(
        QStringLiteral("« %1 » : %2 équipes").arg(m_listName).arg(m_list->teams.size()));
    showLevels();
    followPlan();
    m_window->setRegisteredTeams(static_cast<std::int32_t>(m_list->teams.size()));

    if (!result.warnings.empty()) {
        QStringList lines;
        for (std::size_t i = 0; i < result.warnings.size() && i < kListedWarnings; ++i)
            lines << fromUtf8(result.warnings[i]);
        if (result.warnings.size() > kListedWarnings)
            lines << QStringLiteral("et %1 autres remarques.")
                         .arg(result.warnings.size() - kListedWarnings);
        QMessageBox box(QMessageBox::Warning, kTitle,
                        QStringLiteral("La liste « %1 » est ouverte, avec ces remarques :\n%2")
                            .arg(m_listName, lines.join(QLatin1Char('\n'))),
                        QMessageBox::Ok, this);
        box.exec();
    }
    return true;
}

void TeamsDialog::chooseList()
{
    QFileDialog dialog(this, QStringLiteral("Ouvrir une liste d'équipes"), startFolder().path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Every file as a last choice: an Excel workbook then gets the advice to save it as ODS
    // or CSV rather than staying out of sight.
    dialog.setNameFilters({QStringLiteral("Listes d'équipes (*.csv *.ods)"),
                           QStringLiteral("CSV (*.csv)"), kOdsFilter,
                           QStringLiteral("Tous les fichiers (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    rememberFolder(dialog.selectedFiles().constFirst());
    openList(dialog.selectedFiles().constFirst());
}

bool TeamsDialog::setLevelRound(const std::optional<int> &level, int round)
{
    if (!m_mapping.setRound(level, round))
        return false;
    // The choosers stay (one of them may be the sender): each shows its level's round.
    const std::vector<LevelRound> &levels = m_mapping.levels();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (auto *chooser = qobject_cast<QComboBox *>(m_levels->cellWidget(int(i), 2))) {
            const QSignalBlocker quiet(chooser);
            chooser->setCurrentIndex(levels[i].round - 1);
        }
    }
    showWishes();
    followPlan();
    return true;
}

void TeamsDialog::setSeed(std::uint64_t seed)
{
    m_seed = seed;
    m_seedEdit->setText(QString::number(seed));
    followPlan();
}

void TeamsDialog::drawNewSeed()
{
    setSeed(QRandomGenerator::system()->generate64());
}

void TeamsDialog::applySeedText()
{
    bool ok = false;
    const std::uint64_t seed = m_seedEdit->text().toULongLong(&ok, 10);
    // Above 2^64 - 1, or empty: the field shows the seed in use again.
    if (!ok) {
        m_seedEdit->setText(QString::number(m_seed));
        return;
    }
    if (seed != m_seed)
        setSeed(seed);
}

Wishes TeamsDialog::wishes() const
{
    Wishes wishes;
    if (!m_list)
        return wishes;
    const std::array<Count, kEntryRounds> entrants = m_mapping.entrantsPerRound();
    for (std::size_t r = 0; r < kEntryRounds; ++r) {
        const auto count = static_cast<std::int32_t>(entrants[r]);
        wishes.set(kQuantities[quantityIndex(Quantity::Entrants1) + r], Interval{count, count});
    }
    return wishes;
}

void TeamsDialog::searchPlans()
{
    if (m_list)
        emit plansWanted(wishes());
}

void TeamsDialog::showLevels()
{
    m_levels->setRowCount(0);
    const std::vector<LevelRound> &levels = m_mapping.levels();
    m_levels->setRowCount(int(levels.size()));
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const LevelRound &level = levels[i];
        const int row = int(i);
        m_levels->setItem(row, 0, new QTableWidgetItem(fromUtf8(levelLabel(level.level))));
        auto *count = new QTableWidgetItem(QString::number(level.teams));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_levels->setItem(row, 1, count);
        auto *chooser = new QComboBox(m_levels);
        chooser->setObjectName(QStringLiteral("TourNiveau%1").arg(row + 1));
        chooser->setToolTip(QStringLiteral("Le tour où entrent les équipes de ce niveau"));
        chooser->setAccessibleName(
            QStringLiteral("Tour d'entrée, %1").arg(fromUtf8(levelLabel(level.level))));
        for (int round = 1; round <= kEntryRounds; ++round)
            chooser->addItem(roundText(round), round);
        chooser->setCurrentIndex(level.round - 1);
        const std::optional<int> key = level.level;
        connect(chooser, &QComboBox::activated, this, [this, chooser, key] {
            const int round = chooser->currentData().toInt();
            m_window->runGuarded([&] { setLevelRound(key, round); });
        });
        m_levels->setCellWidget(row, 2, chooser);
    }
    showWishes();
}

void TeamsDialog::showWishes()
{
    if (!m_list) {
        m_wishesLabel->clear();
        updateButtons();
        return;
    }
    const std::array<Count, kEntryRounds> entrants = m_mapping.entrantsPerRound();
    m_wishesLabel->setText(QStringLiteral("Entrantes souhaitées : Tour 1 : %1 · Tour 2 : %2 · "
                                          "Tour 3 : %3 · Tour 4 : %4")
                               .arg(entrants[0])
                               .arg(entrants[1])
                               .arg(entrants[2])
                               .arg(entrants[3]));
    updateButtons();
}

void TeamsDialog::followPlan()
{
    m_plan = m_window->shownPlan();
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
        m_planLabel->setText(QStringLiteral("Plan affiché : ") +
                             planSummaryLines(*m_plan).join(QStringLiteral("\n")));
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
        return fromUtf8(m_assignmentError);
    const std::array<Count, kEntryRounds> &perRound = m_assignment->perRound;
    return QStringLiteral("Entrées : Tour 4 : %1 · Tour 3 : %2 · Tour 2 : %3 · Tour 1 : %4 — "
                          "%5 hors niveau.")
        .arg(perRound[3])
        .arg(perRound[2])
        .arg(perRound[1])
        .arg(perRound[0])
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
}

QString TeamsDialog::defaultFileName(const QString &suffix) const
{
    const QString base =
        m_listName.isEmpty() ? QStringLiteral("equipes") : QFileInfo(m_listName).completeBaseName();
    return QStringLiteral("entrees-%1.%2").arg(base, suffix);
}

void TeamsDialog::saveEntries()
{
    if (!m_assignment)
        return;
    QString filter;
    const std::optional<QString> fileName = askSaveFileName(
        this, QStringLiteral("Enregistrer les entrées"), defaultFileName(QStringLiteral("ods")),
        {kOdsFilter, kFrenchCsvFilter}, QStringLiteral("ods"), &filter);
    if (!fileName)
        return;
    // The name's own suffix wins over the type chosen in the list.
    const QString suffix = QFileInfo(*fileName).suffix().toLower();
    const bool csv = suffix == QLatin1String("csv") ||
                     (suffix != QLatin1String("ods") && filter == kFrenchCsvFilter);
    saveEntriesTo(*fileName, csv ? EntriesFormat::Csv : EntriesFormat::Ods);
}

bool TeamsDialog::saveEntriesTo(const QString &fileName, EntriesFormat format)
{
    if (!m_list || !m_assignment)
        return false;
    const TeamList &list = *m_list;
    const Assignment &assignment = *m_assignment;
    return writeAtomically(this, fileName, QStringLiteral("Enregistrer les entrées"),
                           [&](QSaveFile &file) {
                               if (format == EntriesFormat::Csv) {
                                   SaveFileSink sink(file);
                                   return writeAssignmentCsv(list, assignment, sink, ';');
                               }
                               const QByteArray ods = assignmentOds(list, assignment);
                               return !ods.isEmpty() && file.write(ods) == ods.size();
                           });
}

void TeamsDialog::printEntries()
{
    if (!m_assignment || !m_plan)
        return;
    const QString stamped = stamp();
    showPrintPreview(
        this, QStringLiteral("Entrées de la coupe"), QStringLiteral("apercuEntrees"),
        QStringLiteral("Imprimer les entrées"), [&](QPainter &painter, QPrinter &printer) {
            paintEntrySheets(painter, printer, *m_list, *m_assignment, *m_plan, stamped);
        });
}

void TeamsDialog::exportEntriesPdf()
{
    if (!m_assignment)
        return;
    const std::optional<QString> fileName = askSaveFileName(
        this, QStringLiteral("Exporter les entrées en PDF"), defaultFileName(QStringLiteral("pdf")),
        {kPdfFilter}, QStringLiteral("pdf"));
    if (fileName)
        exportEntriesPdfTo(*fileName);
}

bool TeamsDialog::exportEntriesPdfTo(const QString &fileName)
{
    if (!m_list || !m_assignment || !m_plan)
        return false;
    return writeAtomically(
        this, fileName, QStringLiteral("Exporter les entrées en PDF"), [&](QSaveFile &file) {
            return writeEntriesPdf(&file, *m_list, *m_assignment, *m_plan, stamp());
        });
}

QString TeamsDialog::stamp() const
{
    return sheetStamp(QStringLiteral(VELMORIN_VERSION), QDate::currentDate());
}

void TeamsDialog::showEvent(QShowEvent *event)
{
    updateButtons();
    QDialog::showEvent(event);
}

void installTeams(TVlmFPrg *window, PlanSearchOpener searchPlans)
{
    auto *action = new QAction(QStringLiteral("Équipes inscrites…"), window);
    action->setObjectName(QStringLiteral("actionEquipes"));
    action->setShortcut(QKeySequence(Qt::Key_F4));
    QObject::connect(action, &QAction::triggered, window, [window, searchPlans] {
        auto *dialog =
            window->findChild<TeamsDialog *>(QStringLiteral("Equipes"), Qt::FindDirectChildrenOnly);
        if (!dialog) {
            dialog = new TeamsDialog(window);
            if (searchPlans)
                QObject::connect(dialog, &TeamsDialog::plansWanted, dialog, searchPlans);
        }
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    });
    window->addContextAction(action);
}

} // namespace velmorin
