// SPDX-License-Identifier: MIT
// File names in the working directory, matched without regard to letter case.
#include "core/file_names.h"

#include "core/safe_files.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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

// The entry of `folder` that stands for `name`: that exact spelling, else its
// upper-case spelling, else the first entry equal to it without regard to case in
// code-point order. Reading and writing ask the same question and so get one file,
// however many spellings of the name the folder holds.
QString MatchInFolder(const Split &split) {
    const auto present = [&split](const QString &name) {
        const QFileInfo info(split.folder + name);
        return info.exists() || info.isSymLink();
    };
    if (present(split.name)) {
        return split.name;
    }
    if (present(split.name.toUpper())) {
        return split.name.toUpper();
    }
    const QDir dir(split.folder.isEmpty() ? QStringLiteral(".") : split.folder);
    QStringList entries =
        dir.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDir::NoSort);
    std::sort(entries.begin(), entries.end());
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

FileState FileStateOf(const QString &path) {
    const QString resolved = FindExisting(path);
    const QFileInfo info(resolved);
    if (!QFileInfo(info.absolutePath()).isDir()) {
        return FileState::NoFolder;
    }
    // A FIFO, a device, a folder or a link that leads nowhere or out of the
    // folder is no file of ours: it is never opened, so that nothing can block here.
    const Result<NameKind> check = CheckName(resolved);
    if (!check.ok()) {
        return FileState::Unusable;
    }
    if (check.value() == NameKind::Missing) {
        return FileState::Missing;
    }
    const Result<FileRead> probe = ReadRegularFile(resolved, 0);
    if (probe.ok()) {
        return probe.value().missing ? FileState::Missing : FileState::Readable;
    }
    return info.isReadable() ? FileState::Unusable : FileState::Denied;
}

} // namespace nupew
