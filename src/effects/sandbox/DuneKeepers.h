// The two keepers that bring the sand box's surface to life while it is
// shown: grains blown off the crests towards the left wall, which climb the
// wall and leave along the pour path while the box drains (CDuneSandFlyOut),
// and dust puffs drifting leftwards along the surface (CDuneDustKeeper).
// Both read the box's geometry and the heightfield through handles of their
// own, so a system that outlives the box still finds them whole. The box
// clears their enabled flags while it is full: no new particle starts then,
// live ones run out.
#pragma once

#include "effects/keepers/Collection2Keeper.h"
#include "effects/sandbox/SandHeightfield.h"
#include "effects/sandbox/Sandbox.h"
#include "engine/CountedHandle.h"

#include <cstdint>
#include <vector>

// What both keepers share: the surface they ride on and its crests.
class CDuneKeeper : public CCollection2Keeper {
public:
    bool IsEmitting() override { return true; }
    // Stores the origin, takes this frame's surface and counts its peaks and
    // crests.
    bool FollowOrigin(float x, float y, float z, float dt) override;

    bool enabled = true;

protected:
    // The surface as it stands this frame, taken by FollowOrigin before the
    // system starts or moves a particle. The box lays its columns out again
    // when their count changes; until then only the columns both the box and
    // the heightfield have are looked at, so every index below `columns` is
    // inside both.
    struct Surface {
        const Vec3* top = nullptr;      // the sand's surface, column by column
        const Vec3* bottom = nullptr;   // the bottom of the box
        const double* levels = nullptr; // the display levels
        int columns = 0;
        float left = 0.0f;
        float columnsPerUnit = 0.0f; // the box lays its columns width / (columns - 1) apart
    };

    void AttachSurface(CountedHandle<CSandHeightfield> heightfield, CountedHandle<SandboxGeometry> geometry);
    // Whether there is sand to blow about.
    bool HasSand() const;
    // Column j, for 1 <= j <= columns - 2, is a peak when its surface stands
    // higher than its left neighbour's and not lower than its right one's.
    bool IsPeak(int j) const
    {
        return m_surface.top[j].y > m_surface.top[j - 1].y && m_surface.top[j].y >= m_surface.top[j + 1].y;
    }
    // Column j, for j <= columns - 2, is a crest when it holds sand and its
    // right neighbour's surface is not higher.
    bool IsCrest(int j) const
    {
        return m_surface.levels[j] > 0.001 && m_surface.top[j + 1].y <= m_surface.top[j].y;
    }
    // A random one of the `count` peaks (or crests), counted from the left;
    // the first for draws of 0 and 1 alike.
    int PickColumn(int count, bool peaks) const;
    // The column under x and how far x lies towards the next one.
    void ColumnAt(float x, int* column, float* fraction) const
    {
        const int last = m_surface.columns - 1;
        const float c = (x - m_surface.left) * m_surface.columnsPerUnit;
        // Left of the first column, or no number at all, is the first
        // column; past that the truncation below is the floor.
        if (!(c > 0.0f)) {
            *column = 0;
            *fraction = 0.0f;
        } else if (c >= static_cast<float>(last)) {
            *column = last - 1;
            *fraction = 1.0f;
        } else {
            *column = static_cast<int>(c);
            *fraction = c - static_cast<float>(*column);
        }
    }
    // The height of the surface (or of the bottom) at a column and fraction.
    static float Between(const Vec3* points, int column, float fraction)
    {
        return points[column].y + (points[column + 1].y - points[column].y) * fraction;
    }
    // A random atlas cell of the 4 x 4 texture: row, then column.
    static int RandomCell();

    CountedHandle<CSandHeightfield> m_heightfield;
    CountedHandle<SandboxGeometry> m_geometry;
    Surface m_surface;
    int m_peaks = 0;
    int m_crests = 0;
};

class CDuneSandFlyOut : public CDuneKeeper {
public:
    CDuneSandFlyOut();

    void Attach(CountedHandle<CSandHeightfield> heightfield, CountedHandle<SandboxGeometry> geometry,
                const CPourPath& path, float inGravity, float outGravity, float pathSpeed);

    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;

    uint32_t colour = 0xffa09050;
    float grainWidth = 8.0f;
    float grainHeight = 8.0f;
    float crestRate = 40.0f; // grains per second while there is a peak
    float drainRate = 40.0f; // grains per second up the wall while draining
    // Opacity per second.
    float fadeInSpeed = 10.0f;
    float surfaceFadeOut = 1.0f;
    float pathFadeOut = 2.0f;
    float landingFadeOut = 10.0f;

private:
    struct Grain {
        bool onPath = false;
        float pathTime = 0.0f;
    };

    void Land(CCollectedParticle2& p);

    CPourPath m_path;
    float m_inGravity = 5.0f;
    float m_outGravity = 20.0f;
    float m_pathSpeed = 32.0f;
    std::vector<Grain> m_grains; // by slot
    float m_crestAccumulator = 0.0f;
    float m_drainAccumulator = 0.0f;
    int m_pendingCrest = 0;
    int m_pendingDrain = 0;
};

class CDuneDustKeeper : public CDuneKeeper {
public:
    // The slope braking starts equal to the speed.
    void Attach(CountedHandle<CSandHeightfield> heightfield, CountedHandle<SandboxGeometry> geometry, float speed,
                float speedSpread, float spin, float spinSpread);

    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;

    uint32_t colour = 0xffa09050;
    float size = 8.0f;
    float sizeSpread = 4.0f;
    float rate = 80.0f; // puffs per second where every column is a crest
    float speed = 80.0f;
    float speedSpread = 40.0f;
    float slopeBraking = 80.0f; // speed lost per second climbing a slope
    float fadeInSpeed = 2.0f;
    float fadeOutSpeed = 1.0f;
    float fadeOutSpread = 0.5f;
    float quickFadeOut = 10.0f;
    float spin = 512.0f;
    float spinSpread = 256.0f;

private:
    float m_accumulator = 0.0f;
};
