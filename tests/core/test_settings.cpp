// SPDX-License-Identifier: MIT
// The settings files: bytes, reading rules, bad content, failed writes.
#include "core/file_names.h"
#include "core/settings.h"
#include "fakes.h"

#include <QTest>

using namespace nupew;
using namespace nupew::testing;

namespace {

Settings LoadFrom(const QByteArray &options, const QByteArray &display) {
    WriteAll("NUPEKI1.DAT", options);
    WriteAll("NUPEKI2.DAT", display);
    Settings settings;
    FakeDialogs dialogs;
    SettingsStore(settings, dialogs).LoadAtStartUp();
    return settings;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QList<int>>("expected"); // questions, cards, limit, delay, upper, lower
        QTest::newRow("spaces around values")
            << QByteArray(" 10 , 8,  999 ,2 \r\n") << QByteArray("0,0\r\n")
            << QList<int>{10, 8, 999, 2, 0, 0};
        QTest::newRow("only the first record counts")
            << QByteArray("20,8,5,6\r\n50,1,1,0\r\n") << QByteArray("2,2\r\n50\r\n")
            << QList<int>{20, 8, 5, 6, 2, 2};
        QTest::newRow("values run on to the next line; one value")
            << QByteArray("20,7\r\n5,6\r\n") << QByteArray("2\r\n")
            << QList<int>{20, 7, 5, 6, 2, 2};
        QTest::newRow("lone CR ends a line, no line end")
            << QByteArray("10,8\r1,2\r") << QByteArray("2,0") << QList<int>{10, 8, 1, 2, 2, 0};
        QTest::newRow("half to even; rounded to a mode")
            << QByteArray("10.5,7.5,2.5,3.4\r\n") << QByteArray("1.6,0.4\r\n")
            << QList<int>{10, 8, 2, 3, 2, 0};
        QTest::newRow("empty value is zero; not a mode keeps default")
            << QByteArray("10,8,,\r\n") << QByteArray("1,3\r\n") << QList<int>{10, 8, 0, 0, 0, 2};
        QTest::newRow("not numbers keep defaults")
            << QByteArray("abc,8x,?,4\r\n") << QByteArray("x,y") << QList<int>{5, 8, 8, 4, 0, 2};
        QTest::newRow("outside 16 bits keeps defaults")
            << QByteArray("40000,-40000,99999,1e10\r\n") << QByteArray("70000,2")
            << QList<int>{5, 8, 8, 4, 0, 2};
        QTest::newRow("out of range is brought into range")
            << QByteArray("0,9,-5,32000\r\n") << QByteArray() << QList<int>{1, 8, 0, 100, 0, 2};
        QTest::newRow("binary") << QByteArray("\xff\x00\x81\x40,\x01", 6) << QByteArray("\0", 1)
                                << QList<int>{5, 8, 8, 4, 0, 2};
    }

    void reading() {
        QFETCH(QByteArray, options);
        QFETCH(QByteArray, display);
        QFETCH(QList<int>, expected);
        InTemporaryFolder folder;
        const Settings s = LoadFrom(options, display);
        QCOMPARE((QList<int>{s.questionCount, s.cardCount, s.faultLimit, s.revealDelay,
                             s.upperTextMode, s.lowerTextMode}),
                 expected);
        QCOMPARE(ReadAll("NUPEKI1.DAT"), options); // reading never rewrites the file
    }

    void saveRestoreAndNames() {
        InTemporaryFolder folder;
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore store(settings, dialogs);
        store.LoadAtStartUp(); // the first start creates both files
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        settings.questionCount = 20;
        settings.upperTextMode = 2;
        store.SaveSettings();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("20,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("2,2\r\n"));
        QCOMPARE(dialogs.texts(), QStringList{"条件設定を保存しました。"});
        store.RestoreDefaultSettings();
        QCOMPARE(settings, Settings());
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));

        // Files of another spelling are read and written in place.
        QDir().remove("NUPEKI1.DAT");
        QDir().rename("NUPEKI2.DAT", "Nupeki2.Dat");
        WriteAll("nupeki1.dat", "10,8,1,2\r\n");
        store.LoadAtStartUp();
        QCOMPARE(settings.questionCount, qint16(10));
        settings.questionCount = 30;
        store.SaveSettings();
        QCOMPARE(ReadAll("nupeki1.dat"), QByteArray("30,8,1,2\r\n"));
        QCOMPARE(QDir(".").entryList(QDir::Files).size(), 2); // nothing created beside them
    }

    void failedWriteKeepsTheOldFile() {
        // A folder where the file should be makes every write fail, also for root.
        InTemporaryFolder folder;
        QDir().mkdir("NUPEKI2.DAT");
        WriteAll("NUPEKI1.DAT", "10,8,1,2\r\n");
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore store(settings, dialogs);
        store.LoadAtStartUp();
        QCOMPARE(settings.questionCount, qint16(10));
        store.SaveSettings();
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(dialogs.shown[0].text.contains("NUPEKI2.DAT"));
        QVERIFY(dialogs.shown[0].icon == MessageIcon::Warning);
        // Restoring without files creates them.
        QDir().rmdir("NUPEKI2.DAT");
        settings.faultLimit = 999;
        store.RestoreDefaultSettings();
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        QCOMPARE(settings.faultLimit, qint16(8));
    }

    void fileExistsCodes() {
        InTemporaryFolder folder;
        WriteAll("A.TXT", "x");
        QDir().mkdir("D");
        QCOMPARE(FileExists("a.txt"), short(-1));
        QCOMPARE(FileExists("B.TXT"), short(0));
        QVERIFY(FileExists("nofolder/B.TXT") > 0 && FileExists("D") > 0);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
