// The plain-text log and the game's writable data folders.
//
// The log file is opened, appended and closed for every message so that it
// is complete up to the last line even when the process dies.
#pragma once

#include <string>

// The per-user folders are in use (1), or none could be made (0): the game
// then runs without writing any file. A first start that cannot copy the
// installed options leaves the user's "Options.ini" unwritten for the run.
int SetUpFolders();
int CreateUserFolders();
int HasUserDataFolders();
std::string GetUserDataFolder();
std::string GetSharedDataFolder();
// Test hook: pretend the folders were set up with these paths (empty: none).
void SetDataFoldersForTests(const std::string& userFolder, const std::string& sharedFolder);

void SetLogName(const std::string& name);
void ClearLog();
int WriteLog(const std::string& text);
void WriteLogNumber(int number);
std::string GetLogPath();

// The data folders and tuning values the game object carries.
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
