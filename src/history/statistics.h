// SPDX-License-Identifier: MIT
// What the answer history says of each poem and each game, and the table model
// the statistics window shows it in.
#pragma once

#include "core/decisive.h"
#include "core/opponents.h"
#include "core/poem_catalogue.h"
#include "core/practice.h"
#include "core/result.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <array>
#include <optional>

namespace nupew {

struct PoemStatistics {
    int answers = 0;
    double meanTime = 0;
    double bestTime = 0;
    // Reactions from the decisive step; picks before it (guesses) are counted apart.
    int reactions = 0;
    double reactionSum = 0;
    int guesses = 0;
    int faults = 0;
    QDateTime last;
    std::optional<double> MeanReaction() const {
        return reactions > 0 ? std::optional(reactionSum / reactions) : std::nullopt;
    }
};

struct GameStatistics {
    QDateTime started;
    double averageTime = 0;
    std::optional<double> meanReaction;
    int games = 1;      // how many games this point stands for
    int voiceGames = 0; // of them, games read aloud
    int unfinished = 0; // of them, games ended early (終了, the fault limit)
    bool timed = true;  // averageTime stands for answers (a game ended before any has none)
};

// How the games' chart groups a long history: each game, or the games of a
// day, a week or a month, the finest that keeps within kGamePoints points.
enum class GameGrouping { Game, Day, Week, Month, Even };

struct HistoryStatistics {
    std::array<PoemStatistics, kPoemCount> poems{};
    // Finished games, oldest first; a long history comes as at most kGamePoints
    // points, each the mean of neighbouring games.
    QList<GameStatistics> games;
    int gameCount = 0;
    GameGrouping grouping = GameGrouping::Game;
    // Mean reaction by the count of decisive characters (index 1 to 6).
    std::array<std::optional<double>, kByCount> reactionByCount{};
    // The drill's cards as of `drillAt`; none read when that is invalid.
    std::array<DrillState, kPoemCount> drill{};
    QDateTime drillAt;
};

inline constexpr int kGamePoints = 300;

// Which answers the poems' figures count: all, those shown as text, those read aloud.
enum class AnswerKind { All, Text, Voice };

// Reads the aggregates from a history connection; the poems' figures of `kind`.
Result<HistoryStatistics> LoadStatistics(QSqlDatabase &db, const DecisiveTable &decisive,
                                         AnswerKind kind = AnswerKind::All);

// The matches, as a coach reads them: how often and how fast the player took
// the read card, by where it lay and by its current decisive characters.
struct TakeFigures {
    int readings = 0; // readings of a card on the mat that fall here
    int taken = 0;    // of them, taken by the player's touch
    int reactions = 0;
    double reactionSum = 0; // from the current decisive sound, guesses left out
    std::optional<double> Rate() const {
        return readings > 0 ? std::optional(double(taken) / readings) : std::nullopt;
    }
    std::optional<double> MeanReaction() const {
        return reactions > 0 ? std::optional(reactionSum / reactions) : std::nullopt;
    }
};
struct MatchStatistics {
    struct Played {
        QDateTime started;
        bool finished = false;
        std::optional<match::Side> winner;
        int difference = 0; // the opponent's cards left less the player's
        QString opponent;
    };
    QList<Played> matches;                          // oldest first
    std::array<TakeFigures, 2> byTerritory{};       // the player's own, the opponent's
    std::array<TakeFigures, 3> byRow{};             // 上段, 中段, 下段 of either territory
    std::array<TakeFigures, kByCount> byDecisive{}; // by the current count, 1 to 6
    TakeFigures shrank;     // cards read with fewer decisive characters than at the start
    int wrongTerritory = 0; // the player's faults by kind
    int emptyCard = 0;
    // The player's own cards the opponent took, most often first: poem, times.
    QList<QPair<Poem, int>> takenFromPlayer;
};

Result<MatchStatistics> LoadMatchStatistics(QSqlDatabase &db, const DecisiveTable &decisive);

// The player's recent reactions (the newest few thousand answers), for the
// match's 自分と対戦.
Result<match::OwnReactions> LoadOwnReactions(QSqlDatabase &db);

// The hundred poems with their figures, sortable by any column; poems never
// answered keep their place at the end whatever the order.
class PoemStatisticsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Number,
        Beginning,
        Decisive,
        Answers,
        MeanTime,
        BestTime,
        MeanReaction,
        Guesses,
        Faults,
        Last,
        NextReview,
        Recall,
        ColumnCount
    };

    PoemStatisticsModel(const PoemCatalogue &catalogue, const DecisiveTable &decisive,
                        QObject *parent = nullptr);
    void SetStatistics(const HistoryStatistics &statistics);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The poem (0-99) shown in a row.
    int PoemAt(int row) const { return order_[size_t(row)]; }
    // The header and the given rows as text, fields parted by `separator`
    // (tab for the clipboard; comma for CSV, with quotes where a field needs them).
    QString RowsAsText(const QList<int> &rows, QChar separator) const;

private:
    QString Text(int poem, int column) const;
    // What a text column sorts by: the reading of 上の句, the heard 決まり字.
    QString SortText(int poem, int column) const;
    std::optional<double> Key(int poem, int column) const;

    const PoemCatalogue &catalogue_;
    const DecisiveTable &decisive_;
    HistoryStatistics statistics_;
    std::array<int, kPoemCount> order_{};
};

} // namespace nupew
