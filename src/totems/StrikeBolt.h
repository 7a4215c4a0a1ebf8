// One thunderbolt of the blue totem's strike: it runs from the totem's
// target point to a steel token's cell, its head ahead and its tail a bolt's
// length behind, and on arrival it flashes and crosses two short bolts over
// the cell. Without a particle manager and a flare renderer it only flies.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Settings.h"

#include <cstdint>

class CParticleSystem;
class CParticleSystemsManager;

class CStrikeBolt {
public:
    CStrikeBolt() = default;
    // Its thunderbolt stops and its flare fades.
    ~CStrikeBolt();
    CStrikeBolt(const CStrikeBolt&) = delete;
    CStrikeBolt& operator=(const CStrikeBolt&) = delete;

    void Setup(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CFlareRenderer> flares,
               CountedHandle<CTexture> lightning, CountedHandle<CTexture> spark, uint32_t argb, float boltLength,
               float boltHeight, float boltSpeed, int totemLevel);
    void Launch(const Vec3& from, const Vec3& to, int targetColumn, int targetRow);
    // False once the tail has reached the target and the impact is made.
    bool Update(float dt);

    int32_t column = 0, row = 0;
    Vec3 origin, target;
    float length = 10.0f, height = 48.0f, speed = 10.0f;
    int32_t level = 1;
    float distance = 0.0f;
    Vec3 delta, direction, side;
    float travelled = 0.0f;

private:
    void Impact();

    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CFlareRenderer> m_flares;
    CountedHandle<CTexture> m_lightning, m_spark;
    uint32_t m_colour = 0xFFFFFFFF;
    CountedHandle<CParticleSystem> m_thunderbolt;
    CountedHandle<CFlare> m_flare;
};
