// The yellow totem's sparkles and its power.
#include "totems/YellowTotem.h"

#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "totems/TotemEffects.h"

#include <algorithm>
#include <cmath>

using namespace fx;

namespace {

enum YellowPicture { kFlaresPicture = 5, kSmokePicture = 6, kBoltPicture = 7 };

constexpr float kNuggetDepth = -100.0f;
// The plus sign's cell of the totem's picture.
constexpr float kPlusU = 0.9375f, kPlusV = 0.875f;
constexpr uint32_t kBoltColour = 0xFFFFFF80u;

} // namespace

size_t CYellowTotem::Entry() const { return static_cast<size_t>(std::clamp(level, 1, 4) - 1); }

int CYellowTotem::NumberPicture() const { return std::clamp(level + strength - 3, 0, 4); }

Vec3 CYellowTotem::NuggetPoint() const
{
    const Vec2& at = params.smokeCentres[Entry()];
    return Place(at.x, at.y, kNuggetDepth);
}

void CYellowTotem::ShowNugget(bool shown)
{
    if (mode == kLargeTotem && !bodySprites.empty())
        bodySprites.back()->FadeTo(shown ? 1.0f : 0.0f);
}

int CYellowTotem::Activate(int a)
{
    const int result = CTotem::Activate(a);
    clock = 0.0f;
    startFlag = true;
    releaseFlag = 0;
    return result;
}

// The nugget goes up in a puff, and the number and its plus signs appear
// where it sat.
void CYellowTotem::Begin()
{
    startFlag = false;
    ShowNugget(false);
    const Vec3 at = NuggetPoint();
    const float sx = scale[0];
    if (spriteRenderer) {
        const Vec2& size = params.numberSizes[Entry()];
        number = MakeCountedHandle(
            new CSprite(at.x, at.y, at.z, size.x * sx, size.y * scale[1], 0xFFFFFFFF, Texture(kColourPicture), 1));
        const TextureRect& r = params.numbers[NumberPicture()];
        number->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
        number->SetAlphaNow(0.0f);
        number->fadeSpeed = 1.0f / params.numberFadeTime;
        number->zOrder = zOrder - 10;
        number->FadeTo(1.0f);
        spriteRenderer->Add(number);
    }
    if (!particleSystems)
        return;
    plusKeeper = MakeCountedHandle(new CVortexKeeper());
    plusKeeper->UseCell(kPlusU, kPlusV, 1.0f, 1.0f);
    plusKeeper->width = plusKeeper->height = params.plusSize;
    plusKeeper->rate = 32.0f * factor;
    plusKeeper->innerSpeed = -plusKeeper->innerSpeed;
    plusKeeper->outerSpeed = -plusKeeper->outerSpeed;
    CCollection2Parametres swirl(at.x, at.y, at.z, nullptr, plusKeeper, kCollectionAdditive);
    swirl.keeperFlag = true;
    swirl.duration = kForever;
    plusSwirl = particleSystems->AddCollection2(&swirl, 120, Texture(kColourPicture));

    SmokeShape puff;
    puff.platform = params.smokePlatformSizes[Entry()] * sx;
    puff.spreadAlong = 2.0f;
    puff.speed = 0.1f * params.smokeUpSpeed * sx;
    puff.rise = 0.05f * params.smokeUpSpeed * sx;
    puff.growth = params.smokeExpand * sx;
    puff.fade = params.smokeFadeSpeed;
    puff.size = params.smokeSize * sx;
    puff.sizeSpread = 0.5f;
    puff.rate = 80.0f * factor;
    puff.duration = params.numberFlyTime;
    AddSmoke(particleSystems, Texture(kSmokePicture), at, params.smokeColor, puff,
             std::max(static_cast<int>(std::floor(3.0f * puff.rate / params.smokeFadeSpeed)), 1));
}

// The number leaves at once; the plus signs stop and fade.
void CYellowTotem::EndNumber()
{
    Unshow(number);
    number.Reset();
    LetSwirlDie(plusKeeper, plusSwirl);
}

void CYellowTotem::MoveNumberTo(const Vec3& at)
{
    if (number) {
        number->x = at.x;
        number->y = at.y;
        number->z = at.z;
    }
    if (plusSwirl) {
        const Vec3 from = plusSwirl->Position();
        plusSwirl->MoveBy(at.x - from.x, at.y - from.y, at.z - from.z);
    }
    if (plusKeeper)
        plusKeeper->origin = at;
}

// While it waits in front, sparkles come and go round its nugget.
void CYellowTotem::Sparkle(float dt)
{
    sparkleClock += dt;
    const int n = static_cast<int>(std::floor(sparkleClock / params.flareT));
    sparkleClock -= static_cast<float>(n) * params.flareT;
    if (!flareRenderer)
        return;
    const PicturePlace& area = params.flares[Entry()];
    const float life = params.flareLifeTime, size = params.flareSize * scale[0];
    for (int i = 0; i < n; ++i) {
        const float a = RandomAngle(), r = std::sqrt(RandomUnit()) * 0.5f;
        const Vec3 at{(area.w * r * std::cos(a) + area.x) * scale[0] + position[0],
                      (area.h * r * std::sin(a) + area.y) * scale[1] + position[1], position[2] - 10.0f};
        CountedHandle<CFlare> flare = AddFlare(flareRenderer, at, Texture(kFlaresPicture), 0xFFFFFFFF, size, size,
                                               0.5f * life, 0.5f * life, 0.5f * life);
        const float u = 0.25f * static_cast<float>(RandomBelow(4));
        flare->SetTextureRect(u, 0.625f, u + 0.25f, 0.875f);
        flare->alphaFactor = static_cast<float>(params.flareColor >> 24) / 255.0f;
        SpinAtRandom(*flare, params.flareW);
    }
}

int CYellowTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (state == kTotemMoving)
        return MoveStep(dt);
    if ((state == kTotemIdle || state == kTotemStays) && mode > kSmallTotem) {
        Sparkle(dt);
        return 0;
    }
    if (!PowerRuns())
        return 0;
    if (startFlag)
        Begin();
    clock += dt;
    if (number)
        number->SetAngle(std::sin(0.4f * std::sin(4.0f * kTotemPi * clock)));
    const float begin = params.numberStartTime, fly = params.numberFlyTime;
    if (clock > begin) {
        if (clock < begin + fly) {
            const float f = (clock - begin) / fly;
            const Vec3 from = NuggetPoint();
            MoveNumberTo(from * (1.0f - f) + params.numberTarget * f);
        } else {
            MoveNumberTo(params.numberTarget);
            if (releaseFlag == 0) {
                if (number) {
                    number->fadeSpeed = 1.0f / params.numberFadeTime;
                    number->FadeTo(0.0f);
                }
                ShowNugget(true);
                releaseFlag = 1;
                if (level >= 2) {
                    BoltShape shape;
                    shape.startWidth = 4.0f;
                    shape.endWidth = params.frenzyWidth * 0.125f;
                    shape.jitter = 24.0f;
                    shape.thickness = 6.0f;
                    AddBolt(particleSystems, Texture(kBoltPicture), params.numberTarget, params.frenzyTarget,
                            shape, 2 * (std::max(static_cast<int>(std::floor(12.0f * factor)), 2) + 1),
                            kBoltColour, 0.6f);
                }
            }
        }
    }
    if (releaseFlag != 2 || clock <= begin + fly + params.numberFadeTime)
        return 0;
    EndNumber();
    return EndPower(StaysAfterPower());
}
