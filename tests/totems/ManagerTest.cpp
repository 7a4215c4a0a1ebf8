// The totems manager's road with the shipped "Totems.cfg": a match brings a
// colour's totem forward, the next charges it and starts its power, another
// colour sends it back; what is owned, what is dropped, and the pending
// slot's end. A stub board keeps the action records of every frame.
#include "TotemsRig.h"
#include "totems/TotemBalance.h"

#include <gtest/gtest.h>

#include <memory>

using namespace totems_rig;

namespace {

int PowerRecords(const std::vector<std::vector<TotemAction>>& frames, size_t* framesWithOne = nullptr)
{
    int n = 0;
    size_t with = 0;
    for (const auto& frame : frames) {
        bool any = false;
        for (const TotemAction& a : frame) {
            n += a.type == TotemAction::kPowerStarted ? 1 : 0;
            any = any || a.type == TotemAction::kPowerStarted;
        }
        with += any ? 1 : 0;
    }
    if (framesWithOne)
        *framesWithOne = with;
    return n;
}

} // namespace

TEST(TotemsManager, AMatchBringsTheTotemForwardAndTheNextChargesIt)
{
    for (bool draw : {true, false}) {
        Rig rig(draw);
        CTotemsManager& t = rig.totems;
        t.levels[kRedTotem] = 3;
        t.Reset();
        const CountedHandle<CTotem> small = t.Placed(kRedTotem);
        ASSERT_TRUE(small);
        t.QueueTotem(kRedTotem);
        rig.Run(1.0f / 60);
        const CountedHandle<CTotem> large = t.Placed(kRedTotem);
        EXPECT_EQ(large->mode, kLargeTotem);
        EXPECT_EQ(t.pendingColour, kRedTotem);
        EXPECT_FALSE(t.IsIdle());
        EXPECT_EQ(small->state, kTotemFading);
        // On its arrival in front: one lamp and the eye.
        rig.Run(0.5f);
        EXPECT_TRUE(t.IsIdle());
        EXPECT_FLOAT_EQ(large->position[0], t.layout.center.x);
        EXPECT_EQ(Plays(*rig.sounds, "TotemEye.wav"), 1);
        EXPECT_EQ(As<CColourTotem>(large).lightSprites.size(), draw ? 1u : 0u);
        // The second match: two lamps, the colour's power sound, a started
        // power; a level-3 totem stays in front after it.
        auto powerRuns = [&] { return large->state == kTotemPower || large->state == kTotemPowerFull; };
        t.QueueTotem(kRedTotem);
        rig.Run(1.0f / 60);
        EXPECT_FALSE(t.IsIdle());
        while (powerRuns())
            rig.Run(1.0f / 60);
        EXPECT_EQ(t.charge, 2);
        EXPECT_EQ(As<CColourTotem>(large).lightSprites.size(), draw ? 2u : 0u);
        EXPECT_EQ(Plays(*rig.sounds, "TotemRed1.wav"), 1);
        EXPECT_EQ(large->state, kTotemStays);
        EXPECT_EQ(t.pendingColour, kRedTotem);
        // The third: full strength, and back it goes.
        t.QueueTotem(kRedTotem);
        rig.Run(1.0f / 60);
        while (powerRuns())
            rig.Run(1.0f / 60);
        EXPECT_EQ(t.pendingColour, -1);
        EXPECT_EQ(large->state, kTotemMoving);
        size_t frames = 0;
        EXPECT_EQ(PowerRecords(rig.TakeFrames(), &frames), 2);
        EXPECT_EQ(frames, 2u);
        // Back at its place a new small totem takes over.
        rig.Run(0.5f);
        EXPECT_EQ(t.Placed(kRedTotem)->mode, kSmallTotem);
        EXPECT_FLOAT_EQ(t.Placed(kRedTotem)->position[0], t.layout.smallPos[kRedTotem].x);
        rig.Run(0.5f);
        EXPECT_EQ(t.Totems().size(), 1u); // the large one faded and left
        EXPECT_TRUE(t.IsIdle());
        if (!draw) {
            EXPECT_EQ(rig.SpritesHeld(), 0u);
        }
    }
}

TEST(TotemsManager, AnotherColourSendsTheWaitingTotemBack)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {2, 0, 1, 0, 0, 0, 0};
    t.Reset();
    t.QueueTotem(kRedTotem);
    rig.Run(0.6f);
    const CountedHandle<CTotem> red = t.Placed(kRedTotem);
    t.QueueTotem(kGreenTotem);
    rig.Run(1.0f / 60);
    const CountedHandle<CTotem> green = t.Placed(kGreenTotem);
    EXPECT_EQ(green->mode, kLargeTotem);
    EXPECT_EQ(green->zOrder, t.layout.bottomZOrder - 5);
    EXPECT_FLOAT_EQ(green->moveDuration, t.layout.switchInTime);
    EXPECT_EQ(red->state, kTotemMoving);
    EXPECT_FLOAT_EQ(red->moveDuration, t.layout.backTime);
    EXPECT_FLOAT_EQ(red->moveTarget[0], t.layout.pos[kRedTotem].x);
    EXPECT_EQ(t.pendingColour, kGreenTotem);
    rig.Run(t.layout.backTime);
    EXPECT_EQ(red->state, kTotemFading);
    EXPECT_FLOAT_EQ(red->fadeSpeed, 10.0f);
    EXPECT_EQ(t.Placed(kRedTotem)->mode, kSmallTotem);
}

// Only an item level above 0 is owned (the shop gives -1 for an item not
// offered); a level above the colour's highest is that highest.
TEST(TotemsManager, OwnedLevels)
{
    struct Case {
        int colour, level, owned;
    };
    const Case cases[] = {{kRedTotem, -1, 0}, {kRedTotem, 0, 0},  {kRedTotem, 1, 1},  {kRedTotem, 4, 4},
                          {kRedTotem, 9, 4},  {kBlueTotem, 3, 3}, {kBlueTotem, 4, 3}, {kBlueTotem, 99, 3}};
    for (const Case& c : cases) {
        Rig rig;
        rig.totems.levels.fill(0);
        rig.totems.levels[static_cast<size_t>(c.colour)] = c.level;
        EXPECT_EQ(rig.totems.OwnedLevel(c.colour), c.owned) << c.colour << " " << c.level;
        EXPECT_EQ(rig.totems.CountOwnedColours(), c.owned > 0 ? 1 : 0);
        rig.totems.Reset();
        rig.totems.QueueTotem(c.colour);
        rig.Run(0.6f);
        const CountedHandle<CTotem> placed = rig.totems.Placed(c.colour);
        ASSERT_EQ(bool(placed), c.owned > 0);
        if (placed) {
            EXPECT_EQ(placed->level, c.owned);
        }
    }
}

TEST(TotemsManager, ColoursNotOwnedAreDroppedAndOneColourIsTakenAFrame)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {0, 1, 1, 0, 0, 0, 0};
    t.Reset();
    EXPECT_EQ(t.Update(1.0f / 60), 0);
    t.QueueTotem(kGreenTotem);
    rig.Run(1.0f / 60);
    EXPECT_TRUE(t.IsIdle());
    EXPECT_EQ(t.pendingColour, -1);
    // Three runs in one frame: one is taken, the others wait while it flies.
    t.QueueTotem(kRedTotem);
    t.QueueTotem(kYellowTotem);
    t.QueueTotem(kGreenTotem);
    rig.Run(1.0f / 60);
    EXPECT_EQ(t.QueuedCount(), 2u);
    rig.Run(0.25f);
    EXPECT_EQ(t.QueuedCount(), 2u);
    rig.Run(0.3f);
    // Yellow came forward; green, not owned, sent it back and none waits.
    EXPECT_EQ(t.pendingColour, kYellowTotem);
    rig.Run(0.5f);
    EXPECT_EQ(t.QueuedCount(), 0u);
    EXPECT_EQ(t.pendingColour, -1);
    EXPECT_EQ(t.Placed(kYellowTotem)->state, kTotemMoving);
    EXPECT_TRUE(t.IsIdle());
}

TEST(TotemsManager, AResetPutsTheSmallTotemsInTheirPlaces)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {1, 0, 2, 0, 0, 0, 4};
    t.Reset();
    t.QueueTotem(kRedTotem);
    t.QueueTotem(kGreenTotem);
    rig.Run(0.2f);
    t.Reset();
    EXPECT_EQ(t.pendingColour, -1);
    EXPECT_EQ(t.QueuedCount(), 0u);
    EXPECT_TRUE(t.IsIdle());
    for (int c : {kGreenTotem, kRedTotem, kVioletTotem}) {
        const CountedHandle<CTotem> small = t.Placed(c);
        ASSERT_TRUE(small) << c;
        EXPECT_EQ(small->mode, kSmallTotem);
        EXPECT_EQ(small->zOrder, t.layout.bottomZOrder);
        EXPECT_FLOAT_EQ(small->position[1], t.layout.smallPos[static_cast<size_t>(c)].y);
    }
    EXPECT_FALSE(t.Placed(kYellowTotem));
}

// Leaving the screen ends the totem in front too: nothing waits, the
// manager is idle, and the next match starts afresh.
TEST(TotemsManager, FadingEverythingOutEndsThePendingSlot)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {0, 0, 2, 0, 0, 0, 0};
    t.Reset();
    t.QueueTotem(kRedTotem);
    rig.Run(0.6f);
    t.QueueTotem(kRedTotem);
    t.FadeOutAll(2.0f);
    EXPECT_TRUE(t.IsIdle());
    EXPECT_EQ(t.pendingColour, -1);
    EXPECT_EQ(t.charge, 0);
    EXPECT_FALSE(t.Placed(kRedTotem));
    t.PlacePendingTotem();
    rig.Run(0.6f);
    EXPECT_TRUE(t.Totems().empty());
    t.QueueTotem(kRedTotem);
    rig.Run(0.6f);
    EXPECT_EQ(t.pendingColour, kRedTotem);
    EXPECT_EQ(t.Placed(kRedTotem)->mode, kLargeTotem);
}

TEST(TotemsManager, BlueShieldsFollowTheBoardsSwitch)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {0, 0, 0, 2, 0, 0, 0};
    t.Reset();
    t.SetBlueTotemsActive(true);
    EXPECT_TRUE(t.blueActive);
    EXPECT_TRUE(As<CBlueTotem>(t.Placed(kBlueTotem)).shieldsOn);
    t.SetBlueTotemsActive(false);
    EXPECT_FALSE(As<CBlueTotem>(t.Placed(kBlueTotem)).shieldsOn);
}

// The powers read the balance state a manager stored; once that manager is
// gone (its game ended) none is left for a later game's powers to read, and
// a manager that did not store the one in place leaves it alone.
TEST(TotemsManager, TheBalanceItStoredGoesWithIt)
{
    CBalanceState first, second;
    auto a = std::make_unique<CTotemsManager>();
    auto b = std::make_unique<CTotemsManager>();
    a->SetRenderers({}, {}, {}, {}, &first);
    b->SetRenderers({}, {}, {}, {}, &second);
    a.reset();
    EXPECT_EQ(TotemBalanceState(), &second);
    b.reset();
    EXPECT_EQ(TotemBalanceState(), nullptr);
}

TEST(TotemsManager, NoSpriteIsLeftWhenTheManagerGoes)
{
    Rig rig;
    {
        auto t = std::make_unique<CTotemsManager>();
        t->SetRenderers(rig.null.device, rig.sprites, {}, {}, nullptr);
        t->LoadConfig("Data\\Config\\Totems.cfg");
        ASSERT_TRUE(t->LoadTextures("Data\\Gfx\\"));
        t->levels = {1, 2, 3, 0, 0, 0, 0};
        t->Reset();
        t->BuildPanel(true);
        t->SetShopLevel(kWhiteTotem, -1, 2.0f);
        t->QueueTotem(kYellowTotem);
        for (int i = 0; i < 40; ++i)
            t->Update(1.0f / 60);
        EXPECT_GT(rig.SpritesHeld(), 20u);
    }
    // Only the lamp's flash is left to end by itself.
    EXPECT_LE(rig.SpritesHeld(), 1u);
    rig.sprites->Update(0.5f, 1);
    EXPECT_EQ(rig.SpritesHeld(), 0u);
}
