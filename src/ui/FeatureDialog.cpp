#include "FeatureDialog.h"

#include "IntText.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QStandardItem>
#include <QTableView>

namespace velmorin {

QString countText(Count value)
{
    return QString::fromStdString(IntToStr(value));
}

QStandardItem *countItem(Count value)
{
    auto *item = new QStandardItem(countText(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setEditable(false);
    return item;
}

void setUpRowTable(QTableView *table, QAbstractItemModel *model)
{
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
}

void followWindowInputs(QDialog *dialog, TVlmFPrg *window, const std::function<void()> &refresh)
{
    const auto whileShown = [dialog, refresh] {
        if (dialog->isVisible())
            refresh();
    };
    QObject::connect(window, &TVlmFPrg::calculated, dialog, whileShown);
    QObject::connect(window, &TVlmFPrg::inputsChanged, dialog, whileShown);
}

RowInputs bringRowsUpToDate(TVlmFPrg *window, const std::optional<Problem> &shown,
                            const std::function<bool()> &refresh)
{
    using Failure = TVlmFPrg::Failure;
    std::optional<Problem> now = window->currentProblem(Failure::Quiet);
    if (shown && now && !window->registeredTeamsPending()) {
        now->entrants1 = shown->entrants1;
        if (*now == *shown)
            return RowInputs::Current;
    }
    // Rows computed for other inputs never run with these: the registered teams are taken
    // in as leaving Effectif would, and the user sees the new rows first.
    if ((window->registeredTeamsPending() || !now) && !window->leaveRegisteredTeams())
        return RowInputs::Failed;
    return refresh() ? RowInputs::Refreshed : RowInputs::Failed;
}

} // namespace velmorin
