// Smoke puffs: emission from a box or along a path, and atlas billboards.
#include "effects/particles/SmokesParticleSystem.h"

#include "effects/particles/ParticleMath.h"

#include <algorithm>

using namespace d3d;
using namespace fx;

namespace {

void BlendOf(int flags, uint32_t* source, uint32_t* dest)
{
    switch (flags & kSmokeBlendMask) {
    case kSmokeAlphaBlend:
        *source = D3DBLEND_SRCALPHA;
        *dest = D3DBLEND_INVSRCALPHA;
        break;
    case kSmokeAdditive:
        *source = D3DBLEND_SRCALPHA;
        *dest = D3DBLEND_ONE;
        break;
    default: // darkening
        *source = D3DBLEND_ZERO;
        *dest = D3DBLEND_INVSRCCOLOR;
        break;
    }
}

uint32_t SourceOf(int flags)
{
    uint32_t s = 0, d = 0;
    BlendOf(flags, &s, &d);
    return s;
}

uint32_t DestOf(int flags)
{
    uint32_t s = 0, d = 0;
    BlendOf(flags, &s, &d);
    return d;
}

} // namespace

CSmokesParticleSystem::CSmokesParticleSystem(CountedHandle<CRenderDevice> device, int capacity,
                                             CountedHandle<CTexture> texture,
                                             CountedHandle<CVertexBuffer> vertices,
                                             CountedHandle<CIndexBuffer> indices,
                                             CountedHandle<CParticleEnvironment> environment,
                                             const CSmokesSpringParametres* p)
    : TParticleSystem(std::move(device), capacity, std::move(texture), std::move(vertices), std::move(indices),
                      std::move(environment), SourceOf(p->flags), DestOf(p->flags)),
      m_flags(p->flags), m_previous(p->position), m_baseVelocity(p->velocity), m_colour(p->colour & 0x00FFFFFFu),
      m_params(*p)
{
    SetEmission(p->position, p->timeLimited, p->duration, p->totalCount, p->rate);
    if (!AlongPath()) {
        const Vec3 axis = Normalised(p->axis);
        m_along = axis * p->boxLength;
        const Vec3 side = Normalised(Cross(m_along, m_baseVelocity));
        m_across = side * p->boxWidth;
        m_directionAlong = axis * p->spreadAlong;
        m_directionAcross = side * p->spreadAcross;
    }
}

void CSmokesParticleSystem::StartPuff(CSmoke& puff, int k, float accumulatorBefore)
{
    const CSmokesSpringParametres& p = m_params;
    Vec3 start;
    Vec3 velocity;
    if (AlongPath()) {
        // The puffs of this frame spread evenly from the previous position
        // towards the current one.
        const Vec3 step = (m_position - m_previous) / (m_rate * accumulatorBefore);
        start = m_previous + step * static_cast<float>(k + 1);
        velocity = m_baseVelocity;
    } else {
        const float a = RandomUnit() - 0.5f;
        const float b = RandomUnit() - 0.5f;
        start = m_position + m_along * a + m_across * b;
        const float c = 2.0f * RandomUnit() - 1.0f;
        const float d = 2.0f * RandomUnit() - 1.0f;
        const Vec3 direction = Normalised(m_baseVelocity + m_directionAlong * c + m_directionAcross * d);
        velocity = direction * Spread(p.speed, p.speedSpread);
    }
    const float fade = Spread(p.fadeRate, p.fadeSpread);
    const float size = Spread(p.size, p.sizeSpread);
    const float growth = Spread(p.growth, p.growthSpread);
    const float rise = Spread(p.rise, p.riseSpread);
    puff.Init(m_colour, fade, start.x, start.y, start.z, velocity.x, velocity.y, velocity.z, size, growth,
              p.growthChange, rise);
    if (p.fadeInRate == 0.0f) {
        puff.alpha = 1.0f;
        return;
    }
    puff.fadeOutRate = puff.fadeRate;
    puff.fadeRate = -p.fadeInRate;
    puff.peakAlpha = m_peakAlpha;
    puff.alpha = 0.00001f;
}

bool CSmokesParticleSystem::Update(float dt)
{
    float accumulatorBefore = 0.0f;
    const int n = EmitCount(dt, &accumulatorBefore);
    PlaceParticles(m_particles, n, [&](int slot, int k) {
        StartPuff(m_particles[static_cast<size_t>(slot)], k, accumulatorBefore);
    });
    const CParticleEnvironment& env = *m_environment;
    return PassParticles(m_particles, [&](CSmoke& s, int) {
        s.Update(dt, env);
        return s.alpha > 0.0f && env.InsideKillBox(s.position);
    });
}

void CSmokesParticleSystem::FillBuffers(Vertex* out, uint16_t* indices, int firstVertex, int firstIndex)
{
    BeginFill(indices, firstVertex, firstIndex, m_liveCount);
    // Darkening smoke is drawn with its colour premultiplied and opaque.
    const bool darken = (m_flags & kSmokeBlendMask) == kSmokeDarken;
    ForEachLive([&](CSmoke& s) {
        float u = 0.0f, v = 0.0f;
        m_environment->AtlasCell(static_cast<float>(s.frame), &u, &v);
        const float alpha = s.alpha * m_opacityFactor;
        const uint32_t colour = darken ? 0xFF000000u | ByteOf(s.red * alpha) << 16 | ByteOf(s.green * alpha) << 8 |
                                             ByteOf(s.blue * alpha)
                                       : WithAlpha(alpha, s.colour);
        WriteBillboard(out, s.position, s.size, s.rotation, u, v, 0.25f, colour);
        out += 4;
    });
}

void CSmokesParticleSystem::MoveBy(float dx, float dy, float dz)
{
    TParticleSystem::MoveBy(dx, dy, dz);
    if (AlongPath())
        m_previous += V3(dx, dy, dz);
}

void CSmokesParticleSystem::SetOpacityFactor(float factor)
{
    m_opacityFactor = factor >= 0.0f ? std::min(factor, 1.0f) : (factor < 0.0f ? 0.0f : 1.0f);
}

void CSmokesParticleSystem::SetPosition(float x, float y, float z)
{
    m_previous = m_position;
    m_position = V3(x, y, z);
}
