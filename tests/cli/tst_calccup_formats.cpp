// A cup read by the calculator whatever format its file was written in, and whatever the list
// reader makes of its list's text today: it keeps the teams it was given.

#include "CupCalcRun.h"
#include "CupSchema.h"
#include "CupSimulation.h"
#include "CupStore.h"

#include <QtTest>

#include <sqlite3.h>

namespace {

using velmorin::testing::runCup;

// Brings a cup of this format back to the file an older program wrote: format 3 had no teams
// of its own, no entry tokens, no day's tables, and counted its play apart; format 2 had no
// withdrawals either.
const std::string kDropAfterFormat3 =
    "DROP TABLE roll_call; DROP TABLE hall_lanes; DROP TABLE round_start;"
    "DROP TABLE game_length; DROP TABLE game_move; DROP TABLE entry_token;"
    "DROP TABLE team_extra; DROP TABLE team_column; DROP TABLE team;";
const std::string kBackToFormat3 =
    kDropAfterFormat3 +
    "CREATE TABLE play ( id INTEGER PRIMARY KEY CHECK (id = 1),"
    " version INTEGER NOT NULL CHECK (version >= 0));"
    "INSERT INTO play VALUES (1, (SELECT COUNT(*) FROM draw) + (SELECT COUNT(*) FROM result));"
    "PRAGMA user_version = 3;";
const std::string kBackToFormat2 =
    kDropAfterFormat3 + "DROP TABLE withdrawal; PRAGMA user_version = 2;";

bool runSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    const bool done = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

// Everything the calculator shows of a cup: its summary, its entries, its board as a table and
// as CSV; each with its exit status.
QStringList shown(const QString &cup)
{
    QStringList all;
    for (const QStringList &args :
         {QStringList{}, QStringList{"--entrees"}, QStringList{"--tableau"},
          QStringList{"--tableau", "--format", "csv"}}) {
        const auto run = runCup(QStringList{"--coupe", cup} + args);
        all << QString::number(run.status) + ' ' + QString::fromStdString(run.out);
    }
    return all;
}

// The calculator's words for a command of the simulation (results, draws, corrections).
QStringList argsOf(const velmorin::Cup &cup, const velmorin::CupCommand &command)
{
    using namespace velmorin;
    const auto team = [](int index) { return QStringLiteral("#%1").arg(index + 1); };
    const auto game = [](const GameRef &ref) {
        return QStringList{"--partie", ref.game == kBarrage ? QStringLiteral("barrage")
                                                            : QString::number(ref.game)};
    };
    if (const auto *c = std::get_if<DrawCommand>(&command.action))
        return {"--tirage", QString::number(c->round)};
    if (const auto *c = std::get_if<ResultCommand>(&command.action)) {
        QStringList args{"--gagnant", QString::number(c->game.round), team(c->winner)};
        args += game(c->game);
        if (c->score)
            args << "--score" << QStringLiteral("%1-%2").arg(c->score->winner).arg(c->score->loser);
        return args;
    }
    if (const auto *c = std::get_if<CorrectionCommand>(&command.action)) {
        QStringList args{"--gagnant", QString::number(c->game.round), team(c->winner)};
        return args + game(c->game) + QStringList{"--corriger"};
    }
    Q_UNUSED(cup);
    return {};
}

// Opened once for writing, as the window or any writing command does: the file is brought to
// this program's format.
bool migrate(const QString &cup)
{
    return velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadWrite).ok();
}

} // namespace

class TestCalcCupFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void olderFormatsReadTheSame_data();
    void olderFormatsReadTheSame();
    void keptTeamsOutliveTheReader_data();
    void keptTeamsOutliveTheReader();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A cup of the twelve teams played `steps` commands by the calculator (no forfeit, which
    // format 2 kept only as lost games).
    QString playedCup(const QString &name, std::uint64_t seed, int steps);

    QTemporaryDir m_dir;
};

void TestCalcCupFormats::initTestCase()
{
    QVERIFY(velmorin::testing::writeSampleTeams(VELMORIN_SAMPLE_LIST, path("douze.csv"), 12));
}

QString TestCalcCupFormats::playedCup(const QString &name, std::uint64_t seed, int steps)
{
    const QString cup = path(name);
    const auto made =
        runCup({"--coupe", cup, "--nouvelle", "Formats", "--equipes", path("douze.csv"), "--graine",
                QString::number(seed), "1", "4", "1", "1"});
    if (made.status != 0) {
        qWarning("%s", made.err.c_str());
        return {};
    }
    velmorin::SeededDraw draw(seed * 13);
    for (int step = 0, tries = 0; step < steps && tries < steps * 20; ++tries) {
        const velmorin::Cup now =
            *velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly).store->cup().cup;
        if (!now.finalTeams().empty())
            break;
        const velmorin::CupCommand command = velmorin::testing::randomCommand(now, draw);
        const QStringList args = argsOf(now, command);
        const auto *result = std::get_if<velmorin::ResultCommand>(&command.action);
        if (args.isEmpty() || (result && result->withdrawal))
            continue;
        runCup(QStringList{"--coupe", cup} + args);
        ++step;
    }
    return cup;
}

void TestCalcCupFormats::olderFormatsReadTheSame_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<std::uint64_t>("seed");
    QTest::addColumn<int>("steps");
    for (int format : {2, 3}) {
        for (std::uint64_t seed = 1; seed <= 4; ++seed)
            QTest::addRow("format %d, graine %llu", format, static_cast<unsigned long long>(seed))
                << format << seed << static_cast<int>(seed * 9);
    }
}

// A cup written by an older program, opened once for writing: every line the calculator shows
// of it is the one it showed before, and it plays on.
void TestCalcCupFormats::olderFormatsReadTheSame()
{
    QFETCH(int, format);
    QFETCH(std::uint64_t, seed);
    QFETCH(int, steps);
    const QString cup =
        playedCup(QStringLiteral("ancienne-%1-%2.velmorin").arg(format).arg(seed), seed, steps);
    QVERIFY(!cup.isEmpty());
    const QStringList before = shown(cup);
    QVERIFY(before.filter(QRegularExpression("^0 ")).size() == before.size());

    QVERIFY(runSql(cup, (format == 3 ? kBackToFormat3 : kBackToFormat2).c_str()));
    // Not read as it is: a reading command asks for it to be opened for writing once.
    QCOMPARE(runCup({"--coupe", cup, "--tableau"}).status, 2);
    QVERIFY(migrate(cup));
    QCOMPARE(shown(cup), before);
    const velmorin::CupOpening opened =
        velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly);
    QVERIFY(opened.ok());
    QVERIFY(opened.store->setup().teams);
    QCOMPARE(opened.store->setup().teams->teams.size(), std::size_t(12));
    QCOMPARE(opened.store->journal().back().what,
             "Coupe mise au format " + std::to_string(velmorin::cupSchemaVersion()));
}

void TestCalcCupFormats::keptTeamsOutliveTheReader_data()
{
    QTest::addColumn<QByteArray>("sql"); // the list's text as a later reader would take it
    QTest::addColumn<int>("format");     // of the file the text is changed in
    QTest::addColumn<bool>("same");      // the calculator shows the cup as before
    const QByteArray renamed = "UPDATE list_cell SET value = value || ' (bis)' "
                               "WHERE row_no = 1 AND col_no = 0";
    const QByteArray noHeader = "UPDATE list_cell SET value = 'Nom ?' WHERE row_no = 0";
    const QByteArray swapped = "UPDATE list_cell SET value = CASE col_no WHEN 0 THEN "
                               "(SELECT value FROM list_cell WHERE row_no = 0 AND col_no = 1) "
                               "ELSE (SELECT value FROM list_cell WHERE row_no = 0 AND col_no = 0) "
                               "END WHERE row_no = 0 AND col_no IN (0, 1)";
    QTest::newRow("a name read otherwise") << renamed << 0 << true;
    QTest::newRow("no header found") << noHeader << 0 << true;
    QTest::newRow("columns read otherwise") << swapped << 0 << true;
    // The same texts in a cup of format 3, which kept no teams: read as they are today.
    QTest::newRow("format 3, a name read otherwise") << renamed << 3 << false;
    QTest::newRow("format 3, no header found") << noHeader << 3 << false;
}

// The list's text in a cup no longer reads as it did (a later reader, simulated by changing
// the text under it): a cup that keeps its teams shows and plays exactly as before.
void TestCalcCupFormats::keptTeamsOutliveTheReader()
{
    QFETCH(QByteArray, sql);
    QFETCH(int, format);
    QFETCH(bool, same);
    const QString cup =
        playedCup(QStringLiteral("lecteur-%1.velmorin").arg(QTest::currentDataTag()), 5, 12);
    QVERIFY(!cup.isEmpty());
    const QStringList before = shown(cup);
    if (format == 3)
        QVERIFY(runSql(cup, kBackToFormat3.c_str()));
    QVERIFY(runSql(cup, sql.constData()));
    // A cup whose text no longer makes its list is refused once migrated: nothing kept it.
    if (format == 3)
        QCOMPARE(migrate(cup), same || sql.startsWith("UPDATE list_cell SET value = value"));
    const QStringList after = shown(cup);
    QCOMPARE(after == before, same);
    if (same) {
        // And it plays on: the next round drawn or a result recorded, as before the change.
        const velmorin::Cup now =
            *velmorin::CupStore::open(cup, velmorin::CupStore::Mode::ReadOnly).store->cup().cup;
        velmorin::SeededDraw draw(77);
        const velmorin::CupCommand command = velmorin::testing::randomCommand(now, draw);
        const QStringList args = argsOf(now, command);
        if (!args.isEmpty())
            QCOMPARE(runCup(QStringList{"--coupe", cup} + args).status,
                     velmorin::Cup(now).apply(command).done ? 0 : 2);
    }
}

QTEST_GUILESS_MAIN(TestCalcCupFormats)
#include "tst_calccup_formats.moc"
