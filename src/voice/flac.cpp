// SPDX-License-Identifier: MIT
// The voice's samples packed losslessly with libFLAC, in memory.
#include "voice/flac.h"

#include "voice/rendering.h"

#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace nupew::voice {
namespace {

constexpr unsigned kCompression = 5; // libFLAC's default: near the best, fast
constexpr qsizetype kBlock = 4096;   // samples handed to the encoder at a time

struct EncoderDeleter {
    void operator()(FLAC__StreamEncoder *e) const { FLAC__stream_encoder_delete(e); }
};
struct DecoderDeleter {
    void operator()(FLAC__StreamDecoder *d) const { FLAC__stream_decoder_delete(d); }
};

FLAC__StreamEncoderWriteStatus Written(const FLAC__StreamEncoder *, const FLAC__byte buffer[],
                                       size_t bytes, uint32_t, uint32_t, void *out) {
    static_cast<QByteArray *>(out)->append(reinterpret_cast<const char *>(buffer),
                                           qsizetype(bytes));
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

struct Unpacking {
    const QByteArray &in;
    qsizetype read = 0;
    qsizetype maxBytes = 0;
    QByteArray out;
    bool failed = false;
};

FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder *, FLAC__byte buffer[], size_t *bytes,
                                   void *data) {
    auto *u = static_cast<Unpacking *>(data);
    const qsizetype now = std::min<qsizetype>(qsizetype(*bytes), u->in.size() - u->read);
    if (now <= 0) {
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    }
    std::memcpy(buffer, u->in.constData() + u->read, size_t(now));
    u->read += now;
    *bytes = size_t(now);
    return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderWriteStatus Frame(const FLAC__StreamDecoder *, const FLAC__Frame *frame,
                                     const FLAC__int32 *const buffer[], void *data) {
    auto *u = static_cast<Unpacking *>(data);
    const FLAC__FrameHeader &h = frame->header;
    const qsizetype bytes = qsizetype(h.blocksize) * 2;
    if (h.channels != 1 || h.bits_per_sample != 16 || h.sample_rate != unsigned(kSampleRate) ||
        u->out.size() + bytes > u->maxBytes) {
        u->failed = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    const qsizetype at = u->out.size();
    u->out.resize(at + bytes);
    auto *samples = reinterpret_cast<qint16 *>(u->out.data() + at);
    for (unsigned i = 0; i < h.blocksize; ++i) {
        samples[i] = qint16(buffer[0][i]);
    }
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Damaged(const FLAC__StreamDecoder *, FLAC__StreamDecoderErrorStatus, void *data) {
    static_cast<Unpacking *>(data)->failed = true;
}

} // namespace

QByteArray PackSamples(const QByteArray &pcm) {
    const std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> encoder(FLAC__stream_encoder_new());
    if (!encoder) {
        return {};
    }
    FLAC__StreamEncoder *e = encoder.get();
    const qsizetype count = pcm.size() / 2;
    FLAC__stream_encoder_set_channels(e, 1);
    FLAC__stream_encoder_set_bits_per_sample(e, 16);
    FLAC__stream_encoder_set_sample_rate(e, kSampleRate);
    FLAC__stream_encoder_set_compression_level(e, kCompression);
    FLAC__stream_encoder_set_total_samples_estimate(e, FLAC__uint64(count));
    QByteArray out;
    if (FLAC__stream_encoder_init_stream(e, &Written, nullptr, nullptr, nullptr, &out) !=
        FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        return {};
    }
    const auto *s = reinterpret_cast<const qint16 *>(pcm.constData());
    std::vector<FLAC__int32> block(static_cast<size_t>(kBlock));
    bool ok = true;
    for (qsizetype at = 0; ok && at < count; at += kBlock) {
        const qsizetype n = std::min(kBlock, count - at);
        std::copy(s + at, s + at + n, block.begin());
        ok = FLAC__stream_encoder_process_interleaved(e, block.data(), unsigned(n));
    }
    ok = FLAC__stream_encoder_finish(e) && ok;
    return ok ? out : QByteArray();
}

std::optional<QByteArray> UnpackSamples(const QByteArray &flac, qsizetype maxBytes) {
    const std::unique_ptr<FLAC__StreamDecoder, DecoderDeleter> decoder(FLAC__stream_decoder_new());
    if (!decoder || flac.isEmpty()) {
        return std::nullopt;
    }
    Unpacking u{flac, 0, maxBytes, {}, false};
    FLAC__StreamDecoder *d = decoder.get();
    if (FLAC__stream_decoder_init_stream(d, &Read, nullptr, nullptr, nullptr, nullptr, &Frame,
                                         nullptr, &Damaged,
                                         &u) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        return std::nullopt;
    }
    const bool done = FLAC__stream_decoder_process_until_end_of_stream(d);
    const bool ended = FLAC__stream_decoder_get_state(d) == FLAC__STREAM_DECODER_END_OF_STREAM;
    FLAC__stream_decoder_finish(d);
    if (!done || !ended || u.failed || u.out.isEmpty()) {
        return std::nullopt;
    }
    return u.out;
}

} // namespace nupew::voice
