// The orange totem: a swirl of time digits flies to the clock and adds
// seconds. Its record of "Totems.cfg" and the class that stands, flies and
// charges.
//
// The power (in OrangePower.cpp): a swirl of digits and stars gathers on the
// totem, flies to where the level's time is shown and flashes there; its
// arrival is the grant of seconds.
#pragma once

#include "effects/keepers/VortexKeeper.h"
#include "totems/ColourTotem.h"
#include "totems/TotemSettings.h"

struct OrangeTotemParametres {
    uint32_t shineColor = 0;
    Vec3 destination; // on the screen, where the time is shown
    Vec3 starts[4];   // per level, on the picture
    float flyTime = 0.4f, preFlyTime = 0.2f, postFlyTime = 0.2f;
    float digitsSize = 32.0f;
    uint32_t starColor = 0, twirlColor = 0, flyTwirlColor = 0;
    int32_t flyTwirlFilter = 2; // a blend preset
};
void LoadOrangeTotemParameters(const CTotemSection& section, OrangeTotemParametres* params);

class COrangeTotem : public CColourTotem {
public:
    COrangeTotem();
    ~COrangeTotem() override;

    void SetParameters(const OrangeTotemParametres& p);
    void ClearSprites() override;
    int Process(float dt) override;
    // The power at strength a + 1: the swirl gathers on the totem.
    int Activate(int a) override;

    OrangeTotemParametres params;
    // The digits and stars swirls, their keepers, and the twirl flying with
    // them.
    CountedHandle<CParticleSystem> effectSystems[2];
    CountedHandle<CVortexKeeper> effectKeepers[2];
    CountedHandle<CSprite> flyingTwirl;
    Vec3 start, way;          // where the swirl leaves, and its way to the clock
    float flightTimer = 0.0f; // negative while the swirl gathers
    // 0 before the swirl arrives, 1 in its frame, 2 once the manager took
    // the grant.
    int32_t releaseFlag = 0;

private:
    void MoveSwirlTo(const Vec3& at);
    void MakeTwirl(const Vec3& at, float size);
};
