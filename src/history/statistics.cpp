// SPDX-License-Identifier: MIT
// What the answer history says of each poem and each game, and the table model
// the statistics window shows it in.
#include "history/statistics.h"

#include "history/history.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace nupew {
namespace {

QString Seconds(double value) {
    return QString::number(value, 'f', 2);
}

// SQLite's reason; never empty, so that the window always says why.
QString Why(const QSqlQuery &query) {
    const QString text = query.lastError().text().trimmed();
    return text.isEmpty() ? QCoreApplication::translate("History", "SQLiteの原因不明のエラー")
                          : text;
}

QString CsvField(const QString &field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n')) {
        return field;
    }
    return u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

Result<MatchStatistics> LoadMatchStatistics(QSqlDatabase &db, const DecisiveTable &decisive) {
    MatchStatistics result;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT started, finished, winner, player_left, opponent_left, "
                               "opponent FROM matches ORDER BY id"))) {
        return Result<MatchStatistics>::Failure(Why(q), q.lastError().nativeErrorCode().toInt());
    }
    while (q.next()) {
        MatchStatistics::Played m;
        m.started = QDateTime::fromString(q.value(0).toString(), Qt::ISODateWithMs).toLocalTime();
        m.finished = q.value(1).toInt() != 0;
        if (!q.value(2).isNull() && q.value(2).toString() != QString()) {
            m.winner = q.value(2).toInt() == 0 ? match::Side::Player : match::Side::Opponent;
        }
        m.difference = q.value(4).toInt() - q.value(3).toInt();
        m.opponent = q.value(5).toString();
        result.matches.append(m);
    }
    if (!q.exec(QStringLiteral("SELECT poem, territory, row, decisive, taker, by_touch, reaction, "
                               "faults FROM match_readings"))) {
        return Result<MatchStatistics>::Failure(Why(q), q.lastError().nativeErrorCode().toInt());
    }
    std::array<int, kPoemCount> taken{};
    const auto isNull = [](const QVariant &v) { return v.isNull() || v.toString().isEmpty(); };
    while (q.next()) {
        for (const QString &fault : q.value(7).toString().split(u' ', Qt::SkipEmptyParts)) {
            if (fault.startsWith(u'P')) {
                (fault.endsWith(u'E') ? result.emptyCard : result.wrongTerritory)++;
            }
        }
        const int poem = q.value(0).toInt() - 1;
        if (isNull(q.value(1)) || poem < 0 || poem >= kPoemCount) {
            continue; // a 空札
        }
        const int territory = std::clamp(q.value(1).toInt(), 0, 1);
        const int row = std::clamp(q.value(2).toInt(), 0, 2);
        const int count = std::clamp(q.value(3).toInt(), 1, int(kByCount) - 1);
        const bool byPlayer = !isNull(q.value(4)) && q.value(4).toInt() == 0 && q.value(5).toInt();
        const bool byOpponent =
            !isNull(q.value(4)) && q.value(4).toInt() == 1 && q.value(5).toInt();
        const double reaction = isNull(q.value(6)) ? -1 : q.value(6).toDouble();
        const bool shrank = count < decisive.Count(Poem::FromRow(poem));
        for (TakeFigures *f :
             {&result.byTerritory[size_t(territory)], &result.byRow[size_t(row)],
              &result.byDecisive[size_t(count)], shrank ? &result.shrank : nullptr}) {
            if (!f) {
                continue;
            }
            ++f->readings;
            f->taken += byPlayer;
            if (byPlayer && reaction >= 0) {
                ++f->reactions;
                f->reactionSum += reaction;
            }
        }
        if (byOpponent && territory == 0) {
            ++taken[size_t(poem)];
        }
    }
    for (int p = 0; p < kPoemCount; ++p) {
        if (taken[size_t(p)] > 0) {
            result.takenFromPlayer.append({Poem::FromRow(p), taken[size_t(p)]});
        }
    }
    std::stable_sort(result.takenFromPlayer.begin(), result.takenFromPlayer.end(),
                     [](const auto &a, const auto &b) { return a.second > b.second; });
    return result;
}

Result<match::OwnReactions> LoadOwnReactions(QSqlDatabase &db) {
    constexpr int kAnswers = 5000;
    constexpr int kOverall = 500; // the overall draw: the newest of the reactions
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT poem, reaction_time, faults FROM answers WHERE lost = 0 "
                               "ORDER BY id DESC LIMIT %1")
                    .arg(kAnswers))) {
        return Result<match::OwnReactions>::Failure(Why(q),
                                                    q.lastError().nativeErrorCode().toInt());
    }
    match::OwnReactions own;
    int answers = 0;
    int faults = 0;
    while (q.next()) {
        const int poem = q.value(0).toInt() - 1;
        const double reaction = q.value(1).toDouble();
        ++answers;
        faults += q.value(2).toInt();
        if (poem < 0 || poem >= kPoemCount || reaction < 0 || !std::isfinite(reaction)) {
            continue; // a guess, before the decisive character
        }
        if (QList<double> &mine = own.byPoem[size_t(poem)];
            mine.size() < match::GhostOpponent::kRecent) {
            mine.append(reaction);
        }
        if (own.overall.size() < kOverall) {
            own.overall.append(reaction);
        }
    }
    own.faultRate = answers > 0 ? std::min(1.0, double(faults) / answers) : 0.0;
    return own;
}

Result<HistoryStatistics> LoadStatistics(QSqlDatabase &db, const DecisiveTable &decisive,
                                         AnswerKind kind) {
    HistoryStatistics result;
    QSqlQuery poems(db);
    poems.setForwardOnly(true);
    const QString only = kind == AnswerKind::All    ? QString()
                         : kind == AnswerKind::Text ? QStringLiteral("WHERE voice = 0")
                                                    : QStringLiteral("WHERE voice = 1");
    if (!poems.exec(QStringLiteral("SELECT poem, SUM(answers), SUM(time_sum) / SUM(answers), "
                                   "MIN(CASE WHEN answers > 0 THEN best END), SUM(reaction_sum), "
                                   "SUM(reactions), SUM(guesses), SUM(faults), MAX(last) FROM "
                                   "poem_sums %1 GROUP BY poem")
                        .arg(only))) {
        return Result<HistoryStatistics>::Failure(Why(poems),
                                                  poems.lastError().nativeErrorCode().toInt());
    }
    while (poems.next()) {
        const int poem = poems.value(0).toInt() - 1;
        if (poem < 0 || poem >= kPoemCount) {
            continue;
        }
        PoemStatistics &s = result.poems[size_t(poem)];
        s.answers = poems.value(1).toInt();
        s.meanTime = poems.value(2).toDouble();
        s.bestTime = poems.value(3).toDouble();
        s.reactionSum = poems.value(4).toDouble();
        s.reactions = poems.value(5).toInt();
        s.guesses = poems.value(6).toInt();
        s.faults = poems.value(7).toInt();
        s.last = QDateTime::fromString(poems.value(8).toString(), Qt::ISODateWithMs).toLocalTime();
    }
    // Times come as milliseconds since the epoch, converted by SQLite; a long
    // history is grouped by day, week or month (the finest that gives at most
    // kGamePoints points), so that it reads as fast as a short one and each
    // point means a stretch of the calendar.
    QSqlQuery games(db);
    games.setForwardOnly(true);
    if (!games.exec(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT date(started, 'localtime')), "
                                   "COUNT(DISTINCT strftime('%Y-%W', started, 'localtime')), "
                                   "COUNT(DISTINCT strftime('%Y-%m', started, 'localtime')) FROM "
                                   "games WHERE finished <> %1")
                        .arg(int(GameOutcome::Unfinished))) ||
        !games.next()) {
        return Result<HistoryStatistics>::Failure(Why(games),
                                                  games.lastError().nativeErrorCode().toInt());
    }
    const std::array<QString, 4> buckets = {
        QStringLiteral("ROW_NUMBER() OVER (ORDER BY started)"),
        QStringLiteral("date(started, 'localtime')"),
        QStringLiteral("strftime('%Y-%W', started, 'localtime')"),
        QStringLiteral("strftime('%Y-%m', started, 'localtime')")};
    QString bucket = QStringLiteral("(ROW_NUMBER() OVER (ORDER BY started) - 1) * %1 / "
                                    "(SELECT COUNT(*) FROM games WHERE finished <> %2)")
                         .arg(kGamePoints)
                         .arg(int(GameOutcome::Unfinished));
    result.grouping = GameGrouping::Even;
    for (int g = 0; g < 4; ++g) {
        if (games.value(g).toInt() <= kGamePoints) {
            result.grouping = GameGrouping(g);
            bucket = buckets[size_t(g)];
            break;
        }
    }
    games.finish();
    if (!games.exec(
            QStringLiteral(
                "SELECT AVG(ms), AVG(average), AVG(reaction), COUNT(*), SUM(voice), "
                "SUM(finished <> %2) FROM (SELECT (julianday(started) - 2440587.5) * "
                "86400000.0 AS ms, COALESCE(average, (SELECT AVG(answer_time) FROM answers a "
                "WHERE a.game = games.id AND a.lost = 0)) AS average, reaction, voice, finished, "
                "%1 AS bucket FROM games WHERE finished <> %3) GROUP BY bucket ORDER BY MIN(ms)")
                .arg(bucket)
                .arg(int(GameOutcome::Finished))
                .arg(int(GameOutcome::Unfinished)))) {
        return Result<HistoryStatistics>::Failure(Why(games),
                                                  games.lastError().nativeErrorCode().toInt());
    }
    while (games.next()) {
        GameStatistics g;
        g.started = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(games.value(0).toDouble())));
        g.timed = !games.value(1).isNull();
        g.averageTime = games.value(1).toDouble();
        if (!games.value(2).isNull()) {
            g.meanReaction = games.value(2).toDouble();
        }
        g.games = games.value(3).toInt();
        g.voiceGames = games.value(4).toInt();
        g.unfinished = games.value(5).toInt();
        result.gameCount += g.games;
        result.games.append(g);
    }
    std::array<double, kByCount> sums{};
    std::array<int, kByCount> counts{};
    for (int p = 0; p < kPoemCount; ++p) {
        const int count = decisive.Count(Poem::FromRow(p));
        sums[size_t(count)] += result.poems[size_t(p)].reactionSum;
        counts[size_t(count)] += result.poems[size_t(p)].reactions;
    }
    for (size_t c = 1; c < kByCount; ++c) {
        if (counts[c] > 0) {
            result.reactionByCount[c] = sums[c] / counts[c];
        }
    }
    return result;
}

PoemStatisticsModel::PoemStatisticsModel(const PoemCatalogue &catalogue,
                                         const DecisiveTable &decisive, QObject *parent)
    : QAbstractTableModel(parent), catalogue_(catalogue), decisive_(decisive) {
    std::iota(order_.begin(), order_.end(), 0);
}

void PoemStatisticsModel::SetStatistics(const HistoryStatistics &statistics) {
    beginResetModel();
    statistics_ = statistics;
    endResetModel();
}

int PoemStatisticsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : kPoemCount;
}

int PoemStatisticsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

std::optional<double> PoemStatisticsModel::Key(int poem, int column) const {
    const PoemStatistics &s = statistics_.poems[size_t(poem)];
    switch (column) {
    case Number:
        return poem;
    case Decisive:
        return decisive_.Count(Poem::FromRow(poem));
    case Answers:
        return s.answers;
    case MeanTime:
        return s.answers ? std::optional(s.meanTime) : std::nullopt;
    case BestTime:
        return s.answers ? std::optional(s.bestTime) : std::nullopt;
    case MeanReaction:
        return s.MeanReaction();
    case Guesses:
        return s.answers ? std::optional<double>(s.guesses) : std::nullopt;
    case Faults:
        // Faults count also on a question never answered (the game ended on it).
        return s.answers || s.faults ? std::optional<double>(s.faults) : std::nullopt;
    case Last:
        return s.last.isValid() ? std::optional(double(s.last.toMSecsSinceEpoch())) : std::nullopt;
    case NextReview:
    case Recall: {
        const DrillState &d = statistics_.drill[size_t(poem)];
        if (!statistics_.drillAt.isValid() || !d.Seen()) {
            return std::nullopt;
        }
        return column == NextReview ? double(d.card.due.toMSecsSinceEpoch())
                                    : Fsrs().RetrievabilityAt(d.card, statistics_.drillAt);
    }
    default:
        return std::nullopt;
    }
}

QString PoemStatisticsModel::Text(int poem, int column) const {
    const PoemStatistics &s = statistics_.poems[size_t(poem)];
    switch (column) {
    case Number:
        return QString::number(poem + 1);
    case Beginning:
        return catalogue_.Text(Poem::FromRow(poem), kUpperKanji).section(QChar(0x3000), 0, 0);
    case Decisive:
        return decisive_.Heard(
            Poem::FromRow(poem)); // as players say them; the spelling in the tooltip
    case Answers:
        return QString::number(s.answers);
    case Last:
        return s.last.isValid() ? s.last.toString(QStringLiteral("yyyy/MM/dd HH:mm")) : QString();
    default:
        break;
    }
    if (column == Guesses) {
        return s.answers ? QString::number(s.guesses) : QString();
    }
    if (column == Faults) {
        return s.answers || s.faults ? QString::number(s.faults) : QString();
    }
    if (column == NextReview) {
        const DrillState &d = statistics_.drill[size_t(poem)];
        if (!Key(poem, column)) {
            return QString();
        }
        return d.card.due <= statistics_.drillAt
                   ? QCoreApplication::translate("Statistics", "今")
                   : d.card.due.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    }
    if (column == Recall) {
        const std::optional<double> recall = Key(poem, column);
        return recall ? QStringLiteral("%1%").arg(std::lround(*recall * 100.0)) : QString();
    }
    const std::optional<double> value = Key(poem, column);
    return value ? Seconds(*value) : QString();
}

QVariant PoemStatisticsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= kPoemCount) {
        return {};
    }
    const int poem = order_[size_t(index.row())];
    if (role == Qt::DisplayRole) {
        return Text(poem, index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        const bool text = index.column() == Beginning || index.column() == Decisive;
        return int((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole && index.column() == Decisive) {
        return QCoreApplication::translate("Statistics", "かなの表記: %1（%2字決まり）")
            .arg(decisive_.Characters(Poem::FromRow(poem)))
            .arg(decisive_.Count(Poem::FromRow(poem)));
    }
    if (role == Qt::ToolTipRole && index.column() == Beginning) {
        return catalogue_.Text(Poem::FromRow(poem), kUpperKanji);
    }
    return {};
}

QString PoemStatisticsModel::SortText(int poem, int column) const {
    // 上の句 in the order of its reading (50音), 決まり字 by its kana.
    return column == Beginning ? catalogue_.Text(Poem::FromRow(poem), kUpperSpoken)
                               : decisive_.Heard(Poem::FromRow(poem));
}

QVariant PoemStatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char *const kHeaders[ColumnCount] = {
        QT_TR_NOOP("番号"),     QT_TR_NOOP("上の句"),     QT_TR_NOOP("決まり字"),
        QT_TR_NOOP("回数"),     QT_TR_NOOP("平均タイム"), QT_TR_NOOP("最速タイム"),
        QT_TR_NOOP("平均反応"), QT_TR_NOOP("当て推量"),   QT_TR_NOOP("お手つき"),
        QT_TR_NOOP("最終回答"), QT_TR_NOOP("次の出題"),   QT_TR_NOOP("記憶")};
    static const char *const kTips[ColumnCount] = {
        QT_TR_NOOP("歌の番号 (1〜100)"),
        QT_TR_NOOP("上の句の初めの句 (読みの50音順に並びます)"),
        QT_TR_NOOP("聞こえる決まり字 (かなの表記はセルのヒントに)"),
        QT_TR_NOOP("正しい札を取った回数"),
        QT_TR_NOOP("読み始めから正しい札を取るまでの平均 (秒)"),
        QT_TR_NOOP("いちばん速く取ったタイム (秒)"),
        QT_TR_NOOP("決まり字が出てから取るまでの平均 (秒)。当て推量は含みません"),
        QT_TR_NOOP("決まり字が出る前に取った回数 (当て推量)"),
        QT_TR_NOOP("この歌で間違えた札の数"),
        QT_TR_NOOP("最後に答えた日時"),
        QT_TR_NOOP("苦手な歌の練習で次に出す日時 (「今」: もう出す日が来ています)"),
        QT_TR_NOOP("いま思い出せる見込み (FSRS による予測)")};
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return tr(kHeaders[section]);
    }
    if (role == Qt::ToolTipRole) {
        return tr(kTips[section]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void PoemStatisticsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::array<int, kPoemCount> oldOrder = order_;
    std::iota(order_.begin(), order_.end(), 0);
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        if (column == Beginning || column == Decisive) {
            const int c = SortText(a, column).compare(SortText(b, column));
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        }
        const std::optional<double> ka = Key(a, column);
        const std::optional<double> kb = Key(b, column);
        if (!ka || !kb) {
            return ka.has_value() && !kb.has_value(); // no figures: always last
        }
        return order == Qt::AscendingOrder ? *ka < *kb : *ka > *kb;
    });
    QModelIndexList after;
    for (const QModelIndex &index : before) {
        const int poem = oldOrder[size_t(index.row())];
        const int row = int(std::find(order_.begin(), order_.end(), poem) - order_.begin());
        after.append(createIndex(row, index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

QString PoemStatisticsModel::RowsAsText(const QList<int> &rows, QChar separator) const {
    const auto line = [separator](const QStringList &fields) {
        QStringList out;
        for (const QString &field : fields) {
            out.append(separator == u',' ? CsvField(field) : field);
        }
        return out.join(separator) + QStringLiteral("\r\n");
    };
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c) {
        header.append(headerData(c, Qt::Horizontal).toString());
    }
    QString text = line(header);
    for (const int row : rows) {
        QStringList fields;
        for (int c = 0; c < ColumnCount; ++c) {
            fields.append(Text(order_[size_t(row)], c));
        }
        text += line(fields);
    }
    return text;
}

} // namespace nupew
