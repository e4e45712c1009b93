// The registered teams' dialog driven as a person would: a list opened through Qt's file
// dialog, Effectif following it, the levels' rounds, a plan shown in the main window and its
// entry rounds, the entries saved and read back, refused files changing nothing.

#pragma once

#include "Contrast.h"
#include "DarkScheme.h"
#include "EntrySheetPainter.h"
#include "FeatureTestWindow.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "ModalAnswers.h"
#include "PrintedSheet.h"
#include "TeamFile.h"
#include "TeamsDialog.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>

using velmorin::Assignment;
using velmorin::Count;
using velmorin::TeamsDialog;
using velmorin::testing::answerFileDialog;

namespace {

const QString kSample = QStringLiteral(VELMORIN_SAMPLE_LIST);

// The sample's levels, strongest first, with their counts and default rounds.
const QStringList kSampleLevels{"Niveau 1: 8 Tour 4", "Niveau 2: 10 Tour 3", "Niveau 3: 12 Tour 2",
                                "Niveau 4: 42 Tour 1", "Sans niveau: 8 Tour 1"};

inline bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

Q_DECLARE_METATYPE(velmorin::Wishes)

class TestTeamsDialog : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithF4();
    void openingTheSample_data();
    void openingTheSample();
    void roundsFollowTheShownPlan();
    void levelRoundsMakeTheWishes_data();
    void levelRoundsMakeTheWishes();
    void planForAnotherCount();
    void seedGivesTheDraw();
    void savedEntriesReadBack_data();
    void savedEntriesReadBack();
    void levelsMovedUpAndDown_data();
    void levelsMovedUpAndDown();
    void gapsInTheLevelsAreTold();
    void refusedFileChangesNothing_data();
    void refusedFileChangesNothing();
    void duplicatesAreImportedWithAWarning();
    void sheetsPerRound();
    void readableUnderADarkScheme_data();
    void readableUnderADarkScheme();

private:
    void openThroughDialog(const QString &fileName);
    void showPlanOf80();
    QStringList levelRows() const;
    QStringList wishedCells() const;
    QString cell(int row, int column) const;
    std::map<int, int> roundsInTable() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<TVlmFPrg> m_window;
    TeamsDialog *m_dialog = nullptr;
    QTableView *m_table = nullptr;
    QTableWidget *m_levels = nullptr;
    QTemporaryDir m_settingsDir;
};
