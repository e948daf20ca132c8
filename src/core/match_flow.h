// SPDX-License-Identifier: MIT
// The match as it is read: memorisation, the opening poem, then each poem's
// upper verse, the take, its lower verse with the held sound and the
// breath, and the next, without waiting for a button. Time is the caller's:
// it asks when to wake next and wakes the flow then, so tests drive a whole
// match in no time and the window with one timer.
#pragma once

#include "core/match.h"

#include <functional>
#include <optional>

namespace nupew::match {

// The reading's rhythm in seconds (a reader's 5-3-1-6 with the text).
struct Rhythm {
    double step = 0.4;       // a character of the upper verse shown
    double afterTake = 1.0;  // from a take (or the upper verse's end, if later) to the lower verse
    double emptyPause = 1.0; // a 空札: from its upper verse's end to its lower verse
    double waitForTake =
        3.0; // a card on the mat untaken: from the upper verse's end to the lower verse
    double lower = 5.0;
    double held = 3.0;
    double breath = 1.0;
    double sendChoice = 5.0; // the player's time to pick a card to send, then the default
    // Read aloud: the voice's own pause before a lower verse (part of the
    // waits above), and how long past its time a voiced lower verse or the
    // opening poem is waited for before the reading goes on without it.
    double voiceLead = 1.0;
    double voiceSlack = 6.0;
    // The opening poem: its upper and lower verse, the lower again, the pause.
    double Opening() const { return 6.0 + 2 * (lower + held) + breath; }
    double LowerVerse() const { return lower + held + breath; }
};

// The text strip's speed from the game's reveal speed (tenths of a second a
// character; 0, the fastest, still one a fifth of a second).
double StepForRevealDelay(int revealDelay);

class MatchFlow final {
public:
    enum class Phase { Memorising, Opening, Upper, Lower, Holding, Over };

    // What happened, for the window to show and announce.
    struct Event {
        enum class Kind {
            ReadingBegun, // poem: the poem now read
            Decisive,     // its current decisive characters are out (text shown or sound heard)
            Took,         // who took card from territory
            Fault,        // who faulted (fault), in territory
            SendWanted,   // the player is to pick a card to send
            Sent,         // who sent card
            LowerBegun,
            Changed, // the decisive characters changed: changes
            Over,    // the match is over: who won, if anyone
        } kind;
        Side who = Side::Player;
        Poem card = kNoPoem;
        Side territory = Side::Player;
        FaultKind fault = FaultKind::WrongTerritory;
        QList<UnreadDecisive::Change> changes = {};
        std::optional<Side> winner = std::nullopt;
    };

    MatchFlow(Match &match, const PoemCatalogue &catalogue, Rhythm rhythm);

    // Memorisation over (its time, or the player's button): the reading begins.
    void StartReading(double now);
    // When the flow wants to be woken next; none when it waits for nobody.
    std::optional<double> NextWake() const;
    // Everything due by `now` happens.
    void Wake(double now);
    // The player touches a card.
    TouchOutcome PlayerTouch(Poem card, double now);
    // The player picks a card of their own to send; false when none is owed
    // or the card is not theirs.
    bool PlayerSends(Poem card, double now);
    // Space: the reading stops where it is, and goes on from there.
    void Pause(double now);
    void Resume(double now);
    bool paused() const { return pausedAt_.has_value(); }
    // Read aloud from the next reading on: the voice gives each step's moment
    // (the sound's onset) instead of the text's schedule, and says when the
    // opening poem and each lower verse have been read.
    void SetVoiced(bool voiced) { voiced_ = voiced; }
    bool voiced() const { return voiced_; }
    // Whether the opening or the reading under way is read aloud.
    bool readingVoiced() const { return readingVoiced_; }
    // With the voice: step k of the upper verse began to sound at `at`.
    void VoiceStep(int step, double at);
    // With the voice: the opening poem, or the lower verse with its held
    // sound and the breath, has been read by `at`.
    void VoiceEnded(double at);
    // The voice could not read, or stopped: the opening or reading under way
    // goes on in the text's rhythm from where it was.
    void VoiceLost(double now);

    Phase phase() const { return phase_; }
    // The upper verse under way and how many of its characters are shown.
    const QString &verse() const { return verse_; }
    int shown() const { return shown_; }
    // The step (1-based) after which the current decisive characters are shown.
    int decisiveStep() const { return decisiveStep_; }
    // When the current decisive sound began, on the flow's clock; none before.
    std::optional<double> decisiveAt() const { return decisiveAt_; }
    // Seconds from the decisive sound to `at` on the flow's clock.
    std::optional<double> ReactionAt(double at) const;
    // When the player's pick falls to the default.
    std::optional<double> sendDeadline() const { return sendDeadline_; }
    QList<Event> TakeEvents();
    const Rhythm &rhythm() const { return rhythm_; }
    // The flow's clock at the caller's `now`: the time paused left out.
    double Clock(double now) const;

private:
    std::optional<double> NextInternal() const;
    bool Send(Poem card, double t);
    void BeginNext(double t);
    void Reveal(int step, double t);
    void Settle(double t);
    void Finish(double t);
    void Note(const Reading &before);
    std::optional<double> LowerDue() const;

    Match &match_;
    const PoemCatalogue &catalogue_;
    Rhythm rhythm_;
    Phase phase_ = Phase::Memorising;
    bool voiced_ = false;
    bool readingVoiced_ = false;
    std::optional<double> voiceEnd_; // the voiced opening's end
    QList<Event> events_;
    QString verse_;
    int shown_ = 0;
    int decisiveStep_ = 0;
    std::optional<double> decisiveAt_;
    double phaseStart_ = 0; // the opening's, upper verse's or lower verse's start
    std::optional<double> upperEnd_;
    double lowerEnd_ = 0;
    std::optional<double> sendDeadline_;
    std::optional<double> pausedAt_;
    double pausedFor_ = 0;
};

} // namespace nupew::match
