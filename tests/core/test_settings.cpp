// SPDX-License-Identifier: MIT
// The settings files: bytes, reading rules, bad content.
#include "core/file_names.h"
#include "core/settings.h"
#include "fakes.h"

#include <QTest>

using namespace nupew;
using namespace nupew::testing;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void reading() {
        // Options, display, then questions, cards, limit, delay, upper, lower as read.
        const QList<std::tuple<QByteArray, QByteArray, QList<int>>> rows = {
            {" 10 , 8,  999 ,2 \r\n", "0,0\r\n", {10, 8, 999, 2, 0, 0}}, // spaces around values
            {"20,8,5,6\r\n50,1,1,0\r\n", "2,2\r\n50\r\n", {20, 8, 5, 6, 2, 2}}, // first record
            {"20,7\r\n5,6\r\n", "2\r\n", {20, 7, 5, 6, 2, 2}}, // values run on; one value
            {"10,8\r1,2\r", "2,0", {10, 8, 1, 2, 2, 0}},       // lone CR, no line end
            {"10.5,7.5,2.5,3.4\r\n", "1.6,0.4\r\n", {10, 8, 2, 3, 2, 0}}, // half to even; modes
            {"10,8,,\r\n", "1,3\r\n", {10, 8, 0, 0, 0, 2}}, // empty is zero; not a mode
            {"abc,8x,?,4\r\n", "x,y", {5, 8, 8, 4, 0, 2}},  // not numbers keep defaults
            {"40000,-40000,99999,1e10\r\n", "70000,2", {5, 8, 8, 4, 0, 2}}, // beyond 16 bits
            {"0,9,-5,32000\r\n", "", {1, 8, 0, 100, 0, 2}},                 // brought into range
            {QByteArray("\xff\x00\x81\x40,\x01", 6), QByteArray("\0", 1), {5, 8, 8, 4, 0, 2}},
        };
        for (const auto &[options, display, expected] : rows) {
            InTemporaryFolder folder;
            WriteAll("NUPEKI1.DAT", options);
            WriteAll("NUPEKI2.DAT", display);
            Settings s;
            FakeDialogs dialogs;
            SettingsStore(s, dialogs).LoadAtStartUp();
            QCOMPARE((QList<int>{s.questionCount, s.cardCount, s.faultLimit, s.revealDelay,
                                 s.upperTextMode, s.lowerTextMode}),
                     expected);
            QCOMPARE(ReadAll("NUPEKI1.DAT"), options); // reading never rewrites the file
        }
    }

    void saveAndRestore() {
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
        // Restoring brings back the defaults, and creates a file that has gone.
        QVERIFY(QFile::remove("NUPEKI2.DAT"));
        store.RestoreDefaultSettings();
        QCOMPARE(settings, Settings());
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("5,8,8,4\r\n"));
        QCOMPARE(ReadAll("NUPEKI2.DAT"), QByteArray("0,2\r\n"));
        // What stands at the names the files are looked up by.
        QDir().mkdir("D");
        QCOMPARE(FileStateOf("nupeki1.dat"), FileState::Readable);
        QCOMPARE(FileStateOf("B.TXT"), FileState::Missing);
        QCOMPARE(FileStateOf("nofolder/B.TXT"), FileState::NoFolder);
        QCOMPARE(FileStateOf("D"), FileState::Unusable);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
