// SPDX-License-Identifier: MIT
// The voice of the game: prepares every verse of the set ahead of time off
// the GUI thread, plays them and calls each shown character when its sound
// reaches the output, by the output's own clock.
#pragma once

#include "core/poem_catalogue.h"
#include "core/seams.h"
#include "voice/cache.h"
#include "voice/output.h"
#include "voice/rendering.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace nupew::voice {

struct ReaderOptions {
    bool recited = false; // the competition style: a reader's rhythm
    bool lower = false;   // the lower verse after the verdict
    bool opening = false; // the opening poem at a game's start
    double rate = 1.0;    // the plain style's rate
    friend bool operator==(const ReaderOptions &, const ReaderOptions &) = default;
};

// The voice's rate for a reveal speed (tenths of a second a character).
double RateForDelay(int revealDelay);

// Opens an output to play to; runs off the GUI thread (a server that does
// not answer takes its time to say so).
using OpenPlayback = std::function<Result<std::unique_ptr<Playback>>()>;
// The sound server's output.
Result<std::unique_ptr<Playback>> OpenSoundOutput();

struct OpenTarget;

class Reader final : public QObject, public VerseReader {
    Q_OBJECT
public:
    Reader(const PoemCatalogue &catalogue, QString cacheFolder, VoiceParts parts = {},
           OpenPlayback open = OpenSoundOutput, QObject *parent = nullptr);
    ~Reader() override;

    // Whether the voice's parts are installed; what to install, when not.
    // Whether a sound output answers is found out off the GUI thread (outputChanged).
    static Result<> Available(const VoiceParts &parts = {});

    // A change of style or rate prepares the set afresh, the dealt verse first.
    void SetOptions(const ReaderOptions &options);
    const ReaderOptions &options() const { return options_; }
    // Prepares the whole set (every upper verse, the lower ones when they are
    // read, the opening poem) in the background while on.
    void SetPreparing(bool on);

    void Prepare(Poem poem, Column column) override;
    bool ReadUpper(Poem poem, Column column, std::function<void(int, float)> step) override;
    float SecondsUntil(int step) const override;
    void Decided(Poem poem) override;
    void GameBegins() override;
    // Reads the opening poem now, whatever the options say (a match begins);
    // false when it is not ready or there is no output. `readToEnd` follows.
    bool ReadOpening();
    // Makes the opening poem ready before the rest of the set.
    void PrepareOpening();
    bool OpeningReady() const;
    void Stop() override;
    QString Unready() const override;
    QString BrokeOff() const override { return brokeOff_; }

    // How far the preparation is: verses ready of the set.
    int PreparedCount() const;
    int SetSize() const { return int(wanted_.size()); }
    // Whether the upper verse of a poem is ready to be read at once.
    bool IsReady(Poem poem) const;
    // Renders or loads still running or queued.
    int Pending() const { return int(queue_.size()) + (running_ ? 1 : 0); }
    // Whether an output is open to play to.
    bool HasOutput() const { return output_ != nullptr; }
    // Milliseconds of sound played so far by the output, by its own clock.
    double PlayedMs() const;
    // The shown times of the last upper verse: for each step, milliseconds of
    // sound when it was shown (for measurements).
    const QList<double> &shownAt() const { return shownAt_; }
    // Each step's mora onset in milliseconds of sound.
    const QList<double> &stepOnsets() const { return stepMs_; }
    // The samples being played (48 kHz, 16-bit mono), and the onset of each
    // of their morae in milliseconds (for measurements).
    const QByteArray &playing() const { return playing_; }
    const QList<double> &playingOnsets() const { return playingMs_; }
    // The text the voice says for a verse, in the options of the moment.
    QString UpperText(Poem poem) const;
    QString LowerText(Poem poem) const;
    // How long the last rendering taken from the disk took to read, in ms.
    double lastLoadMs() const { return lastLoadMs_; }

signals:
    // Something went wrong that the player must hear of (once per kind),
    // while no question is being read.
    void problem(const QString &text);
    // A verse finished rendering or loading (for tests and the bench).
    void rendered(const QString &key);
    // The preparation moved on: `done` of `total` verses are ready.
    void progress(int done, int total);
    // An output became usable, or none can be had (why not).
    void outputChanged(bool available, const QString &why);
    // The lower verse, its held end and the breath after it have been played;
    // or the opening poem read by ReadOpening.
    void readToEnd();

private:
    enum class Verse { Upper, Lower, Opening };
    struct Job {
        QString key;
        Utterance utterance;
        Pace pace;
        bool keep = false; // the dealt verse: kept decoded once ready
    };
    struct Packed; // a rendering kept in memory when the cache cannot be used
    // What a job on the worker thread brings back.
    struct Done {
        Job job;
        bool stored = false; // in the cache
        std::optional<Rendering> made;
        std::shared_ptr<const Packed> packed;
        QString cacheProblem, problem, storeProblem, renderProblem;
    };
    static QString NoOutputText(const QString &why);
    Pace PaceOf(Verse verse) const;
    Job JobOf(Verse verse, Poem poem, bool keep) const;
    bool Known(const QString &key) const;
    void Want(const Job &job, bool first);
    void RunNext();
    void Finished(const Done &done);
    void RebuildSet();
    std::shared_ptr<const Rendering> Ready(const QString &key);
    void Keep(const QString &key, std::shared_ptr<const Rendering> rendering);
    bool Play(const QByteArray &pcm);
    // Plays a lower verse that is ready; false when it is not.
    bool PlayLower(const QString &key);
    bool Stalled(double played);
    void Tick();
    void WatchLower();
    void Tell(const QString &kind, const QString &text);
    void OutputLost(const QString &reason);
    void DropOutput(const QString &reason);
    void OpenOutput();
    void OutputOpened(Result<std::unique_ptr<Playback>> opened);

    const PoemCatalogue &catalogue_;
    VoiceParts parts_;
    RenderingCache cache_;
    OpenPlayback open_;
    ReaderOptions options_;
    QThreadPool pool_; // renders and loads, one at a time
    bool preparing_ = false;
    bool cacheChecked_ = false;
    bool cacheUsable_ = true;
    QList<Job> queue_;
    bool running_ = false;
    QList<QString> wanted_;                                // the keys of the set, in order
    QSet<QString> onDisk_;                                 // keys stored in the cache
    QHash<QString, std::shared_ptr<const Packed>> packed_; // without a cache
    QList<QString> packedOrder_;
    qint64 packedBytes_ = 0;
    QHash<QString, std::shared_ptr<const Rendering>> kept_; // the dealt verses
    QList<QString> keptOrder_;
    std::optional<Poem> dealt_; // the verse dealt last
    QSet<QString> told_;
    std::atomic<bool> closing_ = false; // ends a render under way
    std::unique_ptr<Playback> output_;
    bool opening_ = false;
    std::shared_ptr<OpenTarget> target_;
    QString outputProblem_; // why there is no output now
    QTimer reopen_;
    QByteArray playing_;
    QList<double> playingMs_;
    QTimer tick_;
    std::function<void(int, float)> step_;
    QList<double> stepMs_;
    QList<double> shownAt_;
    int nextStep_ = 0;
    double lastPlayed_ = 0.0;
    QElapsedTimer sinceProgress_; // since the output's clock last moved
    QString brokeOff_;
    QTimer lowerWatch_;
    QString awaitedLower_; // a lower verse to read as soon as it is made
    double lastLoadMs_ = 0.0;
};

} // namespace nupew::voice
