// SPDX-License-Identifier: MIT
// Playing through the real windows: the board, the main window, a whole game
// with the real clock and timers.
#include "core/file_names.h"
#include "records/score_record.h"
#include "ui/records/records_window.h"
#include "ui/viewers/help_window.h"
#include "ui_fixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>

using namespace nupew;
using namespace nupew::testing;

class TestBoard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    // What a screen reader hears: each card's lower verse in reading order
    // (not the card's columns), the strip's shown text, the poet, the buttons.
    void assistiveToolsReadTheBoard() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        f.program->settings.lowerTextMode = 2;
        f.program->GameOpen();
        const auto name = [](QWidget *widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        const int poem = f.game().currentPoem()->row();
        const QString lower = f.program->catalogue.Text(Poem::FromRow(poem), kLowerKana).trimmed();
        QCOMPARE(name(f.BoardLabel(QStringLiteral("card%1").arg(f.RightCard()))), lower);
        f.Answer();
        QCOMPARE(name(f.BoardLabel("verseStrip")), f.game().question(1).askedVerse);
        QCOMPARE(name(f.BoardLabel("poetLabel")),
                 f.program->catalogue.Text(Poem::FromRow(poem), kPoet).mid(1));
        QCOMPARE(name(f.Child<QPushButton>(f.Board(), "startButton")), QStringLiteral("開始"));
    }

    void clicksOnTheBoard() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 2;
        f.Item("newGame")->trigger();
        // Version text ignores clicks; a card before the start starts the question.
        f.Click(f.BoardLabel("version"));
        QVERIFY(!f.game().questionActive());
        f.ClickCard(3);
        QVERIFY(f.game().questionActive());
        f.timer.Fire();
        QCOMPARE(f.BoardText("verseStrip").size(), 1);
        const int wrong = f.WrongCard();
        f.ClickCard(wrong);
        QCOMPARE(f.CardColor(wrong), QColor(255, 0, 255));
        QCOMPARE(f.BoardText("faultCount"), QStringLiteral("1"));
        // Decoration while running does nothing; after the answer it starts the next one.
        f.Click(f.BoardLabel("title"));
        QCOMPARE(f.game().questionNumber(), qint16(1));
        const int right = f.RightCard();
        f.ClickCard(right);
        QCOMPARE(f.CardColor(right), QColor(0, 255, 0));
        QVERIFY(!f.BoardLabel("poetLabel")->isHidden());
        QCOMPARE(f.game().questionNumber(), qint16(2));
        f.Click(f.BoardLabel("cardMat7"));
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.BoardText("questionNumber"), QStringLiteral("2"));
        QVERIFY(f.BoardLabel("poetLabel")->isHidden());
    }

    void keysPickCards() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        f.program->GameOpen();
        BoardWindow &board = f.Board();
        for (int question = 1; question <= 2; ++question) {
            QTest::keyClick(&board, Qt::Key_1); // number keys never start a question
            QVERIFY(!f.game().questionActive());
            QTest::mouseClick(&board, Qt::LeftButton, {}, QPoint(300, 5)); // the background does
            QVERIFY(f.game().questionActive());
            const Qt::KeyboardModifiers pad = question % 2 ? Qt::KeypadModifier : Qt::NoModifier;
            QTest::keyClick(&board, Qt::Key(Qt::Key_0 + f.WrongCard()), pad);
            QCOMPARE(f.game().faultCount(), qint16(question));
            // Focus on a button must not stop the keys from reaching the board.
            f.Child<QPushButton>(board, "startButton")->setFocus();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &board,
                            Qt::Key(Qt::Key_0 + f.RightCard()), pad);
            QCOMPARE(f.game().questionNumber(), qint16(question + 1));
        }
    }

    // A double-click is a click and a double-click, never two clicks.
    void doubleClicksCountOnce() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        const auto doubleClick = [&f](int card) {
            UiFixture::DoubleClick(f.BoardLabel(QStringLiteral("card%1").arg(card)));
        };
        // Before 開始: the question starts and no card is picked.
        doubleClick(f.WrongCard());
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.game().faultCount(), qint16(0));
        // The right card during the reveal: answered, and the next question waits for 開始.
        doubleClick(f.RightCard());
        QCOMPARE(f.timer.scheduled, 1); // one reveal, not restarted by the second click
        QCOMPARE(f.game().questionNumber(), qint16(2));
        QVERIFY(!f.game().questionActive());
        // On the board itself: one start, not a start and a pick.
        UiFixture::DoubleClick(&f.Board(), QPoint(2, 2));
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.game().faultCount(), qint16(0));
    }

    void popupMenuAndEscape() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 4;
        f.program->GameOpen();
        f.Board().findChild<QAction *>("boardMenuStart")->trigger();
        QVERIFY(f.game().questionActive());
        f.timer.Fire();
        f.Board().findChild<QAction *>("boardMenuNewGame")->trigger();
        QVERIFY(!f.game().questionActive() && f.BoardText("verseStrip").isEmpty());
        f.Board().findChild<QAction *>("boardMenuEnd")->trigger();
        QVERIFY(!f.Board().isVisible());
        // Esc closes the board in the middle of a reveal, and the reveal stops.
        f.program->GameOpen();
        f.PressStart();
        f.timer.Fire();
        const QString shown = f.BoardText("verseStrip");
        QTest::keyClick(&f.Board(), Qt::Key_Escape);
        QVERIFY(!f.Board().isVisible() && !f.game().questionActive());
        f.timer.Fire();
        QCOMPARE(f.BoardText("verseStrip"), shown);
    }

    // The title shows its last frame at the 24th tick and gives way at the 25th.
    void titleTicks() {
        InTemporaryFolder folder;
        Program program(ProgramSeams{});
        program.Main();
        TitleScreen *title = program.Title();
        title->Timer()->stop();
        for (int tick = 1; tick <= 24; ++tick) {
            title->Tick();
        }
        QVERIFY(!program.Frame()->isVisible() && title->ShownFrame() == 15);
        title->Tick();
        QVERIFY(program.Frame()->isVisible());
    }

    void exitConfirmation() {
        InTemporaryFolder folder;
        {
            UiFixture f;
            f.program->Frame()->close(); // the close box asks nothing
            QCOMPARE(f.ended, 1);
            QVERIFY(f.dialogs.shown.isEmpty());
        }
        UiFixture f;
        f.dialogs.answers = {MessageAnswer::No};
        f.Item("quit")->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{"「タワユWin」を終了します"});
        QCOMPARE(f.ended, 0);
        QVERIFY(f.program->Frame()->isVisible());
        // Yes closes every window, help too.
        f.dialogs.answers = {MessageAnswer::Yes};
        f.program->GameOpen();
        f.Item("helpOnHelp")->trigger();
        QCOMPARE(f.program->Help()->CurrentPage(), QStringLiteral("using"));
        f.Item("helpContents")->trigger(); // the same window, on the contents
        QCOMPARE(f.program->Help()->CurrentPage(), QStringLiteral("index"));
        f.Item("quit")->trigger();
        QVERIFY(!f.program->Help()->isVisible());
        QCOMPARE(f.ended, 1);
        QVERIFY(!f.Board().isVisible() && !f.program->Frame()->isVisible());
    }

    // The whole program with its real clock, generator and timers: a game of
    // five questions, a full-width name registered, the file's bytes and the table.
    void wholeGame() {
        InTemporaryFolder folder;
        QStringList messages;
        ProgramSeams seams;
        seams.messageHandler = [&](const Message &m) {
            messages.append(m.text);
            return MessageAnswer::Ok;
        };
        seams.endApplication = [] {};
        Program program(seams);
        program.Main();
        // The title screen runs its own timer, then gives way to the main window.
        QTRY_VERIFY_WITH_TIMEOUT(program.Frame()->isVisible(), 5000);
        QVERIFY((!program.Title() || !program.Title()->isVisible()) &&
                !program.Board().isVisible());
        QCOMPARE(program.Frame()->frameGeometry().height(), Px(kFrameHeightWithToolbar));
        // The board was dealt under the title.
        QVERIFY(!program.Board().findChild<QLabel *>("card1")->text().isEmpty());
        program.Frame()
            ->Item("revealFairlyFast")
            ->trigger(); // the fastest speed that still reveals
        program.Frame()->Item("newGame")->trigger();
        BoardWindow &board = program.Board();
        const auto label = [&board](const QString &name) {
            return board.findChild<QLabel *>(name);
        };
        QString average;
        const QDateTime before = QDateTime::currentDateTime();
        for (int question = 1; question <= 5; ++question) {
            QTest::mouseClick(board.findChild<QPushButton *>("startButton"), Qt::LeftButton);
            QCOMPARE(label("questionNumber")->text(), QString::number(question));
            // Wait, as a player does, until the shown verse begins the right poem.
            const QString verse = program.GameState().question(question).askedVerse;
            QTRY_VERIFY_WITH_TIMEOUT(label("verseStrip")->text().size() >= 3 &&
                                         verse.startsWith(label("verseStrip")->text()),
                                     6000);
            if (question == 5) {
                UiFixture::OnModal([&](QWidget *box) {
                    average = box->findChild<QLabel *>("average")->text();
                    QCOMPARE(box->findChild<QLabel *>("faults")->text(), QStringLiteral("0"));
                    box->findChild<QLineEdit *>("nameField")->setText(QStringLiteral("山田　花子"));
                    QTest::mouseClick(box->findChild<QPushButton *>("registerButton"),
                                      Qt::LeftButton);
                });
            }
            const int right = program.GameState().answerPosition() + 1;
            QTest::mouseClick(label(QStringLiteral("card%1").arg(right)), Qt::LeftButton, {},
                              QPoint(10, 10));
        }
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(messages.isEmpty());

        const QByteArray bytes = ReadAll(FindExisting(kRecordFile));
        QCOMPARE(bytes.size(), 35);
        // 山 田 (ideographic space) 花 子 in Shift-JIS, then eight spaces.
        QCOMPARE(bytes.left(18), QByteArray::fromHex("8e529363814089d48e71") + QByteArray(8, ' '));
        const ScoreRecord row = ScoreRecord::FromBytes(bytes);
        QVERIFY(row.time > 0.0f && row.time < 10.0f);
        QCOMPARE(Game::FormatAverage(row.time), average);
        QCOMPARE(bytes.mid(22, 2), QByteArray::fromHex("0000"));
        const QByteArray stamp = bytes.mid(24);
        QVERIFY2(stamp == MakeStamp(before) || stamp == MakeStamp(after), stamp.constData());
        RecordsWindow *records = program.RecordsView();
        QVERIFY(records && records->isVisible());
        QCOMPARE(records->Cell(1, 1), QStringLiteral("山田　花子") + QString(8, u' '));
        QCOMPARE((QStringList{records->Cell(2, 1), records->Cell(3, 1), records->Cell(4, 1)}),
                 (QStringList{"0", FormatHundredths(row.time), QString::fromLatin1(stamp)}));
    }
};

QTEST_MAIN(TestBoard)
#include "test_board.moc"
