#include "totems/GreenTotem.h"

#include <cmath>

void LoadGreenTotemParameters(const CTotemSection& s, const PictureScale& pic, float shadowTexWidth,
                              float shadowTexHeight, GreenTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "255 229 128 255");
    float r[6];
    s.Floats("NoChainT", "384 0 510 91", r, 4);
    p->noChain = pic.Texture(r);
    s.Floats("NoChainShadowT", "225 151 326 171", r, 4);
    p->noChainShadow = {r[0] / shadowTexWidth, r[1] / shadowTexHeight, r[2] / shadowTexWidth,
                        r[3] / shadowTexHeight};
    s.Floats("Chain", "86 16 114 10", r, 4);
    const Vec2 chainEnd = pic.Point(r[0], r[1]);
    p->chain = {chainEnd.x, chainEnd.y, 0.0f, r[2] / pic.width, r[3] / pic.height};
    for (int level = 1; level <= 4; ++level) {
        const Vec2 at = s.Pair(KeyOf("Point%d", level).c_str(), "178 152");
        p->points[level - 1] = pic.Point(at.x, at.y);
    }
    p->rayColor = s.Color("RayColor", "255 255 255 255");
    p->rayFlareColor = s.Color("RayFlareColor", "255 229 128 255");
    p->preRayTime = s.Positive("PreRayTime", "0.25");
    p->rayFlareTime = s.Positive("RayFlareTime", "1");
    p->rayThickness = s.Float("RayThickness", "80");
    p->rayTan = s.Float("RayTan", "0.05");
    p->raySpeed = s.Positive("RaySpeed", "800");
    p->rayLen = s.Positive("RayLen", "400");
    p->ray2PiLen = s.Positive("Ray2PiLen", "256");
    p->rayInTermTime = s.NonNegative("RayInTermTime", "0.5");
    p->rayHeadSize = s.Float("RayHeadSize", "24");
    p->rayHeadW = s.Float("RayHeadW", "1") * 3.1415927f;
    p->unigemSize = s.Float("UnigemSize", "48");
    p->unigemTailColor = s.Color("UnigemTailColor", "192 192 255 255");
    p->unigemTailPSize = s.Float("UnigemTailPSize", "48");
    p->unigemFlyTime = s.Positive("UnigemFlyTime", "0.75");
    p->unigemStartFlyTime = s.NonNegative("UnigemStartFlyTime", "0");
    p->pauseTime = s.NonNegative("PauseTime", "1");
    for (int level = 2; level <= 4; ++level) {
        s.Floats(KeyOf("Flares%d", level).c_str(), "138 186 172 203 154 173", r, 6);
        const Vec2 spot = pic.Point(r[0], r[1]);
        Vec2* out = p->flares[level - 2];
        out[0] = spot;
        for (int k = 1; k < 3; ++k) {
            const Vec2 other = pic.Point(r[2 * k], r[2 * k + 1]);
            out[k] = {other.x - spot.x, other.y - spot.y};
        }
    }
    p->smallFSize = pic.Length(s.Float("SmallFSize", "6"));
    p->smallFLifeTime = s.Positive("SmallFLifeTime", "0.4");
    p->smallFW = s.Float("SmallFW", "1");
    p->smallFT = s.Positive("SmallFT", "0.08");
    p->smallFIntensity = s.Float("SmallFIntensity", "1");
    p->bigFSize = pic.Length(s.Float("BigFSize", "64"));
    p->bigFIntensity = s.Float("BigFIntensity", "0.6");
    p->bigFT = s.Positive("BigFT", "1.5");
    p->bigFW = s.Float("BigFW", "0.5");
    p->chainTime = s.NonNegative("ChainTime", "0.75");
    p->chainLightSize = pic.Length(s.Float("ChainLightSize", "30"));
    p->chainLightLifeTime = s.Positive("ChainLightLifeTime", "0.25");
    p->chainLightT = s.Positive("ChainLightT", "0.025");
    p->chainLightColor = s.Color("ChainLightColor", "255 255 255 255");
}

CGreenTotem::CGreenTotem() : CColourTotem(kGreenTotem, 10)
{
    rays.reserve(20);
    unigems.reserve(20);
}

CGreenTotem::~CGreenTotem() { CGreenTotem::ClearSprites(); }

void CGreenTotem::SetParameters(const GreenTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

// A chained totem in front of the board keeps the looks of its shadow and
// its body without the chain, for the moment the chain breaks. A body with
// too few sprites for them keeps its one look.
void CGreenTotem::BuildExtras()
{
    if (mode != kLargeTotem || level < 3 || bodySprites.size() < 7)
        return;
    const TextureRect& shadow = params.noChainShadow;
    bodySprites[0]->AddFrame(shadow.u0, shadow.v0, shadow.u1, shadow.v1);
    const TextureRect& body = params.noChain;
    bodySprites[6]->AddFrame(body.u0, body.v0, body.u1, body.v1);
}

void CGreenTotem::ClearSprites()
{
    for (auto& flare : bigFlares) {
        Unshow(flare);
        flare.Reset();
    }
    CColourTotem::ClearSprites();
    rays.clear();
    unigems.clear();
}
