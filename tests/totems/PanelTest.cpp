// The panel beside the board, the shop's pictures, the fades that take them
// off the screen, and the manager's own pictures.
#include "TotemsRig.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace totems_rig;
using testing_support::LogCapture;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;
using testing_support::WriteText;

TEST(TotemsPanel, TheBaseAndADarkFigureForEveryColourNotOwned)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {1, 2, 3, 4, 1, 2, 3};
    t.BuildPanel(true);
    ASSERT_EQ(t.PanelSprites().size(), 1u);
    EXPECT_EQ(t.PanelSprites()[0]->zOrder, t.layout.bottomZOrder + 3);
    EXPECT_EQ(t.PanelSprites()[0]->destBlend, 4); // added as a screen
    t.levels = {0, -1, 0, 0, 0, 0, 0};
    t.BuildPanel(false);
    ASSERT_EQ(t.PanelSprites().size(), 15u);
    EXPECT_EQ(rig.SpritesHeld(), 15u);
    for (size_t i = 1; i <= 7; ++i) {
        const CSprite& dark = *t.PanelSprites()[i];
        const CSprite& contour = *t.PanelSprites()[i + 7];
        EXPECT_EQ(dark.zOrder, t.layout.bottomZOrder + 2);
        EXPECT_EQ(dark.destBlend, 4);
        EXPECT_EQ(dark.texture->name, t.panelLayout.darkTexture[i - 1] ? "TotemDark2" : "TotemBase");
        EXPECT_EQ(contour.zOrder, t.layout.bottomZOrder + 1);
        EXPECT_EQ(contour.color, t.panelLayout.contourColor);
        EXPECT_FLOAT_EQ(contour.z, dark.z - 1);
        EXPECT_FALSE(dark.visible);
    }
}

TEST(TotemsPanel, ShownAtOnceOrFadedAndHiddenOnceFaded)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.BuildPanel(false);
    t.ShowPanel(true, 0.0f);
    for (const auto& s : t.PanelSprites()) {
        EXPECT_TRUE(s->visible);
        EXPECT_FLOAT_EQ(s->opacity, 1.0f);
    }
    t.ShowPanel(false, 2.0f);
    rig.Run(0.5f - 1.0f / 120, 1.0f / 60);
    EXPECT_TRUE(t.PanelSprites()[0]->visible);
    rig.Run(1.0f / 60, 1.0f / 60);
    rig.Run(1.0f / 60, 1.0f / 60);
    EXPECT_FALSE(t.PanelSprites()[0]->visible);
    // Shown again with a fade: from nothing up.
    t.ShowPanel(true, 2.0f);
    EXPECT_TRUE(t.PanelSprites()[0]->visible);
    EXPECT_FLOAT_EQ(t.PanelSprites()[0]->opacity, 0.0f);
}

TEST(TotemsShop, EachLevelHasItsPictures)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.SetShopLevel(kRedTotem, -1, 2.0f);
    ASSERT_EQ(t.ShopSprites(kRedTotem).size(), 3u); // veiled, outlined, and a question
    EXPECT_EQ(t.ShopSprites(kRedTotem)[0]->texture->name, "ShopMul");
    EXPECT_EQ(t.ShopSprites(kRedTotem)[2]->texture->name, "ShopColor");
    EXPECT_FLOAT_EQ(t.ShopSprites(kRedTotem)[0]->opacity, 0.0f);
    EXPECT_EQ(t.levels[kRedTotem], -1);
    const auto veiled = t.ShopSprites(kRedTotem);
    t.SetShopLevel(kRedTotem, 0, 2.0f);
    ASSERT_EQ(t.ShopSprites(kRedTotem).size(), 1u);
    EXPECT_FLOAT_EQ(veiled[0]->targetOpacity, 0.0f);
    EXPECT_TRUE(rig.Holds(veiled[0])); // still fading
    rig.Run(0.5f);
    EXPECT_FALSE(rig.Holds(veiled[0]));
    // Bought: the totem itself, in the shop's mode; again: the first fades.
    t.SetShopLevel(kRedTotem, 2, 2.0f);
    EXPECT_TRUE(t.ShopSprites(kRedTotem).empty());
    const CountedHandle<CTotem> first = t.shopTotems[kRedTotem];
    ASSERT_TRUE(first);
    EXPECT_EQ(first->mode, kShopTotem);
    EXPECT_FLOAT_EQ(first->position[0], t.shopLayout.totem[kRedTotem].x);
    rig.Run(0.5f);
    t.SetShopLevel(kRedTotem, 3, 2.0f);
    EXPECT_NE(t.shopTotems[kRedTotem], first);
    EXPECT_EQ(first->state, kTotemFading);
    EXPECT_EQ(t.Totems().size(), 2u);
    rig.Run(0.6f);
    EXPECT_EQ(t.Totems().size(), 1u);
    // Refreshing shows every colour by its level.
    t.levels = {1, -1, 0, 0, 0, 0, 0};
    t.RefreshShopLevels(2.0f);
    EXPECT_TRUE(t.shopTotems[kGreenTotem]);
    EXPECT_EQ(t.ShopSprites(kYellowTotem).size(), 3u);
}

// A shop closed at once takes its pictures and totems away at once.
TEST(TotemsShop, FadingOutAtOnceLeavesNothing)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    t.levels = {2, -1, 0, 0, 0, 0, 0};
    t.RefreshShopLevels(0.0f);
    EXPECT_FLOAT_EQ(t.ShopSprites(kYellowTotem)[0]->opacity, 1.0f);
    const size_t shopSprites = rig.SpritesHeld();
    EXPECT_GT(shopSprites, 5u);
    t.FadeOutAll(0.0f);
    rig.Run(1.0f / 60);
    EXPECT_TRUE(t.Totems().empty());
    EXPECT_EQ(rig.SpritesHeld(), 0u);
}

TEST(TotemsPictures, TheColourPicturesSwapBetweenPlayAndShop)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    const CountedHandle<CTexture> red = rig.null.device->FindTexture("RedTotem");
    ASSERT_TRUE(red);
    EXPECT_TRUE(t.RecreateTextures(true, "Data\\Gfx\\"));
    EXPECT_TRUE(t.ShopPicturesLoaded());
    EXPECT_EQ(red->fileName, "Data\\Gfx\\RedTotemShop.png");
    EXPECT_TRUE(red->texture);
    EXPECT_FALSE(rig.null.device->FindTexture("TotemDark2")->texture);
    EXPECT_TRUE(t.RecreateTextures(false, "Data\\Gfx\\"));
    EXPECT_FALSE(t.ShopPicturesLoaded());
    EXPECT_EQ(red->fileName, "Data\\Gfx\\RedTotem.png");
    EXPECT_TRUE(rig.null.device->FindTexture("TotemDark2")->texture);
    EXPECT_FALSE(rig.null.device->FindTexture("ShopColor")->texture);
}

// Start-up reads the shop pictures' headers only: one whose pixels are cut
// short fails when the shop shows it, and the colour's level picture still
// comes back after the shop.
TEST(TotemsPictures, AShopPictureCutShortLeavesTheLevelPictureToComeBack)
{
    Rig rig;
    CTotemsManager& t = rig.totems;
    const CountedHandle<CTexture> green = rig.null.device->FindTexture("GreenTotem");
    ASSERT_TRUE(green);
    ScratchDir dir;
    std::vector<unsigned char> bytes = ReadBytes("Data/Gfx/GreenTotemShop.png");
    bytes.resize(bytes.size() / 2);
    WriteBytes(dir.File("GreenTotemShop.png"), bytes);
    LogCapture log;
    t.RecreateTextures(true, dir.Path());
    EXPECT_FALSE(green->texture);
    EXPECT_NE(log.Take().find("Error! GreenTotem Texture Recreate\n"), std::string::npos);
    t.RecreateTextures(false, "Data\\Gfx\\");
    EXPECT_TRUE(green->texture);
    EXPECT_EQ(green->fileName, "Data\\Gfx\\GreenTotem.png");
    EXPECT_EQ(rig.null.device->FindTexture("GreenTotem"), green);
}

// Loading stops at the first picture that is missing; the violet glow is
// only a decoration and may be missing.
TEST(TotemsPictures, AMissingPictureFailsTheLoadingButTheVioletGlow)
{
    ScratchDir dir;
    for (const char* file :
         {"SmallTotem1.png",    "TotemShadows.jpg",    "TotemLights.png",     "TimeDigits.png",
          "Unigem.tga",         "SteelCapsT.png",      "PaintStream.png",     "PaintDrop.png",
          "RedTotem.png",       "OrangeTotem.png",     "VioletTotem.png",     "GreenTotem.png",
          "YellowTotem.png",    "BlueTotem.png",       "WhiteTotem.png",      "TotemBase.tga",
          "TotemDark2.tga",     "RedTotemShop.png",    "OrangeTotemShop.png", "VioletTotemShop.png",
          "GreenTotemShop.png", "YellowTotemShop.png", "BlueTotemShop.png",   "WhiteTotemShop.png"})
        WriteBytes(dir.File(file), ReadBytes(std::string("Data/Gfx/") + file));
    LogCapture log;
    NullRig null;
    CTotemsManager t;
    t.SetRenderers(null.device, {}, {}, {}, nullptr);
    EXPECT_FALSE(t.LoadTextures(dir.Path()));
    EXPECT_NE(log.Take().find("Unable to load TotemContour.png Texture!\n"), std::string::npos);
    WriteBytes(dir.File("TotemContour.png"), ReadBytes("Data/Gfx/TotemContour.png"));
    EXPECT_TRUE(t.LoadTextures(dir.Path()));
    std::remove(dir.File("BlueTotem.png").c_str());
    EXPECT_FALSE(t.LoadTextures(dir.Path()));
    const std::string text = log.Take();
    EXPECT_NE(text.find("Unable to load BlueTotem.png Texture!\n"), std::string::npos);
    EXPECT_EQ(text.find("VioletGlowRays"), std::string::npos);

    // A shop picture that is no picture fails the loading as a level's
    // does, though the shop shows it only later; the failure names it.
    WriteBytes(dir.File("BlueTotem.png"), ReadBytes("Data/Gfx/BlueTotem.png"));
    WriteText(dir.File("GreenTotemShop.png"), "\x89PNG but no picture");
    std::string failed;
    EXPECT_FALSE(t.LoadTextures(dir.Path(), &failed));
    EXPECT_EQ(failed, dir.File("GreenTotemShop.png"));
    EXPECT_NE(log.Take().find("Unable to load GreenTotemShop.png Texture!\n"), std::string::npos);
}
