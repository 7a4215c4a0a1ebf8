// The parameter records an effect owner fills to describe the effect it
// wants, one per system kind. The owner passes a pointer to the record to the
// manager's factory together with a capacity and a texture, and may destroy
// the record right afterwards: the system copies what it needs.
//
// Each constructor takes the values nearly every caller sets and fills the
// rest with defaults; callers overwrite further fields before the factory
// call. Colours are 0x00RRGGBB (an alpha byte given with them is dropped).
// A spread s stands for a fresh value +- s.
#pragma once

#include "effects/particles/Particles.h"
#include "engine/CountedHandle.h"
#include "engine/Settings.h"

#include <cstdint>
#include <vector>

class CCollection2Keeper;

struct CSparksSpringParametres {
    CSparksSpringParametres(float x, float y, float z, float vx, float vy, float vz, float axisX, float axisY,
                            float axisZ, float fanWidth, float sideSpread, uint32_t colour);

    Vec3 position;
    Vec3 velocity; // base velocity, units per second
    Vec3 fanAxis;  // direction of the fan; a zero axis becomes (1, 0, 0)
    // Fan mode: full extents of the velocity offset along and across the
    // axis. Sphere mode: base speed and its spread.
    float fanWidth;
    float sideSpread;
    uint32_t colour;
    float width = 0.005f;      // spark width and least length
    float lengthFactor = 1.5f; // length = speed x width x length factor
    float maxLength = 0.02f;
    float fadeRate = 0.75f; // alpha lost per second
    bool timeLimited = true;
    float duration = 0.5f;
    int totalCount = 50; // for count-limited emission
    float rate = 50.0f;  // particles per second
    bool sphereMode = false;
};

// Bits of CSmokesSpringParametres::flags.
enum SmokeFlags : int {
    kSmokeAlphaBlend = 0,
    kSmokeAdditive = 1,
    kSmokeDarken = 2,
    kSmokeBlendMask = 0x0F,
    kSmokeAlongPath = 0x10, // puffs spread along the emitter's move
};

struct CSmokesSpringParametres {
    CSmokesSpringParametres(float x, float y, float z, float vx, float vy, float vz, float axisX, float axisY,
                            float axisZ, float boxLength, float boxWidth, float spreadAlong, float spreadAcross,
                            uint32_t colour, int flags);

    int flags;
    Vec3 position;
    Vec3 velocity; // direction bias; along a path the exact start velocity
    Vec3 axis;     // orientation of the emission box
    float boxLength;
    float boxWidth;
    float spreadAlong; // random direction offsets along and across the axis
    float spreadAcross;
    uint32_t colour;
    float speed = 0.1f, speedSpread = 0.025f;
    float rise = 0.1f, riseSpread = 0.025f; // upward drift per second
    float size = 0.01f, sizeSpread = 0.0025f;
    float growth = 0.2f, growthSpread = 0.1f; // size gained per second
    float growthChange = 0.01f;
    float fadeRate = 0.75f, fadeSpread = 0.25f;
    // 0: puffs start opaque; otherwise they start transparent and gain this
    // much opacity per second up to 1.
    float fadeInRate = 0.0f;
    bool timeLimited = true;
    float duration = 3.0f;
    int totalCount = 50;
    float rate = 60.0f;
};

enum ExplosionMode : int {
    kExplosionScatter = 0, // fireballs fly in random directions
    kExplosionRing = 1,    // they fly out as a ring around the direction
};

struct CExplosionParametres {
    // The direction is normalised; a zero one becomes (0, 1, 0).
    CExplosionParametres(float x, float y, float z, float vx, float vy, float vz, float dirX, float dirY,
                         float dirZ, float radius, float axialSpread, int count, uint32_t colour, int mode);

    int mode;
    Vec3 centre;
    Vec3 velocity;  // added to every fireball
    Vec3 direction; // unit vector, the ring's axis
    float radius;   // start positions lie within this distance of the centre
    uint32_t colour;
    float speed = 0.5f, speedSpread = 0.25f;
    float axialSpread; // ring mode: spread of the velocity along the axis
    float size = 0.005f, sizeSpread = 0.0025f;
    float growth = 0.25f, growthSpread = 0.125f;
    float growthChange = 0.0f;
    float fadeRate = 2.0f, fadeSpread = 0.25f;
    int count; // fireballs of the single burst
};

struct CThunderboltParametres {
    CThunderboltParametres(float startX, float startY, float startZ, float startVector1X, float startVector1Y,
                           float startVector1Z, float startVector2X, float startVector2Y, float startVector2Z,
                           float startLength1, float startLength2, float startJitter, float endX, float endY,
                           float endZ, float endVector1X, float endVector1Y, float endVector1Z, float endVector2X,
                           float endVector2Y, float endVector2Z, float endLength1, float endLength2,
                           float endJitter, int segments, int bolts, uint32_t colour);

    Vec3 start;
    // Each bolt's start point wanders along these two directions over the
    // full extents given by the lengths.
    Vec3 startVector1, startVector2;
    float startLength1, startLength2;
    float startJitter; // jitter radius of the points at the start of a bolt
    Vec3 end;
    Vec3 endVector1, endVector2;
    float endLength1, endLength2;
    float endJitter; // points in between interpolate the two jitters
    uint32_t colour;
    float particleSize = 0.01f; // width of each bolt segment
    int segments;               // a bolt has segments + 1 points
    int bolts;                  // bolts drawn at once
    float duration = 5.0f;
    float delay = 0.0f; // seconds before the bolts appear
};

struct CSpellsSpringParametres {
    CSpellsSpringParametres(float x, float y, float z, float vx, float vy, float vz, float speed,
                            float speedSpread, float size, float sizeSpread, uint32_t colour);

    Vec3 position;
    Vec3 velocity;
    uint32_t colour;
    float speed, speedSpread; // random outward speed
    float size, sizeSpread;
    float fadeRate = 0.5f, fadeSpread = 0.25f;
    bool timeLimited = true;
    float duration = 10.0f;
    int totalCount = 50;
    float rate = 60.0f;
    bool inward = false;                  // sparkles converge on the emitter
    bool randomRotation = false;          // start rotation random in [0, 1024)
    bool randomSpinSign = true;           // each sparkle turns either way at random
    float spin = 0.0f, spinSpread = 0.0f; // angle units per second
    // Sparkles fade in before fading out (outward), or fade out again after
    // fading in (inward).
    bool twoPhase = false;
    float phaseSpeed = 5.0f; // speed of the fade-in or the final fade
};

enum CollectionBlendMode : int {
    kCollectionAdditive = 0, // and any value other than the two below
    kCollectionMultiply = 1,
    kCollectionAlphaBlend = 2,
};

struct CCollection2Parametres {
    CCollection2Parametres(float x, float y, float z, const std::vector<CCollectedParticle2>* prepared,
                           CountedHandle<CCollection2Keeper> keeper, int blendMode);

    int blendMode;
    Vec3 position;
    // Set: the keeper emits. Clear: the prepared records are shown once.
    bool keeperFlag = false;
    const std::vector<CCollectedParticle2>* prepared; // may be null
    CountedHandle<CCollection2Keeper> keeper;         // may be empty
    bool timeLimited = true;
    float duration = 10.0f;
    int totalCount = 50;      // not used by the keeper-driven system
    float rate = 60.0f;       // not used by the keeper-driven system
    float alphaFactor = 1.0f; // multiplies every particle's alpha when drawn
};
