#include "WebCup.h"

#include "CupTokens.h"

#include <algorithm>

namespace velmorin::web {

std::unique_ptr<WebCup> WebCup::open(const std::string &path, std::string &error)
{
    const QString file = QString::fromStdString(path);
    CupOpening opening = CupStore::open(file, CupStore::Mode::Beside);
    std::string reason = opening.notice;
    if (!opening.ok() && opening.failure == CupOpening::Failure::Refused) {
        error = opening.message;
        return nullptr;
    }
    if (!opening.ok()) {
        reason = opening.message;
        opening = CupStore::open(file, CupStore::Mode::ReadOnly);
    }
    if (!opening.ok()) {
        error = opening.message;
        return nullptr;
    }
    if (opening.store->readOnly() && reason.empty())
        reason = "La coupe est ouverte en lecture seule : les résultats ne peuvent pas y être "
                 "saisis.";
    return std::unique_ptr<WebCup>(new WebCup(std::move(opening.store), reason));
}

WebCup::WebCup(std::unique_ptr<CupStore> store, std::string readOnlyReason)
    : m_store(std::move(store)), m_readOnlyReason(std::move(readOnlyReason))
{
    readAgain();
}

void WebCup::readAgain()
{
    CupCreation made = m_store->cup();
    m_cup = made.ok() ? std::move(made.cup) : std::nullopt;
    m_tokens = m_store->entryTokens();
}

bool WebCup::follow()
{
    const std::optional<std::uint64_t> now = m_store->fileVersion();
    if (!now || *now == m_store->version() || !m_store->reload())
        return false;
    readAgain();
    return true;
}

std::optional<CupEntryToken> WebCup::token(const std::string &text) const
{
    if (!looksLikeEntryToken(text))
        return std::nullopt;
    const std::string hash = entryTokenHash(text);
    for (const CupEntryToken &token : m_tokens) {
        if (token.hash == hash && !token.revokedAt)
            return token;
    }
    return std::nullopt;
}

EntryAnswer WebCup::enter(const CupEntryToken &token, const EntryForm &form)
{
    return enter(std::vector<Entry>{{token, form}}).front();
}

EntryAnswer WebCup::enterOne(Cup &cup, const Entry &entry, std::string &journal) const
{
    // A token revoked meanwhile enters nothing.
    if (!std::any_of(m_tokens.begin(), m_tokens.end(), [&](const CupEntryToken &t) {
            return t.hash == entry.token.hash && !t.revokedAt;
        }))
        return {false, 403, "Ce jeton de saisie a été révoqué : rien n'est enregistré."};
    const EntryCheck check = checkEntry(cup, entry.token.round, entry.token.group, entry.form);
    if (!check.command)
        return {false, check.status, check.refusal};
    const CupAnswer answer = cup.apply(*check.command);
    if (!answer.done)
        return {false, 409, answer.text};
    if (answer.changed)
        journal += (journal.empty() ? "" : " ") + answer.text + " Saisi avec le jeton " +
                   entryTokenName(entry.token.hash) + ".";
    return {true, 200, answer.text};
}

std::vector<EntryAnswer> WebCup::enter(const std::vector<Entry> &entries)
{
    std::vector<EntryAnswer> answers(entries.size());
    // Every entry not refused on its own is refused for the same reason.
    const auto all = [&](int status, const std::string &sentence) {
        for (EntryAnswer &answer : answers) {
            if (answer.recorded || answer.sentence.empty())
                answer = {false, status, sentence};
        }
        return answers;
    };
    if (!m_readOnlyReason.empty())
        return all(503, m_readOnlyReason);
    // Once again when another program wrote between the reading and the write: the checks
    // are then made on what it wrote.
    for (int attempt = 0; attempt < 2; ++attempt) {
        follow();
        if (!m_cup)
            return all(409, "La coupe n'est pas encore jouée : rien n'est enregistré.");
        Cup changed = *m_cup;
        std::string journal;
        for (std::size_t k = 0; k < entries.size(); ++k)
            answers[k] = enterOne(changed, entries[k], journal);
        if (journal.empty())
            return answers;
        const CupWrite written =
            m_store->saveRecords(changed.records(), journal, m_store->version());
        if (written.saved) {
            m_cup = std::move(changed);
            return answers;
        }
        if (!written.changedMeanwhile)
            return all(503, written.message);
    }
    return all(409, "La coupe change sans cesse en ce moment : rien n'est enregistré ; "
                    "saisissez de nouveau.");
}

} // namespace velmorin::web
