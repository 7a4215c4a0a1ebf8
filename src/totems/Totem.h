// The base of the seven power totems: what every totem has (colour, state,
// mode, level, place, scale, opacity, move, strength, layer, shapes) and the
// operations the totems manager drives. The base only stores values; the
// colour classes draw and run.
#pragma once

#include "engine/CountedHandle.h"
#include "totems/TotemShapeSet.h"

#include <cstdint>

// Token colours, which are also the totems' kinds.
enum TotemColour { kGreenTotem, kYellowTotem, kRedTotem, kBlueTotem, kOrangeTotem, kWhiteTotem, kVioletTotem };
constexpr int kTotemColours = 7;

// Modes: beside the board, in front of the board, in the shop.
enum TotemMode { kSmallTotem, kLargeTotem, kShopTotem };

// States: standing, moving, fading out, power (strength 1-2, strength 3),
// power over and going back, power over and staying in front.
enum TotemState { kTotemIdle, kTotemMoving, kTotemFading, kTotemPower, kTotemPowerFull, kTotemBack, kTotemStays };

// What Process reports when it returns 1: arrived, faded out, power over
// (strength 1-2, strength 3), fully shown in the shop.
enum TotemEvent {
    kTotemArrived = 1,
    kTotemFadedOut = 2,
    kTotemPowerOver = 3,
    kTotemFullPowerOver = 4,
    kTotemShown = 7
};

class CTotem {
public:
    CTotem() = default;
    virtual ~CTotem() = default;
    CTotem(const CTotem&) = delete;
    CTotem& operator=(const CTotem&) = delete;

    // Opacity 0 fading toward 1, standing, the mode and the shapes taken.
    virtual void Init(int newMode, CountedHandle<CTotemShapeSet> shapeSet);
    virtual void ClearSprites() {}
    virtual void SetPosition(float, float, float) {}
    virtual void SetScale(float, float) {}
    virtual void MoveTo(float, float, float, float, float, float) {}
    virtual void FadeOutLights(bool) {}
    virtual void SetLightCount(int) {}
    virtual void FadeOut(float) {}
    virtual void SetOpacity(float value, bool alsoTarget);
    virtual void SetZOrder(int z) { zOrder = z; }
    // Starts the power at strength a + 1 (state 4 for a = 2, else 3).
    virtual int Activate(int a);
    virtual int Process(float) { return 0; }
    bool PowerRuns() const { return state == kTotemPower || state == kTotemPowerFull; }

    int32_t kind = -1;
    int32_t state = kTotemIdle;
    int32_t mode = kLargeTotem;
    int32_t level = 1;
    float moveTimer = 0.0f;
    float moveDuration = 1.0f;
    float position[3] = {0, 0, 0};
    float scale[2] = {84.0f, 84.0f};
    float pictureSize[2] = {256.0f, 256.0f};
    float opacity = 0.0f;
    float moveStart[3] = {0, 0, 0};
    float moveTarget[3] = {0, 0, 0};
    float startScale[2] = {84.0f, 84.0f};
    float targetScale[2] = {84.0f, 84.0f};
    int32_t eventCode = 0;
    float targetOpacity = 0.0f;
    float fadeSpeed = 4.0f;
    int32_t strength = 0;
    float axis1[3] = {1, 0, 0};
    float axis2[3] = {0, 1, 0};
    int32_t zOrder = -40;
    float factor = 1.0f;
    CountedHandle<CTotemShapeSet> shapes;
};
