// SPDX-License-Identifier: MIT
// The main window: menu items, settings, the toolbar and its arrangement, help.
#include "core/safe_files.h"
#include "ui/records/record_entry_box.h"
#include "ui/records/records_window.h"
#include "ui/shell/preferences.h"
#include "ui/shell/toolbar_dialog.h"
#include "ui/statistics/statistics_window.h"
#include "ui/viewers/help_window.h"
#include "ui/viewers/poem_list_window.h"
#include "ui_fixture.h"

#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>

using namespace nupew;
using namespace nupew::testing;

namespace {

// Where the arrangement was kept before it joined the player's own options.
const QString kOldStoreOrganization = QStringLiteral("TEMP11");
const QString kOldStoreApplication = QStringLiteral("MyToolbar1");

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
    void init() {
        QSettings(kOldStoreOrganization, kOldStoreApplication).clear();
        ForgetPreferences();
    }

    // Each item sets its field; only the text modes close the board, and the
    // next game deals in the new mode.
    void settingItems() {
        // The item, the field it sets (0 questions, 1 limit, 2 delay, 3 upper, 4 lower), the value.
        const QList<std::tuple<QString, int, int>> items = {{"noFaultLimit", 1, 999},
                                                            {"revealFast", 2, 0},
                                                            {"upperKana", 3, 2},
                                                            {"lowerKanji", 4, 0}};
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
        f.Item("newGame")->trigger();
        QCOMPARE(f.BoardText(QStringLiteral("card%1").arg(f.RightCard())),
                 Game::CardOrder(f.program->catalogue.Text(*f.game().currentPoem(), kLowerKanji)));
    }

    void saveAndRestoreThroughTheMenus() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("questions20")->trigger();
        f.Item("saveSettings")->trigger();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("20,8,8,4\r\n"));
        f.Item("restoreDefaults")->trigger();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(f.program->settings, Settings());
        QCOMPARE(f.dialogs.shown.size(), 2);
    }

    void toolbarButtonsRunTheirItems() {
        InTemporaryFolder folder;
        UiFixture f;
        MainWindow &w = *f.program->Frame();
        // The buttons run the rows' handlers, as the menu items do.
        w.findChild<QAction *>("newGameTool")->trigger();
        QVERIFY(f.Board().isVisible());
        w.findChild<QAction *>("closeBoardTool")->trigger();
        QVERIFY(!f.Board().isVisible());
        // Hiding the toolbar disables its arrangement and shrinks the window.
        f.Item("showToolbar")->trigger();
        QVERIFY(w.Toolbar()->isHidden() && !f.Item("customiseToolbar")->isEnabled());
        QCOMPARE(w.frameGeometry().height(), Px(kFrameHeightWithoutToolbar));
        f.Item("showToolbar")->trigger();
        QVERIFY(!w.Toolbar()->isHidden() && f.Item("showToolbar")->isChecked());
        QCOMPARE(w.frameGeometry().height(), Px(kFrameHeightWithToolbar));
        // The keyboard reaches the buttons: Tab to ゲーム開始, Space presses it.
        f.Board().close();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QToolButton *focused = nullptr;
        for (int i = 0; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w,
                            Qt::Key_Tab);
            focused = qobject_cast<QToolButton *>(QApplication::focusWidget());
            if (focused && focused->defaultAction()->objectName() == "newGameTool") {
                break;
            }
        }
        QVERIFY(focused && focused->parent() == w.Toolbar());
        QCOMPARE(focused->defaultAction()->objectName(), QStringLiteral("newGameTool"));
        QTest::keyClick(focused, Qt::Key_Space);
        QTRY_VERIFY(f.Board().isVisible());
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
                // ゲーム開始, and the match's and the statistics' buttons, which are
                // not on the toolbar at first.
                QCOMPARE(dialog->findChild<QListWidget *>("availableButtons")->count(), 3);
                d->findChild<QPushButton *>("closeButton")->click();
            });
            f.Item("customiseToolbar")->trigger();
        }
        InTemporaryFolder folder;
        QCOMPARE(ArrangementAtStart(),
                 (QStringList{"closeBoardTool", "toolSeparator1", "resetRecordsTool",
                              "viewRecordsTool", "toolSeparator2", "showPoemListTool",
                              "helpContentsTool", "toolSeparator3"}));
        // The dialog's reset brings back the built-in arrangement.
        UiFixture f;
        ToolbarDialog dialog(*f.program->Frame());
        dialog.Reset();
        QCOMPARE(f.program->Frame()->Arrangement(), MainWindow::BuiltInArrangement());
    }

    // An arrangement of the old store is read once and kept among our own
    // options; a damaged one, there or in ours, is ignored.
    void oldArrangementMovesOnceAndDamageIsIgnored() {
        InTemporaryFolder folder;
        QSettings old(kOldStoreOrganization, kOldStoreApplication);
        old.setValue("True11", "toku10,toku02,toku01");
        old.sync();
        const QStringList moved = {"showStatisticsTool", "closeBoardTool", "newGameTool"};
        QCOMPARE(ArrangementAtStart(), moved);
        old.setValue("True11", "toku01");
        old.sync();
        QCOMPARE(ArrangementAtStart(), moved); // ours from now on
        for (const QVariant &stored :
             {QVariant("toku01,toku99"), QVariant("toku01,toku01"), QVariant(42)}) {
            ForgetPreferences();
            old.setValue("True11", stored);
            old.sync();
            QCOMPARE(ArrangementAtStart(), MainWindow::BuiltInArrangement());
        }
        QSettings ours(QStringLiteral("nupew"), QStringLiteral("nupew"));
        ours.setValue("toolbar/arrangement", "newGameTool,newGameTool");
        ours.sync();
        QCOMPARE(ArrangementAtStart(), MainWindow::BuiltInArrangement());
    }

    // The texts follow the system's locale: Japanese, the program's own, under
    // the tests' C locale; English when run again with LC_ALL=en_US.UTF-8
    // (test_menus_english). The poems are Japanese in both.
    // The per-user options file keeps what it does not know: a value of
    // another type gives way to the default (said in the log) and stays as
    // it is when another option is set; a file too large for options is
    // refused whole, said once, and never written.
    void optionsFileKeepsWhatItDoesNotKnow() {
        InTemporaryFolder folder;
        const QString path =
            SettingsFilePath(Preferences::kOrganization, Preferences::kApplication);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const QByteArray theirs = "[General]\nsomeone=else\n\n[board]\nshowDecisive=1234\n\n"
                                  "[voice]\nreadAloud=@Variant(\\0\\0\\0\\x7f\\0\\0)\n"
                                  "recited=true\n";
        QVERIFY(WriteAll(path, theirs));
        {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("board/showDecisive.*1234"));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("voice/readAloud.*@Variant"));
            UiFixture f;
            // Each option's item where its row places it.
            QStringList display;
            for (QAction *action :
                 f.program->Frame()->findChild<QMenu *>("displayMenu")->actions()) {
                display << action->objectName();
            }
            QCOMPARE(display, (QStringList{"upperVerseMenu", "displaySeparator1", "lowerVerseMenu",
                                           "displaySeparator2", "showDecisive", "readAloudMenu"}));
            QVERIFY(!f.Item("showDecisive")->isChecked() && !f.program->ShowsDecisive());
            f.Item("showDecisive")->trigger(); // the player sets it: now it is ours
            QVERIFY(f.Item("showDecisive")->isChecked());
        }
        QByteArray expected = theirs;
        expected.replace("showDecisive=1234", "showDecisive=true");
        QCOMPARE(ReadAll(path), expected);

        const QByteArray large(int(OptionsFile::kMaxBytes) + 1, '#');
        QVERIFY(WriteAll(path, large));
        UiFixture f;
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY2(f.dialogs.shown[0].text.contains(QStringLiteral("MiB")),
                 qPrintable(f.dialogs.shown[0].text));
        f.Item("showDecisive")->trigger();
        QVERIFY(f.Item("showDecisive")->isChecked()); // for this run
        QCOMPARE(ReadAll(path), large);
        QCOMPARE(f.dialogs.shown.size(), 1);
    }

    void textsFollowTheSystemLocale() {
        const bool english = QLocale::system().language() == QLocale::English;
        QCOMPARE(SpeaksEnglish(QLocale::system()), english);
        QVERIFY(!SpeaksEnglish(QLocale(QLocale::Japanese)) &&
                SpeaksEnglish(QLocale(QLocale::German)));
        const auto says = [english](const QString &text, const char *japanese, const char *en) {
            QCOMPARE(text, QString::fromUtf8(english ? en : japanese));
        };
        QObject translations;
        InstallTranslations(&translations);
        InTemporaryFolder folder;
        UiFixture f;
        says(f.program->Frame()->findChild<QMenu *>("gameMenu")->title(), "ゲーム(&S)", "&Game");
        says(f.Item("showDecisive")->text(), "決まり字を表示(&K)", "Show &decisive characters");
        f.Item("saveSettings")->trigger(); // a box
        says(f.dialogs.shown.last().text, "条件設定を保存しました。", "The settings were saved.");
        UiFixture::OnModal([&says](QWidget *dialog) { // a dialog
            says(dialog->windowTitle(), "出題範囲", "Practice");
            says(dialog->findChild<QRadioButton *>("kind1")->text(), "歌番号で選ぶ",
                 "By poem number");
            dialog->close();
        });
        f.Item("choosePractice")->trigger();
        f.Item("showStatistics")->trigger();
        StatisticsWindow *statistics = f.program->Statistics();
        says(statistics->windowTitle(), "成績の分析", "Analysis");
        says(statistics->Model().headerData(4, Qt::Horizontal).toString(), "平均タイム", "Average");
        f.program->GameOpen();
        f.PressStart();
        says(f.BoardText("message"), "上の句に続く下の句をできるだけ早く選んでください。",
             "Pick the lower verse that completes the upper verse, as fast as you can.");
        // The entry box's buttons keep their whole caption in either language.
        RecordEntryBox entry(QStringLiteral("1.23"), QStringLiteral("0"));
        for (QPushButton *button : entry.findChildren<QPushButton *>()) {
            QString text = button->text();
            text.remove(u'&');
            QVERIFY2(button->fontMetrics().horizontalAdvance(text) <= button->width() - 8,
                     qPrintable(text));
        }
        const QString card = f.BoardText(QStringLiteral("card%1").arg(f.RightCard()));
        QCOMPARE(card,
                 Game::CardOrder(f.program->catalogue.Text(*f.game().currentPoem(), kLowerKana)));
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
