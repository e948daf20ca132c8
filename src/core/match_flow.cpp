// SPDX-License-Identifier: MIT
#include "core/match_flow.h"

#include <algorithm>
#include <utility>

namespace nupew::match {

namespace {

constexpr QChar kIdeographicSpace(0x3000);

// The step (1-based) that shows the `count`-th character of the verse, its spaces counted.
int StepOf(const QString &verse, int count) {
    int characters = 0;
    for (int i = 0; i < verse.size(); ++i) {
        characters += verse[i] != kIdeographicSpace;
        if (characters == count) {
            return i + 1;
        }
    }
    return int(verse.size());
}

} // namespace

double StepForRevealDelay(int revealDelay) {
    return std::max(0.2, revealDelay / 10.0);
}

MatchFlow::MatchFlow(Match &match, const PoemCatalogue &catalogue, Rhythm rhythm)
    : match_(match), catalogue_(catalogue), rhythm_(rhythm) {}

double MatchFlow::Clock(double now) const {
    return (pausedAt_ ? *pausedAt_ : now) - pausedFor_;
}

void MatchFlow::StartReading(double now) {
    if (phase_ != Phase::Memorising) {
        return;
    }
    phase_ = Phase::Opening;
    phaseStart_ = Clock(now);
    readingVoiced_ = voiced_;
    voiceEnd_.reset();
}

std::optional<double> MatchFlow::LowerDue() const {
    const Reading *reading = match_.current();
    if (phase_ != Phase::Upper || !reading || !upperEnd_) {
        return std::nullopt;
    }
    // The voice makes its own pause before the lower verse.
    const double lead = readingVoiced_ ? rhythm_.voiceLead : 0.0;
    if (reading->take) {
        return std::max(*upperEnd_, reading->take->at) + std::max(0.0, rhythm_.afterTake - lead);
    }
    return *upperEnd_ +
           std::max(0.0, (reading->place ? rhythm_.waitForTake : rhythm_.emptyPause) - lead);
}

std::optional<double> MatchFlow::NextInternal() const {
    std::optional<double> next;
    const auto consider = [&next](std::optional<double> t) {
        if (t && (!next || *t < *next)) {
            next = t;
        }
    };
    switch (phase_) {
    case Phase::Memorising:
    case Phase::Over:
        break;
    case Phase::Opening:
        if (!readingVoiced_) {
            consider(phaseStart_ + rhythm_.Opening());
        } else {
            consider(voiceEnd_ ? *voiceEnd_ + rhythm_.breath
                               : phaseStart_ + rhythm_.Opening() + rhythm_.voiceSlack);
        }
        break;
    case Phase::Upper:
        if (!readingVoiced_ && shown_ < verse_.size()) {
            consider(phaseStart_ + (shown_ + 1) * rhythm_.step);
        }
        consider(match_.OpponentDue());
        consider(LowerDue());
        break;
    case Phase::Lower:
        consider(lowerEnd_);
        consider(sendDeadline_);
        break;
    case Phase::Holding:
        consider(sendDeadline_);
        break;
    }
    return next;
}

std::optional<double> MatchFlow::NextWake() const {
    if (paused()) {
        return std::nullopt;
    }
    const std::optional<double> next = NextInternal();
    return next ? std::optional(*next + pausedFor_) : std::nullopt;
}

void MatchFlow::Wake(double now) {
    if (paused()) {
        return;
    }
    // What NextWake gave, back on the flow's clock, may fall a rounding short.
    const double t = Clock(now) + 1e-9;
    for (std::optional<double> e = NextInternal(); e && *e <= t; e = NextInternal()) {
        switch (phase_) {
        case Phase::Opening:
            BeginNext(*e);
            break;
        case Phase::Upper:
            if (!readingVoiced_ && shown_ < verse_.size() &&
                *e >= phaseStart_ + (shown_ + 1) * rhythm_.step) {
                Reveal(shown_ + 1, *e);
            } else if (match_.OpponentDue() && *e >= *match_.OpponentDue()) {
                const Reading before = *match_.current();
                match_.Advance(*e);
                Note(before);
            } else {
                Settle(*e);
            }
            break;
        case Phase::Lower:
        case Phase::Holding:
            if (sendDeadline_ && *e >= *sendDeadline_) {
                Send(DefaultSending(match_, Side::Player), *e);
            } else {
                Finish(*e);
            }
            break;
        case Phase::Memorising:
        case Phase::Over:
            return;
        }
    }
}

void MatchFlow::BeginNext(double t) {
    const Poem poem = match_.BeginReading();
    if (!poem.valid()) {
        phase_ = Phase::Over;
        events_.append({.kind = Event::Kind::Over, .winner = match_.Winner()});
        return;
    }
    verse_ = catalogue_.Text(poem, kUpperKana);
    shown_ = 0;
    decisiveAt_.reset();
    decisiveStep_ = StepOf(verse_, match_.current()->decisiveCount);
    phase_ = Phase::Upper;
    phaseStart_ = t;
    upperEnd_.reset();
    readingVoiced_ = voiced_;
    if (!readingVoiced_) {
        upperEnd_ = t + int(verse_.size()) * rhythm_.step;
    }
    events_.append({.kind = Event::Kind::ReadingBegun, .card = poem});
}

void MatchFlow::Reveal(int step, double t) {
    shown_ = std::clamp(step, shown_, int(verse_.size()));
    if (shown_ >= decisiveStep_ && !decisiveAt_) {
        decisiveAt_ = t;
        match_.DecisiveSounded(t);
        events_.append({.kind = Event::Kind::Decisive, .card = match_.current()->poem});
    }
}

void MatchFlow::VoiceStep(int step, double at) {
    if (!readingVoiced_ || phase_ != Phase::Upper || paused()) {
        return;
    }
    const double t = at - pausedFor_;
    if (step > shown_) {
        Reveal(step, t);
    }
    if (shown_ >= verse_.size() && !upperEnd_) {
        // The last character's sound has begun; the verse ends a step later.
        upperEnd_ = t + rhythm_.step;
    }
}

void MatchFlow::VoiceEnded(double at) {
    if (!readingVoiced_ || paused()) {
        return;
    }
    const double t = at - pausedFor_;
    if (phase_ == Phase::Opening) {
        voiceEnd_ = t;
    } else if (phase_ == Phase::Lower || phase_ == Phase::Holding) {
        lowerEnd_ = std::min(lowerEnd_, t);
    }
}

void MatchFlow::VoiceLost(double now) {
    if (!readingVoiced_) {
        return;
    }
    readingVoiced_ = false;
    const double t = Clock(now);
    switch (phase_) {
    case Phase::Upper:
        // The text goes on from the step reached, a step at a time.
        phaseStart_ = t - shown_ * rhythm_.step;
        if (!upperEnd_) {
            upperEnd_ = phaseStart_ + int(verse_.size()) * rhythm_.step;
        }
        break;
    case Phase::Lower:
    case Phase::Holding:
        lowerEnd_ = std::min(lowerEnd_, std::max(t, phaseStart_ + rhythm_.LowerVerse()));
        break;
    case Phase::Memorising:
    case Phase::Opening:
    case Phase::Over:
        break;
    }
}

void MatchFlow::Note(const Reading &before) {
    const Reading &now = *match_.current();
    if (now.take && !before.take) {
        events_.append({.kind = Event::Kind::Took,
                        .who = now.take->who,
                        .card = now.poem,
                        .territory = now.take->territory});
    }
    for (qsizetype i = before.faults.size(); i < now.faults.size(); ++i) {
        events_.append({.kind = Event::Kind::Fault,
                        .who = now.faults[i].who,
                        .territory = now.faults[i].territory,
                        .fault = now.faults[i].kind});
    }
    for (qsizetype i = before.sent.size(); i < now.sent.size(); ++i) {
        events_.append(
            {.kind = Event::Kind::Sent, .who = now.sendings[i].from, .card = now.sent[i]});
    }
}

void MatchFlow::Settle(double t) {
    const Reading before = *match_.current();
    match_.Settle(t);
    Note(before);
    phaseStart_ = t;
    lowerEnd_ =
        t + rhythm_.LowerVerse() + (readingVoiced_ ? rhythm_.voiceLead + rhythm_.voiceSlack : 0.0);
    if (match_.Winner()) {
        phase_ = Phase::Over;
        events_.append({.kind = Event::Kind::Over, .winner = match_.Winner()});
        return;
    }
    phase_ = Phase::Lower;
    events_.append({.kind = Event::Kind::LowerBegun, .card = match_.current()->poem});
    if (match_.PlayerSendingsOwed() > 0) {
        sendDeadline_ = t + rhythm_.sendChoice;
        events_.append({.kind = Event::Kind::SendWanted});
    }
}

void MatchFlow::Finish(double t) {
    if (match_.PlayerSendingsOwed() > 0) {
        // A raised hand: the next poem waits for the card.
        phase_ = Phase::Holding;
        return;
    }
    const QList<UnreadDecisive::Change> changes = match_.EndReading();
    if (!changes.isEmpty()) {
        events_.append({.kind = Event::Kind::Changed, .changes = changes});
    }
    if (match_.Over()) {
        phase_ = Phase::Over;
        events_.append({.kind = Event::Kind::Over, .winner = match_.Winner()});
        return;
    }
    BeginNext(std::max(t, lowerEnd_));
}

TouchOutcome MatchFlow::PlayerTouch(Poem card, double now) {
    if (paused() || phase_ != Phase::Upper) {
        return TouchOutcome::Ignored;
    }
    const Reading before = *match_.current();
    const TouchOutcome outcome = match_.Touch(Side::Player, card, Clock(now));
    Note(before);
    return outcome;
}

bool MatchFlow::PlayerSends(Poem card, double now) {
    return !paused() && Send(card, Clock(now));
}

bool MatchFlow::Send(Poem card, double t) {
    if (match_.PlayerSendingsOwed() == 0) {
        return false;
    }
    const Reading before = *match_.current();
    if (!match_.SendFromPlayer(card)) {
        return false;
    }
    Note(before);
    if (match_.PlayerSendingsOwed() > 0) {
        sendDeadline_ = t + rhythm_.sendChoice;
        return true;
    }
    sendDeadline_.reset();
    if (match_.Winner()) {
        phase_ = Phase::Over;
        events_.append({.kind = Event::Kind::Over, .winner = match_.Winner()});
    } else if (phase_ == Phase::Holding) {
        Finish(t);
    }
    return true;
}

void MatchFlow::Pause(double now) {
    if (!paused() && phase_ != Phase::Memorising && phase_ != Phase::Over) {
        pausedAt_ = now;
    }
}

void MatchFlow::Resume(double now) {
    if (pausedAt_) {
        pausedFor_ += now - *pausedAt_;
        pausedAt_.reset();
    }
}

std::optional<double> MatchFlow::ReactionAt(double at) const {
    return decisiveAt_ ? std::optional(at - *decisiveAt_) : std::nullopt;
}

QList<MatchFlow::Event> MatchFlow::TakeEvents() {
    return std::exchange(events_, {});
}

} // namespace nupew::match
