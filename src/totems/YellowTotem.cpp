#include "totems/YellowTotem.h"

#include "effects/particles/ParticleSystem.h"

void LoadYellowTotemParameters(const CTotemSection& s, const PictureScale& pic, YellowTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "115 198 255 255");
    p->nuggetFadeTime = s.Positive("NuggetFadeTime", "0.25");
    for (int level = 1; level <= 4; ++level) {
        const Vec2 at = s.Pair(KeyOf("SmokeCenter%d", level).c_str(), "150 188");
        p->smokeCentres[level - 1] = pic.Point(at.x, at.y);
        p->smokePlatformSizes[level - 1] = pic.Length(s.Float(KeyOf("SmokePlatformSize%d", level).c_str(), "38"));
    }
    p->smokeColor = s.Color("SmokeColor", "80 80 255 255");
    p->smokeSize = pic.Length(s.Float("SmokeSize", "16"));
    p->smokeExpand = pic.Length(s.Float("SmokeExpand", "8"));
    p->smokeUpSpeed = pic.Length(s.Float("SmokeUpSpeed", "1700"));
    p->smokeFadeSpeed = s.Positive("SmokeFadeSpeed", "4");
    p->numberStartTime = s.NonNegative("NumberStartTime", "0.25");
    p->numberFlyTime = s.Positive("NumberFlyTime", "0.5");
    p->numberFadeTime = s.Positive("NumberFadeTime", "0.25");
    const Vec2 target = s.Pair("NumberTarget", "136 232");
    p->numberTarget = ScreenPoint(target.x, target.y, -100.0f);
    float r[4];
    for (int i = 0; i < 5; ++i) {
        s.Floats(KeyOf("NumberT%d", i).c_str(), "344 104 428 144", r, 4);
        p->numbers[i] = pic.Texture(r);
        const Vec2 size = s.Pair(KeyOf("NumberSize%d", i).c_str(), "84 40");
        p->numberSizes[i] = {size.x / pic.width, size.y / pic.height};
    }
    p->flareSize = pic.Length(s.Float("FlareSize", "6"));
    p->flareLifeTime = s.Positive("FlareLifeTime", "0.4");
    p->flareW = s.Float("FlareW", "1") * 3.1415927f;
    p->flareT = s.Positive("FalreT", "0.08");
    p->flareColor = s.Color("FlareColor", "128 128 255 128");
    for (int level = 1; level <= 4; ++level) {
        s.Floats(KeyOf("Flare%d", level).c_str(), "132 165 38 30", r, 4);
        const Vec2 centre = pic.Point(r[0] + r[2] * 0.5f, r[1] + r[3] * 0.5f);
        p->flares[level - 1] = {centre.x, centre.y, 0.0f, r[2] / pic.width, r[3] / pic.height};
    }
    p->plusSize = s.Positive("PlusSize", "32");
    s.Floats("FrenzyTarget", "652 736 640", r, 3);
    p->frenzyTarget = ScreenPoint(r[0], r[1], -100.0f);
    p->frenzyWidth = r[2];
}

CYellowTotem::CYellowTotem() : CColourTotem(kYellowTotem, 5) {}

CYellowTotem::~CYellowTotem() { CYellowTotem::ClearSprites(); }

void CYellowTotem::SetParameters(const YellowTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

// The nugget on top fades out and back in at its own pace when the power
// throws the number.
void CYellowTotem::BuildExtras()
{
    if (mode == kLargeTotem && !bodySprites.empty())
        bodySprites.back()->fadeSpeed = 1.0f / params.nuggetFadeTime;
}

void CYellowTotem::ClearSprites()
{
    CColourTotem::ClearSprites();
    EndNumber();
}
