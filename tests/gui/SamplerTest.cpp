// "Sampler.qof" built from its file on the null device and driven through the
// forms manager with synthetic moves, presses, releases and drags: the event
// lists the game would read and the looks the controls take.
#include "FixtureForms.h"
#include "GuiTestSupport.h"

#include "gui/QoButton.h"
#include "gui/QoFormsManager.h"
#include "gui/QoProgressbar.h"
#include "gui/QoScroller.h"

#include <functional>
#include <utility>

namespace {

enum SamplerId {
    kSampler = 100,
    kGlow = 10,
    kTitle = 11,
    kCaption = 12,
    kOk = 1,
    kSound = 2,
    kVolume = 3,
    kLoading = 4,
    kDepth = 5
};

struct SamplerRig : GuiRig {
    SamplerRig()
    {
        for (const char* name : kSkinTextures)
            device->CreateTexture(name, 512, 512, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        const std::vector<CountedHandle<CBitmapFont>> fonts = {MakeTestFont(24), MakeTestFont(28),
                                                               MakeTestFont(56)};
        sampler = BuildFixture("Sampler.qof", device, sprites, texts, fonts, 1);
        dialog = BuildFixture("Dialog.qof", device, sprites, texts, fonts, 2);
        if (sampler.form)
            sampler.form->id = kSampler;
        manager.AddForm(sampler.form);
        manager.AddForm(dialog.form);
    }
    template <typename T>
    T& Control(int32_t id)
    {
        return dynamic_cast<T&>(*sampler.form->FindChild(id));
    }

    FixtureForm sampler;
    FixtureForm dialog;
    CQoFormsManager manager;
};

using Codes = std::vector<std::pair<GuiCode, int32_t>>;

Codes CodesOf(const Events& events)
{
    Codes codes;
    for (const GuiEvent& e : events)
        codes.emplace_back(e.code, e.id);
    return codes;
}

// The release of the left button over the form: every control takes its part.
Codes ReleaseOver(std::initializer_list<int32_t> clicked)
{
    Codes codes = {{GuiCode::LeftUp, kSampler}};
    if (clicked.size())
        codes.emplace_back(GuiCode::Click, kSampler);
    for (int32_t id : {kGlow, kTitle, kCaption, kOk, kSound, kVolume, kLoading, kDepth}) {
        codes.emplace_back(GuiCode::LeftUp, id);
        for (int32_t c : clicked)
            if (c == id)
                codes.emplace_back(GuiCode::Click, id);
    }
    return codes;
}

} // namespace

TEST(Sampler, BuildsEveryControlFromItsFile)
{
    SamplerRig rig;
    ASSERT_TRUE(rig.sampler.form);
    const CQoForm& form = *rig.sampler.form;
    EXPECT_FLOAT_EQ(form.Position().x, -0.5f);
    EXPECT_FLOAT_EQ(form.Position().y, 0.5f);
    EXPECT_FLOAT_EQ(form.BaseSize().w, 512);
    EXPECT_EQ(form.SpriteCount(), 9u);
    EXPECT_FLOAT_EQ(form.horizontalTile, 128);
    EXPECT_FLOAT_EQ(form.bandWidth, 48);
    const std::vector<std::pair<int32_t, WindowKind>> children = {
        {kGlow, WindowKind::Static},         {kTitle, WindowKind::Static},   {kCaption, WindowKind::Static},
        {kOk, WindowKind::Button},           {kSound, WindowKind::Checkbox}, {kVolume, WindowKind::Scroller},
        {kLoading, WindowKind::Progressbar}, {kDepth, WindowKind::Scroller}};
    ASSERT_EQ(form.ChildCount(), children.size());
    for (size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(form.Child(i)->id, children[i].first);
        EXPECT_EQ(form.Child(i)->Kind(), children[i].second);
    }
    ASSERT_EQ(rig.sampler.kept.size(), 2u);
    EXPECT_EQ(rig.sampler.kept[1]->id, kOk);
    EXPECT_EQ(rig.sampler.kept[2]->id, kVolume);

    const CSprite& glow = *rig.Control<CQoStatic>(kGlow).Sprite(0);
    EXPECT_EQ(glow.destBlend, 2); // FILTER ADD: source alpha plus one
    auto& title = rig.Control<CQoStatic>(kTitle);
    EXPECT_TRUE(title.HasShadow());
    EXPECT_FLOAT_EQ(title.Sprite(0)->width, 320);
    EXPECT_EQ(title.MainText()->colour, 0xFF221446u);
    EXPECT_EQ(title.Text(0)->colour, 0xB2FFEFB2u);
    const std::string& caption = rig.Control<CQoStatic>(kCaption).MainText()->text;
    EXPECT_NE(caption.find('\x0b'), std::string::npos) << "the caption wraps";
    auto& button = rig.Control<CQoButton>(kOk);
    EXPECT_EQ(button.PressedFrame(), 1);
    EXPECT_EQ(button.OverFrame(), 2);
    EXPECT_EQ(button.DisabledFrame(), 3);
    auto& box = rig.Control<CQoCheckbox>(kSound);
    EXPECT_EQ(box.PressedDisabledFrame(), 5);
    EXPECT_FLOAT_EQ(box.Sprite(0)->width, 44);
    EXPECT_FLOAT_EQ(box.Sprite(0)->x, box.Position().x - 120 + 22); // the gem at the control's left
}

TEST(Sampler, DrivenThroughTheManager)
{
    SamplerRig rig;
    ASSERT_TRUE(rig.sampler.form);
    rig.dialog.form->SetVisible(false);
    auto& button = rig.Control<CQoButton>(kOk);
    auto& box = rig.Control<CQoCheckbox>(kSound);
    auto& volume = rig.Control<CQoScroller>(kVolume);
    const Vec3 ok = button.Position(), gem{box.Sprite(0)->x, box.Sprite(0)->y, 0};
    const Vec3 track = volume.Position();
    CQoFormsManager& m = rig.manager;

    const struct {
        const char* name;
        std::function<int()> act;
        Codes codes;
        std::function<void()> check;
    } steps[] = {
        {"enter the button",
         [&] { return m.OnMouseMove(ok.x, ok.y, 0.02f); },
         {{GuiCode::Enter, kSampler}, {GuiCode::Enter, kOk}},
         [&] {
             EXPECT_EQ(button.Sprite(0)->frame, 2);
             EXPECT_EQ(button.MainText()->colour, 0xFF140A32u);
         }},
        {"press it",
         [&] { return m.OnMouseDown(ok.x, ok.y, 0); },
         {{GuiCode::LeftDown, kSampler}, {GuiCode::LeftDown, kOk}},
         [&] {
             EXPECT_EQ(button.Sprite(0)->frame, 1);
             EXPECT_EQ(button.MainText()->colour, 0xFFFFF0B2u);
         }},
        {"release it", [&] { return m.OnMouseUp(ok.x, ok.y, 0); }, ReleaseOver({kOk}),
         [&] {
             EXPECT_EQ(button.Sprite(0)->frame, 2);
             EXPECT_EQ(button.MainText()->colour, 0xFF140A32u);
         }},
        {"over the gem",
         [&] { return m.OnMouseMove(gem.x, gem.y, 0.02f); },
         {{GuiCode::Leave, kOk}, {GuiCode::Enter, kSound}},
         [&] {
             EXPECT_EQ(button.Sprite(0)->frame, 0);
             EXPECT_EQ(box.Sprite(0)->frame, 2);
         }},
        {"check the box",
         [&] { return m.OnMouseDown(gem.x, gem.y, 0); },
         {{GuiCode::LeftDown, kSampler}, {GuiCode::LeftDown, kSound}, {GuiCode::ValueChanged, kSound}},
         [&] {
             EXPECT_TRUE(box.IsChecked());
             EXPECT_EQ(box.Sprite(0)->frame, 4);
             EXPECT_EQ(box.MainText()->colour, 0xFFFFFFFFu);
         }},
        {"release on the box", [&] { return m.OnMouseUp(gem.x, gem.y, 0); }, ReleaseOver({kSound}),
         [&] { EXPECT_EQ(box.Sprite(0)->frame, 4); }},
        {"grab the volume at three quarters",
         [&] { return m.OnMouseDown(track.x + 72, track.y, 0); },
         {{GuiCode::LeftDown, kSampler}, {GuiCode::LeftDown, kVolume}, {GuiCode::ValueChanged, kVolume}},
         [&] {
             EXPECT_NEAR(volume.Value(), 0.75f, 1e-5f);
             EXPECT_NEAR(volume.Sprite(1)->x, track.x + 72, 1e-3f);
         }},
        {"drag out of the form",
         [&] { return m.OnMouseMove(-400, track.y, 0.02f); },
         {{GuiCode::Leave, kSampler}, {GuiCode::Leave, kSound}, {GuiCode::ValueChanged, kVolume}},
         [&] {
             EXPECT_FLOAT_EQ(volume.Value(), 0.0f);
             EXPECT_NEAR(volume.Sprite(1)->x, track.x - 144, 1e-3f);
             EXPECT_EQ(box.Sprite(0)->frame, 1); // checked, no longer under the cursor
             EXPECT_FLOAT_EQ(volume.HoldTime(0), 0.02f);
         }},
        {"release outside: no click", [&] { return m.OnMouseUp(-400, track.y, 0); }, ReleaseOver({}), [] {}},
        {"moves no longer drag",
         [&] { return m.OnMouseMove(track.x, track.y, 0.02f); },
         {{GuiCode::Enter, kSampler}, {GuiCode::Enter, kVolume}},
         [&] { EXPECT_FLOAT_EQ(volume.Value(), 0.0f); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        const int count = step.act();
        EXPECT_EQ(CodesOf(m.Events()), step.codes);
        EXPECT_EQ(count, static_cast<int>(m.Events().size()));
        step.check();
    }
    // The value event carries the cursor in the scroller's own units.
    m.OnMouseDown(track.x + 72, track.y + 3, 0);
    const GuiEvent& value = m.Events().back();
    EXPECT_FLOAT_EQ(value.x, 72);
    EXPECT_FLOAT_EQ(value.y, 3);
    EXPECT_EQ(value.kind, WindowKind::Scroller);
}

TEST(Sampler, ValuesPlaceTheKnobsAndTheFill)
{
    SamplerRig rig;
    ASSERT_TRUE(rig.sampler.form);
    auto& depth = rig.Control<CQoScroller>(kDepth);
    EXPECT_FALSE(depth.horizontal);
    depth.SetValue(0);
    EXPECT_NEAR(depth.Sprite(1)->y, depth.Position().y + 0.85f * 200 / 2, 1e-3f); // the top end
    auto& bar = rig.Control<CQoProgressbar>(kLoading);
    bar.SetValue(0.25f);
    EXPECT_FLOAT_EQ(bar.Sprite(1)->width, 80);
    EXPECT_FLOAT_EQ(bar.Sprite(0)->width, 240);
    EXPECT_NEAR(bar.Sprite(1)->x, bar.Position().x - 120, 1e-3f);
}

TEST(Sampler, TheDialogTakesTheInputWhileModalAndAHiddenFormNone)
{
    SamplerRig rig;
    ASSERT_TRUE(rig.sampler.form && rig.dialog.form);
    EXPECT_EQ(rig.manager.Forms()[0], rig.sampler.form); // the dialog's lower z-order comes later, on top
    const Vec3 ok = rig.Control<CQoButton>(kOk).Position();
    rig.manager.PushModal(rig.dialog.form);
    rig.manager.OnMouseDown(ok.x, ok.y, 0);
    EXPECT_EQ(CodesOf(rig.manager.Events()), (Codes{{GuiCode::LeftDown, 0}}));
    rig.manager.PopModal();
    rig.dialog.form->SetVisible(false);
    rig.manager.OnMouseDown(ok.x, ok.y, 0);
    EXPECT_EQ(CodesOf(rig.manager.Events()), (Codes{{GuiCode::LeftDown, kSampler}, {GuiCode::LeftDown, kOk}}));
    rig.sampler.form->SetVisible(false);
    EXPECT_EQ(rig.manager.OnMouseUp(ok.x, ok.y, 0), 0);
}
