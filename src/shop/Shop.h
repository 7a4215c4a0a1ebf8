// STAND-IN until the upgrade shop is built: the shop as the game drives it
// between levels. It holds the sixteen item levels and the Golden Stars on
// hand, fades its open fraction in and out, and refuses every purchase; it
// draws nothing (the Shop form is the screens'). Every call is recorded, so
// tests can read what the game asked of it. The real shop replaces this file.
#pragma once

#include "engine/BitmapFont.h"
#include "engine/CountedHandle.h"
#include "engine/Text.h"
#include "totems/TotemsManager.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CBalanceState;
class CGameBoard;
class CGameScreens;
class CParticleSystemsManager;
class CSpriteRenderer;

// The sixteen items' levels, the limits they open up to by level, and
// their effect on the level's balance (recorded, not applied).
class CShopItemTable {
public:
    static constexpr int kItems = 16;

    // The items open up to this level.
    void SetLimits(int level) { limitLevel = level; }
    // The bought levels overwrite the balance's defaults.
    void ApplyToBalance(CBalanceState&) { ++balanceApplied; }

    std::array<int32_t, kItems> levels{};
    int32_t limitLevel = 0;
    int balanceApplied = 0;
};

class CShop {
public:
    CShop(CountedHandle<CGameScreens> screens, CountedHandle<CGameBoard> board,
          CountedHandle<CParticleSystemsManager>, CountedHandle<CSpriteRenderer>,
          CountedHandle<CParticleSystemsManager>, CountedHandle<CTextBatch>, CountedHandle<CBitmapFont>)
        : m_screens(std::move(screens)), m_board(std::move(board))
    {}

    // Opens (or closes) the shop for a level; a speed of 0 or less at once.
    void Show(int open, float speed, int level)
    {
        Record("Show " + std::to_string(open) + " " + std::to_string(speed) + " " + std::to_string(level));
        levelNumber = level;
        visible = open != 0 || visible;
        // The totems' shop pictures come and go with the shop.
        if (totems && open)
            totems->RefreshShopLevels(speed);
        else if (totems)
            totems->FadeOutAll(speed);
        if (speed <= 0.0f) {
            openFraction = open ? 1.0f : 0.0f;
            fadeDirection = 0;
            m_completedAtOnce = open != 0;
            visible = open != 0;
            return;
        }
        fadeDirection = open ? 1 : -1;
        fadeSpeed = speed;
    }
    // 1 on the frame the opening completes.
    int Update(float dt, float, float)
    {
        if (m_completedAtOnce) {
            m_completedAtOnce = false;
            return 1;
        }
        if (fadeDirection == 0)
            return 0;
        openFraction = std::clamp(openFraction + static_cast<float>(fadeDirection) * fadeSpeed * dt, 0.0f, 1.0f);
        if (fadeDirection > 0 && openFraction >= 1.0f) {
            fadeDirection = 0;
            return 1;
        }
        if (fadeDirection < 0 && openFraction <= 0.0f) {
            fadeDirection = 0;
            visible = false;
        }
        return 0;
    }
    void OnMouseDown(float, float) { Record("OnMouseDown"); }
    void OnMouseUp(float, float) { Record("OnMouseUp"); }
    int ChangeLevel(int item, int up)
    {
        Record("ChangeLevel " + std::to_string(item) + " " + std::to_string(up));
        return 0;
    }
    int CountAvailableStars() const { return stars; }
    int CanStillUpgrade() const { return 0; }
    void SettleStars() { Record("SettleStars"); }
    // The totem items' levels are the totems' owned levels (0: not owned).
    void ApplyTotemLevels()
    {
        Record("ApplyTotemLevels");
        if (!totems)
            return;
        for (int colour = 0; colour < CTotemsManager::kColours; ++colour)
            totems->levels[static_cast<size_t>(colour)] =
                std::max(items.levels[static_cast<size_t>(kTotemItems[colour])], 0);
    }
    // The totem item of each colour (green, yellow, red, blue, orange,
    // white, violet).
    static constexpr int kTotemItems[CTotemsManager::kColours] = {9, 3, 5, 2, 4, 1, 0};

    CShopItemTable items;
    // The Golden Stars on hand.
    int32_t stars = 0;
    bool visible = false;
    // 0 closed .. 1 open.
    float openFraction = 0.0f;
    int fadeDirection = 0;
    float fadeSpeed = 0.0f;
    int levelNumber = 0;
    std::vector<std::string> calls;
    // The totems whose levels the items set and whose pictures the shop
    // shows.
    CTotemsManager* totems = nullptr;

private:
    void Record(const std::string& call) { calls.push_back(call); }

    CountedHandle<CGameScreens> m_screens;
    CountedHandle<CGameBoard> m_board;
    bool m_completedAtOnce = false;
};
