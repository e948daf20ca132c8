// SPDX-License-Identifier: MIT
// The voice's samples packed losslessly (FLAC), so that a whole set of
// renderings fits the cache: speech packs to about a third.
#pragma once

#include <QByteArray>
#include <optional>

namespace nupew::voice {

// 48 kHz 16-bit mono samples as a FLAC stream; empty when the encoder fails.
QByteArray PackSamples(const QByteArray &pcm);

// The samples of a FLAC stream made by PackSamples; none when the stream is
// damaged, not 16-bit mono at 48 kHz, or would unpack to more than `maxBytes`.
std::optional<QByteArray> UnpackSamples(const QByteArray &flac, qsizetype maxBytes);

} // namespace nupew::voice
