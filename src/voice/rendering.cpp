// SPDX-License-Identifier: MIT
// Speech from Open JTalk: a text rendered to samples with the onset of each
// mora, at the voice's own pace or in a reader's rhythm.
#include "voice/rendering.h"

#include "core/own_folder.h"
#include "core/safe_files.h"
#include "voice/alignment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nupew::voice {
namespace {

constexpr int kLeadMs = 5;       // kept before the first sound and after the last
constexpr int kHeaderBytes = 44; // Open JTalk writes a plain RIFF header
constexpr int kAudible = 300;    // a sample this loud is heard
// What the synthesizer may say on its error channel before it is stopped.
constexpr qint64 kMaxMessages = 64 << 10;
// A reader's pauses stay within these, however the verse's time falls.
constexpr int kShortestPauseMs = 150;
constexpr int kLongestPauseMs = 1500;
constexpr int kFadeMs = 400;    // the held last sound fades out over this
constexpr int kFadeTailMs = 60; // of which about the end is too quiet to be heard
// The synthesizer's folders in the temporary folder: "Nupew-<pid>-XXXXXX"
// (older versions wrote "Nupew-XXXXXX"), holding only these files.
const QString kFolderPrefix = QStringLiteral("Nupew-");
const QStringList kOurFiles = {QStringLiteral("in.txt"), QStringLiteral("out.wav"),
                               QStringLiteral("out.trace"), QStringLiteral("err.txt")};
constexpr qint64 kStaleAfterSeconds = 3600;

qint64 SizeOf(const QString &path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_size) : 0;
}

struct Output {
    QByteArray wav;
    QList<Phone> phones;
};

QString TooMuch() {
    return QCoreApplication::translate("Voice", "open_jtalk の出力が %1 MiB を超えたため止めました")
        .arg(kMaxRenderingBytes >> 20);
}

// One run of the synthesizer on `input`, in a folder of its own that goes
// with the run. Its messages go to a file and its output channel nowhere,
// and no file it writes may grow past kMaxRenderingBytes, so that a
// synthesizer gone wrong cannot fill the memory or the disk.
Result<Output> RunSynthesizer(const VoiceParts &parts, const QString &input, double rate,
                              const std::atomic<bool> *cancel) {
    QTemporaryDir dir(QDir::tempPath() + u'/' + kFolderPrefix +
                      QString::number(QCoreApplication::applicationPid()) +
                      QStringLiteral("-XXXXXX"));
    if (!dir.isValid()) {
        return Result<Output>::Failure(dir.errorString());
    }
    const QString in = dir.filePath(QStringLiteral("in.txt"));
    const QString wav = dir.filePath(QStringLiteral("out.wav"));
    const QString trace = dir.filePath(QStringLiteral("out.trace"));
    const QString messages = dir.filePath(QStringLiteral("err.txt"));
    const Result<> written = WriteFileAtomically(in, input.toUtf8());
    if (!written.ok()) {
        return Result<Output>::Failure(written.error());
    }
    QProcess jtalk;
    jtalk.setWorkingDirectory(dir.path());
    jtalk.setStandardInputFile(QProcess::nullDevice());
    jtalk.setStandardOutputFile(QProcess::nullDevice());
    jtalk.setStandardErrorFile(messages);
    jtalk.setChildProcessModifier([] {
        // In the child, between fork and exec: only async-signal-safe calls.
        const rlimit size{rlim_t(kMaxRenderingBytes), rlim_t(kMaxRenderingBytes)};
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &size);
        ::setrlimit(RLIMIT_CORE, &core);
    });
    jtalk.start(parts.program, {QStringLiteral("-x"), parts.dictionary, QStringLiteral("-m"),
                                parts.voice, QStringLiteral("-r"), QString::number(rate, 'f', 2),
                                QStringLiteral("-ow"), wav, QStringLiteral("-ot"), trace, in});
    QString stopped;
    if (!jtalk.waitForStarted(5000)) {
        stopped = jtalk.errorString();
    }
    QElapsedTimer running;
    running.start();
    while (stopped.isEmpty() && !jtalk.waitForFinished(50)) {
        if (cancel && *cancel) {
            stopped = QCoreApplication::translate("Voice", "終了するため止めました");
        } else if (running.elapsed() > parts.runLimitMs) {
            stopped = QCoreApplication::translate("Voice", "open_jtalk が %1 秒で終わりません")
                          .arg(parts.runLimitMs / 1000.0);
        } else if (SizeOf(messages) > kMaxMessages) {
            stopped = QCoreApplication::translate("Voice", "open_jtalk のメッセージが多すぎます");
        }
    }
    if (!stopped.isEmpty()) {
        jtalk.kill();
        jtalk.waitForFinished(1000);
        return Result<Output>::Failure(stopped);
    }
    if (jtalk.exitStatus() != QProcess::NormalExit || jtalk.exitCode() != 0) {
        if (std::max({SizeOf(wav), SizeOf(trace), SizeOf(messages)}) >= kMaxRenderingBytes) {
            return Result<Output>::Failure(TooMuch());
        }
        const Result<FileRead> message = ReadRegularFile(messages, 2048);
        const QString said =
            message.ok() ? QString::fromUtf8(message.value().bytes).trimmed().left(300) : QString();
        return Result<Output>::Failure(
            !said.isEmpty()
                ? said
                : QCoreApplication::translate("Voice", "open_jtalk が終了コード %1 で終わりました")
                      .arg(jtalk.exitCode()));
    }
    const Result<FileRead> samples = ReadRegularFile(wav, kMaxRenderingBytes);
    const Result<FileRead> labels = ReadRegularFile(trace, kMaxRenderingBytes);
    if (!samples.ok() || !labels.ok()) {
        return Result<Output>::Failure(!samples.ok() ? samples.error() : labels.error());
    }
    if (samples.value().truncated || labels.value().truncated) {
        return Result<Output>::Failure(TooMuch());
    }
    if (samples.value().bytes.size() <= kHeaderBytes) {
        return Result<Output>::Failure(
            QCoreApplication::translate("Voice", "open_jtalk が音声を書き出しませんでした"));
    }
    return Output{samples.value().bytes, ParseLabels(QString::fromUtf8(labels.value().bytes))};
}

QString Unaligned(const QString &text) {
    return QCoreApplication::translate("Voice", "「%1」の音の切れ目を文字に合わせられません")
        .arg(text);
}

qsizetype SamplesOf(double ms) {
    return qsizetype(std::llround(ms * kSampleRate / 1000.0));
}

double MsOf(qsizetype samples) {
    return double(samples) * 1000.0 / kSampleRate;
}

// A silence of the rendering (a pause between phrases), in samples.
struct Gap {
    qsizetype from = 0;
    qsizetype to = 0;
};

// Times the rendering as a reader would: each pause longer or shorter by
// the same amount, so that the verse lasts `pace.spokenMs` up to its last
// sound's onset (or to its end); that last sound cut to `pace.heldMs` and
// faded out; then the breath.
void Recite(Rendering &r, const QList<Gap> &gaps, const QStringList &morae, const Pace &pace) {
    const qsizetype count = r.pcm.size() / 2;
    qsizetype last = morae.size() - 1;
    while (pace.heldMs > 0 && last > 0 && morae[last] == u"ー") {
        --last;
    }
    const double fitMs = pace.heldMs > 0 ? r.moraMs[last] : MsOf(count);
    if (!gaps.isEmpty()) {
        const double change = (double(pace.spokenMs) - fitMs) / double(gaps.size());
        QByteArray pcm;
        QList<double> moved = r.moraMs;
        qsizetype from = 0;
        double shift = 0.0;
        for (const Gap &gap : gaps) {
            const double length = MsOf(gap.to - gap.from);
            const double wanted = std::clamp(length + change, double(kShortestPauseMs),
                                             std::max(length, double(kLongestPauseMs)));
            // The pause is opened or closed in its middle, where it is silent.
            const qsizetype middle = (gap.from + gap.to) / 2;
            const qsizetype delta = SamplesOf(wanted - length);
            const qsizetype start = delta >= 0 ? middle : middle + delta / 2;
            pcm.append(r.pcm.mid(from * 2, (start - from) * 2));
            if (delta >= 0) {
                pcm.append(QByteArray(delta * 2, '\0'));
                from = middle;
            } else {
                from = std::min(count, start - delta);
            }
            for (qsizetype i = 0; i < r.moraMs.size(); ++i) {
                if (r.moraMs[i] >= MsOf(middle)) {
                    moved[i] = r.moraMs[i] + shift + MsOf(delta);
                }
            }
            shift += MsOf(delta);
        }
        pcm.append(r.pcm.mid(from * 2));
        r.pcm = pcm;
        r.moraMs = moved;
    }
    if (pace.heldMs > 0) {
        // Faded out linearly: the last few tens of ms fall below hearing, so
        // the sound is cut that much later, and what is not heard goes.
        const qsizetype end =
            std::min(r.pcm.size() / 2, SamplesOf(r.moraMs[last] + pace.heldMs + kFadeTailMs));
        const qsizetype fade = std::min(end, SamplesOf(kFadeMs));
        auto *s = reinterpret_cast<qint16 *>(r.pcm.data());
        for (qsizetype i = 0; i < fade; ++i) {
            const double left = double(fade - i) / double(fade);
            s[end - fade + i] = qint16(std::lround(s[end - fade + i] * left));
        }
        qsizetype heard = end;
        while (heard > 0 && std::abs(s[heard - 1]) < kAudible) {
            --heard;
        }
        r.pcm.truncate(heard * 2);
        while (!r.moraMs.isEmpty() && SamplesOf(r.moraMs.back()) >= heard) {
            r.moraMs.removeLast();
        }
    }
    // The breath begins where the sound ends.
    r.pcm.append(QByteArray(SamplesOf(pace.breathMs) * 2, '\0'));
}

} // namespace

QString MissingParts(const VoiceParts &parts) {
    QStringList missing;
    if (QStandardPaths::findExecutable(parts.program).isEmpty() &&
        !QFileInfo(parts.program).isExecutable()) {
        missing << QStringLiteral("open-jtalk");
    }
    if (!QFileInfo(parts.dictionary).isDir()) {
        missing << QStringLiteral("open-jtalk-mecab-naist-jdic");
    }
    if (!QFileInfo(parts.voice).isFile()) {
        missing << QStringLiteral("hts-voice-nitech-jp-atr503-m001");
    }
    return missing.join(u' ');
}

QString Pace::Tag() const {
    return QStringLiteral("%1/%2/%3/%4")
        .arg(QString::number(rate, 'f', 2))
        .arg(spokenMs)
        .arg(heldMs)
        .arg(breathMs);
}

Result<Rendering> Render(const VoiceParts &parts, const Utterance &utterance, const Pace &pace,
                         const std::atomic<bool> *cancel) {
    // The text as it is, then in katakana when the dictionary read a word of
    // it otherwise (はた as the particle わ): the first rendering that says
    // exactly the text's sounds is kept.
    const QString &text = utterance.text;
    std::optional<Output> out;
    QString why;
    for (const QString &input : utterance.inputs) {
        Result<Output> run = RunSynthesizer(parts, input, pace.rate, cancel);
        if (!run.ok()) {
            return Result<Rendering>::Failure(run.error());
        }
        if (SaysTheText(SpokenPhonemes(run.value().phones), utterance.expected)) {
            out = std::move(run.value());
            break;
        }
        why = QCoreApplication::translate("Voice", "「%1」が書かれたとおりに発音されません（%2）")
                  .arg(text, SpokenPhonemes(run.value().phones));
    }
    if (!out) {
        return Result<Rendering>::Failure(why);
    }
    const QList<qint64> onsets = MoraOnsets(out->phones, utterance.morae.size());
    if (onsets.isEmpty()) {
        return Result<Rendering>::Failure(Unaligned(text));
    }
    // Cut the silence before the first audible sample, keeping a few
    // milliseconds: a verse that begins with k or t begins with the silence
    // of the closure, which the player would wait through. A mora that began
    // inside what was cut begins at once.
    const QByteArray samples = out->wav.mid(kHeaderBytes);
    const auto *s = reinterpret_cast<const qint16 *>(samples.constData());
    const qsizetype count = samples.size() / 2;
    qsizetype audible = std::min<qsizetype>(count, onsets.first() * kSampleRate / 10000000);
    while (audible < count && std::abs(s[audible]) < kAudible) {
        ++audible;
    }
    const qsizetype cut = std::max<qsizetype>(0, audible - kLeadMs * kSampleRate / 1000);
    const double cutMs = MsOf(cut);
    // The silence after the last sound goes as well: a verse's time is its sound.
    qsizetype end = count;
    while (end > audible && std::abs(s[end - 1]) < kAudible) {
        --end;
    }
    end = std::min(count, end + qsizetype(kLeadMs) * kSampleRate / 1000);
    Rendering r;
    r.pcm = samples.mid(cut * 2, (end - cut) * 2);
    for (const qint64 onset : onsets) {
        r.moraMs.append(std::clamp(double(onset) / 10000.0 - cutMs, 0.0, MsOf(end - cut)));
    }
    r.phonemes = SpokenPhonemes(out->phones);
    if (pace.spokenMs > 0) {
        QList<Gap> gaps;
        for (const Phone &p : out->phones) {
            if (p.name == u"pau") {
                gaps.append(
                    {std::max<qsizetype>(0, qsizetype(p.start * kSampleRate / 10000000) - cut),
                     std::max<qsizetype>(0, qsizetype(p.end * kSampleRate / 10000000) - cut)});
            }
        }
        Recite(r, gaps, utterance.morae, pace);
    }
    return r;
}

int RemoveStaleSynthesizerFolders(const QString &temporaryFolder) {
    static const QRegularExpression ours(QStringLiteral("^Nupew-(?:(\\d+)-)?[A-Za-z0-9]{6}$"));
    const QByteArray top = QFile::encodeName(temporaryFolder);
    DIR *dir = ::opendir(top.constData());
    if (!dir) {
        return 0;
    }
    QStringList candidates;
    while (const dirent *d = ::readdir(dir)) {
        candidates.append(QFile::decodeName(d->d_name));
    }
    ::closedir(dir);
    int removed = 0;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QString &name : candidates) {
        const QRegularExpressionMatch m = ours.match(name);
        if (!m.hasMatch()) {
            continue;
        }
        struct stat st {};
        if (::lstat(QFile::encodeName(temporaryFolder + u'/' + name).constData(), &st) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
            now - qint64(st.st_mtim.tv_sec) < kStaleAfterSeconds) {
            continue;
        }
        // A run still going holds its folder; its process number is in the name.
        if (const qint64 pid = m.captured(1).toLongLong();
            pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM)) {
            continue;
        }
        const Result<OwnFolder> folder = OwnFolder::Open(temporaryFolder, name);
        if (!folder.ok()) {
            continue;
        }
        const QList<OwnFolder::Entry> files = folder.value().RegularFiles();
        const bool onlyOurs = std::all_of(files.begin(), files.end(), [](const auto &f) {
            return kOurFiles.contains(f.name) || f.name.startsWith(QStringLiteral(".in.txt."));
        });
        // Anything else in it (a link, a folder, a file not ours) keeps it whole.
        const QByteArray path = QFile::encodeName(folder.value().path());
        DIR *inside = ::opendir(path.constData());
        int entries = 0;
        while (inside && ::readdir(inside)) {
            ++entries;
        }
        if (inside) {
            ::closedir(inside);
        }
        if (!onlyOurs || entries != int(files.size()) + 2) {
            continue;
        }
        for (const OwnFolder::Entry &file : files) {
            (void)folder.value().Remove(file.name);
        }
        if (::rmdir(path.constData()) == 0) {
            ++removed;
        }
    }
    return removed;
}

} // namespace nupew::voice
