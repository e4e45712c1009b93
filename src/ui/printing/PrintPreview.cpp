#include "PrintPreview.h"

#include "PrintedSheet.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace velmorin {

void showPrintPreview(QWidget *parent, const QString &documentName, const QString &objectName,
                      const QString &title,
                      const std::function<void(QPainter &, QPrinter &)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(planPageLayout());
    printer.setDocName(documentName);
    // The preview's print button opens the print dialog.
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(objectName);
    preview.setWindowTitle(title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter *target) {
                         QPainter painter(target);
                         paint(painter, *target);
                     });
    preview.exec();
}

} // namespace velmorin
