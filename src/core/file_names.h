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

// What stands at a name (matched as FindExisting does).
enum class FileState {
    Readable, // a regular file that opens for reading
    Missing,  // nothing: a new file may be made there
    Denied,   // a regular file that may not be read
    Unusable, // no file of ours (FIFO, folder, device, link out), or reading failed
    NoFolder, // the folder itself is missing
};
FileState FileStateOf(const QString &path);

} // namespace nupew
