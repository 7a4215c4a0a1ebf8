// The particle-system base: an emitter with a position, a fixed array of
// particle records, a timing rule for how many particles are born each frame,
// a per-frame update that moves and kills them, and the vertex filling that
// turns each live particle into one camera-facing quad.
//
// Systems are made only by the factories of CParticleSystemsManager, which
// updates and draws them; an owner keeps the returned handle to move, aim,
// stop or kill its effect.
#pragma once

#include "effects/particles/ParticleEnvironment.h"
#include "engine/CountedHandle.h"
#include "engine/DeviceResources.h"
#include "engine/RenderDevice.h"
#include "engine/Settings.h"
#include "engine/Vertex.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

class CParticleSystem {
public:
    CParticleSystem(CountedHandle<CRenderDevice> device, CountedHandle<CTexture> texture,
                    CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices, bool alphaTest,
                    uint32_t sourceBlend, uint32_t destBlend, CountedHandle<CParticleEnvironment> environment);
    virtual ~CParticleSystem();
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    // Advances the system by dt seconds: true while it emits or any particle
    // lives.
    virtual bool Update(float dt);
    // Writes one quad (4 vertices, 6 absolute 16-bit indices) per live
    // particle, numbering the vertices from `firstVertex`.
    virtual void FillBuffers(Vertex* vertices, uint16_t* indices, int firstVertex, int firstIndex);
    // The quads written by the last FillBuffers.
    PassDraw Quads() const
    {
        return PassDraw::Quads(static_cast<uint32_t>(m_firstVertex), static_cast<uint32_t>(m_firstIndex),
                               static_cast<uint32_t>(m_liveCount));
    }
    virtual void GetBufferNeeds(int& vertices, int& indices) const;
    // The manager drops the system at its next update.
    virtual void Kill();
    // A time-limited system ends emission at its next update; live particles
    // run out on their own.
    virtual void StopEmitting();
    // Moves the emitter and every live particle.
    virtual void MoveBy(float dx, float dy, float dz);
    // Kinds that follow a moving emitter (smokes, spells) remember where it
    // was and spread the next particles along the move; the others ignore it.
    virtual void SetPosition(float x, float y, float z);
    // Thunderbolts take new end points and lay their bolts out at once (see
    // CThunderboltParticleSystem); the others ignore it and answer false.
    // Kinds that fade as a whole (smokes) multiply every particle's opacity
    // by the factor (0 .. 1) when they draw; the others ignore it.
    virtual void SetOpacityFactor(float factor);
    virtual bool Aim(float startX, float startY, float startZ, float startVectorX, float startVectorY,
                     float startVectorZ, float startLength, float endX, float endY, float endZ, float endVectorX,
                     float endVectorY, float endVectorZ, float endLength);

    const Vec3& Position() const { return m_position; }
    // One past the highest slot that may hold a live particle.
    int HighWater() const { return m_highWater; }
    int LiveCount() const { return m_liveCount; }
    bool IsEmitting() const { return m_emitting; }
    bool IsKilled() const { return m_stop; }
    float Elapsed() const { return m_elapsed; }
    float Accumulator() const { return m_accumulator; }
    bool AlphaTest() const { return m_alphaTest; }
    uint32_t SourceBlend() const { return m_sourceBlend; }
    uint32_t DestBlend() const { return m_destBlend; }
    const CountedHandle<CTexture>& Texture() const { return m_texture; }

protected:
    // Where the system starts and its emission rule, from its record.
    void SetEmission(const Vec3& position, bool timeLimited, float duration, int totalCount, float rate);
    // The emission step of the sparks, smokes and spells: counts the
    // particles born this frame (at most the capacity) and cuts dt at the end
    // of a time limit. `dt` is the rest of the frame afterwards;
    // `accumulatorBefore` receives the accumulator before the born particles
    // were taken from it.
    int EmitCount(float& dt, float* accumulatorBefore = nullptr);
    // Ends emission when a time-limited system's time is up, cutting dt to
    // the part before the end.
    void AdvanceTimeLimit(float& dt);
    // One past the highest live slot, after the particle in the top slot died.
    template <class P>
    void ShrinkHighWater(const std::vector<P>& particles)
    {
        while (m_highWater > 0 && !particles[static_cast<size_t>(m_highWater - 1)].alive)
            --m_highWater;
    }
    // Puts n particles into free slots from slot 0 upwards and, when the free
    // slots run out, restarts slots 0, 1, 2, ... in order. init(slot, k) starts
    // the k-th new particle (k from 0).
    template <class P, class Init>
    void PlaceParticles(std::vector<P>& particles, int n, Init init)
    {
        int slot = 0;
        int k = 0;
        int lastSearched = -1;
        for (; k < n; ++k) {
            while (slot < m_capacity && particles[static_cast<size_t>(slot)].alive)
                ++slot;
            if (slot >= m_capacity) {
                lastSearched = m_capacity - 1;
                break;
            }
            init(slot, k);
            lastSearched = slot++;
        }
        for (int again = 0; k < n; ++k, ++again)
            init(again, k);
        m_highWater = std::min(std::max(m_highWater, lastSearched + 1), m_capacity);
    }
    // The particle pass: update(p, slot) advances a live particle and answers
    // whether it lives on. Returns whether the system is alive.
    template <class P, class Advance>
    bool PassParticles(std::vector<P>& particles, Advance update)
    {
        m_liveCount = 0;
        bool result = m_emitting;
        for (int i = 0; i < m_highWater; ++i) {
            P& p = particles[static_cast<size_t>(i)];
            if (!p.alive)
                continue;
            if (!update(p, i)) {
                p.alive = false;
                if (i == m_highWater - 1)
                    ShrinkHighWater(particles);
                continue;
            }
            ++m_liveCount;
            result = true;
        }
        return result;
    }
    // Records where the filling starts and writes the six indices of every
    // quad to come.
    void BeginFill(uint16_t* indices, int firstVertex, int firstIndex, int quads);
    // A quad from `corner` across and along two edges, showing the texture
    // square from (u, v) with side `uvSize`: u runs across, v along.
    static void WriteQuad(Vertex* out, const Vec3& corner, const Vec3& across, const Vec3& along, uint32_t colour,
                          float u = 0.0f, float v = 0.0f, float uvSize = 1.0f)
    {
        const Vec3 c1{corner.x + across.x, corner.y + across.y, corner.z + across.z};
        out[0] = {corner.x, corner.y, corner.z, colour, u, v, 0.0f, 0.0f};
        out[1] = {c1.x, c1.y, c1.z, colour, u + uvSize, v, 0.0f, 0.0f};
        out[2] = {c1.x + along.x, c1.y + along.y, c1.z + along.z, colour, u + uvSize, v + uvSize, 0.0f, 0.0f};
        out[3] = {corner.x + along.x, corner.y + along.y, corner.z + along.z, colour, u, v + uvSize, 0.0f, 0.0f};
    }
    // A square of side `size` facing the camera, turned by `rotation`, showing
    // the texture square from (u, v) with side `uvSize`.
    void WriteBillboard(Vertex* out, const Vec3& centre, float size, float rotation, float u, float v,
                        float uvSize, uint32_t colour) const
    {
        float s = 0.0f, c = 0.0f;
        m_environment->SinCos(rotation, &s, &c);
        const CParticleCamera& view = *m_environment->view;
        // The camera's right and up turned by the rotation, scaled to the size.
        const float ax = size * c, ay = size * s;
        const Vec3 right{view.right.x * ax + view.up.x * ay, view.right.y * ax + view.up.y * ay,
                         view.right.z * ax + view.up.z * ay};
        const Vec3 down{view.right.x * ay - view.up.x * ax, view.right.y * ay - view.up.y * ax,
                        view.right.z * ay - view.up.z * ax};
        const Vec3 topLeft{centre.x - 0.5f * (right.x + down.x), centre.y - 0.5f * (right.y + down.y),
                           centre.z - 0.5f * (right.z + down.z)};
        WriteQuad(out, topLeft, right, down, colour, u, v, uvSize);
    }

    Vec3 m_position;
    int m_capacity = 0;
    int m_highWater = 0;
    bool m_emitting = true;
    CountedHandle<CParticleEnvironment> m_environment;
    bool m_timeLimited = true;
    float m_duration = 0.0f;
    float m_rate = 0.0f;
    float m_elapsed = 0.0f;
    int m_remainingCount = 0;
    float m_accumulator = 0.0f;
    int m_liveCount = 0;
    int m_firstVertex = 0;
    int m_firstIndex = 0;
    bool m_stop = false;
    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CTexture> m_texture;
    CountedHandle<CVertexBuffer> m_vertexBuffer;
    CountedHandle<CIndexBuffer> m_indexBuffer;
    bool m_alphaTest;
    uint32_t m_sourceBlend;
    uint32_t m_destBlend;
};

// The systems whose particles live in one array of record type P.
template <class P>
class TParticleSystem : public CParticleSystem {
public:
    const P& Particle(int slot) const { return m_particles[static_cast<size_t>(slot)]; }
    void GetBufferNeeds(int& vertices, int& indices) const override
    {
        vertices = 4 * m_liveCount;
        indices = 6 * m_liveCount;
    }
    void MoveBy(float dx, float dy, float dz) override
    {
        CParticleSystem::MoveBy(dx, dy, dz);
        for (int i = 0; i < m_highWater; ++i)
            if (m_particles[static_cast<size_t>(i)].alive)
                m_particles[static_cast<size_t>(i)].MoveBy(dx, dy, dz);
    }

protected:
    // Calls fn(particle) for every live particle in slot order, at most as
    // many as the last update counted (what the buffers were sized for).
    template <class Fn>
    void ForEachLive(Fn fn)
    {
        int seen = 0;
        for (int i = 0; i < m_highWater && seen < m_liveCount; ++i) {
            P& p = m_particles[static_cast<size_t>(i)];
            if (!p.alive)
                continue;
            ++seen;
            fn(p);
        }
    }

    TParticleSystem(CountedHandle<CRenderDevice> device, int capacity, CountedHandle<CTexture> texture,
                    CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                    CountedHandle<CParticleEnvironment> environment, uint32_t sourceBlend, uint32_t destBlend)
        : CParticleSystem(std::move(device), std::move(texture), std::move(vertices), std::move(indices), true,
                          sourceBlend, destBlend, std::move(environment))
    {
        m_capacity = std::max(capacity, 0);
        m_particles.resize(static_cast<size_t>(m_capacity));
    }

    std::vector<P> m_particles;
};
