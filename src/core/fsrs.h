// SPDX-License-Identifier: MIT
// The drill's scheduler: FSRS-6, the memory model behind Anki's modern
// scheduler, written here from its published formulas with its default
// weights. Each poem is a card with a difficulty D (1-10) and a stability S
// (days until the chance of recall falls to the target retention); every
// answer is a review with a grade, and the next review falls when the
// predicted recall has fallen to that retention.
#pragma once

#include <QDateTime>
#include <array>
#include <chrono>
#include <optional>

namespace nupew {

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// A new card has never been answered; learning and relearning cards come
// back within the day after a few minutes (the steps), review cards after days.
enum class CardState { New = 0, Learning = 1, Review = 2, Relearning = 3 };

struct Card {
    CardState state = CardState::New;
    int step = 0; // of the learning or relearning steps
    double stability = 0.0;
    double difficulty = 0.0;
    QDateTime lastReview; // invalid for a new card
    QDateTime due;        // invalid for a new card
    int reps = 0;
    int lapses = 0; // review cards forgotten (Again)
};

// How an answer grades: a fault on the poem or the poem lost is Again; a
// right answer is Easy, Good or Hard by its reaction, counted from the step
// after which only the right card fits the board. The thresholds are fixed:
// the clock starts at the decisive step, so a poem's decisive length is
// already behind it, and a fixed time never fails half the known poems the
// way a comparison with the player's own median did. A pick before the
// decisive step (a guess) is right but says little: Good.
inline constexpr float kEasyBelowSeconds = 0.6f;
inline constexpr float kHardAboveSeconds = 1.8f;
Grade GradeOf(int faults, bool lost, float reactionSeconds);

class Fsrs {
public:
    // FSRS-6's default weights w0..w20.
    static constexpr std::array<double, 21> kDefaultWeights = {
        0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
        1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    static constexpr double kRetention = 0.9;
    static constexpr int kMaxIntervalDays = 36500;
    // A new or lapsed poem comes back after these within the day.
    static constexpr std::array<std::chrono::minutes, 2> kLearningSteps = {
        std::chrono::minutes(10), std::chrono::minutes(60)};
    static constexpr std::array<std::chrono::minutes, 1> kRelearningSteps = {
        std::chrono::minutes(10)};

    explicit Fsrs(const std::array<double, 21> &weights = kDefaultWeights);

    // The chance of recall `days` after a review of stability `stability`.
    double Retrievability(double days, double stability) const;
    // The card's predicted recall at `now`; 0 for a new card.
    double RetrievabilityAt(const Card &card, const QDateTime &now) const;
    // The card after a review graded `grade` at `now`.
    Card Review(const Card &card, Grade grade, const QDateTime &now) const;

    // The parts of the model, for the view of the deck and for checks.
    double InitialStability(Grade grade) const;
    double InitialDifficulty(Grade grade) const;
    double NextDifficulty(double difficulty, Grade grade) const;
    double ShortTermStability(double stability, Grade grade) const;
    double RecallStability(double difficulty, double stability, double recall, Grade grade) const;
    double ForgetStability(double difficulty, double stability, double recall) const;
    // Whole days until recall falls to the retention, 1 to kMaxIntervalDays.
    int IntervalDays(double stability) const;

private:
    std::array<double, 21> w_;
    double decay_;
    double factor_;
};

} // namespace nupew
