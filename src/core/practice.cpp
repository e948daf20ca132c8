// SPDX-License-Identifier: MIT
// Practice modes: which poems a game asks (a range of numbers, the five colours
// of the school game, the counts of decisive characters, or a drill of weak
// poems), and the spaced schedule of the drill.
#include "core/practice.h"

#include <algorithm>
#include <cmath>

namespace nupew {
namespace {

// The colour of each poem, 1 to 100 (0 青, 1 桃, 2 黄, 3 緑, 4 橙), as the
// public tables of the school game agree on them (poem 35 緑, 84 桃).
constexpr char kColours[] = "12010023323010313243413043413002213323213344422140144324013200441143"
                            "00311000422120112124240332421440";
static_assert(sizeof kColours == 101);

const char16_t *const kColourNames[kColourCount] = {u"青", u"桃", u"黄", u"緑", u"橙"};
const char16_t *const kCountNames[kByCount] = {
    u"", u"一字決まり", u"二字決まり", u"三字決まり", u"四字決まり", u"五字決まり", u"六字決まり"};

} // namespace

QString ColourName(int colour) {
    return colour >= 0 && colour < kColourCount ? QString::fromUtf16(kColourNames[colour])
                                                : QString();
}

int ColourOf(int poem) {
    return poem >= 0 && poem < 100 ? kColours[poem] - '0' : -1;
}

QList<int> PracticeMode::Poems(const DecisiveTable &decisive) const {
    QList<int> poems;
    for (int p = 0; p < 100; ++p) {
        bool in = true;
        switch (kind) {
        case PracticeKind::All:
        case PracticeKind::Drill:
            break;
        case PracticeKind::Numbers:
            in = ranges[size_t(p / 20)] || (from > 0 && p + 1 >= from && p + 1 <= to);
            break;
        case PracticeKind::Colours:
            in = colours[size_t(ColourOf(p))];
            break;
        case PracticeKind::Decisive:
            in = counts[size_t(decisive.Count(Poem::FromRow(p)))];
            break;
        }
        if (in) {
            poems.append(p);
        }
    }
    return poems;
}

QString PracticeMode::Name() const {
    QStringList parts;
    switch (kind) {
    case PracticeKind::All:
        return {};
    case PracticeKind::Drill:
        return QStringLiteral("苦手な歌");
    case PracticeKind::Numbers:
        for (int r = 0; r < 5; ++r) {
            if (ranges[size_t(r)]) {
                parts.append(QStringLiteral("%1–%2").arg(r * 20 + 1).arg(r * 20 + 20));
            }
        }
        if (from > 0) {
            parts.append(QStringLiteral("%1–%2").arg(from).arg(to));
        }
        break;
    case PracticeKind::Colours:
        for (int c = 0; c < kColourCount; ++c) {
            if (colours[size_t(c)]) {
                parts.append(ColourName(c));
            }
        }
        break;
    case PracticeKind::Decisive:
        for (size_t n = 1; n < 7; ++n) {
            if (counts[n]) {
                parts.append(QString::fromUtf16(kCountNames[n]));
            }
        }
        break;
    }
    return parts.join(u'・');
}

int NextBox(int box, int faults, float reaction, std::optional<double> medianReaction) {
    box = std::clamp(box, 1, kDrillBoxes);
    if (faults > 0) {
        return 1;
    }
    if (IsGuess(reaction)) {
        return box; // a guess says nothing of what the player knows
    }
    if (!medianReaction) {
        return box;
    }
    if (double(reaction) >= *medianReaction) {
        return 1;
    }
    return std::min(box + 1, kDrillBoxes);
}

bool IsDue(const DrillState &state, const QDate &today) {
    if (state.box <= 1 || !state.moved.isValid()) {
        return true;
    }
    return state.moved.daysTo(today) >= (qint64(1) << (state.box - 1));
}

QList<int> DrillOrder(const std::array<DrillState, kPoemCount> &states, const QDate &today,
                      Random &random) {
    struct Entry {
        int poem;
        int box;
        bool faulted;
        double reaction; // slower first; unknown counts as slowest
        float tie;
    };
    std::vector<Entry> weak;
    std::vector<Entry> notDue;
    std::vector<Entry> unseen;
    for (int p = 0; p < 100; ++p) {
        const DrillState &s = states[size_t(p)];
        const Entry entry{p, std::max(s.box, 1), s.faults > 0, s.meanReaction.value_or(INFINITY),
                          random.Draw()};
        (!s.Seen() ? unseen : IsDue(s, today) ? weak : notDue).push_back(entry);
    }
    const auto weakFirst = [](const Entry &a, const Entry &b) {
        if (a.box != b.box) {
            return a.box < b.box;
        }
        if (a.faulted != b.faulted) {
            return a.faulted;
        }
        if (a.reaction != b.reaction) {
            return a.reaction > b.reaction;
        }
        return a.tie < b.tie;
    };
    std::sort(weak.begin(), weak.end(), weakFirst);
    std::sort(notDue.begin(), notDue.end(), weakFirst);
    std::sort(unseen.begin(), unseen.end(),
              [](const Entry &a, const Entry &b) { return a.tie < b.tie; });
    // New poems enter like new cards of a spaced deck: a bounded share of each ten.
    QList<int> order;
    size_t w = 0;
    size_t n = 0;
    size_t u = 0;
    const auto take = [&order](const std::vector<Entry> &from, size_t &at, qsizetype upTo) {
        while (at < from.size() && order.size() < upTo) {
            order.append(from[at++].poem);
        }
    };
    while (order.size() < 100) {
        const qsizetype blockEnd = std::min<qsizetype>(order.size() + 10, 100);
        take(weak, w, blockEnd - kDrillNewPerTen);
        take(unseen, u, std::min<qsizetype>(order.size() + kDrillNewPerTen, blockEnd));
        take(weak, w, blockEnd);
        take(notDue, n, blockEnd);
        take(unseen, u, blockEnd);
    }
    return order;
}

} // namespace nupew
