// velmorin-calc's lines for a cup on a PostgreSQL server: a file cup published onto a server
// (--publier), a server cup copied back to a file (--copie), its venues (--salle, --role) and
// the venue of each drawn group (--affecter).

#include "CalcCupServer.h"

#include "CalcCupPrivate.h"

#include "Calc.h"
#include "CalcOptions.h"
#include "ServerAddress.h"
#include "ServerCup.h"

#include <QFile>

#include <ostream>

namespace velmorin::cli {

using namespace cupprivate;

namespace {

struct ServerArguments
{
    std::string cup;                     // --coupe: a file or an address
    std::optional<std::string> publish;  // --publier ADRESSE
    std::optional<std::string> copy;     // --copie FICHIER
    std::optional<std::string> venue;    // --salle NOM
    std::optional<std::string> role;     // --role ROLE
    std::vector<std::string> assignment; // --affecter T POULE SALLE
    std::string unknown;                 // the first argument that is none of these
    std::string error;
};

ServerArguments readServerArguments(const std::vector<std::string> &args)
{
    ServerArguments read;
    for (std::size_t k = 0; k < args.size() && read.error.empty(); ++k) {
        std::string error;
        if (args[k] == "--affecter") {
            if (k + 3 >= args.size())
                error = "L'option --affecter attend un tour, une poule et une salle.";
            else
                read.assignment.assign(args.begin() + static_cast<std::ptrdiff_t>(k + 1),
                                       args.begin() + static_cast<std::ptrdiff_t>(k + 4));
            k += 3;
        } else if (auto cup = optionValue(args, k, "--coupe", error)) {
            read.cup = *cup;
        } else if (auto publish = optionValue(args, k, "--publier", error)) {
            read.publish = *publish;
        } else if (auto copy = optionValue(args, k, "--copie", error)) {
            read.copy = *copy;
        } else if (auto venue = optionValue(args, k, "--salle", error)) {
            read.venue = *venue;
        } else if (auto role = optionValue(args, k, "--role", error)) {
            read.role = *role;
        } else if (read.unknown.empty()) {
            read.unknown = args[k];
        }
        read.error = error;
    }
    const int actions = (read.publish ? 1 : 0) + (read.copy ? 1 : 0) + (read.venue ? 1 : 0) +
                        (read.assignment.empty() ? 0 : 1);
    if (!read.error.empty())
        return read;
    // A server cup given to the file's lines: say what it can do today.
    if (actions == 0 && isServerAddress(read.cup))
        read.error = "Une coupe sur un serveur se copie dans un fichier (--copie FICHIER) pour "
                     "être lue ou jouée avec --coupe.";
    else if (!read.unknown.empty())
        read.error = "Option inconnue " + quotedArgument(read.unknown) +
                     " avec une coupe sur un serveur : --publier, --copie, --salle avec --role, "
                     "ou --affecter.";
    else if (actions != 1)
        read.error = "Une seule action à la fois sur une coupe et son serveur : --publier, "
                     "--copie, --salle ou --affecter.";
    else if (read.venue.has_value() != read.role.has_value())
        read.error = "Les options --salle et --role vont ensemble : une salle et le rôle "
                     "PostgreSQL avec lequel elle se connecte.";
    return read;
}

int answered(std::ostream &err, const ServerAnswer &answer)
{
    if (answer.done())
        return kExitSuccess;
    err << kProgram << ": " << shownLines(sentence(answer.message)) << '\n' << std::flush;
    return answer.outcome == ServerAnswer::Outcome::Failed ? kExitWriteError : kExitUsage;
}

// The server the address names, connected; none with the refusal written.
std::unique_ptr<ServerConnection> connect(const std::string &text, std::ostream &err, int &status)
{
    const ServerAddressReading address = readServerAddress(text);
    if (!address.address) {
        status = refuse(err, address.error);
        return nullptr;
    }
    std::string error;
    auto server = ServerConnection::open(*address.address, error);
    if (!server)
        status = refuse(err, error);
    return server;
}

int publish(const ServerArguments &read, std::ostream &err)
{
    if (isServerAddress(read.cup))
        return refuse(err, "L'option --publier part d'une coupe dans un fichier : --coupe "
                           "FICHIER --publier ADRESSE.");
    if (!isServerAddress(*read.publish))
        return refuse(err, "L'option --publier attend l'adresse d'un serveur : "
                           "postgresql://utilisateur@serveur/base#Nom de la coupe.");
    const CupOpening opening =
        CupStore::open(QString::fromStdString(read.cup), CupStore::Mode::ReadOnly);
    if (!opening.ok())
        return openingFailed(err, opening);
    int status = kExitUsage;
    auto server = connect(*read.publish, err, status);
    if (!server)
        return status;
    const CupStore &store = *opening.store;
    return answered(err, publishCup(*server, {store.setup(), store.records(), store.journal()}));
}

int copyBack(const ServerArguments &read, std::ostream &err)
{
    if (!isServerAddress(read.cup))
        return refuse(err, "L'option --copie part d'une coupe sur un serveur : --coupe ADRESSE "
                           "--copie FICHIER.");
    int status = kExitUsage;
    auto server = connect(read.cup, err, status);
    if (!server)
        return status;
    std::string error;
    const std::optional<CupCopy> copy = readServerCup(*server, error);
    if (!copy)
        return refuse(err, error);
    const QString path = QString::fromStdString(*read.copy);
    CupWrite saved;
    {
        const CupOpening opening = CupStore::create(path, copy->setup);
        if (!opening.ok())
            return openingFailed(err, opening);
        saved = opening.store->saveRecords(
            copy->records, "Copie de la coupe « " + server->address().cup + " » du serveur");
    }
    if (saved.saved)
        return kExitSuccess;
    // Half a copy is no copy: the file made just now goes, once the store has let it go.
    QFile::remove(path);
    err << kProgram << ": " << shownLines(sentence(saved.message)) << '\n' << std::flush;
    return kExitWriteError;
}

int assign(const ServerArguments &read, std::ostream &err)
{
    std::int32_t round = 0;
    std::int32_t pool = 0;
    std::string refusal = readCount("T", read.assignment[0], round);
    if (refusal.empty() && (round < 1 || round > kCupRounds))
        refusal = "Le tour " + quotedArgument(read.assignment[0]) + " va de 1 à 6.";
    if (refusal.empty())
        refusal = readCount("POULE", read.assignment[1], pool);
    if (refusal.empty() && pool < 1)
        refusal = "La poule " + quotedArgument(read.assignment[1]) + " se compte à partir de 1.";
    if (!refusal.empty())
        return refuse(err, refusal);
    int status = kExitUsage;
    auto server = connect(read.cup, err, status);
    if (!server)
        return status;
    return answered(err, assignGroup(*server, round, pool, read.assignment[2]));
}

} // namespace

bool isServerRun(const std::vector<std::string> &args)
{
    for (std::size_t k = 0; k < args.size() && args[k] != "--"; ++k) {
        const std::string &arg = args[k];
        for (const char *option : {"--publier", "--copie", "--salle", "--affecter"}) {
            if (arg == option || arg.rfind(std::string(option) + '=', 0) == 0)
                return true;
        }
        if ((arg == "--coupe" && k + 1 < args.size() && isServerAddress(args[k + 1])) ||
            (arg.rfind("--coupe=", 0) == 0 && isServerAddress(arg.substr(8))))
            return true;
    }
    return false;
}

int runCupServer(const std::vector<std::string> &args, std::ostream &err)
{
    const ServerArguments read = readServerArguments(args);
    if (!read.error.empty())
        return refuse(err, read.error);
    if (read.cup.empty())
        return refuse(err, "L'option --coupe attend le nom d'un fichier.");
    if (read.publish)
        return publish(read, err);
    if (read.copy)
        return copyBack(read, err);
    if (!isServerAddress(read.cup))
        return refuse(err, "Les salles sont celles d'une coupe sur un serveur : --coupe "
                           "postgresql://utilisateur@serveur/base#Nom de la coupe.");
    if (read.venue) {
        int status = kExitUsage;
        auto server = connect(read.cup, err, status);
        if (!server)
            return status;
        return answered(err, addVenue(*server, *read.venue, *read.role));
    }
    return assign(read, err);
}

} // namespace velmorin::cli
