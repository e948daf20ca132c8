// SPDX-License-Identifier: MIT
// Renderings kept in a folder of the user's cache, one file per text, voice
// and pace, packed with FLAC; the oldest of our own files go when the folder
// grows past its bound.
#pragma once

#include "core/own_folder.h"
#include "core/result.h"
#include "voice/rendering.h"

#include <QString>
#include <optional>

namespace nupew::voice {

// Room for three whole sets in the reader's rhythm: one (the hundred upper
// and lower verses, the lower ones with their held ends and breaths) takes
// about 60 MiB packed (bench_voice); a set in the plain voice much less.
inline constexpr qint64 kCacheBytes = 192ll << 20;

class RenderingCache final {
public:
    // `folder` is checked below the user's cache folder (or below its own
    // parent when it lies elsewhere): none of those parts may be a link.
    explicit RenderingCache(QString folder, qint64 maxBytes = kCacheBytes);

    static QString Key(const QString &text, const QString &voice, const Pace &pace);
    // The entry's file name for a key: our names are 40 hex digits and ".voice".
    static QString FileName(const QString &key);
    QString PathOf(const QString &key) const;
    const QString &folder() const { return folder_; }

    // Opens the folder, making it when missing; why it cannot be used.
    Result<> Check() const;
    // Whether an entry of ours stands at the key (its header read, not its sound).
    bool Has(const QString &key) const;
    // The stored rendering: none when there is no entry; a failure naming
    // the file when what stands there is not a whole rendering of ours.
    Result<std::optional<Rendering>> Load(const QString &key) const;
    // Stores a rendering, then trims the folder to its bound.
    Result<> Store(const QString &key, const Rendering &rendering) const;

private:
    void Trim(const OwnFolder &folder) const;
    QString root_;
    QString below_;
    QString folder_;
    qint64 maxBytes_;
};

} // namespace nupew::voice
