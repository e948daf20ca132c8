// SPDX-License-Identifier: MIT
// The top-ten table: file bytes, registration, sorting, names and bad files.
#include "core/game.h"
#include "core/text_files.h"
#include "fakes.h"
#include "records/record_book.h"

#include <QScopeGuard>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <limits>

using namespace nupew;
using namespace nupew::testing;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

ScoreRecord Row(const char *name, float time, qint16 faults) {
    return {EncodeName(QString::fromUtf8(name)), time, faults, QByteArray("-2001.01:01")};
}

QByteArray Bytes(const QList<ScoreRecord> &rows) {
    return SerializeRecordFile({rows, {}});
}

QStringList Names(const QList<RecordRowText> &rows) {
    QStringList names;
    for (const RecordRowText &row : rows) {
        names.append(row.name.trimmed());
    }
    return names;
}

// Nine rows with faults 0..8 and time 10, so a tenth row can be placed anywhere.
QList<ScoreRecord> NineRows() {
    QList<ScoreRecord> rows;
    for (int i = 0; i < 9; ++i) {
        rows.append(Row(qPrintable(QStringLiteral("r%1").arg(i)), 10.0f, qint16(i)));
    }
    return rows;
}

// Registers results as the session does, showing what the table tells.
struct Book : FakeWorld {
    void Register(const QString &name, float time, int faults) {
        result = {time, qint16(faults), false};
        Again(name);
    }
    // The same result once more.
    void Again(const QString &name) {
        const nupew::Registration registration = book.Register(result, name);
        result.registered = result.registered || registration.entered;
        if (registration.tell) {
            dialogs.ShowMessage(*registration.tell);
        }
    }
    GameResult result;
    RecordBook book{[] { return QDateTime(QDate(2003, 4, 14), QTime(12, 53, 7)); }};
};

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    // A table that cannot be made (its folder immutable) says why it cannot
    // be read; nothing is made.
    void tableThatCannotBeMadeSaysWhy() {
        InTemporaryFolder folder;
        if (!SetImmutable(QDir::currentPath(), true)) {
            QSKIP("needs root and a file system with immutable files");
        }
        const auto cleanup = qScopeGuard([] { SetImmutable(QDir::currentPath(), false); });
        Book r;
        const Result<QList<RecordRowText>> rows = r.book.ReadRows();
        QVERIFY(!rows.ok());
        QVERIFY2(rows.error().contains(QStringLiteral("NUPEKI3.DAT")) &&
                     rows.error().contains(QString::fromLocal8Bit(std::strerror(EPERM))),
                 qPrintable(rows.error()));
        QVERIFY(!QFile::exists(kRecordFile));
    }

    void firstRegistrationWritesExactBytes() {
        InTemporaryFolder folder;
        Book r;
        QVERIFY(r.book.ReadRows().value().isEmpty());
        QCOMPARE(ReadAll(kRecordFile), QByteArray()); // an empty file is left behind
        r.Register("Taro", 3.5f, 2);
        QCOMPARE(ReadAll(kRecordFile), QByteArray("Taro              ") +
                                           QByteArray::fromHex("000060400200") + "-2003.12:53");
        QVERIFY(r.result.registered && r.dialogs.shown.isEmpty());
        // One registration a game.
        r.result.averageTime = 1.0f;
        r.Again("Taro");
        QCOMPARE(r.dialogs.texts(), QStringList{"登録のチャンスは一度です。再登録はできません。"});
        QCOMPARE(ReadAll(kRecordFile).size(), 35);
    }

    void registrationOutcomes() {
        // Rows before (the tenth has 9 faults and time 10), the new result, the
        // message, and where the new row ends (-1 none).
        const QList<std::tuple<int, int, float, QString, int>> cases = {
            {9, 50, 99.0f, "", 9}, // nine rows: worse than all still gets in
            {10, 3, 50.0f, "", 4}, // fewer faults
            {10, 9, 9.5f, "", 9},  // equal faults and faster
            {10, 9, 10.0f, "非常に惜しいです。もう少しで登録できます。", -1},
            {10, 10, 0.1f, "残念ながら、成績が悪くて登録できません！", -1}, // far faster
        };
        for (const auto &[rows, faults, time, message, position] : cases) {
            InTemporaryFolder folder;
            QList<ScoreRecord> table = NineRows();
            if (rows == 10) {
                table.append(Row("r9", 10.0f, 9));
            }
            WriteAll(kRecordFile, Bytes(table));
            Book r;
            r.Register("new", time, faults);
            const QStringList names = Names(r.book.ReadRows().value());
            QCOMPARE(names.size(), 10);
            QCOMPARE(r.result.registered, position >= 0);
            QCOMPARE(names.indexOf("new"), position);
            QCOMPARE(r.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
            if (position < 0) {
                QCOMPARE(ReadAll(kRecordFile), Bytes(table));
            } else {
                QVERIFY(!names.contains("r9")); // a replaced tenth row is gone
            }
        }
    }

    void sorting() {
        // A new row goes after the rows equal to it.
        InTemporaryFolder folder;
        WriteAll(kRecordFile, Bytes({Row("a", 2.0f, 1), Row("b", 3.0f, 1), Row("c", 3.0f, 1),
                                     Row("d", 1.0f, 2)}));
        Book r;
        r.Register("new", 3.0f, 1);
        QCOMPARE(Names(r.book.ReadRows().value()), (QStringList{"a", "b", "c", "new", "d"}));
        // Fewer faults first, then the faster average.
        QList<ScoreRecord> rows = {Row("x", 5.0f, 3), Row("y", 1.0f, 1), Row("z", 4.0f, 1),
                                   Row("w", 2.0f, 0)};
        SortRows(rows);
        QStringList names;
        for (const ScoreRecord &row : rows) {
            names.append(DecodeShiftJis(row.name).trimmed());
        }
        QCOMPARE(names, (QStringList{"w", "y", "z", "x"}));
    }

    void namesAndStamps() {
        const QList<std::pair<QString, QByteArray>> names = {
            {"", QByteArray(18, ' ')},
            {"aあいうえおかきくけ", QByteArray::fromHex("6182a082a282a482a682a882a982ab82ad20")},
            {"ﾀﾛｳ", QByteArray("\xc0\xdb\xb3", 3) + QByteArray(15, ' ')}, // one byte each
            {"é😀x", QByteArray("??x") + QByteArray(15, ' ')},
            // Characters Linux input methods type get the codes of their full-width forms.
            {"〜−‖—¢£¬ゆう", QByteArray::fromHex("8160817c8161815c8191819281ca82e482a4")},
        };
        for (const auto &[name, stored] : names) {
            QCOMPARE(EncodeName(name), stored); // never splits a character
        }
        QCOMPARE(MakeStamp(QDateTime(QDate(2026, 12, 6), QTime(0, 5, 59))),
                 QByteArray("-2026.00:05"));
        QCOMPARE(FormatRecordTime(0.125f), QStringLiteral("0.13"));
        // A name cut inside a character shows the replacement.
        QCOMPARE(DecodeShiftJis(QByteArray("\x82\xa0\x82")), QStringLiteral("あ\uFFFD"));
    }

    void resetDeletesTheFile() {
        InTemporaryFolder folder;
        Book r;
        r.Register("a", 1.0f, 0);
        QFile::rename(kRecordFile, "nupeki3.dat");
        QVERIFY(r.book.ResetTable().ok());
        QVERIFY(QDir(".").entryList(QDir::Files).isEmpty());
        QVERIFY(r.book.ResetTable().ok()); // nothing to delete is fine
        r.Register("worst", 999.0f, 99);
        QCOMPARE(Names(r.book.ReadRows().value()), QStringList{"worst"});
    }

    void badFiles() {
        InTemporaryFolder folder;
        // Twelve rows, the last two beyond the table, then a partial record.
        QList<ScoreRecord> rows = NineRows();
        rows.append(Row("nan", kNaN, 9));
        rows.append(Row("eleven", 1.0f, 0));
        rows.append(Row("twelve", 1.0f, 0));
        QByteArray bytes = Bytes(rows);
        bytes[0] = '\x81'; // a lead byte with no trail: not valid Shift-JIS
        bytes[1] = '\x7f';
        bytes += "PARTIAL";
        WriteAll(kRecordFile, bytes);
        Book r;
        QCOMPARE(r.book.ReadRows().value().size(), 10);
        r.Register("new", 500.0f, 9); // beats only the NaN time
        const QByteArray after = ReadAll(kRecordFile);
        QCOMPARE(after.size(), bytes.size());
        QCOMPARE(after.mid(350), bytes.mid(350)); // rows beyond the table stay
        QCOMPARE(after.left(2), bytes.left(2));   // untouched bytes stay as they were
        QCOMPARE(Names(r.book.ReadRows().value()).last(), QStringLiteral("new"));
        QVERIFY(TimeBefore(1e30f, kNaN) && !TimeBefore(kNaN, 1.0f));

        WriteAll(kRecordFile, Bytes({Row("neg", 1.0f, -5),
                                     Row("inf", std::numeric_limits<float>::infinity(), 0)}));
        r.Register("new", 2.0f, 0);
        QCOMPARE(Names(r.book.ReadRows().value()), (QStringList{"neg", "new", "inf"}));
        WriteAll(kRecordFile, QByteArray(34, '\xff'));
        QVERIFY(r.book.ReadRows().value().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
