// The cup file shared: other programs holding it or writing it meanwhile, journals left
// beside it by a crash or by mistake, and hostile files refused within bounds.

#include "tst_cupstore.h"

#include <sys/file.h>

namespace {

// A journal left beside `copyTo` as a crash of a program writing `source` would leave it:
// the write-ahead log of `sql` (older versions), or a rollback journal in the middle of `sql`
// with the file itself half written (copied at that moment too when `copyTo` is not `source`).
void leaveJournal(const QString &source, const QString &copyTo, bool wal, const char *sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(source).constData(), &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const auto run = [&](const char *statement) {
        QCOMPARE(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK);
    };
    if (wal) {
        run("PRAGMA journal_mode = WAL");
        run(sql);
        if (copyTo != source) {
            QFile::remove(copyTo + "-wal");
            QVERIFY(QFile::copy(source + "-wal", copyTo + "-wal"));
        }
    } else {
        run("PRAGMA cache_size = 1"); // the change spills into the file before its commit
        run("BEGIN");
        run(sql);
        QVERIFY(QFileInfo(source + "-journal").size() > 0);
        if (copyTo != source) {
            QFile::remove(copyTo + "-journal");
            QVERIFY(QFile::copy(source + "-journal", copyTo + "-journal"));
        }
        run("ROLLBACK");
    }
    sqlite3_close(db);
}

bool bothRefused(const QString &path, const QString &expected)
{
    for (CupStore::Mode mode : {CupStore::Mode::ReadWrite, CupStore::Mode::ReadOnly}) {
        const CupOpening opened = CupStore::open(path, mode);
        if (opened.ok() || !QString::fromStdString(opened.message).contains(expected)) {
            qWarning("%s", opened.message.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

void TestCupStore::locks_data()
{
    QTest::addColumn<QByteArray>("text"); // the lock file's content
    QTest::addColumn<bool>("live");       // a running process holds it
    const QByteArray here = QByteArray::fromStdString(velmorin::CupLock::thisHost());
    QTest::newRow("killed holder") << here + "\n999999999\n" << false;
    QTest::newRow("left empty") << QByteArray() << false;
    QTest::newRow("another computer") << QByteArray("portable-de-jean\n4242\n") << false;
    // A number given again to another process after a restart.
    QTest::newRow("reused process number") << here + "\n1\n" << false;
    QTest::newRow("holder writing its name") << QByteArray() << true;
    QTest::newRow("live holder") << here + '\n' + QByteArray::number(::getpid()) + '\n' << true;
}

// A lock blocks writing only while its holder runs; a lock file left behind never does, and
// none is removed on a guess.
void TestCupStore::locks()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, live);
    const QString path = newCup(inventedCup(11));
    QFile lock(path + ".verrou");
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(text);
    lock.flush();
    if (live)
        QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
    // Opened under every name of the file: the lock is the file's, not the name's.
    const QString link = cupPath("lien.velmorin");
    QFile::remove(link);
    QVERIFY(QFile::link(path, link));
    const QString relative = QDir::current().relativeFilePath(m_dir.path() + "/./coupe.velmorin");
    for (const QString &name : {path, link, relative}) {
        CupOpening opened = CupStore::open(name, CupStore::Mode::ReadWrite);
        QCOMPARE(opened.ok(), !live);
        if (live) {
            QCOMPARE(opened.failure, CupOpening::Failure::Held);
            QVERIFY(QString::fromStdString(opened.message).contains("fermez-la"));
            QVERIFY(QFile::exists(path + ".verrou"));
        } else {
            QVERIFY(opened.store->setName("pris").saved);
        }
    }
    lock.close();
    if (!live)
        QVERIFY(!QFile::exists(path + ".verrou"));
}

void TestCupStore::changedMeanwhile_data()
{
    QTest::addColumn<QByteArray>("sql"); // another program's write; empty: none
    QTest::addColumn<int>("behind");     // how far behind the store the change was decided
    QTest::newRow("another program wrote")
        << QByteArray("INSERT INTO journal (at, what) VALUES ('x', 'Nom de la coupe : autre'); "
                      "UPDATE cup SET name = 'autre'")
        << 0;
    QTest::newRow("decided on an older version") << QByteArray() << 1;
    QTest::newRow("up to date") << QByteArray() << 0;
}

// No change is ever written over one it did not see: refused, with nothing written.
void TestCupStore::changedMeanwhile()
{
    QFETCH(QByteArray, sql);
    QFETCH(int, behind);
    const QString path = newCup(playableCup(3, 40));
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY(opened.ok());
    CupStore &store = *opened.store;
    const std::uint64_t version = store.version();
    velmorin::Cup cup = *store.cup().cup;
    QVERIFY(drawRound(cup, 1).done);
    if (!sql.isEmpty())
        tamper(path, sql.constData());
    const QByteArray before = digest(path);
    const bool refused = !sql.isEmpty() || behind > 0;
    // The refusal names the change it missed: the other program's, or the store's last.
    const std::string missed =
        sql.isEmpty() ? store.journal().back().what : std::string("Nom de la coupe : autre");
    const velmorin::CupWrite written =
        store.saveRecords(cup.records(), "Tirage", version - static_cast<std::uint64_t>(behind));
    QCOMPARE(written.saved, !refused);
    QCOMPARE(written.changedMeanwhile, refused);
    if (refused) {
        QVERIFY2(written.message.find(missed + '.') != std::string::npos, written.message.c_str());
        QCOMPARE(digest(path), before);
        // Its own writes go on unless another program wrote.
        QCOMPARE(store.setName("mien").saved, sql.isEmpty());
    } else {
        QCOMPARE(store.version(), version + 1);
        QVERIFY(store.setName("mien").saved);
        QCOMPARE(store.version(), version + 2);
    }
}

void TestCupStore::readsAnotherProgramsChange_data()
{
    QTest::addColumn<QByteArray>("sql"); // the other program's write; empty: none
    QTest::addColumn<bool>("taken");     // a cup it still makes, read in
    QTest::newRow("nothing written") << QByteArray() << false;
    QTest::newRow("renamed") << QByteArray("UPDATE cup SET name = 'autre'") << true;
    QTest::newRow("seed changed") << QByteArray("UPDATE cup SET seed = '77'") << true;
    QTest::newRow("draw cancelled")
        << QByteArray("DELETE FROM result; DELETE FROM draw_meeting; DELETE FROM draw_exempted; "
                      "DELETE FROM draw_place; DELETE FROM draw")
        << true;
    QTest::newRow("result no longer a cup's")
        << QByteArray("UPDATE result SET winner = 999") << false;
}

// A store sees another program's write by its version, and reads it whole, or not at all
// when the file no longer makes a cup.
void TestCupStore::readsAnotherProgramsChange()
{
    QFETCH(QByteArray, sql);
    QFETCH(bool, taken);
    const QString path = newCup(playableCup(4, 40));
    {
        CupOpening writer = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(writer.ok());
        velmorin::Cup cup = *writer.store->cup().cup;
        QVERIFY(drawRound(cup, 1).done);
        const velmorin::GameRef first{1, 1, 1};
        QVERIFY(cup.apply(velmorin::ResultCommand{first, cup.gameTeams(first)->first, std::nullopt,
                                                  false})
                    .done);
        QVERIFY(writer.store->saveRecords(cup.records(), "Tour 1").saved);
    }
    CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY(reader.ok());
    CupStore &store = *reader.store;
    const CupSetup setupBefore = store.setup();
    const velmorin::CupRecords recordsBefore = store.records();
    const std::uint64_t version = store.version();
    QCOMPARE(store.storedVersion(), std::optional<std::uint64_t>(version));
    if (!sql.isEmpty())
        tamper(path, ("INSERT INTO journal (at, what) VALUES ('x', 'autre'); " + sql).constData());
    QCOMPARE(store.storedVersion() != std::optional<std::uint64_t>(version), !sql.isEmpty());

    QCOMPARE(store.reload(), taken || sql.isEmpty());
    if (!taken) {
        // As it was: a file another program broke is not taken in.
        QCOMPARE(store.setup(), setupBefore);
        QCOMPARE(store.records(), recordsBefore);
        QCOMPARE(store.version(), version);
        return;
    }
    const CupOpening fresh = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY(fresh.ok());
    QCOMPARE(store.setup(), fresh.store->setup());
    QCOMPARE(store.records(), fresh.store->records());
    QCOMPARE(store.version(), fresh.store->version());
    QCOMPARE(store.storedVersion(), std::optional<std::uint64_t>(store.version()));
    QVERIFY(store.cup().ok());
}

void TestCupStore::journals_data()
{
    QTest::addColumn<bool>("wal");
    QTest::addColumn<bool>("own");
    QTest::addColumn<bool>("folderWritable"); // for the reader
    QTest::addColumn<QString>("expected");    // the refusal; empty: opened, the journal applied
    QTest::newRow("own log written ahead") << true << true << true << QString();
    QTest::newRow("own rollback journal") << false << true << true << QString();
    QTest::newRow("own log, folder read-only") << true << true << false << "interrompue";
    QTest::newRow("own journal, folder read-only") << false << true << false << "interrompue";
    QTest::newRow("another cup's log") << true << false << true << "n'est pas le sien";
    QTest::newRow("another cup's rollback journal")
        << false << false << true << "n'est pas le sien";
}

// A journal beside a cup is applied only when it is the cup's own: a crash is repaired, even
// by a reading command, and another file's journal is never merged into the cup.
void TestCupStore::journals()
{
    QFETCH(bool, wal);
    QFETCH(bool, own);
    QFETCH(bool, folderWritable);
    QFETCH(QString, expected);
    const CupSetup setup = inventedCup(12, 300);
    const QString path = newCup(setup);
    const char *sql = wal ? "INSERT INTO journal (at, what) VALUES ('x', 'journal'); "
                            "UPDATE cup SET name = 'écrit dans le journal'"
                          : "DELETE FROM list_cell; UPDATE cup SET name = 'à moitié'";
    QString cup = path;
    if (own && !wal) {
        // The file as a crash leaves it: half written, with its journal.
        cup = cupPath("interrompue.velmorin");
        QFile::remove(cup);
        sqlite3 *db = nullptr;
        // Copied while the transaction is under way.
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA cache_size = 1; BEGIN;", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(QFile::copy(path, cup) && QFile::copy(path + "-journal", cup + "-journal"));
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QVERIFY(digest(cup) != digest(path));
    } else if (own) {
        leaveJournal(path, path, true, sql);
    } else {
        const QString other = newCup(inventedCup(13, 300), QStringLiteral("autre.velmorin"));
        {
            CupOpening opened = CupStore::open(other, CupStore::Mode::ReadWrite);
            QVERIFY(opened.store->setSeed(1).saved && opened.store->setSeed(2).saved);
        }
        leaveJournal(other, path, wal, sql);
    }
    const QString journal = cup + (wal ? "-wal" : "-journal");
    QVERIFY(QFileInfo(journal).size() > 0);
    const QByteArray before = digest(cup);
    if (!folderWritable) {
        // Read by an ordinary user who may not write the folder: the superuser would.
        const auto permissions = QFile::permissions(m_dir.path());
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                QFile::ExeOther | QFile::ReadGroup |
                                                QFile::ExeGroup);
        for (const QString &file : {cup, journal})
            QFile::setPermissions(file, QFile::permissions(file) | QFile::ReadOther);
        const int status = inChild([&] {
            if (::geteuid() == 0) {
                const passwd *nobody = ::getpwnam("nobody");
                if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 ||
                    ::setuid(nobody->pw_uid) != 0)
                    return 10;
            }
            const CupOpening reading = CupStore::open(cup, CupStore::Mode::ReadOnly);
            return !reading.ok() &&
                           reading.message.find(expected.toStdString()) != std::string::npos
                       ? 0
                       : 11;
        });
        QFile::setPermissions(m_dir.path(), permissions);
        QCOMPARE(status, 0);
        QCOMPARE(digest(cup), before);
        QVERIFY(QFile::exists(journal));
        return;
    }
    if (!expected.isEmpty()) {
        QVERIFY(bothRefused(cup, expected));
        QCOMPARE(digest(cup), before);
        QVERIFY(QFile::exists(journal));
        return;
    }
    // A reading command repairs it.
    CupOpening opened = CupStore::open(cup, CupStore::Mode::ReadOnly);
    QVERIFY2(opened.ok(), opened.message.c_str());
    QCOMPARE(opened.store->setup().name, wal ? std::string("écrit dans le journal") : setup.name);
    QVERIFY(opened.store->setup().list == setup.list);
    QVERIFY(!QFile::exists(journal) && !QFile::exists(cup + "-shm"));
    opened = CupStore::open(cup, CupStore::Mode::ReadWrite);
    QVERIFY(opened.ok() && opened.store->setSeed(4).saved);
}

void TestCupStore::staleCommandNamesTheChanges_data()
{
    QTest::addColumn<std::uint64_t>("seed");
    QTest::addColumn<int>("meanwhile"); // the changes kept after the command was decided
    for (std::uint64_t seed = 1; seed <= 15; ++seed)
        QTest::addRow("graine %llu", static_cast<unsigned long long>(seed))
            << seed << static_cast<int>(1 + seed % 5);
}

// A command decided on a cup that changed since is refused whatever it is, writes nothing,
// and names the changes made meanwhile (the latest, the others counted), which are also the
// changes the store gives since that version.
void TestCupStore::staleCommandNamesTheChanges()
{
    QFETCH(std::uint64_t, seed);
    QFETCH(int, meanwhile);
    const QString path = newCup(playableCup(seed, 40));
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY(opened.ok());
    CupStore &store = *opened.store;
    velmorin::SeededDraw draw(seed * 31);
    // Played a while first, so that any kind of command may come.
    for (int k = 0; k < 25; ++k)
        store.apply(velmorin::testing::randomCommand(*store.cup().cup, draw));
    const velmorin::Cup seen = *store.cup().cup;
    QCOMPARE(seen.version(), store.version());
    velmorin::CupCommand decided = velmorin::testing::randomCommand(seen, draw);
    decided.basedOn = seen.version();

    std::vector<std::string> sentences;
    for (int tries = 0; tries < 200 && int(sentences.size()) < meanwhile; ++tries) {
        const velmorin::CupApplied other =
            store.apply(velmorin::testing::randomCommand(*store.cup().cup, draw));
        if (other.done() && other.answer.changed)
            sentences.push_back(other.answer.text);
    }
    QCOMPARE(int(sentences.size()), meanwhile);
    QCOMPARE(store.version(), seen.version() + std::uint64_t(meanwhile));
    const std::optional<std::vector<velmorin::CupChange>> changes =
        store.changesSince(seen.version());
    QVERIFY(changes);
    QCOMPARE(int(changes->size()), meanwhile);
    for (int k = 0; k < meanwhile; ++k) {
        QCOMPARE((*changes)[std::size_t(k)].what, sentences[std::size_t(k)]);
        QCOMPARE((*changes)[std::size_t(k)].version, seen.version() + std::uint64_t(k) + 1);
    }

    const QByteArray before = digest(path);
    const velmorin::CupRecords recordsBefore = store.records();
    const velmorin::CupApplied stale = store.apply(decided, &seen);
    QCOMPARE(stale.outcome, velmorin::CupApplied::Outcome::Stale);
    QVERIFY(!stale.answer.done);
    QCOMPARE(digest(path), before);
    QCOMPARE(store.records(), recordsBefore);
    std::string named;
    const int first = std::max(0, meanwhile - int(velmorin::kNamedChanges));
    for (int k = first; k < meanwhile; ++k)
        named += ' ' + sentences[std::size_t(k)];
    QVERIFY2(stale.answer.text.size() > named.size() &&
                 stale.answer.text.compare(stale.answer.text.size() - named.size(), named.size(),
                                           named) == 0,
             stale.answer.text.c_str());
    QCOMPARE(stale.answer.text.find("changements") != std::string::npos,
             meanwhile > int(velmorin::kNamedChanges));
}

void TestCupStore::oneVersionForSettingsAndPlay_data()
{
    QTest::addColumn<QString>("setting"); // what changes between two commands
    QTest::newRow("rien") << QString();
    QTest::newRow("nom") << QStringLiteral("name");
    QTest::newRow("date") << QStringLiteral("date");
    QTest::newRow("souhait") << QStringLiteral("wish");
}

// The cup's version is the store's: a setting changed between two commands moves both, so a
// command decided on the cup as it is now is never taken for a stale one, and a cup read
// again carries the same count.
void TestCupStore::oneVersionForSettingsAndPlay()
{
    QFETCH(QString, setting);
    const QString path = newCup(playableCup(9, 40));
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY(opened.ok());
    CupStore &store = *opened.store;
    QCOMPARE(store.cup().cup->version(), store.version());
    QVERIFY(store.apply(velmorin::DrawCommand{1}).done());
    const std::uint64_t drawn = store.version();
    if (setting == "name")
        QVERIFY(store.setName("Coupe d'hiver").saved);
    else if (setting == "date")
        QVERIFY(store.setDate("2027-01-09").saved);
    else if (setting == "wish")
        QVERIFY(store.setWish(velmorin::Quantity::Entrants1, {8, 30}).saved);
    QCOMPARE(store.version(), drawn + (setting.isEmpty() ? 0 : 1));
    const velmorin::Cup now = *store.cup().cup;
    QCOMPARE(now.version(), store.version());
    const velmorin::GameRef first{1, 1, 1};
    velmorin::CupCommand result =
        velmorin::ResultCommand{first, now.gameTeams(first)->first, velmorin::Score{13, 4}, false};
    result.basedOn = now.version();
    const velmorin::CupApplied applied = store.apply(result, &now);
    QVERIFY2(applied.done(), applied.answer.text.c_str());
    QCOMPARE(applied.cup->version(), store.version());
    QCOMPARE(store.records().version, store.version());
    opened.store.reset();
    const CupOpening again = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY(again.ok());
    QCOMPARE(again.store->version(), applied.cup->version());
    QCOMPARE(again.store->cup().cup->version(), applied.cup->version());
}
