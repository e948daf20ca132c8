// SPDX-License-Identifier: MIT
// A private PulseAudio server with a null sink, and a recorder of what
// reached that sink: the real sound path, without a desktop or speakers.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace nupew::testing {

inline constexpr char kSinkName[] = "nupew_test";

// Starts in a folder of its own (XDG_RUNTIME_DIR), so that the machine's own
// server, if any, is never touched; stops when it goes.
class PulseServer {
public:
    bool Start(QString *why) {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
            *why = QStringLiteral("pulseaudio is not installed");
            return false;
        }
        dir_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_->path()));
        qunsetenv("PULSE_SERVER");
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(QStringLiteral("pulseaudio"),
                     {QStringLiteral("--daemonize=yes"), QStringLiteral("--exit-idle-time=-1"),
                      QStringLiteral("-n"),
                      QStringLiteral("--load=module-null-sink sink_name=%1").arg(kSinkName),
                      QStringLiteral("--load=module-native-protocol-unix")});
        if (!server.waitForFinished(20000) || server.exitCode() != 0) {
            *why = QString::fromUtf8(server.readAll());
            return false;
        }
        for (int i = 0; i < 100; ++i) { // until it answers
            QProcess info;
            info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
            if (info.waitForFinished(2000) && info.exitCode() == 0) {
                running_ = true;
                return true;
            }
            QThread::msleep(50);
        }
        *why = QStringLiteral("the server does not answer");
        return false;
    }
    void Stop() {
        if (running_) {
            QProcess::execute(QStringLiteral("pulseaudio"), {QStringLiteral("-k")});
            running_ = false;
            // Gone only once --check says so; its folder is then free to go.
            for (int i = 0; i < 100; ++i) {
                if (QProcess::execute(QStringLiteral("pulseaudio"), {QStringLiteral("--check")}) !=
                    0) {
                    break;
                }
                QThread::msleep(20);
            }
        }
    }
    ~PulseServer() { Stop(); }
    // The server's process, from its pid file.
    qint64 Pid() const {
        QFile file(dir_->filePath(QStringLiteral("pulse/pid")));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    bool running_ = false;
};

// Records the sink's monitor as it plays, each block stamped on arrival.
class SinkRecorder : public QObject {
public:
    explicit SinkRecorder(const QElapsedTimer &clock) : clock_(clock) {
        connect(&parec_, &QProcess::readyReadStandardOutput, this, [this] {
            const QByteArray block = parec_.readAllStandardOutput();
            const double now = double(clock_.nsecsElapsed()) / 1e6;
            const qint64 n = block.size() / 2;
            const auto *s = reinterpret_cast<const qint16 *>(block.constData());
            for (qint64 i = 0; i < n; ++i) {
                if (std::abs(s[i]) > kLoud && firstLoudMs_ < 0) {
                    firstLoudMs_ = now - double(n - i) / 48.0; // 48 samples a millisecond
                }
                loudSamples_ += std::abs(s[i]) > kLoud;
            }
            if (keep_) {
                kept_.append(block.left(n * 2));
                arrivals_.append({samples_ + n, now});
            }
            samples_ += n;
        });
    }
    bool Start() {
        parec_.start(QStringLiteral("parec"),
                     {QStringLiteral("-d"), QStringLiteral("%1.monitor").arg(kSinkName),
                      QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                      QStringLiteral("--rate=48000"), QStringLiteral("--channels=1"),
                      QStringLiteral("--latency-msec=5")});
        if (!parec_.waitForStarted()) {
            return false;
        }
        // The monitor's first blocks come late; until they flow, nothing is timed.
        QElapsedTimer waited;
        waited.start();
        while (samples_ < 48000 && waited.elapsed() < 10000) {
            parec_.waitForReadyRead(100);
        }
        return samples_ >= 48000;
    }
    ~SinkRecorder() override {
        parec_.kill();
        parec_.waitForFinished();
    }
    // Keeps every sample from now on, with when it reached the sink.
    void Keep() {
        keep_ = true;
        keptFrom_ = samples_;
    }
    const QByteArray &Kept() const { return kept_; }
    // When kept sample `i` reached the sink (clock milliseconds): the block
    // it came in arrived then, its last sample just recorded.
    double TimeOf(qint64 i) const {
        const qint64 at = keptFrom_ + i;
        const auto block = std::upper_bound(arrivals_.begin(), arrivals_.end(), at,
                                            [](qint64 v, const auto &b) { return v < b.first; });
        return block == arrivals_.end() ? -1.0 : block->second - double(block->first - at) / 48.0;
    }
    // The first and last loud kept sample at or after, before a moment; -1 when none.
    qint64 FirstLoudFrom(double ms) const {
        const auto *s = reinterpret_cast<const qint16 *>(kept_.constData());
        for (qint64 i = 0; i < kept_.size() / 2; ++i) {
            if (std::abs(s[i]) > kLoud && TimeOf(i) >= ms) {
                return i;
            }
        }
        return -1;
    }
    qint64 LastLoudBefore(double ms) const {
        const auto *s = reinterpret_cast<const qint16 *>(kept_.constData());
        for (qint64 i = kept_.size() / 2 - 1; i >= 0; --i) {
            if (std::abs(s[i]) > kLoud && TimeOf(i) < ms) {
                return i;
            }
        }
        return -1;
    }

    // When the first sound reached the sink (clock milliseconds), -1 before.
    double FirstSoundMs() const { return firstLoudMs_; }
    qint64 LoudSamples() const { return loudSamples_; }
    void Reset() {
        firstLoudMs_ = -1;
        loudSamples_ = 0;
    }

private:
    static constexpr int kLoud = 300;
    const QElapsedTimer &clock_;
    QProcess parec_;
    double firstLoudMs_ = -1;
    qint64 loudSamples_ = 0;
    qint64 samples_ = 0;
    bool keep_ = false;
    qint64 keptFrom_ = 0;
    QByteArray kept_;
    QList<QPair<qint64, double>> arrivals_; // the end of each block kept, and its arrival
};

} // namespace nupew::testing
