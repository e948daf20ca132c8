// SPDX-License-Identifier: MIT
// What the voice says and where each shown character's sound begins, from the
// text alone; and what a rendering said, read from labels written out here.
// No synthesizer is run.
#include "voice/alignment.h"
#include "voice/speech.h"

#include <QTest>
#include <algorithm>

using namespace nupew;
using namespace nupew::voice;

class TestSpeech : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { catalogue_.Fill(); }

    // Small kana join the mora before, ー is a mora, pauses are none; each
    // mora has the phonemes Open JTalk labels it with.
    void moraeAndTheirPhonemes() {
        QCOMPARE(Morae(QStringLiteral("きょうを　かぎりの、ー")),
                 (QStringList{"きょ", "う", "を", "か", "ぎ", "り", "の", "ー"}));
        QCOMPARE(ExpectedPhonemes(QStringLiteral("きょう")), QStringLiteral("ky o u"));
        QCOMPARE(ExpectedPhonemes(QStringLiteral("しょじちゃ")), QStringLiteral("sh o j i ch a"));
        QCOMPARE(ExpectedPhonemes(QStringLiteral("そーん")), QStringLiteral("s o o N"));
        QCOMPARE(ExpectedPhonemes(QStringLiteral("んー")), QStringLiteral("N N"));
        // おう is said either way.
        QVERIFY(SaysTheText(QStringLiteral("ky o o"), QStringLiteral("ky o u")));
        QVERIFY(!SaysTheText(QStringLiteral("ky o"), QStringLiteral("ky o u")));
        // Hiragana are offered as written in katakana too, for words the
        // dictionary would read otherwise.
        QCOMPARE(Utter(QStringLiteral("はな")).inputs, (QStringList{"はな", "ハナ"}));
    }

    // A trace's labels: the phonemes said, devoiced vowels folded, and each
    // mora's onset at its consonant, or at its vowel, ん or っ alone.
    void labelsGiveWhatWasSaidAndWhen() {
        const QString trace = QStringLiteral("junk before\n[Output label]\n"
                                             "0 1000 xx^xx-sil+k=i/A:\n"
                                             "1000 1500 xx^sil-k+i=t/A:\n"
                                             "1500 2000 sil^k-I+t=t/A:\n"
                                             "2000 2600 k^i-cl+t=a/A:\n"
                                             "2600 3000 i^cl-t+a=N/A:\n"
                                             "3000 3400 cl^t-a+N=pau/A:\n"
                                             "3400 3900 t^a-N+pau=a/A:\n"
                                             "3900 4500 a^N-pau+a=sil/A:\n"
                                             "4500 5000 N^pau-a+sil=xx/A:\n"
                                             "5000 6000 pau^a-sil+xx=xx/A:\n");
        const QList<Phone> phones = ParseLabels(trace);
        QCOMPARE(phones.size(), 10);
        QCOMPARE(SpokenPhonemes(phones), QStringLiteral("k i cl t a N a"));
        QVERIFY(
            SaysTheText(SpokenPhonemes(phones), ExpectedPhonemes(QStringLiteral("きったん　あ"))));
        QCOMPARE(MoraOnsets(phones, 5), (QList<qint64>{1000, 2000, 2600, 3400, 4500}));
        QVERIFY(MoraOnsets(phones, 4).isEmpty()); // not the text's morae: none
        QVERIFY(ParseLabels(QStringLiteral("0 1000 xx^xx-sil+k")).isEmpty());
    }

    // Each shown character comes with the sound it stands for: kana by their
    // spoken mora (ほ of いほ with お), kanji by their reading (庵 with い).
    void charactersAreTiedToTheirSounds() {
        const QString speech = SpeechText(catalogue_, Poem::FromRow(0), true, false);
        const QList<int> kana = ShownMorae(catalogue_.Text(Poem::FromRow(0), kUpperKana),
                                           catalogue_.Text(Poem::FromRow(0), kUpperKana), speech);
        // あきのたの　かりほのいほの: the space comes with か, ほ with お, い with い.
        QCOMPARE(kana.mid(0, 14), (QList<int>{0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 11, 12}));
        const QString kanji = catalogue_.Text(Poem::FromRow(0), kUpperKanji);
        const QList<int> byKanji =
            ShownMorae(kanji, catalogue_.Text(Poem::FromRow(0), kUpperKana), speech);
        QCOMPARE(byKanji[kanji.indexOf(u'庵')], 9);
        QCOMPARE(byKanji[kanji.indexOf(u'苫')], 12);
        // All hundred, both texts: in order, inside the verse, and the
        // recited form (held sounds between) ties the same characters later.
        for (int p = 0; p < kPoemCount; ++p) {
            for (const bool recited : {false, true}) {
                const QString text = SpeechText(catalogue_, Poem::FromRow(p), true, recited);
                for (const Column column : {kUpperKana, kUpperKanji}) {
                    const QList<int> m =
                        ShownMorae(catalogue_.Text(Poem::FromRow(p), column),
                                   catalogue_.Text(Poem::FromRow(p), kUpperKana), text);
                    QVERIFY2(!m.isEmpty() && std::is_sorted(m.begin(), m.end()) &&
                                 m.back() < Morae(text).size(),
                             qPrintable(QStringLiteral("%1 %2").arg(p + 1).arg(int(column))));
                }
            }
        }
    }

private:
    PoemCatalogue catalogue_;
};

QTEST_GUILESS_MAIN(TestSpeech)
#include "test_speech.moc"
