#include "effects/sandbox/DuneKeepers.h"

#include "effects/keepers/KeeperMath.h"

#include <algorithm>
#include <cmath>

using namespace fx;

namespace {
// Less sand than this counts as none.
constexpr double kNoSand = 0.000001;
} // namespace

// --- The surface both keepers ride on

void CDuneKeeper::AttachSurface(CountedHandle<CSandHeightfield> heightfield,
                                CountedHandle<SandboxGeometry> geometry)
{
    m_heightfield = std::move(heightfield);
    m_geometry = std::move(geometry);
}

bool CDuneKeeper::HasSand() const
{
    return m_surface.columns >= 2 && m_heightfield && m_heightfield->Total() > kNoSand;
}

bool CDuneKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    m_surface = Surface{};
    m_peaks = 0;
    m_crests = 0;
    if (!m_heightfield || !m_geometry)
        return true;
    const SandboxGeometry& g = *m_geometry;
    m_surface.top = g.surface.data();
    m_surface.bottom = g.bases.data();
    m_surface.levels = m_heightfield->DisplayLevels().data();
    m_surface.columns = std::min(g.Columns(), m_heightfield->ColumnCount());
    m_surface.left = g.left;
    m_surface.columnsPerUnit = static_cast<float>(std::max(g.Columns() - 1, 1)) / g.width;
    for (int j = 0; j + 1 < m_surface.columns; ++j) {
        if (j >= 1 && IsPeak(j))
            ++m_peaks;
        if (IsCrest(j))
            ++m_crests;
    }
    return true;
}

int CDuneKeeper::PickColumn(int count, bool peaks) const
{
    const int k = std::max(RandomIndex(count), 1);
    int seen = 0;
    for (int j = peaks ? 1 : 0; j + 1 < m_surface.columns; ++j)
        if ((peaks ? IsPeak(j) : IsCrest(j)) && ++seen >= k)
            return j;
    return 0;
}

int CDuneKeeper::RandomCell()
{
    const int row = RandomIndex(4);
    const int column = RandomIndex(4);
    return column + 4 * row;
}

// --- Grains blown off the crests and out along the pour path

CDuneSandFlyOut::CDuneSandFlyOut() { m_grains.reserve(128); }

void CDuneSandFlyOut::Attach(CountedHandle<CSandHeightfield> heightfield, CountedHandle<SandboxGeometry> geometry,
                             const CPourPath& path, float inGravity, float outGravity, float pathSpeed)
{
    AttachSurface(std::move(heightfield), std::move(geometry));
    m_path = path;
    m_inGravity = inGravity;
    m_outGravity = outGravity;
    m_pathSpeed = pathSpeed;
}

int CDuneSandFlyOut::GetEmitCount(float dt)
{
    m_pendingCrest = 0;
    m_pendingDrain = 0;
    if (!enabled || !HasSand())
        return 0;
    auto whole = [](float* accumulator) {
        const float n = std::floor(*accumulator);
        *accumulator -= n;
        return static_cast<int>(std::min(n, 1e6f));
    };
    m_crestAccumulator += crestRate * dt;
    m_pendingCrest = whole(&m_crestAccumulator);
    if (m_peaks == 0)
        m_pendingCrest = 0;
    if (m_heightfield->draining) {
        m_drainAccumulator += drainRate * dt;
        m_pendingDrain = whole(&m_drainAccumulator);
    }
    return m_pendingCrest + m_pendingDrain;
}

bool CDuneSandFlyOut::InitParticle(int slot, CCollectedParticle2& p, float, float, float)
{
    if (static_cast<size_t>(slot) >= m_grains.size())
        m_grains.resize(static_cast<size_t>(slot) + 1);
    // Crest grains first within a frame, then the stream up the wall.
    const bool crest = m_pendingCrest > 0;
    if (crest)
        --m_pendingCrest;
    else if (m_pendingDrain > 0)
        --m_pendingDrain;
    const Vec3 start = m_surface.top[crest ? PickColumn(m_peaks, true) : 0];
    const int cell = RandomCell();
    p.InitQuad(colour, start.x, start.y, start.z, cell, 0.0f, grainWidth, grainHeight, 1024.0f * RandomUnit());
    SetAtlasCell(p, cell);
    if (crest) {
        const float vx = -(0.9f - 0.2f * RandomUnit()) * m_pathSpeed;
        const float vy = (0.1f - 0.2f * RandomUnit()) * m_pathSpeed;
        p.velocity = V3(vx, vy, 0.0f);
    } else {
        p.velocity = V3(0.0f, m_pathSpeed, 0.0f);
    }
    p.alphaSpeed = -fadeInSpeed;
    m_grains[static_cast<size_t>(slot)] = Grain{};
    return true;
}

// A grain stops where it meets the sand and fades quickly.
void CDuneSandFlyOut::Land(CCollectedParticle2& p)
{
    p.velocity.x = 0.0f;
    p.alphaSpeed = landingFadeOut;
}

bool CDuneSandFlyOut::UpdateParticle(int slot, CCollectedParticle2& p, float dt, float, float, float)
{
    if (dt == 0.0f)
        return true;
    if (static_cast<size_t>(slot) >= m_grains.size())
        m_grains.resize(static_cast<size_t>(slot) + 1);
    Grain& grain = m_grains[static_cast<size_t>(slot)];
    const SandboxGeometry& g = *m_geometry;

    if (!FadeInThenOut(p, dt, fadeInSpeed, [&] { return grain.onPath ? pathFadeOut : surfaceFadeOut; }))
        return false;

    const Vec3 corner = V3(g.left, g.top, g.z);
    if (grain.onPath) {
        if (grain.pathTime < m_path.Duration()) {
            grain.pathTime += dt;
            if (grain.pathTime >= m_path.Duration()) {
                grain.pathTime = m_path.Duration();
                p.velocity.x = -(0.75f - 0.5f * RandomUnit()) * m_pathSpeed;
                p.velocity.y = (0.25f - 0.5f * RandomUnit()) * m_pathSpeed;
            }
            p.position = corner + m_path.PointAt(grain.pathTime);
        } else {
            p.velocity.y -= dt * m_outGravity;
            p.position += p.velocity * dt;
        }
    } else if (p.position.x > g.left) {
        p.position += p.velocity * dt;
    } else if (m_heightfield->draining) {
        // Up the left wall and onto the path at the top.
        p.velocity.y = m_pathSpeed;
        p.position += p.velocity * dt;
        if (p.position.y >= g.top) {
            grain.onPath = true;
            grain.pathTime = 0.0f;
            p.position = corner + m_path.Start();
        }
    } else {
        p.velocity.y -= dt * m_inGravity;
        p.position += p.velocity * dt;
    }

    if (!grain.onPath && m_surface.columns >= 2) {
        p.position.x = std::max(p.position.x, g.left);
        int i;
        float f;
        ColumnAt(p.position.x, &i, &f);
        const float surface = Between(m_surface.top, i, f);
        const float bottom = Between(m_surface.bottom, i, f);
        if (p.position.y <= bottom) {
            p.position.y = bottom;
            Land(p);
        } else if (p.position.y <= surface) {
            Land(p);
        } else if (p.velocity.x == 0.0f) {
            p.velocity.x = -(0.9f - 0.2f * RandomUnit()) * m_pathSpeed;
        }
    }
    p.rotation = WrapAngle(p.rotation + p.spin * dt);
    return true;
}

// --- Dust drifting along the surface

void CDuneDustKeeper::Attach(CountedHandle<CSandHeightfield> heightfield, CountedHandle<SandboxGeometry> geometry,
                             float dustSpeed, float dustSpeedSpread, float dustSpin, float dustSpinSpread)
{
    AttachSurface(std::move(heightfield), std::move(geometry));
    speed = dustSpeed;
    speedSpread = dustSpeedSpread;
    spin = dustSpin;
    spinSpread = dustSpinSpread;
    slopeBraking = dustSpeed;
}

int CDuneDustKeeper::GetEmitCount(float dt)
{
    if (!enabled || !HasSand())
        return 0;
    m_accumulator += rate * dt * static_cast<float>(m_crests) / static_cast<float>(m_surface.columns - 1);
    if (m_accumulator < 1.0f)
        return 0;
    const float n = std::floor(m_accumulator);
    m_accumulator -= n;
    return m_crests > 0 ? static_cast<int>(std::min(n, 1e6f)) : 0;
}

bool CDuneDustKeeper::InitParticle(int, CCollectedParticle2& p, float, float, float)
{
    const int j = m_crests > 0 ? PickColumn(m_crests, false) : 0;
    const float along = RandomUnit();
    const Vec3& a = m_surface.top[j];
    const Vec3& b = m_surface.top[std::min(j + 1, m_surface.columns - 1)];
    const Vec3 at = a + (b - a) * along + V3(0.0f, 0.0f, 1.0f);
    const int cell = RandomCell();
    const float s = Spread(size, sizeSpread);
    p.InitQuad(colour, at.x, at.y, at.z, cell, 0.0f, s, s, 1024.0f * RandomUnit());
    SetAtlasCell(p, cell);
    p.velocity = V3(Spread(0.0f, speedSpread) - speed, 0.0f, 0.0f);
    p.alphaSpeed = -fadeInSpeed;
    const float sign = RandomUnit() < 0.5f ? -1.0f : 1.0f;
    p.spin = sign * spin + Spread(0.0f, spinSpread);
    return true;
}

bool CDuneDustKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    if (dt == 0.0f)
        return true;
    if (!FadeInThenOut(p, dt, fadeInSpeed, [this] { return Spread(fadeOutSpeed, fadeOutSpread); }))
        return false;

    p.position += p.velocity * dt;
    if (p.position.x <= m_surface.left) {
        p.position.x = m_surface.left;
        p.alphaSpeed = quickFadeOut;
    }
    if (m_surface.columns >= 2) {
        int i;
        float f;
        ColumnAt(p.position.x, &i, &f);
        // The puff rides the surface, and slows where it climbs.
        const Vec3* top = m_surface.top;
        p.position.y = Between(top, i, f);
        if (top[i].y < top[i + 1].y)
            p.velocity.x = std::min(p.velocity.x + dt * slopeBraking, 0.0f);
        if (m_surface.levels[i] <= 0.0 && m_surface.levels[i + 1] <= 0.0)
            p.alphaSpeed = quickFadeOut;
    }
    p.rotation = WrapAngle(p.rotation + p.spin * dt);
    return true;
}
