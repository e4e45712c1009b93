#include "ErrorBox.h"

#include "IntText.h"
#include "VisibleText.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace velmorin {

namespace {

// One mapping for the window and the calculator: the core's.
QString shownWithVisibleControls(const QString &text)
{
    const std::string shown = velmorin::withVisibleControls(text.toStdString());
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

} // namespace

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return shownWithVisibleControls(message + QLatin1Char('.'));
    return shownWithVisibleControls(message);
}

QString failureMessage(const std::exception &failure)
{
    if (const auto *conversion = dynamic_cast<const ConversionError *>(&failure)) {
        const std::string message = conversion->message();
        return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    }
    return QString::fromUtf8(failure.what());
}

void showErrorBox(QWidget *parent, const std::exception &failure)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                    errorBoxText(failureMessage(failure)), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace velmorin
