#include "EntrySheetPainter.h"

#include "ExemptionClass.h"
#include "IntText.h"
#include "PrintedSheet.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

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

constexpr std::size_t kColumns = 6;
// The columns as shares of the page's width: rank, team, club, level, points, the mark.
constexpr std::array<qreal, kColumns> kColumnShares{0.07, 0.31, 0.31, 0.09, 0.09, 0.13};

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
    const Ruler mm(&device);
    const qreal width = device.width();
    const qreal height = device.height();
    const QFont titleFont = sheetFont(&device, 20, true);
    const QFont stampFont = sheetFont(&device, 9);
    const QFont textFont = sheetFont(&device, 10);
    const QFont headerFont = sheetFont(&device, 10, true);
    const qreal rowHeight = QFontMetricsF(textFont, &device).height() + mm(2);
    const qreal padding = mm(1.5);
    const QStringList summary = planSummaryLines(plan);
    qreal y = 0;
    int pages = 0;

    const auto line = [&](const QFont &font, const QString &s) {
        painter.setFont(font);
        const qreal lineHeight = QFontMetricsF(font, &device).height();
        painter.drawText(QRectF(0, y, width, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, s);
        y += lineHeight;
    };
    const auto row = [&](const std::array<QString, kColumns> &cells, const QFont &font,
                         bool shaded) {
        const QRectF band(0, y, width, rowHeight);
        if (shaded)
            painter.fillRect(band, QColor(0xE8, 0xE8, 0xE8));
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device);
        qreal x = 0;
        for (std::size_t c = 0; c < kColumns; ++c) {
            const QRectF cell(x, y, kColumnShares[c] * width, rowHeight);
            painter.drawRect(cell);
            const QRectF inner = cell.adjusted(padding, 0, -padding, 0);
            const bool numeric = c == 0 || c == 3 || c == 4;
            // A long name is cut with an ellipsis rather than run into the next cell.
            painter.drawText(inner, (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             metrics.elidedText(cells[c], Qt::ElideRight, inner.width()));
            x += cell.width();
        }
        y += rowHeight;
    };
    const std::array<QString, kColumns> header{QStringLiteral("N°"),     QStringLiteral("Équipe"),
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
            y = 0;
            painter.setPen(Qt::black);
            line(titleFont, continued ? QStringLiteral("Entrées au Tour %1 (suite)").arg(round)
                                      : QStringLiteral("Entrées au Tour %1").arg(round));
            y += mm(1);
            painter.setPen(Qt::darkGray);
            line(stampFont, stamp);
            painter.setPen(Qt::black);
            y += mm(2);
            painter.drawLine(QPointF(0, y), QPointF(width, y));
            y += mm(4);
            for (const QString &s : summary)
                line(textFont, s);
            line(textFont, QStringLiteral("Graine du tirage : %1").arg(assignment.seed));
            y += mm(2);
            line(headerFont,
                 QStringLiteral("%1 au Tour %2%3")
                     .arg(teams.size() == 1
                              ? QStringLiteral("1 équipe entre")
                              : QStringLiteral("%1 équipes entrent").arg(teams.size()),
                          QString::number(round),
                          outOfLevel == 0
                              ? QString()
                              : QStringLiteral(", dont %1 hors niveau").arg(number(outOfLevel))));
            y += mm(3);
            painter.setPen(QPen(Qt::black, mm(0.2)));
            row(header, headerFont, true);
            // At least one team per page, however small the page.
            do {
                const std::size_t index = teams[next];
                const Team &team = list.teams[index];
                row({QString::number(next + 1), text(oneLineText(team.name)),
                     text(oneLineText(team.club)), text(levelText(team.level)),
                     text(team.pointsText),
                     assignment.outOfLevel[index] ? text(kOutOfLevel) : QString()},
                    textFont, false);
                ++next;
            } while (next < teams.size() && y + rowHeight <= height);
            continued = true;
        }
    }
    return pages;
}

bool writeEntriesPdf(QIODevice *device, const TeamList &list, const Assignment &assignment,
                     const Plan &plan, const QString &stamp)
{
    QPdfWriter writer(device);
    writer.setPageLayout(planPageLayout());
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("Entrées de la coupe"));
    writer.setCreator(stamp);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    paintEntrySheets(painter, writer, list, assignment, plan, stamp);
    return painter.end();
}

} // namespace velmorin
