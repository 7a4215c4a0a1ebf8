#include "totems/FlareList.h"

#include "effects/particles/ParticleSystem.h"

CFlareList::CFlareList() { flares.reserve(5); }

CFlareList::~CFlareList() { FadeOutAll(); }

void CFlareList::FadeOutAll()
{
    for (const auto& flare : flares)
        if (flare)
            flare->FadeOutNow();
    flares.clear();
    if (trail)
        trail->StopEmitting();
    trail.Reset();
}
