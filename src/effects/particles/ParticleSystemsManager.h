// The owner of the running particle systems of one render layer. The game
// keeps six, one per particle layer of the frame; every effect owner gets a
// handle to the manager of the layer it draws in and makes its effects only
// through the six factories here. The game updates every manager once per
// frame, and the frame renderer calls the two drawing passes at the layer's
// place in the frame. All managers share the game's one dynamic vertex
// buffer and index buffer.
//
// The systems are kept far to near, so blended effects compose back to
// front; systems of equal depth keep their creation order.
#pragma once

#include "effects/particles/EffectParametres.h"
#include "effects/particles/ParticleEnvironment.h"
#include "effects/particles/ParticleSystem.h"
#include "engine/CountedHandle.h"
#include "engine/DeviceResources.h"
#include "engine/FrameLayers.h"
#include "engine/RenderDevice.h"

#include <vector>

class CParticleSystemsManager : public IParticleLayer {
public:
    CParticleSystemsManager(CountedHandle<CRenderDevice> device, CountedHandle<CVertexBuffer> vertices,
                            CountedHandle<CIndexBuffer> indices);
    ~CParticleSystemsManager() override;
    CParticleSystemsManager(const CParticleSystemsManager&) = delete;
    CParticleSystemsManager& operator=(const CParticleSystemsManager&) = delete;

    // The factories: a new system of `capacity` particle records built from
    // the record (read only during the call), drawn with `texture`. The
    // returned handle is a second reference the owner may keep or drop.
    CountedHandle<CParticleSystem> AddSparks(const CSparksSpringParametres* params, int capacity,
                                             CountedHandle<CTexture> texture);
    CountedHandle<CParticleSystem> AddSmokes(const CSmokesSpringParametres* params, int capacity,
                                             CountedHandle<CTexture> texture);
    CountedHandle<CParticleSystem> AddExplosion(const CExplosionParametres* params, int capacity,
                                                CountedHandle<CTexture> texture);
    CountedHandle<CParticleSystem> AddThunderbolt(const CThunderboltParametres* params, int capacity,
                                                  CountedHandle<CTexture> texture);
    CountedHandle<CParticleSystem> AddSpells(const CSpellsSpringParametres* params, int capacity,
                                             CountedHandle<CTexture> texture);
    CountedHandle<CParticleSystem> AddCollection2(const CCollection2Parametres* params, int capacity,
                                                  CountedHandle<CTexture> texture);

    // Advances every system and drops those that finished or were killed
    // (a killed system still gets this one last update).
    void Update(float dt);
    void RenderAlphaTested() override;
    void RenderBlended() override;

    // Shared by all the manager's systems; the game sets its kill box and its
    // eye right after making the manager.
    CParticleEnvironment& Environment() { return *m_environment; }
    const std::vector<CountedHandle<CParticleSystem>>& BlendedSystems() const { return m_blended; }

private:
    // Builds the system and inserts it far to near by the depth of `at`.
    template <class System, class Params>
    CountedHandle<CParticleSystem> Add(const Params* params, const Vec3& at, int capacity,
                                       CountedHandle<CTexture> texture);
    void UpdateList(std::vector<CountedHandle<CParticleSystem>>& list, float dt);
    // Buffer needs, locks, filling and unlocks of one system: false when a
    // lock failed and the pass has to end.
    bool FillSystem(CParticleSystem& system);
    void DrawSystem(const CParticleSystem& system, bool blended);

    std::vector<CountedHandle<CParticleSystem>> m_blended;
    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CVertexBuffer> m_vertexBuffer;
    CountedHandle<CIndexBuffer> m_indexBuffer;
    CountedHandle<CParticleEnvironment> m_environment;
    // Nothing adds to this list today; it is updated and drawn like the
    // blended one, in the alpha-tested pass.
    std::vector<CountedHandle<CParticleSystem>> m_alphaTested;
};
