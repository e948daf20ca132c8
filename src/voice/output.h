// SPDX-License-Identifier: MIT
// Sound out through the PulseAudio protocol (PulseAudio or PipeWire), with the
// sink's own clock: how much of the sound has been played at the output,
// the server's and the device's latency accounted for.
#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

namespace nupew::voice {

// What plays the voice and says how much of it has been heard: the sound
// server, or a stand-in with a clock of its own in tests.
class Playback {
public:
    virtual ~Playback() = default;
    // Starts playing 48 kHz 16-bit mono samples at once, ending what played before.
    virtual Result<> Play(const QByteArray &pcm) = 0;
    // Milliseconds of the current sound played at the output; 0 before its
    // first sample. It stands still when the output stops playing.
    virtual double PlayedMs() const = 0;
    virtual void Stop() = 0;
    // Whether the current sound has been played to its last sample.
    virtual bool Ended() const = 0;
    // Why the output failed; empty while all is well.
    virtual QString Failure() const = 0;
};

class SoundOutput final : public Playback {
public:
    SoundOutput();
    ~SoundOutput() override;
    SoundOutput(const SoundOutput &) = delete;
    SoundOutput &operator=(const SoundOutput &) = delete;

    // Connects to the server (never starts one) and checks that it has an
    // output to play to; why not. Waits up to 2 s for a server that does not
    // answer, so it is never called on the GUI thread.
    Result<> Open();
    bool IsOpen() const { return context_ != nullptr; }
    Result<> Play(const QByteArray &pcm) override;
    double PlayedMs() const override;
    void Stop() override;
    bool Ended() const override;
    QString Failure() const override;

private:
    static void ContextState(pa_context *context, void *self);
    static void StreamState(pa_stream *stream, void *self);
    static void Write(pa_stream *stream, size_t bytes, void *self);
    static void Started(pa_stream *stream, void *self);
    Result<> Connect();
    Result<> CheckSink();
    void Close();
    // Waits, the loop's lock held, until `done` or the server's time is up.
    bool WaitFor(const std::function<bool()> &done);

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    QByteArray pcm_;
    qsizetype written_ = 0;
    mutable double lastFreshMs_ = 0.0; // the clock at the server's last report
    mutable bool asking_ = false;      // a report asked for and not yet come (under the lock)
    pa_operation *draining_ = nullptr; // asked when all was written (under the lock)
    bool ended_ = false;               // the server played the last sample (under the lock)
    std::atomic<bool> failed_ = false;
    QString failure_; // under the loop's lock
};

} // namespace nupew::voice
