// SPDX-License-Identifier: MIT
// The history of every answer and every game, in an SQLite database beside
// the settings, written by a thread of its own so that no verdict waits for it.
#pragma once

#include "core/match.h"
#include "core/practice.h"
#include "core/result.h"
#include "core/seams.h"

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace nupew {

inline const QString kHistoryFile = QStringLiteral("nupew-history.sqlite");
// "Nupw": marks the database as ours in its header.
inline constexpr quint32 kHistoryApplicationId = 0x4E757077;
inline constexpr int kHistorySchemaVersion = 7;

// SQLite's result codes that the program tells apart (the primary code, in
// a result's code()).
namespace sqlite {
inline constexpr int kBusy = 5;   // another connection writes
inline constexpr int kLocked = 6; // a table is locked
inline constexpr int kIoError = 10;
inline constexpr int kFull = 13; // the disk is full
inline constexpr int kProtocol = 15;
// Whether a failure with this code may pass by itself: busy, locked, full or I/O.
bool IsTransient(int code);
// Whether it failed on a lock held by another connection.
bool IsBusy(int code);
} // namespace sqlite

// How a game ended, as the history keeps it (games.finished).
enum class GameOutcome { Unfinished = 0, Finished = 1, FaultLimit = 2, EndedByPlayer = 3 };

// What a match came to, as its row keeps it.
struct MatchEnd {
    bool finished = false;
    std::optional<match::Side> winner;
    int playerLeft = 0;
    int opponentLeft = 0;
    int playerFaults = 0;
    int opponentFaults = 0;
};

// One connection to the history database, used by one thread; every call is
// synchronous, and a failure carries the failed statement's own reason and
// SQLite's code.
class HistoryDatabase final {
public:
    // Opens the database at `path`, creating it when there is no file or an
    // empty one (the schema is made in one transaction, so two copies of the
    // program creating it at once both succeed). A file that is not ours, or
    // a special file at its name or its journals' names, is never opened for
    // writing: the failure says what is wrong. `check` also reads the whole
    // file for damage first (PRAGMA quick_check).
    static Result<std::unique_ptr<HistoryDatabase>> Open(const QString &path, bool check = false);
    // An empty history in memory, for reading when no file has been made yet.
    static Result<std::unique_ptr<HistoryDatabase>> OpenEmpty();
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    // The game's row, made once.
    Result<> StartGame(qint64 game, const QDateTime &started, const QString &mode);
    Result<> AddAnswer(qint64 game, const QDateTime &answered, const AnsweredQuestion &answer);
    // Runs `steps` in one writing transaction: all of it, or nothing.
    Result<> Transaction(const std::function<Result<>()> &steps);
    // The game's row and the answer together, or neither.
    Result<> AddAnswerOfGame(qint64 game, const QDateTime &started, const QString &mode,
                             const QDateTime &answered, const AnsweredQuestion &answer);
    Result<> FinishGame(qint64 game, int questions, float averageTime, int faults);
    // A game that ended early: after the fault limit, or ended by the player.
    Result<> StopGame(qint64 game, int questions, int faults, GameOutcome how);
    Result<> MarkRegistered(qint64 game);
    Result<> StartMatch(qint64 match, const QDateTime &started,
                        const match::MatchLog::Start &start);
    Result<> AddMatchReading(qint64 match, int index, const match::Reading &reading, bool voiced);
    Result<> EndMatch(qint64 match, const MatchEnd &end);
    // Each poem's box in the drill, with its mean reaction.
    Result<std::array<DrillState, kPoemCount>> LoadDrill();
    QSqlDatabase &Connection() { return db_; }
    // Ends any transaction a failed call left open.
    void RollBack();

private:
    explicit HistoryDatabase(const QString &connection);
    bool Run(const QString &sql, const QVariantList &values);
    bool Exec(QSqlQuery &query, const QString &sql);
    bool Create();
    bool Upgrade(int version);
    // The answer as a review of its poem's card.
    bool Review(const AnsweredQuestion &answer, const QDateTime &answered);
    void Remember(const QSqlError &error);
    // The call's outcome: done, or the failed statement's reason and code.
    Result<> Outcome(bool ok) const;
    QString connection_;
    QSqlDatabase db_;
    QString error_;
    int errorCode_ = 0;
};

// The program's history: checked once at start-up, made at the first answer;
// answers and results are queued to a writer thread with its own connection.
// A write that fails for a while (another program holding the file, a full
// disk) stays queued and is tried again; only a lasting failure stops the
// history, and is told once. A killed program loses at most what was queued.
class History final : public QObject, public AnswerLog, public match::MatchLog {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // `now` stamps the answers and games; empty, the real date and time.
    explicit History(QString path = kHistoryFile, Clock now = {});
    ~History() override;
    // The date and time the answers are stamped with.
    QDateTime Now() const { return now_(); }

    // Checks that the file is ours when there is one (it is made at the first
    // answer) and starts the writer, which reads it through for damage first;
    // false (with the reason) when the game has to go on without a history.
    // Later failures, the damage found among them, come as failed().
    Result<> Open();
    bool IsOpen() const { return writer_.joinable(); }
    QString Path() const { return path_; }
    // The practice mode new games are played in; empty for the whole game.
    void SetMode(const QString &mode) { mode_ = mode; }

    void GameStarted() override;
    void QuestionAnswered(const AnsweredQuestion &answer) override;
    void GameFinished(int questions, float averageTime, int faults) override;
    void GameStopped(int questions, int faults, GameStop how) override;
    void ResultRegistered() override;
    void MatchStarted(const match::MatchLog::Start &start) override;
    void MatchReading(int index, const match::Reading &reading, bool voiced) override;
    void MatchEnded(const match::Match &match, bool finished) override;
    // Waits until every queued write is done, or waits to be retried.
    void Flush();
    // Waits up to `milliseconds` for every queued write; true when all are done.
    bool WaitWritten(int milliseconds);
    // How many writes wait in the queue.
    int Pending();
    // A connection of the caller's own that sees every answer given so far;
    // why not, when there is no history.
    Result<std::unique_ptr<HistoryDatabase>> OpenReadConnection();

    // At most this many writes wait while the file cannot be written.
    static constexpr int kMaxQueued = 1000;

signals:
    // A lasting failure, or more writes waiting than the queue holds: the
    // history takes no more answers. Sent once, in the main thread.
    void failed(const QString &why);
    // Writes have waited a while (a full disk, a lock held elsewhere): they
    // stay queued. Sent once a run, in the main thread.
    void stalled(const QString &why);

private:
    using Task = std::function<Result<>(HistoryDatabase &)>;
    void Queue(Task task);
    void WriterLoop();
    void Fail(const QString &why);
    void TellFailure(const QString &why);

    QString path_;
    Clock now_;
    QString mode_;
    qint64 currentGame_ = 0;
    QDateTime currentStart_;
    QString currentMode_;
    qint64 finishedGame_ = 0;
    qint64 lastId_ = 0;
    qint64 currentMatch_ = 0; // the match under way's id, 0 when none
    qint64 lastMatch_ = 0;

    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    bool broken_ = false;
    bool waiting_ = false; // the head of the queue failed and waits to be retried
    bool stallTold_ = false;
    bool full_ = false;        // the queue overflowed: no more writes are taken
    bool failureTold_ = false; // failed() has been sent
};

} // namespace nupew
