// The gem: its halo and flares on the token, its small flares, and its
// flight to the gems bar.
#include "BonusTestSupport.h"

#include "bonuses/BonusGem.h"

#include <gtest/gtest.h>

using namespace bonus_test;

namespace {

CBonusGem& AsGem(const CountedHandle<CBonus>& bonus) { return static_cast<CBonusGem&>(*bonus); }

} // namespace

TEST(Gem, SmallFlaresComeByTheirPeriodAndTheRestCarriesOver)
{
    BonusRig rig;
    plat::SeedRandom(3);
    CountedHandle<CBonus> gem = rig.Placed(kBonusGem, 2, 3, 3);
    rig.Step(0.35f);
    EXPECT_EQ(rig.flares1->flares.size(), 3u);
    EXPECT_NEAR(AsGem(gem).smallFlareClock, 0.05f, 1e-5);
    rig.Step(0.06f);
    EXPECT_EQ(rig.flares1->flares.size(), 4u);
    EXPECT_TRUE(rig.flares2->flares.empty());
}

// A riding gem sparkles for as long as it rides with no more small flares
// than shine at once: a spent one shines again, anew.
TEST(Gem, SpentSmallFlaresSparkleAgain)
{
    BonusRig rig;
    plat::SeedRandom(4);
    CountedHandle<CBonus> gem = rig.Placed(kBonusGem, 5, 2, 2);
    const GemParameters& g = GemParams();
    const float life = 1.2f * g.smallFlareLifeTime; // its fade-in, its time and its fade-out
    for (int frame = 0; frame < 600; ++frame) {
        rig.Step(1.0f / 60.0f);
        rig.flares1->Update(1.0f / 60.0f);
    }
    const std::vector<CountedHandle<CFlare>>& made = AsGem(gem).smallFlares;
    EXPECT_LE(static_cast<float>(made.size()), life / g.smallFlareT + 2.0f);
    // As many shine as a gem that makes a new one each time.
    int shining = 0;
    for (const CountedHandle<CFlare>& flare : made)
        if (flare.UseCount() > 1) {
            ++shining;
            EXPECT_LE(flare->age, life);
        }
    EXPECT_GE(static_cast<float>(shining), life / g.smallFlareT - 2.0f);
}

TEST(Gem, PicturesComeFromTheCellsOfItsValue)
{
    BonusRig rig;
    CountedHandle<CBonus> gem = rig.Placed(kBonusGem, 5, 0, 0);
    const CSprite& halo = *AsGem(gem).halo;
    EXPECT_FLOAT_EQ(halo.frames.data()[0], 0.25f); // column 1
    EXPECT_FLOAT_EQ(halo.frames.data()[1], 0.5f);  // row 1
    EXPECT_FLOAT_EQ(halo.frames.data()[4], 0.5f);
    EXPECT_FLOAT_EQ(halo.frames.data()[5], 1.0f);
    EXPECT_EQ(halo.color, GemParams().haloColors[5]);
    AsGem(gem).destination = Vec3{-300, 350, 0};
    gem->Fire();
    const CSprite& cut = *AsGem(gem).gemSprite;
    EXPECT_FLOAT_EQ(cut.frames.data()[0], 0.1875f);
    EXPECT_FLOAT_EQ(cut.frames.data()[1], 0.375f);
    EXPECT_FLOAT_EQ(cut.frames.data()[4], 0.375f);
    EXPECT_FLOAT_EQ(cut.frames.data()[5], 0.75f);
}

// Fired before it has landed it flies from where it is; the flight always
// lasts FlyTime and ends with a burst and event 2 at the bar.
TEST(Gem, FlightToTheGemsBar)
{
    BonusRig rig;
    GemParams().flyTime = 0.5f;
    CountedHandle<CBonus> gem = rig.manager->CreateGem(4, 1);
    gem->FlyIn(0, 0, 0, 38, 2, 2, 0, 0.5f);
    rig.Step(0.25f);
    const Vec3 from = gem->position;
    AsGem(gem).destination = Vec3{-300, 350, 0};
    gem->Fire();
    EXPECT_EQ(gem->state, kBonusFired);
    EXPECT_FLOAT_EQ(gem->path.segments.front().start.x, from.x);
    EXPECT_FLOAT_EQ(gem->path.segments.front().start.y, from.y);
    EXPECT_EQ(gem->path.segments.front().start.z, GemParams().targetPos.z);
    EXPECT_EQ(gem->pathDuration, 0.5f);
    // The halo and flares leave the riding renderer with the gem.
    EXPECT_TRUE(std::find(rig.sprites2->sprites.begin(), rig.sprites2->sprites.end(), AsGem(gem).halo) !=
                rig.sprites2->sprites.end());
    EXPECT_EQ(rig.sprites1->sprites.size() + rig.sprites1->hiddenSprites.size(), 0u);

    std::vector<GameEvent> events = rig.Step(0.25f);
    ASSERT_EQ(CountKind(events, kEventGemFired), 1);
    EXPECT_EQ(events[0].value, 4);
    EXPECT_EQ(CountKind(events, kEventGemArrived), 0);
    events = rig.Step(0.25f);
    ASSERT_EQ(CountKind(events, kEventGemArrived), 1);
    EXPECT_EQ(events[0].value, 4);
    EXPECT_EQ(gem->state, kBonusAtBar);
    EXPECT_FLOAT_EQ(gem->position.x, -300.0f);
    // The board takes it (state 6) and it goes at the next update.
    gem->state = kBonusCollected;
    rig.Step(0.01f);
    EXPECT_TRUE(rig.manager->bonuses.empty());
}

TEST(Gem, HiddenInFlightItWaitsAndShownItSparklesAnew)
{
    BonusRig rig;
    CountedHandle<CBonus> gem = rig.Placed(kBonusGem, 1, 4, 4);
    AsGem(gem).destination = Vec3{-300, 350, 0};
    gem->Fire();
    rig.Step(0.1f);
    const CountedHandle<CParticleSystem> first = AsGem(gem).trail;
    ASSERT_TRUE(first);
    const Vec3 at = gem->position;
    gem->Hide();
    EXPECT_FALSE(AsGem(gem).trail);
    rig.particles2->Update(0.01f);
    EXPECT_FALSE(first->IsEmitting());
    rig.Step(0.3f);
    EXPECT_EQ(gem->position.x, at.x);
    EXPECT_FALSE(AsGem(gem).halo->visible);
    gem->Show();
    EXPECT_TRUE(AsGem(gem).trail);
    EXPECT_NE(AsGem(gem).trail, first);
    EXPECT_TRUE(AsGem(gem).halo->visible);
}

TEST(Gem, LeavesNoSpritesBehind)
{
    BonusRig rig;
    CountedHandle<CBonus> gem = rig.Placed(kBonusGem, 0, 1, 1);
    EXPECT_EQ(rig.SpriteCount(), 3u);
    AsGem(gem).destination = Vec3{0, 300, 0};
    gem->Fire();
    EXPECT_EQ(rig.SpriteCount(), 4u);
    rig.manager->RemoveAll();
    gem.Reset();
    EXPECT_EQ(rig.SpriteCount(), 0u);
}
