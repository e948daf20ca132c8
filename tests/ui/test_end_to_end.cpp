// SPDX-License-Identifier: MIT
// The whole program with its real clock, generator and timers: a game of five
// questions played through the windows, a full-width name registered, and the
// bytes of the record file and the records window checked.
#include "core/file_names.h"
#include "records/score_record.h"
#include "ui/records_window.h"
#include "ui_fixture.h"

#include <QLineEdit>

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
        QVERIFY((!program.Title() || !program.Title()->isVisible()) &&
                !program.Board().isVisible());
        QCOMPARE(program.Frame()->frameGeometry().height(), Px(kFrameHeightWithToolbar));
        // The board was dealt under the title.
        QVERIFY(!program.Board().findChild<QLabel *>("Label01")->text().isEmpty());
        program.Frame()->Item("soku2")->trigger(); // the fastest speed that still reveals
        program.Frame()->Item("gameOpen")->trigger();
        BoardWindow &board = program.Board();
        const auto label = [&board](const QString &name) {
            return board.findChild<QLabel *>(name);
        };
        QString average;
        const QDateTime before = QDateTime::currentDateTime();
        for (int question = 1; question <= 5; ++question) {
            QTest::mouseClick(board.findChild<QPushButton *>("Command1"), Qt::LeftButton);
            QCOMPARE(label("Label47")->text(), QString::number(question));
            // Wait, as a player does, until the shown verse begins the right poem.
            const QString verse = program.GameState().askedVerses()[question];
            QTRY_VERIFY_WITH_TIMEOUT(label("Label09")->text().size() >= 3 &&
                                         verse.startsWith(label("Label09")->text()),
                                     6000);
            if (question == 5) {
                UiFixture::OnModal([&](QWidget *box) {
                    average = box->findChild<QLabel *>("Label5")->text();
                    QCOMPARE(box->findChild<QLabel *>("Label6")->text(), QStringLiteral("0"));
                    box->findChild<QLineEdit *>("Text1")->setText(QStringLiteral("山田　花子"));
                    QTest::mouseClick(box->findChild<QPushButton *>("Command1"), Qt::LeftButton);
                });
            }
            const int right = program.GameState().answerPosition() + 1;
            QTest::mouseClick(label(QStringLiteral("Label0%1").arg(right)), Qt::LeftButton, {},
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
        QCOMPARE(records->Cell(3, 1), FormatHundredths(row.time));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
