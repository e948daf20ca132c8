// SPDX-License-Identifier: MIT
// The voice of the game: renders ahead of time, plays, and shows each
// character when its sound reaches the output.
#include "voice/reader.h"

#include "voice/speech.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace nupew::voice {
namespace {

// The opening poem a reader recites before a match (序歌).
const QString kOpening =
    QStringLiteral("なにわづに、さくやこのはな、ふゆごもり、いまをはるべと、さくやこのはな");
// How far the server's clock of the played sound runs from the sound at the
// sink as its monitor records it; measured on PulseAudio by bench_voice
// (characters came 5 ms after their sound without it).
constexpr double kClockOffsetMs = 5.0;
constexpr int kRevealSteps = 21;
constexpr qsizetype kKeptRenderings = 48;

} // namespace

double RateForDelay(int revealDelay) {
    // 0.4 s a character is the voice's own pace; faster settings speak faster.
    const double d = std::max(revealDelay, 1);
    return std::clamp(0.6 + 1.6 / d, 0.7, 1.4);
}

Reader::Reader(const PoemCatalogue &catalogue, QString cacheFolder, VoiceParts parts,
               QObject *parent)
    : QObject(parent), catalogue_(catalogue), parts_(std::move(parts)),
      cache_(std::move(cacheFolder)) {
    pool_.setMaxThreadCount(1);
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &Reader::Tick);
}

Reader::~Reader() {
    Stop();
    closing_ = true;
    pool_.clear();
    pool_.waitForDone();
}

QString Reader::Unavailable(const VoiceParts &parts) {
    const QString missing = MissingParts(parts);
    if (!missing.isEmpty()) {
        return QCoreApplication::translate("Voice", "読み上げには次のパッケージが必要です: %1")
            .arg(missing);
    }
    if (const QString output = SoundOutput::Probe(); !output.isEmpty()) {
        return QCoreApplication::translate(
                   "Voice", "音声の出力先がありません（%1）。サウンドサーバー（PulseAudio "
                            "または PipeWire）が必要です。")
            .arg(output);
    }
    return {};
}

void Reader::SetOptions(const ReaderOptions &options) {
    options_ = options;
    if (options_.opening) {
        Render(kOpening);
    }
}

QString Reader::UpperText(int poem) const {
    return SpeechText(catalogue_, poem, true, options_.recited);
}

QString Reader::LowerText(int poem) const {
    return SpeechText(catalogue_, poem, false, options_.recited);
}

QString Reader::KeyOf(const QString &text) const {
    return RenderingCache::Key(text, parts_.voice, options_.rate);
}

void Reader::Render(const QString &text) {
    const QString key = KeyOf(text);
    if (ready_.contains(key) || pending_.contains(key)) {
        return;
    }
    pending_.insert(key);
    pool_.start([this, key, text, parts = parts_, cache = cache_, rate = options_.rate] {
        QString why;
        QString storeProblem;
        std::optional<Rendering> r = cache.Load(key);
        if (!r) {
            Result<Rendering> made = voice::Render(parts, text, rate, &closing_);
            why = made.errorString;
            if (made.ok) {
                r = std::move(made.value);
                if (const Result<> stored = cache.Store(key, *r); !stored.ok) {
                    storeProblem =
                        stored.errorString.startsWith(cache.folder())
                            ? stored.errorString
                            : QStringLiteral("%1: %2").arg(cache.PathOf(key), stored.errorString);
                }
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, key, r = std::move(r), why, storeProblem] {
                pending_.remove(key);
                if (r) {
                    // The oldest go first; the verses just dealt stay.
                    while (readyOrder_.size() >= kKeptRenderings) {
                        ready_.remove(readyOrder_.takeFirst());
                    }
                    ready_.insert(key, std::make_shared<const Rendering>(*r));
                    readyOrder_.append(key);
                } else {
                    Tell(
                        QStringLiteral("render"),
                        QCoreApplication::translate("Voice", "読み上げの音声を作れませんでした: %1")
                            .arg(why));
                }
                if (!storeProblem.isEmpty()) {
                    Tell(QStringLiteral("cache"),
                         QCoreApplication::translate(
                             "Voice", "読み上げの音声を保存できません（毎回作り直します）: %1")
                             .arg(storeProblem));
                }
                emit rendered(key);
            },
            Qt::QueuedConnection);
    });
}

void Reader::Prepare(int poem, int /*column*/) {
    Render(UpperText(poem));
    if (options_.lower) {
        Render(LowerText(poem));
    }
    if (!output_.IsOpen()) {
        (void)output_.Open(); // a failure is told when a verse is played
    }
}

bool Reader::Play(const QByteArray &pcm) {
    tick_.stop();
    if (const Result<> played = output_.Play(pcm); !played.ok) {
        Tell(QStringLiteral("device"),
             QCoreApplication::translate("Voice",
                                         "音声を出力できません（%1）。文字の表示で続けます。")
                 .arg(played.errorString));
        return false;
    }
    playing_ = pcm;
    return true;
}

bool Reader::ReadUpper(int poem, int column, std::function<void(int, float)> step) {
    const QString text = UpperText(poem);
    const auto found = ready_.constFind(KeyOf(text));
    if (found == ready_.constEnd()) {
        Render(text); // for the next time it is asked
        return false;
    }
    const std::shared_ptr<const Rendering> r = *found;
    const QString shown = catalogue_.Text(poem, column);
    const QList<int> morae = ShownMorae(shown, catalogue_.Text(poem, kUpperKana), text);
    if (morae.isEmpty() || morae.back() >= r->moraMs.size()) {
        Tell(QStringLiteral("align"),
             QCoreApplication::translate(
                 "Voice", "歌 %1 の文字と音を対応させられません。文字の表示で続けます。")
                 .arg(poem + 1));
        return false;
    }
    QList<double> stepMs;
    for (qsizetype i = 0; i < std::min<qsizetype>(morae.size(), kRevealSteps); ++i) {
        stepMs.append(r->moraMs[morae[i]]);
    }
    if (!Play(r->pcm)) {
        return false;
    }
    stepMs_ = stepMs;
    shownAt_.clear();
    nextStep_ = 0;
    step_ = std::move(step);
    Tick();
    return true;
}

double Reader::PlayedMs() const {
    const double played = output_.PlayedMs();
    return played > 0.0 ? played + kClockOffsetMs : 0.0;
}

void Reader::Tick() {
    if (!step_) {
        return;
    }
    if (const QString failure = output_.Failure(); !failure.isEmpty()) {
        OutputLost(failure);
        return;
    }
    const double played = PlayedMs();
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
    // every 20 ms (the clock may be slower than the wall's).
    const double wait = stepMs_[nextStep_] - played;
    tick_.start(std::clamp(int(std::floor(wait)), 1, 20));
}

float Reader::SecondsUntil(int step) const {
    if (step < 1 || step > stepMs_.size()) {
        return 0.0f;
    }
    return float((stepMs_[step - 1] - PlayedMs()) / 1000.0);
}

void Reader::Decided(int poem) {
    tick_.stop();
    step_ = {};
    if (!options_.lower) {
        Stop();
        return;
    }
    const auto found = ready_.constFind(KeyOf(LowerText(poem)));
    if (found == ready_.constEnd()) {
        Stop();
        return;
    }
    QByteArray pcm = (*found)->pcm;
    if (options_.recited) {
        pcm.prepend(QByteArray(kSampleRate * 2, '\0')); // a reader's pause before the lower verse
    }
    Play(pcm);
}

void Reader::GameBegins() {
    if (!options_.opening) {
        return;
    }
    const auto found = ready_.constFind(KeyOf(kOpening));
    if (found != ready_.constEnd()) {
        Play((*found)->pcm);
    } else {
        Render(kOpening);
    }
}

void Reader::Stop() {
    tick_.stop();
    step_ = {};
    output_.Stop();
}

void Reader::OutputLost(const QString &reason) {
    // The server or its device went away: the reading ends, the text goes on.
    Tell(QStringLiteral("device"),
         QCoreApplication::translate("Voice",
                                     "音声の出力が止まりました（%1）。文字の表示で続けます。")
             .arg(reason));
    tick_.stop();
    output_.Stop();
    const auto step = step_;
    step_ = {};
    if (step) {
        step(-1, 0.0f);
    }
}

void Reader::Tell(const QString &kind, const QString &text) {
    if (told_.contains(kind)) {
        return;
    }
    told_.insert(kind);
    emit problem(text);
}

} // namespace nupew::voice
