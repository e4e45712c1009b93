// The cup file when things go wrong around it: another program holding it, a writer killed,
// a read-only file, a full disk, the file removed while open.

#include "tst_cupstore.h"

void TestCupStore::heldByAnother()
{
    const QString path = newCup(inventedCup(3));
    {
        CupOpening first = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(first.ok());
        const CupOpening second = CupStore::open(path, CupStore::Mode::ReadWrite);
        QCOMPARE(second.failure, CupOpening::Failure::Held);
        QVERIFY(second.holder);
        QCOMPARE(second.holder->pid, static_cast<long long>(::getpid()));
        QVERIFY(QString::fromStdString(second.message).contains(QString::number(::getpid())));
        CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY(reader.ok());
        QVERIFY(first.store->setSeed(77).saved);
        QVERIFY(!reader.store->setSeed(78).saved);
    }
    // A holder that no longer runs does not count.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    QFile lock(path + ".verrou");
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::fromStdString(velmorin::CupLock::thisHost()) + '\n' +
               QByteArray::number(gone) + '\n');
    lock.close();
    CupOpening after = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY2(after.ok(), after.message.c_str());
    QCOMPARE(*after.store->setup().seed, std::uint64_t{77});
}

// A writer killed at random moments: the file always opens, and holds every change it had
// reported committed.
void TestCupStore::killedWriter()
{
    const QString path = newCup(inventedCup(6, 300));
    std::mt19937 random(20261207);
    std::uint64_t committed = 0;
    for (int round = 0; round < 200; ++round) {
        const auto reported = killedWriterRun(random, 100000, [&](const auto &report) {
            CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
            if (!opened.ok())
                return 3;
            std::uint64_t next = opened.store->setup().seed.value_or(0);
            for (;;) {
                ++next;
                const bool saved = next % 3 == 0
                                       ? opened.store->setName("n" + std::to_string(next)).saved &&
                                             opened.store->setSeed(next).saved
                                       : opened.store->setSeed(next).saved;
                if (!saved)
                    return 4;
                report(next);
            }
        });
        QVERIFY2(reported, "the writer stopped on its own");
        committed = std::max(committed, *reported);

        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY2(opened.ok(), opened.message.c_str());
        const std::uint64_t seed = opened.store->setup().seed.value_or(0);
        // The change in flight may have committed before its report.
        QVERIFY2(seed == committed || seed == committed + 1,
                 qPrintable(QStringLiteral("seed %1, committed %2").arg(seed).arg(committed)));
        committed = seed;
    }
    // Most kills must land among the writes, not all before the first one.
    QVERIFY2(committed > 100, qPrintable(QString::number(committed)));
}

void TestCupStore::readOnlyFile()
{
    const QString path = newCup(inventedCup(7));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->setSeed(99).saved);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther |
                                            QFile::ReadOther | QFile::ExeGroup);
    const QByteArray before = digest(path);
    // As an ordinary user: the superuser would write through the permissions.
    const int status = inChild([&] {
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                return 10;
        }
        const CupOpening writing = CupStore::open(path, CupStore::Mode::ReadWrite);
        if (writing.ok() || writing.failure != CupOpening::Failure::Refused ||
            writing.message.find("lecture seule") == std::string::npos)
            return 11;
        const CupOpening reading = CupStore::open(path, CupStore::Mode::ReadOnly);
        if (!reading.ok() || reading.store->setup().seed != std::uint64_t{99})
            return 12;
        return 0;
    });
    QCOMPARE(status, 0);
    QCOMPARE(digest(path), before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

// Past a file-size limit a change fails with its reason, and nothing written before is lost.
void TestCupStore::fullDisk()
{
    const CupSetup small = inventedCup(8, 10);
    const QString path = newCup(small);
    const CupSetup large = inventedCup(9, 5000);
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        if (!opened.ok() || !opened.store->setSeed(123).saved)
            return 10;
        const rlimit limit{static_cast<rlim_t>(QFileInfo(path).size() + 64 * 1024), RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const velmorin::CupWrite write = opened.store->setList(*large.list, large.levelRounds);
        if (write.saved || write.message.find("disque est plein") == std::string::npos)
            return 11;
        return opened.store->setName("après").saved ? 0 : 12;
    });
    QCOMPARE(status, 0);
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(*reopened.store->setup().seed, std::uint64_t{123});
    QCOMPARE(reopened.store->setup().name, std::string("après"));
    QVERIFY(reopened.store->setup().list == small.list);
}

void TestCupStore::removedWhileOpen()
{
    const QString path = newCup(inventedCup(10));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.store->setSeed(1).saved);
        QVERIFY(QFile::remove(path));
        const velmorin::CupWrite write = opened.store->setSeed(2);
        QVERIFY2(write.saved, write.message.c_str());
        QVERIFY2(QString::fromStdString(write.message).contains("réenregistrée"),
                 write.message.c_str());
        QVERIFY(opened.store->setName("encore").saved);
    }
    CupOpening reopened = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reopened.ok(), reopened.message.c_str());
    QCOMPARE(*reopened.store->setup().seed, std::uint64_t{2});
    QCOMPARE(reopened.store->setup().name, std::string("encore"));
}

// A process drawing and recording results, killed at random moments: the file always opens,
// restores, and holds every step it had reported committed (and at most the one in flight).
void TestCupStore::killedWhilePlaying()
{
    const QString path = newCup(playableCup(2, 77));
    std::mt19937 random(20261208);
    velmorin::CupRecords known = CupStore::open(path, CupStore::Mode::ReadOnly).store->records();
    std::uint64_t totalSteps = 0;
    for (int kill = 0; kill < 40; ++kill) {
        // A step is one transaction, several synchronous writes with a rollback journal.
        const auto reported = killedWriterRun(random, 200000, [&](const auto &report) {
            CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
            if (!opened.ok())
                return 3;
            velmorin::Cup cup = *opened.store->cup().cup;
            for (std::uint64_t steps = 1;; ++steps) {
                const std::string what = playStep(cup);
                if (!opened.store->saveRecords(cup.records(), what).saved)
                    return 4;
                report(steps);
            }
        });
        QVERIFY2(reported, "the writer stopped on its own");
        const std::uint64_t steps = *reported;

        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadOnly);
        QVERIFY2(opened.ok(), opened.message.c_str());
        QVERIFY(opened.store->cup().ok());
        // The same steps replayed from what the file held before this writer.
        velmorin::Cup replay =
            *velmorin::restoreCup(
                 velmorin::cupInputsOf(opened.store->setup(),
                                       velmorin::rebuildCup(opened.store->setup())),
                 known)
                 .cup;
        for (std::uint64_t k = 0; k < steps; ++k)
            playStep(replay);
        const velmorin::CupRecords committed = replay.records();
        playStep(replay);
        QVERIFY(opened.store->records() == committed ||
                opened.store->records() == replay.records());
        known = opened.store->records();
        totalSteps += steps;
    }
    // Most kills must land among the writes, not all before the first one.
    QVERIFY2(totalSteps > 40, qPrintable(QString::number(totalSteps)));
}

// A creation killed at random moments: the cup is whole or absent, and what the killed one
// left is gone once the cup is opened for writing or created again.
void TestCupStore::killedCreation()
{
    const QString path = cupPath("creee.velmorin");
    std::mt19937 random(20261209);
    int made = 0;
    for (int kill = 0; kill < 30; ++kill) {
        QFile::remove(path);
        killedWriterRun(random, 40000, [&](const auto &report) {
            if (!CupStore::create(path, inventedCup(14, 200)).ok())
                return 3;
            report(1);
            for (;;)
                ::pause();
        });
        if (QFile::exists(path)) {
            ++made;
            CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
            QVERIFY2(opened.ok(), opened.message.c_str());
        } else {
            QVERIFY(CupStore::create(path, inventedCup(14, 200)).ok());
        }
        const QStringList left =
            QDir(m_dir.path())
                .entryList({".creee.velmorin*", "creee.velmorin?*"}, QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
    }
    QVERIFY(made < 30); // some kills landed during the creation
}

QTEST_GUILESS_MAIN(TestCupStore)

void TestCupStore::damagedTableWritten_data()
{
    QTest::addColumn<QByteArray>("object"); // the table or index whose first leaf is damaged
    QTest::addColumn<int>("change");        // 0: the name, 1: the list, 2: a result
    QTest::newRow("journal, name changed") << QByteArray("journal") << 0;
    QTest::newRow("journal, result recorded") << QByteArray("journal") << 2;
    QTest::newRow("list's key, list replaced") << QByteArray("sqlite_autoindex_list_cell_1") << 1;
}

// A damaged page that opening does not read (only the journal's last entry is, and the list's
// cells in the order they are stored) is found before anything is written over it: the cup
// still opens and reads, its change is refused as damaged, and the file is left as it was.
void TestCupStore::damagedTableWritten()
{
    QFETCH(QByteArray, object);
    QFETCH(int, change);
    const CupSetup setup = playableCup(4, 77);
    QVERIFY(setup.list);
    const QString path = newCup(setup, QStringLiteral("feuille.velmorin"));
    {
        CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
        QVERIFY(opened.ok());
        for (int k = 0; k < 300; ++k) // a journal of several pages
            QVERIFY(opened.store->setName("Coupe " + std::to_string(k)).saved);
    }
    qint64 page = 0;
    qint64 pageSize = 0;
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        sqlite3_stmt *query = nullptr;
        QCOMPARE(sqlite3_prepare_v2(db,
                                    "SELECT min(pageno), (SELECT page_size FROM pragma_page_size) "
                                    "FROM dbstat WHERE name = ? AND pagetype = 'leaf'",
                                    -1, &query, nullptr),
                 SQLITE_OK);
        sqlite3_bind_text(query, 1, object.constData(), -1, SQLITE_TRANSIENT);
        QCOMPARE(sqlite3_step(query), SQLITE_ROW);
        page = sqlite3_column_int64(query, 0);
        pageSize = sqlite3_column_int64(query, 1);
        sqlite3_finalize(query);
        sqlite3_close(db);
    }
    QVERIFY(page > 1 && pageSize > 0);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek((page - 1) * pageSize);
        file.write(QByteArray(8, '\x07')); // the page's header: no kind of b-tree page
    }
    const QByteArray before = digest(path);
    CupOpening reader = CupStore::open(path, CupStore::Mode::ReadOnly);
    QVERIFY2(reader.ok(), reader.message.c_str());
    CupOpening opened = CupStore::open(path, CupStore::Mode::ReadWrite);
    QVERIFY2(opened.ok(), opened.message.c_str());
    CupStore &store = *opened.store;
    velmorin::CupWrite written;
    if (change == 0) {
        written = store.setName("après");
    } else if (change == 1) {
        velmorin::ImportedList list = *setup.list;
        list.fileName = "autre.csv";
        written = store.setList(list, setup.levelRounds);
    } else {
        velmorin::CupCreation made = store.cup();
        QVERIFY2(made.ok(), made.error.c_str());
        QVERIFY(drawRound(*made.cup, 1).done);
        written = store.saveCup(*made.cup, "Tour 1", store.version());
    }
    QVERIFY(!written.saved);
    QVERIFY2(QString::fromStdString(written.message).contains("abîmée"), written.message.c_str());
    QCOMPARE(digest(path), before);
}
