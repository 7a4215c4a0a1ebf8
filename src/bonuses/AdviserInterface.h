// STAND-IN until the adviser is built: the hint display's calls the board
// and the game make. It shows nothing and its time never runs out; it only
// adds up the time it was given, and a hint the game asks for costs its
// points but puts up no arrow yet. The real display replaces this file in
// place.
#pragma once

#include "engine/Settings.h" // Vec2

#include <vector>

class CAdviserInterface {
public:
    void AddTime(bool, float seconds) { timeGiven += seconds; }
    void Reset() { ++resets; }
    void Hide() { ++hides; }
    void AddArrow(float, float) {}
    void ShowHints(const std::vector<Vec2>&) {}
    // Negative when the hint time ran out.
    float Update(float) { return 0.0f; }

    float x = 0.0f; // where the hint counter stands, for panning its sound
    float timeGiven = 0.0f;
    int resets = 0;
    int hides = 0;
};
