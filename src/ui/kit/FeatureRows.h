#pragma once

// What the features' tables of rows share: their cells, their selection, and the check that
// rows computed from the host's inputs still answer them before one is acted on.

#include "Calculation.h"
#include "FeatureHost.h"

#include <functional>
#include <optional>

class QAbstractItemModel;
class QLineEdit;
class QStandardItem;
class QTableView;

namespace velmorin {

// A count as the tables and messages write it: plain decimal.
QString countText(Count value);

// A count, right-aligned, in a cell the user cannot edit.
QStandardItem *countItem(Count value);

// The property holding a field's usual hint, shown while its text is accepted.
inline constexpr const char *kHintProperty = "hint";

// Outlines a field whose text is refused, the reason as its tooltip; an empty message gives
// it back its usual look and hint.
void markRefusedField(QLineEdit *edit, const QString &message);

// A table of read-only rows, chosen a whole row at a time, without row numbers.
void setUpRowTable(QTableView *table, QAbstractItemModel *model);

enum class RowInputs {
    Current,   // the rows answer the window's inputs
    Refreshed, // they did not: the inputs were taken in and the rows recomputed
    Failed     // the inputs could not be read, or the rows not recomputed
};

// Before a dialog acts on a row computed from `shown` (the window's inputs then, E1 aside:
// the rows cover every E1): when the inputs changed since, or Effectif holds a text not yet
// taken in, takes them in as leaving Effectif would and runs `refresh`. After Refreshed the
// caller acts only if its row is still there.
RowInputs bringRowsUpToDate(FeatureHost &host, const std::optional<Problem> &shown,
                            const std::function<bool()> &refresh);

} // namespace velmorin
