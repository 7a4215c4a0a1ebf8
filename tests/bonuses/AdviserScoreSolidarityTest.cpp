// The adviser's emblem and flight, the score multiplier's coins, and the
// solidarity bolt's path through its targets.
#include "BonusTestSupport.h"

#include "bonuses/BonusAdviser.h"
#include "bonuses/BonusScore.h"
#include "bonuses/BonusSolidarity.h"
#include "effects/keepers/SimpleSpriteSystemKeeper.h"
#include "effects/particles/Collection2ParticleSystem.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bonus_test;

TEST(Adviser, TheTopLevelSplitsItsRim)
{
    BonusRig rig;
    CountedHandle<CBonus> split = rig.Placed(kBonusAdviser, 3, 2, 2);
    const auto& halves = static_cast<CBonusAdviser&>(*split).sprites;
    ASSERT_EQ(halves.size(), 4u); // left, right, glass, shade
    EXPECT_FLOAT_EQ(halves[1]->x - halves[0]->x, 44.0f);
    EXPECT_FLOAT_EQ(halves[0]->width, 44.0f);
    EXPECT_FLOAT_EQ(halves[0]->frames.data()[0], 88.0f / 256.0f);
    EXPECT_FLOAT_EQ(halves[1]->frames.data()[0], 44.0f / 256.0f);
    CountedHandle<CBonus> third = rig.Placed(kBonusAdviser, 2, 3, 2);
    const auto& whole = static_cast<CBonusAdviser&>(*third).sprites;
    ASSERT_EQ(whole.size(), 3u);
    EXPECT_FLOAT_EQ(whole[0]->frames.data()[0], 0.0f);
    EXPECT_FLOAT_EQ(whole[0]->frames.data()[1], 88.0f / 256.0f);
    EXPECT_EQ(rig.manager->CreateBonus(kBonusAdviser, 12, 0, 0)->param, 12);
}

// Fired, it flies over the HUD to the counter, asks for the hint display
// there (event 10) and goes one frame later.
TEST(Adviser, FlightToTheCounter)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusAdviser, 1, 5, 5);
    auto& adviser = static_cast<CBonusAdviser&>(*bonus);
    bonus->Fire();
    EXPECT_EQ(adviser.sprites[0]->zOrder, BonusParams().adviserZOrder - 2);
    EXPECT_EQ(rig.sprites1->sprites.size() + rig.sprites1->hiddenSprites.size(), 0u);
    EXPECT_EQ(rig.sprites3->sprites.size(), 3u);
    ASSERT_TRUE(adviser.tail);
    EXPECT_EQ(CountKind(rig.Step(0.0f), kEventAdviserFired), 1);
    bool arrived = false;
    for (int step = 0; step < 200 && !arrived; ++step) {
        const std::vector<GameEvent> events = rig.Step(0.01f);
        arrived = CountKind(events, kEventAdviserArrived) == 1;
        if (arrived) {
            EXPECT_EQ(events[0].value, 1);
        }
    }
    ASSERT_TRUE(arrived);
    EXPECT_NEAR(bonus->position.x, BonusParams().adviserTarget.x, 1e-3);
    EXPECT_EQ(rig.manager->bonuses.size(), 1u);
    rig.Step(0.01f);
    EXPECT_TRUE(rig.manager->bonuses.empty());
}

TEST(Adviser, OnItsTargetAlreadyItStillFliesALittle)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.manager->CreateBonus(kBonusAdviser, 0, 0, 1);
    const Vec3 t = BonusParams().adviserTarget;
    bonus->Place(t.x, t.y, t.z, 38, 0, 0);
    bonus->Fire();
    EXPECT_FLOAT_EQ(bonus->pathDuration, 0.1f / BonusParams().adviserSpeed);
    EXPECT_TRUE(std::isfinite(bonus->position.x));
}

TEST(Adviser, HiddenInFlightItStopsItsTrail)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusAdviser, 0, 5, 5);
    auto& adviser = static_cast<CBonusAdviser&>(*bonus);
    bonus->Fire();
    rig.Step(0.05f);
    const CountedHandle<CParticleSystem> first = adviser.tail;
    bonus->Hide();
    EXPECT_FALSE(adviser.tail);
    EXPECT_FALSE(adviser.sprites[0]->visible);
    bonus->Show();
    ASSERT_TRUE(adviser.tail);
    EXPECT_NE(adviser.tail, first);
    EXPECT_TRUE(adviser.sprites[0]->visible);
}

TEST(Score, CoinsCountTheFactor)
{
    const int coins[] = {3, 5, 7, 10, 10, 10};
    for (int32_t param = 0; param <= 5; ++param) {
        SCOPED_TRACE(param);
        BonusRig rig;
        CountedHandle<CBonus> bonus = rig.Placed(kBonusScore, param, 1, 1);
        const auto& score = static_cast<CBonusScore&>(*bonus);
        ASSERT_EQ(score.sprites.size(), static_cast<size_t>(coins[param] + 1));
        // Evenly round the ring from the top; the plate of the level.
        const float step = 2.0f * kBonusPi / static_cast<float>(coins[param]);
        EXPECT_FLOAT_EQ(score.sprites[1]->angle, kBonusPi / 2.0f);
        EXPECT_NEAR(score.sprites[2]->angle, kBonusPi / 2.0f + step, 1e-5);
        EXPECT_FLOAT_EQ(score.sprites[0]->frames.data()[1], (94.0f + 36.0f * std::min(param, 3)) / 256.0f);
    }
}

TEST(Score, CoinsTurnThroughTheirFrames)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusScore, 0, 1, 1);
    auto& score = static_cast<CBonusScore&>(*bonus);
    score.coinPhases[0] = 7.9f;
    bonus->Update(0.2f / BonusParams().coinFps);
    EXPECT_NEAR(score.coinPhases[0], 0.1f, 1e-4);
    EXPECT_EQ(score.sprites[1]->frame, 0);
}

// The burst's coins start where the turning ring has carried them.
TEST(Score, BurstStartsWhereTheCoinsAre)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = rig.Placed(kBonusScore, 1, 4, 4);
    const auto& score = static_cast<CBonusScore&>(*bonus);
    rig.sprites1->Update(0.3f, 0); // the ring turns
    const float angle = score.sprites[1]->angle;
    ASSERT_GT(std::fabs(angle - kBonusPi / 2.0f), 0.1f);
    bonus->Fire();
    const CSimpleSpriteSystemKeeper* burst = nullptr;
    for (const CountedHandle<CParticleSystem>& s : rig.particles1->BlendedSystems())
        if (auto* c = dynamic_cast<CCollection2ParticleSystem*>(s.Get()))
            if (auto* k = dynamic_cast<CSimpleSpriteSystemKeeper*>(c->Keeper().Get()))
                burst = k;
    ASSERT_TRUE(burst);
    ASSERT_EQ(burst->Seeds().size(), 5u);
    const float r = BonusParams().coinOrbitRadius;
    EXPECT_NEAR(burst->Seeds()[0].offset.x, r * std::cos(angle), 1e-3);
    EXPECT_NEAR(burst->Seeds()[0].offset.y, r * std::sin(angle), 1e-3);
    EXPECT_TRUE(score.sprites.empty());
    EXPECT_FALSE(score.orbit);
}

namespace {

CBonusSolidarity& Solidarity(const CountedHandle<CBonus>& b) { return static_cast<CBonusSolidarity&>(*b); }

CountedHandle<CBonus> SolidarityAt(BonusRig& rig, int32_t param, float x, float y)
{
    CountedHandle<CBonus> bonus = rig.manager->CreateBonus(kBonusSolidarity, param, 0, 1);
    bonus->Place(x, y, 0, 38, 0, 0);
    return bonus;
}

} // namespace

TEST(Solidarity, PathRunsNearestFirstAndDelaysFollowIt)
{
    BonusRig rig;
    const BonusParameters& b = BonusParams();
    CountedHandle<CBonus> bonus = SolidarityAt(rig, 1, 0, 0);
    std::vector<float> delays;
    Solidarity(bonus).SetTargets({{400, 0}, {0, 200}, {50, 0}}, &delays);
    const std::vector<Vec3>& path = Solidarity(bonus).pathPoints;
    ASSERT_EQ(path.size(), 4u);
    EXPECT_EQ(path[1].x, 50.0f);
    EXPECT_EQ(path[2].y, 200.0f);
    EXPECT_EQ(path[3].x, 400.0f);
    EXPECT_EQ(path[0].z, -10.0f);
    ASSERT_EQ(delays.size(), 3u);
    EXPECT_FLOAT_EQ(delays[2], (50.0f + b.boltLength) / b.boltSpeed - b.termTime);
    const float second = 50.0f + std::hypot(50.0f, 200.0f);
    EXPECT_FLOAT_EQ(delays[1], (second + b.boltLength) / b.boltSpeed - b.termTime);
    EXPECT_FLOAT_EQ(delays[0], (second + std::hypot(400.0f, 200.0f) + b.boltLength) / b.boltSpeed - b.termTime);

    // With a short bolt, the first target is the nearest one the bolt's tail
    // reaches no sooner than a strike needs.
    BonusParams().boltLength = 10.0f;
    Solidarity(bonus).SetTargets({{400, 0}, {0, 200}, {50, 0}}, &delays);
    EXPECT_EQ(Solidarity(bonus).pathPoints[1].x, 400.0f);
    EXPECT_EQ(delays[0], std::max(0.0f, 410.0f / b.boltSpeed - b.termTime));
    // An empty list changes nothing.
    Solidarity(bonus).SetTargets({}, &delays);
    EXPECT_EQ(Solidarity(bonus).pathPoints.size(), 4u);
}

// However far the next target is, it joins the path; a target on the spot
// of the last keeps the last direction.
TEST(Solidarity, FarAndDoubledTargetsStillMakeAPath)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = SolidarityAt(rig, 0, 0, 0);
    std::vector<float> delays;
    Solidarity(bonus).SetTargets({{0, 100}, {1500, 100}, {0, 100}}, &delays);
    const CBonusSolidarity& s = Solidarity(bonus);
    ASSERT_EQ(s.pathPoints.size(), 4u);
    EXPECT_EQ(s.pathPoints[3].x, 1500.0f);
    EXPECT_EQ(s.segmentLengths[1], 0.0f);
    EXPECT_EQ(s.segmentDirections[1].x, s.segmentDirections[0].x);
    EXPECT_EQ(s.segmentDirections[1].y, s.segmentDirections[0].y);
    for (float d : delays)
        EXPECT_TRUE(std::isfinite(d));
}

TEST(Solidarity, BoltRunsThePathAndLeavesIt)
{
    BonusRig rig;
    CountedHandle<CBonus> bonus = SolidarityAt(rig, 0, 0, 0);
    CBonusSolidarity& s = Solidarity(bonus);
    s.SetTargets({{240, 0}}, nullptr);
    bonus->Fire();
    const std::vector<GameEvent> first = rig.Step(0.0f);
    EXPECT_EQ(CountKind(first, kEventSolidarityFired), 1);
    ASSERT_EQ(s.bolts.size(), 1u);
    int strikes = CountKind(first, kEventSolidarityStrike);
    bool dropped = false;
    for (int step = 0; step < 200 && !dropped; ++step) {
        const std::vector<GameEvent> events = rig.Step(0.02f);
        strikes += CountKind(events, kEventSolidarityStrike);
        if (rig.manager->bonuses.empty()) {
            dropped = true;
            break;
        }
        EXPECT_LT(s.firstLit, 1);
        EXPECT_LT(s.lastLit, 1);
        // Busy while the bolt is on the path, events or not.
        if (!s.bolts.empty() && s.events.Empty()) {
            EXPECT_FALSE(bonus->IsIdle());
        }
    }
    EXPECT_TRUE(dropped);
    EXPECT_EQ(strikes, 2); // into the segment, and at its end
    EXPECT_TRUE(s.bolts.empty());
}

TEST(Solidarity, TailsAndRings)
{
    for (int32_t param : {0, 1, 3, 8}) {
        BonusRig rig;
        CountedHandle<CBonus> bonus = SolidarityAt(rig, param, 0, 0);
        const CBonusSolidarity& s = Solidarity(bonus);
        const size_t tails = static_cast<size_t>(std::min(param, 3) + 2);
        ASSERT_EQ(s.glowSprites.size(), tails + 1) << param;
        EXPECT_NEAR(s.glowSprites[2]->angle - s.glowSprites[1]->angle, 2.0f * kBonusPi / tails, 1e-5);
    }
    BonusRig rig;
    CountedHandle<CBonus> bonus = SolidarityAt(rig, 0, 0, 0);
    const CBonusSolidarity& s = Solidarity(bonus);
    rig.Step(0.1f); // the first ring comes at once
    ASSERT_EQ(s.rings.size(), 1u);
    EXPECT_EQ(s.rings[0]->opacity, 0.0f);
    rig.Step(0.3f);
    EXPECT_FLOAT_EQ(s.rings[0]->opacity, 1.0f);
    rig.Step(0.15f);
    EXPECT_FLOAT_EQ(s.rings[0]->opacity, 1.0f);
    rig.Step(0.5f);
    EXPECT_NEAR(s.rings[0]->opacity, 0.1f, 1e-4);
}
