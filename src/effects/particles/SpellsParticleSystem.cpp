// Spells: sparkles emitted along the emitter's path, outward or inward.
#include "effects/particles/SpellsParticleSystem.h"

#include "effects/particles/ParticleMath.h"

using namespace d3d;
using namespace fx;

CSpellsParticleSystem::CSpellsParticleSystem(CountedHandle<CRenderDevice> device, int capacity,
                                             CountedHandle<CTexture> texture,
                                             CountedHandle<CVertexBuffer> vertices,
                                             CountedHandle<CIndexBuffer> indices,
                                             CountedHandle<CParticleEnvironment> environment,
                                             const CSpellsSpringParametres* p)
    : TParticleSystem(std::move(device), capacity, std::move(texture), std::move(vertices), std::move(indices),
                      std::move(environment), D3DBLEND_SRCALPHA, D3DBLEND_ONE),
      m_previous(p->position), m_params(*p)
{
    m_params.colour &= 0x00FFFFFFu;
    SetEmission(p->position, p->timeLimited, p->duration, p->totalCount, p->rate);
}

void CSpellsParticleSystem::StartSparkle(CSpell& sparkle, const Vec3& point)
{
    const CSpellsSpringParametres& p = m_params;
    const float qx = 2.0f * RandomUnit() - 1.0f;
    const float qy = 2.0f * RandomUnit() - 1.0f;
    const float qz = 2.0f * RandomUnit() - 1.0f;
    const Vec3 q = V3(qx, qy, qz);
    const float length = Length(q);
    const float speed = Spread(p.speed, p.speedSpread);
    const Vec3 velocity = length == 0.0f ? p.velocity : p.velocity + q * (speed / length);
    const float size = Spread(p.size, p.sizeSpread);
    const float rotation = p.randomRotation ? RandomUnit() * 1024.0f : 0.0f;
    const float sign = p.randomSpinSign && RandomUnit() <= 0.5f ? -1.0f : 1.0f;
    const float spin = Spread(p.spin, p.spinSpread) * sign;
    if (!p.inward) {
        const float fade = Spread(p.fadeRate, p.fadeSpread);
        sparkle.Init(p.colour, fade, point.x, point.y, point.z, velocity.x, velocity.y, velocity.z, size, rotation,
                     spin);
        sparkle.phaseSpeed = p.phaseSpeed;
        if (p.twoPhase)
            sparkle.phase = 0.0f;
        return;
    }
    // Started as far out as it flies while fading in (and fading out again),
    // so that it arrives on the point.
    const float fadeIn = Spread(p.fadeRate, p.fadeSpread);
    const Vec3 start = point - velocity * (1.0f / fadeIn + 1.0f / p.phaseSpeed);
    sparkle.Init(p.colour, -fadeIn, start.x, start.y, start.z, velocity.x, velocity.y, velocity.z, size, rotation,
                 spin);
    sparkle.phaseSpeed = p.phaseSpeed;
    if (p.twoPhase)
        sparkle.phase = 2.0f;
}

bool CSpellsParticleSystem::Update(float dt)
{
    float accumulatorBefore = 0.0f;
    const int n = EmitCount(dt, &accumulatorBefore);
    PlaceParticles(m_particles, n, [&](int slot, int k) {
        const Vec3 step = (m_position - m_previous) / (m_rate * accumulatorBefore);
        StartSparkle(m_particles[static_cast<size_t>(slot)], m_previous + step * static_cast<float>(k + 1));
    });
    const CParticleEnvironment& env = *m_environment;
    return PassParticles(m_particles, [&](CSpell& s, int) {
        s.Update(dt);
        return !s.ended && env.InsideKillBox(s.position);
    });
}

void CSpellsParticleSystem::FillBuffers(Vertex* out, uint16_t* indices, int firstVertex, int firstIndex)
{
    BeginFill(indices, firstVertex, firstIndex, m_liveCount);
    ForEachLive([&](CSpell& s) {
        WriteBillboard(out, s.position, s.size, s.rotation, 0.0f, 0.0f, 1.0f, WithAlpha(s.alpha, s.colour));
        out += 4;
    });
}

void CSpellsParticleSystem::MoveBy(float dx, float dy, float dz)
{
    TParticleSystem::MoveBy(dx, dy, dz);
    m_previous += V3(dx, dy, dz);
}

void CSpellsParticleSystem::SetPosition(float x, float y, float z)
{
    m_previous = m_position;
    m_position = V3(x, y, z);
}
