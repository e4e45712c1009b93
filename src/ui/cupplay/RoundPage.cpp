#include "RoundPage.h"

#include "CupPlayText.h"
#include "RoundGamesModel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace velmorin {

namespace {

constexpr std::size_t kMeetingsShown = 40; // past them, a count: the list would push the games away

// No key typed opens the score (1 and 2 name the winner in every column).
const QAbstractItemView::EditTriggers kEntryTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed;

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

RoundPage::RoundPage(int round, std::function<const Cup *()> cup, QWidget *parent)
    : QWidget(parent), m_round(round), m_cup(std::move(cup))
{
    auto *layout = new QVBoxLayout(this);
    if (round == 4) {
        m_exemptedText = new QLabel(this);
        m_exemptedText->setObjectName(QStringLiteral("TexteExemptees"));
        m_exemptedText->setWordWrap(true);
        m_exemptedText->setToolTip(QStringLiteral("Les équipes qui ne jouent pas le Tour 4 "
                                                  "et passent au Tour 5"));
        m_exemptedList = new QListWidget(this);
        m_exemptedList->setObjectName(QStringLiteral("ExempteesTour4"));
        m_exemptedList->setToolTip(QStringLiteral("Cochez les équipes exemptées du Tour 4 ; "
                                                  "le choix se fait avant son tirage"));
        m_exemptedList->setMaximumHeight(110);
        layout->addWidget(m_exemptedText);
        layout->addWidget(m_exemptedList);
        connect(m_exemptedList, &QListWidget::itemChanged, this,
                [this](QListWidgetItem *item) { exemptedToggled(item); });
    }
    m_model = new RoundGamesModel(round, m_cup, this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("TableParties"));
    m_table->setToolTip(QStringLiteral(
        "1 ou A : l'équipe A gagne ; 2 ou B : l'équipe B gagne ; S : le score (13-7) ; "
        "F puis 1 ou 2 : forfait ; Entrée : partie suivante sans résultat"));
    m_table->setModel(m_model);
    // A delegate of its own: the views' shared default would send a score typed in one
    // page's table to another's.
    m_table->setItemDelegate(new QStyledItemDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(kEntryTriggers);
    m_table->verticalHeader()->hide();
    // Fixed row heights and column widths: a round of thousands of games never measures
    // its rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Tab leaves the table for the buttons; the arrows move from game to game.
    m_table->setTabKeyNavigation(false);
    m_table->viewport()->installEventFilter(this);
    connect(m_model, &RoundGamesModel::scoreEntered, this, &RoundPage::scoreEntered);
    layout->addWidget(m_table, 1);
    m_meetings = new QLabel(this);
    m_meetings->setObjectName(QStringLiteral("RencontresClubs"));
    m_meetings->setWordWrap(true);
    m_meetings->setToolTip(QStringLiteral("Les équipes d'un même club que le tirage n'a "
                                          "pas pu séparer"));
    layout->addWidget(m_meetings);
}

std::vector<int> sharedWidths(int width, const std::vector<int> &minimum,
                              const std::vector<int> &weight)
{
    std::vector<int> widths = minimum;
    int left = width;
    int weights = 0;
    for (std::size_t c = 0; c < minimum.size(); ++c) {
        left -= minimum[c];
        weights += weight[c];
    }
    if (left <= 0 || weights == 0)
        return widths;
    int given = 0;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const int share = int(qint64(left) * weight[c] / weights);
        widths[c] += share;
        given += share;
    }
    const auto heaviest = std::max_element(weight.begin(), weight.end()) - weight.begin();
    widths[std::size_t(heaviest)] += left - given;
    return widths;
}

bool RoundPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        shareColumns();
    return QWidget::eventFilter(watched, event);
}

void RoundPage::shareColumns()
{
    // Minimums from the font, never from the rows: a round of thousands of games is not
    // measured. Names weigh most, then the clubs and the winner.
    const QFontMetrics metrics(m_table->font());
    const int character = metrics.averageCharWidth();
    const auto header = [&](int column) {
        return metrics.horizontalAdvance(m_model->headerData(column, Qt::Horizontal).toString()) +
               2 * character + 8;
    };
    std::vector<int> minimum(RoundGamesModel::ColumnCount);
    std::vector<int> weight(RoundGamesModel::ColumnCount, 0);
    for (int column = 0; column < RoundGamesModel::ColumnCount; ++column)
        minimum[std::size_t(column)] = header(column);
    for (const int name : {RoundGamesModel::TeamA, RoundGamesModel::TeamB}) {
        minimum[std::size_t(name)] = std::max(minimum[std::size_t(name)], 12 * character);
        weight[std::size_t(name)] = 4;
    }
    for (const int other :
         {RoundGamesModel::ClubA, RoundGamesModel::ClubB, RoundGamesModel::Winner}) {
        minimum[std::size_t(other)] = std::max(minimum[std::size_t(other)], 8 * character);
        weight[std::size_t(other)] = 3;
    }
    minimum[RoundGamesModel::Game] =
        std::max(minimum[RoundGamesModel::Game],
                 metrics.horizontalAdvance(QStringLiteral("Barrage")) + 2 * character);
    minimum[RoundGamesModel::ScoreColumn] =
        std::max(minimum[RoundGamesModel::ScoreColumn],
                 metrics.horizontalAdvance(QStringLiteral("999-999")) + 12);
    const std::vector<int> widths = sharedWidths(m_table->viewport()->width(), minimum, weight);
    for (int column = 0; column < RoundGamesModel::ColumnCount; ++column)
        m_table->setColumnWidth(column, widths[std::size_t(column)]);
}

void RoundPage::refresh(bool writable)
{
    m_model->refresh();
    m_table->setEditTriggers(writable ? kEntryTriggers : QAbstractItemView::NoEditTriggers);
    if (m_exemptedList)
        m_exemptedList->setEnabled(writable);
    updateMeetings();
    updateExempted();
}

void RoundPage::updateMeetings()
{
    const Cup *c = m_cup();
    const std::string line = c ? meetingsLine(*c, m_round, kMeetingsShown) : std::string();
    m_meetings->setVisible(!line.empty());
    m_meetings->setText(text(line));
}

void RoundPage::updateExempted()
{
    if (!m_exemptedList)
        return;
    const Cup *c = m_cup();
    const std::string line = c ? exemptedLine(*c) : std::string();
    m_exemptedText->setVisible(!line.empty());
    m_exemptedText->setText(text(line));
    const std::vector<int> playing =
        !line.empty() && !c->isDrawn(4) ? c->participants(4) : std::vector<int>{};
    m_exemptedList->setVisible(!playing.empty());
    if (line.empty())
        return;
    const QSignalBlocker quiet(m_exemptedList);
    if (playing != m_exemptedChoices) {
        m_exemptedChoices = playing;
        m_exemptedList->clear();
        for (const int team : playing) {
            const CupTeam &t = c->teams()[std::size_t(team)];
            auto *item = new QListWidgetItem(
                t.club.empty() ? text(t.name) : text(t.name + " — " + t.club), m_exemptedList);
            item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
    }
    const std::vector<int> exempted = c->exemptedTeams();
    for (int k = 0; k < m_exemptedList->count(); ++k) {
        const bool checked = std::find(exempted.begin(), exempted.end(),
                                       m_exemptedChoices[std::size_t(k)]) != exempted.end();
        m_exemptedList->item(k)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void RoundPage::exemptedToggled(QListWidgetItem *item)
{
    const Cup *c = m_cup();
    if (!c)
        return;
    std::vector<int> chosen;
    for (int k = 0; k < m_exemptedList->count(); ++k)
        if (m_exemptedList->item(k)->checkState() == Qt::Checked)
            chosen.push_back(m_exemptedChoices[std::size_t(k)]);
    // Checking one more than the plan exempts replaces the one checked before it.
    if (int(chosen.size()) > c->layout().exempted && item->checkState() == Qt::Checked) {
        const int added = m_exemptedChoices[std::size_t(m_exemptedList->row(item))];
        const std::vector<int> before = c->exemptedTeams();
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                    [&](int team) {
                                        return team != added && !before.empty() &&
                                               team == before.front();
                                    }),
                     chosen.end());
    }
    if (int(chosen.size()) != c->layout().exempted) {
        updateExempted();
        emit exemptedRefused(text(exemptedCountRefusal(*c)));
        return;
    }
    std::sort(chosen.begin(), chosen.end());
    emit exemptedChosen(chosen);
    updateExempted();
}

} // namespace velmorin
