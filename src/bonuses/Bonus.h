// STAND-IN until the token bonuses are built: the bonus as the board sees
// it. The stand-in bonus manager makes only resting gems, which neither
// move nor fire; the real bonus replaces this file in place.
#pragma once

#include "events/GameEvent.h"

#include <cstdint>

enum BonusKind : int32_t {
    kBonusGem = 1,
    kBonusTnt,
    kBonusFlash,
    kBonusTime,
    kBonusAdviser,
    kBonusScore,
    kBonusSolidarity
};

class CBonus : public CEventSource {
public:
    void FlyIn(float, float, float, float, int, int, bool, float) {}
    void FlyToTarget(float) {}
    void Place(float, float, float, float, int, int) {}
    void MoveTo(float, float, float, int, int, int) {}
    void Fire() {}

    int32_t kind = 0;
    int32_t state = 0; // 1 flying in: a destroyed carrier hands it on
    int32_t value = 0;
    int32_t level = 0;
    int32_t colour = 0;
    int32_t boardFlag = 0;
    int32_t eventsEnabled = 0;
};
