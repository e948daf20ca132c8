// SPDX-License-Identifier: MIT
// The top-ten table: registration of a result, reading for display, reset.
#include "records/record_book.h"

#include "core/file_names.h"
#include "core/safe_files.h"

#include <QCoreApplication>

namespace nupew {
namespace {

// Ten rows are 350 bytes; anything far beyond that is not a table of ours,
// and only its first rows are ever looked at.
constexpr qint64 kMaxRecordFileBytes = 16 * 1024 * 1024;

} // namespace

RecordBook::RecordBook(Clock clock) : clock_(std::move(clock)) {}

Result<QByteArray> RecordBook::ReadFile(bool create) {
    const QString path = ResolveName(kRecordFile);
    if (create) {
        // Opening the table for record access creates it, empty; never over another file.
        if (const Result<> made = CreateEmptyIfMissing(path); !made.ok()) {
            return Result<QByteArray>::Failure(made);
        }
    }
    const Result<FileRead> read = ReadRegularFile(path, kMaxRecordFileBytes);
    if (!read.ok()) {
        return Result<QByteArray>::Failure(read);
    }
    if (read.value().truncated) {
        return Result<QByteArray>::Failure(
            QCoreApplication::translate("Records", "ファイルが大きすぎます"));
    }
    return read.value().bytes;
}

Registration RecordBook::Register(const GameResult &result, const QString &playerName) {
    // The whole read-change-write holds the lock, so that two copies of the
    // program registering at once both end up in the table; what to tell
    // comes back, so that a box left open never keeps another copy waiting.
    FileLock lock(ResolveName(kRecordFile));
    if (const Result<> locked = lock.Acquire(); !locked.ok()) {
        return {false, Failure(QCoreApplication::translate("Records",
                                                           "記録ファイル NUPEKI3.DAT を使えません。"
                                                           "記録は登録されていません。"),
                               locked.error())};
    }
    const Result<QByteArray> original = ReadFile(true);
    if (!original.ok()) {
        return {false, Failure(QCoreApplication::translate("Records",
                                                           "記録ファイル NUPEKI3.DAT を読めません。"
                                                           "記録は登録されていません。"),
                               original.error())};
    }
    RecordFileContents contents = ParseRecordFile(original.value());
    QList<ScoreRecord> &rows = contents.rows;

    const auto newRow = [&] {
        return ScoreRecord{EncodeName(playerName), result.averageTime, result.faults,
                           MakeStamp(clock_())};
    };
    bool wrote = false;
    std::optional<Message> refusal;
    if (result.registered) {
        refusal = Message{QCoreApplication::translate(
            "Records", "登録のチャンスは一度です。再登録はできません。")};
    } else if (rows.size() < tableSize) {
        rows.append(newRow());
        wrote = true;
    } else {
        const ScoreRecord &last = rows[tableSize - 1];
        if (result.faults < last.faults ||
            (result.faults == last.faults && TimeBefore(result.averageTime, last.time))) {
            rows[tableSize - 1] = newRow();
            wrote = true;
        } else if (result.faults == last.faults) {
            refusal = Message{QCoreApplication::translate(
                "Records", "非常に惜しいです。もう少しで登録できます。")};
        } else {
            refusal = Message{
                QCoreApplication::translate("Records", "残念ながら、成績が悪くて登録できません！")};
        }
    }

    SortRows(rows);
    const QByteArray sorted = SerializeRecordFile(contents);
    if (sorted != original.value()) {
        if (const Result<> written = WriteFileAtomically(ResolveName(kRecordFile), sorted);
            !written.ok()) {
            return {false,
                    Failure(QCoreApplication::translate(
                                "Records", "記録ファイル NUPEKI3.DAT に書き込めませんでした。"
                                           "記録は登録されていません。"),
                            written.error())};
        }
    }
    return {wrote, refusal};
}

Result<QList<RecordRowText>> RecordBook::ReadRows() {
    QList<RecordRowText> texts;
    const Result<QByteArray> bytes = ReadFile(true);
    if (!bytes.ok()) {
        return Result<QList<RecordRowText>>::Failure(
            QCoreApplication::translate("Records",
                                        "記録ファイル NUPEKI3.DAT を読めません。\n理由: %1")
                .arg(bytes.error()));
    }
    for (const ScoreRecord &row : ParseRecordFile(bytes.value()).rows) {
        texts.append({DecodeShiftJis(row.name), QString::number(row.faults),
                      FormatRecordTime(row.time), DecodeShiftJis(row.stamp)});
    }
    return texts;
}

Result<> RecordBook::ResetTable() {
    const QString path = FindExisting(kRecordFile);
    const Result<NameKind> name = CheckName(path);
    if (name.ok() && name.value() == NameKind::Missing) {
        return Ok();
    }
    FileLock lock(path);
    Result<> removed = name.ok() ? lock.Acquire() : Result<>::Failure(name);
    if (removed.ok()) {
        removed = RemoveFile(path);
    }
    if (!removed.ok()) {
        return Result<>::Failure(FailureText(
            QCoreApplication::translate("Records",
                                        "記録ファイル NUPEKI3.DAT を削除できませんでした。"
                                        "記録は初期化されていません。"),
            removed.error()));
    }
    return Ok();
}

QString RecordBook::FailureText(const QString &what, const QString &reason) {
    return QCoreApplication::translate("Records", "%1\n理由: %2").arg(what, reason);
}

Message RecordBook::Failure(const QString &what, const QString &reason) {
    return {FailureText(what, reason), kProgramTitle, MessageButtons::Ok, MessageIcon::Warning};
}

QString FormatRecordTime(float seconds) {
    return FormatHundredths(seconds);
}

} // namespace nupew
