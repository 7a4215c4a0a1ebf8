// Electric rays: when they hit, what becomes of chained targets, their
// glows and sparkles, and the hit sounds merged per frame.
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Flare.h"
#include "engine/RenderTestSupport.h"
#include "rays/TerminatorsManager.h"
#include "tokens/CapsRenderer.h"
#include "tokens/MovingTokens.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Rays : public ::testing::Test {
protected:
    void SetUp() override
    {
        caps = MakeCountedHandle(new CCapsRenderer(rig.device, rig.vertices, rig.indices));
        ASSERT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        ASSERT_TRUE(caps->LoadAnimations("Data\\"));
        tokens.SetCapsRenderer(caps);
        glows = MakeCountedHandle(new CFlareRenderer(rig.device, rig.vertices, rig.indices));
        sparkles = MakeCountedHandle(new CFlareRenderer(rig.device, rig.vertices, rig.indices));
        particles = MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
        debris = MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
        manager = std::make_unique<CTerminatorsManager>(&tokens, particles, glows, sparkles,
                                                        CountedHandle<CSpriteRenderer>());
        manager->SetCapsRenderer(caps);
        manager->SetDebrisParticles(debris);
    }
    CountedHandle<CToken> Token(float x, int chains = 0, int colour = 0)
    {
        auto t = tokens.CreateToken(colour, false, x, 0, 0, 32, 1, 0, 0, 0);
        t->kind = kBoardToken;
        t->SetChained(chains);
        return t;
    }
    CountedHandle<CTerminator> Ray(const std::vector<CountedHandle<CToken>>& targets, bool quick = false,
                                   int32_t mode = kRemoveOneChain)
    {
        TerminatorPath path;
        for (size_t i = 0; i < targets.size(); ++i)
            path.cells.emplace_back(static_cast<int32_t>(i), 0);
        auto ray = manager->Spawn(1, path, {}, quick);
        for (const auto& t : targets)
            ray->AddTarget(t, mode);
        return ray;
    }
    bool Alive(const CountedHandle<CToken>& t) const
    {
        const auto& list = tokens.Tokens();
        return std::find(list.begin(), list.end(), t) != list.end();
    }

    NullRig rig;
    CountedHandle<CCapsRenderer> caps;
    CMovingTokens tokens;
    CountedHandle<CFlareRenderer> glows, sparkles;
    CountedHandle<CParticleSystemsManager> particles, debris;
    std::unique_ptr<CTerminatorsManager> manager;
};

} // namespace

TEST_F(Rays, RaysHitAfterTheirTimeAndTakeTheirTargetsAway)
{
    for (bool quick : {false, true}) {
        auto t = Token(0);
        Ray({t}, quick);
        const float hit = quick ? 0.2f : 0.75f;
        EXPECT_EQ(manager->Update(hit - 0.01f), 0) << quick;
        EXPECT_EQ(glows->flares.size(), 1u); // one glow over the target while it travels
        EXPECT_EQ(manager->Update(0.02f), 1) << quick;
        EXPECT_FALSE(Alive(t));
        EXPECT_TRUE(caps->Caps().empty());
        glows->Update(0.1f); // the hit put the glow out
        EXPECT_TRUE(glows->flares.empty());
        manager->ClearFinished();
    }
}

TEST_F(Rays, ADelayedRayWaitsBeforeItTravels)
{
    auto t = Token(0);
    Ray({t})->elapsed = -0.5f;
    manager->Update(0.4f);
    EXPECT_TRUE(glows->flares.empty());
    manager->Update(0.8f);
    EXPECT_EQ(manager->Finished().size(), 0u);
    manager->Update(0.1f);
    EXPECT_EQ(manager->Finished().size(), 1u);
}

TEST_F(Rays, ChainedTargetsLoseChainsAndSurvive)
{
    struct Case {
        int chains;
        int32_t mode;
        bool survives;
        int chainsAfter;
    } cases[] = {
        {1, kRemoveOneChain, true, 0},
        {2, kRemoveOneChain, true, 1},
        {2, kBreakAllChains, true, 0},
        {2, kDestroyEvenChained, false, 2},
    };
    for (const Case& c : cases) {
        auto t = Token(0, c.chains);
        t->state = kTokenDestroyed;
        t->active = 0;
        Ray({t}, true, c.mode);
        manager->Update(0.1f);
        EXPECT_FALSE(sparkles->flares.empty()) << c.chains; // sparkles run along the chains
        manager->Update(0.2f);
        EXPECT_EQ(Alive(t), c.survives) << c.chains << " " << c.mode;
        EXPECT_EQ(t->chained, c.chainsAfter) << c.chains << " " << c.mode;
        EXPECT_EQ(t->cap->chainLevel, c.chainsAfter);
        if (c.survives) {
            EXPECT_EQ(t->state, kTokenResting);
            EXPECT_TRUE(t->active);
        }
        tokens.Clear();
        sparkles->flares.clear();
    }
}

TEST_F(Rays, HitSoundsOfAFrameMergeIntoOnePerSample)
{
    for (float x : {-100.0f, 0.0f, 100.0f})
        manager->QueueHitSound(Ray({Token(x)}));
    ASSERT_EQ(manager->SoundQueue().size(), 1u);
    const HitSoundQueueEntry& entry = manager->SoundQueue().front();
    EXPECT_EQ(entry.name, "Terminator%d.wav");
    EXPECT_EQ(entry.values, (std::vector<float>{0.0f}));
    EXPECT_EQ(entry.counts, (std::vector<int32_t>{3}));
    manager->PlayQueuedSounds();
    EXPECT_TRUE(manager->SoundQueue().empty());

    struct Case {
        std::vector<int> chains; // per target
        bool quick;
        int firstColour;
        std::vector<std::string> names;
    } cases[] = {
        {{1}, false, 0, {"ChainOut.wav"}},
        {{0, 1}, false, 0, {"Terminator%d.wav", "ChainOut.wav"}},
        {{1, 0}, true, 0, {"Terminator0_s.wav", "ChainOut_s.wav"}},
        {{1, 0}, true, kSteelColour, {"TerminatorSteel.wav", "ChainOut_s.wav"}},
        {{0, 0}, true, kSteelColour, {"Terminator0_s.wav"}},
    };
    for (const Case& c : cases) {
        std::vector<CountedHandle<CToken>> targets;
        for (size_t i = 0; i < c.chains.size(); ++i)
            targets.push_back(Token(0, c.chains[i], i == 0 ? c.firstColour : 0));
        manager->QueueHitSound(Ray(targets, c.quick));
        std::vector<std::string> names;
        for (const HitSoundQueueEntry& e : manager->SoundQueue())
            names.push_back(e.name);
        EXPECT_EQ(names, c.names);
        manager->PlayQueuedSounds();
    }
}

TEST_F(Rays, BoltsCrawlBetweenTheTargetsUntilTheHit)
{
    TerminatorPath path;
    path.cells = {{0, 0}, {1, 0}, {2, 0}};
    path.links = {{0, 1}, {1, 2}};
    auto ray = manager->Spawn(1, path, caps->Texture(CCapsRenderer::kCaps), false);
    for (float x : {0.0f, 80.0f, 160.0f})
        ray->AddTarget(Token(x), kRemoveOneChain);
    manager->Update(0.3f);
    const auto& bolts = dynamic_cast<const CTerminatorElectro&>(*ray).Bolts();
    EXPECT_EQ(bolts.size(), 6u); // two per target
    EXPECT_EQ(particles->BlendedSystems().size(), 6u);
    manager->Update(0.5f);
    EXPECT_TRUE(bolts.empty());
    // The stopped bolts leave; the pieces of the three tokens fly on the
    // layer under the tokens.
    particles->Update(0.1f);
    EXPECT_TRUE(particles->BlendedSystems().empty());
    EXPECT_EQ(debris->BlendedSystems().size(), 3u);
}

TEST_F(Rays, APathLongerThanItsTargetsStartsBoltsOnlyOverTargets)
{
    TerminatorPath path;
    path.cells = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    path.links = {{0, 3}, {2, 3}};
    auto lonely = manager->Spawn(1, path, {}, false);
    manager->Update(0.3f); // no target at all: no bolt
    EXPECT_TRUE(dynamic_cast<const CTerminatorElectro&>(*lonely).Bolts().empty());
    auto one = manager->Spawn(1, path, {}, false);
    one->AddTarget(Token(0), kRemoveOneChain);
    for (int frame = 0; frame < 20; ++frame)
        manager->Update(0.01f);
    EXPECT_EQ(dynamic_cast<const CTerminatorElectro&>(*one).Bolts().size(), 2u);
}

TEST_F(Rays, OnlyElectricRaysAreMade)
{
    for (int kind : {0, 2})
        EXPECT_FALSE(manager->Spawn(kind, TerminatorPath{}, {}, false));
    EXPECT_TRUE(manager->Active().empty());
}
