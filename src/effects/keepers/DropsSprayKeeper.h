// A spray of drops: a fixed set of drops thrown out of a point in
// precomputed random directions, falling under gravity, turned to face their
// flight, dying below a floor line. Two sprays can share one set of drops.
//
// The drop tables are indexed by the system's slot, and a fresh system hands
// out slots 0 .. count - 1; a slot beyond the tables (tables never generated,
// a count raised afterwards) starts nothing.
#pragma once

#include "effects/keepers/Collection2Keeper.h"
#include "engine/CountedHandle.h"

#include <cstdint>
#include <vector>

class CDropsSprayKeeper : public CCollection2Keeper {
public:
    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    bool IsEmitting() override { return true; }
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    // Drop count, full extents of the ellipsoid the drops start in, and the
    // texture rectangle of every drop.
    void Configure(int count, float spreadX, float spreadY, float spreadZ, float u0, float v0, float u1, float v1);
    // Fills the offset and velocity tables for the count.
    void Generate();
    // Takes the other spray's drops (and their number).
    void CopyDrops(CountedHandle<CDropsSprayKeeper> other);

    uint32_t colour = 0x00ffffff;
    int count = 16;
    float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    Vec3 spread{84.0f, 84.0f, 0.0f};
    float size = 32.0f;
    std::vector<Vec3> offsets;
    std::vector<Vec3> velocities;
    float floor = -10.0f;
    float speed = 1.0f;
    float speedSpread = 0.5f;
    float gravity = 1.0f; // units per second squared, downwards
    bool finished = false;
    int started = 0;
};
