// The blue totem's power and its shield pulses.
#include "totems/BlueTotem.h"

#include "effects/keepers/SpriteCrackKeeper.h"
#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "totems/TotemEffects.h"

#include <algorithm>
#include <cmath>

using namespace fx;

namespace {

enum BluePicture { kCapsPicture = 5, kLightningPicture = 6, kSparkPicture = 7 };

constexpr float kChargeDepth = -100.0f;

Vec3 Mix(const Vec3& a, const Vec3& b, float f) { return a * (1.0f - f) + b * f; }

} // namespace

int CBlueTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (shieldsOn)
        PulseShields(dt);
    if (state == kTotemMoving)
        return MoveStep(dt);
    if (PowerRuns())
        return PowerStep(dt);
    return 0;
}

void CBlueTotem::ApplyPower(bool on)
{
    // Switched on, the first pulse is born in the next frame.
    if (on && !shieldsOn)
        shieldBirthTimer = params.shieldBirth;
    shieldsOn = on;
    if (on)
        return;
    for (const auto& shield : shieldSprites)
        Unshow(shield);
    shieldSprites.clear();
    shieldAges.clear();
}

// Each pulse is born small on the shield's point, grows to its largest and
// fades in over the first half of its life and out over the second.
void CBlueTotem::PulseShields(float dt)
{
    const PicturePlace& at = mode == kSmallTotem ? params.smallShield : params.shield;
    const float life = params.shieldLifeTime;
    const float least = params.shieldMinFactor, most = params.shieldMaxFactor;
    for (size_t i = 0; i < shieldSprites.size();) {
        shieldAges[i] += dt;
        const float age = shieldAges[i];
        CSprite& shield = *shieldSprites[i];
        if (age >= life) {
            Unshow(shieldSprites[i]);
            shieldSprites.erase(shieldSprites.begin() + static_cast<std::ptrdiff_t>(i));
            shieldAges.erase(shieldAges.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (age / life > 0.5f && shield.targetOpacity > 0.0f)
            shield.FadeTo(0.0f);
        const float f = least + (most - least) * age / life;
        shield.SetSize(f * at.w * scale[0], f * at.h * scale[1]);
        ++i;
    }
    shieldBirthTimer += dt;
    if (shieldBirthTimer <= params.shieldBirth)
        return;
    shieldBirthTimer -= std::floor(shieldBirthTimer / params.shieldBirth) * params.shieldBirth;
    if (!spriteRenderer)
        return;
    const Vec3 p = Place(at.x, at.y, at.z);
    auto shield = MakeCountedHandle(new CSprite(p.x, p.y, p.z, least * at.w * scale[0], least * at.h * scale[1],
                                                params.shieldColor, Texture(kColourPicture), 1));
    shield->SetBlendMode(1, 1);
    shield->SetAxes(axis1, axis2, 0);
    const TextureRect& r = mode == kSmallTotem ? params.smallShieldT : params.shieldT;
    shield->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
    shield->SetAlphaNow(0.0f);
    shield->zOrder = zOrder - 5;
    shield->fadeSpeed = 2.0f / life;
    shield->FadeTo(1.0f);
    spriteRenderer->Add(shield);
    shieldSprites.push_back(shield);
    shieldAges.push_back(0.0f);
}

int CBlueTotem::Activate(int a)
{
    CTotem::Activate(a);
    powerClock = 0.0f;
    stepsDone = 0;
    strikeRequest = false;
    minDuration = params.preTime + params.strikeTime + (strength == 3 ? 1.2f : 0.35f);
    LayOutCharge();
    return 0;
}

// The charge bolts of the level: each from the middle of its begin segment
// to the middle of its end segment, in front of the body. Laid out when the
// power starts, so that a first frame that already ends the charge still
// finds them.
void CBlueTotem::LayOutCharge()
{
    boltBegins.clear();
    boltEnds.clear();
    boltLengths.clear();
    for (const BlueTotemParametres::Bolt& bolt : params.bolts[TableLevel()]) {
        const Vec3 b0 = Place(bolt.begin[0].x, bolt.begin[0].y, kChargeDepth);
        const Vec3 b1 = Place(bolt.begin[1].x, bolt.begin[1].y, kChargeDepth);
        const Vec3 e0 = Place(bolt.end[0].x, bolt.end[0].y, kChargeDepth);
        const Vec3 e1 = Place(bolt.end[1].x, bolt.end[1].y, kChargeDepth);
        boltBegins.push_back((b0 + b1) * 0.5f);
        boltEnds.push_back((e0 + e1) * 0.5f);
        boltLengths.push_back(Length(b1 - b0));
        boltLengths.push_back(Length(e1 - e0));
    }
}

int CBlueTotem::PowerStep(float dt)
{
    const float pre = params.preTime;
    powerClock += dt;
    minDuration -= dt;
    const float t = powerClock;
    if (stepsDone < kGathering) {
        if (t < pre) {
            const int due = std::min(static_cast<int>(std::floor(t * kChargeSteps / pre)) + 1, kChargeSteps);
            while (stepsDone < due) {
                ++stepsDone;
                ChargeStep(stepsDone == 1);
            }
        } else {
            StartGathering();
        }
    }
    if (stepsDone == kGathering) {
        if (t < pre + params.strikeTime) {
            Gather(std::min((t - pre) / params.strikeTime, 1.0f));
        } else {
            BreakCap();
            strikeRequest = true;
            stepsDone = kAsking;
        }
    }
    if (stepsDone == kStriking)
        AdvanceAll(flying, dt, &hits);
    if (stepsDone < kStriking || minDuration > 0.0f || !flying.empty() || !hits.empty())
        return 0;
    ShowCap(true);
    return EndPower(level >= 2 && state == kTotemPower);
}

// One flicker of short bolts along the body; the first also lights the
// bolts' glow and, at full strength, rings the shield.
void CBlueTotem::ChargeStep(bool first)
{
    const float pre = params.preTime;
    const float left = pre - powerClock;
    const uint32_t colour = params.boltColor;
    for (size_t j = 0; j < boltBegins.size(); ++j) {
        const Vec3 &from = boltBegins[j], &to = boltEnds[j];
        if (first) {
            const float length = Length(to - from);
            if (CountedHandle<CFlare> glow =
                    AddFlare(flareRenderer, (from + to) * 0.5f, Texture(kSparkPicture), colour, 3.0f * length,
                             3.0f * length, left, left, 0.1f * pre))
                glow->alphaFactor = 0.75f;
        }
        BoltShape shape;
        shape.across = Normalised(Cross(to - from, V3(0.0f, 0.0f, 1.0f)));
        shape.startWidth = boltLengths[2 * j];
        shape.endWidth = boltLengths[2 * j + 1];
        shape.jitter = 0.075f * (shape.startWidth + shape.endWidth);
        shape.thickness = 0.015f * scale[0];
        AddBolt(particleSystems, Texture(kLightningPicture), from, to, shape, 10, colour, left);
    }
    if (!first || strength != 3)
        return;
    const PicturePlace& at = params.shield;
    const Vec3 p = Place(at.x, at.y, at.z);
    const float w = at.w * scale[0];
    if (spriteRenderer) {
        auto ring = MakeCountedHandle(new CSprite(p.x, p.y, p.z, 0.05f * w, 0.05f * at.w * scale[1],
                                                  params.shieldColor | 0xFF000000u, Texture(kShinePicture), 1));
        ring->SetBlendMode(1, 1);
        ring->zOrder = zOrder - 5;
        ring->SetAlphaNow(1.0f);
        ring->fadeSpeed = 2.0f;
        ring->FadeTo(0.0f);
        ring->dropWhenFaded = 1;
        ring->widthSpeed = ring->heightSpeed = 8.0f * w;
        ring->ResizeTo(5.0f * w, 5.0f * w);
        ring->spinning = 1;
        ring->spinSpeed = kTotemPi / 2.0f;
        spriteRenderer->Add(ring);
    }
    if (particleSystems) {
        CSpellsSpringParametres burst(p.x, p.y, p.z - 100.0f, 0, 0, 0, 400.0f, 100.0f, 24.0f, 12.0f,
                                      params.shieldColor);
        burst.duration = 1.0f;
        burst.rate = 80.0f * factor;
        burst.fadeRate = 1.5f;
        burst.randomRotation = true;
        particleSystems->AddSpells(&burst, 100, Texture(kSparkPicture));
    }
}

// The charge is over: one lasting bolt per charge bolt, to be gathered.
void CBlueTotem::StartGathering()
{
    runningSystems.clear();
    for (size_t j = 0; j < boltBegins.size(); ++j) {
        BoltShape shape;
        shape.across = Normalised(Cross(boltEnds[j] - boltBegins[j], V3(0.0f, 0.0f, 1.0f)));
        shape.startWidth = boltLengths[2 * j];
        shape.endWidth = boltLengths[2 * j + 1];
        shape.jitter = 0.075f * (shape.startWidth + shape.endWidth);
        shape.thickness = 0.015f * scale[0];
        if (CountedHandle<CParticleSystem> bolt =
                AddBolt(particleSystems, Texture(kLightningPicture), boltBegins[j], boltEnds[j], shape,
                        6 * kChargeSteps, params.boltColor, kForever))
            runningSystems.push_back(bolt);
    }
    stepsDone = kGathering;
}

// The lasting bolts draw together on the target point: their ends slide
// there, turn upright and narrow.
void CBlueTotem::Gather(float f)
{
    const Vec3 target = Place(params.target.x, params.target.y, params.target.z);
    const Vec3 up = V3(0.0f, 1.0f, 0.0f);
    for (size_t j = 0; j < runningSystems.size() && j < boltBegins.size(); ++j) {
        const Vec3 from = Mix(boltBegins[j], target, f) - V3(1.0f, 0.0f, 0.0f);
        const Vec3 to = Mix(boltEnds[j], target, f) + V3(1.0f, 0.0f, 0.0f);
        const Vec3 across = Normalised(Mix(Normalised(Cross(boltEnds[j] - boltBegins[j], V3(0, 0, 1))), up, f));
        const float startWidth = (1.0f - f) * boltLengths[2 * j] + f * 0.075f;
        const float endWidth = (1.0f - f) * boltLengths[2 * j + 1] + f * 0.075f;
        runningSystems[j]->Aim(from.x, from.y, from.z, across.x, across.y, across.z, startWidth, to.x, to.y, to.z,
                               across.x, across.y, across.z, endWidth);
    }
}

// The gathered lightning bursts the steel cap off the totem's front.
void CBlueTotem::BreakCap()
{
    StopEmittingAll(runningSystems);
    ShowCap(false);
    const PicturePlace& caps = params.caps;
    const Vec3 p = Place(caps.x, caps.y, caps.z);
    const float w = caps.w * scale[0], h = caps.h * scale[1];
    if (particleSystems) {
        auto crack = MakeCountedHandle(new CSpriteCrackKeeper());
        crack->Configure(w, h, 0.0f, 0.0f, 0.65625f, 1.0f, 6, 6, 0.25f);
        crack->floor = -400.0f;
        crack->gravity = 2500.0f;
        crack->speed = 300.0f;
        crack->speedSpread = 150.0f;
        crack->BuildCracks();
        CCollection2Parametres pieces(p.x, p.y, p.z, nullptr, crack, kCollectionAlphaBlend);
        pieces.keeperFlag = true;
        pieces.duration = 2.5f; // the pieces have fallen off the screen by then
        particleSystems->AddCollection2(&pieces, 40, Texture(kCapsPicture));
    }
    AddFlare(flareRenderer, V3(p.x, p.y, p.z - 50.0f), Texture(kSparkPicture), params.boltColor, 1.5f * w,
             1.5f * h, 0.05f, 0.05f, 0.1f);
    BoltShape across;
    across.across = V3(0.0f, 1.0f, 0.0f);
    across.startWidth = across.endWidth = 0.2f * h;
    across.jitter = 0.1f * h;
    across.thickness = 0.015f * scale[0];
    AddBolt(particleSystems, Texture(kLightningPicture), p - V3(0.5f * w, 0, 0), p + V3(0.5f * w, 0, 0), across,
            20, params.boltColor, 0.2f);
    BoltShape down;
    down.across = V3(1.0f, 0.0f, 0.0f);
    down.startWidth = down.endWidth = 0.25f * w;
    down.jitter = 0.1f * w;
    down.thickness = across.thickness;
    AddBolt(particleSystems, Texture(kLightningPicture), p + V3(0, 0.5f * h, 0), p - V3(0, 0.5f * h, 0), down, 20,
            params.boltColor, 0.2f);
}

void CBlueTotem::ShowCap(bool shown)
{
    const size_t n = bodySprites.size();
    if (mode != kLargeTotem || n < 2)
        return;
    bodySprites[n - 2]->frame = shown ? 0 : 1;
    bodySprites[n - 1]->frame = shown ? 0 : 1;
}

void CBlueTotem::SetTargets(const std::vector<Vec2>& points, const std::vector<TotemCell>& cells)
{
    const Vec3 from = Place(params.target.x, params.target.y, params.target.z);
    const size_t n = std::min(points.size(), cells.size());
    for (size_t i = 0; i < n; ++i) {
        auto bolt = MakeCountedHandle(new CStrikeBolt());
        bolt->Setup(particleSystems, flareRenderer, Texture(kLightningPicture), Texture(kSparkPicture),
                    params.boltColor, params.boltSize.x, params.boltSize.y, params.boltSpeed, level);
        bolt->Launch(from, V3(points[i].x, points[i].y, from.z), cells[i].column, cells[i].row);
        flying.push_back(bolt);
    }
    stepsDone = kStriking;
    strikeRequest = false;
}
