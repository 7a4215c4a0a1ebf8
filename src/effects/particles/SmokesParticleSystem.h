// Smoke: rotating, growing, drifting puffs from a 4 x 4 atlas, born in a box
// around the emitter or spread along its path, alpha-blended, additive or
// darkening.
#pragma once

#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/particles/Particles.h"

class CSmokesParticleSystem : public TParticleSystem<CSmoke> {
public:
    CSmokesParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                          CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                          CountedHandle<CParticleEnvironment> environment, const CSmokesSpringParametres* params);

    bool Update(float dt) override;
    void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex) override;
    void MoveBy(float dx, float dy, float dz) override;
    // Along a path the next puffs spread from the old position to this one.
    void SetPosition(float x, float y, float z) override;
    // Held to 0 .. 1; not a number reads as 1.
    void SetOpacityFactor(float factor) override;
    float OpacityFactor() const { return m_opacityFactor; }

private:
    bool AlongPath() const { return (m_flags & kSmokeAlongPath) != 0; }
    void StartPuff(CSmoke& puff, int k, float accumulatorBefore);

    int m_flags;
    Vec3 m_previous;
    Vec3 m_baseVelocity;
    uint32_t m_colour;
    CSmokesSpringParametres m_params; // speeds, sizes, growth and fades
    float m_peakAlpha = 1.0f;
    float m_opacityFactor = 1.0f;
    // The emission box: start offsets along and across its axis, and the
    // direction offsets of the puffs.
    Vec3 m_along, m_across, m_directionAlong, m_directionAcross;
};
