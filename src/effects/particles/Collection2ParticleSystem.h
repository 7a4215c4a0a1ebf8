// The keeper-driven particle system: it owns an array of CCollectedParticle2
// records, the time limit, the vertex filling and the drawing, and leaves
// birth, motion and death to its keeper. Without the keeper flag it shows a
// set of records prepared by its owner, once; such particles never die by
// themselves, so the owner ends the system with Kill.
#pragma once

#include "effects/keepers/Collection2Keeper.h"
#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/particles/Particles.h"

class CCollection2ParticleSystem : public TParticleSystem<CCollectedParticle2> {
public:
    CCollection2ParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                               CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                               CountedHandle<CParticleEnvironment> environment,
                               const CCollection2Parametres* params);

    bool Update(float dt) override;
    void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex) override;

    // The particle array as far as it is used, for keepers that follow
    // another system's particles.
    const std::vector<CCollectedParticle2>& Particles() const { return m_particles; }
    const CountedHandle<CCollection2Keeper>& Keeper() const { return m_keeper; }

    // Multiplies every particle's alpha when drawn; owners change it while
    // the system runs to fade the whole effect.
    float alphaFactor;

private:
    void EmitFromKeeper(float dt);
    void ShowPrepared();

    bool m_keeperFlag;
    std::vector<CCollectedParticle2> m_prepared;
    CountedHandle<CCollection2Keeper> m_keeper;
};
