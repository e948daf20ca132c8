// SPDX-License-Identifier: MIT
// Decisive characters (決まり字): how much of an upper verse must be heard
// before only one poem can follow, against the anthology and on the board.
#pragma once

#include "core/poem_catalogue.h"

#include <QList>
#include <QString>
#include <array>

namespace nupew {

// The most decisive characters a poem needs (大山, 六字決まり); counts run 1 to this.
inline constexpr int kMaxDecisiveCount = 6;
// Arrays by count, indexed by the count itself.
inline constexpr size_t kByCount = kMaxDecisiveCount + 1;

// A poem's upper verse as a karuta player hears it: its spoken form (column
// kUpperSpoken) without spaces, and う after an o-row kana as the long お it
// sounds (あふこと, said おうこと, is heard おーこと like おほけなく). The
// particle を keeps its letter; the table compares it as お.
QString HeardVerse(const PoemCatalogue &catalogue, Poem poem);

class DecisiveTable final {
public:
    explicit DecisiveTable(const PoemCatalogue &catalogue);

    // The count of decisive characters of a poem against all hundred (1 to 6).
    int Count(Poem poem) const;
    // The decisive characters as the verse spells them in kana (あふこ).
    QString Characters(Poem poem) const;
    // The decisive characters as players say them (おおこ).
    QString Heard(Poem poem) const;
    // How many characters of the verse's text in `column` (kUpperKanji or
    // kUpperKana) carry the decisive characters; 0 when the kanji text cannot
    // be matched to its kana.
    int LengthIn(Poem poem, Column column) const;

private:
    const PoemCatalogue &catalogue_;
    std::array<int, kPoemCount> counts_{};
    std::array<int, kPoemCount> kanjiLengths_{};
    std::array<QString, kPoemCount> heard_;
};

// The first reveal step (1 = one character shown) after which the shown text
// of `verse` fits exactly one of `cardVerses` (the same column's upper verses
// of the poems on the cards, the asked one among them).
int DecisiveStep(const QString &verse, const QList<QString> &cardVerses);

// Where the second phrase of a poem's lower verse begins in its kanji text;
// 0 for a poem not of the hundred.
int LowerVerseBreak(const PoemCatalogue &catalogue, Poem poem);

// The number of characters of `kanjiText` that carry the first `kanaCount`
// kana of `kanaText`, the same words written the two ways; 0 if they do not
// match. Within a run of kanji only those whose reading holds a decisive kana
// count (村 of 村雨 for む), where the run's split is known; others whole.
int KanjiCharactersFor(const QString &kanjiText, const QString &kanaText, int kanaCount);

// For each character of `kanjiText`, where its reading begins in `kanaText`
// (the same words in kana, spaces counted); empty if the two do not match.
// A run of kanji whose split is not known begins at the run's start.
QList<int> KanaStarts(const QString &kanjiText, const QString &kanaText);

} // namespace nupew
