// Start-up probe: prints the CPU time the process spent from its start to the first paint of
// its window, in milliseconds, then quits. Built three times: as the program starts (its
// set-up, the main window and its features); with VELMORIN_STARTUP_MINIMAL, as a minimal Qt
// Widgets program showing three widgets; and with VELMORIN_STARTUP_FONTS too, as those three
// widgets and one label in each font the main window shows at start, the part of the
// window's start-up that its design alone costs. scripts/startup-time.sh sets them side by
// side.

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

#ifdef VELMORIN_STARTUP_MINIMAL
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#ifdef VELMORIN_STARTUP_FONTS
#include "Appearance.h"
#endif
#else
#include "Features.h"
#include "Program.h"
#include "VlmPrg.h"
#endif

namespace {

double cpuMilliseconds()
{
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6;
}

// With VELMORIN_STARTUP_PHASES set, the CPU time at each step goes to the error output.
void phase(const char *name)
{
    if (qEnvironmentVariableIsSet("VELMORIN_STARTUP_PHASES"))
        std::fprintf(stderr, "%-12s %8.3f ms\n", name, cpuMilliseconds());
}

void printCpuTimeAndQuit()
{
    std::printf("%.3f\n", cpuMilliseconds());
    QCoreApplication::quit();
}

// At the first paint of any widget, waits for the whole paint pass to end, then prints the
// process's CPU time so far and quits.
class FirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QMetaObject::invokeMethod(qApp, &printCpuTimeAndQuit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    phase("main");
    QApplication application(argc, argv);
    phase("application");
    FirstPaint firstPaint;
#ifdef VELMORIN_STARTUP_MINIMAL
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Inscrites")));
    layout->addWidget(new QLineEdit(QStringLiteral("71")));
    layout->addWidget(new QPushButton(QStringLiteral("Calcul")));
#ifdef VELMORIN_STARTUP_FONTS
    // The designed families and pixel sizes of the window's visible texts.
    struct DesignedFont
    {
        const char *family;
        int pixels;
        const char *text;
    };
    const DesignedFont designedFonts[] = {
        {"MS Sans Serif", 11, "Nombre de quadrettes"},
        {"MS Sans Serif", 16, "52"},
        {"MS Sans Serif", 17, "Données du problème"},
        {"MS Sans Serif", 19, "Calcul"},
        {"Arial", 27, "0 solution"},
        {"Symbol", 27, "↓"},
    };
    for (const auto &[family, pixels, text] : designedFonts) {
        auto *label = new QLabel(QString::fromUtf8(text));
        QFont font;
        font.setFamilies(velmorin::fontFamilies(QString::fromLatin1(family)));
        font.setPixelSize(pixels);
        label->setFont(font);
        layout->addWidget(label);
    }
#endif
#else
    velmorin::setUpApplication(application);
    phase("set-up");
    TVlmFPrg window;
    phase("window");
    velmorin::installFeatures(window);
    phase("features");
#endif
    application.installEventFilter(&firstPaint);
    window.show();
    phase("show");
    return QApplication::exec();
}
