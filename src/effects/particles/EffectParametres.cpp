// Constructors of the effect parameter records.
#include "effects/particles/EffectParametres.h"

#include "effects/particles/ParticleMath.h"

#include <utility>

using namespace fx;

CSparksSpringParametres::CSparksSpringParametres(float x, float y, float z, float vx, float vy, float vz,
                                                 float axisX, float axisY, float axisZ, float fan, float side,
                                                 uint32_t c)
    : position{x, y, z}, velocity{vx, vy, vz}, fanAxis{axisX, axisY, axisZ}, fanWidth(fan), sideSpread(side),
      colour(c)
{}

CSmokesSpringParametres::CSmokesSpringParametres(float x, float y, float z, float vx, float vy, float vz,
                                                 float axisX, float axisY, float axisZ, float length, float width,
                                                 float along, float across, uint32_t c, int f)
    : flags(f), position{x, y, z}, velocity{vx, vy, vz}, axis{axisX, axisY, axisZ}, boxLength(length),
      boxWidth(width), spreadAlong(along), spreadAcross(across), colour(c)
{}

CExplosionParametres::CExplosionParametres(float x, float y, float z, float vx, float vy, float vz, float dirX,
                                           float dirY, float dirZ, float r, float axial, int n, uint32_t c, int m)
    : mode(m), centre{x, y, z}, velocity{vx, vy, vz}, direction(Normalised(V3(dirX, dirY, dirZ))), radius(r),
      colour(c), axialSpread(axial), count(n)
{}

CThunderboltParametres::CThunderboltParametres(float sx, float sy, float sz, float s1x, float s1y, float s1z,
                                               float s2x, float s2y, float s2z, float sl1, float sl2, float sj,
                                               float ex, float ey, float ez, float e1x, float e1y, float e1z,
                                               float e2x, float e2y, float e2z, float el1, float el2, float ej,
                                               int segmentCount, int boltCount, uint32_t c)
    : start{sx, sy, sz}, startVector1{s1x, s1y, s1z}, startVector2{s2x, s2y, s2z}, startLength1(sl1),
      startLength2(sl2), startJitter(sj), end{ex, ey, ez}, endVector1{e1x, e1y, e1z}, endVector2{e2x, e2y, e2z},
      endLength1(el1), endLength2(el2), endJitter(ej), colour(c), segments(segmentCount), bolts(boltCount)
{}

CSpellsSpringParametres::CSpellsSpringParametres(float x, float y, float z, float vx, float vy, float vz, float s,
                                                 float ss, float sz, float szs, uint32_t c)
    : position{x, y, z}, velocity{vx, vy, vz}, colour(c), speed(s), speedSpread(ss), size(sz), sizeSpread(szs)
{}

CCollection2Parametres::CCollection2Parametres(float x, float y, float z,
                                               const std::vector<CCollectedParticle2>* records,
                                               CountedHandle<CCollection2Keeper> behaviour, int blend)
    : blendMode(blend), position{x, y, z}, prepared(records), keeper(std::move(behaviour))
{}
