// The particle-system base: timing, emission count and drawing.
#include "effects/particles/ParticleSystem.h"

#include "effects/particles/ParticleMath.h"

#include <cmath>
#include <utility>

using namespace d3d;
using namespace fx;

CParticleSystem::CParticleSystem(CountedHandle<CRenderDevice> device, CountedHandle<CTexture> texture,
                                 CountedHandle<CVertexBuffer> vertices, CountedHandle<CIndexBuffer> indices,
                                 bool alphaTest, uint32_t sourceBlend, uint32_t destBlend,
                                 CountedHandle<CParticleEnvironment> environment)
    : m_environment(std::move(environment)), m_device(std::move(device)), m_texture(std::move(texture)),
      m_vertexBuffer(std::move(vertices)), m_indexBuffer(std::move(indices)), m_alphaTest(alphaTest),
      m_sourceBlend(sourceBlend), m_destBlend(destBlend)
{}

CParticleSystem::~CParticleSystem() = default;

bool CParticleSystem::Update(float) { return false; }

void CParticleSystem::FillBuffers(Vertex*, uint16_t*, int, int) {}

void CParticleSystem::GetBufferNeeds(int& vertices, int& indices) const
{
    vertices = 0;
    indices = 0;
}

void CParticleSystem::Kill() { m_stop = true; }

void CParticleSystem::StopEmitting() { m_duration = m_elapsed; }

void CParticleSystem::MoveBy(float dx, float dy, float dz) { m_position += V3(dx, dy, dz); }

void CParticleSystem::SetPosition(float, float, float) {}

void CParticleSystem::SetOpacityFactor(float) {}

bool CParticleSystem::Aim(float, float, float, float, float, float, float, float, float, float, float, float,
                          float, float)
{
    return false;
}

void CParticleSystem::SetEmission(const Vec3& position, bool timeLimited, float duration, int totalCount,
                                  float rate)
{
    m_position = position;
    m_timeLimited = timeLimited;
    m_duration = duration;
    m_remainingCount = totalCount;
    m_rate = rate;
}

void CParticleSystem::AdvanceTimeLimit(float& dt)
{
    if (!m_emitting || !m_timeLimited)
        return;
    m_elapsed += dt;
    if (m_elapsed >= m_duration) {
        m_emitting = false;
        dt -= m_elapsed - m_duration;
    }
}

int CParticleSystem::EmitCount(float& dt, float* accumulatorBefore)
{
    if (accumulatorBefore)
        *accumulatorBefore = m_accumulator;
    if (!m_emitting)
        return 0;
    AdvanceTimeLimit(dt);
    // A rate of 0 (or a broken one) emits nothing; the accumulator is left
    // alone so that it stays finite.
    double born = 0.0;
    if (m_rate > 0.0f && std::isfinite(m_rate)) {
        m_accumulator += dt;
        if (accumulatorBefore)
            *accumulatorBefore = m_accumulator;
        born = std::floor(static_cast<double>(m_accumulator) * m_rate);
        if (!(born > 0.0))
            born = 0.0;
        m_accumulator -= static_cast<float>(born / m_rate);
    }
    // Held far below the int range; the capacity bounds it anyway.
    int n = static_cast<int>(std::min(born, 1e9));
    if (!m_timeLimited) {
        if (m_remainingCount < n) {
            n = m_remainingCount;
            m_emitting = false;
        }
        m_remainingCount -= n;
    }
    return std::min(n, m_capacity);
}

void CParticleSystem::BeginFill(uint16_t* indices, int firstVertex, int firstIndex, int quads)
{
    m_firstVertex = firstVertex;
    m_firstIndex = firstIndex;
    for (int k = 0; k < quads; ++k) {
        const uint16_t v = static_cast<uint16_t>(firstVertex + 4 * k);
        uint16_t* out = indices + 6 * k;
        out[0] = v;
        out[1] = static_cast<uint16_t>(v + 1);
        out[2] = static_cast<uint16_t>(v + 2);
        out[3] = v;
        out[4] = static_cast<uint16_t>(v + 2);
        out[5] = static_cast<uint16_t>(v + 3);
    }
}
