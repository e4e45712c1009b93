#include "CupSession.h"

#include "CupContents.h"

#include <QDate>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace velmorin {

namespace {

const QString kObjectName = QStringLiteral("CupSession");

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

CupSession::CupSession(FeatureHost &host) : CupRunSource(host.hostWidget()), m_host(host)
{
    setObjectName(kObjectName);
    followHost();
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, [this] { followFile(); });
}

QString CupSession::readOnlyReason() const
{
    return readOnly() ? m_readOnlyReason : QString();
}

QString CupSession::unplayableReason() const
{
    if (!m_store || m_cup)
        return {};
    const CupSetup &setup = m_store->setup();
    QStringList missing;
    if (!setup.list)
        missing << QStringLiteral("sa liste d'équipes (« Équipes inscrites… », F4)");
    if (!planOf(setup))
        missing << QStringLiteral("son plan (« Calcul » dans la fenêtre principale)");
    if (missing.isEmpty())
        return QStringLiteral("La coupe « %1 » ne se joue pas encore. %2")
            .arg(name(), QString::fromStdString(m_store->cup().error));
    return QStringLiteral("La coupe « %1 » ne se joue pas encore : il lui manque %2.")
        .arg(name(), missing.join(QStringLiteral(" et ")));
}

QString CupSession::teamsLockedReason() const
{
    if (const QString reason = readOnlyReason(); !reason.isEmpty())
        return reason;
    if (m_store && m_store->isFrozen())
        return QString::fromUtf8(Cup::frozenSentence());
    return {};
}

CupSession &CupSession::of(FeatureHost &host)
{
    auto *session =
        host.hostWidget()->findChild<CupSession *>(kObjectName, Qt::FindDirectChildrenOnly);
    if (!session)
        session = new CupSession(host); // the host's widget owns it
    return *session;
}

QString CupSession::name() const
{
    return m_store ? QString::fromStdString(m_store->setup().name) : QString();
}

QString CupSession::path() const
{
    return m_store ? m_store->path() : QString();
}

void CupSession::followHost()
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

void CupSession::followShownPlan()
{
    // "Calcul" begins by showing no plan: its own plans that follow are not the organiser's.
    if (!m_host.shownPlan()) {
        m_slidersFree = false;
        return;
    }
    if (m_slidersFree)
        saveShownPlan(PlanPick::Slider);
}

bool CupSession::refuse(const std::string &message)
{
    QMessageBox box(QMessageBox::Critical, m_host.hostWidget()->windowTitle(),
                    QString::fromStdString(message), QMessageBox::Ok, m_host.hostWidget());
    box.exec();
    return false;
}

CupWrite CupSession::tryWrite(const std::function<CupWrite(CupStore &)> &change)
{
    CupWrite written = change(*m_store);
    if (written.changedMeanwhile) {
        followFile();
        written.message = "La coupe a été modifiée par un autre programme entre-temps : la "
                          "modification n'est pas enregistrée, et la coupe est montrée telle "
                          "qu'elle est maintenant.";
    }
    return written;
}

bool CupSession::write(const std::function<CupWrite(CupStore &)> &change)
{
    if (!writable())
        return false;
    const CupWrite written = tryWrite(change);
    if (!written.saved)
        return refuse(written.message);
    if (!written.message.empty())
        showNotice(QString::fromStdString(written.message));
    // Until round 1 is drawn, the settings make the cup: it follows them.
    if (!m_store->isFrozen())
        refreshCup();
    emit changed();
    return true;
}

void CupSession::saveInputs()
{
    if (!followsWindow())
        return;
    const std::optional<Problem> problem = m_host.currentProblem(FeatureHost::Failure::Quiet);
    if (!problem)
        return;
    const CupSetup &saved = m_store->setup();
    const std::pair<CupCount, std::int32_t> counts[] = {{CupCount::Registered, problem->registered},
                                                        {CupCount::Finale, problem->finale},
                                                        {CupCount::Entrants1, problem->entrants1}};
    const std::int32_t savedCounts[] = {saved.registered, saved.finale, saved.entrants1};
    for (std::size_t k = 0; k < std::size(counts); ++k) {
        if (counts[k].second == savedCounts[k])
            continue;
        if (!write(
                [&](CupStore &store) { return store.setCount(counts[k].first, counts[k].second); }))
            return;
        m_planOwed = true;
    }
    const FeatureHost::RatioChoices ratios = m_host.ratioChoices();
    for (std::size_t g = 0; g < ratios.size(); ++g) {
        if (ratios[g] == m_store->setup().ratioChoices[g])
            continue;
        if (!write([&](CupStore &store) { return store.setRatioChoice(int(g) + 1, ratios[g]); }))
            return;
        m_planOwed = true;
    }
}

void CupSession::saveShownPlan(PlanPick pick)
{
    if (!followsWindow())
        return;
    // A plan of the cup's own numbers only: fields changed since the calculation show a plan
    // of other numbers. A calculation of new numbers may find none, which the cup then keeps.
    const std::optional<Plan> plan = m_host.shownPlan();
    const std::optional<Calculation> &calculation = m_host.lastCalculation();
    const CupSetup &cupSetup = m_store->setup();
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
        write([&](CupStore &store) { return store.setShownPlan(classNumber, position); });
}

bool CupSession::create(const QString &path, const QString &name)
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
    m_store = std::move(opening.store);
    m_windowShowsCup = true; // made from what the window shows
    m_slidersFree = m_host.shownPlan().has_value();
    settleOpened(opening.notice, false);
    return true;
}

bool CupSession::open(const QString &path)
{
    // Already ours: its lock is this program's.
    if (m_store && QFileInfo(m_store->path()) == QFileInfo(path))
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
    m_store = std::move(opening.store);
    restoreWindow();
    settleOpened(opening.notice, held);
    return true;
}

void CupSession::settleOpened(const std::string &notice, bool held)
{
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

void CupSession::showNotice(const QString &notice)
{
    QMessageBox box(QMessageBox::Information, m_host.hostWidget()->windowTitle(), notice,
                    QMessageBox::Ok, m_host.hostWidget());
    box.exec();
}

bool CupSession::followFile()
{
    // Not while the window is being restored: its calculation lets the watch's timer in.
    if (!m_store || m_restoring || m_reloading)
        return false;
    const std::optional<std::uint64_t> version = m_store->fileVersion();
    if (!version || *version == m_store->version())
        return false;
    const CupSetup before = m_store->setup();
    if (!m_store->reload())
        return false;
    m_reloading = true;
    reloaded(before);
    m_reloading = false;
    return true;
}

void CupSession::reloaded(const CupSetup &before)
{
    const CupSetup &now = m_store->setup();
    // The window and the teams dialog follow only what changed: a result written elsewhere
    // does not recalculate the window.
    if (!(now == before))
        restoreWindow();
    showTitle();
    refreshCup();
    emit changed();
}

void CupSession::close()
{
    if (!m_store)
        return;
    m_watch.stop();
    m_store.reset();
    m_cup.reset();
    m_windowShowsCup = true;
    m_slidersFree = false;
    m_planOwed = false;
    showTitle();
    emit cupChanged();
    emit closed();
}

void CupSession::restoreWindow()
{
    const CupSetup &setup = m_store->setup();
    // What the window does while it is restored is what the cup already holds.
    m_restoring = true;
    m_teams = {setup.list, setup.levelRounds, setup.levelOrder, setup.seed};
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

void CupSession::showTitle()
{
    if (!m_store) {
        m_host.setTitleSuffix(QString());
        return;
    }
    QString suffix = QStringLiteral(" — ") + name();
    if (m_store->readOnly())
        suffix += QStringLiteral(" (lecture seule)");
    m_host.setTitleSuffix(suffix);
}

CupAnswer CupSession::apply(const CupCommand &command)
{
    if (!m_cup)
        return CupAnswer::refused(isOpen() ? unplayableReason().toStdString()
                                           : std::string("Aucune coupe n'est ouverte."));
    if (m_store->readOnly())
        return CupAnswer::refused(m_readOnlyReason.toStdString());
    Cup changedCup = *m_cup;
    const CupAnswer answer = changedCup.apply(command);
    if (!answer.done || !answer.changed)
        return answer;
    const CupWrite written =
        tryWrite([&](CupStore &store) { return store.saveCup(changedCup, answer.text); });
    // Another program's change is shown in the cup's window with the refusal's sentence.
    if (written.changedMeanwhile)
        return CupAnswer::refused(written.message);
    if (!written.saved) {
        refuse(written.message);
        return CupAnswer::refused("Rien n'est changé : la coupe n'a pas pu être enregistrée.");
    }
    m_cup = std::move(changedCup);
    if (!written.message.empty())
        showNotice(QString::fromStdString(written.message));
    emit changed();
    emit cupChanged();
    return answer;
}

void CupSession::refreshCup()
{
    std::optional<Cup> cup;
    if (m_store) {
        CupCreation made = m_store->cup();
        if (made.ok())
            cup = std::move(made.cup);
    }
    m_cup = std::move(cup);
    emit cupChanged();
}

void CupSession::setTeams(const CupTeams &teams)
{
    const CupTeams before = std::exchange(m_teams, teams);
    if (!writable())
        return;
    if (!writeTeams(before, teams)) {
        // Refused: the teams window shows the cup's own again, never a seed or a round the
        // cup does not have.
        const CupSetup &setup = m_store->setup();
        m_teams = {setup.list, setup.levelRounds, setup.levelOrder, setup.seed};
        emit teamsRestored();
    }
}

bool CupSession::writeTeams(const CupTeams &before, const CupTeams &teams)
{
    if (teams.list && teams.list != before.list) {
        if (!write([&](CupStore &store) { return store.setList(*teams.list, teams.levelRounds); }))
            return false;
    } else {
        for (const LevelRoundChoice &choice : teams.levelRounds) {
            const auto was = std::find_if(
                before.levelRounds.begin(), before.levelRounds.end(),
                [&](const LevelRoundChoice &old) { return old.level == choice.level; });
            if ((was == before.levelRounds.end() || was->round != choice.round) &&
                !write([&](CupStore &store) {
                    return store.setLevelRound(choice.level, choice.round);
                }))
                return false;
        }
    }
    if (teams.levelOrder != m_store->setup().levelOrder &&
        !write([&](CupStore &store) { return store.setLevelOrder(teams.levelOrder); }))
        return false;
    return !teams.seed || teams.seed == m_store->setup().seed ||
           write([&](CupStore &store) { return store.setSeed(*teams.seed); });
}

} // namespace velmorin
