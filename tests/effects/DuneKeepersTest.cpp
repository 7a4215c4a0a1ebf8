// The sand box's dune keepers: where grains and puffs start, when they
// start at all, the stream up the wall and along the pour path, and the box
// starting and stopping them.
#include "effects/sandbox/DuneKeepers.h"

#include "effects/particles/ParticleSystemsManager.h"
#include "engine/RenderTestSupport.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A box of 10 columns, 90 wide and 30 high, its left top at (0, 0), with a
// heightfield whose sand stays where it is poured.
struct Dunes {
    Dunes()
    {
        plat::SeedRandom(17);
        field->SetColumnCount(10);
        field->flowFactor = 0;
        box.SetHeightfield(field);
        box.SetGeometry(0, 0, 0, 90, 30);
    }
    // Lets the display levels catch up and the box follow them.
    void Settle()
    {
        field->Update(1.0f);
        box.Update(0.0f);
    }
    const std::vector<Vec3>& Surface() const { return box.Geometry()->surface; }

    CountedHandle<CSandHeightfield> field = MakeCountedHandle(new CSandHeightfield());
    CSandbox box;
};

CCollectedParticle2 Started(CCollection2Keeper& keeper, int slot = 0)
{
    CCollectedParticle2 p;
    keeper.InitParticle(slot, p, 0, 0, 0);
    return p;
}

} // namespace

TEST(DuneKeepers, AFlatSurfaceHasNoPeakButEveryColumnWithSandIsACrest)
{
    Dunes d;
    d.field->SetFull(true, 0); // flat, every column full
    d.Settle();
    CDuneSandFlyOut flyOut;
    flyOut.Attach(d.field, d.box.Geometry(), d.box.PourPath(), 5, 20, 32);
    CDuneDustKeeper dust;
    dust.Attach(d.field, d.box.Geometry(), 40, 20, 512, 256);
    flyOut.FollowOrigin(0, 0, 0, 0.1f);
    dust.FollowOrigin(0, 0, 0, 0.1f);
    EXPECT_EQ(flyOut.GetEmitCount(1.0f), 0); // no peak, no drain
    // Nine crests of nine pairs: the full rate.
    EXPECT_EQ(dust.GetEmitCount(0.5f), 40);
    const CCollectedParticle2 puff = Started(dust);
    EXPECT_NEAR(puff.position.y, 0.0f, 1e-4);
    EXPECT_LT(puff.velocity.x, 0.0f); // drifting left
    EXPECT_EQ(puff.alpha, 0.0f);
}

TEST(DuneKeepers, AnEmptyBoxAndADisabledKeeperEmitNothing)
{
    Dunes d;
    d.Settle();
    CDuneSandFlyOut flyOut;
    flyOut.Attach(d.field, d.box.Geometry(), d.box.PourPath(), 5, 20, 32);
    CDuneDustKeeper dust;
    dust.Attach(d.field, d.box.Geometry(), 40, 20, 512, 256);
    d.field->draining = true;
    for (CCollection2Keeper* keeper :
         {static_cast<CCollection2Keeper*>(&flyOut), static_cast<CCollection2Keeper*>(&dust)}) {
        keeper->FollowOrigin(0, 0, 0, 1.0f);
        EXPECT_EQ(keeper->GetEmitCount(1.0f), 0);
    }

    d.field->Pour(0.3, 4);
    d.Settle();
    flyOut.FollowOrigin(0, 0, 0, 1.0f);
    EXPECT_GT(flyOut.GetEmitCount(1.0f), 0);
    flyOut.enabled = false;
    dust.enabled = false;
    dust.FollowOrigin(0, 0, 0, 1.0f);
    EXPECT_EQ(flyOut.GetEmitCount(1.0f), 0);
    EXPECT_EQ(dust.GetEmitCount(1.0f), 0);
}

TEST(DuneKeepers, CrestGrainsStartOnlyAtTheFirstOfTwoPeaks)
{
    Dunes d;
    d.field->Pour(0.04, 2);
    d.field->Pour(0.04, 7);
    d.Settle();
    CDuneSandFlyOut flyOut;
    flyOut.Attach(d.field, d.box.Geometry(), d.box.PourPath(), 5, 20, 32);
    flyOut.FollowOrigin(0, 0, 0, 0.0f);
    const int grains = flyOut.GetEmitCount(1.0f); // 40 crest grains, no drain
    ASSERT_EQ(grains, 40);
    for (int i = 0; i < grains; ++i) {
        const CCollectedParticle2 p = Started(flyOut, i);
        EXPECT_FLOAT_EQ(p.position.x, d.Surface()[2].x);
        EXPECT_FLOAT_EQ(p.position.y, d.Surface()[2].y);
        EXPECT_LT(p.velocity.x, 0.0f); // blown towards the left wall
    }
}

TEST(DuneKeepers, WhileTheBoxDrainsGrainsClimbTheWallAndLeaveAlongThePourPath)
{
    Dunes d;
    SandboxSettings skin;
    skin.pathPoints = {Vec2{0, 16}, Vec2{-16, 16}};
    skin.pathSpeed = 32;
    d.box.ApplySettings(skin);
    d.field->Pour(0.3, 0);
    d.Settle();
    d.field->draining = true;
    CDuneSandFlyOut flyOut;
    flyOut.Attach(d.field, d.box.Geometry(), d.box.PourPath(), 5, 20, 32);
    flyOut.fadeInSpeed = 100; // keep it visible for the whole trip
    flyOut.surfaceFadeOut = flyOut.pathFadeOut = 0.01f;
    flyOut.FollowOrigin(0, 0, 0, 0.0f);
    ASSERT_GT(flyOut.GetEmitCount(0.05f), 0);
    CCollectedParticle2 p = Started(flyOut);
    EXPECT_FLOAT_EQ(p.position.x, 0.0f); // at the first column
    EXPECT_FLOAT_EQ(p.velocity.y, 32.0f);
    bool onPath = false, flown = false;
    for (int frame = 0; frame < 200 && !flown; ++frame) {
        ASSERT_TRUE(flyOut.UpdateParticle(0, p, 0.02f, 0, 0, 0));
        ASSERT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y));
        onPath = onPath || p.position.y > 0.5f;
        flown = p.position.x < -17.0f; // past the end of the path
    }
    EXPECT_TRUE(onPath);
    EXPECT_TRUE(flown);
    EXPECT_LT(p.velocity.x, 0.0f);
}

TEST(DuneKeepers, AGrainThatReachesTheSandStopsAndFadesQuickly)
{
    Dunes d;
    d.field->Pour(0.2, 5);
    d.Settle();
    CDuneSandFlyOut flyOut;
    flyOut.Attach(d.field, d.box.Geometry(), d.box.PourPath(), 5, 20, 32);
    flyOut.FollowOrigin(0, 0, 0, 0.01f);
    CCollectedParticle2 p;
    p.InitQuad(0, 45, -29, 0, 0, 0.5f, 8, 8, 0); // just above the bottom, inside the sand
    p.velocity = Vec3{-20, 0, 0};
    p.alphaSpeed = 1.0f;
    ASSERT_TRUE(flyOut.UpdateParticle(0, p, 0.01f, 0, 0, 0));
    EXPECT_EQ(p.velocity.x, 0.0f);
    EXPECT_EQ(p.alphaSpeed, flyOut.landingFadeOut);
}

TEST(DuneKeepers, TheBoxStartsItsDunesOnceAndTheyOutliveIt)
{
    NullRig rig;
    auto manager = MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
    auto field = MakeCountedHandle(new CSandHeightfield());
    field->SetColumnCount(40);
    field->Pour(0.3, 20);
    auto box = MakeCountedHandle(new CSandbox());
    box->SetParticleManager(manager);
    box->SetHeightfield(field);
    box->SetGeometry(-320, -340, 0, 640, 32);
    box->Show(true, 2);
    box->Show(true, 0);
    EXPECT_EQ(manager->BlendedSystems().size(), 2u);
    ASSERT_TRUE(box->FlyOutSystem() && box->DustSystem());

    for (int i = 0; i < 30; ++i) {
        field->Update(1.0f / 30);
        box->Update(1.0f / 30);
        manager->Update(1.0f / 30);
    }
    EXPECT_GT(box->FlyOutSystem()->LiveCount() + box->DustSystem()->LiveCount(), 0);

    // Hidden: the effects stop emitting and their last particles run out
    // after the box itself is gone.
    CountedHandle<CParticleSystem> flyOut = box->FlyOutSystem();
    box->Show(false, 0);
    EXPECT_FALSE(box->FlyOutSystem());
    manager->Update(1.0f / 30);
    EXPECT_FALSE(flyOut->IsEmitting());
    box.Reset();
    field.Reset();
    flyOut.Reset();
    for (int i = 0; i < 300 && !manager->BlendedSystems().empty(); ++i)
        manager->Update(1.0f / 30);
    EXPECT_TRUE(manager->BlendedSystems().empty());
}
