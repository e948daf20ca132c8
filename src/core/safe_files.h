// SPDX-License-Identifier: MIT
// Every read and write of the program's own files: only regular files, reads
// bounded by the bytes really read, writes that are either whole or not at all.
#pragma once

#include "core/result.h"
#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <memory>

namespace nupew {

// Failed file operations are logged here with their reason ("nupew.files").
Q_DECLARE_LOGGING_CATEGORY(lcFiles)

// The system's words for an errno value.
QString ErrorText(int error);
// What kind of file a stat mode is, in words (名前付きパイプ, フォルダー …).
QString KindText(unsigned mode);

// What a read found: the bytes, or nothing at the name.
struct FileRead {
    bool missing = true; // nothing stands at the name
    QByteArray bytes;
    bool truncated = false; // the file held more than the bytes asked for
};

// Reads at most `maxBytes` of a regular file (a symlink to one is followed).
// FIFOs, devices, sockets and folders are never opened, so nothing blocks;
// what is not a regular file, or a read that fails, is a failure with the reason.
Result<FileRead> ReadRegularFile(const QString &path, qint64 maxBytes);

// What stands at a name, seen without opening it: nothing, or a regular
// file. A symlink counts as the regular file it points to only when that
// file lies inside the link's own folder; one that points nowhere, outside
// the folder or at anything but a regular file is refused with the reason,
// as is every other kind of file.
enum class NameKind { Missing, Regular };
Result<NameKind> CheckName(const QString &path);

// Replaces the file at `path` with `bytes`: written to a new file in the same
// folder, every write checked, synced, its size compared, then renamed over the
// old one and the folder synced. On any failure the old file stays as it was.
// A symlink keeps pointing where it did: its target is replaced.
Result<> WriteFileAtomically(const QString &path, const QByteArray &bytes);

// One file of a write that replaces several together.
struct FileContents {
    QString path;
    QByteArray bytes;
};

// Replaces every file or none: all new files are written and synced first,
// then renamed over the old ones; when a rename fails, the files already
// replaced get their old bytes back. A failure's code is the index of the
// file that could not be written.
Result<> WriteFilesTogether(const QList<FileContents> &files);

// Removes what killed writes left of the files `names` in `folder`: the
// hidden temporaries of WriteFileAtomically older than `minimumAge`
// seconds, each only while no running copy holds its file's lock.
// Returns how many were removed.
int RemoveStaleTemporaries(const QString &folder, const QStringList &names, qint64 minimumAge = 60);

// The files that QSettings(organization, application) reads and locks in the
// user's settings folder: fine when each is missing or a regular file, else
// which one is not and why. QSettings would block for ever on a FIFO there,
// so nothing may construct one before this has said yes.
Result<> CheckSettingsFiles(const QString &organization, const QString &application);
// The file QSettings(organization, application) keeps the user's options in.
QString SettingsFilePath(const QString &organization, const QString &application);

// Creates an empty regular file when nothing has that name; never replaces one.
Result<> CreateEmptyIfMissing(const QString &path);

// Deletes the file; a missing one is no failure.
Result<> RemoveFile(const QString &path);

// Holds the lock file beside `path` ("<path>.lock") while a copy of the program
// reads, changes and writes that file. A lock left by a killed program is taken over.
class FileLock final {
public:
    explicit FileLock(const QString &path);
    ~FileLock();
    // Waits up to `milliseconds` for the lock.
    Result<> Acquire(int milliseconds = kWaitMilliseconds);

    static constexpr int kWaitMilliseconds = 2000;

private:
    static constexpr qint64 kStep = 100;
    // An empty lock file this old belongs to no living program.
    static constexpr qint64 kUnnamedStaleAfter = 1000;
    Result<> Refuse(const QString &reason);
    std::unique_ptr<QLockFile> lock_;
    QString path_;
};

namespace testing {
// While non-zero, every write of WriteFileAtomically fails with this errno after
// writing nothing, as on a full disk (ENOSPC), so tests need no full disk.
void InjectWriteFailure(int error);
} // namespace testing

} // namespace nupew
