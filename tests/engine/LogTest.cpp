#include "engine/Log.h"
#include "engine/DataPaths.h"
#include "engine/Settings.h"
#include "platform/Files.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::ReadText;
using testing_support::ScopedEnv;
using testing_support::ScopedWorkingFolder;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

class LogTest : public ::testing::Test {
protected:
    void TearDown() override { testing_support::ResetDataFolders(); }
};

TEST_F(LogTest, MessagesArePrefixedWithOneSpace)
{
    ScratchDir dir;
    SetDataFoldersForTests(dir.Path(), dir.Path());
    SetLogName("Objects.log");
    ClearLog();
    EXPECT_EQ(ReadText(dir.File("Objects.log")), "");
    WriteLog("Begin log\n");
    WriteLog("Creating...");
    WriteLog("Ok\n");
    WriteLogNumber(42);
    EXPECT_EQ(ReadText(dir.File("Objects.log")), " Begin log\n Creating... Ok\n 42 ");
}

TEST_F(LogTest, MissingFolderIsHarmless)
{
    SetDataFoldersForTests("/nonexistent-folder/", "/nonexistent-folder/");
    SetLogName("Objects.log");
    ClearLog();
    EXPECT_EQ(WriteLog("text"), 0);
    WriteLogNumber(1);
}

TEST_F(LogTest, WithoutUserFoldersTheLogIsRelative)
{
    SetDataFoldersForTests("", "");
    SetLogName("Objects.log");
    EXPECT_EQ(GetLogPath(), "Objects.log");
    EXPECT_EQ(HasUserDataFolders(), 0);
}

TEST_F(LogTest, DataPathsFollowTheFolders)
{
    SetDataFoldersForTests("U\\", "S\\");
    CDataPaths paths;
    EXPECT_EQ(paths.folders[CDataPaths::SharedSfx], "S\\Data\\Sfx\\");
    EXPECT_EQ(paths.folders[CDataPaths::UserConfig], "U\\Data\\Config\\");
    EXPECT_EQ(paths.folders[CDataPaths::Players], "U\\Players\\");
    EXPECT_EQ(paths.folders[CDataPaths::Fonts], "Data\\Fonts\\");
    EXPECT_FLOAT_EQ(paths.tuning[0], 2000.0f);
    EXPECT_FLOAT_EQ(paths.tuning[8], 50.0f);
}

// A home and an installation folder of their own for the scope; the data
// folders and the write refusals go back to how the tests keep them.
class UserFolders : public ::testing::Test {
protected:
    void TearDown() override
    {
        plat::ClearWriteRefusalsForTests();
        testing_support::ResetDataFolders();
    }
    ScratchDir home;
    ScratchDir install;
    ScopedEnv dataHome{"XDG_DATA_HOME", home.Path().c_str()};
    ScopedWorkingFolder inInstall{install.Path()};
    const std::string user = home.Path() + "Tarnwick/TheGalvorineOfPellisand_GP_DE/";
};

TEST_F(UserFolders, FirstRunCopiesOptionsAndLaterRunsKeepEdits)
{
    plat::CreateDirectory("Data");
    plat::CreateDirectory("Data/Config");
    WriteText("Data/Config/Options.ini", "[Settings]\nWidth=640\n");

    ASSERT_EQ(SetUpFolders(), 1);
    EXPECT_EQ(GetUserDataFolder().back(), '\\');
    EXPECT_EQ(ReadText(user + "Data/Config/Options.ini"), "[Settings]\nWidth=640\n");
    EXPECT_TRUE(plat::DirectoryExists(user + "Players"));
    EXPECT_TRUE(plat::DirectoryExists(user + "Data/GameData"));
    EXPECT_TRUE(plat::DirectoryExists(user + "Data/Sfx"));

    WriteText(user + "Data/Config/Options.ini", "[Settings]\nWidth=800\n");
    ASSERT_EQ(SetUpFolders(), 1);
    EXPECT_EQ(ReadText(user + "Data/Config/Options.ini"), "[Settings]\nWidth=800\n");
}

TEST_F(UserFolders, FirstStartWithoutInstalledOptionsLeavesTheCopyForLater)
{
    ASSERT_EQ(SetUpFolders(), 1);
    EXPECT_FALSE(WriteIniString(OptionsFilePath(), "Settings", "Width", "800"));
    EXPECT_FALSE(plat::FileExists(user + "Data/Config/Options.ini"));

    plat::ClearWriteRefusalsForTests(); // the next start
    plat::CreateDirectory("Data");
    plat::CreateDirectory("Data/Config");
    WriteText("Data/Config/Options.ini", "[Game]\nProfile=Ann\n");
    ASSERT_EQ(SetUpFolders(), 1);
    EXPECT_EQ(ReadText(user + "Data/Config/Options.ini"), "[Game]\nProfile=Ann\n");
}

TEST_F(UserFolders, WithoutFoldersOfItsOwnTheGameWritesNothing)
{
    WriteText(home.File("Tarnwick"), "a file where the maker's folder belongs");
    EXPECT_EQ(SetUpFolders(), 0);
    EXPECT_EQ(HasUserDataFolders(), 0);
    SetLogName("Objects.log");
    ClearLog();
    WriteLog("Begin log\n");
    CDataPaths paths;
    EXPECT_FALSE(
        WriteIniString(paths.folders[CDataPaths::UserConfig] + "Options.ini", "Settings", "Width", "800"));
    EXPECT_FALSE(plat::CreateDirectory(paths.folders[CDataPaths::Players]));
    EXPECT_TRUE(plat::ListDirectory(install.Path()).empty());
}

} // namespace
