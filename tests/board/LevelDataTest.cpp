// The level-file parser: texts in, the result and the exact log lines out,
// and the record the accepted files give.
#include "board/LevelData.h"

#include "TestSupport.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

class LevelDataTest : public ::testing::Test {
protected:
    // Parses `text` as a level file; the log it wrote goes to `log`.
    int Parse(const std::string& text, CLevelData& level)
    {
        WriteText(Path(), text);
        capture.Clear();
        const int result = level.Parse(Path());
        log = capture.Text();
        return result;
    }
    std::string Path() const { return dir.File("l1.lvl"); }

    ScratchDir dir;
    testing_support::LogCapture capture;
    std::string log;
};

std::string Rows8(const char* row)
{
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += std::string(row) + "\n";
    return text;
}

TEST_F(LevelDataTest, ResultAndLogLineOfEachText)
{
    // "@" stands for the file's path.
    struct Case {
        const char* name;
        std::string text;
        int result;
        const char* log;
    };
    const Case cases[] = {
        {"comments only", "# nothing here\n\n   # still nothing\n", 1, ""},
        {"lower-case keywords", "gemscount 7 set { 0 1 2 3 4 } begin { aabbaabb }", 1, ""},
        {"four colours warn", "SET { 0 1 2 3 }", 1, " Warning! Caps set is less than 5! @ \n"},
        {"colour 7", "SET {\n 0 1 7 }", 0, " Unexpected token \"7\", line 2 of @!\n"},
        {"negative colour", "SET { -1 }", 0, " Unexpected token \"-1\", line 1 of @!\n"},
        {"groups beyond colours", "SET { 0 1 2 3 4 }\nBEGIN { A 3 B 4 }", 0,
         " Error! Caps set is less than Groups size! @ \n"},
        {"groups within seven", "SET { 0 1 2 3 4 5 6 }\nBEGIN { A 3 B 4 }", 1, ""},
        {"groups without SET", "BEGIN { A 3 B 4 }", 1, ""},
        {"short row", "GEMS {\n\"--g----\" }", 0, " Unexpected token \"\"--g----\"\", line 2 of @!\n"},
        {"ninth row", "GEMS {\n" + Rows8("--------") + "gggggggg }", 1, " Warning! To many Lines @"},
        {"unknown keyword", "\n\nCOLOURS { 1 }", 0, " Unexpected token \"COLOURS\", line 3 of @!\n"},
        {"quoted keyword", "\"SET\" { 1 }", 0, " Unexpected token \"\"SET\"\", line 1 of @!\n"},
        {"no brace after BEGIN", "BEGIN xxxxxxxx", 0, " Unexpected token \"xxxxxxxx\", line 1 of @!\n"},
        {"no brace after a list letter", "BEGIN { I 1 }", 0, " Unexpected token \"1\", line 1 of @!\n"},
        {"end inside SET", "SET { 0 1", 0, " Unexpected end of file @ !\n"},
        {"end after GEMSCOUNT", "GEMSCOUNT", 0, " Unexpected end of file @ !\n"},
        {"negative bonus level", "BONUS { LEVEL 2 -1 }", 0, " Unexpected token \"-1\", line 1 of @!\n"},
        // Numbers the parser refuses where the runtime would have taken a
        // part of them or wrapped round.
        {"list colour 7", "BEGIN { I { 2 7 } }", 0, " Unexpected token \"7\", line 1 of @!\n"},
        {"negative group size", "BEGIN { A -2 }", 0, " Unexpected token \"-2\", line 1 of @!\n"},
        {"bonus index 6", "BONUS { LEVEL 6 1 }", 0, " Unexpected token \"6\", line 1 of @!\n"},
        {"bonus index -1", "BONUS { level -1 1 }", 0, " Unexpected token \"-1\", line 1 of @!\n"},
        {"gem count beyond 32 bits", "GEMSCOUNT 99999999999", 0,
         " Unexpected token \"99999999999\", line 1 of @!\n"},
        {"steel rate above 1", "STEEL 1.5 2", 0, " Unexpected token \"1.5\", line 1 of @!\n"},
        {"lock rate below 0", "LOCK -0.01 2", 0, " Unexpected token \"-0.01\", line 1 of @!\n"},
        {"rate not finite", "LOCK nan 2", 0, " Unexpected token \"nan\", line 1 of @!\n"},
        {"colour 7 from its leading digit", "SET { 7.5 }", 0, " Unexpected token \"7.5\", line 1 of @!\n"},
        // Text that is not a whole number reads as the C library reads it,
        // with a word in the log, and the rest of the file still counts.
        {"gem count not a number", "GEMSCOUNT twelve", 1,
         " Warning! \"twelve\" is not a number, read as 0, line 1 of @\n"},
        {"lock cap not a number", "LOCK 0.01 x", 1, " Warning! \"x\" is not a number, read as 0, line 1 of @\n"},
        {"empty file", "", 1, " Warning! Level file @ is empty: the level's own settings stand\n"},
        {"blank file", " \n\t\r\n", 1, " Warning! Level file @ is empty: the level's own settings stand\n"},
        {"gem goal beyond a level", "GEMSCOUNT 2147483647", 1,
         " Warning! Gem goal 2147483647 of @ is more than a level can deliver, 99 stands\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLevelData level;
        EXPECT_EQ(Parse(c.text, level), c.result);
        EXPECT_EQ(level.notParsed, c.result ? 0 : 1);
        std::string expected = c.log;
        const size_t at = expected.find('@');
        if (at != std::string::npos)
            expected.replace(at, 1, Path());
        EXPECT_EQ(log, expected);
    }
}

// What the C library reads from a number's text is what the record holds.
TEST_F(LevelDataTest, NumbersReadAsTheCLibraryReadsThem)
{
    struct Case {
        const char* text;
        int32_t gems;
        float steel;
    };
    const Case cases[] = {
        {"GEMSCOUNT 12.0 STEEL 0.5 1", 12, 0.5f},  {"GEMSCOUNT 1e0 STEEL 1e0 1", 1, 1.0f},
        {"GEMSCOUNT 3.7 STEEL 0.25e 1", 3, 0.25f}, {"GEMSCOUNT abc STEEL abc 1", 0, 0.0f},
        {"GEMSCOUNT 12ab STEEL 0.1 1", 12, 0.1f},  {"GEMSCOUNT 99 STEEL 0 1", 99, 0.0f},
        {"GEMSCOUNT 100 STEEL 0 1", 99, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CLevelData level;
        ASSERT_EQ(Parse(std::string(c.text) + "\nGEMS { \"g-------\" }", level), 1);
        EXPECT_EQ(level.gemsCount, c.gems);
        EXPECT_FLOAT_EQ(level.steelRate, c.steel);
        EXPECT_EQ(level.steelCap, 1);
        EXPECT_EQ(level.gemRows[0], "g-------"); // the layout is kept
    }
}

// A folder where the level file should be is no level: the level's own
// settings stand, and the log names it.
TEST_F(LevelDataTest, AFolderInPlaceOfTheFileIsNamed)
{
    ASSERT_TRUE(plat::CreateDirectory(Path()));
    CLevelData level;
    capture.Clear();
    EXPECT_EQ(level.Parse(Path()), 0);
    EXPECT_EQ(capture.Text(), " Warning! File " + Path() + " is a folder, not a file: it is not read\n" +
                                  " Warning! Level file " + Path() +
                                  " cannot be read: the level's own settings stand\n");
}

TEST_F(LevelDataTest, MissingFileSaysItIsProbablyNoError)
{
    CLevelData level;
    capture.Clear();
    EXPECT_EQ(level.Parse(dir.File("l77.lvl")), 0);
    EXPECT_EQ(capture.Text(), " Unable to open file " + dir.File("l77.lvl") + " probably this is not error\n");
    EXPECT_EQ(level.notParsed, 1);
}

TEST_F(LevelDataTest, DefaultsStandForWhatTheFileLeavesOut)
{
    CLevelData level;
    ASSERT_EQ(Parse("# a level without entries\n", level), 1);
    EXPECT_EQ(level.gemsCount, -1);
    EXPECT_TRUE(level.colours.empty());
    EXPECT_EQ(level.steelCap, -1);
    EXPECT_EQ(level.lockCap, -1);
    for (int r = 0; r < CLevelData::kRows; ++r) {
        EXPECT_EQ(level.beginRows[r], "xxxxxxxx");
        EXPECT_EQ(level.lockRows[r], "--------");
        EXPECT_EQ(level.gemRows[r], "--------");
        EXPECT_EQ(level.fixedRows[r], "--------");
        EXPECT_EQ(level.bonusRows[r], "--------");
    }
    for (int32_t value : level.bonusLevels)
        EXPECT_EQ(value, -1);
}

TEST_F(LevelDataTest, EntriesFillTheRecord)
{
    CLevelData level;
    ASSERT_EQ(Parse("GEMSCOUNT 25  # the goal\n"
                    "SET { 0 2 3 }\nSET { 4 5 }\n"
                    "STEEL 0.01 3\nLock 0.25 2\n"
                    "BEGIN {\n"
                    "  A 2 B 1\n"
                    "  I { 1 6 } J { } K { 3 }\n"
                    "  aabbaabb\n"
                    "  \"ABxxxxxxyyyy\"\n"
                    "  xx0123xx\n"
                    "}\n"
                    "BEGIN { \"ssxxxxxx\" }\n"
                    "LOCKS { \"---1----\" }\n"
                    "BONUS { level 3 2 \"--0-5---\" }\n"
                    "FIXED { \"ff------\" }\n"
                    "GEMS { \"g------g\" \"-g------\" }\n"
                    "GEMSCOUNT 30\n",
                    level),
              1);
    EXPECT_EQ(level.gemsCount, 30); // a later scalar overwrites
    EXPECT_EQ(level.colours, (std::vector<int32_t>{0, 2, 3, 4, 5}));
    EXPECT_FLOAT_EQ(level.steelRate, 0.01f);
    EXPECT_EQ(level.steelCap, 3);
    EXPECT_FLOAT_EQ(level.lockRate, 0.25f);
    EXPECT_EQ(level.lockCap, 2);
    EXPECT_EQ(level.groupLetters, (std::vector<char>{'A', 'B'}));
    EXPECT_EQ(level.groupSizes, (std::vector<int32_t>{2, 1}));
    // An empty list adds nothing.
    EXPECT_EQ(level.listLetters, (std::vector<char>{'I', 'K'}));
    EXPECT_EQ(level.lists, (std::vector<std::vector<int32_t>>{{1, 6}, {3}}));
    // The second BEGIN starts again at the first row; a long row keeps its
    // first eight characters.
    EXPECT_EQ(level.beginRows[0], "ssxxxxxx");
    EXPECT_EQ(level.beginRows[1], "ABxxxxxx");
    EXPECT_EQ(level.beginRows[2], "xx0123xx");
    EXPECT_EQ(level.beginRows[3], "xxxxxxxx");
    EXPECT_EQ(level.lockRows[0], "---1----");
    EXPECT_EQ(level.bonusLevels[3], 2);
    EXPECT_EQ(level.fixedRows[0], "ff------");
    EXPECT_EQ(level.gemRows[0], "g------g");
    EXPECT_EQ(level.gemRows[1], "-g------");
}

TEST_F(LevelDataTest, BonusRowsAreUpperCasedAndANinthRowIsDropped)
{
    CLevelData level;
    ASSERT_EQ(Parse("BONUS { abcdefgh }\nGEMS {\n" + Rows8("\"g-------\"") + "\"-------g\" }", level), 1);
    EXPECT_EQ(level.bonusRows[0], "ABCDEFGH");
    for (int r = 0; r < CLevelData::kRows; ++r)
        EXPECT_EQ(level.gemRows[r], "g-------");
}

TEST(LevelDataGroups, CheckGroupsComparesTheSumOfSizes)
{
    CLevelData level;
    EXPECT_TRUE(level.CheckGroups(0));
    level.groupSizes = {2, 3};
    EXPECT_FALSE(level.CheckGroups(4));
    EXPECT_TRUE(level.CheckGroups(5));
    // Sizes near the 32-bit limit must not wrap round to a small sum.
    level.groupSizes = {2147483647, 2147483647};
    EXPECT_FALSE(level.CheckGroups(7));
}

} // namespace
