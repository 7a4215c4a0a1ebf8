// STAND-IN until the token bonuses are built: the bonus manager's calls the
// board makes. It is always idle; of the bonuses it makes only gems, plain
// ones that are not drawn (the gem shows on its token's cap), so that the
// board's gem counts hold. A fired gem reports that it reached the gems bar
// (event 2) a second later, and goes once the board has collected it. The
// bonuses of other kinds (the shop's previews) are recorded and not made:
// their handles are empty. The real manager replaces this file in place.
#pragma once

#include "bonuses/Bonus.h"
#include "engine/CountedHandle.h"
#include "events/GameEvent.h"

#include <algorithm>
#include <string>
#include <vector>

class CBonusManager {
public:
    // Seconds a fired gem takes to the gems bar.
    static constexpr float kGemFlight = 1.0f;
    // The event a gem sends on its arrival.
    static constexpr int32_t kGemArrived = 2;

    CBonusManager() : pendingEvents(128) {}

    bool AllPlaced() const { return true; }
    bool IsIdle() const { return true; }
    CountedHandle<CBonus> CreateBonus(int kind, int level, int a, int b)
    {
        calls.push_back("CreateBonus " + std::to_string(kind) + " " + std::to_string(level) + " " +
                        std::to_string(a) + " " + std::to_string(b));
        return {};
    }
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
    // The events of the last update are the board's until this one.
    void Update(float dt)
    {
        pendingEvents.Clear();
        bonuses.erase(std::remove_if(bonuses.begin(), bonuses.end(),
                                     [](const CountedHandle<CBonus>& b) { return b->state == kBonusCollected; }),
                      bonuses.end());
        for (const CountedHandle<CBonus>& bonus : bonuses) {
            if (bonus->kind != kBonusGem || bonus->state != kBonusFired)
                continue;
            const bool arriving = bonus->flightTime < kGemFlight && bonus->flightTime + dt >= kGemFlight;
            bonus->flightTime += dt;
            if (!arriving)
                continue;
            GameEvent event;
            event.kind = kGemArrived;
            event.sender = bonus;
            pendingEvents.Push(event);
        }
    }

    std::vector<CountedHandle<CBonus>> bonuses;
    GameEventVector pendingEvents;
    std::vector<std::string> calls;
};
