#include "engine/StringTable.h"
#include "engine/Log.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testing_support::ReadText;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

class StringTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDataFoldersForTests(dir.Path(), dir.Path());
        SetLogName("Objects.log");
        ClearLog();
    }
    void TearDown() override
    {
        ClearStrings();
        testing_support::ResetDataFolders();
    }
    int Load(const std::string& text)
    {
        WriteText(dir.File("Strings.txt"), text);
        return LoadStrings(dir.File("Strings.txt"));
    }
    std::string Log() { return ReadText(dir.File("Objects.log")); }
    ScratchDir dir;
};

TEST_F(StringTableTest, LoadsNamesAndIdsWithEscapes)
{
    ASSERT_EQ(Load("strings\n"
                   "HELLO \"Two\\nlines\"\n"
                   "SLASH \"a\\\\b\"\n"
                   "OTHER \"keep\\x and tab\\tend\\\\\"\n"
                   "QUOTED \"Click \\\"+\\\" here\"\n"
                   "ids \"taken as a name\"\n"
                   "HELLO \"second text is ignored\"\n"
                   "IDs\n"
                   "define HELLO 10\ndefine SLASH 11\ndefine OTHER 12\ndefine HELLO 99\ndefine QUOTED 13\n"),
              1);
    EXPECT_EQ(GetString(10), "Two\nlines");
    EXPECT_EQ(GetString(11), "a\\b");
    EXPECT_EQ(GetString(12), "keep\\x and tab\tend\\");
    EXPECT_EQ(GetString(13), "Click \"+\" here");
    EXPECT_EQ(GetString(99), "");
    EXPECT_NE(Log().find("Warning! Unable to find string ID ids\n"), std::string::npos);
}

TEST_F(StringTableTest, GetStringCutsToTheBuffer)
{
    ASSERT_EQ(Load("STRINGS\nLONG \"abcdefghijklmnopqrst\"\nIDs\ndefine LONG 1\n"), 1);
    char buffer[8];
    EXPECT_EQ(GetString(1, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "abcdefg");
    char big[64];
    EXPECT_EQ(GetString(1, big, sizeof big), 20);
    EXPECT_EQ(GetString(2, big, sizeof big), 0);
    EXPECT_STREQ(big, "");
}

TEST_F(StringTableTest, FormatErrorsLeaveTheTableEmpty)
{
    const char* bad[] = {
        "NOTSTRINGS\nA \"x\"\nIDs\n",
        "STRINGS\nA \"x\"\nIDs\nundefine A 1\n",
        "STRINGS\nA \"x\"\nB",
        "STRINGS\nA \"x\"\nIDs\ndefine A",
    };
    for (const char* text : bad) {
        EXPECT_EQ(Load(text), 0) << text;
        EXPECT_EQ(GetString(1), "") << text;
    }
    EXPECT_NE(Log().find("Bad file format"), std::string::npos);
}

TEST_F(StringTableTest, EndingRightAfterIdsWarnsForEveryName)
{
    EXPECT_EQ(Load("STRINGS\nA \"x\"\nB \"y\"\nIDs"), 1);
    EXPECT_NE(Log().find("Warning! Unable to find string ID A\n"), std::string::npos);
    EXPECT_NE(Log().find("Warning! Unable to find string ID B\n"), std::string::npos);
}

TEST_F(StringTableTest, MissingFileIsLogged)
{
    EXPECT_EQ(LoadStrings(dir.File("none.txt")), 0);
    EXPECT_NE(Log().find("Unable to open file " + dir.File("none.txt") + "\n"), std::string::npos);
}

TEST(ShippedStrings, LoadWithoutWarnings)
{
    ASSERT_EQ(LoadStrings("Data\\Txt\\Strings.txt"), 1);
    EXPECT_EQ(GetString(1), "FPS: %.2f");
    ClearStrings();
}

} // namespace
