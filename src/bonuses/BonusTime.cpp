#include "bonuses/BonusTime.h"

#include "bonuses/BonusParameters.h"
#include "engine/Random.h"
#include "tokens/BoardGrid.h"

#include <cmath>

using namespace bonus_kit;

namespace {

// The swirls last until the bonus stops them.
constexpr float kForever = 10000000.0f;
// Where the first four clock sprites stand: the hands and their shadows.
constexpr size_t kHandParts = 4;

void MoveEffectTo(const CountedHandle<CParticleSystem>& system, const Vec3& at)
{
    if (!system)
        return;
    const Vec3& p = system->Position();
    system->MoveBy(at.x - p.x, at.y - p.y, at.z - p.z);
}

CountedHandle<CParticleSystem> StartSwirl(const CountedHandle<CParticleSystemsManager>& particles,
                                          const CountedHandle<CVortexKeeper>& keeper, const Vec3& at, int blend,
                                          float alphaFactor, const CountedHandle<CTexture>& texture)
{
    if (!particles)
        return {};
    CCollection2Parametres swirl(at.x, at.y, at.z, nullptr, keeper, blend);
    swirl.duration = kForever;
    swirl.keeperFlag = true;
    swirl.alphaFactor = alphaFactor;
    CountedHandle<CParticleSystem> system = particles->AddCollection2(&swirl, 120, texture);
    // Already turning when it shows.
    if (system)
        for (int i = 0; i < 6; ++i)
            system->Update(0.05f);
    return system;
}

} // namespace

CBonusTime::CBonusTime()
{
    kind = kBonusTime;
    clockSprites.reserve(8);
}

CBonusTime::~CBonusTime()
{
    RemoveSprites();
    Remove(group0.sprites, twirl);
    for (CountedHandle<CVortexKeeper>* keeper : {&digitKeeper, &starKeeper})
        if (*keeper)
            (*keeper)->swirl = false;
    StopEffect(digitSystem);
    StopEffect(starSystem);
}

void CBonusTime::VisitSprites(SpriteVisitor& visitor)
{
    for (CountedHandle<CSprite>& s : clockSprites)
        visitor.Visit(s);
}

void CBonusTime::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CParticleSystemsManager> p1,
                              CountedHandle<CFlareRenderer> fr1, CountedHandle<CSpriteRenderer> sr3,
                              CountedHandle<CParticleSystemsManager> p2, CountedHandle<CFlareRenderer> fr2,
                              CountedHandle<CTexture> picture3, CountedHandle<CTexture> twirl1,
                              CountedHandle<CTexture> twirl2, CountedHandle<CTexture> star,
                              CountedHandle<CTexture> glass)
{
    SetGroups(BonusDrawSet{std::move(sr1), std::move(p1), std::move(fr1)},
              BonusDrawSet{std::move(sr3), std::move(p2), std::move(fr2)});
    bonus3 = std::move(picture3);
    twirlTexture = std::move(twirl1);
    secondTwirlTexture = std::move(twirl2);
    starParticle = std::move(star);
    panelGlass = std::move(glass);
}

void CBonusTime::Build()
{
    builtSize = size;
    state = kBonusIdle;
    const float s = scale;
    const float x = position.x, y = position.y, z = position.z;
    const int n = Level();
    clockSprites.clear();
    m_partSizes.clear();
    // Bonus3.tga, in texels; each hand turns about its hub near its left end.
    struct Part {
        float w, h, dx, dy;
        int blend, zShift;
        float u0, v0, u1, v1;
        float originX, originY;
        float spin;
    };
    const Part parts[] = {
        {52, 14, 0, 0, kBlendAdd, -5, 204, 242, 256, 256, -0.3653846f, 1.0f / 14.0f, kBonusPi},
        {52, 14, s, -s, kBlendDarken, -4, 204, 228, 256, 242, -0.3846154f, 0.0f, kBonusPi},
        {42, 14, 0, 0, kBlendAdd, -3, 162, 242, 204, 256, -1.0f / 3.0f, -1.0f / 14.0f, kBonusPi / 12.0f},
        {42, 14, s, -s, kBlendDarken, -2, 162, 228, 204, 242, -0.3571429f, 0.0f, kBonusPi / 12.0f},
    };
    for (const Part& part : parts) {
        CountedHandle<CSprite> sprite = NewSprite(x + part.dx, y + part.dy, z, s * part.w, s * part.h, 0xFFFFFFFF,
                                                  bonus3, part.blend, zOrder + part.zShift);
        CutTexels(*sprite, part.u0, part.v0, part.u1, part.v1);
        sprite->originX = part.originX;
        sprite->originY = part.originY;
        Spin(*sprite, kBonusPi / 2.0f, part.spin);
        clockSprites.push_back(sprite);
        m_partSizes.push_back(Vec2{part.w, part.h});
    }
    if (n > 0) {
        CountedHandle<CSprite> badge =
            NewSprite(x, y, z, s * 76, s * 76, 0xFFFFFFFF, bonus3, kBlendAdd, zOrder - 1);
        CutTexels(*badge, 180, static_cast<float>(n - 1) * 76, 256, static_cast<float>(n) * 76);
        clockSprites.push_back(badge);
        m_partSizes.push_back(Vec2{76, 76});
    }
    CountedHandle<CSprite> glow = NewSprite(x, y, z, s * 90, s * 90, 0xFFFFFFFF, bonus3, kBlendAdd, zOrder - 1);
    CutTexels(*glow, 90, 0, 180, 90);
    clockSprites.push_back(glow);
    m_partSizes.push_back(Vec2{90, 90});
    CountedHandle<CSprite> face = NewSprite(x, y, z, s * 90, s * 90, 0xFFFFFFFF, bonus3, kBlendDarken, zOrder);
    CutTexels(*face, 0, 0, 90, 90);
    clockSprites.push_back(face);
    m_partSizes.push_back(Vec2{90, 90});
    for (const CountedHandle<CSprite>& sprite : clockSprites)
        Add(current.sprites, sprite);
}

void CBonusTime::SetScale(float k, float)
{
    const float a = scale * k;
    for (size_t i = 0; i < clockSprites.size() && i < m_partSizes.size(); ++i)
        clockSprites[i]->SetSize(a * m_partSizes[i].x, a * m_partSizes[i].y);
}

void CBonusTime::PlaceSwirls(const Vec3& at)
{
    if (twirl) {
        twirl->x = at.x;
        twirl->y = at.y;
        twirl->z = at.z;
    }
    MoveEffectTo(digitSystem, at);
    MoveEffectTo(starSystem, at);
}

int CBonusTime::Update(float dt)
{
    if (!visible)
        return 1;
    const BonusParameters& b = BonusParams();
    if (state == kBonusFired) {
        const float grow = b.timePreFlyTime, fly = b.timeFlyTime, burst = b.timePostFlyTime;
        phaseTime += dt;
        if (phaseTime > grow && phaseTime < grow + fly) {
            const float u = (phaseTime - grow) / fly;
            PlaceSwirls(Vec3{flightStart.x + u * flightDelta.x, flightStart.y + u * flightDelta.y,
                             flightStart.z + u * flightDelta.z});
        }
        if (phaseTime >= grow + fly && twirl) {
            PlaceSwirls(b.timeTarget);
            FadeTo(*twirl, 0.0f, 1.0f / burst);
            Expire(*twirl, burst);
            twirl.Reset();
            const Vec3& t = b.timeTarget;
            auto flash = MakeCountedHandle(new CFlare(t.x, t.y, t.z, panelGlass, 0xFFFFFF));
            flash->SetTextureRect(0.0f, 0.0f, 0.546875f, 0.546875f);
            flash->SetSize(140.0f, 140.0f);
            flash->fadeIn = 0.75f * burst;
            flash->fadeOutStart = 4.0f * burst;
            flash->fadeOut = 0.75f * burst;
            AddFlare(group0.flares, flash);
            Raise(kEventTimeArrived, param);
        }
        if (phaseTime >= grow + fly + burst && (digitSystem || starSystem || digitKeeper || starKeeper)) {
            // The swirling particles fly on and fade.
            for (CountedHandle<CVortexKeeper>* keeper : {&digitKeeper, &starKeeper})
                if (*keeper) {
                    (*keeper)->swirl = false;
                    keeper->Reset();
                }
            StopEffect(digitSystem);
            StopEffect(starSystem);
        }
        const bool ended = phaseTime >= grow + fly + burst;
        return ended && events.Empty() ? 0 : 1;
    }
    age += dt;
    float k = 1.0f;
    if (state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff) {
        const FlightLook look = LookInFlight(AdvancePath(dt));
        k = look.scale;
        SetScale(k, 0.0f);
        for (const CountedHandle<CSprite>& sprite : clockSprites)
            sprite->SetAlphaNow(look.opacity);
    }
    const float s = scale;
    for (size_t i = 0; i < clockSprites.size(); ++i) {
        CSprite& sprite = *clockSprites[i];
        // The shadows fall a scaled unit right of and above their hands.
        const bool shadow = i < kHandParts && i % 2 == 1;
        sprite.x = position.x + (shadow ? s * k : 0.0f);
        sprite.y = position.y + (shadow ? s * k : 0.0f);
        sprite.z = position.z;
    }
    if (MoveIsOver()) {
        if (state == kBonusToTarget)
            return 0;
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
            SetScale(1.0f, 0.0f);
            for (const CountedHandle<CSprite>& sprite : clockSprites)
                sprite->SetAlphaNow(1.0f);
        } else if (state == kBonusFlyingOff) {
            Raise(kEventFlownOff, 0);
            state = kBonusFired;
        }
    }
    return 1;
}

void CBonusTime::Fire()
{
    const BonusParameters& b = BonusParams();
    const CBoardGrid& grid = BoardGrid();
    finished = 1;
    state = kBonusFired;
    for (const CountedHandle<CSprite>& sprite : clockSprites)
        Expire(*sprite, 0.05f);
    clockSprites.clear();
    m_partSizes.clear();
    const float s = scale;
    const float grow = b.timePreFlyTime;
    phaseTime = 0.0f;
    const Vec3& t = b.timeTarget;
    flightStart = Vec3{position.x, position.y, t.z};
    flightDelta = Vec3{t.x - flightStart.x, t.y - flightStart.y, t.z - flightStart.z};
    const float cw = grid.cellWidth, ch = grid.cellHeight;
    twirl = NewSprite(flightStart.x, flightStart.y, flightStart.z, s * 0.5f * cw, s * 0.5f * ch, b.timeTwirlColor,
                      twirlTexture, kBlendScreen, b.timeTwirlZOrder);
    Spin(*twirl, 2.0f * kBonusPi * RandomUnit(), kBonusPi / 2.0f);
    twirl->SetAlphaNow(0.0f);
    FadeTo(*twirl, 1.0f, 1.0f / grow);
    // Four times its first size when the flight begins.
    Grow(*twirl, s * 1.5f * cw / grow, s * 1.5f * ch / grow, s * 2.0f * cw, s * 2.0f * ch);
    Add(group0.sprites, twirl);

    digitKeeper = MakeCountedHandle(new CVortexKeeper());
    digitKeeper->BuildShape(2);
    digitKeeper->width = digitKeeper->height = b.timeDigitsSize;
    digitKeeper->rate = factor * 50.0f;
    digitSystem =
        StartSwirl(group0.particles, digitKeeper, flightStart, kCollectionAlphaBlend, 1.0f, secondTwirlTexture);
    starKeeper = MakeCountedHandle(new CVortexKeeper());
    starKeeper->BuildShape(0);
    starKeeper->width = starKeeper->height = b.timeDigitsSize;
    starKeeper->colour = b.timeStarColor;
    starKeeper->rate = factor * 0.5f * digitKeeper->rate;
    starSystem = StartSwirl(group0.particles, starKeeper, flightStart, kCollectionAdditive,
                            static_cast<float>(b.timeStarColor >> 24) / 255.0f, starParticle);
    Raise(kEventTimeFired, param);
}
