#include <QtTest>

#include <array>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString kCalc = QStringLiteral(VELMORIN_CALC_PATH);

// Some 17 000 rows, 820 785 bytes: more than a pipe holds.
const QStringList kLongCsv{"--format", "csv", "200000", "15000", "0"};

QByteArray outputOf(const QStringList &args)
{
    QProcess calc;
    calc.start(kCalc, args);
    if (!calc.waitForFinished(30000) || calc.exitCode() != 0)
        return {};
    return calc.readAllStandardOutput();
}

} // namespace

class TestCalcProcess : public QObject
{
    Q_OBJECT

private slots:
    void hugeRegisteredCount();
    void readerClosesEarly();
    void writeFailureIsReported();
    void writeFailureInTheUserLanguage();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void slowNonBlockingReader();
    void escapeSequenceNotEchoed();
    void savedButNotShown_data();
    void savedButNotShown();
    void twoWritersAtOnce_data();
    void twoWritersAtOnce();
};

void TestCalcProcess::hugeRegisteredCount()
{
    QProcess calc;
    calc.start(kCalc, {"--counts", "2147483647", "6", "0"});
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitStatus(), QProcess::NormalExit);
    QCOMPARE(calc.exitCode(), 0);
    QCOMPARE(calc.readAllStandardOutput(), QByteArray("classe,solutions\n3,0\n2,0\n1,0\n"));
    QCOMPARE(calc.readAllStandardError(), QByteArray());
}

// `| head`: the pipe closes after a few lines of some 900 million; the program stops at once,
// silently, with status 0 (and not killed by SIGPIPE, which would give 141).
void TestCalcProcess::readerClosesEarly()
{
    const QString bash = QStandardPaths::findExecutable("bash");
    if (bash.isEmpty())
        QSKIP("bash is needed to build the pipeline");
    QProcess pipeline;
    pipeline.start(bash, {"-c",
                          "\"$0\" --format csv 2147483647 200000000 0 | head -n 3; "
                          "exit \"${PIPESTATUS[0]}\"",
                          kCalc});
    if (!pipeline.waitForFinished(30000)) {
        pipeline.kill();
        QFAIL("velmorin-calc kept writing after its reader had gone");
    }
    QCOMPARE(pipeline.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pipeline.readAllStandardError(), QByteArray());
    QCOMPARE(pipeline.exitCode(), 0);
    QCOMPARE(pipeline.readAllStandardOutput(),
             QByteArray("classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n"
                        "3,1,0,56601268,2133333328,1599999998,56601268,2090882377,2\n"
                        "3,2,0,56601272,2133333324,1599999998,56601272,2090882370,5\n"));
}

// A full device is a real failure, unlike a reader that leaves: it must not pass as success.
void TestCalcProcess::writeFailureIsReported()
{
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full here");
    QProcess calc;
    calc.setStandardOutputFile("/dev/full");
    calc.start(kCalc, {"--counts", "71", "6", "20"});
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitStatus(), QProcess::NormalExit);
    QCOMPARE(calc.exitCode(), 1);
    const QByteArray err = calc.readAllStandardError();
    QVERIFY2(err.startsWith("velmorin-calc: "), err.constData());
    QCOMPARE(err.count('\n'), 1);
}

// The reason comes from the system (strerror): in French under a French locale, not in English
// after a French start. The locale is compiled into a temporary directory (LOCPATH).
void TestCalcProcess::writeFailureInTheUserLanguage()
{
    const QString localedef = QStandardPaths::findExecutable("localedef");
    if (localedef.isEmpty() || !QFileInfo::exists("/usr/share/locale/fr/LC_MESSAGES/libc.mo") ||
        !QFileInfo::exists("/dev/full"))
        QSKIP("needs localedef, the C library's French messages (libc-l10n) and /dev/full");
    QTemporaryDir locales;
    QVERIFY(locales.isValid());
    QProcess compile;
    compile.start(localedef, {"-i", "fr_FR", "-f", "UTF-8", locales.filePath("fr_FR.UTF-8")});
    QVERIFY(compile.waitForFinished(60000));
    if (compile.exitCode() != 0)
        QSKIP("localedef could not build fr_FR.UTF-8 (package locales missing)");

    QProcess calc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LOCPATH", locales.path());
    env.insert("LC_ALL", "fr_FR.UTF-8");
    calc.setProcessEnvironment(env);
    calc.setStandardOutputFile("/dev/full");
    calc.start(kCalc, {"--counts", "71", "6", "20"});
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(calc.readAllStandardError()),
             QStringLiteral("velmorin-calc: erreur d'écriture : "
                            "Aucun espace disponible sur le périphérique\n"));
}

void TestCalcProcess::fileSizeLimit_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("limit");         // bytes the file may hold
    QTest::addColumn<QByteArray>("begins"); // what the file starts with
    QTest::addColumn<QString>("where");     // after the reason, empty when it stopped between lines

    const QStringList counts{"--counts", "71", "6", "20"};
    const QByteArray countsOut("classe,solutions\n3,7\n2,7\n1,7\n");
    QTest::newRow("counts, between lines") << counts << 21 << countsOut.left(21) << QString();
    QTest::newRow("counts, inside line 3")
        << counts << 23 << countsOut.left(23)
        << QStringLiteral(" (sortie coupée dans la ligne 3, après 23 octets)");
    QTest::newRow("counts, inside the header")
        << counts << 5 << countsOut.left(5)
        << QStringLiteral(" (sortie coupée dans la ligne 1, après 5 octets)");
    // ulimit -f 1 in bash: 1024 bytes of a csv table of 900 million rows.
    QTest::newRow("huge csv, ulimit -f 1")
        << QStringList{"--format", "csv", "2147483647", "200000000", "0"} << 1024
        << QByteArray("classe,position,tour1,tour2,tour3,tour4,entrant2,entrant3,entrant4\n"
                      "3,1,0,56601268,2133333328,1599999998,56601268,2090882377,2\n")
        << QStringLiteral(" (sortie coupée dans la ligne 17, après 1024 octets)");
}

// Past a file-size limit the kernel sends SIGXFSZ, which kills by default (status 153 in a
// shell): the run must end with a write error instead and say where the file stops.
void TestCalcProcess::fileSizeLimit()
{
    QFETCH(QStringList, args);
    QFETCH(int, limit);
    QFETCH(QByteArray, begins);
    QFETCH(QString, where);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("out.csv");
    QProcess calc;
    calc.setStandardOutputFile(path);
    calc.setChildProcessModifier([limit] {
        const rlimit size{rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &size);
    });
    calc.start(kCalc, args);
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitStatus(), QProcess::NormalExit);
    QCOMPARE(calc.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(calc.readAllStandardError()),
             QStringLiteral("velmorin-calc: erreur d'écriture : ") +
                 QString::fromLocal8Bit(std::strerror(EFBIG)) + where + QLatin1Char('\n'));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written.size(), qsizetype(limit));
    QVERIFY(written.startsWith(begins));
    QCOMPARE(written.endsWith('\n'), where.isEmpty());
}

// A pipe left non-blocking by whoever made it (a shell's coprocess, a program reading us with
// O_NONBLOCK): when the reader lags, the run waits for it rather than stopping at 64 KiB.
void TestCalcProcess::slowNonBlockingReader()
{
    const QByteArray expected = outputOf(kLongCsv);
    QCOMPARE(expected.size(), 820785);

    QProcess calc;
    calc.setChildProcessModifier(
        [] { ::fcntl(STDOUT_FILENO, F_SETFL, ::fcntl(STDOUT_FILENO, F_GETFL) | O_NONBLOCK); });
    calc.start(kCalc, kLongCsv);
    QVERIFY(calc.waitForStarted());
    QByteArray received;
    QElapsedTimer clock;
    clock.start();
    // The reader takes what is there every 5 ms: the pipe is full most of the time.
    while (calc.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
        QThread::msleep(5);
        calc.waitForReadyRead(0);
        received += calc.readAllStandardOutput();
    }
    QCOMPARE(calc.state(), QProcess::NotRunning);
    received += calc.readAllStandardOutput();
    QCOMPARE(QString::fromUtf8(calc.readAllStandardError()), QString());
    QCOMPARE(calc.exitCode(), 0);
    QCOMPARE(received.size(), expected.size());
    QVERIFY(received == expected);
}

// A terminal would obey these bytes (here: set the window title) if they came back raw.
void TestCalcProcess::escapeSequenceNotEchoed()
{
    QProcess calc;
    calc.start(kCalc, {QStringLiteral("\x1b]0;titre\a16"), "6", "20"});
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitCode(), 2);
    const QByteArray err = calc.readAllStandardError();
    QVERIFY2(!err.contains('\x1b') && !err.contains('\a'), err.constData());
    QVERIFY2(err.startsWith("velmorin-calc: INSCRITES : '␛]0;titre␇16' n'est pas"),
             err.constData());
}

void TestCalcProcess::savedButNotShown_data()
{
    QTest::addColumn<QStringList>("args"); // after --coupe; %A is round 1's first team A
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // the first line's start after "velmorin-calc: "
    QTest::addColumn<QString>("kept"); // what --tour 1 --format csv then holds

    QTest::newRow("draw") << QStringList{"--tirage", "1"} << 1
                          << "Le tirage du Tour 1 est enregistré dans la coupe, mais son "
                             "affichage a échoué : erreur d'écriture : "
                          << "1,1,1,";
    QTest::newRow("refusal") << QStringList{"--tirage", "1"} << 2 << "Le Tour 1 est"
                             << "1,1,1,";
    QTest::newRow("result") << QStringList{"--gagnant", "1", "%A", "--score", "13-7"} << 1
                            << "Le résultat est enregistré dans la coupe, mais son affichage "
                               "a échoué : erreur d'écriture : "
                            << ",%A,13,7,";
    QTest::newRow("round shown") << QStringList{"--tour", "1"} << 1 << "Erreur d'écriture : "
                                 << ",%A,13,7,";
}

// A change saved in the cup whose report cannot be written (standard output on a full
// device) exits 1 and says that the change is kept; a refusal stays a refusal.
void TestCalcProcess::savedButNotShown()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(QString, kept);
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full here");
    static QTemporaryDir dir;
    const QString cup = dir.filePath("coupe.velmorin");
    if (!QFileInfo::exists(cup)) {
        QFile list(dir.filePath("equipes.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("Équipe;Club;Niveau;Points\nA1;C;1;100\nA2;D;1;90\nA3;E;1;90\nB1;C;2;\n"
                   "B2;D;2;50\nB3;E;2;50\nC1;C;3;10\nC2;D;;5\nC3;E;;\nC4;F;3;\nD1;G;4;0\n"
                   "D2;H;4;-3\n");
        list.close();
        QProcess made;
        made.start(kCalc, {"--coupe", cup, "--nouvelle", "Pleine", "--equipes", list.fileName(),
                           "--graine", "42", "1", "4", "1", "1"});
        QVERIFY(made.waitForFinished(30000));
        QVERIFY2(made.exitCode() == 0, made.readAllStandardError().constData());
    }
    const auto roundCsv = [&cup] {
        return QString::fromUtf8(outputOf({"--coupe", cup, "--tour", "1", "--format", "csv"}));
    };
    const QStringList firstGame = roundCsv().split('\n').value(1).split(',');
    const QString teamA = firstGame.value(3);
    for (QString &arg : args)
        arg.replace("%A", teamA);

    QProcess calc;
    calc.setStandardOutputFile("/dev/full");
    calc.start(kCalc, QStringList{"--coupe", cup} + args);
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitCode(), status);
    const QString err = QString::fromUtf8(calc.readAllStandardError());
    const QString first = err.section('\n', 0, 0);
    QVERIFY2(first.startsWith("velmorin-calc: " + said), qPrintable(err));
    QVERIFY2(first.endsWith('.'), qPrintable(err));
    QVERIFY2(roundCsv().contains(kept.replace("%A", teamA)), qPrintable(roundCsv()));
}

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run runCalc(const QStringList &args)
{
    QProcess calc;
    calc.start(kCalc, args);
    Run run;
    if (calc.waitForFinished(30000) && calc.exitStatus() == QProcess::NormalExit)
        run.status = calc.exitCode();
    run.out = QString::fromUtf8(calc.readAllStandardOutput());
    run.err = QString::fromUtf8(calc.readAllStandardError());
    return run;
}

void TestCalcProcess::twoWritersAtOnce_data()
{
    QTest::addColumn<QString>("lock"); // left beside the cup before each try; "-": none
    QTest::addColumn<bool>("link");    // the second writer names the cup through a link
    QTest::addRow("same name") << "-" << false;
    QTest::addRow("through a link") << "-" << true;
    QTest::addRow("killed holder's lock") << "localhost\n999999999\n" << false;
    QTest::addRow("empty lock") << "" << true;
    QTest::addRow("another computer's lock") << "portable-de-jean\n4242\n" << false;
}

// Two calculators recording opposite winners of one game at the same moment: exactly one is
// confirmed, and the file and its journal hold that one.
void TestCalcProcess::twoWritersAtOnce()
{
    QFETCH(QString, lock);
    QFETCH(bool, link);
    QTemporaryDir dir;
    QFile sample(QStringLiteral(VELMORIN_SAMPLE_LIST));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QFile list(dir.filePath("douze.csv"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    for (int line = 0; line < 13; ++line)
        list.write(sample.readLine());
    list.close();
    const QString drawn = dir.filePath("tiree.velmorin");
    QCOMPARE(runCalc({"--coupe", drawn, "--nouvelle", "Coupe", "--equipes", list.fileName(),
                      "--graine", "7", "1", "4", "1", "1"})
                 .status,
             0);
    QCOMPARE(runCalc({"--coupe", drawn, "--tirage", "1"}).status, 0);
    QStringList game;
    for (const QString &row : runCalc({"--coupe", drawn, "--tour", "1", "--format", "csv"})
                                  .out.split('\n')) {
        const QStringList cells = row.split(',');
        if (cells.size() == 13 && cells[0] == "1" && !cells[3].isEmpty() && !cells[5].isEmpty()) {
            game = {cells[3], cells[5]};
            break;
        }
    }
    QCOMPARE(game.size(), 2);
    const QString cup = dir.filePath("coupe.velmorin");
    const QString other = dir.filePath("lien.velmorin");
    QVERIFY(QFile::link(cup, other));
    for (int attempt = 0; attempt < 12; ++attempt) {
        QFile::remove(cup);
        QVERIFY(QFile::copy(drawn, cup));
        if (lock != "-") {
            QFile lockFile(cup + ".verrou");
            QVERIFY(lockFile.open(QIODevice::WriteOnly));
            lockFile.write(lock.toUtf8());
        }
        std::array<QProcess, 2> writers;
        for (int k = 0; k < 2; ++k)
            writers[k].start(kCalc, {"--coupe", k == 1 && link ? other : cup, "--gagnant", "1",
                                     game[k]});
        std::array<int, 2> status{};
        for (int k = 0; k < 2; ++k) {
            QVERIFY(writers[k].waitForFinished(30000));
            status[k] = writers[k].exitCode();
        }
        QVERIFY2((status == std::array<int, 2>{0, 2} || status == std::array<int, 2>{2, 0}),
                 qPrintable(QStringLiteral("%1 %2: %3 %4")
                                .arg(status[0])
                                .arg(status[1])
                                .arg(QString::fromUtf8(writers[0].readAllStandardError()),
                                     QString::fromUtf8(writers[1].readAllStandardError()))));
        const QString winner = game[status[0] == 0 ? 0 : 1];
        const QString loser = game[status[0] == 0 ? 1 : 0];
        // The file holds the confirmed one, in the round's listing and in the journal.
        bool found = false;
        for (const QString &row :
             runCalc({"--coupe", cup, "--tour", "1", "--format", "csv"}).out.split('\n')) {
            const QStringList cells = row.split(',');
            if (cells.size() == 13 && cells[3] == game[0] && cells[5] == game[1]) {
                QCOMPARE(cells[7], winner);
                found = true;
            }
        }
        QVERIFY(found);
        const QByteArray journal = [&] {
            QFile file(cup);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        QCOMPARE(journal.count(("« " + winner + " » gagne la partie").toUtf8()), 1);
        QCOMPARE(journal.count(("« " + loser + " » gagne la partie").toUtf8()), 0);
        QVERIFY(!QFile::exists(cup + ".verrou"));
    }
}

QTEST_GUILESS_MAIN(TestCalcProcess)
#include "tst_calcprocess.moc"
