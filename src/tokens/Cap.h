// One drawn cap: a textured square showing one frame of a caps animation.
// Tokens and the memory challenge's plates create caps through the caps
// renderer, keep a handle and write position, track position, chain level
// and visibility straight into it; the renderer only reads them to draw.
#pragma once

#include "engine/CountedHandle.h"

#include <cstdint>

class CTexture;

struct CCap {
    int32_t visible = 1;
    // Picks the textures and the animation: 0..19 board colours, 20..28 the
    // memory challenge, 50..99 a token carrying a gem, 100 and up steel.
    int32_t type = 0;
    // The frame shown is the animation's track[trackPosition]; the owner
    // writes the position, nothing advances it.
    int32_t trackPosition = 0;
    // 0 no chain; 1 the first chain picture; 2 or more the second.
    int32_t chainLevel = 0;
    // Non-zero: the cap writes no quad in either pass.
    int32_t quadSuppressed = 0;
    float x = 0, y = 0, z = 0;
    float size = 32.0f; // half the side of the square
    // Draw-order key: higher layers are drawn first.
    int32_t layer = 0;
    CountedHandle<CTexture> baseTexture;
    CountedHandle<CTexture> lightTexture;
    // Non-zero: the cap takes part in the light under the pointer.
    int32_t hoverLight = 0;
    float hoverDx = 0, hoverDy = 0; // cap centre minus pointer, while lit
    int32_t lit = 0;
};
