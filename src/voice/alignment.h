// SPDX-License-Identifier: MIT
// What a rendering said, read from the synthesizer's labels: its phonemes and
// where each mora begins, to be checked against what speech asked for.
#pragma once

#include <QList>
#include <QString>

namespace nupew::voice {

// One phoneme of a rendering, its start and end in units of 100 ns.
struct Phone {
    qint64 start = 0;
    qint64 end = 0;
    QString name; // a i u e o (capital when devoiced), N, cl, consonants, sil, pau
};

// The phonemes of an Open JTalk trace file (the part after "[Output label]").
QList<Phone> ParseLabels(const QString &trace);

// The phonemes of a rendering, silences left out, devoiced vowels in lower case.
QString SpokenPhonemes(const QList<Phone> &phones);

// Whether a rendering said exactly the expected phonemes; おう may be said
// "o u" or "o o".
bool SaysTheText(QString spoken, QString expected);

// The start of each of `moraCount` morae in the rendering (100 ns units);
// empty when the rendering does not have that many.
QList<qint64> MoraOnsets(const QList<Phone> &phones, qsizetype moraCount);

} // namespace nupew::voice
