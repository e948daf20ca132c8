// SPDX-License-Identifier: MIT
// The poems of each new game in the chosen practice mode.
#include "history/practice_source.h"

#include <QCoreApplication>

namespace nupew {

HistoryPracticeSource::HistoryPracticeSource(History &history, Random &random,
                                             std::function<QDateTime()> now,
                                             std::function<const DecisiveTable &()> decisive)
    : history_(history), random_(random), now_(std::move(now)), decisive_(std::move(decisive)) {}

PracticeSet HistoryPracticeSource::NextGameSet() {
    PracticeSet set;
    set.name = mode_.Name();
    if (mode_.kind == PracticeKind::Drill) {
        // The order comes from the poems' cards recorded so far; with no
        // history to read, every poem is new.
        std::array<DrillState, kPoemCount> states{};
        if (const Result<std::unique_ptr<HistoryDatabase>> db = history_.OpenReadConnection();
            db.ok()) {
            if (Result<std::array<DrillState, kPoemCount>> loaded = db.value()->LoadDrill();
                loaded.ok()) {
                states = loaded.value();
            } else if (problem_) {
                problem_(QCoreApplication::translate("History",
                                                     "苦手な歌の記録を履歴から読めません。どの歌も"
                                                     "新しい歌として出題します。\n理由: %1")
                             .arg(loaded.error()));
            }
        }
        set.poems = DrillOrder(states, now_(), kPoemCount, mode_.newPerDay,
                               NewPoemSequence(mode_.newOrder, decisive_(), random_), random_);
        set.inOrder = true;
    } else if (!mode_.IsWholeGame()) {
        set.poems = mode_.Poems(decisive_());
    }
    history_.SetMode(set.name);
    if (told_) {
        told_(set.name);
    }
    return set;
}

} // namespace nupew
