// One fireball of the red totem: a charge ball let go. It waits a moment on
// the totem, flies straight to its target cell wrapped in three spinning
// flares with the ball's halo in tow, and explodes there. Without a particle
// manager and a flare renderer it only flies.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Settings.h"

#include <cstdint>
#include <vector>

class CParticleSystem;
class CParticleSystemsManager;

class CRedFireball {
public:
    static constexpr float kWait = 0.2f;

    CRedFireball() { flares.reserve(3); }
    // The halo stops and the flares fade.
    ~CRedFireball();
    CRedFireball(const CRedFireball&) = delete;
    CRedFireball& operator=(const CRedFireball&) = delete;

    // A ball of size class 1 (small) or 2 (big) aimed at its target for
    // `time` seconds after the wait; the halo (may be empty) follows it.
    void Launch(int sizeClass, int targetColumn, int targetRow, const Vec3& from, const Vec3& to, float time,
                uint32_t explosionArgb, CountedHandle<CParticleSystem> ballHalo);
    void SetServices(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CFlareRenderer> flareRenderer,
                     CountedHandle<CTexture> explosionTexture, CountedHandle<CTexture> haloTexture,
                     uint32_t haloArgb, float totemFactor);
    // Three flares of the halo's look, sized about `size`.
    void Dress(float size);
    // False once the flight is over and the fireball has exploded.
    bool Update(float dt);

    int32_t sizeClass = 1;
    int32_t column = 0, row = 0;
    Vec3 position, start, target;
    float timer = -kWait;
    float duration = 0.0f;
    uint32_t explosionColour = 0;
    CountedHandle<CParticleSystem> halo;
    std::vector<CountedHandle<CFlare>> flares;
    float factor = 1.0f;

private:
    void Follow();
    void Explode();

    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CFlareRenderer> m_flareRenderer;
    CountedHandle<CTexture> m_explosionTexture, m_haloTexture;
    uint32_t m_haloColour = 0;
};
