#include "totems/BlueTotem.h"

#include "effects/particles/ParticleSystem.h"

#include <algorithm>

void LoadBlueTotemParameters(const CTotemSection& s, const PictureScale& pic, const PictureScale& smallPic,
                             BlueTotemParametres* p)
{
    p->shineColor = s.Color("ShineColor", "255 235 131 255");
    float r[4];
    for (int level = 1; level <= BlueTotemParametres::kLevels; ++level)
        for (int k = 0; k < 2; ++k) {
            s.Floats(KeyOf("Empty%dT%d", level, k).c_str(), "172 159 204 236", r, 4);
            p->empty[level - 1][k] = pic.Texture(r);
        }
    for (int level = 1; level <= BlueTotemParametres::kLevels; ++level) {
        const int count = s.Count(KeyOf("Bolt%dCount", level).c_str(), "1", BlueTotemParametres::kMaxBolts);
        std::vector<BlueTotemParametres::Bolt>& bolts = p->bolts[level - 1];
        bolts.assign(static_cast<size_t>(count), {});
        for (int j = 0; j < count; ++j) {
            BlueTotemParametres::Bolt& bolt = bolts[static_cast<size_t>(j)];
            s.Floats(KeyOf("Bolt%dBegin%d", level, j).c_str(), "105 184 128 157", r, 4);
            bolt.begin[0] = pic.Point(r[0], r[1]);
            bolt.begin[1] = pic.Point(r[2], r[3]);
            s.Floats(KeyOf("Bolt%dEnd%d", level, j).c_str(), "130 185 137 198", r, 4);
            bolt.end[0] = pic.Point(r[0], r[1]);
            bolt.end[1] = pic.Point(r[2], r[3]);
        }
    }
    const Vec2 target = s.Pair("Target", "161 211");
    const Vec2 targetPoint = pic.Point(target.x, target.y);
    p->target = {targetPoint.x, targetPoint.y, -100.0f};
    p->preTime = s.Positive("PreTime", "0.5");
    p->strikeTime = s.Positive("StrikeTime", "0.1");
    p->boltSize = s.Pair("BoltSize", "200 48");
    p->boltSpeed = s.Positive("BoltSpeed", "2500");
    p->boltColor = s.Color("BoltColor", "255 235 131 255");
    // A point and a size of a picture, at a depth.
    auto place = [&](const char* key, const char* fallback, const PictureScale& frame, float depth) {
        s.Floats(key, fallback, r, 4);
        const Vec2 at = frame.Point(r[0], r[1]);
        return PicturePlace{at.x, at.y, depth, r[2] / frame.width, r[3] / frame.height};
    };
    p->caps = place("Caps", "160 215 84 64", pic, -50.0f);
    p->shield = place("Shield", "182 128 72 104", pic, -0.5f);
    s.Floats("ShieldT", "474 70 510 122", r, 4);
    p->shieldT = pic.Texture(r);
    p->smallShield = place("SmallShield", "45.5 32 18 26", smallPic, -0.5f);
    s.Floats("SmallShieldT", "474 70 510 122", r, 4);
    p->smallShieldT = pic.Texture(r);
    p->shieldColor = s.Color("ShieldColor", "240 255 240 255");
    p->shieldLifeTime = s.Positive("ShieldLifeTime", "2");
    p->shieldBirth = s.Positive("ShieldBirth", "1");
    p->shieldMinFactor = s.Float("ShieldMinFactor", "0.5");
    p->shieldMaxFactor = s.Float("ShieldMaxFactor", "2");
}

CBlueTotem::CBlueTotem() : CColourTotem(kBlueTotem, 9)
{
    boltBegins.reserve(6);
    boltEnds.reserve(6);
    boltLengths.reserve(12);
    runningSystems.reserve(3);
    flying.reserve(10);
    hits.reserve(10);
    shieldSprites.reserve(4);
    shieldAges.reserve(4);
}

CBlueTotem::~CBlueTotem() { CBlueTotem::ClearSprites(); }

void CBlueTotem::SetParameters(const BlueTotemParametres& p)
{
    params = p;
    shineColor = p.shineColor;
}

size_t CBlueTotem::TableLevel() const
{
    return static_cast<size_t>(std::clamp(level, 1, BlueTotemParametres::kLevels) - 1);
}

void CBlueTotem::Init(int newMode, CountedHandle<CTotemShapeSet> shapeSet)
{
    CColourTotem::Init(newMode, std::move(shapeSet));
    shieldBirthTimer = params.shieldBirth;
}

// In front of the board the last two sprites keep the capless look the
// strike switches to; a body of fewer sprites has no cap to lose.
void CBlueTotem::BuildExtras()
{
    const size_t n = bodySprites.size();
    if (mode == kLargeTotem && n >= 2) {
        const TextureRect* empty = params.empty[TableLevel()];
        bodySprites[n - 2]->AddFrame(empty[0].u0, empty[0].v0, empty[0].u1, empty[0].v1);
        bodySprites[n - 1]->AddFrame(empty[1].u0, empty[1].v0, empty[1].u1, empty[1].v1);
    }
}

// Shields stand on one point: the small totem's or the large one's.
void CBlueTotem::PlaceExtras()
{
    const PicturePlace& at = mode == kSmallTotem ? params.smallShield : params.shield;
    const Vec3 p = Place(at.x, at.y, at.z);
    for (const auto& shield : shieldSprites) {
        shield->x = p.x;
        shield->y = p.y;
        shield->z = p.z;
    }
}

// The shields pulse in size by themselves; a new scale keeps their share.
void CBlueTotem::ResizeExtras(float oldX, float oldY)
{
    if (oldX == 0.0f || oldY == 0.0f)
        return;
    for (const auto& shield : shieldSprites)
        shield->SetSize(shield->width * scale[0] / oldX, shield->height * scale[1] / oldY);
}

void CBlueTotem::ShiftExtras(int d)
{
    for (const auto& shield : shieldSprites)
        shield->zOrder += d;
}

// Shields are not taken away at once: each fades out over what is left of
// its opacity and then the renderer lets it go.
void CBlueTotem::ClearSprites()
{
    if (spriteRenderer)
        for (const auto& shield : shieldSprites) {
            shield->FadeTo(0.0f);
            shield->timed = 1;
            shield->timeLeft = shield->fadeSpeed > 0.0f ? shield->opacity / shield->fadeSpeed : 0.0f;
        }
    CColourTotem::ClearSprites();
    StopEmittingAll(runningSystems);
    flying.clear();
    hits.clear();
    shieldSprites.clear();
    shieldAges.clear();
}
