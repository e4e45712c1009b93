// The program on the screen: readable under dark schemes, its fonts and labels, screen
// readers, Qt's French texts, and where its windows open on the available area.

#include "tst_desktop.h"

// Under the scheme set on the application before the window exists, blue, black and the
// scheme's own texts read at 4.5:1; the red, which no face lifts to 4.5:1 (white gives
// 4:1), at the 3:1 of large text.
void TestDesktop::textsReadable_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<double>("needed");

    for (bool dark : {true, false}) {
        for (const char *name :
             {"Effectif", "EffectifCaption", "Finale", "E1", "T1", "Label18", "Label8", "ExempNbrs",
              "ExempLabel", "Solution2", "Solution3", "Button2", "solution1", "Button1"}) {
            const double needed =
                QByteArray(name).startsWith("solution1") || QByteArray(name) == "Button1" ? 3.0
                                                                                          : 4.5;
            QTest::addRow("%s %s", dark ? "dark" : "light", name)
                << dark << QByteArray(name) << needed;
        }
    }
}

void TestDesktop::textsReadable()
{
    QFETCH(bool, dark);
    QFETCH(QByteArray, control);
    QFETCH(double, needed);

    if (dark) {
        QApplication::setPalette(darkScheme());
        newWindow();
    }
    const auto [text, background] = coloursOf(get(control.constData()));
    const double ratio = velmorin::contrastRatio(text, background);
    QVERIFY2(ratio >= needed, qPrintable(QStringLiteral("%1 on %2: %3:1")
                                             .arg(text.name(), background.name())
                                             .arg(ratio, 0, 'f', 2)));
    // The fixed colours stay, and what is painted is what the palette says.
    QCOMPARE(get<QLineEdit>("Effectif")->palette().color(QPalette::Text), QColor(Qt::blue));
    const QImage shot = m_window->grab().toImage();
    const QPoint beside = get("Panel2")->mapTo(m_window.get(), QPoint(4, 30));
    QCOMPARE(QColor(shot.pixel(beside * shot.devicePixelRatio())), coloursOf(get("Label8")).second);
}

// A dialog is a window of its own: it does not inherit the main window's light face.
void TestDesktop::dialogsReadable_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("part");

    for (bool dark : {true, false}) {
        for (const char *part : {"about: Historique", "Classe 3 count", "Classe 2 count",
                                 "column header", "inputs", "chart"})
            QTest::addRow("%s %s", dark ? "dark" : "light", part) << dark << QString(part);
    }
}

void TestDesktop::dialogsReadable()
{
    QFETCH(bool, dark);
    QFETCH(QString, part);

    if (dark) {
        QApplication::setPalette(darkScheme());
        newWindow();
    }
    const auto readable = [](const QColor &text, const QColor &background) {
        const QString fault = velmorin::testing::contrastFault(text, background);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    };
    if (part.startsWith("about")) {
        const TApropos about(m_window.get());
        const auto [text, background] =
            coloursOf(about.findChild<QPushButton *>(QStringLiteral("Button1")));
        readable(text, background);
        return;
    }
    velmorin::installFeatures(*m_window);
    get<QAction>("actionVueEnsemble")->trigger();
    auto *dialog = get<QDialog>("VueEnsemble");
    auto *table = dialog->findChild<QTableView *>(QStringLiteral("TableEnsemble"));
    auto *chart = dialog->findChild<velmorin::OverviewChart *>(QStringLiteral("GraphiqueEnsemble"));
    QVERIFY(table->model()->rowCount() > 0);

    const QModelIndex firstCount = table->model()->index(0, part == "Classe 3 count" ? 1 : 2);
    QColor text;
    QColor background = chart->palette().color(QPalette::Base);
    if (part.endsWith("count")) {
        text = firstCount.data(Qt::ForegroundRole).value<QBrush>().color();
        background = table->palette().color(QPalette::Base);
    } else if (part == "column header") {
        text = table->horizontalHeader()->palette().color(QPalette::ButtonText);
        background = table->horizontalHeader()->palette().color(QPalette::Button);
    } else if (part == "inputs") {
        std::tie(text, background) =
            coloursOf(dialog->findChild<QLabel *>(QStringLiteral("EntreesEnsemble")));
    } else {
        // Its axes, labels and legend are written in its palette's text colour.
        text = chart->palette().color(QPalette::Text);
        readable(text, background);
        const QImage drawn = chart->grab().toImage();
        QCOMPARE(QColor(drawn.pixel(QPoint(1, 1) * drawn.devicePixelRatio())), background);
        return;
    }
    readable(text, background);
    if (QTest::currentTestFailed())
        return;
    // What the table paints under its counts is what its palette says.
    const QImage shot = table->viewport()->grab().toImage();
    const QPoint inCell = table->visualRect(firstCount).topLeft() + QPoint(2, 2);
    QCOMPARE(QColor(shot.pixel(inCell * shot.devicePixelRatio())),
             table->palette().color(QPalette::Base));
}

// A designed family that is missing is passed over for the first stand-in installed, so that
// the font database never goes through fontconfig's substitutions for it; with no stand-in
// installed, the whole list goes, and the database decides.
void TestDesktop::designedFontsStandIn_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("shown");

    QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                   << "Liberation Sans";
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("Symbol") << "Symbol"
                            << "DejaVu Sans";
    QTest::newRow("Century Schoolbook") << "Century Schoolbook"
                                        << "C059";
    QTest::newRow("unknown") << "Nulle Part"
                             << "Nulle Part";
}

void TestDesktop::designedFontsStandIn()
{
    QFETCH(QString, family);
    QFETCH(QString, shown);

    if (QFontDatabase::hasFamily(family))
        QSKIP("the designed family is installed here");
    const QStringList families = velmorin::fontFamilies(family);
    QCOMPARE(families.first(), shown);
    QFont font;
    font.setFamilies(families);
    // The database names a family that several foundries provide as "C059 [URW]".
    if (shown != family)
        QCOMPARE(QFontInfo(font).family().section(QLatin1String(" ["), 0, 0), shown);
}

// Each label that sizes itself is as large as its text in the font it shows, once on screen:
// the hidden end mark included, and after a change of font.
void TestDesktop::labelsFitTheirText_data()
{
    QTest::addColumn<int>("pixels");

    QTest::newRow("designed fonts") << 0;
    QTest::newRow("font changed") << 40;
}

void TestDesktop::labelsFitTheirText()
{
    QFETCH(int, pixels);

    const auto labels = m_window->findChildren<velmorin::TAutoSizeLabel *>();
    QCOMPARE(labels.size(), 24);
    for (velmorin::TAutoSizeLabel *label : labels) {
        if (pixels) {
            QFont font = label->font();
            font.setPixelSize(pixels);
            label->setFont(font);
        }
        label->show();
        QVERIFY2(label->size() == label->sizeHint(),
                 qPrintable(QStringLiteral("%1: %2×%3 for %4×%5")
                                .arg(label->objectName())
                                .arg(label->width())
                                .arg(label->height())
                                .arg(label->sizeHint().width())
                                .arg(label->sizeHint().height())));
    }
}

void TestDesktop::exemptionNumberIsRead()
{
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(get("ExempNbrs"));
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("2 équipes exemptées du Tour 4"));
    auto *effectif = get<QLineEdit>("Effectif");
    QTest::keyClick(effectif, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(effectif, QStringLiteral("80"));
    QTest::keyClick(effectif, Qt::Key_Return);
    QTest::keyClick(get("TrackBar2"), Qt::Key_Right);
    QCOMPARE(get<QLabel>("ExempNbrs")->text(), QStringLiteral("1"));
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("1 équipe exemptée du Tour 4"));
}

// Whatever the locale (the tests run in C.UTF-8), the edit boxes' own menu is French; the
// set-up installs the translations.
void TestDesktop::qtTextsInFrench()
{
    QVERIFY2(velmorin::installQtFrench(qApp),
             "qt6-translations-l10n: bash scripts/install-deps.sh");
    std::unique_ptr<QMenu> menu(get<QLineEdit>("Effectif")->createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    QVERIFY2(texts.contains(QStringLiteral("Tout sélectionner")), qPrintable(texts.join('|')));
    for (QTranslator *translator : qApp->findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(translator);
}

void TestDesktop::centredPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");

    QTest::newRow("centred") << QRect(0, 0, 1280, 1024) << QPoint(409, 223);
    QTest::newRow("scale 2 on 1024 pixels") << QRect(0, 0, 640, 512) << QPoint(89, 0);
    QTest::newRow("second screen, too small") << QRect(1280, 24, 400, 300) << QPoint(1280, 24);
}

// The title bar (the frame's top-left corner) stays on the available area.
void TestDesktop::centredPosition()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, position);
    QCOMPARE(velmorin::centredPosition(available, QSize(461, 577)), position);
}

// A feature window opens in the free area that shows the most of it, shrunk to fit, beside the
// main window (and the window it was opened from); only when no free area holds its minimum
// does it overlap, covering as little of the fields as it can. Always whole on the screen.
void TestDesktop::besideGeometry_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("opener"); // empty: opened from the main window
    QTest::addColumn<QSize>("preferred");
    QTest::addColumn<QRect>("expected");

    const QSize overview(976, 499);
    const QSize guide(640, 720);
    const QRect wide(0, 0, 1600, 1000);
    const QRect small(0, 0, 1024, 600);
    const QSize host(461, 577);
    QTest::newRow("main window at the left edge") << wide << QRect(QPoint(0, 100), host) << QRect()
                                                  << overview << QRect(QPoint(469, 100), overview);
    QTest::newRow("at the right edge") << wide << QRect(QPoint(1139, 100), host) << QRect()
                                       << overview << QRect(QPoint(155, 100), overview);
    QTest::newRow("at the top edge, centred")
        << wide << QRect(QPoint(570, 0), host) << QRect() << overview << QRect(570, 585, 976, 415);
    QTest::newRow("at the bottom edge, centred")
        << wide << QRect(QPoint(570, 423), host) << QRect() << overview << QRect(570, 0, 976, 415);
    QTest::newRow("centred: shrunk to the side's width")
        << wide << QRect(QPoint(570, 211), host) << QRect() << overview << QRect(0, 211, 562, 499);
    QTest::newRow("the guide, taller than the room beside")
        << wide << QRect(QPoint(0, 0), host) << QRect() << guide << QRect(QPoint(469, 0), guide);
    QTest::newRow("the guide opened from the plan search")
        << wide << QRect(QPoint(0, 0), host) << QRect(469, 0, 976, 499) << guide
        << QRect(469, 507, 640, 493);
    QTest::newRow("small screen, main window at the left")
        << small << QRect(QPoint(0, 0), QSize(461, 577)) << QRect() << overview
        << QRect(469, 0, 555, 499);
    QTest::newRow("small screen, main window centred: over it, clear of the fields")
        << small << QRect(QPoint(281, 12), host) << QRect() << guide << QRect(469, 300, 555, 300);
    QTest::newRow("small screen, main window at the bottom")
        << small << QRect(QPoint(281, 23), host) << QRect() << overview
        << QRect(469, 300, 555, 300);
    QTest::newRow("main window partly off the screen")
        << small << QRect(QPoint(800, -40), host) << QRect() << overview << QRect(0, 0, 792, 499);
}

void TestDesktop::besideGeometry()
{
    QFETCH(QRect, available);
    QFETCH(QRect, window);
    QFETCH(QRect, opener);
    QFETCH(QSize, preferred);
    QFETCH(QRect, expected);
    const QSize minimum(555, 300);
    // The fields: the upper part of the main window.
    const QRect fields = window.adjusted(8, 30, -8, -window.height() + 30 + 260);
    std::vector<QRect> avoid{window};
    if (!opener.isEmpty())
        avoid.push_back(opener);
    const QRect placed = velmorin::besideGeometry(available, avoid, fields, preferred, minimum);
    QCOMPARE(placed, expected);
}

// Every feature window can shrink to 560 pixels wide and to what a 1024×600 screen leaves, its
// tables scrolling, so that it opens beside the main window instead of over it.
void TestDesktop::featureWindowsShrink_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("name");
    QTest::newRow("overview") << QKeySequence(Qt::Key_F2) << "VueEnsemble";
    QTest::newRow("plan search") << QKeySequence(Qt::Key_F3) << "RecherchePlans";
    QTest::newRow("teams") << QKeySequence(Qt::Key_F4) << "Equipes";
    QTest::newRow("guide") << QKeySequence(Qt::Key_F1) << "Aide";
    QTest::newRow("cup") << QKeySequence(Qt::Key_F5) << "Deroulement";
}

void TestDesktop::featureWindowsShrink()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, name);
    newWindow();
    velmorin::installFeatures(*m_window);
    m_window->activateWindow();
    QTest::keySequence(m_window.get(), keys);
    const QList<QWidget *> windows = velmorin::testing::topLevelWindows<QWidget>(name);
    QCOMPARE(windows.size(), 1);
    const QSize minimum =
        windows.constFirst()->minimumSizeHint().expandedTo(windows.constFirst()->minimumSize());
    QVERIFY2(minimum.width() <= 560, qPrintable(QString::number(minimum.width())));
    QVERIFY2(minimum.height() <= 520, qPrintable(QString::number(minimum.height())));
}
