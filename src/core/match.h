// SPDX-License-Identifier: MIT
// The match (競技): fifty cards on the mat, twenty-five in each territory in
// three rows, a hundred poems read, two players taking. The rules only: no
// widgets, no timers. Times are seconds on the reading's clock, the one that
// paces the strip, so touches of both sides are ordered by when they were
// made, not by when they were handled.
#pragma once

#include "core/poem_catalogue.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <random>

namespace nupew::match {

inline constexpr int kCardsEach = 25;
inline constexpr int kRows = 3;
// How many cards fit in a row: 87 cm of width, a card 5.3 cm wide.
inline constexpr int kRowCapacity = 16;
// The memorisation times offered, in minutes.
inline constexpr std::array<int, 6> kMemorisationMinutes{0, 1, 3, 5, 10, 15};

// No poem: what a call that cannot give one gives (not valid()).
inline constexpr Poem kNoPoem = Poem::FromNumber(0);

enum class Side { Player, Opponent };
inline Side Other(Side side) {
    return side == Side::Player ? Side::Opponent : Side::Player;
}
// Rows of a territory: 上段 nearest its owner, 下段 at the line facing the other.
enum class Row { Upper = 0, Middle = 1, Lower = 2 };

// How a side's cards are laid at the deal.
enum class LayoutRule {
    Random,   // rows and places drawn at random
    Beginner, // one-sound cards in the 下段 at the right hand, cards sharing
              // their first sound side by side, the longest in the 上段
};

// The player's choices for a match, kept in the per-user options.
enum class OpponentKind { Solo, Steady, Level, Ghost };
struct MatchSetup {
    LayoutRule layout = LayoutRule::Beginner;
    int memoriseMinutes = 1; // one of kMemorisationMinutes
    OpponentKind opponent = OpponentKind::Solo;
    double steadyDelay = 1.5; // seconds after the decisive sound
    int level = 2;            // of kLevels, for OpponentKind::Level
    bool showDecisive = true; // the current decisive characters on the cards
    friend bool operator==(const MatchSetup &, const MatchSetup &) = default;
};

// Where a card lies.
struct Place {
    Side side = Side::Player;
    Row row = Row::Upper;
    int index = 0; // from the owner's left
    friend bool operator==(const Place &, const Place &) = default;
};

// How many characters two verses share from their start.
int SharedStart(const QString &a, const QString &b);

// The upper verse as heard (the particle を compared as お), for every poem.
QString ComparedVerse(const PoemCatalogue &catalogue, Poem poem);

// Decisive characters over the poems not yet read (決まり字の変化): a poem
// needs one more character than it shares with any unread poem. Kept on the
// poems' sorted order, so a reading changes only its two neighbours.
class UnreadDecisive final {
public:
    explicit UnreadDecisive(const PoemCatalogue &catalogue);

    struct Change {
        Poem poem = kNoPoem;
        int before = 0;
        int after = 0;
    };
    // The poem was read: it leaves the unread ones; the changes it made.
    QList<Change> MarkRead(Poem poem);
    bool IsRead(Poem poem) const { return read_[size_t(poem.row())]; }
    int UnreadCount() const { return unread_; }
    // The current count, for a read poem the count it was read with.
    int Count(Poem poem) const { return counts_[size_t(poem.row())]; }
    // The current decisive characters as heard (ちぎ).
    QString Heard(Poem poem) const { return HeardWith(poem, Count(poem)); }
    // The first `count` characters as heard.
    QString HeardWith(Poem poem, int count) const { return heard_[size_t(poem.row())].left(count); }

private:
    int CountOf(int sortedIndex) const;

    std::array<QString, kPoemCount> heard_;       // as heard, by row
    std::array<QString, kPoemCount> compared_;    // を as お, by row
    std::array<int, kPoemCount> sorted_{};        // rows in the order of compared_
    std::array<int, kPoemCount> position_{};      // row → index in sorted_
    std::array<int, kPoemCount> prev_{}, next_{}; // unread neighbours in sorted_, -1 none
    std::array<int, kPoemCount> counts_{};
    std::array<bool, kPoemCount> read_{};
    int unread_ = kPoemCount;
};

class Mat final {
public:
    using Rows = std::array<QList<Poem>, kRows>;

    Rows &rows(Side side) { return territories_[size_t(side)]; }
    const Rows &rows(Side side) const { return territories_[size_t(side)]; }
    int Count(Side side) const;
    std::optional<Place> Find(Poem poem) const;
    bool Contains(Poem poem) const { return Find(poem).has_value(); }
    bool Remove(Poem poem);
    // A card arriving in `side`'s territory: in its shortest row, at the right.
    void Receive(Side side, Poem poem);
    // A card moved within its territory (memorisation): false when the
    // place is in the other territory or the row is full.
    bool Move(Poem poem, Place to);
    QList<Poem> Cards(Side side) const;

private:
    std::array<Rows, 2> territories_;
};

// One fault (お手つき) and its kind.
enum class FaultKind {
    WrongTerritory, // a card of the territory where the read card is not
    EmptyCard,      // a card touched while a 空札 was read
};
struct Fault {
    Side who = Side::Player;
    FaultKind kind = FaultKind::WrongTerritory;
    Side territory = Side::Player; // where the touch was
};

struct Take {
    Side who = Side::Player;
    Side territory = Side::Player; // where the card lay
    Row row = Row::Upper;
    double at = 0;       // on the reading's clock
    bool byTouch = true; // false: nobody touched it and its territory's owner took it
};

// A card one side must send the other (送り札), and why.
struct Sending {
    Side from = Side::Player;
    enum class Why { Take, Fault } why = Why::Take;
};

// What became of one reading.
struct Reading {
    Poem poem = kNoPoem;
    int decisiveCount = 0;      // its decisive characters when it was read
    std::optional<Place> place; // where its card lay; none: a 空札
    std::optional<Take> take;
    QList<Fault> faults;
    QList<Sending> sendings; // in the order they are made
    QList<Poem> sent;        // the cards sent, in that order
    bool settled = false;
    std::optional<double> decisiveAt;    // the onset of its current decisive sound
    std::optional<double> opponentDrawn; // the opponent's planned time after that sound
    // The player's take timed from the decisive sound (negative: before it).
    std::optional<double> PlayerReaction() const {
        if (!take || take->who != Side::Player || !take->byTouch || !decisiveAt) {
            return std::nullopt;
        }
        return take->at - *decisiveAt;
    }
};

// Where matches are kept: told of a match's start, of each reading once it
// is over (sendings made), and of its end (or that it was left unfinished).
class MatchLog {
public:
    virtual ~MatchLog() = default;
    struct Start {
        QString opponent; // a key: solo, steady:1.5, level:expert, ghost
        LayoutRule layout = LayoutRule::Beginner;
        int memoriseMinutes = 0;
        bool voiced = false;
    };
    virtual void MatchStarted(const Start &start) = 0;
    virtual void MatchReading(int index, const Reading &reading, bool voiced) = 0;
    virtual void MatchEnded(const class Match &match, bool finished) = 0;
};

// The other side of the mat: for each reading, whether, when and which card
// it touches, and which card it sends.
class Opponent {
public:
    virtual ~Opponent() = default;
    struct Plan {
        Poem card = kNoPoem;
        double afterDecisive = 0; // seconds after the onset of the current decisive sound
    };
    // The cards are dealt (what it memorises).
    virtual void Dealt(const class Match &) {}
    // At the start of a reading: the touch it will make, if any.
    virtual std::optional<Plan> PlanTouch(const class Match &match, Poem read) = 0;
    // One of its own cards to send.
    virtual Poem ChooseSending(const class Match &match) = 0;
    // How the mat's window names it.
    virtual QString Name() const = 0;
};

// The card a side sends when it does not choose: the one with the most
// decisive characters (the hardest to defend), the first in its rows on a tie.
Poem DefaultSending(const class Match &match, Side side);

// 一人取り: never touches; its cards nobody took become its own when their
// lower verse begins, as the rules give an untaken card to its territory.
class SoloOpponent final : public Opponent {
public:
    std::optional<Plan> PlanTouch(const Match &, Poem) override { return std::nullopt; }
    Poem ChooseSending(const Match &match) override;
    QString Name() const override;
};

// Touches the read card a fixed time after its current decisive sound.
class SteadyOpponent final : public Opponent {
public:
    // Allowed delays, in seconds.
    static constexpr double kFastest = 0.5;
    static constexpr double kSlowest = 3.0;
    explicit SteadyOpponent(double delay);
    std::optional<Plan> PlanTouch(const Match &match, Poem read) override;
    Poem ChooseSending(const Match &match) override;
    QString Name() const override;
    double delay() const { return delay_; }

private:
    double delay_;
};

// What a touch came to.
enum class TouchOutcome { Took, Fault, Nothing, Ignored };

class Match final {
public:
    Match(const PoemCatalogue &catalogue, Opponent &opponent, std::uint32_t seed);

    // The deal: the hundred shuffled, twenty-five to each side, the rest
    // 空札; each side laid by `layout` (the opponent's by the beginner
    // rule); the order of reading drawn.
    void Deal(LayoutRule layout);
    // A deal given in full (tests, a replayed match).
    void DealGiven(const Mat &mat, const QList<Poem> &order);
    static void Lay(Mat &mat, Side side, const QList<Poem> &cards, LayoutRule rule,
                    const UnreadDecisive &decisive, std::mt19937 &random);

    // The next poem is read: its reading begins; the opponent plans its touch.
    Poem BeginReading();
    // The onset of the current decisive sound on the reading's clock: the
    // opponent's touch falls due from there.
    void DecisiveSounded(double at);
    // When the opponent's planned touch falls due; none before the decisive sound.
    std::optional<double> OpponentDue() const;
    // Touches the opponent planned up to `now` are made.
    void Advance(double now);
    // A touch by `who` on `card` at `at`: the opponent's due touches earlier
    // than it come first.
    TouchOutcome Touch(Side who, Poem card, double at);
    // The upper verse is over and the lower verse begins: an untaken card on
    // the mat goes to its territory's owner; the sendings are owed.
    void Settle(double at);
    // The sendings still owed by the player (the opponent's are made at once).
    int PlayerSendingsOwed() const;
    // The player sends `card` (one of the player's own); false otherwise.
    bool SendFromPlayer(Poem card);
    // The reading is over (sendings done): its poem leaves the unread ones
    // and the decisive characters change; the next BeginReading does it
    // when this was not called.
    QList<UnreadDecisive::Change> EndReading();

    const Mat &mat() const { return mat_; }
    Mat &mat() { return mat_; }
    const UnreadDecisive &decisive() const { return decisive_; }
    const PoemCatalogue &catalogue() const { return catalogue_; }
    const QList<Poem> &order() const { return order_; }
    const QList<Reading> &readings() const { return readings_; }
    // The reading under way or the last one; none before the first.
    const Reading *current() const { return readings_.isEmpty() ? nullptr : &readings_.back(); }
    bool ReadingOpen() const { return current() && !current()->settled; }
    int PoemsRead() const { return int(readings_.size()); }
    int Faults(Side side) const { return faults_[size_t(side)]; }
    std::optional<Side> Winner() const;
    // Won, or every poem read and the last reading done.
    bool Over() const {
        return Winner().has_value() ||
               (PoemsRead() >= int(order_.size()) && !ReadingOpen() && PlayerSendingsOwed() == 0);
    }
    Opponent &opponent() { return opponent_; }

private:
    void MakeTouch(Side who, Poem card, double at, TouchOutcome &outcome);
    void MakeSendings();

    const PoemCatalogue &catalogue_;
    Opponent &opponent_;
    std::mt19937 random_;
    Mat mat_;
    UnreadDecisive decisive_;
    QList<Poem> order_;
    QList<Reading> readings_;
    std::array<int, 2> faults_{};
    // Territories where each side touched in this reading.
    std::array<std::array<bool, 2>, 2> touched_{};
    std::optional<Opponent::Plan> plan_;
    std::optional<double> decisiveAt_;
};

} // namespace nupew::match
