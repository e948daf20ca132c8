// SPDX-License-Identifier: MIT
// Through the whole program: the decisive characters on the board, the
// statistics window, the history, and the practice modes.
#include "history/history.h"
#include "ui/board/board_window.h"
#include "ui/statistics/statistics_window.h"
#include "ui_fixture.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineSeries>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QXYSeries>

using namespace nupew;
using namespace nupew::testing;

namespace {

// Pixels of the emphasis colour in the verse strip.
int RedPixels(UiFixture &f) {
    const QImage strip = f.BoardLabel("verseStrip")->grab().toImage();
    return Pixels(strip, strip.rect(),
                  [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; });
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }
    void init() { ForgetPreferences(); }

    void decisiveCharactersOnTheStrip() {
        InTemporaryFolder folder;
        {
            UiFixture f;
            f.program->settings.revealDelay = 0;
            f.program->GameOpen();
            f.Answer();
            QCOMPARE(RedPixels(f), 0); // off: the strip as it always was
            QVERIFY(!f.Item("showDecisive")->isChecked());
            f.Item("showDecisive")->trigger();
            f.Answer();
            QVERIFY(RedPixels(f) > 20);
            f.PressStart(); // the next verse starts plain
            QCOMPARE(RedPixels(f), 0);
        }
        UiFixture next; // kept for the next start, in the player's settings
        QVERIFY(next.Item("showDecisive")->isChecked() && next.program->ShowsDecisive());
        next.Item("showDecisive")->trigger();
    }

    void statisticsWindowFromTheMenu() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        f.program->GameOpen();
        for (int question = 1; question <= 3; ++question) {
            f.Answer();
        }
        f.Item("showStatistics")->trigger();
        StatisticsWindow *window = f.program->Statistics();
        QVERIFY(window && window->isVisible());
        // Sorted by the count through the header: the three answered poems first,
        // and one of them copied as the header and its row.
        window->Table()->sortByColumn(PoemStatisticsModel::Answers, Qt::DescendingOrder);
        QCOMPARE(window->Model().index(2, PoemStatisticsModel::Answers).data().toInt(), 1);
        QCOMPARE(window->Model().index(3, PoemStatisticsModel::Answers).data().toInt(), 0);
        window->Table()->selectRow(1);
        QTest::keySequence(window->Table(), QKeySequence::Copy);
        const QStringList copied = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(copied.size(), 3); // the header, the row and the last line end
        QVERIFY(copied[0].startsWith(QStringLiteral("番号\t上の句\t決まり字")));
        const QString csv = QDir::current().absoluteFilePath("poems.csv");
        f.saveFileDialog = [csv] { return std::optional(csv); };
        window->findChild<QPushButton *>("exportButton")->click();
        const QByteArray bytes = ReadAll(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\r\n"), 101);
        // A folder that cannot be written: the reason, and nothing reported as saved.
        f.saveFileDialog = [] { return std::optional<QString>("/nonexistent-folder/x.csv"); };
        window->findChild<QPushButton *>("exportButton")->click();
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].icon, MessageIcon::Warning);
    }

    // The 競技 tab from the matches kept in the history: one won by a take
    // across, one lost by a touch on a 空札.
    void matchesAsACoachReadsThem() {
        InTemporaryFolder folder;
        UiFixture f;
        History &history = f.program->AnswerHistory();
        match::SoloOpponent solo;
        for (const bool win : {true, false}) {
            match::Match m(f.program->catalogue, solo, 1);
            match::Mat mat;
            mat.rows(match::Side::Player)[2] = {Poem::FromNumber(87)};
            mat.rows(match::Side::Opponent)[2] = {Poem::FromNumber(4)};
            m.DealGiven(mat, {Poem::FromNumber(win ? 4 : 10)});
            history.MatchStarted({QStringLiteral("solo"), match::LayoutRule::Beginner, 0, false});
            m.BeginReading();
            m.DecisiveSounded(1.0);
            m.Touch(match::Side::Player, Poem::FromNumber(87 - win * 83), 1.5);
            m.Settle(3.0);
            if (win) {
                QVERIFY(m.SendFromPlayer(Poem::FromNumber(87)));
            }
            QCOMPARE(m.Winner(), std::optional(win ? match::Side::Player : match::Side::Opponent));
            history.MatchReading(0, m.readings()[0], false);
            history.MatchEnded(m, true);
        }
        f.Item("showStatistics")->trigger();
        StatisticsWindow *window = f.program->Statistics();
        QVERIFY(window->MatchSummary()->text().contains(QStringLiteral(
            "試合 2 回: 勝ち 1・負け 1・途中で終えた試合 0。お手つき: 出札のない陣 0 "
            "回、空札 1 回。")));
        QStringList rows;
        for (int r = 0; r < window->CoachTable()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c) {
                cells << window->CoachTable()->item(r, c)->text();
            }
            rows << cells.join(u'|');
        }
        QVERIFY2(rows.contains(QStringLiteral("敵陣|1|100 %|0.50 秒")),
                 qPrintable(rows.join(u'\n')));
        QVERIFY(rows.contains(QStringLiteral("自陣|0|—|—")));
        QVERIFY(rows.contains(QStringLiteral("下段|1|100 %|0.50 秒")));
        QVERIFY(rows.contains(QStringLiteral("いまの決まり字 2 字|1|100 %|0.50 秒")));
        int points = 0;
        for (QAbstractSeries *series : window->MatchesChart()->chart()->series()) {
            points += int(static_cast<QXYSeries *>(series)->count());
        }
        QCOMPARE(points, 2);
    }

    // A file of another program under the history's name: one warning once the
    // main window is up, the game goes on, the file stays as it was.
    void foreignHistoryFile() {
        InTemporaryFolder folder;
        WriteAll(kHistoryFile, "not a history at all");
        UiFixture f;
        QVERIFY(f.dialogs.texts().join("").contains(kHistoryFile));
        f.PlayGame([](QWidget *box) { box->findChild<QPushButton *>("declineButton")->click(); });
        f.Item("showStatistics")->trigger();
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(ReadAll(kHistoryFile), QByteArray("not a history at all"));
    }

    // The history failing during the last answer is told once, and only
    // after the record entry box has closed: never a box over a box.
    void historyFailureWaitsForTheEntryBox() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        for (int question = 1; question <= 4; ++question) {
            f.Answer();
        }
        QVERIFY(f.program->AnswerHistory().WaitWritten(5000));
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QSqlQuery(db->Connection())
                .exec("CREATE TRIGGER refuse BEFORE INSERT ON answers BEGIN "
                      "SELECT RAISE(ABORT, 'answers refused'); END");
        }
        int toldDuringTheBox = -1;
        QSignalSpy failed(&f.program->AnswerHistory(), &History::failed);
        f.OnModal([&f, &failed, &toldDuringTheBox](QWidget *box) {
            QTRY_COMPARE(failed.size(), 1); // the failure arrives while the box is up
            toldDuringTheBox = int(f.dialogs.shown.size());
            box->findChild<QPushButton *>("declineButton")->click();
        });
        f.Answer();
        QCOMPARE(toldDuringTheBox, 0);
        QTRY_COMPARE(f.dialogs.shown.size(), 1);
        QVERIFY(f.dialogs.shown[0].text.contains(kHistoryFile));
        QVERIFY(f.dialogs.shown[0].text.contains("answers refused"));
        f.Answer(); // the history is off now: no second box
        f.program->AnswerHistory().WaitWritten(5000);
        QCoreApplication::processEvents();
        QCOMPARE(f.dialogs.shown.size(), 1);
    }

    // A colour chosen in the dialog: the board says so, and the game ends in
    // the practice box, never in the table.
    void practiceGameThroughTheDialog() {
        InTemporaryFolder folder;
        UiFixture f;
        UiFixture::OnModal([](QWidget *dialog) {
            dialog->findChild<QRadioButton *>("kind2")->click();
            dialog->findChild<QCheckBox *>("colour0")->click();
            dialog->findChild<QPushButton *>("okButton")->click();
        });
        f.Item("choosePractice")->trigger();
        QCOMPARE(f.program->Practice().Name(), QStringLiteral("青"));
        f.program->GameOpen();
        QCOMPARE(f.Board().windowTitle(), QStringLiteral("タワユかるたとりゲーム — 練習: 青"));
        QString faults;
        bool pictureOverTheBox = false;
        f.PlayGame([&](QWidget *box) {
            faults = box->findChild<QLabel *>("faults")->text();
            // The last poem's picture can still be opened, over the box.
            const int poem = f.game().currentPoem()->number();
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::green);
            picture.save(QStringLiteral("U%1.JPG").arg(poem));
            box->findChild<QPushButton *>("poemPictureButton")->click();
            PictureViewer *viewer = f.program->Viewer(PictureKind::Poem);
            pictureOverTheBox = viewer && viewer->isVisible() &&
                                QApplication::activeModalWidget() == viewer &&
                                viewer->LoadedFile().endsWith(QStringLiteral("U%1.JPG").arg(poem));
            viewer->close();
            box->findChild<QPushButton *>("endButton")->click();
        });
        QVERIFY(pictureOverTheBox);
        QCOMPARE(faults, QStringLiteral("0"));
        QVERIFY(!f.Board().isVisible());
        QVERIFY(!QFile::exists(kRecordFile));
        f.program->AnswerHistory().Flush();
        QString why;
        const std::unique_ptr<HistoryDatabase> db = Take(HistoryDatabase::Open(kHistoryFile), &why);
        QSqlQuery query(db->Connection());
        QVERIFY(query.exec("SELECT mode, finished, registered FROM games") && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("青"));
        QCOMPARE(query.value(1).toInt() * 10 + query.value(2).toInt(), 10);
        QVERIFY(query.exec("SELECT poem FROM answers"));
        for (int asked = 0; asked < 5; ++asked) { // only blue poems were asked
            QVERIFY(query.next() && ColourOf(query.value(0).toInt() - 1) == 0);
        }
        f.program->SetPracticeMode({}); // the whole game again: the title says so
        QCOMPARE(f.Board().windowTitle(), QStringLiteral("タワユかるたとりゲーム"));
    }

    // After a history where three poems were missed, the drill asks them first.
    // Three whole games as a learner plays them (three faults in the first,
    // four slow answers in the second), then a drill of ten: the seven weak
    // poems come first, then three new ones; with fewer than twenty reactions
    // behind it, no answer has moved a poem up a box.
    // Games read aloud, as the history keeps them, are drawn as their own
    // line when the window is opened from the menu.
    void voicedGamesHaveTheirLine() {
        InTemporaryFolder folder;
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QVERIFY2(db, qPrintable(why));
            const QDateTime day(QDate(2026, 12, 1), QTime(20, 0));
            for (qint64 game = 1; game <= 4; ++game) {
                QVERIFY(db->StartGame(game, day.addDays(game), QString()));
                for (int q = 1; q <= 5; ++q) {
                    AnsweredQuestion a;
                    a.question = q;
                    a.poem = Poem::FromNumber(int(game) * 10 + q);
                    a.answerTime = 2.0f;
                    a.reactionTime = 0.5f + 0.1f * float(game);
                    a.voiced = game >= 3;
                    QVERIFY(db->AddAnswer(game, day.addDays(game), a));
                }
                QVERIFY(db->FinishGame(game, 5, 2.0f, 0));
            }
            // Two games ended early: one with 終了 after two answers, one on
            // the fault limit before any right answer.
            QVERIFY(db->StartGame(5, day.addDays(5), QString()));
            for (int q = 1; q <= 2; ++q) {
                AnsweredQuestion a;
                a.question = q;
                a.poem = Poem::FromNumber(60 + q);
                a.answerTime = 3.0f;
                a.reactionTime = 1.0f;
                QVERIFY(db->AddAnswer(5, day.addDays(5), a));
            }
            QVERIFY(db->StopGame(5, 2, 0, GameOutcome::EndedByPlayer));
            QVERIFY(db->StartGame(6, day.addDays(6), QString()));
            AnsweredQuestion lost;
            lost.poem = Poem::FromNumber(70);
            lost.faults = 3;
            lost.lost = true;
            lost.reactionTime = -1.0f;
            QVERIFY(db->AddAnswer(6, day.addDays(6), lost));
            QVERIFY(db->StopGame(6, 0, 3, GameOutcome::FaultLimit));
        }
        UiFixture f;
        f.Item("showStatistics")->trigger();
        QChart *chart = f.program->Statistics()->GamesChart()->chart();
        QStringList lines;
        for (QAbstractSeries *series : chart->series()) {
            lines << series->name() + u':' +
                         QString::number(static_cast<QXYSeries *>(series)->count());
        }
        QCOMPARE(lines, (QStringList{"平均タイム:5", "平均反応時間:3", "平均反応時間（読み上げ）:2",
                                     "途中で終えたゲーム:2"}));
        // The last date above the chart, centred on the last game, keeps within
        // the plot's width (it was cut at the chart's edge).
        QChart *games = chart;
        QCategoryAxis *dates = nullptr;
        for (QAbstractAxis *axis : games->axes(Qt::Horizontal)) {
            dates = dates ? dates : qobject_cast<QCategoryAxis *>(axis);
        }
        QVERIFY(dates && !dates->categoriesLabels().isEmpty());
        const QString last = dates->categoriesLabels().back();
        const double lastX =
            games->mapToPosition({dates->endValue(last), 0}, games->series().front()).x();
        QVERIFY2(lastX + QFontMetrics(dates->labelsFont()).horizontalAdvance(last) / 2.0 <=
                     games->plotArea().right(),
                 qPrintable(QString::number(lastX)));
        QVERIFY2(f.program->Statistics()->findChild<QLabel *>("note")->text().contains(
                     QStringLiteral("ゲーム 6 回")),
                 qPrintable(f.program->Statistics()->findChild<QLabel *>("note")->text()));
        // The poems' table counts all answers, or only those of one kind.
        StatisticsWindow *window = f.program->Statistics();
        const auto answered = [window] {
            int poems = 0;
            for (int row = 0; row < kPoemCount; ++row) {
                poems +=
                    window->Model().index(row, PoemStatisticsModel::Answers).data().toInt() > 0;
            }
            return poems;
        };
        QCOMPARE(answered(), 22); // with the two of the game ended by 終了
        window->KindChoice()->setCurrentIndex(
            window->KindChoice()->findData(int(AnswerKind::Voice)));
        QCOMPARE(answered(), 10);
        window->KindChoice()->setCurrentIndex(
            window->KindChoice()->findData(int(AnswerKind::Text)));
        QCOMPARE(answered(), 12);
        QCOMPARE(window->Model().index(0, PoemStatisticsModel::Answers).data().toInt(), 0);
    }

    // A week lived as a learner lives it, through the program: one 20-question
    // drill an evening, ten poems weak (a fault, or slow), the rest known
    // (0.8-1.5 s after the decisive step). Every weak poem comes back; known
    // poems answered in time stop being due (at most twice in their first
    // days: the learning steps); the backlog stays bounded; new poems enter
    // in their order, ten a day at most and only after the due ones.
    void aWeekOfDrills() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        f.program->settings.questionCount = 20;
        PracticeMode drill;
        drill.kind = PracticeKind::Drill;
        f.program->SetPracticeMode(drill);
        FakeRandom order;
        const QList<int> sequence =
            NewPoemSequence(NewPoemOrder::FirstSounds, f.game().decisive(), order);
        QSet<int> weak; // 0-99
        for (int i = 1; i < 30; i += 3) {
            weak.insert(sequence[i]);
        }
        std::array<int, kPoemCount> asked{};
        std::array<int, kPoemCount> daysDue{};
        qsizetype introduced = 0;
        QStringList table;
        for (int day = 0; day < 7; ++day) {
            f.wallClock = QDateTime(QDate(2026, 12, 9).addDays(day), QTime(19, 0));
            f.program->AnswerHistory().WaitWritten(5000);
            // The cards as the drill will find them, to tell due from new.
            std::array<DrillState, kPoemCount> cards{};
            {
                const Result<std::unique_ptr<HistoryDatabase>> db =
                    f.program->AnswerHistory().OpenReadConnection();
                QVERIFY2(db.ok(), qPrintable(db.error()));
                const Result<std::array<DrillState, kPoemCount>> loaded = db.value()->LoadDrill();
                QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
                cards = loaded.value();
            }
            QVERIFY(DueCount(cards, f.wallClock) <= kDrillBacklogLimit);
            for (int p = 0; p < kPoemCount; ++p) {
                daysDue[size_t(p)] +=
                    cards[size_t(p)].Seen() && cards[size_t(p)].card.due <= f.wallClock;
            }
            f.program->GameOpen();
            const int questions = f.game().QuestionCount();
            int fresh = 0, due = 0, weakAsked = 0, faults = 0;
            QList<int> newOnes;
            for (int q = 1; q <= questions; ++q) {
                if (q == questions) {
                    f.OnModal(
                        [](QWidget *box) { box->findChild<QPushButton *>("endButton")->click(); });
                }
                f.PressStart();
                const int p = f.game().currentPoem()->row();
                const DrillState &s = cards[size_t(p)];
                if (!s.Seen()) {
                    ++fresh;
                    newOnes.append(p);
                } else {
                    due += s.card.due <= f.wallClock;
                }
                ++asked[size_t(p)];
                const bool isWeak = weak.contains(p);
                weakAsked += isWeak;
                if (isWeak && (day + p) % 2 == 0) {
                    ++faults;
                    f.ClickCard(f.WrongCard());
                }
                f.clock.now += isWeak ? 3.0f : 0.8f + float(p % 8) * 0.1f;
                f.ClickCard(f.RightCard());
                f.clock.now += 1.0f;
            }
            // Reviews first: new poems take what the due ones leave, in their order.
            QCOMPARE(fresh, std::min(kDefaultNewPerDay, std::max(0, 20 - due)));
            QCOMPARE(
                QSet<int>(newOnes.begin(), newOnes.end()),
                QSet<int>(sequence.begin() + introduced, sequence.begin() + introduced + fresh));
            introduced += fresh;
            table << QStringLiteral("day %1: %2 questions, new %3, due asked %4, weak asked %5, "
                                    "faults %6")
                         .arg(day + 1)
                         .arg(questions)
                         .arg(fresh)
                         .arg(due)
                         .arg(weakAsked)
                         .arg(faults);
        }
        qInfo("%s", qPrintable(table.join(u'\n')));
        for (const int p : weak) {
            QVERIFY2(asked[size_t(p)] >= 2, qPrintable(QString::number(p + 1)));
        }
        for (int p = 0; p < kPoemCount; ++p) {
            if (!weak.contains(p)) {
                QVERIFY2(daysDue[size_t(p)] <= 2, qPrintable(QString::number(p + 1)));
            }
        }
    }

    void drillBringsTheWeakPoemsBackTheSameDay() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        QSet<int> weak;
        QSet<int> seen;
        for (int game = 0; game < 3; ++game) {
            f.program->GameOpen();
            for (int question = 1; question <= 5; ++question) {
                if (question == 5) {
                    f.OnModal([](QWidget *box) {
                        box->findChild<QPushButton *>("declineButton")->click();
                    });
                }
                f.PressStart();
                const int poem = f.game().currentPoem()->number();
                seen.insert(poem);
                const bool fault = game == 0 && question <= 3;
                const bool slow = game == 1 && question <= 4;
                if (fault) {
                    f.ClickCard(f.WrongCard());
                }
                if (fault || slow) {
                    weak.insert(poem);
                }
                f.clock.now += slow ? 6.5f : 1.0f;
                f.ClickCard(f.RightCard());
            }
        }
        QCOMPARE(weak.size(), 7);
        f.program->AnswerHistory().WaitWritten(5000);
        // Three games of one sitting: three points, one game apart, the date
        // with its year above.
        f.Item("showStatistics")->trigger();
        QChart *chart = f.program->Statistics()->GamesChart()->chart();
        const auto *points = static_cast<QLineSeries *>(chart->series().first());
        QCOMPARE(points->points().size(), 3);
        QCOMPARE(points->at(2).x() - points->at(0).x(), 2.0);
        auto *dates = chart->findChild<QCategoryAxis *>("dateAxis");
        QVERIFY(dates && dates->categoriesLabels().contains("2026/12/06"));
        // Games read aloud draw their reactions as a line of their own.
        HistoryStatistics heard;
        heard.games = {{QDateTime::currentDateTime(), 3.0, 1.0, 1, 0},
                       {QDateTime::currentDateTime(), 2.0, 0.5, 1, 1}};
        f.program->Statistics()->SetStatistics(heard, QString());
        QStringList lines;
        for (QAbstractSeries *series : chart->series()) {
            lines << series->name() + u':' +
                         QString::number(static_cast<QLineSeries *>(series)->count());
        }
        QCOMPARE(lines,
                 (QStringList{"平均タイム:2", "平均反応時間:1", "平均反応時間（読み上げ）:1"}));
        f.program->Statistics()->close();
        {
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QSqlQuery query(db->Connection());
            // Every poem answered is a card in its first day: none a review yet.
            QVERIFY(query.exec("SELECT MAX(state), COUNT(*) FROM cards") && query.next());
            QCOMPARE(query.value(0).toInt(), int(CardState::Learning));
            QCOMPARE(query.value(1).toInt(), 15);
        }
        // Forty minutes later the weak poems are due again (a fault after 10
        // minutes, a slow answer after 35); the known ones wait an hour.
        f.wallClock = f.wallClock.addSecs(40 * 60);
        PracticeMode drill;
        drill.kind = PracticeKind::Drill;
        f.program->SetPracticeMode(drill);
        f.program->settings.questionCount = 10;
        f.program->GameOpen();
        QList<int> asked;
        for (int question = 1; question <= 10; ++question) {
            if (question == 10) {
                f.OnModal(
                    [](QWidget *box) { box->findChild<QPushButton *>("endButton")->click(); });
            }
            f.PressStart();
            asked.append(f.game().currentPoem()->number());
            f.clock.now += 1.0f;
            f.ClickCard(f.RightCard());
        }
        const QList<int> first = asked.mid(0, 7);
        QCOMPARE(QSet<int>(first.begin(), first.end()), weak);
        for (int i = 7; i < 10; ++i) {
            // Today's ten new poems are used up: the rest of the game is known ones.
            QVERIFY(seen.contains(asked[i]) && !weak.contains(asked[i]));
        }
        // The deck's view: every card falls due within the two weeks shown,
        // today's new poems are used up, and each answered poem has its next
        // review and its predicted recall in the table.
        f.program->AnswerHistory().WaitWritten(5000);
        f.Item("showStatistics")->trigger();
        StatisticsWindow *window = f.program->Statistics();
        const auto *bars = static_cast<QBarSeries *>(window->DueChart()->chart()->series().first());
        QCOMPARE(bars->barSets().first()->count(), kOutlookDays);
        QCOMPARE(bars->barSets().first()->sum(), 15.0);
        QVERIFY2(window->Outlook()->text().contains(
                     QStringLiteral("今日はあと0首 (まだ出していない歌 85首)")),
                 qPrintable(window->Outlook()->text()));
        PoemStatisticsModel &model = window->Model();
        int withRecall = 0;
        for (int row = 0; row < kPoemCount; ++row) {
            const QString recall = model.index(row, PoemStatisticsModel::Recall).data().toString();
            const bool answered = seen.contains(model.PoemAt(row) + 1);
            QCOMPARE(recall.endsWith(u'%'), answered);
            QCOMPARE(model.index(row, PoemStatisticsModel::NextReview).data().toString().isEmpty(),
                     !answered);
            withRecall += answered;
        }
        QCOMPARE(withRecall, 15);
    }
};

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
