// SPDX-License-Identifier: MIT
// Every read and write of the program's own files: only regular files, reads
// bounded by the bytes really read, writes that are either whole or not at all.
#include "core/safe_files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace nupew {

Q_LOGGING_CATEGORY(lcFiles, "nupew.files")

namespace {

int injectedWriteError = 0;

QByteArray Native(const QString &path) {
    return QFile::encodeName(path);
}

Result<> Fail(const QString &what, const QString &path, const QString &reason) {
    qCWarning(lcFiles).noquote() << what << path << "failed:" << reason;
    return Result<>::Failure(reason);
}

QString NotRegularText() {
    return QCoreApplication::translate("Files", "通常のファイルではありません");
}

} // namespace

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString KindText(unsigned mode) {
    switch (mode & S_IFMT) {
    case S_IFIFO:
        return QCoreApplication::translate("Files", "名前付きパイプ");
    case S_IFDIR:
        return QCoreApplication::translate("Files", "フォルダー");
    case S_IFCHR:
    case S_IFBLK:
        return QCoreApplication::translate("Files", "デバイス");
    case S_IFSOCK:
        return QCoreApplication::translate("Files", "ソケット");
    default:
        return QCoreApplication::translate("Files", "特殊なファイル");
    }
}

namespace {

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

Result<NameKind> CheckName(const QString &path) {
    using Checked = Result<NameKind>;
    struct stat st {};
    if (::lstat(Native(path).constData(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            return Checked::Failure(ErrorText(errno), errno);
        }
        return NameKind::Missing;
    }
    if (S_ISLNK(st.st_mode)) {
        if (::stat(Native(path).constData(), &st) != 0) {
            return Checked::Failure(
                QCoreApplication::translate("Files", "リンク先がありません（%1）")
                    .arg(ErrorText(errno)),
                errno);
        }
        if (!S_ISREG(st.st_mode)) {
            return Checked::Failure(
                NotRegularText() +
                QCoreApplication::translate("Files", "（リンク先が%1）").arg(KindText(st.st_mode)));
        }
        const QFileInfo info(path);
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        const QString target = info.canonicalFilePath();
        if (folder.isEmpty() || !target.startsWith(folder + u'/')) {
            return Checked::Failure(
                QCoreApplication::translate("Files", "フォルダーの外を指すリンクです（%1）")
                    .arg(target));
        }
    } else if (!S_ISREG(st.st_mode)) {
        return Checked::Failure(
            NotRegularText() +
            QCoreApplication::translate("Files", "（%1）").arg(KindText(st.st_mode)));
    }
    return NameKind::Regular;
}

Result<FileRead> ReadRegularFile(const QString &path, qint64 maxBytes) {
    using Read = Result<FileRead>;
    const auto failed = [&path](const char *what, const QString &reason, int code = 0) {
        (void)Fail(QString::fromLatin1(what), path, reason); // logged
        return Read::Failure(reason, code);
    };
    const Result<NameKind> name = CheckName(path);
    if (!name.ok()) {
        return failed("reading", name.error(), name.code());
    }
    struct stat st {};
    if (::stat(Native(path).constData(), &st) != 0) {
        if (errno == ENOENT) {
            return FileRead{};
        }
        return failed("reading", ErrorText(errno), errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return failed("reading", NotRegularText());
    }
    // Non-blocking, so that a FIFO swapped in after the check cannot hang us.
    Descriptor fd(::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        return failed("opening", ErrorText(errno), errno);
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return failed("reading", NotRegularText());
    }
    // Grow by what was really read: the size a file claims is not trusted.
    constexpr qint64 kChunk = 64 * 1024;
    FileRead read;
    read.missing = false;
    while (true) {
        const qint64 room = maxBytes + 1 - read.bytes.size();
        if (room <= 0) {
            break;
        }
        const qint64 want = std::min(room, kChunk);
        const qsizetype before = read.bytes.size();
        read.bytes.resize(before + want);
        const ssize_t n = ::read(fd.get(), read.bytes.data() + before, size_t(want));
        if (n < 0 && errno == EINTR) {
            read.bytes.resize(before);
            continue;
        }
        if (n < 0) {
            return failed("reading", ErrorText(errno), errno);
        }
        read.bytes.resize(before + n);
        if (n == 0) {
            break;
        }
    }
    if (read.bytes.size() > maxBytes) {
        read.bytes.truncate(maxBytes);
        read.truncated = true;
    }
    return read;
}

namespace {

// A new file written and synced beside its target, not yet in its place.
struct Prepared {
    QString path;      // the name the caller gave
    QByteArray target; // the file the rename replaces
    QByteArray temporary;
    QString folder;
};

QString TemporaryPrefix(const QString &fileName) {
    return u'.' + fileName + u'.';
}

// Writes `bytes` to a new file beside the target; on failure nothing is left.
Result<> Prepare(const QString &path, const QByteArray &bytes, Prepared *prepared) {
    if (const Result<NameKind> name = CheckName(path); !name.ok()) {
        return Fail(QStringLiteral("writing"), path, name.error());
    }
    const QString target = WriteTarget(path);
    const QFileInfo targetInfo(target);
    prepared->path = path;
    prepared->target = Native(target);
    prepared->folder = targetInfo.absolutePath();

    // A new file beside the target, so that the rename stays on one file system.
    int fdValue = -1;
    for (int attempt = 0; attempt < 100 && fdValue < 0; ++attempt) {
        prepared->temporary =
            Native(prepared->folder + u'/' + TemporaryPrefix(targetInfo.fileName()) +
                   QString::number(QRandomGenerator::global()->generate(), 36));
        fdValue = ::open(prepared->temporary.constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fdValue < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fdValue < 0) {
        return Fail(QStringLiteral("creating a file beside"), path, ErrorText(errno));
    }
    Descriptor fd(fdValue);
    const auto abandon = [&](const QString &what, int error) {
        ::unlink(prepared->temporary.constData());
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
        ::unlink(prepared->temporary.constData());
        return Fail(QStringLiteral("checking"), path,
                    QCoreApplication::translate(
                        "Files", "書いた大きさが合いません（%1 バイトのはずが %2 バイト）")
                        .arg(bytes.size())
                        .arg(qint64(written.st_size)));
    }
    if (fd.Close() != 0) {
        return abandon(QStringLiteral("closing"), errno);
    }
    return Ok();
}

// Puts a prepared file in its place and makes the rename durable.
Result<> Commit(const Prepared &prepared) {
    if (::rename(prepared.temporary.constData(), prepared.target.constData()) != 0) {
        const int error = errno;
        ::unlink(prepared.temporary.constData());
        return Fail(QStringLiteral("renaming"), prepared.path, ErrorText(error));
    }
    // The rename itself must reach the disk before we call the file saved.
    Descriptor dir(::open(Native(prepared.folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0 && ::fsync(dir.get()) != 0 && errno == EIO) {
        return Fail(QStringLiteral("syncing the folder of"), prepared.path, ErrorText(errno));
    }
    return Ok();
}

} // namespace

Result<> WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    Prepared prepared;
    if (Result<> made = Prepare(path, bytes, &prepared); !made.ok()) {
        return made;
    }
    return Commit(prepared);
}

Result<> WriteFilesTogether(const QList<FileContents> &files) {
    // A failure's code is the index of the file that could not be written.
    const auto failedAt = [](qsizetype index, const QString &reason) {
        return Result<>::Failure(reason, int(index));
    };
    // The old bytes of each file, to put back should a later rename fail (the
    // last one has none after it, so a single file is written as by
    // WriteFileAtomically).
    QList<std::optional<QByteArray>> old;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const Result<NameKind> name = CheckName(files[i].path);
        if ((name.ok() && name.value() == NameKind::Missing) || i + 1 == files.size()) {
            old.append(std::nullopt);
            continue;
        }
        const Result<FileRead> read = ReadRegularFile(files[i].path, 16 * 1024 * 1024);
        if (!read.ok() || read.value().truncated) {
            return failedAt(i, read.ok()
                                   ? QCoreApplication::translate("Files", "ファイルが大きすぎます")
                                   : read.error());
        }
        old.append(read.value().bytes);
    }
    QList<Prepared> prepared;
    const auto discard = [&prepared](qsizetype from) {
        for (qsizetype i = from; i < prepared.size(); ++i) {
            ::unlink(prepared[i].temporary.constData());
        }
    };
    for (qsizetype i = 0; i < files.size(); ++i) {
        Prepared one;
        if (const Result<> made = Prepare(files[i].path, files[i].bytes, &one); !made.ok()) {
            discard(0);
            return failedAt(i, made.error());
        }
        prepared.append(one);
    }
    for (qsizetype i = 0; i < prepared.size(); ++i) {
        const Result<> committed = Commit(prepared[i]);
        if (committed.ok()) {
            continue;
        }
        discard(i + 1);
        QString reason = committed.error();
        for (qsizetype j = 0; j < i; ++j) {
            const Result<> back =
                old[j] ? WriteFileAtomically(files[j].path, *old[j]) : RemoveFile(files[j].path);
            if (!back.ok()) {
                reason += QCoreApplication::translate("Files", "\n%1 を元に戻せませんでした: %2")
                              .arg(files[j].path, back.error());
            }
        }
        return failedAt(i, reason);
    }
    return Ok();
}

int RemoveStaleTemporaries(const QString &folder, const QStringList &names, qint64 minimumAge) {
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    int removed = 0;
    const QStringList entries =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString prefix = TemporaryPrefix(name);
        for (const QString &entry : entries) {
            // Our temporaries end in a random number in base 36 and nothing else.
            const QString rest = entry.mid(prefix.size());
            if (!entry.startsWith(prefix, Qt::CaseInsensitive) || rest.isEmpty() ||
                rest.size() > 7 || !std::all_of(rest.begin(), rest.end(), [](QChar c) {
                    return c.isDigit() || (c >= u'a' && c <= u'z');
                })) {
                continue;
            }
            const QString path = dir.filePath(entry);
            struct stat st {};
            if (::lstat(Native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
                QDateTime::currentSecsSinceEpoch() - qint64(st.st_mtime) < minimumAge) {
                continue;
            }
            // A running copy writing that file holds its lock.
            FileLock lock(dir.filePath(entry.mid(1, prefix.size() - 2)));
            if (!lock.Acquire(0).ok()) {
                continue;
            }
            if (::unlink(Native(path).constData()) == 0) {
                ++removed;
                qCInfo(lcFiles).noquote() << "removed the stale temporary" << path;
            }
        }
    }
    return removed;
}

namespace {
// Where QSettings keeps the user's files (QSettings::setPath may have moved
// them): asked of a store nobody has, so that the asking reads nothing.
QString SettingsBase() {
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope,
                          QStringLiteral("nupew-settings-probe"), QStringLiteral("probe"));
    return QDir::cleanPath(QFileInfo(probe.fileName()).absolutePath() + QStringLiteral("/.."));
}
} // namespace

QString SettingsFilePath(const QString &organization, const QString &application) {
    return SettingsBase() + u'/' + organization + u'/' + application + QStringLiteral(".conf");
}

Result<> CheckSettingsFiles(const QString &organization, const QString &application) {
    const QString base = SettingsBase();
    for (const QString &file :
         {base + u'/' + organization + u'/' + application + QStringLiteral(".conf"),
          base + u'/' + organization + QStringLiteral(".conf")}) {
        for (const QString &name : {file, file + QStringLiteral(".lock")}) {
            if (const Result<NameKind> check = CheckName(name); !check.ok()) {
                return Result<>::Failure(QStringLiteral("%1: %2").arg(name, check.error()));
            }
        }
    }
    return Ok();
}

Result<> CreateEmptyIfMissing(const QString &path) {
    const int fd = ::open(Native(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if (errno == EEXIST) {
            return Ok();
        }
        return Fail(QStringLiteral("creating"), path, ErrorText(errno));
    }
    ::close(fd);
    return Ok();
}

Result<> RemoveFile(const QString &path) {
    if (::unlink(Native(path).constData()) != 0 && errno != ENOENT) {
        return Fail(QStringLiteral("deleting"), path, ErrorText(errno));
    }
    return Ok();
}

FileLock::FileLock(const QString &path)
    : lock_(std::make_unique<QLockFile>(path + QStringLiteral(".lock"))), path_(path) {}

FileLock::~FileLock() = default;

Result<> FileLock::Refuse(const QString &reason) {
    return Fail(QStringLiteral("locking"), path_,
                QCoreApplication::translate("Files", "ロックファイル %1 を使えません（%2）")
                    .arg(lock_->fileName(), reason));
}

Result<> FileLock::Acquire(int milliseconds) {
    // Never open what is not a plain lock file: a FIFO would block for ever,
    // and a link would take the lock somewhere else.
    struct stat st {};
    if (::lstat(Native(lock_->fileName()).constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return Refuse(NotRegularText() + QCoreApplication::translate("Files", "、") +
                      KindText(st.st_mode));
    }
    QElapsedTimer waited;
    waited.start();
    bool removalFailed = false;
    while (true) {
        const qint64 left = milliseconds - waited.elapsed();
        if (lock_->tryLock(int(std::clamp<qint64>(left, 0, kStep)))) {
            return Ok();
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
            removalFailed = !lock_->removeStaleLockFile() && QFileInfo::exists(lock_->fileName());
        }
    }
    switch (lock_->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock_->getLockInfo(&pid, &host, &application) && pid > 0) {
            return Fail(QStringLiteral("locking"), path_,
                        QCoreApplication::translate(
                            "Files", "別に起動しているタワユ（プロセス %1）が使用中です")
                            .arg(pid));
        }
        if (removalFailed) {
            return Refuse(
                QCoreApplication::translate("Files", "前のロックが残っていて、削除できません"));
        }
        return Fail(QStringLiteral("locking"), path_,
                    QCoreApplication::translate("Files", "別に起動しているタワユが使用中です"));
    }
    case QLockFile::PermissionError:
        return Fail(
            QStringLiteral("locking"), path_,
            QCoreApplication::translate("Files", "ロックファイルを作れません（書き込み禁止）"));
    default:
        return Fail(
            QStringLiteral("locking"), path_,
            QCoreApplication::translate(
                "Files", "ロックファイルを作れません（ディスクがいっぱいか、書き込み禁止です）"));
    }
}

namespace testing {
void InjectWriteFailure(int error) {
    injectedWriteError = error;
}
} // namespace testing

} // namespace nupew
