// SPDX-License-Identifier: MIT
// What the voice says for a verse, and at which mora each shown character's
// sound begins: all of it from the text alone. Rendering takes an Utterance
// and never calls back here.
#pragma once

#include "core/poem_catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace nupew::voice {

// The morae of a kana text: a small kana belongs to the one before, ー is a
// mora of its own (the sound held), punctuation and spaces are none.
QStringList Morae(const QString &kana);

// The phonemes a mora is said with (きょ: "ky o", ー after お: "o").
QString MoraPhonemes(const QString &mora, const QString &before);

// The phonemes `kana` should be said with: vowels in lower case, silences
// left out, as a rendering's labels are read (SpokenPhonemes).
QString ExpectedPhonemes(const QString &kana);

// A competition reader's rhythm ("5-3-1-6"): the upper verse in about 6 s;
// the lower verse in about 5 s up to its last sound, that sound held about
// 3 s (余韻), then a breath of 1 s before the next upper verse.
inline constexpr int kUpperVerseMs = 6000;
inline constexpr int kLowerVerseMs = 5000;
inline constexpr int kHeldEndMs = 3000;
inline constexpr int kBreathMs = 1000;
// The synthesizer's rate for the reader's style: slow enough for every mora
// to be clear; the time comes from the held sounds and the pauses.
inline constexpr double kRecitedRate = 0.75;

// The recited form drawn out to a reader's time: each held sound (ー) made
// longer so that the verse lasts about `spokenMs` up to its last sound (or
// to its end), and with `holdEnd` the last sound held for longer than
// kHeldEndMs, to be cut to its length once rendered. Breaths become pauses.
QString ReaderText(const QString &recited, int spokenMs, bool holdEnd);

// The text the synthesizer is given: the spoken form, phrases apart, or the
// recited form in a reader's time (ReaderText).
QString SpeechText(const PoemCatalogue &catalogue, Poem poem, bool upper, bool recited);

// For each character of `shown` (the verse on the board, kana or kanji), the
// mora of `speech` where its sound begins. `spelledKana` is the verse in the
// table's kana with phrases split by U+3000; characters that cannot be placed
// take the mora after the one before. Empty for a text that does not match.
QList<int> ShownMorae(const QString &shown, const QString &spelledKana, const QString &speech);

// What the voice is to say, made from the text alone.
struct Utterance {
    QString text;       // as the synthesizer is given it
    QStringList inputs; // the text, then in katakana: the first said as written is kept
    QStringList morae;  // Morae(text)
    QString expected;   // ExpectedPhonemes(text)
};

// A text to be said.
Utterance Utter(const QString &text);
// A verse to be said (SpeechText).
Utterance UtterVerse(const PoemCatalogue &catalogue, Poem poem, bool upper, bool recited);

} // namespace nupew::voice
