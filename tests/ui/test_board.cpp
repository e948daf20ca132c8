// SPDX-License-Identifier: MIT
// Playing through the real windows: the board, the title screen, the main window.
#include "ui_fixture.h"

#include <QMenu>
#include <QSettings>
#include <QToolBar>

using namespace nupew;
using namespace nupew::testing;

class TestBoard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    void wholeGameWithTheMouse() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 2;
        f.Item("gameOpen")->trigger();
        QVERIFY(f.Board().isVisible());
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("1"));
        bool boxSeen = false;
        for (int question = 1; question <= 5; ++question) {
            f.PressStart();
            QCOMPARE(f.BoardText("Label47"), QString::number(question));
            f.timer.Fire();
            QCOMPARE(f.BoardText("Label09").size(), 1);
            const int wrong = f.WrongCard();
            const int right = f.RightCard();
            f.ClickCard(wrong);
            QCOMPARE(f.CardColor(wrong), QColor(255, 0, 255));
            QCOMPARE(f.BoardText("Label48"), QString::number(question));
            f.clock.now += 2.0f;
            if (question == 5) {
                UiFixture::OnModal([&](QWidget *box) {
                    boxSeen = true;
                    QCOMPARE(box->objectName(), QStringLiteral("Form2"));
                    QCOMPARE(box->findChild<QLabel *>("Label5")->text(), QStringLiteral("2."));
                    QCOMPARE(box->findChild<QLabel *>("Label6")->text(), QStringLiteral("5"));
                    box->findChild<QPushButton *>("Command2")->click();
                });
            }
            f.ClickCard(right);
            if (question < 5) {
                QCOMPARE(f.CardColor(right), QColor(0, 255, 0));
                QVERIFY(!f.BoardLabel("Label38")->isHidden());
                QCOMPARE(f.BoardText("Label37"),
                         QStringLiteral(" 正解です。開始ボタンを左クリックしてください。"));
            }
        }
        QVERIFY(boxSeen);
        // Declined: a new first question waits on the board.
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("1"));
        QCOMPARE(f.BoardText("Label48"), QStringLiteral("0"));
        QCOMPARE(f.game().pickedCard(), qint16(0));
        QVERIFY(!QFile::exists(kRecordFile));
    }

    void wholeGameWithTheKeys() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        f.program->GameOpen();
        BoardWindow &board = f.Board();
        bool boxSeen = false;
        for (int question = 1; question <= 5; ++question) {
            QTest::keyClick(&board, Qt::Key_1); // number keys never start a question
            QVERIFY(!f.game().questionActive());
            QTest::mouseClick(&board, Qt::LeftButton, {},
                              QPoint(300, 5)); // the background starts it
            QVERIFY(f.game().questionActive());
            const Qt::KeyboardModifiers pad = question % 2 ? Qt::KeypadModifier : Qt::NoModifier;
            QTest::keyClick(&board, Qt::Key(Qt::Key_0 + f.WrongCard()), pad);
            QCOMPARE(f.game().faultCount(), qint16(question)); // one fault a question
            if (question == 5) {
                UiFixture::OnModal([&](QWidget *box) {
                    boxSeen = true;
                    box->findChild<QPushButton *>("Command2")->click();
                });
            }
            // Focus on a button must not stop the keys from reaching the board.
            f.Child<QPushButton>(board, "Command1")->setFocus();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &board,
                            Qt::Key(Qt::Key_0 + f.RightCard()), pad);
            QCOMPARE(f.game().faultCount(), qint16(question == 5 ? 0 : question));
        }
        QVERIFY(boxSeen);
    }

    void clicksOnTheBoard() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        // Version text ignores clicks; a card before the start starts the question.
        f.Click(f.BoardLabel("Label2"));
        QVERIFY(!f.game().questionActive());
        f.ClickCard(3);
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.game().faultCount(), qint16(0));
        const int wrong = f.WrongCard();
        f.ClickCard(wrong);
        f.ClickCard(wrong); // taken: nothing more
        QCOMPARE(f.game().faultCount(), qint16(1));
        // Decoration while running does nothing; after the answer it starts the next one.
        f.Click(f.BoardLabel("Label1"));
        QCOMPARE(f.game().questionNumber(), qint16(1));
        f.ClickCard(f.RightCard());
        QCOMPARE(f.game().questionNumber(), qint16(2));
        f.Click(f.BoardLabel("Label29(2)"));
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("2"));
        QVERIFY(f.BoardLabel("Label38")->isHidden());
    }

    // A double-click is a click and a double-click, never two clicks.
    void doubleClicksCountOnce() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        const auto doubleClick = [&f](const QString &name) {
            UiFixture::DoubleClick(f.BoardLabel(name));
        };
        // Before 開始: the question starts and no card is picked.
        doubleClick(QStringLiteral("Label0%1").arg(f.WrongCard()));
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.game().faultCount(), qint16(0));
        // The right card during the reveal: answered, and the next question waits for 開始.
        doubleClick(QStringLiteral("Label0%1").arg(f.RightCard()));
        QCOMPARE(f.game().questionNumber(), qint16(2));
        QVERIFY(!f.game().questionActive());
        QVERIFY(f.BoardLabel("Label38")->isVisible());
        // On the board itself: one start, not a start and a pick.
        UiFixture::DoubleClick(&f.Board(), QPoint(2, 2));
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("2"));
        QCOMPARE(f.game().faultCount(), qint16(0));
    }

    void popupMenuAndEscape() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 4;
        f.program->GameOpen();
        f.Board().findChild<QAction *>("menu_11")->trigger();
        QVERIFY(f.game().questionActive());
        f.timer.Fire();
        f.Board().findChild<QAction *>("menu_14")->trigger();
        QVERIFY(!f.game().questionActive());
        QVERIFY(f.BoardText("Label09").isEmpty());
        QVERIFY(f.Board().isVisible());
        f.Board().findChild<QAction *>("menu_12")->trigger();
        QVERIFY(!f.Board().isVisible());

        // Esc closes the board in the middle of a reveal, and the reveal stops.
        f.program->GameOpen();
        f.PressStart();
        f.timer.Fire();
        const QString shown = f.BoardText("Label09");
        QTest::keyClick(&f.Board(), Qt::Key_Escape);
        QVERIFY(!f.Board().isVisible());
        QVERIFY(!f.game().questionActive());
        f.timer.Fire();
        QCOMPARE(f.BoardText("Label09"), shown);
    }

    void titleTicks() {
        InTemporaryFolder folder;
        ProgramSeams seams;
        FakeRandom random;
        seams.random = &random;
        Program program(seams);
        program.Main();
        TitleScreen *title = program.Title();
        title->Timer()->stop();
        QVERIFY(title->isVisible());
        QCOMPARE(title->Timer()->interval(), 10);
        QList<int> frames;
        for (int tick = 1; tick <= 24; ++tick) {
            title->Tick();
            frames.append(title->ShownFrame());
            QVERIFY(!program.Frame()->isVisible());
        }
        QCOMPARE(frames, (QList<int>{0,  0,  3, 4,  5,  6,  7,  8,  9,  10, 11, 12,
                                     13, 14, 3, 15, 15, 15, 15, 15, 15, 15, 15, 15}));
        QPointer<TitleScreen> alive = title;
        title->Tick();
        QVERIFY(program.Frame()->isVisible());
        QVERIFY(!alive || !alive->isVisible());
        // The first question was dealt on the hidden board while the title ran.
        QVERIFY(!program.Board().isVisible());
        QVERIFY(!program.Board().findChild<QLabel *>("Label01")->text().isEmpty());
    }

    void geometryInTwips() {
        InTemporaryFolder folder;
        UiFixture f;
        BoardWindow &board = f.Board();
        QCOMPARE(board.size(), QSize(637, 386));
        QCOMPARE(f.BoardLabel("Label01")->geometry(), QRect(412, 60, 81, 113));
        QCOMPARE(f.BoardLabel("Label08")->geometry(), QRect(52, 212, 81, 113));
        QCOMPARE(f.BoardLabel("Label29(0)")->geometry(), QRect(408, 56, 89, 121));
        QCOMPARE(f.BoardLabel("Label09")->geometry(), QRect(544, 12, 17, 337));
        QCOMPARE(f.BoardLabel("Label38")->geometry(), QRect(584, 224, 24, 149));
        QCOMPARE(f.BoardLabel("Label37")->geometry(), QRect(72, 350, 401, 17));
        QCOMPARE(f.Child<QPushButton>(board, "Command1")->geometry(), QRect(0, 8, 41, 20));
        QCOMPARE(board.windowTitle(), QStringLiteral("タワユかるたとりゲーム"));
        QCOMPARE(f.BoardLabel("Label09")->font().family(), QStringLiteral("ＭＳ 明朝"));
        MainWindow *main = f.program->Frame();
        QCOMPARE(main->windowTitle(), QStringLiteral("タワユ"));
        QCOMPARE(main->width(), 635);
        QCOMPARE(main->frameGeometry().height(), 72);
    }

    void exitConfirmation() {
        InTemporaryFolder folder;
        UiFixture f;
        f.dialogs.answers = {MessageAnswer::No};
        QAction *close = f.Item("close");
        QCOMPARE(close->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
        close->trigger();
        QCOMPARE(f.dialogs.shown.size(), 1);
        const Message &box = f.dialogs.shown[0];
        QCOMPARE(box.text, QStringLiteral("「タワユWin」を終了します"));
        QCOMPARE(box.title, QStringLiteral("「タワユWin」Ver 2.0"));
        QVERIFY(box.buttons == MessageButtons::YesNo && box.icon == MessageIcon::Question &&
                box.systemModal);
        QCOMPARE(f.ended, 0);
        QVERIFY(f.program->Frame()->isVisible());
        f.dialogs.answers = {MessageAnswer::Yes};
        f.program->GameOpen();
        close->trigger();
        QCOMPARE(f.ended, 1);
        QVERIFY(!f.Board().isVisible());
        QVERIFY(!f.program->Frame()->isVisible());
    }

    void closeBoxEndsWithoutAQuestion() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->Frame()->close();
        QCOMPARE(f.ended, 1);
        QVERIFY(f.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(TestBoard)
#include "test_board.moc"
