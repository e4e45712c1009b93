#include "tst_cupstore.h"

void TestCupStore::roundTrip_data()
{
    QTest::addColumn<quint64>("seed");
    for (quint64 seed = 1; seed <= 16; ++seed)
        QTest::addRow("seed %llu", seed) << seed;
}

// Everything written reads back equal, after creation and after each kind of change.
void TestCupStore::roundTrip()
{
    QFETCH(quint64, seed);
    CupSetup expected = inventedCup(seed, 20 + seed * 7);
    const QString path = newCup(expected);
    QVERIFY(!path.isEmpty());
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(opened.ok(), opened.message.c_str());
        // The list's teams, read when the cup was made, are kept with it.
        QVERIFY(opened.store->setup() == velmorin::withListTeams(expected));
    }
    const CupSetup other = inventedCup(seed + 1000, 30);
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        CupStore &store = *opened.store;
        QVERIFY(store.setName(other.name).saved);
        QVERIFY(store.setDate(other.date).saved);
        QVERIFY(store.setCount(velmorin::CupCount::Finale, -7).saved);
        QVERIFY(store.setRatioChoice(4, 5).saved);
        QVERIFY(store.setShownPlan(other.classNumber, other.position).saved);
        QVERIFY(store.setWish(velmorin::Quantity::Tour3, other.wishes[2]).saved);
        QVERIFY(store.setList(*other.list, other.levelRounds).saved);
        QVERIFY(store.setLevelRound("4", 2).saved);
        QVERIFY(store.setSeed(~seed).saved);
        QVERIFY(store.setLevelOrder({"Régionale 2", "1"}).saved);
        QVERIFY(!store.setWish(velmorin::Quantity::Tour2, {5, 4}).saved);
        expected = store.setup();
        QCOMPARE(store.journal().size(), std::size_t{11}); // the creation and ten changes
    }
    QCOMPARE(expected.name, other.name);
    QCOMPARE(expected.finale, -7);
    QCOMPARE(expected.ratioChoices[3], 5);
    QCOMPARE(*expected.seed, ~seed);
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QVERIFY(reopened.store->setup() == expected);
    const velmorin::CupContents contents = rebuildCup(expected);
    QVERIFY(contents.list);
    QCOMPARE(contents.list->teams.size(), std::size_t{30});
}

void TestCupStore::refusals_data()
{
    QTest::addColumn<QByteArray>("sql"); // run on a good cup; empty: `bytes` is the file
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("missing") << QByteArray() << QByteArray("-") << "n'existe pas";
    QTest::newRow("text") << QByteArray() << QByteArray("Équipe;Club\nA;B\n") << "pas une coupe";
    QTest::newRow("empty") << QByteArray() << QByteArray("") << "pas une coupe";
    QTest::newRow("other database")
        << QByteArray("PRAGMA application_id = 7") << QByteArray() << "pas une coupe";
    QTest::newRow("newer") << QByteArray("PRAGMA user_version = 9") << QByteArray()
                           << "version 9 du format, plus récente que la version " +
                                  QString::number(velmorin::cupSchemaVersion());
    QTest::newRow("version 0") << QByteArray("PRAGMA user_version = 0") << QByteArray() << "abîmée";
    QTest::newRow("trigger")
        << QByteArray("CREATE TRIGGER t AFTER UPDATE ON cup BEGIN DELETE FROM journal; END")
        << QByteArray() << "déclencheurs";
    QTest::newRow("view") << QByteArray("CREATE VIEW v AS SELECT * FROM cup") << QByteArray()
                          << "déclencheurs";
    QTest::newRow("table") << QByteArray("CREATE TABLE extra (x)") << QByteArray()
                           << "déclencheurs";
    QTest::newRow("index") << QByteArray("CREATE INDEX i ON journal (what)") << QByteArray()
                           << "déclencheurs";
    QTest::newRow("changed table")
        << QByteArray("ALTER TABLE journal ADD COLUMN x") << QByteArray() << "déclencheurs";
    QTest::newRow("two cup rows")
        << QByteArray("PRAGMA ignore_check_constraints = ON; INSERT INTO cup SELECT 2, name, "
                      "held_on, registered, finale, entrants1, "
                      "rg1, rg2, rg3, rg4, rg5, rg6, class_number, position, seed, list_file "
                      "FROM cup")
        << QByteArray() << "abîmée";
    QTest::newRow("bad seed") << QByteArray("UPDATE cup SET seed = '18446744073709551616'")
                              << QByteArray() << "abîmée";
    QTest::newRow("cells out of order") << QByteArray("UPDATE list_cell SET col_no = col_no + 9 "
                                                      "WHERE row_no = 3 AND col_no = 1")
                                        << QByteArray() << "abîmée";
    // Hostile: work hidden in the schema, a value far longer than any cup holds.
    QTest::newRow("expression index")
        << QByteArray("CREATE TABLE extra (x); WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL "
                      "SELECT x + 1 FROM n WHERE x < 400) INSERT INTO extra SELECT x FROM n; "
                      "CREATE INDEX e ON extra (length(replace(printf('%.*c', 20000 + x, 'a'), "
                      "'a', 'bb')))")
        << QByteArray() << "déclencheurs";
    QTest::newRow("huge name") << QByteArray("UPDATE cup SET name = printf('%.*c', 40000000, 'x')")
                               << QByteArray() << "abîmée";
    QTest::newRow("damaged page") << QByteArray() << QByteArray("damage") << "abîmée";
    QTest::newRow("truncated") << QByteArray() << QByteArray("truncate") << "abîmée";
}

// Refused with its reason, and the file left exactly as it was.
void TestCupStore::refusals()
{
    QFETCH(QByteArray, sql);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = cupPath(QStringLiteral("refusee.velmorin"));
    QFile::remove(path);
    if (!sql.isEmpty() || bytes == "damage" || bytes == "truncate") {
        QVERIFY(!newCup(inventedCup(5, 200), QStringLiteral("refusee.velmorin")).isEmpty());
        if (!sql.isEmpty())
            tamper(path, sql.constData());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (bytes == "truncate")
            file.resize(file.size() / 2);
        if (bytes == "damage") {
            file.seek(file.size() - 3000);
            file.write(QByteArray(1500, '\x5a'));
        }
    } else if (bytes != "-") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QByteArray before = digest(path);
    const qint64 modified = modifiedAt(path);
    for (CupStore::Mode mode : {CupStore::Mode::ReadWrite, CupStore::Mode::ReadOnly}) {
        const Bounds bounds;
        const CupOpening opened = CupStore::open(path, mode);
        QVERIFY2(bounds.millis() < 1000, qPrintable(QString::number(bounds.millis())));
        QVERIFY2(bounds.megabytes() < 100, qPrintable(QString::number(bounds.megabytes())));
        QVERIFY(!opened.ok());
        QCOMPARE(opened.failure, CupOpening::Failure::Refused);
        QVERIFY2(QString::fromStdString(opened.message).contains(expected), opened.message.c_str());
    }
    QCOMPARE(digest(path), before);
    QCOMPARE(modifiedAt(path), modified);
    QVERIFY(!QFile::exists(path + ".verrou"));
    QCOMPARE(QFile::exists(path), bytes != "-");
}

void TestCupStore::createNeverReplaces()
{
    const QString path = newCup(inventedCup(1));
    const QByteArray before = digest(path);
    const CupOpening again = CupStore::create(path, inventedCup(2));
    QCOMPARE(again.failure, CupOpening::Failure::Refused);
    QVERIFY(QString::fromStdString(again.message).contains("existe déjà"));
    QCOMPARE(digest(path), before);
    const CupOpening nowhere = CupStore::create(cupPath("absent/coupe.velmorin"), inventedCup(2));
    QCOMPARE(nowhere.failure, CupOpening::Failure::WriteFailed);
}

void TestCupStore::cleanCloseLeavesOneFile()
{
    const QString path = newCup(inventedCup(4));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->setSeed(5).saved);
        QVERIFY(!QFile::exists(path + "-wal") && !QFile::exists(path + "-journal"));
    }
    const QStringList left =
        QDir(m_dir.path()).entryList({"coupe.velmorin*"}, QDir::Files | QDir::Hidden);
    QCOMPARE(left, QStringList{"coupe.velmorin"});
}

void TestCupStore::played_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("teams");
    for (quint64 seed = 1; seed <= 4; ++seed)
        QTest::addRow("seed %llu", seed) << seed << 77;
}

// A cup played to its final one step at a time: every step is in the file at once, the
// settings are refused while round 1 is drawn, and everything reads back equal.
void TestCupStore::played()
{
    QFETCH(quint64, seed);
    QFETCH(int, teams);
    const QString path = newCup(playableCup(seed, static_cast<std::size_t>(teams)));
    QVERIFY(!path.isEmpty());
    velmorin::CupRecords expected;
    std::size_t steps = 0;
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        CupStore &store = *opened.store;
        QVERIFY(!store.isFrozen());
        velmorin::CupCreation made = store.cup();
        QVERIFY2(made.ok(), made.error.c_str());
        velmorin::Cup &cup = *made.cup;
        while (cup.finalTeams().empty() && steps < 5000) {
            const std::string what = playStep(cup);
            QVERIFY(store.saveRecords(cup.records(), what).saved);
            ++steps;
            QVERIFY(store.records() == cup.records());
        }
        QVERIFY(!cup.finalTeams().empty());
        QVERIFY(store.isFrozen());
        const QByteArray before = digest(path);
        for (const velmorin::CupWrite &write :
             {store.setSeed(1), store.setCount(velmorin::CupCount::Finale, 2),
              store.setRatioChoice(5, 1), store.setShownPlan(2, 1), store.setLevelRound("1", 2),
              store.setLevelOrder({"2"}), store.setList(*store.setup().list, {})}) {
            QVERIFY(!write.saved);
            QCOMPARE(write.message, std::string(velmorin::Cup::frozenSentence()));
        }
        QCOMPARE(digest(path), before);
        // Records that do not make this cup are refused, never written.
        velmorin::CupRecords forged = cup.records();
        std::swap(forged.draws.front().groups.front().front(),
                  forged.draws.back().exempted.empty() ? forged.results.back().winner
                                                       : forged.draws.back().exempted.front());
        QVERIFY(!store.saveRecords(forged, "faux").saved);
        QVERIFY(store.records() == cup.records());
        QVERIFY(store.setName("Finale connue").saved);
        expected = cup.records();
        // One count for the settings and the play: the name moved it too.
        QCOMPARE(store.version(), expected.version + 1);
        expected.version = store.version();
    }
    {
        CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(reopened.ok(), reopened.message.c_str());
        QVERIFY(reopened.store->records() == expected);
        QCOMPARE(reopened.store->journal().size(), steps + 2); // creation, steps, name
        QVERIFY(reopened.store->cup().ok());
    }
    // Every draw cancelled, last first: the settings change again.
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    velmorin::Cup cup = *opened.store->cup().cup;
    for (int round = cup.drawnRounds(); round >= 1; --round) {
        QVERIFY(!opened.store->setSeed(5).saved);
        const velmorin::CupAnswer cancelled = cancelRound(cup, round);
        QVERIFY(cancelled.done);
        QVERIFY(opened.store->saveRecords(cup.records(), cancelled.text).saved);
    }
    velmorin::CupRecords none;
    none.version = cup.version();
    QVERIFY(opened.store->records() == none);
    QVERIFY(opened.store->setSeed(5).saved);
}

// A file of the first version opens for writing, is brought to this version, and is then
// read by any opening.
void TestCupStore::version1Migrates()
{
    const CupSetup setup = playableCup(3, 77);
    const QString path = newCup(setup);
    tamper(path, droppedDayTables(
                     "DROP TABLE result; DROP TABLE draw_place; DROP TABLE draw_exempted; "
                     "DROP TABLE draw_meeting; DROP TABLE draw; DROP TABLE chosen_exempted; "
                     "DROP TABLE withdrawal; DROP TABLE team_extra; DROP TABLE team_column; "
                     "DROP TABLE team; DROP TABLE entry_token; PRAGMA user_version = 1;")
                     .c_str());
    QVERIFY(!CupStore::open(path, CupStore::Mode::ReadOnly).ok());
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        QVERIFY(opened.store->setup() == velmorin::withListTeams(setup));
        QCOMPARE(opened.store->journal().back().what, migratedJournalLine());
        velmorin::Cup cup = *opened.store->cup().cup;
        QVERIFY(drawRound(cup, 1).done);
        QVERIFY(opened.store->saveRecords(cup.records(), "Tour 1").saved);
    }
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(reopened.store->records().draws.size(), std::size_t{1});
}

// A file of the second version kept a withdrawal only as the forfeits its team lost: opened,
// each team's first forfeit becomes its withdrawal, its draws and results its version, and
// the cup plays on from there.
void TestCupStore::version2Migrates()
{
    const CupSetup setup = playableCup(3, 78);
    const QString path = newCup(setup);
    velmorin::Cup cup = [&] {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        return *opened.store->cup().cup;
    }();
    QVERIFY(drawRound(cup, 1).done);
    const velmorin::DrawRecord drawn = *cup.drawnRound(1);
    const int withdrawn = drawn.groups[0][0];
    QVERIFY(declareForfeit(cup, 1, withdrawn).done); // loses game 1, then its barrage
    QVERIFY(recordWinner(cup, 1, drawn.groups[0][2], velmorin::Score{13, 2}).done);
    QVERIFY(recordWinner(cup, 1, drawn.groups[1][1]).done);
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->saveRecords(cup.records(), "Tour 1").saved);
    }
    tamper(path, droppedDayTables("DROP TABLE withdrawal; DROP TABLE team_extra; "
                                  "DROP TABLE team_column; DROP TABLE team; "
                                  "DROP TABLE entry_token; PRAGMA user_version = 2;")
                     .c_str());
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        QCOMPARE(opened.store->journal().back().what, migratedJournalLine());
        const velmorin::CupRecords &records = opened.store->records();
        QCOMPARE(records.withdrawals.size(), std::size_t{1});
        QCOMPARE(records.withdrawals[0].team, withdrawn);
        QCOMPARE(records.withdrawals[0].round, 1);
        // The journal's count: its creation, the round, the migration.
        QCOMPARE(records.version, std::uint64_t(opened.store->journal().size()));
        velmorin::Cup restored = *opened.store->cup().cup;
        QVERIFY(restored.isWithdrawn(withdrawn, 1));
        const velmorin::CupAnswer again = declareForfeit(restored, 1, withdrawn);
        QVERIFY(!again.done);
        QVERIFY(recordWinner(restored, 1, drawn.groups[1][3]).done);
        QVERIFY(opened.store->saveRecords(restored.records(), "Tour 1").saved);
    }
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(reopened.store->records().version, std::uint64_t(reopened.store->journal().size()));
    QCOMPARE(reopened.store->records().withdrawals.size(), std::size_t{1});
}

void TestCupStore::damagedRecords_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::newRow("winner not in the game")
        << QByteArray("UPDATE result SET winner = winner + 1 WHERE rowid = "
                      "(SELECT min(rowid) FROM result)");
    QTest::newRow("score the wrong way")
        << QByteArray("UPDATE result SET winner_score = 2, loser_score = 9");
    QTest::newRow("place missing")
        << QByteArray("DELETE FROM draw_place WHERE round = 1 AND pool = 1 AND place = 0");
    QTest::newRow("team twice") << QByteArray(
        "UPDATE draw_place SET team = (SELECT team FROM draw_place WHERE round = 1 "
        "AND pool = 1 AND place = 1) WHERE round = 1 AND pool = 1 AND place = 0");
    QTest::newRow("round 1 gone") << QByteArray("DELETE FROM draw_place WHERE round = 1; "
                                                "DELETE FROM draw_meeting WHERE round = 1; "
                                                "DELETE FROM result WHERE round = 1; "
                                                "DELETE FROM draw WHERE round = 1");
    QTest::newRow("meeting forged")
        << QByteArray("INSERT INTO draw_meeting VALUES (1, 999, 1, 0, 1)");
    QTest::newRow("result of an undrawn round")
        << QByteArray("INSERT INTO draw VALUES (6, 1); INSERT INTO result VALUES "
                      "(6, 1, 1, 0, NULL, NULL, NULL)");
    QTest::newRow("withdrawal of a team not playing")
        << QByteArray("INSERT INTO withdrawal VALUES (99999, 1)");
    QTest::newRow("forfeit without its withdrawal")
        << QByteArray("UPDATE result SET winner_score = NULL, loser_score = NULL, withdrawn = "
                      "(SELECT team FROM draw_place WHERE round = result.round AND "
                      "pool = result.pool AND place < 2 AND team != result.winner) WHERE rowid = "
                      "(SELECT min(rowid) FROM result WHERE game = 1)");
    QTest::newRow("roll-call of no team")
        << QByteArray("INSERT INTO roll_call VALUES (1, 99999, 0)");
    QTest::newRow("game moved in no group")
        << QByteArray("INSERT INTO game_move VALUES (1, 99999, 1, NULL, NULL, NULL, 600)");
    QTest::newRow("game moved to no lane")
        << QByteArray("INSERT INTO game_move VALUES (1, 1, 1, '', 5, NULL, NULL)");
    QTest::newRow("chosen unknown team")
        << QByteArray("INSERT INTO chosen_exempted VALUES (0, 99999)");
    QTest::newRow("plan changed under the draws")
        << QByteArray("UPDATE cup SET entrants1 = entrants1 + 4");
    // The teams the cup keeps, not its list's rows, are the ones played: read as strictly.
    QTest::newRow("kept team both numbered and named")
        << QByteArray("UPDATE team SET level_number = 1, level_name = 'Régionale' WHERE rank = 0");
    QTest::newRow("kept teams one short")
        << QByteArray("DELETE FROM team_extra WHERE rank = (SELECT max(rank) FROM team); "
                      "DELETE FROM team WHERE rank = (SELECT max(rank) FROM team)");
    QTest::newRow("kept teams, one name twice") << QByteArray(
        "UPDATE team SET name = (SELECT name FROM team WHERE rank = 0) WHERE rank = 1");
}

// Records changed behind the store's back, or settings that no longer make the drawn cup:
// refused as damaged, and the file left as it was.
void TestCupStore::damagedRecords()
{
    QFETCH(QByteArray, sql);
    const QString path = newCup(playableCup(4, 77), QStringLiteral("jouee.velmorin"));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        velmorin::Cup cup = *opened.store->cup().cup;
        for (int step = 0; step < 40; ++step)
            playStep(cup);
        QVERIFY(cup.drawnRounds() >= 2);
        QVERIFY(opened.store->saveRecords(cup.records(), "joué").saved);
    }
    tamper(path, sql.constData());
    const QByteArray before = digest(path);
    for (CupStore::Mode mode : {CupStore::Mode::ReadWrite, CupStore::Mode::ReadOnly}) {
        const CupOpening opened = CupStore::open(path, mode);
        QVERIFY(!opened.ok());
        QVERIFY2(QString::fromStdString(opened.message).contains("abîmée"), opened.message.c_str());
    }
    QCOMPARE(digest(path), before);
}

// The cup's day through the file: each command saved as the window and the calculator save
// it, the file read again gives back every roll-call, lane, start, length and move.
void TestCupStore::dayRoundTrip()
{
    const QString path = newCup(playableCup(4, 77), QStringLiteral("journee.velmorin"));
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY2(opened.ok(), opened.message.c_str());
    const velmorin::CupCreation made = opened.store->cup();
    QVERIFY2(made.ok(), made.error.c_str());
    velmorin::Cup cup = *made.cup;
    velmorin::SeededDraw draw(5);
    const auto save = [&](const velmorin::CupCommand &command) {
        const velmorin::CupAnswer answer = cup.apply(command);
        QVERIFY2(answer.done, answer.text.c_str());
        QVERIFY(opened.store->saveRecords(cup.records(), answer.text).saved);
    };
    save(velmorin::LanesCommand{"", 1, 12});
    save(velmorin::LanesCommand{"Annexe", 3, 4});
    save(velmorin::GameLengthCommand{75});
    for (int round = 1; round <= 2; ++round) {
        for (const int team : cup.rollCallTeams(round))
            save(velmorin::RollCallCommand{round, team, draw.below(5) != 0});
        save(velmorin::StartCommand{round, velmorin::DayTime{5 + round / 2, 9 * 60 + round}});
        save(velmorin::DrawCommand{round});
        save(velmorin::SlotCommand{{round, 1, 1}, velmorin::LaneRef{"Annexe", 4},
                                   velmorin::DayTime{6, 23 * 60}});
        velmorin::testing::playRound(cup, round, draw, false);
        QVERIFY(opened.store->saveRecords(cup.records(), "joué").saved);
    }
    save(velmorin::RollCallCommand{3, cup.rollCallTeams(3).front(), false});
    save(velmorin::StartCommand{3, velmorin::DayTime{std::nullopt, 14 * 60}});
    velmorin::CupRecords saved = cup.records();
    QVERIFY(!saved.day.rollCalls.empty() && saved.day.moves.size() == 2);
    opened.store.reset();
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    // The cup's version is the journal's count: one per save, a round's results saved at once.
    saved.version = reopened.store->version();
    QVERIFY(reopened.store->records() == saved);
    QVERIFY(reopened.store->cup().cup->records() == saved);
}
