// SPDX-License-Identifier: MIT
// Measures the verse reveal on the real timer: how close each step comes to
// its nominal delay, how long a whole reveal takes, and the CPU it burns.
#include "core/game.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace nupew;

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Records when the verse label changes; everything else is ignored.
class StepClock final : public BoardDisplay {
public:
    void SetVerse(const QString &) override {
        stamps.push_back(clock.nsecsElapsed() / 1e6);
        if (stamps.size() == kRevealSteps + 1 && loop) {
            loop->quit();
        }
    }
    void SetVerseEmphasis(int) override {}
    void SetCardText(int, const QString &) override {}
    void SetCardColor(int, Rgb) override {}
    void SetPoetText(const QString &) override {}
    void SetPoetColor(Rgb) override {}
    void SetPoetTall(bool) override {}
    void SetPoetVisible(bool) override {}
    bool PoetVisible() const override { return false; }
    void SetQuestionNumber(const QString &) override {}
    void SetFaultCount(const QString &) override {}
    void SetMessage(const QString &) override {}
    void Beep() override {}

    QElapsedTimer clock;
    std::vector<double> stamps; // ms since the start; the first is the reset's empty label
    QEventLoop *loop = nullptr;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int reveals = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::printf("bench_reveal: %d reveals per delay, real QTimer steps (Qt::PreciseTimer)\n",
                reveals);
    for (const int delay : {2, 4}) {
        Settings settings;
        settings.revealDelay = qint16(delay);
        PoemCatalogue catalogue;
        catalogue.Fill();
        StepClock board;
        SteadyTimeOfDay clock;
        TimeSeededRandom random(clock);
        QtRevealTimer timer;
        Game game(settings, catalogue, board, clock, random, timer);
        std::vector<double> stepErrors;
        std::vector<double> wholeErrors;
        double cpu = 0.0;
        double wall = 0.0;
        const double nominal = delay * 100.0;
        for (int r = 0; r < reveals; ++r) {
            game.NewGame();
            board.stamps.clear();
            QEventLoop loop;
            board.loop = &loop;
            board.clock.start();
            board.stamps.push_back(0.0);
            const double cpu0 = CpuSeconds();
            game.StartQuestion();
            loop.exec();
            cpu += CpuSeconds() - cpu0;
            wall += board.stamps.back() / 1000.0;
            for (size_t i = 1; i < board.stamps.size(); ++i) {
                stepErrors.push_back(std::abs(board.stamps[i] - board.stamps[i - 1] - nominal));
            }
            wholeErrors.push_back(std::abs(board.stamps.back() - kRevealSteps * nominal));
        }
        std::printf("revealDelay %d (%.0f ms a step): step error median %.2f ms, worst %.2f ms; "
                    "whole reveal error median %.2f ms, worst %.2f ms; CPU %.2f %% of one core\n",
                    delay, nominal, Percentile(stepErrors, 0.5), Percentile(stepErrors, 1.0),
                    Percentile(wholeErrors, 0.5), Percentile(wholeErrors, 1.0), 100.0 * cpu / wall);
    }
    return 0;
}
