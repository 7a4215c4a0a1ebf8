#include "engine/Log.h"

#include "platform/Files.h"

#include <cstdio>

namespace {
std::string g_userFolder;
std::string g_sharedFolder;
std::string g_logPath = "Objects.log";
int g_perUserFolders = 0;

const char kMaker[] = "Tarnwick";
const char kProduct[] = "TheGalvorineOfPellisand_GP_DE";

std::string ProductFolder(const std::string& base)
{
    std::string folder = base + "\\" + kMaker;
    plat::CreateDirectory(folder);
    folder += std::string("\\") + kProduct;
    plat::CreateDirectory(folder);
    return folder + "\\";
}
} // namespace

int SetUpFolders()
{
    // Every system we run on has per-user folders.
    g_perUserFolders = 1;
    return CreateUserFolders();
}

int CreateUserFolders()
{
    const std::string user = plat::UserAppDataFolder();
    const std::string shared = plat::CommonAppDataFolder();
    if (!user.empty() && !shared.empty()) {
        g_userFolder = ProductFolder(user);
        g_sharedFolder = ProductFolder(shared);
    }
    if (user.empty() || shared.empty() || !plat::DirectoryExists(g_userFolder) ||
        !plat::DirectoryExists(g_sharedFolder)) {
        // Without folders of its own the game runs on without writing: the
        // installation folder is no place for a player's files, the log or
        // the converted sounds.
        g_perUserFolders = 0;
        g_userFolder.clear();
        g_sharedFolder.clear();
        plat::RefuseWrites("");
        // The log is among what cannot be written: this is the only word of it.
        std::fprintf(stderr, "No folder for the game's own files could be made under %s: nothing is written\n",
                     user.empty() ? "the data home" : user.c_str());
        return 0;
    }
    // Results are not tested: an existing folder is fine, a missing one shows
    // up later as a file that cannot be written.
    plat::CreateDirectory(g_userFolder + "Players");
    plat::CreateDirectory(g_userFolder + "Data");
    plat::CreateDirectory(g_userFolder + "Data\\Config");
    plat::CreateDirectory(g_sharedFolder + "Data");
    plat::CreateDirectory(g_sharedFolder + "Data\\GameData");
    plat::CreateDirectory(g_sharedFolder + "Data\\Sfx");

    // A file of single keys written now would stand in the way of the copy
    // on every later start: without the installed options, this run leaves
    // the user's copy unwritten.
    const std::string userOptions = g_userFolder + "Data\\Config\\Options.ini";
    if (!plat::FileExists(userOptions) && !plat::CopyFile("Data\\Config\\Options.ini", userOptions, false))
        plat::RefuseWrites(userOptions);
    return 1;
}

int HasUserDataFolders() { return g_perUserFolders; }
std::string GetUserDataFolder() { return g_userFolder; }
std::string GetSharedDataFolder() { return g_sharedFolder; }

void SetDataFoldersForTests(const std::string& userFolder, const std::string& sharedFolder)
{
    g_userFolder = userFolder;
    g_sharedFolder = sharedFolder;
    g_perUserFolders = userFolder.empty() ? 0 : 1;
}

namespace {
// The bounded file reader tells every file it refuses: the log names it.
void LogReadRefusal(const std::string& gamePath, const std::string& why)
{
    WriteLog("Warning! File " + gamePath + " " + why + ": it is not read\n");
}
} // namespace

void SetLogName(const std::string& name)
{
    g_logPath = g_userFolder + name;
    plat::SetReadRefusalReport(LogReadRefusal);
}
std::string GetLogPath() { return g_logPath; }

void ClearLog()
{
    if (FILE* file = plat::OpenFile(g_logPath, "w"))
        std::fclose(file);
}

int WriteLog(const std::string& text)
{
    FILE* file = plat::OpenFile(g_logPath, "a");
    if (!file)
        return 0;
    std::fprintf(file, " %s", text.c_str());
    return std::fclose(file);
}

void WriteLogNumber(int number)
{
    if (FILE* file = plat::OpenFile(g_logPath, "a")) {
        std::fprintf(file, " %d ", number);
        std::fclose(file);
    }
}
