// SPDX-License-Identifier: MIT
// Decisive characters (決まり字): how much of an upper verse must be heard
// before only one poem can follow, against the anthology and on the board.
#include "core/decisive.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace nupew {
namespace {

constexpr QChar kIdeographicSpace(0x3000);

// How the reading of a run of kanji parts among its characters, for the runs
// that the decisive characters of some poem end inside (奥山 おく|やま: the
// decisive おく is 奥 alone). Other runs are coloured whole.
struct RunSplit {
    const char16_t *run;
    std::array<int, 3> kana; // reading lengths of the run's characters
};
constexpr RunSplit kRunSplits[] = {
    {u"田子", {1, 1}},      {u"奥山", {2, 2}},      {u"八十島", {1, 1, 2}}, {u"筑波嶺", {2, 1, 1}},
    {u"陸奥", {2, 2}},      {u"千早振", {1, 2, 1}}, {u"難波", {2, 1}},      {u"今来", {2, 1}},
    {u"小倉山", {1, 2, 2}}, {u"山里", {2, 2}},      {u"有明", {2, 2}},      {u"山川", {2, 2}},
    {u"久方", {2, 2}},      {u"白露", {2, 2}},      {u"浅茅生", {2, 1, 1}}, {u"由良", {1, 1}},
    {u"八重", {1, 1}},      {u"御垣守", {1, 2, 2}}, {u"有馬山", {2, 1, 2}}, {u"大江山", {2, 1, 2}},
    {u"宇治", {1, 1}},      {u"嵐吹", {3, 1}},      {u"高砂", {2, 2}},      {u"淡路島", {2, 1, 2}},
    {u"秋風", {2, 2}},      {u"村雨", {2, 2}},      {u"難波江", {2, 1, 1}}, {u"吉野", {2, 1}},
};

// Gives each character of a run that kRunSplits knows the end of its own
// reading; `ends` holds the run's shared end for all of them.
void SplitRun(const QString &run, qsizetype start, qsizetype readingStart,
              std::vector<qsizetype> &ends) {
    for (const RunSplit &split : kRunSplits) {
        if (run != QString::fromUtf16(split.run)) {
            continue;
        }
        const qsizetype total = std::accumulate(split.kana.begin(), split.kana.end(), qsizetype(0));
        if (readingStart + total != ends[size_t(start)]) {
            return; // read otherwise here: keep it whole
        }
        qsizetype end = readingStart;
        for (qsizetype m = 0; m < run.size(); ++m) {
            end += split.kana[size_t(m)];
            ends[size_t(start + m)] = end;
        }
        return;
    }
}

bool IsKana(QChar c) {
    return c >= u'ぁ' && c <= u'ゖ';
}

} // namespace

QString HeardVerse(const PoemCatalogue &catalogue, Poem poem) {
    // The o-row kana whose following う is heard as a long お.
    static const QString kORow = QStringLiteral("おこごそぞとどのほぼぽもよょろを");
    QString heard;
    for (const QChar c : catalogue.Text(poem, kUpperSpoken)) {
        if (c == kIdeographicSpace) {
            continue;
        }
        if (c == u'う' && !heard.isEmpty() && kORow.contains(heard.back())) {
            heard += u'お';
        } else {
            heard += c;
        }
    }
    return heard;
}

DecisiveTable::DecisiveTable(const PoemCatalogue &catalogue) : catalogue_(catalogue) {
    // The particle を keeps its letter in modern kana, but sounds お.
    std::array<QString, kPoemCount> heard;
    std::array<QString, kPoemCount> spoken;
    for (int p = 0; p < kPoemCount; ++p) {
        heard[p] = HeardVerse(catalogue, Poem::FromRow(p));
        spoken[p] = QString(heard[p]).replace(u'を', u'お');
    }
    for (int p = 0; p < kPoemCount; ++p) {
        // One more than the longest beginning shared with any other poem.
        int shared = 0;
        for (int q = 0; q < kPoemCount; ++q) {
            if (q == p) {
                continue;
            }
            int n = 0;
            while (n < spoken[p].size() && n < spoken[q].size() && spoken[p][n] == spoken[q][n]) {
                ++n;
            }
            shared = std::max(shared, n);
        }
        counts_[p] = std::min<int>(shared + 1, int(spoken[p].size()));
        heard_[p] = heard[p].left(counts_[p]);
        kanjiLengths_[p] =
            KanjiCharactersFor(catalogue.Text(Poem::FromRow(p), kUpperKanji),
                               catalogue.Text(Poem::FromRow(p), kUpperKana), counts_[p]);
    }
}

int DecisiveTable::Count(Poem poem) const {
    return poem.valid() ? counts_[size_t(poem.row())] : 0;
}

QString DecisiveTable::Heard(Poem poem) const {
    return poem.valid() ? heard_[size_t(poem.row())] : QString();
}

QString DecisiveTable::Characters(Poem poem) const {
    return catalogue_.Text(poem, kUpperKana).remove(kIdeographicSpace).left(Count(poem));
}

int DecisiveTable::LengthIn(Poem poem, Column column) const {
    if (!poem.valid()) {
        return 0;
    }
    if (column == kUpperKanji) {
        return kanjiLengths_[size_t(poem.row())];
    }
    // The kana text keeps its spaces: count characters up to the last decisive kana.
    const QString text = catalogue_.Text(poem, kUpperKana);
    int kana = 0;
    for (int i = 0; i < text.size(); ++i) {
        kana += text[i] != kIdeographicSpace;
        if (kana == Count(poem)) {
            return i + 1;
        }
    }
    return int(text.size());
}

int LowerVerseBreak(const PoemCatalogue &catalogue, Poem poem) {
    // How many characters of each kanji lower verse its first phrase takes.
    static constexpr char kBreaks[] = "55765656776466577577757464757456544674756446776666"
                                      "76676466775566657656667666677657576667675666676667";
    static_assert(sizeof kBreaks == 101);
    if (!poem.valid() || catalogue.Text(poem, kLowerKanji).isEmpty()) {
        return 0;
    }
    return kBreaks[poem.row()] - '0';
}

int DecisiveStep(const QString &verse, const QList<QString> &cardVerses) {
    for (int step = 1; step <= verse.size(); ++step) {
        const QString shown = verse.left(step);
        const auto fits = std::count_if(cardVerses.begin(), cardVerses.end(),
                                        [&shown](const QString &v) { return v.startsWith(shown); });
        if (fits <= 1) {
            return step;
        }
    }
    return int(verse.size());
}

namespace {

// Kana in the kanji text stand for themselves; each run of other characters
// reads as one to eight kana. The shortest reading that makes the whole text
// match wins; `ends[i]` is where character i's reading ends, and runs that
// kRunSplits knows are split among their characters.
bool MatchReadings(const QString &kanjiText, const QString &kanaText,
                   std::vector<qsizetype> &ends) {
    const qsizetype k = kanjiText.size();
    const qsizetype r = kanaText.size();
    ends.assign(size_t(k), 0);
    std::function<bool(qsizetype, qsizetype)> match = [&](qsizetype i, qsizetype j) -> bool {
        if (i == k) {
            return j == r;
        }
        const QChar c = kanjiText[i];
        if (IsKana(c) || c == kIdeographicSpace) {
            if (j < r && kanaText[j] == c) {
                ends[size_t(i)] = j + 1;
                return match(i + 1, j + 1);
            }
            return false;
        }
        qsizetype run = i;
        while (run < k && !IsKana(kanjiText[run]) && kanjiText[run] != kIdeographicSpace) {
            ++run;
        }
        for (qsizetype len = run - i; len <= 8 * (run - i) && j + len <= r; ++len) {
            const QString reading = kanaText.mid(j, len);
            if (reading.contains(kIdeographicSpace)) {
                break;
            }
            for (qsizetype m = i; m < run; ++m) {
                ends[size_t(m)] = j + len; // the run shares one reading
            }
            if (match(run, j + len)) {
                return true;
            }
        }
        return false;
    };
    if (!match(0, 0)) {
        return false;
    }
    for (qsizetype i = 0; i < k;) {
        qsizetype run = i;
        while (run < k && !IsKana(kanjiText[run]) && kanjiText[run] != kIdeographicSpace) {
            ++run;
        }
        if (run - i > 1) {
            SplitRun(kanjiText.mid(i, run - i), i, i > 0 ? ends[size_t(i - 1)] : 0, ends);
        }
        i = std::max(run, i + 1);
    }
    return true;
}

} // namespace

QList<int> KanaStarts(const QString &kanjiText, const QString &kanaText) {
    std::vector<qsizetype> ends;
    if (kanjiText.isEmpty() || !MatchReadings(kanjiText, kanaText, ends)) {
        return {};
    }
    QList<int> starts;
    for (size_t i = 0; i < ends.size(); ++i) {
        // A run read as a whole starts where the run starts.
        qsizetype first = qsizetype(i);
        while (first > 0 && ends[size_t(first - 1)] == ends[i] && !IsKana(kanjiText[first - 1])) {
            --first;
        }
        starts.append(first > 0 ? int(ends[size_t(first - 1)]) : 0);
    }
    return starts;
}

int KanjiCharactersFor(const QString &kanjiText, const QString &kanaText, int kanaCount) {
    const qsizetype k = kanjiText.size();
    const qsizetype r = kanaText.size();
    std::vector<qsizetype> ends;
    if (kanaCount <= 0 || !MatchReadings(kanjiText, kanaText, ends)) {
        return 0;
    }
    // The kana position of the last decisive kana, spaces counted.
    qsizetype target = 0;
    for (int counted = 0; target < r && counted < kanaCount; ++target) {
        counted += kanaText[target] != kIdeographicSpace;
    }
    for (qsizetype i = 0; i < k; ++i) {
        if (ends[size_t(i)] >= target) {
            // A run of kanji is coloured whole.
            qsizetype last = i;
            while (last + 1 < k && ends[size_t(last + 1)] == ends[size_t(i)]) {
                ++last;
            }
            return int(last + 1);
        }
    }
    return int(k);
}

} // namespace nupew
