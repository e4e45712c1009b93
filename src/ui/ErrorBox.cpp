#include "ErrorBox.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace velmorin {

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showErrorBox(QWidget *parent, const std::exception &failure)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(),
                    errorBoxText(QString::fromUtf8(failure.what())), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace velmorin
