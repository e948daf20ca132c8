// SPDX-License-Identifier: MIT
// The settings files: bytes, reading rules, bad content, failed writes.
#include "core/file_names.h"
#include "core/settings.h"
#include "fakes.h"

#include <QTest>

using namespace nupew;
using namespace nupew::testing;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void firstStartCreatesBothFiles() {
        InTemporaryFolder folder;
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore(settings, dialogs).LoadAtStartUp();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        QCOMPARE(settings, Settings());
        QVERIFY(dialogs.shown.isEmpty());
    }

    void readingOptions_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("expected"); // questions, cards, limit, delay
        QTest::newRow("plain") << QByteArray("10,8,999,2\r\n") << QList<int>{10, 8, 999, 2};
        QTest::newRow("spaces around values")
            << QByteArray(" 10 , 8,  999 ,2 \r\n") << QList<int>{10, 8, 999, 2};
        QTest::newRow("only the first record counts")
            << QByteArray("20,8,5,6\r\n50,1,1,0\r\n") << QList<int>{20, 8, 5, 6};
        QTest::newRow("values run on to the next line")
            << QByteArray("20,7\r\n5,6\r\n") << QList<int>{20, 7, 5, 6};
        QTest::newRow("no line end") << QByteArray("10,8,1,8") << QList<int>{10, 8, 1, 8};
        QTest::newRow("half to even")
            << QByteArray("10.5,7.5,2.5,3.4\r\n") << QList<int>{10, 8, 2, 3};
        QTest::newRow("empty value is zero, then in range")
            << QByteArray("10,8,,\r\n") << QList<int>{10, 8, 0, 0};
        QTest::newRow("missing values keep defaults")
            << QByteArray("20\r\n") << QList<int>{20, 8, 8, 4};
        QTest::newRow("not numbers keep defaults")
            << QByteArray("abc,8x,?,4\r\n") << QList<int>{5, 8, 8, 4};
        QTest::newRow("outside 16 bits keeps defaults")
            << QByteArray("40000,-40000,99999,1e10\r\n") << QList<int>{5, 8, 8, 4};
        QTest::newRow("out of range is brought into range")
            << QByteArray("0,9,-5,32000\r\n") << QList<int>{1, 8, 0, 100};
        QTest::newRow("negative counts")
            << QByteArray("-3,-1,1000,-1\r\n") << QList<int>{1, 1, 999, 0};
        QTest::newRow("empty file") << QByteArray() << QList<int>{5, 8, 8, 4};
        QTest::newRow("binary") << QByteArray("\xff\x00\x81\x40,\x01", 6) << QList<int>{5, 8, 8, 4};
        QTest::newRow("lone CR ends a line")
            << QByteArray("10,8\r1,2\r") << QList<int>{10, 8, 1, 2};
    }

    void readingOptions() {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, expected);
        InTemporaryFolder folder;
        WriteAll("NUPEKI1.DAT", content);
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore(settings, dialogs).LoadAtStartUp();
        QCOMPARE((QList<int>{settings.questionCount, settings.cardCount, settings.faultLimit,
                             settings.revealDelay}),
                 expected);
        QCOMPARE(ReadAll("NUPEKI1.DAT"), content); // reading never rewrites the file
    }

    void readingDisplay_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("lower");
        QTest::newRow("kana both") << QByteArray("2,2\r\n") << 2 << 2;
        QTest::newRow("kanji both") << QByteArray("0,0\r\n") << 0 << 0;
        QTest::newRow("not a mode keeps default") << QByteArray("1,3\r\n") << 0 << 2;
        QTest::newRow("rounded to a mode") << QByteArray("1.6,0.4\r\n") << 2 << 0;
        QTest::newRow("one value") << QByteArray("2\r\n") << 2 << 2;
    }

    void readingDisplay() {
        QFETCH(QByteArray, content);
        QFETCH(int, upper);
        QFETCH(int, lower);
        InTemporaryFolder folder;
        WriteAll("NUPEKI2.DAT", content);
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore(settings, dialogs).LoadAtStartUp();
        QCOMPARE(int(settings.upperTextMode), upper);
        QCOMPARE(int(settings.lowerTextMode), lower);
    }

    void namesIgnoreCase() {
        InTemporaryFolder folder;
        WriteAll("nupeki1.dat", "10,8,1,2\r\n");
        WriteAll("Nupeki2.Dat", "2,0\r\n");
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore store(settings, dialogs);
        store.LoadAtStartUp();
        QCOMPARE(settings.questionCount, qint16(10));
        QCOMPARE(settings.upperTextMode, qint16(2));
        QVERIFY(!QFile::exists("NUPEKI1.DAT")); // not created beside the existing one
        settings.questionCount = 20;
        store.SaveSettings();
        QCOMPARE(ReadAll("nupeki1.dat"), QByteArray("20,8,1,2\r\n"));
        QCOMPARE(QDir(".").entryList(QDir::Files).size(), 2);
        QCOMPARE(ResolveName("ichirun.txt"), QStringLiteral("ICHIRUN.TXT"));
        QCOMPARE(FindExisting("ichirun.txt"), QStringLiteral("ichirun.txt"));
    }

    void saveAndRestore() {
        InTemporaryFolder folder;
        Settings settings;
        FakeDialogs dialogs;
        SettingsStore store(settings, dialogs);
        store.LoadAtStartUp();
        settings.questionCount = 20;
        settings.upperTextMode = 2;
        settings.lowerTextMode = 2;
        store.SaveSettings();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("20,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("2,2\r\n"));
        QCOMPARE(dialogs.texts(), QStringList{"条件設定を保存しました。"});
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Nupew"));
        QVERIFY(dialogs.shown[0].icon == MessageIcon::None);

        Settings next;
        SettingsStore(next, dialogs).LoadAtStartUp();
        QCOMPARE(next.questionCount, qint16(20));
        QCOMPARE(next.upperTextMode, qint16(2));

        store.RestoreDefaultSettings();
        QCOMPARE(settings, Settings());
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        QCOMPARE(dialogs.texts().last(), QStringLiteral("初期設定に戻しました。"));
    }

    void restoreWithoutFilesCreatesThem() {
        InTemporaryFolder folder;
        Settings settings;
        settings.faultLimit = 999;
        FakeDialogs dialogs;
        SettingsStore(settings, dialogs).RestoreDefaultSettings();
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        QCOMPARE(settings.faultLimit, qint16(8));
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
        QCOMPARE(settings.upperTextMode, qint16(0)); // unreadable: defaults
        store.SaveSettings();
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(!dialogs.texts().contains("条件設定を保存しました。"));
        QVERIFY(dialogs.shown[0].text.contains("NUPEKI2.DAT"));
    }

    void fileExistsCodes() {
        InTemporaryFolder folder;
        WriteAll("A.TXT", "x");
        QCOMPARE(FileExists("A.TXT"), short(-1));
        QCOMPARE(FileExists("a.txt"), short(-1));
        QCOMPARE(FileExists("B.TXT"), short(0));
        QVERIFY(FileExists("nofolder/B.TXT") > 0);
        QDir().mkdir("D");
        QVERIFY(FileExists("D") > 0);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
