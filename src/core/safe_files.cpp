// SPDX-License-Identifier: MIT
// Every read and write of the program's own files: only regular files, reads
// bounded by the bytes really read, writes that are either whole or not at all.
#include "core/safe_files.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nupew {

Q_LOGGING_CATEGORY(lcFiles, "nupew.files")

namespace {

int injectedWriteError = 0;

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray Native(const QString &path) {
    return QFile::encodeName(path);
}

FileResult Fail(const QString &what, const QString &path, const QString &reason) {
    qCWarning(lcFiles).noquote() << what << path << "failed:" << reason;
    return FileResult::Failure(reason);
}

QString NotRegularText() {
    return QStringLiteral("通常のファイルではありません");
}

// Closes a descriptor on every path out of a function.
class Descriptor final {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error a late write-back may bring.
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

// The file a write must replace: the target of a symlink, else the path itself.
QString WriteTarget(const QString &path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        return path;
    }
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

bool WriteAll(int fd, const QByteArray &bytes, int &error) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (injectedWriteError != 0) {
            error = injectedWriteError;
            return false;
        }
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

bool IsRegularFile(const QString &path) {
    struct stat st {};
    return ::stat(Native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

ReadResult ReadRegularFile(const QString &path, qint64 maxBytes) {
    ReadResult result;
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0) {
        result.status = errno == ENOENT ? ReadResult::Status::Missing : ReadResult::Status::Failed;
        result.errorString = ErrorText(errno);
        if (result.status == ReadResult::Status::Failed) {
            Fail(QStringLiteral("reading"), path, result.errorString);
        }
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = ReadResult::Status::NotRegular;
        result.errorString = NotRegularText();
        Fail(QStringLiteral("reading"), path, result.errorString);
        return result;
    }
    // Non-blocking, so that a FIFO swapped in after the check cannot hang us.
    Descriptor fd(::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        result.status = ReadResult::Status::Failed;
        result.errorString = ErrorText(errno);
        Fail(QStringLiteral("opening"), path, result.errorString);
        return result;
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = ReadResult::Status::NotRegular;
        result.errorString = NotRegularText();
        Fail(QStringLiteral("reading"), path, result.errorString);
        return result;
    }
    // Grow by what was really read: the size a file claims is not trusted.
    constexpr qint64 kChunk = 64 * 1024;
    while (true) {
        const qint64 room = maxBytes + 1 - result.bytes.size();
        if (room <= 0) {
            break;
        }
        const qint64 want = std::min(room, kChunk);
        const qsizetype before = result.bytes.size();
        result.bytes.resize(before + want);
        const ssize_t n = ::read(fd.get(), result.bytes.data() + before, size_t(want));
        if (n < 0 && errno == EINTR) {
            result.bytes.resize(before);
            continue;
        }
        if (n < 0) {
            result.bytes.clear();
            result.status = ReadResult::Status::Failed;
            result.errorString = ErrorText(errno);
            Fail(QStringLiteral("reading"), path, result.errorString);
            return result;
        }
        result.bytes.resize(before + n);
        if (n == 0) {
            break;
        }
    }
    if (result.bytes.size() > maxBytes) {
        result.bytes.truncate(maxBytes);
        result.truncated = true;
    }
    result.status = ReadResult::Status::Ok;
    return result;
}

FileResult WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    const QString target = WriteTarget(path);
    const QByteArray nativeTarget = Native(target);
    struct stat st {};
    if (::stat(nativeTarget.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return Fail(QStringLiteral("writing"), path, NotRegularText());
    }
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();

    // A new file beside the target, so that the rename stays on one file system.
    QByteArray temporary;
    int fdValue = -1;
    for (int attempt = 0; attempt < 100 && fdValue < 0; ++attempt) {
        temporary = Native(folder + u'/' + u'.' + targetInfo.fileName() + u'.' +
                           QString::number(QRandomGenerator::global()->generate(), 36));
        fdValue = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fdValue < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fdValue < 0) {
        return Fail(QStringLiteral("creating a file beside"), path, ErrorText(errno));
    }
    Descriptor fd(fdValue);
    const auto abandon = [&](const QString &what, int error) {
        ::unlink(temporary.constData());
        return Fail(what, path, ErrorText(error));
    };
    int error = 0;
    if (!WriteAll(fd.get(), bytes, error)) {
        return abandon(QStringLiteral("writing"), error);
    }
    if (::fsync(fd.get()) != 0) {
        return abandon(QStringLiteral("syncing"), errno);
    }
    struct stat written {};
    if (::fstat(fd.get(), &written) != 0) {
        return abandon(QStringLiteral("checking"), errno);
    }
    if (written.st_size != bytes.size()) {
        ::unlink(temporary.constData());
        return Fail(QStringLiteral("checking"), path,
                    QStringLiteral("書いた大きさが合いません（%1 バイトのはずが %2 バイト）")
                        .arg(bytes.size())
                        .arg(qint64(written.st_size)));
    }
    if (fd.Close() != 0) {
        return abandon(QStringLiteral("closing"), errno);
    }
    if (::rename(temporary.constData(), nativeTarget.constData()) != 0) {
        return abandon(QStringLiteral("renaming"), errno);
    }
    // The rename itself must reach the disk before we call the file saved.
    Descriptor dir(::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0 && ::fsync(dir.get()) != 0 && errno == EIO) {
        return Fail(QStringLiteral("syncing the folder of"), path, ErrorText(errno));
    }
    return {};
}

FileResult CreateEmptyIfMissing(const QString &path) {
    const int fd = ::open(Native(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if (errno == EEXIST) {
            return {};
        }
        return Fail(QStringLiteral("creating"), path, ErrorText(errno));
    }
    ::close(fd);
    return {};
}

FileResult RemoveFile(const QString &path) {
    if (::unlink(Native(path).constData()) != 0 && errno != ENOENT) {
        return Fail(QStringLiteral("deleting"), path, ErrorText(errno));
    }
    return {};
}

FileLock::FileLock(const QString &path)
    : lock_(std::make_unique<QLockFile>(path + QStringLiteral(".lock"))), path_(path) {}

FileLock::~FileLock() = default;

FileResult FileLock::Acquire(int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (true) {
        const qint64 left = milliseconds - waited.elapsed();
        if (lock_->tryLock(int(std::clamp<qint64>(left, 0, kStep)))) {
            return {};
        }
        if (lock_->error() != QLockFile::LockFailedError || left <= 0) {
            break;
        }
        // Qt takes over a lock whose program has died, but only when the lock
        // names that program; one killed while writing its lock left it empty.
        qint64 pid = 0;
        QString host;
        QString application;
        const QFileInfo info(lock_->fileName());
        if (!lock_->getLockInfo(&pid, &host, &application) &&
            info.lastModified().msecsTo(QDateTime::currentDateTime()) > kUnnamedStaleAfter) {
            lock_->removeStaleLockFile();
        }
    }
    QString reason;
    switch (lock_->error()) {
    case QLockFile::LockFailedError:
        reason = QStringLiteral("別に起動しているタワユが使用中です");
        break;
    case QLockFile::PermissionError:
        reason = QStringLiteral("ロックファイルを作れません（書き込み禁止）");
        break;
    default:
        reason =
            QStringLiteral("ロックファイルを作れません（ディスクがいっぱいか、書き込み禁止です）");
        break;
    }
    return Fail(QStringLiteral("locking"), path_, reason);
}

namespace testing {
void InjectWriteFailure(int error) {
    injectedWriteError = error;
}
} // namespace testing

} // namespace nupew
