// The system's differences behind one interface: the same table passes on Linux and, under
// wine, on Windows.

#include "Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

namespace platform = velmorin::platform;

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void windowsArgument_data();
    void windowsArgument();
    void linkFile_data();
    void linkFile();
    void processRuns();
    void ownPath();
    void isProgram_data();
    void isProgram();
    void diskFull_data();
    void diskFull();
};

void TestPlatform::windowsArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("written");

    QTest::newRow("plain") << "--coupe"
                           << "--coupe";
    QTest::newRow("empty") << ""
                           << "\"\"";
    QTest::newRow("a space") << "Mes coupes\\été.velmorin"
                             << "\"Mes coupes\\été.velmorin\"";
    QTest::newRow("a folder ending in a backslash") << "C:\\Mes coupes\\"
                                                    << "\"C:\\Mes coupes\\\\\"";
    QTest::newRow("backslashes alone stay") << "C:\\coupes\\a.velmorin"
                                            << "C:\\coupes\\a.velmorin";
    QTest::newRow("a quote") << "dit \"oui\""
                             << "\"dit \\\"oui\\\"\"";
    QTest::newRow("backslashes before a quote") << "a\\\\\"b"
                                                << "\"a\\\\\\\\\\\"b\"";
    QTest::newRow("a tab") << "a\tb"
                           << "\"a\tb\"";
}

void TestPlatform::windowsArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, written);
    QCOMPARE(QString::fromStdString(platform::windowsArgument(argument.toStdString())), written);
}

void TestPlatform::linkFile_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<int>("error"); // 0: linked

    QTest::newRow("a new name") << false << true << 0;
    QTest::newRow("a name taken") << true << true << EEXIST;
    QTest::newRow("no such file") << false << false << ENOENT;
}

// The new name holds the file; a file already there is never replaced.
void TestPlatform::linkFile()
{
    QFETCH(bool, targetExists);
    QFETCH(bool, sourceExists);
    QFETCH(int, error);

    QTemporaryDir folder;
    const QString from = folder.filePath(QStringLiteral("création"));
    const QString to = folder.filePath(QStringLiteral("coupe été.velmorin"));
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    if (sourceExists)
        QVERIFY(write(from, "nouvelle"));
    if (targetExists)
        QVERIFY(write(to, "ancienne"));

    errno = 0;
    const int result =
        platform::linkFile(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
    QCOMPARE(result, error == 0 ? 0 : -1);
    if (error != 0)
        QCOMPARE(errno, error);
    QFile target(to);
    if (targetExists || sourceExists) {
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), targetExists ? QByteArray("ancienne") : QByteArray("nouvelle"));
    } else {
        QVERIFY(!target.exists());
    }
}

// This process runs; one that has ended does not.
void TestPlatform::processRuns()
{
    QCOMPARE(platform::processId(), QCoreApplication::applicationPid());
    QVERIFY(platform::processRuns(platform::processId()));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
    QVERIFY(child.waitForStarted());
    const qint64 pid = child.processId();
    QVERIFY(child.waitForFinished());
    QVERIFY(!platform::processRuns(pid));
}

void TestPlatform::ownPath()
{
    const std::optional<std::string> path = platform::ownPath();
    QVERIFY(path);
    QCOMPARE(QFileInfo(QString::fromStdString(*path)).canonicalFilePath(),
             QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
    // Its folder ends at one of the separators Sibling cuts at.
    const std::size_t separator = path->find_last_of(platform::kPathSeparators);
    QVERIFY(separator != std::string::npos);
    QCOMPARE(QString::fromStdString(path->substr(separator + 1)),
             QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

void TestPlatform::isProgram_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("program");

    QTest::newRow("this test") << QCoreApplication::applicationFilePath() << true;
    QTest::newRow("its folder") << QCoreApplication::applicationDirPath() << false;
    QTest::newRow("nothing") << QCoreApplication::applicationFilePath() + QStringLiteral(".absent")
                             << false;
}

void TestPlatform::isProgram()
{
    QFETCH(QString, path);
    QFETCH(bool, program);
    QCOMPARE(platform::isProgram(QFile::encodeName(QDir::toNativeSeparators(path)).toStdString()),
             program);
}

void TestPlatform::diskFull_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("full");

    QTest::newRow("no room left") << ENOSPC << true;
    QTest::newRow("file too large") << EFBIG << true;
    QTest::newRow("access denied") << EACCES << false;
    QTest::newRow("no error") << 0 << false;
}

void TestPlatform::diskFull()
{
    QFETCH(int, error);
    QFETCH(bool, full);
    QCOMPARE(platform::diskFull(error), full);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
