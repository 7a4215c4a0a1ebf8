// STAND-IN until the token bonuses are built: the bonus manager's calls the
// board makes. It is always idle and raises no event; of the bonuses it
// makes only gems, plain resting ones that are not drawn (the gem shows on
// its token's cap), so that the board's gem counts hold. The real manager
// replaces this file in place.
#pragma once

#include "bonuses/Bonus.h"
#include "engine/CountedHandle.h"
#include "events/GameEvent.h"

#include <algorithm>
#include <vector>

class CBonusManager {
public:
    bool AllPlaced() const { return true; }
    bool IsIdle() const { return true; }
    CountedHandle<CBonus> CreateBonus(int, int, int, int) { return {}; }
    CountedHandle<CBonus> CreateGem(int colour, int)
    {
        auto gem = MakeCountedHandle(new CBonus());
        gem->kind = kBonusGem;
        gem->colour = colour;
        bonuses.push_back(gem);
        return gem;
    }
    void RemoveAll() { bonuses.clear(); }
    int RemoveBonus(const CountedHandle<CBonus>& bonus)
    {
        const auto it = std::find(bonuses.begin(), bonuses.end(), bonus);
        if (it == bonuses.end())
            return -1;
        const int index = static_cast<int>(it - bonuses.begin());
        bonuses.erase(it);
        return index;
    }
    void Update(float) {}

    std::vector<CountedHandle<CBonus>> bonuses;
    GameEventVector pendingEvents;
};
