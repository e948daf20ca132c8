// SPDX-License-Identifier: MIT
// The poems of each new game in the chosen practice mode; the drill's order
// from the answers recorded so far.
#pragma once

#include "core/decisive.h"
#include "core/practice.h"
#include "history/history.h"

#include <QDateTime>
#include <functional>

namespace nupew {

class HistoryPracticeSource final : public PracticeSource {
public:
    HistoryPracticeSource(History &history, Random &random, std::function<QDateTime()> now,
                          std::function<const DecisiveTable &()> decisive);

    void SetMode(const PracticeMode &mode) { mode_ = mode; }
    const PracticeMode &Mode() const { return mode_; }
    // Told the name of every set handed out (empty: the whole game).
    void OnNewSet(std::function<void(const QString &name)> told) { told_ = std::move(told); }
    // Told when the drill's record cannot be read (the drill then goes on as new).
    void OnProblem(std::function<void(const QString &why)> problem) {
        problem_ = std::move(problem);
    }

    PracticeSet NextGameSet() override;

private:
    History &history_;
    Random &random_;
    std::function<QDateTime()> now_;
    std::function<const DecisiveTable &()> decisive_;
    std::function<void(const QString &)> told_;
    std::function<void(const QString &)> problem_;
    PracticeMode mode_;
};

} // namespace nupew
