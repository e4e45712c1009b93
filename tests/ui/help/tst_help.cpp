// The guide: F1 from anywhere, its contents, its own table of shortcuts against the program,
// the hints on the main window's controls, and the guide under a dark scheme.

#include "Contrast.h"
#include "Features.h"
#include "HelpWindow.h"
#include "MessageBoxCatcher.h"
#include "RadioGroup.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextImageFormat>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

QString guideSource()
{
    QFile file(QStringLiteral(":/aide/guide.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The rows of the guide's shortcut table: key, action, where.
QList<QStringList> guideShortcuts()
{
    static const QRegularExpression row(
        QStringLiteral("<tr><td><kbd>([^<]+)</kbd></td><td>([^<]+)</td><td>([^<]+)</td></tr>"));
    QList<QStringList> rows;
    for (const QRegularExpressionMatch &m : row.globalMatch(guideSource()))
        rows.append({m.captured(1), m.captured(2), m.captured(3)});
    return rows;
}

// Closes whatever modal dialog a shortcut opens, so that no test waits on a person.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

} // namespace

class TestHelp : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensWithF1FromEverywhere();
    void contentsReachEverySection();
    void findInTheGuide();
    void findIgnoresAccentsAndCase_data();
    void findIgnoresAccentsAndCase();
    void closesFromTheKeyboard_data();
    void closesFromTheKeyboard();
    void picturesScaledSmoothly();
    void shortcutsDoWhatTheGuideSays_data();
    void shortcutsDoWhatTheGuideSays();
    void everyControlSaysWhatItIs();
    void readableUnderADarkScheme();

private:
    QWidget *help() const
    {
        const QList<QWidget *> windows =
            velmorin::testing::topLevelWindows<QWidget>(QStringLiteral("Aide"));
        return windows.isEmpty() ? nullptr : windows.constFirst();
    }
    void pressOnWindow(const QKeySequence &keys);

    std::unique_ptr<TVlmFPrg> m_window;
};

void TestHelp::init()
{
    m_window = std::make_unique<TVlmFPrg>();
    velmorin::installFeatures(*m_window);
    setWindow(m_window.get());
    QVERIFY(velmorin::testing::showActive(*m_window));
}

void TestHelp::cleanup()
{
    m_window.reset();
    QApplication::setPalette(QPalette());
}

void TestHelp::pressOnWindow(const QKeySequence &keys)
{
    m_window->activateWindow();
    QTRY_VERIFY(m_window->isActiveWindow());
    QTest::keySequence(m_window.get(), keys);
}

void TestHelp::opensWithF1FromEverywhere()
{
    const QList<QAction *> actions = m_window->contextActions();
    QVERIFY(actions.size() >= 2);
    QCOMPARE(actions.last()->objectName(), QStringLiteral("actionAide"));
    QCOMPARE(actions.last()->text(), QStringLiteral("Aide"));
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());

    pressOnWindow(QKeySequence(Qt::Key_F1));
    QWidget *guide = help();
    QVERIFY(guide && guide->isVisible());
    QCOMPARE(guide->windowTitle(), QStringLiteral("Aide de Velmorin"));
    QVERIFY(!guide->isModal());
    // The first section says where everything is.
    const QString opening =
        guide->findChild<QTextBrowser *>()->toPlainText().section(QStringLiteral("Sommaire"), 0, 0);
    for (const char *key : {"clic droit", "F1", "F2", "F3", "F4"})
        QVERIFY2(opening.contains(QLatin1String(key)), key);

    // A second F1, and F1 from a dialog, raise the same window.
    guide->close();
    pressOnWindow(QKeySequence(Qt::Key_F2));
    auto *overview = get<QWidget>("VueEnsemble");
    overview->activateWindow();
    QTRY_VERIFY(overview->isActiveWindow());
    QTest::keyClick(overview, Qt::Key_F1);
    QTRY_VERIFY(guide->isVisible());
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QCOMPARE(velmorin::testing::topLevelWindows<QWidget>(QStringLiteral("Aide")).size(), 1);
}

void TestHelp::contentsReachEverySection()
{
    pressOnWindow(QKeySequence(Qt::Key_F1));
    const QTextDocument *document = help()->findChild<QTextBrowser *>()->document();
    QStringList anchors;
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            anchors += format.anchorNames();
            if (format.isAnchor() && format.anchorHref().startsWith('#'))
                links += format.anchorHref().mid(1);
        }
    }
    QVERIFY(links.size() >= 10);
    for (const QString &link : std::as_const(links))
        QVERIFY2(anchors.contains(link), qPrintable(link));
    // Every section but the opening one is in the contents list.
    for (const QString &anchor : std::as_const(anchors))
        QVERIFY2(anchor == QLatin1String("accueil") || links.contains(anchor), qPrintable(anchor));
}

void TestHelp::findInTheGuide()
{
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QWidget *guide = help();
    guide->activateWindow();
    QTRY_VERIFY(guide->isActiveWindow());
    QTest::keySequence(guide, QKeySequence::Find);
    auto *field = guide->findChild<QLineEdit *>(QStringLiteral("ChercherAide"));
    QTRY_VERIFY(field->hasFocus());
    auto *browser = guide->findChild<QTextBrowser *>();
    field->insert(QStringLiteral("hexadécimal")); // typed through the input method
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(browser->textCursor().selectedText(), QStringLiteral("hexadécimal"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("introuvable-xyz"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(guide->findChild<QLabel *>(QStringLiteral("ResultatChercherAide"))->text(),
             QStringLiteral("Introuvable"));
}

void TestHelp::findIgnoresAccentsAndCase_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("found");
    QTest::newRow("without the accent") << "ecart"
                                        << "écart";
    QTest::newRow("capitals") << "ÉCART"
                              << "écart";
    QTest::newRow("capital without its accent") << "NUMERO"
                                                << "numéro";
    QTest::newRow("accent where the text has a capital") << "équipes inscrites"
                                                         << "Équipes inscrites";
    QTest::newRow("accented as written") << "hexadécimal"
                                         << "hexadécimal";
}

void TestHelp::findIgnoresAccentsAndCase()
{
    QFETCH(QString, query);
    QFETCH(QString, found);
    pressOnWindow(QKeySequence(Qt::Key_F1));
    auto *guide = qobject_cast<velmorin::HelpWindow *>(help());
    QVERIFY(guide);
    QVERIFY(guide->find(query));
    const QString selected = guide->browser()->textCursor().selectedText();
    QVERIFY2(selected.compare(found, Qt::CaseInsensitive) == 0, qPrintable(selected));
    // The next place, then round to the first one again.
    const int first = guide->browser()->textCursor().selectionStart();
    QSet<int> places{first};
    for (int k = 0; k < 200 && guide->find(query); ++k) {
        const int at = guide->browser()->textCursor().selectionStart();
        if (at == first)
            break;
        QVERIFY(!places.contains(at));
        places.insert(at);
    }
    QCOMPARE(guide->browser()->textCursor().selectionStart(), first);
    QVERIFY(guide->find(query, true));
    QCOMPARE(guide->browser()->textCursor().selectionStart(),
             places.size() == 1 ? first : *std::max_element(places.cbegin(), places.cend()));
}

void TestHelp::closesFromTheKeyboard_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("findBarOpen");
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape) << false;
    QTest::newRow("Esc with the find bar open") << QKeySequence(Qt::Key_Escape) << true;
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W) << false;
    QTest::newRow("Ctrl+W with the find bar open") << QKeySequence(Qt::CTRL | Qt::Key_W) << true;
}

void TestHelp::closesFromTheKeyboard()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, findBarOpen);
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QWidget *guide = help();
    guide->activateWindow();
    QTRY_VERIFY(guide->isActiveWindow());
    auto *field = guide->findChild<QLineEdit *>(QStringLiteral("ChercherAide"));
    if (findBarOpen) {
        QTest::keySequence(guide, QKeySequence::Find);
        QTRY_VERIFY(field->hasFocus());
    }
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keySequence(focus, keys);
    // Esc first closes the find bar only.
    if (findBarOpen && keys == QKeySequence(Qt::Key_Escape)) {
        QVERIFY(!field->isVisible());
        QVERIFY(guide->isVisible());
        QTest::keySequence(QApplication::focusWidget(), keys);
    }
    QVERIFY(!guide->isVisible());
}

// Every picture of the guide is held at the size it is shown, scaled smoothly beforehand.
void TestHelp::picturesScaledSmoothly()
{
    pressOnWindow(QKeySequence(Qt::Key_F1));
    QTextDocument *document = help()->findChild<QTextBrowser *>()->document();
    int pictures = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().isImageFormat())
                continue;
            const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
            const QImage image =
                document->resource(QTextDocument::ImageResource, QUrl(format.name()))
                    .value<QImage>();
            QVERIFY2(!image.isNull(), qPrintable(format.name()));
            QCOMPARE(qRound(image.width() / image.devicePixelRatio()), qRound(format.width()));
            ++pictures;
        }
    }
    QVERIFY(pictures >= 5);
}

// Each shortcut of the window that the guide lists belongs to the action it names, and
// pressing it runs that action.
void TestHelp::shortcutsDoWhatTheGuideSays_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("action");
    const QList<QStringList> rows = guideShortcuts();
    QVERIFY(rows.size() >= 8);
    for (const QStringList &row : rows) {
        if (row.at(2) == QStringLiteral("fenêtre principale") ||
            row.at(2) == QLatin1String("partout"))
            QTest::newRow(qPrintable(row.at(0))) << row.at(0) << row.at(1);
    }
}

void TestHelp::shortcutsDoWhatTheGuideSays()
{
    QFETCH(QString, keys);
    QFETCH(QString, action);
    const QKeySequence sequence =
        QKeySequence::fromString(QString(keys).replace(QLatin1String("Maj"), "Shift"));
    QVERIFY(!sequence.isEmpty());
    clickCalcul(); // the plan's actions need a solution shown
    MessageBoxCatcher boxes;
    ModalCloser closer;

    if (action == QLatin1String("Quitter")) {
        auto *quit = m_window->findChild<QShortcut *>(QStringLiteral("quitShortcut"));
        QVERIFY(quit);
        QCOMPARE(quit->key(), sequence);
        return; // quitting would end the test program
    }
    QAction *found = nullptr;
    for (QAction *candidate : m_window->contextActions()) {
        if (candidate->text() == action)
            found = candidate;
    }
    QVERIFY2(found, qPrintable(action));
    QCOMPARE(found->shortcut(), sequence);
    QSignalSpy triggered(found, &QAction::triggered);
    pressOnWindow(sequence);
    QTRY_COMPARE(triggered.count(), 1);
}

void TestHelp::everyControlSaysWhatItIs()
{
    QStringList silent;
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        const bool used =
            qobject_cast<QLineEdit *>(widget) || qobject_cast<QPushButton *>(widget) ||
            (qobject_cast<QAbstractSlider *>(widget) && !qobject_cast<QScrollBar *>(widget)) ||
            qobject_cast<velmorin::TRadioGroup *>(widget) ||
            qobject_cast<velmorin::TUpDown *>(widget);
        if (used && widget->toolTip().isEmpty() &&
            !widget->parentWidget()->inherits("velmorin::TRadioGroup"))
            silent << widget->objectName() + '/' + widget->metaObject()->className();
    }
    for (const char *label :
         {"solution1", "Solution2", "Solution3", "Fini", "ExempNbrs", "ExempLabel"}) {
        if (get<QLabel>(label)->toolTip().isEmpty())
            silent << QLatin1String(label);
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));
    // The dialogs' fields, buttons and tables too.
    pressOnWindow(QKeySequence(Qt::Key_F2));
    for (const char *name : {"TableEnsemble", "GraphiqueEnsemble"})
        QVERIFY2(!get<QWidget>(name)->toolTip().isEmpty(), name);
    for (const auto &[key, dialogName] :
         {std::pair{Qt::Key_F3, "RecherchePlans"}, std::pair{Qt::Key_F4, "Equipes"}}) {
        pressOnWindow(QKeySequence(key));
        for (QWidget *widget : get<QWidget>(dialogName)->findChildren<QWidget *>()) {
            const bool used =
                qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractButton *>(widget) ||
                qobject_cast<QAbstractItemView *>(widget) || qobject_cast<QComboBox *>(widget);
            if (used && !widget->objectName().isEmpty() && widget->toolTip().isEmpty())
                silent << widget->objectName();
        }
    }
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));
    QCOMPARE(get<QLineEdit>("T4")->toolTip(),
             QStringLiteral("Équipes jouant le Tour 4 (1/8 de finale), exemptées comprises"));
    QCOMPARE(get<QLineEdit>("Effectif")->accessibleDescription(),
             get<QLineEdit>("Effectif")->toolTip());
}

void TestHelp::readableUnderADarkScheme()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    QApplication::setPalette(dark);
    pressOnWindow(QKeySequence(Qt::Key_F1));
    auto *browser = help()->findChild<QTextBrowser *>();
    const QPalette shown = browser->palette();
    QVERIFY(velmorin::contrastRatio(shown.color(QPalette::Text), shown.color(QPalette::Base)) >=
            velmorin::kReadableContrast);
    // The guide sets no colour of its own that the scheme could hide.
    QVERIFY(!guideSource().contains(QLatin1String("color")));
}

VELMORIN_WINDOW_TEST_MAIN(TestHelp)
#include "tst_help.moc"
