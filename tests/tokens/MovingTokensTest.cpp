// Tokens in flight, their landings, the sway under the pointer, hit tests
// and the random free token.
#include "tokens/MovingTokens.h"

#include "engine/Random.h"
#include "engine/RenderTestSupport.h"
#include "platform/System.h"
#include "tokens/CapsRenderer.h"

#include <gtest/gtest.h>

namespace {

class Tokens : public ::testing::Test {
protected:
    void SetUp() override
    {
        caps = MakeCountedHandle(new CCapsRenderer(rig.device, rig.vertices, rig.indices));
        tokens.SetCapsRenderer(caps);
    }
    // A still board token of `colour` resting at (x, y).
    CountedHandle<CToken> Resting(int colour, float x, float y)
    {
        auto t = tokens.CreateToken(colour, false, x, y, 0, 32, 1, 0, 0, 0);
        t->kind = kBoardToken;
        t->active = 1;
        return t;
    }
    // A falling token with the refill's three segments: fall, rebound, settle.
    CountedHandle<CToken> Falling(float x)
    {
        auto t = Resting(0, x, 100);
        tokens.StartPath(*t, Vec3{x, 0, 0}, 0.5f, Vec3{1, 0, 1}, Vec3{1, 2, 1});
        t->path.AppendCurve(Vec3{x, 5, 0}, Vec3{1, 2, 1}, Vec3{1, 0, 1}, 0.1f);
        t->path.AppendCurve(Vec3{x, 0, 0}, Vec3{1, 0, 1}, Vec3{1, 2, 1}, 0.1f);
        t->pathDuration = 0.7f;
        t->active = 0;
        t->ArmDropSound();
        return t;
    }

    NullRig rig;
    CountedHandle<CCapsRenderer> caps;
    CMovingTokens tokens;
};

} // namespace

TEST_F(Tokens, ALandingIsReportedOnEnteringTheBounceAndAtTheEnd)
{
    auto t = Falling(10);
    std::vector<int> events;
    for (int frame = 0; frame < 8; ++frame)
        events.push_back(t->Update(0.1f, false, false));
    EXPECT_EQ(events, (std::vector<int>{0, 0, 0, 0, 0, 3, 1, 1}));
    EXPECT_NEAR(t->cap->y, 0.0f, 1e-4f);
}

TEST_F(Tokens, LandingsOfOneFrameMakeOneSoundAtMostEveryTwentiethSecond)
{
    // The first landing sounds at once; the next within 0.05 s does not.
    Falling(-100);
    Falling(100);
    float timer = tokens.DropSoundTimer();
    EXPECT_EQ(timer, 10.0f);
    for (int frame = 0; frame < 6; ++frame)
        tokens.Update(0.1f, 1000, 1000);
    EXPECT_EQ(tokens.DropSoundTimer(), 0.0f); // both landed in one frame: one sound
    tokens.Update(0.1f, 1000, 1000);          // ... and both end their flight now
    EXPECT_EQ(tokens.Results().size(), 2u);
    EXPECT_FLOAT_EQ(tokens.DropSoundTimer(), 0.1f); // too soon after the last: silent
}

TEST_F(Tokens, OnlyFreeStillTokensSwayAndAChainedOneCannotBePicked)
{
    auto free = Resting(0, 0, 0);
    auto chained = Resting(1, 100, 0);
    chained->SetChained(1);
    EXPECT_EQ(chained->cap->chainLevel, 1);
    for (int frame = 0; frame < 30; ++frame) {
        tokens.Update(0.05f, 0, 0);
        tokens.Update(0.05f, 100, 0);
    }
    EXPECT_GT(free->wobbleAmplitude, 0.0f);
    EXPECT_EQ(chained->wobbleAmplitude, 0.0f);
    EXPECT_EQ(tokens.TokenAt(5, 5), free);
    EXPECT_FALSE(tokens.TokenAt(100, 0));
    EXPECT_FALSE(tokens.TokenAt(32, 32)); // the hit circle's corner is outside
}

TEST_F(Tokens, FreeTokensPreferColoursThenSteelThenNothing)
{
    CRandomStream random(3);
    auto steel = Resting(kSteelColour, 0, 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(tokens.PickFreeToken(random), steel);
    auto red = Resting(2, 50, 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(tokens.PickFreeToken(random), red);
    red->SetChained(1);
    steel->state = kTokenDestroyed;
    EXPECT_FALSE(tokens.PickFreeToken(random));
}

TEST_F(Tokens, APickOfExactlyOneStaysOnTheList)
{
    // A seed whose first draw is the largest the generator gives: 1.0.
    uint32_t seed = 0;
    for (;; ++seed) {
        CRandomStream probe(seed);
        if (probe.Next() == plat::RandMax)
            break;
    }
    Resting(0, 0, 0);
    auto last = Resting(1, 50, 0);
    CRandomStream random(seed);
    EXPECT_EQ(tokens.PickFreeToken(random), last);
}

TEST_F(Tokens, ColourAndGemChangesRenewTheCap)
{
    auto t = Resting(2, 0, 0);
    t->SetChained(2);
    const CountedHandle<CCap> old = t->cap;
    tokens.SetColour(*t, 4);
    EXPECT_NE(t->cap, old);
    EXPECT_EQ(t->cap->type, 4);
    EXPECT_EQ(t->cap->chainLevel, 2);
    EXPECT_EQ(caps->Caps().size(), 1u);
    tokens.SetGem(*t, false); // unchanged: nothing happens
    EXPECT_EQ(t->cap->type, 4);
    tokens.SetGem(*t, true);
    EXPECT_EQ(t->cap->type, 54);
    EXPECT_EQ(tokens.Remove(t, true), 0);
    EXPECT_TRUE(caps->Caps().empty());
    EXPECT_EQ(tokens.Remove(t, true), -1);
}
