// SPDX-License-Identifier: MIT
// The match's costs, as the player meets them: the decisive characters
// recomputed after each reading, a mouse press on a card until the mat's
// frame that shows the taking is painted, the whole mat painted at
// 1920×1080, and the CPU the window takes while a match is read in real time,
// with the text strip and then aloud (a private sound server's null sink,
// every verse rendered first so that only the reading is counted), against
// the expert: how long after its drawn moment its touch was painted.
// NUPEW_BENCH_QUICK=1 reads for 40 s instead of 120 s; NUPEW_BENCH_WHOLE=1
// reads the voiced match to its end.
#include "core/match.h"
#include "core/opponents.h"
#include "core/poem_catalogue.h"
#include "ui/match/match_window.h"
#include "voice/pulse_server.h"
#include "voice/reader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

using namespace nupew;

namespace {

void Print(const char *what, std::vector<double> values, const char *unit) {
    std::sort(values.begin(), values.end());
    const double median = values.empty() ? 0.0 : values[values.size() / 2];
    const double worst = values.empty() ? 0.0 : values.back();
    std::printf("%s median %.1f %s, worst %.1f %s\n", what, median, unit, worst, unit);
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Calls `painted` as the widget begins to paint a frame.
class PaintWatch final : public QObject {
public:
    std::function<void()> painted;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && painted) {
            painted();
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const bool quick = qEnvironmentVariableIntValue("NUPEW_BENCH_QUICK") == 1;
    PoemCatalogue catalogue;
    catalogue.Fill();

    // After each of a hundred readings, over 200 shuffled orders.
    {
        std::vector<double> us;
        std::mt19937 random(1);
        std::vector<int> order(kPoemCount);
        for (int i = 0; i < kPoemCount; ++i) {
            order[size_t(i)] = i;
        }
        for (int round = 0; round < 200; ++round) {
            std::shuffle(order.begin(), order.end(), random);
            match::UnreadDecisive decisive(catalogue);
            for (const int row : order) {
                QElapsedTimer timer;
                timer.start();
                const auto changes = decisive.MarkRead(Poem::FromRow(row));
                us.push_back(timer.nsecsElapsed() / 1e3);
                (void)changes;
            }
        }
        Print("decisive update", us, "us");
    }

    // The window at full screen: a press on the read card until the mat has
    // painted the frame without it; then the mat repainted as it stands.
    QElapsedTimer clock;
    clock.start();
    match::MatchSetup setup;
    setup.memoriseMinutes = 0;
    MatchWindow window(catalogue, setup, 4, [&clock] { return clock.nsecsElapsed() / 1e9; });
    window.resize(1920, 1080);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::printf("no window\n");
        return 1;
    }
    QTest::qWait(50);
    std::vector<double> takes;
    std::vector<double> repaints;
    double matchTime = 0;
    {
        // A clock of its own for this part: every reading brought to its
        // decisive moment without waiting.
        double now = 0;
        MatchWindow fast(catalogue, setup, 4, [&now] { return now; });
        fast.resize(1920, 1080);
        fast.show();
        if (!QTest::qWaitForWindowExposed(&fast)) {
            return 1;
        }
        QTest::qWait(50);
        MatWidget &mat = fast.mat();
        int handled = 0;
        while (fast.flow().phase() != match::MatchFlow::Phase::Over) {
            const std::optional<double> next = fast.flow().NextWake();
            if (!next) {
                // A sending waits: the player's first card goes.
                const auto mine = fast.match().mat().Cards(match::Side::Player);
                if (mine.isEmpty()) {
                    break;
                }
                emit mat.cardPressed(mine.front());
                continue;
            }
            now = std::max(now, *next);
            fast.WakeNow();
            const match::Match &m = fast.match();
            if (m.PoemsRead() > handled && m.ReadingOpen() && fast.flow().decisiveAt()) {
                handled = m.PoemsRead();
                const Poem read = m.current()->poem;
                if (!m.mat().Contains(read)) {
                    continue;
                }
                const QPoint at = mat.CardRect(read).center();
                QElapsedTimer press;
                press.start();
                QMouseEvent event(QEvent::MouseButtonPress, QPointF(at),
                                  mat.mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::LeftButton,
                                  Qt::NoModifier);
                QApplication::sendEvent(&mat, &event);
                takes.push_back(press.nsecsElapsed() / 1e6);
                now += 0.4;
            }
            if (m.PlayerSendingsOwed() > 0) {
                emit mat.cardPressed(m.mat().Cards(match::Side::Player).front());
            }
        }
        for (int i = 0; i < 100; ++i) {
            QElapsedTimer timer;
            timer.start();
            window.mat().repaint();
            repaints.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    Print("take to shown", takes, "ms");
    Print("mat repaint", repaints, "ms");

    const double seconds = quick ? 40 : 120;
    // A match read in real time with the text strip, its cards untouched.
    {
        window.EndMemorising();
        const double cpuStart = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        matchTime = wall.elapsed() / 1000.0;
        std::printf("cpu during match %.1f %% (text strip, %d poems read in %.0f s)\n",
                    100.0 * (CpuSeconds() - cpuStart) / matchTime, window.match().PoemsRead(),
                    matchTime);
        window.close();
    }

    // The same read aloud.
    {
        testing::PulseServer server;
        QString why;
        if (!server.Start(&why)) {
            std::printf("cpu during match: no sound server (%s)\n", qPrintable(why));
            return 1;
        }
        // Something must take the null sink's sound with a short latency, as a
        // device would: alone, the null sink keeps 2 s of latency and stands
        // still about 2 s into a verse. The recorder's reading is counted as
        // ours (a scan of 48,000 samples a second).
        testing::SinkRecorder listener(clock);
        if (!listener.Start()) {
            std::printf("cpu during match: the sink's monitor does not flow\n");
            return 1;
        }
        QTemporaryDir cache;
        voice::Reader reader(catalogue, cache.path());
        reader.SetOptions({true, true, true, 1.0});
        reader.SetPreparing(true);
        QElapsedTimer waited;
        waited.start();
        while ((!reader.HasOutput() || reader.PreparedCount() < reader.SetSize()) &&
               waited.elapsed() < 600000) {
            QTest::qWait(100);
        }
        const double renderSeconds = waited.elapsed() / 1000.0;
        // The recorder's own cost, with nothing else under way, taken off below.
        const double idleStart = CpuSeconds();
        QElapsedTimer idle;
        idle.start();
        QTest::qWait(10000);
        const double recorderShare = (CpuSeconds() - idleStart) / (idle.elapsed() / 1000.0);
        // Against the expert: its touches fall due a few tenths of a second
        // after each decisive sound, on the clock the voice keeps.
        match::MatchSetup against = setup;
        against.opponent = match::OpponentKind::Level;
        against.level = int(match::kLevels.size()) - 1;
        const auto now = [&clock] { return clock.nsecsElapsed() / 1e9; };
        MatchWindow voiced(catalogue, against, 4, now);
        voiced.SetVoice(&reader);
        std::vector<double> touches;
        int measured = -1; // the last reading whose opponent's take was shown
        PaintWatch watchPaint;
        watchPaint.painted = [&] {
            const match::Match &m = voiced.match();
            const match::Reading *r = m.current();
            if (r && r->take && r->take->who == match::Side::Opponent && r->take->byTouch &&
                measured < m.PoemsRead()) {
                measured = m.PoemsRead();
                touches.push_back((voiced.flow().Clock(now()) - r->take->at) * 1000);
            }
        };
        voiced.mat().installEventFilter(&watchPaint);
        voiced.resize(1920, 1080);
        voiced.show();
        int read = 0;
        int aloud = 0;
        QTimer watch;
        watch.callOnTimeout([&] {
            if (voiced.match().PoemsRead() > read && voiced.match().ReadingOpen()) {
                read = voiced.match().PoemsRead();
                aloud += voiced.flow().readingVoiced();
            }
        });
        watch.start(500);
        QTest::qWait(200); // memorisation ends, the opening is read
        const double cpuStart = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        // NUPEW_BENCH_WHOLE=1: the whole match, to its end.
        const bool whole = qEnvironmentVariableIntValue("NUPEW_BENCH_WHOLE") == 1;
        QEventLoop loop;
        QTimer end;
        end.callOnTimeout([&] {
            if (whole ? voiced.flow().phase() == match::MatchFlow::Phase::Over
                      : wall.elapsed() >= seconds * 1000) {
                loop.quit();
            }
        });
        end.start(100);
        loop.exec();
        const double t = wall.elapsed() / 1000.0;
        std::printf("cpu during match %.1f %% (voice, %d of %d poems read aloud in %.0f s, "
                    "%d verses rendered first in %.0f s; the sink's recorder, %.1f %% alone, "
                    "taken off)\n",
                    100.0 * ((CpuSeconds() - cpuStart) / t - recorderShare), aloud, read, t,
                    reader.SetSize(), renderSeconds, 100.0 * recorderShare);
        Print("opponent touch vs its moment", touches, "ms");
        std::printf("(%zu touches of the expert opponent shown%s)\n", touches.size(),
                    whole ? ", a whole match" : "");
        voiced.close();
    }
    return 0;
}
