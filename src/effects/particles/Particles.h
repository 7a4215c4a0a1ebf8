// The particle records. Each system kind keeps its particles by value in one
// array of its own record type; a record knows how to start itself (Init) and
// how to advance itself by one frame (Update), while its system decides when
// particles are born and when they die. CCollectedParticle2 has no motion of
// its own: the keeper of its system moves it.
//
// Angles are in 1024ths of a turn, colours 0x00RRGGBB (the opacity is the
// alpha field), alpha runs from 0 to 1 and atlas frames are cells 0 to 15.
// The records are plain and not polymorphic: a system always knows the
// concrete type of its array, so no call through a table is needed per
// particle.
#pragma once

#include "engine/Settings.h"

#include <cstdint>

struct CParticleEnvironment;

// The fields every record begins with.
struct CParticle {
    // Alive at a place with a velocity and a size: how every Init begins.
    void Start(float x, float y, float z, float vx, float vy, float vz, float startSize)
    {
        alive = true;
        position = Vec3{x, y, z};
        velocity = Vec3{vx, vy, vz};
        size = startSize;
    }
    void MoveBy(float dx, float dy, float dz)
    {
        position.x += dx;
        position.y += dy;
        position.z += dz;
    }

    Vec3 position;
    Vec3 velocity; // units per second
    float size = 0.0f;
    bool alive = false;
};

// A short streak that falls under gravity.
struct CSpark : CParticle {
    void Init(uint32_t colour, float fadeRate, float x, float y, float z, float vx, float vy, float vz,
              float width, float lengthFactor, float maxLength);
    void Update(float dt, const CParticleEnvironment& env);

    float lengthFactor = 0.0f;
    float maxLength = 0.0f;
    float gravityFactor = 1.0f;
    float length = 0.0f;         // as last drawn
    float lengthPerSpeed = 0.0f; // width x length factor
    float alpha = 0.0f;
    float fadeRate = 0.0f; // alpha lost per second
    uint32_t colour = 0;
};

// A rotating, growing, drifting smoke cell of a 4 x 4 atlas. A negative fade
// rate fades it in up to the peak, after which it fades out at the fade-out
// rate.
struct CSmoke : CParticle {
    void Init(uint32_t colour, float fadeRate, float x, float y, float z, float vx, float vy, float vz, float size,
              float growthRate, float growthChange, float riseSpeed);
    void Update(float dt, const CParticleEnvironment& env);

    float alpha = 0.0f;
    float fadeRate = 0.0f;
    float fadeOutRate = 0.0f;
    float peakAlpha = 1.0f;
    float growthRate = 0.0f;   // size gained per second
    float growthChange = 0.0f; // change of the growth rate per second
    float rotation = 0.0f;
    float spin = 0.0f; // angle units per second
    int frame = 0;
    float riseSpeed = 0.0f;
    uint32_t colour = 0;
    float red = 0.0f, green = 0.0f, blue = 0.0f; // 0 to 255
};

// A fireball of an explosion: a smoke cell without the rise, with the
// fireball's stronger drag.
struct CFireball : CParticle {
    void Init(uint32_t colour, float fadeRate, float x, float y, float z, float vx, float vy, float vz, float size,
              float growthRate, float growthChange);
    void Update(float dt, const CParticleEnvironment& env);

    float alpha = 0.0f;
    float fadeRate = 0.0f;
    float growthRate = 0.0f;
    float growthChange = 0.0f;
    float rotation = 0.0f;
    float spin = 0.0f;
    int frame = 0;
    uint32_t colour = 0;
};

// One point of a lightning bolt. It is drawn at its shown position, which
// flickers around the point within the jitter radius.
struct CThunderbolt : CParticle {
    void Init(uint32_t colour, float x, float y, float z, float jitterRadius, float size);
    void Update(float dt);
    void MoveBy(float dx, float dy, float dz);

    Vec3 shown;
    float jitter = 0.0f;
    int frame = 0;
    uint32_t colour = 0;
    float brightness = 0.0f;
};

// A rotating sparkle whose opacity follows its phase: phase 0 fades in over
// 1 / phase speed; phase 1 fades at the fade rate; phase 2 (with a negative
// fade rate) fades in at that rate and out again; a negative phase is the
// final fade.
struct CSpell : CParticle {
    void Init(uint32_t colour, float fadeRate, float x, float y, float z, float vx, float vy, float vz, float size,
              float rotation, float spin);
    void Update(float dt);

    float alpha = 0.0f;
    float fadeRate = 0.0f;
    uint32_t colour = 0;
    float rotation = 0.0f;
    float spin = 0.0f;
    float phase = 1.0f;
    float phaseSpeed = 0.0f;
    bool ended = false;
};

// The record a keeper works on (see keepers/Collection2Keeper.h).
struct CCollectedParticle : CParticle {
    void Init(uint32_t colour, float x, float y, float z, int32_t value, float alpha, float size, float rotation);
    // The four corner texture coordinates of a rectangle.
    void SetTextureRect(float u0, float v0, float u1, float v1);

    float alpha = 0.0f;
    // Alpha lost per second; negative while fading in. Only the keepers use it.
    float alphaSpeed = 0.0f;
    uint32_t colour = 0;
    float red = 0.0f, green = 0.0f, blue = 0.0f;
    // Corner texture coordinates (u, v): top-left, top-right, bottom-right,
    // bottom-left.
    float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    float reserved = 0.0f; // set to 0 on Init
    float rotation = 0.0f;
    float spin = 0.0f;  // angle units per second
    float age = 0.0f;   // seconds
    int32_t value = 0;  // keepers keep a texture frame or atlas cell here
    float spare = 0.0f; // a keeper's own per-particle number
};

struct CCollectedParticle2 : CCollectedParticle {
    // Init, then the default square corners and the given size.
    void InitQuad(uint32_t colour, float x, float y, float z, int32_t value, float alpha, float width,
                  float height, float rotation);

    // Corner offsets in units of width and height (the drawing uses x and y),
    // in the order of the texture coordinates.
    float corners[4][3] = {{-0.5f, 0.5f, 0.0f}, {0.5f, 0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {-0.5f, -0.5f, 0.0f}};
    float width = 0.0f;
    float height = 0.0f;
};
