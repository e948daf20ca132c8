// SPDX-License-Identifier: MIT
// The voice of the game: prepares the set ahead of time, plays, and shows
// each character when its sound reaches the output.
#include "voice/reader.h"

#include "voice/flac.h"
#include "voice/speech.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <mutex>
#include <thread>

namespace nupew::voice {
namespace {

// The opening poem a reader recites before a match (序歌); in the
// competition's style its lower verse is read twice.
const QString kOpening =
    QStringLiteral("なにわづに、さくやこのはな、ふゆごもり、いまをはるべと、さくやこのはな");
const QString kOpeningRecited = kOpening + QStringLiteral("、いまをはるべと、さくやこのはな");
constexpr int kRevealSteps = 21;
// Renderings kept decoded: the verses dealt and about to be read.
constexpr qsizetype kKeptRenderings = 8;
// Without a usable cache the set is kept packed in memory, up to this.
constexpr qint64 kPackedBytes = 96ll << 20;
// An output whose clock stands still this long while it should play has stalled.
constexpr int kStallMs = 500;
// How far short of a sound's end its clock may stop while the last fragment plays.
constexpr double kEndSlackMs = 30.0;
// How often a lost output is looked for again.
constexpr int kReopenMs = 3000;
// A reader's pause between the upper verse and the lower one (the take is settled).
constexpr int kBeforeLowerMs = 1000;

} // namespace

struct Reader::Packed {
    QByteArray flac;
    QList<double> moraMs;
    QString phonemes;
};

// What a connection being made is handed back to: nothing once the reader
// has gone (a server that does not answer keeps its thread for 2 s).
struct OpenTarget {
    std::mutex lock;
    Reader *reader = nullptr;
};

double RateForDelay(int revealDelay) {
    // 0.4 s a character is the voice's own pace; faster settings speak faster.
    const double d = std::max(revealDelay, 1);
    return std::clamp(0.6 + 1.6 / d, 0.7, 1.4);
}

Result<std::unique_ptr<Playback>> OpenSoundOutput() {
    auto output = std::make_unique<SoundOutput>();
    if (const Result<> opened = output->Open(); !opened.ok()) {
        return Result<std::unique_ptr<Playback>>::Failure(opened.error());
    }
    return Result<std::unique_ptr<Playback>>(std::move(output));
}

Reader::Reader(const PoemCatalogue &catalogue, QString cacheFolder, VoiceParts parts,
               OpenPlayback open, QObject *parent)
    : QObject(parent), catalogue_(catalogue), parts_(std::move(parts)),
      cache_(std::move(cacheFolder)), open_(std::move(open)) {
    pool_.setMaxThreadCount(1);
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &Reader::Tick);
    reopen_.setSingleShot(true);
    connect(&reopen_, &QTimer::timeout, this, &Reader::OpenOutput);
    lowerWatch_.setInterval(20);
    connect(&lowerWatch_, &QTimer::timeout, this, &Reader::WatchLower);
    target_ = std::make_shared<OpenTarget>();
    target_->reader = this;
    // What killed runs of the synthesizer left behind goes first.
    pool_.start([] { RemoveStaleSynthesizerFolders(QDir::tempPath()); });
    OpenOutput();
}

Reader::~Reader() {
    {
        const std::lock_guard guard(target_->lock);
        target_->reader = nullptr;
    }
    Stop();
    closing_ = true;
    pool_.clear();
    pool_.waitForDone();
}

Result<> Reader::Available(const VoiceParts &parts) {
    const QString missing = MissingParts(parts);
    if (!missing.isEmpty()) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "読み上げには次のパッケージが必要です: %1")
                .arg(missing));
    }
    return Ok();
}

QString Reader::NoOutputText(const QString &why) {
    return QCoreApplication::translate(
               "Voice", "音声の出力先がありません（%1）。サウンドサーバー（PulseAudio "
                        "または PipeWire）が必要です。")
        .arg(why);
}

void Reader::OpenOutput() {
    if (output_ || opening_ || !open_) {
        return;
    }
    opening_ = true;
    // A thread of its own: a server that does not answer holds it up to 2 s,
    // and the program may close meanwhile.
    std::thread([open = open_, target = target_] {
        Result<std::unique_ptr<Playback>> opened = open();
        auto made = std::make_shared<Result<std::unique_ptr<Playback>>>(std::move(opened));
        const std::lock_guard guard(target->lock);
        if (Reader *reader = target->reader) {
            QMetaObject::invokeMethod(
                reader, [reader, made] { reader->OutputOpened(std::move(*made)); },
                Qt::QueuedConnection);
        }
    }).detach();
}

void Reader::OutputOpened(Result<std::unique_ptr<Playback>> opened) {
    opening_ = false;
    if (opened.ok() && opened.value()) {
        output_ = std::move(opened.value());
        outputProblem_.clear();
        emit outputChanged(true, {});
        return;
    }
    outputProblem_ = opened.error();
    emit outputChanged(false, NoOutputText(outputProblem_));
    reopen_.start(kReopenMs);
}

void Reader::SetOptions(const ReaderOptions &options) {
    if (options == options_) {
        return;
    }
    options_ = options;
    RebuildSet();
}

void Reader::SetPreparing(bool on) {
    if (preparing_ == on) {
        return;
    }
    preparing_ = on;
    RebuildSet();
}

QString Reader::UpperText(Poem poem) const {
    return JobOf(Verse::Upper, poem, false).utterance.text;
}

QString Reader::LowerText(Poem poem) const {
    return JobOf(Verse::Lower, poem, false).utterance.text;
}

Pace Reader::PaceOf(Verse verse) const {
    if (!options_.recited) {
        return {options_.rate};
    }
    switch (verse) {
    case Verse::Upper:
        return {kRecitedRate, kUpperVerseMs, 0, 0};
    case Verse::Lower:
        return {kRecitedRate, kLowerVerseMs, kHeldEndMs, kBreathMs};
    case Verse::Opening:
        break;
    }
    return {kRecitedRate};
}

Reader::Job Reader::JobOf(Verse verse, Poem poem, bool keep) const {
    Job job;
    job.utterance = verse == Verse::Opening
                        ? Utter(options_.recited ? kOpeningRecited : kOpening)
                        : UtterVerse(catalogue_, poem, verse == Verse::Upper, options_.recited);
    job.pace = PaceOf(verse);
    job.key = RenderingCache::Key(job.utterance.text, parts_.voice, job.pace);
    job.keep = keep;
    return job;
}

bool Reader::Known(const QString &key) const {
    return kept_.contains(key) || onDisk_.contains(key) || packed_.contains(key);
}

void Reader::Want(const Job &job, bool first) {
    for (qsizetype i = 0; i < queue_.size(); ++i) {
        if (queue_[i].key == job.key) {
            if (!first) {
                return;
            }
            queue_.removeAt(i);
            break;
        }
    }
    if (job.keep ? kept_.contains(job.key) : Known(job.key)) {
        return;
    }
    if (first) {
        queue_.prepend(job);
    } else {
        queue_.append(job);
    }
    RunNext();
}

void Reader::RebuildSet() {
    // The set of the options of the moment: every upper verse, the lower
    // verses when they are read, the opening poem when it is.
    QList<Job> set;
    for (int p = 0; p < kPoemCount; ++p) {
        set.append(JobOf(Verse::Upper, Poem::FromRow(p), false));
    }
    if (options_.lower) {
        for (int p = 0; p < kPoemCount; ++p) {
            set.append(JobOf(Verse::Lower, Poem::FromRow(p), false));
        }
    }
    if (options_.opening) {
        set.append(JobOf(Verse::Opening, Poem::FromNumber(0), false));
    }
    wanted_.clear();
    for (const Job &job : set) {
        wanted_.append(job.key);
    }
    // Jobs of other options go; the dealt verse comes first, then the set.
    QList<Job> kept;
    for (const Job &job : queue_) {
        if (job.keep && wanted_.contains(job.key)) {
            kept.append(job);
        }
    }
    queue_ = kept;
    if (preparing_) {
        for (const Job &job : set) {
            Want(job, false);
        }
    }
    if (dealt_) {
        Prepare(*dealt_, kUpperKana);
    }
    emit progress(PreparedCount(), SetSize());
}

void Reader::RunNext() {
    if (running_ || queue_.isEmpty() || closing_) {
        return;
    }
    running_ = true;
    const Job job = queue_.takeFirst();
    pool_.start([this, job, parts = parts_, cache = cache_, usable = cacheUsable_] {
        Done done;
        done.job = job;
        done.cacheProblem = usable ? cache.Check().error() : QString();
        const bool useCache = usable && done.cacheProblem.isEmpty();
        if (useCache && !job.keep && cache.Has(job.key)) {
            done.stored = true;
        } else if (useCache) {
            Result<std::optional<Rendering>> loaded = cache.Load(job.key);
            if (!loaded.ok()) {
                done.problem = loaded.error();
            } else if (loaded.value()) {
                done.stored = true;
                done.made = std::move(loaded.value());
            }
        }
        if (!done.stored) {
            Result<Rendering> made = voice::Render(parts, job.utterance, job.pace, &closing_);
            if (!made.ok()) {
                done.renderProblem = made.error();
            } else {
                if (useCache) {
                    const Result<> stored = cache.Store(job.key, made.value());
                    done.stored = stored.ok();
                    done.storeProblem = stored.error();
                }
                if (!done.stored) {
                    auto packed = std::make_shared<Packed>();
                    packed->flac = PackSamples(made.value().pcm);
                    packed->moraMs = made.value().moraMs;
                    packed->phonemes = made.value().phonemes;
                    done.packed = packed;
                }
                done.made = std::move(made.value());
            }
        }
        QMetaObject::invokeMethod(
            this, [this, done = std::move(done)] { Finished(done); }, Qt::QueuedConnection);
    });
}

void Reader::Finished(const Done &done) {
    running_ = false;
    const QString &key = done.job.key;
    if (!done.cacheProblem.isEmpty() && cacheUsable_) {
        // Refused once; from now on the set is kept in memory instead.
        cacheUsable_ = false;
        Tell(QStringLiteral("cache"),
             QCoreApplication::translate("Voice",
                                         "読み上げの音声を保存できません（保存せずに続けます）: %1")
                 .arg(done.cacheProblem));
    }
    if (!done.problem.isEmpty()) {
        Tell(QStringLiteral("entry"),
             QCoreApplication::translate("Voice",
                                         "読み上げの保存データを使えません（作り直します）: %1")
                 .arg(done.problem));
    }
    if (!done.storeProblem.isEmpty()) {
        Tell(QStringLiteral("cache"),
             QCoreApplication::translate("Voice",
                                         "読み上げの音声を保存できません（保存せずに続けます）: %1")
                 .arg(done.storeProblem));
    }
    if (!done.renderProblem.isEmpty()) {
        Tell(QStringLiteral("render"),
             QCoreApplication::translate("Voice", "読み上げの音声を作れませんでした: %1")
                 .arg(done.renderProblem));
    }
    if (done.stored) {
        onDisk_.insert(key);
    } else if (done.packed && !done.packed->flac.isEmpty()) {
        while (packedBytes_ + done.packed->flac.size() > kPackedBytes && !packedOrder_.isEmpty()) {
            packedBytes_ -= packed_.take(packedOrder_.takeFirst())->flac.size();
        }
        packed_.insert(key, done.packed);
        packedOrder_.append(key);
        packedBytes_ += done.packed->flac.size();
    }
    if (done.job.keep && done.made) {
        Keep(key, std::make_shared<const Rendering>(*done.made));
    }
    if (key == awaitedLower_) {
        awaitedLower_.clear();
        (void)PlayLower(key);
    }
    emit rendered(key);
    emit progress(PreparedCount(), SetSize());
    RunNext();
}

int Reader::PreparedCount() const {
    return int(std::count_if(wanted_.begin(), wanted_.end(),
                             [this](const QString &key) { return Known(key); }));
}

bool Reader::IsReady(Poem poem) const {
    return Known(JobOf(Verse::Upper, poem, true).key);
}

void Reader::PrepareOpening() {
    Want(JobOf(Verse::Opening, Poem::FromNumber(0), true), true);
    if (!output_) {
        OpenOutput();
    }
}

bool Reader::OpeningReady() const {
    return Known(JobOf(Verse::Opening, Poem::FromNumber(0), true).key);
}

void Reader::Keep(const QString &key, std::shared_ptr<const Rendering> rendering) {
    if (!kept_.contains(key)) {
        while (keptOrder_.size() >= kKeptRenderings) {
            kept_.remove(keptOrder_.takeFirst());
        }
        keptOrder_.append(key);
    }
    kept_.insert(key, std::move(rendering));
}

std::shared_ptr<const Rendering> Reader::Ready(const QString &key) {
    if (const auto found = kept_.constFind(key); found != kept_.constEnd()) {
        return *found;
    }
    QElapsedTimer reading;
    reading.start();
    std::shared_ptr<const Rendering> ready;
    if (onDisk_.contains(key)) {
        // A rendering on disk is read at once: a few hundred KB, a few ms.
        const Result<std::optional<Rendering>> loaded = cache_.Load(key);
        if (loaded.ok() && loaded.value()) {
            ready = std::make_shared<const Rendering>(*loaded.value());
        } else {
            onDisk_.remove(key);
            if (!loaded.ok()) {
                Tell(QStringLiteral("entry"),
                     QCoreApplication::translate(
                         "Voice", "読み上げの保存データを使えません（作り直します）: %1")
                         .arg(loaded.error()));
            }
        }
    } else if (const auto packed = packed_.constFind(key); packed != packed_.constEnd()) {
        if (std::optional<QByteArray> pcm = UnpackSamples((*packed)->flac, kMaxRenderingBytes)) {
            ready = std::make_shared<const Rendering>(
                Rendering{std::move(*pcm), (*packed)->moraMs, (*packed)->phonemes});
        }
    }
    if (ready) {
        lastLoadMs_ = double(reading.nsecsElapsed()) / 1e6;
        Keep(key, ready);
    }
    return ready;
}

void Reader::Prepare(Poem poem, Column /*column*/) {
    dealt_ = poem;
    // The dealt verse before anything else, its lower verse right after.
    if (options_.lower) {
        Want(JobOf(Verse::Lower, poem, true), true);
    }
    Want(JobOf(Verse::Upper, poem, true), true);
    if (!output_) {
        OpenOutput();
    }
}

QString Reader::Unready() const {
    // Short: it goes in the board's one-line message. What went wrong with
    // the output was told when it happened.
    if (!output_) {
        return outputProblem_.isEmpty()
                   ? QCoreApplication::translate("Voice", "音声の出力を準備中")
                   : QCoreApplication::translate("Voice", "音声の出力が止まっています");
    }
    return QCoreApplication::translate("Voice", "読み上げの準備中 %1/%2")
        .arg(PreparedCount())
        .arg(SetSize());
}

bool Reader::Play(const QByteArray &pcm) {
    tick_.stop();
    lowerWatch_.stop();
    if (!output_) {
        OpenOutput();
        return false;
    }
    if (const Result<> played = output_->Play(pcm); !played.ok()) {
        DropOutput(played.error());
        return false;
    }
    playing_ = pcm;
    lastPlayed_ = 0.0;
    sinceProgress_.start();
    return true;
}

bool Reader::ReadUpper(Poem poem, Column column, std::function<void(int, float)> step) {
    brokeOff_.clear();
    awaitedLower_.clear();
    const Job job = JobOf(Verse::Upper, poem, true);
    const std::shared_ptr<const Rendering> r = Ready(job.key);
    if (!r) {
        Want(job, true); // for the next time it is asked
        return false;
    }
    const QString shown = catalogue_.Text(poem, column);
    const QList<int> morae =
        ShownMorae(shown, catalogue_.Text(poem, kUpperKana), job.utterance.text);
    if (morae.isEmpty() || morae.back() >= r->moraMs.size()) {
        Tell(QStringLiteral("align"),
             QCoreApplication::translate(
                 "Voice", "歌 %1 の文字と音を対応させられません。文字の表示で続けます。")
                 .arg(poem.number()));
        return false;
    }
    QList<double> stepMs;
    for (qsizetype i = 0; i < std::min<qsizetype>(morae.size(), kRevealSteps); ++i) {
        stepMs.append(r->moraMs[morae[i]]);
    }
    if (!Play(r->pcm)) {
        return false;
    }
    playingMs_ = r->moraMs;
    stepMs_ = stepMs;
    shownAt_.clear();
    nextStep_ = 0;
    step_ = std::move(step);
    Tick();
    return true;
}

double Reader::PlayedMs() const {
    return output_ ? output_->PlayedMs() : 0.0;
}

bool Reader::Stalled(double played) {
    if (played != lastPlayed_) {
        lastPlayed_ = played;
        sinceProgress_.start();
        return false;
    }
    return sinceProgress_.elapsed() >= kStallMs;
}

void Reader::Tick() {
    if (!step_ || !output_) {
        return;
    }
    if (const QString failure = output_->Failure(); !failure.isEmpty()) {
        OutputLost(failure);
        return;
    }
    const double played = output_->PlayedMs();
    if (Stalled(played)) {
        OutputLost(
            QCoreApplication::translate("Voice", "%1 ms のあいだ再生が進みません").arg(kStallMs));
        return;
    }
    // Nothing is shown before the output has counted its first samples.
    while (played > 0.0 && nextStep_ < stepMs_.size() && stepMs_[nextStep_] <= played && step_) {
        const float late = float((played - stepMs_[nextStep_]) / 1000.0);
        shownAt_.append(played);
        ++nextStep_;
        const auto step = step_;
        step(nextStep_, late);
    }
    if (!step_ || nextStep_ >= stepMs_.size()) {
        return;
    }
    // Wake at the next onset by the output's clock, and look again at least
    // every 20 ms (the clock may be slower than the wall's); before the first
    // sample is counted, every 2 ms, so that the first character comes with
    // the first sound.
    const double wait = stepMs_[nextStep_] - played;
    tick_.start(played > 0.0 ? std::clamp(int(std::floor(wait)), 1, 20) : 2);
}

float Reader::SecondsUntil(int step) const {
    if (step < 1 || step > stepMs_.size()) {
        return 0.0f;
    }
    return float((stepMs_[step - 1] - PlayedMs()) / 1000.0);
}

void Reader::Decided(Poem poem) {
    tick_.stop();
    step_ = {};
    if (!options_.lower) {
        Stop();
        return;
    }
    const Job job = JobOf(Verse::Lower, poem, true);
    if (!PlayLower(job.key)) {
        // Not made yet (a quick answer): read as soon as it is, unless the
        // next question has begun by then.
        Stop();
        awaitedLower_ = job.key;
        Want(job, true);
    }
}

bool Reader::PlayLower(const QString &key) {
    const std::shared_ptr<const Rendering> r = Ready(key);
    if (!r) {
        return false;
    }
    QByteArray pcm = r->pcm;
    QList<double> onsets = r->moraMs;
    if (options_.recited) {
        pcm.prepend(QByteArray(qsizetype(kSampleRate) * kBeforeLowerMs / 1000 * 2, '\0'));
        for (double &onset : onsets) {
            onset += kBeforeLowerMs;
        }
    }
    if (Play(pcm)) {
        playingMs_ = onsets;
        lowerWatch_.start();
    }
    return true;
}

void Reader::WatchLower() {
    if (!output_) {
        lowerWatch_.stop();
        return;
    }
    if (const QString failure = output_->Failure(); !failure.isEmpty()) {
        OutputLost(failure);
        return;
    }
    // The server's clock stops a fragment short of the end (about 20 ms)
    // before it says the sound has drained: the breath ends at the end of
    // the samples, and the reader goes on then.
    const double played = output_->PlayedMs();
    const double length = double(playing_.size() / 2) * 1000.0 / kSampleRate;
    if (output_->Ended() || played >= length - kEndSlackMs) {
        lowerWatch_.stop();
        emit readToEnd();
    } else if (Stalled(played)) {
        OutputLost(
            QCoreApplication::translate("Voice", "%1 ms のあいだ再生が進みません").arg(kStallMs));
    }
}

void Reader::GameBegins() {
    if (!options_.opening) {
        return;
    }
    const Job job = JobOf(Verse::Opening, Poem::FromNumber(0), true);
    if (const std::shared_ptr<const Rendering> r = Ready(job.key)) {
        Play(r->pcm);
    } else {
        Want(job, true);
    }
}

bool Reader::ReadOpening() {
    brokeOff_.clear();
    awaitedLower_.clear();
    const Job job = JobOf(Verse::Opening, Poem::FromNumber(0), true);
    const std::shared_ptr<const Rendering> r = Ready(job.key);
    if (!r) {
        Want(job, true);
        return false;
    }
    if (!Play(r->pcm)) {
        return false;
    }
    playingMs_ = r->moraMs;
    lowerWatch_.start();
    return true;
}

void Reader::Stop() {
    tick_.stop();
    lowerWatch_.stop();
    step_ = {};
    awaitedLower_.clear();
    if (output_) {
        output_->Stop();
    }
}

void Reader::DropOutput(const QString &reason) {
    if (output_) {
        output_->Stop();
        output_.reset();
    }
    outputProblem_ = reason;
    emit outputChanged(false, NoOutputText(reason));
    reopen_.start(kReopenMs);
}

void Reader::OutputLost(const QString &reason) {
    // The server or its device went away or stalled: the reading ends, the
    // text goes on from where the voice was, and a server that answers
    // again is used from the next question on.
    const QString text = QCoreApplication::translate(
                             "Voice", "音声の出力が止まりました（%1）。文字の表示で続けます。")
                             .arg(reason);
    qWarning("voice: output lost at %.0f of %.0f ms: %s", output_ ? output_->PlayedMs() : -1.0,
             double(playing_.size() / 2) * 1000.0 / kSampleRate, qPrintable(reason));
    tick_.stop();
    lowerWatch_.stop();
    const auto step = step_;
    step_ = {};
    if (step) {
        brokeOff_ = text; // told on the board: a question is being read
        step(-1, 0.0f);
    } else {
        Tell(QStringLiteral("device"), text);
    }
    DropOutput(reason); // after the game has taken the verse over
}

void Reader::Tell(const QString &kind, const QString &text) {
    if (told_.contains(kind)) {
        return;
    }
    told_.insert(kind);
    emit problem(text);
}

} // namespace nupew::voice
