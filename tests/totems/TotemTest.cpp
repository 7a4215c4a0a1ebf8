// One totem at a time, on shapes written for the test: the board's cells,
// how the body is built and placed, its flights, lamps, fades and layers,
// a started power, and what is left when it goes.
#include "TotemsRig.h"

#include "tokens/BoardGrid.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace totems_rig;
using testing_support::ScratchDir;
using testing_support::WriteText;

namespace {

// Every colour: a small totem of one sprite, a shadow of one, a large totem
// of two (three for white, seven for green from level 3), three lamps and a
// shop picture; pictures of 128 x 128.
std::string ShapesFile()
{
    std::string text = "[Shared]\nMainSize=128 128\n";
    for (const char* section : {"Red", "Orange", "Violet", "Green", "Yellow", "Blue", "White"}) {
        text += std::string("[") + section + "]\n";
        for (int level = 1; level <= 4; ++level) {
            const std::string l = std::to_string(level);
            const bool greenChain = std::string(section) == "Green" && level >= 3;
            const int main = greenChain ? 6 : 2;
            text += "Small" + l + "SpritesCount=1\nSmall" + l + "Sprite0=20 10 0 40 60\nSmall" + l +
                    "SpriteT0=0 0 64 128\n";
            text += "Shadow" + l + "SpritesCount=1\nShadow" + l + "Sprite0=0 0 0 128 128\nShadow" + l +
                    "SpriteT0=0 0 256 256\n";
            text += "Main" + l + "SpritesCount=" + std::to_string(main) + "\n";
            for (int i = 0; i < main; ++i) {
                const std::string n = std::to_string(i);
                // Sprite 0 centred at (0.25, -0.5) of the picture, 0.25 wide.
                text += "Main" + l + "Sprite" + n + (i == 0 ? "=80 112 -0.4 32 32\n" : "=32 32 0 64 64\n");
                text += "Main" + l + "SpriteT" + n + "=0 0 128 256\nMain" + l + "SpriteZOrder" + n + "=" +
                        std::to_string(i) + "\n";
                text += "Shop" + l + "Sprite" + n + "=32 32 0 64 64\nShop" + l + "SpriteT" + n + "=0 0 128 256\n";
            }
            text += "Shop" + l + "SpritesCount=" + std::to_string(main) + "\n";
        }
        for (int k = 0; k < 3; ++k)
            text += "LightSprite" + std::to_string(k) + "=" + std::to_string(40 + 16 * k) + " 40 0 16 8\n";
        if (std::string(section) == "White")
            text += "Strip1Count=4\nStrip1Line0=0 0 16 0\nStrip1Line1=0 32 16 32\nStrip1Line2=0 96 16 96\n"
                    "Strip1Line3=0 128 16 128\nStripWFactor=0.01\n";
        if (std::string(section) == "Blue")
            text += "Shield=64 64 16 32\nSmallShield=40 40 8 16\n";
    }
    return text;
}

struct Shapes {
    Shapes() : rig(true, Write()) {}
    std::string Write()
    {
        WriteText(dir.File("Totems.cfg"), ShapesFile());
        return dir.File("Totems.cfg");
    }
    CountedHandle<CTotem> Make(int colour, int mode, int level = 1)
    {
        return rig.totems.CreateTotem(colour, mode, level, 0);
    }
    ScratchDir dir;
    Rig rig;
};

CColourTotem& Colour(const CountedHandle<CTotem>& t) { return As<CColourTotem>(t); }

} // namespace

TEST(BoardGrid, CellsOfTheDefaultBoard)
{
    CBoardGrid grid;
    const Vec3 first = grid.CellCenter(0, 0), last = grid.CellCenter(7, 7);
    EXPECT_FLOAT_EQ(first.x, -153.0f);
    EXPECT_FLOAT_EQ(first.y, 299.0f);
    EXPECT_FLOAT_EQ(first.z, 50.0f);
    EXPECT_FLOAT_EQ(last.x, 428.0f);
    EXPECT_FLOAT_EQ(last.y, -282.0f);
    EXPECT_FLOAT_EQ(grid.width, 664.0f);
    EXPECT_TRUE(grid.Contains(7, 0));
    EXPECT_FALSE(grid.Contains(8, 0));
    EXPECT_FALSE(grid.Contains(0, -1));
}

TEST(Totem, BuildsItsBodyFromTheShapesOfItsModeAndLevel)
{
    Shapes s;
    // Beside the board: the small shape at the small base size, unseen yet.
    auto small = s.Make(kRedTotem, kSmallTotem);
    ASSERT_EQ(Colour(small).bodySprites.size(), 1u);
    const CSprite& piece = *Colour(small).bodySprites[0];
    EXPECT_FLOAT_EQ(piece.width, 80 * 40 / 80.0f);
    EXPECT_FLOAT_EQ(piece.opacity, 0.0f);
    EXPECT_EQ(piece.zOrder, small->zOrder);
    EXPECT_TRUE(s.rig.Holds(Colour(small).bodySprites[0]));
    // In front: the shadow first, darkening, then the main sprites one
    // layer in front; yellow and white stack them by the shapes' own order.
    for (int colour : {kRedTotem, kYellowTotem}) {
        auto large = s.Make(colour, kLargeTotem);
        const auto& body = Colour(large).bodySprites;
        ASSERT_EQ(body.size(), 3u) << colour;
        EXPECT_EQ(body[0]->destBlend, 4);
        EXPECT_EQ(body[0]->zOrder, large->zOrder);
        EXPECT_EQ(body[1]->zOrder, large->zOrder - 1);
        EXPECT_EQ(body[2]->zOrder, large->zOrder - 1 + (colour == kYellowTotem ? 1 : 0));
    }
    // Green keeps its chainless looks from level 3; blue its capless ones.
    EXPECT_EQ(Colour(s.Make(kGreenTotem, kLargeTotem, 2)).bodySprites[0]->frames.size(), 8u);
    auto green = s.Make(kGreenTotem, kLargeTotem, 3);
    EXPECT_EQ(Colour(green).bodySprites[0]->frames.size(), 16u);
    EXPECT_EQ(Colour(green).bodySprites[6]->frames.size(), 16u);
    auto blue = s.Make(kBlueTotem, kLargeTotem, 2);
    EXPECT_EQ(Colour(blue).bodySprites[2]->frames.size(), 16u);
    auto smallBlue = s.Make(kBlueTotem, kSmallTotem, 2);
    EXPECT_EQ(Colour(smallBlue).bodySprites[0]->frames.size(), 8u);
    EXPECT_FLOAT_EQ(As<CBlueTotem>(smallBlue).shieldBirthTimer, 1.0f);
    // White's paint strip: a quad between each two lines, its texture
    // running on from where the last one ended.
    auto white = s.Make(kWhiteTotem, kLargeTotem);
    const auto& strips = As<CWhiteTotem>(white).stripSprites;
    ASSERT_EQ(strips.size(), 3u);
    float v = As<CWhiteTotem>(white).stripOffset;
    for (const auto& strip : strips) {
        EXPECT_FLOAT_EQ(strip->frames.data()[1], v);
        v = strip->frames.data()[5];
    }
    EXPECT_NEAR(v, 1.0f + 128 * 0.01f, 1e-4);
}

// A configuration whose bodies lack the sprites the colours' looks go on
// builds the totems without those looks.
TEST(Totem, TooFewBodySpritesSkipTheColoursLooks)
{
    ScratchDir dir;
    WriteText(dir.File("Totems.cfg"), "[Green]\nMain3SpritesCount=2\n[Blue]\nShadow1SpritesCount=0\n");
    Rig rig(true, dir.File("Totems.cfg"));
    auto green = rig.totems.CreateTotem(kGreenTotem, kLargeTotem, 3, 0);
    EXPECT_EQ(Colour(green).bodySprites.size(), 2u);
    for (const auto& sprite : Colour(green).bodySprites)
        EXPECT_EQ(sprite->frames.size(), 8u);
    auto blue = rig.totems.CreateTotem(kBlueTotem, kLargeTotem, 1, 0);
    EXPECT_TRUE(Colour(blue).bodySprites.empty());
    auto yellow = rig.totems.CreateTotem(kYellowTotem, kLargeTotem, 1, 0);
    EXPECT_TRUE(Colour(yellow).bodySprites.empty());
}

TEST(Totem, PlacesItsSpritesOnItsAxes)
{
    Shapes s;
    auto t = s.Make(kRedTotem, kLargeTotem);
    t->SetPosition(100, 50, -40);
    t->SetScale(128, 128);
    const CSprite& piece = *Colour(t).bodySprites[1];
    EXPECT_FLOAT_EQ(piece.x, 132.0f);
    EXPECT_FLOAT_EQ(piece.y, -14.0f);
    EXPECT_FLOAT_EQ(piece.z, -40.4f);
    EXPECT_FLOAT_EQ(piece.width, 32.0f);
    // A lamp follows every later placement and scale.
    t->SetLightCount(1);
    t->SetPosition(0, 0, 0);
    t->SetScale(48, 48);
    const CSprite& lamp = *Colour(t).lightSprites[0];
    EXPECT_FLOAT_EQ(lamp.x, 48 * (48.0f / 128 - 0.5f));
    EXPECT_FLOAT_EQ(lamp.width, 48 * 16 / 128.0f);
    // Blue's shields keep their own size's share of the scale.
    auto blue = s.Make(kBlueTotem, kLargeTotem);
    auto shield = MakeCountedHandle(new CSprite(0, 0, 0, 30, 40, 0xFFFFFFFF, {}, 1));
    As<CBlueTotem>(blue).shieldSprites.push_back(shield);
    blue->SetScale(256, 256);
    blue->SetScale(256, 256);
    EXPECT_FLOAT_EQ(shield->width, 30.0f);
    blue->SetScale(128, 64);
    EXPECT_FLOAT_EQ(shield->width, 15.0f);
    EXPECT_FLOAT_EQ(shield->height, 10.0f);
    EXPECT_FLOAT_EQ(shield->x, 0.0f); // the shield point is the picture's middle
}

TEST(Totem, FlightsAreStraightAndEndAtTheirTarget)
{
    struct Case {
        const char* what;
        float time, dt;
        int framesToArrive;
    };
    const Case cases[] = {
        {"half a second in eighths", 0.5f, 0.125f, 4},
        {"shorter than a frame", 0.01f, 0.1f, 1},
        {"no time at all", 0.0f, 0.0f, 1},
        {"a negative time", -1.0f, 0.1f, 1},
        {"not a number", std::nanf(""), 0.1f, 1},
    };
    Shapes s;
    for (const Case& c : cases) {
        auto t = s.Make(kOrangeTotem, kLargeTotem);
        t->SetOpacity(1, true);
        t->SetPosition(10, 20, 30);
        t->SetScale(100, 100);
        t->MoveTo(110, -80, 30, 50, 50, c.time);
        int frames = 0;
        while (frames < 20 && t->Process(c.dt) == 0)
            ++frames;
        EXPECT_EQ(frames + 1, c.framesToArrive) << c.what;
        EXPECT_EQ(t->eventCode, kTotemArrived) << c.what;
        EXPECT_FLOAT_EQ(t->position[0], 110.0f) << c.what;
        EXPECT_FLOAT_EQ(t->scale[1], 50.0f) << c.what;
    }
    // A second flight half way through a first starts where the totem is.
    auto t = s.Make(kOrangeTotem, kLargeTotem);
    t->SetOpacity(1, true);
    t->SetPosition(0, 0, 0);
    t->MoveTo(100, 0, 0, 256, 256, 1.0f);
    t->Process(0.5f);
    t->MoveTo(0, 100, 0, 256, 256, 1.0f);
    t->Process(0.5f);
    EXPECT_FLOAT_EQ(t->position[0], 25.0f);
    EXPECT_FLOAT_EQ(t->position[1], 50.0f);
}

TEST(Totem, LampsLightOneByOneAndFade)
{
    Shapes s;
    auto t = s.Make(kVioletTotem, kLargeTotem);
    const size_t before = s.rig.SpritesHeld();
    t->SetLightCount(0);
    t->SetLightCount(-1);
    EXPECT_TRUE(Colour(t).lightSprites.empty());
    t->SetLightCount(2); // two lamps and their two flashes
    EXPECT_EQ(Colour(t).lightSprites.size(), 2u);
    EXPECT_EQ(s.rig.SpritesHeld(), before + 4);
    t->SetLightCount(2);
    EXPECT_EQ(s.rig.SpritesHeld(), before + 4);
    t->SetLightCount(3);
    EXPECT_EQ(Colour(t).lightSprites.size(), 3u);
    EXPECT_EQ(s.rig.SpritesHeld(), before + 6);
    EXPECT_EQ(Colour(t).lightSprites[2]->zOrder, t->zOrder - 2);
    // The flashes go after half a second.
    s.rig.sprites->Update(0.5f, 1);
    EXPECT_EQ(s.rig.SpritesHeld(), before + 3);
    // Faded lamps leave the renderer after 0.1 s but stay counted.
    t->FadeOutLights(false);
    s.rig.sprites->Update(0.1f, 1);
    EXPECT_EQ(s.rig.SpritesHeld(), before);
    EXPECT_EQ(Colour(t).lightSprites.size(), 3u);
    t->FadeOutLights(true);
    EXPECT_TRUE(Colour(t).lightSprites.empty());
    t->SetLightCount(1);
    EXPECT_EQ(Colour(t).lightSprites.size(), 1u);
}

TEST(Totem, OpacityLayersAndTheFinalFade)
{
    Shapes s;
    auto t = s.Make(kWhiteTotem, kLargeTotem);
    t->Process(1.0f); // fully shown
    t->SetLightCount(1);
    // An opacity without a target is undone by the fade; with it, it holds.
    t->SetOpacity(0.5f, false);
    t->Process(0.05f);
    EXPECT_FLOAT_EQ(t->opacity, 0.7f);
    t->SetOpacity(0.5f, true);
    t->Process(0.05f);
    EXPECT_FLOAT_EQ(Colour(t).bodySprites[1]->opacity, 0.5f);
    EXPECT_FLOAT_EQ(As<CWhiteTotem>(t).stripSprites[0]->opacity, 0.5f);
    // A new layer moves every sprite and keeps their distances.
    t->SetZOrder(-45);
    EXPECT_EQ(Colour(t).bodySprites[0]->zOrder, -45);
    EXPECT_EQ(Colour(t).lightSprites[0]->zOrder, -47);
    EXPECT_EQ(As<CWhiteTotem>(t).stripSprites[0]->zOrder, -47);
    // Faded out at speed 10 from full: gone in the first frame that reaches
    // 0.1 s.
    t->SetOpacity(1, true);
    t->FadeOut(10);
    int frames = 1;
    while (t->Process(1.0f / 64) == 0)
        ++frames;
    EXPECT_EQ(frames, 7);
    EXPECT_EQ(t->eventCode, kTotemFadedOut);
    // A shop totem reports when it is fully shown.
    auto shop = s.Make(kGreenTotem, kShopTotem);
    EXPECT_EQ(shop->Process(0.2f), 0);
    EXPECT_EQ(shop->Process(0.1f), 1);
    EXPECT_EQ(shop->eventCode, kTotemShown);
}

// A totem faded before it was ever seen, or faded at once, is gone in its
// next frame; it does not wait in the list for ever.
TEST(Totem, AFadeFromNothingOrAtOnceEndsAtOnce)
{
    Shapes s;
    for (float speed : {10.0f, 0.0f, -3.0f, std::nanf("")}) {
        auto t = s.Make(kBlueTotem, kSmallTotem);
        t->Process(0.0f);
        t->FadeOut(speed);
        EXPECT_EQ(t->Process(0.0f), 1) << speed;
        EXPECT_EQ(t->eventCode, kTotemFadedOut) << speed;
        auto shown = s.Make(kRedTotem, kLargeTotem);
        shown->SetOpacity(1, true);
        shown->FadeOut(speed);
        EXPECT_EQ(shown->Process(0.0f), speed > 0 ? 0 : 1) << speed;
    }
}

// A started power runs at strength a + 1, in state 4 at full strength (how
// each ends is the powers' tests').
TEST(Totem, AStartedPowerRunsAtItsStrength)
{
    Shapes s;
    for (int colour = 0; colour < kTotemColours; ++colour)
        for (int a : {0, 1, 2}) {
            auto t = s.Make(colour, kLargeTotem, 3);
            t->SetOpacity(1, true);
            t->Activate(a);
            EXPECT_EQ(t->strength, a + 1) << colour;
            EXPECT_EQ(t->state, a == 2 ? kTotemPowerFull : kTotemPower) << colour;
            EXPECT_EQ(t->Process(1.0f / 60), 0) << colour;
        }
}

TEST(Totem, NothingOfATotemStaysOnScreenWhenItGoes)
{
    Shapes s;
    const size_t before = s.rig.SpritesHeld();
    {
        auto white = s.Make(kWhiteTotem, kLargeTotem);
        white->SetLightCount(3);
        auto blue = s.Make(kBlueTotem, kLargeTotem);
        auto shield = MakeCountedHandle(new CSprite(0, 0, 0, 30, 40, 0xFFFFFFFF, {}, 1));
        shield->fadeSpeed = 2;
        shield->SetAlphaNow(0.5f);
        s.rig.sprites->Add(shield);
        As<CBlueTotem>(blue).shieldSprites.push_back(shield);
        s.rig.sprites->Update(0.5f, 1); // the flashes are gone
    }
    // A shield fades out over what is left of it; the rest went at once.
    EXPECT_EQ(s.rig.SpritesHeld(), before + 1);
    s.rig.sprites->Update(0.25f, 1);
    EXPECT_EQ(s.rig.SpritesHeld(), before);
    // A totem without a renderer builds nothing and takes nothing away.
    Rig unseen(false);
    auto t = unseen.totems.CreateTotem(kGreenTotem, kLargeTotem, 4, 0);
    EXPECT_TRUE(Colour(t).bodySprites.empty());
    t->SetLightCount(2);
    EXPECT_TRUE(Colour(t).lightSprites.empty());
}
