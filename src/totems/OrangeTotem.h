// The orange totem: a swirl of time digits flies to the clock and adds
// seconds. Its record of "Totems.cfg" and the class that stands, flies and
// charges.
#pragma once

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

    OrangeTotemParametres params;
    // The digits and stars swirls, and the twirl flying with them.
    CountedHandle<CParticleSystem> effectSystems[2];
    CountedHandle<CSprite> flyingTwirl;
};
