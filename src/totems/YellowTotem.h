// The yellow totem: a number of points flies to the score and, from level
// 2, the sand frenzy starts. Its record of "Totems.cfg" and the class that
// stands, flies and charges; the gold nugget on its top is its last sprite.
//
// The power (in YellowPower.cpp): the nugget vanishes in a puff and a number
// rises from it in a swirl of plus signs and flies to the score; its arrival
// is the award, and from level 2 a bolt runs to the sand box.
#pragma once

#include "effects/keepers/VortexKeeper.h"
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
    Vec3 numberTarget;      // on the screen: the score, depth -100
    TextureRect numbers[5]; // 1000 to 3000 on the picture
    Vec2 numberSizes[5];
    float flareSize = 0, flareLifeTime = 0.4f, flareW = 3.1415927f, flareT = 0.08f;
    uint32_t flareColor = 0;
    PicturePlace flares[4]; // the sparkle ellipse per level
    float plusSize = 32.0f;
    Vec3 frenzyTarget;          // on the screen: the sand box, depth -100
    float frenzyWidth = 640.0f; // of the sand box
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
    // The power at strength a + 1: the number comes in the next frame.
    int Activate(int a) override;

    // The number picture of a power: 0 (1000 points) at level 1 strength 2
    // up to 4 (3000) at level 4 strength 3.
    int NumberPicture() const;

    YellowTotemParametres params;
    float sparkleClock = 0.0f;
    float clock = 0.0f; // of the power
    bool startFlag = false;
    CountedHandle<CSprite> number; // the flying number
    // 0 before the number arrives, 1 in its frame, 2 once the manager took
    // the award.
    int32_t releaseFlag = 0;
    CountedHandle<CParticleSystem> plusSwirl;
    CountedHandle<CVortexKeeper> plusKeeper;

protected:
    void BuildExtras() override;
    bool StacksByShape() const override { return true; }

private:
    size_t Entry() const;
    // Where the nugget sits on the totem.
    Vec3 NuggetPoint() const;
    void Begin();
    void MoveNumberTo(const Vec3& at);
    void EndNumber();
    void Sparkle(float dt);
    void ShowNugget(bool shown);
};
