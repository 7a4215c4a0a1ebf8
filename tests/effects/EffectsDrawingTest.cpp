// Real frames of the sand box and the popups, drawn by the frame renderer
// on GL (offscreen) from the shipped pictures and settings, and read back.
// Each frame goes to the PNG named by GALVORINE_DRAWING_PNG, with the
// frame's name before the extension, when that is set.
#include "effects/overlays/Popups.h"
#include "effects/sandbox/Sandbox.h"
#include "engine/BitmapFont.h"
#include "engine/SceneRenderer.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "platform/D3DX.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace d3d;

namespace {

intptr_t Proc(uint32_t, uintptr_t, intptr_t) { return 0; }

struct Frame {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    // The pixel of a point of the 1024 x 768 virtual screen.
    uint32_t At(float x, float y) const
    {
        const int px = static_cast<int>(512.0f + x), py = static_cast<int>(384.0f - y);
        return pixels[static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)];
    }
};

int Red(uint32_t argb) { return static_cast<int>((argb >> 16) & 0xFF); }
int Green(uint32_t argb) { return static_cast<int>((argb >> 8) & 0xFF); }
int Blue(uint32_t argb) { return static_cast<int>(argb & 0xFF); }

class EffectsDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!plat::InitVideo(&why))
            GTEST_SKIP() << "no video: " << why;
        window = std::make_unique<plat::Window>("effects", 1024, 768, Proc);
        direct3d = CreateDirect3D();
        ASSERT_TRUE(direct3d);
        renderer = MakeCountedHandle(new CSceneRenderer());
        settings.width = 1024;
        settings.height = 768;
        ASSERT_EQ(renderer->CreateDevice(&settings, direct3d.get(), window.get(), D3DFMT_D16), D3D_OK);
        device = renderer->device;
        renderer->vertexBuffer = device->CreateVertexBuffer(65536, 0x208, kVertexFvf, D3DPOOL_DEFAULT);
        renderer->indexBuffer = device->CreateIndexBuffer(65536, D3DFMT_INDEX16, 0x208, D3DPOOL_DEFAULT);
        ASSERT_TRUE(renderer->vertexBuffer && renderer->indexBuffer);
        sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
        renderer->spriteLayers[1] = sprites;
        renderer->textBatch = texts;
    }
    void TearDown() override
    {
        texts.Reset();
        sprites.Reset();
        device.Reset();
        renderer.Reset();
        direct3d.reset();
        window.reset();
    }

    CountedHandle<CTexture> Picture(const char* file, const char* name)
    {
        auto texture =
            device->LoadTexture(std::string("Data\\Gfx\\") + file, name, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        EXPECT_TRUE(texture) << file;
        return texture;
    }

    // A sand box set up as the game sets it up, from the shipped skin.
    CountedHandle<CSandbox> MakeSandbox(const CountedHandle<CSandHeightfield>& field, SandboxSettings* skin)
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
        Frame frame;
        EXPECT_TRUE(ReadBackPixels(device->Device(), &frame.width, &frame.height, &frame.pixels));
        if (const char* path = std::getenv("GALVORINE_DRAWING_PNG")) {
            std::string file = path;
            const size_t dot = file.rfind('.');
            file.insert(dot == std::string::npos ? file.size() : dot, std::string("-") + name);
            WritePngFile(file, static_cast<uint32_t>(frame.width), static_cast<uint32_t>(frame.height),
                         frame.pixels);
        }
        renderer->Present();
        return frame;
    }

    DisplaySettings settings;
    std::unique_ptr<plat::Window> window;
    std::unique_ptr<IDirect3D8> direct3d;
    CountedHandle<CSceneRenderer> renderer;
    CountedHandle<CRenderDevice> device;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CTextBatch> texts;
};

} // namespace

TEST_F(EffectsDrawing, ADuneStandsInTheGlassBox)
{
    auto field = MakeCountedHandle(new CSandHeightfield());
    SandboxSettings skin;
    auto box = MakeSandbox(field, &skin);
    field->flowFactor = 0; // the dune stays where it was poured
    field->Pour(0.12, 12);
    field->Update(1.0f);
    box->Update(0.0f);
    const Frame frame = Draw("dune");

    const float left = skin.origin.x, top = skin.origin.y, bottom = top - skin.size.y;
    const float step = skin.size.x / static_cast<float>(skin.columns - 1);
    const double high = field->DisplayLevels()[12];
    ASSERT_GT(high, 0.5);
    ASSERT_EQ(field->DisplayLevels()[30], 0.0);
    const float y = bottom + static_cast<float>(0.4 * high) * skin.size.y;
    // Warm sand under the high column's surface; the night backdrop through
    // the glass above the low column.
    const uint32_t sand = frame.At(left + 12 * step, y);
    EXPECT_GT(Red(sand), Blue(sand) + 40) << std::hex << sand;
    const uint32_t backdrop = frame.At(left + 30 * step, y);
    EXPECT_GT(Blue(backdrop), Red(backdrop) + 40) << std::hex << backdrop;
    // The gilded frame above the sand.
    const uint32_t rim = frame.At(left + 100, top + 2);
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
                sum += Blue(half.At(x, y)) - Blue(empty.At(x, y));
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
            const uint32_t p = frame.At(x, y);
            if (std::abs(Red(p) - Red(gold)) < 24 && std::abs(Green(p) - Green(gold)) < 24 &&
                std::abs(Blue(p) - Blue(gold)) < 40)
                ++lit;
        }
    EXPECT_GT(lit, 2000);
    ScoreMessageSettings().Clear();
}
