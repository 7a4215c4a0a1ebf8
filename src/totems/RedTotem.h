// The red totem: fireballs at random places of the board. Its record of
// "Totems.cfg", and the class that stands, flies and charges; the charge
// balls it holds in front of the board follow it on its picture.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/TotemSettings.h"

struct RedTotemParametres {
    uint32_t shineColor = 0;
    uint32_t color1 = 0, color2 = 0; // a ball's core and halo
    Vec3 points[4];                  // the balls on the picture
    uint32_t expColor = 0;
    float flySpeed = 2000.0f;
};
void LoadRedTotemParameters(const CTotemSection& section, RedTotemParametres* params);

class CRedTotem : public CColourTotem {
public:
    CRedTotem();
    ~CRedTotem() override;

    void SetParameters(const RedTotemParametres& p);
    void ClearSprites() override;
    void FadeOut(float speed) override;
    int Process(float dt) override;
    // The charge balls for a strength, or (flag 0) their end.
    void SetTargets(bool on, int ballStrength);

    // Two systems per ball: the core, then the halo.
    std::vector<CountedHandle<CParticleSystem>> runningSystems;
    RedTotemParametres params;

protected:
    void PlaceExtras() override;
};
