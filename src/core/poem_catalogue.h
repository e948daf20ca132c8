// SPDX-License-Identifier: MIT
// The built-in texts of the hundred poems.
#pragma once

#include <QString>
#include <array>

namespace nupew {

inline constexpr int kPoemCount = 100;

// A poem of the anthology, by the number the anthology gives it (1 to 100);
// its row in the tables is number - 1. Made only from one or the other, by
// name, so that the two can never be mixed.
class Poem final {
public:
    static constexpr Poem FromNumber(int number) { return Poem(number); }
    static constexpr Poem FromRow(int row) { return Poem(row + 1); }
    constexpr int number() const { return number_; }
    constexpr int row() const { return number_ - 1; }
    // One of the hundred (a number read from a file may be anything).
    constexpr bool valid() const { return number_ >= 1 && number_ <= kPoemCount; }
    friend constexpr bool operator==(Poem, Poem) = default;
    friend constexpr auto operator<=>(Poem, Poem) = default;

private:
    explicit constexpr Poem(int number) : number_(number) {}
    int number_;
};

// The catalogue's columns; the text modes choose between the kanji and kana ones.
enum class Column {
    UpperKanji,
    LowerKanji,
    UpperKana,
    LowerKana,
    Poet,
    // The verses as they are read aloud today, in modern kana, phrases split by U+3000.
    UpperSpoken,
    LowerSpoken,
    // The verses as a competition reader recites them: ー holds a sound, the
    // half-width ｰ is a breath.
    UpperRecited,
    LowerRecited,
};
inline constexpr int kColumnCount = 9;
inline constexpr Column kUpperKanji = Column::UpperKanji;
inline constexpr Column kLowerKanji = Column::LowerKanji;
inline constexpr Column kUpperKana = Column::UpperKana;
inline constexpr Column kLowerKana = Column::LowerKana;
inline constexpr Column kPoet = Column::Poet;
inline constexpr Column kUpperSpoken = Column::UpperSpoken;
inline constexpr Column kLowerSpoken = Column::LowerSpoken;
inline constexpr Column kUpperRecited = Column::UpperRecited;
inline constexpr Column kLowerRecited = Column::LowerRecited;

// A poet by the marker that begins the catalogue's poet entry: ● a woman,
// ○ a monk, □ a monk whose name needs the taller label, △ another whose name
// does; none, anyone else.
enum class PoetKind { Other, Woman, Monk };
struct Poet {
    QString name; // the entry without its marker
    PoetKind kind = PoetKind::Other;
    bool tall = false;
};

class PoemCatalogue final {
public:
    // Stores all 700 texts, column by column; called once at start-up.
    void Fill();
    // A poem's text in a column; a poem not of the hundred gives an empty text.
    QString Text(Poem poem, Column column) const;
    bool IsFilled() const { return filled_; }
    // The poet of a poem; a poem not of the hundred gives no one.
    Poet PoetOf(Poem poem) const;

private:
    std::array<std::array<QString, kPoemCount>, kColumnCount> texts_;
    bool filled_ = false;
};

} // namespace nupew
