// SPDX-License-Identifier: MIT
// One game from reset to result: the state and the procedures that move it on.
#pragma once

#include "core/decisive.h"
#include "core/poem_catalogue.h"
#include "core/practice.h"
#include "core/seams.h"
#include "core/settings.h"

#include <QString>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace nupew {

// The value of pickedCard once the question is answered or the game is over.
inline constexpr qint16 pickDone = 10;
inline constexpr int kBoardPositions = 8;
inline constexpr int kRevealSteps = 21;

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRightCard{0, 255, 0};
inline constexpr Rgb kWrongCard{255, 0, 255};
inline constexpr Rgb kMissedCard{192, 255, 192};
inline constexpr Rgb kWomanPoet{255, 0, 0};
inline constexpr Rgb kMonkPoet{192, 0, 192};

// The colour of a poet's name after a right answer: women red, monks magenta,
// others black.
Rgb PoetColor(PoetKind kind);

// A time in seconds with two decimals ("0.00"), rounded to the nearest hundredth.
QString FormatHundredths(float seconds);

// A finished game's result as the table of the ten best takes it.
struct GameResult {
    float averageTime = 0.0f;
    qint16 faults = 0;
    bool registered = false; // entered in the table: each result has one chance
};

// How a game ended, as the procedure that ended it reports it once the game's
// state is settled; what comes next (a box, a new game) is the caller's.
struct GameEnd {
    enum class Kind {
        Finished,   // every question answered: the record entry box
        Practice,   // a practice game answered to its end: its figures, never the table
        FaultLimit, // past the fault limit: the question whether to play again
    };
    Kind kind = Kind::Finished;
    QString averageText;  // as the entry box shows it ("0.##")
    QString reactionText; // a practice game's average reaction, "—" when none counted
    QString faultsText;
};
using MaybeEnd = std::optional<GameEnd>;

class Game final {
public:
    Game(const Settings &settings, const PoemCatalogue &catalogue, BoardDisplay &board,
         const TimeOfDay &clock, Random &random, RevealTimer &timer);

    // Start-up: no result and no poem yet, a game ready to be dealt.
    void PrepareFirstGame();
    void ResetGame();
    // Starts a game afresh; `showBoard` runs between the reset and the first deal.
    void NewGame(const std::function<void()> &showBoard = {});
    void DealQuestion();
    void StartQuestion();
    void BoardClick();

    // A card or its number key: picks card k (1-8) while picks are accepted.
    // A pick that ends the game returns how it ended.
    [[nodiscard]] MaybeEnd PickCard(int card);
    // A click on card k: picks it in a running question, starts a waiting one.
    [[nodiscard]] MaybeEnd CardClick(int card);
    // True once the running question is decided (answered, or lost on faults)
    // until the next deal: only then may the pictures of its poem and poet open.
    bool AnswerDecided() const { return poetShown_; }

    // The card order of a lower verse: three columns read right to left.
    static QString CardOrder(const QString &lowerVerse);
    // A card's text back in the verse's reading order, padding left out.
    static QString ReadingOrder(const QString &card);
    // An average time as the entry box shows it: "0.##", the point always written.
    static QString FormatAverage(float seconds);

    // Where each new game takes its poems from; none: the whole game.
    void SetPracticeSource(PracticeSource *source) { practiceSource_ = source; }
    const PracticeSet &practice() const { return practice_; }
    // The questions of this game: the setting, or fewer when the practice set is smaller.
    int QuestionCount() const;

    // Where answers and results are told; none by default.
    void SetAnswerLog(AnswerLog *log) { log_ = log; }
    // Who reads the verses aloud; none: the text reveal alone, as always.
    // A question dealt and not yet started is made ready for the new reader;
    // a verse being read goes on as text when the reader goes.
    void SetReader(VerseReader *reader);
    // The poem (0-99) drawn for the next start, once the question before is
    // answered; its verse is made ready to be read meanwhile.
    std::optional<int> nextPoem() const {
        return next_ ? std::optional<int>(next_->poem) : std::nullopt;
    }
    // Whether the running question's verse is shown by the voice.
    bool voiced() const { return voiced_[size_t(QuestionIndex())]; }
    // Whether an answer colours the verse's decisive characters on the board.
    void SetShowDecisive(bool show) { showDecisive_ = show; }
    bool showDecisive() const { return showDecisive_; }
    // The decisive characters of the hundred poems.
    const DecisiveTable &decisive();

    // The board was closed: the question stops, and a game under way ends,
    // its faults told to the answer log.
    void StopQuestion();

    // What the game shows of its state. Arrays by question number have 102
    // entries, indexed by the question number itself (1 to 101 in use).
    qint16 questionNumber() const { return questionNumber_; }
    qint16 currentPoem() const { return currentPoem_; }
    const Poet &currentPoet() const { return currentPoet_; }
    qint16 answerPosition() const { return answerPosition_; }
    qint16 pickedCard() const { return pickedCard_; }
    bool answerOpen() const { return answerOpen_; }
    bool questionActive() const { return questionActive_; }
    const std::array<bool, 9> &cardTaken() const { return cardTaken_; }
    qint16 faultCount() const { return faultCount_; }
    const std::array<QString, 102> &askedVerses() const { return askedVerses_; }
    const std::array<QString, 9> &candidateTexts() const { return candidateTexts_; }
    const std::array<bool, kPoemCount> &poemUsed() const { return poemUsed_; }
    const std::array<bool, kPoemCount> &poemDealt() const { return poemDealt_; }
    const std::array<float, 102> &startTimes() const { return startTimes_; }
    const std::array<float, 102> &answerTimes() const { return answerTimes_; }
    const std::array<float, 102> &elapsedTimes() const { return elapsedTimes_; }
    const std::array<int, 102> &decisiveSteps() const { return decisiveSteps_; }
    const std::array<float, 102> &reactionTimes() const { return reactionTimes_; }
    // The finished game's result; the record table reads it and marks it registered.
    GameResult &result() { return result_; }
    const GameResult &result() const { return result_; }

private:
    // A question drawn: its poem, cards and the answer's place.
    struct Deal {
        int poem = 0;
        int cardCount = 0;
        int upperColumn = kUpperKanji;
        QString askedVerse;
        std::array<QString, 9> candidates;
        int answerPosition = 0;
        int decisiveStep = 0;
    };
    Deal DrawDeal();
    void ShowDeal(const Deal &deal);
    MaybeEnd TakeCard();
    GameEnd ShowResults();
    int DrawIndex(int count);
    // The running question's index into the arrays by question number (1 to 101).
    int QuestionIndex() const { return std::clamp<int>(questionNumber_, 1, 101); }
    void ShowPoet();
    void RevealNext(unsigned generation);
    void ScheduleReveal(unsigned generation);
    void VoiceStep(unsigned generation, int step, float late);
    int ShownColumn() const;
    void ShowDecisive();
    int DrawPoem(const QList<int> &pool);
    GameEnd ShowPracticeResults(int count);
    // The finished game's poems, faults and question state, cleared for the next.
    void ClearFinishedGame();
    float ReactionTime(int question) const;
    // Tells the log of the running question lost (its faults kept) and of the
    // game's early end.
    void LogStop(GameStop how);
    AnsweredQuestion Answered(int question, float elapsed) const;

    // The settings a game is played by: the live ones until its first
    // question starts, then those of that moment until the game ends, so that
    // a choice made mid-game takes effect at the next game.
    const Settings &Rules() const { return gameStarted_ ? played_ : settings_; }

    const Settings &settings_;
    Settings played_;
    bool gameStarted_ = false;
    bool gameLogged_ = false; // the log knows of a game still under way
    const PoemCatalogue &catalogue_;
    BoardDisplay &board_;
    const TimeOfDay &clock_;
    Random &random_;
    RevealTimer &timer_;
    bool poetShown_ = false;

    qint16 questionNumber_ = 1;
    qint16 currentPoem_ = 0;
    Poet currentPoet_;
    qint16 answerPosition_ = 0;
    qint16 pickedCard_ = 0;
    bool answerOpen_ = false;
    bool questionActive_ = false;
    std::array<bool, 9> cardTaken_{};
    qint16 faultCount_ = 0;
    GameResult result_;
    std::array<QString, 102> askedVerses_;
    std::array<QString, 9> candidateTexts_;
    std::array<bool, kPoemCount> poemUsed_{};
    std::array<bool, kPoemCount> poemDealt_{};
    std::array<float, 102> startTimes_{};
    std::array<float, 102> answerTimes_{};
    std::array<float, 102> elapsedTimes_{};
    std::array<int, 102> decisiveSteps_{};
    std::array<float, 102> decisiveOffsets_{}; // when the decisive step was shown, after the start
    std::array<bool, 102> decisiveShown_{};
    std::array<float, 102> reactionTimes_{};
    std::array<bool, 102> voiced_{}; // the verse followed the voice
    bool reading_ = false;            // the voice shows the running verse now
    qint16 faultsAtStart_ = 0;       // the game's faults when the question started

    AnswerLog *log_ = nullptr;
    PracticeSource *practiceSource_ = nullptr;
    VerseReader *reader_ = nullptr;
    int shownColumn_ = kUpperKanji; // the column of the dealt verse
    std::optional<Deal> next_;      // drawn after an answer, shown at the next start
    PracticeSet practice_;
    bool showDecisive_ = false;
    std::unique_ptr<DecisiveTable> decisive_; // made at the first deal

    // Each start of a question opens a new reveal; steps of an older one do nothing.
    unsigned revealGeneration_ = 0;
    QString revealVerse_;
    QString revealShown_;
    int revealStep_ = 0;
};

// After a game's end: the box it calls for, then a new game or the board
// closed, as the player answers. Runs after the procedure that ended the game
// has returned.
void ConcludeGame(Game &game, Dialogs &dialogs, const GameEnd &end);

} // namespace nupew
