// The hint display: its counter's number, what its update reports, how the
// hint arrows follow the list of moves, and the game's big arrows.
#include "bonuses/AdviserInterface.h"

#include "bonuses/BonusParameters.h"
#include "gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct HintRig : GuiRig {
    HintRig()
    {
        BonusParams() = BonusParameters();
        counter = Make<CQoStatic>();
        counter->SetBaseSize(48, 48);
        counter->CreateText(font, 4, 4, "", false);
        counter->SetTextureRect({}, 0, 0, 1, 1);
        button = Make<CQoWindow>();
        arrows = device->CreateTexture("Bonus4", 256, 256, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        hints = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        display.SetResources(counter, button, arrows, hints);
    }
    std::string Text() const { return counter->MainText()->text; }
    size_t Arrows() const { return hints->sprites.size() + hints->hiddenSprites.size(); }

    CountedHandle<CQoStatic> counter;
    CountedHandle<CQoWindow> button;
    CountedHandle<CTexture> arrows;
    CountedHandle<CSpriteRenderer> hints; // the arrows' own
    CAdviserInterface display;
};

} // namespace

TEST(HintDisplay, CounterShowsTheWholeSecondsLeftRoundedUp)
{
    HintRig rig;
    rig.display.AddTime(15.0f);
    EXPECT_EQ(rig.Text(), "15");
    EXPECT_TRUE(rig.counter->IsVisible());
    EXPECT_FALSE(rig.button->IsEnabled());
    rig.display.Update(0.6f);
    EXPECT_EQ(rig.Text(), "15"); // floor(14.4 + 0.99)
    rig.display.secondsLeft = 0.5f;
    rig.display.Update(0.0f);
    EXPECT_EQ(rig.Text(), "1");
    rig.display.secondsLeft = 0.005f;
    rig.display.Update(0.0f);
    EXPECT_EQ(rig.Text(), "0");
    EXPECT_EQ(rig.display.Update(0.01f), CAdviserInterface::kRanOut);
    EXPECT_EQ(rig.Text(), "0");
    EXPECT_TRUE(rig.button->IsEnabled());
}

TEST(HintDisplay, WhatUpdateReports)
{
    HintRig rig;
    EXPECT_EQ(rig.display.Update(0.1f), CAdviserInterface::kIdle); // not shown
    rig.display.AddTime(2.0f);
    EXPECT_EQ(rig.display.Update(0.1f), CAdviserInterface::kRunning);
    EXPECT_EQ(rig.display.Update(0.15f), CAdviserInterface::kRefresh); // 0.25 s since the start
    EXPECT_EQ(rig.display.Update(0.1f), CAdviserInterface::kRunning);
    // Seconds that reach exactly 0 run out, and a refresh in that frame is
    // no refresh: the board does not look for hints then.
    rig.display.secondsLeft = 0.15f;
    EXPECT_EQ(rig.display.Update(0.15f), CAdviserInterface::kRanOut);
    EXPECT_EQ(rig.display.secondsLeft, 0.0f);
    // The counter fades out in 0.1 s, then the display resets.
    EXPECT_EQ(rig.display.Update(0.05f), CAdviserInterface::kRunning);
    EXPECT_NEAR(rig.counter->Alpha(), 0.5f, 1e-4);
    EXPECT_EQ(rig.display.Update(0.06f), CAdviserInterface::kFadedOut);
    EXPECT_FALSE(rig.display.IsShown());
    EXPECT_FALSE(rig.counter->IsVisible());
    EXPECT_EQ(rig.display.Update(0.1f), CAdviserInterface::kIdle);
    // More time during the fade-out turns it back into a fade-in.
    rig.display.AddTime(1.0f);
    rig.display.Update(1.0f);
    rig.display.Update(0.05f);
    rig.display.AddTime(3.0f);
    EXPECT_EQ(rig.display.fadeDirection, 1);
    // Without its resources it does nothing and says so.
    CAdviserInterface bare;
    bare.AddTime(5.0f);
    EXPECT_FALSE(bare.IsShown());
    EXPECT_EQ(bare.Update(0.1f), CAdviserInterface::kIdle);
}

// A save's leftover hint time can be anything: only seconds above 0 count.
TEST(HintDisplay, TimeThatIsNoTimeAddsNothing)
{
    HintRig rig;
    for (float seconds : {0.0f, -3.0f, std::nanf(""), INFINITY}) {
        rig.display.AddTime(seconds);
        EXPECT_FALSE(rig.display.IsShown()) << seconds;
    }
    rig.display.AddTime(4.0f);
    rig.display.AddTime(std::nanf(""));
    EXPECT_EQ(rig.display.SecondsLeft(), 4.0f);
}

// Arrows stay with the moves that stay; only vanished moves fade and only
// new ones fade in.
TEST(HintDisplay, ArrowsFollowTheListOfMoves)
{
    HintRig rig;
    rig.display.AddTime(10.0f);
    const std::vector<Vec2> moves = {{10, 20}, {30, 40}, {50, 60}};
    rig.display.ShowHints(moves);
    ASSERT_EQ(rig.display.hintArrows.size(), 3u);
    EXPECT_EQ(rig.Arrows(), 3u);
    const std::vector<CountedHandle<CSprite>> first = rig.display.hintArrows;
    rig.display.ShowHints(moves);
    EXPECT_EQ(rig.display.hintArrows, first);
    EXPECT_EQ(rig.Arrows(), 3u);
    rig.display.ShowHints({{50, 60}, {10, 20}, {30, 40}}); // another order
    EXPECT_EQ(rig.display.hintArrows, first);
    rig.display.ShowHints({{10, 20}, {50, 60}});
    ASSERT_EQ(rig.display.hintArrows.size(), 2u);
    EXPECT_EQ(first[1]->targetOpacity, 0.0f);
    EXPECT_EQ(first[1]->timed, 1);
    EXPECT_EQ(first[0]->timed, 0);
    EXPECT_EQ(first[2]->timed, 0);
    rig.display.ShowHints({{10, 20}, {50, 60}, {70, 80}});
    ASSERT_EQ(rig.display.hintArrows.size(), 3u);
    EXPECT_EQ(rig.display.hintArrows[2]->opacity, 0.0f);
    EXPECT_EQ(rig.display.hintArrows[2]->targetOpacity, 1.0f);
    // They bob together about their cells.
    rig.display.Update(0.1f);
    const float lift = rig.display.hintArrows[0]->y - 20.0f;
    EXPECT_NE(lift, 0.0f);
    EXPECT_NEAR(rig.display.hintArrows[2]->y - 80.0f, lift, 1e-4);
    rig.display.Reset();
    EXPECT_EQ(rig.Arrows(), 1u); // the one fading out is the renderer's now
    EXPECT_TRUE(rig.button->IsEnabled());
}

TEST(HintDisplay, BigArrowsShrinkBobAndGoOnTheirOwn)
{
    HintRig rig;
    rig.display.AddArrow(100, 50, 2.0f);
    ASSERT_EQ(rig.display.bigArrows.size(), 1u);
    CSprite& arrow = *rig.display.bigArrows[0];
    EXPECT_EQ(arrow.width, 128.0f);
    rig.hints->Update(0.2f, 0);
    EXPECT_FLOAT_EQ(arrow.width, 64.0f);
    EXPECT_FLOAT_EQ(arrow.height, 32.0f);
    // The display is not shown: the big arrow keeps running all the same.
    EXPECT_EQ(rig.display.Update(1.0f), CAdviserInterface::kIdle);
    EXPECT_EQ(rig.display.bigArrows.size(), 1u);
    rig.display.Update(1.0f);
    EXPECT_TRUE(rig.display.bigArrows.empty());
    EXPECT_EQ(arrow.targetOpacity, 0.0f);
    // No arrow for no time, nor without a renderer.
    for (float seconds : {0.0f, -1.0f, std::nanf("")})
        rig.display.AddArrow(0, 0, seconds);
    EXPECT_TRUE(rig.display.bigArrows.empty());
    CAdviserInterface bare;
    bare.AddArrow(0, 0, 3.0f);
    EXPECT_TRUE(bare.bigArrows.empty());
}
