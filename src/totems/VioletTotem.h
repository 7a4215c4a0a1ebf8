// The violet totem: turns its charge into token bonuses that fly onto the
// board. Its record of "Totems.cfg" and the class that stands, flies and
// charges; its glow and two circling rays follow it on its picture.
//
// The power (in VioletPower.cpp): one or two bonuses the player owns are
// drawn and each flies out of the glow onto the board; the totem only hands
// the board one delivery record per bonus.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/TotemAction.h"
#include "totems/TotemSettings.h"

#include <vector>

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
    void ClearSprites() override;
    void FadeOut(float speed) override;
    int Process(float dt) override;
    // The power at strength a + 1: its bonuses are drawn in its first frame.
    int Activate(int a) override;
    // The glow and rays on (when none stand); off, they fade and go.
    void SetTargets(bool on);
    // Draws the bonuses of the release into the own list.
    void ApplyPower();

    VioletTotemParametres params;
    // The glow, then the rays.
    std::vector<CountedHandle<CSprite>> parts;
    float rayAngles[2] = {0.0f, 3.1415927f};
    float powerTimer = 0.0f; // seconds the power has left
    // 0 before the release, 1 in its frame, 2 once the manager took the
    // records.
    int32_t releaseFlag = 0;
    std::vector<TotemAction> ownActions; // one delivery record per bonus

protected:
    void PlaceExtras() override;
    void ResizeExtras(float, float) override;
    void ShiftExtras(int d) override;

private:
    size_t Entry() const;
    CountedHandle<CSprite> AddPart(const Vec3& local, const Vec2& size, uint32_t argb, float u0, float v0,
                                   float u1, float v1);
};
