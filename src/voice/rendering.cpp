// SPDX-License-Identifier: MIT
// Speech from Open JTalk: rendering a text, and the cache of renderings.
#include "voice/rendering.h"

#include "core/safe_files.h"
#include "voice/speech.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>

namespace nupew::voice {
namespace {

// Raised whenever a rendering would come out otherwise, so that older
// entries are made again: "NPV2" cuts at the first audible sample.
constexpr quint32 kMagic = 0x4e505632;
constexpr int kLeadMs = 5;       // kept before the first sound
constexpr int kHeaderBytes = 44; // Open JTalk writes a plain RIFF header
constexpr int kAudible = 300;    // a sample this loud is heard
constexpr qint64 kMaxEntry = 16ll << 20;

// The synthesizer's dictionary reads hiragana as words (はな after a pause as
// the particle わ); katakana it says as written.
QString AsWritten(QString text) {
    for (QChar &c : text) {
        if (c >= QChar(0x3041) && c <= QChar(0x3096)) {
            c = QChar(c.unicode() + 0x60);
        }
    }
    return text;
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

namespace {

struct Output {
    QByteArray wav;
    QList<Phone> phones;
};

// One run of the synthesizer on `input`.
Result<Output> RunSynthesizer(const VoiceParts &parts, const QString &input, double rate,
                              const std::atomic<bool> *cancel) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        return Result<Output>::Failure(dir.errorString());
    }
    const QString in = dir.filePath(QStringLiteral("in.txt"));
    const QString wav = dir.filePath(QStringLiteral("out.wav"));
    const QString trace = dir.filePath(QStringLiteral("out.trace"));
    const Result<> written = WriteFileAtomically(in, input.toUtf8());
    if (!written.ok) {
        return Result<Output>::Failure(written.errorString);
    }
    QProcess jtalk;
    jtalk.setProcessChannelMode(QProcess::MergedChannels);
    jtalk.start(parts.program, {QStringLiteral("-x"), parts.dictionary, QStringLiteral("-m"),
                                parts.voice, QStringLiteral("-r"), QString::number(rate, 'f', 2),
                                QStringLiteral("-ow"), wav, QStringLiteral("-ot"), trace, in});
    bool finished = jtalk.waitForStarted(5000);
    for (int waited = 0; finished && !jtalk.waitForFinished(100); waited += 100) {
        if (waited >= 30000 || (cancel && *cancel)) {
            finished = false;
        }
    }
    if (!finished) {
        const QString why = jtalk.errorString();
        jtalk.kill();
        jtalk.waitForFinished(1000);
        return Result<Output>::Failure(why);
    }
    if (jtalk.exitStatus() != QProcess::NormalExit || jtalk.exitCode() != 0) {
        const QString said = QString::fromUtf8(jtalk.readAll()).trimmed();
        return Result<Output>::Failure(
            !said.isEmpty()
                ? said
                : QCoreApplication::translate("Voice", "open_jtalk が終了コード %1 で終わりました")
                      .arg(jtalk.exitCode()));
    }
    const ReadResult samples = ReadRegularFile(wav, kMaxEntry);
    const ReadResult labels = ReadRegularFile(trace, kMaxEntry);
    if (!samples.ok() || !labels.ok() || samples.bytes.size() <= kHeaderBytes) {
        const QString why = !samples.ok() ? samples.errorString : labels.errorString;
        return Result<Output>::Failure(
            !why.isEmpty()
                ? why
                : QCoreApplication::translate("Voice", "open_jtalk が音声を書き出しませんでした"));
    }
    return Output{samples.bytes, ParseLabels(QString::fromUtf8(labels.bytes))};
}

QString Unaligned(const QString &text) {
    return QCoreApplication::translate("Voice", "「%1」の音の切れ目を文字に合わせられません")
        .arg(text);
}

} // namespace

Result<Rendering> Render(const VoiceParts &parts, const QString &text, double rate,
                         const std::atomic<bool> *cancel) {
    // The text as it is, then in katakana when the dictionary read a word of
    // it otherwise (はた as the particle わ): the first rendering that says
    // exactly the text's sounds is kept.
    const QString expected = ExpectedPhonemes(text);
    std::optional<Output> out;
    QString why;
    for (const QString &input : {text, AsWritten(text)}) {
        Result<Output> run = RunSynthesizer(parts, input, rate, cancel);
        if (!run.ok) {
            return Result<Rendering>::Failure(run.errorString);
        }
        if (SaysTheText(SpokenPhonemes(run.value.phones), expected)) {
            out = std::move(run.value);
            break;
        }
        why = QCoreApplication::translate("Voice", "「%1」が書かれたとおりに発音されません（%2）")
                  .arg(text, SpokenPhonemes(run.value.phones));
    }
    if (!out) {
        return Result<Rendering>::Failure(why);
    }
    const QList<qint64> onsets = MoraOnsets(out->phones, text);
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
    const double cutMs = double(cut) * 1000.0 / kSampleRate;
    Rendering r;
    r.pcm = samples.mid(cut * 2);
    for (const qint64 onset : onsets) {
        r.moraMs.append(std::max(0.0, double(onset) / 10000.0 - cutMs));
    }
    r.phonemes = SpokenPhonemes(out->phones);
    return r;
}

RenderingCache::RenderingCache(QString folder, qint64 maxBytes)
    : folder_(std::move(folder)), maxBytes_(maxBytes) {}

QString RenderingCache::Key(const QString &text, const QString &voice, double rate) {
    const QString all =
        text + u'\n' + QFileInfo(voice).fileName() + u'\n' + QString::number(rate, 'f', 2);
    return QString::fromLatin1(
        QCryptographicHash::hash(all.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QString RenderingCache::PathOf(const QString &key) const {
    return QDir(folder_).filePath(key + QStringLiteral(".voice"));
}

std::optional<Rendering> RenderingCache::Load(const QString &key) const {
    const ReadResult read = ReadRegularFile(PathOf(key), kMaxEntry);
    if (!read.ok() || read.truncated) {
        return std::nullopt;
    }
    QDataStream in(read.bytes);
    quint32 magic = 0;
    Rendering r;
    in >> magic >> r.moraMs >> r.phonemes >> r.pcm;
    if (in.status() != QDataStream::Ok || magic != kMagic || r.moraMs.isEmpty() ||
        r.pcm.isEmpty() || !std::is_sorted(r.moraMs.begin(), r.moraMs.end()) ||
        r.moraMs.back() * kSampleRate / 1000.0 > double(r.pcm.size())) {
        return std::nullopt;
    }
    return r;
}

Result<> RenderingCache::Store(const QString &key, const Rendering &rendering) const {
    const QFileInfo place(folder_);
    if (place.isSymLink() && !place.exists()) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "%1: リンク先がありません").arg(folder_));
    }
    if (place.exists() && !place.isDir()) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "%1: フォルダーではありません").arg(folder_));
    }
    if (!QDir().mkpath(folder_)) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "%1: フォルダーを作れません").arg(folder_));
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << rendering.moraMs << rendering.phonemes << rendering.pcm;
    const Result<> written = WriteFileAtomically(PathOf(key), bytes);
    if (written.ok) {
        Trim();
    }
    return written;
}

void RenderingCache::Trim() const {
    // Only our own regular files; the newest stay.
    QFileInfoList entries = QDir(folder_).entryInfoList({QStringLiteral("*.voice")},
                                                        QDir::Files | QDir::NoSymLinks, QDir::Time);
    qint64 total = 0;
    for (const QFileInfo &entry : entries) {
        total += entry.size();
        if (total > maxBytes_) {
            RemoveFile(entry.filePath());
        }
    }
}

} // namespace nupew::voice
