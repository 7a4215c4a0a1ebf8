// The orange totem's power.
#include "totems/OrangeTotem.h"

#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "totems/TotemEffects.h"

#include <algorithm>

using namespace fx;

namespace {

enum OrangePicture { kDigitsPicture = 5, kStarPicture = 6, kTwirlPicture = 7, kFlashPicture = 8 };

CountedHandle<CParticleSystem> StartSwirl(const CountedHandle<CParticleSystemsManager>& particles,
                                          const CountedHandle<CVortexKeeper>& keeper, const Vec3& at, int blend,
                                          float alphaFactor, const CountedHandle<CTexture>& texture)
{
    if (!particles)
        return {};
    CCollection2Parametres swirl(at.x, at.y, at.z, nullptr, keeper, blend);
    swirl.keeperFlag = true;
    swirl.duration = kForever;
    swirl.alphaFactor = alphaFactor;
    return particles->AddCollection2(&swirl, 120, texture);
}

float Alpha(uint32_t argb) { return static_cast<float>(argb >> 24) / 255.0f; }

} // namespace

int COrangeTotem::Activate(int a)
{
    const int result = CTotem::Activate(a);
    releaseFlag = 0;
    const Vec3& from = params.starts[static_cast<size_t>(std::clamp(level, 1, 4) - 1)];
    start = Place(from.x, from.y, from.z);
    way = params.destination - start;

    auto digits = MakeCountedHandle(new CVortexKeeper());
    digits->BuildShape(2);
    digits->width = digits->height = params.digitsSize;
    digits->rate = 40.0f * factor;
    auto stars = MakeCountedHandle(new CVortexKeeper());
    stars->BuildShape(0);
    stars->width = stars->height = params.digitsSize;
    stars->colour = params.starColor;
    stars->rate = 0.5f * factor * digits->rate;
    effectKeepers[0] = digits;
    effectKeepers[1] = stars;
    effectSystems[0] =
        StartSwirl(particleSystems, digits, start, kCollectionAlphaBlend, 1.0f, Texture(kDigitsPicture));
    effectSystems[1] = StartSwirl(particleSystems, stars, start, kCollectionAdditive, Alpha(params.starColor),
                                  Texture(kStarPicture));

    const float pre = params.preFlyTime;
    if (CountedHandle<CFlare> twirl =
            AddFlare(flareRenderer, start, Texture(kTwirlPicture), params.twirlColor, 0.35f * scale[0],
                     0.35f * scale[1], 0.1f * pre, 0.9f * pre, 0.3f * pre)) {
        SpinAtRandom(*twirl, kTotemPi / 2.0f);
        twirl->StartScale(3.0f, 2.0f / (0.75f * pre));
        twirl->alphaFactor = Alpha(params.twirlColor);
    }
    flightTimer = -pre;
    return result;
}

void COrangeTotem::MoveSwirlTo(const Vec3& at)
{
    for (const auto& system : effectSystems)
        if (system) {
            const Vec3 from = system->Position();
            system->MoveBy(at.x - from.x, at.y - from.y, at.z - from.z);
        }
    for (const auto& keeper : effectKeepers)
        if (keeper)
            keeper->origin = at;
    if (flyingTwirl) {
        flyingTwirl->x = at.x;
        flyingTwirl->y = at.y;
        flyingTwirl->z = at.z + 1.0f;
    }
}

// The dark twirl that carries the swirl, spinning.
void COrangeTotem::MakeTwirl(const Vec3& at, float size)
{
    if (!spriteRenderer)
        return;
    flyingTwirl = MakeCountedHandle(new CSprite(at.x, at.y, at.z + 1.0f, size * scale[0], size * scale[1],
                                                params.flyTwirlColor, Texture(kTwirlPicture), 1));
    flyingTwirl->SetBlendMode(1, params.flyTwirlFilter);
    flyingTwirl->SetAngle(RandomAngle());
    flyingTwirl->spinning = 1;
    flyingTwirl->spinSpeed = kTotemPi / 2.0f;
    flyingTwirl->zOrder = zOrder - 5;
    spriteRenderer->Add(flyingTwirl);
}

int COrangeTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (state == kTotemMoving)
        return MoveStep(dt);
    if (!PowerRuns())
        return 0;
    const float fly = params.flyTime, post = params.postFlyTime;
    flightTimer += dt;
    if (flightTimer < 0.0f) {
        // In the second half of the wait the twirl fades in and grows.
        if (flightTimer > -0.5f * params.preFlyTime && !flyingTwirl) {
            MakeTwirl(start, 0.25f);
            if (flyingTwirl) {
                const float rest = -flightTimer;
                flyingTwirl->SetAlphaNow(0.0f);
                flyingTwirl->fadeSpeed = 1.0f / rest;
                flyingTwirl->FadeTo(1.0f);
                flyingTwirl->widthSpeed = flyingTwirl->width / rest;
                flyingTwirl->heightSpeed = flyingTwirl->height / rest;
                flyingTwirl->ResizeTo(2.0f * flyingTwirl->width, 2.0f * flyingTwirl->height);
            }
        }
        return 0;
    }
    if (flightTimer < fly) {
        const Vec3 at = start + way * (flightTimer / fly);
        if (!flyingTwirl)
            MakeTwirl(at, 0.5f);
        MoveSwirlTo(at);
        return 0;
    }
    if (releaseFlag == 0) {
        // The swirl has arrived: the time is granted and the clock flashes.
        releaseFlag = 1;
        if (CountedHandle<CFlare> flash = AddFlare(flareRenderer, params.destination, Texture(kFlashPicture),
                                                   0xFFFFFFFF, 140.0f, 140.0f, post, 5.0f * post, post))
            flash->SetTextureRect(0.0f, 0.0f, 0.546875f, 0.546875f);
    }
    MoveSwirlTo(params.destination);
    if (flyingTwirl) {
        flyingTwirl->dropWhenFaded = 1;
        const float left = fly + post - flightTimer;
        if (left > 0.0f) {
            flyingTwirl->fadeSpeed = flyingTwirl->opacity / left;
            flyingTwirl->FadeTo(0.0f);
        } else {
            Unshow(flyingTwirl);
        }
        flyingTwirl.Reset();
    }
    if (flightTimer < fly + post)
        return 0;
    for (int i = 0; i < 2; ++i)
        LetSwirlDie(effectKeepers[i], effectSystems[i]);
    Unshow(flyingTwirl);
    flyingTwirl.Reset();
    return EndPower(StaysAfterPower());
}
