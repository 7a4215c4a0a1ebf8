// STAND-IN until the adviser is built: the hint display's calls the board
// makes. It shows nothing and its time never runs out; it only adds up the
// time it was given. The real display replaces this file in place.
#pragma once

#include "engine/Settings.h" // Vec2

#include <vector>

class CAdviserInterface {
public:
    void AddTime(bool, float seconds) { timeGiven += seconds; }
    void Reset() {}
    void ShowHints(const std::vector<Vec2>&) {}
    // Negative when the hint time ran out.
    float Update(float) { return 0.0f; }

    float x = 0.0f; // where the hint counter stands, for panning its sound
    float timeGiven = 0.0f;
};
