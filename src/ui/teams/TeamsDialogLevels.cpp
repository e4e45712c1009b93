// The teams' dialog: the list read from a file, and its levels with their entry rounds.

#include "TeamsDialog.h"

#include "ClassAppearance.h"
#include "CupContents.h"
#include "SaveFile.h"
#include "TeamFile.h"
#include "TeamTableModel.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTableWidget>

#include <limits>

namespace velmorin {

namespace {

// The warnings a box lists before it only counts the others.
constexpr int kListedWarnings = 10;

} // namespace

bool TeamsDialog::openList(const QString &fileName)
{
    if (teamsLocked())
        return false;
    TeamListResult result;
    {
        const WaitCursor waiting;
        result = readTeamList(QFile::encodeName(fileName).toStdString());
    }
    if (!result.ok()) {
        QMessageBox box(QMessageBox::Critical, windowTitle(), toQString(result.error),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }
    // The window's registered teams are an integer field: a list it cannot hold is refused
    // before anything changes.
    if (result.list->teams.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        QMessageBox box(QMessageBox::Critical, windowTitle(),
                        QStringLiteral("La liste « %1 » compte trop d'équipes.")
                            .arg(QFileInfo(fileName).fileName()),
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    }

    showList(std::move(*result.list), QFileInfo(fileName).fileName(), std::nullopt);
    host().setRegisteredTeams(static_cast<std::int32_t>(m_list->teams.size()));
    m_importedList = importedListOf(*m_list, m_listName.toStdString());
    reportTeams();

    if (!result.warnings.empty()) {
        QStringList lines;
        for (std::size_t i = 0; i < result.warnings.size() && i < kListedWarnings; ++i)
            lines << toQString(result.warnings[i]);
        if (result.warnings.size() > kListedWarnings)
            lines << QStringLiteral("et %1 autres remarques.")
                         .arg(result.warnings.size() - kListedWarnings);
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QStringLiteral("La liste « %1 » est ouverte, avec ces remarques :\n%2")
                            .arg(m_listName, lines.join(QLatin1Char('\n'))),
                        QMessageBox::Ok, this);
        box.exec();
    }
    return true;
}

void TeamsDialog::showList(TeamList list, const QString &name, std::optional<LevelOrder> order)
{
    // The table forgets the old list before it goes.
    m_teamModel->show(nullptr, nullptr);
    m_assignment.reset();
    m_list = std::move(list);
    m_listName = name;
    m_mapping = order ? LevelMapping::defaults(*m_list, std::move(*order))
                      : LevelMapping::defaults(*m_list);
    // The level column is as wide as the list's longest level: names are longer than numbers.
    int levelWidth = 64;
    for (const LevelRound &level : m_mapping.levels())
        levelWidth = std::max(
            levelWidth,
            m_teamTable->fontMetrics().horizontalAdvance(toQString(levelText(level.level))) + 16);
    m_teamTable->setColumnWidth(TeamTableModel::Level, levelWidth);
    m_listLabel->setText(
        QStringLiteral("« %1 » : %2 équipes").arg(m_listName).arg(m_list->teams.size()));
    showLevels();
    followPlan();
}

void TeamsDialog::chooseList()
{
    QFileDialog dialog(this, QStringLiteral("Ouvrir une liste d'équipes"), startFolder().path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Every file as a last choice: an Excel workbook then gets the advice to save it as ODS
    // or CSV rather than staying out of sight.
    dialog.setNameFilters({QStringLiteral("Listes d'équipes (*.csv *.ods)"), csvFilter(),
                           odsFilter(), QStringLiteral("Tous les fichiers (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    rememberFolder(dialog.selectedFiles().constFirst());
    openList(dialog.selectedFiles().constFirst());
}

bool TeamsDialog::setLevelRound(const std::optional<Level> &level, int round)
{
    // The cup's own rounds are shown even when they can no longer change.
    if ((!m_restoring && teamsLocked()) || !m_mapping.setRound(level, round))
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
    reportTeams();
    return true;
}

Wishes TeamsDialog::wishes() const
{
    return m_list ? wishesFor(m_mapping) : Wishes();
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
        m_levels->setItem(row, 0, new QTableWidgetItem(toQString(levelLabel(level.level))));
        auto *count = new QTableWidgetItem(QString::number(level.teams));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_levels->setItem(row, 1, count);
        auto *chooser = new QComboBox(m_levels);
        chooser->setObjectName(QStringLiteral("TourNiveau%1").arg(row + 1));
        chooser->setToolTip(QStringLiteral("Le tour où entrent les équipes de ce niveau"));
        chooser->setAccessibleName(
            QStringLiteral("Tour d'entrée, %1").arg(toQString(levelLabel(level.level))));
        for (int round = 1; round <= kEntryRounds; ++round)
            chooser->addItem(entryRoundText(round), round);
        chooser->setCurrentIndex(level.round - 1);
        const std::optional<Level> key = level.level;
        connect(chooser, &QComboBox::activated, this, [this, chooser, key] {
            const int round = chooser->currentData().toInt();
            runGuarded([&] { setLevelRound(key, round); });
        });
        m_levels->setCellWidget(row, 2, chooser);
    }
    showLevelNotes();
    showWishes();
}

void TeamsDialog::showWishes()
{
    const std::array<Count, kEntryRounds> entrants = m_mapping.entrantsPerRound();
    for (int r = 0; r < kEntryRounds; ++r) {
        auto *item =
            new QTableWidgetItem(m_list ? QString::number(entrants[std::size_t(r)]) : QString());
        item->setTextAlignment(Qt::AlignCenter);
        m_wishes->setItem(0, r, item);
    }
    updateButtons();
}

} // namespace velmorin
