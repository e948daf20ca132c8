// SPDX-License-Identifier: MIT
// What the player can ask for in the main window's menus and toolbar.
#pragma once

#include <QMetaType>

namespace nupew {

enum class Command {
    NewGame,
    PlayMatch,
    CloseBoard,
    Quit,
    SaveSettings,
    RestoreDefaults,
    ChoosePractice,
    ViewRecords,
    ResetRecords,
    PrintRecords,
    ShowStatistics,
    ChoosePictureFolder,
    CustomiseToolbar,
    ShowPoemList,
    HelpContents,
    HelpOnHelp,
    ShowVersion,
};

} // namespace nupew
