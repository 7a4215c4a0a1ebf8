// Sparks: short streaks thrown out in a fan (or in all directions) that fall
// under gravity and fade; drawn additively, head first along their flight.
#pragma once

#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/particles/Particles.h"

class CSparksParticleSystem : public TParticleSystem<CSpark> {
public:
    CSparksParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                          CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                          CountedHandle<CParticleEnvironment> environment, const CSparksSpringParametres* params);

    bool Update(float dt) override;
    void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex) override;

    // Given to every new spark: owners set it right after creating the
    // system so that their sparks fall at a chosen acceleration.
    float gravityFactor = 1.0f;

private:
    Vec3 StartVelocity() const;

    Vec3 m_baseVelocity;
    float m_fanWidth;
    float m_sideSpread;
    uint32_t m_colour;
    float m_fadeRate;
    float m_width;
    float m_lengthFactor;
    float m_maxLength;
    bool m_sphereMode;
    Vec3 m_axisHalf; // half the fan's extent along its axis
    Vec3 m_sideHalf; // half its extent across
};
