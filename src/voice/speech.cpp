// SPDX-License-Identifier: MIT
// What the voice says for a verse, and when each shown character's sound begins.
#include "voice/speech.h"

#include "core/decisive.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <vector>

namespace nupew::voice {
namespace {

constexpr QChar kSpace(0x3000);
constexpr QChar kHold(u'ー');
constexpr QChar kBreath(0xFF70); // half-width ｰ
const QString kSmall = QStringLiteral("ぁぃぅぇぉゃゅょゎ");

bool IsPause(QChar c) {
    return c == kSpace || c == kBreath || c == u'、' || c == u'。' || c == u' ';
}

bool IsVowel(const QString &phone) {
    return phone.size() == 1 && QStringLiteral("aiueoAIUEO").contains(phone[0]);
}

// The romanisation Open JTalk's labels use, kana by kana.
const QHash<QChar, QString> &Romaji() {
    static const QHash<QChar, QString> table = [] {
        static const char16_t *const pairs[] = {
            u"あa",   u"いi",  u"うu",  u"えe",  u"おo",  u"かka", u"きki", u"くku",  u"けke",
            u"こko",  u"がga", u"ぎgi", u"ぐgu", u"げge", u"ごgo", u"さsa", u"しshi", u"すsu",
            u"せse",  u"そso", u"ざza", u"じji", u"ずzu", u"ぜze", u"ぞzo", u"たta",  u"ちchi",
            u"つtsu", u"てte", u"とto", u"だda", u"ぢji", u"づzu", u"でde", u"どdo",  u"なna",
            u"にni",  u"ぬnu", u"ねne", u"のno", u"はha", u"ひhi", u"ふfu", u"へhe",  u"ほho",
            u"ばba",  u"びbi", u"ぶbu", u"べbe", u"ぼbo", u"ぱpa", u"ぴpi", u"ぷpu",  u"ぺpe",
            u"ぽpo",  u"まma", u"みmi", u"むmu", u"めme", u"もmo", u"やya", u"ゆyu",  u"よyo",
            u"らra",  u"りri", u"るru", u"れre", u"ろro", u"わwa", u"をo",  u"んN",   u"っcl",
            u"ゐi",   u"ゑe",  u"ぁa",  u"ぃi",  u"ぅu",  u"ぇe",  u"ぉo",  u"ゃya",  u"ゅyu",
            u"ょyo",  u"ゎwa"};
        QHash<QChar, QString> t;
        for (const char16_t *p : pairs) {
            const QString s = QString::fromUtf16(p);
            t.insert(s[0], s.mid(1));
        }
        return t;
    }();
    return table;
}

// "shi" → "sh i": the consonant apart from the vowel.
QString Split(const QString &romaji) {
    if (romaji.size() > 1 && IsVowel(romaji.right(1))) {
        return romaji.chopped(1) + u' ' + romaji.right(1);
    }
    return romaji;
}

// A kana without its voicing mark, and a small kana as its full one.
QChar Base(QChar c) {
    const QString d = c.decomposition();
    if (!d.isEmpty()) {
        c = d[0];
    }
    if (kSmall.contains(c) || c == u'っ') {
        c = QChar(c.unicode() + 1);
    }
    return c;
}

// How far a spelled kana is from a spoken one: the same sound 0, a spelling
// that old kana uses for it (ほ for お, む for ん) a half, others 1.
double Distance(QChar spelled, QChar spoken) {
    const QChar a = Base(spelled);
    const QChar b = Base(spoken);
    if (a == b) {
        return 0.0;
    }
    static const char16_t *const kOldSpellings[] = {u"はわ", u"ひい", u"ふう", u"へえ",
                                                    u"ほお", u"をお", u"ゐい", u"ゑえ",
                                                    u"むん", u"ちし", u"つす", u"うお"};
    for (const char16_t *pair : kOldSpellings) {
        if (a == QChar(pair[0]) && b == QChar(pair[1])) {
            return 0.5;
        }
    }
    return 1.0;
}

} // namespace

QStringList Morae(const QString &kana) {
    QStringList morae;
    for (const QChar c : kana) {
        if (IsPause(c)) {
            continue;
        }
        if (kSmall.contains(c) && !morae.isEmpty()) {
            morae.back() += c;
        } else {
            morae.append(QString(c));
        }
    }
    return morae;
}

QString MoraPhonemes(const QString &mora, const QString &before) {
    if (mora == kHold) {
        // The last sound held: a vowel (said voiced), or ん.
        const QStringList held = MoraPhonemes(before, {}).split(u' ', Qt::SkipEmptyParts);
        return held.isEmpty()         ? QString()
               : IsVowel(held.back()) ? held.back().toLower()
                                      : held.back();
    }
    if (mora.isEmpty() || !Romaji().contains(mora[0])) {
        return {};
    }
    const QString first = Romaji().value(mora[0]);
    if (mora.size() == 1) {
        return Split(first);
    }
    // きょ: the consonant of the first with y, the vowel of the small one;
    // し, じ, ち keep their own consonant (しょ: "sh o").
    const QString small = Romaji().value(mora[1]);
    QString consonant = first.chopped(1);
    if (small.startsWith(u'y') && !consonant.endsWith(u'h') && consonant != u'j') {
        consonant += u'y';
    }
    return consonant + u' ' + small.right(1);
}

QString ExpectedPhonemes(const QString &kana) {
    QStringList out;
    QString before;
    for (const QString &mora : Morae(kana)) {
        out.append(MoraPhonemes(mora, before));
        if (mora != kHold) {
            before = mora;
        }
    }
    return out.join(u' ');
}

QString ReaderText(const QString &recited, int spokenMs, bool holdEnd) {
    // What the voice takes at the reader's rate, measured on Open JTalk's
    // voice over the hundred verses: a mora about 130 ms, a held sound (ー)
    // 75 to 125 ms; the pauses (about 800 ms as the voice makes them) are
    // fitted to the verse's time once rendered, about 600 ms is aimed at.
    constexpr int kMoraMs = 130;
    constexpr int kHoldMs = 105;
    constexpr int kShortestHoldMs = 75;
    constexpr int kPauseMs = 600;
    QString text = recited;
    text.replace(kSpace, u'、').replace(kBreath, u'、');
    while (text.endsWith(kHold) && holdEnd) {
        text.chop(1); // the last sound is held below, to its own length
    }
    const QStringList morae = Morae(text);
    const qsizetype holds = morae.count(QString(kHold));
    const qsizetype sounds = morae.size() - holds - (holdEnd ? 1 : 0);
    const qsizetype pauses = text.count(u'、');
    const int have = int(sounds) * kMoraMs + int(holds) * kHoldMs + int(pauses) * kPauseMs;
    int extra = std::max(0, (spokenMs - have) / kHoldMs);
    // The extra time goes to the held sounds there are, one by one from the first.
    QList<qsizetype> at;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == kHold && (i + 1 == text.size() || text[i + 1] != kHold)) {
            at.append(i + 1);
        }
    }
    QList<int> more(at.size(), 0);
    for (qsizetype k = 0; extra > 0 && !at.isEmpty(); --extra, ++k) {
        ++more[k % at.size()];
    }
    for (qsizetype k = at.size() - 1; k >= 0; --k) {
        text.insert(at[k], QString(more[k], kHold));
    }
    if (holdEnd) {
        text += QString(kHeldEndMs / kShortestHoldMs + 12, kHold);
    }
    return text;
}

QString SpeechText(const PoemCatalogue &catalogue, Poem poem, bool upper, bool recited) {
    if (recited) {
        return upper ? ReaderText(catalogue.Text(poem, kUpperRecited), kUpperVerseMs, false)
                     : ReaderText(catalogue.Text(poem, kLowerRecited), kLowerVerseMs, true);
    }
    QString text = catalogue.Text(poem, upper ? kUpperSpoken : kLowerSpoken);
    text.replace(kSpace, u'、');
    return text;
}

QList<int> ShownMorae(const QString &shown, const QString &spelledKana, const QString &speech) {
    // The speech as kana, each with its mora.
    QString target;
    QList<int> moraOf;
    int mora = -1;
    for (const QChar c : speech) {
        if (IsPause(c)) {
            continue;
        }
        if (!(kSmall.contains(c) && mora >= 0)) {
            ++mora;
        }
        target += c;
        moraOf.append(mora);
    }
    QString spelled = spelledKana;
    spelled.remove(kSpace);
    if (target.isEmpty() || spelled.isEmpty()) {
        return {};
    }

    // The cheapest alignment of the spelled kana with the spoken ones; a held
    // sound (ー) has no letter and is passed for free.
    const qsizetype n = spelled.size();
    const qsizetype m = target.size();
    std::vector<double> cost(size_t((n + 1) * (m + 1)), 0.0);
    const auto at = [m](qsizetype i, qsizetype j) { return size_t(i * (m + 1) + j); };
    for (qsizetype i = 0; i <= n; ++i) {
        for (qsizetype j = 0; j <= m; ++j) {
            if (i == 0 && j == 0) {
                continue;
            }
            double best = std::numeric_limits<double>::max();
            if (i > 0 && j > 0) {
                best = cost[at(i - 1, j - 1)] + Distance(spelled[i - 1], target[j - 1]);
            }
            if (i > 0) {
                best = std::min(best, cost[at(i - 1, j)] + 1.0);
            }
            if (j > 0) {
                best = std::min(best, cost[at(i, j - 1)] + (target[j - 1] == kHold ? 0.0 : 1.0));
            }
            cost[at(i, j)] = best;
        }
    }
    std::vector<int> placed(size_t(n), -1);
    for (qsizetype i = n, j = m; i > 0 || j > 0;) {
        if (i > 0 && j > 0 &&
            cost[at(i, j)] == cost[at(i - 1, j - 1)] + Distance(spelled[i - 1], target[j - 1])) {
            placed[size_t(i - 1)] = moraOf[j - 1];
            --i;
            --j;
        } else if (i > 0 && cost[at(i, j)] == cost[at(i - 1, j)] + 1.0) {
            --i;
        } else {
            --j;
        }
    }
    // A letter with no sound of its own comes with the sound after it.
    for (qsizetype i = n - 1, next = mora; i >= 0; --i) {
        if (placed[size_t(i)] < 0) {
            placed[size_t(i)] = int(next);
        }
        next = placed[size_t(i)];
    }

    // Shown characters to spelled kana: the same text, or kanji by their readings.
    QList<int> kanaAt; // index in spelledKana (spaces counted) of each shown character
    if (shown == spelledKana) {
        for (qsizetype i = 0; i < shown.size(); ++i) {
            kanaAt.append(int(i));
        }
    } else {
        kanaAt = KanaStarts(shown, spelledKana);
        if (kanaAt.isEmpty()) {
            return {};
        }
    }
    QList<int> spelledIndex; // spelledKana position → index without spaces
    for (qsizetype i = 0, k = 0; i <= spelledKana.size(); ++i) {
        spelledIndex.append(int(std::min<qsizetype>(k, n - 1)));
        if (i < spelledKana.size() && spelledKana[i] != kSpace) {
            ++k;
        }
    }
    QList<int> result;
    int last = 0;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        // A space between phrases comes with the phrase after it.
        const int k = spelledIndex[std::min<qsizetype>(kanaAt[i], spelledIndex.size() - 1)];
        last = std::max(last, placed[size_t(k)]);
        result.append(last);
    }
    return result;
}

Utterance Utter(const QString &text) {
    // The synthesizer's dictionary reads hiragana as words (はな after a pause
    // as the particle わ); katakana it says as written.
    QString written = text;
    for (QChar &c : written) {
        if (c >= QChar(0x3041) && c <= QChar(0x3096)) {
            c = QChar(c.unicode() + 0x60);
        }
    }
    return {text, {text, written}, Morae(text), ExpectedPhonemes(text)};
}

Utterance UtterVerse(const PoemCatalogue &catalogue, Poem poem, bool upper, bool recited) {
    return Utter(SpeechText(catalogue, poem, upper, recited));
}

} // namespace nupew::voice
