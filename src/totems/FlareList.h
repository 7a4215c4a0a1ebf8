// Flares that go together with a companion particle system: the green
// totem's unigems (a glow, its sparkles and its trail) on their way to a
// cell. Fading the list fades every flare and stops the trail.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"

#include <cstdint>
#include <vector>

class CParticleSystem;

class CFlareList {
public:
    CFlareList();
    ~CFlareList();
    CFlareList(const CFlareList&) = delete;
    CFlareList& operator=(const CFlareList&) = delete;

    bool IsEmpty() const { return flares.empty(); }
    // Every flare fades out now and the list forgets it; the trail stops
    // emitting and is let go.
    void FadeOutAll();

    std::vector<CountedHandle<CFlare>> flares;
    CountedHandle<CParticleSystem> trail;
    float sparkleSize = 48.0f;
    float trailParticleSize = 48.0f;
    uint32_t trailColor = 0xffc0c0ff;
    float factor = 1.0f;
    float position[3] = {0, 0, 0};
    float target[3] = {0, 0, 0};
    int32_t column = 0, row = 0;
};
