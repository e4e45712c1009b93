#include "CupTokens.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>
#include <array>

namespace velmorin {

namespace {

constexpr std::size_t kTokenDigits = 32;

} // namespace

std::string newEntryToken()
{
    std::array<quint32, 4> bits{};
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    const QByteArray bytes(reinterpret_cast<const char *>(bits.data()),
                           static_cast<qsizetype>(sizeof bits));
    return bytes.toHex().toStdString();
}

std::string entryTokenHash(std::string_view token)
{
    const QByteArray bytes(token.data(), static_cast<qsizetype>(token.size()));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

bool looksLikeEntryToken(std::string_view text)
{
    return text.size() == kTokenDigits && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string entryTokenName(std::string_view hash)
{
    return std::string(hash.substr(0, 8));
}

std::string entryPath(std::string_view token)
{
    return std::string(kEntryPathPrefix) + std::string(token);
}

} // namespace velmorin
