// SPDX-License-Identifier: MIT
// Practice modes: the colour table, the sets and draws of each mode, a set
// smaller than the game, the drill's scheduler and order.
#include "core/poem_catalogue.h"
#include "core/practice.h"
#include "fakes.h"

#include <QSet>
#include <QTest>

using namespace nupew;
using namespace nupew::testing;

namespace {

// Hands the game the same set at every new game.
struct FixedSet : PracticeSource {
    PracticeSet NextGameSet() override { return set; }
    PracticeSet set;
};

struct Practice : FakeWorld {
    Practice(const QList<int> &poems, int questions) {
        source.set = {poems, false, QStringLiteral("練習")};
        game.SetPracticeSource(&source);
        settings.questionCount = qint16(questions);
        settings.revealDelay = 0;
    }
    // Plays until the game ends; returns the poems asked and every card dealt.
    QPair<QList<int>, QSet<QString>> Play() {
        QList<int> asked;
        QSet<QString> cards;
        game.NewGame();
        while (dialogs.practiceEnds.isEmpty() && dialogs.entryBoxes.isEmpty()) {
            game.StartQuestion();
            asked.append(game.currentPoem()->row());
            for (const QString &card : board.cards) {
                cards.insert(card);
            }
            Pick(game.answerPosition() + 1);
        }
        return {asked, cards};
    }
    FixedSet source;
};

QSet<QString> CardsOf(const PoemCatalogue &catalogue, const QList<int> &poems) {
    QSet<QString> cards{QString()};
    for (const int p : poems) {
        cards.insert(Game::CardOrder(catalogue.Text(Poem::FromRow(p), kLowerKana)));
    }
    return cards;
}

} // namespace

class TestPractice : public QObject {
    Q_OBJECT

private slots:
    void setsAndNames() {
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        PracticeMode mode;
        mode.kind = PracticeKind::Numbers;
        mode.ranges[1] = true;
        mode.from = 95;
        mode.to = 100;
        QCOMPARE(mode.Poems(decisive).size(), 26);
        QCOMPARE(mode.Name(), QStringLiteral("21–40・95–100"));
        mode.kind = PracticeKind::Decisive;
        mode.counts = {false, true, false, false, false, false, true};
        QCOMPARE(mode.Poems(decisive).size(), 7 + 6);
        QCOMPARE(mode.Name(), QStringLiteral("一字決まり・六字決まり"));
    }

    // Only the set's poems are asked, none twice, and the other cards come
    // from the set while it has enough poems for the board.
    void drawsFromTheSet() {
        const QList<std::tuple<QList<int>, int, bool>> cases = {
            {{2, 4, 5, 11, 13, 23, 29, 30, 49, 56, 60, 61, 68, 69, 73, 74, 75, 81, 90, 99},
             20,
             true},                                              // blue, 20 questions
            {{17, 21, 56, 69, 76, 80, 86}, 10, false},           // one kana: ends after 7
            {{20, 21, 22, 23, 24, 25, 26, 27, 28, 29}, 5, true}, // 21–40, 5 questions
        };
        for (const auto &[poems, questions, cardsFromSet] : cases) {
            Practice t(poems, questions);
            const auto [asked, cards] = t.Play();
            QCOMPARE(asked.size(), std::min<qsizetype>(questions, poems.size()));
            QCOMPARE(QSet<int>(asked.begin(), asked.end()).size(), asked.size());
            QVERIFY(std::ranges::all_of(asked, [&](int p) { return poems.contains(p); }));
            QCOMPARE(CardsOf(t.catalogue, poems).contains(cards), cardsFromSet);
            // A practice game never reaches the table's entry box.
            QVERIFY(t.dialogs.entryBoxes.isEmpty());
            QCOMPARE(t.dialogs.practiceEnds.size(), 1);
            QCOMPARE(t.dialogs.practiceEnds[0][2], QStringLiteral("0"));
            QCOMPARE(t.dialogs.boardClosed, 1); // 終了
        }
    }

    // The end box names the poems to look at again: a fault, or slower than
    // the drill's "hard", each with its decisive characters.
    void practiceEndNamesThePoemsToReview() {
        Practice t({30, 76, 0}, 3);
        t.game.NewGame();
        const DecisiveTable decisive(t.catalogue);
        QStringList expected;
        for (int q = 1; q <= 3; ++q) {
            t.game.StartQuestion();
            const Poem poem = *t.game.currentPoem();
            const QString name =
                QStringLiteral("%1 %2").arg(poem.number()).arg(decisive.Heard(poem));
            if (q == 1) {
                t.Pick(t.game.answerPosition() % 3 + 2); // a wrong card first
                expected << name + QStringLiteral(" (おてつき 1)");
            }
            t.clock.now += q == 2 ? 2.5f : 1.0f;
            if (q == 2) {
                expected << name + QStringLiteral(" (反応 2.50 秒)");
            }
            t.Pick(t.game.answerPosition() + 1);
        }
        QCOMPARE(t.dialogs.practiceReviews, (QList<QStringList>{expected}));
    }

    void playAgainStartsANewPracticeGame() {
        Practice t({0, 1, 2, 3, 4, 5, 6, 7, 8}, 3);
        t.dialogs.playAgain = true;
        t.Play();
        QCOMPARE(t.dialogs.practiceEnds.size(), 1);
        QCOMPARE(t.game.questionNumber(), qint16(1));
        QVERIFY(t.game.poemUsed()[size_t(t.game.currentPoem()->row())]); // the new game is dealt
        QCOMPARE(t.dialogs.boardClosed, 0);
    }

    // The scheduler against values worked out by hand from FSRS-6's published
    // formulas and default weights (factor = 0.9^(1/-w20) - 1 = 0.98035).
    void schedulerByHand() {
        const Fsrs fsrs;
        const QDateTime t0(QDate(2026, 12, 1), QTime(19, 0), Qt::UTC);
        // New, Good: S0 = w2, D0 = w4 - e^(2 w5) + 1; the first learning step done.
        Card c = fsrs.Review(Card{}, Grade::Good, t0);
        QCOMPARE(c.state, CardState::Learning);
        QVERIFY(qAbs(c.stability - 2.3065) < 1e-9 && qAbs(c.difficulty - 2.118104) < 1e-5);
        QCOMPARE(c.due, t0.addSecs(3600));
        // Good an hour later: the short-term increase e^(w17 w18) S^-w19 = 0.9945
        // is held at 1; D reverts a little toward D0(Easy) = -4.7718 (w7); a review
        // card due in round(S) = 2 days.
        const QDateTime t1 = t0.addSecs(3600);
        c = fsrs.Review(c, Grade::Good, t1);
        QCOMPARE(c.state, CardState::Review);
        QVERIFY(qAbs(c.stability - 2.3065) < 1e-9 && qAbs(c.difficulty - 2.111214) < 1e-5);
        QCOMPARE(c.due, t1.addDays(2));
        // Good when due: R(2, S) = 0.90949, S' = S (1 + e^w8 (11 - D) S^-w9 (e^(w10 (1-R)) - 1)).
        const Card good = fsrs.Review(c, Grade::Good, t1.addDays(2));
        QVERIFY(qAbs(fsrs.Retrievability(2, c.stability) - 0.909493) < 1e-5);
        QVERIFY(qAbs(good.stability - 10.97105) < 1e-4);
        QCOMPARE(good.due, t1.addDays(2 + 11));
        // Again three days on: R = 0.88095; the forget stability
        // w11 D^-w12 ((S+1)^w13 - 1) e^(w14 (1-R)) = 0.63698 is below S / e^(w17 w18);
        // D up by w6 (10 - D)/9 to 7.39224; relearning in 10 minutes.
        const QDateTime t2 = t1.addDays(3);
        const Card lapsed = fsrs.Review(c, Grade::Again, t2);
        QCOMPARE(lapsed.state, CardState::Relearning);
        QVERIFY(qAbs(lapsed.stability - 0.636978) < 1e-5);
        QVERIFY(qAbs(lapsed.difficulty - 7.392238) < 1e-5);
        QCOMPARE((QList<int>{lapsed.lapses, lapsed.reps}), (QList<int>{1, 3}));
        QCOMPARE(lapsed.due, t2.addSecs(600));
        // New, Easy: straight to review, D clamped at 1, due in round(w3) = 8 days;
        // New, Hard: halfway between the two learning steps (35 minutes).
        const Card easy = fsrs.Review(Card{}, Grade::Easy, t0);
        QCOMPARE(easy.state, CardState::Review);
        QCOMPARE(easy.difficulty, 1.0);
        QCOMPARE(easy.due, t0.addDays(8));
        QCOMPARE(fsrs.Review(Card{}, Grade::Hard, t0).due, t0.addSecs(35 * 60));
        // Grades: a fault or a lost poem Again; then by the reaction.
        QCOMPARE((QList<Grade>{GradeOf(1, false, 0.3f), GradeOf(0, true, -1.0f),
                               GradeOf(0, false, 0.3f), GradeOf(0, false, 1.2f),
                               GradeOf(0, false, 2.5f), GradeOf(0, false, -0.4f)}),
                 (QList<Grade>{Grade::Again, Grade::Again, Grade::Easy, Grade::Good, Grade::Hard,
                               Grade::Good}));
    }

    // Due poems first, the least likely recalled first; then new ones within
    // the day's allowance and in the chosen order; none while the backlog is
    // too long; then known ones not due to fill the game.
    void drillOrder() {
        PoemCatalogue catalogue;
        catalogue.Fill();
        const DecisiveTable decisive(catalogue);
        FakeRandom random;
        const QList<int> sounds = NewPoemSequence(NewPoemOrder::FirstSounds, decisive, random);
        // む す め ふ さ ほ せ: poems 87, 18, 57, 22, 70, 81, 77 come first.
        QCOMPARE(sounds.mid(0, 7), (QList<int>{86, 17, 56, 21, 69, 80, 76}));
        QCOMPARE(QSet<int>(sounds.begin(), sounds.end()).size(), kPoemCount);
        const QDateTime now(QDate(2026, 12, 9), QTime(19, 0), Qt::UTC);
        const Fsrs fsrs;
        const auto reviewed = [&](int daysAgo, double stability) {
            DrillState s;
            s.card.state = CardState::Review;
            s.card.stability = stability;
            s.card.difficulty = 5.0;
            s.card.lastReview = now.addDays(-daysAgo);
            s.card.due = s.card.lastReview.addDays(fsrs.IntervalDays(stability));
            s.introduced = now.addDays(-30);
            return s;
        };
        std::array<DrillState, kPoemCount> states{};
        states[40] = reviewed(3, 2.0);  // due a day ago
        states[10] = reviewed(9, 2.0);  // due a week ago: the least recalled
        states[70] = reviewed(1, 20.0); // not due
        states[71] = reviewed(2, 20.0); // not due, less recalled than 70
        states[5] = reviewed(0, 1.0);
        states[5].introduced = now.addSecs(-600); // begun today
        const QList<int> numbers = NewPoemSequence(NewPoemOrder::Numbers, decisive, random);
        const QList<int> order = DrillOrder(states, now, 20, 3, numbers, random);
        // Two due; new 0, 1, 2 less the one begun today; the known ones to fill.
        QCOMPARE(order, (QList<int>{10, 40, 0, 1, 71, 70, 5}));
        // Over the backlog bound: reviews only, no new poem.
        for (int p = 20, n = 0; n < kDrillBacklogLimit; ++p) {
            if (!states[size_t(p)].Seen()) {
                states[size_t(p)] = reviewed(5, 1.0);
                ++n;
            }
        }
        const QList<int> backlog = DrillOrder(states, now, 20, 10, numbers, random);
        QCOMPARE(DueCount(states, now), kDrillBacklogLimit + 2);
        QCOMPARE(backlog.size(), kDrillBacklogLimit + 2); // every due poem, nothing else
        QVERIFY(!backlog.contains(0) && !backlog.contains(5));
        // The first drill ever: the day's new poems.
        QCOMPARE(DrillOrder({}, now, 20, 10, sounds, random), sounds.mid(0, 10));
    }
};

QTEST_GUILESS_MAIN(TestPractice)
#include "test_practice.moc"
