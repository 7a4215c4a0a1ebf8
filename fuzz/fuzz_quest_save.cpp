// Any byte string either loads as a quest save or is refused. One that
// loads holds only what the game can act on: a quest of the game's own type,
// a running clock, its warnings, the sand, the hints, gem counts of none
// or more for a level in play, a totem colour waiting in front, bonuses the board knows on a saved
// board, gem colours the bar can show, stars and counters in range. The
// shop's levels it brings are held to what the saved level's shop can have
// sold, and the clock to that level's time. It writes back out as an image
// that loads again to the same record.
#include "balance/BalanceState.h"
#include "records/QuestSave.h"
#include "shop/ShopItemTable.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool FiniteAtLeast(float value, float least) { return std::isfinite(value) && value >= least; }

void CheckValues(const CQuestSave& save)
{
    Check(save.state == CQuestSave::kStored && save.gameTypeFlag == 0);
    Check(save.level >= 1 && save.level <= CQuestSave::kLastLevel);
    Check(save.lives >= 0 && save.lives <= 1000 && save.stars >= 0 && save.stars <= 1000);
    Check(FiniteAtLeast(save.timeLeft, 0.0f));
    Check(FiniteAtLeast(save.nextTimeWarning, -1.0f) && save.nextTimeWarning <= 30.0f);
    Check(std::isfinite(save.sandAmount) && save.sandRateSteps >= 0);
    Check(FiniteAtLeast(save.hintTimeLeft, 0.0f) && save.hintTimeLeft <= 3600.0f);
    Check(save.resumeKind != CQuestSave::kResumeInPlay || (save.gemsLeft >= 0 && save.gemGoal >= 0));
    Check(save.extraIndex >= -1 && save.extraIndex < CQuestSave::kTotemColours);
    Check(save.extraFlag == 0 || save.extraFlag == 1);
    Check(save.extraLifeSteps >= 0);
    for (const CStatTable& table : save.stats.tables)
        Check(FiniteAtLeast(table.GetFloat(StatSeconds), 0.0f));
    Check(save.collectedGems.size() <= CQuestSave::kMaxSavedGems);
    for (const int32_t colour : save.collectedGems)
        Check(colour >= 0 && colour <= 6);
    if (save.resumeKind == CQuestSave::kResumeInPlay)
        for (int row = 0; row < CQuestSave::kRows; ++row)
            for (int column = 0; column < CQuestSave::kColumns; ++column) {
                const int32_t kind = save.Cell(CQuestSave::BonusKinds, row, column);
                const int32_t param = save.Cell(CQuestSave::BonusParams, row, column);
                Check(kind >= 0 && kind <= 7 && param >= 0 && param <= 3);
            }
}

// The shop the quest goes on with: the saved level's, or the next one's for
// a quest saved in the shop.
void CheckHeldByTheShop(const CQuestSave& save)
{
    CShopItemTable items;
    const int shopLevel = save.level + (save.resumeKind == CQuestSave::kResumeInShop ? 1 : 0);
    items.RestoreSaved(save.itemLevels, save.stars, shopLevel);
    for (size_t i = 0; i < CShopItemTable::kItems; ++i) {
        const int32_t lowest = items.kinds[i] == kRuleItem ? 0 : -1;
        Check(items.levels[i] >= lowest && items.levels[i] <= items.maxLevels[i]);
        Check(items.levels[i] <= std::max(items.limits[i], lowest));
    }
    Check(items.goldenStars == save.stars);
    CBalanceState balance;
    items.ApplyToBalance(balance);
    const float clock = std::min(save.timeLeft, balance.timeLimit);
    Check(clock >= 0.0f && clock <= LevelTimeLimit(4));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CQuestSave save;
    if (save.Parse(data, size) != CQuestSave::Ok)
        return 0;
    CheckValues(save);
    CheckHeldByTheShop(save);
    Check(save.IsValid());
    const std::vector<uint8_t> image = save.Serialize();
    CQuestSave again;
    if (again.Parse(image.data(), image.size()) != CQuestSave::Ok || again.Serialize() != image)
        __builtin_trap();
    return 0;
}
