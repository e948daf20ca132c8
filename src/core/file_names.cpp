// SPDX-License-Identifier: MIT
// File names in the working directory, matched without regard to letter case.
#include "core/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace nupew {
namespace {

struct Split {
    QString folder; // empty, or ending with '/'
    QString name;
};

Split SplitPath(const QString &path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        return {QString(), path};
    }
    return {path.left(slash + 1), path.mid(slash + 1)};
}

// The entry of `folder` that matches `name` without regard to case, or empty.
QString MatchInFolder(const Split &split) {
    if (QFileInfo::exists(split.folder + split.name)) {
        return split.name;
    }
    const QDir dir(split.folder.isEmpty() ? QStringLiteral(".") : split.folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                              QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(split.name, Qt::CaseInsensitive) == 0) {
            return entry;
        }
    }
    return {};
}

} // namespace

QString ResolveName(const QString &path) {
    const Split split = SplitPath(path);
    const QString found = MatchInFolder(split);
    return split.folder + (found.isEmpty() ? split.name.toUpper() : found);
}

QString FindExisting(const QString &path) {
    const Split split = SplitPath(path);
    const QString found = MatchInFolder(split);
    return split.folder + (found.isEmpty() ? split.name : found);
}

short FileExists(const QString &path) {
    const QString resolved = FindExisting(path);
    QFile file(resolved);
    if (file.open(QIODevice::ReadOnly)) {
        file.close();
        return -1;
    }
    const QFileInfo info(resolved);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return 76;
    }
    if (!info.exists()) {
        return 0;
    }
    if (file.error() == QFileDevice::OpenError && info.isFile() && !info.isReadable()) {
        return 70;
    }
    return 75;
}

} // namespace nupew
