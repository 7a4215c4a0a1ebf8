// STAND-IN until the token bonuses are built: the bonus as the board sees
// it. The stand-in bonus manager makes only gems, which ride on their
// tokens and, once fired by a strike, fly to the gems bar; the real bonus
// replaces this file in place. The calls the shop makes on its previews are
// here too, and do nothing.
#pragma once

#include "engine/Settings.h" // Vec3
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

// Bonus states the board reads.
enum BonusState : int32_t {
    kBonusFlyingIn = 1, // a destroyed carrier hands it on
    kBonusFired = 4,    // a gem on its way to the gems bar
    kBonusCollected = 6,
};

class CBonus : public CEventSource {
public:
    void FlyIn(float, float, float, float, int, int, bool, float) {}
    void FlyToTarget(float) {}
    // 0 or 1: which of its two sprite renderers draws it.
    void SetDrawGroup(int) {}
    void Place(float px, float, float, float, int, int) { x = px; }
    void MoveTo(float px, float, float, int, int, int) { x = px; }
    void Fire()
    {
        state = kBonusFired;
        flightTime = 0.0f;
    }

    int32_t kind = 0;
    int32_t state = 0;
    int32_t value = 0;
    int32_t level = 0;
    int32_t colour = 0; // a gem's picture is its colour's
    int32_t boardFlag = 0;
    int32_t eventsEnabled = 0;
    float x = 0.0f; // where its sounds are panned
    float y = 0.0f, z = 0.0f;
    // A fly-in starts at this multiple of its size and shrinks to 1.
    float flyInScale = 6.0f;
    Vec3 destination; // a fired gem's place in the gems bar
    float flightTime = 0.0f;
};
