// Sparks: emission in a fan or a sphere, and streak filling.
#include "effects/particles/SparksParticleSystem.h"

#include "effects/particles/ParticleMath.h"

#include <algorithm>

using namespace d3d;
using namespace fx;

CSparksParticleSystem::CSparksParticleSystem(CountedHandle<CRenderDevice> device, int capacity,
                                             CountedHandle<CTexture> texture,
                                             CountedHandle<CVertexBuffer> vertices,
                                             CountedHandle<CIndexBuffer> indices,
                                             CountedHandle<CParticleEnvironment> environment,
                                             const CSparksSpringParametres* p)
    : TParticleSystem(std::move(device), capacity, std::move(texture), std::move(vertices), std::move(indices),
                      std::move(environment), D3DBLEND_SRCALPHA, D3DBLEND_ONE),
      m_baseVelocity(p->velocity), m_fanWidth(p->fanWidth), m_sideSpread(p->sideSpread),
      m_colour(p->colour & 0x00FFFFFFu), m_fadeRate(p->fadeRate), m_width(p->width),
      m_lengthFactor(p->lengthFactor), m_maxLength(p->maxLength), m_sphereMode(p->sphereMode)
{
    SetEmission(p->position, p->timeLimited, p->duration, p->totalCount, p->rate);
    const Vec3 axis = Normalised(p->fanAxis, V3(1.0f, 0.0f, 0.0f));
    m_axisHalf = axis * (m_fanWidth * 0.5f);
    m_sideHalf = Normalised(Cross(m_baseVelocity, axis)) * (m_sideSpread * 0.5f);
}

Vec3 CSparksParticleSystem::StartVelocity() const
{
    if (!m_sphereMode) {
        const float along = 2.0f * RandomUnit() - 1.0f;
        const float across = 2.0f * RandomUnit() - 1.0f;
        const float factor = 0.5f * RandomUnit() + 0.5f;
        return (m_baseVelocity + m_axisHalf * along + m_sideHalf * across) * factor;
    }
    const float qx = RandomUnit() - 0.5f;
    const float qy = RandomUnit() - 0.5f;
    const float qz = RandomUnit() - 0.5f;
    const Vec3 q = V3(qx, qy, qz);
    float length = Length(q);
    if (length == 0.0f)
        length = 1.0f;
    return m_baseVelocity + q * (Spread(m_fanWidth, m_sideSpread) / length);
}

bool CSparksParticleSystem::Update(float dt)
{
    const int n = EmitCount(dt);
    PlaceParticles(m_particles, n, [&](int slot, int) {
        const Vec3 v = StartVelocity();
        CSpark& s = m_particles[static_cast<size_t>(slot)];
        s.Init(m_colour, m_fadeRate, m_position.x, m_position.y, m_position.z, v.x, v.y, v.z, m_width,
               m_lengthFactor, m_maxLength);
        s.gravityFactor = gravityFactor;
    });
    const CParticleEnvironment& env = *m_environment;
    return PassParticles(m_particles, [&](CSpark& s, int) {
        s.Update(dt, env);
        return s.alpha > 0.0f && env.InsideKillBox(s.position);
    });
}

void CSparksParticleSystem::FillBuffers(Vertex* out, uint16_t* indices, int firstVertex, int firstIndex)
{
    BeginFill(indices, firstVertex, firstIndex, m_liveCount);
    const Vec3 forward = m_environment->view->forward;
    ForEachLive([&](CSpark& s) {
        const float speed = Length(s.velocity);
        s.length = std::max(s.size, std::min(speed * s.lengthPerSpeed, s.maxLength));
        const Vec3 d = speed == 0.0f ? V3(s.length, 0.0f, 0.0f) : s.velocity * (s.length / speed);
        const Vec3 side = Normalised(Cross(d, forward)) * s.size;
        // The texture's v = 0 edge is the head of the streak.
        WriteQuad(out, s.position + d * 0.5f - side * 0.5f, side, -d, WithAlpha(s.alpha, s.colour));
        out += 4;
    });
}
