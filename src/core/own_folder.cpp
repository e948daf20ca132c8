// SPDX-License-Identifier: MIT
// A folder of the program's own files, used through a descriptor of the real
// folder, never through a link.
#include "core/own_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace nupew {
namespace {

QByteArray Native(const QString &name) {
    return QFile::encodeName(name);
}

QString LinkText() {
    return QCoreApplication::translate("Files", "リンクです（たどりません）");
}

// Why what stands at a name is not a regular file of ours.
QString NotOurs(const struct stat &st) {
    if (S_ISLNK(st.st_mode)) {
        return LinkText();
    }
    return QCoreApplication::translate("Files", "通常のファイルではありません（%1）")
        .arg(KindText(st.st_mode));
}

Result<> Refused(const QString &path, const QString &reason) {
    qCWarning(lcFiles).noquote() << "refused" << path << reason;
    return Result<>::Failure(QStringLiteral("%1: %2").arg(path, reason));
}

} // namespace

OwnFolder::~OwnFolder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

OwnFolder::OwnFolder(OwnFolder &&other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

OwnFolder &OwnFolder::operator=(OwnFolder &&other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

Result<OwnFolder> OwnFolder::Open(const QString &root, const QString &below) {
    OwnFolder folder;
    folder.path_ = root;
    folder.fd_ = ::open(Native(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.fd_ < 0 && errno == ENOENT && QDir().mkpath(root)) {
        folder.fd_ = ::open(Native(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (folder.fd_ < 0) {
        return Result<OwnFolder>::Failure(QStringLiteral("%1: %2").arg(root, ErrorText(errno)));
    }
    for (const QString &part : below.split(u'/', Qt::SkipEmptyParts)) {
        const QByteArray name = Native(part);
        folder.path_ += u'/' + part;
        struct stat st {};
        if (::fstatat(folder.fd_, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT ||
                (::mkdirat(folder.fd_, name.constData(), 0700) != 0 && errno != EEXIST)) {
                return Result<OwnFolder>::Failure(Refused(folder.path_, ErrorText(errno)).error());
            }
        } else if (!S_ISDIR(st.st_mode)) {
            return Result<OwnFolder>::Failure(
                Refused(folder.path_,
                        S_ISLNK(st.st_mode)
                            ? LinkText()
                            : QCoreApplication::translate("Files", "フォルダーではありません（%1）")
                                  .arg(KindText(st.st_mode)))
                    .error());
        }
        const int next = ::openat(folder.fd_, name.constData(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (next < 0) {
            const int error = errno;
            return Result<OwnFolder>::Failure(
                Refused(folder.path_, error == ELOOP ? LinkText() : ErrorText(error)).error());
        }
        ::close(folder.fd_);
        folder.fd_ = next;
    }
    return folder;
}

Result<FileRead> OwnFolder::Read(const QString &name, qint64 maxBytes) const {
    using Read = Result<FileRead>;
    const QByteArray native = Native(name);
    struct stat st {};
    if (::fstatat(fd_, native.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            return Read::Failure(ErrorText(errno), errno);
        }
        return FileRead{};
    }
    if (!S_ISREG(st.st_mode)) {
        return Read::Failure(NotOurs(st));
    }
    const int fd =
        ::openat(fd_, native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        const Read failed = Read::Failure(fd < 0 ? ErrorText(errno) : NotOurs(opened));
        if (fd >= 0) {
            ::close(fd);
        }
        return failed;
    }
    FileRead read;
    read.missing = false;
    read.bytes.resize(qsizetype(std::min<qint64>(opened.st_size, maxBytes)));
    qsizetype done = 0;
    while (done < read.bytes.size()) {
        const ssize_t n = ::read(fd, read.bytes.data() + done, size_t(read.bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return Read::Failure(ErrorText(error), error);
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    ::close(fd);
    read.bytes.truncate(done);
    read.truncated = opened.st_size > maxBytes;
    return read;
}

Result<> OwnFolder::Write(const QString &name, const QByteArray &bytes) const {
    const QByteArray native = Native(name);
    struct stat st {};
    if (::fstatat(fd_, native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) {
        return Refused(PathOf(name), NotOurs(st));
    }
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary =
            '.' + native + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::openat(fd_, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return Refused(PathOf(name), ErrorText(errno));
    }
    int error = 0;
    for (qsizetype done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR) {
            error = errno;
        } else if (n > 0) {
            done += n;
        }
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::renameat(fd_, temporary.constData(), fd_, native.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlinkat(fd_, temporary.constData(), 0);
        return Refused(PathOf(name), ErrorText(error));
    }
    return Ok();
}

Result<> OwnFolder::Remove(const QString &name) const {
    const QByteArray native = Native(name);
    struct stat st {};
    if (::fstatat(fd_, native.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Ok() : Refused(PathOf(name), ErrorText(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        return Refused(PathOf(name), NotOurs(st));
    }
    if (::unlinkat(fd_, native.constData(), 0) != 0 && errno != ENOENT) {
        return Refused(PathOf(name), ErrorText(errno));
    }
    return Ok();
}

QList<OwnFolder::Entry> OwnFolder::RegularFiles() const {
    QList<Entry> entries;
    const int fd = ::dup(fd_);
    DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0) {
            ::close(fd);
        }
        return entries;
    }
    ::rewinddir(dir);
    while (const dirent *d = ::readdir(dir)) {
        struct stat st {};
        if (::fstatat(fd_, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            entries.append({QFile::decodeName(d->d_name), qint64(st.st_size),
                            QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec)
                                .addMSecs(st.st_mtim.tv_nsec / 1000000)});
        }
    }
    ::closedir(dir);
    return entries;
}

} // namespace nupew
