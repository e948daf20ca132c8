// SPDX-License-Identifier: MIT
// The generator behind the game's random draws.
#include "core/seams.h"

#include <QTime>
#include <QTimer>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace nupew {
namespace {

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace

SteadyTimeOfDay::SteadyTimeOfDay()
    : startOfDay_(double(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0) {
    elapsed_.start();
}

float SteadyTimeOfDay::Now() const {
    return float(std::fmod(startOfDay_ + double(elapsed_.nsecsElapsed()) / 1e9, 86400.0));
}

QtRevealTimer::QtRevealTimer() : timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
        auto step = std::move(step_);
        step_ = nullptr;
        if (step) {
            step();
        }
    });
}

QtRevealTimer::~QtRevealTimer() = default;

void QtRevealTimer::Schedule(int milliseconds, std::function<void()> step) {
    step_ = std::move(step);
    if (!chain_.isValid()) {
        chain_.start();
        due_ = 0;
    }
    due_ += milliseconds;
    timer_->start(int(std::max<qint64>(0, due_ - chain_.elapsed())));
}

void QtRevealTimer::Cancel() {
    timer_->stop();
    step_ = nullptr;
    chain_.invalidate();
}

TimeSeededRandom::TimeSeededRandom(const TimeOfDay &clock) : clock_(clock) {
    std::random_device device;
    engine_.seed((std::uint64_t(device()) << 32) ^ device());
}

TimeSeededRandom::TimeSeededRandom(const TimeOfDay &clock, std::uint64_t seed) : clock_(clock) {
    engine_.seed(seed);
}

float TimeSeededRandom::Draw() {
    const float now = clock_.Now();
    if (now != lastSeedTime_) {
        // Fold the new time into the current state: the sequence goes on from
        // where it was, perturbed, instead of restarting from the time alone.
        lastSeedTime_ = now;
        engine_.seed(engine_() ^ Mix(std::bit_cast<std::uint32_t>(now)));
    }
    // 24 random bits give every float in [0, 1) on the 2^-24 grid, never 1.
    return float(engine_() >> 40) * 0x1.0p-24f;
}

} // namespace nupew
