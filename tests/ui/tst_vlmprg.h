// The main window driven as a person would: typing, clicking, stepping the sliders.

#pragma once

#include "ErrorBox.h"
#include "Hints.h"
#include "MessageBoxCatcher.h"
#include "Propos.h"
#include "RadioGroup.h"
#include "TrackBar.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"
#include "aprop.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <limits>
#include <memory>

using velmorin::TRadioGroup;
using velmorin::TTrackBar;
using velmorin::TUpDown;
using velmorin::testing::conversionError;

class TestMainWindow : public QObject, private velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUp();
    void smallWindowScrolls();
    void tabOrder();
    void typicalUse();
    void defaultsRun();
    void roundFourThreeQuartersEnds();
    void rerunAfterMovingASlider_data();
    void rerunAfterMovingASlider();
    void classLosingItsSolutions();
    void whyNoSolutionTooltips_data();
    void whyNoSolutionTooltips();
    void nestedRunLeavesConsistentLists();
    void effectifErrors_data();
    void effectifErrors();
    void failedRunKeepsCountsAndSliders();
    void hexadecimalEffectif();
    void finaleStopsAtItsEnds();
    void roundOneProposalAndBound_data();
    void roundOneProposalAndBound();
    void steppedEntrantsBeforeFirstRun();
    void steppedEntrantsAfterFirstRun();
    void sliderThreeAtFirstSolution();
    void sliderOneHidesMarking();
    void everyScrollStepRunsTheHandlerOnce_data();
    void everyScrollStepRunsTheHandlerOnce();
    void largestCountAnswers();
    void switchingApplicationsChangesNothing();
    void anotherWindowReleasesTheLists();
    void errorBoxText_data();
    void errorBoxText();
    void quitterEndsTheProgram();
    void aboutBoxChangesNothing();

private:
    void clickArrow(const char *upDown, bool up, int times = 1);
    void moveSlider(int k, int position);
    void compareRounds(const QStringList &expected) const;
    QStringList snapshot() const;

    std::unique_ptr<TVlmFPrg> m_window;
};
