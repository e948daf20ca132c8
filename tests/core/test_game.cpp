// SPDX-License-Identifier: MIT
// The rules of a game: dealing, the reveal, judging, the end of a game.
#include "core/game.h"
#include "fakes.h"

#include <QSet>
#include <QTest>
#include <cmath>

using namespace nupew;
using namespace nupew::testing;

namespace {

// A draw that lands on index k of 100 without float rounding doubts.
float At(int k, int of = 100) {
    return (float(k) + 0.5f) / float(of);
}

bool NoneSet(const auto &flags) {
    return std::none_of(flags.begin(), flags.end(), [](bool b) { return b; });
}

struct Table : FakeWorld {
    // Picks the right card of the running question.
    void PickRight() { game.PickCard(game.answerPosition() + 1); }
    int WrongCard() const { return (game.answerPosition() + 1) % settings.cardCount + 1; }
};

} // namespace

class TestGame : public QObject {
    Q_OBJECT

private slots:
    void dealFollowsTheDraws() {
        QCOMPARE(Game::CardOrder(QStringLiteral("ABCDEFGHIJKLMNO")),
                 QStringLiteral("KFALGBMHCNIDOJE"));
        Table t;
        t.random.script = {At(7),  At(7),  At(10), At(20), At(30),  At(30),
                           At(40), At(50), At(60), At(70), At(4, 8)};
        t.game.NewGame();
        QCOMPARE(t.game.currentPoem(), qint16(8));
        QCOMPARE(t.game.answerPosition(), qint16(4));
        QCOMPARE(t.game.askedVerses()[1], t.catalogue.Text(7, 0));
        // The right card first, then the others cyclically in the order drawn;
        // a draw that repeats the right poem or a dealt card is drawn again.
        const QList<int> poems = {40, 50, 60, 70, 7, 10, 20, 30};
        for (int position = 0; position < 8; ++position) {
            QCOMPARE(t.board.cards[position],
                     Game::CardOrder(t.catalogue.Text(poems[position], 3)));
        }
        QCOMPARE(t.random.draws, 11);
        QVERIFY(NoneSet(t.game.poemDealt()));
    }

    void fewerCardsLeaveBlankCardsThatCountAsFaults() {
        Table t;
        t.settings.cardCount = 3;
        t.random.script = {At(5), At(6), At(7), 0.0f};
        t.game.NewGame();
        QVERIFY(!t.board.cards[2].isEmpty() && t.board.cards[3].isEmpty());
        t.game.StartQuestion();
        t.game.PickCard(6);
        QCOMPARE(t.game.faultCount(), qint16(1));
        QCOMPARE(t.board.colors[5], kWrongCard);
    }

    void lateQuestionsTakeTheLowestUnusedPoem() {
        Table t;
        t.settings.questionCount = 100;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        QSet<int> asked;
        QList<int> order;
        for (int q = 1; q <= 100; ++q) {
            QCOMPARE(t.game.questionNumber(), qint16(q));
            t.game.StartQuestion();
            order.append(t.game.currentPoem() - 1);
            asked.insert(t.game.currentPoem() - 1);
            t.PickRight();
        }
        QCOMPARE(asked.size(), 100); // every poem exactly once
        const QList<int> late = order.mid(79);
        QVERIFY(std::is_sorted(late.begin(), late.end()));
        QCOMPARE(t.dialogs.entryBoxes.size(), 1);
    }

    void revealShowsOneCharacterAStep() {
        Table t;
        t.settings.revealDelay = 4;
        t.random.script = {At(0)};
        t.game.NewGame();
        t.game.StartQuestion();
        QVERIFY(t.board.verse.isEmpty()); // the first character waits too
        QCOMPARE(t.timer.delay, 400);
        const QString verse = t.catalogue.Text(0, 0);
        int steps = 0;
        while (t.timer.Fire()) {
            ++steps;
            QCOMPARE(t.board.verse, verse.left(std::min(steps, 17)));
        }
        QCOMPARE(steps, 21); // the last four steps only wait
        QVERIFY(t.game.questionActive() && t.game.answerOpen());
    }

    void revealGoesOnAfterAWrongPickAndStopsOnARightOne() {
        Table t;
        t.settings.revealDelay = 2;
        t.game.NewGame();
        t.game.StartQuestion();
        t.timer.Fire();
        t.game.PickCard(t.WrongCard());
        QVERIFY(t.timer.Fire());
        QCOMPARE(t.board.verse.size(), 2);
        t.PickRight();
        const QString whole = t.game.askedVerses()[1];
        QCOMPARE(t.board.verse, whole);
        t.timer.Fire();
        QCOMPARE(t.board.verse, whole);
        QVERIFY(!t.timer.Fire());
        // Delay 0 shows the whole verse at once, without the timer.
        t.settings.revealDelay = 0;
        const int scheduled = t.timer.scheduled;
        t.game.StartQuestion();
        QCOMPARE(t.board.verse, t.game.askedVerses()[2]);
        QCOMPARE(t.timer.scheduled, scheduled);
    }

    void resetDuringARevealNeverTouchesTheNewQuestion() {
        Table t;
        t.settings.revealDelay = 4;
        t.game.NewGame();
        t.game.StartQuestion();
        t.timer.Fire();
        auto oldStep = t.timer.pending; // a step already on its way
        t.game.NewGame();
        QVERIFY(!t.game.questionActive() && t.board.verse.isEmpty());
        t.game.StartQuestion();
        oldStep();
        QVERIFY(t.board.verse.isEmpty());
        t.timer.Fire();
        QCOMPARE(t.board.verse, t.game.askedVerses()[1].left(1));
    }

    void clicksStartAWaitingQuestionOnlyOnce() {
        Table t;
        t.game.NewGame();
        t.game.CardClick(1); // starts the question, picks nothing
        QVERIFY(t.game.questionActive() && !t.game.AnswerDecided());
        QCOMPARE(t.game.faultCount(), qint16(0));
        const float started = t.game.startTimes()[1];
        t.clock.now += 5;
        t.game.StartQuestion();
        t.game.BoardClick();
        QCOMPARE(t.game.startTimes()[1], started);
        QCOMPARE(t.timer.scheduled, 1); // one reveal, not restarted
    }

    void twoWrongThenRight() {
        Table t;
        t.game.NewGame();
        t.clock.now = 100.0f;
        t.game.StartQuestion();
        const int right = t.game.answerPosition() + 1;
        const int wrong1 = right % 8 + 1;
        const int wrong2 = wrong1 % 8 + 1;
        t.clock.now = 101.0f;
        t.game.PickCard(wrong1);
        t.game.PickCard(wrong1); // a taken card ignores further picks
        t.game.PickCard(wrong2);
        QCOMPARE(t.game.faultCount(), qint16(2));
        QCOMPARE(t.board.faults, QStringLiteral("2"));
        t.clock.now = 103.5f;
        t.game.PickCard(right);
        QCOMPARE(t.game.elapsedTimes()[1], 3.5f);
        QCOMPARE(t.board.colors[right - 1], kRightCard);
        QCOMPARE(t.board.colors[wrong2 - 1], kWrongCard);
        QCOMPARE(t.board.beeps, 1);
        QCOMPARE(t.game.questionNumber(), qint16(2));
        QVERIFY(!t.game.answerOpen() && !t.game.questionActive());
        // The next start deals the next question first.
        t.game.StartQuestion();
        QCOMPARE(t.board.questionNumber, QStringLiteral("2"));
        QCOMPARE(t.board.colors[wrong1 - 1], kWhite);
    }

    void poetLabelByMarker_data() {
        QTest::addColumn<int>("poem");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Rgb>("color");
        QTest::addColumn<int>("top");
        QTest::newRow("woman") << 8 << "　小野小町" << kWomanPoet << kPoetTop;
        QTest::newRow("square") << 75 << "　法性寺入道前関白太政大臣" << kMonkPoet << kTallPoetTop;
        QTest::newRow("triangle") << 90 << "　後京極摂政前太政大臣" << kBlack << kTallPoetTop;
        QTest::newRow("emperor") << 0 << "　天智天皇■" << kBlack << kPoetTop;
    }

    void poetLabelByMarker() {
        QFETCH(int, poem);
        QFETCH(QString, text);
        QFETCH(Rgb, color);
        QFETCH(int, top);
        Table t;
        const int tall = poem == 75 ? 90 : 75;
        t.random.script = {At(tall), At(1), At(2), At(3), At(4), At(5), At(6), At(7), 0.0f};
        t.game.NewGame(); // a tall label first, so the next one must be set back
        t.game.StartQuestion();
        t.PickRight();
        t.random.script = {At(poem)};
        t.game.StartQuestion();
        QVERIFY(!t.board.poetVisible);
        t.PickRight();
        QVERIFY(t.board.poetVisible);
        QCOMPARE(t.board.poet, text);
        QCOMPARE(t.board.poetColor, color);
        QCOMPARE(t.board.poetTop, top);
        QCOMPARE(t.board.poetHeight, top == kPoetTop ? kPoetHeight : kTallPoetHeight);
    }

    void faultLimit_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("playAgain");
        QTest::newRow("limit 1, yes") << 1 << true;
        QTest::newRow("limit 5, no") << 5 << false;
    }

    void faultLimit() {
        QFETCH(int, limit);
        QFETCH(bool, playAgain);
        Table t;
        t.settings.faultLimit = qint16(limit);
        t.random.script = {At(9)}; // a monk: shown in black at the limit
        t.game.NewGame();
        t.game.StartQuestion();
        const int right = t.game.answerPosition();
        t.dialogs.answers = {playAgain ? MessageAnswer::Yes : MessageAnswer::No};
        for (int card = 1; card <= 8 && t.dialogs.shown.isEmpty(); ++card) {
            if (card != right + 1) {
                t.game.PickCard(card);
            }
        }
        QCOMPARE(t.game.faultCount(), qint16(playAgain ? 0 : limit + 1));
        QCOMPARE(t.dialogs.texts(), QStringList{"もう一度挑戦しますか。"});
        QVERIFY(t.dialogs.shown[0].systemModal);
        QCOMPARE(t.dialogs.boardClosed, playAgain ? 0 : 1);
        if (playAgain) {
            QCOMPARE(t.game.questionNumber(), qint16(1));
            QVERIFY(t.board.verse.isEmpty());
            QCOMPARE(t.game.pickedCard(), qint16(0));
        } else {
            QCOMPARE(t.board.colors[right], kMissedCard);
            QCOMPARE(t.board.poetColor, kBlack);
            QCOMPARE(t.board.verse, t.game.askedVerses()[1]);
            QCOMPARE(t.game.pickedCard(), pickDone);
        }
    }

    void averages_data() {
        QTest::addColumn<QList<float>>("times");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole seconds keep the point") << QList<float>{2, 3, 4, 5, 6} << "4.";
        QTest::newRow("one decimal") << QList<float>{1, 2, 2, 2, 2} << "1.8";
        QTest::newRow("two decimals") << QList<float>{1.5f, 2, 2, 2, 2.25f} << "1.95";
    }

    void averages() {
        QFETCH(QList<float>, times);
        QFETCH(QString, shown);
        Table t;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        for (const float seconds : times) {
            t.clock.now = 500.0f;
            t.game.StartQuestion();
            t.game.PickCard(t.WrongCard());
            t.clock.now = 500.0f + seconds;
            t.PickRight();
        }
        QCOMPARE(t.dialogs.entryBoxes, (QList<QPair<QString, QString>>{{shown, "5"}}));
        QCOMPARE(t.game.questionNumber(), qint16(1));
        QVERIFY(NoneSet(t.game.poemUsed()));
        // The board keeps the last question until the next start.
        QCOMPARE(t.board.faults, QStringLiteral("5"));
        t.game.StartQuestion();
        QCOMPARE(t.board.faults, QStringLiteral("0"));
    }

    // The pictures of a question's poem may open only once it is decided.
    void answerDecidedOpensThePictures() {
        Table t;
        t.settings.faultLimit = 0;
        t.game.NewGame();
        QVERIFY(!t.game.AnswerDecided());
        t.game.StartQuestion();
        QVERIFY(!t.game.AnswerDecided());
        t.PickRight();
        QVERIFY(t.game.AnswerDecided());
        t.game.StartQuestion(); // deals the next question
        QVERIFY(!t.game.AnswerDecided());
        t.dialogs.answers = {MessageAnswer::No};
        t.game.PickCard(t.WrongCard()); // past the limit: lost, and decided
        QVERIFY(t.game.AnswerDecided() && !t.game.questionActive());
    }

    void decliningLetsTheFirstPoemComeAgain() {
        Table t;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        int firstPoem = 0;
        t.dialogs.onEntryBox = [&] {
            t.game.NewGame(); // 記録しない
            firstPoem = t.game.currentPoem() - 1;
            QVERIFY(t.game.poemUsed()[firstPoem]);
        };
        for (int q = 0; q < 5; ++q) {
            t.game.StartQuestion();
            t.PickRight();
        }
        QVERIFY(!t.game.poemUsed()[firstPoem]);
        QCOMPARE(t.game.pickedCard(), qint16(0));
        QCOMPARE(t.board.questionNumber, QStringLiteral("1"));
    }

    void midnightAndReset() {
        Table t;
        t.game.NewGame();
        t.clock.now = 86399.5f;
        t.game.StartQuestion();
        t.game.PickCard(t.WrongCard());
        t.clock.now = 2.0f;
        t.PickRight();
        QCOMPARE(t.game.elapsedTimes()[1], 2.5f);
        // A reset clears the board but keeps the counts.
        t.game.ResetGame();
        QCOMPARE(t.game.questionNumber(), qint16(2));
        QCOMPARE(t.game.faultCount(), qint16(1));
        QCOMPARE(t.board.faults, QStringLiteral("0"));
        QVERIFY(!t.board.poetVisible);
    }

    // The answer's reaction counts from the step after which only the answer
    // fits the board; a pick before it is a guess, with a negative reaction.
    void reactionFromTheDecisiveStep() {
        struct Log : AnswerLog {
            void QuestionAnswered(const AnsweredQuestion &a) override { answers.append(a); }
            void GameFinished(int questions, float, int) override { finished = questions; }
            QList<AnsweredQuestion> answers;
            int finished = 0;
        } log;
        Table t;
        t.game.SetAnswerLog(&log);
        t.settings.revealDelay = 5;
        // 朝ぼらけ　有明の (31) and 朝ぼらけ　宇治の (64) on one board part at the sixth step.
        t.random.script = {At(30), At(63), At(1), At(2), At(3), At(4), At(5), At(6), 0.0f};
        t.game.NewGame();
        QCOMPARE(t.game.decisiveSteps()[1], 6);
        t.clock.now = 86399.0f;
        t.game.StartQuestion();
        for (int step = 1; step <= 8; ++step) {
            t.clock.now = std::fmod(86399.0f + 0.5f * float(step), 86400.0f);
            t.timer.Fire();
        }
        t.game.PickCard(t.WrongCard());
        t.clock.now = 4.0f; // after midnight
        t.PickRight();
        QCOMPARE(log.answers.size(), 1);
        QCOMPARE(log.answers[0].decisiveStep, 6);
        QCOMPARE(log.answers[0].answerTime, 5.0f);
        QCOMPARE(log.answers[0].reactionTime, 2.0f); // shown at 2.0, after midnight
        QCOMPARE(log.answers[0].faults, 1);
        QCOMPARE(log.answers[0].poem, 31);
        // A guess: the right card before the decisive step was due.
        t.random.script = {At(30), At(63), At(1), At(2), At(3), At(4), At(5), At(6), 0.0f};
        t.game.NewGame();
        t.clock.now = 100.0f;
        t.game.StartQuestion();
        t.clock.now = 101.0f;
        t.PickRight();
        QCOMPARE(log.answers.last().reactionTime, -2.0f); // the sixth step was due at 103
        QCOMPARE(log.answers.last().faults, 0);
        QCOMPARE(t.board.emphasis, 0); // the option is off
    }

    void decisiveCharactersShownWhenAsked() {
        Table t;
        t.game.SetShowDecisive(true);
        t.random.script = {At(14)}; // 君がため 春の野に出でて: six kana, 君がため　春 in kanji
        t.game.NewGame();
        t.game.StartQuestion();
        QCOMPARE(t.board.emphasis, 0);
        t.PickRight();
        QCOMPARE(t.board.emphasis, 6);
        t.settings.upperTextMode = 2;
        t.random.script = {At(14)};
        t.game.NewGame();
        t.game.StartQuestion();
        t.PickRight();
        QCOMPARE(t.board.verse.left(t.board.emphasis), QStringLiteral("きみがため　は"));
    }

    void randomIsUniformAndContinues() {
        FakeClock clock;
        TimeSeededRandom a(clock, 20261207); // seeded: the same draws every run
        std::array<int, 10> buckets{};
        for (int i = 0; i < 100000; ++i) {
            const float r = a.Draw(); // the time never changes here
            QVERIFY(r >= 0.0f && r < 1.0f);
            ++buckets[int(r * 10)];
        }
        for (const int count : buckets) {
            QVERIFY2(count > 9500 && count < 10500, qPrintable(QString::number(count)));
        }
        // A new time each draw must not make consecutive draws follow the clock.
        int rising = 0;
        float previous = a.Draw();
        for (int i = 0; i < 1000; ++i) {
            clock.now += 0.01f;
            const float r = a.Draw();
            rising += r > previous;
            previous = r;
        }
        QVERIFY(rising > 400 && rising < 600);
    }
};

QTEST_GUILESS_MAIN(TestGame)
#include "test_game.moc"
