// SPDX-License-Identifier: MIT
// The built-in texts of the hundred poems.
#pragma once

#include <QString>
#include <array>

namespace nupew {

// Catalogue columns; the text modes choose columns by these numbers.
inline constexpr int kUpperKanji = 0;
inline constexpr int kLowerKanji = 1;
inline constexpr int kUpperKana = 2;
inline constexpr int kLowerKana = 3;
inline constexpr int kPoet = 4;
// The verses as they are read aloud today, in modern kana, phrases split by U+3000.
inline constexpr int kUpperSpoken = 5;
inline constexpr int kLowerSpoken = 6;
// The verses as a competition reader recites them: ー holds a sound, the
// half-width ｰ is a breath.
inline constexpr int kUpperRecited = 7;
inline constexpr int kLowerRecited = 8;
inline constexpr int kPoemCount = 100;
inline constexpr int kColumnCount = 9;

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
    // The text at (poem 0-99, column 0-6); numbers outside give an empty text.
    QString Text(int poem, int column) const;
    bool IsFilled() const { return filled_; }
    // The poet of poem 0-99; numbers outside give no one.
    Poet PoetOf(int poem) const;

private:
    std::array<std::array<QString, kPoemCount>, kColumnCount> texts_;
    bool filled_ = false;
};

} // namespace nupew
