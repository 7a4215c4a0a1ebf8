// The explosion's burst and its fireball billboards.
#include "effects/particles/ExplosionParticleSystem.h"

#include "effects/particles/ParticleMath.h"

#include <algorithm>

using namespace d3d;
using namespace fx;

namespace {

Vec3 RandomInCube()
{
    const float x = 2.0f * RandomUnit() - 1.0f;
    const float y = 2.0f * RandomUnit() - 1.0f;
    const float z = 2.0f * RandomUnit() - 1.0f;
    return V3(x, y, z);
}

} // namespace

CExplosionParticleSystem::CExplosionParticleSystem(CountedHandle<CRenderDevice> device, int capacity,
                                                   CountedHandle<CTexture> texture,
                                                   CountedHandle<CVertexBuffer> vertices,
                                                   CountedHandle<CIndexBuffer> indices,
                                                   CountedHandle<CParticleEnvironment> environment,
                                                   const CExplosionParametres* p)
    : TParticleSystem(std::move(device), capacity, std::move(texture), std::move(vertices), std::move(indices),
                      std::move(environment), D3DBLEND_SRCALPHA, D3DBLEND_ONE),
      m_params(*p)
{
    m_params.colour &= 0x00FFFFFFu;
    m_params.direction = Normalised(p->direction);
    m_position = p->centre;
    if (m_params.mode == kExplosionRing) {
        const Vec3 d = m_params.direction;
        const float e = d.y == 0.0f ? 0.0f : (d.x == 0.0f && d.z == 0.0f ? 1.0f : d.x);
        m_ring1 = Normalised(Cross(d, V3(e, 1.0f, 0.0f)));
        m_ring2 = Normalised(Cross(m_ring1, d));
    }
}

void CExplosionParticleSystem::Burst()
{
    const CExplosionParametres& p = m_params;
    const int n = std::max(0, std::min(p.count, m_capacity));
    for (int j = 0; j < n; ++j) {
        const Vec3 r = RandomInCube();
        const Vec3 start = m_position + Normalised(r) * (RandomUnit() * p.radius);
        Vec3 direction;
        if (p.mode == kExplosionRing) {
            const float a = 2.0f * RandomUnit() - 1.0f;
            const float b = 2.0f * RandomUnit() - 1.0f;
            const Vec3 q = m_ring1 * a + m_ring2 * b;
            direction = Normalised(q) + p.direction * (RandomUnit() * 2.0f * p.axialSpread - p.axialSpread);
        } else {
            direction = Normalised(RandomInCube());
        }
        const Vec3 velocity = p.velocity + direction * Spread(p.speed, p.speedSpread);
        const float fade = Spread(p.fadeRate, p.fadeSpread);
        const float size = Spread(p.size, p.sizeSpread);
        const float growth = Spread(p.growth, p.growthSpread);
        m_particles[static_cast<size_t>(j)].Init(p.colour, fade, start.x, start.y, start.z, velocity.x, velocity.y,
                                                 velocity.z, size, growth, p.growthChange);
    }
    m_highWater = n;
    m_emitting = false;
}

bool CExplosionParticleSystem::Update(float dt)
{
    if (m_emitting)
        Burst();
    const CParticleEnvironment& env = *m_environment;
    return PassParticles(m_particles, [&](CFireball& f, int) {
        f.Update(dt, env);
        return f.alpha > 0.0f && env.InsideKillBox(f.position);
    });
}

void CExplosionParticleSystem::FillBuffers(Vertex* out, uint16_t* indices, int firstVertex, int firstIndex)
{
    BeginFill(indices, firstVertex, firstIndex, m_liveCount);
    ForEachLive([&](CFireball& f) {
        float u = 0.0f, v = 0.0f;
        m_environment->AtlasCell(static_cast<float>(f.frame), &u, &v);
        WriteBillboard(out, f.position, f.size, f.rotation, u, v, 0.25f, WithAlpha(f.alpha, f.colour));
        out += 4;
    });
}
