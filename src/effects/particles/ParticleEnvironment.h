// The world constants every particle system of one manager shares: gravity,
// the drags of smoke and fireballs, the view the billboards face, the sine
// and atlas tables, and the kill box outside which particles die.
//
// Angles of particles are measured in 1024ths of a full turn. Texture atlases
// are 4 x 4 cells of 0.25, cell = column + 4 x row.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h"

#include <algorithm>
#include <cmath>

// The view: billboards are spanned by right and up; a point's depth is its
// distance from the eye along forward, so with this view a larger z is
// farther away.
struct CParticleCamera {
    Vec3 eye{0.0f, 0.0f, -1.0f};
    Vec3 right{1.0f, 0.0f, 0.0f};
    Vec3 up{0.0f, 1.0f, 0.0f};
    Vec3 forward{0.0f, 0.0f, 1.0f};
};

struct CParticleEnvironment {
    CParticleEnvironment();

    // Sine and cosine of the nearest whole angle, taken modulo 1024. (lrint
    // of a huge or NaN angle gives an unspecified number, never a trap; the
    // mask keeps any of them inside the table.)
    void SinCos(float angle, float* s, float* c) const
    {
        const long i = std::lrint(angle) & 1023;
        *s = sine[i];
        *c = cosine[i];
    }
    // Top-left texture coordinate of the atlas cell nearest to `frame`,
    // held to the sixteen cells (a NaN frame reads cell 0).
    void AtlasCell(float frame, float* u, float* v) const
    {
        const long n = frame > 0.0f ? std::lrint(std::min(frame, 15.0f)) : 0L;
        *u = atlasU[n];
        *v = atlasV[n];
    }
    bool InsideKillBox(const Vec3& p) const
    {
        return p.x >= killMin.x && p.x <= killMax.x && p.y >= killMin.y && p.y <= killMax.y && p.z >= killMin.z &&
               p.z <= killMax.z;
    }
    // (p - eye) . forward: the key the managers sort their systems by.
    float Depth(const Vec3& p) const;

    Vec3 gravity{0.0f, -9.8f, 0.0f}; // units per second squared
    float smokeDrag = 0.5f;          // per second
    float smokeSpinDamping = 0.1f;
    float fireballDrag = 4.5f;
    float fireballSpinDamping = 1.5f;
    CountedHandle<CParticleCamera> view;
    float sine[1024];
    float cosine[1024];
    float atlasU[16];
    float atlasV[16];
    Vec3 killMin{-10.0f, -10.0f, -10.0f};
    Vec3 killMax{10.0f, 10.0f, 10.0f};
};
