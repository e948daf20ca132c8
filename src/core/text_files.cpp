// SPDX-License-Identifier: MIT
// Shift-JIS text from files: names in the record table and the poem list.
#include "core/text_files.h"

#include <QCoreApplication>
#include <QStringDecoder>

namespace nupew {

namespace {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True when the bytes end in the first half of a two-byte character.
bool EndsInHalfCharacter(const QByteArray &bytes) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        i += IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    }
    return i > bytes.size();
}

} // namespace

QString DecodeShiftJis(const QByteArray &bytes) {
    // A lone lead byte at the end would be held back by the converter and vanish.
    const bool halfAtEnd = EndsInHalfCharacter(bytes);
    QStringDecoder decoder(kShiftJisCodec);
    QString text = decoder.decode(halfAtEnd ? bytes.chopped(1) : bytes);
    // The converter marks bytes it cannot read with the SUB control character;
    // show them as the replacement character instead.
    text.replace(QChar(0x1A), QChar::ReplacementCharacter);
    if (halfAtEnd) {
        text += QChar::ReplacementCharacter;
    }
    return text;
}

QString PoemListText(const QByteArray &bytes, bool truncated) {
    QByteArray whole = bytes;
    if (truncated) {
        // Keep whole lines only, so no character is cut in two.
        const qsizetype end = whole.lastIndexOf('\r');
        if (end >= 0) {
            whole.truncate(end + 1);
        }
    }
    const QString text = DecodeShiftJis(whole);
    QString buffer;
    buffer.reserve(text.size() + text.size() / 16 + 64);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\r', start);
        if (end < 0) {
            buffer += QStringView(text).mid(start);
            buffer += QStringLiteral("\r\n");
            break;
        }
        buffer += QStringView(text).mid(start, end - start);
        buffer += QStringLiteral("\r\n");
        start = end + 1;
        if (start < text.size() && text[start] == u'\n') {
            ++start;
        }
    }
    if (truncated) {
        buffer += QCoreApplication::translate(
            "Files", "（ichirun.txt が大きすぎるため、ここから後は表示していません。）\r\n");
    }
    return buffer;
}

} // namespace nupew
