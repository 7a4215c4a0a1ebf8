// The drops spray: precomputed drops thrown all at once.
#include "effects/keepers/DropsSprayKeeper.h"

#include "effects/keepers/KeeperMath.h"

#include <cmath>
#include <cstring>

using namespace fx;

void CDropsSprayKeeper::Configure(int n, float spreadX, float spreadY, float spreadZ, float u0, float v0, float u1,
                                  float v1)
{
    count = n;
    spread = V3(spreadX, spreadY, spreadZ);
    const float rect[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    std::memcpy(uv, rect, sizeof uv);
}

void CDropsSprayKeeper::Generate()
{
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    offsets.resize(n);
    velocities.resize(n);
    for (size_t j = 0; j < n; ++j) {
        offsets[j] = RandomInEllipsoid(spread);
        const Vec3 direction = DirectionOf(offsets[j]);
        velocities[j] = direction * Spread(speed, speedSpread);
    }
}

void CDropsSprayKeeper::CopyDrops(CountedHandle<CDropsSprayKeeper> other)
{
    if (!other)
        return;
    offsets = other->offsets;
    velocities = other->velocities;
    count = static_cast<int>(offsets.size());
}

bool CDropsSprayKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    return true;
}

int CDropsSprayKeeper::GetEmitCount(float) { return finished ? 0 : count - started; }

bool CDropsSprayKeeper::InitParticle(int slot, CCollectedParticle2& p, float, float, float)
{
    if (++started >= count)
        finished = true;
    if (slot < 0 || static_cast<size_t>(slot) >= offsets.size() || static_cast<size_t>(slot) >= velocities.size())
        return true;
    const Vec3 at = origin + offsets[static_cast<size_t>(slot)];
    p.InitQuad(colour, at.x, at.y, at.z, 0, 1.0f, size, size, 0.0f);
    p.velocity = velocities[static_cast<size_t>(slot)];
    std::memcpy(p.uv, uv, sizeof uv);
    return true;
}

bool CDropsSprayKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    p.velocity.y -= gravity * dt;
    p.position += p.velocity * dt;
    // Turned to face the flight.
    const float speed2d = std::sqrt(p.velocity.x * p.velocity.x + p.velocity.y * p.velocity.y);
    if (speed2d == 0.0f) {
        p.rotation = 0.0f;
    } else {
        const float nx = p.velocity.x / speed2d;
        const float ny = p.velocity.y / speed2d;
        if (nx == 0.0f)
            p.rotation = ny > 0.0f ? 512.0f : 0.0f;
        else
            p.rotation = std::atan(ny / nx) * 512.0f / kPi + 256.0f + (nx < 0.0f ? 512.0f : 0.0f);
    }
    return !(p.position.y < floor);
}
