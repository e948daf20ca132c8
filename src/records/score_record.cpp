// SPDX-License-Identifier: MIT
// One row of the top-ten table and the bytes of NUPEKI3.DAT.
#include "records/score_record.h"

#include "core/text_files.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace nupew {
namespace {

QByteArray PadTo(QByteArray bytes, int size) {
    bytes.truncate(size);
    return bytes.leftJustified(size, ' ');
}

// The Shift-JIS bytes of one character, or empty when it has none.
// Characters that Linux input methods type but CP932 lacks, written with the
// codes their full-width look-alikes have in Shift-JIS.
QByteArray InputMethodChar(const QString &character) {
    if (character.size() != 1) {
        return {};
    }
    switch (character[0].unicode()) {
    case 0x301C:
        return QByteArray("\x81\x60"); // 〜 wave dash
    case 0x2212:
        return QByteArray("\x81\x7C"); // − minus sign
    case 0x2016:
        return QByteArray("\x81\x61"); // ‖ double vertical line
    case 0x2014:
        return QByteArray("\x81\x5C"); // — em dash
    case 0x00A2:
        return QByteArray("\x81\x91"); // ¢
    case 0x00A3:
        return QByteArray("\x81\x92"); // £
    case 0x00AC:
        return QByteArray("\x81\xCA"); // ¬
    default:
        return {};
    }
}

QByteArray EncodeChar(const QString &character) {
    if (QByteArray mapped = InputMethodChar(character); !mapped.isEmpty()) {
        return mapped;
    }
    QStringEncoder encoder(kShiftJisCodec, QStringConverter::Flag::ConvertInvalidToNull);
    const QByteArray bytes = encoder.encode(character);
    if (encoder.hasError() || bytes.isEmpty() || bytes.contains('\0')) {
        return {};
    }
    // Some converters substitute silently; only a faithful round trip counts.
    QStringDecoder decoder(kShiftJisCodec);
    const QString back = decoder.decode(bytes);
    return back == character ? bytes : QByteArray();
}

} // namespace

QByteArray ScoreRecord::ToBytes() const {
    QByteArray out = PadTo(name, kNameBytes);
    char number[4];
    qToLittleEndian(std::bit_cast<quint32>(time), number);
    out.append(number, 4);
    qToLittleEndian(faults, number);
    out.append(number, 2);
    out += PadTo(stamp, kStampBytes);
    return out;
}

ScoreRecord ScoreRecord::FromBytes(const QByteArray &bytes) {
    ScoreRecord record;
    if (bytes.size() < recordLength) {
        return record;
    }
    const char *data = bytes.constData();
    record.name = bytes.left(kNameBytes);
    record.time = std::bit_cast<float>(qFromLittleEndian<quint32>(data + kTimeOffset));
    record.faults = qFromLittleEndian<qint16>(data + kFaultsOffset);
    record.stamp = bytes.mid(kStampOffset, kStampBytes);
    return record;
}

RecordFileContents ParseRecordFile(const QByteArray &bytes) {
    RecordFileContents contents;
    const qsizetype whole = bytes.size() / recordLength;
    const qsizetype rows = std::min<qsizetype>(whole, tableSize);
    for (qsizetype i = 0; i < rows; ++i) {
        contents.rows.append(ScoreRecord::FromBytes(bytes.mid(i * recordLength, recordLength)));
    }
    contents.rest = bytes.mid(rows * recordLength);
    return contents;
}

QByteArray SerializeRecordFile(const RecordFileContents &contents) {
    QByteArray out;
    for (const ScoreRecord &row : contents.rows) {
        out += row.ToBytes();
    }
    return out + contents.rest;
}

QByteArray EncodeName(const QString &name) {
    QByteArray out;
    int characters = 0;
    for (qsizetype i = 0; i < name.size() && characters < kNameBytes; ++characters) {
        const qsizetype length = (name[i].isHighSurrogate() && i + 1 < name.size()) ? 2 : 1;
        QByteArray bytes = EncodeChar(name.mid(i, length));
        if (bytes.isEmpty()) {
            bytes = "?";
        }
        if (out.size() + bytes.size() > kNameBytes) {
            break; // never split a two-byte character
        }
        out += bytes;
        i += length;
    }
    return PadTo(out, kNameBytes);
}

QByteArray MakeStamp(const QDateTime &local) {
    const QString text = local.toString(QStringLiteral("MM-dd-yyyy.HH:mm:ss"));
    return PadTo(text.mid(5, kStampBytes).toLatin1(), kStampBytes);
}

bool TimeBefore(float a, float b) {
    if (std::isnan(a)) {
        return false;
    }
    if (std::isnan(b)) {
        return true;
    }
    return a < b;
}

void SortRows(QList<ScoreRecord> &rows) {
    const qsizetype n = rows.size();
    for (qsizetype i = 0; i < n; ++i) {
        qsizetype m = i;
        for (qsizetype j = i + 1; j < n; ++j) {
            if (rows[j].faults < rows[m].faults) {
                m = j;
            }
        }
        std::swap(rows[i], rows[m]);
    }
    for (qsizetype i = 0; i < n; ++i) {
        qsizetype m = i;
        for (qsizetype j = i + 1; j < n; ++j) {
            if (rows[j].faults == rows[i].faults && TimeBefore(rows[j].time, rows[m].time)) {
                m = j;
            }
        }
        std::swap(rows[i], rows[m]);
    }
}

} // namespace nupew
