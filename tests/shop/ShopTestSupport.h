// The shop on the recording null device: the menu screens loaded from the
// installed forms, the shop's own renderer, particle layers and text batch,
// the totems manager, the bonus manager and a balance state, with the installed
// skin and pictures.
#pragma once

#include "screens/ScreensTestSupport.h"

#include "balance/BalanceState.h"
#include "shop/Shop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

struct ShopRig : ScreensRig {
    ShopRig()
    {
        EXPECT_TRUE(Load()) << log.Text();
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        dust = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        sparkles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        // The bonus previews ride in the shop's own sprite layer, as in the
        // game, over stand-in pictures.
        bonuses = MakeCountedHandle(new CBonusManager());
        auto riding = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        auto flares = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        bonuses->SetResources(riding, flares, dust, riding, sparkles, flares, sprites);
        for (int i = 0; i < CBonusManager::kBonusTextureCount; ++i)
            bonuses->textures[i] = device->CreateTexture("Bonus picture " + std::to_string(i), 64, 64, 1, 0,
                                                         d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        shop = MakeCountedHandle(new CShop(screens, ShopBoardLinks{&totems, bonuses, 32.0f, &balance}, dust,
                                           sprites, sparkles, texts, fonts[0]));
        shop->LoadSettings("Data\\Config\\Skin.cfg", "Shop");
        shop->SetTextures(
            Texture("Data\\Gfx\\SandboxFront.png", "SandboxFront"),
            Texture("Data\\Gfx\\SandboxGlass.tga", "SandboxGlass"), Texture("Data\\Gfx\\Cloud.jpg", "Cloud"),
            device->FindTexture("ShopCtrls1"), device->FindTexture("ShopCtrls2"),
            Texture("Data\\Gfx\\StarParticle.bmp", "StarParticle"), Texture("Data\\Gfx\\Halo1.tga", "Halo1"),
            Texture("Data\\Gfx\\ShopPointer.tga", "ShopPointer"));
        EXPECT_TRUE(shop->items.LoadDescriptions("Data\\Txt\\Shop.txt"));
        ScreensRig::Show(screens->shop.form);
    }

    CountedHandle<CTexture> Texture(const std::string& file, const char* name)
    {
        return device->LoadTexture(file, name, 0, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
    }

    // The quest at a level: its limits, the levels bought and the stars on
    // hand, and the shop opened for the level at once (the opening's
    // unlocking runs on the next frame).
    void OpenAt(int levelNumber, const std::array<int32_t, CShopItemTable::kItems>& levels, int stars)
    {
        shop->items.SetLimits(levelNumber);
        shop->items.levels = levels;
        shop->items.goldenStars = stars;
        shop->Show(1, 0.0f, levelNumber);
        shop->Update(0.0f, -2000.0f, -2000.0f);
    }
    // Frames of `dt` with the pointer far off every control, until `done`
    // or `seconds` have passed.
    template <typename Done>
    bool RunUntil(Done done, float seconds, float dt = 1.0f / 60.0f)
    {
        for (float t = 0; t < seconds; t += dt) {
            if (done())
                return true;
            shop->Update(dt, -2000.0f, -2000.0f);
        }
        return done();
    }
    // Every flight lands.
    void Land()
    {
        RunUntil(
            [&] {
                return Count(CShopStar::kToItem) + Count(CShopStar::kToPanel) + Count(CShopStar::kFlyingBack) == 0;
            },
            5.0f);
    }
    int Count(CShopStar::Kind kind) const
    {
        int n = 0;
        for (const auto& star : shop->Stars())
            n += star->GetKind() == kind ? 1 : 0;
        return n;
    }
    const CShopStar* First(CShopStar::Kind kind) const
    {
        for (const auto& star : shop->Stars())
            if (star->GetKind() == kind)
                return star.Get();
        return nullptr;
    }
    bool Rendered(const CountedHandle<CSprite>& sprite) const
    {
        for (const auto* list : {&sprites->sprites, &sprites->hiddenSprites})
            for (const auto& s : *list)
                if (s == sprite)
                    return true;
        return false;
    }
    // The bonus previews made of a kind at a level, drawn over the HUD.
    size_t Previews(int32_t kind, int32_t level) const
    {
        return static_cast<size_t>(
            std::count_if(bonuses->bonuses.begin(), bonuses->bonuses.end(), [&](const CountedHandle<CBonus>& b) {
                return b->kind == kind && b->param == level && b->drawGroup == 0;
            }));
    }
    const CGameScreens::ShopForm& Form() const { return screens->shop; }
    Vec2 Centre(const CountedHandle<CQoStatic>& control) const
    {
        return {control->Position().x, control->Position().y};
    }

    CBalanceState balance;
    CTotemsManager totems;
    CountedHandle<CBonusManager> bonuses;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> dust, sparkles;
    CountedHandle<CShop> shop;
};

// Levels of a quest: the rule items at 0, the others not offered.
inline std::array<int32_t, CShopItemTable::kItems> NewQuestLevels()
{
    return {-1, -1, -1, -1, -1, -1, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1};
}
