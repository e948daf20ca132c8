// SPDX-License-Identifier: MIT
// Playing through the real windows: the board, the title screen, the main window.
#include "ui_fixture.h"

#include <QMenu>

using namespace nupew;
using namespace nupew::testing;

class TestBoard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    void clicksOnTheBoard() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 2;
        f.Item("gameOpen")->trigger();
        // Version text ignores clicks; a card before the start starts the question.
        f.Click(f.BoardLabel("Label2"));
        QVERIFY(!f.game().questionActive());
        f.ClickCard(3);
        QVERIFY(f.game().questionActive());
        f.timer.Fire();
        QCOMPARE(f.BoardText("Label09").size(), 1);
        const int wrong = f.WrongCard();
        f.ClickCard(wrong);
        QCOMPARE(f.CardColor(wrong), QColor(255, 0, 255));
        QCOMPARE(f.BoardText("Label48"), QStringLiteral("1"));
        // Decoration while running does nothing; after the answer it starts the next one.
        f.Click(f.BoardLabel("Label1"));
        QCOMPARE(f.game().questionNumber(), qint16(1));
        const int right = f.RightCard();
        f.ClickCard(right);
        QCOMPARE(f.CardColor(right), QColor(0, 255, 0));
        QVERIFY(!f.BoardLabel("Label38")->isHidden());
        QCOMPARE(f.game().questionNumber(), qint16(2));
        f.Click(f.BoardLabel("Label29(2)"));
        QVERIFY(f.game().questionActive());
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("2"));
        QVERIFY(f.BoardLabel("Label38")->isHidden());
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
            f.Child<QPushButton>(board, "Command1")->setFocus();
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
            UiFixture::DoubleClick(f.BoardLabel(QStringLiteral("Label0%1").arg(card)));
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
        f.Board().findChild<QAction *>("menu_11")->trigger();
        QVERIFY(f.game().questionActive());
        f.timer.Fire();
        f.Board().findChild<QAction *>("menu_14")->trigger();
        QVERIFY(!f.game().questionActive() && f.BoardText("Label09").isEmpty());
        f.Board().findChild<QAction *>("menu_12")->trigger();
        QVERIFY(!f.Board().isVisible());
        // Esc closes the board in the middle of a reveal, and the reveal stops.
        f.program->GameOpen();
        f.PressStart();
        f.timer.Fire();
        const QString shown = f.BoardText("Label09");
        QTest::keyClick(&f.Board(), Qt::Key_Escape);
        QVERIFY(!f.Board().isVisible() && !f.game().questionActive());
        f.timer.Fire();
        QCOMPARE(f.BoardText("Label09"), shown);
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
        f.Item("close")->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{"「タワユWin」を終了します"});
        QCOMPARE(f.ended, 0);
        QVERIFY(f.program->Frame()->isVisible());
        f.dialogs.answers = {MessageAnswer::Yes};
        f.program->GameOpen();
        f.Item("close")->trigger();
        QCOMPARE(f.ended, 1);
        QVERIFY(!f.Board().isVisible() && !f.program->Frame()->isVisible());
    }
};

QTEST_MAIN(TestBoard)
#include "test_board.moc"
