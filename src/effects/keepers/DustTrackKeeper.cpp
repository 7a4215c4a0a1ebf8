// Dust that follows the grains of a sand system.
#include "effects/keepers/DustTrackKeeper.h"

#include "effects/keepers/KeeperMath.h"
#include "effects/particles/Collection2ParticleSystem.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace fx;

CDustTrackKeeper::CDustTrackKeeper(const CSandKeeper& sand, CountedHandle<CParticleSystem> sandSystem)
    : colour(sand.colour), speed(sand.speed), speedSpread(sand.speedSpread), size(sand.width),
      sizeSpread(sand.width * 0.25f), growth(sand.width * 0.25f), growthSpread(sand.width * 0.25f * 0.25f),
      groundLine(sand.groundLine), floorOffset(sand.width * -0.15f), m_tracked(std::move(sandSystem)),
      m_sand(dynamic_cast<const CCollection2ParticleSystem*>(m_tracked.Get()))
{}

bool CDustTrackKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    liveCount = 0;
    const CCollection2ParticleSystem* sand = m_sand;
    if (!sand)
        return false;
    const std::vector<CCollectedParticle2>& grains = sand->Particles();
    for (int i = 0; i < sand->HighWater(); ++i)
        if (grains[static_cast<size_t>(i)].alive)
            ++liveCount;
    return sand->IsEmitting() || liveCount > 0;
}

int CDustTrackKeeper::GetEmitCount(float dt)
{
    if (dt == 0.0f || liveCount == 0)
        return 0;
    const float b = dt * rate * static_cast<float>(liveCount);
    if (!(b >= 0.0f))
        return 0;
    const float whole = std::floor(b);
    int n = static_cast<int>(std::min(whole, 1e6f));
    if (RandomUnit() < b - whole)
        ++n;
    return n;
}

bool CDustTrackKeeper::InitParticle(int, CCollectedParticle2& p, float, float, float)
{
    const CCollection2ParticleSystem* sand = m_sand;
    if (!sand || liveCount == 0)
        return true;
    // The k-th live grain, counting from 0.
    const int k = RandomIndex(liveCount);
    const std::vector<CCollectedParticle2>& grains = sand->Particles();
    const CCollectedParticle2* grain = nullptr;
    int seen = 0;
    for (int i = 0; i < sand->HighWater(); ++i) {
        const CCollectedParticle2& g = grains[static_cast<size_t>(i)];
        if (!g.alive)
            continue;
        grain = &g;
        if (seen++ == k)
            break;
    }
    if (!grain)
        return true;
    const int row = RandomIndex(4);
    const int column = RandomIndex(4);
    const float g = Spread(size, sizeSpread);
    p.InitQuad(colour, grain->position.x, grain->position.y, grain->position.z, column + row * 4, 0.0f, g, g,
               1024.0f * RandomUnit());
    SetAtlasCell(p, column + row * 4);
    const float a = kTwoPi * RandomUnit();
    const float s = Spread(speed, speedSpread);
    p.velocity = V3(s * std::cos(a) + grain->velocity.x, s * std::sin(a) + grain->velocity.y, grain->velocity.z);
    p.alphaSpeed = -fadeInSpeed;
    p.spare = Spread(growth, growthSpread); // the puff's growth speed
    const float sign = RandomUnit() < 0.5f ? -1.0f : 1.0f;
    p.spin = sign * spin + (RandomUnit() - 0.5f) * 2.0f * spinSpread;
    return true;
}

bool CDustTrackKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    if (dt == 0.0f)
        return true;
    if (!FadeInThenOut(p, dt, fadeInSpeed, [this] { return Spread(fadeOutSpeed, fadeOutSpread); }))
        return false;
    auto damp = [&](float& v) {
        const float d = v * dt * damping;
        v = std::fabs(v) <= std::fabs(d) ? 0.0f : v - d;
    };
    damp(p.velocity.x);
    damp(p.velocity.y);
    damp(p.velocity.z);
    p.position += p.velocity * dt;
    const float floorY = groundLine + floorOffset;
    if (p.position.y - p.height / 2.0f < floorY)
        p.position.y = floorY + p.height / 2.0f;
    p.rotation = WrapAngle(p.rotation + p.spin * dt);
    const float d = p.spare * dt * growthDamping;
    p.spare = std::fabs(p.spare) <= std::fabs(d) ? 0.0f : p.spare - d;
    p.width += dt * p.spare;
    p.height += dt * p.spare;
    return true;
}
