#include "PlanExport.h"

#include "FeatureWindow.h"
#include "PlanSheetPainter.h"
#include "PrintPreview.h"
#include "SaveFile.h"
#include "SolutionTable.h"
#include "Version.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>

namespace velmorin {

PlanExport::PlanExport(FeatureHost &host) : QObject(host.hostWidget()), m_host(host)
{
    addAction("actionCopierSolution", QStringLiteral("Copier la solution"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &PlanExport::copySolution);
    addAction("actionEnregistrerSolutions", QStringLiteral("Enregistrer les solutions…"),
              QKeySequence(Qt::CTRL | Qt::Key_S), &PlanExport::saveSolutions);
    addAction("actionImprimerPlan", QStringLiteral("Imprimer le plan…"),
              QKeySequence(Qt::CTRL | Qt::Key_P), &PlanExport::printPlan);
    addAction("actionExporterPdf", QStringLiteral("Exporter le plan en PDF…"), QKeySequence(),
              &PlanExport::exportPdf);
    connect(host.notifier(), &FeatureNotifier::planShown, this, &PlanExport::updateActions);
    connect(host.notifier(), &FeatureNotifier::calculated, this, &PlanExport::updateActions);
    updateActions();
}

QAction *PlanExport::addAction(const char *objectName, const QString &text,
                               const QKeySequence &shortcut, void (PlanExport::*slot)())
{
    QAction *action = addFeatureAction(m_host, text, QLatin1String(objectName), shortcut,
                                       [this, slot] { (this->*slot)(); });
    m_actions.append(action);
    return action;
}

std::optional<Plan> PlanExport::shownPlan() const
{
    return m_host.shownPlan();
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
    const QString stamped = sheetStampNow();
    showPrintPreview(
        m_host.hostWidget(), QStringLiteral("Plan de la coupe"), QStringLiteral("apercuPlan"),
        QStringLiteral("Imprimer le plan"),
        [&](QPainter &painter, QPrinter &) { paintPlanSheet(painter, sheet, stamped); });
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
    const std::optional<Calculation> &calculation = m_host.lastCalculation();
    if (!calculation)
        return false;
    return writeAtomically(m_host.hostWidget(), fileName,
                           QStringLiteral("Enregistrer les solutions"), [&](QSaveFile &file) {
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
        m_host.hostWidget(), fileName, QStringLiteral("Exporter le plan en PDF"),
        [&](QSaveFile &file) { return writePlanPdf(&file, planSheet(*plan), sheetStampNow()); });
}

std::optional<QString> PlanExport::askFileName(const QString &title, const QStringList &filters,
                                               const QString &suffix, QString *selectedFilter)
{
    return askSaveFileName(m_host.hostWidget(), title, defaultFileName(suffix), filters, suffix,
                           selectedFilter);
}

// The name alone: the dialog proposes it in its start folder.
QString PlanExport::defaultFileName(const QString &suffix) const
{
    const Problem problem = m_host.lastCalculation().value_or(Calculation{}).problem;
    return QStringLiteral("velmorin-%1-%2-%3.%4")
        .arg(problem.registered)
        .arg(problem.finale)
        .arg(problem.entrants1)
        .arg(suffix);
}

void installPlanExport(FeatureHost &host)
{
    new PlanExport(host); // the host's widget owns it
}

} // namespace velmorin
