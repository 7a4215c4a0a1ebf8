// The shop's item table, its tip texts and its skin, without a screen: the
// limits by quest level, a new quest, the levels as the balance takes them,
// a save's levels held to what the table can show, "Shop.txt" and the
// "Shop" section of "Skin.cfg" with what a player may have written there.
#include "balance/BalanceState.h"
#include "engine/Log.h"
#include "engine/Random.h"
#include "shop/ShopItemTable.h"
#include "shop/ShopSkin.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

using Levels = std::array<int32_t, CShopItemTable::kItems>;

TEST(ShopItemTable, LimitsOpenUpWithTheQuest)
{
    struct Case {
        int levelNumber;
        Levels limits;
    } cases[] = {
        {1, {-1, -1, -1, -1, -1, -1, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1}},
        {2, {-1, -1, -1, -1, -1, -1, 0, 0, 1, -1, 1, -1, -1, -1, -1, -1}},
        {15, {1, 1, -1, 1, 2, 2, 1, 2, 2, 1, 2, 1, 1, 2, 1, 1}},
        {39, {4, 4, 3, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3}},
        {40, {4, 4, 3, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3}},
    };
    CShopItemTable table;
    for (const Case& c : cases) {
        table.SetLimits(c.levelNumber);
        EXPECT_EQ(table.limits, c.limits) << c.levelNumber;
    }
    // The blue totem stops at 3; the flash opens in three steps.
    struct One {
        int item, levelNumber, limit;
    } ones[] = {{2, 36, 2}, {2, 37, 3}, {2, 1000, 3}, {13, 4, -1}, {13, 5, 1},
                {13, 8, 1}, {13, 9, 2}, {13, 20, 2},  {13, 21, 3}};
    for (const One& o : ones) {
        table.SetLimits(o.levelNumber);
        EXPECT_EQ(table.limits[static_cast<size_t>(o.item)], o.limit) << o.item << " at " << o.levelNumber;
    }
}

TEST(ShopItemTable, ANewQuestOffersOnlyTheRulesAndNoBonus)
{
    CShopItemTable table;
    table.levels.fill(3);
    table.ResetLevels();
    EXPECT_EQ(table.levels, (Levels{-1, -1, -1, -1, -1, -1, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1}));
    CBalanceState balance;
    balance.Reset(0, 1);
    table.ApplyToBalance(balance);
    EXPECT_EQ(balance.timeLimit, 240.0f);
    EXPECT_EQ(balance.item7Value, 10.0f);
    EXPECT_EQ(balance.item8Value, 4);
    EXPECT_EQ(balance.bonusSlots, std::vector<int32_t>(6, -1));
    int32_t kind = 0, value = 0;
    CRandomStream random(3);
    EXPECT_FALSE(balance.PickSlot(false, &kind, &value, random));
    EXPECT_FALSE(balance.PickSlot(true, &kind, &value, random));
}

TEST(ShopItemTable, TheLevelsGoToTheBalanceByKind)
{
    struct Case {
        int32_t level;
        float time, sandGlass;
        int32_t gems;
    } rules[] = {{0, 240, 10, 4}, {1, 300, 15, 5}, {2, 330, 20, 6}, {3, 360, 25, 7}, {4, 390, 30, 8}};
    CShopItemTable table;
    CBalanceState balance;
    for (const Case& c : rules) {
        table.levels[CShopItemTable::kTimeItem] = c.level;
        table.levels[CShopItemTable::kSandGlassItem] = c.level;
        table.levels[CShopItemTable::kGemsItem] = c.level;
        table.ApplyToBalance(balance);
        EXPECT_EQ(balance.timeLimit, c.time) << c.level;
        EXPECT_EQ(balance.item7Value, c.sandGlass) << c.level;
        EXPECT_EQ(balance.item8Value, c.gems) << c.level;
    }
    // TNT, flash, time, adviser, score, solidarity take items 10, 13, 12, 15,
    // 11, 14: each a level of its own here.
    for (int i = 10; i <= 15; ++i)
        table.levels[static_cast<size_t>(i)] = i - 12;
    table.ApplyToBalance(balance);
    EXPECT_EQ(balance.bonusSlots, (std::vector<int32_t>{-2, 1, 0, 3, -1, 2}));

    // Only a bought kind comes to play: TNT alone.
    for (int i = 10; i <= 15; ++i)
        table.levels[static_cast<size_t>(i)] = i == 10 ? 2 : -1;
    table.ApplyToBalance(balance);
    CRandomStream random(5);
    for (int k = 0; k < 20; ++k) {
        int32_t kind = 0, value = 0;
        ASSERT_TRUE(balance.PickSlot(k % 2 == 0, &kind, &value, random));
        EXPECT_EQ(kind, 2);
    }
}

// A save's levels are held to what the shop of the level it goes on from
// can have sold: nothing but the rule items' 0 before level 2, the limits
// opened so far in between, the items' maxima once every limit is open.
TEST(ShopItemTable, ASavesLevelsAndStarsAreHeldToWhatTheLevelsShopCanHaveSold)
{
    const int32_t saved[CShopItemTable::kItems] = {99, -5, 4, 2, -1, 0, -1, 5, 1000, 4, 3, 4, -7, 0, 2, 1};
    struct Case {
        int level;
        Levels held;
    } cases[] = {
        {1, {-1, -1, -1, -1, -1, -1, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1}},
        {12, {1, -1, -1, 1, -1, 0, 0, 1, 2, 1, 1, 1, -1, 0, 1, 1}},
        {42, {4, -1, 3, 2, -1, 0, 0, 4, 4, 4, 3, 3, -1, 0, 2, 1}},
    };
    for (const Case& c : cases) {
        CShopItemTable table;
        table.RestoreSaved(saved, 5000, c.level);
        EXPECT_EQ(table.levels, c.held) << "level " << c.level;
        EXPECT_EQ(table.goldenStars, 1000);
    }
    CShopItemTable table;
    table.RestoreSaved(saved, -3, 12);
    EXPECT_EQ(table.goldenStars, 0);
}

class ShopDescriptions : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDataFoldersForTests(dir.Path(), dir.Path());
        SetLogName("Objects.log");
        ClearLog();
    }
    void TearDown() override { testing_support::ResetDataFolders(); }
    std::string Log() const { return testing_support::ReadText(dir.File("Objects.log")); }
    // A file with `body` after its first line, then a '#' line for every
    // text still to come, each text "t".
    std::string FileWith(const std::string& body, int textsAfter) const
    {
        std::string text = "Shop tips\n" + body;
        for (int i = 0; i < textsAfter; ++i)
            text += "t\n#\n";
        WriteText(dir.File("Shop.txt"), text);
        return dir.File("Shop.txt");
    }
    ScratchDir dir;
};

// A file whose count of texts is wrong would put tips on the wrong items:
// it is refused whole, every tip stays empty, and the log names it.
TEST_F(ShopDescriptions, AMissingFileOrOneWithTheWrongCountOfTextsIsNamedAndLeavesEveryTipEmpty)
{
    CShopItemTable table;
    EXPECT_FALSE(table.LoadDescriptions(dir.File("None.txt")));
    EXPECT_EQ(Log(), " File " + dir.File("None.txt") + " not found!\n");
    ClearLog();

    const std::string named = " Warning! " + dir.File("Shop.txt") + " ";
    WriteText(dir.File("Shop.txt"), "first line only\n");
    EXPECT_FALSE(table.LoadDescriptions(dir.File("Shop.txt")));
    EXPECT_EQ(Log(),
              " Error loading description text\n" + named + "holds 0 of its 267 texts: every tip stays empty\n");
    ClearLog();

    // A whole file first; then two texts and the end, or a text too many:
    // not one of them stays.
    ASSERT_TRUE(table.LoadDescriptions(FileWith("", 267)));
    WriteText(dir.File("Shop.txt"), "first\nbar\n#\npictures\n#\nplus");
    EXPECT_FALSE(table.LoadDescriptions(dir.File("Shop.txt")));
    EXPECT_EQ(Log(),
              " Error loading description text\n" + named + "holds 2 of its 267 texts: every tip stays empty\n");
    for (int kind = 0; kind < 3; ++kind)
        EXPECT_EQ(table.Description(kind, 0, 0), "");
    ClearLog();
    EXPECT_FALSE(table.LoadDescriptions(FileWith("", 268)));
    EXPECT_EQ(Log(), named + "holds more than its 267 texts: every tip stays empty\n");
    EXPECT_EQ(table.Description(2, 15, table.Entries(15) - 1), "");
    ClearLog();
    // A NUL byte inside a text: the file is damaged, not a text cut short.
    WriteText(dir.File("Shop.txt"), testing_support::ReadText(FileWith("", 267)).insert(20, std::string(1, '\0')));
    EXPECT_FALSE(table.LoadDescriptions(dir.File("Shop.txt")));
    EXPECT_EQ(Log(), named + "holds a NUL byte: every tip stays empty\n");
    // Blank lines after the last text are no text.
    const std::string whole = testing_support::ReadText(FileWith("", 267));
    WriteText(dir.File("Shop.txt"), whole + "\n \r\n");
    EXPECT_TRUE(table.LoadDescriptions(dir.File("Shop.txt"))) << Log();
}

TEST_F(ShopDescriptions, ATextIsItsLinesUpToALineThatStartsWithAHash)
{
    const std::string longLine(5000, 'x');
    // A "\r\n" line end where a long line is cut into pieces.
    const std::string cutAtItsEnd(4094, 'y');
    // Item 0's first entry: a text of two lines, an empty text, a text ended
    // by "#" with more on its line; then a line of 5000 characters, read in
    // pieces that keep together; then the rest.
    CShopItemTable table;
    ASSERT_TRUE(table.LoadDescriptions(
        FileWith("one\r\r\ntwo\r\n#\n#\nthree\n# dropped\n" + longLine + "\n#\n" + cutAtItsEnd + "\r\n#\n", 262)))
        << Log();
    EXPECT_EQ(table.Description(0, 0, 0), "one\ntwo\n");
    EXPECT_EQ(table.Description(1, 0, 0), "");
    EXPECT_EQ(table.Description(2, 0, 0), "three\n");
    EXPECT_EQ(table.Description(0, 0, 1), longLine + "\n");
    EXPECT_EQ(table.Description(1, 0, 1), cutAtItsEnd + "\n");
    EXPECT_EQ(table.Description(2, 0, 1), "t\n");
    // The last text of all: item 15 at its highest level, its "+".
    EXPECT_EQ(table.Description(2, 15, table.Entries(15) - 1), "t\n");
    EXPECT_EQ(table.Description(2, 15, table.Entries(15)), "");
    EXPECT_EQ(Log(), "");
}

TEST(ShopSkin, WithoutTheFileEveryValueIsItsDefault)
{
    ScratchDir dir;
    const ShopSkin s = ReadShopSkin(dir.File("Skin.cfg"), "Shop");
    EXPECT_EQ(s.starFlySpeed, 2500.0f);
    EXPECT_FLOAT_EQ(s.panelLeft.x, -131.5f);
    EXPECT_FLOAT_EQ(s.panelLeft.y, -358.5f);
    EXPECT_EQ(s.panelWidth, 264.0f);
    EXPECT_FLOAT_EQ(s.sandboxFront.x, 1.5f);
    EXPECT_FLOAT_EQ(s.sandboxFront.y, 50.5f);
    EXPECT_FLOAT_EQ(s.sandboxFront.z, -20.0f);
    EXPECT_FLOAT_EQ(s.sandboxFrontT.x, 0.31640625f);
    EXPECT_FLOAT_EQ(s.sandboxFrontT.y, 0.859375f);
    EXPECT_FLOAT_EQ(s.sandboxFrontT.z, 0.6640625f);
    EXPECT_FLOAT_EQ(s.sandboxFrontT.w, 0.9765625f);
    EXPECT_FLOAT_EQ(s.raysSpeed, 0.3926991f);
    EXPECT_FLOAT_EQ(s.starShifts[1][3].x, 31.0f);
    EXPECT_FLOAT_EQ(s.starShifts[1][3].y, 5.0f); // "31 -5": 5 down in the file is 5 up on screen
    EXPECT_EQ(s.sandboxDustColor, 0x7FF7D96Bu);
    EXPECT_FLOAT_EQ(s.sandboxDustAlpha, 127.0f / 255.0f);
    // What the defaults of the constructor hold equals what the reader
    // makes of the compiled defaults.
    const ShopSkin built;
    EXPECT_EQ(built.sandboxGlassColor, s.sandboxGlassColor);
    EXPECT_FLOAT_EQ(built.sandboxGlassT.y, s.sandboxGlassT.y);
    EXPECT_EQ(built.stubT, s.stubT);
}

TEST(ShopSkin, TimesThatDivideAndAlphasOutOfRangeTakeTheirDefaults)
{
    ScratchDir dir;
    struct Case {
        const char* value;
        bool kept;
    } cases[] = {{"0", false}, {"-1", false}, {"nan", false}, {"inf", false}, {"0.25", true}};
    for (const Case& c : cases) {
        std::string text = "[Shop]\nSandboxRaysW=0.25\n";
        for (const char* key : {"StarFlySpeed", "StubT", "PointersT", "StubHaloLifeTime", "PointersLifeTime"})
            text += std::string(key) + "=" + c.value + "\n";
        text += std::string("DisabledAlpha=") + (c.kept ? "2" : c.value) + "\nStarsSrcPanel=381 743 -40\n";
        WriteText(dir.File("Skin.cfg"), text);
        const ShopSkin s = ReadShopSkin(dir.File("Skin.cfg"), "Shop");
        SCOPED_TRACE(c.value);
        EXPECT_EQ(s.starFlySpeed, c.kept ? 0.25f : 2500.0f);
        EXPECT_EQ(s.stubT, c.kept ? 0.25f : 0.4f);
        EXPECT_EQ(s.pointersT, c.kept ? 0.25f : 1.0f);
        EXPECT_EQ(s.stubHaloLifeTime, c.kept ? 0.25f : 0.5f);
        EXPECT_EQ(s.pointersLifeTime, c.kept ? 0.25f : 1.0f);
        EXPECT_GE(s.disabledAlpha, 0.0f);
        EXPECT_LE(s.disabledAlpha, 1.0f);
        EXPECT_EQ(s.panelWidth, 0.0f);
        EXPECT_FLOAT_EQ(s.raysSpeed, -0.7853982f);
    }
}

} // namespace
