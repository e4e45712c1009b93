#include "ErrorBox.h"

#include "IntText.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace velmorin {

namespace {

// U+2400 to U+241F picture the C0 controls, U+2421 the DEL.
QString withVisibleControls(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    return text;
}

} // namespace

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return withVisibleControls(message + QLatin1Char('.'));
    return withVisibleControls(message);
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
