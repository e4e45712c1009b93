#pragma once

// The cup window's paper and files: a round's group sheets previewed for printing or saved as
// PDF, and the results page. Each save is atomic and says its own failure in a box.

#include "Cup.h"

#include <QDateTime>
#include <QString>

#include <optional>

class QWidget;

namespace velmorin {

// The print preview of the round's sheets; nothing when the round has none.
void previewRoundSheets(QWidget *parent, const Cup &cup, int round, const QString &cupName);
bool saveRoundSheetsPdf(QWidget *parent, const Cup &cup, int round, const QString &cupName,
                        const QString &fileName);
// The page as it stands at `madeAt`, which its title and heading give.
bool saveResultsPage(QWidget *parent, const Cup &cup, const QString &cupName,
                     const QString &fileName, const QDateTime &madeAt);

// The file the organiser picks for each; none when cancelled.
std::optional<QString> askRoundSheetsPdfName(QWidget *parent, int round);
std::optional<QString> askResultsPageName(QWidget *parent);

} // namespace velmorin
