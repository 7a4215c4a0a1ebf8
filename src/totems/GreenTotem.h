// The green totem, the gem totem: rays collect the board's gems while
// unigems secure new ones. Its record of "Totems.cfg" and the class that
// stands, flies and charges; from level 3 it hangs on a chain that its
// strongest power breaks, so its body keeps a chainless look ready.
//
// The power (in GreenPower.cpp): the totem asks the board for its gem tokens
// and for plain tokens to secure new gems on; rays run to the gem tokens and
// unigems fly to the plain ones, and their landing is reported back. At full
// strength its chain sparkles and breaks.
#pragma once

#include "audio/SoundManager.h"
#include "totems/ColourTotem.h"
#include "totems/FlareList.h"
#include "totems/GreenRay.h"
#include "totems/TotemAction.h"
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
    // The power at strength a + 1: it waits for the board's cells.
    int Activate(int a) override;
    // The twinkling in front of the board, on or off.
    void SetTargets(bool on);
    // The board's cells: a ray to each gem token (`gems`), a unigem to each
    // cell of `cells` at `points`; one delay per ray is appended to
    // `delays`, the time until the ray takes its gem.
    void ApplyPower(const std::vector<Vec2>& gems, const std::vector<Vec2>& points,
                    const std::vector<TotemCell>& cells, std::vector<float>* delays);

    GreenTotemParametres params;
    float bigClock = 0.0f, smallClock = 0.0f;
    CountedHandle<CSprite> bigFlares[2];
    Vec3 bigSpots[2]; // in the totem's frame
    float powerClock = 0.0f;
    bool waitingFlag = false; // the power waits for the board's cells
    std::vector<CountedHandle<CGreenRay>> rays;
    std::vector<CountedHandle<CFlareList>> unigems;
    bool finishFlag = false; // the unigems have landed
    bool chainBroken = false;
    float chainLightClock = 0.0f;
    CountedHandle<CSoundManager> sounds;
    bool soundPlayed = false;

protected:
    void BuildExtras() override;

private:
    // A random point of the level's sparkle area, `a` and `b` drawn from
    // `low` to `high` along its two sides; in the totem's frame.
    Vec3 SparkleSpot(float low, float high) const;
    // The level's sparkle area, or null at level 1.
    const Vec2* SparkleArea() const;
    void SwingBigFlares(float dt);
    void Sparkle(float dt);
    void LightChain(float dt);
    void BreakChain();
};
