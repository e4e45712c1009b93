#pragma once

// Gets the plan out of the main window: copies the shown solution, saves every solution of the
// last calculation as CSV, prints the plan sheet and exports it as PDF. The actions live in the
// window's context menu and are enabled only while the window shows a solution.

#include "Plan.h"

#include <QObject>
#include <QString>

#include <optional>

class QAction;

namespace velmorin {

class FeatureHost;

class PlanExport : public QObject
{
    Q_OBJECT

public:
    explicit PlanExport(FeatureHost &host);

    // The plan of the solution the round fields show, from the last calculation; none when
    // they show none.
    std::optional<Plan> shownPlan() const;

    void copySolution();
    void saveSolutions();
    void printPlan();
    void exportPdf();

    // The writes behind the dialogs. A failure shows the error box and leaves an existing
    // file as it was; the result says whether the file was written.
    bool saveSolutionsTo(const QString &fileName, char separator);
    bool exportPdfTo(const QString &fileName);

private:
    QAction *addAction(const char *objectName, const QString &text, const QKeySequence &shortcut,
                       void (PlanExport::*slot)());
    void updateActions();
    // The file name chosen in a save dialog; none when the user cancels.
    std::optional<QString> askFileName(const QString &title, const QStringList &filters,
                                       const QString &suffix, QString *selectedFilter = nullptr);
    QString defaultFileName(const QString &suffix) const;

    FeatureHost &m_host;
    QList<QAction *> m_actions;
};

// Adds the plan's actions to the host's context menu.
void installPlanExport(FeatureHost &host);

} // namespace velmorin
