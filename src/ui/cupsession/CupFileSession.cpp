#include "CupFileSession.h"

#include "CupContents.h"
#include "CupStore.h"

#include <QDate>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace velmorin {

namespace {

QString heldQuestion(const QString &path, const CupHolder &holder)
{
    return QStringLiteral("La coupe « %1 » est ouverte par Velmorin sur l'ordinateur « %2 » "
                          "(processus %3) : les changements s'y enregistrent. Voulez-vous "
                          "l'ouvrir en lecture seule ?")
        .arg(QFileInfo(path).fileName(), QString::fromStdString(holder.host))
        .arg(holder.pid);
}

// How often the file's version is read while a cup is open: another program's change shows
// within a second.
constexpr int kWatchMs = 500;

QString readOnlySentence(const QString &reason)
{
    return QStringLiteral("La coupe est ouverte en lecture seule : %1").arg(reason);
}

// The numbers the window shows, against the cup's: the spinners' limits may keep some out.
QString unshownNumbers(const CupSetup &setup, const std::optional<Problem> &shown)
{
    if (!shown || shown->finale != setup.finale)
        return QStringLiteral("sa finale de %1 équipes").arg(setup.finale);
    if (shown->registered != setup.registered)
        return QStringLiteral("ses %1 équipes inscrites").arg(setup.registered);
    if (shown->entrants1 != setup.entrants1)
        return QStringLiteral("ses %1 équipes au Tour 1").arg(setup.entrants1);
    return QStringLiteral("ses rapports");
}

} // namespace

CupFileSession::CupFileSession(FeatureHost &host) : CupSession(host), m_host(host)
{
    followHost();
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, [this] { followFile(); });
}

QString CupFileSession::readOnlyReason() const
{
    return readOnly() ? m_readOnlyReason : QString();
}

QString CupFileSession::unplayableReason() const
{
    if (!m_home || m_cup)
        return {};
    const CupSetup &setup = m_home->setup();
    QStringList missing;
    if (!setup.list)
        missing << QStringLiteral("sa liste d'équipes (« Équipes inscrites… », F4)");
    if (!planOf(setup))
        missing << QStringLiteral("son plan (« Calcul » dans la fenêtre principale)");
    if (missing.isEmpty())
        return QStringLiteral("La coupe « %1 » ne se joue pas encore. %2")
            .arg(name(), QString::fromStdString(m_home->cup().error));
    return QStringLiteral("La coupe « %1 » ne se joue pas encore : il lui manque %2.")
        .arg(name(), missing.join(QStringLiteral(" et ")));
}

QString CupFileSession::teamsLockedReason() const
{
    if (const QString reason = readOnlyReason(); !reason.isEmpty())
        return reason;
    if (m_home && m_home->isFrozen())
        return QString::fromUtf8(Cup::frozenSentence());
    return {};
}

QString CupFileSession::name() const
{
    return m_home ? QString::fromStdString(m_home->setup().name) : QString();
}

QString CupFileSession::path() const
{
    return m_home ? m_home->path() : QString();
}

void CupFileSession::followHost()
{
    FeatureNotifier *notifier = m_host.notifier();
    connect(notifier, &FeatureNotifier::inputsChanged, this, [this] { saveInputs(); });
    connect(notifier, &FeatureNotifier::planShown, this, [this] { followShownPlan(); });
    // "Calcul" shows plans of its own choosing, one per class: only a slider moved after it
    // is the organiser's pick.
    connect(notifier, &FeatureNotifier::calculated, this, [this] {
        m_slidersFree = m_host.shownPlan().has_value();
        // The organiser changed the cup's numbers: the plan of the new numbers is theirs.
        if (m_planOwed)
            saveShownPlan(PlanPick::Calculation);
    });
}

void CupFileSession::followShownPlan()
{
    // "Calcul" begins by showing no plan: its own plans that follow are not the organiser's.
    if (!m_host.shownPlan()) {
        m_slidersFree = false;
        return;
    }
    if (m_slidersFree)
        saveShownPlan(PlanPick::Slider);
}

bool CupFileSession::refuse(const std::string &message)
{
    QMessageBox box(QMessageBox::Critical, m_host.hostWidget()->windowTitle(),
                    QString::fromStdString(message), QMessageBox::Ok, m_host.hostWidget());
    box.exec();
    return false;
}

CupWrite CupFileSession::tryWrite(const std::function<CupWrite(CupHome &)> &change)
{
    CupWrite written = change(*m_home);
    // The answer names what changed meanwhile; the window shows the cup as it is now.
    if (written.changedMeanwhile)
        followFile();
    return written;
}

bool CupFileSession::write(const std::function<CupWrite(CupHome &)> &change)
{
    if (!writable())
        return false;
    const CupWrite written = tryWrite(change);
    if (!written.saved)
        return refuse(written.message);
    if (!written.message.empty())
        showNotice(QString::fromStdString(written.message));
    // Until round 1 is drawn, the settings make the cup: it follows them. Once drawn, a setting
    // still moves the cup's one version, which the next command is decided on.
    if (!m_home->isFrozen() || (m_cup && m_cup->version() != m_home->version()))
        refreshCup();
    emit changed();
    return true;
}

void CupFileSession::saveInputs()
{
    if (!followsWindow())
        return;
    const std::optional<Problem> problem = m_host.currentProblem(FeatureHost::Failure::Quiet);
    if (!problem)
        return;
    const CupSetup &saved = m_home->setup();
    const std::pair<CupCount, std::int32_t> counts[] = {{CupCount::Registered, problem->registered},
                                                        {CupCount::Finale, problem->finale},
                                                        {CupCount::Entrants1, problem->entrants1}};
    const std::int32_t savedCounts[] = {saved.registered, saved.finale, saved.entrants1};
    for (std::size_t k = 0; k < std::size(counts); ++k) {
        if (counts[k].second == savedCounts[k])
            continue;
        if (!write([&](CupHome &home) { return home.setCount(counts[k].first, counts[k].second); }))
            return;
        m_planOwed = true;
    }
    const FeatureHost::RatioChoices ratios = m_host.ratioChoices();
    for (std::size_t g = 0; g < ratios.size(); ++g) {
        if (ratios[g] == m_home->setup().ratioChoices[g])
            continue;
        if (!write([&](CupHome &home) { return home.setRatioChoice(int(g) + 1, ratios[g]); }))
            return;
        m_planOwed = true;
    }
}

void CupFileSession::saveShownPlan(PlanPick pick)
{
    if (!followsWindow())
        return;
    // A plan of the cup's own numbers only: fields changed since the calculation show a plan
    // of other numbers. A calculation of new numbers may find none, which the cup then keeps.
    const std::optional<Plan> plan = m_host.shownPlan();
    const std::optional<Calculation> &calculation = m_host.lastCalculation();
    const CupSetup &cupSetup = m_home->setup();
    if ((!plan && pick == PlanPick::Slider) || !calculation ||
        calculation->problem.registered != cupSetup.registered ||
        calculation->problem.finale != cupSetup.finale ||
        calculation->problem.entrants1 != cupSetup.entrants1)
        return;
    m_planOwed = false;
    const std::optional<int> classNumber =
        plan ? std::optional<int>(velmorin::classNumber(plan->exemptionClass)) : std::nullopt;
    const std::optional<std::int32_t> position =
        plan ? std::optional<std::int32_t>(std::int32_t(plan->position)) : std::nullopt;
    if (cupSetup.classNumber != classNumber || cupSetup.position != position)
        write([&](CupHome &home) { return home.setShownPlan(classNumber, position); });
}

bool CupFileSession::create(const QString &path, const QString &name)
{
    const std::optional<Problem> problem = m_host.currentProblem(FeatureHost::Failure::Report);
    if (!problem)
        return false;
    CupSetup setup;
    setup.name = name.toStdString();
    setup.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    setup.registered = problem->registered;
    setup.finale = problem->finale;
    setup.entrants1 = problem->entrants1;
    setup.ratioChoices = m_host.ratioChoices();
    if (const std::optional<Plan> plan = m_host.shownPlan()) {
        setup.classNumber = classNumber(plan->exemptionClass);
        setup.position = std::int32_t(plan->position);
    }
    setup.list = m_teams.list;
    setup.levelRounds = m_teams.levelRounds;
    setup.levelOrder = m_teams.levelOrder;
    setup.seed = m_teams.seed;
    // Never a cup that could not reach its final; one without a plan yet may be made.
    if (const std::string refusal = planRefusalOf(setup); !refusal.empty())
        return refuse(refusal);

    CupOpening opening = CupStore::create(path, setup);
    if (!opening.ok())
        return refuse(opening.message);
    close();
    m_home = std::move(opening.store);
    m_windowShowsCup = true; // made from what the window shows
    m_slidersFree = m_host.shownPlan().has_value();
    settleOpened(opening.notice, false);
    return true;
}

bool CupFileSession::open(const QString &path)
{
    // Already ours: its lock is this program's.
    if (m_home && QFileInfo(m_home->path()) == QFileInfo(path))
        return true;
    CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
    bool held = false;
    if (opening.failure == CupOpening::Failure::Held && opening.holder) {
        QMessageBox box(QMessageBox::Question, m_host.hostWidget()->windowTitle(),
                        heldQuestion(path, *opening.holder), QMessageBox::Yes | QMessageBox::No,
                        m_host.hostWidget());
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return false;
        opening = CupStore::open(path, CupStore::Mode::ReadOnly);
        held = true;
    }
    if (!opening.ok())
        return refuse(opening.message);
    close();
    m_home = std::move(opening.store);
    restoreWindow();
    settleOpened(opening.notice, held);
    return true;
}

void CupFileSession::settleOpened(const std::string &notice, bool held)
{
    m_home->setListener(this);
    // The held question has told why already; another reason (a network disk) is said once.
    if (held && notice.empty())
        m_readOnlyReason = readOnlySentence(QStringLiteral(
            "un autre programme la modifie, et ce qu'il y enregistre s'affiche ici."));
    else
        m_readOnlyReason = notice.empty() ? readOnlySentence(QStringLiteral("rien n'y est changé."))
                                          : QString::fromStdString(notice);
    showTitle();
    refreshCup();
    m_watch.start();
    emit opened();
    if (!notice.empty())
        showNotice(QString::fromStdString(notice));
}

void CupFileSession::showNotice(const QString &notice)
{
    QMessageBox box(QMessageBox::Information, m_host.hostWidget()->windowTitle(), notice,
                    QMessageBox::Ok, m_host.hostWidget());
    box.exec();
}

bool CupFileSession::followFile()
{
    // Not while the window is being restored: its calculation lets the watch's timer in.
    if (!m_home || m_restoring || m_reloading)
        return false;
    return m_home->refresh();
}

void CupFileSession::cupChangedElsewhere(CupHome &home, const CupSetup &before)
{
    const bool wasReloading = std::exchange(m_reloading, true);
    const CupSetup &now = home.setup();
    // The window and the teams dialog follow only what changed: a result written elsewhere
    // does not recalculate the window.
    if (!(now == before))
        restoreWindow();
    showTitle();
    refreshCup();
    m_reloading = wasReloading;
    emit changed();
}

void CupFileSession::close()
{
    if (!m_home)
        return;
    m_watch.stop();
    m_home.reset();
    m_cup.reset();
    m_windowShowsCup = true;
    m_slidersFree = false;
    m_planOwed = false;
    showTitle();
    emit cupChanged();
    emit closed();
}

void CupFileSession::restoreWindow()
{
    const CupSetup &setup = m_home->setup();
    // What the window does while it is restored is what the cup already holds.
    m_restoring = true;
    m_teams = {setup.list, setup.levelRounds, setup.levelOrder, setup.seed, setup.teams};
    emit teamsRestored();
    const bool shown = m_host.restoreInputs(setup.registered, setup.finale, setup.ratioChoices);
    if (shown) {
        std::optional<ShownSolution> solution;
        if (setup.classNumber && setup.position)
            solution = ShownSolution{exemptionClassFromNumber(*setup.classNumber), *setup.position};
        m_host.showPlan(setup.entrants1, solution);
    }
    m_restoring = false;
    // The window's spinners have limits the calculator's cups may pass (a final of 34, or
    // of 5): such a cup keeps its numbers and plan, and the window writes none of its own.
    const std::optional<Problem> problem = m_host.currentProblem(FeatureHost::Failure::Quiet);
    const bool wasShown = std::exchange(
        m_windowShowsCup, shown && problem && problem->registered == setup.registered &&
                              problem->finale == setup.finale &&
                              problem->entrants1 == setup.entrants1 &&
                              m_host.ratioChoices() == setup.ratioChoices);
    m_slidersFree = m_windowShowsCup && m_host.shownPlan().has_value();
    m_planOwed = false;
    if (!m_windowShowsCup && wasShown)
        showNotice(QStringLiteral("La fenêtre ne peut pas montrer %1 de la coupe « %2 » : la "
                                  "coupe garde ses nombres et son plan, et rien de ce que la "
                                  "fenêtre calcule n'y est enregistré.")
                       .arg(unshownNumbers(setup, problem), name()));
}

void CupFileSession::showTitle()
{
    if (!m_home) {
        m_host.setTitleSuffix(QString());
        return;
    }
    QString suffix = QStringLiteral(" — ") + name();
    if (m_home->readOnly())
        suffix += QStringLiteral(" (lecture seule)");
    m_host.setTitleSuffix(suffix);
}

CupAnswer CupFileSession::apply(const CupCommand &command)
{
    if (!m_cup)
        return CupAnswer::refused(isOpen() ? unplayableReason().toStdString()
                                           : std::string("Aucune coupe n'est ouverte."));
    if (m_home->readOnly())
        return CupAnswer::refused(m_readOnlyReason.toStdString());
    CupApplied applied = m_home->apply(command, &*m_cup);
    switch (applied.outcome) {
    case CupApplied::Outcome::Refused:
    // The cup was read again: the cup's window shows it with the sentence naming the change.
    case CupApplied::Outcome::Stale:
        return applied.answer;
    case CupApplied::Outcome::WriteFailed:
        refuse(applied.answer.text);
        return CupAnswer::refused("Rien n'est changé : la coupe n'a pas pu être enregistrée.");
    case CupApplied::Outcome::Done:
        break;
    }
    if (!applied.answer.changed)
        return applied.answer;
    m_cup = std::move(applied.cup);
    if (!applied.notice.empty())
        showNotice(QString::fromStdString(applied.notice));
    emit changed();
    emit cupChanged();
    return applied.answer;
}

void CupFileSession::refreshCup()
{
    std::optional<Cup> cup;
    if (m_home) {
        CupCreation made = m_home->cup();
        if (made.ok())
            cup = std::move(made.cup);
    }
    m_cup = std::move(cup);
    emit cupChanged();
}

void CupFileSession::setTeams(const CupTeams &teams)
{
    const CupTeams before = std::exchange(m_teams, teams);
    if (!writable())
        return;
    if (!writeTeams(before, teams)) {
        // Refused: the teams window shows the cup's own again, never a seed or a round the
        // cup does not have.
        const CupSetup &setup = m_home->setup();
        m_teams = {setup.list, setup.levelRounds, setup.levelOrder, setup.seed};
        emit teamsRestored();
    }
}

bool CupFileSession::writeTeams(const CupTeams &before, const CupTeams &teams)
{
    if (teams.list && teams.list != before.list) {
        if (!write([&](CupHome &home) { return home.setList(*teams.list, teams.levelRounds); }))
            return false;
    } else {
        for (const LevelRoundChoice &choice : teams.levelRounds) {
            const auto was = std::find_if(
                before.levelRounds.begin(), before.levelRounds.end(),
                [&](const LevelRoundChoice &old) { return old.level == choice.level; });
            if ((was == before.levelRounds.end() || was->round != choice.round) &&
                !write(
                    [&](CupHome &home) { return home.setLevelRound(choice.level, choice.round); }))
                return false;
        }
    }
    if (teams.levelOrder != m_home->setup().levelOrder &&
        !write([&](CupHome &home) { return home.setLevelOrder(teams.levelOrder); }))
        return false;
    return !teams.seed || teams.seed == m_home->setup().seed ||
           write([&](CupHome &home) { return home.setSeed(*teams.seed); });
}

} // namespace velmorin

namespace velmorin {

void installCupSession(FeatureHost &host)
{
    new CupFileSession(host); // the host's widget owns it
}

} // namespace velmorin
