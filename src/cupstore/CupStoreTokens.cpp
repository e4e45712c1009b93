// The entry tokens' table: a token opens one group of one round to results from the lanes.

#include "CupStore.h"
#include "CupSql.h"
#include "CupTokens.h"

#include <QDateTime>
#include <QSqlQuery>

namespace velmorin {

using namespace cupstoreprivate;

std::vector<CupEntryToken> CupStore::entryTokens() const
{
    std::vector<CupEntryToken> tokens;
    QSqlQuery query(m_db);
    if (!select(query, QStringLiteral("SELECT hash, round, pool, made_at, revoked_at"
                                      " FROM entry_token ORDER BY made_at, hash")))
        return tokens;
    while (query.next()) {
        CupEntryToken token{query.value(0).toString().toStdString(), query.value(1).toInt(),
                            query.value(2).toInt(), query.value(3).toString().toStdString(),
                            std::nullopt};
        if (!query.value(4).isNull())
            token.revokedAt = query.value(4).toString().toStdString();
        tokens.push_back(std::move(token));
    }
    return tokens;
}

CupWrite CupStore::addEntryToken(const std::string &hash, int round, int group)
{
    const QString at = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return change(
        "Jeton " + entryTokenName(hash) + " de saisie créé pour le tour " + std::to_string(round) +
            ", poule " + std::to_string(group),
        [&] {
            return exec(m_db,
                        QStringLiteral("INSERT INTO entry_token (hash, round, pool, made_at)"
                                       " VALUES (?, ?, ?, ?)"),
                        {qs(hash), round, group, at});
        },
        [] {}, false);
}

CupWrite CupStore::revokeEntryToken(const std::string &hash)
{
    const QString at = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return change(
        "Jeton " + entryTokenName(hash) + " de saisie révoqué",
        [&] {
            return exec(m_db,
                        QStringLiteral("UPDATE entry_token SET revoked_at = ?"
                                       " WHERE hash = ? AND revoked_at IS NULL"),
                        {at, qs(hash)});
        },
        [] {}, false);
}

} // namespace velmorin
