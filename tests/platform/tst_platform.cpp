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
#include <fcntl.h>
#include <unistd.h>

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
    void systemErrorText();
    void openShared_data();
    void openShared();
    void lockFile_data();
    void lockFile();
    void identityOf_data();
    void identityOf();
    void writeWhole_data();
    void writeWhole();
    void onNetworkFileSystem();
};

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(QDir::toNativeSeparators(path));
}

// A descriptor closed at the end of the test, whatever fails first.
struct Descriptor
{
    int fd = -1;
    ~Descriptor() { close(); }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

} // namespace

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
    if (sourceExists)
        QVERIFY(writeFile(from, "nouvelle"));
    if (targetExists)
        QVERIFY(writeFile(to, "ancienne"));

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
    QTest::addColumn<bool>("refused");

    QTest::newRow("no room left") << ENOSPC << true << false;
    QTest::newRow("file too large") << EFBIG << true << false;
    QTest::newRow("no error") << 0 << false << false;
#ifdef _WIN32
    // SQLite reports the kernel's own codes.
    QTest::newRow("disk full") << 112 << true << false;
    QTest::newRow("quota exceeded") << 1295 << true << false;
    QTest::newRow("access denied") << 5 << false << true;
    QTest::newRow("write-protected") << 19 << false << true;
    QTest::newRow("file not found") << 2 << false << false;
#else
    QTest::newRow("quota exceeded") << EDQUOT << true << false;
    QTest::newRow("access denied") << EACCES << false << true;
    QTest::newRow("read-only file system") << EROFS << false << true;
    QTest::newRow("file not found") << ENOENT << false << false;
#endif
}

void TestPlatform::diskFull()
{
    QFETCH(int, error);
    QFETCH(bool, full);
    QFETCH(bool, refused);
    QCOMPARE(platform::diskFull(error), full);
    QCOMPARE(platform::writeRefused(error), refused);
}

// The text SQLite's code for a missing file gets (2 on both systems) is the system's, ready to
// end a French sentence; and every code has a text.
void TestPlatform::systemErrorText()
{
    const std::string missing = platform::systemErrorText(2);
    QVERIFY(!missing.empty());
    QVERIFY(missing != platform::systemErrorText(28));
    for (const int code : {2, 5, 28, 112, 99999}) {
        const std::string text = platform::systemErrorText(code);
        QVERIFY2(!text.empty() && text.back() != '.' && text.back() != '\n' &&
                     text.back() != '\r' && text.back() != ' ',
                 text.c_str());
    }
}

void TestPlatform::openShared_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("creation");
    QTest::addColumn<int>("error"); // 0: opened

    using C = platform::Creation;
    QTest::newRow("an existing file") << true << int(C::None) << 0;
    QTest::newRow("a missing file") << false << int(C::None) << ENOENT;
    QTest::newRow("created when missing") << false << int(C::IfMissing) << 0;
    QTest::newRow("kept when there") << true << int(C::IfMissing) << 0;
    QTest::newRow("a new file") << false << int(C::New) << 0;
    QTest::newRow("a new file already there") << true << int(C::New) << EEXIST;
}

// Opened as asked, the content kept, and removable while open (the lock file's release).
void TestPlatform::openShared()
{
    QFETCH(bool, exists);
    QFETCH(int, creation);
    QFETCH(int, error);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("coupe été.velmorin.verrou"));
    if (exists)
        QVERIFY(writeFile(path, "hôte\n12\n"));
    errno = 0;
    Descriptor file{platform::openShared(native(path), platform::Creation(creation))};
    if (error != 0) {
        QCOMPARE(file.fd, -1);
        QCOMPARE(errno, error);
        return;
    }
    QVERIFY(file.fd >= 0);
    QCOMPARE(QByteArray::fromStdString(platform::readStart(file.fd, 100)),
             exists ? QByteArray("hôte\n12\n") : QByteArray());
    QCOMPARE(::unlink(native(path).constData()), 0);
    // Windows may keep the name until the last descriptor is closed.
    file.close();
    QVERIFY(!platform::identityOf(native(path).constData()));
}

void TestPlatform::lockFile_data()
{
    QTest::addColumn<bool>("heldByAnother");
    QTest::addColumn<bool>("holderClosed");
    QTest::addColumn<int>("error");

    QTest::newRow("free") << false << false << 0;
    QTest::newRow("held") << true << false << EWOULDBLOCK;
    QTest::newRow("released by closing") << true << true << 0;
}

// One holder at a time (two descriptors of one process are two holders, as two processes
// are), and what the holder wrote stays readable by the others.
void TestPlatform::lockFile()
{
    QFETCH(bool, heldByAnother);
    QFETCH(bool, holderClosed);
    QFETCH(int, error);

    QTemporaryDir folder;
    const QByteArray path = native(folder.filePath(QStringLiteral("coupe.velmorin.verrou")));
    Descriptor holder{platform::openShared(path, platform::Creation::IfMissing)};
    QVERIFY(holder.fd >= 0);
    if (heldByAnother) {
        QCOMPARE(platform::lockFile(holder.fd, false), 0);
        QCOMPARE(platform::writeWhole(holder.fd, "poste-1\n4242\n"), 0);
    }
    if (holderClosed)
        holder.close();
    Descriptor taker{platform::openShared(path, platform::Creation::IfMissing)};
    QVERIFY(taker.fd >= 0);
    errno = 0;
    QCOMPARE(platform::lockFile(taker.fd, false), error == 0 ? 0 : -1);
    QCOMPARE(errno, error);
    if (heldByAnother)
        QCOMPARE(platform::readStart(taker.fd, 511), std::string("poste-1\n4242\n"));
}

void TestPlatform::identityOf_data()
{
    QTest::addColumn<QString>("change"); // what happens to the file after it is opened
    QTest::addColumn<bool>("same");

    QTest::newRow("nothing") << "" << true;
    QTest::newRow("another name for it") << "link" << true;
    QTest::newRow("another file put in its place") << "replace" << false;
    QTest::newRow("removed") << "remove" << false;
}

// What tells the cup still open from a file put in its place.
void TestPlatform::identityOf()
{
    QFETCH(QString, change);
    QFETCH(bool, same);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("coupe.velmorin"));
    QVERIFY(writeFile(path, "ancienne"));
    const std::optional<platform::FileIdentity> before = platform::identityOf(native(path));
    QVERIFY(before);
    Descriptor opened{::open(native(path).constData(), O_RDONLY)};
    QVERIFY(opened.fd >= 0);
    QCOMPARE(platform::identityOf(opened.fd), before);

    QString named = path;
    if (change == QLatin1String("link")) {
        named = folder.filePath(QStringLiteral("autre nom.velmorin"));
        QCOMPARE(platform::linkFile(native(path), native(named)), 0);
    } else if (change == QLatin1String("replace")) {
        const QString other = folder.filePath(QStringLiteral("nouvelle"));
        QVERIFY(writeFile(other, "nouvelle"));
        opened.close(); // Windows replaces no file held open
        QVERIFY(QFile::remove(path) && QFile::rename(other, path));
    } else if (change == QLatin1String("remove")) {
        opened.close();
        QVERIFY(QFile::remove(path));
    }
    const std::optional<platform::FileIdentity> after = platform::identityOf(native(named));
    QCOMPARE(after.has_value() && *after == *before, same);
}

void TestPlatform::writeWhole_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");

    QTest::newRow("longer") << QByteArray("a\n1\n") << QByteArray("poste-2\n123456\n");
    QTest::newRow("shorter: no tail left")
        << QByteArray("poste-2\n123456\n") << QByteArray("a\n1\n");
    QTest::newRow("emptied") << QByteArray("a\n1\n") << QByteArray();
}

// The file holds exactly the last text written, its line ends as they are.
void TestPlatform::writeWhole()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("verrou"));
    Descriptor file{platform::openShared(native(path), platform::Creation::New)};
    QVERIFY(file.fd >= 0);
    QCOMPARE(platform::writeWhole(file.fd, first.toStdString()), 0);
    QCOMPARE(platform::writeWhole(file.fd, second.toStdString()), 0);
    QCOMPARE(QByteArray::fromStdString(platform::readStart(file.fd, 511)), second);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), second);
}

// The tests' own temporary folder is on this machine.
void TestPlatform::onNetworkFileSystem()
{
    QTemporaryDir folder;
    QVERIFY(!platform::onNetworkFileSystem(native(folder.path())));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
