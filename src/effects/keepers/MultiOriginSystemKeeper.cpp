// The multi-origin keeper: metered emission per origin and the three-phase
// opacity life.
#include "effects/keepers/MultiOriginSystemKeeper.h"

#include "effects/keepers/KeeperMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace fx;

CMultiOriginSystemKeeper::CMultiOriginSystemKeeper()
{
    m_phases.reserve(64);
    SetOrigin(0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 10.0f, MultiOriginEmission());
}

void CMultiOriginSystemKeeper::SetOrigin(int index, float x, float y, float z, float vx, float vy, float vz,
                                         float rate, const MultiOriginEmission& emission)
{
    const bool append = index < 0 || static_cast<size_t>(index) >= m_origins.size();
    if (append)
        m_origins.push_back(Origin{});
    Origin& o = append ? m_origins.back() : m_origins[static_cast<size_t>(index)];
    o.position = V3(x, y, z);
    o.velocity = V3(vx, vy, vz);
    o.rate = rate;
    o.emission = emission;
    o.maxAlpha = static_cast<float>(emission.colour >> 24) / 255.0f;
    // A whole particle's worth waiting, so the first comes on the next frame.
    o.accumulator = rate > 0.0f ? 1.0f / rate : 0.0f;
    if (append)
        o.pending = 0;
}

void CMultiOriginSystemKeeper::MoveOrigin(int index, float x, float y, float z)
{
    if (index >= 0 && static_cast<size_t>(index) < m_origins.size())
        m_origins[static_cast<size_t>(index)].position = V3(x, y, z);
}

void CMultiOriginSystemKeeper::SetFrameRect(int frame, float u0, float v0, float u1, float v1)
{
    m_frames.SetRect(frame, u0, v0, u1, v1);
}

void CMultiOriginSystemKeeper::SetFrameCorners(int frame, const float corners[4][2])
{
    m_frames.SetCorners(frame, corners);
}

void CMultiOriginSystemKeeper::SetOriginsOnCircle(float radius, int count, float startAngle, float totalRate,
                                                  float speed, const MultiOriginEmission& emission, bool keep)
{
    if (!keep)
        m_origins.clear();
    for (int i = 0; i < count; ++i) {
        const float a = startAngle + static_cast<float>(i) * kTwoPi / static_cast<float>(count);
        SetOrigin(i, radius * std::cos(a), radius * std::sin(a), 0.0f, speed * std::cos(a), speed * std::sin(a),
                  0.0f, totalRate / static_cast<float>(count), emission);
    }
}

void CMultiOriginSystemKeeper::SetOriginsOnLine(float sx, float sy, float sz, float ex, float ey, float ez,
                                                float dx, float dy, float dz, int count, float totalRate,
                                                float speed, const MultiOriginEmission& emission, bool keep)
{
    if (!keep)
        m_origins.clear();
    const Vec3 start = V3(sx, sy, sz);
    const Vec3 step = count > 1 ? (V3(ex, ey, ez) - start) / static_cast<float>(count - 1) : Vec3{};
    const Vec3 velocity = Normalised(V3(dx, dy, dz), Vec3{}) * speed;
    for (int i = 0; i < count; ++i) {
        const Vec3 at = start + step * static_cast<float>(i);
        SetOrigin(i, at.x, at.y, at.z, velocity.x, velocity.y, velocity.z, totalRate / static_cast<float>(count),
                  emission);
    }
}

bool CMultiOriginSystemKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    return true;
}

int CMultiOriginSystemKeeper::GetEmitCount(float dt)
{
    int total = 0;
    for (Origin& o : m_origins) {
        o.pending = 0;
        if (!(o.rate > 0.0f))
            continue;
        o.accumulator += dt;
        const float n = std::floor(o.rate * o.accumulator);
        if (n >= 1.0f) {
            o.accumulator -= n / o.rate;
            o.pending = static_cast<int>(std::min(n, 1e6f));
            total += o.pending;
        }
    }
    return total;
}

bool CMultiOriginSystemKeeper::InitParticle(int slot, CCollectedParticle2& p, float, float, float)
{
    if (slot < 0)
        return true;
    if (m_phases.size() <= static_cast<size_t>(slot))
        m_phases.resize(static_cast<size_t>(slot) + 1);
    Origin* from = nullptr;
    for (Origin& o : m_origins)
        if (o.pending > 0) {
            from = &o;
            break;
        }
    if (!from)
        return true;
    const MultiOriginEmission& e = from->emission;
    const Vec3 at = origin + from->position;
    const float theta = kTwoPi * RandomUnit();
    const float phi = (RandomUnit() - 0.5f) * kPi;
    const float s = Spread(e.speed, e.speedSpread);
    const Vec3 random =
        V3(std::cos(theta) * std::cos(phi) * s, std::sin(phi) * s, std::sin(theta) * std::cos(phi) * s);
    const Vec3 velocity =
        V3(random.x + from->velocity.x + baseVelocity.x, random.y + from->velocity.y + baseVelocity.y,
           zFactor * (baseVelocity.z + from->velocity.z + random.z));
    const int frame = m_frames.PickRandom();
    float width = e.width, height = e.height;
    if (e.heightSpread >= 0.0f) {
        const float u = (RandomUnit() - 0.5f) * 2.0f;
        width += u * e.widthSpread;
        height += u * e.heightSpread;
    } else {
        width = Spread(e.width, e.widthSpread);
        height = Spread(e.height, e.heightSpread);
    }
    p.InitQuad(e.colour, at.x, at.y, at.z, frame, 0.0f, width, height, 1024.0f * RandomUnit());
    p.velocity = velocity;
    m_frames.CopyTo(frame, p);
    p.spin = Spread(e.spin, e.spinSpread);
    if (e.spinSpread < 0.0f && RandomUnit() < 0.5f)
        p.spin = -p.spin;
    Phases& t = m_phases[static_cast<size_t>(slot)];
    t.t1 = Spread(e.phaseBase[0], e.phaseSpread[0]);
    t.t2 = t.t1 + Spread(e.phaseBase[1], e.phaseSpread[1]);
    t.t3 = t.t2 + Spread(e.phaseBase[2], e.phaseSpread[2]);
    p.spare = from->maxAlpha;
    --from->pending;
    return true;
}

bool CMultiOriginSystemKeeper::UpdateParticle(int slot, CCollectedParticle2& p, float dt, float, float, float)
{
    if (slot < 0 || static_cast<size_t>(slot) >= m_phases.size())
        return false;
    p.velocity += acceleration * dt;
    p.position += p.velocity * dt;
    p.rotation = WrapAngle(p.rotation + p.spin * dt);
    p.age += dt;
    const Phases& t = m_phases[static_cast<size_t>(slot)];
    const float peak = p.spare;
    if (p.age < t.t1) {
        p.alpha = p.age / t.t1 * peak;
    } else if (p.age < t.t2) {
        p.alpha = peak;
    } else if (p.age < t.t3) {
        p.alpha = (1.0f - (p.age - t.t2) / (t.t3 - t.t2)) * peak;
    } else {
        p.alpha = 0.0f;
        return false;
    }
    const Vec3& q = p.position;
    return q.x >= killMin.x && q.x <= killMax.x && q.y >= killMin.y && q.y <= killMax.y && q.z >= killMin.z &&
           q.z <= killMax.z;
}
