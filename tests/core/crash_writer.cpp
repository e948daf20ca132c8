// SPDX-License-Identifier: MIT
// With "records" or "history", registers records or records answers without
// end, for the test that kills it in the middle of a write; with
// "register-once N", waits for a line on its input and registers one record,
// for the test of two copies at once; with "history-once", waits for a line
// and records one answer in a history that may not exist yet; with "hold
// MS", holds an exclusive lock on the history for MS milliseconds.
#include "fakes.h"
#include "history/history.h"
#include "records/record_book.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>
#include <cstdlib>

using namespace nupew;
using namespace nupew::testing;

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    FakeWorld world;
    GameResult result;
    RecordBook book;
    if (mode == "register-once") {
        char line[8];
        if (!std::fgets(line, sizeof line, stdin)) {
            return 2;
        }
        result.averageTime = float(QCoreApplication::applicationPid() % 100) / 10.0f;
        const Registration registration =
            book.Register(result, QStringLiteral("回%1").arg(argc > 2 ? argv[2] : ""));
        if (registration.tell) {
            std::fprintf(stderr, "%s\n", qPrintable(registration.tell->text));
        }
        return !registration.tell && registration.entered ? 0 : 1;
    }
    if (mode == "hold") {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(kHistoryFile);
        QSqlQuery query(db.open() ? db : QSqlDatabase());
        if (!query.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
            return 4;
        }
        std::puts("held");
        std::fflush(stdout);
        QThread::msleep(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000);
        return query.exec(QStringLiteral("COMMIT")) ? 0 : 5;
    }
    History history;
    QString why;
    if (mode == "history-once") {
        char line[8];
        if (!std::fgets(line, sizeof line, stdin)) {
            return 2;
        }
        QString failure;
        QObject::connect(&history, &History::failed, [&failure](const QString &w) { failure = w; });
        if (!Succeeded(history.Open(), &why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return 3;
        }
        AnsweredQuestion answer;
        answer.question = 1;
        answer.poem = Poem::FromNumber(1);
        history.QuestionAnswered(answer);
        const bool written = history.WaitWritten(10000);
        QCoreApplication::processEvents();
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
        }
        return written && failure.isEmpty() ? 0 : 1;
    }
    if (mode == "history" && !Succeeded(history.Open(), &why)) {
        return 3;
    }
    for (unsigned i = 0;; ++i) {
        if (mode == "history") {
            AnsweredQuestion answer;
            answer.question = int(i % 5) + 1;
            answer.poem = Poem::FromRow(int(i % 100));
            answer.answerTime = 1.0f;
            history.QuestionAnswered(answer);
            if (answer.question == 5) {
                history.GameFinished(5, 1.0f, 0);
            }
            if (i == 0) {
                history.Flush();
            }
        } else {
            result.registered = false;
            result.faults = qint16(i % 7);
            result.averageTime = float(i % 13) + 0.25f;
            (void)book.Register(result, QStringLiteral("名前%1").arg(i));
        }
        world.dialogs.shown.clear();
        if (i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
