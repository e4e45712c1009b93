#include "OverviewDialog.h"

#include "ClassAppearance.h"
#include "Contrast.h"
#include "FeatureRows.h"
#include "OverviewChart.h"
#include "Placement.h"
#include "Plan.h"
#include "ReflowLayout.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace velmorin {

namespace {

// The table's columns: E1, then the classes in run order.
constexpr int kColumns = 4;

// An E1 past the up-down's maximum: the window shows its plan all the same, but the organiser
// should know the up-down does not reach it.
QString entrantsText(Count entrants1, Count upDownBound)
{
    return entrants1 > upDownBound ? countText(entrants1) + QLatin1Char('*') : countText(entrants1);
}

} // namespace

OverviewDialog::OverviewDialog(FeatureHost &host)
    : FeatureWindow(host, QStringLiteral("VueEnsemble"), QStringLiteral("ensemble"))
{
    setWindowTitle(QStringLiteral("Vue d'ensemble des entrées au Tour 1"));
    // Class 3 black and class 2 blue, readable under a dark scheme too.
    keepReadable({classColour(ExemptionClass::Class3), classColour(ExemptionClass::Class2)});

    m_inputs = new QLabel(this);
    m_inputs->setObjectName(QStringLiteral("EntreesEnsemble"));
    m_inputs->setToolTip(QStringLiteral("Les données de la fenêtre principale que la vue suit"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("ResumeEnsemble"));
    m_summary->setWordWrap(true);

    m_chart = new OverviewChart(this);
    m_chart->setObjectName(QStringLiteral("GraphiqueEnsemble"));
    m_chart->setToolTip(QStringLiteral("Solutions de chaque classe pour chaque nombre "
                                       "d'entrantes au Tour 1 — un clic sur une barre "
                                       "calcule avec ce nombre"));

    m_model = new QStandardItemModel(0, kColumns, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("E1"), QStringLiteral("Classe 3"),
                                        QStringLiteral("Classe 2"), QStringLiteral("Classe 1")});
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("TableEnsemble"));
    m_table->setToolTip(QStringLiteral("Nombre de solutions de chaque classe pour chaque nombre "
                                       "d'entrantes au Tour 1 (E1) — double-clic ou Entrée "
                                       "pour calculer avec ce nombre"));
    setUpRowTable(m_table, m_model);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitTableWidth();

    auto *hint = new QLabel(
        QStringLiteral("Double-clic ou Entrée sur une ligne, ou clic sur une barre : calcul "
                       "avec ce nombre d'entrants au Tour 1."),
        this);
    hint->setWordWrap(true);

    // The table goes below the chart in a narrow window.
    auto *views = new ReflowLayout;
    views->addWidget(m_chart, 1);
    views->addWidget(m_table);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_inputs);
    layout->addWidget(m_summary);
    layout->addLayout(views, 1);
    layout->addWidget(hint);
    resize(960, 460);

    connect(m_table, &QTableView::activated, this, &OverviewDialog::chooseRow);
    // The choice runs once the click is over: new rows replace the bar that was clicked,
    // which must not go while it still handles its mouse release.
    connect(m_chart, &OverviewChart::barClicked, this, [this](int index) {
        if (index < 0 || std::size_t(index) >= m_rows.size())
            return;
        const Count entrants1 = m_rows[std::size_t(index)].entrants1;
        QMetaObject::invokeMethod(
            this, [this, entrants1] { runGuarded([&] { choose(entrants1); }); },
            Qt::QueuedConnection);
    });
    // Quiet: the window's own handlers report a bad registered-teams text.
    followHostInputs([this] { refresh(Failure::Quiet); });
}

// Polished, the table knows its style's frame and scroll bar.
void OverviewDialog::showEvent(QShowEvent *event)
{
    fitTableWidth();
    QDialog::showEvent(event);
}

// Wide enough for its four columns and a vertical scroll bar: it never scrolls sideways
// and the scroll bar never covers "Classe 1".
void OverviewDialog::fitTableWidth()
{
    m_table->resizeColumnsToContents();
    int width = 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kColumns; ++c)
        width += m_table->horizontalHeader()->sectionSize(c);
    m_table->setFixedWidth(width);
}

bool OverviewDialog::refresh(Failure failure)
{
    const std::optional<Problem> problem = host().currentProblem(failure);
    if (!problem)
        return false;

    Overview overview(*problem);
    std::vector<OverviewRow> rows;
    while (const std::optional<OverviewRow> row = overview.next())
        rows.push_back(*row);

    m_inputs->setText(toQString(problemInputsText(*problem)));
    if (rows.empty()) {
        m_summary->setText(QStringLiteral("Aucun nombre d'entrants au Tour 1 ne donne de "
                                          "solution pour ces entrées."));
    } else {
        QString summary = QString::fromStdString(overviewSummary(overview, Count(rows.size()))) +
                          QLatin1Char('.');
        if (rows.back().entrants1 > overview.upDownBound())
            summary += QStringLiteral(" Les valeurs marquées * dépassent ce que propose la flèche "
                                      "de E1 : les choisir affiche quand même leur plan.");
        m_summary->setText(summary);
    }
    m_upDownBound = overview.upDownBound();
    showRows(std::move(rows));
    m_problem = problem;
    selectEntrants1(problem->entrants1);
    return true;
}

void OverviewDialog::showRows(std::vector<OverviewRow> rows)
{
    // Unchanged rows keep the table's scrolling and the chart as they are.
    if (rows != m_rows || m_model->rowCount() != int(m_rows.size()) ||
        m_shownBound != m_upDownBound) {
        m_shownBound = m_upDownBound;
        m_rows = std::move(rows);
        m_model->setRowCount(0);
        QStringList labels;
        for (const OverviewRow &row : m_rows) {
            QStandardItem *entrants = countItem(row.entrants1);
            if (row.entrants1 > m_upDownBound) {
                entrants->setText(entrantsText(row.entrants1, m_upDownBound));
                entrants->setToolTip(QStringLiteral("Au-delà du maximum de la flèche de E1 (%1)")
                                         .arg(countText(std::max<Count>(m_upDownBound, 0))));
            }
            labels << entrants->text();
            QList<QStandardItem *> items{entrants};
            for (ExemptionClass k : kRunOrder) {
                QStandardItem *item = countItem(row.count(k));
                item->setForeground(classColour(k));
                items.append(item);
            }
            m_model->appendRow(items);
        }
        m_chart->setRows(m_rows, labels);
        fitTableWidth();
    }
}

bool OverviewDialog::hasRow(Count entrants1) const
{
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [entrants1](const OverviewRow &r) { return r.entrants1 == entrants1; });
}

// The row of the E1 the window holds, if it has one.
void OverviewDialog::selectEntrants1(Count entrants1)
{
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [entrants1](const auto &r) {
        return r.entrants1 == entrants1;
    });
    if (found != m_rows.end())
        m_table->selectRow(int(found - m_rows.begin()));
    else
        m_table->clearSelection();
}

void OverviewDialog::chooseRow(const QModelIndex &index)
{
    if (index.isValid() && std::size_t(index.row()) < m_rows.size()) {
        const Count entrants1 = m_rows[std::size_t(index.row())].entrants1;
        runGuarded([&] { choose(entrants1); });
    }
}

// The rows cover every E1, so the window's own E1 does not make them stale.
bool OverviewDialog::choose(Count entrants1)
{
    switch (bringRowsUpToDate(host(), m_problem, [this] { return refresh(Failure::Quiet); })) {
    case RowInputs::Failed:
        return false;
    case RowInputs::Refreshed:
        if (!hasRow(entrants1))
            return false;
        break;
    case RowInputs::Current:
        break;
    }
    return host().showPlan(entrants1);
}

void installOverview(FeatureHost &host)
{
    addFeatureAction(
        host, QStringLiteral("Vue d'ensemble…"), QStringLiteral("actionVueEnsemble"),
        QKeySequence(Qt::Key_F2), [host = &host] {
            FeatureWindow::open<OverviewDialog>(*host, QStringLiteral("VueEnsemble"))->refresh();
        });
}

} // namespace velmorin
