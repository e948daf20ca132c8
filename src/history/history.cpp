// SPDX-License-Identifier: MIT
// The history of every answer and every game, in an SQLite database beside
// the settings, written by a thread of its own so that no verdict waits for it.
#include "history/history.h"

#include "core/safe_files.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <atomic>

namespace nupew {
namespace {

Q_LOGGING_CATEGORY(lcHistory, "nupew.history")

const QByteArray kSqliteMagic("SQLite format 3\0", 16);

const char *const kSchema[] = {
    "CREATE TABLE games (id INTEGER PRIMARY KEY, started TEXT NOT NULL, mode TEXT NOT NULL "
    "DEFAULT '', questions INTEGER NOT NULL DEFAULT 0, average REAL, faults INTEGER NOT NULL "
    "DEFAULT 0, finished INTEGER NOT NULL DEFAULT 0, registered INTEGER NOT NULL DEFAULT 0, "
    "reaction REAL)",
    "CREATE TABLE answers (id INTEGER PRIMARY KEY, game INTEGER NOT NULL REFERENCES games(id), "
    "answered TEXT NOT NULL, question INTEGER NOT NULL, poem INTEGER NOT NULL, upper_mode "
    "INTEGER NOT NULL, lower_mode INTEGER NOT NULL, cards INTEGER NOT NULL, delay INTEGER NOT "
    "NULL, answer_time REAL NOT NULL, decisive_step INTEGER NOT NULL, reaction_time REAL NOT "
    "NULL, faults INTEGER NOT NULL)",
    // Each poem's sums, kept with every answer so that the statistics never
    // read the whole history.
    "CREATE TABLE poems (poem INTEGER PRIMARY KEY, answers INTEGER NOT NULL, time_sum REAL NOT "
    "NULL, best REAL NOT NULL, reactions INTEGER NOT NULL, reaction_sum REAL NOT NULL, guesses "
    "INTEGER NOT NULL, faults INTEGER NOT NULL, last TEXT NOT NULL)",
    "CREATE INDEX answers_game ON answers (game)",
};

// What each version adds to the one before; a file is brought forward step by step.
const char *const kVersion2[] = {
    "CREATE TABLE boxes (poem INTEGER PRIMARY KEY, box INTEGER NOT NULL, moved TEXT NOT NULL)",
    "CREATE INDEX answers_reaction ON answers (reaction_time)",
    "CREATE INDEX games_started ON games (finished, started)",
};

QString NextConnectionName() {
    static std::atomic<int> serial{0};
    return QStringLiteral("nupew-history-%1").arg(serial.fetch_add(1));
}

QString Stamp(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

// What the first hundred bytes say of a file that should be our database:
// empty when it is ours (or empty), else why not.
QString CheckHeader(const QString &path, bool *fresh) {
    const QFileInfo info(path);
    *fresh = false;
    if (!info.exists()) {
        *fresh = true;
        return {};
    }
    if (!info.isFile()) {
        return QStringLiteral("%1 は通常のファイルではありません。").arg(path);
    }
    const ReadResult read = ReadRegularFile(path, 100);
    if (!read.ok()) {
        return read.errorString;
    }
    if (read.bytes.isEmpty()) {
        *fresh = true;
        return {};
    }
    if (read.bytes.size() < 100 || !read.bytes.startsWith(kSqliteMagic)) {
        return QStringLiteral("%1 はSQLiteのデータベースではありません。").arg(path);
    }
    const auto *header = reinterpret_cast<const uchar *>(read.bytes.constData());
    if (qFromBigEndian<quint32>(header + 68) != kHistoryApplicationId) {
        return QStringLiteral("%1 はこのゲームの履歴ではありません。").arg(path);
    }
    if (qFromBigEndian<qint32>(header + 60) > kHistorySchemaVersion) {
        return QStringLiteral("%1 は新しい版のゲームで作られた履歴です。").arg(path);
    }
    return {};
}

} // namespace

HistoryDatabase::HistoryDatabase(const QString &connection)
    : connection_(connection),
      db_(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection)) {}

HistoryDatabase::~HistoryDatabase() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

std::unique_ptr<HistoryDatabase> HistoryDatabase::Open(const QString &path, QString *why) {
    bool fresh = false;
    const QString wrong = CheckHeader(path, &fresh);
    if (!wrong.isEmpty()) {
        *why = wrong;
        return nullptr;
    }
    std::unique_ptr<HistoryDatabase> history(new HistoryDatabase(NextConnectionName()));
    QSqlDatabase &db = history->db_;
    if (!db.isValid()) {
        *why = QStringLiteral("SQLiteのドライバー(QSQLITE)がありません。");
        return nullptr;
    }
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        *why = db.lastError().text();
        return nullptr;
    }
    QSqlQuery query(db);
    int version = kHistorySchemaVersion;
    if (!fresh && query.exec(QStringLiteral("PRAGMA user_version")) && query.next()) {
        version = query.value(0).toInt();
    }
    if (fresh) {
        // The marks go into the header first, so that a half-made file is still ours.
        bool made =
            query.exec(QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId)) &&
            query.exec(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion)) &&
            db.transaction();
        for (const char *statement : kSchema) {
            made = made && query.exec(QString::fromLatin1(statement));
        }
        for (const char *statement : kVersion2) {
            made = made && query.exec(QString::fromLatin1(statement));
        }
        if (!made || !db.commit()) {
            *why = query.lastError().text();
            return nullptr;
        }
    }
    // A file with our header but damaged inside fails here, before any write.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM games, answers, poems WHERE 0")) ||
        (version < kHistorySchemaVersion && !history->Upgrade(version)) ||
        !query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous = NORMAL"))) {
        *why = query.lastError().text();
        return nullptr;
    }
    return history;
}

bool HistoryDatabase::Upgrade(int version) {
    bool ok = db_.transaction();
    if (version < 2) {
        for (const char *statement : kVersion2) {
            ok = ok && Run(QString::fromLatin1(statement), {});
        }
    }
    ok = ok && Run(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion), {});
    if (!ok) {
        db_.rollback();
        return false;
    }
    return db_.commit();
}

QString HistoryDatabase::LastError() const {
    return db_.lastError().text();
}

bool HistoryDatabase::Run(const QString &sql, const QVariantList &values) {
    QSqlQuery query(db_);
    if (!query.prepare(sql)) {
        qCWarning(lcHistory) << sql << query.lastError().text();
        return false;
    }
    for (const QVariant &value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        qCWarning(lcHistory) << sql << query.lastError().text();
        return false;
    }
    return true;
}

bool HistoryDatabase::StartGame(qint64 game, const QDateTime &started, const QString &mode) {
    QSqlQuery median(db_);
    if (median.exec(QStringLiteral(
            "SELECT reaction_time FROM answers WHERE reaction_time >= 0 ORDER BY reaction_time "
            "LIMIT 1 OFFSET (SELECT COUNT(*) FROM answers WHERE reaction_time >= 0) / 2")) &&
        median.next()) {
        median_ = median.value(0).toDouble();
    }
    return Run(QStringLiteral("INSERT INTO games (id, started, mode) VALUES (?, ?, ?)"),
               {game, Stamp(started), mode.isNull() ? QStringLiteral("") : mode});
}

bool HistoryDatabase::AddAnswer(qint64 game, const QDateTime &answered, const AnsweredQuestion &a) {
    // The answer and its poem's sums go in together or not at all; a savepoint
    // is its own transaction, or a part of the caller's.
    if (!Run(QStringLiteral("SAVEPOINT answer"), {})) {
        return false;
    }
    const bool guess = a.reactionTime < 0;
    bool added =
        Run(QStringLiteral("INSERT INTO answers (game, answered, question, poem, upper_mode, "
                           "lower_mode, cards, delay, answer_time, decisive_step, "
                           "reaction_time, faults) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {game, Stamp(answered), a.question, a.poem, a.upperTextMode, a.lowerTextMode,
             a.cardCount, a.revealDelay, double(a.answerTime), a.decisiveStep,
             double(a.reactionTime), a.faults}) &&
        Run(QStringLiteral(
                "INSERT INTO poems (poem, answers, time_sum, best, reactions, reaction_sum, "
                "guesses, faults, last) VALUES (?, 1, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (poem) DO "
                "UPDATE SET answers = answers + 1, time_sum = time_sum + excluded.time_sum, best = "
                "MIN(best, excluded.best), reactions = reactions + excluded.reactions, "
                "reaction_sum = reaction_sum + excluded.reaction_sum, guesses = guesses + "
                "excluded.guesses, faults = faults + excluded.faults, last = MAX(last, "
                "excluded.last)"),
            {a.poem, double(a.answerTime), double(a.answerTime), guess ? 0 : 1,
             guess ? 0.0 : double(a.reactionTime), guess ? 1 : 0, a.faults, Stamp(answered)});
    // The poem's drill box moves with every answer that is not a guess.
    if (added && !guess) {
        QSqlQuery current(db_);
        current.prepare(QStringLiteral("SELECT box FROM boxes WHERE poem = ?"));
        current.addBindValue(a.poem);
        const int box = current.exec() && current.next() ? current.value(0).toInt() : 1;
        added =
            Run(QStringLiteral("INSERT OR REPLACE INTO boxes (poem, box, moved) VALUES (?, ?, ?)"),
                {a.poem, NextBox(box, a.faults, a.reactionTime, median_),
                 answered.date().toString(Qt::ISODate)});
    }
    if (!added) {
        Run(QStringLiteral("ROLLBACK TO answer"), {});
        Run(QStringLiteral("RELEASE answer"), {});
        return false;
    }
    return Run(QStringLiteral("RELEASE answer"), {});
}

bool HistoryDatabase::FinishGame(qint64 game, int questions, float averageTime, int faults) {
    return Run(QStringLiteral("UPDATE games SET questions = ?, average = ?, faults = ?, "
                              "finished = 1, reaction = (SELECT AVG(reaction_time) FROM answers "
                              "WHERE game = ? AND reaction_time >= 0) WHERE id = ?"),
               {questions, double(averageTime), faults, game, game});
}

bool HistoryDatabase::LoadDrill(std::array<DrillState, 100> *states) {
    *states = {};
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT poem, box, moved FROM boxes"))) {
        return false;
    }
    while (query.next()) {
        const int poem = query.value(0).toInt() - 1;
        if (poem >= 0 && poem < 100) {
            (*states)[size_t(poem)].box = query.value(1).toInt();
            (*states)[size_t(poem)].moved =
                QDate::fromString(query.value(2).toString(), Qt::ISODate);
        }
    }
    if (!query.exec(QStringLiteral(
            "SELECT poem, reaction_sum / reactions FROM poems WHERE reactions > 0"))) {
        return false;
    }
    while (query.next()) {
        const int poem = query.value(0).toInt() - 1;
        if (poem >= 0 && poem < 100) {
            (*states)[size_t(poem)].meanReaction = query.value(1).toDouble();
        }
    }
    return true;
}

bool HistoryDatabase::MarkRegistered(qint64 game) {
    return Run(QStringLiteral("UPDATE games SET registered = 1 WHERE id = ?"), {game});
}

History::History(QString path, Clock now) : path_(std::move(path)), now_(std::move(now)) {
    if (!now_) {
        now_ = [] { return QDateTime::currentDateTime(); };
    }
}

History::~History() {
    if (writer_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        writer_.join(); // the queue is written out first
    }
}

bool History::Open(QString *why) {
    path_ = QFileInfo(path_).absoluteFilePath(); // later changes of folder do not move it
    {
        // Checked and made here, so that the start-up can tell the player at once.
        const std::unique_ptr<HistoryDatabase> check = HistoryDatabase::Open(path_, why);
        if (!check) {
            qCWarning(lcHistory) << "no history:" << *why;
            return false;
        }
    }
    writer_ = std::thread([this] { WriterLoop(); });
    return true;
}

void History::WriterLoop() {
    QString why;
    std::unique_ptr<HistoryDatabase> db = HistoryDatabase::Open(path_, &why);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) {
            return; // stopping, and everything is written
        }
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
        lock.unlock();
        const bool ok = db && task(*db);
        lock.lock();
        busy_ = false;
        if (!ok && !broken_) {
            broken_ = true;
            const QString reason = db ? db->LastError() : why;
            QMetaObject::invokeMethod(
                this, [this, reason] { emit failed(reason); }, Qt::QueuedConnection);
        }
        if (tasks_.empty()) {
            idle_.notify_all();
        }
    }
}

void History::Queue(Task task) {
    if (!IsOpen()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        if (broken_) {
            return;
        }
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void History::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !IsOpen() || (tasks_.empty() && !busy_); });
}

std::unique_ptr<HistoryDatabase> History::Reader(QString *why) {
    if (!IsOpen()) {
        *why = QStringLiteral("履歴がないため、分析できません。");
        return nullptr;
    }
    Flush();
    return HistoryDatabase::Open(path_, why);
}

void History::QuestionAnswered(const AnsweredQuestion &answer) {
    const QDateTime now = now_();
    if (answer.question == 1 || currentGame_ == 0) {
        // Ids are the start's milliseconds, so two copies of the program never share one.
        currentGame_ = std::max(now.toMSecsSinceEpoch(), lastId_ + 1);
        lastId_ = currentGame_;
        Queue([game = currentGame_, now, mode = mode_](HistoryDatabase &db) {
            return db.StartGame(game, now, mode);
        });
    }
    // One transaction an answer: a killed program loses at most this one.
    Queue([game = currentGame_, now, answer](HistoryDatabase &db) {
        return db.AddAnswer(game, now, answer);
    });
}

void History::GameFinished(int questions, float averageTime, int faults) {
    if (currentGame_ == 0) {
        return;
    }
    finishedGame_ = currentGame_;
    currentGame_ = 0;
    Queue([=, game = finishedGame_](HistoryDatabase &db) {
        return db.FinishGame(game, questions, averageTime, faults);
    });
}

void History::ResultRegistered() {
    if (finishedGame_ != 0) {
        Queue([game = finishedGame_](HistoryDatabase &db) { return db.MarkRegistered(game); });
    }
}

} // namespace nupew
