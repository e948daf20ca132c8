// SPDX-License-Identifier: MIT
// The top-ten table: registration of a result, reading for display, reset.
#include "records/record_book.h"

#include "core/file_names.h"

#include <QFile>
#include <QSaveFile>

namespace nupew {
namespace {

// Ten rows are 350 bytes; anything far beyond that is not a table of ours,
// and only its first rows are ever looked at.
constexpr qint64 kMaxRecordFileBytes = 16 * 1024 * 1024;

} // namespace

RecordBook::RecordBook(Game &game, Dialogs &dialogs, Clock clock)
    : game_(game), dialogs_(dialogs), clock_(std::move(clock)) {}

std::optional<QByteArray> RecordBook::ReadFile(bool create) {
    QFile file(ResolveName(kRecordFile));
    if (!file.exists()) {
        if (create && file.open(QIODevice::WriteOnly)) {
            file.close();
        }
        return QByteArray();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    if (file.size() > kMaxRecordFileBytes) {
        return std::nullopt;
    }
    return file.readAll();
}

bool RecordBook::WriteFile(const QByteArray &bytes) {
    QSaveFile file(ResolveName(kRecordFile));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void RecordBook::RegisterRecord() {
    const std::optional<QByteArray> original = ReadFile(true);
    if (!original) {
        dialogs_.ShowMessage({QStringLiteral("記録ファイル NUPEKI3.DAT を読めません。"
                                             "記録は登録されていません。"),
                              kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
        return;
    }
    RecordFileContents contents = ParseRecordFile(*original);
    QList<ScoreRecord> &rows = contents.rows;

    const auto newRow = [this] {
        return ScoreRecord{EncodeName(playerName), game_.averageTime, game_.faultCount,
                           MakeStamp(clock_())};
    };
    bool wrote = false;
    if (game_.resultRegistered == 1) {
        dialogs_.ShowMessage({QStringLiteral("登録のチャンスは一度です。再登録はできません。")});
    } else if (rows.size() < tableSize) {
        rows.append(newRow());
        wrote = true;
    } else {
        const ScoreRecord &last = rows[tableSize - 1];
        if (game_.faultCount < last.faults ||
            (game_.faultCount == last.faults && TimeBefore(game_.averageTime, last.time))) {
            rows[tableSize - 1] = newRow();
            wrote = true;
        } else if (game_.faultCount == last.faults) {
            dialogs_.ShowMessage({QStringLiteral("非常に惜しいです。もう少しで登録できます。")});
        } else {
            dialogs_.ShowMessage({QStringLiteral("残念ながら、成績が悪くて登録できません！")});
        }
    }

    SortRows(rows);
    const QByteArray sorted = SerializeRecordFile(contents);
    if (sorted == *original) {
        return;
    }
    if (!WriteFile(sorted)) {
        dialogs_.ShowMessage({QStringLiteral("記録ファイル NUPEKI3.DAT に書き込めませんでした。\n"
                                             "フォルダが書き込み禁止か、ディスクがいっぱいです。"
                                             "記録は登録されていません。"),
                              kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
        return;
    }
    if (wrote) {
        game_.resultRegistered = 1;
    }
}

QList<RecordRowText> RecordBook::ShowRecords() {
    QList<RecordRowText> texts;
    const std::optional<QByteArray> bytes = ReadFile(true);
    if (!bytes) {
        return texts;
    }
    for (const ScoreRecord &row : ParseRecordFile(*bytes).rows) {
        texts.append({DecodeShiftJis(row.name), QString::number(row.faults),
                      FormatRecordTime(row.time), DecodeShiftJis(row.stamp)});
    }
    return texts;
}

void RecordBook::ResetTable() {
    if (FileExists(QStringLiteral("NUPEKI3.dat")) == -1) {
        QFile::remove(FindExisting(kRecordFile));
    }
}

QString FormatRecordTime(float seconds) {
    return FormatHundredths(seconds);
}

} // namespace nupew
