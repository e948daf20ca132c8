// SPDX-License-Identifier: MIT
// One game session: the game under way, what its end calls for, the next game.
#include "core/game_session.h"
#include "version.h"

#include <QCoreApplication>

namespace nupew {

GameSession::GameSession(Game &game, ResultTable &table, Dialogs &dialogs,
                         std::function<void()> showBoard)
    : game_(game), table_(table), dialogs_(dialogs), showBoard_(std::move(showBoard)) {}

void GameSession::NewGame() {
    game_.NewGame(showBoard_);
    emit gameBegun();
}

void GameSession::Start() {
    game_.StartQuestion();
}

void GameSession::BoardClick() {
    game_.BoardClick();
}

void GameSession::CardClicked(int card) {
    const bool before = game_.AnswerDecided();
    const MaybeEnd end = game_.CardClick(card);
    if (!before && game_.AnswerDecided()) {
        emit questionDecided();
    }
    Conclude(end);
}

void GameSession::CardKey(int card) {
    const bool before = game_.AnswerDecided();
    const MaybeEnd end = game_.PickCard(card);
    if (!before && game_.AnswerDecided()) {
        emit questionDecided();
    }
    Conclude(end);
}

void GameSession::RecordsClosed() {
    NewGame();
}

void GameSession::Conclude(const MaybeEnd &end) {
    // Runs once the procedure that ended the game has returned and the
    // game's state is settled: events run while a box is open.
    if (!end) {
        return;
    }
    emit gameEnded(end->kind);
    switch (end->kind) {
    case GameEnd::Kind::Finished: {
        lastResult_ = end->result;
        lastResult_.registered = false; // a new result: the entry box has its one chance
        const EntryAnswer answer = dialogs_.AskForRecord(end->averageText, end->faultsText);
        if (answer.kind == EntryAnswer::Kind::Decline) {
            NewGame(); // 記録しない
            return;
        }
        if (answer.kind == EntryAnswer::Kind::Closed) {
            return; // the board waits for 開始
        }
        const Registration registration = table_.Register(lastResult_, answer.name);
        if (registration.entered) {
            lastResult_.registered = true;
            if (log_) {
                log_->ResultRegistered();
            }
        }
        if (registration.tell) {
            dialogs_.ShowMessage(*registration.tell);
        }
        dialogs_.ShowRecords(); // its 閉じる starts the next game (RecordsClosed)
        return;
    }
    case GameEnd::Kind::Practice:
        if (dialogs_.ShowPracticeEnd({end->averageText, end->reactionText, end->faultsText,
                                      end->toReview}) == PracticeAnswer::PlayAgain) {
            NewGame();
        } else {
            dialogs_.CloseBoard();
        }
        return;
    case GameEnd::Kind::FaultLimit:
        if (dialogs_.ShowMessage({QCoreApplication::translate("Game", "もう一度挑戦しますか。"),
                                  QStringLiteral("「タワユ」Ver ") + ShortVersion(),
                                  MessageButtons::YesNo, MessageIcon::Question, true}) ==
            MessageAnswer::Yes) {
            NewGame();
        } else {
            dialogs_.CloseBoard();
        }
        return;
    }
}

} // namespace nupew
