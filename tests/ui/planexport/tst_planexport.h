// The plan leaves the window: clipboard, CSV file, PDF sheet and print preview, driven through
// the window's actions and answering its dialogs as a person would.

#pragma once

#include "Calc.h"
#include "FeatureTestWindow.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "ModalAnswers.h"
#include "PlanExport.h"
#include "RadioGroup.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <sstream>

using velmorin::testing::answerFileDialog;
using velmorin::testing::kLastFolderKey;
using velmorin::testing::programSettings;
using velmorin::testing::whenModal;

namespace {

const char *const kActions[] = {"actionCopierSolution", "actionEnregistrerSolutions",
                                "actionImprimerPlan", "actionExporterPdf"};

// The documents folder, or the home folder when there is none.
inline QDir firstFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? QDir(documents) : QDir::home();
}

inline QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestPlanExport : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void actionsFollowTheShownSolution_data();
    void actionsFollowTheShownSolution();
    void shortcutsWorkFromTheFields_data();
    void shortcutsWorkFromTheFields();
    void copyTypicalUse();
    void savedFileIsTheCalculatorOutput_data();
    void savedFileIsTheCalculatorOutput();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void pdfOfTypicalUse();
    void printPreviewHasOnePage();
    void dialogsStartInTheLastFolder_data();
    void dialogsStartInTheLastFolder();

private:
    QAction *action(const char *name) const { return get<QAction>(name); }
    void calculate(const QString &registered, int round4 = 0);
    void typicalUse();

    std::unique_ptr<TVlmFPrg> m_window;
    std::unique_ptr<MessageBoxCatcher> m_boxes;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_settingsDir;
};
