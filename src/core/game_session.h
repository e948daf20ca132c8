// SPDX-License-Identifier: MIT
// One game session: the game under way, what its end calls for, and the one
// path to the next game. The windows only ask (a click, a key, 開始) and
// show; the session decides, registers a result in the table of the ten
// best and tells the history, and says what happened in signals. A second
// kind of game (the match) sits beside Game under the same session.
#pragma once

#include "core/game.h"

#include <QObject>
#include <functional>
#include <optional>

namespace nupew {

// What registering a result in the table of the ten best came to: whether
// it was entered, and what to tell the player (a refusal, a failure).
struct Registration {
    bool entered = false;
    std::optional<Message> tell;
};

// The table of the ten best, as a session registers in it.
class ResultTable {
public:
    virtual ~ResultTable() = default;
    virtual Registration Register(const GameResult &result, const QString &playerName) = 0;
};

class GameSession final : public QObject {
    Q_OBJECT
public:
    // `showBoard` shows the board (placed the first time) before each new
    // game's first deal.
    GameSession(Game &game, ResultTable &table, Dialogs &dialogs,
                std::function<void()> showBoard = {});

    // A new game with the board shown: the only way a game begins.
    void NewGame();
    // 開始, or a click on the board's ground.
    void Start();
    void BoardClick();
    // A click on card k: a pick in a running question, else the start of a waiting one.
    void CardClicked(int card);
    // The number key k: a pick only.
    void CardKey(int card);
    // 閉じる of the table shown after a result was entered: the next game.
    void RecordsClosed();
    // Where a registered result is told (the history); none by default.
    void SetAnswerLog(AnswerLog *log) { log_ = log; }

    // The last finished game's result and whether it is in the table.
    const GameResult &lastResult() const { return lastResult_; }
    Game &game() { return game_; }

signals:
    // A question was decided: answered right, or lost on faults.
    void questionDecided();
    // A game came to its end (before its box is shown).
    void gameEnded(nupew::GameEnd::Kind kind);
    // A new game was dealt.
    void gameBegun();

private:
    // After a game's end: the box it calls for, then a new game, the table,
    // or the board closed, as the player answers.
    void Conclude(const MaybeEnd &end);

    Game &game_;
    ResultTable &table_;
    Dialogs &dialogs_;
    std::function<void()> showBoard_;
    AnswerLog *log_ = nullptr;
    GameResult lastResult_;
};

} // namespace nupew
