// The green totem, the gem totem: rays collect the board's gems while
// unigems secure new ones. Its record of "Totems.cfg" and the class that
// stands, flies and charges; from level 3 it hangs on a chain that its
// strongest power breaks, so its body keeps a chainless look ready.
#pragma once

#include "audio/SoundManager.h"
#include "totems/ColourTotem.h"
#include "totems/FlareList.h"
#include "totems/TotemSettings.h"

struct GreenTotemParametres {
    uint32_t shineColor = 0;
    TextureRect noChain, noChainShadow; // the body and its shadow without the chain
    PicturePlace chain;                 // left end, top, span and sag of the chain
    Vec2 points[4];                     // where the rays leave, per level
    uint32_t rayColor = 0, rayFlareColor = 0;
    float preRayTime = 0.25f, rayFlareTime = 1.0f, rayThickness = 80.0f, rayTan = 0.05f;
    float raySpeed = 800.0f, rayLen = 400.0f, ray2PiLen = 256.0f, rayInTermTime = 0.5f;
    float rayHeadSize = 24.0f, rayHeadW = 3.1415927f;
    float unigemSize = 48.0f;
    uint32_t unigemTailColor = 0;
    float unigemTailPSize = 48.0f, unigemFlyTime = 0.75f, unigemStartFlyTime = 0.0f, pauseTime = 1.0f;
    // Per level 2..4: the sparkle area's point and its two other points
    // relative to it.
    Vec2 flares[3][3];
    float smallFSize = 0, smallFLifeTime = 0.4f, smallFW = 1.0f, smallFT = 0.08f, smallFIntensity = 1.0f;
    float bigFSize = 0, bigFIntensity = 0.6f, bigFT = 1.5f, bigFW = 0.5f;
    float chainTime = 0.75f;
    float chainLightSize = 0, chainLightLifeTime = 0.25f, chainLightT = 0.025f;
    uint32_t chainLightColor = 0;
};
void LoadGreenTotemParameters(const CTotemSection& section, const PictureScale& picture, float shadowTexWidth,
                              float shadowTexHeight, GreenTotemParametres* params);

class CGreenTotem : public CColourTotem {
public:
    CGreenTotem();
    ~CGreenTotem() override;

    void SetParameters(const GreenTotemParametres& p);
    void ClearSprites() override;
    int Process(float dt) override;
    // The twinkling in front of the board, on or off.
    void SetTargets(bool on);

    GreenTotemParametres params;
    CountedHandle<CSprite> bigFlares[2];
    std::vector<CountedHandle<CFlareList>> unigems;
    bool waitingFlag = false; // the power waits for the board's cells
    bool finishFlag = false;  // the unigems have landed
    CountedHandle<CSoundManager> sounds;

protected:
    void BuildExtras() override;
};
