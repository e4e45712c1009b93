#include "CupExports.h"

#include "CupPlayText.h"
#include "CupText.h"
#include "PrintPreview.h"
#include "PrintedSheet.h"
#include "RoundSheets.h"
#include "SaveFile.h"

#include <QPrinter>

namespace velmorin {

namespace {

const QString kSheetsPdfTitle = QStringLiteral("Feuilles du tour en PDF");
const QString kPageTitle = QStringLiteral("Exporter la page des résultats");

QString roundText(int round)
{
    return QString::fromStdString(roundLabel(round));
}

} // namespace

void previewRoundSheets(QWidget *parent, const Cup &cup, int round, const QString &cupName)
{
    if (roundSheetPages(cup, round) == 0)
        return;
    const QString stamp = sheetStampNow();
    showPrintPreview(parent, QStringLiteral("Feuilles du %1").arg(roundText(round)),
                     QStringLiteral("apercuFeuilles"),
                     QStringLiteral("Imprimer les feuilles du %1").arg(roundText(round)),
                     [&](QPainter &painter, QPrinter &printer) {
                         paintRoundSheets(painter, printer, cup, round, cupName, stamp);
                     });
}

bool saveRoundSheetsPdf(QWidget *parent, const Cup &cup, int round, const QString &cupName,
                        const QString &fileName)
{
    if (roundSheetPages(cup, round) == 0)
        return false;
    return writeAtomically(parent, fileName, kSheetsPdfTitle, [&](QSaveFile &file) {
        return writeRoundSheetsPdf(&file, cup, round, cupName);
    });
}

bool saveResultsPage(QWidget *parent, const Cup &cup, const QString &cupName,
                     const QString &fileName, const QDateTime &madeAt)
{
    const LocalTime moment{madeAt.date().year(), madeAt.date().month(), madeAt.date().day(),
                           madeAt.time().hour(), madeAt.time().minute()};
    return writeAtomically(parent, fileName, kPageTitle, [&](QSaveFile &file) {
        const std::string page = cupHtml(cup, cupName.toStdString(), moment);
        return file.write(page.data(), qint64(page.size())) == qint64(page.size());
    });
}

std::optional<QString> askRoundSheetsPdfName(QWidget *parent, int round)
{
    return askSaveFileName(parent, kSheetsPdfTitle,
                           QStringLiteral("feuilles-tour-%1.pdf").arg(round), {pdfFilter()},
                           QStringLiteral("pdf"));
}

std::optional<QString> askResultsPageName(QWidget *parent)
{
    return askSaveFileName(parent, kPageTitle, QStringLiteral("resultats.html"),
                           {QStringLiteral("Page web (*.html)")}, QStringLiteral("html"));
}

} // namespace velmorin
