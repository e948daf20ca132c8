// SPDX-License-Identifier: MIT
// The main window: menu items, settings, the toolbar and its arrangement, help.
#include "ui/help_window.h"
#include "ui/poem_list_window.h"
#include "ui/records_window.h"
#include "ui/toolbar_dialog.h"
#include "ui_fixture.h"

#include <QListWidget>
#include <QMessageBox>
#include <QToolBar>

using namespace nupew;
using namespace nupew::testing;

namespace {

const QString kStoreOrganization = QStringLiteral("TEMP11");
const QString kStoreApplication = QStringLiteral("MyToolbar1");

// The arrangement a new main window reads when it is first activated.
QStringList ArrangementAtStart() {
    UiFixture f;
    MainWindow &w = *f.program->Frame();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w, &activate);
    return w.Arrangement();
}

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }
    void init() { QSettings(kStoreOrganization, kStoreApplication).clear(); }

    // Each item sets its field; only the text modes close the board, and the
    // next game deals in the new mode.
    void settingItems() {
        // The item, the field it sets (0 questions, 1 limit, 2 delay, 3 upper, 4 lower), the value.
        const QList<std::tuple<QString, int, int>> items = {
            {"oteNo", 1, 999}, {"soku1", 2, 0}, {"kamikana", 3, 2}, {"shimoKanji", 4, 0}};
        InTemporaryFolder folder;
        UiFixture f;
        Settings &s = f.program->settings;
        for (const auto &[item, field, value] : items) {
            s.questionCount = s.faultLimit = s.revealDelay = 77;
            s.upperTextMode = s.lowerTextMode = 5;
            f.program->GameOpen();
            f.Item(item)->trigger();
            const std::array<int, 5> fields = {s.questionCount, s.faultLimit, s.revealDelay,
                                               s.upperTextMode, s.lowerTextMode};
            QCOMPARE(fields[field], value);
            QVERIFY(!f.Item(item)->isChecked());
            QCOMPARE(f.Board().isVisible(), field < 3);
        }
        f.Item("gameOpen")->trigger();
        QCOMPARE(
            f.BoardText(QStringLiteral("Label0%1").arg(f.RightCard())),
            Game::CardOrder(f.program->catalogue.Text(f.game().currentPoem() - 1, kLowerKanji)));
    }

    void saveAndRestoreThroughTheMenus() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("mon20")->trigger();
        f.Item("mnuseki")->trigger();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("20,8,8,4\r\n"));
        f.Item("mnushokise")->trigger();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(f.program->settings, Settings());
        QCOMPARE(f.dialogs.shown.size(), 2);
    }

    void toolbarButtonsRunTheirItems() {
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        // The buttons run the rows' handlers, as the menu items do.
        w.findChild<QAction *>("toku01")->trigger();
        QVERIFY(f.Board().isVisible());
        w.findChild<QAction *>("toku02")->trigger();
        QVERIFY(!f.Board().isVisible());
        // Hiding the toolbar disables its arrangement and shrinks the window.
        f.Item("mnutov")->trigger();
        QVERIFY(w.Toolbar()->isHidden() && !f.Item("mnutoc")->isEnabled());
        QCOMPARE(w.frameGeometry().height(), Px(kFrameHeightWithoutToolbar));
        f.Item("mnutov")->trigger();
        QVERIFY(!w.Toolbar()->isHidden() && f.Item("mnutov")->isChecked());
        QCOMPARE(w.frameGeometry().height(), Px(kFrameHeightWithToolbar));
    }

    void arrangementSurvivesARestart() {
        {
            InTemporaryFolder folder;
            UiFixture f;
            UiFixture::OnModal([](QWidget *dialog) {
                auto *current = dialog->findChild<QListWidget *>("currentButtons");
                auto *d = qobject_cast<ToolbarDialog *>(dialog);
                current->setCurrentRow(0); // ゲーム開始
                d->RemoveSelected();
                current->setCurrentRow(3); // 成績初期化 moves up
                d->MoveSelected(-1);
                // ゲーム開始 and the statistics button, which is not on the toolbar at first.
                QCOMPARE(dialog->findChild<QListWidget *>("availableButtons")->count(), 2);
                d->findChild<QPushButton *>("closeButton")->click();
            });
            f.Item("mnutoc")->trigger();
        }
        InTemporaryFolder folder;
        QCOMPARE(ArrangementAtStart(), (QStringList{"toku02", "toku03", "toku05", "toku04",
                                                    "toku06", "toku07", "toku08", "toku09"}));
        // The dialog's reset brings back the built-in arrangement.
        UiFixture f;
        ToolbarDialog dialog(*f.program->Frame());
        dialog.Reset();
        QCOMPARE(f.program->Frame()->Arrangement(), MainWindow::BuiltInArrangement());
    }

    void damagedArrangementIsIgnored() {
        for (const QVariant &stored :
             {QVariant("toku01,toku99"), QVariant("toku01,toku01"), QVariant(42)}) {
            InTemporaryFolder folder;
            QSettings(kStoreOrganization, kStoreApplication).setValue("True11", stored);
            QCOMPARE(ArrangementAtStart(), MainWindow::BuiltInArrangement());
        }
    }

    // Every button set the program uses, answered through the real box by a
    // button or by Esc (0).
    void realMessageBoxes() {
        const QList<std::tuple<MessageButtons, int, MessageAnswer>> cases = {
            {MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
            {MessageButtons::Ok, 0, MessageAnswer::Ok},
            {MessageButtons::OkCancel, QMessageBox::Ok, MessageAnswer::Ok},
            {MessageButtons::OkCancel, 0, MessageAnswer::Cancel},
            {MessageButtons::YesNo, QMessageBox::Yes, MessageAnswer::Yes},
            {MessageButtons::YesNo, 0, MessageAnswer::No}};
        for (const auto &[buttons, press, answer] : cases) {
            UiFixture::OnModal([press](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                QVERIFY(box);
                if (press == 0) {
                    QTest::keyClick(box, Qt::Key_Escape);
                } else {
                    QTest::mouseClick(box->button(QMessageBox::StandardButton(press)),
                                      Qt::LeftButton);
                }
            });
            QCOMPARE(ShowMessageBox(nullptr, {QStringLiteral("質問"), kProgramTitle, buttons}),
                     answer);
        }
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
