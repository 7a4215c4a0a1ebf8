// The totems on GL (offscreen), drawn by the frame renderer over the quest
// screen's panel as the game draws them: seven owned at levels 1 to 4 and
// one brought in front. The frame goes to the PNG named by
// GALVORINE_DRAWING_PNG when that is set.
#include "engine/DrawingFixture.h"

#include "engine/Sprite.h"
#include "totems/TotemsManager.h"

#include <gtest/gtest.h>

using namespace d3d;
using namespace drawing_test;

namespace {

class TotemsDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        panel = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        renderer->spriteLayers[1] = panel;
        renderer->spriteLayers[2] = sprites;
        // The quest screen's panel under the totems, as its form lays it.
        auto hud = MakeCountedHandle(
            new CSprite(-512.0f + 176.0f, 0.0f, 0.0f, 352.0f, 768.0f, 0xFFFFFFFF, Picture("PanelQuest.png"), 1));
        hud->SetFrameRect(0, 0.0f, 0.0f, 352.0f / 512.0f, 768.0f / 1024.0f);
        panel->Add(hud);
        totems.SetRenderers(device, sprites, {}, {}, nullptr);
        totems.LoadConfig("Data\\Config\\Totems.cfg");
        ASSERT_TRUE(totems.LoadTextures("Data\\Gfx\\"));
        std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
        shared[CTotemsManager::kHalo1] = Picture("Halo1.tga");
        shared[CTotemsManager::kShopColor] = Picture("ShopColor.png");
        shared[CTotemsManager::kShopMul] = Picture("ShopMul.png");
        shared[CTotemsManager::kShopBW] = Picture("ShopBW.png");
        totems.SetTextures(shared);
    }
    void TearDown() override
    {
        sprites.Reset();
        panel.Reset();
        Drawing::TearDown();
    }
    CountedHandle<CTexture> Picture(const std::string& file)
    {
        auto texture = device->LoadTexture("Data\\Gfx\\" + file, file.substr(0, file.find('.')), 0, 0,
                                           D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        EXPECT_TRUE(texture) << file;
        return texture;
    }
    void Run(float seconds)
    {
        for (float t = 0; t < seconds; t += 1.0f / 60) {
            totems.Update(1.0f / 60);
            sprites->Update(1.0f / 60, 0);
        }
    }
    Frame Draw(const char* name = nullptr)
    {
        EXPECT_EQ(renderer->RenderFrame(), D3D_OK);
        const Frame frame = Grab(name);
        renderer->Present();
        return frame;
    }

    CountedHandle<CSpriteRenderer> panel, sprites;
    CTotemsManager totems;
};

// The mean colour of a square patch round a point of the design screen.
struct Mean {
    int r = 0, g = 0, b = 0;
};
Mean Patch(const Frame& f, float designX, float designY, int half)
{
    long r = 0, g = 0, b = 0, n = 0;
    // The window is the design screen, pixel for pixel.
    const int cx = static_cast<int>(designX), cy = static_cast<int>(designY);
    for (int y = cy - half; y <= cy + half; ++y)
        for (int x = cx - half; x <= cx + half; ++x) {
            const uint32_t p = f.At(x, y);
            r += Channel(p, 16);
            g += Channel(p, 8);
            b += Channel(p, 0);
            ++n;
        }
    return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

// Each colour's hue, told apart at a glance: which channels lead.
bool ShowsColour(const Mean& m, int colour)
{
    switch (colour) {
    case kGreenTotem:
        return m.g > m.r + 30 && m.g > m.b + 30;
    case kYellowTotem:
        return m.r > m.b + 60 && m.g > m.b + 50;
    case kRedTotem:
        return m.r > m.g + 60 && m.r > m.b + 60;
    case kBlueTotem:
        return m.b > m.r + 40;
    case kOrangeTotem:
        return m.r > m.b + 80 && m.r > m.g + 30;
    case kWhiteTotem:
        return m.r > 150 && m.g > 150 && m.b > 150;
    default:
        return m.r > m.g + 30 && m.b > m.g + 30;
    }
}

} // namespace

TEST_F(TotemsDrawing, SevenOwnedTotemsAndOneInFront)
{
    totems.levels = {1, 2, 3, 4, 1, 3, 4};
    totems.Reset();
    totems.BuildPanel(true);
    totems.QueueTotem(kVioletTotem);
    Run(1.0f);
    const Frame frame = Draw("owned");
    // The small totems in their niches, the violet one gone to the front.
    for (int c = 0; c < kTotemColours; ++c) {
        const float x = 44.0f + 44 * c;
        const Mean m = Patch(frame, x, 640, 3);
        if (c == kVioletTotem)
            EXPECT_LT(m.r + m.g + m.b, 150) << "the violet niche is empty";
        else
            EXPECT_TRUE(ShowsColour(m, c)) << c << ": " << m.r << " " << m.g << " " << m.b;
    }
    const Mean front = Patch(frame, 176, 560, 4);
    EXPECT_TRUE(ShowsColour(front, kVioletTotem)) << front.r << " " << front.g << " " << front.b;
    // Its first lamp is lit: the left eye glows.
    const Mean eye = Patch(frame, 176 + 104 - 112, 530 + 95 - 112, 1);
    const Mean dark = Patch(frame, 176 + 120 - 112, 530 + 95 - 112, 1);
    EXPECT_GT(eye.r + eye.g + eye.b, dark.r + dark.g + dark.b + 150);
}

TEST_F(TotemsDrawing, ColoursNotOwnedShowTheirOutlines)
{
    totems.levels.fill(-1);
    totems.Reset();
    totems.BuildPanel(true);
    Run(0.1f);
    const Frame frame = Draw("none");
    for (int c = 0; c < kTotemColours; ++c) {
        int gold = 0;
        const int cx = 44 + 44 * c, cy = 634;
        for (int y = cy - 32; y <= cy + 32; ++y)
            for (int x = cx - 18; x <= cx + 18; ++x) {
                const uint32_t p = frame.At(x, y);
                gold += Channel(p, 16) > 150 && Channel(p, 16) > Channel(p, 0) + 60 ? 1 : 0;
            }
        EXPECT_GT(gold, 40) << c;
    }
}

// The shop's cards of the seven totem items, as Shop.qof lays them, with a
// colour not offered, one for sale, and the others bought at levels 1 to 4.
TEST_F(TotemsDrawing, TheShopsTotemPicturesSitInTheirCards)
{
    panel->Remove(panel->sprites[0]);
    const CountedHandle<CTexture> frame = Picture("ShopFrame.png");
    // The item card of each colour (violet, white, blue, yellow, orange, red
    // are items 0-5 in rows of four, green item 9).
    const float cards[kTotemColours][2] = {{520, 250}, {768, 104}, {272, 250}, {520, 104},
                                           {24, 250},  {272, 104}, {24, 104}};
    for (const auto& card : cards) {
        auto sprite = MakeCountedHandle(
            new CSprite(card[0] + 116 - 512, 384 - card[1] - 68, 0, 232, 136, 0xFFFFFFFF, frame, 1));
        sprite->SetFrameRect(0, 0, 0, 232 / 1024.0f, 136 / 1024.0f);
        panel->Add(sprite);
    }
    totems.RecreateTextures(true, "Data\\Gfx\\");
    const int levels[kTotemColours] = {4, -1, 0, 3, 1, 2, 4};
    for (int c = 0; c < kTotemColours; ++c)
        totems.SetShopLevel(c, levels[c], 4.0f);
    Run(0.6f);
    const Frame shot = Draw("shop");
    for (int c = 0; c < kTotemColours; ++c) {
        // The well's middle is no longer the card's dark well.
        const Mean m = Patch(shot, cards[c][0] + 60, cards[c][1] + 68, 6);
        EXPECT_GT(m.r + m.g + m.b, 90) << c;
    }
    totems.RecreateTextures(false, "Data\\Gfx\\");
}
