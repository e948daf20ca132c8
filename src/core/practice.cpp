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

QList<int> NewPoemSequence(NewPoemOrder order, const DecisiveTable &decisive, Random &random) {
    QList<int> poems;
    for (int p = 0; p < kPoemCount; ++p) {
        poems.append(p);
    }
    switch (order) {
    case NewPoemOrder::Numbers:
        break;
    case NewPoemOrder::Random:
        for (qsizetype i = poems.size() - 1; i > 0; --i) {
            poems.swapItemsAt(i, qsizetype(random.Draw() * float(i + 1)) % (i + 1));
        }
        break;
    case NewPoemOrder::FirstSounds: {
        // The first sounds as players learn them: those shared by one poem,
        // then by two, three, four, five, six, seven, eight, sixteen.
        static const QString kSounds =
            QStringLiteral("むすめふさほせうつしもゆいちひきはやよかみたこおわなあ");
        const auto rank = [&decisive](int p) {
            const QString heard = decisive.Heard(Poem::FromRow(p));
            QChar first = heard.isEmpty() ? QChar() : heard[0];
            if (first == u'を') {
                first = u'お';
            }
            const qsizetype at = kSounds.indexOf(first);
            return at < 0 ? kSounds.size() : at;
        };
        std::stable_sort(poems.begin(), poems.end(), [&](int a, int b) {
            const qsizetype ra = rank(a);
            const qsizetype rb = rank(b);
            if (ra != rb) {
                return ra < rb;
            }
            return decisive.Count(Poem::FromRow(a)) < decisive.Count(Poem::FromRow(b));
        });
        break;
    }
    }
    return poems;
}

DeckOutlook Outlook(const std::array<DrillState, kPoemCount> &states, const QDateTime &now,
                    int newPerDay) {
    const Fsrs fsrs;
    DeckOutlook outlook;
    outlook.dueNow = DueCount(states, now);
    const QDate today = now.toLocalTime().date();
    QList<QPair<double, int>> recall;
    for (int p = 0; p < kPoemCount; ++p) {
        const DrillState &s = states[size_t(p)];
        if (!s.Seen()) {
            ++outlook.newLeft;
            continue;
        }
        recall.append({fsrs.RetrievabilityAt(s.card, now), p});
        const qint64 day = std::max<qint64>(0, today.daysTo(s.card.due.toLocalTime().date()));
        if (day < kOutlookDays) {
            ++outlook.duePerDay[size_t(day)];
        }
    }
    outlook.newToday =
        outlook.dueNow > kDrillBacklogLimit
            ? 0
            : std::min(outlook.newLeft, std::max(0, newPerDay - NewToday(states, now)));
    std::sort(recall.begin(), recall.end());
    for (qsizetype i = 0; i < std::min<qsizetype>(5, recall.size()); ++i) {
        outlook.leastRecalled.append(recall[i].second);
    }
    return outlook;
}

int DueCount(const std::array<DrillState, kPoemCount> &states, const QDateTime &now) {
    return int(std::count_if(states.begin(), states.end(), [&now](const DrillState &s) {
        return s.Seen() && s.card.due <= now;
    }));
}

int NewToday(const std::array<DrillState, kPoemCount> &states, const QDateTime &now) {
    const QDate today = now.toLocalTime().date();
    return int(std::count_if(states.begin(), states.end(), [&today](const DrillState &s) {
        return s.introduced.isValid() && s.introduced.toLocalTime().date() == today;
    }));
}

QList<int> DrillOrder(const std::array<DrillState, kPoemCount> &states, const QDateTime &now,
                      int questions, int newPerDay, const QList<int> &newSequence, Random &random) {
    const Fsrs fsrs;
    struct Entry {
        int poem;
        double recall;
        float tie;
    };
    std::vector<Entry> due;
    std::vector<Entry> notDue;
    for (int p = 0; p < kPoemCount; ++p) {
        const DrillState &s = states[size_t(p)];
        if (s.Seen()) {
            const Entry entry{p, fsrs.RetrievabilityAt(s.card, now), random.Draw()};
            (s.card.due <= now ? due : notDue).push_back(entry);
        }
    }
    const auto leastRecalledFirst = [](const Entry &a, const Entry &b) {
        return a.recall != b.recall ? a.recall < b.recall : a.tie < b.tie;
    };
    std::sort(due.begin(), due.end(), leastRecalledFirst);
    std::sort(notDue.begin(), notDue.end(), leastRecalledFirst);
    QList<int> order;
    for (const Entry &e : due) {
        order.append(e.poem);
    }
    int allowance =
        int(due.size()) > kDrillBacklogLimit ? 0 : std::max(0, newPerDay - NewToday(states, now));
    for (const int p : newSequence) {
        if (allowance <= 0) {
            break;
        }
        if (p >= 0 && p < kPoemCount && !states[size_t(p)].Seen() && !order.contains(p)) {
            order.append(p);
            --allowance;
        }
    }
    for (const Entry &e : notDue) {
        if (order.size() >= questions) {
            break;
        }
        order.append(e.poem);
    }
    // Nothing may be asked (no allowance, nothing answered yet): a game of
    // new poems all the same, never an empty set, which would be the whole game.
    if (order.isEmpty()) {
        order = newSequence.mid(0, std::max(1, questions));
    }
    return order;
}

} // namespace nupew
