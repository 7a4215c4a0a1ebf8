// Real frames of the sand box and the popups, drawn by the frame renderer
// on GL (offscreen) from the shipped pictures and settings, and read back.
// Each frame goes to the PNG named by GALVORINE_DRAWING_PNG, with the
// frame's name before the extension, when that is set.
#include "engine/DrawingFixture.h"

#include "effects/overlays/Awards.h"
#include "effects/overlays/Popups.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "effects/sandbox/Sandbox.h"
#include "engine/BitmapFont.h"
#include "engine/Sprite.h"
#include "engine/Text.h"

#include "platform/System.h"

#include <gtest/gtest.h>

using namespace d3d;
using namespace drawing_test;

namespace {

int Red(uint32_t argb) { return Channel(argb, 16); }
int Green(uint32_t argb) { return Channel(argb, 8); }
int Blue(uint32_t argb) { return Channel(argb, 0); }

class EffectsDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
        renderer->spriteLayers[1] = sprites;
        renderer->textBatch = texts;
    }
    void TearDown() override
    {
        texts.Reset();
        sprites.Reset();
        Drawing::TearDown();
    }

    CountedHandle<CTexture> Picture(const char* file, const char* name)
    {
        auto texture =
            device->LoadTexture(std::string("Data\\Gfx\\") + file, name, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        EXPECT_TRUE(texture) << file;
        return texture;
    }

    // A sand box set up as the game sets it up, from the shipped skin.
    CountedHandle<CSandbox> MakeSandbox(const CountedHandle<CSandHeightfield>& field, SandboxSettings* skin,
                                        CountedHandle<CParticleSystemsManager> particles = {})
    {
        skin->Load("Data\\Config\\Skin.cfg");
        field->SetColumnCount(skin->columns);
        auto box = MakeCountedHandle(new CSandbox());
        box->SetTextures(
            device->LoadTexture("Data\\Gfx\\Sandbox.jpg", "Sandbox", 1, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN),
            Picture("SmallSand.tga", "SmallSand"),
            device->LoadTextureForAlpha("Data\\Gfx\\Cloud.jpg", "Cloud", 1, 0, D3DPOOL_MANAGED),
            Picture("SandboxFront.png", "SandboxFront"), Picture("SandboxGlass.tga", "SandboxGlass"),
            Picture("ScoreFrenzyStar.png", "ScoreFrenzyStar"));
        box->ApplySettings(*skin);
        box->SetParticleManager(particles);
        box->SetHeightfield(field);
        box->SetGeometry(skin->origin.x, skin->origin.y, 0, skin->size.x, skin->size.y);
        box->Show(true, 0);
        box->Update(0.0f);
        renderer->sandbox = box;
        return box;
    }

    Frame Draw(const char* name)
    {
        EXPECT_EQ(renderer->RenderFrame(), D3D_OK);
        const Frame frame = Grab(name);
        renderer->Present();
        return frame;
    }
    // The pixel of a point of the virtual screen.
    static uint32_t At(const Frame& frame, float x, float y) { return frame.At(Px(x), Py(y)); }

    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CTextBatch> texts;
};

} // namespace

TEST_F(EffectsDrawing, ADuneStandsInTheGlassBox)
{
    plat::SeedRandom(8);
    auto particles =
        MakeCountedHandle(new CParticleSystemsManager(device, renderer->vertexBuffer, renderer->indexBuffer));
    particles->Environment().killMin = Vec3{-1000, -1000, -1000};
    particles->Environment().killMax = Vec3{1000, 1000, 1000};
    particles->Environment().view->eye.z = 10000.0f;
    renderer->particleLayers[1] = particles;
    auto field = MakeCountedHandle(new CSandHeightfield());
    SandboxSettings skin;
    auto box = MakeSandbox(field, &skin, particles);
    field->flowFactor = 0; // the dune stays where it was poured
    field->Pour(0.12, 12);
    for (int i = 0; i < 30; ++i) {
        field->Update(1.0f / 30);
        box->Update(1.0f / 30);
        particles->Update(1.0f / 30);
    }
    const Frame frame = Draw("dune");

    const float left = skin.origin.x, top = skin.origin.y, bottom = top - skin.size.y;
    const float step = skin.size.x / static_cast<float>(skin.columns - 1);
    const double high = field->DisplayLevels()[12];
    ASSERT_GT(high, 0.5);
    ASSERT_EQ(field->DisplayLevels()[30], 0.0);
    const float y = bottom + static_cast<float>(0.4 * high) * skin.size.y;
    // Warm sand under the high column's surface; the night backdrop through
    // the glass above the low column.
    const uint32_t sand = At(frame, left + 12 * step, y);
    EXPECT_GT(Red(sand), Blue(sand) + 40) << std::hex << sand;
    const uint32_t backdrop = At(frame, left + 30 * step, y);
    EXPECT_GT(Blue(backdrop), Red(backdrop) + 40) << std::hex << backdrop;
    // The gilded frame above the sand.
    const uint32_t rim = At(frame, left + 100, top + 2);
    EXPECT_GT(Red(rim), 140) << std::hex << rim;
    EXPECT_GT(Red(rim), Blue(rim) + 60) << std::hex << rim;
}

TEST_F(EffectsDrawing, AHalfFullMeterLightsHalfTheFrenzyBar)
{
    auto field = MakeCountedHandle(new CSandHeightfield());
    SandboxSettings skin;
    auto box = MakeSandbox(field, &skin);
    box->SetFull(true, 0.0);
    const Frame empty = Draw("bar-empty");
    box->SetFull(true, 0.5);
    const Frame half = Draw("bar");

    // How much light an element adds to the golden frenzy sand, summed over
    // its square.
    auto light = [&](int i) {
        const float left = skin.origin.x + skin.barShift.x + static_cast<float>(i) * skin.barElementSize.x;
        const float top = skin.origin.y + skin.barShift.y;
        int sum = 0;
        for (float y = top - 1; y > top - skin.barElementSize.y; y -= 1)
            for (float x = left + 1; x < left + skin.barElementSize.x; x += 1)
                sum += Blue(At(half, x, y)) - Blue(At(empty, x, y));
        return sum;
    };
    // Of 19 elements, 9.5 are lit: the fifth fully, the tenth half, the
    // fifteenth not at all.
    const int full = light(4), partly = light(9), dark = light(14);
    EXPECT_GT(full, 4000);
    EXPECT_NEAR(partly, full / 2, full / 5);
    EXPECT_EQ(dark, 0);
}

TEST_F(EffectsDrawing, AMessagePopupShowsPastItsSwell)
{
    ScoreMessageSettings().Load("Data\\Config\\Score.cfg");
    auto fontTexture =
        device->LoadTexture("Data\\Fonts\\FontPopup.tga", "FontPopup", 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    auto font = MakeCountedHandle(new CBitmapFont(fontTexture));
    ASSERT_EQ(ReadFontFile(font.Get(), "Data\\Fonts\\FontPopup.vfd"), 1);
    CPopupManager popups;
    popups.SetResources(sprites, texts, font, font, CountedHandle<CTexture>());
    popups.AddTextPopup("SCORE-FRENZY!!!", 1.8f, 4, 175, 100, ScoreMessageSettings().z);
    popups.Update(0.5f);
    const Frame frame = Draw("message");

    // The bright gold of style 4 covers part of the text's box, which hangs
    // from the anchor.
    const uint32_t gold = ScoreMessageSettings().MessageColor(4);
    int lit = 0;
    for (float y = 100; y > 20; y -= 1)
        for (float x = 175 - 320; x < 175 + 320; x += 1) {
            const uint32_t p = At(frame, x, y);
            if (std::abs(Red(p) - Red(gold)) < 24 && std::abs(Green(p) - Green(gold)) < 24 &&
                std::abs(Blue(p) - Blue(gold)) < 40)
                ++lit;
        }
    EXPECT_GT(lit, 2000);
    ScoreMessageSettings().Clear();
}

TEST_F(EffectsDrawing, TheStarStandsAboveTheBoardAndIsGoneAfterItsTime)
{
    plat::SeedRandom(3);
    auto particles =
        MakeCountedHandle(new CParticleSystemsManager(device, renderer->vertexBuffer, renderer->indexBuffer));
    particles->Environment().killMin = Vec3{-1000, -1000, -1000};
    particles->Environment().killMax = Vec3{1000, 1000, 1000};
    particles->Environment().view->eye.z = 10000.0f;
    renderer->particleLayers[2] = particles;
    CPopupManager popups;
    CStarAward star;
    star.SetResources(sprites, particles, &popups, Picture("BigStar.png", "BigStar"),
                      Picture("StarParticle.bmp", "StarParticle"), Picture("Ring.jpg", "Ring"));
    star.settings.Load("Data\\Config\\Score.cfg", "Star");
    const uint32_t clear = renderer->clearColor;
    star.Start();
    auto runTo = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            star.Update(0.05f);
            particles->Update(0.05f);
            sprites->Update(0.05f, 0);
        }
    };
    runTo(32); // 1.6 s
    const Frame shown = Draw("star");
    const Vec3 to = star.settings.to;
    const uint32_t gold = At(shown, to.x, to.y);
    EXPECT_GT(Red(gold), 200) << std::hex << gold;
    EXPECT_GT(Red(gold), Blue(gold) + 60) << std::hex << gold;
    // The glows stream along the frenzy bar.
    int glowing = 0;
    const Vec3 left = star.settings.baseLeft;
    for (float x = left.x; x < left.x + 600; x += 4)
        for (float y = left.y - 16; y < left.y + 40; y += 4)
            if (Red(At(shown, x, y)) > Red(clear) + 60)
                ++glowing;
    EXPECT_GT(glowing, 20);

    runTo(50); // 4.1 s
    const Frame gone = Draw("star-gone");
    EXPECT_FALSE(star.running);
    EXPECT_TRUE(Near(At(gone, to.x, to.y), clear, 3));
}
