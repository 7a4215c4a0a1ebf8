#include "engine/Log.h"
#include "platform/Files.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

class LogTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetDataFoldersForTests("", "");
        SetLogName("Objects.log");
    }
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

TEST(UserFolders, FirstRunCopiesOptionsAndLaterRunsKeepEdits)
{
    ScratchDir home;
    ScratchDir install;
    const std::string oldCwd = std::string(getenv("PWD") ? getenv("PWD") : ".");
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    ASSERT_EQ(chdir(install.Path().c_str()), 0);
    plat::CreateDirectory("Data");
    plat::CreateDirectory("Data/Config");
    WriteText("Data/Config/Options.ini", "[Settings]\nWidth=640\n");

    ASSERT_EQ(SetUpFolders(), 1);
    const std::string user = home.Path() + "Tarnwick/TheGalvorineOfPellisand_GP_DE/";
    EXPECT_EQ(GetUserDataFolder().back(), '\\');
    EXPECT_EQ(ReadText(user + "Data/Config/Options.ini"), "[Settings]\nWidth=640\n");
    EXPECT_TRUE(plat::DirectoryExists(user + "Players"));
    EXPECT_TRUE(plat::DirectoryExists(user + "Data/GameData"));
    EXPECT_TRUE(plat::DirectoryExists(user + "Data/Sfx"));

    WriteText(user + "Data/Config/Options.ini", "[Settings]\nWidth=800\n");
    ASSERT_EQ(SetUpFolders(), 1);
    EXPECT_EQ(ReadText(user + "Data/Config/Options.ini"), "[Settings]\nWidth=800\n");

    ASSERT_EQ(chdir(oldCwd.c_str()), 0);
    unsetenv("XDG_DATA_HOME");
    SetDataFoldersForTests("", "");
}

} // namespace
