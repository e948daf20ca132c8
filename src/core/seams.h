// SPDX-License-Identifier: MIT
// The small interfaces through which the game changes the world, so that every
// rule can be exercised without a window and without waiting.
#pragma once

#include "core/poem_catalogue.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class QTimer;

namespace nupew {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// What the game changes on the board window.
class BoardDisplay {
public:
    virtual ~BoardDisplay() = default;
    virtual void SetCardText(int position, const QString &text) = 0;
    virtual void SetCardColor(int position, Rgb color) = 0;
    virtual void SetVerse(const QString &text) = 0;
    // Draws the first `count` characters of the verse in the emphasis colour
    // until the verse changes; 0 draws it all plainly.
    virtual void SetVerseEmphasis(int count) = 0;
    virtual void SetPoetText(const QString &text) = 0;
    virtual void SetPoetColor(Rgb color) = 0;
    // The usual poet label, or the taller one the longest names need.
    virtual void SetPoetTall(bool tall) = 0;
    virtual void SetPoetVisible(bool visible) = 0;
    virtual bool PoetVisible() const = 0;
    virtual void SetQuestionNumber(const QString &text) = 0;
    virtual void SetFaultCount(const QString &text) = 0;
    virtual void SetMessage(const QString &text) = 0;
    virtual void Beep() = 0;
};

// One answered question, as the answer history keeps it. Times are in seconds.
// A pick made before the decisive step (or sound) is a guess: its reaction
// is negative and says nothing of what the player knows. The history's SQL
// spells the same rule as kCountedReaction.
inline bool IsGuess(float reaction) {
    return reaction < 0.0f;
}

struct AnsweredQuestion {
    int question = 0; // 1 for the game's first question
    Poem poem = Poem::FromNumber(0);
    int upperTextMode = 0;
    int lowerTextMode = 0;
    int cardCount = 0;
    int revealDelay = 0;  // tenths of a second a step
    float answerTime = 0; // from the start to the right card
    int decisiveStep = 0; // the reveal step after which only the answer fits the board
    // From the decisive step's showing to the answer; negative for a pick made
    // before it (a guess).
    float reactionTime = 0;
    int faults = 0; // wrong picks in this question
    // Never answered: the fault limit passed on it, or the player ended the
    // game; answerTime is then the time until that moment, reactionTime -1.
    bool lost = false;
    // The verse was read aloud and shown with the voice: the reaction counts
    // from the decisive sound.
    bool voiced = false;
};

// How a game ended before its last question.
enum class GameStop { FaultLimit, ClosedByPlayer };

// Told of every answer and every finished game; the game never waits for it.
class AnswerLog {
public:
    virtual ~AnswerLog() = default;
    // The game's first question has started: the game's own start.
    virtual void GameStarted() {}
    virtual void QuestionAnswered(const AnsweredQuestion &answer) = 0;
    virtual void GameFinished(int questions, float averageTime, int faults) = 0;
    // The game ended early, after `questions` answered questions and `faults` faults.
    virtual void GameStopped(int /*questions*/, int /*faults*/, GameStop /*how*/) {}
    // The game last finished entered the table of the ten best.
    virtual void ResultRegistered() {}
};

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Question, Warning };
enum class MessageAnswer { Ok, Cancel, Yes, No };

inline const QString kProgramTitle = QStringLiteral("Nupew");

struct Message {
    QString text;
    QString title = kProgramTitle;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    bool systemModal = false;
};

// The answer of the record entry box: 記録する with the name typed, 記録しない,
// or neither (the box closed from its title bar: the board waits).
struct EntryAnswer {
    enum class Kind { Register, Decline, Closed };
    Kind kind = Kind::Closed;
    QString name;
};

// The answer of a practice game's end box.
enum class PracticeAnswer { PlayAgain, End };

// What the end box of a practice game shows.
struct PracticeFigures {
    QString average;  // "0.##"
    QString reaction; // "—" when none counted
    QString faults;
    // The poems to look at again: missed (a fault) or slow, each with its
    // number and decisive characters, in the order asked.
    QStringList toReview;
};

// Message boxes, the end boxes of a game, the table of the ten best and
// closing the board: what a game session asks the player.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer ShowMessage(const Message &message) = 0;
    // The record entry box, modally, and what the player answered.
    virtual EntryAnswer AskForRecord(const QString &averageText, const QString &faultsText) {
        (void)averageText;
        (void)faultsText;
        return {};
    }
    // The end of a practice game, modally.
    virtual PracticeAnswer ShowPracticeEnd(const PracticeFigures &figures) {
        (void)figures;
        return PracticeAnswer::End;
    }
    // The table of the ten best, after a result was entered; its 閉じる asks
    // for the next game.
    virtual void ShowRecords() {}
    virtual void CloseBoard() {}
};

// The seconds from `from` to `to`, both seconds of the day: a `to` earlier
// than `from` is on the next day.
inline float SecondsAfter(float from, float to) {
    return to >= from ? to - from : to + (86400.0f - from);
}

// Seconds since midnight, single precision.
class TimeOfDay {
public:
    virtual ~TimeOfDay() = default;
    virtual float Now() const = 0;
};

// Uniform draws in [0, 1).
class Random {
public:
    virtual ~Random() = default;
    virtual float Draw() = 0;
};

// Runs one step of the verse reveal after a delay; a new schedule replaces the old one.
// The delay counts from the due time of the step before, so that a whole reveal
// keeps time however late each step ran; after Cancel (or at first) it counts from now.
class RevealTimer {
public:
    virtual ~RevealTimer() = default;
    virtual void Schedule(int milliseconds, std::function<void()> step) = 0;
    virtual void Cancel() = 0;
};

// The steps of a verse's reveal: one character each, at most this many.
inline constexpr int kRevealSteps = 21;

// Reads the verses aloud. While it reads an upper verse, the reveal follows
// its sound instead of the reveal timer.
class VerseReader {
public:
    virtual ~VerseReader() = default;
    // A question was dealt: `poem` will be asked with the text of `column`
    // shown; the reading is made ready meanwhile, never waited for.
    virtual void Prepare(Poem poem, Column column) = 0;
    // Starts reading the upper verse; `step(k, late)` comes when the sound of
    // shown character k (1 = the first) began, `late` seconds ago; step -1
    // when the reading broke off and the text must go on by itself. False
    // when nothing can be read now (not ready, no sound device).
    virtual bool ReadUpper(Poem poem, Column column, std::function<void(int, float)> step) = 0;
    // Seconds from now until the sound of shown character k begins (negative once begun).
    virtual float SecondsUntil(int step) const = 0;
    // The question is decided: the upper verse stops (the lower one may follow).
    virtual void Decided(Poem poem) = 0;
    // A new game begins (the opening poem may be read).
    virtual void GameBegins() = 0;
    virtual void Stop() = 0;
    // Why the upper verse cannot be read now (how far the preparation is,
    // or what happened to the output); empty when nothing is known.
    virtual QString Unready() const { return {}; }
    // Why the last reading broke off (step -1), for the board's message.
    virtual QString BrokeOff() const { return {}; }
};

// The time of day when the program started, carried on by the monotonic clock:
// a step of the system clock (time synchronisation, a changed time zone) cannot
// turn into a wrong answer time. Folded into one day, as a time of day is.
class SteadyTimeOfDay final : public TimeOfDay {
public:
    SteadyTimeOfDay();
    float Now() const override;

private:
    double startOfDay_ = 0.0;
    QElapsedTimer elapsed_;
};

// Reveal steps on a precise single-shot QTimer: the event loop stays free between steps.
class QtRevealTimer final : public RevealTimer {
public:
    QtRevealTimer();
    ~QtRevealTimer() override;
    void Schedule(int milliseconds, std::function<void()> step) override;
    void Cancel() override;

private:
    std::unique_ptr<QTimer> timer_;
    std::function<void()> step_;
    QElapsedTimer chain_; // started with the first step of a reveal
    qint64 due_ = 0;      // milliseconds after chain_'s start when the next step is due
};

// A good generator re-seeded from the time of day before every draw. The time
// is mixed into the running state rather than replacing it, so an unchanged
// time continues the sequence and the draws stay uniform and independent.
class TimeSeededRandom final : public Random {
public:
    explicit TimeSeededRandom(const TimeOfDay &clock);
    // A fixed starting state, so that a test sees the same draws every run.
    TimeSeededRandom(const TimeOfDay &clock, std::uint64_t seed);
    float Draw() override;

private:
    const TimeOfDay &clock_;
    std::mt19937_64 engine_;
    float lastSeedTime_ = -1.0f;
};

} // namespace nupew
