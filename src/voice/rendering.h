// SPDX-License-Identifier: MIT
// Speech from Open JTalk: a text rendered to samples with the onset of each
// mora, at the voice's own pace or in a reader's rhythm.
#pragma once

#include "core/result.h"
#include "voice/speech.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>

namespace nupew::voice {

// Where the synthesizer and its parts are; the defaults are Debian's.
struct VoiceParts {
    QString program = QStringLiteral("open_jtalk");
    QString dictionary = QStringLiteral("/var/lib/mecab/dic/open-jtalk/naist-jdic");
    QString voice =
        QStringLiteral("/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice");
    // A run that takes longer is stopped: a verse takes well under a second.
    int runLimitMs = 30000;
};

// Empty when every part is there, else what to install, for a tooltip.
QString MissingParts(const VoiceParts &parts);

inline constexpr int kSampleRate = 48000; // Open JTalk's: 16-bit mono
// The most a rendering or any file of the synthesizer may hold: about
// three minutes of sound, far beyond any verse.
inline constexpr qint64 kMaxRenderingBytes = 16ll << 20;

// A text as the voice says it: samples from just before the first sound, and
// the start of each mora in milliseconds from the first sample.
struct Rendering {
    QByteArray pcm;
    QList<double> moraMs;
    QString phonemes; // what was said, for checks
};

// How a text is timed. The voice's own pace at `rate`; with `spokenMs` a
// reader's rhythm: the pauses fitted so that the text lasts `spokenMs` from
// its first sound to its last sound's onset (with `heldMs`) or to its end,
// the last sound cut to `heldMs` and faded, and `breathMs` of silence after.
struct Pace {
    double rate = 1.0;
    int spokenMs = 0;
    int heldMs = 0;
    int breathMs = 0;
    // What the cache key needs of it.
    QString Tag() const;
};

// Renders what speech made of a text: blocks for the synthesizer's run, so it is never called on
// the GUI thread. `cancel`, when given and set, ends a run early (the program
// is closing).
Result<Rendering> Render(const VoiceParts &parts, const Utterance &utterance, const Pace &pace,
                         const std::atomic<bool> *cancel = nullptr);

// Removes the synthesizer's folders that killed runs left in the temporary
// folder: ours by name and content, older than an hour, their process gone.
// Returns how many went.
int RemoveStaleSynthesizerFolders(const QString &temporaryFolder);

} // namespace nupew::voice
