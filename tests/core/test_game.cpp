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

// Keeps every answer told.
struct AnswerRecorder : AnswerLog {
    void QuestionAnswered(const AnsweredQuestion &a) override { answers.append(a); }
    void GameFinished(int, float, int) override {}
    QList<AnsweredQuestion> answers;
};

// 朝ぼらけ　有明の (31) asked, 朝ぼらけ　宇治の (64) on the board: apart at the sixth step.
const std::deque<float> kDawnDeal = {At(30), At(63), At(1), At(2), At(3),
                                     At(4),  At(5),  At(6), 0.0f};

struct Table : FakeWorld {
    // Picks the right card of the running question.
    void PickRight() { Pick(game.answerPosition() + 1); }
    int WrongCard() const { return (game.answerPosition() + 1) % settings.cardCount + 1; }
    void Answer() {
        game.StartQuestion();
        PickRight();
    }
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
        QCOMPARE(t.game.currentPoem(), Poem::FromNumber(8));
        QCOMPARE(t.game.answerPosition(), qint16(4));
        QCOMPARE(t.game.question(1).askedVerse, t.catalogue.Text(Poem::FromRow(7), kUpperKanji));
        // The right card first, then the others cyclically in the order drawn;
        // a draw that repeats the right poem or a dealt card is drawn again.
        const QList<int> poems = {40, 50, 60, 70, 7, 10, 20, 30};
        for (int position = 0; position < 8; ++position) {
            QCOMPARE(t.board.cards[position],
                     Game::CardOrder(t.catalogue.Text(Poem::FromRow(poems[position]), kLowerKana)));
        }
        // Fewer cards leave blank places, and a pick on one is a fault.
        t.settings.cardCount = 3;
        t.random.script = {At(5), At(6), At(7), 0.0f};
        t.game.NewGame();
        QVERIFY(!t.board.cards[2].isEmpty() && t.board.cards[3].isEmpty());
        t.game.StartQuestion();
        t.Pick(6);
        QCOMPARE(t.game.faultCount(), qint16(1));
        QCOMPARE(t.board.colors[5], kWrongCard);
    }

    void lateQuestionsTakeTheLowestUnusedPoem() {
        Table t;
        t.settings.questionCount = 100;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        QList<int> order;
        for (int q = 1; q <= 100; ++q) {
            QCOMPARE(t.game.questionNumber(), qint16(q));
            t.Answer();
            order.append(t.game.currentPoem()->number());
        }
        QCOMPARE(QSet<int>(order.begin(), order.end()).size(), 100); // every poem exactly once
        QVERIFY(std::is_sorted(order.begin() + 79, order.end()));
        QCOMPARE(t.dialogs.entryBoxes.size(), 1);
    }

    // One character a step, the first one waiting too; a wrong pick lets the
    // reveal go on, a right one shows the whole verse and stops it.
    void reveal() {
        Table t;
        t.settings.revealDelay = 4;
        t.random.script = {At(0)};
        t.game.NewGame();
        t.game.StartQuestion();
        QVERIFY(t.board.verse.isEmpty());
        QCOMPARE(t.timer.delay, 400);
        const QString verse = t.catalogue.Text(Poem::FromRow(0), kUpperKanji);
        int steps = 0;
        while (t.timer.Fire()) {
            ++steps;
            QCOMPARE(t.board.verse, verse.left(std::min(steps, 17)));
        }
        QCOMPARE(steps, 21); // the last four steps only wait
        QVERIFY(t.game.questionActive() && t.game.answerOpen());
        t.PickRight();
        t.game.StartQuestion();
        t.timer.Fire();
        t.Pick(t.WrongCard());
        QVERIFY(t.timer.Fire());
        QCOMPARE(t.board.verse.size(), 2);
        t.PickRight();
        QCOMPARE(t.board.verse, t.game.question(2).askedVerse);
        t.timer.Fire(); // a step already due changes nothing, and is the last
        QCOMPARE(t.board.verse, t.game.question(2).askedVerse);
        QVERIFY(!t.timer.Fire());
        // Delay 0 shows the whole verse at once, without the timer (from the next game).
        t.settings.revealDelay = 0;
        t.game.NewGame();
        const int scheduled = t.timer.scheduled;
        t.game.StartQuestion();
        QCOMPARE(t.board.verse, t.game.question(1).askedVerse);
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
        QCOMPARE(t.board.verse, t.game.question(1).askedVerse.left(1));
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
        t.Pick(wrong1);
        t.Pick(wrong1); // a taken card ignores further picks
        t.Pick(wrong2);
        QCOMPARE(t.board.faults, QStringLiteral("2"));
        t.clock.now = 103.5f;
        t.Pick(right);
        QCOMPARE(t.game.question(1).elapsed, 3.5f);
        QCOMPARE(t.board.colors[wrong2 - 1], kWrongCard);
        QCOMPARE(t.board.beeps, 1);
        QVERIFY(!t.game.answerOpen() && !t.game.questionActive());
        // A reset clears the board but keeps the counts.
        t.game.ResetGame();
        QCOMPARE(t.game.faultCount(), qint16(2));
        QCOMPARE(t.board.faults, QStringLiteral("0"));
        QVERIFY(!t.board.poetVisible && !t.game.AnswerDecided());
        // The next start deals the next question first.
        t.game.StartQuestion();
        QCOMPARE(t.board.questionNumber, QStringLiteral("2"));
        QCOMPARE(t.board.colors[wrong1 - 1], kWhite);
    }

    // The poet label by the class marker, shown only once the answer is decided;
    // a tall label comes first each time, so the next one must be set back.
    void poetLabelByMarker() {
        const struct {
            int poem;
            const char *text;
            Rgb color;
            bool tall;
        } rows[] = {{8, "　小野小町", kWomanPoet, false},
                    {75, "　法性寺入道前関白太政大臣", kMonkPoet, true},
                    {90, "　後京極摂政前太政大臣", kBlack, true},
                    {0, "　天智天皇■", kBlack, false}};
        for (const auto &row : rows) {
            Table t;
            const int tall = row.poem == 75 ? 90 : 75;
            t.random.script = {At(tall), At(1), At(2), At(3), At(4), At(5), At(6), At(7), 0.0f};
            t.game.NewGame();
            t.game.StartQuestion();
            t.random.script = {At(row.poem)}; // the next question is drawn at the answer
            t.PickRight();
            t.game.StartQuestion();
            QVERIFY(!t.board.poetVisible);
            t.PickRight();
            QVERIFY(t.board.poetVisible);
            QCOMPARE(t.board.poet, QString::fromUtf8(row.text));
            QCOMPARE(t.board.poetColor, row.color);
            QCOMPARE(t.board.poetTall, row.tall);
        }
    }

    void faultLimit() {
        for (const bool playAgain : {true, false}) {
            const int limit = playAgain ? 1 : 5;
            Table t;
            t.settings.faultLimit = qint16(limit);
            t.random.script = {At(9)}; // a monk: shown in black at the limit
            t.game.NewGame();
            t.game.StartQuestion();
            const int right = t.game.answerPosition();
            t.dialogs.answers = {playAgain ? MessageAnswer::Yes : MessageAnswer::No};
            for (int card = 1; card <= 8 && t.dialogs.shown.isEmpty(); ++card) {
                if (card != right + 1) {
                    t.Pick(card);
                }
            }
            QCOMPARE(t.game.faultCount(), qint16(playAgain ? 0 : limit + 1));
            QCOMPARE(t.dialogs.texts(), QStringList{"もう一度挑戦しますか。"});
            QVERIFY(t.dialogs.shown[0].systemModal);
            QCOMPARE(t.dialogs.boardClosed, playAgain ? 0 : 1);
            QVERIFY(t.game.AnswerDecided() != playAgain); // lost, and decided
            if (playAgain) {
                QCOMPARE(t.game.questionNumber(), qint16(1));
                QVERIFY(t.board.verse.isEmpty());
                QVERIFY(!t.game.AnswerDecided()); // a new question, dealt
            } else {
                QCOMPARE(t.board.colors[right], kMissedCard);
                QCOMPARE(t.board.poetColor, kBlack);
                QCOMPARE(t.board.verse, t.game.question(1).askedVerse);
            }
        }
    }

    // The entry box shows the average as the original formatted it.
    void averages() {
        QCOMPARE(Game::FormatAverage(4.0f), QStringLiteral("4."));
        QCOMPARE(Game::FormatAverage(1.8f), QStringLiteral("1.8"));
        QCOMPARE(Game::FormatAverage(1.95f), QStringLiteral("1.95"));
        Table t;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        t.dialogs.declineEntry = false; // 記録する
        for (const float seconds : {2.0f, 3.0f, 4.0f, 5.0f, 6.0f}) {
            t.clock.now = 500.0f;
            t.game.StartQuestion();
            t.Pick(t.WrongCard());
            t.clock.now = 500.0f + seconds;
            t.PickRight();
        }
        QCOMPARE(t.dialogs.entryBoxes, (QList<QPair<QString, QString>>{{"4.", "5"}}));
        // The game's bookkeeping ends before the box; the next result may register again.
        QVERIFY(std::ranges::none_of(t.game.poemUsed(), std::identity()));
        QVERIFY(t.session.lastResult().registered);
        QCOMPARE(t.table.registered.size(), 1);
        QCOMPARE(t.dialogs.recordsShown, 1); // its 閉じる starts the next game
    }

    // 問題数, おてつき限度数 and the speed chosen during a game wait for the
    // next one: 10 questions of 5 s switched to 5 before the tenth answer
    // still end after ten, with an average of 5 s.
    void settingsChosenMidGameWaitForTheNextGame() {
        Table t;
        t.settings.questionCount = 10;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        for (int q = 1; q <= 10; ++q) {
            if (q == 10) {
                t.settings.questionCount = 5;
                t.settings.faultLimit = 0;
                t.settings.revealDelay = 8;
            }
            t.clock.now = 100.0f;
            t.game.StartQuestion();
            QVERIFY(t.timer.pending == nullptr); // still shown at once
            if (q == 10) {
                t.Pick(t.WrongCard()); // within the game's limit of 8
            }
            t.clock.now = 105.0f;
            t.PickRight();
        }
        QCOMPARE(t.dialogs.entryBoxes, (QList<QPair<QString, QString>>{{"5.", "1"}}));
        QVERIFY(t.dialogs.shown.isEmpty());
        t.game.NewGame();
        t.game.StartQuestion();
        QCOMPARE(t.timer.delay, 800); // the new game plays by the new choice
    }

    // 記録しない starts the next game once the box has closed and the
    // finished game was settled: its first poem is not asked again in it.
    void decliningStartsACleanGame() {
        Table t;
        t.settings.revealDelay = 0;
        t.game.NewGame();
        t.dialogs.declineEntry = true;
        for (int q = 0; q < 5; ++q) {
            t.Answer();
        }
        QCOMPARE(t.dialogs.entryBoxes.size(), 1);
        QVERIFY(t.game.poemUsed()[size_t(t.game.currentPoem()->row())]);
        QVERIFY(!t.game.AnswerDecided());
        QCOMPARE(t.board.questionNumber, QStringLiteral("1"));
    }

    // The answer's reaction counts from the step after which only the answer
    // fits the board; a pick before it is a guess, with a negative reaction.
    void reactionFromTheDecisiveStep() {
        AnswerRecorder log;
        Table t;
        t.game.SetAnswerLog(&log);
        t.settings.revealDelay = 5;
        const std::deque<float> deal = kDawnDeal;
        t.random.script = deal;
        t.game.NewGame();
        QCOMPARE(t.game.question(1).decisiveStep, 6);
        t.clock.now = 86396.0f;
        t.game.StartQuestion();
        for (int step = 1; step <= 8; ++step) {
            t.clock.now = std::fmod(86396.0f + 0.5f * float(step), 86400.0f);
            t.timer.Fire();
        }
        t.Pick(t.WrongCard());
        t.clock.now = 1.0f; // after midnight
        t.PickRight();
        QCOMPARE(log.answers.size(), 1);
        const AnsweredQuestion &a = log.answers[0];
        QCOMPARE((QList<int>{a.poem.number(), a.decisiveStep, a.faults}), (QList<int>{31, 6, 1}));
        QCOMPARE(a.answerTime, 5.0f);   // across midnight
        QCOMPARE(a.reactionTime, 2.0f); // shown at 86399.0, before midnight
        // A guess: the right card before the decisive step was due.
        t.random.script = deal;
        t.game.NewGame();
        t.clock.now = 100.0f;
        t.game.StartQuestion();
        t.clock.now = 101.0f;
        t.PickRight();
        QCOMPARE(log.answers.last().reactionTime, -2.0f); // the sixth step was due at 103
        QCOMPARE(log.answers.last().faults, 0);
        QCOMPARE(t.board.emphasis, 0); // the option is off
    }

    // With a reader, the voice reveals the verse: each step when its sound
    // began, the reaction from the decisive sound (`late` before the step
    // was shown, or still to come for an early pick); a reading not ready
    // or broken off leaves the text reveal, said in the message.
    void readingAloud() {
        // Keeps time as the real voice does: the sound of step k begins k/4 s
        // after the reading starts; once the verse is decided it stops, and
        // its clock with it.
        struct Reader : VerseReader {
            explicit Reader(const FakeClock &c) : clock(c) {}
            void Prepare(Poem poem, Column) override { prepared.append(poem.row()); }
            bool ReadUpper(Poem, Column, std::function<void(int, float)> s) override {
                step = std::move(s);
                started = clock.now;
                playing = ready;
                return ready;
            }
            float SecondsUntil(int k) const override {
                return 0.25f * float(k) - (playing ? clock.now - started : 0.0f);
            }
            void Decided(Poem poem) override {
                decided.append(poem.row());
                playing = false;
            }
            void GameBegins() override { ++games; }
            void Stop() override { ++stopped; }
            QString Unready() const override { return QStringLiteral("読み上げの準備中 3/100"); }
            QString BrokeOff() const override { return QStringLiteral("音声の出力が止まりました"); }
            const FakeClock &clock;
            bool ready = true, playing = false;
            float started = 0.0f;
            std::function<void(int, float)> step;
            QList<int> prepared, decided;
            int games = 0, stopped = 0;
        };
        AnswerRecorder log;
        Table t;
        Reader reader(t.clock);
        t.settings.questionCount = 10;
        t.game.SetAnswerLog(&log);
        t.game.SetReader(&reader);
        const std::deque<float> deal = kDawnDeal;
        t.random.script = deal;
        t.game.NewGame();
        QCOMPARE(reader.games, 1);
        QCOMPARE(reader.prepared.last(), 30); // dealt: made ready meanwhile
        t.clock.now = 100.0f;
        t.game.StartQuestion();
        QVERIFY(t.game.voiced() && !t.timer.pending);
        for (int step = 1; step <= 6; ++step) {
            t.clock.now = 100.0f + 0.3f * float(step);
            reader.step(step, 0.01f);
        }
        QCOMPARE(t.board.verse, t.game.question(1).askedVerse.left(6));
        // The next question: 朝ぼらけ　宇治の (64) with 31 on the board, apart at the sixth step.
        t.random.script = {At(63), At(30), At(1), At(2), At(3), At(4), At(5), At(6), 0.0f};
        t.clock.now = 103.0f;
        t.PickRight();
        QCOMPARE(reader.decided, QList<int>{30});
        QVERIFY(log.answers.last().voiced);
        QCOMPARE(log.answers.last().reactionTime, 103.0f - (101.8f - 0.01f));
        // The next question was drawn at the answer, so that its verse is
        // made ready while the player looks at this one.
        QCOMPARE(reader.prepared.size(), 2);
        QCOMPARE(t.board.verse, t.game.question(1).askedVerse); // the board still shows this one
        // A pick before the decisive sound (due at 1.5 s): a guess by the
        // time still to come, taken before the voice stops.
        t.clock.now = 200.0f;
        t.game.StartQuestion();
        t.clock.now = 200.5f;
        t.PickRight();
        QCOMPARE(log.answers.last().reactionTime, -1.0f);
        // The decisive sound began a moment before the clock's start of the
        // reading, just before midnight: it counts from the start, so the
        // reaction never exceeds the answer time.
        t.clock.now = 86399.5f;
        t.game.StartQuestion();
        for (int step = 1; step <= kRevealSteps; ++step) {
            reader.step(step, 0.25f);
        }
        t.clock.now = 1.5f;
        t.PickRight();
        QCOMPARE(log.answers.last().answerTime, 2.0f);
        QCOMPARE(log.answers.last().reactionTime, 2.0f);
        // Not ready: the text reveal, and the player told why and how far
        // the preparation is.
        reader.ready = false;
        t.game.StartQuestion();
        QVERIFY(!t.game.voiced() && t.timer.pending);
        QVERIFY(t.board.message.contains(QStringLiteral("文字だけ")));
        QVERIFY(t.board.message.contains(QStringLiteral("3/100")));
        // Next: 君がため　春の (15) with 50 on the board, apart at the sixth step.
        t.random.script = {At(14), At(49), At(1), At(2), At(3), At(4), At(5), At(6), 0.0f};
        t.PickRight();
        QVERIFY(!log.answers.last().voiced);
        // Broken off mid-verse before the decisive sound: the text goes on
        // from the voice's step, the board says why, and the answer counts
        // as a text answer; a second break-off changes nothing.
        reader.ready = true;
        t.game.StartQuestion();
        reader.step(2, 0.0f);
        reader.step(-1, 0.0f);
        reader.step(-1, 0.0f);
        QCOMPARE(t.board.message, QStringLiteral("音声の出力が止まりました"));
        QVERIFY(t.timer.pending);
        t.timer.Fire();
        QCOMPARE(t.board.verse, t.game.question(5).askedVerse.left(3));
        t.PickRight();
        QVERIFY(!log.answers.last().voiced);
        // 読み上げ turned off mid-verse: the text takes over.
        t.game.StartQuestion();
        reader.step(1, 0.0f);
        t.game.SetReader(nullptr);
        QVERIFY(t.timer.pending);
        t.timer.Fire();
        QCOMPARE(t.board.verse, t.game.question(6).askedVerse.left(2));
        QVERIFY(reader.stopped >= 1);
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
