// SPDX-License-Identifier: MIT
// Measures reading aloud as the player sees and hears it, on the real
// program and the real parts: Open JTalk's rendering, the time from 開始 to
// the first sound at the output, each character as painted on the strip
// against the moment its sound reached the output, the CPU a reading takes,
// and a reader's rhythm (the upper verse, the held end, the breath) from the
// recording. The sound goes to a null sink of a private PulseAudio server
// whose monitor is recorded as it plays. Run it under a display (xvfb-run).
#include "ui/board/board_window.h"
#include "ui/shell/main_window.h"
#include "ui/shell/program.h"
#include "voice/cache.h"
#include "voice/pulse_server.h"
#include "voice/reader.h"
#include "voice/speech.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace nupew;

namespace {

// NUPEW_BENCH_QUICK: three of each, for a try.
const int kQuestions = qEnvironmentVariableIsSet("NUPEW_BENCH_QUICK") ? 3 : 20;
const int kRecitedQuestions = qEnvironmentVariableIsSet("NUPEW_BENCH_QUICK") ? 3 : 10;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until `done` holds or `ms` have passed, checking every 2 ms.
template <typename Done> bool WaitUntil(Done done, int ms) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    check.start(2);
    loop.exec();
    return done();
}

void Print(const char *what, std::vector<double> values, const char *unit = "ms",
           double scale = 1.0) {
    std::sort(values.begin(), values.end());
    const double median = values.empty() ? 0.0 : values[values.size() / 2] * scale;
    const double worst = values.empty() ? 0.0 : values.back() * scale;
    std::printf("%s median %.1f %s, worst %.1f %s\n", what, median, unit, worst, unit);
}

// When the strip was painted with how many characters: the moment a step
// is on the screen, the paint that follows the event loop's flush.
class StripPaints final : public QObject {
public:
    StripPaints(QLabel *strip, const QElapsedTimer &clock) : strip_(strip), clock_(clock) {
        strip->installEventFilter(this);
    }
    struct Paint {
        double ms;
        qsizetype shown;
    };
    QList<Paint> paints;
    // The first paint showing at least `k` characters after `from`; -1 when none.
    double FirstShowing(qsizetype k, double from) const {
        for (const Paint &p : paints) {
            if (p.ms >= from && p.shown >= k) {
                return p.ms;
            }
        }
        return -1.0;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            paints.append({double(clock_.nsecsElapsed()) / 1e6, strip_->text().size()});
        }
        return false;
    }

private:
    QLabel *strip_;
    const QElapsedTimer &clock_;
};

// The first audible sample of what is played: the moment the recorder hears first.
double FirstAudibleMs(const QByteArray &pcm) {
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    qsizetype first = 0;
    while (first < pcm.size() / 2 && std::abs(s[first]) <= 300) {
        ++first;
    }
    return double(first) / 48.0;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // the cache apart from the user's, emptied
    QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).removeRecursively();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());
    InstallFontSubstitutions();

    testing::PulseServer server;
    QString why;
    if (!server.Start(&why)) {
        std::fprintf(stderr, "bench_voice: no sound server: %s\n", qPrintable(why));
        return 1;
    }
    if (const Result<> parts = voice::Reader::Available(); !parts.ok()) {
        std::fprintf(stderr, "bench_voice: %s\n", qPrintable(parts.error()));
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    testing::SinkRecorder recorder(clock);
    if (!recorder.Start()) {
        std::fprintf(stderr, "bench_voice: the sink's monitor records nothing\n");
        return 1;
    }
    const auto now = [&clock] { return double(clock.nsecsElapsed()) / 1e6; };

    // Rendering alone, off the program: twenty verses from nothing.
    PoemCatalogue catalogue;
    catalogue.Fill();
    std::vector<double> renders;
    for (int q = 0; q < kQuestions; ++q) {
        const double asked = now();
        const auto r = voice::Render(
            {},
            voice::UtterVerse(catalogue, Poem::FromRow((q * 37 + 11) % kPoemCount), true, false),
            voice::Pace{voice::RateForDelay(4)});
        if (!r.ok()) {
            std::fprintf(stderr, "bench_voice: %s\n", qPrintable(r.error()));
            return 1;
        }
        renders.push_back(now() - asked);
    }

    Program program;
    program.Main();
    program.Title()->Timer()->stop();
    for (int tick = 0; tick < 25; ++tick) {
        program.Title()->Tick();
    }
    if (!WaitUntil([&] { return program.voiceUnavailable().isEmpty(); }, 10000)) {
        std::fprintf(stderr, "bench_voice: %s\n", qPrintable(program.voiceUnavailable()));
        return 1;
    }
    program.Frame()->Item(QStringLiteral("readAloud"))->trigger();
    program.settings.questionCount = 100; // no end box in the way
    program.GameOpen();
    BoardWindow &board = program.Board();
    auto *strip = board.findChild<QLabel *>(QStringLiteral("verseStrip"));
    StripPaints paints(strip, clock);
    voice::Reader *reader = program.VoiceReader();
    Game &game = program.GameState();
    const auto pick = [&] { emit board.cardClicked(game.answerPosition() + 1); };
    const auto dealt = [&] { return game.nextPoem() ? *game.nextPoem() : *game.currentPoem(); };

    // The plain voice: when each character is seen against its sound.
    std::vector<double> firstSounds, offsets, firstCharacters;
    double cpu = 0.0;
    double wall = 0.0;
    for (int q = 0; q < kQuestions; ++q) {
        const Poem poem = dealt();
        if (!WaitUntil([&] { return reader->IsReady(poem); }, 30000)) {
            std::fprintf(stderr, "bench_voice: poem %d was not made ready\n", poem.number());
            return 1;
        }
        Wait(400);
        recorder.Reset();
        const double cpuBefore = CpuSeconds();
        const double started = now();
        board.StartButton()->click();
        if (!game.voiced()) {
            std::fprintf(stderr, "bench_voice: question %d was not read aloud\n", q + 1);
            return 1;
        }
        const QList<double> onsets = reader->stepOnsets();
        const qsizetype steps = onsets.size();
        WaitUntil([&] { return strip->text().size() >= steps; }, 20000);
        Wait(300); // the last sound reaches the sink and the recorder
        cpu += CpuSeconds() - cpuBefore;
        wall += now() - started;
        const double heard = recorder.FirstSoundMs();
        if (heard < 0) {
            std::fprintf(stderr, "bench_voice: poem %d was not heard\n", poem.number());
            return 1;
        }
        firstSounds.push_back(heard - started);
        // Every moment of the verse follows its first audible sample, which
        // is the first sound the recorder heard.
        const double firstMs = FirstAudibleMs(reader->playing());
        QString detail;
        for (qsizetype k = 1; k <= steps; ++k) {
            const double sound = heard + (onsets[k - 1] - firstMs);
            const double painted = paints.FirstShowing(k, started);
            offsets.push_back(std::abs(painted - sound));
            detail += QStringLiteral(" %1").arg(painted - sound, 0, 'f', 0);
        }
        firstCharacters.push_back(paints.FirstShowing(1, started) - heard);
        if (qEnvironmentVariableIsSet("NUPEW_BENCH_DETAIL")) {
            std::fprintf(stderr, "poem %d: first sound %.1f ms; painted - sound:%s\n",
                         poem.number(), heard - started, qPrintable(detail));
        }
        pick();
    }

    // The reader's rhythm, from the recording: the upper verse read whole,
    // the answer, the lower verse with its held end and breath, then the
    // next question at once, as a reader goes on.
    program.Frame()->Item(QStringLiteral("readRecited"))->trigger();
    program.Frame()->Item(QStringLiteral("readLower"))->trigger();
    recorder.Keep();
    struct Reading {
        double started = 0;        // 開始
        double answered = 0;       // the verdict
        double lastOnsetMs = 0;    // of the lower verse's last spoken mora, in its samples
        double firstAudibleMs = 0; // of the lower verse's samples
    };
    QList<Reading> readings;
    bool lowerDone = false;
    QObject::connect(reader, &voice::Reader::readToEnd, [&lowerDone] { lowerDone = true; });
    for (int q = 0; q < kRecitedQuestions; ++q) {
        const Poem poem = dealt();
        if (!WaitUntil([&] { return reader->IsReady(poem); }, 60000)) {
            std::fprintf(stderr, "bench_voice: poem %d was not made ready\n", poem.number());
            return 1;
        }
        if (q == 0) {
            Wait(400);
        }
        Reading reading;
        reading.started = now();
        board.StartButton()->click();
        if (!game.voiced()) {
            std::fprintf(stderr, "bench_voice: recited question %d was not read aloud\n", q + 1);
            return 1;
        }
        const double length = double(reader->playing().size() / 2) / 48.0;
        WaitUntil([&] { return reader->PlayedMs() >= length; }, 20000);
        Wait(100);
        reading.answered = now();
        lowerDone = false;
        const Poem asked = *game.currentPoem();
        pick();
        const QStringList morae = voice::Morae(reader->LowerText(asked));
        qsizetype last = morae.size() - 1;
        while (last > 0 && morae[last] == QStringLiteral("ー")) {
            --last;
        }
        reading.lastOnsetMs = reader->playingOnsets().value(last);
        reading.firstAudibleMs = FirstAudibleMs(reader->playing());
        readings.append(reading);
        if (!WaitUntil([&] { return lowerDone; }, 30000)) {
            std::fprintf(stderr, "bench_voice: the lower verse of %d did not end\n",
                         asked.number());
            return 1;
        }
        // The next upper verse comes right after the breath: ready by now.
        if (!reader->IsReady(dealt())) {
            WaitUntil([&] { return reader->IsReady(dealt()); }, 30000);
        }
    }
    Wait(500);
    std::vector<double> uppers, helds, breaths;
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const Reading &r = readings[i];
        const qint64 upperFirst = recorder.FirstLoudFrom(r.started - 30);
        const qint64 upperLast = recorder.LastLoudBefore(r.answered);
        const qint64 lowerFirst = recorder.FirstLoudFrom(r.answered);
        const double nextStart = i + 1 < readings.size() ? readings[i + 1].started : 1e18;
        const qint64 lowerLast = recorder.LastLoudBefore(nextStart);
        if (upperFirst < 0 || upperLast < 0 || lowerFirst < 0 || lowerLast < 0) {
            std::fprintf(stderr, "bench_voice: recited reading %lld was not heard\n",
                         (long long)(i + 1));
            return 1;
        }
        uppers.push_back(recorder.TimeOf(upperLast) - recorder.TimeOf(upperFirst));
        const double lastOnset = recorder.TimeOf(lowerFirst) + (r.lastOnsetMs - r.firstAudibleMs);
        helds.push_back(recorder.TimeOf(lowerLast) - lastOnset);
        if (i + 1 < readings.size()) {
            breaths.push_back(recorder.TimeOf(recorder.FirstLoudFrom(nextStart - 30)) -
                              recorder.TimeOf(lowerLast));
        }
        if (qEnvironmentVariableIsSet("NUPEW_BENCH_DETAIL")) {
            std::fprintf(stderr,
                         "recited %lld: upper %.0f ms; lower heard %.0f ms after the answer, "
                         "its last sound %.0f ms after that, next start %.0f ms after that\n",
                         (long long)(i + 1), uppers.back(),
                         recorder.TimeOf(lowerFirst) - r.answered,
                         recorder.TimeOf(lowerLast) - recorder.TimeOf(lowerFirst),
                         nextStart - recorder.TimeOf(lowerLast));
        }
    }

    // A whole set in the cache (the reader's style with the lower verses),
    // and a rendering read back from it as ReadUpper does when it is not kept.
    if (!WaitUntil([&] { return reader->PreparedCount() == reader->SetSize(); }, 600000)) {
        std::fprintf(stderr, "bench_voice: the set was not prepared\n");
        return 1;
    }
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/voice");
    qint64 setBytes = 0;
    for (const QFileInfo &entry :
         QDir(folder).entryInfoList({QStringLiteral("*.voice")}, QDir::Files)) {
        setBytes += entry.size();
    }
    voice::RenderingCache cache(folder);
    std::vector<double> loads;
    for (int p = 0; p < kQuestions; ++p) {
        const QString key = voice::RenderingCache::Key(
            reader->UpperText(Poem::FromRow(p)), voice::VoiceParts().voice,
            voice::Pace{voice::kRecitedRate, voice::kUpperVerseMs, 0, 0});
        const double asked = now();
        const auto loaded = cache.Load(key);
        loads.push_back(now() - asked);
        if (!loaded.ok() || !loaded.value()) {
            std::fprintf(stderr, "bench_voice: poem %d is not in the cache\n", p + 1);
            return 1;
        }
    }

    Print("render", renders);
    Print("first sound after start", firstSounds);
    Print("character vs sound", offsets);
    Print("first character after first sound", firstCharacters);
    std::printf("cpu during reading %.1f %%\n", 100.0 * cpu * 1000.0 / wall);
    Print("upper verse", uppers, "s", 0.001);
    Print("held end", helds, "s", 0.001);
    Print("breath", breaths, "s", 0.001);
    Print("read from the cache", loads);
    std::printf("cache of a whole set (reader's style, lower verses, %d renderings) %.1f MiB\n",
                reader->SetSize(), double(setBytes) / (1 << 20));
    std::fflush(stdout);
    program.Quit();
    return 0;
}
