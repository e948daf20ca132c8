// SPDX-License-Identifier: MIT
// Practice modes: the colour table, the sets and draws of each mode, a set
// smaller than the game, and the drill's boxes and order.
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

    void playAgainStartsANewPracticeGame() {
        Practice t({0, 1, 2, 3, 4, 5, 6, 7, 8}, 3);
        t.dialogs.playAgain = true;
        t.Play();
        QCOMPARE(t.dialogs.practiceEnds.size(), 1);
        QCOMPARE(t.game.questionNumber(), qint16(1));
        QVERIFY(t.game.poemUsed()[size_t(t.game.currentPoem()->row())]); // the new game is dealt
        QCOMPARE(t.dialogs.boardClosed, 0);
    }

    void drillBoxes() {
        // Up one for a quick right answer, back to 1 after a fault or a slow one.
        QCOMPARE(NextBox(1, 0, 0.5f, 1.0), 2);
        QCOMPARE(NextBox(5, 0, 0.5f, 1.0), 5);
        QCOMPARE(NextBox(4, 1, 0.5f, 1.0), 1);
        QCOMPARE(NextBox(4, 0, 1.5f, 1.0), 1);
        QCOMPARE(NextBox(3, 0, -0.2f, 1.0), 3);         // a guess
        QCOMPARE(NextBox(2, 0, 0.1f, std::nullopt), 2); // no median yet: nothing moves up
        QCOMPARE(NextBox(2, 1, 0.1f, std::nullopt), 1);
        // Box b is due 2^(b-1) days after it moved; box 1 every game.
        const QDate day(2026, 12, 1);
        QVERIFY(IsDue({1, day, {}}, day));
        QVERIFY(!IsDue({2, day, {}}, day.addDays(1)));
        QVERIFY(IsDue({2, day, {}}, day.addDays(2)));
        QVERIFY(!IsDue({5, day, {}}, day.addDays(15)));
        QVERIFY(IsDue({5, day, {}}, day.addDays(16)));
    }

    void drillOrder() {
        const QDate today(2026, 12, 7);
        std::array<DrillState, 100> states;
        for (DrillState &s : states) {
            s = {3, today.addDays(-1), 1.0}; // known and not due
        }
        states[40] = {1, today, 0.5};             // box 1: due, quick
        states[10] = {1, today, 2.0};             // box 1: due, slow: first
        states[70] = {2, today.addDays(-2), 0.4}; // box 2, due today
        states[90] = {3, today.addDays(-1), 3.0}; // not due, but the slowest of the rest
        FakeClock clock;
        TimeSeededRandom random(clock, 7);
        states[20] = {1, today, 0.3, 2}; // box 1 with faults: before the slow one
        const QList<int> order = DrillOrder(states, today, random);
        QCOMPARE(order.mid(0, 5), (QList<int>{20, 10, 40, 70, 90}));
        QCOMPARE(QSet<int>(order.begin(), order.end()).size(), 100);
    }
};

QTEST_GUILESS_MAIN(TestPractice)
#include "test_practice.moc"
