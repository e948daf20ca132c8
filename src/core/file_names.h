// SPDX-License-Identifier: MIT
// File names in the working directory, matched without regard to letter case.
#pragma once

#include <QString>

namespace nupew {

// The path of an existing file whose name matches the last part of `path`
// without regard to case (an exact match wins); when there is none, the path
// with its last part in upper case, which is the name a new file gets.
QString ResolveName(const QString &path);

// Like ResolveName, but a missing file keeps the name as it was given.
QString FindExisting(const QString &path);

// -1 when the file can be opened for reading, 0 when there is no such file,
// otherwise a positive code: 70 access denied, 75 other failure, 76 no such folder.
short FileExists(const QString &path);

} // namespace nupew
