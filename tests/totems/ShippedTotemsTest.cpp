// The shipped "Totems.cfg" against the shipped pictures and forms: every
// shape cuts something out of its picture, the colours' looks have the
// sprites they go on, the shop's pictures sit in their item cards, and the
// totems keep to their band of the quest screen, clear of the controls and
// the board.
#include "TotemsRig.h"

#include "effects/sandbox/SandboxSettings.h"
#include "gui/FormFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

using namespace totems_rig;
using testing_support::LogCapture;

namespace {

const char* const kNames[kTotemColours] = {"Green", "Yellow", "Red", "Blue", "Orange", "White", "Violet"};

// A picture's texels as the device loaded them.
class Texels {
public:
    Texels(CRenderDevice& device, const std::string& file)
    {
        auto texture = device.LoadTexture("Data\\Gfx\\" + file, "Check" + file, 1, 0, d3d::D3DPOOL_MANAGED,
                                          d3d::D3DFMT_A8R8G8B8);
        if (!texture || !texture->texture)
            return;
        width = static_cast<int>(texture->description.Width);
        height = static_cast<int>(texture->description.Height);
        d3d::D3DLOCKED_RECT locked;
        if (texture->texture->LockRect(0, &locked, 0) != d3d::D3D_OK)
            return;
        pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(&pixels[static_cast<size_t>(y) * width],
                        static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, static_cast<size_t>(width) * 4);
        texture->texture->UnlockRect(0);
    }
    // How much of a rectangle (texture units, either way round) shows: by
    // alpha, or by brightness for the pictures that darken or add.
    float Shown(const TextureRect& r, bool byBrightness, uint32_t least = 64) const
    {
        const int x0 = Clamp(std::min(r.u0, r.u1) * width, width), x1 = Clamp(std::max(r.u0, r.u1) * width, width);
        const int y0 = Clamp(std::min(r.v0, r.v1) * height, height),
                  y1 = Clamp(std::max(r.v0, r.v1) * height, height);
        int shown = 0, all = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
                const uint32_t level =
                    byBrightness ? std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) : p >> 24;
                shown += level > least ? 1 : 0;
                ++all;
            }
        return all ? static_cast<float>(shown) / all : 0.0f;
    }
    int width = 0, height = 0;

private:
    static int Clamp(float v, int size) { return std::clamp(static_cast<int>(v + 0.5f), 0, size); }
    std::vector<uint32_t> pixels;
};

TextureRect Rect(const CSpriteSet::Rect& r) { return {r.u0, r.v0, r.u1, r.v1}; }

bool Inside(const TextureRect& r)
{
    for (float v : {r.u0, r.v0, r.u1, r.v1})
        if (!(v >= 0.0f && v <= 1.0f))
            return false;
    return r.u0 != r.u1 && r.v0 != r.v1;
}

class Shipped : public ::testing::Test {
protected:
    Shipped()
    {
        totems.LoadConfig("Data\\Config\\Totems.cfg");
        loadLog = log.Take();
    }
    Texels& Picture(const std::string& file)
    {
        auto it = pictures.find(file);
        if (it == pictures.end())
            it = pictures.emplace(file, Texels(*null.device, file)).first;
        EXPECT_GT(it->second.width, 0) << file;
        return it->second;
    }
    // Every sprite of a shape cuts a rectangle of its picture that shows.
    void ExpectShapeShows(const CSpriteSet* shape, const std::string& file, bool byBrightness,
                          const std::string& what)
    {
        ASSERT_TRUE(shape) << what;
        ASSERT_GE(shape->positions.size(), 1u) << what;
        Texels& texels = Picture(file);
        for (size_t i = 0; i < shape->textureRects.size(); ++i) {
            const TextureRect r = Rect(shape->textureRects[i]);
            EXPECT_TRUE(Inside(r)) << what << " sprite " << i;
            EXPECT_GT(texels.Shown(r, byBrightness), 0.05f) << what << " sprite " << i;
        }
    }

    LogCapture log;
    NullRig null;
    CTotemsManager totems;
    std::string loadLog;
    std::map<std::string, Texels> pictures;
};

// The design screen's rectangle of a form element.
struct Box {
    float x0, y0, x1, y1;
    bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    bool Holds(const Box& o) const { return o.x0 >= x0 && o.x1 <= x1 && o.y0 >= y0 && o.y1 <= y1; }
};
Box BoxOf(const CFormElement& e)
{
    return {e.position.x, e.position.y, e.position.x + e.size.w, e.position.y + e.size.h};
}
// A centred-screen point and size back on the design screen.
Box DesignBox(float cx, float cy, float w, float h)
{
    const float x = cx + 512.5f, y = 384.5f - cy;
    return {x - w / 2, y - h / 2, x + w / 2, y + h / 2};
}

} // namespace

TEST_F(Shipped, EveryShapeCutsItsPicture)
{
    EXPECT_EQ(loadLog.find("Warning"), std::string::npos) << loadLog;
    for (int c = 0; c < kTotemColours; ++c) {
        const CTotemShapeSet& set = *totems.shapeSets[static_cast<size_t>(c)];
        const std::string name = kNames[c];
        for (int level = 1; level <= 4; ++level) {
            const std::string l = name + " level " + std::to_string(level);
            ExpectShapeShows(set.Small(level), "SmallTotem1.png", false, l + " small");
            ExpectShapeShows(set.Shadow(level), "TotemShadows.jpg", true, l + " shadow");
            ExpectShapeShows(set.Main(level), name + "Totem.png", false, l + " main");
            ExpectShapeShows(set.Shop(level), name + "TotemShop.png", false, l + " shop");
        }
        ASSERT_EQ(set.Light()->positions.size(), 3u);
        ExpectShapeShows(set.Light(), "TotemLights.png", false, name + " lamps");
    }
}

// The looks the powers switch to, and the pieces they cut, are where the
// file says.
TEST_F(Shipped, ThePowersPiecesAreInTheirPictures)
{
    const GreenTotemParametres& green = totems.greenParams;
    EXPECT_GT(Picture("GreenTotem.png").Shown(green.noChain, false), 0.1f);
    EXPECT_GT(Picture("TotemShadows.jpg").Shown(green.noChainShadow, true), 0.1f);
    const BlueTotemParametres& blue = totems.blueParams;
    for (int level = 0; level < BlueTotemParametres::kLevels; ++level) {
        EXPECT_GT(Picture("BlueTotem.png").Shown(blue.empty[level][0], false), 0.1f) << level;
        // The helm's spike or comb is gone: nothing shows in its place.
        EXPECT_EQ(Picture("BlueTotem.png").Shown(blue.empty[level][1], false), 0.0f) << level;
        EXPECT_GE(blue.bolts[level].size(), 1u);
    }
    EXPECT_GT(Picture("BlueTotem.png").Shown(blue.shieldT, false), 0.05f);
    for (const TextureRect& number : totems.yellowParams.numbers)
        EXPECT_GT(Picture("YellowTotem.png").Shown(number, false), 0.1f);
    EXPECT_GT(Picture("YellowTotem.png").Shown({0.9375f, 0.875f, 1.0f, 1.0f}, false), 0.1f); // the plus
    // The panel.
    EXPECT_GT(Picture("TotemBase.tga").Shown(totems.panelLayout.baseT, true, 16), 0.1f); // a soft light
    for (int c = 0; c < kTotemColours; ++c) {
        const auto& q = totems.panelLayout.darkT[static_cast<size_t>(c)];
        const TextureRect dark{q[0], q[1], q[4], q[5]};
        EXPECT_GT(
            Picture(totems.panelLayout.darkTexture[static_cast<size_t>(c)] ? "TotemDark2.tga" : "TotemBase.tga")
                .Shown(dark, true),
            0.2f)
            << c;
        EXPECT_GT(Picture("TotemContour.png").Shown(totems.panelLayout.contourT[static_cast<size_t>(c)], false),
                  0.05f)
            << c;
        const TextureRect& pic = totems.shopLayout.picT[static_cast<size_t>(c)];
        EXPECT_GT(Picture("ShopColor.png").Shown(pic, false), 0.2f) << c;
        EXPECT_GT(Picture("ShopMul.png").Shown(pic, true), 0.2f) << c;
        EXPECT_GT(Picture("ShopBW.png").Shown(pic, false), 0.05f) << c;
    }
    EXPECT_GT(Picture("ShopColor.png").Shown({0.8828125f, 0.359375f, 0.953125f, 0.46875f}, false), 0.1f);
}

TEST_F(Shipped, TheColoursLooksHaveTheirSprites)
{
    for (int level = 1; level <= 4; ++level) {
        const CTotemShapeSet& green = *totems.shapeSets[kGreenTotem];
        const size_t greenBody = green.Shadow(level)->positions.size() + green.Main(level)->positions.size();
        if (level >= 3) {
            EXPECT_GE(greenBody, 7u) << level;
        }
        const CTotemShapeSet& blue = *totems.shapeSets[kBlueTotem];
        EXPECT_GE(blue.Main(level)->positions.size(), 2u) << level;
        EXPECT_GE(totems.whiteParams.lines[level - 1].size(), 2u) << level;
    }
    // A green chain breaks on the body's seventh sprite, the gem on its chain.
    Rig rig;
    auto green = rig.totems.CreateTotem(kGreenTotem, kLargeTotem, 3, 0);
    const CSprite& gem = *As<CColourTotem>(green).bodySprites[6];
    EXPECT_FLOAT_EQ(gem.frames.data()[8], totems.greenParams.noChain.u0);
}

TEST_F(Shipped, TheShopsPicturesSitInTheirItemCards)
{
    CFormFile shop(null.device);
    ASSERT_TRUE(shop.Parse("Data\\Forms\\Shop.qof")) << shop.errorText;
    // The item of each colour: violet, white, blue, yellow, orange and red
    // are items 0-5, green item 9. The item's picture well carries its key;
    // its card is the smallest larger element around the well.
    const int items[kTotemColours] = {9, 3, 5, 2, 4, 1, 0};
    for (int c = 0; c < kTotemColours; ++c) {
        const CFormElement* picture = nullptr;
        for (const auto& e : shop.elements)
            if (e->hasInterrupt && e->interrupt == 200 + items[c])
                picture = e.Get();
        ASSERT_TRUE(picture) << c;
        const Box well = BoxOf(*picture);
        const CFormElement* card = nullptr;
        for (const auto& e : shop.elements) {
            const Box b = BoxOf(*e);
            if (e.Get() != picture && b.Holds(well) && e->size.w > picture->size.w &&
                (!card || e->size.w * e->size.h < card->size.w * card->size.h))
                card = e.Get();
        }
        ASSERT_TRUE(card) << c;
        const Vec3& at = totems.shopLayout.pic[static_cast<size_t>(c)];
        const Vec2& size = totems.shopLayout.picSize[static_cast<size_t>(c)];
        // The shop's pictures are centred with 511.5, not 512.5.
        EXPECT_TRUE(well.Holds(DesignBox(at.x - 1, at.y, size.x, size.y))) << c;
        const Vec3& totem = totems.shopLayout.totem[static_cast<size_t>(c)];
        EXPECT_TRUE(BoxOf(*card).Holds(DesignBox(totem.x - 1, totem.y, 100, 110))) << c;
    }
}

TEST_F(Shipped, TheTotemsKeepToTheirBand)
{
    CFormFile quest(null.device);
    ASSERT_TRUE(quest.Parse("Data\\Forms\\Quest.qof")) << quest.errorText;
    const Vec3& base = totems.panelLayout.base;
    const Box band = DesignBox(base.x, base.y, totems.panelLayout.baseSize.x, totems.panelLayout.baseSize.y);
    EXPECT_GE(band.y0, 440.0f);
    EXPECT_GE(band.y1 - band.y0, 200.0f);
    // Nothing of the HUD but its panel stands in the band.
    for (size_t i = 1; i < quest.elements.size(); ++i)
        EXPECT_FALSE(band.Overlaps(BoxOf(*quest.elements[i]))) << "Quest.qof element " << i;
    // The small totems, the dark figures and the totem in front with its
    // wings and crest stand in it; no flight crosses the board, which
    // starts at the panel's edge.
    const float small = totems.layout.smallSize.x;
    for (int c = 0; c < kTotemColours; ++c) {
        const size_t k = static_cast<size_t>(c);
        for (const Vec3& p : {totems.layout.smallPos[k], totems.layout.pos[k]})
            EXPECT_TRUE(band.Holds(DesignBox(p.x, p.y, 36 * small / 80, 64 * small / 80))) << c;
        EXPECT_TRUE(band.Holds(DesignBox(totems.panelLayout.dark[k].x, totems.panelLayout.dark[k].y,
                                         totems.panelLayout.darkSize[k].x, totems.panelLayout.darkSize[k].y)))
            << c;
        const CSpriteSet& main = *totems.shapeSets[k]->Main(4);
        const Vec2 size = totems.layout.mainSize;
        for (size_t i = 0; i < main.positions.size(); ++i)
            EXPECT_TRUE(band.Holds(DesignBox(totems.layout.center.x + main.positions[i].x * size.x,
                                             totems.layout.center.y + main.positions[i].y * size.y,
                                             main.sizes[i].width * size.x, main.sizes[i].height * size.y)))
                << c << " sprite " << i;
    }
    EXPECT_LT(band.x1, 352.0f);
}

// Where the powers land on the quest screen as Quest.qof and Skin.cfg lay
// it out: orange's swirl on the time gauge, yellow's number on the score
// and its frenzy bolt across the sand box.
TEST_F(Shipped, ThePowersLandOnTheQuestScreen)
{
    CFormFile quest(null.device);
    ASSERT_TRUE(quest.Parse("Data\\Forms\\Quest.qof")) << quest.errorText;
    // The design screen's middle of the control that interrupts with `key`.
    auto middle = [&](int key) {
        for (const auto& e : quest.elements)
            if (e->hasInterrupt && e->interrupt == key) {
                const Box b = BoxOf(*e);
                return Vec2{quest.position.x + (b.x0 + b.x1) / 2, quest.position.y + (b.y0 + b.y1) / 2};
            }
        ADD_FAILURE() << "no control " << key;
        return Vec2{};
    };
    const Vec2 gauge = middle(3), score = middle(6);
    const Vec3& clock = totems.orangeParams.destination;
    EXPECT_NEAR(clock.x + 512.0f, gauge.x, 1.0f);
    EXPECT_NEAR(384.0f - clock.y, gauge.y, 1.0f);
    const Vec3& number = totems.yellowParams.numberTarget;
    EXPECT_NEAR(number.x + 512.5f, score.x, 1.0f);
    EXPECT_NEAR(384.5f - number.y, score.y, 1.0f);
    SandboxSettings sand;
    sand.Load("Data\\Config\\Skin.cfg");
    const Vec3& frenzy = totems.yellowParams.frenzyTarget;
    EXPECT_NEAR(frenzy.x, sand.origin.x + sand.size.x / 2, 1.0f);
    EXPECT_NEAR(frenzy.y, sand.origin.y - sand.size.y / 2, 1.0f);
    EXPECT_FLOAT_EQ(totems.yellowParams.frenzyWidth, sand.size.x);
}

// Every key the totems read is written in the shipped file, so that what a
// player sees is the file's and not a default of the code.
TEST(ShippedTotems, EveryKeyIsInTheFile)
{
    struct Section {
        const char* name;
        std::vector<std::string> keys;
    };
    auto numbered = [](const std::string& pattern, int from, int to) {
        std::vector<std::string> keys;
        for (int i = from; i <= to; ++i)
            keys.push_back(KeyOf(pattern.c_str(), i));
        return keys;
    };
    auto join = [](std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const std::vector<std::string> colourKeys =
        join({{"ShineColor", "MainTextureSize", "ShopTextureSize", "LightSprite0", "LightSpriteT2"},
              numbered("Small%dSpritesCount", 1, 4),
              numbered("Shadow%dSpritesCount", 1, 4),
              numbered("Main%dSpritesCount", 1, 4),
              numbered("Shop%dSpritesCount", 1, 4)});
    const Section sections[] = {
        {"Shared", join({{"Center", "MainSize", "SmallSize", "PixSmallSize", "BottomZOrder", "InTime", "OutTime",
                          "SwitchInTime", "SmallTextureSize", "ShadowTextureSize", "LightTextureSize", "Base",
                          "BaseT", "ContourColor", "ShopSize", "ShopTexturesSize"},
                         numbered("Pos%d", 0, 6),
                         numbered("SmallPos%d", 0, 6),
                         numbered("Dark%d", 0, 6),
                         numbered("DarkTexture%d", 0, 6),
                         numbered("DarkT%d", 0, 6),
                         numbered("ContourT%d", 0, 6)})},
        {"Red", join({colourKeys, {"Color1", "Color2", "ExpColor", "FlySpeed"}, numbered("Point%d", 0, 3)})},
        {"Orange", join({colourKeys,
                         {"FlyTime", "PreFlyTime", "PostFlyTime", "DigitsSize", "StarColor", "TwirlColor",
                          "FlyTwirlFilter", "FlyTwirlColor"},
                         numbered("Point%d", 0, 4)})},
        {"Violet", join({colourKeys,
                         {"GlowColor", "RayColor", "RayHFactor", "RayW", "FlyTime"},
                         numbered("Glow%d", 1, 4),
                         numbered("Ray%d", 1, 4),
                         numbered("RayR%d", 1, 4),
                         numbered("Area%d", 1, 4)})},
        {"Green", join({colourKeys,
                        {"NoChainT",
                         "NoChainShadowT",
                         "Chain",
                         "RayColor",
                         "RayFlareColor",
                         "PreRayTime",
                         "RayFlareTime",
                         "RayThickness",
                         "RayTan",
                         "RaySpeed",
                         "RayLen",
                         "Ray2PiLen",
                         "RayInTermTime",
                         "RayHeadSize",
                         "RayHeadW",
                         "UnigemSize",
                         "UnigemTailColor",
                         "UnigemTailPSize",
                         "UnigemFlyTime",
                         "UnigemStartFlyTime",
                         "PauseTime",
                         "SmallFSize",
                         "SmallFLifeTime",
                         "SmallFW",
                         "SmallFT",
                         "SmallFIntensity",
                         "BigFSize",
                         "BigFIntensity",
                         "BigFT",
                         "BigFW",
                         "ChainTime",
                         "ChainLightSize",
                         "ChainLightLifeTime",
                         "ChainLightT",
                         "ChainLightColor"},
                        numbered("Point%d", 1, 4),
                        numbered("Flares%d", 2, 4)})},
        {"Yellow",
         join({colourKeys,
               {"NuggetFadeTime", "SmokeColor", "SmokeSize", "SmokeExpand", "SmokeUpSpeed", "SmokeFadeSpeed",
                "NumberStartTime", "NumberFlyTime", "NumberFadeTime", "NumberTarget", "FlareSize", "FlareLifeTime",
                "FlareW", "FalreT", "FlareColor", "PlusSize", "FrenzyTarget"},
               numbered("SmokeCenter%d", 1, 4),
               numbered("SmokePlatformSize%d", 1, 4),
               numbered("NumberT%d", 0, 4),
               numbered("NumberSize%d", 0, 4),
               numbered("Flare%d", 1, 4)})},
        {"Blue",
         join({colourKeys, {"Empty1T0",        "Empty1T1",       "Empty2T0",    "Empty2T1",       "Empty3T0",
                            "Empty3T1",        "Bolt1Count",     "Bolt2Count",  "Bolt3Count",     "Bolt1Begin0",
                            "Bolt1End0",       "Target",         "PreTime",     "StrikeTime",     "BoltSize",
                            "BoltSpeed",       "BoltColor",      "Caps",        "Shield",         "ShieldT",
                            "SmallShield",     "SmallShieldT",   "ShieldColor", "ShieldLifeTime", "ShieldBirth",
                            "ShieldMinFactor", "ShieldMaxFactor"}})},
        {"White",
         join({colourKeys,
               {"StripWFactor", "Strip1Count", "Strip4Count", "Strip1Line0", "StreamIntensity", "StreamTSpeed",
                "PaintDropSpeed", "PaintDropIntensity", "PaintDropLengthFactor", "PaintDropWidthFactor",
                "PaintDropW", "SprayIntensity", "SprayParticleSize", "SprayParticles"},
               numbered("Fog%d", 1, 4)})},
        {"Shop", join({{"Z", "ZOrder", "ContourColor", "ContourDarkColor", "AvailableColor", "QSignColor"},
                       numbered("Pic%d", 0, 6),
                       numbered("PicT%d", 0, 6),
                       numbered("QShift%d", 0, 6),
                       numbered("TotemShift%d", 0, 6)})},
    };
    for (const Section& section : sections)
        for (const std::string& key : section.keys)
            EXPECT_NE(ReadIniString("Data\\Config\\Totems.cfg", section.name, key.c_str(), "(missing)"),
                      "(missing)")
                << "[" << section.name << "] " << key;
}

TEST(ShippedTotems, EveryPictureHasItsSize)
{
    struct Picture {
        std::string file;
        int width, height;
    };
    std::vector<Picture> pictures = {
        {"SmallTotem1.png", 256, 256}, {"TotemLights.png", 256, 128},    {"TotemShadows.jpg", 512, 512},
        {"TotemBase.tga", 256, 256},   {"TotemDark2.tga", 128, 128},     {"TotemContour.png", 256, 256},
        {"TimeDigits.png", 256, 256},  {"VioletGlowRays.tga", 256, 256}, {"Unigem.tga", 256, 256},
        {"SteelCapsT.png", 128, 64},   {"PaintStream.png", 64, 256},     {"PaintDrop.png", 128, 128},
        {"ShopColor.png", 512, 512},   {"ShopMul.png", 512, 512},        {"ShopBW.png", 512, 512}};
    for (const char* colour : kNames) {
        pictures.push_back({std::string(colour) + "Totem.png", 512, 256});
        pictures.push_back({std::string(colour) + "TotemShop.png", 512, 256});
    }
    NullRig null;
    for (const Picture& p : pictures) {
        auto texture = null.device->LoadTexture("Data\\Gfx\\" + p.file, p.file, 1, 0, d3d::D3DPOOL_MANAGED,
                                                d3d::D3DFMT_UNKNOWN);
        ASSERT_TRUE(texture) << p.file;
        EXPECT_EQ(texture->description.Width, static_cast<uint32_t>(p.width)) << p.file;
        EXPECT_EQ(texture->description.Height, static_cast<uint32_t>(p.height)) << p.file;
    }
}
