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
struct pa_stream;
struct pa_threaded_mainloop;

namespace nupew::voice {

class SoundOutput final {
public:
    SoundOutput();
    ~SoundOutput();
    SoundOutput(const SoundOutput &) = delete;
    SoundOutput &operator=(const SoundOutput &) = delete;

    // Empty when a sound server answers and has an output to play to, else why not.
    static QString Probe();

    // Connects to the server (never starts one); false with the reason.
    Result<> Open();
    bool IsOpen() const { return context_ != nullptr; }
    // Starts playing 48 kHz 16-bit mono samples at once, ending what played before.
    Result<> Play(const QByteArray &pcm);
    // Milliseconds of the current sound played at the output; 0 before its first sample.
    double PlayedMs() const;
    void Stop();
    // Why the server or the stream failed; empty while all is well.
    QString Failure() const;

private:
    static void ContextState(pa_context *context, void *self);
    static void StreamState(pa_stream *stream, void *self);
    static void Write(pa_stream *stream, size_t bytes, void *self);
    void Close();
    // Waits, the loop's lock held, until `done` or the server's time is up.
    bool WaitFor(const std::function<bool()> &done);

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    QByteArray pcm_;
    qsizetype written_ = 0;
    std::atomic<bool> failed_ = false;
    QString failure_; // under the loop's lock
};

} // namespace nupew::voice
