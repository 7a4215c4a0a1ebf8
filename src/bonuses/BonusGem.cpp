#include "bonuses/BonusGem.h"

#include "bonuses/BonusParameters.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>

using namespace bonus_kit;

namespace {

constexpr uint32_t kSparkleColour = 0xC0C0FF;
// The trail lasts until it is stopped.
constexpr float kForever = 10000000.0f;

int RandomIndex(int n)
{
    return std::min(static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n))), n - 1);
}

} // namespace

CBonusGem::CBonusGem() { kind = kBonusGem; }

CBonusGem::~CBonusGem()
{
    const CountedHandle<CSpriteRenderer>& renderer = Renderer();
    Remove(renderer, halo);
    Remove(renderer, bigFlares[0]);
    Remove(renderer, bigFlares[1]);
    Remove(renderer, gemSprite);
    StopEffect(trail);
}

void CBonusGem::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CFlareRenderer> fr1,
                             CountedHandle<CSpriteRenderer> sr2, CountedHandle<CParticleSystemsManager> p2,
                             CountedHandle<CFlareRenderer> fr2, CountedHandle<CTexture> lights,
                             CountedHandle<CTexture> gems, CountedHandle<CTexture> flares,
                             CountedHandle<CTexture> star)
{
    spriteRenderer1 = std::move(sr1);
    flareRenderer1 = std::move(fr1);
    spriteRenderer2 = std::move(sr2);
    particles2 = std::move(p2);
    flareRenderer2 = std::move(fr2);
    allGemLights = std::move(lights);
    allGems = std::move(gems);
    gemFlares = std::move(flares);
    starParticle = std::move(star);
}

Vec2 CBonusGem::RandomOffset(bool big) const
{
    const GemParameters& g = GemParams();
    const Vec2 ellipse = big ? g.bigFlareOrigins[value] : g.smallFlareOrigins[value];
    const float a = 2.0f * kBonusPi * RandomUnit();
    const float r = std::sqrt(RandomUnit()) * 0.5f;
    return Vec2{r * std::cos(a) * ellipse.x, r * std::sin(a) * ellipse.y};
}

void CBonusGem::Build()
{
    const GemParameters& g = GemParams();
    builtSize = size;
    state = kBonusIdle;
    scale = g.Scale(size);
    const float s = scale;
    const Vec3 p = position;
    for (int i = 0; i < 2; ++i) {
        flareOffsets[i] = RandomOffset(true);
        CountedHandle<CSprite> flare = NewSprite(p.x + s * flareOffsets[i].x, p.y + s * flareOffsets[i].y, p.z,
                                                 s * g.bigFlareSize, s * g.bigFlareSize, 0xFFFFFFFF, gemFlares,
                                                 g.bigFlareAdditive ? kBlendAdd : kBlendAlpha, zOrder);
        flare->SetFrameRect(0, 0.5f * static_cast<float>(i), 0.0f, 0.5f * static_cast<float>(i + 1), 0.5f);
        flare->SetAlphaNow(i == 0 ? 1.0f : 0.0f);
        Spin(*flare, kBonusPi * RandomUnit(), g.bigFlareW);
        Add(spriteRenderer1, flare);
        bigFlares[i] = flare;
    }
    const float c = static_cast<float>(value % 4), r = static_cast<float>(value / 4);
    halo = NewSprite(p.x, p.y, p.z, s * g.haloSize, s * g.haloSize, g.haloColors[value], allGemLights,
                     g.haloAdditive ? kBlendAdd : kBlendAlpha, zOrder);
    halo->SetFrameRect(0, 0.25f * c, 0.5f * r, 0.25f * (c + 1.0f), 0.5f * (r + 1.0f));
    halo->SetAlphaNow(g.haloMinIntensity);
    Add(spriteRenderer1, halo);
}

void CBonusGem::MakeSmallFlare()
{
    const GemParameters& g = GemParams();
    const float s = scale;
    const Vec2 offset = RandomOffset(false);
    const CFlare fresh(position.x + s * offset.x, position.y + s * offset.y, position.z, gemFlares, 0xFFFFFF);
    // A sparkle the renderers have let go of sparkles again: a riding gem
    // makes several a second, and none of them need be new.
    const auto spent = std::find_if(smallFlares.begin(), smallFlares.end(),
                                    [](const CountedHandle<CFlare>& f) { return f.UseCount() == 1; });
    CountedHandle<CFlare> flare;
    if (spent != smallFlares.end()) {
        flare = *spent;
        *flare = fresh;
    } else {
        flare = MakeCountedHandle(new CFlare(fresh));
        smallFlares.push_back(flare);
    }
    const float q = static_cast<float>(RandomIndex(4));
    flare->SetTextureRect(0.25f * q, 0.625f, 0.25f * (q + 1.0f), 0.875f);
    flare->SetSize(s * g.smallFlareSize, s * g.smallFlareSize);
    flare->alphaFactor = g.smallFlareIntensity;
    flare->flickerDepth = 0.0f;
    flare->fadeIn = 0.1f * g.smallFlareLifeTime;
    flare->fadeOutStart = g.smallFlareLifeTime;
    flare->fadeOut = 0.2f * g.smallFlareLifeTime;
    const float across[3] = {1, 0, 0}, up[3] = {0, 1, 0};
    flare->SetSpin(2.0f * kBonusPi * RandomUnit(), g.smallFlareW, across, up);
    AddFlare(collected ? flareRenderer2 : flareRenderer1, flare);
}

int CBonusGem::Update(float dt)
{
    if (!visible)
        return 1;
    const GemParameters& g = GemParams();
    age += dt;
    if (state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFired)
        AdvancePath(dt);
    if (MoveIsOver()) {
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
        } else if (state == kBonusToTarget || state == kBonusCollected) {
            return 0;
        } else if (state == kBonusFired) {
            state = kBonusAtBar;
            CSpellsSpringParametres burst(position.x, position.y, position.z, 0, 0, 0, size, 0.5f * size,
                                          0.35f * size, 0.15f * size, kSparkleColour);
            burst.fadeRate = 0.75f;
            burst.fadeSpread = 0.25f;
            burst.duration = 0.25f;
            burst.rate = 60.0f;
            burst.randomRotation = true;
            burst.randomSpinSign = true;
            burst.spin = 512.0f;
            burst.spinSpread = 256.0f;
            if (particles2)
                if (CountedHandle<CParticleSystem> system = particles2->AddSpells(&burst, 200, starParticle))
                    system->Update(0.25f);
            Raise(kEventGemArrived, value);
        }
    }
    const float s = scale;
    if (halo) {
        const float c = std::cos(2.0f * kBonusPi * age / g.haloT);
        halo->SetAlphaNow(g.haloMinIntensity + (0.5f - 0.5f * c) * (g.haloIntensity - g.haloMinIntensity));
    }
    // Each big flare jumps to a new place when it is smallest and darkest.
    const float u = age / g.bigFlareT, before = (age - dt) / g.bigFlareT;
    if (std::floor(u + 0.5f) != std::floor(before + 0.5f))
        flareOffsets[0] = RandomOffset(true);
    if (std::floor(u) != std::floor(before))
        flareOffsets[1] = RandomOffset(true);
    const float a = 0.5f + 0.5f * std::cos(2.0f * kBonusPi * u);
    const float k[2] = {a > 0.01f ? a : 0.01f, a < 0.99f ? 1.0f - a : 0.01f};
    const float opacity[2] = {a < 0.1f ? 10.0f * a * g.bigFlareIntensity : g.bigFlareIntensity,
                              a > 0.9f ? 10.0f * (1.0f - a) * g.bigFlareIntensity : g.bigFlareIntensity};
    for (CSprite* sprite : {halo.Get(), gemSprite.Get()})
        if (sprite) {
            sprite->x = position.x;
            sprite->y = position.y;
            sprite->z = position.z;
        }
    for (int i = 0; i < 2; ++i) {
        CSprite* flare = bigFlares[i].Get();
        if (!flare)
            continue;
        flare->x = position.x + s * flareOffsets[i].x;
        flare->y = position.y + s * flareOffsets[i].y;
        flare->z = position.z;
        flare->SetSize(s * g.bigFlareSize * k[i], s * g.bigFlareSize * k[i]);
        flare->SetAlphaNow(opacity[i]);
    }
    if (trail)
        trail->SetPosition(position.x, position.y, position.z);
    if (size != builtSize) {
        if (halo)
            halo->SetSize(s * g.haloSize, s * g.haloSize);
        if (gemSprite)
            gemSprite->SetSize(s * g.gemSize, s * g.gemSize);
    }
    smallFlareClock += dt;
    const float n = std::floor(smallFlareClock / g.smallFlareT);
    if (n >= 1.0f) {
        smallFlareClock -= n * g.smallFlareT;
        for (int i = 0; i < static_cast<int>(n); ++i)
            MakeSmallFlare();
    }
    return 1;
}

void CBonusGem::StartTrail(float x, float y, float z, float fadeRate, float rate)
{
    StopEffect(trail);
    if (!particles2)
        return;
    CSpellsSpringParametres sparkles(x, y, z, 0, 0, 0, size, 0.5f * size, 0.5f * size, 0.25f * size,
                                     kSparkleColour);
    sparkles.fadeRate = fadeRate;
    sparkles.fadeSpread = 0.25f;
    sparkles.duration = kForever;
    sparkles.rate = rate;
    sparkles.randomRotation = true;
    sparkles.randomSpinSign = true;
    sparkles.spin = 512.0f;
    sparkles.spinSpread = 256.0f;
    trail = particles2->AddSpells(&sparkles, 200, starParticle);
}

void CBonusGem::Fire()
{
    const GemParameters& g = GemParams();
    pathTime = 0.0f;
    finished = 1;
    state = kBonusFired;
    collected = 1;
    pathDuration = g.flyTime;
    const float depth = g.targetPos.z;
    // A fresh bend in x and y for every flight.
    const float r1 = RandomUnit(), r2 = RandomUnit(), r3 = RandomUnit(), r4 = RandomUnit();
    path.Reset(Vec3{position.x, position.y, depth}, Vec3{destination.x, destination.y, depth},
               Vec3{1.0f - 2.0f * r4, 1.0f - 2.0f * r3, 1.0f}, Vec3{1.0f - 2.0f * r2, 1.0f - 2.0f * r1, 1.0f},
               g.flyTime);
    for (CountedHandle<CSprite>* sprite : {&bigFlares[0], &bigFlares[1], &halo})
        if (*sprite) {
            (*sprite)->zOrder = g.targetZOrder;
            Move(spriteRenderer1, spriteRenderer2, *sprite);
        }
    const float c = static_cast<float>(value % 4), r = static_cast<float>(value / 4);
    gemSprite = NewSprite(position.x, position.y, depth, scale * g.gemSize, scale * g.gemSize, 0xFFFFFFFF, allGems,
                          kBlendAlpha, 0);
    gemSprite->SetFrameRect(0, 0.1875f * c, 0.375f * r, 0.1875f * (c + 1.0f), 0.375f * (r + 1.0f));
    if (halo) {
        gemSprite->spinning = halo->spinning;
        gemSprite->spinSpeed = halo->spinSpeed;
    }
    Add(spriteRenderer2, gemSprite);
    StartTrail(position.x, position.y, depth, 0.75f, 20.0f * factor);
    Raise(kEventGemFired, value);
}

void CBonusGem::Hide()
{
    visible = 0;
    ShowPictures(false);
    StopEffect(trail);
}

void CBonusGem::ShowPictures(bool shown)
{
    const CountedHandle<CSpriteRenderer>& renderer = Renderer();
    for (const CountedHandle<CSprite>* sprite : {&halo, &bigFlares[0], &bigFlares[1], &gemSprite})
        SetVisible(renderer, *sprite, shown ? 1 : 0);
}

void CBonusGem::Show()
{
    visible = 1;
    ShowPictures(true);
    if (state == kBonusFired)
        StartTrail(position.x, position.y, position.z, 0.5f, 20.0f);
}
