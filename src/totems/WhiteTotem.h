// The white totem, the paint totem: streams of one colour paint tokens.
// Its record of "Totems.cfg" and the class that stands, flies and charges;
// paint flows down the strips carved along its body.
//
// The power (in WhitePower.cpp): the totem asks the board for tokens, draws
// one paint colour and throws a stream of it at each; every stream that
// splashes is a hit, and the tokens take the colour.
#pragma once

#include "totems/ColourTotem.h"
#include "totems/PaintStream.h"
#include "totems/TotemAction.h"
#include "totems/TotemSettings.h"

struct WhiteTotemParametres {
    static constexpr int kMaxLines = 32;

    // A line across a strip, from one edge to the other, in the unit frame.
    struct Line {
        float x0, y0, x1, y1;
    };

    uint32_t shineColor = 0;
    float stripWFactor = 0;        // texture length per unit of the frame
    std::vector<Line> lines[4];    // per level
    std::vector<float> lengths[4]; // per level: one per pair of lines, in texture units
    float streamIntensity = 0.8f, streamTSpeed = 0.25f;
    PicturePlace fogs[4]; // x, y, depth -1, width
    float paintDropSpeed = 800.0f, paintDropIntensity = 0.8f;
    Vec2 paintDropLengthFactor{0.8f, 1.5f}, paintDropWidthFactor{0.5f, 1.2f};
    float paintDropW = 6.2831855f;
    float sprayIntensity = 0.75f, sprayParticleSize = 48.0f;
    int32_t sprayParticles = 15;
};
void LoadWhiteTotemParameters(const CTotemSection& section, const PictureScale& picture,
                              WhiteTotemParametres* params);

class CWhiteTotem : public CColourTotem {
public:
    CWhiteTotem();
    ~CWhiteTotem() override;

    void SetParameters(const WhiteTotemParametres& p);
    void ClearSprites() override;
    int Process(float dt) override;
    // The power at strength a + 1: it waits for the board's tokens.
    int Activate(int a) override;
    // The fog in front of the board, on or off.
    void SetTargets(bool on);
    // The board's tokens (points on the screen, cells on the board): one
    // stream of the power's colour to each.
    void ApplyPower(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells);

    // The paint of each token colour.
    static uint32_t PaintColour(int colour);

    WhiteTotemParametres params;
    std::vector<CountedHandle<CSprite>> stripSprites;
    float stripOffset = 1.0f;                                   // where the paint starts on its texture
    std::vector<CountedHandle<CParticleSystem>> runningSystems; // the fog
    std::vector<CountedHandle<CPaintStream>> streams, hits;
    bool waitingFlag = false; // the power waits for the board's tokens

protected:
    void BuildExtras() override;
    void PlaceExtras() override;
    void ResizeExtras(float, float) override;
    void ShiftExtras(int d) override;
    void ExtrasOpacity(float value) override;
    bool StacksByShape() const override { return true; }

private:
    size_t Entry() const;
    void FlowStrips(float dt);
};
