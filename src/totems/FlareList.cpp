#include "totems/FlareList.h"

#include "effects/particles/ParticleSystemsManager.h"
#include "totems/TotemEffects.h"

CFlareList::CFlareList() { flares.reserve(5); }

CFlareList::~CFlareList() { FadeOutAll(); }

void CFlareList::FadeOutAll()
{
    for (const auto& flare : flares)
        if (flare)
            flare->FadeOutNow();
    flares.clear();
    if (trail)
        trail->StopEmitting();
    trail.Reset();
}

void CFlareList::BuildUnigem(float sparkle, uint32_t trailArgb, float trailSize, float fadeIn,
                             const CountedHandle<CParticleSystemsManager>& particles,
                             const CountedHandle<CFlareRenderer>& flareRenderer,
                             const CountedHandle<CTexture>& unigem, const CountedHandle<CTexture>& trailTexture)
{
    sparkleSize = sparkle;
    trailColor = trailArgb;
    trailParticleSize = trailSize;
    const Vec3 at{position[0], position[1], position[2]};
    if (CountedHandle<CFlare> glow = AddFlare(flareRenderer, at, unigem, trailArgb, 3.0f * sparkle, 3.0f * sparkle,
                                              fadeIn, kForever, 0.2f)) {
        glow->alphaFactor = static_cast<float>(trailArgb >> 24) * 0.5f / 255.0f;
        glow->SetTextureRect(0.5f, 0.0f, 1.0f, 0.5f);
        flares.push_back(glow);
    }
    // The four sparkles of the picture's lower right quarter, turning both
    // ways at two speeds.
    const float sizes[4] = {sparkle, sparkle, 1.25f * sparkle, sparkle};
    const float spins[4] = {kTotemPi / 2.0f, kTotemPi, -kTotemPi / 2.0f, -kTotemPi};
    for (int i = 0; i < 4; ++i) {
        CountedHandle<CFlare> flare =
            AddFlare(flareRenderer, at, unigem, 0xFFFFFFFF, sizes[i], sizes[i], fadeIn, kForever, 0.2f);
        if (!flare)
            break;
        const float u = 0.5f + 0.25f * static_cast<float>(i % 2), v = 0.5f + 0.25f * static_cast<float>(i / 2);
        flare->SetTextureRect(u, v, u + 0.25f, v + 0.25f);
        SpinAtRandom(*flare, spins[i]);
        flares.push_back(flare);
    }
    if (!particles)
        return;
    CSpellsSpringParametres sparkles(at.x, at.y, at.z, 0, 0, 0, 0.25f * trailSize, 0.125f * trailSize,
                                     0.5f * trailSize, 0.25f * trailSize, trailArgb);
    sparkles.duration = kForever;
    sparkles.rate = 60.0f * factor;
    sparkles.fadeRate = 0.75f;
    sparkles.fadeSpread = 0.25f;
    sparkles.randomRotation = true;
    trail = particles->AddSpells(&sparkles, 200, trailTexture);
}

void CFlareList::SetPosition(float x, float y, float z)
{
    position[0] = x;
    position[1] = y;
    position[2] = z;
    for (const auto& flare : flares) {
        flare->x = x;
        flare->y = y;
        flare->z = z;
    }
    if (trail)
        trail->SetPosition(x, y, z);
}

void CFlareList::MoveToward(float dt, float timeLeft)
{
    if (timeLeft <= 0.0f) {
        SetPosition(target[0], target[1], target[2]);
        return;
    }
    const float f = dt / (timeLeft + dt);
    SetPosition(f * target[0] + (1.0f - f) * position[0], f * target[1] + (1.0f - f) * position[1],
                f * target[2] + (1.0f - f) * position[2]);
}
