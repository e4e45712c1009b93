#include "Propos.h"
#include "aprop.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <stdexcept>

namespace {

// What one show handed to its dialog.
struct Shown
{
    QString caption;
    QString version;
    QStringList lines;
};

// Records every dialog the component shows and closes it as soon as its modal loop runs.
void recordShows(TPropos &propos, QList<Shown> &shows)
{
    propos.setDialogHook([&shows](TApropos &dialog) {
        shows.append({dialog.windowTitle(), dialog.versionText(), dialog.histoLignes()});
        QTimer::singleShot(0, &dialog, &QDialog::reject);
    });
}

} // namespace

class TestPropos : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Velmorin")); }

    void storedValues()
    {
        QWidget window;
        TPropos *propos = createPropos1(&window);
        QCOMPARE(propos->parent(), &window);
        QCOMPARE(propos->objectName(), QStringLiteral("Propos1"));
        QCOMPARE(propos->property("PVersion").toString(), QStringLiteral("1.02"));
        QCOMPARE(propos->property("PCaption").toString(),
                 QStringLiteral("De l'utilitaire organisation Velmorin"));
        QCOMPARE(propos->property("Lignes").toStringList(), QStringList(3, QString()));
    }

    void aboutButtonShowsHistoryOnce_data()
    {
        QTest::addColumn<int>("presses");
        QTest::newRow("first press") << 1;
        QTest::newRow("second press") << 2;
        QTest::newRow("tenth press") << 10;
    }

    void aboutButtonShowsHistoryOnce()
    {
        QFETCH(int, presses);
        TPropos *propos = createPropos1(nullptr);
        std::unique_ptr<TPropos> owner(propos);
        QList<Shown> shows;
        recordShows(*propos, shows);
        for (int press = 0; press < presses; ++press) {
            prepareVelmorinAbout(*propos);
            QVERIFY(propos->ShowAbout());
        }
        QCOMPARE(shows.size(), presses);
        const QString caption = QStringLiteral("De l'utilitaire organisation Velmorin");
        const QStringList expected = QStringList{caption, QString(), QString()} + velmorinHistory();
        for (const Shown &shown : shows) {
            QCOMPARE(shown.caption, caption);
            QCOMPARE(shown.version, QStringLiteral("Programme vers. 3.06"));
            QCOMPARE(shown.lines.size(), 21);
            QCOMPARE(shown.lines, expected);
        }
        QCOMPARE(propos->Lignes(), expected);
    }

    void historyLines_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("shape");
        // Indented continuations, trailing spaces and blank separators, as written.
        const QList<std::pair<int, QString>> rows = {
            {1, "plain"},  {2, "trailing"}, {3, "indented"}, {4, "empty"},  {5, "plain"},
            {6, "plain"},  {7, "both"},     {8, "indented"}, {9, "plain"},  {10, "both"},
            {11, "empty"}, {12, "plain"},   {13, "plain"},   {14, "empty"}, {15, "plain"},
            {16, "plain"}, {17, "empty"},   {18, "empty"}};
        for (const auto &[line, shape] : rows)
            QTest::addRow("line %d", line) << line << shape;
    }

    void historyLines()
    {
        QFETCH(int, line);
        QFETCH(QString, shape);
        const QStringList history = velmorinHistory();
        QCOMPARE(history.size(), 18);
        const QString text = history.at(line - 1);
        QCOMPARE(text.isEmpty(), shape == "empty");
        const bool indented = shape == "indented" || shape == "both";
        const bool trailing = shape == "trailing" || shape == "both";
        QCOMPARE(text.startsWith(QStringLiteral("     ")), indented);
        if (indented)
            QVERIFY(!text.at(5).isSpace());
        QCOMPARE(text.endsWith(' '), trailing);
        if (trailing)
            QVERIFY(!text.at(text.size() - 2).isSpace());
    }

    void captionAndFirstLine_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        QTest::newRow("own caption") << "Mon outil"
                                     << "Mon outil";
        QTest::newRow("empty caption") << ""
                                       << "Velmorin";
    }

    void captionAndFirstLine()
    {
        QFETCH(QString, caption);
        QFETCH(QString, title);
        TPropos propos;
        propos.setPVersion(QStringLiteral("9.99"));
        propos.setPCaption(caption);
        propos.Lignes() << QStringLiteral("un") << QStringLiteral("deux");
        QList<Shown> shows;
        recordShows(propos, shows);
        QVERIFY(propos.ShowAbout());
        QCOMPARE(shows.size(), 1);
        QCOMPARE(shows.at(0).caption, title);
        QCOMPARE(shows.at(0).version, QStringLiteral("Programme vers. 9.99"));
        const QStringList expected{caption, QString(), QString(), QStringLiteral("un"),
                                   QStringLiteral("deux")};
        QCOMPARE(shows.at(0).lines, expected);
        QCOMPARE(propos.Lignes(), expected); // the component's own list, not a copy
    }

    void dialogLivesOnlyDuringTheShow()
    {
        QWidget window;
        TPropos propos(&window);
        QPointer<TApropos> shown;
        propos.setDialogHook([&shown, &window](TApropos &dialog) {
            shown = &dialog;
            QVERIFY(dialog.parentWidget() == &window);
            QTimer::singleShot(0, &dialog, [&dialog] {
                QCOMPARE(QApplication::activeModalWidget(), &dialog);
                dialog.reject();
            });
        });
        QVERIFY(propos.ShowAbout());
        QVERIFY(shown.isNull());
        QVERIFY(window.findChildren<TApropos *>().isEmpty());
    }

    void emptyLignesFailsCleanly()
    {
        QWidget window;
        TPropos propos(&window);
        propos.Lignes().clear();
        bool shown = false;
        propos.setDialogHook([&shown](TApropos &) { shown = true; });
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, propos.ShowAbout());
        QVERIFY(!shown);
        QVERIFY(window.findChildren<TApropos *>().isEmpty());
    }

    void failureDuringShowDestroysDialog()
    {
        QWidget window;
        TPropos propos(&window);
        propos.setDialogHook([](TApropos &) { throw std::runtime_error("boom"); });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, propos.ShowAbout());
        QVERIFY(window.findChildren<TApropos *>().isEmpty());
    }
};

QTEST_MAIN(TestPropos)
#include "tst_about.moc"
