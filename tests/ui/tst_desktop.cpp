// The program on real desktops: dark colour schemes, screen readers, Qt's French texts, the
// screen's available area, and hostile text.

#include "ClassAppearance.h"
#include "Contrast.h"
#include "ErrorBox.h"
#include "MessageBoxCatcher.h"
#include "Placement.h"
#include "Propos.h"
#include "QtTranslation.h"
#include "TrackBar.h"
#include "VlmPrg.h"
#include "aprop.h"

#include <QAccessible>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTranslator>
#include <QtTest>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;
using velmorin::contrastRatio;

namespace {

// A desktop in dark mode: light texts on dark faces.
QPalette darkScheme()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    return dark;
}

// The colour a control's text stands on: edit boxes and buttons paint their own; labels and
// radio buttons show the nearest ancestor that fills its background.
QColor backgroundOf(const QWidget *widget)
{
    if (qobject_cast<const QLineEdit *>(widget))
        return widget->palette().color(QPalette::Base);
    if (qobject_cast<const QPushButton *>(widget))
        return widget->palette().color(QPalette::Button);
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(QPalette::Window);
    }
    return {};
}

QColor foregroundOf(const QWidget *widget)
{
    if (qobject_cast<const QLineEdit *>(widget))
        return widget->palette().color(QPalette::Text);
    if (qobject_cast<const QPushButton *>(widget))
        return widget->palette().color(QPalette::ButtonText);
    return widget->palette().color(QPalette::WindowText);
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void contrastRatio_data();
    void contrastRatio();
    void textsReadableOnAnyScheme_data();
    void textsReadableOnAnyScheme();
    void aboutBoxOnADarkScheme();

    void exemptionNumberIsRead();
    void arrowsAreHiddenFromScreenReaders();
    void solutionLabelsDescribeSliders();

    void qtTextsInFrench();

    void centredPosition_data();
    void centredPosition();
    void windowStartsOnTheAvailableArea();

    void longPasteKeptWhole();
    void controlCharactersShown_data();
    void controlCharactersShown();
    void mailLinkFromTheKeyboard();
    void quitDuringHistory_data();
    void quitDuringHistory();

private:
    template <typename T> T *get(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void newWindow();

    std::unique_ptr<TVlmFPrg> m_window;
    QPalette m_systemPalette;
};

void TestDesktop::init()
{
    m_systemPalette = QApplication::palette();
    newWindow();
}

void TestDesktop::cleanup()
{
    m_window.reset();
    QApplication::setPalette(m_systemPalette);
}

void TestDesktop::newWindow()
{
    m_window = std::make_unique<TVlmFPrg>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestDesktop::contrastRatio_data()
{
    QTest::addColumn<QColor>("a");
    QTest::addColumn<QColor>("b");
    QTest::addColumn<double>("ratio");

    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("same colour") << QColor(Qt::blue) << QColor(Qt::blue) << 1.0;
    QTest::newRow("order does not count") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("blue on white") << QColor(Qt::blue) << QColor(Qt::white) << 8.59;
    QTest::newRow("red on white") << QColor(Qt::red) << QColor(Qt::white) << 4.0;
    QTest::newRow("mid grey on black") << QColor(0x77, 0x77, 0x77) << QColor(Qt::black) << 4.69;
}

void TestDesktop::contrastRatio()
{
    QFETCH(QColor, a);
    QFETCH(QColor, b);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(velmorin::contrastRatio(a, b) - ratio) < 0.01,
             qPrintable(QString::number(velmorin::contrastRatio(a, b))));
}

// Under the scheme set on the application before the window exists, every text reads on
// what it stands on: blue, black and the scheme's own texts at 4.5:1; the red, which no
// light face lifts to 4.5:1 (white gives 4:1), at the 3:1 of large text.
void TestDesktop::textsReadableOnAnyScheme_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("needed");

    for (bool dark : {true, false}) {
        const char *scheme = dark ? "dark" : "light";
        for (const char *control :
             {"Effectif", "Finale", "E1", "T1", "E4", "Label18", "Label8", "Label1", "ExempNbrs",
              "ExempLabel", "Solution2", "Solution3", "Button2", "Button3", "EffectifCaption"})
            QTest::addRow("%s %s", scheme, control) << dark << control << 4.5;
        for (const char *control : {"solution1", "Button1"})
            QTest::addRow("%s %s", scheme, control) << dark << control << 3.0;
    }
}

void TestDesktop::textsReadableOnAnyScheme()
{
    QFETCH(bool, dark);
    QFETCH(QString, control);
    QFETCH(double, needed);

    if (dark) {
        QApplication::setPalette(darkScheme());
        newWindow();
    }
    const QWidget *widget = m_window->findChild<QWidget *>(control);
    QVERIFY(widget);
    const double ratio = velmorin::contrastRatio(foregroundOf(widget), backgroundOf(widget));
    QVERIFY2(ratio >= needed,
             qPrintable(QStringLiteral("%1 on %2: %3:1")
                            .arg(foregroundOf(widget).name(), backgroundOf(widget).name())
                            .arg(ratio, 0, 'f', 2)));
    // The fixed colours stay as designed.
    QCOMPARE(get<QLineEdit>("Effectif")->palette().color(QPalette::Text), QColor(Qt::blue));
    QCOMPARE(get<QLabel>("Solution3")->palette().color(QPalette::WindowText), QColor(Qt::black));
    // What is painted matches the palette: a pixel of the background beside Label8.
    const QImage shot = m_window->grab().toImage();
    const QWidget *panel = get<QWidget>("Panel2");
    const QPoint inside = panel->mapTo(m_window.get(), QPoint(4, 30));
    QCOMPARE(QColor(shot.pixel(inside * shot.devicePixelRatio())),
             backgroundOf(get<QWidget>("Label8")));
}

// The dialog's own red stays on any scheme, and the history's button reads on its face.
void TestDesktop::aboutBoxOnADarkScheme()
{
    QApplication::setPalette(darkScheme());
    TApropos dialog;
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(Qt::red));
    auto *link = dialog.findChild<QLabel *>(QStringLiteral("Label3"));
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    auto *historique = dialog.findChild<QPushButton *>(QStringLiteral("Button1"));
    QVERIFY(velmorin::contrastRatio(foregroundOf(historique), backgroundOf(historique)) >= 4.5);
    const QWidget *panel = dialog.findChild<QWidget *>(QStringLiteral("Panel1"));
    QCOMPARE(panel->palette().color(QPalette::Window), velmorin::designedButtonFace());
}

void TestDesktop::exemptionNumberIsRead()
{
    auto *number = get<QLabel>("ExempNbrs");
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(number);
    QVERIFY(spoken);
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("2 équipes exemptées du Tour 4"));

    auto *effectif = get<QLineEdit>("Effectif");
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(effectif, QStringLiteral("80"));
    QTest::keyClick(effectif, Qt::Key_Return);
    auto *slider = get<velmorin::TTrackBar>("TrackBar2");
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(number->text(), QStringLiteral("1"));
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("1 équipe exemptée du Tour 4"));
}

void TestDesktop::arrowsAreHiddenFromScreenReaders()
{
    for (int n = 9; n <= 17; ++n) {
        const QByteArray name = "Label" + QByteArray::number(n);
        QAccessibleInterface *arrow =
            QAccessible::queryAccessibleInterface(get<QLabel>(name.constData()));
        QVERIFY(arrow);
        QVERIFY2(arrow->state().invisible, name.constData());
        QVERIFY(arrow->text(QAccessible::Name).isEmpty());
    }
    // Other labels are read as usual.
    QAccessibleInterface *row = QAccessible::queryAccessibleInterface(get<QLabel>("Label1"));
    QVERIFY(!row->state().invisible);
    QCOMPARE(row->text(QAccessible::Name), QStringLiteral("Tour 1"));
}

// Each slider is labelled and described by its solution label, as it changes.
void TestDesktop::solutionLabelsDescribeSliders()
{
    QTest::keyClick(get<QLineEdit>("Effectif"), Qt::Key_Return);
    auto *slider = get<velmorin::TTrackBar>("TrackBar2");
    QTest::keyClick(slider, Qt::Key_Right);

    auto *label = get<QLabel>("Solution2");
    QCOMPARE(label->text(), QStringLiteral("Solution : 2/7"));
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(slider);
    QCOMPARE(spoken->text(QAccessible::Description), label->text());
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Solutions avec une exemptée"));
    const auto labels = spoken->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object(), label);
}

void TestDesktop::qtTextsInFrench()
{
    if (!velmorin::installQtFrench(qApp))
        QSKIP("Qt's French translation (qt6-translations-l10n) is not installed");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Ok);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annuler"));
    for (QTranslator *translator : qApp->findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(translator);
}

void TestDesktop::centredPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QPoint>("position");

    QTest::newRow("centred") << QRect(0, 0, 1280, 1024) << QSize(453, 547) << QPoint(413, 238);
    QTest::newRow("below a top panel")
        << QRect(0, 32, 1280, 992) << QSize(453, 547) << QPoint(413, 254);
    QTest::newRow("scale 2 on 1024 pixels: title bar kept on screen")
        << QRect(0, 0, 640, 512) << QSize(461, 577) << QPoint(89, 0);
    QTest::newRow("too small both ways, second screen")
        << QRect(1280, 24, 400, 300) << QSize(461, 577) << QPoint(1280, 24);
}

void TestDesktop::centredPosition()
{
    QFETCH(QRect, available);
    QFETCH(QSize, outer);
    QFETCH(QPoint, position);
    QCOMPARE(velmorin::centredPosition(available, outer), position);
}

void TestDesktop::windowStartsOnTheAvailableArea()
{
    const QRect available = m_window->screen()->availableGeometry();
    QVERIFY(available.contains(m_window->frameGeometry().topLeft()));
}

// Cut at Qt's default 32767 characters, the text would be 0; whole, it is 71.
void TestDesktop::longPasteKeptWhole()
{
    const QString pasted = QString(32767, QLatin1Char('0')) + QStringLiteral("71");
    QApplication::clipboard()->setText(pasted);
    auto *effectif = get<QLineEdit>("Effectif");
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(effectif, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(effectif->text().size(), pasted.size());
    QTest::keyClick(effectif, Qt::Key_Up); // nothing to do with the field
    MessageBoxCatcher catcher;
    QTest::keyClick(effectif, Qt::Key_Tab);
    QVERIFY(catcher.shown().isEmpty());
    QCOMPARE(get<QLineEdit>("E1")->text(), QStringLiteral("20"));
}

// Whatever the text holds reaches the error box whole, its control characters visible.
void TestDesktop::controlCharactersShown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("NUL") << QString::fromUtf8("7\0 1", 4) << QStringLiteral("7␀ 1");
    QTest::newRow("NUL first") << QString::fromUtf8("\0"
                                                    "71",
                                                    3)
                               << QStringLiteral("␀71");
    QTest::newRow("tab and escape") << QStringLiteral("7\t\x1b") << QStringLiteral("7␉␛");
    QTest::newRow("delete") << QStringLiteral("7\x7f") << QStringLiteral("7␡");
}

void TestDesktop::controlCharactersShown()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    auto *effectif = get<QLineEdit>("Effectif");
    effectif->setText(typed);
    QCOMPARE(effectif->text(), typed);
    MessageBoxCatcher catcher;
    QTest::keyClick(effectif, Qt::Key_Tab);
    QCOMPARE(catcher.texts(),
             QStringList{QStringLiteral("'%1' n'est pas une valeur entière correcte.").arg(shown)});
}

void TestDesktop::mailLinkFromTheKeyboard()
{
    TApropos dialog;
    QList<QUrl> opened;
    dialog.setUrlOpener([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    dialog.setWindowTitle(QStringLiteral("De l'utilitaire organisation Velmorin"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *historique = dialog.findChild<QPushButton *>(QStringLiteral("Button1"));
    historique->setFocus(Qt::TabFocusReason);
    QTest::keyClick(historique, Qt::Key_Tab);
    auto *link = dialog.findChild<QLabel *>(QStringLiteral("Label3"));
    QCOMPARE(QApplication::focusWidget(), link);
    QTest::keyClick(link, Qt::Key_Return);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first(), TApropos::mailtoUrl(dialog.windowTitle()));
}

// However the quit comes while the history plays, the program ends: the history finishes,
// the dialog closes, and the event loop returns.
void TestDesktop::quitDuringHistory_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("historyEnds");

    QTest::newRow("application quit") << "quit" << true;
    QTest::newRow("Quitter") << "Quitter" << true;
    QTest::newRow("Ctrl+Q in the dialog") << "Ctrl+Q" << true;
    QTest::newRow("main window closed") << "close" << false;
}

void TestDesktop::quitDuringHistory()
{
    QFETCH(QString, request);
    QFETCH(bool, historyEnds);

    bool ended = false;
    m_window->Propos1->setDialogHook([&](TApropos &dialog) {
        dialog.setFrameDelay(1ms);
        dialog.setFinalPause(200ms);
        connect(&dialog, &TApropos::frameShown, &dialog, [&, request](int frame) {
            if (frame != 3)
                return;
            if (request == QLatin1String("quit"))
                QCoreApplication::quit();
            else if (request == QLatin1String("Quitter"))
                m_window->Button2Click();
            else if (request == QLatin1String("Ctrl+Q"))
                QTest::keyClick(&dialog, Qt::Key_Q, Qt::ControlModifier);
            else
                m_window->close();
        });
        connect(&dialog, &TApropos::animationFinished, &dialog, [&] { ended = true; });
        QTimer::singleShot(0, &dialog, &TApropos::Button1Click);
    });
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(10000);
    QTimer::singleShot(0, m_window.get(), [this] { m_window->Button3Click(); });
    QCOMPARE(QCoreApplication::exec(), 0);
    if (historyEnds)
        QVERIFY(ended);
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
