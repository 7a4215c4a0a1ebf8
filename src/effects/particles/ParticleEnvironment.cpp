// The shared world constants of a particle manager's systems.
#include "effects/particles/ParticleEnvironment.h"

#include "effects/particles/ParticleMath.h"

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

float CParticleEnvironment::Depth(const Vec3& p) const { return Dot(p - view->eye, view->forward); }
