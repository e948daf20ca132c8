// SPDX-License-Identifier: MIT
// Practice modes: which poems a game asks (a range of numbers, the five colours
// of the school game, the counts of decisive characters, or a drill of weak
// poems), and the order of a drill game.
#pragma once

#include "core/decisive.h"
#include "core/fsrs.h"
#include "core/seams.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace nupew {

inline constexpr int kColourCount = 5;
// The school game's colours, in its order: 青 桃 黄 緑 橙.
QString ColourName(int colour);
// The colour (0-4) of poem 0-99.
int ColourOf(int poem);

// In which order poems never answered enter the drill.
enum class NewPoemOrder {
    FirstSounds, // those sharing their first sound together, the rarest first (むすめふさほせ…)
    Numbers, // by number
    Random,
};
inline constexpr int kNewPoemOrders = 3;
inline constexpr int kDefaultNewPerDay = 10;
inline constexpr int kMaxNewPerDay = 100;
enum class PracticeKind { All, Numbers, Colours, Decisive, Drill };

struct PracticeMode {
    PracticeKind kind = PracticeKind::All;
    std::array<bool, 5> ranges{}; // 1–20, 21–40, 41–60, 61–80, 81–100
    int from = 0;                 // a free range from–to (1-100); 0 when unused
    int to = 0;
    std::array<bool, kColourCount> colours{};
    std::array<bool, kByCount> counts{}; // by count of decisive characters, 1 to 6
    // The drill's new poems: how many a day, in which order.
    int newPerDay = kDefaultNewPerDay;
    NewPoemOrder newOrder = NewPoemOrder::FirstSounds;
    friend bool operator==(const PracticeMode &, const PracticeMode &) = default;

    bool IsWholeGame() const { return kind == PracticeKind::All; }
    // The poems (0-99, ascending) of a range, colour or count mode; all hundred
    // for the whole game and the drill.
    QList<int> Poems(const DecisiveTable &decisive) const;
    // How the board's title names it: "青・緑", "1–20・81–100", "一字決まり", "苦手な歌".
    QString Name() const;
};

// The poems a game asks and how it takes them.
struct PracticeSet {
    QList<int> poems;     // 0-99; empty: the whole game
    bool inOrder = false; // take them in this order (the drill) instead of drawing
    QString name;         // empty for the whole game
};

// Asked by the game at each new game for the poems of that game.
class PracticeSource {
public:
    virtual ~PracticeSource() = default;
    virtual PracticeSet NextGameSet() = 0;
};

// One poem of the drill as the history keeps it: its card in the scheduler,
// and what the statistics know of it.
struct DrillState {
    Card card;
    QDateTime introduced; // its first review; invalid for a poem never answered
    std::optional<double> meanReaction;
    int faults = 0; // every fault ever made on it
    bool Seen() const { return card.state != CardState::New; }
};

// While more poems than this are due, no new poem enters.
inline constexpr int kDrillBacklogLimit = 40;

// The poems never answered in the order they are to enter: by their first
// sound grouped as players learn them (the sounds shared by fewest poems
// first, in the order むすめふさほせ, うつしもゆ, いちひき, はやよか, み,
// たこ, おわ, な, あ; by decisive characters within a sound), by number, or
// at random.
QList<int> NewPoemSequence(NewPoemOrder order, const DecisiveTable &decisive, Random &random);

// A drill game's poems: every poem due, the least likely to be recalled
// first; then poems never answered in `newSequence`, as many as today's
// allowance leaves (`newPerDay` less those begun today) and none while more
// than kDrillBacklogLimit are due; then, to fill a game of `questions`, the
// poems answered but not due, the least likely to be recalled first. Fewer
// than `questions` when nothing else may be asked (a first day: the new
// poems of the day only).
QList<int> DrillOrder(const std::array<DrillState, kPoemCount> &states, const QDateTime &now,
                      int questions, int newPerDay, const QList<int> &newSequence, Random &random);
// What the drill holds ahead, for the view of the deck.
inline constexpr int kOutlookDays = 14;
struct DeckOutlook {
    int dueNow = 0;   // due at this moment
    int newLeft = 0;  // never answered
    int newToday = 0; // new poems today's drill may still bring
    // Poems falling due on each day from today (today's count with those
    // already due), by the local date.
    std::array<int, kOutlookDays> duePerDay{};
    QList<int> leastRecalled; // answered poems, the least likely recalled first (up to 5)
};
DeckOutlook Outlook(const std::array<DrillState, kPoemCount> &states, const QDateTime &now,
                    int newPerDay);

// How many poems are due at `now`, and how many were begun on `now`'s day.
int DueCount(const std::array<DrillState, kPoemCount> &states, const QDateTime &now);
int NewToday(const std::array<DrillState, kPoemCount> &states, const QDateTime &now);

} // namespace nupew
