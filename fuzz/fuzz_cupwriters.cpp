// Two programs writing one cup, each from what it read, in any order the input makes (the
// second one opened after its lock file was removed, as an organiser taking over would):
// names, seeds, draws and their cancelling, results, handed to the store as records or as the
// cup played. A write is saved exactly when its writer had seen every write before it, and
// the file holds exactly the saved ones (every confirmed command), each with its journal line.

#include "CupCommand.h"
#include "CupSetups.h"
#include "CupStore.h"
#include "FuzzInput.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;
QString model; // a playable cup, copied for each input

using velmorin::CupStore;

std::unique_ptr<CupStore> openWriter(const QString &path)
{
    // The other writer's lock, taken over.
    QFile::remove(velmorin::CupLock::lockPathOf(QFileInfo(path).canonicalFilePath()));
    velmorin::CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
    velmorin::fuzz::check(opening.ok(), "a writer could not open the cup");
    return std::move(opening.store);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_cupwriters";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *application = new QCoreApplication(argc, argv);
    (void)application;
    folder = std::make_unique<QTemporaryDir>();
    model = folder->filePath(QStringLiteral("modele.velmorin"));
    velmorin::fuzz::check(CupStore::create(model, velmorin::testing::playableCup(5, 24)).ok(),
                          "no model cup");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using velmorin::fuzz::check;
    using velmorin::fuzz::take;
    const QString path = folder->filePath(QStringLiteral("coupe.velmorin"));
    QFile::remove(path);
    if (!QFile::copy(model, path))
        return 0;
    std::size_t journalLines = 0;
    std::string name;
    std::optional<std::uint64_t> seed;
    velmorin::CupRecords records;
    {
        const velmorin::CupOpening first = CupStore::open(path, CupStore::Mode::ReadOnly);
        check(first.ok(), "the copy does not open");
        journalLines = first.store->journal().size();
        name = first.store->setup().name;
        seed = first.store->setup().seed;
        records = first.store->records();
    }
    std::array<std::unique_ptr<CupStore>, 2> writers{openWriter(path), openWriter(path)};
    std::array<bool, 2> upToDate{true, true};
    for (int step = 0; step < 24 && size > 0; ++step) {
        const auto op = take<std::uint8_t>(data, size);
        const std::size_t k = op & 1;
        CupStore &writer = *writers[k];
        velmorin::CupWrite written;
        // The cup as the writer has it, changed by one command: handed to the store as the cup
        // played, or as its records, by the input's choice.
        const auto play = [&](const auto &command) {
            velmorin::CupCreation made = writer.cup();
            if (!made.ok())
                return std::optional<velmorin::CupWrite>();
            velmorin::Cup cup = std::move(*made.cup);
            const velmorin::CupAnswer answer = command(cup);
            if (!answer.done || !answer.changed)
                return std::optional<velmorin::CupWrite>();
            velmorin::CupWrite write = op & 0x80 ? writer.saveRecords(cup.records(), answer.text)
                                                 : writer.saveCup(cup, answer.text, writer.version());
            if (write.saved)
                records = cup.records();
            return std::optional<velmorin::CupWrite>(std::move(write));
        };
        std::optional<velmorin::CupWrite> played;
        const int kind = (op >> 1) % 5;
        switch (kind) {
        case 0: {
            const std::string next = "n" + std::to_string(take<std::uint8_t>(data, size));
            written = writer.setName(next);
            if (written.saved)
                name = next;
            break;
        }
        case 1: {
            const auto next = take<std::uint16_t>(data, size);
            written = writer.setSeed(next);
            if (written.saved)
                seed = next;
            break;
        }
        case 2:
            played = play([](velmorin::Cup &cup) {
                return cup.drawnRounds() == 0
                           ? cup.apply(velmorin::DrawCommand{1})
                           : cup.apply(velmorin::CancelDrawCommand{cup.drawnRounds()});
            });
            break;
        case 3: {
            const auto pick = take<std::uint8_t>(data, size);
            played = play([&](velmorin::Cup &cup) {
                const auto pending = cup.pendingGames(std::max(cup.drawnRounds(), 1));
                if (pending.empty())
                    return velmorin::CupAnswer::refused("nothing to play");
                const velmorin::PendingGame &game = pending[pick % pending.size()];
                return cup.apply(velmorin::ResultCommand{game.game,
                                                         pick & 0x80 ? game.teamA : game.teamB,
                                                         velmorin::Score{13, pick % 13}, false});
            });
            break;
        }
        default:
            writers[k].reset();
            writers[k] = openWriter(path);
            upToDate[k] = true;
            continue;
        }
        if (kind == 2 || kind == 3) {
            if (!played)
                continue;
            written = std::move(*played);
        }
        // Round 1 drawn freezes the seed: refused by the cup's rules, not by the other writer.
        if (!written.saved && !written.changedMeanwhile)
            continue;
        check(written.saved == upToDate[k], "a write saved over one it had not seen, or refused");
        check(written.changedMeanwhile == !upToDate[k], "a refusal without its reason");
        if (written.saved) {
            ++journalLines;
            upToDate[1 - k] = false;
            records.version = writer.version(); // every change counts, settings too
        }
    }
    writers = {};
    const velmorin::CupOpening last = CupStore::open(path, CupStore::Mode::ReadOnly);
    check(last.ok(), "the cup does not open after the writes");
    check(last.store->setup().name == name && last.store->setup().seed == seed,
          "the file does not hold the saved changes");
    check(last.store->records() == records, "the file does not hold the confirmed commands");
    check(last.store->journal().size() == journalLines, "the journal does not match the writes");
    return 0;
}
