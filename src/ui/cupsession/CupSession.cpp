#include "CupSession.h"

#include <QDate>
#include <QFileInfo>
#include <QMessageBox>
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

} // namespace

CupSession::CupSession(FeatureHost &host) : CupRunSource(host.hostWidget()), m_host(host)
{
    setObjectName(kObjectName);
    followHost();
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
    connect(notifier, &FeatureNotifier::planShown, this, [this] { saveShownPlan(); });
    connect(notifier, &FeatureNotifier::calculated, this, [this] { saveShownPlan(); });
}

bool CupSession::refuse(const std::string &message)
{
    QMessageBox box(QMessageBox::Critical, m_host.hostWidget()->windowTitle(),
                    QString::fromStdString(message), QMessageBox::Ok, m_host.hostWidget());
    box.exec();
    return false;
}

bool CupSession::write(const std::function<CupWrite(CupStore &)> &change)
{
    if (!writable())
        return false;
    const CupWrite written = change(*m_store);
    if (!written.saved)
        return refuse(written.message);
    if (!written.message.empty()) {
        QMessageBox box(QMessageBox::Information, m_host.hostWidget()->windowTitle(),
                        QString::fromStdString(written.message), QMessageBox::Ok,
                        m_host.hostWidget());
        box.exec();
    }
    // Until round 1 is drawn, the settings make the cup: it follows them.
    if (!m_store->isFrozen())
        refreshCup();
    emit changed();
    return true;
}

void CupSession::saveInputs()
{
    if (!writable())
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
        if (counts[k].second != savedCounts[k] && !write([&](CupStore &store) {
                return store.setCount(counts[k].first, counts[k].second);
            }))
            return;
    }
    const FeatureHost::RatioChoices ratios = m_host.ratioChoices();
    for (std::size_t g = 0; g < ratios.size(); ++g) {
        if (ratios[g] != m_store->setup().ratioChoices[g] &&
            !write([&](CupStore &store) { return store.setRatioChoice(int(g) + 1, ratios[g]); }))
            return;
    }
}

void CupSession::saveShownPlan()
{
    if (!writable())
        return;
    // While a run's fields are ahead of its calculation there is no plan to keep yet.
    const std::optional<Plan> plan = m_host.shownPlan();
    if (!plan && !m_host.lastCalculation())
        return;
    const std::optional<int> classNumber =
        plan ? std::optional<int>(velmorin::classNumber(plan->exemptionClass)) : std::nullopt;
    const std::optional<std::int32_t> position =
        plan ? std::optional<std::int32_t>(std::int32_t(plan->position)) : std::nullopt;
    const CupSetup &saved = m_store->setup();
    if (saved.classNumber != classNumber || saved.position != position)
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
    showTitle();
    refreshCup();
    emit opened();
    return true;
}

bool CupSession::open(const QString &path)
{
    // Already ours: its lock is this program's.
    if (m_store && QFileInfo(m_store->path()) == QFileInfo(path))
        return true;
    CupOpening opening = CupStore::open(path, CupStore::Mode::ReadWrite);
    if (opening.failure == CupOpening::Failure::Held && opening.holder) {
        QMessageBox box(QMessageBox::Question, m_host.hostWidget()->windowTitle(),
                        heldQuestion(path, *opening.holder), QMessageBox::Yes | QMessageBox::No,
                        m_host.hostWidget());
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return false;
        opening = CupStore::open(path, CupStore::Mode::ReadOnly);
    }
    if (!opening.ok())
        return refuse(opening.message);
    close();
    m_store = std::move(opening.store);
    restoreWindow();
    showTitle();
    refreshCup();
    emit opened();
    return true;
}

void CupSession::close()
{
    if (!m_store)
        return;
    m_store.reset();
    m_cup.reset();
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
    if (m_host.restoreInputs(setup.registered, setup.finale, setup.ratioChoices)) {
        std::optional<ShownSolution> shown;
        if (setup.classNumber && setup.position)
            shown = ShownSolution{exemptionClassFromNumber(*setup.classNumber), *setup.position};
        m_host.showPlan(setup.entrants1, shown);
    }
    m_restoring = false;
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
        return CupAnswer::refused(
            "La coupe ne se joue pas encore : il lui faut sa liste d'équipes et son plan.");
    if (m_store->readOnly())
        return CupAnswer::refused("La coupe est ouverte en lecture seule : rien n'y est changé.");
    Cup changedCup = *m_cup;
    const CupAnswer answer = changedCup.apply(command);
    if (!answer.done || !answer.changed)
        return answer;
    if (!write(
            [&](CupStore &store) { return store.saveRecords(changedCup.records(), answer.text); }))
        return CupAnswer::refused("Rien n'est changé : la coupe n'a pas pu être enregistrée.");
    m_cup = std::move(changedCup);
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
    if (teams.list && teams.list != before.list) {
        if (!write([&](CupStore &store) { return store.setList(*teams.list, teams.levelRounds); }))
            return;
    } else {
        for (const LevelRoundChoice &choice : teams.levelRounds) {
            const auto was = std::find_if(
                before.levelRounds.begin(), before.levelRounds.end(),
                [&](const LevelRoundChoice &old) { return old.level == choice.level; });
            if ((was == before.levelRounds.end() || was->round != choice.round) &&
                !write([&](CupStore &store) {
                    return store.setLevelRound(choice.level, choice.round);
                }))
                return;
        }
    }
    if (teams.levelOrder != m_store->setup().levelOrder &&
        !write([&](CupStore &store) { return store.setLevelOrder(teams.levelOrder); }))
        return;
    if (teams.seed && teams.seed != m_store->setup().seed)
        write([&](CupStore &store) { return store.setSeed(*teams.seed); });
}

} // namespace velmorin
