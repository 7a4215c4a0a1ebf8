#include "totems/TotemEffects.h"

#include "effects/keepers/VortexKeeper.h"
#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Random.h"

#include <algorithm>

using namespace fx;

CountedHandle<CFlare> AddFlare(const CountedHandle<CFlareRenderer>& flares, const Vec3& at,
                               const CountedHandle<CTexture>& texture, uint32_t argb, float width, float height,
                               float fadeIn, float fadeOutStart, float fadeOut)
{
    if (!flares)
        return {};
    auto flare = MakeCountedHandle(new CFlare(at.x, at.y, at.z, texture, argb));
    flare->SetSize(width, height);
    flare->fadeIn = fadeIn;
    flare->fadeOutStart = fadeOutStart;
    flare->fadeOut = fadeOut;
    flares->Add(flare);
    return flare;
}

void SpinAtRandom(CFlare& flare, float speed)
{
    static const float across[3] = {1, 0, 0}, up[3] = {0, 1, 0};
    flare.SetSpin(RandomAngle(), speed, across, up);
}

CountedHandle<CParticleSystem> AddBolt(const CountedHandle<CParticleSystemsManager>& particles,
                                       const CountedHandle<CTexture>& texture, const Vec3& from, const Vec3& to,
                                       const BoltShape& shape, int capacity, uint32_t argb, float duration)
{
    if (!particles)
        return {};
    // The longer the bolt the more bends, as far as two bolts fit.
    const float length = Length(to - from);
    const int most = std::max(capacity / 2 - 1, 1);
    const int segments = std::clamp(static_cast<int>(length / 24.0f) + 2, 2, most);
    const Vec3& a = shape.across;
    CThunderboltParametres bolt(from.x, from.y, from.z, a.x, a.y, a.z, 0.0f, 0.0f, 1.0f, shape.startWidth, 0.0f,
                                shape.jitter, to.x, to.y, to.z, a.x, a.y, a.z, 0.0f, 0.0f, 1.0f, shape.endWidth,
                                0.0f, shape.jitter, segments, 2, argb);
    bolt.particleSize = shape.thickness;
    bolt.duration = duration;
    return particles->AddThunderbolt(&bolt, capacity, texture);
}

CountedHandle<CParticleSystem> AddSmoke(const CountedHandle<CParticleSystemsManager>& particles,
                                        const CountedHandle<CTexture>& texture, const Vec3& at, uint32_t argb,
                                        const SmokeShape& shape, int capacity)
{
    if (!particles)
        return {};
    CSmokesSpringParametres smoke(at.x, at.y, at.z, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, shape.platform,
                                  0.1f * shape.platform, shape.spreadAlong, shape.spreadAcross, argb,
                                  kSmokeAdditive);
    smoke.speed = shape.speed;
    smoke.speedSpread = 0.25f * shape.speed;
    smoke.rise = shape.rise;
    smoke.riseSpread = 0.25f * shape.rise;
    smoke.growth = shape.growth;
    smoke.growthSpread = 0.25f * shape.growth;
    smoke.growthChange = 0.0f;
    smoke.fadeRate = shape.fade;
    smoke.fadeSpread = shape.fadeSpread;
    smoke.fadeInRate = shape.fadeIn;
    smoke.size = shape.size;
    smoke.sizeSpread = shape.sizeSpread * shape.size;
    smoke.rate = shape.rate;
    smoke.duration = shape.duration;
    return particles->AddSmokes(&smoke, capacity, texture);
}

void LetSwirlDie(CountedHandle<CVortexKeeper>& keeper, CountedHandle<CParticleSystem>& system)
{
    if (keeper)
        keeper->continuous = false;
    keeper.Reset();
    if (system)
        system->StopEmitting();
    system.Reset();
}

int RandomBelow(int n) { return RandomIndex(n); }

float RandomAngle() { return kTwoPi * RandomUnit(); }
