// Helpers the keepers share: a random point in an ellipsoid with the
// direction away from its centre, random directions, atlas cells and the
// angle of a 2-D direction in 1024ths of a turn.
#pragma once

#include "effects/particles/ParticleMath.h"
#include "effects/particles/Particles.h"

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

} // namespace fx
