// The particle-systems manager: factories, far-to-near order, pruning and the
// two drawing passes.
#include "effects/particles/ParticleSystemsManager.h"

#include "effects/particles/Collection2ParticleSystem.h"
#include "effects/particles/ExplosionParticleSystem.h"
#include "effects/particles/SmokesParticleSystem.h"
#include "effects/particles/SparksParticleSystem.h"
#include "effects/particles/SpellsParticleSystem.h"
#include "effects/particles/ThunderboltParticleSystem.h"
#include "engine/Log.h"

#include <utility>

using namespace d3d;

CParticleSystemsManager::CParticleSystemsManager(CountedHandle<CRenderDevice> device,
                                                 CountedHandle<CVertexBuffer> vertices,
                                                 CountedHandle<CIndexBuffer> indices)
    : m_device(std::move(device)), m_vertexBuffer(std::move(vertices)), m_indexBuffer(std::move(indices)),
      m_environment(MakeCountedHandle(new CParticleEnvironment()))
{
    m_blended.reserve(128);
    m_alphaTested.reserve(128);
}

CParticleSystemsManager::~CParticleSystemsManager() { WriteLog("Particle Systems manager destruction.\n"); }

template <class System, class Params>
CountedHandle<CParticleSystem> CParticleSystemsManager::Add(const Params* params, const Vec3& at, int capacity,
                                                            CountedHandle<CTexture> texture)
{
    if (!params)
        return {};
    const float depth = m_environment->Depth(at);
    CountedHandle<CParticleSystem> system = MakeCountedHandle<CParticleSystem>(
        new System(m_device, capacity, std::move(texture), m_vertexBuffer, m_indexBuffer, m_environment, params));
    // In front of the first nearer system, so equal depths keep their order.
    auto it = m_blended.begin();
    while (it != m_blended.end() && !(m_environment->Depth((*it)->Position()) < depth))
        ++it;
    m_blended.insert(it, system);
    return system;
}

CountedHandle<CParticleSystem> CParticleSystemsManager::AddSparks(const CSparksSpringParametres* p, int capacity,
                                                                  CountedHandle<CTexture> texture)
{
    return Add<CSparksParticleSystem>(p, p ? p->position : Vec3{}, capacity, std::move(texture));
}

CountedHandle<CParticleSystem> CParticleSystemsManager::AddSmokes(const CSmokesSpringParametres* p, int capacity,
                                                                  CountedHandle<CTexture> texture)
{
    return Add<CSmokesParticleSystem>(p, p ? p->position : Vec3{}, capacity, std::move(texture));
}

CountedHandle<CParticleSystem> CParticleSystemsManager::AddExplosion(const CExplosionParametres* p, int capacity,
                                                                     CountedHandle<CTexture> texture)
{
    return Add<CExplosionParticleSystem>(p, p ? p->centre : Vec3{}, capacity, std::move(texture));
}

CountedHandle<CParticleSystem> CParticleSystemsManager::AddThunderbolt(const CThunderboltParametres* p,
                                                                       int capacity,
                                                                       CountedHandle<CTexture> texture)
{
    return Add<CThunderboltParticleSystem>(p, p ? p->start : Vec3{}, capacity, std::move(texture));
}

CountedHandle<CParticleSystem> CParticleSystemsManager::AddSpells(const CSpellsSpringParametres* p, int capacity,
                                                                  CountedHandle<CTexture> texture)
{
    return Add<CSpellsParticleSystem>(p, p ? p->position : Vec3{}, capacity, std::move(texture));
}

CountedHandle<CParticleSystem> CParticleSystemsManager::AddCollection2(const CCollection2Parametres* p,
                                                                       int capacity,
                                                                       CountedHandle<CTexture> texture)
{
    return Add<CCollection2ParticleSystem>(p, p ? p->position : Vec3{}, capacity, std::move(texture));
}

void CParticleSystemsManager::UpdateList(std::vector<CountedHandle<CParticleSystem>>& list, float dt)
{
    size_t i = 0;
    while (i < list.size()) {
        CParticleSystem& system = *list[i];
        if (system.Update(dt) && !system.IsKilled())
            ++i;
        else
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CParticleSystemsManager::Update(float dt)
{
    UpdateList(m_blended, dt);
    UpdateList(m_alphaTested, dt);
}

bool CParticleSystemsManager::FillSystem(CParticleSystem& system)
{
    uint8_t* vertices = nullptr;
    uint8_t* indices = nullptr;
    int vertexCount = 0, indexCount = 0;
    system.GetBufferNeeds(vertexCount, indexCount);
    if (Failed(m_vertexBuffer->Lock(static_cast<uint32_t>(vertexCount), &vertices, 0)))
        return false;
    if (Failed(m_indexBuffer->Lock(static_cast<uint32_t>(indexCount), &indices, 0))) {
        m_vertexBuffer->Unlock();
        return false;
    }
    system.FillBuffers(reinterpret_cast<Vertex*>(vertices), reinterpret_cast<uint16_t*>(indices),
                       static_cast<int>(m_vertexBuffer->LockStart()),
                       static_cast<int>(m_indexBuffer->LockStart()));
    m_indexBuffer->Unlock();
    m_vertexBuffer->Unlock();
    return true;
}

namespace {

bool HasWork(const CParticleSystem& system)
{
    int vertices = 0, indices = 0;
    system.GetBufferNeeds(vertices, indices);
    return vertices > 0 && indices > 0;
}

} // namespace

void CParticleSystemsManager::RenderAlphaTested()
{
    // Buffers released for a device reset have no device object to lock.
    if (!m_device || !m_vertexBuffer || !m_indexBuffer || !m_vertexBuffer->buffer || !m_indexBuffer->buffer)
        return;
    for (const CountedHandle<CParticleSystem>& handle : m_alphaTested) {
        CParticleSystem& system = *handle;
        if (!HasWork(system))
            continue;
        if (!FillSystem(system))
            return;
        DrawSystem(system, false);
    }
}

void CParticleSystemsManager::RenderBlended()
{
    if (!m_device || !m_vertexBuffer || !m_indexBuffer || !m_vertexBuffer->buffer || !m_indexBuffer->buffer)
        return;
    for (const CountedHandle<CParticleSystem>& handle : m_blended) {
        CParticleSystem& system = *handle;
        if (!HasWork(system))
            continue;
        if (!FillSystem(system))
            break;
        DrawSystem(system, true);
    }
}

// The alpha-tested pass keeps texels over half alpha and draws them opaque;
// the blended pass blends the system's way. Additive, multiplying and
// darkening effects take black fog: a fog colour added or multiplied in
// would light or tint them wrongly.
void CParticleSystemsManager::DrawSystem(const CParticleSystem& system, bool blended)
{
    if (system.LiveCount() <= 0)
        return;
    PassState pass;
    pass.alphaTest = system.AlphaTest();
    pass.alphaRef = blended ? 0 : 128;
    pass.blend = blended ? PassBlend::Factors(system.SourceBlend(), system.DestBlend()) : PassBlend::Opaque();
    pass.fog = blended ? PassFog::BlackWhenAdding : PassFog::Frame;
    pass.texture = system.Texture();
    m_device->DrawPass(pass, system.Quads());
}
