// A cup of 5 000 teams played to its final, published onto a PostgreSQL server and copied
// back to a file by the calculator's own lines, connection included (aim: under 3 s each).
// Needs a server: VELMORIN_PG_TEST_DIR names the socket folder of
// scripts/pg-test-server.sh start DIR; without it the benchmarks are skipped.

#include "CupCalcRun.h"
#include "CupContents.h"
#include "CupSetups.h"
#include "CupSimulation.h"
#include "CupStore.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>

namespace {

using velmorin::testing::CalcRun;
using velmorin::testing::runCup;

const QString kDatabase = QStringLiteral("velmorin_bench");

QString socketDir()
{
    return qEnvironmentVariable("VELMORIN_PG_TEST_DIR");
}

QString address(const QString &cup)
{
    return QStringLiteral("postgresql://postgres@/%1?host=%2#%3").arg(kDatabase, socketDir(), cup);
}

// A fresh database, then the played cup's file, made once.
const QString &playedCup(QTemporaryDir &dir)
{
    static const QString path = [&dir] {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "bench");
            db.setHostName(socketDir());
            db.setUserName(QStringLiteral("postgres"));
            db.setDatabaseName(QStringLiteral("postgres"));
            if (!db.open())
                return QString();
            QSqlQuery query(db);
            if (!query.exec("DROP DATABASE IF EXISTS " + kDatabase + " WITH (FORCE)") ||
                !query.exec("CREATE DATABASE " + kDatabase)) {
                std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
                return QString();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench"));
        const QString file = dir.filePath(QStringLiteral("jouee.velmorin"));
        // The numbers of a real cup of 5 000 teams: the first plan its list fills.
        velmorin::CupSetup setup = velmorin::testing::inventedCup(1, 5000);
        setup.seed = 1;
        setup.ratioChoices = {1, 1, 1, 0, 0, 0};
        std::optional<velmorin::CupCreation> made;
        // Three rounds of 3/4 and three of 1/2 leave about a twentieth of the teams.
        for (std::int32_t tried = 0; tried < 20000 && !made; ++tried) {
            setup.finale = 200 + tried % 100;
            setup.entrants1 = 4800 - 4 * (tried / 100);
            const velmorin::Calculation calculation = velmorin::calculate(setup.problem());
            for (int number = 1; number <= 3 && !made; ++number) {
                if (!velmorin::makePlan(calculation, velmorin::exemptionClassFromNumber(number), 1))
                    continue;
                setup.classNumber = number;
                setup.position = 1;
                velmorin::CupCreation tried = velmorin::restoreCup(
                    velmorin::cupInputsOf(setup, velmorin::rebuildCup(setup)), {});
                if (tried.ok())
                    made = std::move(tried);
            }
        }
        if (!made) {
            std::fprintf(stderr, "no plan for 5 000 teams\n");
            return QString();
        }
        velmorin::Cup &cup = *made->cup;
        velmorin::SeededDraw draw(1);
        for (int round = 1; round <= velmorin::kCupRounds && cup.finalTeams().empty(); ++round) {
            velmorin::testing::drawRound(cup, round);
            velmorin::testing::playRound(cup, round, draw, true);
        }
        velmorin::CupOpening opening = velmorin::CupStore::create(file, setup);
        const velmorin::CupWrite saved = opening.ok()
                                             ? opening.store->saveRecords(cup.records(), "jouée")
                                             : velmorin::CupWrite{false, opening.message};
        if (!saved.saved) {
            std::fprintf(stderr, "%s\n", saved.message.c_str());
            return QString();
        }
        return file;
    }();
    return path;
}

void BM_PublishCup5000(benchmark::State &state)
{
    static QTemporaryDir dir;
    if (socketDir().isEmpty() || playedCup(dir).isEmpty()) {
        state.SkipWithError("no server: set VELMORIN_PG_TEST_DIR (scripts/pg-test-server.sh)");
        return;
    }
    int serial = 0;
    for (auto _ : state) {
        const CalcRun run = runCup({"--coupe", playedCup(dir), "--publier",
                                    address(QStringLiteral("Publiée %1").arg(++serial))});
        if (run.status != 0) {
            state.SkipWithError(run.err.c_str());
            break;
        }
    }
}
BENCHMARK(BM_PublishCup5000)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_CopyBackCup5000(benchmark::State &state)
{
    static QTemporaryDir dir;
    if (socketDir().isEmpty() || playedCup(dir).isEmpty()) {
        state.SkipWithError("no server: set VELMORIN_PG_TEST_DIR (scripts/pg-test-server.sh)");
        return;
    }
    const CalcRun published = runCup({"--coupe", playedCup(dir), "--publier", address("Source")});
    int serial = 0;
    for (auto _ : state) {
        const CalcRun run =
            runCup({"--coupe", address("Source"), "--copie",
                    dir.filePath(QStringLiteral("copie-%1.velmorin").arg(++serial))});
        if (published.status != 0 || run.status != 0) {
            state.SkipWithError((published.err + run.err).c_str());
            break;
        }
    }
}
BENCHMARK(BM_CopyBackCup5000)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
