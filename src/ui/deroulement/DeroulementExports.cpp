// The cup window's paper and files: the group sheets printed or saved as PDF, the results page.

#include "DeroulementWindow.h"

#include "DeroulementPrivate.h"

#include "CupText.h"
#include "PrintPreview.h"
#include "PrintedSheet.h"
#include "RoundSheets.h"
#include "SaveFile.h"

#include <QPrinter>

namespace velmorin {

using namespace deroulementprivate;

void DeroulementWindow::printSheets()
{
    const Cup *c = cup();
    const int round = shownRound();
    if (!c || roundSheetPages(*c, round) == 0)
        return;
    const QString stamp = sheetStampNow();
    const QString name = cupName();
    showPrintPreview(this, QStringLiteral("Feuilles du %1").arg(roundLabel(round)),
                     QStringLiteral("apercuFeuilles"),
                     QStringLiteral("Imprimer les feuilles du %1").arg(roundLabel(round)),
                     [&](QPainter &painter, QPrinter &printer) {
                         paintRoundSheets(painter, printer, *c, round, name, stamp);
                     });
}

bool DeroulementWindow::exportSheetsPdfTo(const QString &fileName)
{
    const Cup *c = cup();
    const int round = shownRound();
    if (!c || roundSheetPages(*c, round) == 0)
        return false;
    return writeAtomically(
        this, fileName, QStringLiteral("Feuilles du tour en PDF"),
        [&](QSaveFile &file) { return writeRoundSheetsPdf(&file, *c, round, cupName()); });
}

void DeroulementWindow::exportSheetsPdf()
{
    const auto fileName = askSaveFileName(this, QStringLiteral("Feuilles du tour en PDF"),
                                          QStringLiteral("feuilles-tour-%1.pdf").arg(shownRound()),
                                          {pdfFilter()}, QStringLiteral("pdf"));
    if (fileName)
        exportSheetsPdfTo(*fileName);
}

bool DeroulementWindow::exportPageTo(const QString &fileName, const QDateTime &madeAt)
{
    const Cup *c = cup();
    if (!c)
        return false;
    const LocalTime moment{madeAt.date().year(), madeAt.date().month(), madeAt.date().day(),
                           madeAt.time().hour(), madeAt.time().minute()};
    return writeAtomically(
        this, fileName, QStringLiteral("Exporter la page des résultats"), [&](QSaveFile &file) {
            const std::string page = cupHtml(*c, cupName().toStdString(), moment);
            return file.write(page.data(), qint64(page.size())) == qint64(page.size());
        });
}

void DeroulementWindow::exportPage()
{
    const auto fileName = askSaveFileName(
        this, QStringLiteral("Exporter la page des résultats"), QStringLiteral("resultats.html"),
        {QStringLiteral("Page web (*.html)")}, QStringLiteral("html"));
    if (fileName)
        exportPageTo(*fileName);
}

} // namespace velmorin
