#include "CupFile.h"

#include "CupSession.h"
#include "FeatureWindow.h"
#include "SaveFile.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QWidget>

namespace velmorin {

namespace {

const QString kRecentKey = QStringLiteral("coupes/recentes");

QSettings settings()
{
    return QSettings(QStringLiteral("Velmorin"), QStringLiteral("Velmorin"));
}

std::optional<QString> askCupName(QWidget *parent)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Nouvelle coupe"));
    dialog.setLabelText(QStringLiteral("Nom de la coupe :"));
    dialog.setTextValue(QStringLiteral("Coupe %1").arg(QDate::currentDate().year()));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString name = dialog.textValue().trimmed();
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

void newCup(FeatureHost &host)
{
    const std::optional<QString> name = askCupName(host.hostWidget());
    if (!name)
        return;
    const std::optional<QString> path = askSaveFileName(
        host.hostWidget(), QStringLiteral("Nouvelle coupe"), *name, {cupFilter()}, cupSuffix());
    if (!path)
        return;
    if (CupSession::of(host).create(*path, *name))
        rememberRecentCup(*path);
}

void openCup(FeatureHost &host)
{
    QFileDialog dialog(host.hostWidget(), QStringLiteral("Ouvrir une coupe"), startFolder().path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({cupFilter(), QStringLiteral("Tous les fichiers (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    rememberFolder(path);
    openCupFile(host, path);
}

void fillRecentMenu(FeatureHost &host, QMenu *menu)
{
    menu->clear();
    const QStringList cups = recentCups();
    if (cups.isEmpty()) {
        menu->addAction(QStringLiteral("(aucune)"))->setEnabled(false);
        return;
    }
    for (int k = 0; k < cups.size(); ++k) {
        const QString path = cups[k];
        // The file's name to choose by, its folder on hovering.
        QAction *item =
            menu->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(path).fileName()));
        item->setObjectName(QStringLiteral("coupeRecente%1").arg(k + 1));
        item->setToolTip(QDir::toNativeSeparators(path));
        QObject::connect(item, &QAction::triggered, menu, [&host, path] {
            host.runGuarded([&host, path] { openCupFile(host, path); });
        });
    }
}

} // namespace

QStringList recentCups()
{
    return settings().value(kRecentKey).toStringList();
}

void rememberRecentCup(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList cups = recentCups();
    cups.removeAll(absolute);
    cups.prepend(absolute);
    while (cups.size() > kRecentCups)
        cups.removeLast();
    settings().setValue(kRecentKey, cups);
}

void forgetRecentCup(const QString &path)
{
    QStringList cups = recentCups();
    cups.removeAll(QFileInfo(path).absoluteFilePath());
    settings().setValue(kRecentKey, cups);
}

bool openCupFile(FeatureHost &host, const QString &path)
{
    if (!QFileInfo::exists(path)) {
        forgetRecentCup(path);
        QMessageBox box(QMessageBox::Warning, host.hostWidget()->windowTitle(),
                        QStringLiteral("La coupe « %1 » n'est plus là (déplacée ou supprimée ?) : "
                                       "elle est retirée des coupes récentes.")
                            .arg(QDir::toNativeSeparators(path)),
                        QMessageBox::Ok, host.hostWidget());
        box.exec();
        return false;
    }
    if (!CupSession::of(host).open(path))
        return false;
    rememberRecentCup(path);
    return true;
}

void installCupFile(FeatureHost &host)
{
    QAction *create = addFeatureAction(
        host, QStringLiteral("Nouvelle coupe…"), QStringLiteral("actionNouvelleCoupe"),
        QKeySequence(Qt::CTRL | Qt::Key_N), [&host] { newCup(host); });
    create->setToolTip(QStringLiteral("Crée un fichier de coupe avec les nombres et la liste "
                                      "d'équipes actuels ; chaque changement s'y enregistre"));
    QAction *open = addFeatureAction(
        host, QStringLiteral("Ouvrir une coupe…"), QStringLiteral("actionOuvrirCoupe"),
        QKeySequence(Qt::CTRL | Qt::Key_O), [&host] { openCup(host); });
    open->setToolTip(QStringLiteral("Ouvre un fichier de coupe et remet la fenêtre comme elle "
                                    "était"));

    auto *recent = new QAction(QStringLiteral("Coupes récentes"), host.hostWidget());
    recent->setObjectName(QStringLiteral("actionCoupesRecentes"));
    auto *recentMenu = new QMenu(host.hostWidget()); // the host's widget owns it
    recentMenu->setObjectName(QStringLiteral("menuCoupesRecentes"));
    recent->setMenu(recentMenu);
    QObject::connect(recentMenu, &QMenu::aboutToShow, recentMenu,
                     [&host, recentMenu] { fillRecentMenu(host, recentMenu); });
    host.addContextAction(recent);

    QAction *close = addFeatureAction(
        host, QStringLiteral("Fermer la coupe"), QStringLiteral("actionFermerCoupe"),
        QKeySequence(Qt::CTRL | Qt::Key_W), [&host] { CupSession::of(host).close(); });
    close->setToolTip(QStringLiteral("Ferme le fichier de coupe ; la fenêtre garde ses nombres"));
    CupSession &session = CupSession::of(host);
    close->setEnabled(false);
    QObject::connect(&session, &CupSession::opened, close, [close] { close->setEnabled(true); });
    QObject::connect(&session, &CupSession::closed, close, [close] { close->setEnabled(false); });
}

} // namespace velmorin
