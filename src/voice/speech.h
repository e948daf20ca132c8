// SPDX-License-Identifier: MIT
// What the voice says for a verse, and when each shown character's sound
// begins: the synthesizer's phoneme labels tied back to the text on the board.
#pragma once

#include "core/poem_catalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace nupew::voice {

// One phoneme of a rendering, its start and end in units of 100 ns.
struct Phone {
    qint64 start = 0;
    qint64 end = 0;
    QString name; // a i u e o (capital when devoiced), N, cl, consonants, sil, pau
};

// The phonemes of an Open JTalk trace file (the part after "[Output label]").
QList<Phone> ParseLabels(const QString &trace);

// The morae of a kana text: a small kana belongs to the one before, ー is a
// mora of its own (the sound held), punctuation and spaces are none.
QStringList Morae(const QString &kana);

// The phonemes a mora is said with (きょ: "ky o", ー after お: "o").
QString MoraPhonemes(const QString &mora, const QString &before);

// The phonemes of a rendering, silences left out, devoiced vowels in lower case.
QString SpokenPhonemes(const QList<Phone> &phones);
// The phonemes `kana` should be said with, in the same form.
QString ExpectedPhonemes(const QString &kana);

// Whether a rendering said exactly the expected phonemes; おう may be said
// "o u" or "o o".
bool SaysTheText(QString spoken, QString expected);

// The start of each mora of `kana` in the rendering (100 ns units); empty
// when the rendering does not have the text's morae.
QList<qint64> MoraOnsets(const QList<Phone> &phones, const QString &kana);

// The text the synthesizer is given: the spoken form, phrases apart, or the
// recited form with its held sounds and breaths.
QString SpeechText(const PoemCatalogue &catalogue, int poem, bool upper, bool recited);

// For each character of `shown` (the verse on the board, kana or kanji), the
// mora of `speech` where its sound begins. `spelledKana` is the verse in the
// table's kana with phrases split by U+3000; characters that cannot be placed
// take the mora after the one before. Empty for a text that does not match.
QList<int> ShownMorae(const QString &shown, const QString &spelledKana, const QString &speech);

} // namespace nupew::voice
