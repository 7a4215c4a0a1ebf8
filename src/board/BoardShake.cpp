#include "board/BoardShake.h"

#include "engine/Random.h"
#include "engine/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kPi = 3.14159265f;
// The new direction points backwards within 67.5 degrees either side.
constexpr float kTurnSpread = 2.3561945f;
} // namespace

CBoardShake::CBoardShake() : m_angle(RandomUnit() * kTwoPi) {}

void CBoardShake::AddImpulse(float strength)
{
    m_shaking = true;
    m_amplitude = std::min(m_amplitude + strength, m_maxAmplitude);
}

bool CBoardShake::Update(float dt)
{
    if (m_stopRequested) {
        m_stopRequested = false;
        m_amplitude = 0.0f;
        m_shaking = false;
        return true;
    }
    if (!m_shaking)
        return false;
    // One change of direction per frame at most, however long the frame.
    m_phase += m_changesPerSecond * dt;
    if (m_phase >= 1.0f) {
        m_phase -= std::floor(m_phase);
        m_angle += kPi + (RandomUnit() - 0.5f) * kTurnSpread;
        if (m_angle >= kTwoPi)
            m_angle -= kTwoPi;
        else if (m_angle < 0.0f)
            m_angle += kTwoPi;
    }
    m_amplitude -= dt * m_decay;
    if (m_amplitude <= 0.0f) {
        m_amplitude = 0.0f;
        m_shaking = false;
        return true;
    }
    return false;
}

Vec3 CBoardShake::Offset() const
{
    if (!m_shaking)
        return Vec3{0, 0, 0};
    return Vec3{std::cos(m_angle) * m_amplitude, std::sin(m_angle) * m_amplitude, 0.0f};
}
