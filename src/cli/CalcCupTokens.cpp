// velmorin-calc --coupe's entry tokens: made for one group of a drawn round, listed by their
// short names, revoked. The token itself is shown once, when it is made: the cup keeps its hash.

#include "CalcCupPrivate.h"

#include "ByteSink.h"
#include "Calc.h"
#include "CalcOptions.h"
#include "CupTokens.h"

#include <limits>
#include <ostream>

namespace velmorin::cli {

using namespace cupprivate;

namespace {

// The token a text names: the token itself, or the short name --jetons lists.
std::optional<CupEntryToken> namedToken(const std::vector<CupEntryToken> &tokens,
                                        const std::string &text, std::string &error)
{
    const std::string hash = looksLikeEntryToken(text) ? entryTokenHash(text) : std::string();
    for (const CupEntryToken &token : tokens) {
        if (hash.empty() ? entryTokenName(token.hash) == text : token.hash == hash)
            return token;
    }
    error = "Aucun jeton " + quotedArgument(text) + " dans cette coupe : --jetons les liste.";
    return std::nullopt;
}

std::string tokenLine(const CupEntryToken &token)
{
    std::string line = entryTokenName(token.hash) + "  tour " + std::to_string(token.round) +
                       ", poule " + std::to_string(token.group) + ", créé le " + token.madeAt;
    if (token.revokedAt)
        line += ", révoqué le " + *token.revokedAt;
    return line + '\n';
}

} // namespace

int runTokenAction(const CupArguments &cup, ByteSink &out, std::ostream &err)
{
    using Kind = CupAction::Kind;
    const CupAction &action = cup.action;
    if (!cup.rest.empty())
        return refuse(err, "Option ou argument en trop " + quotedArgument(cup.rest.front()) +
                               " avec cette action sur la coupe.");
    std::optional<int> round;
    std::optional<int> group;
    if (action.kind == Kind::Token) {
        round = numberFrom1(action.roundText, kCupRounds);
        if (!round)
            return refuse(err, "Le tour est un nombre de 1 à 6, pas " +
                                   quotedArgument(action.roundText) + '.');
        group = numberFrom1(action.team, std::numeric_limits<int>::max());
        if (!group)
            return refuse(err, "La poule est un nombre à partir de 1, pas " +
                                   quotedArgument(action.team) + '.');
    }
    int status = kExitSuccess;
    const std::unique_ptr<CupStore> opened =
        openForAction(cup.path, action.kind != Kind::Tokens, err, status);
    if (!opened)
        return status;
    CupStore &store = *opened;
    const std::vector<CupEntryToken> tokens = store.entryTokens();

    CupWrite written;
    std::string shown;
    switch (action.kind) {
    case Kind::Tokens:
        if (tokens.empty())
            out.write("Aucun jeton de saisie.\n");
        for (const CupEntryToken &token : tokens)
            out.write(tokenLine(token));
        return kExitSuccess;
    case Kind::Token: {
        CupCreation made = store.cup();
        if (!made.ok())
            return refuse(err, made.error);
        const DrawRecord *drawn = made.cup->drawnRound(*round);
        if (!drawn)
            return refuse(err, "Le tour " + std::to_string(*round) +
                                   " n'est pas encore tiré : ses poules n'existent pas encore.");
        if (*group > static_cast<int>(drawn->groups.size()))
            return refuse(err, "Le tour " + std::to_string(*round) + " a " +
                                   std::to_string(drawn->groups.size()) + " poules, pas " +
                                   std::to_string(*group) + '.');
        const std::string token = newEntryToken();
        written = store.addEntryToken(entryTokenHash(token), *round, *group);
        shown = entryPath(token) + '\n';
        break;
    }
    case Kind::Revoke: {
        std::string error;
        const std::optional<CupEntryToken> token = namedToken(tokens, action.team, error);
        if (!token)
            return refuse(err, error);
        if (token->revokedAt)
            return refuse(err, "Le jeton " + entryTokenName(token->hash) + " est déjà révoqué.");
        written = store.revokeEntryToken(token->hash);
        shown = "Jeton " + entryTokenName(token->hash) + " révoqué.\n";
        break;
    }
    default:
        return refuse(err, "Action inconnue.");
    }
    if (!written.saved) {
        err << kProgram << ": " << sentence(written.message) << '\n' << std::flush;
        return written.changedMeanwhile ? kExitUsage : kExitWriteError;
    }
    if (!written.message.empty())
        err << kProgram << ": " << sentence(written.message) << '\n';
    out.write(shown);
    return kExitSuccess;
}

} // namespace velmorin::cli
