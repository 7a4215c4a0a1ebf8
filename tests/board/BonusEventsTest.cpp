// The board's side of the bonuses: what it adds when a bonus fires (sounds,
// shakes, a gem's place in the gems bar, the tokens solidarity takes), what
// it does with the events the bonuses raise, and the bonuses shown and
// hidden with the board. Sounds are heard by their slots.
#include "BonusBoardRig.h"

#include "bonuses/BonusGem.h"
#include "rays/TerminatorsManager.h"
#include "tokens/BoardGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using board_rig::BonusBoardRig;
using board_rig::NoMoveGrid;
using board_rig::PlaceGrid;

namespace {

// The level-1 board without a move, but with every token in `colour`
// where the mask says 'x' and steel where it says 's'.
std::vector<std::string> Painted(const std::vector<std::string>& mask, char colour)
{
    std::vector<std::string> rows = NoMoveGrid();
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (mask[r][c] == 'x' || mask[r][c] == 's')
                rows[r][c] = mask[r][c] == 'x' ? colour : 's';
    return rows;
}

GameEvent Event(int32_t kind, int32_t value, int column = 0, int row = 0, float position = 0.0f,
                const CountedHandle<CBonus>& sender = {})
{
    GameEvent e;
    e.kind = kind;
    e.value = value;
    e.a = static_cast<uint32_t>(column);
    e.x = static_cast<uint32_t>(row);
    e.arg = plat::FloatBits(position);
    e.sender = sender;
    return e;
}

// Cells whose tokens a strike has taken: inactive, or gone.
int Struck(const CGameBoard& b)
{
    int n = 0;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            n += !b.Cell(c, r) || !b.Cell(c, r)->active ? 1 : 0;
    return n;
}

const char* const kFireSounds[] = {"GemOut.wav",     "TNT.wav",        "Flash.wav",     "Clock.wav",
                                   "AdviserGet.wav", "Multiplier.wav", "Solidarity.wav"};

} // namespace

// A struck token fires its bonus once its ray has hit: the kind's own
// sound and no other, the kind's shake, one removal counted.
TEST(BonusEvents, EachKindFiresWithItsSoundAndShake)
{
    struct Case {
        int32_t kind;
        int32_t level;
        const char* sound;
        float shake;
    };
    const Case cases[] = {
        {kBonusGem, 0, "GemOut.wav", 0.0f},
        {kBonusTnt, 3, "TNT.wav", 2.75f},
        {kBonusFlash, 1, "Flash.wav", 2.25f},
        {kBonusTnt, 9, "TNT.wav", 2.75f}, // the level held to 3
        {kBonusTime, 2, "Clock.wav", 0.0f},
        {kBonusAdviser, 0, "AdviserGet.wav", 0.0f},
        {kBonusScore, 3, "Multiplier.wav", 0.0f},
        {kBonusSolidarity, 1, "Solidarity.wav", 0.0f},
        {kBonusSolidarity, 3, "Solidarity.wav", 2.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sound) + " level " + std::to_string(c.level));
        BonusBoardRig rig;
        BoardProbe probe = rig.Probe();
        rig.Place(NoMoveGrid());
        const CountedHandle<CBonus> bonus = rig.Ride(c.kind, c.level, 3, 3);
        ASSERT_TRUE(probe.DestroyCell(3, 3));
        EXPECT_EQ(bonus->state, kBonusPlaced); // it waits for the ray
        ASSERT_TRUE(rig.RunUntil([&] { return bonus->state == kBonusFired; }, 1.0f));
        // A solidarity bolt may strike its first token in the frame it
        // fires, with a shake of its own.
        EXPECT_NEAR(probe.ShakeAmplitude(), c.shake + 0.75f * static_cast<float>(rig.Plays("SolidarityRedir.wav")),
                    1e-4f);
        for (const char* sound : kFireSounds)
            EXPECT_EQ(rig.Plays(sound), std::string(sound) == c.sound ? 1 : 0) << sound;
        EXPECT_EQ(rig.stats.tables[1].Get(StatRemovals), 1);
    }
}

// Gems fired one after another take the gems bar's places in turn; each
// that reaches the bar goes into it, off the goal, with its sound.
TEST(BonusEvents, GemsTakeTheBarsPlacesInTurnAndGoIntoIt)
{
    BonusBoardRig rig;
    BoardProbe probe = rig.Probe();
    CGameBoard& b = *rig.board;
    PlaceGrid(b, NoMoveGrid(), {{1, 6}, {5, 6}});
    b.SetGemCounts(5, 0);
    CGemsBar& bar = probe.GemsBar();
    bar.goal = 5;
    const CountedHandle<CBonus> first = rig.Ride(kBonusGem, 0, 1, 6);
    const CountedHandle<CBonus> second = rig.Ride(kBonusGem, 0, 5, 6);
    const int firstColour = b.Cell(1, 6)->colour, secondColour = b.Cell(5, 6)->colour;
    probe.DestroyCell(1, 6);
    probe.DestroyCell(5, 6);
    ASSERT_TRUE(rig.RunUntil([&] { return second->state == kBonusFired; }, 1.0f));
    ASSERT_EQ(first->state, kBonusFired);
    EXPECT_EQ(static_cast<CBonusGem&>(*first).destination.x, bar.GetGemTarget(firstColour, 1).x);
    EXPECT_EQ(static_cast<CBonusGem&>(*second).destination.x, bar.GetGemTarget(secondColour, 2).x);
    EXPECT_NE(static_cast<CBonusGem&>(*first).destination.x, static_cast<CBonusGem&>(*second).destination.x);
    EXPECT_EQ(rig.Plays("GemOut.wav"), 2);

    ASSERT_TRUE(rig.RunUntil([&] { return bar.Collected() == 2; }, 5.0f));
    EXPECT_EQ(b.GemsToCollect(), 3);
    EXPECT_EQ(rig.Plays("GemBar.wav"), 2);
    EXPECT_EQ(first->state, kBonusCollected);
    rig.Frame();
    EXPECT_TRUE(std::none_of(rig.bonuses->bonuses.begin(), rig.bonuses->bonuses.end(),
                             [](const CountedHandle<CBonus>& g) { return g->kind == kBonusGem; }));
}

// A cell is struck only when it holds an active token of the board: a
// bonus fired without a cell asks for row -1, which strikes nothing.
TEST(BonusEvents, ACellIsStruckOnlyWhenItHoldsAnActiveToken)
{
    struct Case {
        int column, row;
        bool struck;
    };
    // (4, 4) was emptied and the chained (6, 1) struck before.
    const Case cases[] = {{2, 5, true},   {4, 4, false}, {6, 1, false},
                          {3, -1, false}, {8, 2, false}, {-1, 0, false}};
    BonusBoardRig rig;
    BoardProbe probe = rig.Probe();
    CGameBoard& b = *rig.board;
    std::vector<std::string> rows = NoMoveGrid();
    rows[1][6] = static_cast<char>(std::toupper(static_cast<unsigned char>(rows[1][6])));
    rig.Place(rows);
    ASSERT_TRUE(probe.DestroyCell(4, 4));
    ASSERT_TRUE(probe.DestroyCell(6, 1));
    ASSERT_TRUE(b.Cell(6, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + "," + std::to_string(c.row));
        probe.Rays().Clear();
        rig.bonuses->pending.Clear();
        rig.bonuses->pending.Push(Event(kEventDestroyCell, 3, c.column, c.row));
        probe.ApplyBonusEvents();
        ASSERT_EQ(probe.Rays().Active().size(), c.struck ? 1u : 0u);
        EXPECT_EQ(probe.Rays().SoundQueue().size(), c.struck ? 1u : 0u);
        if (!c.struck)
            continue;
        const CTerminator& ray = *probe.Rays().Active().back();
        EXPECT_TRUE(ray.Quick());
        EXPECT_EQ(ray.Path().cells, (std::vector<CellPair>{{c.column, c.row}}));
        EXPECT_FALSE(b.Cell(c.column, c.row)); // unchained: its cell is free
    }
}

// A bonus flown off is handed to a free token, back among the riding
// renderers and flying from where its swoop ended to where the token is;
// without a free token it goes.
TEST(BonusEvents, AFlownOffBonusFindsAFreeTokenOrGoes)
{
    for (const bool freeToken : {true, false}) {
        SCOPED_TRACE(freeToken);
        BonusBoardRig rig;
        BoardProbe probe = rig.Probe();
        CGameBoard& b = *rig.board;
        // Without a free token every token is chained.
        std::vector<std::string> rows = NoMoveGrid();
        if (!freeToken)
            for (std::string& row : rows)
                for (char& letter : row)
                    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        rig.Place(rows);
        const CountedHandle<CBonus> bonus = rig.bonuses->CreateBonus(kBonusTime, 1, 1, 1);
        bonus->target = Vec3{-400.0f, 300.0f, -20.0f};
        bonus->FlyOff(0.0f);
        ASSERT_EQ(bonus->drawGroup, 0);
        rig.bonuses->pending.Push(Event(kEventFlownOff, 0, 0, 0, 0.0f, bonus));
        probe.ApplyBonusEvents();
        if (!freeToken) {
            EXPECT_EQ(bonus->state, kBonusToTarget);
            continue;
        }
        EXPECT_EQ(bonus->state, kBonusFlyingIn);
        EXPECT_EQ(bonus->drawGroup, 1);
        const CountedHandle<CToken>& carrier = b.Cell(bonus->column, bonus->row);
        ASSERT_TRUE(carrier);
        EXPECT_EQ(carrier->bonus, bonus);
        EXPECT_EQ(bonus->colour, carrier->colour);
        const Vec2 at = b.CellToPoint(bonus->column, bonus->row, true);
        EXPECT_FLOAT_EQ(bonus->target.x, at.x);
        EXPECT_FLOAT_EQ(bonus->target.y, at.y);
        EXPECT_FLOAT_EQ(bonus->position.x, -400.0f);
        EXPECT_FLOAT_EQ(bonus->position.y, 300.0f);
    }
}

// Time and hints are the level's: they come while it is played and come to
// nothing once it has ended. Solidarity's strikes and a landing bonus are
// heard where they happen, the strikes with a shake.
TEST(BonusEvents, TimeHintsAndSoundsOfTheBonuses)
{
    for (const bool ended : {false, true}) {
        SCOPED_TRACE(ended);
        BonusBoardRig rig;
        BoardProbe probe = rig.Probe();
        CGameBoard& b = *rig.board;
        rig.Place(NoMoveGrid());
        b.Events().Clear();
        if (ended)
            probe.EndPlay();
        rig.bonuses->pending.Push(Event(kEventTimeArrived, 2));
        rig.bonuses->pending.Push(Event(kEventAdviserArrived, 3));
        rig.bonuses->pending.Push(Event(kEventSolidarityStrike, 1, 0, 0, 120.0f));
        rig.bonuses->pending.Push(Event(kEventBonusPlaced, 0, 0, 0, -40.0f));
        rig.bonuses->pending.Push(Event(kEventTntFired, 3)); // news only
        probe.ApplyBonusEvents();
        EXPECT_EQ(rig.Plays("SolidarityRedir.wav"), 1);
        EXPECT_NEAR(probe.ShakeAmplitude(), 0.75f, 1e-4f);
        EXPECT_EQ(rig.Plays("BonusDrop.wav"), 1);
        if (ended) {
            EXPECT_TRUE(b.Events().Empty());
            EXPECT_FALSE(rig.adviser->IsShown());
            EXPECT_EQ(rig.Plays("AdviserAct.wav"), 0);
            continue;
        }
        ASSERT_EQ(b.Events().Size(), 1u);
        EXPECT_EQ(b.Events().At(0).kind, BoardEventKind::TimeBonus);
        EXPECT_FLOAT_EQ(b.Events().At(0).seconds, 20.0f);
        EXPECT_TRUE(rig.adviser->IsShown());
        EXPECT_FLOAT_EQ(rig.adviser->SecondsLeft(), 30.0f);
        EXPECT_EQ(rig.Plays("AdviserAct.wav"), 1);
        // The board has no move: no hint arrow, but the counter runs.
        EXPECT_TRUE(rig.adviser->hintCells.empty());
    }
}

// A clock or an adviser of a level no bonus has (an edited level file or
// save) gives the time and the hints of the level its looks and blasts are
// held to, 0 .. 3.
TEST(BonusEvents, TimeAndHintsComeByTheLevelTheBonusActsWith)
{
    const struct {
        int32_t level;
        float seconds, hints;
    } cases[] = {{-4, 10.0f, 15.0f}, {1, 15.0f, 20.0f}, {3, 25.0f, 30.0f}, {9, 25.0f, 30.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        BonusBoardRig rig;
        CGameBoard& b = *rig.board;
        rig.Place(NoMoveGrid());
        b.Events().Clear();
        rig.bonuses->pending.Push(Event(kEventTimeArrived, c.level));
        rig.bonuses->pending.Push(Event(kEventAdviserArrived, c.level));
        rig.Probe().ApplyBonusEvents();
        ASSERT_EQ(b.Events().Size(), 1u);
        EXPECT_FLOAT_EQ(b.Events().At(0).seconds, c.seconds);
        EXPECT_FLOAT_EQ(rig.adviser->SecondsLeft(), c.hints);
    }
}

// Solidarity takes the tokens of its colour: a random third spared at
// level 0, steel too from level 2, its 3 x 3 neighbourhood first at level 3
// (taken once). Each is struck when the bolt reaches it, later the farther
// along the path.
TEST(BonusEvents, SolidarityTakesItsColour)
{
    struct Case {
        int level;
        std::vector<std::string> mask; // 'x' the bonus's colour, 's' steel; the bonus rides on (1, 1)
        int struck;                    // besides its own token
    };
    const std::vector<std::string> seven = {"x.......", ".x......", "....x...", "...x..x.",
                                            "........", "x.......", "......x.", ".x......"};
    const std::vector<std::string> two = {"........", ".x......", "........", "...x....",
                                          "........", "........", "........", "......x."};
    const std::vector<std::string> steel = {"........", ".x....s.", "........", "...x....",
                                            "....s...", "........", "........", "......x."};
    const std::vector<std::string> near = {"x.x.....", ".x......", "x.x.....", "........",
                                           "......x.", "........", "........", "........"};
    const Case cases[] = {
        {0, seven, 5}, // 7 of its colour, 2 spared
        {0, two, 2},
        {1, steel, 2},
        {2, steel, 4},
        // The eight neighbours, four of its colour, then the one left.
        {3, near, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " struck " + std::to_string(c.struck));
        BonusBoardRig rig;
        rig.random.Seed(11);
        BoardProbe probe = rig.Probe();
        CGameBoard& b = *rig.board;
        // Violet is never among the level-1 colours of the board around.
        rig.Place(Painted(c.mask, 'v'));
        const CountedHandle<CBonus> bonus = rig.Ride(kBonusSolidarity, c.level, 1, 1);
        const int before = Struck(b);
        probe.DestroyCell(1, 1);
        probe.Rays().Clear();
        probe.FireBonus(bonus);
        EXPECT_EQ(Struck(b) - before - 1, c.struck);
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 8; ++col) {
                const CountedHandle<CToken>& t = b.Cell(col, r);
                if (t && t->colour == kSteelColour) {
                    EXPECT_EQ(!t->active, c.level >= 2) << col << "," << r;
                }
            }
        // The neighbours are struck at once, the tokens of its colour when
        // the bolt reaches them.
        const auto& rays = probe.Rays().Active();
        const size_t neighbours = c.level == 3 ? 8 : 0;
        ASSERT_EQ(rays.size(), static_cast<size_t>(c.struck));
        for (size_t i = 0; i < rays.size(); ++i)
            EXPECT_EQ(rays[i]->elapsed < 0.0f, i >= neighbours) << i;
        EXPECT_EQ(probe.Rays().SoundQueue().empty(), c.level < 3); // only the neighbours' hits are queued
    }
}

// The bonuses show and hide with the board; a hidden one waits.
TEST(BonusEvents, BonusesShowAndHideWithTheBoard)
{
    BonusBoardRig rig;
    CGameBoard& b = *rig.board;
    rig.Place(NoMoveGrid());
    const CountedHandle<CBonus> tnt = rig.Ride(kBonusTnt, 1, 2, 2);
    const CountedHandle<CBonus> gem = rig.Ride(kBonusGem, 0, 5, 5);
    const size_t shown = rig.sprites1->sprites.size();
    ASSERT_GT(shown, 0u);
    b.Show(false, false, 0.5f);
    EXPECT_EQ(tnt->visible, 0);
    EXPECT_EQ(gem->visible, 0);
    EXPECT_TRUE(rig.sprites1->sprites.empty());
    const float age = tnt->age;
    rig.Frame();
    EXPECT_EQ(tnt->age, age);
    b.Show(true, true, 0.5f);
    EXPECT_EQ(tnt->visible, 1);
    EXPECT_EQ(gem->visible, 1);
    EXPECT_EQ(rig.sprites1->sprites.size(), shown);
}

// A bonus riding a token that a reshuffle sends off the board stays with
// it while it trembles and falls, and its pictures go out of sight as the
// token starts to slide out under the board's bottom edge, as the token's
// cap is cut there; the bonus itself goes on until the token has left.
TEST(BonusEvents, ABonusFallingOffTheBoardLeavesSightAtItsEdge)
{
    BonusBoardRig rig;
    CGameBoard& b = *rig.board;
    rig.Place(NoMoveGrid());
    const CountedHandle<CBonus> gem = rig.Ride(kBonusGem, 0, 2, 5);
    const CountedHandle<CToken> token = b.Cell(2, 5);
    ASSERT_FALSE(rig.sprites1->sprites.empty());
    const BoardGeometry g = b.Geometry();
    const float bottom = g.originY - g.cellHeight * static_cast<float>(g.rows);
    b.ShuffleAnimated(1.5f, 30);
    bool hidden = false;
    for (int frame = 0; frame < 200 && !hidden; ++frame) {
        rig.Frame();
        hidden = rig.sprites1->sprites.empty();
        EXPECT_EQ(hidden, token->cap->y - token->cap->size < bottom) << frame;
        EXPECT_EQ(gem->visible, 1) << frame;
    }
    EXPECT_TRUE(hidden);
}

// A bonus a match makes, and one the level's file lays out, is the board's:
// it lands with its sound. A gem lands silently.
TEST(BonusEvents, TheBoardsBonusesLandWithTheirSound)
{
    BonusBoardRig rig;
    rig.random.Seed(5);
    CGameBoard& b = *rig.board;
    rig.balance.bonusSlots = {2, -1, -1, -1, -1, -1}; // TNT at level 2, and nothing else
    std::vector<std::string> rows = NoMoveGrid();
    rows[7] = "ggggrbow"; // a run of four in the bottom row
    rig.Place(rows);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Plays("BonusDrop.wav") > 0; }, 3.0f));
    const auto& list = rig.bonuses->bonuses;
    const auto tnt = std::find_if(list.begin(), list.end(), [](const auto& x) { return x->kind == kBonusTnt; });
    ASSERT_NE(tnt, list.end());
    EXPECT_EQ((*tnt)->param, 2);
    EXPECT_EQ((*tnt)->eventsEnabled, 1);
    EXPECT_EQ(rig.Plays("BonusDrop.wav"), 1);
    EXPECT_EQ(b.Cell((*tnt)->column, (*tnt)->row)->bonus, *tnt);
}

// In the bonus lesson the new bonus goes onto the lesson's token, but never
// onto a gem there: the gem would be lost and the level with it.
TEST(BonusEvents, TheLessonsBonusLeavesAGemWhereItIs)
{
    for (const bool gemThere : {false, true}) {
        SCOPED_TRACE(gemThere);
        BonusBoardRig rig;
        rig.random.Seed(5);
        BoardProbe probe = rig.Probe();
        CGameBoard& b = *rig.board;
        rig.balance.bonusSlots = {1, -1, -1, -1, -1, -1};
        std::vector<std::string> rows = NoMoveGrid();
        rows[7] = "ggggrbow";
        PlaceGrid(b, rows, gemThere ? std::vector<MatchCell>{{4, 4}} : std::vector<MatchCell>{});
        const CountedHandle<CBonus> gem = gemThere ? rig.Ride(kBonusGem, 0, 4, 4) : CountedHandle<CBonus>();
        const CountedHandle<CToken> lessonToken = b.Cell(4, 4);
        probe.SetLesson(Lesson::Bonus, lesson_step::kSwapped);
        ASSERT_TRUE(rig.RunUntil([&] { return probe.Rays().Active().size() > 0; }, 1.0f));
        const auto& list = rig.bonuses->bonuses;
        const auto tnt =
            std::find_if(list.begin(), list.end(), [](const auto& x) { return x->kind == kBonusTnt; });
        ASSERT_NE(tnt, list.end());
        EXPECT_EQ(lessonToken->bonus == *tnt, !gemThere);
        if (gemThere) {
            EXPECT_EQ(lessonToken->bonus, gem);
        }
    }
}

// The board is never at rest with a run standing: a bonus that landed in
// the last frame does not hold back the search for runs.
TEST(BonusEvents, ALandingBonusDoesNotLeaveARunStanding)
{
    BonusBoardRig rig;
    CGameBoard& b = *rig.board;
    rig.Place(NoMoveGrid());
    std::vector<std::string> rows = NoMoveGrid();
    rows[7] = "gggbrbow"; // a run stands at the bottom
    rig.Place(rows);
    const CountedHandle<CBonus> time = rig.Ride(kBonusTime, 0, 6, 1);
    // Its landing raised news in the last frame's update.
    const Vec2 at = b.CellToPoint(6, 1, true);
    time->Place(at.x, at.y, 0.0f, b.Cell(6, 1)->size, 6, 1);
    rig.bonuses->Update(0.0f);
    ASSERT_FALSE(rig.bonuses->pending.Empty());
    rig.Frame();
    EXPECT_FALSE(b.IsIdle());
    EXPECT_FALSE(rig.Probe().Rays().Active().empty());
}

TEST(BonusEvents, TheBoardsGridIsSetAtEveryReset)
{
    BonusBoardRig rig;
    CGameBoard& b = *rig.board;
    BoardGrid().Set(0, 0, 0, 1, 1, 1, 1);
    b.Reset(1);
    const BoardGeometry g = b.Geometry();
    const CBoardGrid& grid = BoardGrid();
    EXPECT_EQ(grid.originX, g.originX);
    EXPECT_EQ(grid.originY, g.originY);
    EXPECT_EQ(grid.columns, 8);
    EXPECT_EQ(grid.rows, 8);
    EXPECT_EQ(grid.cellWidth, g.cellWidth);
    const Vec3 centre = grid.CellCenter(2, 5);
    const Vec2 point = b.CellToPoint(2, 5, true);
    EXPECT_EQ(centre.x, point.x);
    EXPECT_EQ(centre.y, point.y);
}
