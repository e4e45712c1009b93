#include "FeatureRows.h"

#include "ClassAppearance.h"
#include "IntText.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLineEdit>
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

// A red frame, and the message where the pointer and screen readers find it, in place of the
// hint. No box: the user is still typing.
void markRefusedField(QLineEdit *edit, const QString &message)
{
    const QString said = message.isEmpty() ? edit->property(kHintProperty).toString() : message;
    if (edit->toolTip() == said)
        return;
    edit->setStyleSheet(message.isEmpty() ? QString()
                                          : QStringLiteral("QLineEdit { border: 2px solid %1; }")
                                                .arg(classColour(ExemptionClass::Class1).name()));
    edit->setToolTip(said);
    edit->setAccessibleDescription(said);
}

void setUpRowTable(QTableView *table, QAbstractItemModel *model)
{
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
}

RowInputs bringRowsUpToDate(FeatureHost &host, const std::optional<Problem> &shown,
                            const std::function<bool()> &refresh)
{
    using Failure = FeatureHost::Failure;
    std::optional<Problem> now = host.currentProblem(Failure::Quiet);
    if (shown && now && !host.registeredTeamsPending()) {
        now->entrants1 = shown->entrants1;
        if (*now == *shown)
            return RowInputs::Current;
    }
    // Rows computed for other inputs never run with these: the registered teams are taken
    // in as leaving Effectif would, and the user sees the new rows first.
    if ((host.registeredTeamsPending() || !now) && !host.leaveRegisteredTeams())
        return RowInputs::Failed;
    return refresh() ? RowInputs::Refreshed : RowInputs::Failed;
}

} // namespace velmorin
