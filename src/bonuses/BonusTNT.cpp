#include "bonuses/BonusTNT.h"

#include "balance/BalanceState.h"
#include "bonuses/BonusParameters.h"
#include "effects/particles/SparksParticleSystem.h"
#include "engine/Random.h"
#include "tokens/BoardGrid.h"

#include <algorithm>
#include <cmath>

using namespace bonus_kit;

namespace {

// Bonus1.png, in texels: the bombs by level in two rows of two, the shared
// back half, and the strip of eight spark frames.
constexpr float kBombWidth = 86.0f, kBombHeight = 92.0f;
constexpr float kBackWidth = 84.0f;
constexpr float kSparkSide = 32.0f, kSparkTop = 188.0f;
constexpr float kRingSide = 96.0f;

} // namespace

CBonusTNT::CBonusTNT() { kind = kBonusTnt; }

CBonusTNT::~CBonusTNT() { RemoveSprites(); }

void CBonusTNT::VisitSprites(SpriteVisitor& visitor)
{
    for (CountedHandle<CSprite>& s : sparks)
        visitor.Visit(s);
    visitor.Visit(body);
    visitor.Visit(front);
}

void CBonusTNT::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CParticleSystemsManager> p1,
                             CountedHandle<CSpriteRenderer> sr3, CountedHandle<CParticleSystemsManager> p2,
                             CountedHandle<CTexture> picture, CountedHandle<CTexture> haloTexture,
                             CountedHandle<CTexture> ringTexture, CountedHandle<CTexture> sparkTexture)
{
    SetGroups(BonusDrawSet{std::move(sr1), std::move(p1), {}}, BonusDrawSet{std::move(sr3), std::move(p2), {}});
    bonus1 = std::move(picture);
    halo1 = std::move(haloTexture);
    ring = std::move(ringTexture);
    spark = std::move(sparkTexture);
}

void CBonusTNT::Build()
{
    const BonusParameters& b = BonusParams();
    builtSize = size;
    state = kBonusIdle;
    const float s = scale;
    const Vec3 p = position;
    const int n = Level();
    body = NewSprite(p.x, p.y, p.z - 0.5f, s * kBombWidth, s * kBombHeight, 0xFFFFFFFF, bonus1, kBlendAlpha,
                     zOrder - 1);
    const float left = static_cast<float>(n & 1) * kBombWidth, top = static_cast<float>(n >> 1) * kBombHeight;
    CutTexels(*body, left, top, left + kBombWidth, top + kBombHeight);
    Add(current.sprites, body);
    front =
        NewSprite(p.x, p.y, p.z + 0.5f, s * kBackWidth, s * kBombHeight, 0xFFFFFFFF, bonus1, kBlendAlpha, zOrder);
    CutTexels(*front, 2.0f * kBombWidth, 0.0f, 256.0f, kBombHeight);
    Add(current.sprites, front);
    for (int i = 0; i < 3; ++i) {
        sparkFrame[i] = 8.0f * RandomUnit();
        // A third of a turn apart.
        sparkAngle[i] = (0.5f * RandomUnit() + 0.25f + static_cast<float>(i)) * 2.0f * kBonusPi / 3.0f;
        const Vec3 &m = b.wireCentres[i], &a = b.wireAxes[i], &nn = b.wireNormals[i];
        const float c = std::cos(sparkAngle[i]), sn = std::sin(sparkAngle[i]);
        CountedHandle<CSprite> sprite = NewSprite(p.x + m.x + c * a.x + sn * nn.x, p.y + m.y + c * a.y + sn * nn.y,
                                                  p.z - 0.5f + m.z + c * a.z + sn * nn.z, s * kSparkSide,
                                                  s * kSparkSide, 0xFFFFFFFF, bonus1, kBlendAdd, zOrder - 2);
        CutTexels(*sprite, 0.0f, kSparkTop, kSparkSide, kSparkTop + kSparkSide);
        for (int f = 1; f < 8; ++f)
            sprite->AddFrame(static_cast<float>(f) / 8.0f, kSparkTop / 256.0f, static_cast<float>(f + 1) / 8.0f,
                             (kSparkTop + kSparkSide) / 256.0f);
        sprite->frame = static_cast<int32_t>(std::floor(sparkFrame[i])) & 7;
        sprite->depthWrite = 0;
        Add(current.sprites, sprite);
        sparks[i] = sprite;
    }
}

void CBonusTNT::PlaceSparks(float k, float opacity)
{
    const BonusParameters& b = BonusParams();
    for (int i = 0; i < 3; ++i) {
        CSprite* sprite = sparks[i].Get();
        if (!sprite)
            continue;
        const float c = std::cos(sparkAngle[i]), n = std::sin(sparkAngle[i]);
        // A spark shows only on the near side of its wire.
        const float alpha = n < -0.25f ? 1.0f : n < 0.0f ? -4.0f * n : 0.0f;
        const Vec3 &m = b.wireCentres[i], &a = b.wireAxes[i], &nn = b.wireNormals[i];
        const float kc = k * c, kn = k * n;
        sprite->x = position.x + m.x + kc * a.x + kn * nn.x;
        sprite->y = position.y + m.y + kc * a.y + kn * nn.y;
        sprite->z = position.z - 0.5f + m.z + kc * a.z + kn * nn.z;
        sprite->SetAlphaNow(alpha * opacity);
    }
}

int CBonusTNT::Update(float dt)
{
    if (!visible)
        return 1;
    if (state == kBonusFired)
        return events.Empty() ? 0 : 1;
    const BonusParameters& b = BonusParams();
    age += dt;
    const float s = scale;
    FlightLook look;
    const bool moving = state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff;
    if (moving) {
        look = LookInFlight(AdvancePath(dt));
        const float k = look.scale;
        if (body) {
            body->SetSize(s * kBombWidth * k, s * kBombHeight * k);
            body->SetAlphaNow(look.opacity);
        }
        if (front) {
            front->SetSize(s * kBackWidth * k, s * kBombHeight * k);
            front->SetAlphaNow(look.opacity);
        }
        for (CountedHandle<CSprite>& sprite : sparks)
            if (sprite)
                sprite->SetSize(s * kSparkSide * k, s * kSparkSide * k);
    }
    if (body) {
        body->x = position.x;
        body->y = position.y;
        body->z = position.z - 0.5f;
    }
    if (front) {
        front->x = position.x;
        front->y = position.y;
        front->z = position.z + 0.5f;
    }
    if (MoveIsOver()) {
        if (state == kBonusToTarget)
            return 0;
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
            if (body) {
                body->SetSize(s * kBombWidth, s * kBombHeight);
                body->SetAlphaNow(1.0f);
            }
            if (front) {
                front->SetSize(s * kBackWidth, s * kBombHeight);
                front->SetAlphaNow(1.0f);
            }
            for (CountedHandle<CSprite>& sprite : sparks)
                if (sprite)
                    sprite->SetSize(s * kSparkSide, s * kSparkSide);
        } else if (state == kBonusFlyingOff) {
            Raise(kEventFlownOff, 0);
            state = kBonusFired;
        }
    }
    for (int i = 0; i < 3; ++i) {
        sparkAngle[i] += dt * b.tntSparkerW;
        if (sparkAngle[i] >= 2.0f * kBonusPi)
            sparkAngle[i] -= 2.0f * kBonusPi;
        sparkFrame[i] = std::fmod(sparkFrame[i] + 20.0f * dt, 8.0f);
        if (sparks[i])
            sparks[i]->frame = static_cast<int32_t>(std::floor(sparkFrame[i])) & 7;
    }
    if (moving)
        PlaceSparks(look.scale, look.opacity);
    else
        PlaceSparks(1.0f, 1.0f);
    return 1;
}

void CBonusTNT::Fire()
{
    const BonusParameters& b = BonusParams();
    finished = 1;
    state = kBonusFired;
    for (CountedHandle<CSprite>* sprite : {&body, &front})
        if (*sprite) {
            Expire(**sprite, 0.05f);
            sprite->Reset();
        }
    for (CountedHandle<CSprite>& sprite : sparks) {
        Remove(current.sprites, sprite);
        sprite.Reset();
    }
    const float s = scale;
    const Vec3 p = position;
    const int n = Level();
    const float life = b.tntLifeTime, grow = b.tntRingExpandTime, final = b.tntRingSizes[n];
    const float side = s * kRingSide;
    CountedHandle<CSprite> ringSprite =
        NewSprite(p.x, p.y, p.z - 2.0f, side, side, b.tntRingColor, ring, kBlendAdd, zOrder);
    ringSprite->depthWrite = 0;
    ringSprite->SetAlphaNow(0.0f);
    FadeTo(*ringSprite, 1.0f, 25.0f);
    Grow(*ringSprite, (final - 1.0f) * side / grow, (final - 1.0f) * side / grow, side * final, side * final);
    Expire(*ringSprite, life);
    ringSprite->fadeWithTimer = 1;
    ringSprite->timerFade = life - grow;
    Add(current.sprites, ringSprite);
    const float haloSide = side * b.tntHaloSizeFactor;
    for (int i = 0; i < 2; ++i) {
        CountedHandle<CSprite> halo =
            NewSprite(p.x, p.y, p.z - 2.0f, haloSide, haloSide, b.tntHaloColor, halo1, kBlendScreen, zOrder);
        halo->depthWrite = 0;
        halo->SetAlphaNow(0.0f);
        FadeTo(*halo, 1.0f, 4.0f / grow);
        const float speed = (final - 1.0f) * 0.5f * haloSide / grow;
        Grow(*halo, speed, speed, haloSide * final, haloSide * final);
        Spin(*halo, 2.0f * kBonusPi * RandomUnit(), i == 0 ? b.tntHaloW : -b.tntHaloW);
        Expire(*halo, life);
        halo->fadeWithTimer = 1;
        halo->timerFade = life - grow;
        Add(current.sprites, halo);
    }
    if (current.particles) {
        const float speed = b.expSparkSpeed;
        CSparksSpringParametres burst(p.x, p.y, p.z - 2.0f, 0.0f, speed / 4.0f, 0.0f, 1.0f, 0.0f, 0.0f, speed,
                                      speed / 2.0f, b.expSparkColor);
        burst.sphereMode = true;
        burst.duration = 0.1f;
        burst.rate = factor * b.expSparkCount * 10.0f;
        burst.width = b.expSparkSize;
        burst.lengthFactor = 2.0f / speed;
        burst.maxLength = 5.0f * b.expSparkSize;
        burst.fadeRate = b.expSparkFading;
        const int capacity = 2 * static_cast<int>(std::floor(b.expSparkCount));
        if (CountedHandle<CParticleSystem> system = current.particles->AddSparks(&burst, capacity, spark)) {
            const float gravity = current.particles->Environment().gravity.y;
            if (gravity != 0.0f)
                static_cast<CSparksParticleSystem*>(system.Get())->gravityFactor = -b.expSparkGravity / gravity;
            system->Update(0.1f);
        }
    }
    Raise(kEventTntFired, param);
    // A bomb that rides on no cell blows up nothing of the board.
    if (column < 0 || row < 0)
        return;
    const CBoardGrid& grid = BoardGrid();
    const float r = BalanceFactorByType(n);
    for (int32_t cr = std::max(row - 2, 0); cr <= std::min(row + 2, grid.rows - 1); ++cr)
        for (int32_t cc = std::max(column - 2, 0); cc <= std::min(column + 2, grid.columns - 1); ++cc) {
            const float dr = static_cast<float>(cr - row), dc = static_cast<float>(cc - column);
            if (dr * dr + dc * dc <= r * r)
                Raise(kEventDestroyCell, param, cc, cr);
        }
}
