// The sampler form drawn through the frame renderer's GUI step on real GL
// (offscreen) with the generated skin and fonts; its pixels are compared
// with the texels of the skin's own pictures.
#include "FixtureForms.h"

#include "engine/DrawingFixture.h"
#include "gui/QoButton.h"
#include "gui/QoFormsManager.h"
#include "gui/QoProgressbar.h"
#include "gui/QoScroller.h"

#include <cmath>
#include <map>
#include <utility>

using namespace drawing_test;

namespace {

constexpr uint32_t kClear = 0xFF1A1430; // a night sky behind the form

uint32_t Lerp(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0;
    for (int shift : {24, 16, 8, 0}) {
        const float x = static_cast<float>((a >> shift) & 0xFF), y = static_cast<float>((b >> shift) & 0xFF);
        out |= static_cast<uint32_t>(std::lround(x + (y - x) * t)) << shift;
    }
    return out;
}

// The colour a sprite puts on the screen pixel (px, py): its picture sampled
// bilinearly (wrapping) where the pixel's centre falls on its frame, over
// `under` by the picture's alpha. Sprites here are axis-aligned and white.
uint32_t Expected(const CSprite& sprite, const d3d::DecodedImage& image, int px, int py, uint32_t under)
{
    const float vx = static_cast<float>(px) + 0.5f - 512.0f, vy = 384.0f - static_cast<float>(py) - 0.5f;
    const float* uv = sprite.frames.data() + static_cast<size_t>(sprite.frame) * 8;
    const float u = uv[0] + (vx - (sprite.x - sprite.width / 2)) / sprite.width * (uv[4] - uv[0]);
    const float v = uv[1] + ((sprite.y + sprite.height / 2) - vy) / sprite.height * (uv[5] - uv[1]);
    const float tx = u * static_cast<float>(image.width) - 0.5f, ty = v * static_cast<float>(image.height) - 0.5f;
    const int x0 = static_cast<int>(std::floor(tx)), y0 = static_cast<int>(std::floor(ty));
    auto at = [&](int x, int y) {
        const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
        return image
            .pixels[static_cast<size_t>(((y % h) + h) % h) * image.width + static_cast<size_t>(((x % w) + w) % w)];
    };
    const uint32_t texel =
        Lerp(Lerp(at(x0, y0), at(x0 + 1, y0), tx - static_cast<float>(x0)),
             Lerp(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx - static_cast<float>(x0)), ty - static_cast<float>(y0));
    return Lerp(under, texel | 0xFF000000, static_cast<float>(texel >> 24) / 255.0f);
}

class GuiDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const char* name : kSkinTextures) {
            const std::string file = std::string("Data\\Gfx\\") + name + ".png";
            ASSERT_TRUE(device->LoadTexture(file, name, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN)) << file;
            ASSERT_TRUE(d3d::DecodeImageFile(file, &images[name]));
        }
        auto font = MakeCountedHandle(new CBitmapFont(device->LoadTextureAutoFormat(
            "Data\\Fonts\\Font.tga", "Font", FontFormatCandidates(), 0, 0, d3d::D3DPOOL_MANAGED)));
        ASSERT_EQ(ReadFontFile(font.Get(), "Data\\Fonts\\Font.vfd"), 1);
        std::vector<CountedHandle<CBitmapFont>> fonts = {font};
        std::vector<std::string> errors;
        LoadFontSet(*device, "Data\\Fonts\\", &fonts, &errors);
        ASSERT_GE(fonts.size(), 3u);

        sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
        sampler = BuildFixture("Sampler.qof", device, sprites, texts, fonts, 1);
        ASSERT_TRUE(sampler.form);
        manager = MakeCountedHandle(new CQoFormsManager());
        manager->AddForm(sampler.form);
        renderer->gui = manager;
        renderer->clearColor = kClear;
    }
    void TearDown() override
    {
        sampler = {};
        manager.Reset();
        texts.Reset();
        sprites.Reset();
        Drawing::TearDown();
    }
    Frame Draw()
    {
        EXPECT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
        return Grab();
    }
    template <typename T>
    T& Control(int32_t id)
    {
        return dynamic_cast<T&>(*sampler.form->FindChild(id));
    }
    // The pixel under a point of the virtual screen.
    static std::pair<int, int> Pixel(float x, float y) { return {Px(x), Py(y)}; }
    // The pixel at a design offset from a control's centre shows the control's
    // sprite `index`, drawn over `under`.
    ::testing::AssertionResult Shows(const Frame& frame, const CQoWindow& control, size_t index, float dx,
                                     float dy, uint32_t under = kClear, int tolerance = 6)
    {
        const auto [px, py] = Pixel(control.Position().x + dx, control.Position().y + dy);
        const uint32_t expected = Expected(*control.Sprite(index), images["GuiControls"], px, py, under);
        return Near(frame.At(px, py), expected, tolerance) << " at " << px << "," << py;
    }

    std::map<std::string, d3d::DecodedImage> images;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CQoFormsManager> manager;
    FixtureForm sampler;
};

} // namespace

TEST_F(GuiDrawing, AHiddenFormDrawsNothing)
{
    sampler.form->SetVisible(false);
    const Frame frame = Draw();
    for (int y = 0; y < frame.height; y += 3)
        for (int x = 0; x < frame.width; x += 3)
            ASSERT_TRUE(Near(frame.At(x, y), kClear, 2)) << x << "," << y;
}

TEST_F(GuiDrawing, SamplerFormInTheGuiStep)
{
    const CQoForm& form = *sampler.form;
    auto& button = Control<CQoButton>(1);
    auto& box = Control<CQoCheckbox>(2);
    auto& volume = Control<CQoScroller>(3);
    auto& bar = Control<CQoProgressbar>(4);
    bar.SetValue(0.25f);
    Frame frame = Draw();

    // Nothing outside the form: 512 x 512 around (-0.5, 0.5).
    const int left = Px(-256.5f) - 2, right = Px(255.5f) + 2, top = Py(256.5f) - 2, bottom = Py(-255.5f) + 2;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            if (x < left || x > right || y < top || y > bottom) {
                ASSERT_TRUE(Near(frame.At(x, y), kClear, 2)) << x << "," << y;
            }

    // The glass repeats one tile length (128) on, across and down, and shows
    // its own texels over the sky.
    const CSprite& glass = *form.Sprite(8);
    for (const auto& [a, b] : {std::pair{Pixel(203.5f, 100.5f), Pixel(203.5f, -27.5f)},
                               std::pair{Pixel(-150.5f, -189.5f), Pixel(-22.5f, -189.5f)}}) {
        EXPECT_TRUE(Near(frame.At(a.first, a.second), frame.At(b.first, b.second), 2));
        EXPECT_TRUE(
            Near(frame.At(a.first, a.second), Expected(glass, images["GuiBack"], a.first, a.second, kClear), 3));
    }

    // The progress bar at a quarter: the fill's and the empty part's texels.
    EXPECT_TRUE(Shows(frame, bar, 1, -130, 0));
    EXPECT_TRUE(Shows(frame, bar, 0, 60, 0));

    // The caption over its picture: the plate's texels beside the title,
    // dark letters on it.
    auto& title = Control<CQoStatic>(11);
    EXPECT_TRUE(Shows(frame, title, 0, -140, 4));
    int letters = 0;
    for (int dy = -24; dy <= 24; ++dy)
        for (int dx = -100; dx <= 100; ++dx) {
            const auto [px, py] = Pixel(title.Position().x + dx, title.Position().y + dy);
            if (Channel(frame.At(px, py), 16) < 90 && Channel(frame.At(px, py), 8) < 60)
                ++letters;
        }
    EXPECT_GT(letters, 300);

    // The button's normal, over and pressed looks, away from its caption.
    EXPECT_TRUE(Shows(frame, button, 0, -70, 12));
    const Vec3 ok = button.Position();
    manager->OnMouseMove(ok.x, ok.y, 0.02f);
    ASSERT_EQ(button.Sprite(0)->frame, 2);
    EXPECT_TRUE(Shows(Draw(), button, 0, -70, 12));
    manager->OnMouseDown(ok.x, ok.y, 0);
    ASSERT_EQ(button.Sprite(0)->frame, 1);
    EXPECT_TRUE(Shows(Draw(), button, 0, -70, 12));
    manager->OnMouseUp(ok.x, ok.y, 0);

    // The checked gem, once the cursor has left it; the knob after a drag to
    // three quarters.
    const CSprite& gem = *box.Sprite(0);
    manager->OnMouseMove(gem.x, gem.y, 0.02f);
    manager->OnMouseDown(gem.x, gem.y, 0);
    manager->OnMouseUp(gem.x, gem.y, 0);
    manager->OnMouseMove(ok.x, ok.y, 0.02f);
    ASSERT_TRUE(box.IsChecked());
    ASSERT_EQ(gem.frame, 1);
    const Vec3 track = volume.Position();
    manager->OnMouseDown(track.x - 72, track.y, 0);
    manager->OnMouseMove(track.x + 72, track.y, 0.02f);
    manager->OnMouseUp(track.x + 72, track.y, 0);
    ASSERT_NEAR(volume.Value(), 0.75f, 1e-5f);
    Control<CQoScroller>(5).SetValue(0.3f);
    frame = Draw();
    const float gemOffset = gem.x - box.Position().x;
    EXPECT_TRUE(Shows(frame, box, 0, gemOffset + 1, -1, kClear, 8));
    EXPECT_TRUE(Shows(frame, volume, 1, 72, 0, kClear, 8));
    EXPECT_TRUE(Shows(frame, volume, 1, 72 - 5, 3, kClear, 8));
}

// A form covers what the layers before it drew, however near: the selection
// marker (sprite layer 1, 16 in front of its token), a hint arrow or a flying
// gem (sprite layer 2, 50 and 150 in front) stand between the forms' plane
// and the eye, and must not cut through the pause menu or any dialog.
TEST_F(GuiDrawing, NothingDrawnBeforeTheFormsShowsThroughThem)
{
    struct Case {
        int layer;
        float z;
        int blended;
        float x, y; // on the form's glass
    };
    const Case cases[] = {{1, -16.0f, 1, 203.5f, 100.5f},
                          {1, -16.0f, 0, 203.5f, -27.5f},
                          {2, -50.0f, 1, -150.5f, -189.5f},
                          {2, -150.0f, 0, -22.5f, -189.5f}};
    CountedHandle<CSpriteRenderer> layers[2];
    for (int i = 0; i < 2; ++i) {
        layers[i] = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        renderer->spriteLayers[i] = layers[i];
    }
    // Beside the form each of them shows.
    for (const Case& c : cases) {
        layers[c.layer - 1]->Add(MakeCountedHandle(new CSprite(c.x, c.y, c.z, 24, 24, 0xFFFF0000, {}, c.blended)));
        layers[c.layer - 1]->Add(
            MakeCountedHandle(new CSprite(-400.0f, 40.0f * c.layer, c.z, 24, 24, 0xFFFF0000, {}, c.blended)));
    }
    const Frame frame = Draw();
    const CSprite& glass = *sampler.form->Sprite(8);
    for (const Case& c : cases) {
        EXPECT_TRUE(Near(frame.At(Px(-400.0f), Py(40.0f * c.layer)), 0xFF0000, 3)) << "layer " << c.layer;
        const auto [px, py] = Pixel(c.x, c.y);
        EXPECT_TRUE(Near(frame.At(px, py), Expected(glass, images["GuiBack"], px, py, kClear), 3))
            << "layer " << c.layer << " at z " << c.z << (c.blended ? " blended" : " opaque");
    }
}
