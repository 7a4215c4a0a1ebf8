// Thunderbolts: lay-out of the bolts, flickering points and segment quads.
#include "effects/particles/ThunderboltParticleSystem.h"

#include "effects/particles/ParticleMath.h"
#include "engine/Log.h"

#include <string>

using namespace d3d;
using namespace fx;

namespace {

// Owners scale the segments by configured factors, so a bolt that does not
// fit its capacity is a setting to look at, said once per run.
bool g_cutSaid = false;

void ReportCut(int bolts, int segments, int capacity, int keptBolts, int keptSegments)
{
    if (g_cutSaid)
        return;
    g_cutSaid = true;
    WriteLog("Thunderbolt of " + std::to_string(bolts) + " bolts x " + std::to_string(segments) +
             " segments does not fit " + std::to_string(capacity) + " particles; drawing " +
             std::to_string(keptBolts) + " x " + std::to_string(keptSegments) + ".\n");
}

} // namespace

void CThunderboltParticleSystem::ForgetTheCutSaidForTests() { g_cutSaid = false; }

CThunderboltParticleSystem::CThunderboltParticleSystem(CountedHandle<CRenderDevice> device, int capacity,
                                                       CountedHandle<CTexture> texture,
                                                       CountedHandle<CVertexBuffer> vertices,
                                                       CountedHandle<CIndexBuffer> indices,
                                                       CountedHandle<CParticleEnvironment> environment,
                                                       const CThunderboltParametres* p)
    : TParticleSystem(std::move(device), capacity, std::move(texture), std::move(vertices), std::move(indices),
                      std::move(environment), D3DBLEND_SRCALPHA, D3DBLEND_ONE),
      m_a1(Normalised(p->startVector1) * p->startLength1), m_a2(Normalised(p->startVector2) * p->startLength2),
      m_startJitter(p->startJitter), m_end(p->end), m_b1(Normalised(p->endVector1) * p->endLength1),
      m_b2(Normalised(p->endVector2) * p->endLength2), m_endJitter(p->endJitter),
      m_colour(p->colour & 0x00FFFFFFu), m_size(p->particleSize), m_segments(p->segments), m_bolts(p->bolts),
      m_delay(p->delay)
{
    m_position = p->start;
    m_timeLimited = true;
    m_duration = p->duration;
    if (m_segments < 1 || m_bolts < 1) {
        m_segments = 0;
        m_bolts = 0;
    } else if (static_cast<long long>(m_bolts) * (m_segments + 1) > m_capacity) {
        const int keptBolts = m_capacity / (m_segments + 1);
        const int keptSegments = keptBolts > 0 ? m_segments : m_capacity - 1;
        ReportCut(m_bolts, m_segments, m_capacity, keptBolts > 0 ? keptBolts : 1, keptSegments);
        m_bolts = keptBolts > 0 ? keptBolts : 1;
        m_segments = keptSegments;
        if (m_segments < 1) {
            m_segments = 0;
            m_bolts = 0;
        }
    }
    m_points.resize(static_cast<size_t>(m_segments + 1));
    m_jitters.resize(static_cast<size_t>(m_segments + 1));
}

void CThunderboltParticleSystem::LayOut(Vec3* points, float* jitters) const
{
    const float a = RandomUnit() - 0.5f;
    const float b = RandomUnit() - 0.5f;
    const Vec3 s = m_position + m_a1 * a + m_a2 * b;
    const float c = RandomUnit() - 0.5f;
    const float d = RandomUnit() - 0.5f;
    const Vec3 e = m_end + m_b1 * c + m_b2 * d;
    for (int j = 0; j <= m_segments; ++j) {
        const float t = static_cast<float>(j) / static_cast<float>(m_segments);
        points[j] = s + (e - s) * t;
        jitters[j] = m_startJitter + (m_endJitter - m_startJitter) * t;
    }
}

bool CThunderboltParticleSystem::Update(float dt)
{
    m_elapsed += dt;
    if (m_delay > m_elapsed)
        return true;
    const int pointsPerBolt = m_segments + 1;
    if (m_emitting) {
        for (int bolt = 0; bolt < m_bolts; ++bolt) {
            LayOut(m_points.data(), m_jitters.data());
            for (int j = 0; j < pointsPerBolt; ++j) {
                const Vec3& p = m_points[static_cast<size_t>(j)];
                m_particles[static_cast<size_t>(bolt * pointsPerBolt + j)].Init(
                    m_colour, p.x, p.y, p.z, m_jitters[static_cast<size_t>(j)], m_size);
            }
        }
        m_highWater = m_bolts * pointsPerBolt;
        m_emitting = false;
    }
    for (int bolt = 0; bolt < m_bolts; ++bolt) {
        LayOut(m_points.data(), m_jitters.data());
        for (int j = 0; j < pointsPerBolt; ++j) {
            CThunderbolt& point = m_particles[static_cast<size_t>(bolt * pointsPerBolt + j)];
            point.position = m_points[static_cast<size_t>(j)];
            point.jitter = m_jitters[static_cast<size_t>(j)];
            if (j > 0 && j < m_segments) {
                point.Update(dt);
            } else {
                point.shown = point.position;
                point.brightness = RandomUnit() * 0.25f + 0.75f;
            }
        }
    }
    m_liveCount = m_segments * m_bolts;
    return m_elapsed < m_duration;
}

void CThunderboltParticleSystem::FillBuffers(Vertex* out, uint16_t* indices, int firstVertex, int firstIndex)
{
    BeginFill(indices, firstVertex, firstIndex, m_liveCount);
    const Vec3 forward = m_environment->view->forward;
    const int pointsPerBolt = m_segments + 1;
    for (int bolt = 0; bolt < m_bolts; ++bolt) {
        for (int j = 0; j < m_segments; ++j) {
            const CThunderbolt& p = m_particles[static_cast<size_t>(bolt * pointsPerBolt + j)];
            const CThunderbolt& q = m_particles[static_cast<size_t>(bolt * pointsPerBolt + j + 1)];
            const Vec3 d = q.shown - p.shown;
            const Vec3 side = Normalised(Cross(d, forward)) * p.size;
            const float length = Length(d);
            // Each quad reaches half a size beyond both of its points, so
            // neighbouring segments overlap.
            const Vec3 ext = length == 0.0f ? Vec3{} : d * (p.size / 2.0f / length);
            WriteQuad(out, p.shown - side * 0.5f - ext, side, d + ext * 2.0f, WithAlpha(p.brightness, p.colour));
            out += 4;
        }
    }
}

void CThunderboltParticleSystem::MoveBy(float dx, float dy, float dz)
{
    TParticleSystem::MoveBy(dx, dy, dz);
    m_end += V3(dx, dy, dz);
}

bool CThunderboltParticleSystem::Aim(float sx, float sy, float sz, float svx, float svy, float svz, float sl,
                                     float ex, float ey, float ez, float evx, float evy, float evz, float el)
{
    m_position = V3(sx, sy, sz);
    m_a1 = Normalised(V3(svx, svy, svz)) * sl;
    m_end = V3(ex, ey, ez);
    m_b1 = Normalised(V3(evx, evy, evz)) * el;
    m_elapsed -= 1.0f;
    return Update(1.0f);
}
