#include "EntrySheetPainter.h"

#include "ExemptionClass.h"
#include "IntText.h"
#include "PrintedSheet.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <array>
#include <vector>

namespace velmorin {

namespace {

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString number(Count value)
{
    return QString::fromStdString(IntToStr(value));
}

// The columns: rank, team, club, level, points, the mark, as shares of the page's width.
const std::vector<SheetColumn> &entryColumns()
{
    static const std::vector<SheetColumn> columns{{0.07, Qt::AlignRight}, {0.31, Qt::AlignLeft},
                                                  {0.31, Qt::AlignLeft},  {0.09, Qt::AlignRight},
                                                  {0.09, Qt::AlignRight}, {0.13, Qt::AlignLeft}};
    return columns;
}

// The teams entering at one round, in the assignment's order.
std::vector<std::size_t> teamsOfRound(const Assignment &assignment, int round)
{
    std::vector<std::size_t> teams;
    for (const std::size_t team : assignment.ranking) {
        if (assignment.roundOfTeam[team] == round)
            teams.push_back(team);
    }
    return teams;
}

} // namespace

QStringList planSummaryLines(const Plan &plan)
{
    const std::array<Count, kEntryRounds> entrants = planEntrants(plan);
    return {QStringLiteral("%1 équipes inscrites, %2 en finale — %3, %4")
                .arg(number(plan.problem.registered), number(plan.problem.finale),
                     text(wording(plan.exemptionClass).heading), text(positionText(plan))),
            QStringLiteral("Entrantes : Tour 1 : %1 · Tour 2 : %2 · Tour 3 : %3 · Tour 4 : %4")
                .arg(number(entrants[0]), number(entrants[1]), number(entrants[2]),
                     number(entrants[3]))};
}

int paintEntrySheets(QPainter &painter, QPagedPaintDevice &device, const TeamList &list,
                     const Assignment &assignment, const Plan &plan, const QString &stamp)
{
    SheetLayout page(painter, &device);
    const qreal height = device.height();
    const QFont textFont = sheetFont(&device, 10);
    const QFont headerFont = sheetFont(&device, 10, true);
    const qreal rowHeight = QFontMetricsF(textFont, &device).height() + page.mm(2);
    const QStringList summary = planSummaryLines(plan);
    int pages = 0;
    const QStringList header{QStringLiteral("N°"),     QStringLiteral("Équipe"),
                             QStringLiteral("Club"),   QStringLiteral("Niveau"),
                             QStringLiteral("Points"), QString()};
    for (int round = kEntryRounds; round >= 1; --round) {
        const std::vector<std::size_t> teams = teamsOfRound(assignment, round);
        if (teams.empty())
            continue;
        Count outOfLevel = 0;
        for (const std::size_t team : teams)
            outOfLevel += assignment.outOfLevel[team] ? 1 : 0;

        std::size_t next = 0;
        bool continued = false;
        while (next < teams.size()) {
            if (pages > 0)
                device.newPage();
            ++pages;
            page.y = 0;
            page.title(continued ? QStringLiteral("Entrées au Tour %1 (suite)").arg(round)
                                 : QStringLiteral("Entrées au Tour %1").arg(round),
                       20, stamp);
            page.y += page.mm(4);
            for (const QString &s : summary)
                page.line(textFont, s);
            page.line(textFont, QStringLiteral("Graine du tirage : %1").arg(assignment.seed));
            page.y += page.mm(2);
            page.line(
                headerFont,
                QStringLiteral("%1 au Tour %2%3")
                    .arg(teams.size() == 1 ? QStringLiteral("1 équipe entre")
                                           : QStringLiteral("%1 équipes entrent").arg(teams.size()),
                         QString::number(round),
                         outOfLevel == 0
                             ? QString()
                             : QStringLiteral(", dont %1 hors niveau").arg(number(outOfLevel))));
            page.y += page.mm(3);
            painter.setPen(QPen(Qt::black, page.mm(0.2)));
            page.row(entryColumns(), header, headerFont, rowHeight, true);
            // At least one team per page, however small the page.
            do {
                const std::size_t index = teams[next];
                const Team &team = list.teams[index];
                page.row(entryColumns(),
                         {QString::number(next + 1), text(oneLineText(team.name)),
                          text(oneLineText(team.club)), text(levelText(team.level)),
                          text(team.pointsText),
                          assignment.outOfLevel[index] ? text(kOutOfLevel) : QString()},
                         textFont, rowHeight, false);
                ++next;
            } while (next < teams.size() && page.y + rowHeight <= height);
            continued = true;
        }
    }
    return pages;
}

bool writeEntriesPdf(QIODevice *device, const TeamList &list, const Assignment &assignment,
                     const Plan &plan, const QString &stamp)
{
    return writeSheetPdf(device, QStringLiteral("Entrées de la coupe"), stamp,
                         [&](QPainter &painter, QPagedPaintDevice &pages) {
                             paintEntrySheets(painter, pages, list, assignment, plan, stamp);
                         });
}

} // namespace velmorin
