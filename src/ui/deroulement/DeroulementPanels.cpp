// The cup window's panels beside the games: banner, club meetings, exempted teams, final.

#include "DeroulementWindow.h"

#include "DeroulementPrivate.h"

#include <QLabel>
#include <QListWidget>

#include <algorithm>

namespace velmorin {

using namespace deroulementprivate;

namespace {

constexpr int kMeetingsShown = 40; // past them, a count: the list would push the games away

} // namespace

void DeroulementWindow::updateBanner()
{
    const Cup *c = cup();
    if (!c)
        return;
    const int round = currentRound();
    QString banner;
    if (!c->isDrawn(round)) {
        banner = round == 1 ? QStringLiteral("Tirez le Tour 1 pour commencer la coupe.")
                            : QStringLiteral("%1 terminé — Tirez le %2.")
                                  .arg(roundLabel(round - 1), roundLabel(round));
    } else if (c->isComplete(round)) {
        banner = QStringLiteral("Coupe terminée : les équipes de la finale sont connues.");
    } else {
        banner = QStringLiteral("%1 : %2 résultats sur %3")
                     .arg(roundLabel(round))
                     .arg(c->resultCount(round))
                     .arg(c->gameCount(round));
        banner += round < kCupRounds
                      ? QStringLiteral(" — Tirage du %1 quand ils sont tous saisis")
                            .arg(roundLabel(round + 1))
                      : QStringLiteral(" — La finale est connue quand ils sont tous saisis");
    }
    m_banner->setText(banner);
}

void DeroulementWindow::updateMeetings(int round)
{
    QLabel *label = m_pages[std::size_t(round - 1)].meetings;
    const Cup *c = cup();
    const std::vector<Meeting> meetings = c ? c->meetings(round) : std::vector<Meeting>{};
    label->setVisible(!meetings.empty());
    if (meetings.empty())
        return;
    QStringList lines;
    for (std::size_t k = 0; k < meetings.size() && k < std::size_t(kMeetingsShown); ++k) {
        const Meeting &m = meetings[k];
        const CupTeam &a = c->teams()[std::size_t(m.teamA)];
        const CupTeam &b = c->teams()[std::size_t(m.teamB)];
        lines << QStringLiteral("poule %1 : %2 et %3 (%4)")
                     .arg(m.group)
                     .arg(text(a.name), text(b.name), text(a.club));
    }
    QString shown = QStringLiteral("Rencontres de même club que le tirage n'a pas pu éviter : ") +
                    lines.join(QStringLiteral(" ; "));
    if (meetings.size() > std::size_t(kMeetingsShown))
        shown += QStringLiteral(" ; et %1 autres.").arg(meetings.size() - kMeetingsShown);
    label->setText(shown);
}

void DeroulementWindow::updateExempted()
{
    const Cup *c = cup();
    const bool any = c && c->layout().exempted > 0;
    m_exemptedText->setVisible(any);
    const std::vector<int> playing =
        any && !c->isDrawn(4) ? c->participants(4) : std::vector<int>{};
    m_exemptedList->setVisible(!playing.empty());
    if (!any)
        return;
    const std::vector<int> exempted = c->exemptedTeams();
    QStringList names;
    for (const int team : exempted)
        names << text(c->teams()[std::size_t(team)].name);
    if (c->isDrawn(4))
        m_exemptedText->setText(
            QStringLiteral("Exemptées du Tour 4 : %1.").arg(names.join(QStringLiteral(", "))));
    else if (playing.empty())
        m_exemptedText->setText(QStringLiteral("Le Tour 4 exempte %1 équipe(s), à choisir une "
                                               "fois le Tour 3 terminé.")
                                    .arg(c->layout().exempted));
    else
        m_exemptedText->setText(QStringLiteral("Exemptées du Tour 4 : %1 — cochez-en %2 autre(s) "
                                               "avant le tirage pour changer.")
                                    .arg(names.join(QStringLiteral(", ")))
                                    .arg(c->layout().exempted));
    const QSignalBlocker quiet(m_exemptedList);
    if (playing != m_exemptedChoices) {
        m_exemptedChoices = playing;
        m_exemptedList->clear();
        for (const int team : playing) {
            const CupTeam &t = c->teams()[std::size_t(team)];
            auto *item = new QListWidgetItem(
                t.club.empty() ? text(t.name) : text(t.name) + QStringLiteral(" — ") + text(t.club),
                m_exemptedList);
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
    }
    for (int k = 0; k < m_exemptedList->count(); ++k) {
        const bool checked = std::find(exempted.begin(), exempted.end(),
                                       m_exemptedChoices[std::size_t(k)]) != exempted.end();
        m_exemptedList->item(k)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void DeroulementWindow::exemptedToggled(QListWidgetItem *item)
{
    const Cup *c = cup();
    if (!c)
        return;
    std::vector<int> chosen;
    for (int k = 0; k < m_exemptedList->count(); ++k)
        if (m_exemptedList->item(k)->checkState() == Qt::Checked)
            chosen.push_back(m_exemptedChoices[std::size_t(k)]);
    // Checking one more than the plan exempts replaces the one checked before it.
    if (int(chosen.size()) > c->layout().exempted && item->checkState() == Qt::Checked) {
        const int added = m_exemptedChoices[std::size_t(m_exemptedList->row(item))];
        const std::vector<int> before = c->exemptedTeams();
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                    [&](int team) {
                                        return team != added && !before.empty() &&
                                               team == before.front();
                                    }),
                     chosen.end());
    }
    if (int(chosen.size()) != c->layout().exempted) {
        updateExempted();
        say(QStringLiteral("Le Tour 4 exempte %1 équipe(s) : cochez-en une autre à la place.")
                .arg(c->layout().exempted),
            true);
        return;
    }
    std::sort(chosen.begin(), chosen.end());
    applyToCup(ExemptedCommand{chosen});
    updateExempted();
}

void DeroulementWindow::updateFinal()
{
    const Cup *c = cup();
    const std::vector<int> teams = c ? c->finalTeams() : std::vector<int>{};
    m_final->setVisible(!teams.empty());
    QStringList names;
    for (const int team : teams) {
        const CupTeam &t = c->teams()[std::size_t(team)];
        names << (t.club.empty()
                      ? text(t.name)
                      : text(t.name) + QStringLiteral(" (") + text(t.club) + QStringLiteral(")"));
    }
    m_final->setText(QStringLiteral("Équipes de la finale : ") + names.join(QStringLiteral(", ")) +
                     QStringLiteral("."));
}

} // namespace velmorin
