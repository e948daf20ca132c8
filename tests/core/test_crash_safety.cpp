// SPDX-License-Identifier: MIT
// A process killed in the middle of saving settings or registering a record
// leaves every file either old or new, never torn.
#include "fakes.h"
#include "history/history.h"
#include "records/score_record.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

using namespace nupew;
using namespace nupew::testing;

namespace {

// Starts the writer, lets it run a few milliseconds and kills it outright.
void KillMidWrite(const QString &mode, QRandomGenerator &random) {
    QProcess writer;
    writer.start(QStringLiteral(CRASH_WRITER), {mode});
    QVERIFY(writer.waitForStarted());
    QVERIFY(writer.waitForReadyRead(10000)); // "ready": the first write is done
    QThread::usleep(random.bounded(500, 20000));
    writer.kill(); // SIGKILL: no chance to finish or tidy up
    QVERIFY(writer.waitForFinished());
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void settingsFiles() {
        InTemporaryFolder folder;
        QRandomGenerator random(7);
        for (int round = 0; round < 40; ++round) {
            KillMidWrite(QStringLiteral("settings"), random);
            const QByteArray options = ReadAll("NUPEKI1.DAT");
            const QByteArray display = ReadAll("NUPEKI2.DAT");
            QVERIFY2(options == "5,8,8,4\r\n" || options == "20,8,8,4\r\n", options.constData());
            QVERIFY2(display == "0,2\r\n" || display == "2,2\r\n", display.constData());
        }
    }

    // Whole rows only, in order, each one written by the writer.
    void recordFile() {
        InTemporaryFolder folder;
        QRandomGenerator random(11);
        for (int round = 0; round < 40; ++round) {
            KillMidWrite(QStringLiteral("records"), random);
            const QByteArray bytes = ReadAll(kRecordFile);
            const RecordFileContents table = ParseRecordFile(bytes);
            QVERIFY(bytes.size() % recordLength == 0 && table.rest.isEmpty());
            QVERIFY(!table.rows.isEmpty() && table.rows.size() <= tableSize);
            for (qsizetype i = 1; i < table.rows.size(); ++i) {
                const ScoreRecord &a = table.rows[i - 1];
                const ScoreRecord &b = table.rows[i];
                QVERIFY(a.faults < b.faults ||
                        (a.faults == b.faults && !TimeBefore(b.time, a.time)));
            }
            for (const ScoreRecord &row : table.rows) {
                QVERIFY(DecodeShiftJis(row.name).startsWith(QStringLiteral("名前")));
            }
        }
    }

    // Every answer the history holds after a kill is whole: its row and its
    // poem's sums went in together.
    void historyFile() {
        InTemporaryFolder folder;
        QRandomGenerator random(13);
        for (int round = 0; round < 20; ++round) {
            KillMidWrite(QStringLiteral("history"), random);
            QString why;
            const std::unique_ptr<HistoryDatabase> db = HistoryDatabase::Open(kHistoryFile, &why);
            QVERIFY2(db, qPrintable(why));
            QSqlQuery query(db->Connection());
            QVERIFY(query.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM answers), "
                                              "(SELECT SUM(answers) FROM poems)")) &&
                    query.next());
            QVERIFY(query.value(0).toInt() > 0);
            QCOMPARE(query.value(0).toInt(), query.value(1).toInt());
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "test_crash_safety.moc"
