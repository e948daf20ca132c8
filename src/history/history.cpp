// SPDX-License-Identifier: MIT
// The history of every answer and every game, in an SQLite database beside
// the settings, written by a thread of its own so that no verdict waits for it.
#include "history/history.h"

#include "core/safe_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace nupew {
namespace {

Q_LOGGING_CATEGORY(lcHistory, "nupew.history")

const QByteArray kSqliteMagic("SQLite format 3\0", 16);

// IsGuess in SQL: the answers whose reaction counts.
const QString kCountedReaction = QStringLiteral("reaction_time >= 0");

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
// Questions never answered: the fault limit passed on them, or the game was ended.
const char *const kVersion3[] = {
    "ALTER TABLE answers ADD COLUMN lost INTEGER NOT NULL DEFAULT 0",
};
// Verses read aloud: the reaction counts from the decisive sound; a game with
// any such answer is a voice game.
const char *const kVersion4[] = {
    "ALTER TABLE answers ADD COLUMN voice INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE games ADD COLUMN voice INTEGER NOT NULL DEFAULT 0",
};

// Each poem's sums kept apart for answers read aloud and answers shown as
// text (the statistics show either or both), made from the answers.
const char *const kVersion5[] = {
    "CREATE TABLE poem_sums (poem INTEGER NOT NULL, voice INTEGER NOT NULL, answers INTEGER NOT "
    "NULL, time_sum REAL NOT NULL, best REAL NOT NULL, reactions INTEGER NOT NULL, reaction_sum "
    "REAL NOT NULL, guesses INTEGER NOT NULL, faults INTEGER NOT NULL, last TEXT NOT NULL, "
    "PRIMARY KEY (poem, voice))",
    "INSERT INTO poem_sums SELECT poem, voice, SUM(lost = 0), COALESCE(SUM(CASE WHEN lost = 0 "
    "THEN answer_time END), 0), COALESCE(MIN(CASE WHEN lost = 0 THEN answer_time END), 0), "
    "SUM(lost = 0 AND reaction_time >= 0), COALESCE(SUM(CASE WHEN lost = 0 AND reaction_time >= "
    "0 THEN reaction_time END), 0), SUM(lost = 0 AND reaction_time < 0), SUM(faults), "
    "MAX(answered) FROM answers GROUP BY poem, voice",
    "DROP TABLE poems",
};

// The drill's scheduler: each poem's card (FSRS). The boxes of the earlier
// drill become review cards: box b a stability of 2^(b-1) days, due when its
// box was (box 1 at once), harder the lower the box.
const char *const kVersion6[] = {
    "CREATE TABLE cards (poem INTEGER PRIMARY KEY, state INTEGER NOT NULL, step INTEGER NOT "
    "NULL, stability REAL NOT NULL, difficulty REAL NOT NULL, last_review TEXT NOT NULL, due TEXT "
    "NOT NULL, reps INTEGER NOT NULL, lapses INTEGER NOT NULL, introduced TEXT NOT NULL)",
    "CREATE INDEX cards_due ON cards (due)",
    "INSERT INTO cards SELECT poem, 2, 0, 1 << (MIN(MAX(box, 1), 5) - 1), MAX(1.0, 6.4133 - "
    "(MIN(MAX(box, 1), 5) - 1)), moved || 'T12:00:00.000Z', strftime('%Y-%m-%dT12:00:00.000Z', "
    "moved, '+' || CASE WHEN box <= 1 THEN 0 ELSE 1 << (MIN(box, 5) - 1) END || ' days'), "
    "(SELECT COUNT(*) FROM answers a WHERE a.poem = boxes.poem), 0, COALESCE((SELECT "
    "MIN(answered) FROM answers a WHERE a.poem = boxes.poem), moved || 'T12:00:00.000Z') FROM "
    "boxes WHERE box >= 1 AND poem BETWEEN 1 AND 100",
};

// The matches (競技): a row a match, marked finished at its end (a killed
// program leaves it unfinished), and a row a reading once it is over.
// Sides are 0 the player, 1 the opponent; rows 0 上段, 1 中段, 2 下段; a 空札
// has no territory. faults: "PW OE" (who, then W a wrong territory, E a
// 空札); sent: "P12 O45" (who sent which poem).
const char *const kVersion7[] = {
    "CREATE TABLE matches (id INTEGER PRIMARY KEY, started TEXT NOT NULL, opponent TEXT NOT "
    "NULL, layout INTEGER NOT NULL, memorise INTEGER NOT NULL, voice INTEGER NOT NULL, finished "
    "INTEGER NOT NULL DEFAULT 0, winner INTEGER, player_left INTEGER, opponent_left INTEGER, "
    "player_faults INTEGER NOT NULL DEFAULT 0, opponent_faults INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE match_readings (match INTEGER NOT NULL REFERENCES matches(id), reading INTEGER "
    "NOT NULL, poem INTEGER NOT NULL, territory INTEGER, row INTEGER, decisive INTEGER NOT NULL, "
    "taker INTEGER, by_touch INTEGER NOT NULL, reaction REAL, opponent_reaction REAL, faults "
    "TEXT NOT NULL, sent TEXT NOT NULL, voice INTEGER NOT NULL, PRIMARY KEY (match, reading))",
};

// The steps from the first version on, in order: a new file runs them all.
const std::span<const char *const> kSteps[] = {kSchema,   kVersion2, kVersion3, kVersion4,
                                               kVersion5, kVersion6, kVersion7};
static_assert(std::size(kSteps) == kHistorySchemaVersion);

// Every column the program reads or writes: a table of ours with other
// columns is found at start-up, not at the first answer.
const char *const kColumnsCheck =
    "SELECT (SELECT count(*) FROM (SELECT id, started, mode, questions, average, faults, "
    "finished, registered, reaction, voice FROM games WHERE 0)), (SELECT count(*) FROM (SELECT id, "
    "game, "
    "answered, question, poem, upper_mode, lower_mode, cards, delay, answer_time, decisive_step, "
    "reaction_time, faults, lost, voice FROM answers WHERE 0)), (SELECT count(*) FROM (SELECT "
    "poem, voice, answers, time_sum, best, reactions, reaction_sum, guesses, faults, last FROM "
    "poem_sums WHERE 0)), "
    "(SELECT count(*) FROM (SELECT poem, box, moved FROM boxes WHERE 0)), "
    "(SELECT count(*) FROM (SELECT poem, state, step, stability, difficulty, last_review, due, "
    "reps, lapses, introduced FROM cards WHERE 0)), (SELECT count(*) FROM (SELECT id, started, "
    "opponent, layout, memorise, voice, finished, winner, player_left, opponent_left, "
    "player_faults, opponent_faults FROM matches WHERE 0)), (SELECT count(*) FROM (SELECT match, "
    "reading, poem, territory, row, decisive, taker, by_touch, reaction, opponent_reaction, "
    "faults, sent, voice FROM match_readings WHERE 0))";

// The journals SQLite keeps beside the database, by the suffix of their names.
const char *const kJournalSuffixes[] = {"-wal", "-shm", "-journal"};

QString NextConnectionName() {
    static std::atomic<int> serial{0};
    return QStringLiteral("nupew-history-%1").arg(serial.fetch_add(1));
}

QString Stamp(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime ParseStamp(const QString &text) {
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid()) {
        time = QDateTime::fromString(text, Qt::ISODate);
    }
    return time;
}

// A card as the table keeps it; a row that does not make one is a new card.
Card CardOf(const QSqlQuery &row) {
    Card card;
    const int state = row.value(1).toInt();
    if (state < int(CardState::Learning) || state > int(CardState::Relearning)) {
        return card;
    }
    card.state = CardState(state);
    card.step = std::max(0, row.value(2).toInt());
    card.stability = row.value(3).toDouble();
    card.difficulty = std::clamp(row.value(4).toDouble(), 1.0, 10.0);
    card.lastReview = ParseStamp(row.value(5).toString());
    card.due = ParseStamp(row.value(6).toString());
    card.reps = row.value(7).toInt();
    card.lapses = row.value(8).toInt();
    if (!(card.stability > 0.0) || !card.lastReview.isValid() || !card.due.isValid()) {
        return Card{};
    }
    return card;
}

QString ErrorText(const QSqlError &error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QCoreApplication::translate("History", "SQLiteの原因不明のエラー")
                          : text;
}

// Something else than a regular file at a journal's name would be opened,
// written or deleted by SQLite.
Result<> CheckCompanions(const QString &path) {
    for (const char *suffix : kJournalSuffixes) {
        const QString name = path + QString::fromLatin1(suffix);
        struct stat st {};
        if (::lstat(QFile::encodeName(name).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
            return Result<>::Failure(
                QCoreApplication::translate("History", "%1 は通常のファイルではありません。")
                    .arg(name));
        }
    }
    return Ok();
}

// Why SQLite cannot write the history, when the reason is one of its files
// or their folder (immutable, read-only, taken away): SQLite only says "disk
// I/O error" or "unable to open". Fine when every file can be opened.
Result<> DiagnoseFiles(const QString &path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) {
        return Result<>::Failure(
            QCoreApplication::translate("History", "フォルダー %1 に書き込めません（%2）")
                .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    }
    QStringList names{path};
    for (const char *suffix : kJournalSuffixes) {
        names.append(path + QString::fromLatin1(suffix));
    }
    for (const QString &name : names) {
        struct stat st {};
        if (::lstat(QFile::encodeName(name).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return Result<>::Failure(
                QCoreApplication::translate("History", "%1 に書き込めません（%2）")
                    .arg(name, QString::fromLocal8Bit(std::strerror(errno))));
        }
        ::close(fd);
    }
    return Ok();
}

// What the first hundred bytes say of a file that should be our database:
// whether it is fresh (missing or empty) when it is ours, else why not.
Result<bool> CheckHeader(const QString &path) {
    using Checked = Result<bool>;
    const Result<NameKind> name = CheckName(path);
    if (!name.ok()) {
        return Checked::Failure(QStringLiteral("%1: %2").arg(path, name.error()));
    }
    if (const Result<> companions = CheckCompanions(path); !companions.ok()) {
        return Checked::Failure(companions);
    }
    if (name.value() == NameKind::Missing) {
        return true;
    }
    const Result<FileRead> read = ReadRegularFile(path, 100);
    if (!read.ok()) {
        return Checked::Failure(QStringLiteral("%1: %2").arg(path, read.error()));
    }
    const QByteArray &bytes = read.value().bytes;
    if (bytes.isEmpty()) {
        return true;
    }
    if (bytes.size() < 100 || !bytes.startsWith(kSqliteMagic)) {
        return Checked::Failure(
            QCoreApplication::translate("History", "%1 はSQLiteのデータベースではありません。")
                .arg(path));
    }
    const auto *header = reinterpret_cast<const uchar *>(bytes.constData());
    if (qFromBigEndian<quint32>(header + 68) != kHistoryApplicationId) {
        return Checked::Failure(
            QCoreApplication::translate("History", "%1 はこのゲームの履歴ではありません。")
                .arg(path));
    }
    if (qFromBigEndian<qint32>(header + 60) > kHistorySchemaVersion) {
        return Checked::Failure(
            QCoreApplication::translate("History", "%1 は新しい版のゲームで作られた履歴です。")
                .arg(path));
    }
    return false;
}

} // namespace

namespace sqlite {
bool IsTransient(int code) {
    switch (code & 0xff) {
    case kBusy:
    case kLocked:
    case kIoError:
    case kFull:
    case kProtocol:
        return true;
    default:
        return false;
    }
}

bool IsBusy(int code) {
    return (code & 0xff) == kBusy || (code & 0xff) == kLocked;
}
} // namespace sqlite

HistoryDatabase::HistoryDatabase(const QString &connection)
    : connection_(connection),
      db_(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection)) {}

HistoryDatabase::~HistoryDatabase() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

void HistoryDatabase::Remember(const QSqlError &error) {
    error_ = ErrorText(error);
    errorCode_ = error.nativeErrorCode().toInt();
}

bool HistoryDatabase::Exec(QSqlQuery &query, const QString &sql) {
    if (query.exec(sql)) {
        return true;
    }
    Remember(query.lastError());
    qCWarning(lcHistory) << sql << error_;
    return false;
}

Result<std::unique_ptr<HistoryDatabase>> HistoryDatabase::Open(const QString &path, bool check) {
    using Opened = Result<std::unique_ptr<HistoryDatabase>>;
    const Result<bool> header = CheckHeader(path);
    if (!header.ok()) {
        return Opened::Failure(header);
    }
    const bool fresh = header.value();
    std::unique_ptr<HistoryDatabase> history(new HistoryDatabase(NextConnectionName()));
    QSqlDatabase &db = history->db_;
    if (!db.isValid()) {
        return Opened::Failure(
            QCoreApplication::translate("History", "SQLiteのドライバー(QSQLITE)がありません。"));
    }
    const auto failed = [&]() -> Opened { return Opened::Failure(history->Outcome(false)); };
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        history->Remember(db.lastError());
        return failed();
    }
    QSqlQuery query(db);
    if (fresh && !history->Create()) {
        return failed();
    }
    if (!history->Exec(query, QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return failed();
    }
    const int version = query.value(0).toInt();
    query.finish();
    if (check) {
        // A file with our header but damaged inside is found here, before any write.
        if (!history->Exec(query, QStringLiteral("PRAGMA quick_check")) || !query.next()) {
            return failed();
        }
        if (const QString verdict = query.value(0).toString(); verdict != QStringLiteral("ok")) {
            return Opened::Failure(
                QCoreApplication::translate("History", "%1 は壊れています（%2）。")
                    .arg(path, verdict));
        }
        query.finish();
    }
    if ((version < kHistorySchemaVersion && !history->Upgrade(version)) ||
        !history->Exec(query, QString::fromLatin1(kColumnsCheck)) ||
        !history->Exec(query, QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !history->Exec(query, QStringLiteral("PRAGMA synchronous = NORMAL"))) {
        return failed();
    }
    return history;
}

Result<std::unique_ptr<HistoryDatabase>> HistoryDatabase::OpenEmpty() {
    using Opened = Result<std::unique_ptr<HistoryDatabase>>;
    std::unique_ptr<HistoryDatabase> history(new HistoryDatabase(NextConnectionName()));
    history->db_.setDatabaseName(QStringLiteral(":memory:"));
    if (!history->db_.open()) {
        return Opened::Failure(ErrorText(history->db_.lastError()));
    }
    if (!history->Create()) {
        return Opened::Failure(history->Outcome(false));
    }
    return history;
}

bool HistoryDatabase::Create() {
    // One writing transaction makes the whole schema: a second copy of the
    // program creating the file at the same moment waits, then finds it made.
    QSqlQuery query(db_);
    if (!Exec(query, QStringLiteral("BEGIN IMMEDIATE"))) {
        return false;
    }
    bool made = Exec(query, QStringLiteral("SELECT count(*) FROM sqlite_master")) && query.next();
    const bool empty = made && query.value(0).toInt() == 0;
    query.finish();
    if (made && empty) {
        for (const auto &step : kSteps) {
            for (const char *statement : step) {
                made = made && Exec(query, QString::fromLatin1(statement));
            }
        }
        made =
            made &&
            Exec(query, QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId)) &&
            Exec(query, QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion));
    } else if (made) {
        // Made meanwhile by another copy: it must be ours.
        made = Exec(query, QStringLiteral("PRAGMA application_id")) && query.next();
        if (made && query.value(0).toUInt() != kHistoryApplicationId) {
            error_ = QCoreApplication::translate("History", "このゲームの履歴ではありません。");
            errorCode_ = 0;
            made = false;
        }
        query.finish();
    }
    if (!made) {
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return Exec(query, QStringLiteral("COMMIT"));
}

bool HistoryDatabase::Upgrade(int version) {
    QSqlQuery query(db_);
    bool ok = Exec(query, QStringLiteral("BEGIN IMMEDIATE"));
    // Another copy may have brought it forward meanwhile.
    ok = ok && Exec(query, QStringLiteral("PRAGMA user_version")) && query.next();
    const int now = ok ? query.value(0).toInt() : version;
    query.finish();
    // kSteps[v] brings version v to v + 1.
    for (int step = std::max(now, 1); ok && step < kHistorySchemaVersion; ++step) {
        for (const char *statement : kSteps[step]) {
            ok = ok && Exec(query, QString::fromLatin1(statement));
        }
    }
    ok = ok && Exec(query, QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion));
    if (!ok) {
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return Exec(query, QStringLiteral("COMMIT"));
}

Result<> HistoryDatabase::Outcome(bool ok) const {
    return ok ? Ok() : Result<>::Failure(error_, errorCode_);
}

bool HistoryDatabase::Run(const QString &sql, const QVariantList &values) {
    QSqlQuery query(db_);
    if (!query.prepare(sql)) {
        Remember(query.lastError());
        qCWarning(lcHistory) << sql << error_;
        return false;
    }
    for (const QVariant &value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        Remember(query.lastError());
        qCWarning(lcHistory) << sql << error_;
        return false;
    }
    return true;
}

Result<> HistoryDatabase::StartGame(qint64 game, const QDateTime &started, const QString &mode) {
    return Outcome(Run(QStringLiteral("INSERT INTO games (id, started, mode) VALUES (?, ?, ?) "
                                      "ON CONFLICT (id) DO NOTHING"),
                       {game, Stamp(started), mode.isNull() ? QStringLiteral("") : mode}));
}

Result<> HistoryDatabase::StartMatch(qint64 match, const QDateTime &started,
                                     const match::MatchLog::Start &start) {
    return Outcome(Run(QStringLiteral("INSERT INTO matches (id, started, opponent, layout, "
                                      "memorise, voice) VALUES (?, ?, ?, ?, ?, ?)"),
                       {match, Stamp(started), start.opponent, int(start.layout),
                        start.memoriseMinutes, int(start.voiced)}));
}

// An empty list joins to a null string, which the driver binds as NULL.
QString NotNull(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

Result<> HistoryDatabase::AddMatchReading(qint64 match, int index, const match::Reading &r,
                                          bool voiced) {
    const auto side = [](match::Side s) { return s == match::Side::Player ? u'P' : u'O'; };
    QStringList faults;
    for (const match::Fault &f : r.faults) {
        faults << QString(side(f.who)) + (f.kind == match::FaultKind::EmptyCard ? u'E' : u'W');
    }
    QStringList sent;
    for (qsizetype i = 0; i < r.sent.size() && i < r.sendings.size(); ++i) {
        sent << QString(side(r.sendings[i].from)) + QString::number(r.sent[i].number());
    }
    const auto optional = [](const auto &value, auto of) {
        return value ? QVariant(of(*value)) : QVariant();
    };
    const std::optional<double> reaction = r.PlayerReaction();
    return Outcome(Run(
        QStringLiteral("INSERT OR REPLACE INTO match_readings (match, reading, poem, territory, "
                       "row, decisive, taker, by_touch, reaction, opponent_reaction, faults, "
                       "sent, voice) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {match, index, r.poem.number(),
         optional(r.place, [](const match::Place &p) { return int(p.side); }),
         optional(r.place, [](const match::Place &p) { return int(p.row); }), r.decisiveCount,
         optional(r.take, [](const match::Take &t) { return int(t.who); }),
         int(r.take && r.take->byTouch), optional(reaction, [](double v) { return v; }),
         optional(r.opponentDrawn, [](double v) { return v; }), NotNull(faults.join(u' ')),
         NotNull(sent.join(u' ')), int(voiced)}));
}

Result<> HistoryDatabase::EndMatch(qint64 match, const MatchEnd &end) {
    return Outcome(
        Run(QStringLiteral("UPDATE matches SET finished = ?, winner = ?, player_left = "
                           "?, opponent_left = ?, player_faults = ?, opponent_faults "
                           "= ? WHERE id = ?"),
            {int(end.finished), end.winner ? QVariant(int(*end.winner)) : QVariant(),
             end.playerLeft, end.opponentLeft, end.playerFaults, end.opponentFaults, match}));
}

Result<> HistoryDatabase::AddAnswerOfGame(qint64 game, const QDateTime &started,
                                          const QString &mode, const QDateTime &answered,
                                          const AnsweredQuestion &answer) {
    const Result<> added = Transaction([&] {
        const Result<> made = StartGame(game, started, mode);
        return made.ok() ? AddAnswer(game, answered, answer) : made;
    });
    return added;
}

Result<> HistoryDatabase::Transaction(const std::function<Result<>()> &steps) {
    // A commit that fails (a full disk) would leave the transaction open, so
    // every failure ends in a rollback and the whole is tried again later.
    if (!Run(QStringLiteral("BEGIN IMMEDIATE"), {})) {
        return Outcome(false);
    }
    Result<> done = steps();
    if (done.ok() && !Run(QStringLiteral("COMMIT"), {})) {
        done = Outcome(false);
    }
    if (!done.ok()) {
        RollBack();
    }
    return done;
}

void HistoryDatabase::RollBack() {
    // The reason stays the failed statement's, not the rollback's.
    const QString error = error_;
    const int code = errorCode_;
    QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
    error_ = error;
    errorCode_ = code;
}

bool HistoryDatabase::Review(const AnsweredQuestion &a, const QDateTime &answered) {
    QSqlQuery row(db_);
    row.prepare(QStringLiteral("SELECT poem, state, step, stability, difficulty, last_review, due, "
                               "reps, lapses, introduced FROM cards WHERE poem = ?"));
    row.addBindValue(a.poem.number());
    if (!row.exec()) {
        Remember(row.lastError());
        return false;
    }
    Card card;
    QString introduced = Stamp(answered);
    if (row.next()) {
        card = CardOf(row);
        if (card.state != CardState::New) {
            introduced = row.value(9).toString();
        }
    }
    row.finish();
    const Card next = Fsrs().Review(card, GradeOf(a.faults, a.lost, a.reactionTime), answered);
    return Run(QStringLiteral("INSERT OR REPLACE INTO cards (poem, state, step, stability, "
                              "difficulty, last_review, due, reps, lapses, introduced) VALUES (?, "
                              "?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {a.poem.number(), int(next.state), next.step, next.stability, next.difficulty,
                Stamp(next.lastReview), Stamp(next.due), next.reps, next.lapses, introduced});
}

Result<> HistoryDatabase::AddAnswer(qint64 game, const QDateTime &answered,
                                    const AnsweredQuestion &a) {
    // The answer and its poem's sums go in together or not at all; a savepoint
    // is its own transaction, or a part of the caller's.
    if (!Run(QStringLiteral("SAVEPOINT answer"), {})) {
        return Outcome(false);
    }
    const bool guess = IsGuess(a.reactionTime);
    bool added =
        Run(QStringLiteral("INSERT INTO answers (game, answered, question, poem, upper_mode, "
                           "lower_mode, cards, delay, answer_time, decisive_step, "
                           "reaction_time, faults, lost, voice) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, ?, ?, ?, ?, ?)"),
            {game, Stamp(answered), a.question, a.poem.number(), a.upperTextMode, a.lowerTextMode,
             a.cardCount, a.revealDelay, double(a.answerTime), a.decisiveStep,
             a.lost ? -1.0 : double(a.reactionTime), a.faults, a.lost ? 1 : 0, a.voiced ? 1 : 0});
    if (added && a.voiced) {
        added = Run(QStringLiteral("UPDATE games SET voice = 1 WHERE id = ?"), {game});
    }
    // A lost question adds its faults to the poem's sums, and nothing else.
    if (added && a.lost) {
        added = Run(QStringLiteral("INSERT INTO poem_sums (poem, voice, answers, time_sum, best, "
                                   "reactions, reaction_sum, guesses, faults, last) VALUES (?, ?, "
                                   "0, 0, 0, 0, 0, 0, ?, ?) ON CONFLICT (poem, voice) DO UPDATE "
                                   "SET faults = faults + excluded.faults, last = MAX(last, "
                                   "excluded.last)"),
                    {a.poem.number(), a.voiced ? 1 : 0, a.faults, Stamp(answered)});
    } else if (added) {
        added = Run(
            QStringLiteral(
                "INSERT INTO poem_sums (poem, voice, answers, time_sum, best, reactions, "
                "reaction_sum, guesses, faults, last) VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?) ON "
                "CONFLICT (poem, voice) DO UPDATE SET answers = answers + 1, time_sum = time_sum + "
                "excluded.time_sum, best = "
                "CASE WHEN answers > 0 THEN MIN(best, excluded.best) ELSE excluded.best END, "
                "reactions = reactions + excluded.reactions, reaction_sum = reaction_sum + "
                "excluded.reaction_sum, guesses = guesses + excluded.guesses, faults = faults + "
                "excluded.faults, last = MAX(last, excluded.last)"),
            {a.poem.number(), a.voiced ? 1 : 0, double(a.answerTime), double(a.answerTime),
             guess ? 0 : 1, guess ? 0.0 : double(a.reactionTime), guess ? 1 : 0, a.faults,
             Stamp(answered)});
    }
    // Every answer is a review of the poem's card, a lost one graded Again.
    if (added) {
        added = Review(a, answered);
    }
    if (!added) {
        const QString error = error_;
        const int code = errorCode_;
        Run(QStringLiteral("ROLLBACK TO answer"), {});
        Run(QStringLiteral("RELEASE answer"), {});
        error_ = error;
        errorCode_ = code;
        return Outcome(false);
    }
    return Outcome(Run(QStringLiteral("RELEASE answer"), {}));
}

Result<> HistoryDatabase::FinishGame(qint64 game, int questions, float averageTime, int faults) {
    return Outcome(Run(QStringLiteral("UPDATE games SET questions = ?, average = ?, faults = ?, "
                                      "finished = %2, reaction = (SELECT AVG(reaction_time) FROM "
                                      "answers WHERE game = ? AND %1) WHERE id = ?")
                           .arg(kCountedReaction)
                           .arg(int(GameOutcome::Finished)),
                       {questions, double(averageTime), faults, game, game}));
}

Result<> HistoryDatabase::StopGame(qint64 game, int questions, int faults, GameOutcome how) {
    return Outcome(Run(QStringLiteral("UPDATE games SET questions = ?, faults = ?, finished = ?, "
                                      "reaction = (SELECT AVG(reaction_time) FROM answers WHERE "
                                      "game = ? AND %1) WHERE id = ?")
                           .arg(kCountedReaction),
                       {questions, faults, int(how), game, game}));
}

Result<std::array<DrillState, kPoemCount>> HistoryDatabase::LoadDrill() {
    using Loaded = Result<std::array<DrillState, kPoemCount>>;
    std::array<DrillState, kPoemCount> drill{};
    auto *states = &drill;
    QSqlQuery query(db_);
    if (!Exec(query, QStringLiteral("SELECT poem, state, step, stability, difficulty, "
                                    "last_review, due, reps, lapses, introduced FROM cards"))) {
        return Loaded::Failure(Outcome(false));
    }
    while (query.next()) {
        const int poem = query.value(0).toInt() - 1;
        if (poem >= 0 && poem < kPoemCount) {
            DrillState &state = (*states)[size_t(poem)];
            state.card = CardOf(query);
            state.introduced = ParseStamp(query.value(9).toString());
        }
    }
    if (!Exec(query, QStringLiteral("SELECT poem, CASE WHEN SUM(reactions) > 0 THEN "
                                    "SUM(reaction_sum) / SUM(reactions) END, SUM(faults) FROM "
                                    "poem_sums GROUP BY poem"))) {
        return Loaded::Failure(Outcome(false));
    }
    while (query.next()) {
        const int poem = query.value(0).toInt() - 1;
        if (poem >= 0 && poem < kPoemCount) {
            if (!query.value(1).isNull()) {
                (*states)[size_t(poem)].meanReaction = query.value(1).toDouble();
            }
            (*states)[size_t(poem)].faults = query.value(2).toInt();
        }
    }
    return drill;
}

Result<> HistoryDatabase::MarkRegistered(qint64 game) {
    return Outcome(Run(QStringLiteral("UPDATE games SET registered = 1 WHERE id = ?"), {game}));
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
        writer_.join(); // the queue is written out first, as far as it can be
    }
}

Result<> History::Open() {
    path_ = QFileInfo(path_).absoluteFilePath(); // later changes of folder do not move it
    // Checked here, so that the start-up can tell the player at once: a file
    // that is not ours, or something else at one of its journals' names.
    const Result<bool> header = CheckHeader(path_);
    if (!header.ok()) {
        qCWarning(lcHistory) << "no history:" << header.error();
        return Result<>::Failure(header);
    }
    const bool fresh = header.value();
    writer_ = std::thread([this] { WriterLoop(); });
    // A missing file is made at the first answer, so that a start-up on a
    // nearly full disk leaves the room to the settings and the records. One
    // that is there is opened and read through for damage by the writer
    // (tens of milliseconds for a long history), before anything is written.
    if (!fresh) {
        Queue([](HistoryDatabase &) { return Ok(); });
    }
    return Ok();
}

void History::Fail(const QString &why) {
    // Called by the writer with the mutex held, once the task it ran is done.
    broken_ = true;
    tasks_.clear();
    waiting_ = false;
    qCWarning(lcHistory) << "history stopped:" << why;
    TellFailure(why);
    idle_.notify_all();
}

void History::TellFailure(const QString &why) {
    // Called with the mutex held; the player hears of the history's end once.
    if (failureTold_) {
        return;
    }
    failureTold_ = true;
    QMetaObject::invokeMethod(
        this, [this, why] { emit failed(why); }, Qt::QueuedConnection);
}

void History::WriterLoop() {
    using namespace std::chrono;
    // A failure that may pass is tried again: at once when a new write comes,
    // else after a pause; a lock held elsewhere sooner than a full disk.
    constexpr milliseconds kBusyPause{250};
    constexpr milliseconds kFullPause{3000};
    constexpr milliseconds kTellBusyAfter{30000};
    std::unique_ptr<HistoryDatabase> db;
    bool checked = false;
    bool stalling = false;
    steady_clock::time_point stalledSince{};
    milliseconds pause = kBusyPause;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (waiting_ && !stopping_) {
            const size_t queued = tasks_.size();
            wake_.wait_for(lock, pause, [&] { return stopping_ || tasks_.size() != queued; });
        } else {
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        }
        if (tasks_.empty() || broken_) {
            if (stopping_) {
                return; // everything is written
            }
            continue;
        }
        const bool last = stopping_; // one more try of each write, then the end
        busy_ = true;
        lock.unlock();
        Result<> done = Ok();
        if (!db) {
            // The first opening also reads the whole file for damage.
            Result<std::unique_ptr<HistoryDatabase>> opened =
                HistoryDatabase::Open(path_, !checked);
            if (opened.ok()) {
                db = std::move(opened).value();
                checked = true;
            } else {
                done = Result<>::Failure(opened);
            }
        }
        if (db) {
            lock.lock();
            Task task = tasks_.front();
            lock.unlock();
            done = task(*db);
            if (!done.ok()) {
                db->RollBack(); // nothing of a failed write stays pending in the connection
            }
        }
        const bool ok = done.ok();
        QString why = ok ? QString() : done.error();
        const bool busyFailure = !ok && sqlite::IsBusy(done.code());
        bool transient = !ok && sqlite::IsTransient(done.code());
        if (!ok && !busyFailure) {
            // A file that cannot be written will not pass by waiting.
            if (const Result<> files = DiagnoseFiles(path_); !files.ok()) {
                why = QStringLiteral("%1\n%2").arg(files.error(), why);
                transient = false;
            }
        }
        if (!ok && !transient) {
            db.reset();
        }
        lock.lock();
        busy_ = false;
        if (ok) {
            tasks_.pop_front(); // only the writer takes tasks away
            waiting_ = false;
            stalling = false;
        } else if (transient && !last) {
            waiting_ = true;
            pause = busyFailure ? kBusyPause : kFullPause;
            if (!stalling) {
                stalling = true;
                stalledSince = steady_clock::now();
            }
            // A lock held elsewhere is told only when it lasts; a full disk at once.
            if (!stallTold_ &&
                steady_clock::now() - stalledSince >= (busyFailure ? kTellBusyAfter : 0ms)) {
                stallTold_ = true;
                QMetaObject::invokeMethod(
                    this, [this, why] { emit stalled(why); }, Qt::QueuedConnection);
            }
        } else if (transient) {
            qCWarning(lcHistory) << tasks_.size() << "writes lost at the end:" << why;
            tasks_.clear();
        } else {
            Fail(why);
        }
        if (tasks_.empty() || waiting_ || broken_) {
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
        // The queue is full: the writes already in it stay and are written
        // once the file can be written; no more are taken, and the player is
        // told that the game goes on without a history. The writer may be
        // running the head meanwhile: nothing is taken from under it.
        if (int(tasks_.size()) >= kMaxQueued || full_) {
            if (!full_) {
                full_ = true;
                qCWarning(lcHistory) << "history full:" << tasks_.size() << "writes waiting";
                TellFailure(QCoreApplication::translate(
                                "History", "%1 件の書き込みが、書き込めないまま待っています。")
                                .arg(kMaxQueued));
            }
            return;
        }
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void History::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock,
               [this] { return !IsOpen() || broken_ || waiting_ || (tasks_.empty() && !busy_); });
}

bool History::WaitWritten(int milliseconds) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] {
        return !IsOpen() || broken_ || (tasks_.empty() && !busy_);
    }) && tasks_.empty();
}

int History::Pending() {
    const std::lock_guard lock(mutex_);
    return int(tasks_.size());
}

Result<std::unique_ptr<HistoryDatabase>> History::OpenReadConnection() {
    {
        const std::lock_guard lock(mutex_);
        if (!IsOpen() || broken_) {
            return Result<std::unique_ptr<HistoryDatabase>>::Failure(
                QCoreApplication::translate("History", "履歴がないため、分析できません。"));
        }
    }
    Flush();
    if (const Result<NameKind> name = CheckName(path_);
        name.ok() && name.value() == NameKind::Missing) {
        return HistoryDatabase::OpenEmpty(); // nothing answered yet
    }
    return HistoryDatabase::Open(path_);
}

void History::GameStarted() {
    const QDateTime now = now_();
    // Ids are the start's milliseconds, so two copies of the program never share one.
    currentGame_ = std::max(now.toMSecsSinceEpoch(), lastId_ + 1);
    lastId_ = currentGame_;
    currentStart_ = now;
    currentMode_ = mode_;
}

void History::QuestionAnswered(const AnsweredQuestion &answer) {
    const QDateTime now = now_();
    if (currentGame_ == 0) {
        GameStarted(); // told of no start: the game begins with this answer
    }
    // One transaction an answer, with its game's row: a killed program loses
    // at most this one, and no answer is ever kept without its game.
    Queue([game = currentGame_, started = currentStart_, mode = currentMode_, now,
           answer](HistoryDatabase &db) {
        return db.AddAnswerOfGame(game, started, mode, now, answer);
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

void History::GameStopped(int questions, int faults, GameStop how) {
    if (currentGame_ == 0) {
        return;
    }
    const qint64 game = std::exchange(currentGame_, 0);
    // A game without a single answer still has its row: when it began, and how it ended.
    Queue([=, started = currentStart_, mode = currentMode_](HistoryDatabase &db) {
        return db.Transaction([&] {
            const Result<> made = db.StartGame(game, started, mode);
            return made.ok() ? db.StopGame(game, questions, faults,
                                           how == GameStop::FaultLimit ? GameOutcome::FaultLimit
                                                                       : GameOutcome::EndedByPlayer)
                             : made;
        });
    });
}

void History::MatchStarted(const match::MatchLog::Start &start) {
    const QDateTime now = now_();
    currentMatch_ = std::max(now.toMSecsSinceEpoch(), lastMatch_ + 1);
    lastMatch_ = currentMatch_;
    Queue([match = currentMatch_, now, start](HistoryDatabase &db) {
        return db.StartMatch(match, now, start);
    });
}

void History::MatchReading(int index, const match::Reading &reading, bool voiced) {
    if (currentMatch_ != 0) {
        Queue([match = currentMatch_, index, reading, voiced](HistoryDatabase &db) {
            return db.AddMatchReading(match, index, reading, voiced);
        });
    }
}

void History::MatchEnded(const match::Match &m, bool finished) {
    if (currentMatch_ == 0) {
        return;
    }
    const MatchEnd end{finished,
                       finished ? m.Winner() : std::nullopt,
                       int(m.mat().Count(match::Side::Player)),
                       int(m.mat().Count(match::Side::Opponent)),
                       m.Faults(match::Side::Player),
                       m.Faults(match::Side::Opponent)};
    Queue([match = std::exchange(currentMatch_, 0), end](HistoryDatabase &db) {
        return db.EndMatch(match, end);
    });
}

void History::ResultRegistered() {
    if (finishedGame_ != 0) {
        Queue([game = finishedGame_](HistoryDatabase &db) { return db.MarkRegistered(game); });
    }
}

} // namespace nupew
