#pragma once

// The search for a plan beside the main window: the organiser writes the entrant counts and
// round sizes they wish (each an optional minimum and maximum), and the plans that fit best,
// over every round-1 entrant count, class and solution, are listed as they type. Choosing
// one shows it in the main window, as "Calcul" and the class's slider would.

#include "FeatureWindow.h"
#include "PlanSearch.h"
#include "Wishes.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTableView;

namespace velmorin {

class PlanTableModel;

class PlanSearchDialog : public FeatureWindow
{
    Q_OBJECT

public:
    explicit PlanSearchDialog(FeatureHost &host);

    using Failure = FeatureHost::Failure;

    // The most plans the table lists: enough to choose from, few enough to follow typing.
    static constexpr std::size_t kPlanLimit = 100;

    // Reads the window's inputs and lists their plans. When the registered teams are not an
    // integer the content stays as it was; returns whether it was refreshed.
    bool refresh(Failure failure = Failure::Report);
    // Reads the window's inputs for the next search, without searching; whether they were
    // read.
    bool takeProblem(Failure failure);

    // The wishes the form holds; none while one of its texts is refused.
    std::optional<Wishes> formWishes() const;

    // Shows the plan in the main window, once sure the inputs are still those it was found
    // for; returns whether it is shown.
    bool choose(RankedPlan plan);

    const std::vector<RankedPlan> &plans() const;

public slots:
    // Writes the wishes into the form (what they leave open empty) and lists their plans.
    void setWishes(const velmorin::Wishes &wishes);

private:
    // A field's place in the form: the quantity it bounds and which end.
    struct Field
    {
        Quantity quantity;
        bool minimum;
        QLineEdit *edit;
    };

    void buildForm(QGridLayout *grid);
    void search();
    void showFormErrors(const QStringList &errors);
    void searchFor(const std::optional<Wishes> &wishes);
    std::optional<Wishes> readForm(QStringList *errors) const;
    void showPlans(std::vector<RankedPlan> plans);
    void showStatus(const std::optional<Wishes> &wishes);
    void chooseRow(const QModelIndex &index);

    std::optional<Problem> m_problem; // the inputs the plans were found for; E1 aside
    bool m_filling = false;           // setWishes writes several fields: one search at the end

    std::vector<Field> m_fields;
    QLabel *m_inputs = nullptr;
    QLabel *m_formErrors = nullptr;
    QCheckBox *m_strict = nullptr;
    QLabel *m_status = nullptr;
    QTableView *m_table = nullptr;
    PlanTableModel *m_model = nullptr;
};

// Opens the window's search dialog (one per window, made on first use), raises it and
// searches the window's inputs for `wishes` (none: the wishes its form holds).
PlanSearchDialog *openPlanSearch(FeatureHost &host,
                                 const std::optional<Wishes> &wishes = std::nullopt);

// Adds the action "Rechercher un plan…" (F3) to the window; it opens the dialog.
void installPlanSearch(FeatureHost &host);

} // namespace velmorin
