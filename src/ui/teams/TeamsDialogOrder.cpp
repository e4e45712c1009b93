// The teams' dialog: the levels' order, strongest first, changed with "Monter" and
// "Descendre", and what the dialog says of the order and of the levels' numbers.

#include "TeamsDialog.h"

#include "ClassAppearance.h"
#include "CupSession.h"
#include "Named.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>

namespace velmorin {

void TeamsDialog::buildLevelOrderControls()
{
    m_levelUp = new QPushButton(QStringLiteral("Monter"), this);
    m_levelUp->setObjectName(QStringLiteral("MonterNiveau"));
    m_levelUp->setToolTip(QStringLiteral("Rend le niveau choisi plus fort que celui du dessus "
                                         "(Ctrl+Haut) ; les tours restent à leur ligne"));
    m_levelDown = new QPushButton(QStringLiteral("Descendre"), this);
    m_levelDown->setObjectName(QStringLiteral("DescendreNiveau"));
    m_levelDown->setToolTip(QStringLiteral("Rend le niveau choisi plus faible que celui du "
                                           "dessous (Ctrl+Bas) ; les tours restent à leur ligne"));
    m_orderLabel = named(new QLabel(this), QStringLiteral("OrdreNiveaux"),
                         QStringLiteral("L'ordre des niveaux, du plus fort au plus faible, "
                                        "qui classe les équipes"));
    m_orderLabel->setWordWrap(true);
    m_gapLabel = named(new QLabel(this), QStringLiteral("SautNiveaux"),
                       QStringLiteral("Les tours des niveaux suivent leur rang, pas leur "
                                      "numéro"));
    m_gapLabel->setWordWrap(true);
    m_gapLabel->hide();

    const auto move = [this](int step) { runGuarded([this, step] { moveCurrentLevel(step); }); };
    connect(m_levelUp, &QPushButton::clicked, this, [move] { move(-1); });
    connect(m_levelDown, &QPushButton::clicked, this, [move] { move(1); });
    for (const auto &[key, step] : {std::pair{Qt::Key_Up, -1}, std::pair{Qt::Key_Down, 1}}) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), m_levels);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [move, step = step] { move(step); });
    }
    connect(m_levels, &QTableWidget::currentCellChanged, this, &TeamsDialog::updateMoveButtons);
}

bool TeamsDialog::moveLevel(int row, int step)
{
    if (row < 0 || (step != -1 && step != 1) || teamsLocked())
        return false;
    const int stronger = step < 0 ? row - 1 : row;
    if (stronger < 0 || !m_mapping.swapWithNext(std::size_t(stronger)))
        return false;
    showLevels();
    m_levels->setCurrentCell(row + step, 0);
    followPlan(); // the ranking follows the order
    reportTeams();
    return true;
}

void TeamsDialog::moveCurrentLevel(int step)
{
    // A round's chooser with the focus names its row, whichever row is current.
    int row = m_levels->currentRow();
    bool onChooser = false;
    for (int r = 0; r < m_levels->rowCount(); ++r) {
        if (m_levels->cellWidget(r, 2) && m_levels->cellWidget(r, 2) == focusWidget()) {
            row = r;
            onChooser = true;
        }
    }
    // The table is built again: the focus follows the moved level's chooser.
    if (moveLevel(row, step) && onChooser)
        m_levels->cellWidget(row + step, 2)->setFocus();
}

void TeamsDialog::updateMoveButtons()
{
    const int row = m_levels->currentRow();
    const int ordered = int(m_mapping.order().levels().size());
    const bool writable = CupSession::of(host()).teamsLockedReason().isEmpty();
    m_levelUp->setEnabled(writable && row > 0 && row < ordered);
    m_levelDown->setEnabled(writable && row >= 0 && row + 1 < ordered);
}

void TeamsDialog::showLevelNotes()
{
    const LevelOrder &order = m_mapping.order();
    if (!m_list)
        m_orderLabel->clear();
    else if (order.chosen())
        m_orderLabel->setText(QStringLiteral("Ordre des niveaux : le vôtre, du plus fort (en "
                                             "haut) au plus faible."));
    else if (order.hasNames())
        m_orderLabel->setText(QStringLiteral("Ordre des niveaux : les numéros croissants, puis "
                                             "les noms dans l'ordre de la liste ; « Monter » et "
                                             "« Descendre » le changent."));
    else
        m_orderLabel->setText(QStringLiteral("Ordre des niveaux : les numéros croissants, le 1 "
                                             "le plus fort."));
    const QString gaps = toQString(levelGapNote(order));
    m_gapLabel->setText(gaps);
    m_gapLabel->setVisible(!gaps.isEmpty());
    updateMoveButtons();
}

} // namespace velmorin
