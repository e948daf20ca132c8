// SPDX-License-Identifier: MIT
// The match's rules without a window: the decisive characters over the
// unread poems, the deal and layouts, takes, faults, sendings, the end.
#include "core/decisive.h"
#include "core/match.h"
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

QTEST_GUILESS_MAIN(TestMatch)
#include "test_match.moc"
