// SPDX-License-Identifier: MIT
// Shift-JIS text from files: names in the record table and the poem list.
#pragma once

#include <QByteArray>
#include <QString>

namespace nupew {

// Windows code page 932, the Japanese Shift-JIS of the program's files.
inline constexpr const char *kShiftJisCodec = "CP932";

// Bytes that are not Shift-JIS become replacement characters.
QString DecodeShiftJis(const QByteArray &bytes);

// The text the poem list shows for the bytes of ichirun.txt: every line (ended
// by CR LF or a lone CR; a lone LF stays inside its line) followed by CR LF.
// A truncated file keeps whole lines only and says that the rest was left out.
QString PoemListText(const QByteArray &bytes, bool truncated = false);

} // namespace nupew
