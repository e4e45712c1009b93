// The teams' dialog: each team's entry round saved, printed or exported as PDF.

#include "TeamsDialog.h"

#include "EntriesCsv.h"
#include "EntriesOds.h"
#include "EntrySheetPainter.h"
#include "PrintPreview.h"
#include "PrintedSheet.h"
#include "SaveFile.h"
#include "Version.h"

#include <QDate>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace velmorin {

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
        {odsFilter(), frenchCsvFilter()}, QStringLiteral("ods"), &filter);
    if (!fileName)
        return;
    saveEntriesTo(*fileName, filter == frenchCsvFilter() ? EntriesFormat::Csv : EntriesFormat::Ods);
}

bool TeamsDialog::saveEntriesTo(const QString &fileName, EntriesFormat format)
{
    if (!m_list || !m_assignment)
        return false;
    const TeamList &list = *m_list;
    const Assignment &assignment = *m_assignment;
    return writeAtomically(
        this, fileName, QStringLiteral("Enregistrer les entrées"), [&](QSaveFile &file) {
            if (format == EntriesFormat::Csv) {
                SaveFileSink sink(file);
                return writeAssignmentFrenchCsv(list, assignment, sink);
            }
            const std::string ods = assignmentOds(list, assignment);
            return !ods.empty() && file.write(ods.data(), qint64(ods.size())) == qint64(ods.size());
        });
}

void TeamsDialog::printEntries()
{
    if (!m_assignment || !m_plan)
        return;
    const QString stamped = sheetStampNow();
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
        {pdfFilter()}, QStringLiteral("pdf"));
    if (fileName)
        exportEntriesPdfTo(*fileName);
}

bool TeamsDialog::exportEntriesPdfTo(const QString &fileName)
{
    if (!m_list || !m_assignment || !m_plan)
        return false;
    return writeAtomically(
        this, fileName, QStringLiteral("Exporter les entrées en PDF"), [&](QSaveFile &file) {
            return writeEntriesPdf(&file, *m_list, *m_assignment, *m_plan, sheetStampNow());
        });
}

} // namespace velmorin
