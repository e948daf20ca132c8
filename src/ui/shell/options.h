// SPDX-License-Identifier: MIT
// The player's on/off options, each declared once: where it is kept, its
// default, where its menu item stands, its caption and what it changes. The
// per-user options, the menu items and their check marks are made from this
// table; adding an option is one row here and its effect in Program.
#pragma once

#include <QtGlobal>
#include <array>

namespace nupew {

enum class Option { ShowDecisive, ReadAloud, ReadRecited, ReadLower, ReadOpening };

// What changes when an option changes.
enum class OptionEffect {
    Board, // how the board shows an answer
    Voice, // how the verses are read aloud; greyed without the voice
};

struct OptionSpec {
    Option option;
    const char *key; // in the per-user options file
    bool byDefault;
    const char *menu;  // the menu its item is in (object name)
    const char *after; // the item it follows there; null: after the options before it
    const char *name;  // the item's object name
    const char *caption;
    OptionEffect effect;
};

// Captions are translated where they are shown (context nupew::MainWindow).
// clang-format off
inline constexpr std::array<OptionSpec, 5> kOptions = {{
    {Option::ShowDecisive, "board/showDecisive", false, "displayMenu", "displaySeparator2", "showDecisive", QT_TRANSLATE_NOOP("nupew::MainWindow", "決まり字を表示(&K)"), OptionEffect::Board},
    {Option::ReadAloud, "voice/readAloud", false, "readAloudMenu", nullptr, "readAloud", QT_TRANSLATE_NOOP("nupew::MainWindow", "読み上げる(&R)"), OptionEffect::Voice},
    {Option::ReadRecited, "voice/recited", false, "readAloudMenu", nullptr, "readRecited", QT_TRANSLATE_NOOP("nupew::MainWindow", "競技の読み方(&C)"), OptionEffect::Voice},
    {Option::ReadLower, "voice/readLower", false, "readAloudMenu", nullptr, "readLower", QT_TRANSLATE_NOOP("nupew::MainWindow", "下の句も読む(&L)"), OptionEffect::Voice},
    {Option::ReadOpening, "voice/opening", false, "readAloudMenu", nullptr, "readOpening", QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲームの始めに序歌を読む(&J)"), OptionEffect::Voice},
}};
// clang-format on

constexpr const OptionSpec &SpecOf(Option option) {
    return kOptions[size_t(option)];
}

// Every row stands at its option's place, so SpecOf can index the table.
static_assert([] {
    for (size_t i = 0; i < kOptions.size(); ++i) {
        if (size_t(kOptions[i].option) != i) {
            return false;
        }
    }
    return true;
}());

} // namespace nupew
