// SPDX-License-Identifier: MIT
// Measures reading aloud on the real parts: Open JTalk's rendering, the time
// from 開始 to the first sound at the output, each shown character against
// the moment its sound reached the output, and the CPU a reading takes. The
// sound goes to a null sink of a private PulseAudio server whose monitor is
// recorded as it plays.
#include "voice/pulse_server.h"
#include "voice/reader.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace nupew;

namespace {

constexpr int kQuestions = 20;

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

// Runs the event loop until `done` holds or `ms` have passed, checking every 5 ms.
template <typename Done> bool WaitUntil(Done done, int ms) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    check.start(5);
    loop.exec();
    return done();
}

void Print(const char *what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const double median = values.empty() ? 0.0 : values[values.size() / 2];
    const double worst = values.empty() ? 0.0 : values.back();
    std::printf("%s median %.1f ms, worst %.1f ms\n", what, median, worst);
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    testing::PulseServer server;
    QString why;
    if (!server.Start(&why)) {
        std::fprintf(stderr, "bench_voice: no sound server: %s\n", qPrintable(why));
        return 1;
    }
    if (const QString missing = voice::Reader::Unavailable(); !missing.isEmpty()) {
        std::fprintf(stderr, "bench_voice: %s\n", qPrintable(missing));
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    testing::SinkRecorder recorder(clock);
    if (!recorder.Start()) {
        std::fprintf(stderr, "bench_voice: the sink's monitor records nothing\n");
        return 1;
    }
    PoemCatalogue catalogue;
    catalogue.Fill();
    QTemporaryDir cache; // every verse rendered afresh
    voice::Reader reader(catalogue, cache.path());

    std::vector<double> renders, firstSounds, offsets;
    double cpu = 0.0;
    double wall = 0.0;
    for (int q = 0; q < kQuestions; ++q) {
        const int poem = (q * 37 + 11) % kPoemCount;
        const int column = q % 2 == 0 ? kUpperKana : kUpperKanji;
        bool rendered = false;
        const QMetaObject::Connection told = QObject::connect(
            &reader, &voice::Reader::rendered, [&rendered] { rendered = true; });
        const double asked = double(clock.nsecsElapsed()) / 1e6;
        reader.Prepare(poem, column);
        WaitUntil([&rendered] { return rendered; }, 30000);
        QObject::disconnect(told);
        if (!rendered) {
            std::fprintf(stderr, "bench_voice: poem %d was not rendered\n", poem + 1);
            return 1;
        }
        renders.push_back(double(clock.nsecsElapsed()) / 1e6 - asked);
        Wait(400);

        recorder.Reset();
        std::vector<double> shown;
        bool done = false;
        const double cpuBefore = CpuSeconds();
        const double started = double(clock.nsecsElapsed()) / 1e6;
        const bool reading = reader.ReadUpper(poem, column, [&](int step, float) {
            shown.push_back(double(clock.nsecsElapsed()) / 1e6);
            done = step < 0 || size_t(step) == size_t(reader.stepOnsets().size());
        });
        if (!reading) {
            std::fprintf(stderr, "bench_voice: poem %d could not be read\n", poem + 1);
            return 1;
        }
        WaitUntil([&done] { return done; }, 20000);
        Wait(300); // the last sound reaches the sink and the recorder
        cpu += CpuSeconds() - cpuBefore;
        wall += double(clock.nsecsElapsed()) / 1e6 - started;
        reader.Stop();
        const double heard = recorder.FirstSoundMs();
        if (heard < 0 || shown.size() != size_t(reader.stepOnsets().size())) {
            std::fprintf(stderr, "bench_voice: poem %d was not heard\n", poem + 1);
            return 1;
        }
        firstSounds.push_back(heard - started);
        const QList<double> &onsets = reader.stepOnsets();
        // The first audible sample of what was played is the first sound
        // the recorder heard; every other moment of the verse follows it.
        const QByteArray &pcm = reader.playing();
        const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
        qsizetype first = 0;
        while (first < pcm.size() / 2 && std::abs(samples[first]) <= 300) {
            ++first;
        }
        const double firstMs = double(first) / 48.0;
        QString signedOffsets;
        for (size_t k = 0; k < shown.size(); ++k) {
            const double sound = heard + (onsets[qsizetype(k)] - firstMs);
            offsets.push_back(std::abs(shown[k] - sound));
            signedOffsets += QStringLiteral(" %1").arg(shown[k] - sound, 0, 'f', 0);
        }
        if (qEnvironmentVariableIsSet("NUPEW_BENCH_DETAIL")) {
            std::fprintf(stderr, "poem %d: first sound %.1f ms; shown - sound:%s\n", poem + 1,
                         heard - started, qPrintable(signedOffsets));
        }
    }
    Print("render", renders);
    Print("first sound after start", firstSounds);
    Print("character vs sound", offsets);
    std::printf("cpu during reading %.1f %%\n", 100.0 * cpu * 1000.0 / wall);
    return 0;
}
