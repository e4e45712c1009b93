// The plan search dialog driven as a person would, beside the main window: F3, bounds typed
// into the form, the table read, a plan chosen and the main window's fields checked.

#pragma once

#include "Contrast.h"
#include "DialogDriver.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "PlanSearchDialog.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

using velmorin::ExemptionClass;
using velmorin::PlanSearchDialog;
using velmorin::ShownSolution;

namespace {

const QString kNoBox = QStringLiteral("Aucune recherche tant qu'un souhait est refusé.");

} // namespace

class TestPlanSearchDialog : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithF3();
    void typedBounds_data();
    void typedBounds();
    void refusedTexts_data();
    void refusedTexts();
    void planForOtherInputs_data();
    void planForOtherInputs();
    void wishesFillTheForm();
    void readableUnderADarkScheme_data();
    void readableUnderADarkScheme();

private:
    void pressF3();
    // Clicks into the field, selects what it holds and types, key by key.
    void typeInto(const char *field, const QString &typed);
    QStringList tableRows(int most) const;
    QString status() const { return m_dialog->findChild<QLabel *>("PlansTrouves")->text(); }

    std::unique_ptr<TVlmFPrg> m_window;
    PlanSearchDialog *m_dialog = nullptr;
    QTableView *m_table = nullptr;
};
