// Shared keeper helpers.
#include "effects/keepers/KeeperMath.h"

#include "effects/particles/Particles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fx {

Vec3 RandomInEllipsoid(const Vec3& spread)
{
    const float r = std::sqrt(RandomUnit());
    const float theta = kTwoPi * RandomUnit();
    const float phi = (RandomUnit() - 0.5f) * kPi;
    const float discX = r * std::cos(theta);
    const float discY = r * std::sin(theta);
    const float rho = std::sqrt(discX * discX + discY * discY);
    return V3(spread.x * 0.5f * discX * std::cos(phi), spread.y * 0.5f * rho * std::sin(phi),
              spread.z * 0.5f * discY * std::cos(phi));
}

Vec3 RandomDirection()
{
    const float x = RandomUnit() - 0.5f;
    const float y = RandomUnit() - 0.5f;
    const float z = RandomUnit() - 0.5f;
    return Normalised(V3(x, y, z), V3(1.0f, 0.0f, 0.0f));
}

Vec3 DirectionOf(const Vec3& offset)
{
    const float length = Length(offset);
    return length == 0.0f ? RandomDirection() : offset / length;
}

void SetAtlasCell(CCollectedParticle& p, int cell)
{
    const float u0 = static_cast<float>(cell % 4) * 0.25f;
    const float v0 = static_cast<float>(cell / 4) * 0.25f;
    p.SetTextureRect(u0, v0, u0 + 0.25f, v0 + 0.25f);
}

float AngleOf(float dx, float dy)
{
    if (dx == 0.0f && dy == 0.0f)
        return 0.0f;
    if (dx == 0.0f)
        return dy >= 0.0f ? 256.0f : 768.0f;
    float a = std::atan(dy / dx) * 512.0f / kPi;
    if (dx > 0.0f && dy < 0.0f)
        a += 1024.0f;
    if (dx < 0.0f)
        a += 512.0f;
    return a;
}

int TakeWholeParticles(float& accumulator, float rate, float dt)
{
    if (!(rate > 0.0f))
        return 0;
    accumulator += rate * dt;
    if (accumulator < 1.0f)
        return 0;
    const float n = std::floor(accumulator);
    accumulator -= n;
    return static_cast<int>(std::min(n, 1e6f));
}

void CKeeperFrames::SetRect(int frame, float u0, float v0, float u1, float v1)
{
    const float corners[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    SetCorners(frame, corners);
}

void CKeeperFrames::SetCorners(int frame, const float corners[4][2])
{
    Frame f;
    std::memcpy(f.corners, corners, sizeof f.corners);
    if (frame < 0 || static_cast<size_t>(frame) >= m_frames.size())
        m_frames.push_back(f);
    else
        m_frames[static_cast<size_t>(frame)] = f;
}

void CKeeperFrames::CopyTo(int frame, CCollectedParticle& p) const
{
    if (frame >= 0 && static_cast<size_t>(frame) < m_frames.size())
        std::memcpy(p.uv, m_frames[static_cast<size_t>(frame)].corners, sizeof p.uv);
}

} // namespace fx
