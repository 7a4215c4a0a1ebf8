// The shared world constants of a particle manager's systems.
#include "effects/particles/ParticleEnvironment.h"

#include "effects/particles/ParticleMath.h"

#include <algorithm>
#include <cmath>

using namespace fx;

CParticleEnvironment::CParticleEnvironment() : view(MakeCountedHandle(new CParticleCamera()))
{
    for (int i = 0; i < 1024; ++i) {
        const double a = i * 3.14159265358979323846 / 512.0;
        sine[i] = static_cast<float>(std::sin(a));
        cosine[i] = static_cast<float>(std::cos(a));
    }
    for (int n = 0; n < 16; ++n) {
        atlasU[n] = 0.25f * static_cast<float>(n % 4);
        atlasV[n] = 0.25f * static_cast<float>(n / 4);
    }
}

void CParticleEnvironment::SinCos(float angle, float* s, float* c) const
{
    // lrint of a huge or NaN angle gives an unspecified number, never a
    // trap; the mask keeps any of them inside the table.
    const long i = std::lrint(angle) & 1023;
    *s = sine[i];
    *c = cosine[i];
}

void CParticleEnvironment::AtlasCell(float frame, float* u, float* v) const
{
    // A NaN frame fails both comparisons and reads cell 0.
    const long n = frame > 0.0f ? std::min(std::lrint(std::min(frame, 15.0f)), 15L) : 0L;
    *u = atlasU[n];
    *v = atlasV[n];
}

bool CParticleEnvironment::InsideKillBox(const Vec3& p) const
{
    return p.x >= killMin.x && p.x <= killMax.x && p.y >= killMin.y && p.y <= killMax.y && p.z >= killMin.z &&
           p.z <= killMax.z;
}

float CParticleEnvironment::Depth(const Vec3& p) const { return Dot(p - view->eye, view->forward); }
