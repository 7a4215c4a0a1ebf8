// Files and folders at the platform's boundary: game paths against native
// ones, the atomic writer's housekeeping, refused writes and unreadable files.
#include "platform/Files.h"
#include "platform/Profile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testing_support::LogCapture;
using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(Files, BackslashInTheDataHomeIsPartOfItsName)
{
    ScratchDir dir;
    const std::string home = dir.Path() + "odd\\name";
    ASSERT_EQ(mkdir(home.c_str(), 0755), 0);
    testing_support::ScopedEnv dataHome("XDG_DATA_HOME", home.c_str());
    const std::string root = plat::UserAppDataFolder();

    ASSERT_EQ(root, home);
    ASSERT_TRUE(plat::CreateDirectory(root + "\\Maker"));
    ASSERT_TRUE(plat::WriteFileAtomically(root + "\\Maker\\File.txt", "x", 1));
    EXPECT_EQ(ReadText(home + "/Maker/File.txt"), "x");
    EXPECT_EQ(plat::NativePath("Data\\odd\\name"), "Data/odd/name");

    // Names found below a folder are the file system's own, backslashes and all.
    ASSERT_EQ(mkdir((home + "/Maker/Ann\\Bert").c_str(), 0755), 0);
    WriteText(home + "/Maker/Ann\\Bert/Settings.ini", "[Main]\n");
    EXPECT_TRUE(plat::RemoveDirectoryTree(root + "\\Maker"));
    EXPECT_FALSE(plat::DirectoryExists(root + "\\Maker"));
}

// A HOME that is not absolute would put the user folder inside the working
// folder, the installation: it counts as none, as an empty one does, and the
// account's own home is taken.
TEST(Files, ARelativeOrEmptyHomeCountsAsNone)
{
    ScratchDir dir;
    testing_support::ScopedWorkingFolder inside(dir.Path());
    testing_support::ScopedEnv noXdg("XDG_DATA_HOME", nullptr);
    for (const char* home : {"home", "./home", "", "~"}) {
        SCOPED_TRACE(home);
        testing_support::ScopedEnv relative("HOME", home);
        const std::string root = plat::UserAppDataFolder();
        EXPECT_TRUE(root.empty() || root[0] == '/') << root;
        EXPECT_FALSE(plat::DirectoryExists(dir.File("home")));
        EXPECT_FALSE(plat::DirectoryExists(dir.File("~")));
        EXPECT_FALSE(plat::DirectoryExists(dir.File(".local")));
    }
}

TEST(Files, AtomicWriteKeepsTheModeAndClearsItsOwnLeftovers)
{
    ScratchDir dir;
    const std::string file = dir.File("Game1.tbl");
    WriteText(file, "old");
    ASSERT_EQ(chmod(file.c_str(), 0666), 0);
    for (const char* name :
         {"Game1.tbl.tmpAbC123", "Game1.tbl.tmpzzzzzz", "Game2.tbl.tmpAbC123", "Game1.tbl.tmp12"})
        WriteText(dir.File(name), "left");

    ASSERT_TRUE(plat::WriteFileAtomically(file, "new", 3));
    EXPECT_EQ(ReadText(file), "new");
    EXPECT_EQ(ModeOf(file), 0666u);
    EXPECT_FALSE(plat::FileExists(dir.File("Game1.tbl.tmpAbC123")));
    EXPECT_FALSE(plat::FileExists(dir.File("Game1.tbl.tmpzzzzzz")));
    EXPECT_TRUE(plat::FileExists(dir.File("Game2.tbl.tmpAbC123"))); // another file's
    EXPECT_TRUE(plat::FileExists(dir.File("Game1.tbl.tmp12")));     // not one of ours

    ASSERT_TRUE(plat::WriteFileAtomically(dir.File("Fresh.dat"), "1", 1));
    EXPECT_EQ(ModeOf(dir.File("Fresh.dat")), 0644u);
}

TEST(Files, RefusedPathsAreLeftAlone)
{
    struct Lift {
        ~Lift() { plat::ClearWriteRefusalsForTests(); }
    } lift;
    ScratchDir dir;
    WriteText(dir.File("Options.ini"), "[Settings]\n");
    ASSERT_TRUE(plat::CreateDirectory(dir.File("Players")));
    plat::RefuseWrites(dir.File("Options.ini"));
    plat::RefuseWrites(dir.File("Players"));

    EXPECT_FALSE(plat::WriteFileAtomically(dir.File("Options.ini"), "x", 1));
    EXPECT_EQ(plat::OpenFile(dir.File("Options.ini"), "a"), nullptr);
    EXPECT_FALSE(plat::RemoveFile(dir.File("Options.ini")));
    EXPECT_FALSE(plat::CreateDirectory(dir.File("Players\\Ann")));
    EXPECT_FALSE(plat::RemoveDirectory(dir.File("Players")));
    EXPECT_FALSE(plat::CopyFile(dir.File("Options.ini"), dir.File("Players\\Copy.ini"), false));
    EXPECT_EQ(ReadText(dir.File("Options.ini")), "[Settings]\n");
    // Reading stays allowed, and so do neighbours whose names only start alike.
    FILE* read = plat::OpenFile(dir.File("Options.ini"), "rb");
    EXPECT_NE(read, nullptr);
    if (read)
        std::fclose(read);
    EXPECT_TRUE(plat::WriteFileAtomically(dir.File("Options.ini.bak"), "x", 1));
    EXPECT_TRUE(plat::CreateDirectory(dir.File("PlayersOld")));

    plat::RefuseWrites("");
    EXPECT_FALSE(plat::WriteFileAtomically(dir.File("Other.dat"), "x", 1));
    EXPECT_FALSE(plat::CreateDirectory(dir.File("Other")));
    plat::ClearWriteRefusalsForTests();
    EXPECT_TRUE(plat::WriteFileAtomically(dir.File("Other.dat"), "x", 1));
}

TEST(Files, MissingAndUnreadableFilesAreToldApart)
{
    ScratchDir dir;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(plat::ReadWholeFileOutcome(dir.File("None.ini"), &bytes), plat::ReadOutcome::Missing);
    EXPECT_EQ(plat::ReadWholeFileOutcome(dir.File("None\\Deeper.ini"), &bytes), plat::ReadOutcome::Missing);
    ASSERT_TRUE(plat::CreateDirectory(dir.File("Folder.ini")));
    EXPECT_EQ(plat::ReadWholeFileOutcome(dir.File("Folder.ini"), &bytes), plat::ReadOutcome::Failed);
    WriteText(dir.File("Some.ini"), "abc");
    EXPECT_EQ(plat::ReadWholeFileOutcome(dir.File("Some.ini"), &bytes), plat::ReadOutcome::Read);
    EXPECT_EQ(bytes.size(), 3u);
}

// A save or settings file that is no file, or far larger than any of its
// kind, is refused at once, before anything is read (a FIFO without a
// writer would hold the reader for ever, a link to /dev/zero would fill the
// memory), and the log names it and says why. The INI reader names it once,
// however many keys are asked, and does not replace it.
TEST(Files, WhatIsNoFileOrTooLargeIsRefusedAndNamed)
{
    ScratchDir dir;
    LogCapture log;
    struct Case {
        const char* name;
        std::string why;
    };
    ASSERT_EQ(mkfifo(dir.File("Quest.sav").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", dir.File("Settings.ini").c_str()), 0);
    ASSERT_TRUE(plat::CreateDirectory(dir.File("Options.ini")));
    WriteText(dir.File("Gems.cfg"), "[Gems]\nSize=1\n");
    ASSERT_EQ(truncate(dir.File("Gems.cfg").c_str(), 1 << 30), 0); // sparse: no disk used
    const std::string tooLarge = "is 1073741824 bytes, more than the 1048576 a file of its kind may hold";
    for (const Case& c :
         {Case{"Quest.sav", "is a FIFO, not a file"}, Case{"Settings.ini", "is a device, not a file"},
          Case{"Options.ini", "is a folder, not a file"}, Case{"Gems.cfg", tooLarge}}) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        const std::string line = " Warning! File " + path + " " + c.why + ": it is not read\n";
        std::vector<uint8_t> bytes{1, 2, 3};
        EXPECT_EQ(plat::ReadWholeFileOutcome(path, &bytes), plat::ReadOutcome::Failed);
        EXPECT_TRUE(bytes.empty());
        EXPECT_EQ(log.Take(), line);
        EXPECT_EQ(plat::OpenFile(path, "r"), nullptr);
        EXPECT_EQ(log.Take(), line);

        for (const char* key : {"Width", "Height", "Size"})
            EXPECT_EQ(plat::GetProfileString("Gems", key, "none", path), "none");
        EXPECT_FALSE(plat::WritePrivateProfileString("Gems", "Size", "2", path));
        EXPECT_EQ(log.Take(), line);
    }
    struct stat st {};
    ASSERT_EQ(lstat(dir.File("Settings.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)); // the link itself is left as it was
    ASSERT_EQ(stat(dir.File("Gems.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 1 << 30);

    // A file of the largest size of its kind is read whole.
    WriteText(dir.File("Large.ini"), std::string(plat::kTextFileLimit, ';'));
    std::vector<uint8_t> bytes;
    EXPECT_EQ(plat::ReadWholeFileOutcome(dir.File("Large.ini"), &bytes), plat::ReadOutcome::Read);
    EXPECT_EQ(bytes.size(), plat::kTextFileLimit);
    EXPECT_EQ(log.Text(), "");
}

} // namespace
