// The red totem: fireballs at random places of the board. Its record of
// "Totems.cfg", and the class that stands, flies and charges; the charge
// balls it holds in front of the board follow it on its picture.
//
// The power (in RedPower.cpp): each ball becomes a fireball that flies to a
// random block of 2 x 2 cells (a small ball) or a plus of 5 cells (a big
// one) and explodes; every landed fireball is a hit.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/RedFireball.h"
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
    // The power at strength a + 1: the balls fly off.
    int Activate(int a) override;
    // The charge balls for a strength, or (flag 0) their end.
    void SetTargets(bool on, int ballStrength);

    // The balls a level holds: 2 at level 1, 4 above.
    int BallCount() const { return level <= 1 ? 2 : 4; }

    // Two systems per ball: the core, then the halo.
    std::vector<CountedHandle<CParticleSystem>> runningSystems;
    RedTotemParametres params;
    std::vector<CountedHandle<CRedFireball>> fireballs, hits;

protected:
    void PlaceExtras() override;

private:
    // Where ball i stands on the totem.
    Vec3 BallPoint(int i) const;
};
