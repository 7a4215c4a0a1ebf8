#include "totems/RedTotem.h"

#include "effects/particles/ParticleSystem.h"

void LoadRedTotemParameters(const CTotemSection& s, RedTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "200 240 255 255");
    p->color1 = s.Color("Color1", "255 200 80 255");
    p->color2 = s.Color("Color2", "80 80 255 255");
    for (int i = 0; i < 4; ++i) {
        const Vec2 at = s.Pair(KeyOf("Point%d", i).c_str(), "26 154");
        p->points[i] = PowerPoint(at.x, at.y);
    }
    p->expColor = s.Color("ExpColor", "255 64 64 255");
    p->flySpeed = s.Positive("FlySpeed", "2000");
}

CRedTotem::CRedTotem() : CColourTotem(kRedTotem, 3)
{
    runningSystems.reserve(16);
    fireballs.reserve(4);
    hits.reserve(4);
}

CRedTotem::~CRedTotem() { CRedTotem::ClearSprites(); }

void CRedTotem::SetParameters(const RedTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

void CRedTotem::ClearSprites()
{
    CColourTotem::ClearSprites();
    StopEmittingAll(runningSystems);
    fireballs.clear();
    hits.clear();
}

void CRedTotem::FadeOut(float speed)
{
    CColourTotem::FadeOut(speed);
    StopEmittingAll(runningSystems);
}

// Both systems of ball k stand on the ball's point.
void CRedTotem::PlaceExtras()
{
    for (size_t i = 0; i < runningSystems.size(); ++i) {
        if (!runningSystems[i])
            continue;
        const Vec3 at = BallPoint(static_cast<int>(i / 2));
        runningSystems[i]->SetPosition(at.x, at.y, at.z);
    }
}
