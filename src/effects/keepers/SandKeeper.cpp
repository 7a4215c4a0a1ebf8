// Sand grains: the burst, the fall and the cut at the ground line.
#include "effects/keepers/SandKeeper.h"

#include "effects/keepers/KeeperMath.h"

#include <algorithm>
#include <cmath>

using namespace fx;

bool CSandKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    return true;
}

int CSandKeeper::GetEmitCount(float dt)
{
    if (!burstDone)
        return burstCount;
    return TakeWholeParticles(accumulator, rate, dt);
}

bool CSandKeeper::InitParticle(int, CCollectedParticle2& p, float, float, float)
{
    const int cell = RandomIndex(16);
    p.InitQuad(colour, origin.x, origin.y, origin.z, cell, 1.0f, width, height, 0.0f);
    SetAtlasCell(p, cell);
    const float a = kTwoPi * RandomUnit();
    const float s = Spread(speed, speedSpread);
    p.velocity = V3(s * std::cos(a), s * std::sin(a), 0.0f);
    if (++started >= burstCount)
        burstDone = true;
    return true;
}

bool CSandKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    p.velocity.y -= gravity * dt;
    p.position += p.velocity * dt;
    p.velocity.y = std::max(p.velocity.y, -terminalSpeed);
    // A grain goes once its whole cell is under the ground; what is drawn of
    // it is the cell's square or, cut down, the part of it that shows.
    const float h = p.height;
    if (groundLine > p.position.y + h / 2.0f)
        return false;
    const float top = p.position.y + h * p.corners[0][1];
    const float bottom = p.position.y + h * p.corners[3][1];
    if (groundLine <= bottom)
        return true;
    // Only the part above the ground shows, with the matching part of its
    // cell: a quarter of the texture's height to the square's height.
    const float f = std::max(top - groundLine, 0.0f) / h;
    p.uv[2][1] = p.uv[0][1] + 0.25f * f;
    p.uv[3][1] = p.uv[1][1] + 0.25f * f;
    p.corners[2][1] = p.corners[1][1] - f;
    p.corners[3][1] = p.corners[0][1] - f;
    return true;
}
