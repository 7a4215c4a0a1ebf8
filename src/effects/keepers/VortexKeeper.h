// A continuous swirl: particles born at a steady rate in a ring round the
// origin fade in, hold and fade out; inside the vortex radius their velocity
// is steered into a circle round the vortex axis, at a tangential speed that
// depends on the distance from the centre, and their radial speed is damped
// away. Their look comes from a small table of texture shapes.
#pragma once

#include "effects/keepers/Collection2Keeper.h"

#include <cstdint>
#include <vector>

class CVortexKeeper : public CCollection2Keeper {
public:
    CVortexKeeper();

    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    // False once `continuous` is cleared: no particle is born any more, and
    // the swirl dies out as its particles fade.
    bool IsEmitting() override { return continuous; }
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    void SetVortex(float innerRadius, float outerRadius, float innerSpeed, float outerSpeed, float spawnRadius);
    // Stores the values and sets the speed, hold, fade-out and spin spreads
    // to half of them.
    void Configure(uint32_t colour, float width, float height, float speed, float fadeInSpeed, float holdTime,
                   float fadeOutSpeed, float spin);
    // 0: the whole texture; 1: the twelve cells of the first three rows of a
    // 4 x 4 atlas; 2: as 1 with shapes 5 and 6 trimmed. Other types leave the
    // table as it is.
    void BuildShape(int type);
    // One shape: this rectangle of the texture.
    void UseCell(float u0, float v0, float u1, float v1);

    struct Shape {
        float u0, v0, u1, v1;
        float widthFactor, heightFactor;
    };
    const std::vector<Shape>& Shapes() const { return m_shapes; }

    uint32_t colour = 0xffffffff;
    float width = 32.0f, height = 32.0f;
    float speed = 20.0f, speedSpread = 10.0f;
    float fadeInSpeed = 10.0f; // alpha per second
    float fadeOutSpeed = 2.0f, fadeOutSpread = 1.0f;
    float holdTime = 0.5f, holdSpread = 0.25f;
    float spin = 256.0f, spinSpread = 128.0f;
    // The vortex frame; only the axis steers particles.
    Vec3 frameX{1.0f, 0.0f, 0.0f};
    Vec3 frameY{0.0f, 1.0f, 0.0f};
    Vec3 axis{0.0f, 0.0f, 1.0f};
    float innerRadius = 16.0f, outerRadius = 40.0f;
    float innerSpeed = 200.0f, outerSpeed = 200.0f; // tangential speeds
    float spawnRadius = 16.0f;
    float tangentialGain = 10.0f; // per second
    float radialDamping = 2.0f;   // per second
    float rate = 10.0f;           // particles per second
    float accumulator = 0.0f;
    bool swirl = true;
    bool continuous = true; // particles keep being born

private:
    // A fade-out speed drawn for a particle whose hold ended `h` seconds ago
    // (h <= 0); false when the fade is over already.
    bool StartFadeOut(CCollectedParticle2& p, float h);

    std::vector<Shape> m_shapes;
};
