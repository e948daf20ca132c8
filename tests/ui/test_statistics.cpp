// SPDX-License-Identifier: MIT
// The decisive characters on the board, the statistics window and the history
// through the whole program.
#include "ui/statistics_window.h"
#include "ui_fixture.h"

#include <QClipboard>
#include <QTableView>

using namespace nupew;
using namespace nupew::testing;

namespace {

// Pixels of the emphasis colour in the verse strip.
int RedPixels(UiFixture &f) {
    const QImage strip = f.BoardLabel("Label09")->grab().toImage();
    int red = 0;
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const QColor c = strip.pixelColor(x, y);
            red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
        }
    }
    return red;
}

void AnswerOne(UiFixture &f) {
    f.PressStart();
    f.clock.now += 2.0f;
    f.ClickCard(f.RightCard());
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    void decisiveCharactersOnTheStrip() {
        InTemporaryFolder folder;
        {
            UiFixture f;
            f.program->settings.revealDelay = 0;
            f.program->GameOpen();
            AnswerOne(f);
            QCOMPARE(RedPixels(f), 0); // off: the strip as it always was
            QVERIFY(!f.Item("kimariji")->isChecked());
            f.Item("kimariji")->trigger();
            QVERIFY(f.Item("kimariji")->isChecked());
            AnswerOne(f);
            QVERIFY(RedPixels(f) > 20);
            f.PressStart(); // the next verse starts plain
            QCOMPARE(RedPixels(f), 0);
        }
        UiFixture next; // kept for the next start, in the player's settings
        QVERIFY(next.Item("kimariji")->isChecked());
        QVERIFY(next.program->ShowsDecisive());
        next.Item("kimariji")->trigger();
    }

    void statisticsWindowFromTheMenu() {
        InTemporaryFolder folder;
        UiFixture f;
        f.program->settings.revealDelay = 0;
        f.program->GameOpen();
        for (int question = 1; question <= 3; ++question) {
            AnswerOne(f);
        }
        f.Item("mnuStats")->trigger();
        StatisticsWindow *window = f.program->Statistics();
        QVERIFY(window && window->isVisible());
        int answered = 0;
        for (int row = 0; row < 100; ++row) {
            answered += window->Model().index(row, PoemStatisticsModel::Answers).data().toInt();
        }
        QCOMPARE(answered, 3);
        // Sorting by the count through the header puts the answered poems first.
        window->Table()->sortByColumn(PoemStatisticsModel::Answers, Qt::DescendingOrder);
        QCOMPARE(window->Model().index(2, PoemStatisticsModel::Answers).data().toInt(), 1);
        QCOMPARE(window->Model().index(3, PoemStatisticsModel::Answers).data().toInt(), 0);

        window->Table()->selectRow(1);
        QTest::keySequence(window->Table(), QKeySequence::Copy);
        const QStringList copied = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(copied.size(), 3); // the header, the row and the last line end
        QVERIFY(copied[0].startsWith(QStringLiteral("番号\t上の句\t決まり字")));

        const QString csv = QDir::current().absoluteFilePath("poems.csv");
        f.saveFileDialog = [csv] { return std::optional(csv); };
        window->findChild<QPushButton *>("exportButton")->click();
        const QByteArray bytes = ReadAll(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\r\n"), 101);
        // A folder that cannot be written: the reason, and nothing reported as saved.
        f.saveFileDialog = [] { return std::optional<QString>("/nonexistent-folder/x.csv"); };
        window->findChild<QPushButton *>("exportButton")->click();
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].icon, MessageIcon::Warning);
    }

    // A file of another program under the history's name: one warning once the
    // main window is up, the game goes on, the file stays as it was.
    void foreignHistoryFile() {
        InTemporaryFolder folder;
        const QByteArray bytes("not a history at all");
        WriteAll(kHistoryFile, bytes);
        UiFixture f;
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY(f.dialogs.shown[0].text.contains(kHistoryFile));
        f.program->settings.revealDelay = 0;
        f.program->GameOpen();
        AnswerOne(f);
        f.Item("mnuStats")->trigger();
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(ReadAll(kHistoryFile), bytes);
        QVERIFY(f.program->Statistics()->isVisible());
    }
};

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
