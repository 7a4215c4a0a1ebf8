// A burst of sprite particles, every one precomputed when the keeper is
// seeded (inside an ellipsoid, on a circle or along a line) and started all
// at once; they fly, spin and fall, and die below a floor line.
//
// The particle tables are indexed by the system's slot; a slot beyond them
// (a count raised after seeding) starts nothing.
#pragma once

#include "effects/keepers/Collection2Keeper.h"
#include "effects/keepers/KeeperMath.h"

#include <cstdint>
#include <vector>

class CSimpleSpriteSystemKeeper : public CCollection2Keeper {
public:
    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    bool IsEmitting() override { return true; }
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    void Configure(int count, float spreadX, float spreadY, float spreadZ);
    void SetFrameRect(int frame, float u0, float v0, float u1, float v1);
    // Overwrites frame `frame`, or appends one when frame is past the last.
    void SetFrameCorners(int frame, const float corners[4][2]);
    // Seeds `count` particles inside the ellipsoid of full extents `spread`.
    void SeedEllipsoid();
    // Seeds `n` particles evenly on a circle, each turned to its angle.
    void SeedCircle(float radius, int n, float startAngle);
    // Seeds `n` particles evenly along a segment, all turned along it.
    void SeedLine(float startX, float startY, float startZ, float endX, float endY, float endZ, int n);

    struct Seed {
        Vec3 offset;
        Vec3 velocity;
        float width, height;
        float rotation;
        float spin;
        int frame;
    };
    const std::vector<Seed>& Seeds() const { return m_seeds; }

    uint32_t colour = 0x00ffffff;
    int count = 16;
    Vec3 spread{84.0f, 84.0f, 0.0f};
    float width = 32.0f, height = 32.0f;
    float widthSpread = 16.0f, heightSpread = 16.0f;
    float floor = -10.0f;
    float speed = 1.0f, speedSpread = 0.5f;
    float spin = 256.0f, spinSpread = 128.0f;
    float gravity = 1.0f;
    bool finished = false;
    int started = 0;

private:
    // Speed, size, spin and frame of one seed whose offset, direction and
    // rotation are known.
    void Complete(Seed& seed, const Vec3& direction);

    fx::CKeeperFrames m_frames;
    std::vector<Seed> m_seeds;
};

// Gravity, flight, spin and the floor: the motion of both sprite keepers.
bool FallingSpriteUpdate(CCollectedParticle2& p, float dt, float gravity, float floor);
