// Renders the about dialog, as the main window shows it, to about.png and one frame of its
// history half-way through to about-history.png, in the folder given (default: docs).

#include "Propos.h"
#include "aprop.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

#include <chrono>

namespace {

bool save(QWidget &widget, const QString &path)
{
    const bool saved = widget.grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Velmorin"));
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    TPropos propos;
    prepareVelmorinAbout(propos);
    bool ok = true;
    propos.setDialogHook([&](TApropos &dialog) {
        dialog.setFrameDelay(std::chrono::milliseconds(0));
        dialog.setFinalPause(std::chrono::milliseconds(0));
        QObject::connect(&dialog, &TApropos::frameShown, &dialog, [&](int frame) {
            if (frame == 12 * 16) // eleven lines up: the first versions are in view
                ok = save(dialog, folder.filePath(QStringLiteral("about-history.png"))) && ok;
        });
        QObject::connect(&dialog, &TApropos::animationFinished, &dialog, &QDialog::accept);
        QTimer::singleShot(50, &dialog, [&] {
            ok = save(dialog, folder.filePath(QStringLiteral("about.png"))) && ok;
            dialog.Button1Click();
        });
    });
    propos.ShowAbout();
    return ok ? 0 : 1;
}
