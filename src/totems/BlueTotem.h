// The blue totem: thunderbolts break the steel tokens. Its record of
// "Totems.cfg" and the class that stands, flies and charges; its last two
// body sprites show the steel cap its power breaks off, and shield pulses
// follow it on its picture while the board keeps them on.
//
// The power (in BluePower.cpp): flickering bolts charge on the body, gather
// on one point, the steel cap bursts, the totem asks the board for the steel
// tokens and one bolt flies to each; every bolt that arrives is a hit.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/StrikeBolt.h"
#include "totems/TotemAction.h"
#include "totems/TotemSettings.h"

struct BlueTotemParametres {
    static constexpr int kLevels = 3;
    static constexpr int kMaxBolts = 16;

    // One charging bolt: the middles of its begin and end segments and the
    // segments' two points each.
    struct Bolt {
        Vec2 begin[2];
        Vec2 end[2];
    };

    uint32_t shineColor = 0;
    TextureRect empty[kLevels][2]; // the last two body sprites without the cap
    std::vector<Bolt> bolts[kLevels];
    Vec3 target; // where the bolts gather; depth -100
    float preTime = 0.5f, strikeTime = 0.1f;
    Vec2 boltSize{200.0f, 48.0f};
    float boltSpeed = 2500.0f;
    uint32_t boltColor = 0;
    PicturePlace caps;   // depth -50
    PicturePlace shield; // on the large totem; depth -0.5
    TextureRect shieldT;
    PicturePlace smallShield; // on the small totem's picture; depth -0.5
    TextureRect smallShieldT;
    uint32_t shieldColor = 0;
    float shieldLifeTime = 2.0f, shieldBirth = 1.0f;
    float shieldMinFactor = 0.5f, shieldMaxFactor = 2.0f;
};
void LoadBlueTotemParameters(const CTotemSection& section, const PictureScale& picture,
                             const PictureScale& smallPicture, BlueTotemParametres* params);

class CBlueTotem : public CColourTotem {
public:
    CBlueTotem();
    ~CBlueTotem() override;

    void SetParameters(const BlueTotemParametres& p);
    // Also sets the time to the first shield pulse, in every mode.
    void Init(int newMode, CountedHandle<CTotemShapeSet> shapeSet) override;
    void ClearSprites() override;
    int Process(float dt) override;
    // The power at strength a + 1; its charge bolts are laid out at once.
    int Activate(int a) override;
    // The board's steel tokens: one bolt flies to each (points on the
    // screen, cells on the board, the same count).
    void SetTargets(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells);
    // The shield pulses on or off; off takes every pulse away at once.
    void ApplyPower(bool on);

    static constexpr int kChargeSteps = 5;
    // The power's steps after the charge: gathering, waiting for the
    // board's targets, bolts in flight.
    static constexpr int kGathering = kChargeSteps + 1;
    static constexpr int kAsking = kChargeSteps + 2;
    static constexpr int kStriking = kChargeSteps + 3;

    BlueTotemParametres params;
    // The charge bolts on the body: their two ends on the screen, and the
    // lengths of the segments they start and end on.
    std::vector<Vec3> boltBegins, boltEnds;
    std::vector<float> boltLengths; // begin and end segment per bolt
    float powerClock = 0.0f;
    int32_t stepsDone = 0;
    bool strikeRequest = false;                                 // the board is asked for the steel tokens
    std::vector<CountedHandle<CParticleSystem>> runningSystems; // the gathering bolts
    std::vector<CountedHandle<CStrikeBolt>> flying, hits;
    std::vector<CountedHandle<CSprite>> shieldSprites;
    std::vector<float> shieldAges;
    bool shieldsOn = false;
    float shieldBirthTimer = 10.0f;
    float minDuration = 0.0f; // what the power lasts at least, counting down

protected:
    void BuildExtras() override;
    void PlaceExtras() override;
    void ResizeExtras(float oldX, float oldY) override;
    void ShiftExtras(int d) override;

private:
    // The tables of levels 1..3; a level-4 totem uses level 3's.
    size_t TableLevel() const;
    void PulseShields(float dt);
    int PowerStep(float dt);
    void LayOutCharge();
    void ChargeStep(bool first);
    void StartGathering();
    void Gather(float f);
    void BreakCap();
    // The last two body sprites show the cap (frame 0) or its empty place.
    void ShowCap(bool shown);
};
