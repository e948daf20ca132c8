// SPDX-License-Identifier: MIT
// One row of the top-ten table and the bytes of NUPEKI3.DAT.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include "core/text_files.h"

namespace nupew {

inline constexpr int recordLength = 35;
inline constexpr int tableSize = 10;
inline constexpr int kNameBytes = 18;
inline constexpr int kStampBytes = 11;
// Where the fields of a 35-byte row start.
inline constexpr int kTimeOffset = 18;
inline constexpr int kFaultsOffset = 22;
inline constexpr int kStampOffset = 24;
inline const QString kRecordFile = QStringLiteral("NUPEKI3.DAT");

// Text fields keep their Shift-JIS bytes as stored, so a row read from the file
// is written back byte for byte even when its bytes are not valid Shift-JIS.
struct ScoreRecord {
    QByteArray name; // 18 bytes
    float time = 0.0f;
    qint16 faults = 0;
    QByteArray stamp; // 11 bytes

    QByteArray ToBytes() const;
    static ScoreRecord FromBytes(const QByteArray &bytes); // exactly 35 bytes
};

// The contents of the file: the table (at most ten rows) and whatever follows
// it, kept untouched: rows beyond the tenth or a trailing partial record.
struct RecordFileContents {
    QList<ScoreRecord> rows;
    QByteArray rest;
};

RecordFileContents ParseRecordFile(const QByteArray &bytes);
QByteArray SerializeRecordFile(const RecordFileContents &contents);

// The name as stored: at most 18 characters, cut so that its Shift-JIS form
// fits 18 bytes without splitting a character, unencodable characters as "?",
// padded with spaces.
QByteArray EncodeName(const QString &name);
// Characters 6 to 16 of "mm-dd-yyyy.hh:mm:ss": "-2003.12:53".
QByteArray MakeStamp(const QDateTime &local);

// The order of the table: fewer faults first, then the shorter time; a time
// that is not a number sorts after every number.
bool TimeBefore(float a, float b);
// The two selection passes of the table's sort, as the table has always been sorted.
void SortRows(QList<ScoreRecord> &rows);

} // namespace nupew
