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
    if (!m_readOnlyReason.empty())
        return {false, 503, m_readOnlyReason};
    // Once again when another program wrote between the reading and the write: the check is
    // then made on what it wrote.
    for (int attempt = 0; attempt < 2; ++attempt) {
        follow();
        if (!m_cup)
            return {false, 409, "La coupe n'est pas encore jouée : rien n'est enregistré."};
        // A token revoked meanwhile enters nothing.
        if (!std::any_of(m_tokens.begin(), m_tokens.end(), [&](const CupEntryToken &t) {
                return t.hash == token.hash && !t.revokedAt;
            }))
            return {false, 403, "Ce jeton de saisie a été révoqué : rien n'est enregistré."};
        const EntryCheck check = checkEntry(*m_cup, token.round, token.group, form);
        if (!check.command)
            return {false, check.status, check.refusal};
        Cup changed = *m_cup;
        const CupAnswer answer = changed.apply(*check.command);
        if (!answer.done)
            return {false, 409, answer.text};
        if (!answer.changed)
            return {true, 200, answer.text};
        const CupWrite written =
            m_store->saveRecords(changed.records(),
                                 answer.text + " Saisi avec le jeton " +
                                     entryTokenName(token.hash) + ".",
                                 m_store->version());
        if (written.saved) {
            m_cup = std::move(changed);
            return {true, 200, answer.text};
        }
        if (!written.changedMeanwhile)
            return {false, 503, written.message};
    }
    return {false, 409, "La coupe change sans cesse en ce moment : rien n'est enregistré ; "
                        "saisissez de nouveau."};
}

} // namespace velmorin::web
