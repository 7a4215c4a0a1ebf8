// The window base, forms and statics on the null device: input to events,
// placement under moves and resizes, the tiled frame and the caption anchor.
#include "GuiTestSupport.h"

#include "gui/QoForm.h"
#include "gui/QoStatic.h"

#include <functional>
#include <limits>

namespace {

constexpr auto kW = WindowKind::Window;

enum class Op { Down, Up, Move };
struct Step {
    Op op;
    float x, y;
    int button;
};

int Apply(CQoWindow& w, const Step& s)
{
    switch (s.op) {
    case Op::Down:
        return w.OnMouseDown(s.x, s.y, s.button);
    case Op::Up:
        return w.OnMouseUp(s.x, s.y, s.button);
    default:
        return w.OnMouseMove(s.x, s.y, 0.25f);
    }
}

struct InputCase {
    const char* name;
    std::function<void(CQoWindow&)> prepare;
    std::vector<Step> steps;
    Events last; // the events of the last step
};

} // namespace

// A window of 100 x 60 (id 7) with a 20 x 20 child (id 8) 30 to its right.
TEST(WindowInput, CallsBecomeEventsOwnFirstThenTheChildren)
{
    const auto none = [](CQoWindow&) {};
    const InputCase cases[] = {
        {"click",
         none,
         {{Op::Down, 0, 0, 0}, {Op::Up, 1, 2, 0}},
         {{GuiCode::LeftUp, 7, 1, 2, kW}, {GuiCode::Click, 7, 1, 2, kW}, {GuiCode::LeftUp, 8, -29, 2, kW}}},
        {"button 1 never clicks",
         none,
         {{Op::Down, 0, 0, 1}, {Op::Up, 0, 0, 1}},
         {{GuiCode::RightUp, 7, 0, 0, kW}, {GuiCode::RightUp, 8, -30, 0, kW}}},
        {"button 2 down", none, {{Op::Down, -50, 30, 2}}, {{GuiCode::MiddleDown, 7, -50, 30, kW}}},
        {"child hit after own",
         none,
         {{Op::Down, 30, 0, 0}},
         {{GuiCode::LeftDown, 7, 30, 0, kW}, {GuiCode::LeftDown, 8, 0, 0, kW}}},
        {"enter", none, {{Op::Move, 0, 0, 0}}, {{GuiCode::Enter, 7, 0, 0, kW}}},
        {"leave while pressed",
         none,
         {{Op::Move, 0, 0, 0}, {Op::Down, 0, 0, 0}, {Op::Move, 80, 0, 0}},
         {{GuiCode::Leave, 7, 80, 0, kW}}},
        {"release outside: no click",
         none,
         {{Op::Move, 0, 0, 0}, {Op::Down, 0, 0, 0}, {Op::Move, 80, 0, 0}, {Op::Up, 80, 0, 0}},
         {{GuiCode::LeftUp, 7, 80, 0, kW}, {GuiCode::LeftUp, 8, 50, 0, kW}}},
        {"press outside, release inside: no click",
         none,
         {{Op::Down, 80, 0, 0}, {Op::Up, 0, 0, 0}},
         {{GuiCode::LeftUp, 7, 0, 0, kW}, {GuiCode::LeftUp, 8, -30, 0, kW}}},
        {"hidden", [](CQoWindow& w) { w.SetVisible(false); }, {{Op::Down, 30, 0, 0}}, {}},
        {"disabled", [](CQoWindow& w) { w.SetEnabled(false); }, {{Op::Down, 30, 0, 0}}, {}},
        {"inactive", [](CQoWindow& w) { w.active = false; }, {{Op::Up, 30, 0, 0}}, {}},
        {"scale 0 puts every cursor outside", [](CQoWindow& w) { w.SetSize(0, 60); }, {{Op::Down, 0, 0, 0}}, {}},
        {"button 3 is no button", none, {{Op::Down, 0, 0, 0}, {Op::Up, 0, 0, 3}}, {}},
        {"button -1 is no button", none, {{Op::Down, 0, 0, -1}}, {}},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        GuiRig rig;
        auto window = rig.Make<CQoWindow>();
        window->id = 7;
        window->SetBaseSize(100, 60);
        auto child = rig.Make<CQoWindow>();
        child->id = 8;
        child->SetBaseSize(20, 20);
        child->relativePosition = {30, 0, 0};
        window->AddChild(child);
        c.prepare(*window);
        int count = 0;
        for (const Step& s : c.steps)
            count = Apply(*window, s);
        EXPECT_EQ(window->Events(), c.last);
        EXPECT_EQ(count, static_cast<int>(c.last.size()));
    }
}

TEST(WindowInput, HoldTimesAndResetInput)
{
    GuiRig rig;
    auto window = rig.Make<CQoWindow>();
    window->SetBaseSize(100, 60);
    window->OnMouseDown(0, 0, 0);
    window->OnMouseMove(0, 0, 0.5f);
    window->OnMouseMove(0, 0, 0.25f);
    EXPECT_FLOAT_EQ(window->HoldTime(0), 0.75f);
    EXPECT_FLOAT_EQ(window->HoldTime(1), 0.0f);
    // A button number out of range changes nothing.
    EXPECT_EQ(window->OnMouseUp(0, 0, 3), 0);
    EXPECT_TRUE(window->IsPressed(0));
    window->ResetInput();
    EXPECT_FALSE(window->IsPressed(0));
    EXPECT_FALSE(window->IsHovered());
    EXPECT_FLOAT_EQ(window->HoldTime(0), 0.0f);
    EXPECT_TRUE(window->Events().empty());
}

// A form at (100, 50) holding a static with a picture and a caption at the
// design offset (20, 10); the form grows to twice its size.
TEST(WindowPlacement, ResizingScalesOffsetsSpritesAndTextsFromDesignUnits)
{
    GuiRig rig;
    auto form = rig.Make<CQoForm>();
    form->SetBaseSize(100, 60);
    form->SetPosition(100, 50, 0, 0, 0, 0);
    auto control = rig.Make<CQoStatic>();
    control->SetBaseSize(20, 10);
    control->relativePosition = {20, 10, 0.5f};
    control->CreateText(rig.font, 4, 6, "Hi", false);
    control->SetTextureRect({}, 0, 0, 1, 1);
    form->AddChild(control);
    EXPECT_FLOAT_EQ(control->Position().x, 120);
    EXPECT_FLOAT_EQ(control->Position().z, 0.5f);

    for (int round = 0; round < 3; ++round) { // no drift over repeated resizes
        form->SetSize(300, 20);
        form->SetSize(200, 120);
    }
    EXPECT_FLOAT_EQ(control->Scale().x, 2);
    EXPECT_FLOAT_EQ(control->Position().x, 140);
    EXPECT_FLOAT_EQ(control->Position().y, 70);
    EXPECT_FLOAT_EQ(control->Position().z, 0.5f);
    const CSprite& picture = *control->Sprite(0);
    EXPECT_FLOAT_EQ(picture.width, 40);
    EXPECT_FLOAT_EQ(picture.height, 20);
    EXPECT_FLOAT_EQ(picture.x, 140);
    const CText& text = *control->Text(0);
    EXPECT_FLOAT_EQ(text.charWidth, 8);
    EXPECT_FLOAT_EQ(text.charHeight, 12);
    EXPECT_FLOAT_EQ(text.origin[0], 140 - 20); // left edge of the control
    EXPECT_FLOAT_EQ(text.origin[1], 70 + 6);   // half a design character above the centre, scaled

    form->SetPosition(0, 0, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(picture.x, 40);
    EXPECT_FLOAT_EQ(picture.width, 40); // moving keeps the size
}

TEST(WindowPlacement, ChildOperationsByIdReachEveryMatch)
{
    GuiRig rig;
    auto form = rig.Make<CQoForm>();
    form->SetBaseSize(100, 100);
    form->SetPosition(10, 0, 0, 0, 0, 0);
    CountedHandle<CQoWindow> children[3];
    for (int i = 0; i < 3; ++i) {
        children[i] = rig.Make<CQoWindow>();
        children[i]->id = i < 2 ? 4 : 5;
        children[i]->SetBaseSize(10, 10);
        form->AddChild(children[i]);
    }
    EXPECT_EQ(form->FindChild(4), children[0]);
    EXPECT_FALSE(form->FindChild(9));
    form->SetChildPositionById(4, 20, -30, 0);
    EXPECT_FLOAT_EQ(children[0]->Position().x, 30);
    EXPECT_FLOAT_EQ(children[1]->Position().y, -30);
    EXPECT_FLOAT_EQ(children[2]->Position().x, 10);
    form->SetChildSizeById(4, 40, 8);
    EXPECT_FLOAT_EQ(children[1]->BaseSize().w, 40);
    EXPECT_FLOAT_EQ(children[1]->Scale().x, 1);
    EXPECT_FLOAT_EQ(children[2]->Size().w, 10);
    // The recorded offset follows: a later resize of the form keeps it.
    form->SetSize(200, 200);
    EXPECT_FLOAT_EQ(children[0]->Position().x, 10 + 40);
}

TEST(WindowState, AlphaVisibilityZOrderAndTextLayerReachWhatTheFormOwns)
{
    GuiRig rig;
    auto form = rig.Make<CQoForm>();
    form->SetBaseSize(100, 100);
    form->SetTiling({}, {}, {}, 20, 10, 10, 20);
    auto control = rig.Make<CQoStatic>();
    control->SetBaseSize(20, 10);
    control->shadowColor = 0x80102030;
    control->CreateText(rig.font, 4, 4, "Shadowed", true);
    control->SetTextureRect({}, 0, 0, 1, 1);
    form->AddChild(control);
    form->SetTextLayer(42);
    form->SetAlpha(0.5f);
    EXPECT_FLOAT_EQ(form->Sprite(8)->opacity, 0.5f);
    EXPECT_FLOAT_EQ(control->Sprite(0)->opacity, 0.5f);
    ASSERT_EQ(control->TextCount(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(control->Text(i)->alphaFactor, 0.5f);
        EXPECT_EQ(control->Text(i)->layer, 42);
    }
    // The caption's colour leaves the shadow's alone.
    control->SetTextColor(0xFFFFFF00);
    EXPECT_EQ(control->Text(0)->colour, 0x80102030u);
    EXPECT_EQ(control->MainText()->colour, 0xFFFFFF00u);

    form->SetZOrder(30);
    EXPECT_EQ(form->Sprite(0)->zOrder, 30);
    EXPECT_EQ(control->zOrder, 30);
    const int32_t top = std::numeric_limits<int32_t>::max();
    form->SetZOrder(top);
    control->ShiftZOrder(top);
    EXPECT_EQ(control->Sprite(0)->zOrder, top); // held, not wrapped

    // A form's own SetVisible is the flag alone.
    form->SetVisible(false);
    EXPECT_EQ(form->Sprite(0)->visible, 1);
    EXPECT_TRUE(control->IsVisible());
    control->SetVisible(false);
    EXPECT_EQ(control->Sprite(0)->visible, 0);
    EXPECT_EQ(control->Text(1)->visible, 0);
    EXPECT_EQ(rig.sprites->hiddenSprites.size(), 1u);
}

// 100 x 60 with bands of 10 and tiles of 20: sides 80 x 10 and 10 x 40, a
// background 80 x 40 repeating 4 times across and twice down.
TEST(FormTiling, NineSpritesWithRepeatCounts)
{
    GuiRig rig;
    auto form = rig.Make<CQoForm>();
    form->SetBaseSize(100, 60);
    form->SetPosition(5, 0, 0, 0, 0, 0);
    form->SetTiling({}, {}, {}, 20, 10, 10, 20);
    ASSERT_EQ(form->SpriteCount(), 9u);
    struct Expected {
        float x, y, w, h;
        float uv[8];
    };
    const Expected expected[9] = {
        {-40, 25, 10, 10, {0, 0, 0.5f, 0, 0.5f, 0.5f, 0, 0.5f}},
        {50, 25, 10, 10, {0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 0.5f}},
        {50, -25, 10, 10, {0.5f, 0.5f, 1, 0.5f, 1, 1, 0.5f, 1}},
        {-40, -25, 10, 10, {0, 0.5f, 0.5f, 0.5f, 0.5f, 1, 0, 1}},
        {-40, 0, 10, 40, {0, 0, 0.25f, 0, 0.25f, 2, 0, 2}},
        {50, 0, 10, 40, {0.25f, 0, 0.5f, 0, 0.5f, 2, 0.25f, 2}},
        {5, -25, 80, 10, {0.75f, 0, 0.75f, 4, 0.5f, 4, 0.5f, 0}},
        {5, 25, 80, 10, {1, 0, 1, 4, 0.75f, 4, 0.75f, 0}},
        {5, 0, 80, 40, {0, 0, 4, 0, 4, 2, 0, 2}},
    };
    for (size_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const CSprite& s = *form->Sprite(i);
        EXPECT_FLOAT_EQ(s.x, expected[i].x);
        EXPECT_FLOAT_EQ(s.y, expected[i].y);
        EXPECT_FLOAT_EQ(s.width, expected[i].w);
        EXPECT_FLOAT_EQ(s.height, expected[i].h);
        ASSERT_EQ(s.frames.size(), 8u);
        for (int k = 0; k < 8; ++k)
            EXPECT_FLOAT_EQ(s.frames.data()[k], expected[i].uv[k]) << k;
        EXPECT_EQ(s.blended, 1); // the GUI pass draws blended sprites of layer 1
        EXPECT_EQ(s.layer, 1);
    }
}

TEST(StaticCaption, AlignmentAnchorsTheTextInsideTheControl)
{
    const struct {
        CText::Alignment mode;
        float x;
    } cases[] = {{CText::LEFT, -50}, {CText::WIDTH, -50}, {CText::RIGHT, 50}, {CText::CENTER, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        GuiRig rig;
        auto control = rig.Make<CQoStatic>();
        control->SetBaseSize(100, 40);
        control->noteShift = {1, 2, 0};
        control->CreateText(rig.font, 8, 10, "One line", true);
        control->SetAlignment(c.mode);
        const CText& main = *control->MainText();
        const CText& shadow = *control->Text(0);
        EXPECT_FLOAT_EQ(main.origin[0], c.x + 1);
        EXPECT_FLOAT_EQ(main.origin[1], 5 + 2); // half a character above the centre
        EXPECT_FLOAT_EQ(main.origin[2], -0.001f - 0.0005f);
        EXPECT_FLOAT_EQ(shadow.origin[0], c.x + 1 + 0.00390625f);
        EXPECT_FLOAT_EQ(shadow.origin[1], 7 - 0.00390625f);
        EXPECT_FLOAT_EQ(shadow.origin[2], -0.001f);
        EXPECT_EQ(main.alignment, c.mode);
        // The caption wraps at the control's width: 100 / 8 characters.
        EXPECT_FLOAT_EQ(main.noteWidth, 12.5f);
    }
}

TEST(StaticCaption, PictureOfItsOwnSizeAndCaptionsReplacedInPlace)
{
    GuiRig rig;
    auto control = rig.Make<CQoStatic>();
    control->SetBaseSize(100, 40);
    control->SetPosition(10, 20, 0, 0, 0, 0);
    control->SetPictureRect({}, 0.25f, 0, 0.5f, 0.5f, -30, 5, -0.5f, 20, 16);
    control->SetPictureRect({}, 0, 0, 1, 1, 30, 0, 0, 10, 10); // replaces sprite 0
    ASSERT_EQ(control->SpriteCount(), 1u);
    EXPECT_EQ(rig.sprites->sprites.size(), 1u);
    EXPECT_FLOAT_EQ(control->Sprite(0)->x, 40);
    EXPECT_FLOAT_EQ(control->Sprite(0)->width, 10);

    control->CreateText(rig.font, 4, 4, "First", false);
    control->CreateText(rig.font, 4, 4, "Second", false);
    ASSERT_EQ(control->TextCount(), 1u);
    EXPECT_EQ(rig.texts->texts.size(), 1u);
    EXPECT_EQ(control->MainText()->text, "Second");
    // Without wrapping the caption is set as it stands.
    control->wrap = false;
    control->SetText("A long caption that would wrap");
    EXPECT_EQ(control->MainText()->text, "A long caption that would wrap");
    control->wrap = true;
    control->SetNoteWidth(2);
    control->SetText("aaa bbb");
    EXPECT_EQ(control->MainText()->text, "aaa\x0b"
                                         "bbb");
}
