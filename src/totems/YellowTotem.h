// The yellow totem: a number of points flies to the score and, from level
// 2, the sand frenzy starts. Its record of "Totems.cfg" and the class that
// stands, flies and charges; the gold nugget on its top is its last sprite.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/TotemSettings.h"

struct YellowTotemParametres {
    uint32_t shineColor = 0;
    float nuggetFadeTime = 0.25f;
    Vec2 smokeCentres[4];
    float smokePlatformSizes[4] = {0, 0, 0, 0};
    uint32_t smokeColor = 0;
    float smokeSize = 0, smokeExpand = 0, smokeUpSpeed = 0, smokeFadeSpeed = 4.0f;
    float numberStartTime = 0.25f, numberFlyTime = 0.5f, numberFadeTime = 0.25f;
    Vec3 numberTarget;      // on the screen: the score
    TextureRect numbers[5]; // 1000 to 3000 on the picture
    Vec2 numberSizes[5];
    float flareSize = 0, flareLifeTime = 0.4f, flareW = 3.1415927f, flareT = 0.08f;
    uint32_t flareColor = 0;
    PicturePlace flares[4]; // the sparkle ellipse per level
    float plusSize = 32.0f;
    Vec3 frenzyTarget; // on the screen: the sand box; z holds its width
};
void LoadYellowTotemParameters(const CTotemSection& section, const PictureScale& picture,
                               YellowTotemParametres* params);

class CYellowTotem : public CColourTotem {
public:
    CYellowTotem();
    ~CYellowTotem() override;

    void SetParameters(const YellowTotemParametres& p);
    void ClearSprites() override;
    int Process(float dt) override;

    YellowTotemParametres params;
    CountedHandle<CSprite> number; // the flying number
    CountedHandle<CParticleSystem> plusSwirl;

protected:
    void BuildExtras() override;
    bool StacksByShape() const override { return true; }
};
