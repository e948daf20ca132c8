// SPDX-License-Identifier: MIT
// The statistics window (成績の分析): the hundred poems with their figures,
// and charts of the games over time and of reactions by decisive characters.
#pragma once

#include "core/safe_files.h"
#include <optional>

#include "history/statistics.h"

#include <QChartView>
#include <QDateTime>
#include <QMap>
#include <QWidget>

class QComboBox;
class QLabel;
class QTableView;
class QTableWidget;
class QTabWidget;

namespace nupew {

class StatisticsWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatisticsWindow)
public:
    StatisticsWindow(const PoemCatalogue &catalogue, const DecisiveTable &decisive,
                     QWidget *parent = nullptr);

    // Shows the figures; `note`, when not empty, says why there are none.
    // The drill's outlook counts `newPerDay` new poems a day.
    void SetStatistics(const HistoryStatistics &statistics, const QString &note,
                       int newPerDay = kDefaultNewPerDay);
    // The matches' figures (競技 tab); `note` says why there are none.
    void SetMatchStatistics(const MatchStatistics &statistics, const QString &note);
    QTabWidget *Tabs() const { return tabs_; }
    QTableWidget *CoachTable() const { return coachTable_; }
    QChartView *MatchesChart() const { return matchesChart_; }
    QLabel *MatchSummary() const { return matchSummary_; }
    // Copies the selected rows (all rows when none is selected) with their header.
    void CopySelection();
    // The file chosen in the save dialog for the CSV export; none when cancelled.
    std::optional<QString> AskExportName();
    // Writes every poem's row as CSV to `name`; the reason when it failed.
    Result<> Export(const QString &name) const;

    PoemStatisticsModel &Model() { return model_; }
    QTableView *Table() const { return table_; }
    QChartView *GamesChart() const { return gamesChart_; }
    QChartView *CountChart() const { return countChart_; }
    QChartView *DueChart() const { return dueChart_; }
    QLabel *Outlook() const { return outlook_; }
    // Which answers the poems' table counts: all, text or read aloud.
    AnswerKind Kind() const;
    QComboBox *KindChoice() const { return kind_; }

signals:
    void exportWanted();
    // Another kind of answers was chosen for the poems' table.
    void kindChanged(AnswerKind kind);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void DrawGames(const HistoryStatistics &statistics);
    void DrawCounts(const HistoryStatistics &statistics);
    void DrawOutlook(const HistoryStatistics &statistics, int newPerDay);

    PoemStatisticsModel model_;
    QTableView *table_ = nullptr;
    QLabel *note_ = nullptr;
    QComboBox *kind_ = nullptr;
    QChartView *gamesChart_ = nullptr;
    QChartView *countChart_ = nullptr;
    QChartView *dueChart_ = nullptr;
    QLabel *outlook_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    QChartView *matchesChart_ = nullptr;
    QTableWidget *coachTable_ = nullptr;
    QLabel *matchSummary_ = nullptr;
    QMap<int, QDateTime> pointDates_; // each point's last game number and its start
};

} // namespace nupew
