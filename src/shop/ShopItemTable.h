// The sixteen items the shop sells for Golden Stars: seven Power Totems, three
// rules of a level (its time, the sand glass and the gems that drop at a
// time) and six bonuses. Each has a level (the upgrades bought), a limit that
// opens up as the quest goes on, and a hard maximum; the table also holds the
// Golden Stars on hand and the tip texts of every item and level.
//
// The game keeps the levels and the stars on hand in the quest save and
// writes the levels into the balance of every level it starts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CBalanceState;

enum ShopItemKind : int32_t { kRuleItem = 0, kTotemItem = 1, kBonusItem = 2 };

class CShopItemTable {
public:
    static constexpr int kItems = 16;
    // Level entries of an item's texts: one per level from -1 (not offered)
    // to the hard maximum.
    static constexpr int kTextKinds = 3;
    // The stars on hand a save may bring.
    static constexpr int32_t kMostStars = 1000;
    // The rule items: level time, sand glass, gems at a time.
    static constexpr int kTimeItem = 6, kSandGlassItem = 7, kGemsItem = 8;
    // The first bonus item; the bonus items follow it in the order of their
    // groups on the form.
    static constexpr int kFirstBonusItem = 10;

    CShopItemTable();

    // The limits in force from quest level `levelNumber` on.
    void SetLimits(int levelNumber);
    // A new quest: nothing offered but the rule items, which stand at 0.
    void ResetLevels();
    // The level time, the two rule values and the six bonus kinds' levels.
    void ApplyToBalance(CBalanceState& balance) const;
    // Levels and stars on hand from a quest save that goes on from quest
    // level `levelNumber`, whose limits it sets: each level held to what the
    // shop can have sold by then, -1 (a rule item 0) .. its limit there, and
    // never above its maximum; the stars to 0 .. kMostStars.
    void RestoreSaved(const int32_t savedLevels[kItems], int32_t savedStars, int levelNumber);
    // "Shop.txt": false when it is missing or its count of texts is wrong
    // (it ends early, or more follow the last): the log names it, and every
    // text is empty, as a tip on the wrong item is worse than none.
    bool LoadDescriptions(const std::string& path);

    // The tip text of a kind (0 bar, 1 pictures or a full "+", 2 a "+" that
    // can buy) for an item at a level entry (level + 1); empty out of range.
    const std::string& Description(int textKind, int item, int entry) const;
    // Level entries of an item: its maximum + 2.
    int Entries(int item) const { return maxLevels[static_cast<size_t>(item)] + 2; }

    std::array<int32_t, kItems> levels{};
    std::array<int32_t, kItems> limits{};
    std::array<int32_t, kItems> kinds{};
    // The colour of a totem item, the rule of a rule item, the bonus kind of
    // a bonus item.
    std::array<int32_t, kItems> targets{};
    std::array<int32_t, kItems> maxLevels{};
    // In the panel, not counting stars on their way.
    int32_t goldenStars = 0;
    // [text kind][item][level entry].
    std::array<std::vector<std::vector<std::string>>, kTextKinds> descriptions;
};

// The order in which the six bonus kinds (2 TNT .. 7 Solidarity, kind - 2)
// take the levels of the bonus items.
extern const int kBonusItemOfKind[6];
