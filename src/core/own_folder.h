// SPDX-License-Identifier: MIT
// A folder that holds only the program's own files (a cache), used through
// a descriptor of the real folder: nothing is read, written or removed
// through a link, and nothing but a regular file is ever opened there.
#pragma once

#include "core/result.h"
#include "core/safe_files.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace nupew {

class OwnFolder final {
public:
    OwnFolder() = default;
    ~OwnFolder();
    OwnFolder(OwnFolder &&other) noexcept;
    OwnFolder &operator=(OwnFolder &&other) noexcept;
    OwnFolder(const OwnFolder &) = delete;
    OwnFolder &operator=(const OwnFolder &) = delete;

    // Opens `root`/`below`, making what is missing of `below`. Every part of
    // `below` must be a real folder: a link there (even to a folder), a file,
    // a FIFO or anything else is refused with the reason, naming the path.
    static Result<OwnFolder> Open(const QString &root, const QString &below);

    bool IsOpen() const { return fd_ >= 0; }
    const QString &path() const { return path_; }
    QString PathOf(const QString &name) const { return path_ + u'/' + name; }

    // Reads at most `maxBytes` of the regular file `name`; a link, FIFO,
    // device, socket or folder there is refused without opening it.
    Result<FileRead> Read(const QString &name, qint64 maxBytes) const;
    // Replaces the regular file `name` (or makes it) through a new file and
    // a rename; refused when anything else stands at the name.
    Result<> Write(const QString &name, const QByteArray &bytes) const;
    // Removes the regular file `name`; anything else is left where it is.
    Result<> Remove(const QString &name) const;

    struct Entry {
        QString name;
        qint64 size = 0;
        QDateTime modified;
    };
    // The regular files in the folder (links and the rest left out).
    QList<Entry> RegularFiles() const;

private:
    int fd_ = -1;
    QString path_;
};

} // namespace nupew
