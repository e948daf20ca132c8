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

    void settingItems_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("field"); // 0 questions, 1 limit, 2 delay, 3 upper, 4 lower
        QTest::addColumn<int>("value");
        const QList<std::tuple<const char *, int, int>> rows = {
            {"oteNo", 1, 999},
            {"soku1", 2, 0},
            {"kamikana", 3, 2},
            {"shimoKanji", 4, 0},
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
        // Only the text modes close the board; the next game deals in the new mode.
        QCOMPARE(f.Board().isVisible(), field < 3);
        if (field == 4) {
            f.Item("gameOpen")->trigger();
            QCOMPARE(f.BoardText(QStringLiteral("Label0%1").arg(f.RightCard())),
                     Game::CardOrder(
                         f.program->catalogue.Text(f.game().currentPoem() - 1, kLowerKanji)));
        }
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
        QCOMPARE(f.dialogs.texts(),
                 (QStringList{"条件設定を保存しました。", "初期設定に戻しました。"}));
        QCOMPARE(f.program->settings, Settings());
    }

    void toolbarButtonsRunTheirItems() {
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        const auto press = [&](const char *key) { w.findChild<QAction *>(key)->trigger(); };
        press("toku01");
        QVERIFY(f.Board().isVisible());
        press("toku02");
        QVERIFY(!f.Board().isVisible());
        press("toku04");
        QVERIFY(f.program->RecordsView()->isVisible());
        press("toku07");
        QVERIFY(f.program->PoemList()->isVisible());
        press("toku08");
        QCOMPARE(f.program->Help()->CurrentPage(), QStringLiteral("index"));
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
            MainWindow &w = *f.program->Frame();
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
            QCOMPARE(w.Arrangement(), (QStringList{"toku02", "toku03", "toku05", "toku04", "toku06",
                                                   "toku07", "toku08", "toku09"}));
        }
        InTemporaryFolder folder;
        const QStringList restored = ArrangementAtStart();
        QCOMPARE(restored.first(), QStringLiteral("toku02"));
        QCOMPARE(restored.size(), 8);
        // The dialog's reset brings back the built-in arrangement.
        UiFixture f;
        ToolbarDialog dialog(*f.program->Frame());
        dialog.Reset();
        QCOMPARE(f.program->Frame()->Arrangement(), MainWindow::BuiltInArrangement());
    }

    void damagedArrangementIsIgnored_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("unknown key") << QVariant(QStringLiteral("toku01,toku99"));
        QTest::newRow("twice") << QVariant(QStringLiteral("toku01,toku01"));
        QTest::newRow("not text") << QVariant(42);
    }

    void damagedArrangementIsIgnored() {
        QFETCH(QVariant, stored);
        InTemporaryFolder folder;
        QSettings(kStoreOrganization, kStoreApplication).setValue(QStringLiteral("True11"), stored);
        QCOMPARE(ArrangementAtStart(), MainWindow::BuiltInArrangement());
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
        QTest::newRow("OK/Cancel: Esc") << okCancel << 0 << int(MessageAnswer::Cancel);
        QTest::newRow("Yes/No: Yes") << yesNo << int(QMessageBox::Yes) << int(MessageAnswer::Yes);
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

    void helpClosesWithTheProgram() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("mnuhelp1")->trigger();
        HelpWindow *help = f.program->Help();
        QCOMPARE(help->CurrentPage(), QStringLiteral("using"));
        f.Item("mnuhelp0")->trigger();
        QCOMPARE(f.program->Help(), help);
        QCOMPARE(help->CurrentPage(), QStringLiteral("index"));
        f.program->Frame()->close();
        QVERIFY(!help->isVisible());
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
