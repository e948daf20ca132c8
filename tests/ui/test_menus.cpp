// SPDX-License-Identifier: MIT
// The main window: menu items, settings, the toolbar and its arrangement, help.
#include "ui/help_window.h"
#include "ui/poem_list_window.h"
#include "ui/records_window.h"
#include "ui/toolbar_dialog.h"
#include "ui_fixture.h"

#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QSettings>
#include <QToolBar>

using namespace nupew;
using namespace nupew::testing;

class TestMenus : public QObject {
    Q_OBJECT

    void ClearStore() {
        QSettings store(QStringLiteral("TEMP11"), QStringLiteral("MyToolbar1"));
        store.clear();
    }

private slots:
    void initTestCase() { PrepareUiTests(); }
    void init() { ClearStore(); }

    void settingItems_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("field"); // 0 questions, 1 limit, 2 delay, 3 upper, 4 lower
        QTest::addColumn<int>("value");
        const QList<std::tuple<const char *, int, int>> rows = {
            {"mon5", 0, 5},      {"mon10", 0, 10},     {"mon20", 0, 20},    {"mon50", 0, 50},
            {"mon100", 0, 100},  {"ote1", 1, 1},       {"ote5", 1, 5},      {"ote10", 1, 10},
            {"ote20", 1, 20},    {"oteNo", 1, 999},    {"soku1", 2, 0},     {"soku2", 2, 2},
            {"soku3", 2, 4},     {"soku4", 2, 6},      {"soku5", 2, 8},     {"kamikana", 3, 2},
            {"kamiKanji", 3, 0}, {"shimoKanji", 4, 0}, {"shimoKana", 4, 2},
        };
        for (const auto &[item, field, value] : rows) {
            QTest::newRow(item) << QString::fromLatin1(item) << field << value;
        }
    }

    void settingItems() {
        QFETCH(QString, item);
        QFETCH(int, field);
        QFETCH(int, value);
        InTemporaryFolder folder;
        UiFixture f;
        Settings &s = f.program->settings;
        s.questionCount = s.faultLimit = s.revealDelay = 77;
        s.upperTextMode = s.lowerTextMode = 5;
        f.program->GameOpen();
        f.Item(item)->trigger();
        const std::array<int, 5> fields = {s.questionCount, s.faultLimit, s.revealDelay,
                                           s.upperTextMode, s.lowerTextMode};
        QCOMPARE(fields[field], value);
        QVERIFY(!f.Item(item)->isChecked());
        // Only the text modes close the board.
        QCOMPARE(f.Board().isVisible(), field < 3);
    }

    void kanaCardsAfterTheMenu() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        f.Item("shimoKanji")->trigger();
        f.Item("gameOpen")->trigger();
        const int poem = f.game().currentPoem() - 1;
        QCOMPARE(f.BoardText(QStringLiteral("Label0%1").arg(f.RightCard())),
                 Game::CardOrder(f.program->catalogue.Text(poem, kLowerKanji)));
        f.Item("shimoKana")->trigger();
        QVERIFY(!f.Board().isVisible());
        f.Item("gameOpen")->trigger();
        QCOMPARE(
            f.BoardText(QStringLiteral("Label0%1").arg(f.RightCard())),
            Game::CardOrder(f.program->catalogue.Text(f.game().currentPoem() - 1, kLowerKana)));
    }

    void saveAndRestoreThroughTheMenus() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("mon20")->trigger();
        f.Item("kamikana")->trigger();
        f.Item("mnuseki")->trigger();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("20,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("2,2\r\n"));
        f.Item("mnushokise")->trigger();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        QCOMPARE(f.dialogs.texts(),
                 (QStringList{"条件設定を保存しました。", "初期設定に戻しました。"}));
        QCOMPARE(f.program->settings, Settings());
    }

    void toolbarButtonsRunTheirItems() {
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        QToolBar *bar = w.Toolbar();
        QCOMPARE(w.Arrangement(), MainWindow::BuiltInArrangement());
        QStringList tips;
        for (QAction *action : bar->actions()) {
            tips.append(action->isSeparator() ? QStringLiteral("-") : action->toolTip());
        }
        QCOMPARE(tips, (QStringList{"ゲーム開始", "ゲーム終了", "-", "成績表示", "成績初期化", "-",
                                    "タワユ一覧", "ヘルプ", "-"}));
        const auto press = [&](const char *key) { w.findChild<QAction *>(key)->trigger(); };
        press("toku01");
        QVERIFY(f.Board().isVisible());
        press("toku02");
        QVERIFY(!f.Board().isVisible());
        press("toku04");
        QVERIFY(f.program->RecordsView()->isVisible());
        QFile table(kRecordFile);
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write(QByteArray(35, ' '));
        table.close();
        press("toku05");
        QCOMPARE(ReadAll(kRecordFile), QByteArray()); // the same reset as 初期化(&R)
        press("toku07");
        QVERIFY(f.program->PoemList()->isVisible());
        QCOMPARE(f.program->PoemList()->Text(), QStringLiteral("ichirun.txtがありません。"));
        press("toku08");
        QCOMPARE(f.program->Help()->CurrentPage(), QStringLiteral("index"));
    }

    void hideAndShowTheToolbar() {
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        QVERIFY(f.Item("mnutov")->isChecked() && f.Item("mnutoc")->isEnabled());
        f.Item("mnutov")->trigger();
        QVERIFY(w.Toolbar()->isHidden());
        QVERIFY(!f.Item("mnutov")->isChecked());
        QVERIFY(!f.Item("mnutoc")->isEnabled());
        QCOMPARE(w.frameGeometry().height(), Px(kFrameHeightWithoutToolbar));
        f.Item("mnutov")->trigger();
        QVERIFY(!w.Toolbar()->isHidden());
        QVERIFY(f.Item("mnutov")->isChecked());
        QVERIFY(f.Item("mnutoc")->isEnabled());
        QCOMPARE(w.frameGeometry().height(), Px(kFrameHeightWithToolbar));
    }

    void arrangementSurvivesARestart() {
        {
            InTemporaryFolder folder;
            UiFixture f;
            MainWindow &w = *f.program->Frame();
            ToolbarDialog dialog(w);
            QObject::connect(&dialog, &ToolbarDialog::changed, &w, &MainWindow::SaveArrangement);
            auto *current = dialog.findChild<QListWidget *>("currentButtons");
            current->setCurrentRow(0); // ゲーム開始
            dialog.RemoveSelected();
            current->setCurrentRow(3); // 成績初期化 moves up
            dialog.MoveSelected(-1);
            QCOMPARE(w.Arrangement(), (QStringList{"toku02", "toku03", "toku05", "toku04", "toku06",
                                                   "toku07", "toku08", "toku09"}));
            auto *available = dialog.findChild<QListWidget *>("availableButtons");
            QCOMPARE(available->count(), 1);
        }
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&w, &activate);
        QCOMPARE(w.Arrangement().first(), QStringLiteral("toku02"));
        QCOMPARE(w.Arrangement().size(), 8);
    }

    void damagedArrangementIsIgnored_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("unknown key") << QVariant(QStringLiteral("toku01,toku99"));
        QTest::newRow("twice") << QVariant(QStringLiteral("toku01,toku01"));
        QTest::newRow("not text") << QVariant(42);
        QTest::newRow("too many") << QVariant(
            QStringLiteral("toku01,toku02,toku03,toku04,toku05,toku06,toku07,"
                           "toku08,toku09,toku01"));
    }

    void damagedArrangementIsIgnored() {
        QFETCH(QVariant, stored);
        InTemporaryFolder folder;
        {
            QSettings store(QStringLiteral("TEMP11"), QStringLiteral("MyToolbar1"));
            store.setValue(QStringLiteral("True11"), stored);
        }
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&w, &activate);
        QCOMPARE(w.Arrangement(), MainWindow::BuiltInArrangement());
    }

    void customiseDialogResets() {
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        UiFixture::OnModal([](QWidget *dialog) {
            auto *d = qobject_cast<ToolbarDialog *>(dialog);
            QVERIFY(d);
            d->findChild<QListWidget *>("currentButtons")->setCurrentRow(3);
            d->RemoveSelected();
            d->findChild<QListWidget *>("availableButtons")->setCurrentRow(0);
            d->findChild<QListWidget *>("currentButtons")->setCurrentRow(0);
            d->AddSelected();
            d->findChild<QPushButton *>("closeButton")->click();
        });
        f.Item("mnutoc")->trigger();
        QCOMPARE(w.Arrangement().mid(0, 3), (QStringList{"toku01", "toku04", "toku02"}));
        QSettings store(QStringLiteral("TEMP11"), QStringLiteral("MyToolbar1"));
        QCOMPARE(store.value("True11").toString(), w.Arrangement().join(u','));
        ToolbarDialog dialog(w);
        dialog.Reset();
        QCOMPARE(w.Arrangement(), MainWindow::BuiltInArrangement());
    }

    // Every button set the program uses, answered through the real box.
    void realMessageBoxes_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("press"); // a standard button, or 0 for Esc
        QTest::addColumn<int>("answer");
        const int ok = int(MessageButtons::Ok), okCancel = int(MessageButtons::OkCancel),
                  yesNo = int(MessageButtons::YesNo);
        QTest::newRow("OK: OK") << ok << int(QMessageBox::Ok) << int(MessageAnswer::Ok);
        QTest::newRow("OK: Esc") << ok << 0 << int(MessageAnswer::Ok);
        QTest::newRow("OK/Cancel: OK")
            << okCancel << int(QMessageBox::Ok) << int(MessageAnswer::Ok);
        QTest::newRow("OK/Cancel: Cancel")
            << okCancel << int(QMessageBox::Cancel) << int(MessageAnswer::Cancel);
        QTest::newRow("OK/Cancel: Esc") << okCancel << 0 << int(MessageAnswer::Cancel);
        QTest::newRow("Yes/No: Yes") << yesNo << int(QMessageBox::Yes) << int(MessageAnswer::Yes);
        QTest::newRow("Yes/No: No") << yesNo << int(QMessageBox::No) << int(MessageAnswer::No);
        QTest::newRow("Yes/No: Esc") << yesNo << 0 << int(MessageAnswer::No);
    }
    void realMessageBoxes() {
        QFETCH(int, buttons);
        QFETCH(int, press);
        QFETCH(int, answer);
        UiFixture::OnModal([press](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            if (press == 0) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                QTest::mouseClick(box->button(QMessageBox::StandardButton(press)), Qt::LeftButton);
            }
        });
        const MessageAnswer got = ShowMessageBox(
            nullptr, {QStringLiteral("質問"), kProgramTitle, MessageButtons(buttons)});
        QCOMPARE(int(got), answer);
    }

    void helpAndVersion() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("mnuhelp1")->trigger();
        HelpWindow *help = f.program->Help();
        QCOMPARE(help->CurrentPage(), QStringLiteral("using"));
        QVERIFY(help->isVisible());
        f.Item("mnuhelp0")->trigger();
        QCOMPARE(f.program->Help(), help);
        QCOMPARE(help->CurrentPage(), QStringLiteral("index"));
        QCOMPARE(help->windowTitle(), QStringLiteral("タワユ ヘルプ 目次"));
        f.Item("mnuver")->trigger();
        QCOMPARE(f.dialogs.shown.size(), 1);
        const Message &box = f.dialogs.shown[0];
        QCOMPARE(box.title, QStringLiteral(" バージョン情報"));
        const QStringList lines = box.text.split(u'\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("      タワユかるたとりゲーム"));
        QCOMPARE(lines[1], QStringLiteral("              「　ぬ　ぺ　」"));
        QCOMPARE(lines[2], QStringLiteral("                 Ver. 2.01"));
        QVERIFY(!box.text.contains(u'\r'));
        QVERIFY(box.systemModal && box.icon == MessageIcon::None &&
                box.buttons == MessageButtons::Ok);
        // Ending the program closes the help too.
        f.program->Frame()->close();
        QVERIFY(!help->isVisible());
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
