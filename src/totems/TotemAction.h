// What the totems ask of the board: one record per cell to strike, target
// request, grant or started power, handed over every frame in the order made.
#pragma once

#include <cstdint>

// Thirteen 32-bit words. `type` is the colour (0..6) of the totem that made
// the record, or kPowerStarted. A violet bonus delivery lays its words out
// its own way: `column` the bonus level, `row` its z-order, `weight` and the
// two start words its start point, the control words the point its flight
// bends through, `flyTime` the seconds of that flight and `bonusCode` the
// bonus kind.
struct TotemAction {
    static constexpr int32_t kPowerStarted = 1000;

    int32_t type = 0;
    int32_t column = 0;
    int32_t row = 0;
    int32_t value = 0;
    float weight = 0.0f;
    float startY = 0.0f, startZ = 0.0f;
    float controlX = 0.0f, controlY = 0.0f, controlZ = 0.0f;
    float flyTime = 0.0f;
    int32_t bonusCode = 0;
    int32_t amount = 0;
};
static_assert(sizeof(TotemAction) == 13 * 4, "a totem action is thirteen words");

// A board cell the board hands to a totem power.
struct TotemCell {
    int32_t column = 0;
    int32_t row = 0;
};
