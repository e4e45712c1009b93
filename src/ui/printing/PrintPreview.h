#pragma once

// The print preview every printed sheet goes through: an A4 page, and a print button that
// opens the print dialog.

#include <QString>

#include <functional>

class QPainter;
class QPrinter;
class QWidget;

namespace velmorin {

// Shows the preview, modal, until the user closes it; `paint` draws the pages on the printer.
void showPrintPreview(QWidget *parent, const QString &documentName, const QString &objectName,
                      const QString &title,
                      const std::function<void(QPainter &, QPrinter &)> &paint);

} // namespace velmorin
