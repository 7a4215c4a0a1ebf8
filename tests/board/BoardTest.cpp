// The board on the null device: geometry, difficulty, events, swaps played
// frame by frame, the refill and the no-move test.
#include "BoardRig.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "platform/System.h"
#include "records/Profiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using board_rig::BoardRig;
using board_rig::NoMoveGrid;

namespace {

int CountKind(const BoardRig& rig, int32_t kind)
{
    const std::vector<int32_t> kinds = rig.EventKinds();
    return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
}

int CountTokens(const BoardRig& rig, bool (*test)(const CToken&))
{
    int n = 0;
    for (const auto& row : rig.board->grid)
        for (const CountedHandle<CToken>& t : row)
            n += t && test(*t) ? 1 : 0;
    return n;
}

} // namespace

TEST(Board, CellsAndPoints)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    EXPECT_FLOAT_EQ(b.originX, -144.5f); // the skin's corner, 367.5 16.5 on the file's screen
    EXPECT_FLOAT_EQ(b.originY, 367.5f);
    const Vec2 centre = b.CellToPoint(2, 3, true);
    EXPECT_FLOAT_EQ(centre.x, -144.5f + 200.0f);
    EXPECT_FLOAT_EQ(centre.y, 367.5f - 280.0f);
    const MatchCell inside = b.PointToCell(centre.x, centre.y);
    EXPECT_EQ(inside.column, 2);
    EXPECT_EQ(inside.row, 3);
    EXPECT_EQ(b.PointToCell(b.originX - 1, b.originY + 1).column, -1);
    EXPECT_EQ(b.PointToCell(b.originX - 1, b.originY + 1).row, -1);
    EXPECT_EQ(b.PointToCell(b.originX + 641, b.originY - 641).column, 8);
    EXPECT_EQ(b.PointToCell(b.originX + 641, b.originY - 641).row, 8);

    // An odd half cell moves the tokens' origin by half a unit.
    for (float size : {45.0f, 44.0f}) {
        BoardRig odd;
        odd.layout.cellSize = size;
        odd.board->Reset(0);
        EXPECT_FLOAT_EQ(odd.board->originX - odd.board->baseOriginX, size == 45.0f ? 0.5f : 0.0f);
    }
}

TEST(Board, DifficultyFollowsTheLevel)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    struct Case {
        int level;
        bool hard;
        std::vector<int32_t> colours;
        float steelRate;
        int steelCap;
        float lockRate;
        int lockCap;
    } cases[] = {
        {3, false, {0, 2, 3, 4, 5}, 0, 0, 0, 0},
        {4, false, {0, 1, 2, 3, 4, 5}, 0, 0, 0, 0},
        {9, false, {0, 1, 2, 3, 4, 5, 6}, 0, 0, 0.0065f, 1},
        {1, true, {0, 1, 2, 3, 4, 5, 6}, 0, 0, 0, 0},
        {14, false, {0, 1, 2, 3, 4, 5, 6}, 0.006f, 1, 0.0115f, 1},
        {20, true, {0, 1, 2, 3, 4, 5, 6}, 0.0155f, 2, 0.025f, 2},
        {6, false, {0, 1, 2, 3, 4, 5}, 0, 0, 0.0035f, 1},
    };
    for (const Case& c : cases) {
        b.hardMode = c.hard;
        b.SetLevelDifficulty(c.level);
        EXPECT_EQ(b.colours, c.colours) << c.level;
        EXPECT_FLOAT_EQ(b.steelRate, c.steelRate) << c.level;
        EXPECT_EQ(b.steelCap, c.steelCap) << c.level;
        EXPECT_FLOAT_EQ(b.lockRate, c.lockRate) << c.level;
        EXPECT_EQ(b.lockCap, c.lockCap) << c.level;
    }
    plat::SeedRandom(1);
    b.steelRate = 0;
    b.colours = {4};
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(b.DrawColour(), 4);
}

TEST(Board, GemGoalOnlyOnTheQuestBoardWithoutALevelState)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    b.gemsToCollect = 0;
    EXPECT_TRUE(b.GemGoalReached());
    b.levelState = 2;
    EXPECT_FALSE(b.GemGoalReached());
    b.Reset(1);
    b.gemsToCollect = -3;
    EXPECT_FALSE(b.GemGoalReached());
}

// Shown over two seconds, the board brings its sand box and gems bar in
// over the same two seconds.
TEST(Board, ShowingTheBoardFadesItsSandBoxAndGemsBarAlong)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    b.sandbox->Show(false, 0.0f);
    b.gemsBar->Show(false, 0.0f);
    b.Show(true, true, 2.0f);
    for (int i = 0; i < 60; ++i)
        rig.Frame();
    EXPECT_NEAR(b.sandbox->Fade(), 0.5f, 0.02f);
    EXPECT_NEAR(b.gemsBar->Alpha(), 0.5f, 0.02f);
}

TEST(Board, DeferredEventsKeepTheirOrder)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    EXPECT_EQ(b.DeferEvents(), 0);
    for (int32_t kind : {5, 2, 7, 13, 6, 5}) {
        BoardEvent e;
        e.kind = kind;
        b.events.Push(e);
    }
    EXPECT_EQ(b.DeferEvents(), 6);
    EXPECT_EQ(rig.EventKinds(), (std::vector<int32_t>{2, 13, 5, 5, 7, 6}));
}

TEST(Board, SwapsOnlyNeighbouringTokens)
{
    BoardRig rig;
    std::vector<std::string> rows = NoMoveGrid();
    rows[0][2] = '.';
    rig.Place(rows);
    CGameBoard& b = *rig.board;
    const std::string before = rig.Letters();
    b.Swap(0, 0, 1, 1, false);  // diagonal
    b.Swap(0, 0, 0, 0, false);  // the same cell
    b.Swap(7, 0, 8, 0, false);  // off the board
    b.Swap(1, 0, 2, 0, false);  // an empty cell
    b.Swap(-1, 0, 0, 0, false); // off the board
    EXPECT_TRUE(b.swapsActive.empty());
    EXPECT_EQ(rig.Letters(), before);
}

TEST(Board, ARefusedSwapReturnsBothTokensHome)
{
    BoardRig rig;
    rig.Place(NoMoveGrid());
    CGameBoard& b = *rig.board;
    const CountedHandle<CToken> a = b.Cell(3, 4), c = b.Cell(4, 4);
    b.Swap(3, 4, 4, 4, false);
    EXPECT_EQ(b.Cell(3, 4), c); // the grid shows the exchange at once
    EXPECT_FALSE(b.CanSelect(3, 4));
    EXPECT_FALSE(b.CanSelect(4, 4));
    EXPECT_EQ(a->cap->layer, -1); // the first token passes in front
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(b.Cell(3, 4), a);
    EXPECT_EQ(b.Cell(4, 4), c);
    EXPECT_TRUE(b.CanSelect(3, 4));
    EXPECT_TRUE(b.CanSelect(4, 4));
    EXPECT_EQ(a->cap->layer, 0);
    EXPECT_EQ(c->cap->layer, 0);
    EXPECT_TRUE(b.swapRefused);
    EXPECT_EQ(CountKind(rig, kEventStrikesScored), 0);
}

// The swap makes yyy in the bottom row; the two v above fall onto the v
// beside it and make a second run: a cascade of at least two.
TEST(Board, AKeptSwapStrikesRefillsAndEndsWithTheCascade)
{
    plat::SeedRandom(21);
    BoardRig rig;
    std::vector<std::string> rows = NoMoveGrid();
    rows[6][1] = rows[6][2] = 'v';
    rows[7].replace(0, 4, "yyvy");
    rig.Place(rows);
    CGameBoard& b = *rig.board;
    b.CopyToAnalyser();
    ASSERT_FALSE(b.analyser.HasReadyRun(3, false)) << rig.Letters();

    b.Swap(2, 7, 3, 7, false);
    while (!b.swapsActive.empty())
        rig.Frame();
    ASSERT_EQ(b.terminators->Active().size(), 1u);
    const CTerminator& ray = *b.terminators->Active().front();
    ASSERT_EQ(ray.Targets().size(), 3u);
    for (const CountedHandle<CToken>& t : ray.Targets()) {
        EXPECT_EQ(t->colour, 1);
        EXPECT_EQ(t->state, kTokenDestroyed);
    }
    EXPECT_FALSE(b.Cell(0, 7)); // struck tokens leave the grid at once
    const std::vector<CountedHandle<CToken>> struck = ray.Targets();
    while (!b.terminators->Active().empty())
        rig.Frame();
    EXPECT_EQ(CountKind(rig, kEventStrikesScored), 1);
    for (const CountedHandle<CToken>& t : struck) {
        const auto& live = b.movingTokens.Tokens();
        EXPECT_EQ(std::find(live.begin(), live.end(), t), live.end());
        const auto& caps = rig.caps->Caps();
        EXPECT_EQ(std::find(caps.begin(), caps.end(), t->cap), caps.end());
    }

    ASSERT_TRUE(rig.Settle()) << rig.Letters() << b.movingTokens.Tokens().size() << " tokens, "
                              << b.terminators->Active().size() << " rays";
    const int strikes = b.stats.tables[2].Get(StatMatches);
    const std::vector<int32_t> kinds = rig.EventKinds();
    ASSERT_EQ(std::count(kinds.begin(), kinds.end(), kEventCombo), 1);
    const auto combo = std::find(kinds.begin(), kinds.end(), kEventCombo);
    EXPECT_EQ(b.events.At(static_cast<size_t>(combo - kinds.begin())).value, strikes);
    EXPECT_GE(strikes, 2);
    EXPECT_EQ(b.cascadeCount, 0);
    EXPECT_EQ(b.movingTokens.Tokens().size(), 64u);
    EXPECT_EQ(rig.caps->Caps().size(), 64u);
}

TEST(Board, RefillFillsTheLowestCellsFirstAndDropsNewTokensInOrder)
{
    plat::SeedRandom(4);
    BoardRig rig;
    std::vector<std::string> rows = NoMoveGrid();
    rows[3][0] = '.';
    rows[0][1] = rows[1][1] = '.';
    rig.Place(rows);
    CGameBoard& b = *rig.board;
    const CountedHandle<CToken> above = b.Cell(0, 2);
    b.Refill(false, false);
    EXPECT_EQ(b.Cell(0, 3), above);
    EXPECT_EQ(above->fromRow, 2);
    EXPECT_EQ(above->row, 3);
    const float top = b.CellToPoint(1, -2, false).y;
    const CountedHandle<CToken> lower = b.Cell(1, 1), upper = b.Cell(1, 0);
    ASSERT_TRUE(lower && upper && b.Cell(0, 0));
    EXPECT_GE(lower->y, top);
    EXPECT_GE(upper->y - lower->y, b.cellHeight);
    EXPECT_EQ(lower->kind, kBoardToken);
    EXPECT_FALSE(lower->active);
}

TEST(Board, RefillKeepsItsCapsAndEndsEvenWhenNothingCanSatisfyIt)
{
    plat::SeedRandom(8);
    BoardRig rig;
    CGameBoard& b = *rig.board;
    auto refillEmpty = [&](bool noRun, bool move) {
        b.Reset(0);
        b.Refill(noRun, move);
        return CountTokens(rig, [](const CToken&) { return true; });
    };
    b.steelRate = 1.0f;
    b.steelCap = 2;
    EXPECT_EQ(refillEmpty(false, false), 64);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.colour == kSteelColour; }), 2);
    b.steelCap = 0; // a steel rate of 1 with no room for steel falls back to colours
    EXPECT_EQ(refillEmpty(false, true), 64);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.colour == kSteelColour; }), 0);

    b.steelRate = 0.0f;
    b.lockRate = 1.0f;
    b.lockCap = 3;
    refillEmpty(false, false);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.chained != 0; }), 3);
    b.lockCap = 0;
    refillEmpty(false, false);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.chained != 0; }), 0);

    // One colour can never be free of runs; all steel can never move.
    b.lockRate = 0.0f;
    b.colours = {2};
    EXPECT_EQ(refillEmpty(true, false), 64);
    b.steelRate = 1.0f;
    b.steelCap = 64;
    EXPECT_EQ(refillEmpty(true, true), 64);
    b.events.Clear();
    ASSERT_TRUE(rig.Settle());
    for (int frame = 0; frame < 20; ++frame)
        rig.Frame();
    EXPECT_GE(CountKind(rig, kEventNoMoveLeft), 1);
}

// The top three rows refill under five colours: left alone the new tokens
// often make runs, but after a long cascade the refill draws until none.
TEST(Board, GemsArePlacedByTheirShareEachWithAGemBonus)
{
    plat::SeedRandom(9);
    BoardRig rig;
    CGameBoard& b = *rig.board;
    b.gemsToPlace = 30;
    b.Refill(false, false); // 64 new cells: a third of them, at most four on the board
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.gem != 0; }), 4);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.gem && t.bonus && t.bonus->kind == kBonusGem; }), 4);
    EXPECT_EQ(b.gemsToPlace, 26);
    for (const auto& row : b.grid)
        for (const CountedHandle<CToken>& t : row)
            EXPECT_EQ(t->cap->type >= 50, t->gem != 0);
}

TEST(Board, LongCascadesMakeTheRefillAvoidNewRuns)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    std::vector<std::string> rows = NoMoveGrid();
    for (int r = 0; r < 3; ++r)
        rows[r] = "........";
    int freeRuns = 0;
    for (uint32_t seed = 0; seed < 12; ++seed) {
        for (int cascade : {12, 0}) {
            plat::SeedRandom(seed);
            b.Reset(0);
            rig.Place(rows);
            b.cascadeCount = cascade;
            b.Refill(false, false);
            if (cascade == 12)
                EXPECT_FALSE(b.analyser.HasReadyRun(3, false)) << seed;
            else
                freeRuns += b.analyser.HasReadyRun(3, false) ? 1 : 0;
        }
    }
    EXPECT_GT(freeRuns, 0);
}

TEST(Board, NoMoveIsReportedOnlyWhenTheBoardIsIdleAndFull)
{
    BoardRig rig;
    rig.Place(NoMoveGrid());
    CGameBoard& b = *rig.board;
    b.Swap(0, 0, 1, 0, false);
    for (int frame = 0; frame < 42; ++frame)
        rig.Frame();
    EXPECT_EQ(CountKind(rig, kEventNoMoveLeft), 0); // the swap is still under way
    ASSERT_TRUE(rig.Settle());
    for (int frame = 0; frame < 16; ++frame)
        rig.Frame();
    EXPECT_EQ(CountKind(rig, kEventNoMoveLeft), 1);

    // A board that does not refill itself, with a hole: never reported.
    BoardRig other;
    other.board->Reset(1);
    std::vector<std::string> rows = NoMoveGrid();
    rows[5][5] = '.';
    other.Place(rows);
    for (int frame = 0; frame < 60; ++frame)
        other.Frame();
    EXPECT_EQ(CountKind(other, kEventNoMoveLeft), 0);
}

TEST(Board, SandFlowScoresDoubleAndShakesOnlyForStrikesOfThree)
{
    for (int targets : {2, 3}) {
        BoardRig rig;
        rig.Place(NoMoveGrid());
        CGameBoard& b = *rig.board;
        b.sandbox->SetFull(true, 0.0);
        b.sandEnabled = true;
        b.particlesFront =
            MakeCountedHandle(new CParticleSystemsManager(rig.gpu.device, rig.gpu.vertices, rig.gpu.indices));
        TerminatorPath path;
        CountedHandle<CTerminator> ray = b.terminators->Spawn(1, path, {}, true);
        for (int c = 0; c < targets; ++c) {
            path.cells.emplace_back(c, 0);
            ray->AddTarget(b.Cell(c, 0), kRemoveOneChain);
        }
        ray->SetPath(path);
        b.enabled = false; // no refill: only the scoring is looked at
        for (int frame = 0; frame < 20; ++frame)
            rig.Frame();
        // Two tokens score 50 each; three at cascade 1 score 100, doubled.
        EXPECT_EQ(b.stats.tables[2].Get(StatScore), targets == 3 ? 200 : 100) << targets;
        EXPECT_EQ(b.shake.IsShaking(), targets == 3) << targets;
        // Every struck token threw sand with its trail of dust.
        EXPECT_EQ(b.particlesFront->BlendedSystems().size(), 2u * static_cast<size_t>(targets));
    }
}

TEST(Board, TheShakeMovesTheMeshTwiceAsFarAsTheTokens)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    b.enabled = false;
    rig.Frame(); // the reset's stop of any shake takes effect
    b.shake.AddImpulse(4.0f);
    rig.Frame();
    const float tokensX = b.originX - b.baseOriginX, tokensY = b.originY - b.baseOriginY;
    EXPECT_NE(tokensX * tokensX + tokensY * tokensY, 0.0f);
    // The differences from an origin of some hundreds keep only a few
    // digits of the offset.
    EXPECT_NEAR(b.mesh->OffsetX() - b.baseOriginX, 2 * tokensX, 1e-4f);
    EXPECT_NEAR(b.mesh->OffsetY() - b.baseOriginY, 2 * tokensY, 1e-4f);
    for (int frame = 0; frame < 60; ++frame)
        rig.Frame();
    EXPECT_FLOAT_EQ(b.originX, b.baseOriginX);
    EXPECT_FLOAT_EQ(b.mesh->OffsetX(), b.baseOriginX);

    b.SetSandFlowing(false);
    EXPECT_FALSE(b.shake.IsShaking());
    EXPECT_EQ(b.events.Size(), 0u);
    b.SetSandFlowing(true);
    EXPECT_TRUE(b.shake.IsShaking());
    EXPECT_EQ(CountKind(rig, kEventSandFull), 1);
}

TEST(Board, FlushEmptiesEveryCellAtOnceAndTheTokensFallAway)
{
    BoardRig rig;
    rig.Place(NoMoveGrid());
    CGameBoard& b = *rig.board;
    b.FlushTokens();
    EXPECT_TRUE(b.ended);
    EXPECT_FALSE(b.enabled);
    EXPECT_EQ(CountTokens(rig, [](const CToken&) { return true; }), 0);
    EXPECT_EQ(b.movingTokens.Tokens().size(), 64u);
    for (int frame = 0; frame < 120; ++frame)
        rig.Frame();
    EXPECT_TRUE(b.movingTokens.Tokens().empty());
    EXPECT_TRUE(rig.caps->Caps().empty());
}

TEST(Board, TutorialPromptsNeedAPlayer)
{
    BoardRig rig;
    rig.Place(NoMoveGrid());
    CGameBoard& b = *rig.board;
    int out = -1;
    b.swapRefused = true;
    EXPECT_EQ(b.QueryLevelOutcome(&out), 0);
    b.levelState = 3;
    b.OnLevelState(true); // nothing to save without a player
    EXPECT_EQ(b.levelState, 0);

    b.profile = MakeCountedHandle(new CProfile("Anna"));
    b.profile->tutBase = b.profile->tutGem = 1;
    int given = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        b.swapRefused = true;
        given += b.QueryLevelOutcome(&out) == 3 ? 1 : 0;
    }
    EXPECT_EQ(given, 3);
    b.Reset(0);
    EXPECT_EQ(b.outcomeCount, 0);
}
