#include "Program.h"

#include "QtTranslation.h"

#include <QApplication>
#include <QIcon>

namespace velmorin {

void setUpApplication(QApplication &application)
{
    installQtFrench(&application);
    // The caption of the error boxes; window titles get no suffix from it.
    QApplication::setApplicationName(QStringLiteral("Velmorin"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/velmorin-32.png"));
    icon.addFile(QStringLiteral(":/icons/velmorin-128.png"));
    QApplication::setWindowIcon(icon);
}

} // namespace velmorin
