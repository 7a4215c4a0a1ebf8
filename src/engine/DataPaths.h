// The game's data folders, as the game object carries them: the installed
// ones relative to the working folder, the user's and the shared ones under
// the folders the log's set-up made (Log.h).
#pragma once

#include <string>

struct CDataPaths {
    enum {
        Gfx = 0,
        SharedSfx = 1,
        Sfx = 2,
        Music = 3,
        Config = 4,
        UserConfig = 5,
        SharedGameData = 6,
        Txt = 7,
        Fonts = 8,
        Players = 9,
        Models = 10,
        Forms = 11,
        Data = 12,
        Levels = 13,
        FolderCount = 14,
    };
    CDataPaths();

    std::string folders[FolderCount];
    float tuning[9];
};
