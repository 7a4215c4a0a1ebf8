// STAND-IN until the token bonuses are built: the bonus manager's calls the
// board makes. It is always idle, makes no bonus (empty handles) and raises
// no event; the real manager replaces this file in place.
#pragma once

#include "bonuses/Bonus.h"
#include "engine/CountedHandle.h"
#include "events/GameEvent.h"

#include <vector>

class CBonusManager {
public:
    bool AllPlaced() const { return true; }
    bool IsIdle() const { return true; }
    CountedHandle<CBonus> CreateBonus(int, int, int, int) { return {}; }
    CountedHandle<CBonus> CreateGem(int, int) { return {}; }
    void RemoveAll() {}
    int RemoveBonus(const CountedHandle<CBonus>&) { return -1; }
    void Update(float) {}

    std::vector<CountedHandle<CBonus>> bonuses;
    GameEventVector pendingEvents;
};
