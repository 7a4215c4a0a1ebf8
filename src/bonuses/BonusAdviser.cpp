#include "bonuses/BonusAdviser.h"

#include "bonuses/BonusParameters.h"
#include "engine/Random.h"

#include <cmath>

using namespace bonus_kit;

namespace {

constexpr float kForever = 10000000.0f;
// A fired adviser that sits on its target already still flies this far.
constexpr float kLeastFlight = 0.1f;

float Signed(float unit) { return (unit - 0.5f) * 2.0f; }

} // namespace

CBonusAdviser::CBonusAdviser()
{
    kind = kBonusAdviser;
    sprites.reserve(4);
}

CBonusAdviser::~CBonusAdviser()
{
    RemoveSprites();
    StopEffect(tail);
}

void CBonusAdviser::VisitSprites(SpriteVisitor& visitor)
{
    for (CountedHandle<CSprite>& s : sprites)
        visitor.Visit(s);
}

void CBonusAdviser::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CParticleSystemsManager> p1,
                                 CountedHandle<CFlareRenderer> fr1, CountedHandle<CSpriteRenderer> sr3,
                                 CountedHandle<CParticleSystemsManager> p2, CountedHandle<CFlareRenderer> fr2,
                                 CountedHandle<CTexture> picture4, CountedHandle<CTexture> flares,
                                 CountedHandle<CTexture> sparkTexture)
{
    SetGroups(BonusDrawSet{std::move(sr1), std::move(p1), std::move(fr1)},
              BonusDrawSet{std::move(sr3), std::move(p2), std::move(fr2)});
    bonus4 = std::move(picture4);
    gemFlares = std::move(flares);
    spark = std::move(sparkTexture);
}

void CBonusAdviser::Build()
{
    const BonusParameters& b = BonusParams();
    builtSize = size;
    state = kBonusIdle;
    scale = GemParams().Scale(size);
    sprites.clear();
    m_parts.clear();
    const float x = position.x, y = position.y, z = position.z;
    auto part = [&](float w, float h, const Vec2& offset, uint32_t argb, int blend, int32_t z0, float u0, float v0,
                    float u1, float v1) {
        CountedHandle<CSprite> sprite = NewSprite(x, y, z, scale * w, scale * h, argb, bonus4, blend, z0);
        CutTexels(*sprite, u0, v0, u1, v1);
        Add(current.sprites, sprite);
        sprites.push_back(sprite);
        m_parts.push_back(Part{Vec2{w, h}, offset});
        return sprite;
    };
    const Vec2 rim = b.adviserRimShift;
    switch (Level()) {
    case 0:
        part(88, 88, rim, 0xFFFFFFFF, kBlendAlpha, zOrder - 2, 0, 0, 88, 88);
        break;
    case 1:
        part(88, 88, rim, 0xFFFFFFFF, kBlendAlpha, zOrder - 2, 88, 0, 176, 88);
        break;
    case 2:
        part(88, 88, rim, 0xFFFFFFFF, kBlendAlpha, zOrder - 2, 0, 88, 88, 176);
        break;
    default:
        // The top level's own left half beside the third rim's right half.
        part(44, 88, Vec2{rim.x - 22.0f, rim.y}, 0xFFFFFFFF, kBlendAlpha, zOrder - 2, 88, 88, 132, 176);
        part(44, 88, Vec2{rim.x + 22.0f, rim.y}, 0xFFFFFFFF, kBlendAlpha, zOrder - 2, 44, 88, 88, 176);
        break;
    }
    CountedHandle<CSprite> glass =
        part(74, 74, b.adviserGlassShift, 0x80FFFFFF, kBlendAdd, zOrder - 1, 178, 2, 252, 76);
    Spin(*glass, 0.0f, b.adviserGlassW);
    part(92, 94, b.adviserGlobalShift, 0xFFFFFFFF, kBlendDarken, zOrder, 140, 88, 232, 182);
    PlaceSprites(1.0f);
}

void CBonusAdviser::SetScale(float factorApplied, float)
{
    const float s = scale * factorApplied;
    for (size_t i = 0; i < sprites.size(); ++i)
        sprites[i]->SetSize(s * m_parts[i].size.x, s * m_parts[i].size.y);
}

void CBonusAdviser::PlaceSprites(float factorApplied)
{
    const float s = scale * factorApplied;
    for (size_t i = 0; i < sprites.size(); ++i) {
        CSprite& sprite = *sprites[i];
        sprite.x = position.x + s * m_parts[i].offset.x;
        sprite.y = position.y + s * m_parts[i].offset.y;
        sprite.z = position.z;
    }
    if (tail)
        tail->SetPosition(position.x, position.y, position.z);
}

int CBonusAdviser::Update(float dt)
{
    if (state == kBonusCollected)
        return 0;
    if (!visible)
        return 1;
    age += dt;
    float k = 1.0f;
    float opacity = 1.0f;
    const bool moving = state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff;
    if (moving || state == kBonusFired) {
        const float p = AdvancePath(dt);
        if (moving) {
            const FlightLook look = LookInFlight(p);
            k = look.scale;
            opacity = look.opacity;
            SetScale(k, 0.0f);
        }
        for (const CountedHandle<CSprite>& sprite : sprites)
            sprite->SetAlphaNow(opacity);
    }
    PlaceSprites(k);
    if (MoveIsOver()) {
        if (state == kBonusToTarget)
            return 0;
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
            SetScale(k, 0.0f);
            PlaceSprites(k);
            for (const CountedHandle<CSprite>& sprite : sprites)
                sprite->SetAlphaNow(opacity);
        } else if (state == kBonusFlyingOff) {
            Raise(kEventFlownOff, 0);
            state = kBonusFired;
        } else if (state == kBonusFired) {
            Raise(kEventAdviserArrived, param);
            state = kBonusCollected;
        }
    }
    return 1;
}

void CBonusAdviser::StartTail()
{
    StopEffect(tail);
    if (!group0.particles)
        return;
    const BonusParameters& b = BonusParams();
    CSpellsSpringParametres sparkles(position.x, position.y, position.z, 0, 0, 0, 2.0f * size, 0.5f * size,
                                     0.5f * size, 0.25f * size, b.adviserTailColor);
    sparkles.fadeRate = 0.75f;
    sparkles.fadeSpread = 0.25f;
    sparkles.duration = kForever;
    sparkles.rate = factor * 80.0f;
    tail = group0.particles->AddSpells(&sparkles, 200, spark);
}

void CBonusAdviser::Fire()
{
    const BonusParameters& b = BonusParams();
    finished = 1;
    state = kBonusFired;
    for (size_t i = 0; i < sprites.size(); ++i) {
        sprites[i]->zOrder = b.adviserZOrder + static_cast<int32_t>(i) - 2;
        Move(current.sprites, group0.sprites, sprites[i]);
    }
    const Vec3& t = b.adviserTarget;
    position.z = t.z;
    float d = std::sqrt((t.x - position.x) * (t.x - position.x) + (t.y - position.y) * (t.y - position.y));
    if (d == 0.0f)
        d = kLeastFlight;
    pathTime = 0.0f;
    pathDuration = d / b.adviserSpeed;
    // Each flight bends its own way in x and y and runs straight in depth.
    const float a = Signed(RandomUnit()), bb = Signed(RandomUnit()), c = Signed(RandomUnit()),
                e = Signed(RandomUnit());
    path.Reset(position, t, Vec3{a, bb, 1.0f}, Vec3{c, e, 1.0f}, pathDuration);
    StartTail();
    PlaceSprites(1.0f);
    Raise(kEventAdviserFired, param);
}
