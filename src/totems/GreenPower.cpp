// The green totem's twinkling and its power.
#include "totems/GreenTotem.h"

#include "effects/keepers/SimpleSpriteSystemKeeper.h"
#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Random.h"
#include "totems/TotemEffects.h"

#include <algorithm>
#include <cmath>

using namespace fx;

namespace {

enum GreenPicture {
    kTrailPicture = 5,
    kFlaresPicture = 6,
    kUnigemPicture = 7,
    kChainPicture = 8,
};

constexpr float kSparkleDepth = -5.0f;
constexpr float kRayDepth = -100.0f;

// The cell of the gem flares' picture a chain light shows.
constexpr float kChainLightU0 = 0.734375f, kChainLightU1 = 0.984375f;
constexpr float kChainLightV0 = 0.25f, kChainLightV1 = 0.75f;

// A lone link of the chain picture, which the broken chain flies apart into.
constexpr float kLinkU0 = 184.0f / 256.0f, kLinkU1 = 212.0f / 256.0f, kLinkV1 = 28.0f / 128.0f;

} // namespace

const Vec2* CGreenTotem::SparkleArea() const
{
    return level >= 2 ? params.flares[std::min(level, 4) - 2] : nullptr;
}

Vec3 CGreenTotem::SparkleSpot(float low, float high) const
{
    const Vec2* area = SparkleArea();
    if (!area)
        return V3(0.0f, 0.0f, kSparkleDepth);
    const float a = low + (high - low) * RandomUnit(), b = low + (high - low) * RandomUnit();
    return V3(area[0].x + a * area[1].x + b * area[2].x, area[0].y + a * area[1].y + b * area[2].y, kSparkleDepth);
}

void CGreenTotem::SetTargets(bool on)
{
    if (!on) {
        for (auto& flare : bigFlares) {
            Unshow(flare);
            flare.Reset();
        }
        return;
    }
    if (level < 2 || bigFlares[0] || !spriteRenderer)
        return;
    bigClock = smallClock = 0.0f;
    for (int i = 0; i < 2; ++i) {
        bigSpots[i] = SparkleSpot(0.0f, 1.0f);
        const Vec3 at = PlaceFlat(bigSpots[i]);
        const float size = params.bigFSize * scale[0];
        auto flare =
            MakeCountedHandle(new CSprite(at.x, at.y, at.z, size, size, 0xFFFFFFFF, Texture(kFlaresPicture), 1));
        flare->SetBlendMode(1, 1);
        flare->SetFrameRect(0, 0.5f * static_cast<float>(i), 0.0f, 0.5f * static_cast<float>(i + 1), 0.5f);
        flare->SetAlphaNow(i == 0 ? 1.0f : 0.0f);
        flare->zOrder = zOrder - 5;
        flare->SetAngle(kTotemPi * RandomUnit());
        flare->spinning = 1;
        flare->spinSpeed = params.bigFW;
        spriteRenderer->Add(flare);
        bigFlares[i] = flare;
    }
}

// The two large flares swell and shrink in turn; each jumps to a new spot
// while it is at its smallest.
void CGreenTotem::SwingBigFlares(float dt)
{
    bigClock += dt;
    const float phase = bigClock / params.bigFT, previous = (bigClock - dt) / params.bigFT;
    if (std::floor(phase + 0.5f) != std::floor(previous + 0.5f))
        bigSpots[0] = SparkleSpot(0.0f, 1.0f);
    if (std::floor(phase) != std::floor(previous))
        bigSpots[1] = SparkleSpot(0.0f, 1.0f);
    const float s = std::cos(2.0f * kTotemPi * phase) * 0.5f + 0.5f;
    const float intensity = params.bigFIntensity, size = params.bigFSize * scale[0];
    CSprite& first = *bigFlares[0];
    first.SetAlphaNow(s < 0.1f ? s * 10.0f * intensity : intensity);
    const float f0 = size * std::max(s, 0.01f);
    first.SetSize(f0, f0);
    CSprite& second = *bigFlares[1];
    second.SetAlphaNow(s > 0.9f ? (1.0f - s) * 10.0f * intensity : intensity);
    const float f1 = size * (s >= 0.99f ? 0.01f : 1.0f - s);
    second.SetSize(f1, f1);
    for (int i = 0; i < 2; ++i) {
        const Vec3 at = PlaceFlat(bigSpots[i]);
        bigFlares[i]->x = at.x;
        bigFlares[i]->y = at.y;
        bigFlares[i]->z = at.z;
    }
}

// Small sparkles come and go over the sparkle area.
void CGreenTotem::Sparkle(float dt)
{
    smallClock += dt;
    const int n = static_cast<int>(std::floor(smallClock / params.smallFT));
    smallClock -= static_cast<float>(n) * params.smallFT;
    const float life = params.smallFLifeTime, size = params.smallFSize * scale[0];
    for (int i = 0; i < n && flareRenderer; ++i) {
        const Vec3 at = PlaceFlat(SparkleSpot(0.0f, 1.0f));
        CountedHandle<CFlare> flare = AddFlare(flareRenderer, at, Texture(kFlaresPicture), 0xFFFFFFFF, size, size,
                                               0.1f * life, 0.8f * life, 0.2f * life);
        const float u = 0.25f * static_cast<float>(RandomBelow(4));
        flare->SetTextureRect(u, 0.625f, u + 0.25f, 0.875f);
        flare->alphaFactor = params.smallFIntensity;
        SpinAtRandom(*flare, params.smallFW);
    }
}

int CGreenTotem::Activate(int a)
{
    const int result = CTotem::Activate(a);
    powerClock = 0.0f;
    waitingFlag = true;
    chainBroken = false;
    chainLightClock = 0.0f;
    soundPlayed = false;
    return result;
}

void CGreenTotem::ApplyPower(const std::vector<Vec2>& gems, const std::vector<Vec2>& points,
                             const std::vector<TotemCell>& cells, std::vector<float>* delays)
{
    powerClock = 0.0f;
    const Vec2& point = params.points[static_cast<size_t>(std::clamp(level, 1, 4) - 1)];
    const Vec3 origin = Place(point.x, point.y, kRayDepth);
    const float pre = params.preRayTime;
    if (CountedHandle<CFlare> flash = AddFlare(
            flareRenderer, origin, Texture(kFlaresPicture), params.rayFlareColor, 3.0f * params.rayThickness,
            3.0f * params.rayThickness, 0.5f * pre, params.rayFlareTime, 0.25f * params.rayFlareTime)) {
        flash->SetTextureRect(0.0f, 0.0f, 0.5f, 0.5f);
        flash->alphaFactor = static_cast<float>(params.rayColor >> 24) / 255.0f;
        SpinAtRandom(*flash, kTotemPi / 4.0f);
        flash->StartScale(2.0f, 1.0f / pre);
    }
    for (const Vec2& gem : gems) {
        auto ray = MakeCountedHandle(new CGreenRay());
        ray->Setup(spriteRenderer, Texture(kUnigemPicture), Texture(kFlaresPicture), params);
        const float reach = ray->Launch(origin, gem.x, gem.y, origin.z, pre, zOrder - 20);
        if (delays)
            delays->push_back(reach - params.rayInTermTime);
        rays.push_back(ray);
    }
    const size_t n = std::min(points.size(), cells.size());
    for (size_t i = 0; i < n; ++i) {
        const Vec3 from = PlaceFlat(SparkleSpot(0.25f, 0.75f));
        auto unigem = MakeCountedHandle(new CFlareList());
        unigem->position[0] = from.x;
        unigem->position[1] = from.y;
        unigem->position[2] = from.z;
        unigem->target[0] = points[i].x;
        unigem->target[1] = points[i].y;
        unigem->target[2] = origin.z;
        unigem->column = cells[i].column;
        unigem->row = cells[i].row;
        unigem->factor = factor;
        unigem->BuildUnigem(params.unigemSize, params.unigemTailColor, params.unigemTailPSize,
                            params.unigemStartFlyTime, particleSystems, flareRenderer, Texture(kUnigemPicture),
                            Texture(kTrailPicture));
        unigems.push_back(unigem);
    }
}

// Sparks run along the chain the totem hangs on.
void CGreenTotem::LightChain(float dt)
{
    chainLightClock += dt;
    const int n = static_cast<int>(std::floor(chainLightClock / params.chainLightT));
    chainLightClock -= static_cast<float>(n) * params.chainLightT;
    const PicturePlace& chain = params.chain;
    const float life = params.chainLightLifeTime, size = params.chainLightSize * scale[0];
    for (int i = 0; i < n && flareRenderer; ++i) {
        const float r = (RandomUnit() - 0.5f) * 2.0f;
        const Vec3 at = Place((1.0f + r) * 0.5f * chain.w + chain.x, chain.y - chain.h * (1.0f - r * r), -2.0f);
        CountedHandle<CFlare> light = AddFlare(flareRenderer, at, Texture(kFlaresPicture), params.chainLightColor,
                                               size, size, 0.25f * life, 0.75f * life, 0.25f * life);
        light->SetTextureRect(kChainLightU0, kChainLightV0, kChainLightU1, kChainLightV1);
    }
}

// The chain bursts into links and the totem shows itself without it.
void CGreenTotem::BreakChain()
{
    chainBroken = true;
    const PicturePlace& chain = params.chain;
    if (particleSystems) {
        auto links = MakeCountedHandle(new CSimpleSpriteSystemKeeper());
        links->Configure(16, 40.0f, 40.0f, 0.0f);
        links->SetFrameRect(0, kLinkU0, 0.0f, kLinkU1, kLinkV1);
        links->floor = -400.0f;
        links->width = links->height = 32.0f;
        links->widthSpread = 0.0f;
        links->heightSpread = 8.0f;
        links->gravity = 2000.0f;
        links->speed = 500.0f;
        links->speedSpread = 150.0f;
        const Vec3 centre{position[0], position[1], position[2] - 2.0f};
        const Vec3 left = Place(chain.x, chain.y, -2.0f) - centre;
        const Vec3 right = Place(chain.x + chain.w, chain.y, -2.0f) - centre;
        links->SeedLine(left.x, left.y, 0.0f, right.x, right.y, 0.0f, 16);
        CCollection2Parametres pieces(centre.x, centre.y, centre.z, nullptr, links, kCollectionAlphaBlend);
        pieces.keeperFlag = true;
        pieces.duration = 2.5f; // the links have fallen off the screen by then
        particleSystems->AddCollection2(&pieces, 20, Texture(kChainPicture));
    }
    if (bodySprites.size() >= 7 && mode == kLargeTotem && level >= 3) {
        bodySprites[0]->frame = 1;
        bodySprites[6]->frame = 1;
    }
}

int CGreenTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (bigFlares[0] && bigFlares[1]) {
        SwingBigFlares(dt);
        Sparkle(dt);
    }
    if (state == kTotemMoving)
        return MoveStep(dt);
    if (!PowerRuns())
        return 0;
    powerClock += dt;
    AdvanceAll(rays, dt);
    if (!unigems.empty() && powerClock >= params.unigemStartFlyTime) {
        if (!soundPlayed && sounds)
            sounds->PlayPanned(sounds->Sample("TotemGreen2.wav"), position[0], 0, 0);
        soundPlayed = true;
        float left = params.unigemFlyTime - powerClock;
        if (left <= 0.0f) {
            left = 0.0f;
            finishFlag = true;
        }
        for (const auto& unigem : unigems)
            unigem->MoveToward(dt, left);
    }
    if (strength == 3 && !chainBroken) {
        LightChain(dt);
        if (powerClock >= params.chainTime)
            BreakChain();
    }
    if (waitingFlag || powerClock <= params.pauseTime || !rays.empty() || !unigems.empty())
        return 0;
    return EndPower(StaysAfterPower());
}
