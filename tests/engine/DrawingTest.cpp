// Draws real frames on GL (offscreen) and reads them back.
#include "DrawingFixture.h"

#include "engine/Flare.h"
#include "engine/Sprite.h"
#include "engine/Text.h"

#include <gtest/gtest.h>

using namespace d3d;
using namespace drawing_test;

TEST_F(Drawing, LoadingFrameShowsThePictureAndHalfTheBar)
{
    auto loading = device->LoadTexture("Data\\Gfx\\Loading.jpg", "Loading", 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_TRUE(loading);
    DecodedImage image;
    ASSERT_TRUE(DecodeImageFile("Data\\Gfx\\Loading.jpg", &image));
    auto texel = [&](int x, int y) { return image.pixels[static_cast<size_t>(y) * image.width + x]; };
    ASSERT_EQ(renderer->RenderLoadingFrame(loading, 0.5f), D3D_OK);
    const Frame frame = Grab();
    ASSERT_EQ(frame.width, 1024);
    // Picture texels land on their own pixels away from the bar.
    for (int y : {40, 300, 700})
        for (int x : {30, 500, 1000})
            EXPECT_TRUE(Near(frame.At(x, y), texel(x, y), 12)) << x << "," << y;
    // The revealed half of the bar shows the strip below the picture; the rest
    // still shows the picture.
    const int barY = Py(-281.5f);
    EXPECT_TRUE(Near(frame.At(Px(-132.5f) + 40, barY), texel(2 + 40, 826), 12));
    EXPECT_TRUE(Near(frame.At(Px(-132.5f) + 100, barY), texel(2 + 100, 826), 12));
    EXPECT_TRUE(Near(frame.At(Px(-132.5f) + 200, barY), texel(Px(-132.5f) + 200, barY), 12));
    renderer->Present();
}

// Textures keep no copy of their pixels once uploaded: the picture still
// shows after a device reset, the one in the device's own pool loaded again
// from its file, and a picture read back shows what was uploaded.
TEST_F(Drawing, PicturesWithoutAMemoryCopyShowAfterAReset)
{
    DecodedImage image;
    ASSERT_TRUE(DecodeImageFile("Data\\Gfx\\Loading.jpg", &image));
    auto texel = [&](int x, int y) { return image.pixels[static_cast<size_t>(y) * image.width + x]; };
    for (const D3DPOOL pool : {D3DPOOL_MANAGED, D3DPOOL_DEFAULT}) {
        auto loading = device->LoadTexture("Data\\Gfx\\Loading.jpg", "Loading", 1, 0, pool, D3DFMT_UNKNOWN);
        ASSERT_TRUE(loading);
        renderer->OnDeviceReset();
        ASSERT_TRUE(loading->texture) << pool;
        ASSERT_EQ(renderer->RenderLoadingFrame(loading, 0.0f), D3D_OK);
        const Frame frame = Grab(pool == D3DPOOL_DEFAULT ? "default" : "managed");
        for (int y : {40, 700})
            for (int x : {30, 1000})
                EXPECT_TRUE(Near(frame.At(x, y), texel(x, y), 12)) << pool << " " << x << "," << y;
        renderer->Present();
        D3DLOCKED_RECT locked;
        ASSERT_EQ(loading->texture->LockRect(0, &locked, D3DLOCK_READONLY), D3D_OK);
        EXPECT_TRUE(
            Near(static_cast<const uint32_t*>(locked.pBits)[700 * locked.Pitch / 4 + 30], texel(30, 700), 0));
        loading->texture->UnlockRect(0);
        device->RemoveTexture(device->FindTextureIndex("Loading"));
    }
}

TEST_F(Drawing, SpritesFlaresAndTextsReachTheScreen)
{
    const uint32_t clear = renderer->clearColor;
    auto sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
    renderer->spriteLayers[0] = sprites;
    auto red = MakeCountedHandle(new CSprite(-300, 200, 0, 100, 100, 0xFFFF0000, {}, 0));
    auto blue = MakeCountedHandle(new CSprite(-260, 200, 0, 100, 100, 0xFF0000FF, {}, 0));
    blue->zOrder = 1; // behind the red one
    auto glass = MakeCountedHandle(new CSprite(300, 200, 0, 100, 100, 0x80FFFFFF, {}, 1));
    sprites->Add(red);
    sprites->Add(blue);
    sprites->Add(glass);

    auto flareTexture = device->LoadTextureForAlpha("Data\\Gfx\\Flare.jpg", "Flare", 1, 0, D3DPOOL_MANAGED);
    ASSERT_TRUE(flareTexture);
    auto flares = MakeCountedHandle(new CFlareRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
    renderer->flareLayers[1] = flares;
    auto flare = MakeCountedHandle(new CFlare(0, -200, 0, flareTexture, 0xFFFFFF));
    flare->SetSize(128, 128);
    flare->flickerDepth = 0.0f;
    flares->Add(flare);
    flares->Update(0.5f);

    auto fontTexture = device->LoadTexture("Data\\Fonts\\Font.tga", "Font", 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    auto font = MakeCountedHandle(new CBitmapFont(fontTexture));
    ASSERT_EQ(ReadFontFile(font.Get(), "Data\\Fonts\\Font.vfd"), 1);
    auto texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
    renderer->textBatch = texts;
    auto text = texts->Add(MakeCountedHandle(new CText(font)));
    text->SetCharSize(font->header3f * 2, font->header3f * 2);
    text->SetText("FPS: 60.00");
    text->origin[0] = -500;
    text->origin[1] = -300;

    ASSERT_EQ(renderer->RenderFrame(), D3D_OK);
    const Frame frame = Grab();
    EXPECT_TRUE(Near(frame.At(Px(-330), Py(200)), 0xFF0000, 3)); // red alone
    EXPECT_TRUE(Near(frame.At(Px(-290), Py(200)), 0xFF0000, 3)); // red over blue
    EXPECT_TRUE(Near(frame.At(Px(-220), Py(200)), 0x0000FF, 3)); // blue alone
    EXPECT_TRUE(Near(frame.At(Px(300), Py(200)), 0xA0A0FF, 4));  // half white over the clear colour
    EXPECT_TRUE(Near(frame.At(Px(500), Py(-100)), clear, 2));
    // The additive flare brightens its centre.
    const uint32_t centre = frame.At(Px(0), Py(-200));
    EXPECT_GT(Channel(centre, 16), Channel(clear, 16) + 100);
    // The text covers part of its box with bright glyph pixels.
    int bright = 0;
    for (int y = Py(-300); y < Py(-300) + static_cast<int>(font->header3f * 2); ++y)
        for (int x = Px(-500); x < Px(-100); ++x)
            if (Channel(frame.At(x, y), 16) > 200 && Channel(frame.At(x, y), 8) > 200)
                ++bright;
    EXPECT_GT(bright, 200);
    renderer->Present();
}

namespace {

// A scene of two layers over the whole screen: white, then a faint blue
// one cut to what the view leaves of the faint layers.
class TwoLayerScene final : public IBackgroundLayer {
public:
    TwoLayerScene(const CountedHandle<CRenderDevice>& device, const CountedHandle<CSceneRenderer>& renderer)
        : m_device(device), m_whole(MakeSprites(renderer, 0xFFFFFFFF)), m_faint(MakeSprites(renderer, 0xFF0000FF))
    {}
    bool IsRenderGateOpen() const override { return true; }
    bool WantsBlackClear() const override { return true; }
    void Render(const SceneView& view) override
    {
        m_whole->Render();
        if (view.cut)
            m_device->CutDrawsTo(view.faint);
        m_faint->Render();
        if (view.cut)
            m_device->CutDrawsTo(view.whole);
    }

private:
    CountedHandle<CSpriteRenderer> MakeSprites(const CountedHandle<CSceneRenderer>& renderer, uint32_t colour)
    {
        auto sprites =
            MakeCountedHandle(new CSpriteRenderer(m_device, renderer->vertexBuffer, renderer->indexBuffer));
        sprites->Add(MakeCountedHandle(new CSprite(-0.5f, 0.5f, 0, 1024, 768, colour, {}, 0)));
        return sprites;
    }
    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CSpriteRenderer> m_whole, m_faint;
};

} // namespace

// The scene is drawn only where the screen in front leaves it in view: not
// under an opaque cover (two pixels in from its edge, where its picture is
// filtered with what lies beyond), its faint layers not under a translucent
// one either; a frame without covers draws it whole, and the clear is never
// cut.
TEST_F(Drawing, TheSceneIsDrawnOnlyWhereTheScreenInFrontLeavesItInView)
{
    renderer->background = MakeCountedHandle<IBackgroundLayer>(new TwoLayerScene(device, renderer));
    renderer->sceneCover.opaque.push_back(SceneCover::Rect{-512, 384, -200, -384});
    renderer->sceneCover.translucent.push_back(SceneCover::Rect{-100, 300, 300, -300});
    ASSERT_EQ(renderer->RenderFrame(), D3D_OK);
    const Frame cut = Grab("cut");
    struct Case {
        float x, y;
        uint32_t colour;
    };
    for (const Case& c :
         {Case{-400, 0, 0x000000}, Case{-203.5f, 0, 0x000000}, Case{-200.5f, 0, 0x0000FF}, Case{0, 0, 0xFFFFFF},
          Case{0, 350, 0x0000FF}, Case{400, 0, 0x0000FF}, Case{0, -330, 0x0000FF}})
        EXPECT_TRUE(Near(cut.At(Px(c.x), Py(c.y)), c.colour, 3)) << c.x << "," << c.y;
    renderer->Present();

    renderer->sceneCover = SceneCover{};
    ASSERT_EQ(renderer->RenderFrame(), D3D_OK);
    const Frame whole = Grab("whole");
    for (const Case& c : {Case{-400, 0, 0}, Case{0, 0, 0}, Case{400, 0, 0}})
        EXPECT_TRUE(Near(whole.At(Px(c.x), Py(c.y)), 0x0000FF, 3)) << c.x << "," << c.y;
    renderer->Present();
    renderer->background.Reset();
}
