// Small helpers for the engine's 3-D float triples.
#pragma once

#include <cmath>

// The one two-pi of the game: angles and phases wrap at it.
constexpr float kTwoPi = 6.2831855f;

// Scales v to unit length; a zero vector becomes the up axis (0, 1, 0).
inline void Normalise(float v[3])
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) {
        v[0] = 0;
        v[1] = 1;
        v[2] = 0;
        return;
    }
    for (int k = 0; k < 3; ++k)
        v[k] /= length;
}
