// SPDX-License-Identifier: MIT
// The answer history in a real SQLite file: rows of a scripted game, files
// that are not ours, and the statistics read back.
#include "fakes.h"
#include "history/history.h"
#include "history/practice_source.h"
#include "history/statistics.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QtEndian>
#include <array>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace nupew;
using namespace nupew::testing;

namespace {

QList<QVariantList> RowsIn(const QString &folder, const QString &sql) {
    QString why;
    const std::unique_ptr<HistoryDatabase> db =
        Take(HistoryDatabase::Open(folder + u'/' + kHistoryFile), &why);
    QList<QVariantList> rows;
    if (!db) {
        qWarning("no history: %s", qPrintable(why));
        return rows;
    }
    QSqlQuery query(db->Connection());
    query.exec(sql);
    while (query.next()) {
        QVariantList row;
        for (int c = 0; c < query.record().count(); ++c) {
            row.append(query.value(c));
        }
        rows.append(row);
    }
    return rows;
}

QList<QVariantList> Rows(const QString &sql) {
    return RowsIn(QDir::currentPath(), sql);
}

AnsweredQuestion Answer(int poem, float time, float reaction, int faults = 0, int question = 1) {
    AnsweredQuestion a;
    a.question = question;
    a.poem = Poem::FromNumber(poem);
    a.cardCount = 8;
    a.answerTime = time;
    a.reactionTime = reaction;
    a.faults = faults;
    return a;
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void scriptedGameLeavesItsRows() {
        InTemporaryFolder folder;
        History history(kHistoryFile, [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 0)); });
        QString why;
        QVERIFY2(Succeeded(history.Open(), &why), qPrintable(why));
        FakeWorld world;
        world.game.SetAnswerLog(&history);
        world.settings.revealDelay = 0;
        world.settings.cardCount = 4;
        world.game.NewGame();
        for (int q = 1; q <= 5; ++q) {
            world.game.StartQuestion();
            if (q == 2) {
                world.Pick((world.game.answerPosition() + 1) % 4 + 1);
            }
            world.clock.now += 2.0f;
            world.Pick(world.game.answerPosition() + 1);
        }
        history.ResultRegistered();
        history.Flush();
        const QList<QVariantList> answers = Rows(QStringLiteral(
            "SELECT question, cards, delay, answer_time, reaction_time, faults, answered "
            "FROM answers ORDER BY id"));
        QCOMPARE(answers.size(), 5);
        QCOMPARE(answers[1].mid(0, 6), (QVariantList{2, 4, 0, 2.0, 2.0, 1}));
        // Stamped in UTC, whatever the zone of the machine.
        QCOMPARE(answers[0][6].toString(),
                 QDateTime(QDate(2026, 12, 7), QTime(9, 0)).toUTC().toString(Qt::ISODateWithMs));
        const QList<QVariantList> games =
            Rows(QStringLiteral("SELECT questions, average, faults, finished, registered, mode "
                                "FROM games"));
        QCOMPARE(games, (QList<QVariantList>{{5, 2.0, 1, 1, 1, QString()}}));
        QVERIFY(QFile::exists(kHistoryFile + QStringLiteral("-wal")));
    }

    // Every fault is kept against its poem and game: the question on which
    // the fault limit passed, and the one under way when the player ends the
    // game; a game's row says when it began and how it ended.
    void gamesThatEndEarlyKeepTheirFaults() {
        InTemporaryFolder folder;
        int tick = 0;
        History history(kHistoryFile, [&tick] {
            return QDateTime(QDate(2026, 12, 7), QTime(9, 0)).addSecs(tick++);
        });
        QString why;
        QVERIFY(Succeeded(history.Open(), &why));
        FakeWorld world;
        world.game.SetAnswerLog(&history);
        world.settings.revealDelay = 0;
        world.settings.faultLimit = 1;
        world.game.NewGame();
        world.game.StartQuestion(); // tick 0: the game's start
        const int lostPoem = world.game.currentPoem()->number();
        const int right = world.game.answerPosition() + 1;
        world.Pick(right % 8 + 1); // two wrong cards: past the limit of one
        world.Pick((right + 1) % 8 + 1);
        QCOMPARE(world.dialogs.texts(), QStringList{"もう一度挑戦しますか。"});
        // Another game: two answers, a fault on the third, then the board is closed.
        world.settings.faultLimit = 8;
        world.game.NewGame();
        for (int q = 1; q <= 3; ++q) {
            world.game.StartQuestion();
            if (q == 3) {
                world.Pick(world.game.answerPosition() % 7 + 2);
                break;
            }
            world.Pick(world.game.answerPosition() + 1);
        }
        world.game.StopQuestion();
        world.game.NewGame();
        world.game.StartQuestion();
        world.game.StopQuestion(); // a game ended before any answer
        QVERIFY(history.WaitWritten(5000));
        QCOMPARE(Rows(QStringLiteral("SELECT poem, faults, lost, reaction_time FROM answers "
                                     "WHERE lost = 1 ORDER BY id"))
                     .first(),
                 (QVariantList{lostPoem, 2, 1, -1.0}));
        QCOMPARE(Rows("SELECT COUNT(*), SUM(lost), SUM(faults) FROM answers"),
                 (QList<QVariantList>{{4, 2, 3}}));
        QCOMPARE(Rows(QStringLiteral("SELECT answers, faults FROM poem_sums WHERE poem = %1")
                          .arg(lostPoem)),
                 (QList<QVariantList>{{0, 2}}));
        // A lost poem is a review graded Again: back to the first learning step.
        QCOMPARE(
            Rows(QStringLiteral("SELECT state, step FROM cards WHERE poem = %1").arg(lostPoem)),
            (QList<QVariantList>{{int(CardState::Learning), 0}}));
        QCOMPARE(Rows("SELECT finished, questions, faults FROM games ORDER BY id"),
                 (QList<QVariantList>{{2, 0, 2}, {3, 2, 1}, {3, 0, 0}}));
        // Each game's start is its first question's start, before any answer.
        QCOMPARE(Rows("SELECT COUNT(*) FROM games g WHERE started >= (SELECT MIN(answered) "
                      "FROM answers WHERE game = g.id)"),
                 (QList<QVariantList>{{0}}));
    }

    // Files that are not our history (another program's database, a newer
    // history; text is in the program's tests) are refused at once and never
    // written; ours damaged inside is found by the writer (below).
    void foreignFilesAreLeftUntouched() {
        QByteArray other("SQLite format 3\0", 16);
        other += QByteArray(84, '\0');
        QByteArray newer = other;
        qToBigEndian<quint32>(kHistoryApplicationId, newer.data() + 68);
        qToBigEndian<qint32>(kHistorySchemaVersion + 1, newer.data() + 60);
        for (const QByteArray &bytes :
             {other + QByteArray(4000, 'x'), newer + QByteArray(4000, '\0')}) {
            InTemporaryFolder folder;
            QVERIFY(WriteAll(kHistoryFile, bytes));
            History history;
            QString why;
            QVERIFY(!Succeeded(history.Open(), &why) && !why.isEmpty());
            history.QuestionAnswered(Answer(1, 1.0f, 0.5f)); // nowhere to go, and no harm
            history.Flush();
            QCOMPARE(ReadAll(kHistoryFile), bytes);
            QCOMPARE(QDir(".").entryList(QDir::Files), QStringList{kHistoryFile});
        }
    }

    // Two copies of the program making the history at the same moment both
    // keep their answer: the schema is made by one of them, inside one
    // transaction, and the other finds it made.
    void twoCopiesMakeOneHistory() {
        for (int round = 0; round < 20; ++round) {
            InTemporaryFolder folder;
            std::array<QProcess, 2> copies;
            for (QProcess &copy : copies) {
                copy.start(QStringLiteral(CRASH_WRITER), {QStringLiteral("history-once")});
                QVERIFY(copy.waitForStarted());
            }
            for (QProcess &copy : copies) {
                copy.write("go\n");
            }
            for (QProcess &copy : copies) {
                QVERIFY(copy.waitForFinished(20000));
                QVERIFY2(copy.exitCode() == 0, copy.readAllStandardError().constData());
            }
            QCOMPARE(Rows("SELECT (SELECT COUNT(*) FROM answers), (SELECT COUNT(*) FROM games)"),
                     (QList<QVariantList>{{2, 2}}));
        }
    }

    // Another program holding the file for four seconds mid-game: the answers
    // wait and are all written once it lets go, and nobody is bothered.
    void lockedFileWaitsAndKeeps() {
        InTemporaryFolder folder;
        History history;
        QSignalSpy failed(&history, &History::failed);
        QSignalSpy stalled(&history, &History::stalled);
        QString why;
        QVERIFY(Succeeded(history.Open(), &why));
        QVERIFY(!QFile::exists(kHistoryFile)); // made at the first answer, not at start-up
        history.QuestionAnswered(Answer(1, 1.0f, 0.5f));
        QVERIFY(history.WaitWritten(5000));
        QProcess holder;
        holder.start(QStringLiteral(CRASH_WRITER),
                     {QStringLiteral("hold"), QStringLiteral("4000")});
        QVERIFY(holder.waitForReadyRead(10000)); // "held"
        for (int q = 2; q <= 6; ++q) {
            history.QuestionAnswered(Answer(q, 1.0f, 0.5f, 0, q));
        }
        QVERIFY(holder.state() == QProcess::Running); // queued while the file is held
        QVERIFY(holder.waitForFinished(10000) && holder.exitCode() == 0);
        QVERIFY(history.WaitWritten(10000));
        QCOMPARE(Rows("SELECT COUNT(*), COUNT(DISTINCT game) FROM answers"),
                 (QList<QVariantList>{{6, 1}}));
        QCoreApplication::processEvents();
        QCOMPARE(failed.size() + stalled.size(), 0);
    }

    // More answers than the queue takes while another program holds the
    // file: no more are taken, the player is told once, and the answers
    // queued before the limit are all written once the file is free (they
    // used to be thrown away from under the writer, which could then take
    // one from an empty queue).
    void overflowingQueueKeepsWhatItHolds() {
        InTemporaryFolder folder;
        History history;
        QSignalSpy failed(&history, &History::failed);
        QString why;
        QVERIFY(Succeeded(history.Open(), &why));
        history.QuestionAnswered(Answer(1, 1.0f, 0.5f));
        QVERIFY(history.WaitWritten(5000));
        QProcess holder;
        holder.start(QStringLiteral(CRASH_WRITER),
                     {QStringLiteral("hold"), QStringLiteral("3000")});
        QVERIFY(holder.waitForReadyRead(10000)); // "held"
        for (int q = 0; q < History::kMaxQueued + 50; ++q) {
            history.QuestionAnswered(Answer(q % 100 + 1, 1.0f, 0.5f, 0, q + 2));
        }
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY2(failed[0][0].toString().contains(QString::number(History::kMaxQueued)),
                 qPrintable(failed[0][0].toString()));
        QVERIFY(holder.waitForFinished(10000) && holder.exitCode() == 0);
        QVERIFY(history.WaitWritten(30000));
        QCOMPARE(Rows("SELECT COUNT(*) FROM answers"),
                 (QList<QVariantList>{{1 + History::kMaxQueued}}));
        history.QuestionAnswered(Answer(1, 1.0f, 0.5f)); // the history takes no more
        QVERIFY(history.WaitWritten(5000));
        QCoreApplication::processEvents();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(Rows("SELECT COUNT(*) FROM answers"),
                 (QList<QVariantList>{{1 + History::kMaxQueued}}));
    }

    // A full disk mid-game keeps the answers queued and says so once; freed,
    // the next answer takes them all along.
    void fullDiskKeepsTheAnswers() {
        QTemporaryDir dir;
        const QByteArray mountPoint = QFile::encodeName(dir.path());
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=512k") != 0) {
            QSKIP("mounting a tmpfs needs root");
        }
        const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
        {
            InTemporaryFolder folder(dir.path());
            History history;
            QSignalSpy failed(&history, &History::failed);
            QSignalSpy stalled(&history, &History::stalled);
            QString why;
            QVERIFY(Succeeded(history.Open(), &why));
            history.QuestionAnswered(Answer(1, 1.0f, 0.5f));
            QVERIFY(history.WaitWritten(5000));
            QFile filler(QStringLiteral("filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
            for (int q = 2; q <= 5; ++q) {
                history.QuestionAnswered(Answer(q * 7, 1.0f, 0.5f, 0, q));
            }
            QTRY_COMPARE_WITH_TIMEOUT(stalled.size(), 1, 10000);
            QVERIFY(!stalled[0][0].toString().isEmpty());
            QVERIFY(history.Pending() > 0);
            filler.close();
            QVERIFY(filler.remove());
            history.QuestionAnswered(Answer(60, 1.0f, 0.5f, 0, 6));
            QVERIFY(history.WaitWritten(10000));
            QCOMPARE(failed.size(), 0);
            QCOMPARE(stalled.size(), 1);
        }
        QCOMPARE(RowsIn(dir.path(), "SELECT COUNT(*), COUNT(DISTINCT game) FROM answers"),
                 (QList<QVariantList>{{6, 1}}));
    }

    // A lasting failure stops the history and is told once, with the reason
    // of the statement that failed; an answer whose game row is refused is
    // not kept either.
    void lastingFailureIsToldOnce() {
        InTemporaryFolder folder;
        History history;
        QSignalSpy failed(&history, &History::failed);
        QString why;
        QVERIFY(Succeeded(history.Open(), &why));
        history.QuestionAnswered(Answer(1, 1.0f, 0.5f));
        QVERIFY(history.WaitWritten(5000));
        {
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QSqlQuery(db->Connection())
                .exec("CREATE TRIGGER refuse BEFORE INSERT ON games BEGIN "
                      "SELECT RAISE(ABORT, 'games refused'); END");
        }
        for (int q = 1; q <= 4; ++q) { // question 1: a new game, whose row is refused
            history.QuestionAnswered(Answer(q + 10, 1.0f, 0.5f, 0, q));
        }
        history.WaitWritten(5000);
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY(failed[0][0].toString().contains("games refused"));
        QCOMPARE(Rows("SELECT COUNT(*), COUNT(DISTINCT game) FROM answers"),
                 (QList<QVariantList>{{1, 1}}));
        history.QuestionAnswered(Answer(50, 1.0f, 0.5f));
        history.WaitWritten(5000);
        QCoreApplication::processEvents();
        QCOMPARE(failed.size(), 1);
    }

    // A history damaged inside, our header intact, is found before it is
    // used and never written.
    void damagedHistoryIsFound() {
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QVERIFY(db->StartGame(1, QDateTime::currentDateTimeUtc(), QString()));
            for (int i = 0; i < 400; ++i) {
                QVERIFY(
                    db->AddAnswer(1, QDateTime::currentDateTimeUtc(), Answer(i % 100 + 1, 1, 1)));
            }
            QSqlQuery(db->Connection()).exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        QByteArray bytes = ReadAll(kHistoryFile);
        QVERIFY(bytes.size() > 5 * 4096);
        for (qsizetype i = 3 * 4096; i < bytes.size(); i += 7) {
            bytes[i] = char(0xA5); // every page after the second, scribbled over
        }
        QVERIFY(WriteAll(kHistoryFile, bytes));
        History history;
        QSignalSpy failed(&history, &History::failed);
        QString why;
        QVERIFY(
            Succeeded(history.Open(), &why)); // read through by the writer, off the start-up's path
        history.QuestionAnswered(Answer(1, 1.0f, 0.5f));
        history.WaitWritten(5000);
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY2(failed[0][0].toString().contains(kHistoryFile), qPrintable(why));
        QCOMPARE(ReadAll(kHistoryFile), bytes);
    }

    // A history of the first version is brought forward step by step, its answers kept.
    void olderHistoryIsUpgraded() {
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QVERIFY(db->StartGame(1, QDateTime::currentDateTimeUtc(), QString()));
            QVERIFY(db->AddAnswer(1, QDateTime::currentDateTimeUtc(), Answer(7, 2.0f, 0.5f)));
            QSqlQuery q(db->Connection()); // back to what the first version made
            for (const char *sql :
                 {"DROP TABLE poem_sums",
                  "CREATE TABLE poems (poem INTEGER PRIMARY KEY, answers INTEGER NOT NULL, "
                  "time_sum REAL NOT NULL, best REAL NOT NULL, reactions INTEGER NOT NULL, "
                  "reaction_sum REAL NOT NULL, guesses INTEGER NOT NULL, faults INTEGER NOT NULL, "
                  "last TEXT NOT NULL)",
                  "INSERT INTO poems VALUES (7, 1, 2.0, 2.0, 1, 0.5, 0, 0, '2026-12-01')",
                  "DROP TABLE boxes", "DROP INDEX answers_reaction", "DROP INDEX games_started",
                  "ALTER TABLE answers DROP COLUMN lost", "ALTER TABLE answers DROP COLUMN voice",
                  "ALTER TABLE games DROP COLUMN voice", "DROP TABLE cards",
                  "DROP TABLE match_readings", "DROP TABLE matches", "PRAGMA user_version = 1"}) {
                QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
            }
        }
        // An upgrade that cannot write (the file immutable) is told once,
        // naming the file, and the file stays as it was.
        const QByteArray old = ReadAll(kHistoryFile);
        if (SetImmutable(kHistoryFile, true)) {
            const auto cleanup = qScopeGuard([] { SetImmutable(kHistoryFile, false); });
            History history;
            QSignalSpy failed(&history, &History::failed);
            QString why;
            QVERIFY(Succeeded(history.Open(), &why));
            history.QuestionAnswered(Answer(1, 1.0f, 0.5f));
            history.WaitWritten(5000);
            QTRY_COMPARE(failed.size(), 1);
            QVERIFY2(failed[0][0].toString().contains(kHistoryFile),
                     qPrintable(failed[0][0].toString()));
            QCOMPARE(ReadAll(kHistoryFile), old);
        }
        QCOMPARE(Rows("PRAGMA user_version"), (QList<QVariantList>{{kHistorySchemaVersion}}));
        QCOMPARE(Rows("SELECT COUNT(*) FROM boxes"), (QList<QVariantList>{{0}}));
        QCOMPARE(Rows("SELECT poem, voice, answers, best, reactions, guesses FROM poem_sums"),
                 (QList<QVariantList>{{7, 0, 1, 2.0, 1, 0}}));
        QCOMPARE(Rows("SELECT lost, voice FROM answers"), (QList<QVariantList>{{0, 0}}));
    }

    // A history of version 6 gains the matches and keeps every row; a
    // match's readings are kept as they were played, and one left before its
    // end is marked unfinished.
    void matchesAreKept() {
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QVERIFY(db->StartGame(1, QDateTime::currentDateTimeUtc(), QString()));
            QVERIFY(db->AddAnswer(1, QDateTime::currentDateTimeUtc(), Answer(7, 2.0f, 0.5f)));
            QSqlQuery q(db->Connection());
            for (const char *sql :
                 {"DROP TABLE match_readings", "DROP TABLE matches", "PRAGMA user_version = 6"}) {
                QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
            }
        }
        const QVariant Null = QString(); // how the driver reads NULL
        PoemCatalogue catalogue;
        catalogue.Fill();
        match::SteadyOpponent steady(1.0);
        match::Match m(catalogue, steady, 7);
        match::Mat mat;
        mat.rows(match::Side::Player)[2] = {Poem::FromNumber(87)};
        mat.rows(match::Side::Opponent)[2] = {Poem::FromNumber(4), Poem::FromNumber(15)};
        m.DealGiven(mat, {Poem::FromNumber(10), Poem::FromNumber(4), Poem::FromNumber(22)});
        History history;
        QString why;
        QVERIFY(Succeeded(history.Open(), &why));
        history.MatchStarted({QStringLiteral("steady:1.0"), match::LayoutRule::Random, 3, true});
        // 10 これやこの, a 空札: the player touches their 87, a fault; 15 comes across.
        m.BeginReading();
        m.DecisiveSounded(1.0);
        QCOMPARE(m.Touch(match::Side::Player, Poem::FromNumber(87), 1.2),
                 match::TouchOutcome::Fault);
        m.Settle(5.0);
        m.EndReading();
        history.MatchReading(0, m.readings()[0], true);
        // 4 たごのうらに across, taken 0.5 s after its sound; 87 is sent.
        m.BeginReading();
        m.DecisiveSounded(10.0);
        QCOMPARE(m.Touch(match::Side::Player, Poem::FromNumber(4), 10.5),
                 match::TouchOutcome::Took);
        m.Settle(12.0);
        QVERIFY(m.SendFromPlayer(Poem::FromNumber(87)));
        m.EndReading();
        history.MatchReading(1, m.readings()[1], false);
        history.MatchEnded(m, false);
        QVERIFY(history.WaitWritten(5000));
        QCOMPARE(Rows("SELECT COUNT(*) FROM games UNION ALL SELECT COUNT(*) FROM answers"),
                 (QList<QVariantList>{{1}, {1}}));
        QCOMPARE(Rows("SELECT opponent, layout, memorise, voice, finished, winner, player_left, "
                      "opponent_left, player_faults, opponent_faults FROM matches"),
                 (QList<QVariantList>{{"steady:1.0", 0, 3, 1, 0, Null, 1, 1, 1, 0}}));
        QCOMPARE(Rows("SELECT reading, poem, territory, row, decisive, taker, by_touch, reaction, "
                      "opponent_reaction, faults, sent, voice FROM match_readings ORDER BY "
                      "reading"),
                 (QList<QVariantList>{{0, 10, Null, Null, 2, Null, 0, Null, Null, "PE", "O15", 1},
                                      {1, 4, 1, 2, 2, 0, 1, 0.5, 1.0, "", "P87", 0}}));
    }

    // A history of version 4 gets its poems' sums apart for answers read aloud
    // and shown as text, made from its answers.
    void voiceSumsComeFromTheAnswers() {
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            const QDateTime at(QDate(2026, 12, 1), QTime(20, 0), Qt::UTC);
            QVERIFY(db->StartGame(1, at, QString()));
            AnsweredQuestion heard = Answer(7, 2.0f, 0.5f);
            heard.voiced = true;
            AnsweredQuestion lost = Answer(7, 9.0f, -1.0f, 2);
            lost.lost = true;
            for (const AnsweredQuestion &a : {heard, Answer(7, 3.0f, -0.25f, 1), heard, lost}) {
                QVERIFY(db->AddAnswer(1, at, a));
            }
            QSqlQuery q(db->Connection());
            for (const char *sql : {"DROP TABLE poem_sums",
                                    "CREATE TABLE poems (poem INTEGER PRIMARY KEY, answers INTEGER "
                                    "NOT NULL, time_sum REAL NOT NULL, best REAL NOT NULL, "
                                    "reactions INTEGER NOT NULL, reaction_sum REAL NOT NULL, "
                                    "guesses INTEGER NOT NULL, faults INTEGER NOT NULL, last TEXT "
                                    "NOT NULL)",
                                    "DROP TABLE cards", "DROP TABLE match_readings",
                                    "DROP TABLE matches", "PRAGMA user_version = 4"}) {
                QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
            }
        }
        QString why;
        QVERIFY(Succeeded(HistoryDatabase::Open(kHistoryFile), &why));
        // Read aloud: two answers of 2 s, reactions 0.5; as text one guess of
        // 3 s with its fault, and the lost question's two faults.
        QCOMPARE(
            Rows("SELECT voice, answers, time_sum, best, reactions, reaction_sum, guesses, "
                 "faults FROM poem_sums WHERE poem = 7 ORDER BY voice"),
            (QList<QVariantList>{{0, 1, 3.0, 3.0, 0, 0.0, 1, 3}, {1, 2, 4.0, 2.0, 2, 1.0, 0, 0}}));
    }

    // A history of version 5 keeps its drill: each poem's box becomes a review
    // card, stable for as long as its box waited, due when the box was.
    void boxesBecomeCards() {
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            const QDateTime at(QDate(2026, 12, 1), QTime(20, 0), Qt::UTC);
            QVERIFY(db->StartGame(1, at, QString()));
            QVERIFY(db->AddAnswer(1, at, Answer(7, 2.0f, 0.5f)));
            QSqlQuery q(db->Connection());
            for (const char *sql :
                 {"DROP TABLE cards", "INSERT INTO boxes VALUES (7, 1, '2026-12-01')",
                  "INSERT INTO boxes VALUES (9, 3, '2026-12-05')", "DROP TABLE match_readings",
                  "DROP TABLE matches", "PRAGMA user_version = 5"}) {
                QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
            }
        }
        QString why;
        std::unique_ptr<HistoryDatabase> db = Take(HistoryDatabase::Open(kHistoryFile), &why);
        QVERIFY2(db, qPrintable(why));
        QCOMPARE(Rows("SELECT poem, state, stability, due, reps, introduced FROM cards ORDER BY "
                      "poem"),
                 (QList<QVariantList>{
                     {7, 2, 1.0, "2026-12-01T12:00:00.000Z", 1, "2026-12-01T20:00:00.000Z"},
                     {9, 2, 4.0, "2026-12-09T12:00:00.000Z", 0, "2026-12-05T12:00:00.000Z"}}));
        const Result<std::array<DrillState, kPoemCount>> drill = db->LoadDrill();
        QVERIFY2(drill.ok(), qPrintable(drill.error()));
        QCOMPARE(drill.value()[8].card.due, QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC));
        QVERIFY(drill.value()[6].card.difficulty > drill.value()[8].card.difficulty);
    }

    // A long history is drawn grouped by the calendar: the finest of day,
    // week and month that keeps within the chart's points.
    void longHistoriesAreGroupedByTheCalendar() {
        InTemporaryFolder folder;
        QString why;
        std::unique_ptr<HistoryDatabase> db = Take(HistoryDatabase::Open(kHistoryFile), &why);
        QVERIFY2(db, qPrintable(why));
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        const auto play = [&db](int games, int perDay, qint64 first) {
            QSqlQuery(db->Connection()).exec("BEGIN");
            for (int g = 0; g < games; ++g) {
                const QDateTime at = QDateTime(QDate(2024, 1, 1), QTime(12, 0)).addDays(g / perDay);
                QVERIFY(db->StartGame(first + g, at.addSecs(60 * (g % perDay)), QString()));
                QVERIFY(db->FinishGame(first + g, 5, 2.0f, 0));
            }
            QSqlQuery(db->Connection()).exec("COMMIT");
        };
        play(200, 10, 1); // 200 games: each drawn
        Result<HistoryStatistics> read = LoadStatistics(db->Connection(), decisive);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.value().grouping, GameGrouping::Game);
        QCOMPARE(read.value().games.size(), 200);
        play(200, 10, 1000); // 400 games on 20 days: by day
        read = LoadStatistics(db->Connection(), decisive);
        QCOMPARE(read.value().grouping, GameGrouping::Day);
        QCOMPARE(read.value().games.size(), 20);
        QCOMPARE(read.value().gameCount, 400);
        play(4600, 6, 5000); // 5,000 games over two years: by week
        read = LoadStatistics(db->Connection(), decisive);
        QCOMPARE(read.value().grouping, GameGrouping::Week);
        QVERIFY(read.value().games.size() > 100 && read.value().games.size() <= kGamePoints);
        QCOMPARE(read.value().gameCount, 5000);
    }

    // A history whose tables cannot be read: the statistics and the drill
    // say why (SQLite's own words), never an empty reason.
    void failuresCarryTheirReasons() {
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        {
            InTemporaryFolder folder;
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QVERIFY2(db, qPrintable(why));
            QSqlQuery q(db->Connection());
            QVERIFY(q.exec("DROP TABLE poem_sums"));
            const Result<HistoryStatistics> figures = LoadStatistics(db->Connection(), decisive);
            QVERIFY(!figures.ok());
            QVERIFY2(figures.error().contains(QStringLiteral("poem_sums")),
                     qPrintable(figures.error()));
        }
        // The drill's boxes can be named but not read (a view that fails on
        // its rows): the drill goes on with every poem as new, and says why.
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QSqlQuery q(db->Connection());
            QVERIFY(q.exec("DROP TABLE cards"));
            QVERIFY(q.exec("CREATE VIEW cards AS SELECT 1 AS poem, json('x') AS state, 0 AS step, "
                           "1.0 AS stability, 5.0 AS difficulty, '' AS last_review, '' AS due, 0 "
                           "AS reps, 0 AS lapses, '' AS introduced"));
        }
        History history;
        QVERIFY(history.Open().ok());
        FakeRandom random;
        HistoryPracticeSource source(
            history, random, [] { return QDateTime(QDate(2026, 12, 9), QTime(19, 0)); },
            [&decisive]() -> const DecisiveTable & { return decisive; });
        QStringList told;
        source.OnProblem([&told](const QString &why) { told.append(why); });
        PracticeMode drillMode;
        drillMode.kind = PracticeKind::Drill;
        source.SetMode(drillMode);
        QCOMPARE(source.NextGameSet().poems.size(),
                 kDefaultNewPerDay); // every poem new: the day's new ones
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(QStringLiteral("JSON")), qPrintable(told[0]));
    }

    void statisticsOfAHistory() {
        InTemporaryFolder folder;
        QString why;
        std::unique_ptr<HistoryDatabase> db = Take(HistoryDatabase::Open(kHistoryFile), &why);
        QVERIFY(db);
        const QDateTime day(QDate(2026, 12, 1), QTime(20, 0));
        // Two games: poem 18 (す, one decisive kana) twice, poem 31 (six) once,
        // poem 2 (three) with a guess.
        QVERIFY(db->StartGame(1, day, QString()));
        QVERIFY(db->AddAnswer(1, day, Answer(18, 2.0f, 1.0f)));
        QVERIFY(db->AddAnswer(1, day.addSecs(5), Answer(31, 4.0f, 3.0f, 2)));
        QVERIFY(db->FinishGame(1, 2, 3.0f, 2));
        QVERIFY(db->StartGame(2, day.addDays(1), QString()));
        AnsweredQuestion heard = Answer(18, 1.0f, 0.5f); // read aloud: a voice game
        heard.voiced = true;
        QVERIFY(db->AddAnswer(2, day.addDays(1), heard));
        QVERIFY(db->AddAnswer(2, day.addDays(1), Answer(2, 0.5f, -0.25f, 1)));
        QVERIFY(db->FinishGame(2, 2, 0.75f, 1));
        QVERIFY(db->StartGame(3, day.addDays(2), QString())); // never finished
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        const Result<HistoryStatistics> read = LoadStatistics(db->Connection(), decisive);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        const HistoryStatistics &s = read.value();
        QCOMPARE(s.games.size(), 2);
        QCOMPARE(s.games[1].averageTime, 0.75);
        QCOMPARE(s.games[1].meanReaction.value(), 0.5);
        QCOMPARE((QList<int>{s.games[0].voiceGames, s.games[1].voiceGames}), (QList<int>{0, 1}));
        QCOMPARE(s.reactionByCount[1].value(), 0.75);
        QCOMPARE(s.reactionByCount[6].value(), 3.0);
        QVERIFY(!s.reactionByCount[3]);
        // The table's rows sorted by mean time, fastest first; poems never
        // answered stay last either way. A guess has no reaction.
        PoemStatisticsModel model(catalogue, decisive);
        model.SetStatistics(s);
        model.sort(PoemStatisticsModel::MeanTime, Qt::AscendingOrder);
        const QStringList rows = model.RowsAsText({0, 1, 2, 3}, u',').split("\r\n");
        QCOMPARE(rows.mid(1, 4),
                 (QStringList{"2,春すぎて,はるす,1,0.50,0.50,,1,1,2026/12/02 20:00,,",
                              "18,住の江の,す,2,1.50,1.00,0.75,0,0,2026/12/02 20:00,,",
                              "31,朝ぼらけ,あさぼらけあ,1,4.00,4.00,3.00,0,2,2026/12/01 20:00,,",
                              "1,秋の田の,あきの,0,,,,,,,,"})); // no drill read: its columns empty
        // 上の句 in the order of its reading: あいみての (43) first, not the first code point.
        model.sort(PoemStatisticsModel::Beginning, Qt::AscendingOrder);
        QCOMPARE(model.PoemAt(0), 42);
        model.sort(PoemStatisticsModel::MeanTime, Qt::DescendingOrder);
        QCOMPARE((QList<int>{model.PoemAt(0), model.PoemAt(2), model.PoemAt(3)}),
                 (QList<int>{30, 1, 0}));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
