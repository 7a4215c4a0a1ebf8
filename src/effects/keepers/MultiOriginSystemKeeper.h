// A continuous emitter with any number of origins at once, each with its own
// position, base velocity, rate, size, spin, colour and three-phase opacity
// life (fade in, hold, fade out), choosing a random texture frame per
// particle.
#pragma once

#include "effects/keepers/Collection2Keeper.h"
#include "effects/keepers/KeeperMath.h"

#include <cstdint>
#include <vector>

// What every particle of an origin starts with; spreads are +-.
struct MultiOriginEmission {
    float speed = 50.0f, speedSpread = 25.0f;
    float width = 32.0f, height = 32.0f;
    // A negative height spread draws width and height apart; otherwise one
    // draw scales both and keeps the aspect.
    float widthSpread = 16.0f, heightSpread = 16.0f;
    // A negative spin spread also turns half the particles the other way.
    float spin = 512.0f, spinSpread = -256.0f;
    uint32_t colour = 0xffffffff; // ARGB; the alpha byte is the peak opacity
    // Fade-in end, hold length and fade-out length in seconds, and their
    // spreads.
    float phaseBase[3] = {0.1f, 0.5f, 0.5f};
    float phaseSpread[3] = {0.05f, 0.25f, 0.25f};
};

class CMultiOriginSystemKeeper : public CCollection2Keeper {
public:
    CMultiOriginSystemKeeper();

    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    bool IsEmitting() override { return true; }
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    // Overwrites origin `index`, or appends one when index is past the last.
    // Its first particle comes on the next frame; a rate of 0 never emits.
    void SetOrigin(int index, float x, float y, float z, float vx, float vy, float vz, float rate,
                   const MultiOriginEmission& emission);
    // Moves origin `index` and leaves its emission running as it was (an
    // index past the last does nothing).
    void MoveOrigin(int index, float x, float y, float z);
    void SetFrameRect(int frame, float u0, float v0, float u1, float v1);
    // Overwrites frame `frame`, or appends one when frame is past the last.
    void SetFrameCorners(int frame, const float corners[4][2]);
    // Origins 0 .. count - 1 on a circle round the keeper, each moving
    // outwards at `speed` and emitting totalRate / count per second. Unless
    // `keep` is set the old origins go first.
    void SetOriginsOnCircle(float radius, int count, float startAngle, float totalRate, float speed,
                            const MultiOriginEmission& emission, bool keep);
    // Origins evenly from start to end, each moving along `direction` at
    // `speed`.
    void SetOriginsOnLine(float startX, float startY, float startZ, float endX, float endY, float endZ,
                          float directionX, float directionY, float directionZ, int count, float totalRate,
                          float speed, const MultiOriginEmission& emission, bool keep);
    int OriginCount() const { return static_cast<int>(m_origins.size()); }

    Vec3 baseVelocity;
    Vec3 acceleration;
    // Multiplies the z velocity of new particles; 0 keeps them flat on the
    // screen.
    float zFactor = 1.0f;
    Vec3 killMin{-2000.0f, -2000.0f, -2000.0f};
    Vec3 killMax{2000.0f, 2000.0f, 2000.0f};

private:
    struct Origin {
        Vec3 position;
        Vec3 velocity;
        float rate;
        MultiOriginEmission emission;
        float maxAlpha;
        float accumulator;
        int pending;
    };
    struct Phases {
        float t1, t2, t3;
    };

    fx::CKeeperFrames m_frames;
    std::vector<Origin> m_origins;
    std::vector<Phases> m_phases; // per particle slot
};
