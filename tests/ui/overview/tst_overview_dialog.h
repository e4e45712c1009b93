// The overview dialog driven as a person would, beside the main window.

#pragma once

#include "DialogDriver.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "OverviewChart.h"
#include "RadioGroup.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

using velmorin::FeatureNotifier;
using velmorin::TRadioGroup;
using velmorin::TUpDown;

namespace {

// E1: classes 3, 2, 1 for 71 teams, a final of 6 and every ratio 1/2, from the literal loops.
const QStringList kDefaultRows{"0: 5 5 7",  "4: 5 6 7",  "8: 6 6 8",  "12: 6 7 8",
                               "16: 7 7 8", "20: 7 7 7", "24: 6 6 5", "28: 5 4 4",
                               "32: 4 4 3", "36: 3 2 2", "40: 1 1 0"};

// The same for a final of 8, and then 80 and 100 teams.
const QStringList kRows71Final8{"0: 6 5 5", "4: 4 4 3", "8: 3 2 1", "12: 1 0 0"};
const QStringList kRows80Final8{"0: 11 10 10", "4: 9 9 8",  "8: 8 7 7",  "12: 6 6 5",
                                "16: 6 5 4",   "20: 4 3 3", "24: 2 2 1", "28: 1 0 0"};
const QStringList kRows100Final8{"0: 4 6 6",  "4: 5 6 7",  "8: 5 7 7",  "12: 6 7 7",  "16: 6 7 8",
                                 "20: 6 8 8", "24: 7 8 9", "28: 7 9 9", "32: 8 9 10", "36: 8 10 9",
                                 "40: 9 8 7", "44: 7 6 6", "48: 6 6 5", "52: 5 4 4",  "56: 3 3 2",
                                 "60: 2 1 1", "64: 1 1 0"};

// 70 and 100 teams, a final of 6: 36 stays a row for the first and is none for the second.
const QStringList kRows70{"0: 5 6 7",  "4: 6 6 8",  "8: 6 7 8",  "12: 7 7 8",
                          "16: 7 7 8", "20: 7 7 6", "24: 6 5 5", "28: 4 4 3",
                          "32: 4 3 3", "36: 2 2 1", "40: 1 0 0"};
// Past the up-down's maximum (80), the rows are marked.
const QStringList kRows100{"60: 0 0 1", "64: 0 0 1", "68: 0 0 2",  "72: 0 1 2",
                           "76: 1 1 2", "80: 1 1 3", "84*: 1 2 2", "88*: 2 1 1"};

} // namespace

class TestOverviewDialog : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithF2();
    void keepsWhereItWasMoved();
    void choosingAnEntrantCount_data();
    void choosingAnEntrantCount();
    void staleRow_data();
    void staleRow();
    void followsTheInputs();
    void chartAxes_data();
    void chartAxes();
    void badEffectif_data();
    void badEffectif();

private:
    void pressF2();
    QStringList tableRows() const;
    QStringList solutionLabels() const;
    velmorin::OverviewChart *chart() const;
    void setInputs(int registered, int finale, int round4Item);
    void chooseBy(const QString &how, int row);

    std::unique_ptr<TVlmFPrg> m_window;
    QDialog *m_dialog = nullptr;
    QTableView *m_table = nullptr;
};
