// SPDX-License-Identifier: MIT
// The statistics window (成績の分析): the hundred poems with their figures,
// and charts of the games over time and of reactions by decisive characters.
#include "ui/statistics/statistics_window.h"

#include "ui/shell/platform.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace nupew {
namespace {

const QColor kAnswerColor(0, 0, 128);
const QColor kReactionColor(200, 0, 0);

QChart *NewChart(const QString &title) {
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(NamedFont(kPGothic, 10));
    chart->legend()->setFont(NamedFont(kPGothic, 9));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

// Takes the series and axes of the last figures away before new ones are drawn.
void ClearChart(QChart *chart) {
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

QValueAxis *SecondsAxis(double top) {
    auto *axis = new QValueAxis;
    axis->setTitleText(StatisticsWindow::tr("秒"));
    axis->setTitleFont(NamedFont(kPGothic, 9));
    axis->setLabelsFont(NamedFont(kPGothic, 8));
    axis->setLabelFormat(QStringLiteral("%.1f"));
    axis->setRange(0, std::max(1.0, top * 1.1));
    axis->applyNiceNumbers();
    return axis;
}

} // namespace

StatisticsWindow::StatisticsWindow(const PoemCatalogue &catalogue, const DecisiveTable &decisive,
                                   QWidget *parent)
    : QWidget(parent), model_(catalogue, decisive) {
    setObjectName(QStringLiteral("statisticsWindow"));
    setWindowTitle(tr("成績の分析"));
    setWindowIcon(Picture(QStringLiteral("tool10")));
    setFont(NamedFont(kPGothic, 9));
    resize(1000, 780);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("poemTable"));
    table_->setModel(&model_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(PoemStatisticsModel::Number, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(PoemStatisticsModel::Beginning,
                                                     QHeaderView::Stretch);

    gamesChart_ = new QChartView(NewChart(tr("ゲームごとの平均タイムと平均反応時間")));
    gamesChart_->setObjectName(QStringLiteral("gamesChart"));
    gamesChart_->setRenderHint(QPainter::Antialiasing);
    countChart_ = new QChartView(NewChart(tr("決まり字の数と平均反応時間")));
    countChart_->setObjectName(QStringLiteral("countChart"));
    countChart_->setRenderHint(QPainter::Antialiasing);

    dueChart_ = new QChartView(NewChart(tr("苦手な歌の練習: 今日から2週間の出題")));
    dueChart_->setObjectName(QStringLiteral("dueChart"));
    dueChart_->setMinimumSize(340, 240);
    outlook_ = new QLabel(this);
    outlook_->setObjectName(QStringLiteral("outlook"));
    outlook_->setWordWrap(true);
    outlook_->setTextFormat(Qt::PlainText);
    auto *deck = new QWidget;
    auto *deckLayout = new QVBoxLayout(deck);
    deckLayout->setContentsMargins(0, 0, 0, 0);
    deckLayout->addWidget(dueChart_, 1);
    deckLayout->addWidget(outlook_);

    auto *charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(gamesChart_);
    charts->addWidget(countChart_);
    charts->addWidget(deck);
    charts->setSizes({380, 260, 360});
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(table_);
    split->addWidget(charts);
    split->setSizes({420, 320});
    gamesChart_->setMinimumSize(360, 240);
    countChart_->setMinimumSize(280, 240);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setTextFormat(Qt::PlainText);
    auto *copy = new QPushButton(tr("コピー(&C)"), this);
    copy->setObjectName(QStringLiteral("copyButton"));
    connect(copy, &QPushButton::clicked, this, &StatisticsWindow::CopySelection);
    auto *csv = new QPushButton(tr("CSVに書き出す(&E)..."), this);
    csv->setObjectName(QStringLiteral("exportButton"));
    connect(csv, &QPushButton::clicked, this, &StatisticsWindow::exportWanted);
    auto *close = new QPushButton(tr("閉じる(&X)"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    // The poems' figures of all answers, or only of those shown as text or read aloud.
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("answerKind"));
    kind_->addItem(tr("すべての回答"), int(AnswerKind::All));
    kind_->addItem(tr("文字で表示した回答"), int(AnswerKind::Text));
    kind_->addItem(tr("読み上げた回答"), int(AnswerKind::Voice));
    kind_->setAccessibleName(tr("表に数える回答"));
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { emit kindChanged(Kind()); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(kind_);
    buttons->addWidget(note_, 1);
    buttons->addWidget(copy);
    buttons->addWidget(csv);
    buttons->addWidget(close);
    // The matches, as a coach reads them.
    matchesChart_ = new QChartView(NewChart(tr("試合ごとの札の差 (相手の残り札 − 自分の残り札)")));
    matchesChart_->setObjectName(QStringLiteral("matchesChart"));
    matchesChart_->setRenderHint(QPainter::Antialiasing);
    matchesChart_->setMinimumSize(360, 220);
    matchesChart_->setAccessibleDescription(
        tr("試合ごとの札の差。試合の数と勝ち負けは上の文に、取りの数字は左の表にあります。"));
    coachTable_ = new QTableWidget(0, 4, this);
    coachTable_->setObjectName(QStringLiteral("coachTable"));
    coachTable_->setHorizontalHeaderLabels(
        {tr("札の場所・決まり字"), tr("読まれた札"), tr("取った割合"), tr("平均反応時間")});
    coachTable_->verticalHeader()->hide();
    coachTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    coachTable_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    matchSummary_ = new QLabel(this);
    matchSummary_->setObjectName(QStringLiteral("matchSummary"));
    matchSummary_->setWordWrap(true);
    matchSummary_->setTextFormat(Qt::PlainText);
    auto *coach = new QWidget;
    auto *coachLayout = new QVBoxLayout(coach);
    coachLayout->addWidget(matchSummary_);
    auto *coachSplit = new QSplitter(Qt::Horizontal);
    coachSplit->addWidget(coachTable_);
    coachSplit->addWidget(matchesChart_);
    coachSplit->setSizes({480, 500});
    coachLayout->addWidget(coachSplit, 1);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("statisticsTabs"));
    tabs_->addTab(split, tr("歌とゲーム"));
    tabs_->addTab(coach, tr("競技"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);
}

void StatisticsWindow::SetMatchStatistics(const MatchStatistics &statistics, const QString &note) {
    int won = 0;
    int lost = 0;
    int unfinished = 0;
    for (const MatchStatistics::Played &m : statistics.matches) {
        won += m.winner == match::Side::Player;
        lost += m.winner == match::Side::Opponent;
        unfinished += !m.finished;
    }
    const auto percent = [](std::optional<double> v) {
        return v ? QStringLiteral("%1 %").arg(*v * 100, 0, 'f', 0) : QStringLiteral("—");
    };
    const auto seconds = [this](std::optional<double> v) {
        return v ? tr("%1 秒").arg(*v, 0, 'f', 2) : QStringLiteral("—");
    };
    QStringList taken;
    for (qsizetype i = 0; i < statistics.takenFromPlayer.size() && i < 5; ++i) {
        const auto &[poem, times] = statistics.takenFromPlayer[i];
        taken << tr("%1番 %2回").arg(poem.number()).arg(times);
    }
    matchSummary_->setText(
        !note.isEmpty() ? note
        : statistics.matches.isEmpty()
            ? tr("競技の記録はまだありません。")
            : tr("試合 %1 回: 勝ち %2・負け %3・途中で終えた試合 %4。お手つき: 出札のない陣 "
                 "%5 回、空札 %6 回。")
                      .arg(statistics.matches.size())
                      .arg(won)
                      .arg(lost)
                      .arg(unfinished)
                      .arg(statistics.wrongTerritory)
                      .arg(statistics.emptyCard) +
                  (taken.isEmpty() ? QString()
                                   : tr("\n相手によく取られた自陣の札: %1")
                                         .arg(taken.join(QStringLiteral("、")))));

    struct Line {
        QString name;
        const TakeFigures *figures;
    };
    QList<Line> lines{{tr("自陣"), &statistics.byTerritory[0]},
                      {tr("敵陣"), &statistics.byTerritory[1]},
                      {tr("上段"), &statistics.byRow[0]},
                      {tr("中段"), &statistics.byRow[1]},
                      {tr("下段"), &statistics.byRow[2]}};
    for (size_t count = 1; count < kByCount; ++count) {
        lines.append({tr("いまの決まり字 %1 字").arg(count), &statistics.byDecisive[count]});
    }
    lines.append({tr("試合中に決まり字が短くなった札"), &statistics.shrank});
    coachTable_->setRowCount(int(lines.size()));
    for (int r = 0; r < int(lines.size()); ++r) {
        const TakeFigures &f = *lines[r].figures;
        const QStringList cells{lines[r].name, QString::number(f.readings), percent(f.Rate()),
                                seconds(f.MeanReaction())};
        for (int c = 0; c < int(cells.size()); ++c) {
            coachTable_->setItem(r, c, new QTableWidgetItem(cells[c]));
        }
    }
    coachTable_->resizeColumnsToContents();

    // A chart of its own each time: axes removed from a chart whose view was
    // never shown stay drawn.
    QChart *old = matchesChart_->chart();
    QChart *chart = NewChart(old->title());
    matchesChart_->setChart(chart);
    delete old;
    auto *wonSeries = new QScatterSeries;
    wonSeries->setName(tr("勝ち"));
    wonSeries->setColor(kReactionColor);
    wonSeries->setMarkerSize(8);
    auto *lostSeries = new QScatterSeries;
    lostSeries->setName(tr("負け・途中"));
    lostSeries->setColor(kAnswerColor);
    lostSeries->setMarkerSize(8);
    int low = -1;
    int high = 1;
    for (int i = 0; i < int(statistics.matches.size()); ++i) {
        const MatchStatistics::Played &m = statistics.matches[i];
        (m.winner == match::Side::Player ? wonSeries : lostSeries)->append(i + 1, m.difference);
        low = std::min(low, m.difference);
        high = std::max(high, m.difference);
    }
    chart->addSeries(wonSeries);
    chart->addSeries(lostSeries);
    auto *x = new QValueAxis;
    x->setRange(0, std::max<qsizetype>(2, statistics.matches.size() + 1));
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(std::max(1.0, std::ceil(x->max() / 10)));
    x->setLabelsFont(NamedFont(kPGothic, 8));
    x->setTitleText(tr("試合"));
    auto *y = new QValueAxis;
    y->setRange(low - 1, high + 1);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(std::max(1.0, std::ceil((high - low + 2) / 8.0)));
    y->setLabelsFont(NamedFont(kPGothic, 8));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QScatterSeries *series : {wonSeries, lostSeries}) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

AnswerKind StatisticsWindow::Kind() const {
    return AnswerKind(kind_->currentData().toInt());
}

void StatisticsWindow::SetStatistics(const HistoryStatistics &statistics, const QString &note,
                                     int newPerDay) {
    model_.SetStatistics(statistics);
    const QHeaderView *header = table_->horizontalHeader();
    model_.sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    int answers = 0;
    for (const PoemStatistics &poem : statistics.poems) {
        answers += poem.answers;
    }
    note_->setText(
        !note.isEmpty()
            ? note
            : tr("記録された回答 %1 件、ゲーム %2 回。").arg(answers).arg(statistics.gameCount));
    DrawGames(statistics);
    DrawCounts(statistics);
    DrawOutlook(statistics, newPerDay);
    // Sized once to the figures; measuring all rows at every layout would slow the window.
    table_->resizeColumnsToContents();
}

void StatisticsWindow::DrawOutlook(const HistoryStatistics &statistics, int newPerDay) {
    QChart *chart = dueChart_->chart();
    ClearChart(chart);
    if (!statistics.drillAt.isValid()) {
        outlook_->clear();
        return;
    }
    const DeckOutlook outlook = nupew::Outlook(statistics.drill, statistics.drillAt, newPerDay);
    auto *due = new QBarSet(tr("出す歌"));
    due->setColor(kAnswerColor);
    QStringList days;
    const QDate today = statistics.drillAt.toLocalTime().date();
    int top = 1;
    for (int d = 0; d < kOutlookDays; ++d) {
        *due << outlook.duePerDay[size_t(d)];
        top = std::max(top, outlook.duePerDay[size_t(d)]);
        days << today.addDays(d).toString(Qt::ISODate);
    }
    auto *series = new QBarSeries;
    series->append(due);
    chart->addSeries(series);
    chart->legend()->hide();
    auto *x = new QBarCategoryAxis;
    x->append(days);
    // Fourteen dates do not fit under the bars: the title says where they run.
    x->setLabelsVisible(false);
    chart->setTitle(tr("苦手な歌の練習: %1 (今日) から %2 までの出題")
                        .arg(today.toString(QStringLiteral("M/d")),
                             today.addDays(kOutlookDays - 1).toString(QStringLiteral("M/d"))));
    auto *y = new QValueAxis;
    y->setRange(0, top);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setLabelsFont(NamedFont(kPGothic, 8));
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    QStringList weakest;
    for (const int p : outlook.leastRecalled) {
        weakest << QString::number(p + 1);
    }
    outlook_->setText(
        tr("いま出す歌 %1首、明日 %2首。新しい歌: 今日はあと%3首 (まだ出していない歌 %4首)。")
            .arg(outlook.dueNow)
            .arg(outlook.duePerDay[1])
            .arg(outlook.newToday)
            .arg(outlook.newLeft) +
        (weakest.isEmpty() ? QString()
                           : tr("\n忘れていそうな歌: %1").arg(weakest.join(QStringLiteral("、")))));
}

void StatisticsWindow::DrawGames(const HistoryStatistics &statistics) {
    QChart *chart = gamesChart_->chart();
    ClearChart(chart);
    auto *average = new QLineSeries;
    average->setName(tr("平均タイム"));
    average->setColor(kAnswerColor);
    auto *reaction = new QLineSeries;
    reaction->setName(tr("平均反応時間"));
    reaction->setColor(kReactionColor);
    // Games read aloud time the reaction from the decisive sound: their own line.
    auto *voiced = new QLineSeries;
    voiced->setName(tr("平均反応時間（読み上げ）"));
    voiced->setColor(QColor(0, 150, 60));
    // Games ended early (終了, the fault limit) are drawn too, marked.
    auto *early = new QScatterSeries;
    early->setName(tr("途中で終えたゲーム"));
    early->setColor(Qt::white);
    early->setBorderColor(kAnswerColor);
    early->setMarkerSize(9);
    const QList<GameStatistics> &games = statistics.games;
    // Games in the order played, one step each: a sitting of many games reads
    // as well as a game a week. A point that stands for several games sits at
    // the last of them; its date is in its tooltip and on the top axis.
    double top = 0;
    int played = 0;
    pointDates_.clear();
    for (const GameStatistics &game : games) {
        played += game.games;
        const qreal x = played;
        pointDates_.insert(played, game.started);
        if (game.timed) {
            average->append(x, game.averageTime);
            top = std::max(top, game.averageTime);
        }
        if (game.unfinished > 0) {
            early->append(x, game.timed ? game.averageTime : 0.0);
        }
        if (game.meanReaction) {
            (2 * game.voiceGames > game.games ? voiced : reaction)->append(x, *game.meanReaction);
            top = std::max(top, *game.meanReaction);
        }
    }
    QList<QLineSeries *> lines{average, reaction};
    if (voiced->count() > 0) {
        lines.append(voiced);
    } else {
        delete voiced;
    }
    // A single game still shows as a point.
    for (QLineSeries *series : lines) {
        series->setPointsVisible(true);
        chart->addSeries(series);
        connect(series, &QLineSeries::hovered, this, [this, series](QPointF point, bool state) {
            if (!state) {
                QToolTip::hideText();
                return;
            }
            const int game = int(std::lround(point.x()));
            const auto date = pointDates_.lowerBound(game);
            QToolTip::showText(QCursor::pos(),
                               tr("%1局目　%2\n%3: %4 秒")
                                   .arg(game)
                                   .arg(date != pointDates_.end()
                                            ? date->toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                            : QString())
                                   .arg(series->name())
                                   .arg(point.y(), 0, 'f', 2));
        });
    }
    if (early->count() > 0) {
        chart->addSeries(early);
    } else {
        delete early;
    }
    auto *number = new QValueAxis;
    number->setObjectName(QStringLiteral("gameAxis"));
    // A long history comes grouped: the axis says by what.
    const char *const kGroupings[] = {QT_TR_NOOP("ゲーム（遊んだ順）"),
                                      QT_TR_NOOP("ゲーム（遊んだ順、日ごとの平均）"),
                                      QT_TR_NOOP("ゲーム（遊んだ順、週ごとの平均）"),
                                      QT_TR_NOOP("ゲーム（遊んだ順、月ごとの平均）"),
                                      QT_TR_NOOP("ゲーム（遊んだ順、同じ数ずつの平均）")};
    number->setTitleText(tr(kGroupings[int(statistics.grouping)]));
    number->setTitleFont(NamedFont(kPGothic, 9));
    number->setLabelsFont(NamedFont(kPGothic, 8));
    number->setLabelFormat(QStringLiteral("%d"));
    // Room on the right for half the last date above, centred on the last
    // game: at the chart's narrowest, an eighth of the plot.
    number->setRange(0, std::max(played, 1) + std::max(0.5, 0.15 * played));
    number->setTickType(QValueAxis::TicksDynamic);
    number->setTickAnchor(0);
    number->setTickInterval(std::max(1.0, std::ceil(played / 5.0)));
    chart->addAxis(number, Qt::AlignBottom);
    // The dates, with their year, above: the first game, the last, one between.
    auto *dates = new QCategoryAxis;
    dates->setObjectName(QStringLiteral("dateAxis"));
    dates->setLabelsFont(NamedFont(kPGothic, 8));
    dates->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    dates->setRange(number->min(), number->max());
    if (!pointDates_.isEmpty()) {
        QList<int> marks{pointDates_.firstKey(), pointDates_.lastKey()};
        const auto middle = pointDates_.lowerBound((marks[0] + marks[1]) / 2);
        if (middle.key() != marks[0] && middle.key() != marks[1]) {
            marks.insert(1, middle.key());
        }
        for (const int game : marks) {
            dates->append(pointDates_.value(game).toString(QStringLiteral("yyyy/MM/dd")), game);
        }
    }
    chart->addAxis(dates, Qt::AlignTop);
    QValueAxis *seconds = SecondsAxis(top);
    chart->addAxis(seconds, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(number);
        series->attachAxis(seconds);
    }
}

void StatisticsWindow::DrawCounts(const HistoryStatistics &statistics) {
    QChart *chart = countChart_->chart();
    ClearChart(chart);
    auto *set = new QBarSet(tr("平均反応時間"));
    set->setColor(kReactionColor);
    QStringList categories;
    double top = 0;
    for (size_t count = 1; count < kByCount; ++count) {
        const double value = statistics.reactionByCount[count].value_or(0.0);
        *set << value;
        top = std::max(top, value);
        categories.append(tr("%1字").arg(count));
    }
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *axis = new QBarCategoryAxis;
    axis->append(categories);
    axis->setLabelsFont(NamedFont(kPGothic, 8));
    chart->addAxis(axis, Qt::AlignBottom);
    QValueAxis *seconds = SecondsAxis(top);
    chart->addAxis(seconds, Qt::AlignLeft);
    series->attachAxis(axis);
    series->attachAxis(seconds);
    chart->legend()->hide();
}

void StatisticsWindow::CopySelection() {
    QList<int> rows;
    for (const QModelIndex &index : table_->selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty()) {
        for (int row = 0; row < model_.rowCount(); ++row) {
            rows.append(row);
        }
    }
    QApplication::clipboard()->setText(model_.RowsAsText(rows, u'\t'));
}

void StatisticsWindow::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->key() == Qt::Key_Escape) {
        close();
    } else {
        QWidget::keyPressEvent(event);
    }
}

std::optional<QString> StatisticsWindow::AskExportName() {
    const QString chosen = QFileDialog::getSaveFileName(this, tr("CSVに書き出す"),
                                                        QStringLiteral("nupew-statistics.csv"),
                                                        QStringLiteral("CSV (*.csv)"));
    return chosen.isEmpty() ? std::nullopt : std::optional(chosen);
}

Result<> StatisticsWindow::Export(const QString &name) const {
    QList<int> rows;
    for (int row = 0; row < kPoemCount; ++row) {
        rows.append(row);
    }
    // With a byte order mark, spreadsheet programs read the Japanese as UTF-8.
    return WriteFileAtomically(name, "\xEF\xBB\xBF" + model_.RowsAsText(rows, u',').toUtf8());
}

} // namespace nupew
