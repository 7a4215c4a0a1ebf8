// The keeper-driven system: the keeper protocol's call order and the quads of
// keeper particles with their own corners and texture coordinates.
#include "effects/particles/Collection2ParticleSystem.h"

#include "effects/particles/ParticleMath.h"

#include <cmath>

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

// A particle showing a whole cell of a 4 x 4 atlas with the whole square
// shows only the part of the cell where texels can be seen: the grains and
// puffs sit in the middle of cells with wide see-through margins, which
// would cost their pixels all the same (when the blend weighs texels by
// their alpha).
void TrimToVisibleCell(CCollectedParticle2& p, CTexture& atlas)
{
    const float u0 = p.uv[0][0], v0 = p.uv[0][1];
    const float cellU = std::floor(u0 * 4.0f + 0.5f) / 4.0f, cellV = std::floor(v0 * 4.0f + 0.5f) / 4.0f;
    const bool wholeCell = u0 == cellU && v0 == cellV && p.uv[2][0] == u0 + 0.25f && p.uv[2][1] == v0 + 0.25f &&
                           p.uv[1][0] == p.uv[2][0] && p.uv[1][1] == v0 && p.uv[3][0] == u0 &&
                           p.uv[3][1] == p.uv[2][1];
    const bool square =
        p.corners[0][0] == -0.5f && p.corners[0][1] == 0.5f && p.corners[2][0] == 0.5f && p.corners[2][1] == -0.5f;
    if (!wholeCell || !square || cellU > 0.75f || cellV > 0.75f)
        return;
    const int cell = static_cast<int>(cellU * 4.0f) + 4 * static_cast<int>(cellV * 4.0f);
    const CTexture::UvRect& b = atlas.AtlasCellBounds(cell);
    // From the cell's texture coordinates to the square's corners: u across,
    // v down while the corners run up.
    const float left = (b.u0 - u0) * 4.0f - 0.5f, right = (b.u1 - u0) * 4.0f - 0.5f;
    const float top = 0.5f - (b.v0 - v0) * 4.0f, bottom = 0.5f - (b.v1 - v0) * 4.0f;
    const float corner[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    const float uv[4][2] = {{b.u0, b.v0}, {b.u1, b.v0}, {b.u1, b.v1}, {b.u0, b.v1}};
    for (int k = 0; k < 4; ++k) {
        p.corners[k][0] = corner[k][0];
        p.corners[k][1] = corner[k][1];
        p.uv[k][0] = uv[k][0];
        p.uv[k][1] = uv[k][1];
    }
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
    // Texels without alpha add nothing only where the source is weighed by
    // its alpha; a multiplying system shows their colour.
    CTexture* atlas = SourceBlend() == D3DBLEND_SRCALPHA ? m_texture.Get() : nullptr;
    PlaceParticles(m_particles, n, [&](int slot, int) {
        CCollectedParticle2& p = m_particles[static_cast<size_t>(slot)];
        if (keeper.InitParticle(slot, p, m_position.x, m_position.y, m_position.z) && atlas)
            TrimToVisibleCell(p, *atlas);
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
