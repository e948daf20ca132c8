// SPDX-License-Identifier: MIT
// The voice of the game: renders verses ahead of time off the GUI thread,
// plays them and calls each shown character when its sound reaches the
// output, by the output's own clock.
#pragma once

#include "core/poem_catalogue.h"
#include "core/seams.h"
#include "voice/output.h"
#include "voice/rendering.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>

namespace nupew::voice {

struct ReaderOptions {
    bool recited = false; // the competition style: held sounds, breaths
    bool lower = false;   // the lower verse after the verdict
    bool opening = false; // the opening poem at a game's start
    double rate = 1.0;
};

// The voice's rate for a reveal speed (tenths of a second a character).
double RateForDelay(int revealDelay);

class Reader final : public QObject, public VerseReader {
    Q_OBJECT
public:
    Reader(const PoemCatalogue &catalogue, QString cacheFolder, VoiceParts parts = {},
           QObject *parent = nullptr);
    ~Reader() override;

    // Empty when the voice can be used here, else why not and what to install.
    static QString Unavailable(const VoiceParts &parts = {});

    void SetOptions(const ReaderOptions &options);
    const ReaderOptions &options() const { return options_; }

    void Prepare(int poem, int column) override;
    bool ReadUpper(int poem, int column, std::function<void(int, float)> step) override;
    float SecondsUntil(int step) const override;
    void Decided(int poem) override;
    void GameBegins() override;
    void Stop() override;

    // Renders still running or queued.
    int Pending() const { return int(pending_.size()); }
    // Milliseconds of sound played so far by the output, by its own clock.
    double PlayedMs() const;
    // The shown times of the last upper verse: for each step, milliseconds of
    // sound when it was shown (for measurements).
    const QList<double> &shownAt() const { return shownAt_; }
    // Each step's mora onset in milliseconds of sound.
    const QList<double> &stepOnsets() const { return stepMs_; }
    // The samples being played (48 kHz, 16-bit mono).
    const QByteArray &playing() const { return playing_; }

signals:
    // Something went wrong that the player must hear of (once per kind).
    void problem(const QString &text);
    // A rendering finished (for tests and the bench).
    void rendered(const QString &key);

private:
    QString UpperText(int poem) const;
    QString LowerText(int poem) const;
    QString KeyOf(const QString &text) const;
    void Render(const QString &text);
    bool Play(const QByteArray &pcm);
    void Tick();
    void Tell(const QString &kind, const QString &text);
    void OutputLost(const QString &reason);

    const PoemCatalogue &catalogue_;
    VoiceParts parts_;
    RenderingCache cache_;
    ReaderOptions options_;
    QThreadPool pool_;
    QHash<QString, std::shared_ptr<const Rendering>> ready_;
    QList<QString> readyOrder_; // keys of ready_, oldest first
    QSet<QString> pending_;
    QSet<QString> told_;
    std::atomic<bool> closing_ = false; // ends a render under way
    SoundOutput output_;
    QByteArray playing_;
    QTimer tick_;
    std::function<void(int, float)> step_;
    QList<double> stepMs_;
    QList<double> shownAt_;
    int nextStep_ = 0;
};

} // namespace nupew::voice
