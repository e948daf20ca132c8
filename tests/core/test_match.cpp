// SPDX-License-Identifier: MIT
// The match's rules without a window: the decisive characters over the
// unread poems, the deal and layouts, takes, faults, sendings, the end.
#include "core/decisive.h"
#include "core/match.h"
#include "core/match_flow.h"
#include "core/opponents.h"
#include "core/poem_catalogue.h"

#include <QSet>
#include <QTest>

using namespace nupew;
using namespace nupew::match;

namespace {

Poem P(int number) {
    return Poem::FromNumber(number);
}

const PoemCatalogue &Catalogue() {
    static const PoemCatalogue catalogue = [] {
        PoemCatalogue filled;
        filled.Fill();
        return filled;
    }();
    return catalogue;
}

QSet<int> Numbers(const QList<Poem> &poems) {
    QSet<int> numbers;
    for (const Poem p : poems) {
        numbers.insert(p.number());
    }
    return numbers;
}

// A mat with the given cards in each territory's 下段 and a reading order.
struct Table {
    explicit Table(Opponent &opponent) : match(Catalogue(), opponent, 7) {}
    void Lay(const QList<int> &mine, const QList<int> &theirs, const QList<int> &order) {
        Mat mat;
        for (const int p : mine) {
            mat.rows(Side::Player)[2].append(P(p));
        }
        for (const int p : theirs) {
            mat.rows(Side::Opponent)[2].append(P(p));
        }
        QList<Poem> poems;
        for (const int p : order) {
            poems.append(P(p));
        }
        match.DealGiven(mat, poems);
    }
    Match match;
};

using Kind = MatchFlow::Event::Kind;

// Wakes the flow whenever it asks, up to `until`; the events in order.
QList<MatchFlow::Event> Run(MatchFlow &flow, double until) {
    QList<MatchFlow::Event> events;
    for (std::optional<double> next = flow.NextWake(); next && *next <= until + 1e-6;
         next = flow.NextWake()) {
        flow.Wake(*next);
        events.append(flow.TakeEvents());
    }
    return events;
}

QList<Kind> Kinds(const QList<MatchFlow::Event> &events) {
    QList<Kind> kinds;
    for (const MatchFlow::Event &e : events) {
        kinds.append(e.kind);
    }
    return kinds;
}

} // namespace

class TestMatch : public QObject {
    Q_OBJECT
private slots:
    void decisiveOverTheUnreadPoems();
    void dealAndLayouts();
    void takesAndSendings();
    void faults();
    void untakenCardsAndTheSoloOpponent();
    void steadyOpponentAndTheClock();
    void wholeMatchesEnd();
    void readingInTheRhythm();
    void sendingHoldsTheNextPoem();
    void readAloud();
    void levelsAndTheGhost();
    void wholeSoloMatchThroughTheFlow();
};

void TestMatch::decisiveOverTheUnreadPoems() {
    const PoemCatalogue &catalogue = Catalogue();
    const DecisiveTable table(catalogue);
    {
        // With nothing read, the traditional counts for all hundred.
        const UnreadDecisive unread(catalogue);
        for (int p = 1; p <= kPoemCount; ++p) {
            QCOMPARE(unread.Count(P(p)), table.Count(P(p)));
            QCOMPARE(unread.Heard(P(p)), table.Heard(P(p)));
        }
    }
    {
        // The three ち poems, 42 first: 75 ちぎりお → ちぎ → ち.
        UnreadDecisive unread(catalogue);
        QCOMPARE(unread.Heard(P(75)), QStringLiteral("ちぎりお"));
        const QList<UnreadDecisive::Change> changes = unread.MarkRead(P(42));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0].poem, P(75));
        QCOMPARE(changes[0].before, 4);
        QCOMPARE(changes[0].after, 2);
        QCOMPARE(unread.Heard(P(75)), QStringLiteral("ちぎ"));
        QCOMPARE(unread.Heard(P(17)), QStringLiteral("ちは"));
        unread.MarkRead(P(17));
        QCOMPARE(unread.Heard(P(75)), QStringLiteral("ち"));
        // A read poem keeps the count it was read with; reading it again changes nothing.
        QCOMPARE(unread.Count(P(42)), 4);
        QVERIFY(unread.MarkRead(P(42)).isEmpty());
        QCOMPARE(unread.UnreadCount(), 98);
    }
    {
        // 17 first: the pair keeps its four, then 42 leaves 75 a single ち.
        UnreadDecisive unread(catalogue);
        const QList<UnreadDecisive::Change> changes = unread.MarkRead(P(17));
        QVERIFY(changes.isEmpty());
        QCOMPARE(unread.Count(P(42)), 4);
        QCOMPARE(unread.Count(P(75)), 4);
        unread.MarkRead(P(42));
        QCOMPARE(unread.Heard(P(75)), QStringLiteral("ち"));
    }
    {
        // A six-character poem after its partner: きみがためを needs only きみ
        // against きりぎりす; a one-sound poem stays one through the match.
        UnreadDecisive unread(catalogue);
        QCOMPARE(unread.Count(P(50)), 6);
        unread.MarkRead(P(15));
        QCOMPARE(unread.Heard(P(50)), QStringLiteral("きみ"));
        for (int p = 1; p <= kPoemCount; ++p) {
            if (p != 87) {
                unread.MarkRead(P(p));
            }
            QCOMPARE(unread.Count(P(87)), 1);
        }
        QCOMPARE(unread.UnreadCount(), 1);
    }
    {
        // Against a brute force over random orders: the count is one more than
        // the longest beginning shared with any unread poem.
        std::mt19937 random(3);
        QList<Poem> order;
        for (int p = 1; p <= kPoemCount; ++p) {
            order.append(P(p));
        }
        std::shuffle(order.begin(), order.end(), random);
        UnreadDecisive unread(catalogue);
        for (const Poem read : order.mid(0, 60)) {
            unread.MarkRead(read);
            for (int p = 1; p <= kPoemCount; ++p) {
                if (unread.IsRead(P(p))) {
                    continue;
                }
                const QString verse = ComparedVerse(catalogue, P(p));
                int shared = 0;
                for (int q = 1; q <= kPoemCount; ++q) {
                    if (q == p || unread.IsRead(P(q))) {
                        continue;
                    }
                    const QString other = ComparedVerse(catalogue, P(q));
                    int n = 0;
                    while (n < verse.size() && n < other.size() && verse[n] == other[n]) {
                        ++n;
                    }
                    shared = std::max(shared, n);
                }
                QCOMPARE(unread.Count(P(p)), std::min<int>(shared + 1, int(verse.size())));
            }
        }
    }
}

void TestMatch::dealAndLayouts() {
    const PoemCatalogue &catalogue = Catalogue();
    SoloOpponent solo;
    Match match(catalogue, solo, 11);
    match.Deal(LayoutRule::Random);
    QSet<int> seen;
    for (const Side side : {Side::Player, Side::Opponent}) {
        QCOMPARE(match.mat().Count(side), kCardsEach);
        QCOMPARE(match.mat().rows(side)[0].size(), 8);
        QCOMPARE(match.mat().rows(side)[2].size(), 9);
        for (const Poem p : match.mat().Cards(side)) {
            seen.insert(p.number());
        }
    }
    QCOMPARE(seen.size(), 2 * kCardsEach);
    QCOMPARE(Numbers(match.order()).size(), kPoemCount);
    // The same seed deals the same match.
    Match again(catalogue, solo, 11);
    again.Deal(LayoutRule::Random);
    QCOMPARE(again.mat().rows(Side::Player), match.mat().rows(Side::Player));
    QCOMPARE(again.order(), match.order());

    // The beginner layout: the one-sound cards at the right end of the 下段,
    // cards sharing a first sound side by side.
    Mat mat;
    const UnreadDecisive decisive(catalogue);
    std::mt19937 random(1);
    QList<Poem> cards{P(87), P(42), P(9), P(75), P(18), P(17), P(1), P(77)};
    Match::Lay(mat, Side::Player, cards, LayoutRule::Beginner, decisive, random);
    // A third in the 上段 and the 中段, the rest in the 下段.
    QCOMPARE(mat.rows(Side::Player)[0].size(), 2);
    QCOMPARE(mat.rows(Side::Player)[2].size(), 4);
    const QList<Poem> all = mat.Cards(Side::Player);
    QCOMPARE(all.size(), cards.size());
    // 87 む, 18 す, 77 せ have one sound: they are the rightmost.
    QCOMPARE(Numbers(all.mid(all.size() - 3)), (QSet<int>{87, 18, 77}));
    const qsizetype a = all.indexOf(P(42)), b = all.indexOf(P(75)), c = all.indexOf(P(17));
    QVERIFY(std::max({a, b, c}) - std::min({a, b, c}) == 2);

    // Moving during memorisation: within its territory only, rows bounded.
    QVERIFY(mat.Move(P(87), Place{Side::Player, Row::Upper, 0}));
    QCOMPARE(mat.Find(P(87)), (Place{Side::Player, Row::Upper, 0}));
    QVERIFY(!mat.Move(P(87), Place{Side::Opponent, Row::Upper, 0}));
    for (int p = 20; p < 20 + kRowCapacity; ++p) {
        mat.rows(Side::Player)[1].append(P(p));
    }
    QVERIFY(!mat.Move(P(87), Place{Side::Player, Row::Middle, 0}));
}

void TestMatch::takesAndSendings() {
    SoloOpponent solo;
    Table t(solo);
    t.Lay({1, 2, 3}, {4, 5, 6}, {1, 4, 5});
    Match &m = t.match;
    // The player's own card: taken, nothing owed.
    QCOMPARE(m.BeginReading(), P(1));
    QCOMPARE(m.Touch(Side::Player, P(1), 1.0), TouchOutcome::Took);
    QCOMPARE(m.Touch(Side::Player, P(2), 1.1), TouchOutcome::Ignored);
    m.Settle(2.0);
    QCOMPARE(m.PlayerSendingsOwed(), 0);
    QCOMPARE(m.mat().Count(Side::Player), 2);
    QVERIFY(m.current()->take->byTouch);
    m.EndReading();
    // From the other territory, after a touch on a card beside it (no fault):
    // the player owes a card and the next poem waits for it.
    QCOMPARE(m.BeginReading(), P(4));
    QCOMPARE(m.Touch(Side::Player, P(5), 1.0), TouchOutcome::Nothing);
    QCOMPARE(m.Touch(Side::Player, P(4), 1.2), TouchOutcome::Took);
    m.Settle(2.0);
    QCOMPARE(m.Faults(Side::Player), 0);
    QCOMPARE(m.PlayerSendingsOwed(), 1);
    QVERIFY(!m.BeginReading().valid());
    QVERIFY(!m.SendFromPlayer(P(5))); // not the player's
    QVERIFY(m.SendFromPlayer(P(3)));
    QVERIFY(!m.SendFromPlayer(P(2))); // one owed, one sent
    QCOMPARE(m.mat().Find(P(3))->side, Side::Opponent);
    QCOMPARE(m.current()->sent, QList<Poem>{P(3)});
    QCOMPARE(m.mat().Count(Side::Player), 1);
    QCOMPARE(m.mat().Count(Side::Opponent), 3);
    QCOMPARE(m.BeginReading(), P(5));
}

void TestMatch::faults() {
    SoloOpponent solo;
    Table t(solo);
    // 10, 11 are 空札.
    t.Lay({1, 2, 3}, {4, 15, 6}, {1, 10, 11, 4});
    Match &m = t.match;
    // The read card is in the player's territory: touches across are one
    // fault however many; the opponent sends a card (its longest).
    m.BeginReading();
    QCOMPARE(m.Touch(Side::Player, P(4), 0.5), TouchOutcome::Fault);
    QCOMPARE(m.Touch(Side::Player, P(15), 0.6), TouchOutcome::Nothing);
    QCOMPARE(m.Touch(Side::Player, P(1), 0.7), TouchOutcome::Took);
    m.Settle(1.0);
    QCOMPARE(m.Faults(Side::Player), 1);
    QCOMPARE(m.current()->faults[0].kind, FaultKind::WrongTerritory);
    // 15 きみがためは has six decisive characters, 4 たご and 6 かさ two.
    QCOMPARE(m.current()->sent, QList<Poem>{P(15)});
    QCOMPARE(m.mat().Count(Side::Player), 3);
    QCOMPARE(m.mat().Count(Side::Opponent), 2);
    // A 空札 touched in one territory: one fault.
    m.BeginReading();
    QCOMPARE(m.Touch(Side::Player, P(2), 0.5), TouchOutcome::Fault);
    QCOMPARE(m.Touch(Side::Player, P(3), 0.6), TouchOutcome::Nothing);
    m.Settle(1.0);
    QCOMPARE(m.current()->faults.size(), 1);
    QCOMPARE(m.current()->faults[0].kind, FaultKind::EmptyCard);
    QCOMPARE(m.current()->sent, QList<Poem>{P(4)}); // a tie: the first in its rows
    QCOMPARE(m.mat().Count(Side::Player), 4);
    // 空ダブル: both territories, two faults, two cards owed.
    m.BeginReading();
    QCOMPARE(m.Touch(Side::Player, P(2), 0.5), TouchOutcome::Fault);
    QCOMPARE(m.Touch(Side::Player, P(6), 0.6), TouchOutcome::Fault);
    m.Settle(1.0);
    QCOMPARE(m.Faults(Side::Player), 4);
    QCOMPARE(m.current()->faults.size(), 2);
    // The opponent had one card left to send: sending its last, it has won.
    QCOMPARE(m.current()->sent, QList<Poem>{P(6)});
    QCOMPARE(m.mat().Count(Side::Opponent), 0);
    QCOMPARE(m.Winner(), std::optional(Side::Opponent));
    QVERIFY(m.Over());
    QVERIFY(!m.BeginReading().valid());
}

void TestMatch::untakenCardsAndTheSoloOpponent() {
    SoloOpponent solo;
    Table t(solo);
    t.Lay({1}, {4, 5}, {4, 1});
    Match &m = t.match;
    // Nobody touched the opponent's card: its owner's, as the lower verse begins.
    m.BeginReading();
    QVERIFY(!m.OpponentDue());
    m.DecisiveSounded(0.3);
    QVERIFY(!m.OpponentDue());
    m.Settle(6.0);
    QCOMPARE(m.current()->take->who, Side::Opponent);
    QVERIFY(!m.current()->take->byTouch);
    QVERIFY(m.current()->sendings.isEmpty());
    QCOMPARE(m.mat().Count(Side::Opponent), 1);
    // The player's own last card, untaken, is the player's: the player wins.
    m.BeginReading();
    m.Settle(6.0);
    QCOMPARE(m.Winner(), std::optional(Side::Player));
}

void TestMatch::steadyOpponentAndTheClock() {
    SteadyOpponent steady(1.0);
    QCOMPARE(SteadyOpponent(9).delay(), SteadyOpponent::kSlowest);
    Table t(steady);
    t.Lay({1, 2}, {4, 5}, {1, 4, 10, 2});
    Match &m = t.match;
    // The opponent is due 1 s after the decisive sound at 2.0: a player's touch
    // at 2.9 is first.
    m.BeginReading();
    QVERIFY(!m.OpponentDue());
    m.DecisiveSounded(2.0);
    QCOMPARE(*m.OpponentDue(), 3.0);
    QCOMPARE(m.Touch(Side::Player, P(1), 2.9), TouchOutcome::Took);
    m.Settle(4.0);
    QCOMPARE(m.current()->take->who, Side::Player);
    // A touch at 3.1 handled before the opponent's touch due at 3.0 was made:
    // the opponent's comes first and takes its own card; the player is late.
    m.BeginReading();
    m.DecisiveSounded(2.0);
    QCOMPARE(m.Touch(Side::Player, P(4), 3.1), TouchOutcome::Ignored);
    QCOMPARE(m.current()->take->who, Side::Opponent);
    QCOMPARE(m.current()->take->at, 3.0);
    m.Settle(4.0);
    QVERIFY(m.current()->sendings.isEmpty());
    // A 空札: the steady opponent does not touch.
    m.BeginReading();
    m.DecisiveSounded(1.0);
    QVERIFY(!m.OpponentDue());
    m.Settle(4.0);
    // It takes the player's card and sends its longest one across.
    m.BeginReading();
    m.DecisiveSounded(1.0);
    m.Advance(2.5);
    QCOMPARE(m.current()->take->territory, Side::Player);
    m.Settle(4.0);
    QCOMPARE(m.current()->sent, QList<Poem>{P(5)});
    QCOMPARE(m.mat().Count(Side::Opponent), 0);
    QCOMPARE(m.Winner(), std::optional(Side::Opponent));
}

void TestMatch::wholeMatchesEnd() {
    // A whole match against the steady opponent with a player who never
    // touches: every card of the opponent's goes, and it wins; a whole solo
    // match read to its end with a player taking every card of their own.
    const PoemCatalogue &catalogue = Catalogue();
    SteadyOpponent steady(0.5);
    Match lost(catalogue, steady, 5);
    lost.Deal(LayoutRule::Beginner);
    while (!lost.Over()) {
        QVERIFY(lost.BeginReading().valid());
        lost.DecisiveSounded(1.0);
        lost.Advance(10);
        lost.Settle(10);
        lost.EndReading();
    }
    QCOMPARE(lost.Winner(), std::optional(Side::Opponent));
    QVERIFY(lost.PoemsRead() >= 2 * kCardsEach - 1 && lost.PoemsRead() <= kPoemCount);

    SoloOpponent solo;
    Match won(catalogue, solo, 5);
    won.Deal(LayoutRule::Random);
    while (!won.Over()) {
        const Poem read = won.BeginReading();
        QVERIFY(read.valid());
        if (won.mat().Contains(read)) {
            QCOMPARE(won.Touch(Side::Player, read, 1.5), TouchOutcome::Took);
        }
        won.Settle(6);
        while (won.PlayerSendingsOwed() > 0) {
            QVERIFY(won.SendFromPlayer(DefaultSending(won, Side::Player)));
        }
        won.EndReading();
    }
    QCOMPARE(won.Winner(), std::optional(Side::Player));
    QCOMPARE(won.Faults(Side::Player), 0);
}

void TestMatch::readingInTheRhythm() {
    SoloOpponent solo;
    Table t(solo);
    // 87 むらさめの (one sound) is the player's, 10 a 空札, 4 the opponent's.
    t.Lay({87, 1}, {4, 15}, {87, 10, 4, 1});
    const Rhythm rhythm;
    MatchFlow flow(t.match, Catalogue(), rhythm);
    QVERIFY(!flow.NextWake()); // memorising: nothing is read
    flow.StartReading(100);
    QCOMPARE(*flow.NextWake(), 100 + rhythm.Opening());
    // The opening poem, then 87's verse a character every 0.4 s: む is decisive.
    QList<MatchFlow::Event> events = Run(flow, 100 + rhythm.Opening() + 0.4);
    QCOMPARE(Kinds(events), (QList<Kind>{Kind::ReadingBegun, Kind::Decisive}));
    QCOMPARE(events[0].card, P(87));
    QCOMPARE(flow.decisiveStep(), 1);
    const double start = 100 + rhythm.Opening();
    QCOMPARE(*flow.decisiveAt(), start + 0.4);
    // Touching across first is a fault; the take then stands; the reaction
    // is counted from the decisive sound.
    QCOMPARE(flow.PlayerTouch(P(4), start + 0.6), TouchOutcome::Fault);
    QCOMPARE(flow.PlayerTouch(P(87), start + 0.9), TouchOutcome::Took);
    QCOMPARE(*flow.ReactionAt(flow.Clock(start + 0.9)), 0.5);
    events = flow.TakeEvents();
    QCOMPARE(Kinds(events), (QList<Kind>{Kind::Fault, Kind::Took}));
    QCOMPARE(events[1].who, Side::Player);
    QCOMPARE(events[1].territory, Side::Player);
    // The verse is shown to its end; the lower verse a second after it, then
    // the next poem after the lower verse, its held sound and the breath.
    const double upperEnd = start + flow.verse().size() * rhythm.step;
    events = Run(flow, upperEnd + rhythm.afterTake);
    QCOMPARE(flow.shown(), flow.verse().size());
    QCOMPARE(flow.phase(), MatchFlow::Phase::Lower);
    QVERIFY(Kinds(events).contains(Kind::LowerBegun));
    // The fault: the opponent sends a card, its longest.
    QVERIFY(Kinds(events).contains(Kind::Sent));
    QCOMPARE(t.match.mat().Find(P(15))->side, Side::Player);
    QVERIFY(flow.PlayerTouch(P(1), upperEnd + 2) == TouchOutcome::Ignored);
    const double secondStart = upperEnd + rhythm.afterTake + rhythm.LowerVerse();
    events = Run(flow, secondStart);
    QCOMPARE(Kinds(events).last(), Kind::ReadingBegun);
    QCOMPARE(events.last().card, P(10));
    // A 空札: its lower verse a moment after its upper verse.
    const double emptyEnd = secondStart + flow.verse().size() * rhythm.step;
    Run(flow, emptyEnd + rhythm.emptyPause - 0.01);
    QCOMPARE(flow.phase(), MatchFlow::Phase::Upper);
    Run(flow, emptyEnd + rhythm.emptyPause);
    QCOMPARE(flow.phase(), MatchFlow::Phase::Lower);
    // Space pauses the reading where it is: nothing is due while paused.
    const double thirdStart = emptyEnd + rhythm.emptyPause + rhythm.LowerVerse();
    Run(flow, thirdStart + 0.4);
    QCOMPARE(flow.shown(), 1);
    flow.Pause(thirdStart + 0.5);
    QVERIFY(!flow.NextWake());
    flow.Wake(thirdStart + 60);
    QCOMPARE(flow.shown(), 1);
    QCOMPARE(flow.PlayerTouch(P(4), thirdStart + 60), TouchOutcome::Ignored);
    flow.Resume(thirdStart + 100.5);
    QCOMPARE(*flow.NextWake(), thirdStart + 100.8);
    // The opponent's card nobody took is the opponent's as its lower verse begins.
    const double thirdEnd = thirdStart + 100 + flow.verse().size() * rhythm.step;
    events = Run(flow, thirdEnd + rhythm.waitForTake);
    QVERIFY(t.match.current()->take);
    QCOMPARE(t.match.current()->take->who, Side::Opponent);
    QVERIFY(!t.match.current()->take->byTouch);
}

// Read aloud, the voice's sound sets the moments: the decisive one at the
// onset of its step, the lower verse when the voice says it ended; a voice
// that fails hands the reading to the text where it was.
void TestMatch::readAloud() {
    SteadyOpponent steady(1.0);
    Table t(steady);
    t.Lay({87, 1}, {4, 15}, {87, 10, 4});
    const Rhythm rhythm;
    MatchFlow flow(t.match, Catalogue(), rhythm);
    flow.SetVoiced(true);
    flow.StartReading(0);
    // The opening poem lasts as long as the voice reads it, and a breath.
    QCOMPARE(*flow.NextWake(), rhythm.Opening() + rhythm.voiceSlack);
    flow.VoiceEnded(17);
    QCOMPARE(*flow.NextWake(), 17 + rhythm.breath);
    QCOMPARE(Kinds(Run(flow, 18)), QList<Kind>{Kind::ReadingBegun});
    // No text schedule: the verse waits for its sound; む sounded 0.25 s late.
    QVERIFY(!flow.NextWake());
    flow.VoiceStep(1, 18.7);
    QCOMPARE(*flow.decisiveAt(), 18.7);
    QCOMPARE(*flow.NextWake(), 19.7); // the opponent, a second after む
    QCOMPARE(flow.PlayerTouch(P(87), 19.2), TouchOutcome::Took);
    QCOMPARE(*flow.ReactionAt(19.2), 0.5);
    flow.VoiceStep(int(flow.verse().size()), 23.6);
    // The voice pauses before the lower verse itself: the flow does not add it.
    const double lower = 23.6 + rhythm.step + rhythm.afterTake - rhythm.voiceLead;
    Run(flow, lower - 0.01);
    QCOMPARE(flow.phase(), MatchFlow::Phase::Upper);
    Run(flow, lower);
    QCOMPARE(flow.phase(), MatchFlow::Phase::Lower);
    flow.VoiceEnded(33.5);
    QCOMPARE(Kinds(Run(flow, 33.5)).last(), Kind::ReadingBegun);
    QCOMPARE(t.match.current()->poem, P(10));
    // The voice breaks off after two steps: the text goes on from there.
    flow.VoiceStep(2, 34.0);
    flow.VoiceLost(34.1);
    QVERIFY(!flow.readingVoiced());
    QCOMPARE(*flow.NextWake(), 34.1 - 2 * rhythm.step + 3 * rhythm.step);
    // Its lower verse is still waited for in the text's rhythm; the next
    // poem is read aloud again.
    const double upperEnd = 34.1 + (flow.verse().size() - 2) * rhythm.step;
    Run(flow, upperEnd + rhythm.emptyPause + rhythm.LowerVerse());
    QCOMPARE(t.match.current()->poem, P(4));
    QVERIFY(flow.readingVoiced());
}

// The opponents that play like people: a seed replays them, their medians
// and rates are their level's, the ghost draws the player's own reactions.
void TestMatch::levelsAndTheGhost() {
    const auto plans = [](Opponent &opponent, std::uint32_t seed) {
        Match m(Catalogue(), opponent, seed);
        m.Deal(LayoutRule::Random);
        QList<double> made; // the card and the time of each plan, -1 for none
        for (const Poem p : m.order()) {
            const std::optional<Opponent::Plan> plan = opponent.PlanTouch(m, p);
            made.append(plan ? plan->card.number() * 100 + plan->afterDecisive : -1);
        }
        return made;
    };
    LevelOpponent a(kLevels[2], 11), b(kLevels[2], 11), c(kLevels[2], 12);
    const QList<double> first = plans(a, 5);
    QCOMPARE(first.size(), 100);
    QCOMPARE(plans(b, 5), first);
    QVERIFY(plans(c, 5) != first);

    // Over many readings of one card in each territory: the medians, the
    // misses and the faults of each level, within a few per cent.
    for (const Level &level : kLevels) {
        LevelOpponent opponent(level, 3);
        Table t(opponent);
        t.Lay({87, 1, 4}, {18, 22, 2}, {87});
        const auto memorised = [&] {
            for (const Poem p : {P(18), P(22)}) {
                if (opponent.Memorised(p)) {
                    return p;
                }
            }
            return kNoPoem;
        }();
        for (const auto &[read, factor] : {std::pair{P(1), 1.0}, {memorised, level.ownFactor}}) {
            if (!read.valid()) {
                continue; // neither was memorised: the unlikely draw
            }
            const int n = 20000;
            std::vector<double> reactions;
            int misses = 0, faults = 0;
            for (int i = 0; i < n; ++i) {
                const std::optional<Opponent::Plan> plan = opponent.PlanTouch(t.match, read);
                if (!plan) {
                    ++misses;
                } else if (plan->card != read) {
                    ++faults;
                    QVERIFY(t.match.mat().Find(plan->card)->side != t.match.mat().Find(read)->side);
                } else {
                    reactions.push_back(plan->afterDecisive);
                }
            }
            std::nth_element(reactions.begin(), reactions.begin() + long(reactions.size() / 2),
                             reactions.end());
            const double median = reactions[reactions.size() / 2];
            QVERIFY2(std::abs(median / (level.median * factor) - 1) < 0.05,
                     qPrintable(QStringLiteral("%1: %2").arg(level.key).arg(median)));
            QVERIFY(std::abs(double(misses) / n - level.missRate) < 0.01);
            QVERIFY(std::abs(double(faults) / n - level.faultRate) < 0.01);
        }
        // 空札: 10 これやこの shares its start with no card on the mat and is
        // never touched; 79 あきかぜに is, now and then, on 1 あきのたの.
        int touches = 0;
        for (int i = 0; i < 5000; ++i) {
            QVERIFY(!opponent.PlanTouch(t.match, P(10)));
            if (const auto plan = opponent.PlanTouch(t.match, P(79))) {
                QCOMPARE(plan->card, P(1));
                ++touches;
            }
        }
        QVERIFY(std::abs(touches / 5000.0 - level.emptyFaultRate / 2) < 0.01);
    }

    // The ghost: a poem answered often enough is drawn from its own answers,
    // the newest most often; another from all of them; no answers, no touch.
    OwnReactions own;
    own.byPoem[0] = {0.5, 0.9, 1.3, 1.7};
    own.byPoem[1] = {2.5};
    own.overall = {0.5, 0.9, 1.3, 1.7, 2.5};
    GhostOpponent ghost(own, 4);
    Table t(ghost);
    t.Lay({1, 2}, {4}, {1, 2});
    QMap<double, int> drawn1, drawn2;
    for (int i = 0; i < 4000; ++i) {
        drawn1[ghost.PlanTouch(t.match, P(1))->afterDecisive]++;
        drawn2[ghost.PlanTouch(t.match, P(2))->afterDecisive]++;
    }
    QCOMPARE(drawn1.keys(), (QList<double>{0.5, 0.9, 1.3, 1.7}));
    QVERIFY(drawn1[0.5] > drawn1[0.9] && drawn1[0.9] > drawn1[1.7]);
    QCOMPARE(drawn2.size(), 5);
    GhostOpponent nobody(OwnReactions{}, 4);
    QVERIFY(!nobody.PlanTouch(t.match, P(1)));
}

void TestMatch::sendingHoldsTheNextPoem() {
    SoloOpponent solo;
    Table t(solo);
    t.Lay({1, 2, 15}, {4, 5, 6}, {4, 5, 6});
    Rhythm rhythm;
    rhythm.sendChoice = 20; // longer than the lower verse
    MatchFlow flow(t.match, Catalogue(), rhythm);
    flow.StartReading(0);
    Run(flow, rhythm.Opening());
    const double start = rhythm.Opening();
    QCOMPARE(flow.PlayerTouch(P(4), start + 3), TouchOutcome::Took);
    const double upperEnd = start + flow.verse().size() * rhythm.step;
    QList<MatchFlow::Event> events = Run(flow, upperEnd + rhythm.afterTake);
    QVERIFY(Kinds(events).contains(Kind::SendWanted));
    QCOMPARE(*flow.sendDeadline(), upperEnd + rhythm.afterTake + 20);
    // The lower verse ends; the next poem waits for the card (a raised hand).
    Run(flow, upperEnd + rhythm.afterTake + rhythm.LowerVerse() + 5);
    QCOMPARE(flow.phase(), MatchFlow::Phase::Holding);
    QVERIFY(!flow.PlayerSends(P(5), upperEnd + 15)); // not the player's
    QVERIFY(flow.PlayerSends(P(2), upperEnd + 15));
    events = flow.TakeEvents();
    QCOMPARE(Kinds(events), (QList<Kind>{Kind::Sent, Kind::ReadingBegun}));
    QCOMPARE(events[0].who, Side::Player);
    QCOMPARE(events[0].card, P(2));
    QCOMPARE(t.match.mat().Find(P(2))->side, Side::Opponent);
    // Not chosen in time: the default, the card of most decisive characters.
    const double secondStart = upperEnd + 15;
    QCOMPARE(flow.PlayerTouch(P(5), secondStart + 3), TouchOutcome::Took);
    const double secondEnd = secondStart + flow.verse().size() * rhythm.step;
    events = Run(flow, secondEnd + rhythm.afterTake + 20);
    const QList<Kind> kinds = Kinds(events);
    QCOMPARE(kinds[kinds.indexOf(Kind::SendWanted) + 1], Kind::Sent);
    QVERIFY(std::any_of(events.begin(), events.end(), [](const MatchFlow::Event &e) {
        return e.kind == Kind::Sent && e.card == P(15);
    }));
}

void TestMatch::wholeSoloMatchThroughTheFlow() {
    // A player who takes every card on the mat half a second after its
    // decisive sound, with the default sendings: the player wins, every
    // reading was settled, and the decisive characters changed on the way.
    SoloOpponent solo;
    Match match(Catalogue(), solo, 21);
    match.Deal(LayoutRule::Beginner);
    MatchFlow flow(match, Catalogue(), Rhythm{});
    flow.StartReading(0);
    int changes = 0;
    std::optional<Side> winner;
    for (std::optional<double> next = flow.NextWake(); next; next = flow.NextWake()) {
        flow.Wake(*next);
        if (flow.decisiveAt() && match.ReadingOpen() && !match.current()->take &&
            match.mat().Contains(match.current()->poem)) {
            QCOMPARE(flow.PlayerTouch(match.current()->poem, flow.Clock(*next) + 0.5),
                     TouchOutcome::Took);
        }
        for (const MatchFlow::Event &e : flow.TakeEvents()) {
            changes += e.kind == Kind::Changed;
            if (e.kind == Kind::Over) {
                winner = e.winner;
            }
        }
    }
    QCOMPARE(flow.phase(), MatchFlow::Phase::Over);
    QCOMPARE(winner, std::optional(Side::Player));
    QCOMPARE(match.Faults(Side::Player), 0);
    QVERIFY(changes > 5);
    for (const Reading &r : match.readings()) {
        QVERIFY(r.settled);
        QVERIFY(!r.place || r.take);
    }
}

QTEST_GUILESS_MAIN(TestMatch)
#include "test_match.moc"
