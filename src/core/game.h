// SPDX-License-Identifier: MIT
// One game from reset to result: the state and the procedures that move it on.
#pragma once

#include "core/poem_catalogue.h"
#include "core/seams.h"
#include "core/settings.h"

#include <QString>
#include <array>
#include <functional>

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

// The poet label's top and height in twips: the usual one, and the taller one
// that the two longest names (markers □ and △) need.
inline constexpr int kPoetTop = 3360;
inline constexpr int kPoetHeight = 2235;
inline constexpr int kTallPoetTop = 2360;
inline constexpr int kTallPoetHeight = 3235;

// The colour of a poet's name after a right answer, by the class marker that
// begins the catalogue's poet entry: women red, monks magenta, others black.
Rgb PoetColor(const QString &poetEntry);

// A time in seconds with two decimals ("0.00"), rounded to the nearest hundredth.
QString FormatHundredths(float seconds);

class Game final {
public:
    Game(const Settings &settings, const PoemCatalogue &catalogue, BoardDisplay &board,
         Dialogs &dialogs, const TimeOfDay &clock, Random &random, RevealTimer &timer);

    void ResetGame();
    // Starts a game afresh; `showBoard` runs between the reset and the first deal.
    void NewGame(const std::function<void()> &showBoard = {});
    void DealQuestion();
    void StartQuestion();
    void TakeCard();
    void BoardClick();
    void ShowResults();

    // A card or its number key: picks card k (1-8) while picks are accepted.
    void PickCard(int card);
    // A click on card k: picks it in a running question, starts a waiting one.
    void CardClick(int card);
    // True once the running question is decided (answered, or lost on faults)
    // until the next deal: only then may the pictures of its poem and poet open.
    bool AnswerDecided() const { return poetShown_; }

    // The card order of a lower verse: three columns read right to left.
    static QString CardOrder(const QString &lowerVerse);
    // An average time as the entry box shows it: "0.##", the point always written.
    static QString FormatAverage(float seconds);

    // Game state. Arrays by question number have 102 entries (1 to 101 in use).
    qint16 questionNumber = 1;
    qint16 currentPoem = 0;
    QString currentPoet;
    qint16 answerPosition = 0;
    qint16 pickedCard = 0;
    bool answerOpen = false;
    bool questionActive = false;
    std::array<bool, 9> cardTaken{};
    qint16 faultCount = 0;
    bool resultRegistered = false;
    float averageTime = 0.0f;
    std::array<QString, 102> askedVerses;
    std::array<QString, 9> candidateTexts;
    std::array<bool, kPoemCount> poemUsed{};
    std::array<bool, kPoemCount> poemDealt{};
    std::array<float, 102> startTimes{};
    std::array<float, 102> answerTimes{};
    std::array<float, 102> elapsedTimes{};

private:
    int DrawIndex(int count);
    void ShowPoet();
    void RevealNext(unsigned generation);
    void ScheduleReveal(unsigned generation);

    const Settings &settings_;
    const PoemCatalogue &catalogue_;
    BoardDisplay &board_;
    Dialogs &dialogs_;
    const TimeOfDay &clock_;
    Random &random_;
    RevealTimer &timer_;
    bool poetShown_ = false;

    // Each start of a question opens a new reveal; steps of an older one do nothing.
    unsigned revealGeneration_ = 0;
    QString revealVerse_;
    QString revealShown_;
    int revealStep_ = 0;
};

} // namespace nupew
