// The bomb, lightning and the clock: what they destroy by level, their
// sparks and bolts, and the clock's twirl on its way to the time display.
#include "BonusTestSupport.h"

#include "bonuses/BonusFlash.h"
#include "bonuses/BonusTNT.h"
#include "bonuses/BonusTime.h"
#include "effects/particles/ThunderboltParticleSystem.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bonus_test;
using Cell = std::pair<int, int>;

namespace {

std::vector<GameEvent> FireAt(BonusRig& rig, int32_t kind, int32_t param, int column, int row)
{
    CountedHandle<CBonus> bonus = rig.Placed(kind, param, column, row);
    rig.Step(0.0f);
    bonus->Fire();
    return rig.Step(0.0f);
}

} // namespace

TEST(Tnt, BlastGrowsWithTheLevelAndStopsAtTheEdges)
{
    struct Case {
        int32_t param;
        int column, row;
        size_t cells;
    };
    const Case cases[] = {
        {0, 3, 3, 5},  {1, 3, 3, 9},  {2, 3, 3, 13},
        {3, 3, 3, 21}, {7, 3, 3, 21}, // a level past the tables blasts as level 3
        {0, 0, 0, 3},  {3, 1, 4, 18}, {3, 7, 7, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.param << " at " << c.column << "," << c.row);
        BonusRig rig;
        const std::vector<GameEvent> events = FireAt(rig, kBonusTnt, c.param, c.column, c.row);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events[0].kind, kEventTntFired);
        EXPECT_EQ(events[0].value, c.param); // the event keeps the bonus's own level
        const std::vector<Cell> cells = Cells(events);
        EXPECT_EQ(cells.size(), c.cells);
        EXPECT_NE(std::find(cells.begin(), cells.end(), Cell(c.column, c.row)), cells.end());
        for (const Cell& cell : cells) {
            EXPECT_TRUE(cell.first >= 0 && cell.first < 8 && cell.second >= 0 && cell.second < 8);
            EXPECT_LE(std::abs(cell.first - c.column), 2);
        }
    }
    BonusRig rig;
    EXPECT_EQ(Cells(FireAt(rig, kBonusTnt, 0, 0, 0)), (std::vector<Cell>{{0, 0}, {1, 0}, {0, 1}}));
}

// A bomb or a bolt that rides on no cell (a preview, a bonus between
// tokens) destroys nothing of the board.
TEST(TntAndFlash, WithoutACellTheyDestroyNothing)
{
    for (int32_t kind : {kBonusTnt, kBonusFlash}) {
        SCOPED_TRACE(kind);
        BonusRig rig;
        CountedHandle<CBonus> bonus = rig.manager->CreateBonus(kind, 3, 0, 1);
        bonus->Fire();
        const std::vector<GameEvent> events = rig.Step(0.0f);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, kind == kBonusTnt ? kEventTntFired : kEventFlashFired);
    }
}

TEST(Tnt, SparksShowOnTheNearSideAndTurnTwentyFramesASecond)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusTnt, 0, 2, 2);
    auto& tnt = static_cast<CBonusTNT&>(*bonus);
    tnt.sparkAngle[0] = 0.0f;                                // sin 0: behind
    tnt.sparkAngle[1] = 2.0f * kBonusPi - std::asin(0.125f); // sin -0.125
    tnt.sparkAngle[2] = 1.5f * kBonusPi;                     // sin -1: in front
    tnt.sparkFrame[0] = 2.5f;
    bonus->Update(0.0f);
    EXPECT_EQ(tnt.sparks[0]->opacity, 0.0f);
    EXPECT_NEAR(tnt.sparks[1]->opacity, 0.5f, 1e-4);
    EXPECT_EQ(tnt.sparks[2]->opacity, 1.0f);
    EXPECT_EQ(tnt.sparks[0]->frame, 2);
    bonus->Update(0.05f);
    EXPECT_EQ(tnt.sparks[0]->frame, 3);
    bonus->Update(0.05f);
    EXPECT_EQ(tnt.sparks[0]->frame, 4);
    // The spark of wire 2 stands on its wire's near end at angle 1.5 pi.
    const BonusParameters& b = BonusParams();
    EXPECT_NEAR(tnt.sparks[2]->x,
                bonus->position.x + b.wireCentres[2].x + std::cos(tnt.sparkAngle[2]) * b.wireAxes[2].x +
                    std::sin(tnt.sparkAngle[2]) * b.wireNormals[2].x,
                1e-3);
}

TEST(Tnt, RingAndHalosSwellByTheLevel)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusTnt, 0, 4, 4);
    bonus->Fire();
    // The bomb goes; the ring and two halos come.
    std::vector<CSprite*> ring, halos;
    for (const CountedHandle<CSprite>& s : rig.sprites1->sprites)
        if (s->texture == rig.manager->textures[CBonusManager::kRing])
            ring.push_back(s.Get());
        else if (s->texture == rig.manager->textures[CBonusManager::kHalo1])
            halos.push_back(s.Get());
    ASSERT_EQ(ring.size(), 1u);
    ASSERT_EQ(halos.size(), 2u);
    EXPECT_EQ(ring[0]->width, 96.0f);
    EXPECT_FLOAT_EQ(halos[0]->width, 86.4f);
    EXPECT_EQ(halos[0]->spinSpeed, -halos[1]->spinSpeed);
    rig.sprites1->Update(0.4f, 0);
    EXPECT_FLOAT_EQ(ring[0]->width, 288.0f);
    EXPECT_LT(halos[0]->width, 259.2f);
    rig.sprites1->Update(0.4f, 0);
    EXPECT_FLOAT_EQ(halos[0]->width, 259.2f);
}

TEST(Tnt, HiddenWhenFiredItKeepsItsEvents)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusTnt, 1, 4, 4);
    bonus->Fire();
    bonus->Hide();
    EXPECT_TRUE(rig.Step(0.1f).empty());
    EXPECT_EQ(rig.manager->bonuses.size(), 1u);
    EXPECT_FALSE(bonus->IsIdle());
    bonus->Show();
    EXPECT_EQ(Cells(rig.Step(0.1f)).size(), 9u);
    EXPECT_EQ(rig.manager->bonuses.size(), 1u);
    rig.Step(0.1f);
    EXPECT_TRUE(rig.manager->bonuses.empty());
}

TEST(Flash, CellsByLevel)
{
    struct Case {
        int32_t param;
        int column, row;
        std::vector<Cell> cells;
    };
    auto row = [](int r) {
        std::vector<Cell> cells;
        for (int c = 0; c < 8; ++c)
            cells.emplace_back(c, r);
        return cells;
    };
    auto plus = [](std::vector<Cell> a, const std::vector<Cell>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<Cell> above = {{2, 4}, {2, 3}, {2, 2}, {2, 1}, {2, 0}};
    const Case cases[] = {
        {0, 2, 5, plus({{2, 5}}, above)},
        {1, 2, 5, row(5)},
        {2, 2, 5, plus(row(5), above)},
        {3, 2, 5, plus(plus(row(5), above), {{2, 6}, {2, 7}})},
        {0, 6, 0, {{6, 0}}},
        {3, 1, 7, plus(row(7), {{1, 6}, {1, 5}, {1, 4}, {1, 3}, {1, 2}, {1, 1}, {1, 0}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.param << " at " << c.column << "," << c.row);
        BonusRig rig;
        const std::vector<GameEvent> events = FireAt(rig, kBonusFlash, c.param, c.column, c.row);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events[0].kind, kEventFlashFired);
        EXPECT_EQ(Cells(events), c.cells);
    }
}

// One bolt more than the level rides on the emblem; when fired, the
// thunderbolts run to the board's edges the level names.
TEST(Flash, BoltsByLevel)
{
    const size_t thunderbolts[4] = {1, 2, 3, 4};
    for (int32_t param : {0, 1, 2, 3, 9}) {
        SCOPED_TRACE(param);
        BonusRig rig;
        CountedHandle<CBonus> bonus = rig.Placed(kBonusFlash, param, 3, 3);
        const auto& flash = static_cast<CBonusFlash&>(*bonus);
        const int level = std::min(param, 3);
        EXPECT_EQ(flash.boltSprites.size(), static_cast<size_t>(level + 2)); // the core and the bolts
        bonus->Fire();
        size_t bolts = 0;
        for (const CountedHandle<CParticleSystem>& s : rig.particles1->BlendedSystems())
            bolts += dynamic_cast<CThunderboltParticleSystem*>(s.Get()) ? 1 : 0;
        EXPECT_EQ(bolts, thunderbolts[level]);
        // Two spinning flares over the cell and one beam along each bolt.
        EXPECT_EQ(rig.flares1->flares.size(), 2 + thunderbolts[level]);
    }
}

TEST(Flash, BoltsFlickerAboutThirtyTimesASecond)
{
    BonusRig rig;
    plat::SeedRandom(11);
    CountedHandle<CBonus> bonus = rig.Placed(kBonusFlash, 3, 3, 3);
    const auto& flash = static_cast<CBonusFlash&>(*bonus);
    int changes = 0;
    std::vector<int32_t> frames;
    for (size_t i = 1; i < flash.boltSprites.size(); ++i)
        frames.push_back(flash.boltSprites[i]->frame);
    for (int step = 0; step < 600; ++step) {
        bonus->Update(0.01f);
        for (size_t i = 1; i < flash.boltSprites.size(); ++i) {
            changes += flash.boltSprites[i]->frame != frames[i - 1] ? 1 : 0;
            frames[i - 1] = flash.boltSprites[i]->frame;
        }
    }
    // 4 bolts x 6 s x 30 draws, of which 7 in 8 show another frame.
    EXPECT_NEAR(changes, 4 * 6 * 30 * 7 / 8, 80);
}

TEST(Time, AClockShowsItsBadgeFromLevelOne)
{
    for (int32_t param : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(param);
        BonusRig rig;
        CountedHandle<CBonus> bonus = rig.Placed(kBonusTime, param, 3, 3);
        const auto& clock = static_cast<CBonusTime&>(*bonus);
        ASSERT_EQ(clock.clockSprites.size(), param == 0 ? 6u : 7u);
        if (param > 0) { // the badge's frame is that level's, the last past 3
            EXPECT_FLOAT_EQ(clock.clockSprites[4]->frames.data()[1], (std::min(param, 3) - 1) * 76.0f / 256.0f);
        }
        // The shadows fall a scaled unit right of and above their hands.
        bonus->Update(0.0f);
        const float s = bonus->scale;
        for (size_t hand : {size_t{0}, size_t{2}}) {
            EXPECT_FLOAT_EQ(clock.clockSprites[hand + 1]->x, clock.clockSprites[hand]->x + s);
            EXPECT_FLOAT_EQ(clock.clockSprites[hand + 1]->y, clock.clockSprites[hand]->y + s);
        }
    }
}

// With the default times the twirl arrives after 0.4 s and the clock is done
// 0.6 s after it fired, one frame later than its last events.
TEST(Time, TwirlArrivesAndEndsOnTime)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusTime, 2, 3, 3);
    const Vec3 target = BonusParams().timeTarget;
    bonus->Fire();
    const auto& clock = static_cast<CBonusTime&>(*bonus);
    float t = 0.0f, arrived = -1.0f, dropped = -1.0f;
    for (int step = 0; step < 40 && dropped < 0.0f; ++step) {
        const std::vector<GameEvent> events = rig.Step(0.05f);
        t += 0.05f;
        if (CountKind(events, kEventTimeArrived) == 1) {
            arrived = t;
            EXPECT_EQ(events.back().value, 2);
        }
        if (clock.twirl) { // the flight keeps the display's depth
            EXPECT_EQ(clock.twirl->z, target.z);
        }
        if (rig.manager->bonuses.empty())
            dropped = t;
    }
    // The first frames at or past 0.4 s and 0.6 s.
    EXPECT_GE(arrived, 0.4f - 1e-4f);
    EXPECT_LT(arrived, 0.45f + 1e-4f);
    EXPECT_GE(dropped, 0.6f - 1e-4f);
    EXPECT_LT(dropped, 0.65f + 1e-4f);
}

// One long frame right after Fire passes the growth, the flight and the
// arrival at once; the burst still takes its own time (the swirls end 0.6 s
// after Fire), and the clock goes in the first update after that.
TEST(Time, OneLongUpdatePassesEveryPhase)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusTime, 0, 3, 3);
    bonus->Fire();
    rig.Step(0.0f);
    const std::vector<GameEvent> events = rig.Step(0.5f);
    ASSERT_EQ(CountKind(events, kEventTimeArrived), 1);
    ASSERT_EQ(rig.flares2->flares.size(), 1u);
    const Vec3 target = BonusParams().timeTarget;
    EXPECT_EQ(rig.flares2->flares[0]->x, target.x);
    EXPECT_EQ(rig.flares2->flares[0]->y, target.y);
    const auto& clock = static_cast<CBonusTime&>(*bonus);
    EXPECT_FALSE(clock.twirl);
    ASSERT_TRUE(clock.digitSystem);
    EXPECT_EQ(clock.digitSystem->Position().x, target.x);
    rig.Step(0.11f);
    EXPECT_FALSE(clock.digitSystem);
    EXPECT_TRUE(rig.manager->bonuses.empty());
    // With a shorter burst the same frame ends it too, and the clock goes
    // at the next update, once its events are taken.
    BonusParams().timePostFlyTime = 0.05f;
    CountedHandle<CBonus> quick = rig.Placed(kBonusTime, 0, 3, 3);
    quick->Fire();
    rig.Step(0.0f);
    EXPECT_EQ(CountKind(rig.Step(0.5f), kEventTimeArrived), 1);
    EXPECT_FALSE(static_cast<CBonusTime&>(*quick).digitSystem);
    EXPECT_EQ(rig.manager->bonuses.size(), 1u);
    rig.Step(0.01f);
    EXPECT_TRUE(rig.manager->bonuses.empty());
}
