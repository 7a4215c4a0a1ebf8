// INI reads served from a parsed form: every change to the file must show,
// however it was made and however fast it followed the last read.
#include "platform/Profile.h"
#include "platform/Files.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

std::string Value(const std::string& file) { return plat::GetProfileString("Main", "Key", "none", file); }

// Rewrites the bytes of the file where they are: same inode, same size.
void RewriteInPlace(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

TEST(ProfileCache, EveryRewriteShowsEvenWithinOneTimestampStep)
{
    ScratchDir dir;
    const std::string file = dir.File("Skin.cfg");
    WriteText(file, "[Main]\nKey=1\n");
    ASSERT_EQ(Value(file), "1");
    // Many rewrites of the same size in quick succession: most of them keep
    // the size and both file times of the one before.
    for (int i = 0; i < 200; ++i) {
        const std::string digit = std::to_string(i % 10);
        RewriteInPlace(file, "[Main]\nKey=" + digit + "\n");
        ASSERT_EQ(Value(file), digit) << "rewrite " << i;
    }

    // A replacement by rename that keeps size and times shows as well.
    WriteText(dir.File("next"), "[Main]\nKey=X\n");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, dir.File("next").c_str(), times, 0), 0);
    ASSERT_EQ(rename(dir.File("next").c_str(), file.c_str()), 0);
    EXPECT_EQ(Value(file), "X");

    ASSERT_EQ(unlink(file.c_str()), 0);
    EXPECT_EQ(Value(file), "none");
}

TEST(ProfileCache, WritesAreSeenAtOnceAndBuildOnEachOther)
{
    ScratchDir dir;
    const std::string file = dir.File("Options.ini");
    WriteText(file, "[Main]\nKey=old\n");
    ASSERT_EQ(Value(file), "old");
    for (const char* value : {"a", "bb", "c"}) {
        ASSERT_TRUE(plat::WritePrivateProfileString("Main", "Key", value, file));
        EXPECT_EQ(Value(file), value);
    }
    ASSERT_TRUE(plat::WritePrivateProfileString("Other", "More", "1", file));
    EXPECT_EQ(ReadText(file), "[Main]\nKey=c\n\n[Other]\nMore=1\n");
}

TEST(ProfileCache, FileThatCannotBeReadIsNeitherReadNorReplaced)
{
    ScratchDir dir;
    const std::string file = dir.File("Options.ini");
    ASSERT_TRUE(plat::CreateDirectory(file));
    EXPECT_EQ(Value(file), "none");
    EXPECT_FALSE(plat::WritePrivateProfileString("Main", "Key", "1", file));
    EXPECT_TRUE(plat::DirectoryExists(file));

    if (geteuid() != 0) { // the superuser reads whatever the mode says
        const std::string locked = dir.File("Locked.ini");
        WriteText(locked, "[Main]\nKey=mine\n");
        ASSERT_EQ(chmod(locked.c_str(), 0), 0);
        EXPECT_FALSE(plat::WritePrivateProfileString("Main", "Other", "1", locked));
        ASSERT_EQ(chmod(locked.c_str(), 0644), 0);
        EXPECT_EQ(ReadText(locked), "[Main]\nKey=mine\n");
    }
}

} // namespace

// Settings written as the file holds them already leave it alone (a start
// that changed nothing does not rewrite it); several keys change with one
// replacement of the file, the lines around them kept.
TEST(ProfileWrites, UnchangedValuesLeaveTheFileAndSeveralKeysGoInOneWrite)
{
    ScratchDir dir;
    const std::string file = dir.File("Options.ini");
    WriteText(file, "; kept\n[Settings]\nWidth = 640\nHeight=\"480\"\n");
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    ASSERT_TRUE(plat::WritePrivateProfileStrings("Settings", {{"Width", "640"}, {"Height", "480"}}, file));
    ASSERT_TRUE(plat::WritePrivateProfileString("settings", "width", "640", file));
    struct stat after {};
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino); // not replaced
    EXPECT_EQ(ReadText(file), "; kept\n[Settings]\nWidth = 640\nHeight=\"480\"\n");

    ASSERT_TRUE(
        plat::WritePrivateProfileStrings("Settings", {{"Width", "800"}, {"Height", "480"}, {"Sync", "1"}}, file));
    struct stat changed {};
    ASSERT_EQ(stat(file.c_str(), &changed), 0);
    EXPECT_NE(changed.st_ino, before.st_ino);
    EXPECT_EQ(ReadText(file), "; kept\n[Settings]\nWidth=800\nHeight=\"480\"\nSync=1\n");
}
