#include "PlanExport.h"

#include "PlanSheetPainter.h"
#include "PrintPreview.h"
#include "SaveFile.h"
#include "SolutionTable.h"
#include "Version.h"
#include "VlmPrg.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>

namespace velmorin {

PlanExport::PlanExport(TVlmFPrg *window) : QObject(window), m_window(window)
{
    addAction("actionCopierSolution", QStringLiteral("Copier la solution"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &PlanExport::copySolution);
    addAction("actionEnregistrerSolutions", QStringLiteral("Enregistrer les solutions…"),
              QKeySequence(Qt::CTRL | Qt::Key_S), &PlanExport::saveSolutions);
    addAction("actionImprimerPlan", QStringLiteral("Imprimer le plan…"),
              QKeySequence(Qt::CTRL | Qt::Key_P), &PlanExport::printPlan);
    addAction("actionExporterPdf", QStringLiteral("Exporter le plan en PDF…"), QKeySequence(),
              &PlanExport::exportPdf);
    connect(window, &TVlmFPrg::shownSolutionChanged, this, &PlanExport::updateActions);
    connect(window, &TVlmFPrg::calculated, this, &PlanExport::updateActions);
    updateActions();
}

QAction *PlanExport::addAction(const char *objectName, const QString &text,
                               const QKeySequence &shortcut, void (PlanExport::*slot)())
{
    auto *action = new QAction(text, m_window);
    action->setObjectName(QLatin1String(objectName));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this,
            [this, slot] { m_window->runGuarded([this, slot] { (this->*slot)(); }); });
    m_window->addContextAction(action);
    m_actions.append(action);
    return action;
}

std::optional<Plan> PlanExport::shownPlan() const
{
    return m_window->shownPlan();
}

void PlanExport::updateActions()
{
    const bool shown = shownPlan().has_value();
    for (QAction *action : std::as_const(m_actions))
        action->setEnabled(shown);
}

void PlanExport::copySolution()
{
    const std::optional<Plan> plan = shownPlan();
    if (!plan)
        return;
    auto *data = new QMimeData;
    data->setText(QString::fromStdString(planTsv(*plan)));
    data->setHtml(QString::fromStdString(planHtml(*plan)));
    QGuiApplication::clipboard()->setMimeData(data);
}

void PlanExport::saveSolutions()
{
    if (!shownPlan())
        return;
    QString filter;
    const std::optional<QString> fileName =
        askFileName(QStringLiteral("Enregistrer les solutions"), {csvFilter(), frenchCsvFilter()},
                    QStringLiteral("csv"), &filter);
    if (fileName)
        saveSolutionsTo(*fileName, filter == frenchCsvFilter() ? ';' : ',');
}

void PlanExport::printPlan()
{
    const std::optional<Plan> plan = shownPlan();
    if (!plan)
        return;
    const PlanSheet sheet = planSheet(*plan);
    const QString stamped = stamp();
    showPrintPreview(m_window, QStringLiteral("Plan de la coupe"), QStringLiteral("apercuPlan"),
                     QStringLiteral("Imprimer le plan"), [&](QPainter &painter, QPrinter &) {
                         paintPlanSheet(painter, sheet, stamped);
                     });
}

void PlanExport::exportPdf()
{
    if (!shownPlan())
        return;
    const std::optional<QString> fileName = askFileName(QStringLiteral("Exporter le plan en PDF"),
                                                        {pdfFilter()}, QStringLiteral("pdf"));
    if (fileName)
        exportPdfTo(*fileName);
}

bool PlanExport::saveSolutionsTo(const QString &fileName, char separator)
{
    const std::optional<Calculation> &calculation = m_window->lastCalculation();
    if (!calculation)
        return false;
    return writeAtomically(m_window, fileName, QStringLiteral("Enregistrer les solutions"),
                           [&](QSaveFile &file) {
                               SaveFileSink sink(file);
                               return writeCsv(*calculation, sink, separator);
                           });
}

bool PlanExport::exportPdfTo(const QString &fileName)
{
    const std::optional<Plan> plan = shownPlan();
    if (!plan)
        return false;
    return writeAtomically(
        m_window, fileName, QStringLiteral("Exporter le plan en PDF"),
        [&](QSaveFile &file) { return writePlanPdf(&file, planSheet(*plan), stamp()); });
}

std::optional<QString> PlanExport::askFileName(const QString &title, const QStringList &filters,
                                               const QString &suffix, QString *selectedFilter)
{
    return askSaveFileName(m_window, title, defaultFileName(suffix), filters, suffix,
                           selectedFilter);
}

// The name alone: the dialog proposes it in its start folder.
QString PlanExport::defaultFileName(const QString &suffix) const
{
    const Problem problem = m_window->lastCalculation().value_or(Calculation{}).problem;
    return QStringLiteral("velmorin-%1-%2-%3.%4")
        .arg(problem.registered)
        .arg(problem.finale)
        .arg(problem.entrants1)
        .arg(suffix);
}

QString PlanExport::stamp() const
{
    return sheetStamp(QStringLiteral(VELMORIN_VERSION), QDate::currentDate());
}

} // namespace velmorin
