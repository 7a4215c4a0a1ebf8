// The gems bar on the recording null device: the gem pictures' reader, the
// spacing of the gems, the fill and counter, where flying gems land, the
// strip's upload in every texture format, fading and the effects.
#include "board/GemsBar.h"

#include "engine/BitmapFont.h"
#include "engine/Flare.h"
#include "engine/RenderTestSupport.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "layout/QuestLayout.h"
#include "platform/MemoryResources.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

using namespace d3d;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

// Every gem is the same straight colour; gem j shows `width(j)` columns,
// the first at half alpha.
constexpr uint8_t kRed = 200, kGreen = 40, kBlue = 255;
// That colour blended at full alpha onto an empty strip.
constexpr uint32_t kStripColour = 0xFFC727FE;

void Put(std::vector<unsigned char>& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::vector<unsigned char> BarGemsBmp(const std::function<int(int)>& width, int height = 80, int bits = 24,
                                      uint32_t compression = 0)
{
    std::vector<unsigned char> bytes = {'B', 'M'};
    const int rowBytes = 320 * 3;
    Put(bytes, static_cast<uint32_t>(54 + rowBytes * height), 4);
    Put(bytes, 0, 4);
    Put(bytes, 54, 4);
    Put(bytes, 40, 4);
    Put(bytes, 320, 4);
    Put(bytes, static_cast<uint32_t>(height), 4);
    Put(bytes, 1, 2);
    Put(bytes, static_cast<uint32_t>(bits), 2);
    Put(bytes, compression, 4);
    for (int i = 0; i < 5; ++i)
        Put(bytes, 0, 4);
    // Bottom row first: the masks, then the colours.
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int pictureRow = height - 1 - fileRow;
        for (int x = 0; x < 320; ++x) {
            const int gem = x / 40, column = x % 40;
            if (pictureRow >= 40) {
                const bool inside = gem < 7 && column < width(gem);
                const unsigned char alpha = inside ? (column == 0 ? 128 : 255) : 0;
                bytes.insert(bytes.end(), {alpha, alpha, alpha});
            } else {
                bytes.insert(bytes.end(), {kBlue, kGreen, kRed});
            }
        }
    }
    return bytes;
}

int NarrowGems(int gem) { return 32 + gem; }
int FullGems(int) { return 40; }

class GemsBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sprites = MakeCountedHandle(new CSpriteRenderer(rig.device, rig.vertices, rig.indices));
        texts = MakeCountedHandle(new CTextBatch(rig.device, rig.vertices, rig.indices));
        flares = MakeCountedHandle(new CFlareRenderer(rig.device, rig.vertices, rig.indices));
        font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
        font->header3f = 20.0f;
    }
    // A bar with the gems of `width`, initialised and shown.
    CountedHandle<CGemsBar> MakeBar(int (*width)(int) = NarrowGems)
    {
        WriteBytes(dir.File("BarGems.bmp"), BarGemsBmp(width));
        auto bar = MakeCountedHandle(new CGemsBar());
        bar->SetSharedObjects(rig.device, frame, sprites, texts, font, flares);
        bar->SetEffectTexture(frame);
        EXPECT_TRUE(bar->LoadBarGems(dir.File("BarGems.bmp")));
        EXPECT_TRUE(bar->Init());
        bar->Show(true, 0.0f);
        return bar;
    }

    ScratchDir dir;
    testing_support::LogCapture capture;
    NullRig rig;
    CountedHandle<CTexture> frame;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CBitmapFont> font;
};

TEST_F(GemsBarTest, ReaderAcceptsOnlyA320By80PlainBitmap)
{
    std::vector<unsigned char> truncated = BarGemsBmp(NarrowGems);
    truncated.resize(truncated.size() - 1);
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes; // empty: no file
        bool loads;
        const char* log;
    };
    const Case cases[] = {
        {"missing", {}, false, " BarGems.bmp File not found!\n"},
        {"320 x 81", BarGemsBmp(NarrowGems, 81), false, " Error loading BarGems.bmp file!\n"},
        {"32-bit", BarGemsBmp(NarrowGems, 80, 32), false, " Error loading BarGems.bmp file!\n"},
        {"compressed", BarGemsBmp(NarrowGems, 80, 24, 1), false, " Error loading BarGems.bmp file!\n"},
        {"short pixels", truncated, false, " Error loading BarGems.bmp file!\n"},
        {"header only", std::vector<unsigned char>(30, 'B'), false, " Error loading BarGems.bmp file!\n"},
        {"good", BarGemsBmp(NarrowGems), true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(std::string(c.name) + ".bmp");
        if (!c.bytes.empty())
            WriteBytes(path, c.bytes);
        CGemsBar bar;
        EXPECT_EQ(bar.LoadBarGems(path), c.loads);
        EXPECT_EQ(capture.Take(), c.log);
        for (int j = 0; j < CGemsBar::kColours; ++j)
            EXPECT_EQ(bar.GemWidth(j), c.loads ? 32 + j : 0);
    }
}

TEST_F(GemsBarTest, GemsShareTheStripEvenlyUpToTheGoal)
{
    auto bar = MakeBar(FullGems);
    bar->goal = 5;
    ASSERT_TRUE(bar->ResetLevel());
    // Each gem ends at the cursor; the cursor moves by (407 - cursor) / (6 - n).
    const float cursors[] = {40.0f, 131.75f, 223.5f, 315.25f, 407.0f};
    const int lefts[] = {0, 91, 183, 275, 367};
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n + 1);
        EXPECT_TRUE(bar->AddGem(n % 7));
        EXPECT_FLOAT_EQ(bar->Cursor(), cursors[n]);
        EXPECT_EQ(bar->StripPixel(lefts[n] + 1, 20), kStripColour);
        if (n > 0) {
            EXPECT_EQ(bar->StripPixel(lefts[n] - 1, 20), 0u); // the gap before the gem
        }
    }
    EXPECT_EQ(bar->StripPixel(39, 0), kStripColour);
    EXPECT_EQ(bar->StripPixel(406, 39), kStripColour);
    EXPECT_EQ(bar->CounterText()->text, "5/5");

    // A sixth gem is counted, not drawn.
    std::vector<uint32_t> before;
    for (int x = 0; x < CGemsBar::kStripWidth; ++x)
        before.push_back(bar->StripPixel(x, 20));
    EXPECT_TRUE(bar->AddGem(2));
    EXPECT_EQ(bar->CounterText()->text, "6/5");
    for (int x = 0; x < CGemsBar::kStripWidth; ++x)
        ASSERT_EQ(bar->StripPixel(x, 20), before[static_cast<size_t>(x)]) << x;
}

TEST_F(GemsBarTest, FirstGemOfANarrowPictureHasItsSoftEdge)
{
    auto bar = MakeBar();
    bar->goal = 3;
    bar->ResetLevel();
    bar->AddGem(6); // 38 columns wide
    EXPECT_FLOAT_EQ(bar->Cursor(), 38.0f);
    const uint32_t edge = bar->StripPixel(0, 5);
    EXPECT_EQ(edge >> 24, 128u);
    EXPECT_EQ((edge >> 16) & 0xFF, 200u * 128 >> 8);
    EXPECT_EQ(bar->StripPixel(37, 5), kStripColour);
    EXPECT_EQ(bar->StripPixel(38, 5), 0u);
}

TEST_F(GemsBarTest, ColoursOutsideTheSevenAreCountedNotDrawn)
{
    auto bar = MakeBar();
    bar->goal = 5;
    bar->ResetLevel();
    EXPECT_TRUE(bar->AddGem(7));
    EXPECT_TRUE(bar->AddGem(-1));
    EXPECT_EQ(bar->Collected(), 2);
    EXPECT_EQ(bar->CounterText()->text, "2/5");
    EXPECT_FLOAT_EQ(bar->Cursor(), 0.0f);
    for (int x = 0; x < CGemsBar::kStripWidth; ++x)
        ASSERT_EQ(bar->StripPixel(x, 20), 0u);
    EXPECT_EQ(bar->GemWidth(100), 0);
}

TEST_F(GemsBarTest, FillFollowsTheCountAndSplitsAt204)
{
    auto bar = MakeBar();
    bar->goal = 407;
    bar->ResetLevel();
    for (int i = 0; i < 204; ++i)
        bar->AddGem(0);
    const CSprite& left = *bar->FillSprite(0);
    const CSprite& right = *bar->FillSprite(1);
    EXPECT_FLOAT_EQ(left.width, 204.0f);
    EXPECT_EQ(right.visible, 0);
    bar->AddGem(0);
    EXPECT_EQ(right.visible, 1);
    EXPECT_NEAR(right.width, 1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(left.width, 204.0f);
}

TEST_F(GemsBarTest, GoalOfZeroShowsTheBarFull)
{
    auto bar = MakeBar();
    bar->goal = 0;
    EXPECT_TRUE(bar->ResetLevel());
    EXPECT_FLOAT_EQ(bar->FillSprite(0)->width, 204.0f);
    EXPECT_FLOAT_EQ(bar->FillSprite(1)->width, 203.0f);
    EXPECT_TRUE(bar->AddGem(3));
    EXPECT_EQ(bar->CounterText()->text, "1/0");
    EXPECT_FLOAT_EQ(bar->Cursor(), 0.0f);
}

TEST_F(GemsBarTest, FlyingGemsLandWhereTheirPlaceWillBe)
{
    auto bar = MakeBar(FullGems);
    bar->SetPosition(0.0f, 0.0f, 0.0f);
    const GemsBarLook& look = bar->Look();
    struct Case {
        int goal, collected, colour, n;
        float offset; // from the strip's left end
    };
    const Case cases[] = {
        {5, 0, 0, 1, 20.0f},                    // the first lands at the left end
        {5, 0, 0, 2, 37.0f + 92.5f - 20.0f},    // after the margin, a share of the rest
        {5, 2, 0, 1, 131.75f + 91.75f - 20.0f}, // one share after the last placed
        {5, 2, 0, 3, 131.75f + 3 * 91.75f - 20.0f},
        {3, 3, 0, 1, 407.0f - 20.0f}, // the goal reached: onto the last gem
        {3, 4, 0, 2, 407.0f - 20.0f}, // and beyond it
        {1, 0, 0, 2, -20.0f},         // nothing left to share
        {5, 0, 9, 3, 37.0f + 2 * 92.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.goal << " " << c.collected << " " << c.n);
        bar->goal = c.goal;
        bar->ResetLevel();
        for (int i = 0; i < c.collected; ++i)
            bar->AddGem(0);
        const Vec3 target = bar->GetGemTarget(c.colour, c.n);
        EXPECT_FLOAT_EQ(target.x, look.stripShift.x + c.offset);
        EXPECT_FLOAT_EQ(target.y, look.stripShift.y - 20.0f);
        EXPECT_FLOAT_EQ(target.z, 499.5f);
    }
}

TEST_F(GemsBarTest, StripIsUploadedFoldedInEveryFormat)
{
    struct Case {
        D3DFORMAT format;
        uint32_t texel;
    };
    const Case cases[] = {
        {D3DFMT_A2B10G10R10, 0xFF82731C}, {D3DFMT_A8R3G3B2, 0xFFC7},     {D3DFMT_A4R4G4B4, 0xFC2F},
        {D3DFMT_A1R5G5B5, 0xE09F},        {D3DFMT_A8R8G8B8, 0xFFC727FE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        rig.direct3d.textureFormats = {c.format};
        auto bar = MakeBar(FullGems);
        bar->goal = 2;
        bar->ResetLevel();
        bar->AddGem(1); // columns 0-39
        bar->AddGem(1); // columns 367-406
        IDirect3DTexture8& texture = *bar->SurfaceTexture()->texture;
        D3DSURFACE_DESC description;
        texture.GetLevelDesc(0, &description);
        EXPECT_EQ(description.Format, c.format);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture.LockRect(0, &locked, 0), D3D_OK);
        const uint32_t bytes = FormatBytes(c.format);
        auto texel = [&](int x, int y) {
            uint32_t value = 0;
            std::memcpy(&value, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * bytes, bytes);
            return value;
        };
        EXPECT_EQ(texel(5, 10), c.texel);              // strip column 5, first band
        EXPECT_EQ(texel(48 + 380 - 199, 50), c.texel); // strip column 380, second band
        EXPECT_EQ(texel(100, 10), 0u);
        EXPECT_EQ(texel(20, 50), 0u); // left of the second band
        EXPECT_EQ(texel(5, 90), 0u);  // below both bands
        texture.UnlockRect(0);
    }
}

TEST_F(GemsBarTest, FormatItCannotWriteIsAFailedRefresh)
{
    auto bar = MakeBar();
    capture.Take();
    bar->SurfaceTexture()->texture =
        std::make_unique<MemoryTexture>(256, 128, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED);
    EXPECT_FALSE(bar->AddGem(0));
    EXPECT_EQ(capture.Take(), " Warning! Unable to refresh Gems buffer texture\n");
    EXPECT_EQ(bar->CounterText()->text, "1/5"); // the counter still follows
}

TEST_F(GemsBarTest, FadesInAndOutByTheRate)
{
    auto bar = MakeBar();
    bar->Show(false, 0.0f);
    EXPECT_FALSE(bar->IsShown());
    EXPECT_EQ(bar->FillSprite(0)->visible, 0);
    bar->Show(true, 2.0f);
    for (int i = 0; i < 15; ++i)
        bar->Update(1.0f / 60);
    EXPECT_NEAR(bar->Alpha(), 0.5f, 1e-4f);
    for (int i = 0; i < 20; ++i)
        bar->Update(1.0f / 60);
    EXPECT_FLOAT_EQ(bar->Alpha(), 1.0f);
    EXPECT_FLOAT_EQ(bar->FillSprite(0)->opacity, 1.0f);

    // Fading out keeps the sprites up until the alpha reaches 0.
    bar->Show(false, 4.0f);
    bar->Update(0.2f);
    EXPECT_TRUE(bar->IsShown());
    EXPECT_EQ(bar->FillSprite(0)->visible, 1);
    bar->Update(0.1f);
    EXPECT_FALSE(bar->IsShown());
    EXPECT_EQ(bar->FillSprite(0)->visible, 0);
    EXPECT_EQ(bar->CounterText()->visible, 0);
}

TEST_F(GemsBarTest, EffectsRiseOnlyFromTheFilledStrip)
{
    auto bar = MakeBar();
    bar->goal = 2;
    bar->ResetLevel();
    for (int i = 0; i < 600; ++i)
        bar->Update(1.0f / 60);
    EXPECT_EQ(bar->SparkleCount(), 0u);
    EXPECT_TRUE(flares->flares.empty());

    bar->AddGem(0);
    bar->AddGem(1); // the strip is full: 407 / 703 of the full rate
    for (int i = 0; i < 60; ++i)
        bar->Update(1.0f / 60);
    EXPECT_GE(bar->SparkleCount(), 1u);
    EXPECT_FALSE(flares->flares.empty());
    // At most one of each a frame, and a sparkle lives 1.5 s.
    EXPECT_LE(flares->flares.size(), 60u);
    EXPECT_LE(bar->SparkleCount(), 6u);

    bar->ResetLevel();
    EXPECT_EQ(bar->SparkleCount(), 0u);
}

TEST(GemsBarLayout, SkinValuesReplaceTheBarsOwnUnlessTheyAreNoNumber)
{
    CQuestLayout layout;
    layout.gemsOverlayShift = Vec2{115.0f, -676.0f};
    layout.gemsFillingShift = Vec2{116.0f, NAN};
    layout.gemsGemsShift = Vec2{116.5f, -680.0f};
    layout.gemsCountShift = Vec2{600.0f, -690.0f};
    layout.gemsTextCharSize = 0.8f;
    layout.gemsTextColour = 0xFFFFE0A0;
    layout.gemsBigFlares = GemsFlares{48.0f, 0.25f, 2.0f, 1.0f, 0x80FFFFFF};
    layout.gemsSmallFlares = GemsFlares{5.0f, INFINITY, 0.5f, 2.0f, 0xFE102030};
    CGemsBar bar;
    bar.ApplyLayout(layout);
    const GemsBarLook& look = bar.Look();
    EXPECT_FLOAT_EQ(look.frameShift.y, -676.0f);
    EXPECT_FLOAT_EQ(look.fillShift.x, 116.0f);
    EXPECT_FLOAT_EQ(look.fillShift.y, -24.0f); // kept
    EXPECT_FLOAT_EQ(look.stripShift.x, 116.5f);
    EXPECT_FLOAT_EQ(look.countShift.y, -690.0f);
    EXPECT_FLOAT_EQ(look.textScale, 0.8f);
    EXPECT_EQ(look.textColour, 0xFFFFE0A0u);
    EXPECT_FLOAT_EQ(look.sparkleSize, 48.0f);
    EXPECT_FLOAT_EQ(look.sparklePeriod, 0.25f);
    EXPECT_FLOAT_EQ(look.sparkleLife, 2.0f);
    EXPECT_EQ(look.sparkleColour, 0x80FFFFFFu);
    EXPECT_FLOAT_EQ(look.flarePeriod, 0.02f); // kept
    EXPECT_FLOAT_EQ(look.flareLife, 0.5f);
    EXPECT_EQ(look.flareColour, 0x102030u);
    EXPECT_FLOAT_EQ(look.flareIntensity, 0.0f); // only an opaque colour shines
}

} // namespace
