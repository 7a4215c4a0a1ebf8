// Levels on the board: a level file's difficulty, the first fill from its
// start layout (letters, groups, chains, fixed tokens, gems), the fallback
// of a layout that cannot be played, the animated reshuffle and the fill
// after it, and a saved board restored.
#include "BonusBoardRig.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using board_rig::BoardRig;
using board_rig::NoMoveGrid;
using board_rig::PlaceGrid;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

constexpr int32_t kSteelCode = kSteelColour + 1;

class LevelFill : public ::testing::Test {
protected:
    // Starts a level (by default level 1, five colours) with `text` as its
    // file; whether the file parsed.
    bool Load(const std::string& text, int level = 1, bool hard = false, int32_t gems = 5,
              Lesson lesson = Lesson::None)
    {
        WriteText(dir.File("l.lvl"), text);
        setup = LevelSetup(level, hard, gems);
        const bool parsed = LoadLevelFile(&setup, dir.File("l.lvl"));
        setup.lesson = lesson;
        rig.board->StartLevel(setup);
        return parsed;
    }
    bool Shuffle() { return rig.Probe().Shuffle(0, 0); }
    int32_t Code(int column, int row) { return rig.Probe().Analyser().Cell(column, row); }

    ScratchDir dir;
    testing_support::LogCapture capture;
    board_rig::BonusBoardRig rig;
    BoardSetup setup;
};

std::string Begin(const std::vector<std::string>& rows, const std::string& items = "")
{
    std::string text = "BEGIN { " + items + "\n";
    for (const std::string& row : rows)
        text += "  \"" + row + "\"\n";
    return text + "}\n";
}

TEST_F(LevelFill, FileOverridesTheLevelNumberAndHardModeTempersIt)
{
    struct Case {
        const char* text;
        bool hard;
        float steelRate;
        int32_t steelCap;
        float lockRate;
        int32_t lockCap;
        size_t colours;
        int32_t gems;
    };
    // Level 14 gives steel 0.006 / 1, chains 0.0115 / 1, seven colours and
    // gems 70 (set by the caller); hard mode chains 0.016 / 2.
    const Case cases[] = {
        {"STEEL 0.01 3", false, 0.01f, 3, 0.0115f, 1, 7, 70},
        {"STEEL 0.01 3", true, 0.0125f, 2, 0.016f, 2, 7, 70},
        {"STEEL 0.02 1", true, 0.025f, 0, 0.016f, 2, 7, 70},
        {"LOCK 0.5 4 SET { 0 2 4 6 5 }", false, 0.006f, 1, 0.5f, 4, 5, 70},
        {"GEMSCOUNT 0", false, 0.006f, 1, 0.0115f, 1, 7, 0},
        {"GEMSCOUNT 23", false, 0.006f, 1, 0.0115f, 1, 7, 23},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << (c.hard ? " hard" : ""));
        ASSERT_TRUE(Load(c.text, 14, c.hard, 70));
        EXPECT_FLOAT_EQ(setup.steelRate, c.steelRate);
        EXPECT_EQ(setup.steelCap, c.steelCap);
        EXPECT_NEAR(setup.lockRate, c.lockRate, 1e-6f);
        EXPECT_EQ(setup.lockCap, c.lockCap);
        EXPECT_EQ(setup.colours.size(), c.colours);
        EXPECT_EQ(setup.gemGoal, c.gems);
        EXPECT_EQ(rig.board->GemsToPlace(), c.gems);
        EXPECT_EQ(rig.board->GemsToCollect(), c.gems);
    }
    // A file that fails changes nothing but the level record.
    EXPECT_FALSE(Load("GEMSCOUNT 4 SET { 9 }", 3, false, 70));
    EXPECT_EQ(setup.colours.size(), 5u);
    EXPECT_EQ(rig.board->GemsToPlace(), 70);
    EXPECT_EQ(rig.board->LevelData()->notParsed, 1);
}

TEST_F(LevelFill, EqualLettersShareAColourAndDifferentLettersDiffer)
{
    for (uint32_t seed = 0; seed < 20; ++seed) {
        SCOPED_TRACE(seed);
        rig.random.Seed(seed);
        // Level 1: five colours.
        ASSERT_TRUE(Load(Begin(
            {"aabbaabb", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "aabbaabb", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx"})));
        ASSERT_TRUE(Shuffle());
        const int32_t a = Code(0, 0), b = Code(2, 0);
        EXPECT_NE(a, b);
        for (int r : {0, 4})
            for (int c = 0; c < 8; ++c)
                EXPECT_EQ(Code(c, r), (c / 2) % 2 ? b : a) << c << " " << r;
    }
}

TEST_F(LevelFill, GroupsDrawFromColoursOfTheirOwn)
{
    std::set<int32_t> all;
    for (uint32_t seed = 0; seed < 20; ++seed) {
        SCOPED_TRACE(seed);
        rig.random.Seed(seed);
        ASSERT_TRUE(Load(
            Begin({"AxAxBxBx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "AxAxBxBx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx"},
                  "A 2 B 3")));
        ASSERT_TRUE(Shuffle());
        std::set<int32_t> as, bs;
        for (int r : {0, 4})
            for (int c = 0; c < 8; c += 2)
                (c < 4 ? as : bs).insert(Code(c, r));
        EXPECT_LE(as.size(), 2u);
        EXPECT_LE(bs.size(), 3u);
        for (int32_t code : as)
            EXPECT_EQ(bs.count(code), 0u) << code;
        all.insert(as.begin(), as.end());
    }
    EXPECT_EQ(all.size(), 5u); // every colour serves group A now and then
}

TEST_F(LevelFill, LettersWithoutColoursToTakeAreDrawnLikeX)
{
    rig.random.Seed(8);
    // Level 1's five colours: group A cannot be dealt its nine.
    ASSERT_TRUE(Load(Begin({"AJAJAJAJ", "xxxxxxxx", "JAJAJAJA"}, "A 9")));
    ASSERT_TRUE(Shuffle());
    std::set<int32_t> seen;
    for (int r : {0, 2})
        for (int c = 0; c < 8; ++c)
            seen.insert(Code(c, r));
    EXPECT_GT(seen.size(), 2u);
    for (int32_t code : seen)
        EXPECT_TRUE(code >= 1 && code <= 6 && code != 2) << code; // level 1 has no yellow
}

TEST_F(LevelFill, ChainsFollowTheFileAndZeroKeepsACellFree)
{
    rig.random.Seed(4);
    ASSERT_TRUE(Load("LOCK 1 16\nLOCKS { \"00000000\" \"3-------\" }"));
    Shuffle();
    int chained = 0;
    for (int c = 0; c < 8; ++c) {
        EXPECT_GT(Code(c, 0), 0) << c;
        for (int r = 1; r < 8; ++r)
            chained += Code(c, r) < 0 ? 1 : 0;
    }
    EXPECT_EQ(chained, 16); // the lock cap, the digit's chain counted in it
    EXPECT_LT(Code(0, 1), 0);
}

TEST_F(LevelFill, TheTotemLessonDealsTheOwnedTotemsColourToA)
{
    for (uint32_t seed = 0; seed < 10; ++seed) {
        rig.random.Seed(seed);
        rig.Probe().Totems().levels[4] = 1;
        ASSERT_TRUE(Load("SET { 0 1 2 3 4 5 6 }\n" + Begin({"xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx",
                                                            "xaxaabax", "xaxxxxxx", "xbaxxxxx", "xxxxxxxx"}),
                         6, false, 5, Lesson::Totem));
        Shuffle();
        EXPECT_EQ(rig.board->TutorialColour(), 4);
        EXPECT_EQ(Code(1, 4), 4 + 1) << seed;
        EXPECT_EQ(Code(2, 6), 4 + 1) << seed;
    }
}

TEST_F(LevelFill, ALayoutThatCannotBePlayedFallsBackToRandomLetters)
{
    rig.random.Seed(2);
    ASSERT_TRUE(Load(
        Begin({"s0aaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa", "aaaaaaaa"})));
    capture.Take();
    EXPECT_FALSE(Shuffle());
    EXPECT_EQ(capture.Take(), " Warning! The start layout of " + dir.File("l.lvl") +
                                  " cannot be played; its letters are drawn at random\n");
    EXPECT_EQ(Code(0, 0), kSteelCode);
    EXPECT_EQ(Code(1, 0), 1);
    CMatchAnalyser drawn = rig.Probe().Analyser();
    EXPECT_FALSE(drawn.HasReadyRun(3, false));
    EXPECT_TRUE(drawn.HasPossibleMove(3, false));
}

TEST_F(LevelFill, ALayoutThatCanNeverStandIsKeptWholeAsDrawn)
{
    rig.random.Seed(2);
    ASSERT_TRUE(Load(Begin({"5555xxxx", "xxxxxxxx"}))); // four fixed whites in a row
    capture.Take();
    EXPECT_FALSE(Shuffle());
    const std::string log = capture.Take();
    EXPECT_NE(log.find("cannot be played"), std::string::npos);
    EXPECT_NE(log.find(" Warning! The start layout of " + dir.File("l.lvl") + " is kept as drawn\n"),
              std::string::npos);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            EXPECT_TRUE(Code(c, r) >= 1 && Code(c, r) <= 7) << c << " " << r; // every cell drawn
}

TEST_F(LevelFill, FirstFillPlacesTheFilesTokensGemsChainsAndFixedMarks)
{
    rig.random.Seed(11);
    CGameBoard& b = *rig.board;
    ASSERT_TRUE(Load(
        Begin({"s0xxxxxx", "xx2xxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxxx", "xxxxxxx6"}) +
            "LOCKS { \"--------\" \"--4-----\" }\n"
            "FIXED { \"ff------\" }\n"
            "GEMS { \"gg------\" \"--g-----\" }\n",
        14, false, 10));
    b.FillNow();
    auto at = [&b](int c, int r) -> const CToken& { return *b.Cell(c, r); };
    EXPECT_EQ(at(0, 0).colour, kSteelColour);
    EXPECT_EQ(at(1, 0).colour, 0);
    EXPECT_EQ(at(2, 1).colour, 2);
    EXPECT_EQ(at(7, 7).colour, 6);
    EXPECT_EQ(at(2, 1).chained, 4);
    EXPECT_EQ(at(0, 0).settled, 1);
    EXPECT_EQ(at(1, 0).settled, 1);
    EXPECT_EQ(at(2, 0).settled, 0);
    // The gem cell on steel gets no gem, and costs none of the goal.
    EXPECT_EQ(at(0, 0).gem, 0);
    EXPECT_EQ(at(1, 0).gem, 1);
    EXPECT_EQ(at(2, 1).gem, 1);
    ASSERT_TRUE(at(1, 0).bonus);
    EXPECT_EQ(at(1, 0).bonus->kind, kBonusGem);
    int gems = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            gems += b.Cell(c, r)->gem;
    EXPECT_EQ(gems, 2);
    EXPECT_EQ(b.GemsToPlace(), 8);
    EXPECT_FALSE(rig.Probe().Analyser().HasReadyRun(3, false));
}

TEST_F(LevelFill, AnimatedShuffleDropsEveryTokenAndTheFillBringsTheFixedOnesBack)
{
    rig.random.Seed(6);
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    std::vector<std::string> rows = NoMoveGrid();
    rows[7][2] = 's';
    PlaceGrid(b, rows, {{4, 4}, {5, 5}});
    b.Cell(2, 7)->settled = 1;
    b.Cell(4, 4)->settled = 1;
    b.Cell(4, 4)->SetChained(2);
    const int32_t fixedColour = b.Cell(4, 4)->colour;
    b.SetGemCounts(5, 3);

    b.ShuffleAnimated(1.5f, 30);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            EXPECT_FALSE(b.Cell(c, r));
    EXPECT_EQ(b.GemsToPlace(), 5);
    EXPECT_EQ(probe.FirstFill(), 2);
    EXPECT_TRUE(b.Status().locked);
    const auto& remembered = probe.Remembered();
    ASSERT_EQ(remembered.size(), 8u);
    EXPECT_EQ(remembered[4][4].free, 0);
    EXPECT_EQ(remembered[4][4].lock, 2);
    EXPECT_EQ(remembered[4][4].gem, 1);
    EXPECT_EQ(remembered[7][2].colour, kSteelColour);
    EXPECT_EQ(remembered[0][0].free, 1);
    for (const CountedHandle<CToken>& t : b.LiveTokens()) {
        EXPECT_EQ(t->moveKind, 2);
        EXPECT_GT(t->pathDuration, 1.5f);
    }

    b.SetLocked(false);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(b.Cell(2, 7)->colour, kSteelColour);
    EXPECT_EQ(b.Cell(4, 4)->colour, fixedColour);
    EXPECT_EQ(b.Cell(4, 4)->chained, 2);
    EXPECT_EQ(b.Cell(4, 4)->gem, 1);
    EXPECT_EQ(b.Cell(4, 4)->settled, 1);
    EXPECT_EQ(b.GemsToPlace(), 4); // the fixed gem is placed again; the other waits for later fills
    CMatchAnalyser after = b.Analysis();
    EXPECT_FALSE(after.HasReadyRun(3, false));
    EXPECT_TRUE(after.HasPossibleMove(3, false));
    EXPECT_EQ(b.LiveTokens().size(), 64u); // the fallen tokens have left
}

TEST_F(LevelFill, AnimatedShuffleOfABoardWithoutFixedTokensRemembersNothing)
{
    PlaceGrid(*rig.board, NoMoveGrid());
    rig.board->ShuffleAnimated(1.5f, 30);
    EXPECT_TRUE(rig.Probe().Remembered().empty());
}

// A saved board: the colours of the no-move pattern, with a gem, a chain of
// three and a fixed token, an empty cell and a code no token has.
BoardSnapshot SavedBoard()
{
    BoardSnapshot save;
    save.hasCells = true;
    const std::vector<std::string> rows = NoMoveGrid();
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            save.cells[r][c].code = board_rig::ColourOf(rows[r][c]) + 1;
    save.cells[1][1].code = -save.cells[1][1].code;
    save.cells[2][2].chains = 3;
    save.cells[3][3].fixed = true;
    save.cells[4][4].code = BoardSnapshot::kEmptyCell;
    save.cells[5][5].code = 55;
    save.hintSeconds = 12.0f;
    save.blueTotems = true;
    save.waitingTotem = 3;
    save.gemsToCollect = 9;
    save.gemsToPlace = 7;
    return save;
}

TEST_F(LevelFill, SavedBoardIsRestoredAndCellsWithoutATokenAreDrawn)
{
    rig.random.Seed(3);
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    b.StartLevel(LevelSetup(9, false, 5)); // seven colours, no steel
    b.Restore(SavedBoard());
    EXPECT_EQ(b.GemsToCollect(), 9);
    b.Refill(true, true);
    const std::vector<std::string> rows = NoMoveGrid();
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            ASSERT_TRUE(b.Cell(c, r));
            if ((c == 4 && r == 4) || (c == 5 && r == 5))
                EXPECT_LT(b.Cell(c, r)->colour, 7); // drawn, never steel from a code
            else
                EXPECT_EQ(b.Cell(c, r)->colour, board_rig::ColourOf(rows[r][c])) << c << " " << r;
        }
    EXPECT_EQ(b.Cell(1, 1)->gem, 1);
    EXPECT_EQ(b.Cell(2, 2)->chained, 3);
    EXPECT_EQ(b.Cell(3, 3)->settled, 1);
    EXPECT_EQ(b.GemsToPlace(), 7); // the save's gems were counted when it was written
    EXPECT_FLOAT_EQ(probe.Adviser().SecondsLeft(), 12.0f);
    EXPECT_TRUE(probe.Totems().blueTotemsActive);
    EXPECT_EQ(probe.SteelCap(), 0);
    EXPECT_EQ(probe.Totems().queued, std::vector<int>{3});
}

TEST_F(LevelFill, SaveWithoutABoardFillsAtRandom)
{
    rig.random.Seed(3);
    CGameBoard& b = *rig.board;
    BoardSnapshot shop; // a shop save: no grids
    shop.gemsToCollect = shop.gemsToPlace = 7;
    b.Restore(shop);
    b.Refill(true, true);
    EXPECT_TRUE(b.IsFull());
    EXPECT_EQ(b.GemsToPlace(), 3); // four drawn by the share, as in play
}

TEST_F(LevelFill, ResetPlacesTheGemsBarWithTheMesh)
{
    BoardProbe probe = rig.Probe();
    probe.GemsBar().SetPosition(0.0f, 0.0f, 0.0f);
    rig.board->Reset(0);
    const Vec3 origin = probe.GemsBar().Origin();
    EXPECT_FLOAT_EQ(origin.x, probe.Mesh().OffsetX());
    EXPECT_FLOAT_EQ(origin.y, probe.Mesh().OffsetY());
}

} // namespace
