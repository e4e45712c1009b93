#include <QtTest>

namespace {

const QString kCalc = QStringLiteral(VELMORIN_CALC_PATH);

} // namespace

class TestCalcProcess : public QObject
{
    Q_OBJECT

private slots:
    void hugeRegisteredCount();
    void readerClosesEarly();
    void writeFailureIsReported();
    void writeFailureInTheUserLanguage();
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

QTEST_GUILESS_MAIN(TestCalcProcess)
#include "tst_calcprocess.moc"
