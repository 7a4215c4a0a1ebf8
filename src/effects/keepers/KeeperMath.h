// Helpers the keepers share: a random point in an ellipsoid with the
// direction away from its centre, random directions, atlas cells, the angle
// of a 2-D direction in 1024ths of a turn, a steady emission rate and a table
// of texture frames.
#pragma once

#include "effects/particles/ParticleMath.h"
#include "effects/particles/Particles.h"

#include <vector>

namespace fx {

// A random offset inside the ellipsoid of full extents `spread`.
Vec3 RandomInEllipsoid(const Vec3& spread);
// A random direction from three draws each minus 0.5; (1, 0, 0) when all
// three are 0.5.
Vec3 RandomDirection();
// The offset's direction, or a random one for a zero offset.
Vec3 DirectionOf(const Vec3& offset);
// The four corners of atlas cell `cell` (cells of 0.25, 4 to a row).
void SetAtlasCell(CCollectedParticle& p, int cell);
// The direction of (dx, dy) in 1024ths of a turn, 0 along +x, counter-
// clockwise; 0 for a zero vector.
float AngleOf(float dx, float dy);

// A particle fades in at `fadeIn` opacity per second (its alpha speed is
// -fadeIn meanwhile) and, once full, out at the speed `fadeOut()` gives,
// the time past full opacity already spent fading out. False once it has
// faded out.
template <class FadeOut>
bool FadeInThenOut(CCollectedParticle& p, float dt, float fadeIn, FadeOut fadeOut)
{
    p.alpha -= dt * p.alphaSpeed;
    if (p.alphaSpeed < 0.0f) {
        if (p.alpha < 1.0f)
            return true;
        const float over = (p.alpha - 1.0f) / fadeIn;
        p.alphaSpeed = fadeOut();
        p.alpha = 1.0f - p.alphaSpeed * over;
        return p.alpha > 0.0f;
    }
    if (p.alpha <= 0.0f) {
        p.alpha = 0.0f;
        return false;
    }
    return true;
}
// The whole particles `rate` per second gives over dt, the fraction kept in
// the accumulator; a rate of 0 gives none.
int TakeWholeParticles(float& accumulator, float rate, float dt);

// The texture frames a keeper picks from: four (u, v) corners each, in the
// order top-left, top-right, bottom-right, bottom-left. Frame 0 is the whole
// texture until it is overwritten.
class CKeeperFrames {
public:
    CKeeperFrames() { SetRect(0, 0.0f, 0.0f, 1.0f, 1.0f); }
    void SetRect(int frame, float u0, float v0, float u1, float v1);
    // Overwrites `frame`, or appends a frame when `frame` is past the last.
    void SetCorners(int frame, const float corners[4][2]);
    int PickRandom() const { return RandomIndex(static_cast<int>(m_frames.size())); }
    void CopyTo(int frame, CCollectedParticle& p) const;

private:
    struct Frame {
        float corners[4][2];
    };
    std::vector<Frame> m_frames;
};

} // namespace fx
