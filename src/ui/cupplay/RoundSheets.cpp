#include "RoundSheets.h"

#include "CupSchedule.h"
#include "PrintedSheet.h"
#include "QrCode.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace velmorin {

namespace {

constexpr int kGamesPerPage = 10; // games of two on one page, each with its signatures

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

// The team and its club in full, as the players check them at the table.
QString teamCell(const Cup &cup, int team)
{
    const CupTeam &t = cup.teams()[std::size_t(team)];
    return t.club.empty() ? text(t.name) : text(t.name) + QStringLiteral("\n") + text(t.club);
}

void pageTitle(SheetLayout &page, const QPaintDevice *device, const Cup &cup, int round,
               const QString &cupName, const QString &subtitle, const QString &stamp)
{
    const QString heading = text(std::string(roundTitle(round))) + QStringLiteral(" — ") + subtitle;
    page.title(cupName.isEmpty() ? heading : cupName + QStringLiteral(" — ") + heading, 18, stamp);
    if (round == 4 && !cup.drawnRound(4)->exempted.empty()) {
        QStringList names;
        for (const int team : cup.drawnRound(4)->exempted)
            names << text(cup.teams()[std::size_t(team)].name);
        page.line(sheetFont(device, 10),
                  QStringLiteral("Exemptées du tour : ") + names.join(QStringLiteral(", ")));
    }
}

void signatures(SheetLayout &page, const QPaintDevice *device)
{
    const QFont font = sheetFont(device, 11);
    page.y += page.mm(10);
    page.line(font, QStringLiteral("Signature du capitaine A : ____________________    "
                                   "Signature du capitaine B : ____________________"));
    page.y += page.mm(6);
    page.line(font, QStringLiteral("Signature de l'arbitre : ____________________"));
}

const std::vector<SheetColumn> kGameColumns = {{0.12, Qt::AlignCenter},
                                               {0.32, Qt::AlignLeft},
                                               {0.12, Qt::AlignCenter},
                                               {0.12, Qt::AlignCenter},
                                               {0.32, Qt::AlignLeft}};

// The game's cell: its number, then its lane and time, where the players look for them.
QString gameCell(const QString &label, const Cup &cup, const std::vector<GameSlot> &schedule,
                 const GameRef &game)
{
    const std::size_t at = std::size_t((game.group - 1) * cup.layout().gamesPerGroup(game.round) +
                                       game.game - 1);
    if (at >= schedule.size())
        return label;
    QString cell = label;
    for (const std::string &line : {slotLaneText(schedule[at]), slotTimeText(schedule[at])}) {
        if (!line.empty())
            cell += '\n' + text(line);
    }
    return cell;
}

QStringList gameHeader()
{
    return {QStringLiteral("Partie"), QStringLiteral("Équipe A"), QStringLiteral("Score A"),
            QStringLiteral("Score B"), QStringLiteral("Équipe B")};
}

void paintGroup(SheetLayout &page, const QPaintDevice *device, const Cup &cup,
                const std::vector<GameSlot> &schedule, int round, int group)
{
    const auto &teams = cup.drawnRound(round)->groups[std::size_t(group - 1)];
    const QFont cell = sheetFont(device, 11);
    const QFont bold = sheetFont(device, 11, true);
    const qreal height = page.mm(9);
    const std::vector<SheetColumn> teamColumns = {
        {0.12, Qt::AlignCenter}, {0.50, Qt::AlignLeft}, {0.38, Qt::AlignLeft}};
    page.row(teamColumns,
             {QStringLiteral("Place"), QStringLiteral("Équipe"), QStringLiteral("Club")}, bold,
             height, true);
    for (std::size_t k = 0; k < teams.size(); ++k) {
        const CupTeam &t = cup.teams()[std::size_t(teams[k])];
        page.row(teamColumns, {QString(QChar('A' + int(k))), text(t.name), text(t.club)}, cell,
                 height, false);
    }
    page.y += page.mm(8);
    page.row(kGameColumns, gameHeader(), bold, height, true);
    for (int game = 1; game <= kBarrage; ++game) {
        const auto sides = cup.gameTeams({round, group, game});
        const QString label = game == kBarrage ? QStringLiteral("Barrage") : QString::number(game);
        page.row(kGameColumns,
                 {gameCell(label, cup, schedule, {round, group, game}),
                  sides ? teamCell(cup, sides->first) : QStringLiteral("Perdante partie 1"),
                  {},
                  {},
                  sides ? teamCell(cup, sides->second) : QStringLiteral("Perdante partie 2")},
                 cell, page.mm(14), false);
    }
    page.y += page.mm(4);
    page.line(sheetFont(device, 9),
              QStringLiteral("Les gagnantes des parties 1 et 2 et du barrage passent au tour "
                             "suivant."));
    signatures(page, device);
}

// The group's entry address under its games, as a code to scan and as text.
void paintEntryCode(SheetLayout &page, QPainter &painter, const QPaintDevice *device,
                    const QString &address)
{
    const std::optional<QrModules> modules = qrModules(address.toUtf8());
    if (address.isEmpty() || !modules)
        return;
    page.y += page.mm(6);
    page.line(sheetFont(device, 10, true),
              QStringLiteral("Saisie des résultats depuis les jeux : scannez ce code."));
    const qreal side = page.mm(35);
    paintQrCode(painter, QRectF(0, page.y, side, side), *modules);
    page.text(sheetFont(device, 8), address, side + page.mm(4));
    page.y += side;
}

} // namespace

int roundSheetPages(const Cup &cup, int round)
{
    const DrawRecord *drawn = cup.drawnRound(round);
    if (!drawn || drawn->groups.empty())
        return 0;
    const int groups = int(drawn->groups.size());
    return cup.layout().groupSize(round) == 4 ? groups
                                              : (groups + kGamesPerPage - 1) / kGamesPerPage;
}

void paintRoundSheets(QPainter &painter, QPagedPaintDevice &device, const Cup &cup, int round,
                      const QString &cupName, const QString &stamp,
                      const EntryAddress &entryAddress)
{
    const int pages = roundSheetPages(cup, round);
    const bool inGroups = cup.layout().groupSize(round) == 4;
    const int groups = pages > 0 ? int(cup.drawnRound(round)->groups.size()) : 0;
    const std::vector<GameSlot> schedule = roundSchedule(cup, round);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        SheetLayout page(painter, &device);
        if (inGroups) {
            pageTitle(page, &device, cup, round, cupName, QStringLiteral("Poule %1").arg(p + 1),
                      stamp);
            paintGroup(page, &device, cup, schedule, round, p + 1);
            if (entryAddress)
                paintEntryCode(page, painter, &device, entryAddress(round, p + 1));
            continue;
        }
        const int first = p * kGamesPerPage + 1;
        const int last = std::min(groups, first + kGamesPerPage - 1);
        pageTitle(page, &device, cup, round, cupName,
                  QStringLiteral("Parties %1 à %2").arg(first).arg(last), stamp);
        std::vector<SheetColumn> columns = kGameColumns;
        columns[1].share = columns[4].share = 0.24;
        columns.push_back({0.16, Qt::AlignLeft});
        QStringList header = gameHeader();
        header << QStringLiteral("Signatures");
        page.row(columns, header, sheetFont(&device, 10, true), page.mm(8), true);
        for (int game = first; game <= last; ++game) {
            const auto sides = *cup.gameTeams({round, game, 1});
            page.row(columns,
                     {gameCell(QString::number(game), cup, schedule, {round, game, 1}),
                      teamCell(cup, sides.first),
                      {},
                      {},
                      teamCell(cup, sides.second),
                      {}},
                     sheetFont(&device, 10), page.mm(17), false);
        }
    }
}

bool writeRoundSheetsPdf(QIODevice *device, const Cup &cup, int round, const QString &cupName)
{
    const QString stamp = sheetStampNow();
    return writeSheetPdf(device,
                         QStringLiteral("Feuilles du ") + text(std::string(roundTitle(round))),
                         stamp, [&](QPainter &painter, QPagedPaintDevice &pages) {
                             paintRoundSheets(painter, pages, cup, round, cupName, stamp);
                         });
}

} // namespace velmorin
