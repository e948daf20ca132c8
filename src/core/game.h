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
#include <vector>

namespace nupew {

inline constexpr int kBoardPositions = 8;
// From this question on, the poems are taken in the anthology's order rather
// than drawn: the few left unused would take ever longer to hit at random.
inline constexpr int kInOrderFromQuestion = 80;

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
    GameResult result;    // a finished game's figures
    QString averageText;  // as the entry box shows it ("0.##")
    QString reactionText; // a practice game's average reaction, "—" when none counted
    QString faultsText;
    QStringList toReview; // a practice game's poems missed or slow (PracticeFigures)
};
using MaybeEnd = std::optional<GameEnd>;

// One question of a game, from its deal to its verdict.
struct Question {
    Poem poem = Poem::FromNumber(0); // the poem asked
    QString askedVerse;              // its upper verse, in the text it was dealt in
    qint16 upperTextMode = kKanjiText;
    qint16 lowerTextMode = kKanaText;
    int cardCount = 0;
    int decisiveStep = 0; // the reveal step after which only the answer fits the board
    float start = 0;      // the time of day at its start
    float answer = 0;     // the time of day at the right card
    float elapsed = 0;    // seconds from the start to the right card
    // Seconds after the start when the decisive step was shown (read aloud:
    // when its sound began); meaningful once decisiveShown.
    float decisiveOffset = 0;
    bool decisiveShown = false;
    // Seconds from the decisive step to the answer; negative for a guess.
    float reaction = 0;
    int faults = 0;      // wrong picks in it
    bool voiced = false; // read aloud up to its decisive sound
};

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
    bool AnswerDecided() const { return decided_; }

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
    // The settings a game is played by: the live ones until its first
    // question starts, then those of that moment until the game ends, so that
    // a choice made mid-game takes effect at the next game. Everyone who acts
    // on the game's settings (the log, the voice's pace) reads them here.
    const Settings &Rules() const { return gameStarted_ ? played_ : settings_; }

    // Where answers and results are told; none by default.
    void SetAnswerLog(AnswerLog *log) { log_ = log; }
    // Who reads the verses aloud; none: the text reveal alone, as always.
    // A question dealt and not yet started is made ready for the new reader;
    // a verse being read goes on as text when the reader goes.
    void SetReader(VerseReader *reader);
    // The poem drawn for the next start, once the question before is
    // answered; its verse is made ready to be read meanwhile.
    std::optional<Poem> nextPoem() const {
        return next_ ? std::optional<Poem>(next_->question.poem) : std::nullopt;
    }
    // Whether the running question's verse is shown by the voice.
    bool voiced() const { return !questions_.empty() && questions_.back().voiced; }
    // Whether an answer colours the verse's decisive characters on the board.
    void SetShowDecisive(bool show) { showDecisive_ = show; }
    bool showsDecisive() const { return showDecisive_; }
    // The decisive characters of the hundred poems.
    const DecisiveTable &decisive();

    // The board was closed: the question stops, and a game under way ends,
    // its faults told to the answer log.
    void StopQuestion();

    // What the game shows of its state.
    qint16 questionNumber() const { return questionNumber_; }
    // The poem of the question on the board; none before the first deal.
    std::optional<Poem> currentPoem() const {
        return questions_.empty() ? std::nullopt : std::optional(questions_.back().poem);
    }
    const Poet &currentPoet() const { return currentPoet_; }
    qint16 answerPosition() const { return answerPosition_; }
    bool answerOpen() const { return answerOpen_; }
    bool questionActive() const { return questionActive_; }
    qint16 faultCount() const { return faultCount_; }
    // The questions of the game so far, the first at 0; question(n) is the n-th.
    const std::vector<Question> &questions() const { return questions_; }
    const Question &question(int number) const { return questions_.at(size_t(number - 1)); }
    // Which poems (by row) this game has asked or drawn.
    const std::array<bool, kPoemCount> &poemUsed() const { return poemUsed_; }

private:
    // A question drawn, and its board: the cards and the answer's place.
    struct Deal {
        Question question;
        Column upperColumn = kUpperKanji;
        std::array<QString, kBoardPositions> cards; // the lower verses, by position
        int answerPosition = 0;                     // where the right card lies, 0-7
    };
    Deal DrawDeal();
    void ShowDeal(const Deal &deal);
    MaybeEnd TakeCard(int card);
    GameEnd FinishGame();
    int DrawIndex(int count);
    Question &Current() { return questions_.back(); }
    const Question &Current() const { return questions_.back(); }
    void ShowPoet();
    void RevealNext(unsigned generation);
    void ScheduleReveal(unsigned generation);
    void VoiceStep(unsigned generation, int step, float late);
    void MarkDecisive();
    Poem DrawPoem(const QList<int> &pool);
    GameEnd FinishPracticeGame(const GameResult &result);
    // The finished game's poems, faults and question state, cleared for the next.
    void ClearFinishedGame();
    float ReactionTime(const Question &question) const;
    // Tells the log of the running question lost (its faults kept) and of the
    // game's early end.
    void LogStop(GameStop how);
    AnsweredQuestion Answered(const Question &question) const;

    const Settings &settings_;
    Settings played_;
    bool gameStarted_ = false;
    bool gameLogged_ = false; // the log knows of a game still under way
    const PoemCatalogue &catalogue_;
    BoardDisplay &board_;
    const TimeOfDay &clock_;
    Random &random_;
    RevealTimer &timer_;

    qint16 questionNumber_ = 1;
    std::vector<Question> questions_;
    Poet currentPoet_;
    qint16 answerPosition_ = 0;
    bool decided_ = false; // the question on the board is answered or lost
    bool answerOpen_ = false;
    bool questionActive_ = false;
    std::array<bool, kBoardPositions> cardTaken_{};
    qint16 faultCount_ = 0;
    qint16 faultsAtStart_ = 0; // the game's faults when the question started
    std::array<bool, kPoemCount> poemUsed_{};
    bool reading_ = false; // the voice shows the running verse now

    AnswerLog *log_ = nullptr;
    PracticeSource *practiceSource_ = nullptr;
    VerseReader *reader_ = nullptr;
    Column shownColumn_ = kUpperKanji; // the column of the dealt verse
    std::optional<Deal> next_;         // drawn after an answer, shown at the next start
    PracticeSet practice_;
    bool showDecisive_ = false;
    std::unique_ptr<DecisiveTable> decisive_; // made at its first use

    // Each start of a question opens a new reveal; steps of an older one do nothing.
    unsigned revealGeneration_ = 0;
    QString revealVerse_;
    QString revealShown_;
    int revealStep_ = 0;
};

} // namespace nupew
