// The plain-text log and the game's writable data folders (the game's
// data folders by name: DataPaths.h).
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
