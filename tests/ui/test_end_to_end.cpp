// SPDX-License-Identifier: MIT
// The whole program with its real clock, generator and timers: a game of five
// questions played through the windows, a full-width name registered, and the
// bytes of the record file and the records window checked.
#include "core/file_names.h"
#include "records/score_record.h"
#include "ui/records_window.h"
#include "ui_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QSettings>

using namespace nupew;
using namespace nupew::testing;

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

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
        QVERIFY(!program.Title() || !program.Title()->isVisible());
        QCOMPARE(QFile(FindExisting("NUPEKI1.DAT")).size(), 9);

        MainWindow &main = *program.Frame();
        main.Item("soku2")->trigger(); // the fastest speed that still reveals step by step
        main.Item("gameOpen")->trigger();
        BoardWindow &board = program.Board();
        QVERIFY(board.isVisible());
        const PoemCatalogue &catalogue = program.catalogue;

        QString average;
        QString faults;
        const QDateTime before = QDateTime::currentDateTime();
        for (int question = 1; question <= 5; ++question) {
            // Until the first step of the new reveal, the strip keeps the last verse.
            const QString previous = board.findChild<QLabel *>("Label09")->text();
            auto *start = board.findChild<QPushButton *>("Command1");
            QTest::mouseClick(start, Qt::LeftButton);
            QCOMPARE(board.findChild<QLabel *>("Label47")->text(), QString::number(question));
            // Read the cards and the verse as a player does, until one card fits.
            int card = 0;
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    const QString shown = board.findChild<QLabel *>("Label09")->text();
                    QList<int> fits;
                    for (int k = 1; k <= 8 && !shown.isEmpty() && shown != previous; ++k) {
                        const QString text =
                            board.findChild<QLabel *>(QStringLiteral("Label0%1").arg(k))->text();
                        for (int p = 0; p < kPoemCount; ++p) {
                            if (Game::CardOrder(catalogue.Text(p, kLowerKana)) == text &&
                                catalogue.Text(p, kUpperKanji).startsWith(shown)) {
                                fits.append(k);
                            }
                        }
                    }
                    card = fits.size() == 1 ? fits[0] : 0;
                    return card != 0;
                }(),
                6000);
            if (question == 5) {
                UiFixture::OnModal([&](QWidget *box) {
                    average = box->findChild<QLabel *>("Label5")->text();
                    faults = box->findChild<QLabel *>("Label6")->text();
                    box->findChild<QLineEdit *>("Text1")->setText(QStringLiteral("山田　花子"));
                    QTest::mouseClick(box->findChild<QPushButton *>("Command1"), Qt::LeftButton);
                });
            }
            QTest::mouseClick(board.findChild<QLabel *>(QStringLiteral("Label0%1").arg(card)),
                              Qt::LeftButton, {}, QPoint(10, 10));
            if (question < 5) {
                QCOMPARE(board.findChild<QLabel *>("Label37")->text(),
                         QStringLiteral(" 正解です。開始ボタンを左クリックしてください。"));
            }
        }
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(messages.isEmpty());
        QCOMPARE(faults, QStringLiteral("0"));

        QFile file(FindExisting(kRecordFile));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
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
        QCOMPARE(records->Cell(2, 1), QStringLiteral("0"));
        QCOMPARE(records->Cell(3, 1), FormatHundredths(row.time));
        QCOMPARE(records->Cell(4, 1), QString::fromLatin1(stamp));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
