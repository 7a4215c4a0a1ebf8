// Buttons, check boxes, scrollers and progress bars on the null device: their
// looks step by step, the check box's toggle, the scroller's drag and the
// progress bar's split.
#include "GuiTestSupport.h"

#include "gui/QoButton.h"
#include "gui/QoProgressbar.h"
#include "gui/QoScroller.h"

#include <cmath>
#include <functional>

namespace {

constexpr uint32_t kNormal = 0xFF000001, kPressed = 0xFF000002, kOver = 0xFF000003, kDisabled = 0xFF000004,
                   kOverPressed = 0xFF000005, kPressedDisabled = 0xFF000006, kLater = 0xFF000007;

const float kQuad[8] = {0, 0, 1, 0, 1, 1, 0, 1};

template <typename T>
struct LookStep {
    const char* name;
    std::function<void(T&)> act;
    int32_t frame;
    uint32_t color;
};

template <typename T>
void CheckLooks(T& control, const std::vector<LookStep<T>>& steps)
{
    for (const LookStep<T>& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(control);
        EXPECT_EQ(control.Sprite(0)->frame, step.frame);
        EXPECT_EQ(control.MainText()->colour, step.color);
    }
}

// A 100 x 40 control (id 5) at the origin with its looks as frames 1, 2, 3...
template <typename T>
CountedHandle<T> MakeLooked(GuiRig& rig)
{
    auto control = rig.Make<T>();
    control->id = 5;
    control->SetBaseSize(100, 40);
    control->CreateText(rig.font, 4, 4, "Caption", false);
    control->SetTextureRect({}, 0, 0, 1, 1);
    control->SetTextColor(kNormal);
    return control;
}

} // namespace

TEST(ButtonLooks, FrameAndCaptionColourFollowCursorButtonAndState)
{
    GuiRig rig;
    auto button = MakeLooked<CQoButton>(rig);
    ASSERT_EQ(button->SetPressedFrame(kQuad), 1);
    ASSERT_EQ(button->SetOverFrame(kQuad), 2);
    ASSERT_EQ(button->SetDisabledFrame(kQuad), 3);
    button->pressedColor = kPressed;
    button->overColor = kOver;
    button->disabledColor = kDisabled;
    button->pressedColorGiven = button->overColorGiven = button->disabledColorGiven = true;
    using B = CQoButton;
    CheckLooks<B>(*button, {
                               {"enter", [](B& b) { b.OnMouseMove(0, 0, 0); }, 2, kOver},
                               {"press", [](B& b) { b.OnMouseDown(0, 0, 0); }, 1, kPressed},
                               {"button 1 leaves the look", [](B& b) { b.OnMouseDown(0, 0, 1); }, 1, kPressed},
                               {"leave while held", [](B& b) { b.OnMouseMove(90, 0, 0); }, 0, kNormal},
                               {"enter again while held", [](B& b) { b.OnMouseMove(0, 0, 0); }, 1, kPressed},
                               {"release over it", [](B& b) { b.OnMouseUp(0, 0, 0); }, 2, kOver},
                               {"disable", [](B& b) { b.SetEnabled(false); }, 3, kDisabled},
                               {"colour kept while disabled", [](B& b) { b.SetTextColor(kLater); }, 3, kDisabled},
                               {"a release does not reach it", [](B& b) { b.OnMouseUp(0, 0, 0); }, 3, kDisabled},
                               {"enable", [](B& b) { b.SetEnabled(true); }, 0, kLater},
                               {"reset", [](B& b) { b.ResetInput(); }, 0, kLater},
                           });
}

TEST(ButtonLooks, OnlyAPressedLookReturnsToNormalOnAnyRelease)
{
    for (const float releaseX : {0.0f, 90.0f}) {
        SCOPED_TRACE(releaseX);
        GuiRig rig;
        auto button = MakeLooked<CQoButton>(rig);
        button->SetPressedFrame(kQuad);
        button->OnMouseMove(0, 0, 0);
        EXPECT_EQ(button->Sprite(0)->frame, 0); // no over look: enter changes nothing
        button->OnMouseDown(0, 0, 0);
        EXPECT_EQ(button->Sprite(0)->frame, 1);
        button->OnMouseUp(releaseX, 0, 0);
        EXPECT_EQ(button->Sprite(0)->frame, 0);
        const bool clicked = button->Events().size() == 2 && button->Events()[1].code == GuiCode::Click;
        EXPECT_EQ(clicked, releaseX == 0.0f);
    }
}

TEST(CheckboxLooks, TogglesOnThePressAndShowsEachOfSixLooks)
{
    GuiRig rig;
    auto box = MakeLooked<CQoCheckbox>(rig);
    ASSERT_EQ(box->SetPressedFrame(kQuad), 1);
    ASSERT_EQ(box->SetOverFrame(kQuad), 2);
    ASSERT_EQ(box->SetDisabledFrame(kQuad), 3);
    ASSERT_EQ(box->SetOverPressedFrame(kQuad), 4);
    ASSERT_EQ(box->SetPressedDisabledFrame(kQuad), 5);
    box->pressedColor = kPressed;
    box->overColor = kOver;
    box->disabledColor = kDisabled;
    box->overPressedColor = kOverPressed;
    box->pressedDisabledColor = kPressedDisabled;
    box->pressedColorGiven = box->overColorGiven = box->disabledColorGiven = true;
    box->overPressedColorGiven = box->pressedDisabledColorGiven = true;
    using C = CQoCheckbox;
    CheckLooks<C>(*box, {
                            {"enter", [](C& c) { c.OnMouseMove(0, 0, 0); }, 2, kOver},
                            {"press checks", [](C& c) { c.OnMouseDown(3, 4, 0); }, 4, kOverPressed},
                            {"release changes nothing", [](C& c) { c.OnMouseUp(0, 0, 0); }, 4, kOverPressed},
                            {"leave", [](C& c) { c.OnMouseMove(90, 0, 0); }, 1, kPressed},
                            {"disable while checked", [](C& c) { c.SetEnabled(false); }, 5, kPressedDisabled},
                            {"uncheck while disabled", [](C& c) { c.SetChecked(false); }, 3, kDisabled},
                            {"enable unchecked", [](C& c) { c.SetEnabled(true); }, 0, kNormal},
                            {"check", [](C& c) { c.SetChecked(true); }, 1, kPressed},
                            {"enter checked", [](C& c) { c.OnMouseMove(0, 0, 0); }, 4, kOverPressed},
                            {"press unchecks", [](C& c) { c.OnMouseDown(0, 0, 0); }, 2, kOver},
                            {"check again", [](C& c) { c.SetChecked(true); }, 1, kPressed},
                            {"reset shows the checked look again", [](C& c) { c.ResetInput(); }, 1, kPressed},
                        });
}

TEST(CheckboxLooks, ThePressReportsTheToggleTheReleaseOnlyTheWindowsEvents)
{
    GuiRig rig;
    auto box = MakeLooked<CQoCheckbox>(rig);
    constexpr auto kC = WindowKind::Checkbox;
    EXPECT_EQ(box->OnMouseDown(3, 4, 0), 2);
    EXPECT_EQ(box->Events(), (Events{{GuiCode::LeftDown, 5, 3, 4, kC}, {GuiCode::ValueChanged, 5, 3, 4, kC}}));
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(box->OnMouseUp(3, 4, 0), 2);
    EXPECT_EQ(box->Events(), (Events{{GuiCode::LeftUp, 5, 3, 4, kC}, {GuiCode::Click, 5, 3, 4, kC}}));
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(box->OnMouseDown(3, 4, 1), 1); // button 1 does not toggle
    EXPECT_TRUE(box->IsChecked());
}

// A horizontal scroller of width 100 and travel 0.9 without a centre shift.
TEST(ScrollerDrag, PressAndEveryMoveWhileHeldSetTheValue)
{
    GuiRig rig;
    auto scroller = rig.Make<CQoScroller>();
    scroller->id = 9;
    scroller->SetBaseSize(100, 20);
    scroller->SetPosition(200, 100, 0, 0, 0, 0);
    scroller->Setup({}, 0, 0, 1, 0.5f, 0, 0.5f, 0.5f, 1, 10, 20);
    ASSERT_EQ(scroller->SpriteCount(), 2u);
    const CSprite& knob = *scroller->Sprite(1);
    EXPECT_EQ(knob.zOrder, scroller->zOrder - 1);
    EXPECT_FLOAT_EQ(knob.z, -0.001f);

    const struct {
        const char* name;
        bool press;
        float x;
        float value;
    } steps[] = {
        {"press at the right end", true, 50, 1.0f}, // clamped from about 1.056
        {"left end", false, -45, 0.0f},
        {"middle", false, 0, 0.5f},
        {"middle again", false, 0, 0.5f}, // reported though unchanged
        {"far outside while held", false, 400, 1.0f},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.press)
            scroller->OnMouseDown(step.x, 0, 0);
        else
            scroller->OnMouseMove(step.x, 0, 0.1f);
        EXPECT_FLOAT_EQ(scroller->Value(), step.value);
        ASSERT_FALSE(scroller->Events().empty());
        const GuiEvent& last = scroller->Events().back();
        EXPECT_EQ(last.code, GuiCode::ValueChanged);
        EXPECT_EQ(last.id, 9);
        EXPECT_FLOAT_EQ(last.x, step.x);
        EXPECT_FLOAT_EQ(knob.x, 200 + (step.value - 0.5f) * 90);
        EXPECT_FLOAT_EQ(knob.y, 100);
    }
    scroller->OnMouseUp(0, 0, 0);
    scroller->OnMouseMove(-45, 0, 0.1f); // released: no more drag
    EXPECT_EQ(scroller->Events(), (Events{{GuiCode::Enter, 9, -45, 0, WindowKind::Scroller}}));
    EXPECT_FLOAT_EQ(scroller->Value(), 1.0f);
    // A press outside does not drag.
    scroller->OnMouseDown(0, 40, 0);
    EXPECT_TRUE(scroller->Events().empty());
}

TEST(ScrollerDrag, VerticalKnobTopAtZeroAndTheDisabledKnob)
{
    GuiRig rig;
    auto scroller = rig.Make<CQoScroller>();
    scroller->horizontal = false;
    scroller->centreShift = {2, 3};
    scroller->SetBaseSize(20, 100);
    scroller->Setup({}, 0, 0, 1, 1, 0, 0, 1, 1, 16, 16);
    scroller->SetValue(0);
    EXPECT_FLOAT_EQ(scroller->GetKnobPosition().x, 2);
    EXPECT_FLOAT_EQ(scroller->GetKnobPosition().y, 3 + 45);
    EXPECT_FLOAT_EQ(scroller->Sprite(1)->y, 48);
    EXPECT_FLOAT_EQ(scroller->Sprite(1)->width, 16);
    // A press at the bottom end gives 1.
    scroller->OnMouseDown(0, -42, 0);
    EXPECT_FLOAT_EQ(scroller->Value(), 1.0f);

    ASSERT_EQ(scroller->SetKnobDisabledFrame(kQuad), 1);
    scroller->SetEnabled(false);
    EXPECT_EQ(scroller->Sprite(1)->frame, 1);
    EXPECT_EQ(scroller->Sprite(0)->frame, 0); // the track keeps its look
    scroller->SetEnabled(true);
    EXPECT_EQ(scroller->Sprite(1)->frame, 0);
}

TEST(ScrollerDrag, ATrackWithoutTravelKeepsItsValue)
{
    GuiRig rig;
    auto scroller = rig.Make<CQoScroller>();
    scroller->travel = 0;
    scroller->SetBaseSize(100, 20);
    scroller->Setup({}, 0, 0, 1, 1, 0, 0, 1, 1, 10, 10);
    scroller->SetValue(0.25f);
    scroller->OnMouseDown(10, 0, 0);
    EXPECT_FLOAT_EQ(scroller->Value(), 0.25f);
    EXPECT_TRUE(std::isfinite(scroller->Sprite(1)->x));
}

// Width 100 at 0.25: a fill 25 wide centred at -37.5, an empty part 75 wide
// centred at 12.5, each showing its own share of its picture.
TEST(ProgressbarSplit, QuarterFullHorizontallyAndVertically)
{
    GuiRig rig;
    auto bar = rig.Make<CQoProgressbar>();
    bar->SetBaseSize(100, 20);
    bar->Setup({}, 0, 0, 1, 0.5f, 0, 0.5f, 1, 1);
    EXPECT_FLOAT_EQ(bar->SetValue(0.25f), 0.0f);
    const CSprite& empty = *bar->Sprite(0);
    const CSprite& fill = *bar->Sprite(1);
    EXPECT_FLOAT_EQ(fill.width, 25);
    EXPECT_FLOAT_EQ(fill.x, -37.5f);
    EXPECT_FLOAT_EQ(fill.z, -0.001f);
    EXPECT_EQ(fill.zOrder, bar->zOrder - 1);
    EXPECT_FLOAT_EQ(empty.width, 75);
    EXPECT_FLOAT_EQ(empty.x, 12.5f);
    const float emptyUv[8] = {0.25f, 0, 1, 0, 1, 0.5f, 0.25f, 0.5f};
    const float fillUv[8] = {0, 0.5f, 0.25f, 0.5f, 0.25f, 1, 0, 1};
    for (int k = 0; k < 8; ++k) {
        EXPECT_FLOAT_EQ(empty.frames.data()[k], emptyUv[k]) << k;
        EXPECT_FLOAT_EQ(fill.frames.data()[k], fillUv[k]) << k;
    }

    auto tall = rig.Make<CQoProgressbar>();
    tall->horizontal = false;
    tall->SetBaseSize(20, 100);
    tall->Setup({}, 0, 0, 0.5f, 1, 0.5f, 0, 1, 1);
    tall->SetValue(0.25f);
    EXPECT_FLOAT_EQ(tall->Sprite(1)->height, 25);
    EXPECT_FLOAT_EQ(tall->Sprite(1)->y, -37.5f);
    EXPECT_FLOAT_EQ(tall->Sprite(0)->y, 12.5f);
    EXPECT_FLOAT_EQ(tall->Sprite(1)->frames.data()[1], 0.75f); // the fill's top edge
    EXPECT_FLOAT_EQ(tall->Sprite(0)->frames.data()[5], 0.75f); // the empty part's bottom edge
}
