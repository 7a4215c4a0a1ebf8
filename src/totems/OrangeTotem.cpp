#include "totems/OrangeTotem.h"

#include "effects/particles/ParticleSystem.h"

void LoadOrangeTotemParameters(const CTotemSection& s, OrangeTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "255 248 154 255");
    // Point 0 is a point of the screen, its own way; the others lie on the
    // picture.
    const Vec2 destination = s.Pair("Point0", "146 158");
    p->destination = {destination.x - 512.0f, 384.0f - destination.y, -100.0f};
    for (int level = 1; level <= 4; ++level) {
        const Vec2 at = s.Pair(KeyOf("Point%d", level).c_str(), "146 158");
        p->starts[level - 1] = PowerPoint(at.x, at.y);
    }
    p->flyTime = s.Positive("FlyTime", "0.4");
    p->preFlyTime = s.Positive("PreFlyTime", "0.2");
    p->postFlyTime = s.NonNegative("PostFlyTime", "0.2");
    p->digitsSize = s.Positive("DigitsSize", "32");
    p->starColor = s.Color("StarColor", "160 255 160 255");
    p->twirlColor = s.Color("TwirlColor", "255 255 160 128");
    p->flyTwirlFilter = FilterOfWord(s.Word("FlyTwirlFilter", "Mul"));
    p->flyTwirlColor = s.Color("FlyTwirlColor", "0 0 0 255");
    // A multiplied twirl darkens by the colour's complement.
    if (p->flyTwirlFilter == 2)
        p->flyTwirlColor = (p->flyTwirlColor & 0xFF000000u) | (~p->flyTwirlColor & 0x00FFFFFFu);
}

COrangeTotem::COrangeTotem() : CColourTotem(kOrangeTotem, 3) {}

COrangeTotem::~COrangeTotem() { COrangeTotem::ClearSprites(); }

void COrangeTotem::SetParameters(const OrangeTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

// The swirls stop being fed and stop emitting, their systems still held;
// the twirl goes at once.
void COrangeTotem::ClearSprites()
{
    CColourTotem::ClearSprites();
    for (int i = 0; i < 2; ++i) {
        if (effectKeepers[i])
            effectKeepers[i]->continuous = false;
        effectKeepers[i].Reset();
        if (effectSystems[i])
            effectSystems[i]->StopEmitting();
    }
    Unshow(flyingTwirl);
    flyingTwirl.Reset();
}
