// SPDX-License-Identifier: MIT
// Renderings kept in the user's cache, packed with FLAC.
#include "voice/cache.h"

#include "voice/flac.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace nupew::voice {
namespace {

// Raised whenever an entry would come out otherwise, so that older entries
// are made again: "NPV2" cut at the first audible sample, "NPV3" packs the
// sound with FLAC.
constexpr quint32 kMagic = 0x4e505633;
// The first three bytes of every version of our entries ("NPV").
constexpr quint32 kFamily = 0x4e505600;
constexpr qint64 kHeaderBytes = 4;

QString Damaged(const QString &path) {
    return QCoreApplication::translate("Voice", "%1: 読み上げの保存データが壊れています").arg(path);
}

bool IsOurName(const QString &name) {
    static const QRegularExpression ours(QStringLiteral("^[0-9a-f]{40}\\.voice$"));
    return ours.match(name).hasMatch();
}

quint32 MagicOf(const Result<FileRead> &read) {
    if (!read.ok()) {
        return 0;
    }
    const QByteArray &bytes = read.value().bytes;
    if (bytes.size() < kHeaderBytes) {
        return 0;
    }
    QDataStream in(bytes);
    quint32 magic = 0;
    in >> magic;
    return magic;
}

} // namespace

RenderingCache::RenderingCache(QString folder, qint64 maxBytes)
    : folder_(std::move(folder)), maxBytes_(maxBytes) {
    // Checked from the user's cache folder down (or from the folder's own
    // parent): a link anywhere in our own part of the path is refused.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && folder_.startsWith(cache + u'/')) {
        root_ = cache;
        below_ = folder_.mid(cache.size() + 1);
    } else {
        const QFileInfo info(folder_);
        root_ = info.absolutePath();
        below_ = info.fileName();
    }
}

QString RenderingCache::Key(const QString &text, const QString &voice, const Pace &pace) {
    const QString all = text + u'\n' + QFileInfo(voice).fileName() + u'\n' + pace.Tag();
    return QString::fromLatin1(
        QCryptographicHash::hash(all.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QString RenderingCache::FileName(const QString &key) {
    return key + QStringLiteral(".voice");
}

QString RenderingCache::PathOf(const QString &key) const {
    return folder_ + u'/' + FileName(key);
}

Result<> RenderingCache::Check() const {
    const Result<OwnFolder> opened = OwnFolder::Open(root_, below_);
    return opened.ok() ? Ok() : Result<>::Failure(opened);
}

bool RenderingCache::Has(const QString &key) const {
    const Result<OwnFolder> opened = OwnFolder::Open(root_, below_);
    return opened.ok() && MagicOf(opened.value().Read(FileName(key), kHeaderBytes)) == kMagic;
}

Result<std::optional<Rendering>> RenderingCache::Load(const QString &key) const {
    using Loaded = Result<std::optional<Rendering>>;
    const Result<OwnFolder> opened = OwnFolder::Open(root_, below_);
    if (!opened.ok()) {
        return Loaded::Failure(opened.error());
    }
    const Result<FileRead> read = opened.value().Read(FileName(key), kMaxRenderingBytes);
    if (!read.ok()) {
        return Loaded::Failure(QStringLiteral("%1: %2").arg(PathOf(key), read.error()));
    }
    if (read.value().missing) {
        return Loaded{std::nullopt};
    }
    QDataStream in(read.value().bytes);
    quint32 magic = 0;
    Rendering r;
    QByteArray packed;
    in >> magic;
    if (magic != kMagic) {
        return Loaded{std::nullopt}; // an older version: made again
    }
    in >> r.moraMs >> r.phonemes >> packed;
    std::optional<QByteArray> pcm;
    if (in.status() == QDataStream::Ok && !read.value().truncated) {
        pcm = UnpackSamples(packed, kMaxRenderingBytes);
    }
    if (!pcm || r.moraMs.isEmpty() || !std::is_sorted(r.moraMs.begin(), r.moraMs.end()) ||
        r.moraMs.front() < 0.0 ||
        r.moraMs.back() * kSampleRate / 1000.0 > double(pcm->size() / 2)) {
        return Loaded::Failure(Damaged(PathOf(key)));
    }
    r.pcm = std::move(*pcm);
    return Loaded{std::move(r)};
}

Result<> RenderingCache::Store(const QString &key, const Rendering &rendering) const {
    const Result<OwnFolder> opened = OwnFolder::Open(root_, below_);
    if (!opened.ok()) {
        return Result<>::Failure(opened.error());
    }
    const QByteArray packed = PackSamples(rendering.pcm);
    if (packed.isEmpty()) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "%1: 音声を圧縮できません").arg(PathOf(key)));
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << rendering.moraMs << rendering.phonemes << packed;
    const Result<> written = opened.value().Write(FileName(key), bytes);
    if (written.ok()) {
        Trim(opened.value());
    }
    return written;
}

void RenderingCache::Trim(const OwnFolder &folder) const {
    // Only regular files with our names and our header count, and only they
    // are removed, the oldest first; anything else in the folder is left.
    struct Ours {
        QString name;
        qint64 size;
        QDateTime modified;
    };
    QList<Ours> ours;
    qint64 total = 0;
    for (const OwnFolder::Entry &entry : folder.RegularFiles()) {
        if (IsOurName(entry.name) &&
            (MagicOf(folder.Read(entry.name, kHeaderBytes)) & 0xffffff00u) == kFamily) {
            ours.append({entry.name, entry.size, entry.modified});
            total += entry.size;
        }
    }
    std::sort(ours.begin(), ours.end(),
              [](const Ours &a, const Ours &b) { return a.modified < b.modified; });
    for (const Ours &entry : ours) {
        if (total <= maxBytes_) {
            break;
        }
        if (folder.Remove(entry.name).ok()) {
            total -= entry.size;
        }
    }
}

} // namespace nupew::voice
