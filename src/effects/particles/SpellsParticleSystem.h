// Spells: rotating sparkles that fade in and out, flying away from the
// emitter or converging onto it, emitted along the emitter's path.
#pragma once

#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/particles/Particles.h"

class CSpellsParticleSystem : public TParticleSystem<CSpell> {
public:
    CSpellsParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                          CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                          CountedHandle<CParticleEnvironment> environment, const CSpellsSpringParametres* params);

    bool Update(float dt) override;
    void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex) override;
    void MoveBy(float dx, float dy, float dz) override;
    // The next sparkles spread from the old position to this one.
    void SetPosition(float x, float y, float z) override;

private:
    void StartSparkle(CSpell& sparkle, const Vec3& point);

    Vec3 m_previous;
    CSpellsSpringParametres m_params;
};
