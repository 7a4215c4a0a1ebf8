// The board on the null device: geometry, difficulty, events, swaps played
// frame by frame, the refill and the no-move test.
#include "BoardRig.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Random.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using board_rig::BoardRig;
using board_rig::NoMoveGrid;

namespace {

int CountKind(const BoardRig& rig, BoardEventKind kind)
{
    const std::vector<BoardEventKind> kinds = rig.EventKinds();
    return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
}

int CountTokens(const BoardRig& rig, bool (*test)(const CToken&))
{
    int n = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const CountedHandle<CToken>& t = rig.board->Cell(c, r);
            n += t && test(*t) ? 1 : 0;
        }
    return n;
}

} // namespace

TEST(Board, CellsAndPoints)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    const BoardGeometry g = b.Geometry();
    EXPECT_FLOAT_EQ(g.originX, -144.5f); // the skin's corner, 367.5 16.5 on the file's screen
    EXPECT_FLOAT_EQ(g.originY, 367.5f);
    const Vec2 centre = b.CellToPoint(2, 3, true);
    EXPECT_FLOAT_EQ(centre.x, -144.5f + 200.0f);
    EXPECT_FLOAT_EQ(centre.y, 367.5f - 280.0f);
    const MatchCell inside = b.PointToCell(centre.x, centre.y);
    EXPECT_EQ(inside.column, 2);
    EXPECT_EQ(inside.row, 3);
    EXPECT_EQ(b.PointToCell(g.originX - 1, g.originY + 1).column, -1);
    EXPECT_EQ(b.PointToCell(g.originX - 1, g.originY + 1).row, -1);
    EXPECT_EQ(b.PointToCell(g.originX + 641, g.originY - 641).column, 8);
    EXPECT_EQ(b.PointToCell(g.originX + 641, g.originY - 641).row, 8);

    // An odd half cell moves the tokens' origin by half a unit.
    for (float size : {45.0f, 44.0f}) {
        BoardRig odd;
        odd.layout.cellSize = size;
        odd.board->Reset(0);
        const BoardGeometry og = odd.board->Geometry();
        EXPECT_FLOAT_EQ(og.originX - og.baseOriginX, size == 45.0f ? 0.5f : 0.0f);
    }
}

TEST(Board, DifficultyFollowsTheLevel)
{
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
        const BoardSetup setup = LevelSetup(c.level, c.hard, 5);
        EXPECT_EQ(setup.colours, c.colours) << c.level;
        EXPECT_FLOAT_EQ(setup.steelRate, c.steelRate) << c.level;
        EXPECT_EQ(setup.steelCap, c.steelCap) << c.level;
        EXPECT_FLOAT_EQ(setup.lockRate, c.lockRate) << c.level;
        EXPECT_EQ(setup.lockCap, c.lockCap) << c.level;
    }
    BoardRig rig;
    rig.random.Seed(1);
    BoardProbe probe = rig.Probe();
    probe.SetSteel(0.0f, 0);
    probe.SetColours({4});
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(probe.DrawColour(), 4);
}

TEST(Board, GemGoalOnlyOnTheQuestBoardWithoutALevelState)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    b.SetGemCounts(0, 0);
    EXPECT_TRUE(probe.GemGoalReached());
    probe.SetLesson(Lesson::Gem, 0);
    EXPECT_FALSE(probe.GemGoalReached());
    b.Reset(1);
    b.SetGemCounts(-3, 0);
    EXPECT_FALSE(probe.GemGoalReached());
}

// Shown at half its opacity a second, the board brings its sand box and
// gems bar in over the same two seconds.
TEST(Board, ShowingTheBoardFadesItsSandBoxAndGemsBarAlong)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    b.Show(false, true, 0.0f);
    b.Show(true, true, 0.5f);
    for (int i = 0; i < 60; ++i)
        rig.Frame();
    EXPECT_NEAR(probe.Sandbox().Fade(), 0.5f, 0.02f);
    EXPECT_NEAR(probe.GemsBar().Alpha(), 0.5f, 0.02f);
    // Hidden, all three go over the same time.
    b.Show(false, true, 0.5f);
    for (int i = 0; i < 90; ++i)
        rig.Frame();
    EXPECT_FALSE(b.IsShown());
    EXPECT_FALSE(b.SandboxShown());
    EXPECT_FALSE(probe.GemsBar().IsShown());
}

// A frame's events go to the game with the level's end, a board without
// moves and a full frenzy meter last, each kind keeping its order; the
// dropped events of play keep what the player has seen.
TEST(Board, DeferredEventsKeepTheirOrder)
{
    using K = BoardEventKind;
    BoardEventQueue queue;
    std::vector<BoardEvent> taken;
    queue.TakeDeferred(&taken);
    EXPECT_TRUE(taken.empty());
    int32_t n = 0;
    for (const K kind : {K::LevelWon, K::Combo, K::NoMoveLeft, K::LessonStep, K::FrenzyMeterFull, K::LevelWon}) {
        BoardEvent e;
        e.kind = kind;
        e.value = n++;
        queue.Push(e);
    }
    queue.TakeDeferred(&taken);
    std::vector<std::pair<K, int32_t>> order;
    for (const BoardEvent& e : taken)
        order.push_back({e.kind, e.value});
    EXPECT_EQ(order, (std::vector<std::pair<K, int32_t>>{{K::Combo, 1},
                                                         {K::LessonStep, 3},
                                                         {K::LevelWon, 0},
                                                         {K::LevelWon, 5},
                                                         {K::NoMoveLeft, 2},
                                                         {K::FrenzyMeterFull, 4}}));
    EXPECT_TRUE(queue.Empty());

    for (const K kind : {K::Combo, K::LessonSeen, K::NoMoveLeft}) {
        BoardEvent e;
        e.kind = kind;
        queue.Push(e);
    }
    queue.DropPlayEvents();
    ASSERT_EQ(queue.Size(), 1u);
    EXPECT_EQ(queue.At(0).kind, K::LessonSeen);
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
    EXPECT_FALSE(rig.Probe().SwapsUnderWay());
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
    EXPECT_TRUE(b.Status().swapRefused);
    EXPECT_EQ(CountKind(rig, BoardEventKind::StrikesScored), 0);
}

// The swap makes yyy in the bottom row; the two v above fall onto the v
// beside it and make a second run: a cascade of at least two.
TEST(Board, AKeptSwapStrikesRefillsAndEndsWithTheCascade)
{
    BoardRig rig;
    rig.random.Seed(21);
    std::vector<std::string> rows = NoMoveGrid();
    rows[6][1] = rows[6][2] = 'v';
    rows[7].replace(0, 4, "yyvy");
    rig.Place(rows);
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    ASSERT_FALSE(b.Analysis().HasReadyRun(3, false)) << rig.Letters();

    b.Swap(2, 7, 3, 7, false);
    while (probe.SwapsUnderWay())
        rig.Frame();
    ASSERT_EQ(probe.Rays().Active().size(), 1u);
    const CTerminator& ray = *probe.Rays().Active().front();
    ASSERT_EQ(ray.Targets().size(), 3u);
    for (const CountedHandle<CToken>& t : ray.Targets()) {
        EXPECT_EQ(t->colour, 1);
        EXPECT_EQ(t->state, kTokenDestroyed);
    }
    EXPECT_FALSE(b.Cell(0, 7)); // struck tokens leave the grid at once
    const std::vector<CountedHandle<CToken>> struck = ray.Targets();
    while (!probe.Rays().Active().empty())
        rig.Frame();
    EXPECT_EQ(CountKind(rig, BoardEventKind::StrikesScored), 1);
    for (const CountedHandle<CToken>& t : struck) {
        const auto& live = b.LiveTokens();
        EXPECT_EQ(std::find(live.begin(), live.end(), t), live.end());
        const auto& caps = rig.caps->Caps();
        EXPECT_EQ(std::find(caps.begin(), caps.end(), t->cap), caps.end());
    }

    ASSERT_TRUE(rig.Settle()) << rig.Letters() << b.LiveTokens().size() << " tokens, "
                              << probe.Rays().Active().size() << " rays";
    const int strikes = rig.stats.tables[2].Get(StatMatches);
    const std::vector<BoardEventKind> kinds = rig.EventKinds();
    ASSERT_EQ(std::count(kinds.begin(), kinds.end(), BoardEventKind::Combo), 1);
    const auto combo = std::find(kinds.begin(), kinds.end(), BoardEventKind::Combo);
    EXPECT_EQ(b.Events().At(static_cast<size_t>(combo - kinds.begin())).value, strikes);
    EXPECT_GE(strikes, 2);
    EXPECT_EQ(b.Status().cascade, 0);
    EXPECT_EQ(b.LiveTokens().size(), 64u);
    EXPECT_EQ(rig.caps->Caps().size(), 64u);
}

// What the scenes and the effects draw from the shared generator never
// changes a board's game: boards seeded alike fill, reshuffle and refill
// alike however much else draws in between.
TEST(Board, ABoardsGameDrawsOnlyFromItsOwnStream)
{
    auto play = [](int sharedDraws) {
        BoardRig rig;
        rig.random.Seed(77);
        plat::SeedRandom(static_cast<uint32_t>(sharedDraws));
        CGameBoard& b = *rig.board;
        b.StartLevel(LevelSetup(20, false, 9));
        b.FillNow();
        for (int i = 0; i < sharedDraws; ++i)
            RandomUnit();
        b.ShuffleAnimated(1.5f, 30);
        for (int i = 0; i < sharedDraws; ++i)
            RandomUnit();
        b.LetFallenTokensGo();
        b.SetLocked(false);
        b.FillNow();
        return rig.Letters();
    };
    const std::string quiet = play(0);
    EXPECT_EQ(play(1), quiet);
    EXPECT_EQ(play(977), quiet);
}

TEST(Board, RefillFillsTheLowestCellsFirstAndDropsNewTokensInOrder)
{
    BoardRig rig;
    rig.random.Seed(4);
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
    EXPECT_GE(upper->y - lower->y, b.CellHeight());
    EXPECT_EQ(lower->kind, kBoardToken);
    EXPECT_FALSE(lower->active);
}

TEST(Board, RefillKeepsItsCapsAndEndsEvenWhenNothingCanSatisfyIt)
{
    BoardRig rig;
    rig.random.Seed(8);
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    auto refillEmpty = [&](bool noRun, bool move) {
        b.Reset(0);
        b.Refill(noRun, move);
        return CountTokens(rig, [](const CToken&) { return true; });
    };
    probe.SetSteel(1.0f, 2);
    EXPECT_EQ(refillEmpty(false, false), 64);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.colour == kSteelColour; }), 2);
    probe.SetSteel(1.0f, 0); // a steel rate of 1 with no room for steel falls back to colours
    EXPECT_EQ(refillEmpty(false, true), 64);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.colour == kSteelColour; }), 0);

    probe.SetSteel(0.0f, 0);
    probe.SetChains(1.0f, 3);
    refillEmpty(false, false);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.chained != 0; }), 3);
    probe.SetChains(1.0f, 0);
    refillEmpty(false, false);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.chained != 0; }), 0);

    // One colour can never be free of runs; all steel can never move.
    probe.SetChains(0.0f, 0);
    probe.SetColours({2});
    EXPECT_EQ(refillEmpty(true, false), 64);
    probe.SetSteel(1.0f, 64);
    EXPECT_EQ(refillEmpty(true, true), 64);
    b.Events().Clear();
    ASSERT_TRUE(rig.Settle());
    for (int frame = 0; frame < 20; ++frame)
        rig.Frame();
    EXPECT_GE(CountKind(rig, BoardEventKind::NoMoveLeft), 1);
}

// The top three rows refill under five colours: left alone the new tokens
// often make runs, but after a long cascade the refill draws until none.
TEST(Board, GemsArePlacedByTheirShareEachWithAGemBonus)
{
    BoardRig rig;
    rig.random.Seed(9);
    CGameBoard& b = *rig.board;
    b.SetGemCounts(30, 30);
    b.Refill(false, false); // 64 new cells: a third of them, at most four on the board
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.gem != 0; }), 4);
    EXPECT_EQ(CountTokens(rig, [](const CToken& t) { return t.gem && t.bonus && t.bonus->kind == kBonusGem; }), 4);
    EXPECT_EQ(b.GemsToPlace(), 26);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            EXPECT_EQ(t->cap->type >= 50, t->gem != 0);
        }
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
            rig.random.Seed(seed);
            b.Reset(0);
            rig.Place(rows);
            rig.Probe().SetCascade(cascade);
            b.Refill(false, false);
            // The new tokens are still falling: the codes the refill drew.
            CMatchAnalyser drawn;
            drawn.Resize(8, 8);
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c < 8; ++c)
                    drawn.Cell(c, r) = CGameBoard::AnalyserCode(*b.Cell(c, r));
            if (cascade == 12)
                EXPECT_FALSE(drawn.HasReadyRun(3, false)) << seed;
            else
                freeRuns += drawn.HasReadyRun(3, false) ? 1 : 0;
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
    EXPECT_EQ(CountKind(rig, BoardEventKind::NoMoveLeft), 0); // the swap is still under way
    ASSERT_TRUE(rig.Settle());
    for (int frame = 0; frame < 16; ++frame)
        rig.Frame();
    EXPECT_EQ(CountKind(rig, BoardEventKind::NoMoveLeft), 1);

    // A board that does not refill itself, with a hole: never reported.
    BoardRig other;
    other.board->Reset(1);
    std::vector<std::string> rows = NoMoveGrid();
    rows[5][5] = '.';
    other.Place(rows);
    for (int frame = 0; frame < 60; ++frame)
        other.Frame();
    EXPECT_EQ(CountKind(other, BoardEventKind::NoMoveLeft), 0);
}

TEST(Board, SandFlowScoresDoubleAndShakesOnlyForStrikesOfThree)
{
    for (int targets : {2, 3}) {
        BoardRig rig;
        rig.Place(NoMoveGrid());
        CGameBoard& b = *rig.board;
        BoardProbe probe = rig.Probe();
        probe.Sandbox().SetFull(true, 0.0);
        b.SetSandActive(true);
        const auto particles =
            MakeCountedHandle(new CParticleSystemsManager(rig.gpu.device, rig.gpu.vertices, rig.gpu.indices));
        probe.SetParticles(particles);
        TerminatorPath path;
        CountedHandle<CTerminator> ray = probe.Rays().Spawn(1, path, {}, true);
        for (int c = 0; c < targets; ++c) {
            path.cells.emplace_back(c, 0);
            ray->AddTarget(b.Cell(c, 0), kRemoveOneChain);
        }
        ray->SetPath(path);
        probe.SetEnabled(false); // no refill: only the scoring is looked at
        for (int frame = 0; frame < 20; ++frame)
            rig.Frame();
        // Two tokens score 50 each; three at cascade 1 score 100, doubled.
        EXPECT_EQ(rig.stats.tables[2].Get(StatScore), targets == 3 ? 200 : 100) << targets;
        EXPECT_EQ(probe.Shaking(), targets == 3) << targets;
        // Every struck token threw sand with its trail of dust.
        EXPECT_EQ(particles->BlendedSystems().size(), 2u * static_cast<size_t>(targets));
    }
}

// A frenzy runs for the seconds of the Sand Glass bought in the shop: the
// full box runs out over them. A time that is no time runs the unbought
// glass's.
TEST(Board, AFrenzyRunsForTheSecondsOfTheSandGlass)
{
    const struct {
        float glass, seconds;
    } cases[] = {{BalanceFivePlusTen(0), 10.0f},
                 {BalanceFivePlusTen(2), 20.0f},
                 {BalanceFivePlusTen(4), 30.0f},
                 {std::nanf(""), 10.0f},
                 {-5.0f, 10.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.glass);
        BoardRig rig;
        rig.Place(NoMoveGrid());
        CGameBoard& b = *rig.board;
        rig.balance.item7Value = c.glass;
        b.SetSandDrain(true, 0.05f);
        b.SetSandFlowing(true);
        const CSandHeightfield& field = *rig.Probe().Sandbox().Heightfield();
        float seconds = 0.0f;
        while (field.IsFull() && seconds < 60.0f) {
            rig.Frame();
            seconds += 1.0f / 60.0f;
        }
        EXPECT_NEAR(seconds, c.seconds, 2.0f / 60.0f);
    }
}

TEST(Board, TheShakeMovesTheMeshTwiceAsFarAsTheTokens)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    probe.SetEnabled(false);
    rig.Frame(); // the reset's stop of any shake takes effect
    probe.Shake(4.0f);
    rig.Frame();
    BoardGeometry g = b.Geometry();
    const float tokensX = g.originX - g.baseOriginX, tokensY = g.originY - g.baseOriginY;
    EXPECT_NE(tokensX * tokensX + tokensY * tokensY, 0.0f);
    // The differences from an origin of some hundreds keep only a few
    // digits of the offset.
    EXPECT_NEAR(probe.Mesh().OffsetX() - g.baseOriginX, 2 * tokensX, 1e-4f);
    EXPECT_NEAR(probe.Mesh().OffsetY() - g.baseOriginY, 2 * tokensY, 1e-4f);
    for (int frame = 0; frame < 60; ++frame)
        rig.Frame();
    g = b.Geometry();
    EXPECT_FLOAT_EQ(g.originX, g.baseOriginX);
    EXPECT_FLOAT_EQ(probe.Mesh().OffsetX(), g.baseOriginX);

    b.SetSandFlowing(false);
    EXPECT_FALSE(probe.Shaking());
    EXPECT_EQ(b.Events().Size(), 0u);
    b.SetSandFlowing(true);
    EXPECT_TRUE(probe.Shaking());
    EXPECT_EQ(CountKind(rig, BoardEventKind::SandFull), 1);
}

TEST(Board, FlushEmptiesEveryCellAtOnceAndTheTokensFallAway)
{
    BoardRig rig;
    rig.Place(NoMoveGrid());
    CGameBoard& b = *rig.board;
    b.FlushTokens();
    EXPECT_TRUE(b.Status().ended);
    EXPECT_FALSE(b.Status().enabled);
    EXPECT_EQ(CountTokens(rig, [](const CToken&) { return true; }), 0);
    EXPECT_EQ(b.LiveTokens().size(), 64u);
    for (int frame = 0; frame < 120; ++frame)
        rig.Frame();
    EXPECT_TRUE(b.LiveTokens().empty());
    EXPECT_TRUE(rig.caps->Caps().empty());
}

// The lessons come only to a player who takes them; a refused swap brings
// the wrong-swap lesson three times a level at most, and a lesson the game
// closes as seen is reported once and not given again.
TEST(Board, LessonsComeToAPlayerWhoTakesThem)
{
    BoardRig rig;
    CGameBoard& b = *rig.board;
    BoardProbe probe = rig.Probe();
    b.StartLevel(LevelSetup(2, false, 5));
    rig.Place(NoMoveGrid());
    b.SetLocked(false);
    auto lessonAfterARefusal = [&] {
        probe.SetSwapRefused(true);
        b.Events().Clear();
        rig.Frame();
        const LessonState lesson = b.CurrentLesson();
        b.CloseLesson(false);
        return lesson.lesson;
    };
    EXPECT_EQ(lessonAfterARefusal(), Lesson::None); // no player who takes lessons

    LessonPlan plan;
    plan.on = true;
    plan.seen.fill(true);
    plan.seen[static_cast<size_t>(Lesson::Wrong)] = false;
    b.SetLessons(plan);
    int given = 0;
    for (int attempt = 0; attempt < 5; ++attempt)
        given += lessonAfterARefusal() == Lesson::Wrong ? 1 : 0;
    EXPECT_EQ(given, 3);
    EXPECT_EQ(probe.WrongSwapPrompts(), 3);

    probe.SetLesson(Lesson::Lock, 0);
    b.Events().Clear();
    b.CloseLesson(true);
    ASSERT_EQ(b.Events().Size(), 1u);
    EXPECT_EQ(b.Events().At(0).kind, BoardEventKind::LessonSeen);
    EXPECT_EQ(b.Events().At(0).lesson, Lesson::Lock);
    EXPECT_EQ(b.CurrentLesson().lesson, Lesson::None);
    b.Reset(0);
    EXPECT_EQ(probe.WrongSwapPrompts(), 0);
}
