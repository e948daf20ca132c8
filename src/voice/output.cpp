// SPDX-License-Identifier: MIT
// Sound out through the PulseAudio protocol, timed by the sink's own clock.
#include "voice/output.h"

#include "voice/rendering.h"

#include <QCoreApplication>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <functional>

namespace nupew::voice {
namespace {

// The latency asked of the server: short, so that 開始 is heard at once.
constexpr pa_usec_t kTargetLatencyUs = 20000;
// How long a server may take to answer before it counts as gone.
constexpr pa_usec_t kAnswerWithinUs = 2000000;
// The server reports its clock every 100 ms; a report older than this says
// it has stopped answering.
constexpr pa_usec_t kFreshFor = 300000;
constexpr pa_usec_t kAskEvery = 100000;
// Written ahead into the server's buffer (within its 4 MiB): a verse whole.
constexpr qsizetype kWriteAhead = 2 << 20;

// Holds the loop's lock for a scope (callbacks run with it held).
class Locked {
public:
    explicit Locked(pa_threaded_mainloop *loop) : loop_(loop) {
        if (loop_) {
            pa_threaded_mainloop_lock(loop_);
        }
    }
    ~Locked() {
        if (loop_) {
            pa_threaded_mainloop_unlock(loop_);
        }
    }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;

private:
    pa_threaded_mainloop *loop_;
};

} // namespace

SoundOutput::SoundOutput() = default;

SoundOutput::~SoundOutput() {
    Stop();
    Close();
}

bool SoundOutput::WaitFor(const std::function<bool()> &done) {
    // Called with the loop's lock held. A timer of the loop ends the wait
    // when the server does not answer (a stopped server never would).
    struct Deadline {
        pa_threaded_mainloop *loop;
        bool passed = false;
    } deadline{loop_, false};
    pa_time_event *timer = pa_context_rttime_new(
        context_, pa_rtclock_now() + kAnswerWithinUs,
        [](pa_mainloop_api *, pa_time_event *, const struct timeval *, void *data) {
            auto *d = static_cast<Deadline *>(data);
            d->passed = true;
            pa_threaded_mainloop_signal(d->loop, 0);
        },
        &deadline);
    while (!done() && !deadline.passed && !failed_) {
        pa_threaded_mainloop_wait(loop_);
    }
    if (timer) {
        pa_threaded_mainloop_get_api(loop_)->time_free(timer);
    }
    return done();
}

Result<> SoundOutput::CheckSink() {
    struct Answer {
        pa_threaded_mainloop *loop;
        bool done = false;
        QString sink;
    } answer{loop_, false, {}};
    Locked lock(loop_);
    pa_operation *asked = pa_context_get_server_info(
        context_,
        [](pa_context *, const pa_server_info *info, void *data) {
            auto *a = static_cast<Answer *>(data);
            a->sink = info && info->default_sink_name ? QString::fromUtf8(info->default_sink_name)
                                                      : QString();
            a->done = true;
            pa_threaded_mainloop_signal(a->loop, 0);
        },
        &answer);
    const bool answered = asked && WaitFor([&answer] { return answer.done; });
    if (asked) {
        pa_operation_cancel(asked);
        pa_operation_unref(asked);
    }
    if (failed_) {
        return Result<>::Failure(failure_);
    }
    if (!answered) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "サウンドサーバーが答えません"));
    }
    if (answer.sink.isEmpty()) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "サウンドサーバーに音の出力先がありません"));
    }
    return Ok();
}

Result<> SoundOutput::Open() {
    if (Result<> connected = Connect(); !connected.ok()) {
        return connected;
    }
    if (Result<> sink = CheckSink(); !sink.ok()) {
        Close();
        return sink;
    }
    return Ok();
}

Result<> SoundOutput::Connect() {
    if (context_) {
        return Ok();
    }
    loop_ = pa_threaded_mainloop_new();
    context_ = loop_ ? pa_context_new(pa_threaded_mainloop_get_api(loop_), "Nupew") : nullptr;
    if (!context_) {
        Close();
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "PulseAudio の準備ができません"));
    }
    pa_context_set_state_callback(context_, &SoundOutput::ContextState, this);
    bool ready = false;
    QString why;
    {
        Locked lock(loop_);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
            pa_threaded_mainloop_start(loop_) >= 0) {
            ready = WaitFor([this] {
                        const pa_context_state_t state = pa_context_get_state(context_);
                        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
                    }) &&
                    pa_context_get_state(context_) == PA_CONTEXT_READY;
        }
        if (!ready) {
            why = QCoreApplication::translate("Voice", "サウンドサーバーにつながりません: %1")
                      .arg(PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))
                               ? QCoreApplication::translate("Voice", "答えがありません")
                               : QString::fromUtf8(pa_strerror(pa_context_errno(context_))));
        }
    }
    if (!ready) {
        Close();
        return Result<>::Failure(why);
    }
    return Ok();
}

void SoundOutput::ContextState(pa_context *context, void *self) {
    auto *output = static_cast<SoundOutput *>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        output->failure_ = QString::fromUtf8(pa_strerror(pa_context_errno(context)));
        output->failed_ = true;
    }
    pa_threaded_mainloop_signal(output->loop_, 0);
}

void SoundOutput::StreamState(pa_stream *stream, void *self) {
    auto *output = static_cast<SoundOutput *>(self);
    if (pa_stream_get_state(stream) == PA_STREAM_FAILED) {
        output->failure_ =
            QString::fromUtf8(pa_strerror(pa_context_errno(pa_stream_get_context(stream))));
        output->failed_ = true;
    }
    pa_threaded_mainloop_signal(output->loop_, 0);
}

void SoundOutput::Write(pa_stream *stream, size_t bytes, void *self) {
    auto *output = static_cast<SoundOutput *>(self);
    // The whole sound is at hand: it goes to the server's buffer at once, not
    // just what the server asked for (20 ms), so that no hiccup of ours can
    // starve it (an underrun stood the stream still for seconds).
    const qsizetype left = output->pcm_.size() - output->written_;
    const qsizetype now =
        std::min<qsizetype>(left, std::max<qsizetype>(qsizetype(bytes), kWriteAhead));
    if (now > 0) {
        pa_stream_write(stream, output->pcm_.constData() + output->written_, size_t(now), nullptr,
                        0, PA_SEEK_RELATIVE);
        output->written_ += now;
    }
    if (output->written_ == output->pcm_.size() && !output->draining_) {
        // All handed over: the server says when the last sample has played.
        output->draining_ = pa_stream_drain(
            stream,
            [](pa_stream *, int success, void *self) {
                auto *o = static_cast<SoundOutput *>(self);
                o->ended_ = success != 0;
                if (o->draining_) {
                    pa_operation_unref(o->draining_);
                    o->draining_ = nullptr;
                }
            },
            output);
    }
}

bool SoundOutput::Ended() const {
    Locked lock(loop_);
    return ended_;
}

Result<> SoundOutput::Play(const QByteArray &pcm) {
    if (!context_) {
        return Result<>::Failure(
            QCoreApplication::translate("Voice", "サウンドサーバーにつながっていません"));
    }
    Stop();
    Locked lock(loop_);
    if (failed_) {
        return Result<>::Failure(failure_);
    }
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kSampleRate, 1};
    stream_ = pa_stream_new(context_, "verse", &spec, nullptr);
    if (!stream_) {
        return Result<>::Failure(QString::fromUtf8(pa_strerror(pa_context_errno(context_))));
    }
    pcm_ = pcm;
    written_ = 0;
    pa_stream_set_state_callback(stream_, &SoundOutput::StreamState, this);
    pa_stream_set_write_callback(stream_, &SoundOutput::Write, this);
    pa_stream_set_started_callback(stream_, &SoundOutput::Started, this);
    lastFreshMs_ = 0.0;
    asking_ = false;
    ended_ = false;
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(4 << 20);
    attr.tlength = uint32_t(pa_usec_to_bytes(kTargetLatencyUs, &spec));
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING |
                                         PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        const QString why = QString::fromUtf8(pa_strerror(pa_context_errno(context_)));
        pa_stream_unref(stream_);
        stream_ = nullptr;
        return Result<>::Failure(why);
    }
    return Ok();
}

void SoundOutput::Started(pa_stream *stream, void *) {
    // The server began to play: ask for its clock at once rather than at the
    // next automatic update (up to 100 ms later), so the first character
    // comes with the first sound.
    if (pa_operation *asked = pa_stream_update_timing_info(stream, nullptr, nullptr)) {
        pa_operation_unref(asked);
    }
}

double SoundOutput::PlayedMs() const {
    Locked lock(loop_);
    pa_usec_t played = 0;
    if (!stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY ||
        pa_stream_get_time(stream_, &played) < 0) {
        return 0.0;
    }
    // The clock runs on between the server's reports, which are asked for
    // every 100 ms (the automatic ones come up to 1.5 s apart); a server that
    // stopped answering (a stopped process) would let it run on without
    // sound, so it stands still once the last report is too old.
    const pa_timing_info *timing = pa_stream_get_timing_info(stream_);
    const pa_usec_t age = timing ? pa_timeval_age(&timing->timestamp) : 0;
    if (timing && age > kAskEvery && !asking_) {
        if (pa_operation *asked = pa_stream_update_timing_info(
                stream_,
                [](pa_stream *, int, void *self) {
                    static_cast<SoundOutput *>(self)->asking_ = false;
                },
                const_cast<SoundOutput *>(this))) {
            asking_ = true;
            pa_operation_unref(asked);
        }
    }
    if (timing && age > kFreshFor) {
        return lastFreshMs_;
    }
    lastFreshMs_ = double(played) / 1000.0;
    return lastFreshMs_;
}

void SoundOutput::Stop() {
    Locked lock(loop_);
    if (draining_) {
        pa_operation_cancel(draining_);
        pa_operation_unref(draining_);
        draining_ = nullptr;
    }
    ended_ = false;
    if (stream_) {
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_started_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
}

QString SoundOutput::Failure() const {
    if (!failed_) {
        return {};
    }
    Locked lock(loop_);
    return failure_.isEmpty()
               ? QCoreApplication::translate("Voice", "サウンドサーバーとの接続が切れました")
               : failure_;
}

void SoundOutput::Close() {
    if (loop_) {
        pa_threaded_mainloop_stop(loop_);
    }
    if (stream_) {
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (loop_) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }
}

} // namespace nupew::voice
