// Flares that go together with a companion particle system: the green
// totem's unigems (a glow, its sparkles and its trail) on their way to a
// cell. Fading the list fades every flare and stops the trail.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"

#include <cstdint>
#include <vector>

class CParticleSystem;
class CParticleSystemsManager;

class CFlareList {
public:
    CFlareList();
    ~CFlareList();
    CFlareList(const CFlareList&) = delete;
    CFlareList& operator=(const CFlareList&) = delete;

    // The unigem at the current position: a glow and four spinning
    // sparkles of the unigem picture fading in over `fadeIn`, and a trail of
    // sparkles behind it. Without the renderers it is only a position.
    void BuildUnigem(float sparkle, uint32_t trailArgb, float trailSize, float fadeIn,
                     const CountedHandle<CParticleSystemsManager>& particles,
                     const CountedHandle<CFlareRenderer>& flareRenderer, const CountedHandle<CTexture>& unigem,
                     const CountedHandle<CTexture>& trailTexture);
    void SetPosition(float x, float y, float z);
    // A step toward the target that lands on it when `timeLeft` runs out.
    void MoveToward(float dt, float timeLeft);
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
