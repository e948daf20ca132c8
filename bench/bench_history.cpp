// SPDX-License-Identifier: MIT
// Figures of the answer history with 100,000 answers in it: one answer written
// (on the writer's own connection), the cost on the verdict's path (queueing
// it), the drill's order at a game's start, the statistics window opened,
// and the peak memory with it open.
#include "core/practice.h"
#include "history/history.h"
#include "ui/shell/platform.h"
#include "ui/shell/program.h"
#include "ui/statistics/statistics_window.h"

#include "peak_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace nupew;

namespace {

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures Summary(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

AnsweredQuestion SomeAnswer(int i) {
    AnsweredQuestion a;
    a.question = i % 5 + 1;
    a.poem = Poem::FromRow(i % 100);
    a.cardCount = 8;
    a.revealDelay = 4;
    a.answerTime = 1.0f + float(i % 37) / 10.0f;
    a.decisiveStep = i % 6 + 1;
    a.reactionTime = float(i % 23) / 10.0f - 0.2f;
    a.faults = i % 7 == 0;
    return a;
}

struct SteppingRandom final : Random {
    float Draw() override {
        next = std::fmod(next + 0.618034f, 1.0f);
        return next;
    }
    float next = 0.0f;
};

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const int answers = argc > 1 ? std::max(1000, atoi(argv[1])) : 100000;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    // The history of a long-time player: 20,000 games of five answers.
    {
        std::unique_ptr<HistoryDatabase> db = HistoryDatabase::Open(kHistoryFile).value();
        QElapsedTimer filling;
        filling.start();
        db->Connection().transaction();
        const QDateTime start(QDate(2024, 1, 1), QTime(20, 0));
        for (int i = 0; i < answers; ++i) {
            const QDateTime at = start.addSecs(qint64(i) * 600);
            const Result<> started = i % 5 == 0 ? db->StartGame(i / 5 + 1, at, QString()) : Ok();
            const Result<> added =
                started.ok() ? db->AddAnswer(i / 5 + 1, at, SomeAnswer(i)) : started;
            const Result<> finished =
                added.ok() && i % 5 == 4 ? db->FinishGame(i / 5 + 1, 5, 2.5f, 1) : added;
            if (!finished.ok()) {
                std::printf("could not add an answer: %s\n", qPrintable(finished.error()));
                return 1;
            }
        }
        db->Connection().commit();
        db->Connection().exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        std::printf("filled %d answers in %.0f ms; file %lld KiB\n", answers,
                    double(filling.elapsed()), QFile(kHistoryFile).size() / 1024);

        // One answer, as the writer thread writes it: its own transaction.
        std::vector<double> writes;
        for (int i = 0; i < 500; ++i) {
            QElapsedTimer t;
            t.start();
            (void)db->AddAnswer(answers / 5 + 1, QDateTime::currentDateTime(), SomeAnswer(i));
            writes.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        const Figures w = Summary(writes);
        std::printf("write one answer (writer thread): median %.3f ms, worst %.3f ms\n", w.median,
                    w.worst);
    }

    // What the verdict waits for: handing the answer to the writer.
    {
        History history;
        (void)history.Open();
        std::vector<double> queued;
        for (int i = 0; i < 500; ++i) {
            QElapsedTimer t;
            t.start();
            history.QuestionAnswered(SomeAnswer(i));
            queued.push_back(double(t.nsecsElapsed()) / 1e6);
            QThread::msleep(1);
        }
        QElapsedTimer drain;
        drain.start();
        history.Flush();
        const Figures q = Summary(queued);
        std::printf("on the verdict's path (queueing one answer): median %.4f ms, worst %.4f ms; "
                    "queue drained %.1f ms after the last\n",
                    q.median, q.worst, double(drain.nsecsElapsed()) / 1e6);
        // The connection the statistics window and every drill game read
        // through, opened on the GUI thread right after an answer.
        std::vector<double> readers;
        for (int i = 0; i < 20; ++i) {
            history.QuestionAnswered(SomeAnswer(i));
            QElapsedTimer t;
            t.start();
            const Result<std::unique_ptr<HistoryDatabase>> reader = history.OpenReadConnection();
            readers.push_back(double(t.nsecsElapsed()) / 1e6);
            if (!reader.ok()) {
                std::printf("no reader: %s\n", qPrintable(reader.error()));
                return 1;
            }
        }
        const Figures r = Summary(readers);
        std::printf("history reader after an answer (GUI thread, %d answers): median %.1f ms, "
                    "worst %.1f ms\n",
                    answers, r.median, r.worst);
        // What a drill game's start does on the GUI thread: every poem's card
        // read, the new poems' sequence and the order.
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        SteppingRandom random;
        std::vector<double> drills;
        qsizetype asked = 0;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer t;
            t.start();
            const Result<std::unique_ptr<HistoryDatabase>> reader = history.OpenReadConnection();
            if (!reader.ok()) {
                std::printf("no reader: %s\n", qPrintable(reader.error()));
                return 1;
            }
            const Result<std::array<DrillState, kPoemCount>> cards = reader.value()->LoadDrill();
            if (!cards.ok()) {
                std::printf("no drill: %s\n", qPrintable(cards.error()));
                return 1;
            }
            asked = DrillOrder(cards.value(), QDateTime::currentDateTime(), kPoemCount,
                               kDefaultNewPerDay,
                               NewPoemSequence(NewPoemOrder::FirstSounds, decisive, random), random)
                        .size();
            drills.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        const Figures d = Summary(drills);
        std::printf("drill order with %d reviews: median %.1f ms, worst %.1f ms (%lld poems)\n",
                    answers, d.median, d.worst, qlonglong(asked));
    }

    // The figures alone, read from the database.
    {
        QElapsedTimer opening;
        opening.start();
        std::unique_ptr<HistoryDatabase> db = HistoryDatabase::Open(kHistoryFile).value();
        std::printf("database opened and checked: %.1f ms\n", double(opening.nsecsElapsed()) / 1e6);
        // What start-up adds to find a damaged file: the whole file read once.
        std::vector<double> checks;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer check;
            check.start();
            const Result<std::unique_ptr<HistoryDatabase>> checked =
                HistoryDatabase::Open(kHistoryFile, true);
            checks.push_back(double(check.nsecsElapsed()) / 1e6);
            if (!checked.ok()) {
                std::printf("the check failed: %s\n", qPrintable(checked.error()));
                return 1;
            }
        }
        const Figures c = Summary(checks);
        std::printf("damage check in the writer thread (quick_check, %d answers): median %.1f ms, "
                    "worst %.1f ms\n",
                    answers, c.median, c.worst);
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        QElapsedTimer t;
        t.start();
        const HistoryStatistics figures = LoadStatistics(db->Connection(), decisive).value();
        std::printf("statistics read: %.1f ms (%d games in %lld points)\n",
                    double(t.nsecsElapsed()) / 1e6, figures.gameCount,
                    qlonglong(figures.games.size()));
        t.restart();
        StatisticsWindow window(catalogue, decisive);
        const double made = double(t.nsecsElapsed()) / 1e6;
        window.SetStatistics(figures, QString());
        const double filled = double(t.nsecsElapsed()) / 1e6;
        window.show();
        window.grab();
        std::printf("a first window: made %.1f ms, filled %.1f ms, painted %.1f ms\n", made,
                    filled - made, double(t.nsecsElapsed()) / 1e6 - filled);
    }

    // The statistics window from the menu, until it has painted once.
    ProgramSeams seams;
    seams.messageHandler = [](const Message &m) {
        std::printf("message: %s\n", qPrintable(m.text));
        return MessageAnswer::Ok;
    };
    Program program(seams);
    program.Main();
    QElapsedTimer shown;
    shown.start();
    program.ShowStatistics();
    program.Statistics()->grab();
    const double openMs = double(shown.nsecsElapsed()) / 1e6;
    QCoreApplication::processEvents();
    std::printf("statistics window shown with %d answers: %.1f ms; peak RSS %.1f MiB\n", answers,
                openMs, double(PeakRssKiB()) / 1024.0);
    return 0;
}
