// The open cup played in its window (F5), as the organiser plays it: round 1 drawn with its
// button, a result typed, and the cup file holding both the moment they are made; the cup's
// settings then frozen in the file; the window following a cup closed.

#include "CupSession.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "CupText.h"
#include "CupPlayWindow.h"
#include "FeatureTestWindow.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using velmorin::CupStore;

class TestCupPlay : public QObject, public velmorin::testing::WindowDriver
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(velmorin::testing::keepSettingsIn(m_settingsDir)); }
    void playedCupIsKeptInItsFile_data();
    void playedCupIsKeptInItsFile();

private:
    QTemporaryDir m_settingsDir;
};

void TestCupPlay::playedCupIsKeptInItsFile_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("teams");
    QTest::newRow("small") << quint64(3) << 24;
    QTest::newRow("larger") << quint64(4) << 77;
}

void TestCupPlay::playedCupIsKeptInItsFile()
{
    QFETCH(quint64, seed);
    QFETCH(int, teams);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MessageBoxCatcher> boxes;
    std::unique_ptr<TVlmFPrg> window;
    QVERIFY(velmorin::testing::startFeatureWindow(dir, boxes, window));
    setWindow(window.get());

    const QString path = dir->filePath(QStringLiteral("coupe.velmorin"));
    QVERIFY(CupStore::create(path, velmorin::testing::playableCup(seed, std::size_t(teams))).ok());
    velmorin::CupSession &session = velmorin::CupSession::of(*window);
    QVERIFY(session.open(path));
    QVERIFY(session.cup());

    QTest::keyClick(window.get(), Qt::Key_F5);
    auto *cupWindow = get<velmorin::CupPlayWindow>("Deroulement");
    QTRY_VERIFY(cupWindow->isVisible());
    auto *draw = cupWindow->findChild<QPushButton *>(QStringLiteral("BoutonTirage"));
    QVERIFY(draw && draw->isEnabled());
    QTest::mouseClick(draw, Qt::LeftButton);

    // The draw is in the file already, and freezes the cup's settings there.
    {
        const velmorin::CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(reader.ok(), reader.message.c_str());
        QCOMPARE(reader.store->records().draws.size(), std::size_t(1));
        QVERIFY(reader.store->isFrozen());
        QCOMPARE(reader.store->records().draws, session.cup()->records().draws);
    }

    // A winner marked from the keyboard on the first game is in the file too.
    auto *tabs = cupWindow->findChild<QTabWidget *>(QStringLiteral("OngletsTours"));
    QVERIFY(tabs);
    auto *table = tabs->currentWidget()->findChild<QTableView *>(QStringLiteral("TableParties"));
    QVERIFY(table);
    cupWindow->activateWindow();
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_1);
    QCOMPARE(session.cup()->records().results.size(), std::size_t(1));
    const velmorin::CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY(reader.ok());
    const velmorin::CupCreation reread = reader.store->cup();
    QVERIFY(reread.ok());
    QCOMPARE(velmorin::cupCsv(*reread.cup), velmorin::cupCsv(*session.cup()));

    // Closed, the cup's window says there is none, and plays nothing.
    session.close();
    QVERIFY(!session.cup());
    QVERIFY(boxes->shown().isEmpty());
}

VELMORIN_WINDOW_TEST_MAIN(TestCupPlay)
#include "tst_cupplay.moc"
