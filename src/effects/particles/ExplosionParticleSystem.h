// An explosion: every fireball thrown in one burst at the first update, in
// random directions or as a ring around a direction; the system ends with
// its last fireball. Its position is the burst's centre, so it sorts where it
// stands and MoveBy carries it with the fireballs.
#pragma once

#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/particles/Particles.h"

class CExplosionParticleSystem : public TParticleSystem<CFireball> {
public:
    CExplosionParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                             CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                             CountedHandle<CParticleEnvironment> environment, const CExplosionParametres* params);

    bool Update(float dt) override;
    void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex) override;

private:
    void Burst();

    CExplosionParametres m_params;
    Vec3 m_ring1, m_ring2; // unit vectors across the direction, for the ring
};
