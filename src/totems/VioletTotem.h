// The violet totem: turns its charge into token bonuses that fly onto the
// board. Its record of "Totems.cfg" and the class that stands, flies and
// charges; its glow and two circling rays follow it on its picture.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/TotemSettings.h"

struct VioletTotemParametres {
    uint32_t shineColor = 0;
    Vec3 glowCentres[4];
    Vec2 glowSizes[4];
    Vec3 rayCentres[4];
    Vec2 raySizes[4];
    Vec2 rayRadii[4];
    uint32_t glowColor = 0, rayColor = 0;
    float rayW = 0.5f; // radians a second
    Vec4 areas[4];     // where bonuses start: left, top, width, height
    float flyTime = 0.5f;
};
void LoadVioletTotemParameters(const CTotemSection& section, const PictureScale& picture,
                               VioletTotemParametres* params);

class CVioletTotem : public CColourTotem {
public:
    CVioletTotem();
    ~CVioletTotem() override;

    void SetParameters(const VioletTotemParametres& p);
    void FadeOut(float speed) override;
    int Process(float dt) override;
    // The glow and rays on; off, they fade and go.
    void SetTargets(bool on);

    VioletTotemParametres params;
    // The glow, then the rays.
    std::vector<CountedHandle<CSprite>> parts;
    float rayAngles[2] = {0.0f, 3.1415927f};

protected:
    void PlaceExtras() override;
    void ResizeExtras(float, float) override;
    void ShiftExtras(int d) override;

private:
    size_t Entry() const;
};
