// Any bytes opened as a cup: refused with a message, or a well-formed cup; never a crash, a
// hang or a write into the file.

#include "CupContents.h"
#include "CupStore.h"
#include "FuzzInput.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt SQL finds its SQLite driver through the application. It lives to the very end on
    // purpose: libFuzzer leaves through exit(), after which Qt cannot be torn down.
    static int argc = 1;
    static char name[] = "fuzz_cupfile";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *application = new QCoreApplication(argc, argv);
    (void)application;
    folder = std::make_unique<QTemporaryDir>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using velmorin::fuzz::check;
    const QString path = folder->filePath(QStringLiteral("fuzz.velmorin"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(bytes);
    }
    {
        const velmorin::CupOpening opening =
            velmorin::CupStore::open(path, velmorin::CupStore::Mode::ReadOnly);
        check(opening.ok() != !opening.message.empty(), "an opening without its answer");
        if (opening.ok()) {
            const velmorin::CupSetup &setup = opening.store->setup();
            check(!setup.classNumber || (*setup.classNumber >= 1 && *setup.classNumber <= 3),
                  "a class outside 1 to 3");
            check(!setup.position || *setup.position >= 1, "a position below 1");
            for (const velmorin::LevelRoundChoice &level : setup.levelRounds)
                check(level.round >= 1 && level.round <= 4, "a round outside 1 to 4");
            const velmorin::CupContents contents = velmorin::rebuildCup(setup);
            // The teams the cup keeps are the ones it is played with, however its rows read.
            check(!setup.teams || contents.list == setup.teams, "kept teams not used");
        }
    }
    QFile file(path);
    check(file.open(QIODevice::ReadOnly) && file.readAll() == bytes, "the file was written");
    return 0;
}
