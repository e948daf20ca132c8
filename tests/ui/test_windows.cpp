// SPDX-License-Identifier: MIT
// The end of a game and the records windows: entry box, top ten, reset, printing.
#include "records/score_record.h"
#include "ui/records/record_entry_box.h"
#include "ui/records/records_window.h"
#include "ui_fixture.h"

#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>

using namespace nupew;
using namespace nupew::testing;

namespace {

void Register(QWidget *box, const QString &name) {
    auto *text = box->findChild<QLineEdit *>("nameField");
    QVERIFY(text->text().isEmpty());
    QCOMPARE(box->focusWidget(), text);
    text->insert(name); // typed text, as an input method commits it
    box->findChild<QPushButton *>("registerButton")->click();
}

QByteArray Rows(const QStringList &names) {
    QList<ScoreRecord> rows;
    for (int i = 0; i < names.size(); ++i) {
        rows.append({EncodeName(names[i]), 1.0f, qint16(i / 5), "-2001.01:01"});
    }
    return SerializeRecordFile({rows, {}});
}

QByteArray TenRows() {
    return Rows({"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9"});
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    // A result the full table refuses: the reason, the file as it was, and the table shown.
    void refusedResult() {
        InTemporaryFolder folder;
        WriteAll(kRecordFile, TenRows());
        UiFixture f;
        f.program->GameOpen();
        f.PlayGame([](QWidget *box) { Register(box, "x"); }, 3);
        QCOMPARE(f.dialogs.texts(), QStringList{"残念ながら、成績が悪くて登録できません！"});
        QCOMPARE(ReadAll(kRecordFile), TenRows());
        QVERIFY(f.program->RecordsView()->isVisible());
        // Its 閉じる starts the next game the one way every game starts: on
        // the board, shown again though it was closed meanwhile.
        f.Board().close();
        f.program->RecordsView()->findChild<QPushButton *>("closeButton")->click();
        QVERIFY(f.Board().isVisible());
        QCOMPARE(f.BoardText("questionNumber"), QStringLiteral("1"));
        QCOMPARE(f.game().questions().size(), size_t(1)); // a new game, dealt
    }

    // The entry box answers only its buttons and its popup: not Enter, not Esc,
    // not the title-bar close; right-clicks on its controls open no popup.
    void entryBoxAnswersOnlyItsButtons() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        bool stillOpen = false;
        QStringList popups;
        f.PlayGame([&](QWidget *box) {
            box->findChild<QLineEdit *>("nameField")->insert("typed");
            QTest::keyClick(box->findChild<QLineEdit *>("nameField"), Qt::Key_Return);
            QTest::keyClick(box, Qt::Key_Escape);
            QTest::keyClick(box->findChild<QPushButton *>("registerButton"), Qt::Key_Return);
            stillOpen = box->isVisible();
            auto *menu = box->findChild<QMenu *>("entryMenu");
            for (const char *control : {"registerButton", "declineButton", "nameField"}) {
                QTest::mouseRelease(box->findChild<QWidget *>(control), Qt::RightButton);
                if (menu->isVisible()) {
                    popups.append(control);
                    menu->hide();
                }
            }
            QTest::mouseRelease(box, Qt::RightButton, {}, QPoint(3, 3));
            if (menu->isVisible()) {
                popups.append("background");
                menu->hide();
            }
            box->close();
        });
        QVERIFY(stillOpen);
        QCOMPARE(popups, QStringList{"background"});
        QVERIFY(!QFile::exists(kRecordFile) && !f.program->RecordsView());
        QCOMPARE(f.BoardText("questionNumber"), QStringLiteral("5")); // kept until the next start
        // Its popup's 記録しない and its button 記録しない decline: a new game, nothing written.
        for (const char *decline : {"entryMenuDecline", "declineButton"}) {
            f.PressStart();
            f.PlayGame([decline](QWidget *box) {
                QVERIFY(box->findChild<QLineEdit *>("nameField")->text().isEmpty()); // a fresh box
                QAction *item = box->findChild<QAction *>(decline);
                item ? item->trigger() : box->findChild<QPushButton *>(decline)->click();
            });
            QCOMPARE(f.BoardText("questionNumber"), QStringLiteral("1"));
            QVERIFY(!QFile::exists(kRecordFile) && !f.program->RecordsView());
        }
    }

    // 成績初期化 from the window's button and from the toolbar: no question,
    // the file emptied, a fresh window.
    void resetFromEveryPlace() {
        InTemporaryFolder folder;
        UiFixture f;
        for (const bool button : {true, false}) {
            WriteAll(kRecordFile, TenRows());
            f.program->ViewRecords();
            QPointer<RecordsWindow> before = f.program->RecordsView();
            if (button) {
                before->findChild<QPushButton *>("resetButton")->click();
            } else {
                f.program->Frame()->findChild<QAction *>("resetRecordsTool")->trigger();
            }
            RecordsWindow *after = f.program->RecordsView();
            QVERIFY(after && after != before && after->isVisible());
            QVERIFY(after->Cell(1, 1).isEmpty());
            QCOMPARE(ReadAll(kRecordFile), QByteArray());
        }
        QVERIFY(f.dialogs.shown.isEmpty()); // no confirmation
    }

    void closingDuringAGame() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->GameOpen();
        f.PressStart();
        f.ClickCard(f.RightCard());
        f.PressStart();
        f.program->ViewRecords();
        f.program->RecordsView()->close(); // the title-bar close only closes
        QCOMPARE(f.game().questionNumber(), qint16(2));
        QVERIFY(f.game().questionActive());
        f.program->ViewRecords();
        RecordsWindow *records = f.program->RecordsView();
        f.Item("viewRecords")->trigger(); // opening it again only raises it
        QCOMPARE(f.program->RecordsView(), records);
        QTest::keyClick(records, Qt::Key_Escape); // 閉じる abandons the game
        QCOMPARE(f.game().questionNumber(), qint16(1));
        QVERIFY(!f.game().questionActive());
    }

    // Names are shown as stored, never as markup; borders are black whatever
    // the text colour; right-clicks on the buttons open no popup.
    void recordsWindowShowsNamesAsStored() {
        InTemporaryFolder folder;
        WriteAll(kRecordFile, Rows({"<b>WW</b>", "WW"}));
        UiFixture f;
        f.program->ViewRecords();
        RecordsWindow *records = f.program->RecordsView();
        QCOMPARE(records->Cell(1, 1), QStringLiteral("<b>WW</b>         "));
        const auto shot = [records](const char *cell) {
            return records->findChild<QLabel *>(cell)->grab().toImage();
        };
        const auto ink = [&](const char *cell) {
            const QImage image = shot(cell);
            return Pixels(image, image.rect().adjusted(2, 2, -3, -3), IsDark);
        };
        QVERIFY2(ink("name1") > 2 * ink("name2"), "the tags are drawn as text");
        for (const char *cell : {"rank1", "faults0", "name3"}) {
            QCOMPARE(QColor(shot(cell).pixel(0, shot(cell).height() / 2)), QColor(Qt::black));
        }
        auto *menu = records->findChild<QMenu *>("recordsMenu");
        QTest::mouseRelease(records->findChild<QPushButton *>("closeButton"), Qt::RightButton);
        QVERIFY(!menu->isVisible());
        QTest::mouseRelease(records->findChild<QLabel *>("name4"), Qt::RightButton);
        QVERIFY(menu->isVisible());
        menu->hide();
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
        f.Item("printRecords")->trigger();
        QVERIFY(f.dialogs.shown.isEmpty());
        // Back with its buttons, on the grey of a printed window.
        QVERIFY(!records->findChild<QPushButton *>("closeButton")->isHidden());
        QCOMPARE(records->palette().color(QPalette::Window), QColor(128, 128, 128));
        const QByteArray bytes = ReadAll(pdf);
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftoppm.isEmpty()) {
            QSKIP("pdftoppm is not installed");
        }
        QCOMPARE(QProcess::execute(pdftoppm, {"-r", "50", "-png", "-singlefile", pdf, "page"}), 0);
        const QImage page("page.png");
        const int dark = Pixels(page, QRect(0, 0, page.width(), page.height() / 2), IsDark);
        QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
    }

    void printCancelledOrFailing() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("printRecords")->trigger(); // the printer setup is cancelled
        QVERIFY(!f.program->RecordsView());
        QVERIFY(f.dialogs.shown.isEmpty());
        // A printer that cannot be opened: the message, and the window restored.
        f.printerSetup = [](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName("/nonexistent-folder/x.pdf");
            return true;
        };
        f.Item("printRecords")->trigger();
        QCOMPARE(f.dialogs.texts(), QStringList{"記録の印刷ができません。"});
        RecordsWindow *records = f.program->RecordsView();
        QVERIFY(records && !records->isVisible()); // loaded hidden by the print
        QVERIFY(!records->findChild<QPushButton *>("closeButton")->isHidden());
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
