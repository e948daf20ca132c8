// SPDX-License-Identifier: MIT
// The history of every answer and every game, in an SQLite database beside
// the settings, written by a thread of its own so that no verdict waits for it.
#pragma once

#include "core/practice.h"
#include "core/seams.h"

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace nupew {

inline const QString kHistoryFile = QStringLiteral("nupew-history.sqlite");
// "Nupw": marks the database as ours in its header.
inline constexpr quint32 kHistoryApplicationId = 0x4E757077;
inline constexpr int kHistorySchemaVersion = 2;

// One connection to the history database, used by one thread; every call is
// synchronous and says whether it succeeded.
class HistoryDatabase final {
public:
    // Opens the database at `path`, creating it when there is no file or an
    // empty one. A file that is not ours is never opened for writing: the
    // result is null and `why` says what is wrong.
    static std::unique_ptr<HistoryDatabase> Open(const QString &path, QString *why);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    bool StartGame(qint64 game, const QDateTime &started, const QString &mode);
    bool AddAnswer(qint64 game, const QDateTime &answered, const AnsweredQuestion &answer);
    bool FinishGame(qint64 game, int questions, float averageTime, int faults);
    bool MarkRegistered(qint64 game);
    // Each poem's box in the drill, with its mean reaction.
    bool LoadDrill(std::array<DrillState, 100> *states);
    QSqlDatabase &Connection() { return db_; }
    QString LastError() const;

private:
    explicit HistoryDatabase(const QString &connection);
    bool Run(const QString &sql, const QVariantList &values);
    bool Upgrade(int version);
    // The player's median reaction, taken at the start of each game.
    std::optional<double> median_;
    QString connection_;
    QSqlDatabase db_;
};

// The program's history: opened once at start-up; answers and results are
// queued to a writer thread with its own connection. A killed program loses
// at most what was queued and not yet written: the answer just given.
class History final : public QObject, public AnswerLog {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // `now` stamps the answers and games; empty, the real date and time.
    explicit History(QString path = kHistoryFile, Clock now = {});
    ~History() override;

    // Checks and prepares the database; false (with the reason) when the game
    // has to go on without a history.
    bool Open(QString *why);
    bool IsOpen() const { return writer_.joinable(); }
    QString Path() const { return path_; }
    // The practice mode new games are played in; empty for the whole game.
    void SetMode(const QString &mode) { mode_ = mode; }

    void QuestionAnswered(const AnsweredQuestion &answer) override;
    void GameFinished(int questions, float averageTime, int faults) override;
    // The game last finished entered the table of the ten best.
    void ResultRegistered();
    // Waits until every queued write is done.
    void Flush();
    // A connection of the caller's own that sees every answer given so far;
    // null (with the reason) when there is no history.
    std::unique_ptr<HistoryDatabase> Reader(QString *why);

signals:
    // A write failed; the history stops writing. Sent once, in the main thread.
    void failed(const QString &why);

private:
    using Task = std::function<bool(HistoryDatabase &)>;
    void Queue(Task task);
    void WriterLoop();

    QString path_;
    Clock now_;
    QString mode_;
    qint64 currentGame_ = 0;
    qint64 finishedGame_ = 0;
    qint64 lastId_ = 0;

    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    bool broken_ = false;
};

} // namespace nupew
