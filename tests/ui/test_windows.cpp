// SPDX-License-Identifier: MIT
// The end of a game and the records windows: entry box, top ten, reset, printing.
#include "records/score_record.h"
#include "ui/record_entry_box.h"
#include "ui/records_window.h"
#include "ui_fixture.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

using namespace nupew;
using namespace nupew::testing;

namespace {

// Plays a whole game of five questions with the reveal at its fastest; `atBox`
// runs on the record entry box.
void PlayGame(UiFixture &f, const std::function<void(QWidget *)> &atBox, int faults = 0) {
    f.program->settings.revealDelay = 0;
    for (int question = 1; question <= 5; ++question) {
        f.PressStart();
        if (question <= faults) {
            f.ClickCard(f.WrongCard());
        }
        f.clock.now += 3.0f;
        if (question == 5) {
            UiFixture::OnModal(atBox);
        }
        f.ClickCard(f.RightCard());
    }
}

void Register(QWidget *box, const QString &name) {
    auto *text = box->findChild<QLineEdit *>("Text1");
    QVERIFY(text->text().isEmpty());
    QCOMPARE(box->focusWidget(), text);
    text->insert(name); // typed text, as an input method commits it
    box->findChild<QPushButton *>("Command1")->click();
}

QByteArray TenRows() {
    QList<ScoreRecord> rows;
    for (int i = 0; i < 10; ++i) {
        rows.append({EncodeName(QStringLiteral("p%1").arg(i)), 1.0f, qint16(i / 5), "-2001.01:01"});
    }
    return SerializeRecordFile({rows, {}});
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    void registerAfterAGame() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        PlayGame(
            f, [](QWidget *box) { Register(box, QStringLiteral("山田はなこ")); }, 2);
        RecordsWindow *records = f.program->RecordsView();
        QVERIFY(records && records->isVisible());
        QCOMPARE(records->Cell(1, 1).trimmed(), QStringLiteral("山田はなこ"));
        QCOMPARE(records->Cell(2, 1), QStringLiteral("2"));
        QCOMPARE(records->Cell(3, 1), QStringLiteral("3.00"));
        QCOMPARE(records->Cell(4, 1), QStringLiteral("-2026.20:15"));
        QVERIFY(records->Cell(1, 2).isEmpty());
        QCOMPARE(ReadAll(kRecordFile).size(), 35);
        QVERIFY(!f.game().result().registered); // the game's bookkeeping ended

        // A second game: a fresh, empty box, and the new row sorted in.
        f.PressStart();
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("1"));
        f.game().StartQuestion();
        PlayGame(f, [](QWidget *box) { Register(box, QStringLiteral("Taro")); });
        QCOMPARE(records->Cell(1, 1).trimmed(), QStringLiteral("Taro"));
        QCOMPARE(ReadAll(kRecordFile).size(), 70);
        // 閉じる starts a new game on the board.
        records->findChild<QPushButton *>("Command1")->click();
        QVERIFY(!records->isVisible());
        QCOMPARE(f.game().pickedCard(), qint16(0));
    }

    void refusedResultsStillShowTheTable_data() {
        QTest::addColumn<int>("faults");
        QTest::addColumn<QString>("message");
        QTest::newRow("more faults") << 3 << "残念ながら、成績が悪くて登録できません！";
        QTest::newRow("equal faults, slower") << 1 << "非常に惜しいです。もう少しで登録できます。";
    }

    void refusedResultsStillShowTheTable() {
        QFETCH(int, faults);
        QFETCH(QString, message);
        InTemporaryFolder folder;
        WriteAll(kRecordFile, TenRows());
        UiFixture f;
        f.program->GameOpen();
        PlayGame(
            f, [](QWidget *box) { Register(box, QStringLiteral("x")); }, faults);
        QCOMPARE(f.dialogs.texts(), QStringList{message});
        QCOMPARE(ReadAll(kRecordFile), TenRows());
        QVERIFY(f.program->RecordsView()->isVisible());
        QCOMPARE(f.program->RecordsView()->Cell(1, 10).trimmed(), QStringLiteral("p9"));
    }

    void declineKeepsTheFile() {
        InTemporaryFolder folder;
        WriteAll(kRecordFile, TenRows());
        UiFixture f;
        f.program->GameOpen();
        PlayGame(
            f, [](QWidget *box) { box->findChild<QPushButton *>("Command2")->click(); }, 1);
        QCOMPARE(ReadAll(kRecordFile), TenRows());
        QVERIFY(!f.program->RecordsView());
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("1"));
        QCOMPARE(f.BoardText("Label48"), QStringLiteral("0"));
        QCOMPARE(f.game().pickedCard(), qint16(0));
    }

    void entryBoxIgnoresEnterAndEscape() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        bool stillOpen = false;
        PlayGame(f, [&](QWidget *box) {
            QTest::keyClick(box->findChild<QLineEdit *>("Text1"), Qt::Key_Return);
            QTest::keyClick(box, Qt::Key_Escape);
            QTest::keyClick(box->findChild<QPushButton *>("Command1"), Qt::Key_Return);
            stillOpen = box->isVisible();
            auto *menu = box->findChild<QMenu *>("MENU_2");
            QCOMPARE(menu->title(), QStringLiteral("ポップアップ"));
            QCOMPARE(menu->actions().size(), 2);
            // The title-bar close runs neither action.
            box->close();
        });
        QVERIFY(stillOpen);
        QVERIFY(!QFile::exists(kRecordFile));
        QVERIFY(!f.program->RecordsView());
        QCOMPARE(f.game().faultCount(), qint16(0));
        // The board keeps the finished game until the next start.
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("5"));
    }

    void entryBoxPopupDeclines() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        PlayGame(f, [](QWidget *box) { box->findChild<QAction *>("MENU_22")->trigger(); });
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("1"));
        QVERIFY(!QFile::exists(kRecordFile));
    }

    void recordsWindowFromTheMenu() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("mnumil")->trigger();
        RecordsWindow *records = f.program->RecordsView();
        QVERIFY(records->isVisible());
        QCOMPARE(records->windowTitle(), QStringLiteral("成績優秀者"));
        QCOMPARE(ReadAll(kRecordFile), QByteArray());
        QCOMPARE(records->Cell(1, 0), QStringLiteral("氏　　名"));
        QCOMPARE(records->Cell(3, 0), QStringLiteral("平均タイム（秒)"));
        QCOMPARE(records->Cell(5, 1), QStringLiteral("１"));
        QCOMPARE(records->Cell(5, 9), QStringLiteral("９"));
        QCOMPARE(records->Cell(5, 10), QStringLiteral("10"));
        for (int row = 1; row <= 10; ++row) {
            QVERIFY(records->Cell(1, row).isEmpty());
        }
        // Opening again only raises it.
        f.Item("mnumil")->trigger();
        QCOMPARE(f.program->RecordsView(), records);
    }

    void resetFromEveryPlace_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("button") << "Command2";
        QTest::newRow("popup") << "MENU_32";
        QTest::newRow("menu") << "mnushoki";
        QTest::newRow("toolbar") << "toku05";
    }

    void resetFromEveryPlace() {
        QFETCH(QString, where);
        InTemporaryFolder folder;
        WriteAll(kRecordFile, TenRows());
        UiFixture f;
        f.program->ViewRecords();
        QPointer<RecordsWindow> before = f.program->RecordsView();
        QCOMPARE(before->Cell(1, 1).trimmed(), QStringLiteral("p0"));
        if (where == "Command2") {
            before->findChild<QPushButton *>(where)->click();
        } else if (where == "MENU_32") {
            before->findChild<QAction *>(where)->trigger();
        } else {
            f.program->Frame()->findChild<QAction *>(where)->trigger();
        }
        RecordsWindow *after = f.program->RecordsView();
        QVERIFY(after && after != before);
        QVERIFY(after->isVisible());
        QVERIFY(after->Cell(1, 1).isEmpty());
        QCOMPARE(ReadAll(kRecordFile), QByteArray());
        QVERIFY(f.dialogs.shown.isEmpty()); // no confirmation
    }

    void closingDuringAGame() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        f.PressStart();
        f.ClickCard(f.RightCard());
        f.PressStart();
        QCOMPARE(f.game().questionNumber(), qint16(2));
        f.program->ViewRecords();
        f.program->RecordsView()->close(); // the title-bar close only closes
        QCOMPARE(f.game().questionNumber(), qint16(2));
        QVERIFY(f.game().questionActive());
        f.program->ViewRecords();
        QTest::keyClick(f.program->RecordsView(), Qt::Key_Escape); // 閉じる abandons the game
        QCOMPARE(f.game().questionNumber(), qint16(1));
        QVERIFY(!f.game().questionActive());
        QCOMPARE(f.BoardText("Label47"), QStringLiteral("1"));
    }

    // Names are shown as stored, never as markup; borders are black whatever
    // the text colour; right-clicks on the buttons open no popup.
    void recordsWindowShowsNamesAsStored() {
        InTemporaryFolder folder;
        QList<ScoreRecord> rows;
        rows.append({EncodeName(QStringLiteral("<b>WW</b>")), 1.0f, 0, "-2001.01:01"});
        rows.append({EncodeName(QStringLiteral("WW")), 2.0f, 0, "-2001.01:01"});
        WriteAll(kRecordFile, SerializeRecordFile({rows, {}}));
        UiFixture f;
        f.program->ViewRecords();
        RecordsWindow *records = f.program->RecordsView();
        QCOMPARE(records->Cell(1, 1), QStringLiteral("<b>WW</b>         "));
        const auto inkColumns = [records](const QString &cell) {
            const QImage image = records->findChild<QLabel *>(cell)->grab().toImage();
            int columns = 0;
            for (int x = 2; x < image.width() - 2; ++x) {
                bool ink = false;
                for (int y = 2; y < image.height() - 2; ++y) {
                    ink = ink || qGray(image.pixel(x, y)) < 100;
                }
                columns += ink;
            }
            return columns;
        };
        QVERIFY2(inkColumns("Label1(1)") > 2 * inkColumns("Label1(2)"),
                 "the tags are drawn as text");
        for (const char *cell : {"Label5(1)", "Label2(0)", "Label1(3)"}) {
            const QImage image = records->findChild<QLabel *>(cell)->grab().toImage();
            QCOMPARE(QColor(image.pixel(0, image.height() / 2)), QColor(Qt::black));
        }
        auto *menu = records->findChild<QMenu *>("MENU_3");
        for (const char *button : {"Command1", "Command2"}) {
            QTest::mouseRelease(records->findChild<QPushButton *>(button), Qt::RightButton);
            QVERIFY2(!menu->isVisible(), button);
        }
        QTest::mouseRelease(records->findChild<QLabel *>("Label1(4)"), Qt::RightButton);
        QVERIFY(menu->isVisible());
        menu->hide();
    }

    void entryBoxButtonsOpenNoPopup() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        QStringList opened;
        PlayGame(f, [&](QWidget *box) {
            auto *menu = box->findChild<QMenu *>("MENU_2");
            for (const char *control : {"Command1", "Command2", "Text1"}) {
                QTest::mouseRelease(box->findChild<QWidget *>(control), Qt::RightButton);
                if (menu->isVisible()) {
                    opened.append(control);
                    menu->hide();
                }
            }
            QTest::mouseRelease(box, Qt::RightButton, {}, QPoint(3, 3));
            if (menu->isVisible()) {
                opened.append("background");
                menu->hide();
            }
            box->close();
        });
        QCOMPARE(opened, QStringList{"background"});
    }

    void printToPdf() {
        InTemporaryFolder folder;
        WriteAll(kRecordFile, TenRows());
        UiFixture f;
        const QString pdf = QDir::current().absoluteFilePath("table.pdf");
        f.printerSetup = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        f.program->ViewRecords();
        RecordsWindow *records = f.program->RecordsView();
        f.Item("mnuKiroku")->trigger();
        QVERIFY(f.dialogs.shown.isEmpty());
        QVERIFY(f.program->dialogCancelIsFailure);
        // Back with its buttons, on the grey of a printed window.
        QVERIFY(!records->findChild<QPushButton *>("Command1")->isHidden());
        QVERIFY(!records->findChild<QPushButton *>("Command2")->isHidden());
        QCOMPARE(records->palette().color(QPalette::Window), QColor(128, 128, 128));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftoppm.isEmpty()) {
            QSKIP("pdftoppm is not installed");
        }
        QCOMPARE(QProcess::execute(pdftoppm, {"-r", "50", "-png", "-singlefile", pdf, "page"}), 0);
        const QImage page("page.png");
        QVERIFY(!page.isNull());
        int dark = 0;
        for (int y = 0; y < page.height() / 2; ++y) {
            for (int x = 0; x < page.width(); ++x) {
                dark += qGray(page.pixel(x, y)) < 128;
            }
        }
        QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
    }

    void printWithoutOpenWindowAndCancel() {
        InTemporaryFolder folder;
        UiFixture f;
        int asked = 0;
        f.printerSetup = [&](QPrinter &) {
            ++asked;
            return false;
        };
        f.Item("mnuKiroku")->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(!f.program->RecordsView());
        QVERIFY(f.dialogs.shown.isEmpty());
        // A printer that cannot be opened: the message, and the window restored.
        f.printerSetup = [](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName("/nonexistent-folder/x.pdf");
            return true;
        };
        f.Item("mnuKiroku")->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{"記録の印刷ができません。"});
        RecordsWindow *records = f.program->RecordsView();
        QVERIFY(records && !records->isVisible()); // loaded hidden by the print
        QVERIFY(!records->findChild<QPushButton *>("Command1")->isHidden());
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
