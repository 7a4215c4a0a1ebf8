// STAND-IN until the upgrade shop is built: what a quest level's start asks
// of it. It holds the star count and the sixteen item levels the quest save
// brings back, and records the calls that would apply them to the level;
// nothing is bought, sold or drawn. The real shop replaces this file in
// place.
#pragma once

#include <array>
#include <cstdint>

class CBalanceState;

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
    // The owned totems' levels go to the totems.
    void ApplyTotemLevels() { ++totemLevelsApplied; }

    CShopItemTable items;
    int32_t stars = 0;
    int totemLevelsApplied = 0;
};
