// SPDX-License-Identifier: MIT
// Practice modes: which poems a game asks (a range of numbers, the five colours
// of the school game, the counts of decisive characters, or a drill of weak
// poems), and the spaced schedule of the drill.
#pragma once

#include "core/decisive.h"
#include "core/seams.h"

#include <QDate>
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

enum class PracticeKind { All, Numbers, Colours, Decisive, Drill };

struct PracticeMode {
    PracticeKind kind = PracticeKind::All;
    std::array<bool, 5> ranges{}; // 1–20, 21–40, 41–60, 61–80, 81–100
    int from = 0;                 // a free range from–to (1-100); 0 when unused
    int to = 0;
    std::array<bool, kColourCount> colours{};
    std::array<bool, kByCount> counts{}; // by count of decisive characters, 1 to 6
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

// One poem in the drill's five boxes, as the history keeps it.
struct DrillState {
    int box = 0; // 1 to 5; 0: never answered
    QDate moved; // when it last changed box
    std::optional<double> meanReaction;
    int faults = 0; // every fault ever made on it
    bool Seen() const { return box > 0 || meanReaction || faults > 0; }
};

inline constexpr int kDrillBoxes = 5;
// The box after an answer: up one for a right answer without a fault and a
// reaction below the player's median, back to box 1 after a fault or a slow
// reaction; a guess (a pick before the decisive step) moves nothing, and
// neither does any answer while there is no median yet (too few reactions to
// tell fast from slow).
int NextBox(int box, int faults, float reaction, std::optional<double> medianReaction);
// Box 1 is due every game, box b every 2^(b-1) days after it was moved.
bool IsDue(const DrillState &state, const QDate &today);
// The drill's order of the hundred poems, in blocks of ten: the weak poems
// first (answered and due: lower boxes first, then those with faults, then
// the slowest mean reaction), at most kDrillNewPerTen poems never answered,
// then the rest of the weak, the answered ones not due, and the unseen; ties
// in a random order.
inline constexpr int kDrillNewPerTen = 3;
QList<int> DrillOrder(const std::array<DrillState, kPoemCount> &states, const QDate &today,
                      Random &random);

} // namespace nupew
