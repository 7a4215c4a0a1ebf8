// The shop drawn through the frame renderer on GL over its form: Golden
// Stars in the panel and on the bars, stars in flight with their tails, the
// stubs and one cracking, the rings, the sand glass with its note, the tip.
// With GALVORINE_DRAWING_PNG set, the frames are written beside that name.
#include "screens/ScreensTestSupport.h"

#include "balance/BalanceState.h"
#include "engine/DrawingFixture.h"
#include "shop/Shop.h"

namespace {

using drawing_test::Drawing;
using drawing_test::Frame;

class ShopDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        LoadStrings("Data\\Txt\\Strings.txt");
        layout.Load("Data\\Config\\Skin.cfg");
        const auto& vb = renderer->vertexBuffer;
        const auto& ib = renderer->indexBuffer;
        texts = MakeCountedHandle(new CTextBatch(device, vb, ib));
        fonts = LoadGameFonts(*device);
        // The splash form starts from the loading picture.
        loading = device->LoadTexture("Data\\Gfx\\Loading.jpg", "Loading", 0, 0, d3d::D3DPOOL_MANAGED,
                                      d3d::D3DFMT_UNKNOWN);
        screens = MakeCountedHandle(new CGameScreens(nullptr, device, vb, ib, texts, fonts));
        ASSERT_TRUE(screens->LoadForms(paths, layout, SplitLevelNumber)) << log.Text();
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vb, ib));
        for (auto* m : {&dust, &sparkles}) {
            *m = MakeCountedHandle(new CParticleSystemsManager(device, vb, ib));
            CParticleEnvironment& environment = (*m)->Environment();
            environment.killMin = Vec3{-1000.0f, -1000.0f, -1000.0f};
            environment.killMax = Vec3{1000.0f, 1000.0f, 1000.0f};
            environment.view->eye.z = 10000.0f;
        }
        renderer->textBatch = texts;
        renderer->gui = screens->FormsManager();
        renderer->spriteLayers[2] = sprites;
        renderer->particleLayers[4] = dust;
        renderer->particleLayers[5] = sparkles;
        shop = MakeCountedHandle(new CShop(screens, ShopBoardLinks{&totems, {}, 32.0f, &balance}, dust, sprites,
                                           sparkles, texts, fonts[0]));
        shop->LoadSettings("Data\\Config\\Skin.cfg", "Shop");
        auto load = [&](const char* file, const char* name) {
            return device->LoadTexture(std::string("Data\\Gfx\\") + file, name, 0, 0, d3d::D3DPOOL_MANAGED,
                                       d3d::D3DFMT_UNKNOWN);
        };
        shop->SetTextures(load("SandboxFront.png", "SandboxFront"), load("SandboxGlass.tga", "SandboxGlass"),
                          load("Cloud.jpg", "Cloud"), device->FindTexture("ShopCtrls1"),
                          device->FindTexture("ShopCtrls2"), load("StarParticle.bmp", "StarParticle"),
                          load("Halo1.tga", "Halo1"), load("ShopPointer.tga", "ShopPointer"));
        ASSERT_TRUE(shop->items.LoadDescriptions("Data\\Txt\\Shop.txt"));
        if (CountedHandle<CTexture> frame = device->FindTexture("ShopFrame"); frame && !frame->texture) {
            ASSERT_FALSE(d3d::Failed(frame->Recreate(device->Device())));
        }
        screens->ShowForm(screens->shop.form, 1000.0f);
    }
    void TearDown() override
    {
        shop.Reset();
        screens.Reset();
        sprites.Reset();
        dust.Reset();
        sparkles.Reset();
        texts.Reset();
        fonts.clear();
        loading.Reset();
        ClearStrings();
        Drawing::TearDown();
    }
    // One frame of the game's order: the layers, then the screens, then the
    // shop, then the drawing.
    void Step(float dt, float x, float y)
    {
        for (auto* m : {&dust, &sparkles})
            (*m)->Update(dt);
        sprites->Update(dt, 0);
        texts->Update(dt);
        screens->Update(x, y, dt);
        shop->Update(dt, x, y);
    }
    Frame Draw(const char* name)
    {
        EXPECT_FALSE(d3d::Failed(renderer->RenderFrame()));
        return Grab(name);
    }
    static bool Golden(uint32_t argb)
    {
        const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
        return r > 170 && g > 110 && b < 160 && r > b + 60;
    }

    LogCapture log;
    CDataPaths paths;
    CQuestLayout layout;
    CBalanceState balance;
    CTotemsManager totems;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CTexture> loading;
    std::vector<CountedHandle<CBitmapFont>> fonts;
    CountedHandle<CGameScreens> screens;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> dust, sparkles;
    CountedHandle<CShop> shop;
};

TEST_F(ShopDrawing, StarsStandOnTheBarsAndInThePanelAndFlyBetween)
{
    // The shop of level 24 over the limits of level 23: the red totem's
    // third slot cracks open.
    CShopItemTable& items = shop->items;
    items.SetLimits(23);
    items.levels = {2, 1, 0, 3, 1, 2, 2, 1, 2, 0, 1, 0, 0, 2, 1, 0};
    items.goldenStars = 4;
    shop->Show(1, 2.0f, 24);
    for (int i = 0; i < 40; ++i)
        Step(1.0f / 60.0f, -2000.0f, -2000.0f);
    const Frame open = Draw("open");
    const Vec2 panelStar = shop->PanelSlot(0, 4);
    EXPECT_TRUE(Golden(open.At(Px(panelStar.x), Py(panelStar.y))));
    const Vec2 barStar = shop->BarSlot(3, 0);
    EXPECT_TRUE(Golden(open.At(Px(barStar.x), Py(barStar.y))));

    // A star on its way to item 9, one back from item 13, the pointer on
    // item 6's bar.
    ASSERT_TRUE(shop->ChangeLevel(9, 1));
    ASSERT_TRUE(shop->ChangeLevel(13, 0));
    const Vec3& bar = screens->shop.bars[6]->Position();
    for (int i = 0; i < 12; ++i)
        Step(1.0f / 60.0f, bar.x, bar.y);
    Draw("flying");
    EXPECT_EQ(screens->shop.tip->MainText()->text.substr(0, 10), "Level Time");
    for (int i = 0; i < 90; ++i)
        Step(1.0f / 60.0f, bar.x, bar.y);
    const Frame landed = Draw("landed");
    const Vec2 green = shop->BarSlot(9, 0);
    EXPECT_TRUE(Golden(landed.At(Px(green.x), Py(green.y))));
    EXPECT_EQ(items.goldenStars, 4);
}

} // namespace
