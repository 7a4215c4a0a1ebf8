#include "totems/RedFireball.h"

#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "tokens/BoardGrid.h"
#include "totems/TotemEffects.h"

#include <algorithm>

using namespace fx;

namespace {

// A spin of the flares and the blast: about a quarter turn a second, either
// way at even odds.
void SpinEitherWay(CFlare& flare)
{
    const float speed = kTotemPi * (256.0f + (2.0f * RandomUnit() - 1.0f) * 128.0f) / 512.0f;
    SpinAtRandom(flare, RandomUnit() < 0.5f ? speed : -speed);
}

} // namespace

CRedFireball::~CRedFireball()
{
    if (halo)
        halo->StopEmitting();
    for (const auto& flare : flares)
        flare->FadeOutNow();
}

void CRedFireball::SetServices(CountedHandle<CParticleSystemsManager> particles,
                               CountedHandle<CFlareRenderer> flareRenderer,
                               CountedHandle<CTexture> explosionTexture, CountedHandle<CTexture> haloTexture,
                               uint32_t haloArgb, float totemFactor)
{
    m_particles = std::move(particles);
    m_flareRenderer = std::move(flareRenderer);
    m_explosionTexture = std::move(explosionTexture);
    m_haloTexture = std::move(haloTexture);
    m_haloColour = haloArgb;
    factor = totemFactor;
}

void CRedFireball::Launch(int ballClass, int targetColumn, int targetRow, const Vec3& from, const Vec3& to,
                          float time, uint32_t explosionArgb, CountedHandle<CParticleSystem> ballHalo)
{
    sizeClass = ballClass;
    column = targetColumn;
    row = targetRow;
    start = position = from;
    target = to;
    duration = time;
    timer = -kWait;
    explosionColour = explosionArgb;
    halo = std::move(ballHalo);
}

void CRedFireball::Dress(float size)
{
    for (int i = 0; i < 3; ++i) {
        const float s = size * (1.0f + (2.0f * RandomUnit() - 1.0f) * 0.33f);
        CountedHandle<CFlare> flare =
            AddFlare(m_flareRenderer, position, m_haloTexture, m_haloColour, s, s, 0.1f, kForever, 0.1f);
        if (!flare)
            return;
        SpinEitherWay(*flare);
        flare->StartScale(2.0f, 5.0f);
        flares.push_back(flare);
    }
}

void CRedFireball::Follow()
{
    if (halo)
        halo->SetPosition(position.x, position.y, position.z);
    for (const auto& flare : flares) {
        flare->x = position.x;
        flare->y = position.y;
        flare->z = position.z;
    }
}

bool CRedFireball::Update(float dt)
{
    timer += dt;
    if (timer < 0.0f)
        return true;
    timer = std::min(timer, duration);
    position = duration > 0.0f ? start + (target - start) * (timer / duration) : target;
    Follow();
    if (timer < duration)
        return true;
    Explode();
    return false;
}

// A blast of fire a block or a plus wide, sparks flying and a flash.
void CRedFireball::Explode()
{
    const float e = 0.5f * static_cast<float>(sizeClass) + 0.5f;
    const float cell = BoardGrid().cellWidth;
    if (m_particles) {
        CExplosionParametres blast(target.x, target.y, target.z, 0, 0, 0, 0, 0, 1, e * cell, 0.0f, 24,
                                   explosionColour, kExplosionScatter);
        blast.speed = 0.6f * e * cell;
        blast.speedSpread = 0.3f * e * cell;
        blast.size = 0.5f * e * cell;
        blast.sizeSpread = 0.2f * e * cell;
        blast.growth = 8.0f * factor * 0.1f * cell;
        blast.growthSpread = 0.5f * blast.growth;
        blast.fadeRate = 2.5f;
        m_particles->AddExplosion(&blast, 80, m_explosionTexture);
        CSparksSpringParametres sparks(target.x, target.y, target.z, 0.0f, 50.0f, 0.0f, 1.0f, 0.0f, 0.0f, 200.0f,
                                       100.0f, m_haloColour);
        sparks.sphereMode = true;
        sparks.duration = 0.1f;
        sparks.rate = 150.0f * factor;
        sparks.width = 0.05f * cell;
        sparks.lengthFactor = 0.01f;
        sparks.maxLength = 1.0f * cell;
        sparks.fadeRate = 1.5f;
        if (CountedHandle<CParticleSystem> system = m_particles->AddSparks(&sparks, 40, m_haloTexture))
            system->Update(0.1f);
    }
    if (CountedHandle<CFlare> flash = AddFlare(m_flareRenderer, target, m_haloTexture, explosionColour,
                                               2.0f * e * cell, 2.0f * e * cell, 0.05f, 0.1f, 0.1f))
        SpinEitherWay(*flash);
    if (halo)
        halo->StopEmitting();
    halo.Reset();
    for (const auto& flare : flares)
        flare->FadeOutNow();
    flares.clear();
}
