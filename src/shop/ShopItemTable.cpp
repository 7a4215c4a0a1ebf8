// The shop's items, the schedule by which their limits open up, and what
// their levels change in play.
#include "shop/ShopItemTable.h"

#include "balance/BalanceState.h"

#include <algorithm>

namespace {

struct ItemRow {
    ShopItemKind kind;
    int32_t target;
    int32_t maxLevel;
    // The quest level from which limit 1, 2, 3 and 4 hold (0: never).
    int32_t from[4];
};

// Items 0-5 and 9 are the totems (violet, white, blue, yellow, orange, red,
// green); the blue totem alone stops at 3.
constexpr ItemRow kRows[CShopItemTable::kItems] = {
    {kTotemItem, 6, 4, {9, 17, 27, 39}}, {kTotemItem, 5, 4, {11, 19, 26, 36}},
    {kTotemItem, 3, 3, {21, 29, 37, 0}}, {kTotemItem, 1, 4, {7, 18, 23, 31}},
    {kTotemItem, 4, 4, {6, 14, 28, 35}}, {kTotemItem, 2, 4, {4, 15, 24, 32}},
    {kRuleItem, 0, 4, {3, 16, 26, 38}},  {kRuleItem, 1, 4, {5, 15, 25, 37}},
    {kRuleItem, 2, 4, {2, 11, 20, 32}},  {kTotemItem, 0, 4, {10, 19, 30, 39}},
    {kBonusItem, 2, 3, {2, 13, 28, 0}},  {kBonusItem, 6, 3, {8, 17, 30, 0}},
    {kBonusItem, 4, 3, {7, 22, 34, 0}},  {kBonusItem, 3, 3, {5, 9, 21, 0}},
    {kBonusItem, 7, 3, {3, 18, 29, 0}},  {kBonusItem, 5, 3, {12, 23, 33, 0}},
};

const std::string kNoText;

} // namespace

const int kBonusItemOfKind[6] = {10, 13, 12, 15, 11, 14};

CShopItemTable::CShopItemTable()
{
    for (size_t i = 0; i < kItems; ++i) {
        kinds[i] = kRows[i].kind;
        targets[i] = kRows[i].target;
        maxLevels[i] = kRows[i].maxLevel;
    }
    limits.fill(-1);
    ResetLevels();
    for (auto& table : descriptions) {
        table.resize(kItems);
        for (int i = 0; i < kItems; ++i)
            table[static_cast<size_t>(i)].assign(static_cast<size_t>(Entries(i)), std::string());
    }
}

void CShopItemTable::SetLimits(int levelNumber)
{
    for (size_t i = 0; i < kItems; ++i) {
        int32_t limit = kinds[i] == kRuleItem ? 0 : -1;
        for (int l = 0; l < 4; ++l)
            if (kRows[i].from[l] > 0 && kRows[i].from[l] <= levelNumber)
                limit = l + 1;
        limits[i] = limit;
    }
}

void CShopItemTable::ResetLevels()
{
    for (size_t i = 0; i < kItems; ++i)
        levels[i] = kinds[i] == kRuleItem ? 0 : -1;
}

void CShopItemTable::ApplyToBalance(CBalanceState& balance) const
{
    balance.item8Value = levels[kGemsItem] + 4;
    balance.item7Value = BalanceFivePlusTen(levels[kSandGlassItem]);
    balance.timeLimit = LevelTimeLimit(levels[kTimeItem]);
    balance.bonusSlots.resize(6);
    for (size_t k = 0; k < 6; ++k)
        balance.bonusSlots[k] = levels[static_cast<size_t>(kBonusItemOfKind[k])];
}

// Upgrades are bought only up to the limit of the shop that sold them, and
// limits only open up as the quest goes on: a saved level above the limit
// at the save's level was never bought.
void CShopItemTable::RestoreSaved(const int32_t savedLevels[kItems], int32_t savedStars, int levelNumber)
{
    SetLimits(levelNumber);
    for (size_t i = 0; i < kItems; ++i) {
        const int32_t lowest = kinds[i] == kRuleItem ? 0 : -1;
        levels[i] = std::clamp(savedLevels[i], lowest, std::clamp(limits[i], lowest, maxLevels[i]));
    }
    goldenStars = std::clamp(savedStars, 0, kMostStars);
}

const std::string& CShopItemTable::Description(int textKind, int item, int entry) const
{
    if (textKind < 0 || textKind >= kTextKinds || item < 0 || item >= kItems || entry < 0 ||
        entry >= Entries(item))
        return kNoText;
    return descriptions[static_cast<size_t>(textKind)][static_cast<size_t>(item)][static_cast<size_t>(entry)];
}
