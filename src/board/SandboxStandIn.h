// STAND-IN until the sand box lands: the sand box and its heightfield as
// the board drives them. Neither moves sand nor draws; the heightfield
// never changes state, so the board's sand events stay quiet. Remove this
// file when the real sand box takes its place.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h" // Vec3

#include <vector>

class CSandHeightfield {
public:
    void Update(float) {}
    void Reset() {}

    int stateCode = 0;    // 1, 2, 3 as the board reads them; 0 does nothing
    bool flowing = false; // the box is full and the sand flows
    bool flowEnabled = false;
    float sandRate = 0.0f;
    float drainRate = 0.0f;
    float fullTime = 0.0f; // handed back to the box when it is set full
    float meter = 0.0f;    // the score-frenzy meter, 0 .. 1
    float meterGain = 0.1f;
    float total = 0.0f; // the sand in the box
    std::vector<Vec3> fallingGrains;
};

// Where the sand box stands: the skin's default place on the virtual screen.
struct SandboxPlace {
    float x = -144.5f, y = -344.5f, z = 0.0f, width = 640.0f, height = 32.0f;
};

class CSandbox {
public:
    void Update(float) {}
    void SetGeometry(float x, float y, float z, float width, float height)
    {
        place = SandboxPlace{x, y, z, width, height};
    }
    void Show(bool on, float) { shown = on; }
    void SetHeightfield(const CountedHandle<CSandHeightfield>& field) { heightfield = field; }
    void SetFull(bool on, float) { full = on; }
    void DropGrain(float, const Vec3&) {}

    bool shown = false;
    bool full = false;
    SandboxPlace place;
    CountedHandle<CSandHeightfield> heightfield;
    std::vector<Vec3> queuedPoints;
};
