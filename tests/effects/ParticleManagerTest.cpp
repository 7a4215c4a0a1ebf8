// The particle-systems manager on the recording null device: order, pruning,
// both passes with their states and fog, and its farewell line.
#include "EffectsTestSupport.h"
#include "engine/RenderTestSupport.h"

#include "effects/particles/ParticleSystemsManager.h"
#include "effects/particles/SparksParticleSystem.h"
#include "engine/Log.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace d3d;
using namespace effects_test;

namespace {

class ManagerTest : public ::testing::Test {
protected:
    ManagerTest() : manager(MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices)))
    {
        plat::SeedRandom(11);
        manager->Environment().killMin = Vec3{-1000, -1000, -1000};
        manager->Environment().killMax = Vec3{1000, 1000, 1000};
        manager->Environment().view->eye.z = 10000.0f;
    }

    // Long-lived sparks at depth z, one born per frame of 1/64 s.
    CountedHandle<CParticleSystem> Sparks(float z)
    {
        CSparksSpringParametres p(0, 0, z, 0, 10, 0, 1, 0, 0, 1, 1, 0xFFFFFF);
        p.rate = 64.0f;
        p.duration = 100.0f;
        p.fadeRate = 0.1f;
        return manager->AddSparks(&p, 20, {});
    }

    // Puffs at depth z, `perFrame` born per frame of 1/64 s.
    CountedHandle<CParticleSystem> Smoke(int flags, float z = 0.0f, int capacity = 20, int perFrame = 1)
    {
        CSmokesSpringParametres p(0, 0, z, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 0xFFFFFF, flags);
        p.rate = 64.0f * static_cast<float>(perFrame);
        return manager->AddSmokes(&p, capacity, {});
    }

    std::vector<std::string> Calls(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& call : rig.direct3d.log.calls)
            if (call.rfind(prefix, 0) == 0)
                out.push_back(call);
        return out;
    }

    NullRig rig;
    CountedHandle<CParticleSystemsManager> manager;
};

} // namespace

TEST_F(ManagerTest, SystemsAreKeptFarToNearInCreationOrder)
{
    auto first = Sparks(5);
    auto nearer = Sparks(1);
    auto second = Sparks(5);
    const auto& list = manager->BlendedSystems();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0] == first);
    EXPECT_TRUE(list[1] == second);
    EXPECT_TRUE(list[2] == nearer);
}

TEST_F(ManagerTest, KilledAndFinishedSystemsGoAfterOneLastUpdate)
{
    auto killed = Sparks(0);
    auto kept = Sparks(0);
    manager->Update(1.0f / 64.0f);
    killed->Kill();
    manager->Update(1.0f / 64.0f);
    ASSERT_EQ(manager->BlendedSystems().size(), 1u);
    // The killed system had its last update, and the owner's handle is good.
    EXPECT_EQ(killed->LiveCount(), 2);
    EXPECT_EQ(killed.UseCount(), 1u);
    // A finished system leaves by itself.
    CSparksSpringParametres brief(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0);
    brief.duration = 0.0f;
    manager->AddSparks(&brief, 4, {});
    manager->Update(0.1f);
    EXPECT_EQ(manager->BlendedSystems().size(), 1u);
}

TEST_F(ManagerTest, BlendedPassFillsLocksAndDrawsEachLiveSystem)
{
    auto empty = Sparks(0);  // nothing born yet
    manager->Update(0.001f); // below one particle
    auto busy = Smoke(kSmokeAlphaBlend);
    manager->Update(3.0f / 64.0f);
    rig.direct3d.log.calls.clear();
    manager->RenderAlphaTested(); // its list is empty
    EXPECT_TRUE(rig.direct3d.log.calls.empty());
    manager->RenderBlended();
    const auto draws = Calls("DrawIndexedPrimitive");
    ASSERT_EQ(draws.size(), 2u); // sparks now have 3 particles, smoke 3 puffs
    EXPECT_EQ(draws[0], "DrawIndexedPrimitive 4 0 12 0 6");
    EXPECT_EQ(draws[1], "DrawIndexedPrimitive 4 12 12 18 6");
    // The sparks add, the smoke blends over; both alpha-tested at 0.
    const auto blends = Calls("SetRenderState 20");
    const std::vector<std::string> expected = {"SetRenderState 20 2", "SetRenderState 20 6"};
    EXPECT_EQ(blends, expected);
    const struct {
        D3DRENDERSTATETYPE state;
        uint32_t value;
    } states[] = {{D3DRS_ALPHATESTENABLE, 1},
                  {D3DRS_ALPHAREF, 0},
                  {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
                  {D3DRS_ALPHABLENDENABLE, 1},
                  {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA}};
    for (const auto& s : states) {
        uint32_t value = 0;
        rig.null().GetRenderState(s.state, &value);
        EXPECT_EQ(value, s.value) << s.state;
    }
    EXPECT_TRUE(Calls("SetRenderState 34").empty()); // fog off: its colour untouched

    // With nothing alive a system is skipped.
    empty->Kill();
    busy->Kill();
    manager->Update(0.1f);
    rig.direct3d.log.calls.clear();
    manager->RenderBlended();
    EXPECT_TRUE(Calls("DrawIndexedPrimitive").empty());
}

TEST_F(ManagerTest, FogIsBlackForAdditiveSystemsAndPutBackAfterThePass)
{
    rig.device->SetRenderState(D3DRS_FOGENABLE, 1);
    rig.device->SetRenderState(D3DRS_FOGCOLOR, 0x00336699);
    auto sparks = Sparks(2);
    auto smoke = Smoke(kSmokeAlphaBlend);
    auto dark = Smoke(kSmokeDarken);
    manager->Update(2.0f / 64.0f);
    rig.direct3d.log.calls.clear();
    manager->RenderBlended();
    rig.device->DrawIndexed(D3DPT_TRIANGLELIST, 0, 4, 0, 2); // the next layer
    // Sparks (far) black, smoke kept, darkening smoke black, then put back.
    const std::vector<std::string> expected = {"SetRenderState 34 0", "SetRenderState 34 3368601",
                                               "SetRenderState 34 0", "SetRenderState 34 3368601"};
    EXPECT_EQ(Calls("SetRenderState 34"), expected);
}

TEST_F(ManagerTest, AFailedLockEndsThePassAndPutsTheFogColourBack)
{
    rig.device->SetRenderState(D3DRS_FOGENABLE, 1);
    rig.device->SetRenderState(D3DRS_FOGCOLOR, 0x00336699);
    auto sparks = Sparks(60);
    auto huge = Smoke(kSmokeAlphaBlend, 50, 1100, 1100); // more vertices than the buffer holds
    auto after = Smoke(kSmokeAlphaBlend, 40);
    manager->Update(1.0f / 64.0f);
    rig.direct3d.log.calls.clear();
    manager->RenderBlended();
    EXPECT_EQ(Calls("DrawIndexedPrimitive").size(), 1u);
    rig.device->DrawIndexed(D3DPT_TRIANGLELIST, 0, 4, 0, 2); // the next layer
    const std::vector<std::string> expected = {"SetRenderState 34 0", "SetRenderState 34 3368601"};
    EXPECT_EQ(Calls("SetRenderState 34"), expected);
}

TEST(ParticleManager, DestructionIsLogged)
{
    testing_support::ScratchDir dir;
    SetDataFoldersForTests(dir.Path(), dir.Path());
    SetLogName("Objects.log");
    ClearLog();
    {
        NullRig rig;
        auto manager = MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
        CountedHandle<IParticleLayer> layer = manager; // the renderer's slot shares the count
        manager.Reset();
        EXPECT_EQ(testing_support::ReadText(dir.File("Objects.log")).find("Particle"), std::string::npos);
    }
    EXPECT_NE(testing_support::ReadText(dir.File("Objects.log")).find(" Particle Systems manager destruction.\n"),
              std::string::npos);
    testing_support::ResetDataFolders();
}
