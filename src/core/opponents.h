// SPDX-License-Identifier: MIT
// Opponents that play like people: reactions drawn after the current
// decisive sound, a level's (from a table of assumptions) or the player's
// own from the history (自分と対戦), faster on their own territory, slower on
// the cards they did not memorise, with faults and misses. Seeded: a seed
// replays a match.
#pragma once

#include "core/match.h"

#include <QCoreApplication>
#include <array>
#include <random>

namespace nupew::match {

struct Level {
    const char *key;         // kept in the options
    const char *name;        // shown (translated in the match's context)
    double median;           // seconds after the decisive sound, on the player's territory
    double spread;           // of the log-normal (σ of its logarithm)
    double ownFactor;        // on its own territory, the reaction times this
    double unmemorised;      // share of its cards it did not memorise at the deal
    double unmemorisedDelay; // seconds added on such a card
    double faultRate;        // of readings with a card on the mat: a touch in the wrong territory
    double emptyFaultRate;   // of 空札 with a card of the same start on the mat: a touch there
    double missRate;         // of readings with a card on the mat: no touch
};

// From beginner to expert. Judgements, not measurements: see the help page.
inline constexpr std::array<Level, 5> kLevels{{
    {"beginner", QT_TRANSLATE_NOOP("nupew::match::Match", "入門"), 2.0, 0.45, 0.85, 0.40, 0.8, 0.05,
     0.10, 0.20},
    {"novice", QT_TRANSLATE_NOOP("nupew::match::Match", "初級"), 1.4, 0.40, 0.85, 0.25, 0.6, 0.04,
     0.07, 0.10},
    {"intermediate", QT_TRANSLATE_NOOP("nupew::match::Match", "中級"), 0.9, 0.35, 0.85, 0.15, 0.4,
     0.03, 0.05, 0.05},
    {"advanced", QT_TRANSLATE_NOOP("nupew::match::Match", "上級"), 0.55, 0.30, 0.85, 0.08, 0.3,
     0.02, 0.03, 0.02},
    {"expert", QT_TRANSLATE_NOOP("nupew::match::Match", "名人"), 0.35, 0.25, 0.85, 0.02, 0.2, 0.01,
     0.02, 0.005},
}};

// The level of that row of the table, the nearest one for a row out of it.
const Level &LevelAt(int index);

// A card of the mat a hasty hand goes to when `read` is read: the one on
// `side` sharing the longest start with it (none shares one: none).
Poem Confusable(const Match &match, Poem read, Side side);

class LevelOpponent final : public Opponent {
public:
    LevelOpponent(const Level &level, std::uint32_t seed);
    void Dealt(const Match &match) override;
    std::optional<Plan> PlanTouch(const Match &match, Poem read) override;
    Poem ChooseSending(const Match &match) override;
    QString Name() const override;
    bool Memorised(Poem poem) const { return memorised_[size_t(poem.row())]; }

private:
    const Level &level_;
    std::mt19937 random_;
    std::array<bool, kPoemCount> memorised_{};
};

// The player's own recent reactions from the history (seconds from the
// decisive character or sound; guesses left out), newest first.
struct OwnReactions {
    std::array<QList<double>, kPoemCount> byPoem;
    QList<double> overall;
    double faultRate = 0; // faults per answer
    bool Empty() const { return overall.isEmpty(); }
};

// 自分と対戦: on each poem a reaction of the player's own on that poem, the
// newest more likely; a poem with too few answers draws from all of them.
class GhostOpponent final : public Opponent {
public:
    static constexpr int kRecent = 10;     // answers of a poem drawn from
    static constexpr int kEnough = 3;      // fewer: any of the overall reactions
    static constexpr double kWeight = 0.8; // each older answer's weight against the next newer
    GhostOpponent(OwnReactions reactions, std::uint32_t seed);
    std::optional<Plan> PlanTouch(const Match &match, Poem read) override;
    Poem ChooseSending(const Match &match) override;
    QString Name() const override;

private:
    double Draw(const QList<double> &reactions);
    OwnReactions reactions_;
    std::mt19937 random_;
};

} // namespace nupew::match
