// SPDX-License-Identifier: MIT
// Speech from Open JTalk: rendering a text, and the cache of renderings.
#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <optional>

namespace nupew::voice {

// Where the synthesizer and its parts are; the defaults are Debian's.
struct VoiceParts {
    QString program = QStringLiteral("open_jtalk");
    QString dictionary = QStringLiteral("/var/lib/mecab/dic/open-jtalk/naist-jdic");
    QString voice =
        QStringLiteral("/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice");
};

// Empty when every part is there, else what to install, for a tooltip.
QString MissingParts(const VoiceParts &parts);

inline constexpr int kSampleRate = 48000; // Open JTalk's: 16-bit mono

// A text as the voice says it: samples from just before the first sound, and
// the start of each mora in milliseconds from the first sample.
struct Rendering {
    QByteArray pcm;
    QList<double> moraMs;
    QString phonemes; // what was said, for checks
};

// Renders `text` at `rate` (1.0 the voice's own): blocks for the
// synthesizer's run, so it is never called on the GUI thread.
// `cancel`, when given and set, ends a run early (the program is closing).
Result<Rendering> Render(const VoiceParts &parts, const QString &text, double rate,
                         const std::atomic<bool> *cancel = nullptr);

// Renderings kept in one folder of the user's cache, one file per text,
// voice and rate; the oldest go when the folder grows past its bound.
class RenderingCache final {
public:
    explicit RenderingCache(QString folder, qint64 maxBytes = 64ll << 20);
    static QString Key(const QString &text, const QString &voice, double rate);
    QString PathOf(const QString &key) const;
    // A stored rendering; none when missing, refused (not a regular file) or damaged.
    std::optional<Rendering> Load(const QString &key) const;
    // Stores a rendering; why not, when it cannot be written.
    Result<> Store(const QString &key, const Rendering &rendering) const;
    const QString &folder() const { return folder_; }

private:
    void Trim() const;
    QString folder_;
    qint64 maxBytes_;
};

} // namespace nupew::voice
