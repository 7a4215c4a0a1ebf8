// The sprite burst: seeding and the fall.
#include "effects/keepers/SimpleSpriteSystemKeeper.h"

#include "effects/keepers/KeeperMath.h"

#include <cmath>
#include <cstring>

using namespace fx;

void CSimpleSpriteSystemKeeper::Configure(int n, float spreadX, float spreadY, float spreadZ)
{
    count = n;
    spread = V3(spreadX, spreadY, spreadZ);
}

void CSimpleSpriteSystemKeeper::SetFrameRect(int frame, float u0, float v0, float u1, float v1)
{
    m_frames.SetRect(frame, u0, v0, u1, v1);
}

void CSimpleSpriteSystemKeeper::SetFrameCorners(int frame, const float corners[4][2])
{
    m_frames.SetCorners(frame, corners);
}

void CSimpleSpriteSystemKeeper::Complete(Seed& seed, const Vec3& direction)
{
    seed.velocity = direction * Spread(speed, speedSpread);
    seed.width = Spread(width, widthSpread);
    seed.height = Spread(height, heightSpread);
}

void CSimpleSpriteSystemKeeper::SeedEllipsoid()
{
    m_seeds.assign(count > 0 ? static_cast<size_t>(count) : 0, Seed{});
    for (Seed& seed : m_seeds) {
        seed.offset = RandomInEllipsoid(spread);
        Complete(seed, DirectionOf(seed.offset));
        seed.rotation = 1024.0f * RandomUnit();
        const float sign = RandomUnit() < 0.5f ? 1.0f : -1.0f;
        seed.spin = sign * Spread(spin, spinSpread);
        seed.frame = m_frames.PickRandom();
    }
}

void CSimpleSpriteSystemKeeper::SeedCircle(float radius, int n, float startAngle)
{
    count = n;
    m_seeds.assign(n > 0 ? static_cast<size_t>(n) : 0, Seed{});
    for (int i = 0; i < n; ++i) {
        Seed& seed = m_seeds[static_cast<size_t>(i)];
        const float a = startAngle + static_cast<float>(i) * kTwoPi / static_cast<float>(n);
        seed.offset = V3(radius * std::cos(a), radius * std::sin(a), 0.0f);
        Complete(seed, DirectionOf(seed.offset));
        seed.rotation = a * 1024.0f / kTwoPi;
        const float sign = RandomUnit() < 0.5f ? 1.0f : -1.0f;
        seed.spin = sign * Spread(spin, spinSpread);
        seed.frame = m_frames.PickRandom();
    }
}

void CSimpleSpriteSystemKeeper::SeedLine(float sx, float sy, float sz, float ex, float ey, float ez, int n)
{
    count = n;
    m_seeds.assign(n > 0 ? static_cast<size_t>(n) : 0, Seed{});
    const Vec3 start = V3(sx, sy, sz);
    const Vec3 segment = V3(ex, ey, ez) - start;
    const Vec3 step = n < 2 ? segment : segment / static_cast<float>(n - 1);
    const float rotation = AngleOf(segment.x, segment.y);
    for (int i = 0; i < n; ++i) {
        Seed& seed = m_seeds[static_cast<size_t>(i)];
        seed.offset = start + step * static_cast<float>(i);
        Complete(seed, RandomDirection());
        seed.rotation = rotation;
        const float sign = RandomUnit() < 0.5f ? 1.0f : -1.0f;
        seed.spin = sign * Spread(spin, spinSpread);
        seed.frame = m_frames.PickRandom();
    }
}

bool CSimpleSpriteSystemKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    return true;
}

int CSimpleSpriteSystemKeeper::GetEmitCount(float) { return finished ? 0 : count - started; }

bool CSimpleSpriteSystemKeeper::InitParticle(int slot, CCollectedParticle2& p, float, float, float)
{
    if (++started >= count)
        finished = true;
    if (slot < 0 || static_cast<size_t>(slot) >= m_seeds.size())
        return true;
    const Seed& seed = m_seeds[static_cast<size_t>(slot)];
    const Vec3 at = origin + seed.offset;
    p.InitQuad(colour, at.x, at.y, at.z, seed.frame, 1.0f, seed.width, seed.height, seed.rotation);
    p.velocity = seed.velocity;
    p.spin = seed.spin;
    m_frames.CopyTo(seed.frame, p);
    return true;
}

bool FallingSpriteUpdate(CCollectedParticle2& p, float dt, float gravity, float floor)
{
    p.velocity.y -= gravity * dt;
    p.position += p.velocity * dt;
    p.rotation = WrapAngle(p.rotation + p.spin * dt);
    return !(p.position.y < floor);
}

bool CSimpleSpriteSystemKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    return FallingSpriteUpdate(p, dt, gravity, floor);
}
