#include "PlanSearchDialog.h"

#include "ClassAppearance.h"
#include "Contrast.h"
#include "FeatureRows.h"
#include "IntText.h"
#include "Placement.h"
#include "Plan.h"
#include "PlanTableModel.h"
#include "VisibleText.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace velmorin {

namespace {

// What the form calls a field in its messages, "Entrantes min du tour 2", or both ends of a
// quantity, "Entrantes du tour 2".
QString fieldName(Quantity quantity, std::optional<bool> minimum = std::nullopt)
{
    const int index = int(quantityIndex(quantity));
    const bool entrants = index <= int(quantityIndex(Quantity::Entrants4));
    const int round = entrants ? index + 1 : index - int(quantityIndex(Quantity::Tour2)) + 2;
    QString name = entrants ? QStringLiteral("Entrantes") : QStringLiteral("En jeu");
    if (minimum)
        name += *minimum ? QStringLiteral(" min") : QStringLiteral(" max");
    return name + QStringLiteral(" du tour %1").arg(round);
}

} // namespace

PlanSearchDialog::PlanSearchDialog(FeatureHost &host)
    : FeatureWindow(host, QStringLiteral("RecherchePlans"), QStringLiteral("recherche"))
{
    setWindowTitle(QStringLiteral("Recherche d'un plan"));
    // Class 3 black and class 2 blue, readable under a dark scheme too.
    keepReadable({classColour(ExemptionClass::Class3), classColour(ExemptionClass::Class2)});

    m_inputs = new QLabel(this);
    m_inputs->setObjectName(QStringLiteral("EntreesRecherche"));

    auto *wishes = new QGroupBox(QStringLiteral("Souhaits (vide : sans limite)"), this);
    auto *grid = new QGridLayout(wishes);
    buildForm(grid);
    m_formErrors = new QLabel(this);
    m_formErrors->setObjectName(QStringLiteral("ErreursSouhaits"));
    m_formErrors->setWordWrap(true);
    QPalette errorColour = m_formErrors->palette();
    errorColour.setColor(QPalette::WindowText, classColour(ExemptionClass::Class1));
    m_formErrors->setPalette(errorColour);
    m_formErrors->hide();

    m_strict =
        new QCheckBox(QStringLiteral("Seulement les plans qui respectent tous les souhaits"), this);
    m_strict->setObjectName(QStringLiteral("SeulementExacts"));
    m_strict->setToolTip(QStringLiteral("Ne garde que les plans d'écart 0, qui tiennent dans "
                                        "toutes les bornes données"));

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("PlansTrouves"));
    m_status->setWordWrap(true);

    m_model = new PlanTableModel(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("TablePlans"));
    m_table->setToolTip(QStringLiteral("Les plans les plus proches des souhaits, le plus proche "
                                       "d'abord — double-clic ou Entrée pour l'afficher dans la "
                                       "fenêtre principale"));
    setUpRowTable(m_table, m_model);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Measured on the rows in view: measuring all 100 at every keystroke took 5 ms of 8.
    m_table->horizontalHeader()->setResizeContentsPrecision(0);

    auto *hint = new QLabel(QStringLiteral("Double-clic ou Entrée sur une ligne : le plan "
                                           "s'affiche dans la fenêtre principale."),
                            this);
    hint->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_inputs);
    layout->addWidget(wishes);
    layout->addWidget(m_formErrors);
    layout->addWidget(m_strict);
    layout->addWidget(m_status);
    layout->addWidget(m_table, 1);
    layout->addWidget(hint);
    resize(640, 600);

    connect(m_table, &QTableView::activated, this, &PlanSearchDialog::chooseRow);
    connect(m_strict, &QCheckBox::toggled, this, [this] { runGuarded([this] { search(); }); });
    // Quiet: the window's own handlers report a bad registered-teams text.
    followHostInputs([this] { refresh(Failure::Quiet); });
    // Opened to type wishes in.
    m_fields.front().edit->setFocus();
}

// Rows: rounds 1 to 4. Columns: the entrants' bounds, then the round sizes' (round 1's
// size is its entrants).
void PlanSearchDialog::buildForm(QGridLayout *grid)
{
    const auto header = [this, grid](const QString &text, int column) {
        auto *label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column, 1, 2);
    };
    header(QStringLiteral("Entrantes min / max"), 1);
    header(QStringLiteral("En jeu min / max"), 3);

    const auto field = [this, grid](Quantity quantity, bool minimum, const QString &name, int row,
                                    int column) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAccessibleName(fieldName(quantity, minimum));
        edit->setProperty(kHintProperty,
                          fieldName(quantity, minimum) +
                              QStringLiteral(" souhaité — vide : sans limite ; un entier, ou en "
                                             "hexadécimal, par exemple $47"));
        markRefusedField(edit, QString());
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        grid->addWidget(edit, row, column);
        m_fields.push_back(Field{quantity, minimum, edit});
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!m_filling)
                runGuarded([this] { search(); });
        });
    };
    for (int round = 1; round <= 4; ++round) {
        grid->addWidget(new QLabel(QStringLiteral("Tour %1").arg(round), this), round, 0);
        const Quantity entrants = kQuantities[std::size_t(round - 1)];
        field(entrants, true, QStringLiteral("MinEntrants%1").arg(round), round, 1);
        field(entrants, false, QStringLiteral("MaxEntrants%1").arg(round), round, 2);
        if (round >= 2) {
            const Quantity playing =
                kQuantities[quantityIndex(Quantity::Tour2) + std::size_t(round - 2)];
            field(playing, true, QStringLiteral("MinTour%1").arg(round), round, 3);
            field(playing, false, QStringLiteral("MaxTour%1").arg(round), round, 4);
        }
    }
    grid->setColumnStretch(5, 1);
}

const std::vector<RankedPlan> &PlanSearchDialog::plans() const
{
    return m_model->plans();
}

bool PlanSearchDialog::refresh(Failure failure)
{
    if (!takeProblem(failure))
        return false;
    search();
    return true;
}

bool PlanSearchDialog::takeProblem(Failure failure)
{
    std::optional<Problem> problem = host().currentProblem(failure);
    if (!problem)
        return false;
    // The search covers every E1: the window's own does not change the plans.
    problem->entrants1 = 0;
    m_problem = problem;
    m_inputs->setText(toQString(problemInputsText(*problem)));
    return true;
}

std::optional<Wishes> PlanSearchDialog::formWishes() const
{
    return readForm(nullptr);
}

// With `errors`, one message per field (empty when it is accepted), in the fields' order.
std::optional<Wishes> PlanSearchDialog::readForm(QStringList *errors) const
{
    if (errors)
        *errors = QStringList(int(m_fields.size()), QString());
    std::array<Interval, kQuantityCount> intervals{};
    bool readable = true;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const Field &field = m_fields[i];
        const QString text = field.edit->text();
        // Spaces alone look empty, and are read so.
        if (text.trimmed().isEmpty())
            continue;
        const std::string bytes = text.toStdString();
        std::int32_t value = 0;
        const IntTextStatus status = readIntText(bytes, value);
        if (status != IntTextStatus::Integer) {
            readable = false;
            if (errors)
                (*errors)[int(i)] =
                    fieldName(field.quantity, field.minimum) + QStringLiteral(" : ") +
                    QString::fromStdString(intTextMessage(status, bytes, quotedText(bytes))) +
                    QLatin1Char('.');
            continue;
        }
        Interval &interval = intervals[quantityIndex(field.quantity)];
        (field.minimum ? interval.lo : interval.hi) = value;
    }
    Wishes wishes;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const Interval &interval = intervals[quantityIndex(m_fields[i].quantity)];
        if (!interval.empty())
            continue;
        readable = false;
        if (errors)
            (*errors)[int(i)] = fieldName(m_fields[i].quantity) + QStringLiteral(" : ") +
                                QString::fromStdString(emptyIntervalReason(interval)) +
                                QLatin1Char('.');
    }
    if (!readable)
        return std::nullopt;
    for (Quantity quantity : kQuantities)
        wishes.set(quantity, intervals[quantityIndex(quantity)]);
    return wishes;
}

void PlanSearchDialog::search()
{
    QStringList errors;
    const std::optional<Wishes> wishes = readForm(&errors);
    showFormErrors(errors);
    searchFor(wishes);
}

void PlanSearchDialog::showFormErrors(const QStringList &errors)
{
    QStringList shown;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        markRefusedField(m_fields[i].edit, errors[int(i)]);
        // Both ends of an interval out of order carry the same message: it is said once.
        if (!errors[int(i)].isEmpty() && !shown.contains(errors[int(i)]))
            shown.append(errors[int(i)]);
    }
    m_formErrors->setText(shown.join(QLatin1Char('\n')));
    m_formErrors->setVisible(!shown.isEmpty());
}

void PlanSearchDialog::searchFor(const std::optional<Wishes> &wishes)
{
    if (wishes && m_problem)
        showPlans(findPlans(*m_problem, *wishes, kPlanLimit, m_strict->isChecked()));
    else
        showPlans({});
    showStatus(wishes);
}

void PlanSearchDialog::showStatus(const std::optional<Wishes> &wishes)
{
    QString status;
    const qsizetype count = qsizetype(plans().size());
    if (!m_problem)
        status = QStringLiteral("Aucune recherche : les équipes inscrites ne sont pas une valeur "
                                "entière.");
    else if (!wishes)
        status = QStringLiteral("Aucune recherche tant qu'un souhait est refusé.");
    else if (count == 0) {
        const std::optional<Count> nearest =
            m_strict->isChecked() ? bestDeviation(*m_problem, *wishes) : std::nullopt;
        status = nearest ? QStringLiteral("Aucun plan ne respecte tous les souhaits ; le plus "
                                          "proche a un écart de %1.")
                               .arg(countText(*nearest))
                         : QStringLiteral("Aucun plan : aucune valeur de E1 ne donne de solution "
                                          "avec ces équipes inscrites, cette finale et ces "
                                          "rapports.");
    } else {
        if (count == 1)
            status = QStringLiteral("1 plan trouvé.");
        else if (std::size_t(count) < kPlanLimit)
            status = QStringLiteral("%1 plans trouvés.").arg(count);
        else
            status = QStringLiteral("Les %1 plans les plus proches des souhaits.").arg(count);
        if (plans().front().deviation > 0)
            status += QStringLiteral(" Aucun ne respecte tous les souhaits : le plus proche a "
                                     "un écart de %1.")
                          .arg(countText(plans().front().deviation));
    }
    m_status->setText(status);
}

// The same plans keep the table's scrolling and selection.
void PlanSearchDialog::showPlans(std::vector<RankedPlan> plans)
{
    if (plans != m_model->plans())
        m_model->setPlans(std::move(plans));
}

void PlanSearchDialog::setWishes(const Wishes &wishes)
{
    m_filling = true;
    for (const Field &field : m_fields) {
        const Interval &interval = wishes.of(field.quantity);
        const std::optional<std::int32_t> &end = field.minimum ? interval.lo : interval.hi;
        field.edit->setText(end ? countText(*end) : QString());
    }
    m_filling = false;
    // The values themselves are searched: the fields only show them.
    showFormErrors(QStringList(int(m_fields.size()), QString()));
    runGuarded([this, wishes] { searchFor(wishes); });
}

void PlanSearchDialog::chooseRow(const QModelIndex &index)
{
    if (!index.isValid() || std::size_t(index.row()) >= plans().size())
        return;
    // A copy: a refresh before the choice replaces the rows.
    const RankedPlan plan = plans()[std::size_t(index.row())];
    runGuarded([&] { choose(plan); });
}

bool PlanSearchDialog::choose(RankedPlan plan)
{
    switch (bringRowsUpToDate(host(), m_problem, [this] { return refresh(Failure::Quiet); })) {
    case RowInputs::Failed:
        return false;
    case RowInputs::Refreshed:
        // The window keeps what it showed; the organiser must learn why nothing ran.
        if (std::find(plans().begin(), plans().end(), plan) == plans().end()) {
            m_status->setText(QStringLiteral("Ce plan n'existe plus pour %1 équipes : la liste "
                                             "est à jour.")
                                  .arg(countText(m_problem ? m_problem->registered : 0)));
            return false;
        }
        break;
    case RowInputs::Current:
        break;
    }
    return host().showPlan(plan.entrants1(), ShownSolution{plan.exemptionClass, plan.position});
}

PlanSearchDialog *openPlanSearch(FeatureHost &host, const std::optional<Wishes> &wishes)
{
    auto *dialog = FeatureWindow::open<PlanSearchDialog>(host, QStringLiteral("RecherchePlans"));
    if (!wishes)
        dialog->refresh();
    else if (dialog->takeProblem(FeatureHost::Failure::Report))
        dialog->setWishes(*wishes); // one search, for these wishes
    return dialog;
}

void installPlanSearch(FeatureHost &host)
{
    addFeatureAction(host, QStringLiteral("Rechercher un plan…"),
                     QStringLiteral("actionRecherchePlans"), QKeySequence(Qt::Key_F3),
                     [host = &host] { openPlanSearch(*host); });
}

} // namespace velmorin
