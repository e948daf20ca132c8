// SPDX-License-Identifier: MIT
// FSRS-6 from its published formulas.
#include "core/fsrs.h"

#include "core/seams.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace nupew {
namespace {

constexpr double kMinStability = 0.001;
constexpr qint64 kSecondsPerDay = 86400;

int Number(Grade grade) {
    return int(grade);
}

// Whole days from one review to the next, as the model counts them.
qint64 DaysBetween(const QDateTime &from, const QDateTime &to) {
    if (!from.isValid()) {
        return 0;
    }
    return std::max<qint64>(0, from.secsTo(to) / kSecondsPerDay);
}

QDateTime After(const QDateTime &now, std::chrono::minutes minutes) {
    return now.addSecs(qint64(minutes.count()) * 60);
}

} // namespace

Grade GradeOf(int faults, bool lost, float reactionSeconds) {
    if (faults > 0 || lost) {
        return Grade::Again;
    }
    if (IsGuess(reactionSeconds)) {
        return Grade::Good;
    }
    if (reactionSeconds < kEasyBelowSeconds) {
        return Grade::Easy;
    }
    return reactionSeconds > kHardAboveSeconds ? Grade::Hard : Grade::Good;
}

Fsrs::Fsrs(const std::array<double, 21> &weights)
    : w_(weights), decay_(-weights[20]), factor_(std::pow(0.9, 1.0 / decay_) - 1.0) {}

double Fsrs::Retrievability(double days, double stability) const {
    return std::pow(1.0 + factor_ * std::max(0.0, days) / std::max(stability, kMinStability),
                    decay_);
}

double Fsrs::RetrievabilityAt(const Card &card, const QDateTime &now) const {
    if (card.state == CardState::New || !card.lastReview.isValid()) {
        return 0.0;
    }
    return Retrievability(double(card.lastReview.secsTo(now)) / double(kSecondsPerDay),
                          card.stability);
}

double Fsrs::InitialStability(Grade grade) const {
    return std::max(w_[size_t(Number(grade) - 1)], kMinStability);
}

double Fsrs::InitialDifficulty(Grade grade) const {
    return std::clamp(w_[4] - std::exp(w_[5] * (Number(grade) - 1)) + 1.0, 1.0, 10.0);
}

double Fsrs::NextDifficulty(double difficulty, Grade grade) const {
    const double change = -w_[6] * (Number(grade) - 3);
    // Linear damping: the nearer to 10, the smaller a step up.
    const double damped = difficulty + change * (10.0 - difficulty) / 9.0;
    // Mean reversion toward the (unclamped) initial difficulty of Easy.
    const double easy = w_[4] - std::exp(w_[5] * 3.0) + 1.0;
    return std::clamp(w_[7] * easy + (1.0 - w_[7]) * damped, 1.0, 10.0);
}

double Fsrs::ShortTermStability(double stability, Grade grade) const {
    double increase =
        std::exp(w_[17] * (Number(grade) - 3 + w_[18])) * std::pow(stability, -w_[19]);
    if (grade == Grade::Good || grade == Grade::Easy) {
        increase = std::max(increase, 1.0);
    }
    return std::max(stability * increase, kMinStability);
}

double Fsrs::RecallStability(double difficulty, double stability, double recall,
                             Grade grade) const {
    const double hard = grade == Grade::Hard ? w_[15] : 1.0;
    const double easy = grade == Grade::Easy ? w_[16] : 1.0;
    return std::max(stability *
                        (1.0 + std::exp(w_[8]) * (11.0 - difficulty) * std::pow(stability, -w_[9]) *
                                   (std::exp(w_[10] * (1.0 - recall)) - 1.0) * hard * easy),
                    kMinStability);
}

double Fsrs::ForgetStability(double difficulty, double stability, double recall) const {
    const double longTerm = w_[11] * std::pow(difficulty, -w_[12]) *
                            (std::pow(stability + 1.0, w_[13]) - 1.0) *
                            std::exp(w_[14] * (1.0 - recall));
    const double shortTerm = stability / std::exp(w_[17] * w_[18]);
    return std::max(std::min(longTerm, shortTerm), kMinStability);
}

int Fsrs::IntervalDays(double stability) const {
    const double days = stability / factor_ * (std::pow(kRetention, 1.0 / decay_) - 1.0);
    return std::clamp(int(std::lround(days)), 1, kMaxIntervalDays);
}

Card Fsrs::Review(const Card &card, Grade grade, const QDateTime &now) const {
    Card next = card;
    const qint64 days = DaysBetween(card.lastReview, now);
    if (card.state == CardState::New) {
        next.stability = InitialStability(grade);
        next.difficulty = InitialDifficulty(grade);
        next.state = CardState::Learning;
        next.step = 0;
    } else {
        const double recall = Retrievability(double(days), card.stability);
        if (days < 1) {
            next.stability = ShortTermStability(card.stability, grade);
        } else if (grade == Grade::Again) {
            next.stability = ForgetStability(card.difficulty, card.stability, recall);
        } else {
            next.stability = RecallStability(card.difficulty, card.stability, recall, grade);
        }
        next.difficulty = NextDifficulty(card.difficulty, grade);
    }
    ++next.reps;
    next.lastReview = now;
    const auto toReview = [&] {
        next.state = CardState::Review;
        next.step = 0;
        next.due = now.addDays(IntervalDays(next.stability));
    };
    if (next.state == CardState::Review) {
        if (grade != Grade::Again) {
            toReview();
            return next;
        }
        ++next.lapses;
        next.state = CardState::Relearning;
        next.step = 0;
        next.due = After(now, kRelearningSteps[0]);
        return next;
    }
    // Learning or relearning: through the steps, within the day.
    const std::span<const std::chrono::minutes> steps =
        next.state == CardState::Relearning
            ? std::span<const std::chrono::minutes>(kRelearningSteps)
            : std::span<const std::chrono::minutes>(kLearningSteps);
    if (size_t(next.step) >= steps.size() && grade != Grade::Again) {
        toReview();
        return next;
    }
    switch (grade) {
    case Grade::Again:
        next.step = 0;
        next.due = After(now, steps[0]);
        break;
    case Grade::Hard:
        if (next.step == 0 && steps.size() == 1) {
            next.due = now.addSecs(qint64(steps[0].count()) * 90); // one and a half steps
        } else if (next.step == 0) {
            next.due = now.addSecs(qint64(steps[0].count() + steps[1].count()) * 30);
        } else {
            next.due = After(now, steps[size_t(next.step)]);
        }
        break;
    case Grade::Good:
        if (size_t(next.step) + 1 >= steps.size()) {
            toReview();
        } else {
            ++next.step;
            next.due = After(now, steps[size_t(next.step)]);
        }
        break;
    case Grade::Easy:
        toReview();
        break;
    }
    return next;
}

} // namespace nupew
