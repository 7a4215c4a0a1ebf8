// The keeper-driven system: the keeper protocol's call order and the quads of
// keeper particles with their own corners and texture coordinates.
#include "effects/particles/Collection2ParticleSystem.h"

#include "effects/particles/ParticleMath.h"

using namespace d3d;
using namespace fx;

namespace {

uint32_t SourceOf(int mode) { return mode == kCollectionMultiply ? D3DBLEND_DESTCOLOR : D3DBLEND_SRCALPHA; }

uint32_t DestOf(int mode)
{
    if (mode == kCollectionMultiply)
        return D3DBLEND_ZERO;
    return mode == kCollectionAlphaBlend ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE;
}

} // namespace

CCollection2ParticleSystem::CCollection2ParticleSystem(CountedHandle<CRenderDevice> device, int capacity,
                                                       CountedHandle<CTexture> texture,
                                                       CountedHandle<CVertexBuffer> vertices,
                                                       CountedHandle<CIndexBuffer> indices,
                                                       CountedHandle<CParticleEnvironment> environment,
                                                       const CCollection2Parametres* p)
    : TParticleSystem(std::move(device), capacity, std::move(texture), std::move(vertices), std::move(indices),
                      std::move(environment), SourceOf(p->blendMode), DestOf(p->blendMode)),
      alphaFactor(p->alphaFactor), m_keeperFlag(p->keeperFlag), m_keeper(p->keeper)
{
    if (p->prepared)
        m_prepared = *p->prepared;
    SetEmission(p->position, p->timeLimited, p->duration, p->totalCount, p->rate);
}

void CCollection2ParticleSystem::EmitFromKeeper(float dt)
{
    CCollection2Keeper& keeper = *m_keeper;
    if (!keeper.IsEmitting()) {
        m_emitting = false;
        return;
    }
    const int n = std::min(keeper.GetEmitCount(dt), m_capacity);
    if (n <= 0)
        return;
    PlaceParticles(m_particles, n, [&](int slot, int) {
        keeper.InitParticle(slot, m_particles[static_cast<size_t>(slot)], m_position.x, m_position.y,
                            m_position.z);
    });
}

void CCollection2ParticleSystem::ShowPrepared()
{
    const int n = std::min(static_cast<int>(m_prepared.size()), m_capacity);
    PlaceParticles(m_particles, n, [&](int slot, int k) {
        m_particles[static_cast<size_t>(slot)] = m_prepared[static_cast<size_t>(k)];
    });
    m_emitting = false;
}

bool CCollection2ParticleSystem::Update(float dt)
{
    AdvanceTimeLimit(dt);
    if (m_keeper && !m_keeper->FollowOrigin(m_position.x, m_position.y, m_position.z, dt))
        m_emitting = false;
    if (m_emitting) {
        if (m_keeperFlag && m_keeper)
            EmitFromKeeper(dt);
        else
            ShowPrepared();
    }
    if (!m_keeper)
        return PassParticles(m_particles, [](CCollectedParticle2&, int) { return true; });
    CCollection2Keeper& keeper = *m_keeper;
    return PassParticles(m_particles, [&](CCollectedParticle2& p, int slot) {
        return keeper.UpdateParticle(slot, p, dt, m_position.x, m_position.y, m_position.z);
    });
}

void CCollection2ParticleSystem::FillBuffers(Vertex* out, uint16_t* indices, int firstVertex, int firstIndex)
{
    BeginFill(indices, firstVertex, firstIndex, m_liveCount);
    const CParticleCamera& view = *m_environment->view;
    ForEachLive([&](CCollectedParticle2& p) {
        float s = 0.0f, c = 0.0f;
        m_environment->SinCos(p.rotation, &s, &c);
        const Vec3 axisX = (view.right * c + view.up * s) * p.width;
        const Vec3 axisY = (view.up * c - view.right * s) * p.height;
        const uint32_t colour = ByteOf(p.alpha * 255.0f * alphaFactor) << 24 | (p.colour & 0x00FFFFFFu);
        for (int k = 0; k < 4; ++k) {
            const Vec3 v = p.position + axisX * p.corners[k][0] + axisY * p.corners[k][1];
            out[k] = {v.x, v.y, v.z, colour, p.uv[k][0], p.uv[k][1], 0.0f, 0.0f};
        }
        out += 4;
    });
}
