#include "bonuses/BonusScore.h"

#include "bonuses/BonusParameters.h"
#include "effects/keepers/SimpleSpriteSystemKeeper.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>

using namespace bonus_kit;

namespace {

constexpr float kForever = 10000000.0f;
// Bonus3.tga, in texels: the plates by level, then the coin's eight frames
// in two columns of four.
constexpr float kPlateWidth = 50.0f, kPlateHeight = 36.0f, kPlateLeft = 4.0f, kPlateTop = 94.0f;
constexpr float kCoinSide = 24.0f, kCoinLeft = 54.0f, kCoinTop = 94.0f;

void MoveEffectTo(const CountedHandle<CParticleSystem>& system, const Vec3& at)
{
    if (!system)
        return;
    const Vec3& p = system->Position();
    system->MoveBy(at.x - p.x, at.y - p.y, at.z - p.z);
}

} // namespace

int CBonusScore::CoinCount(int32_t level)
{
    static const int kCoins[4] = {3, 5, 7, 10};
    return kCoins[std::clamp(level, 0, 3)];
}

CBonusScore::CBonusScore()
{
    kind = kBonusScore;
    sprites.reserve(16);
}

CBonusScore::~CBonusScore()
{
    RemoveSprites();
    StopOrbit();
}

void CBonusScore::VisitSprites(SpriteVisitor& visitor)
{
    for (CountedHandle<CSprite>& s : sprites)
        visitor.Visit(s);
}

void CBonusScore::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CParticleSystemsManager> p1,
                               CountedHandle<CFlareRenderer> fr1, CountedHandle<CSpriteRenderer> sr3,
                               CountedHandle<CParticleSystemsManager> p2, CountedHandle<CFlareRenderer> fr2,
                               CountedHandle<CTexture> picture3, CountedHandle<CTexture> star)
{
    SetGroups(BonusDrawSet{std::move(sr1), std::move(p1), std::move(fr1)},
              BonusDrawSet{std::move(sr3), std::move(p2), std::move(fr2)});
    bonus3 = std::move(picture3);
    starParticle = std::move(star);
}

float CBonusScore::RingAngle() const { return sprites.size() > 1 ? sprites[1]->angle : kBonusPi / 2.0f; }

void CBonusScore::StartOrbit()
{
    StopOrbit();
    if (!current.particles)
        return;
    const BonusParameters& b = BonusParams();
    const int n = CoinCount(Level());
    orbitKeeper = MakeCountedHandle(new CMultiOriginSystemKeeper());
    orbitKeeper->zFactor = 0.0f; // the sparkles stay flat on the screen
    MultiOriginEmission e;
    e.speed = 20.0f;
    e.speedSpread = 5.0f;
    e.width = e.height = 12.0f;
    e.widthSpread = e.heightSpread = 4.0f;
    e.spin = 512.0f;
    e.spinSpread = -256.0f;
    e.colour = b.scoreTailColor;
    const float bases[3] = {0.01f, 0.1f, 0.2f}, spreads[3] = {0.001f, 0.025f, 0.025f};
    for (int i = 0; i < 3; ++i) {
        e.phaseBase[i] = bases[i];
        e.phaseSpread[i] = spreads[i];
    }
    orbitKeeper->SetOriginsOnCircle(b.coinOrbitRadius, n, kBonusPi / 2.0f, factor * 60.0f, 0.0f, e, false);
    CCollection2Parametres sparkles(position.x, position.y, position.z, nullptr, orbitKeeper, kCollectionAdditive);
    sparkles.keeperFlag = true;
    sparkles.duration = kForever;
    orbit = current.particles->AddCollection2(&sparkles, 120, starParticle);
}

void CBonusScore::StopOrbit()
{
    StopEffect(orbit);
    orbitKeeper.Reset();
}

void CBonusScore::Build()
{
    const BonusParameters& b = BonusParams();
    builtSize = size;
    state = kBonusIdle;
    scale = GemParams().Scale(size);
    const float s = scale;
    const int level = Level();
    const int n = CoinCount(level);
    sprites.clear();
    coinPhases.clear();
    CountedHandle<CSprite> plate = NewSprite(position.x, position.y, position.z, s * kPlateWidth, s * kPlateHeight,
                                             0xFFFFFFFF, bonus3, kBlendAlpha, zOrder);
    const float top = kPlateTop + kPlateHeight * static_cast<float>(level);
    CutTexels(*plate, kPlateLeft, top, kPlateLeft + kPlateWidth, top + kPlateHeight);
    sprites.push_back(plate);
    for (int i = 0; i < n; ++i) {
        CountedHandle<CSprite> coin = NewSprite(position.x, position.y, position.z, s * kCoinSide, s * kCoinSide,
                                                0xFFFFFFFF, bonus3, kBlendAlpha, zOrder);
        for (int f = 0; f < 8; ++f) {
            const float u0 = (kCoinLeft + kCoinSide * static_cast<float>(f / 4)) / 256.0f;
            const float v0 = (kCoinTop + kCoinSide * static_cast<float>(f % 4)) / 256.0f;
            const float u1 = u0 + kCoinSide / 256.0f, v1 = v0 + kCoinSide / 256.0f;
            // The picture turns with the ring: its top faces the centre.
            const float uv[8] = {u1, v0, u1, v1, u0, v1, u0, v0};
            if (f == 0)
                coin->SetFrameQuad(0, uv);
            else
                coin->AddFrameQuad(uv);
        }
        // The picture stands the orbit's radius out along the sprite's own
        // x axis, so the coin turns about the bonus.
        coin->originX = -b.coinOrbitRadius / kCoinSide;
        Spin(*coin, kBonusPi / 2.0f + static_cast<float>(i) * 2.0f * kBonusPi / static_cast<float>(n), b.coinW);
        const float phase = RandomUnit() * 8.0f;
        coinPhases.push_back(phase);
        coin->frame = static_cast<int32_t>(std::floor(phase)) % 8;
        sprites.push_back(coin);
    }
    for (const CountedHandle<CSprite>& sprite : sprites)
        Add(current.sprites, sprite);
    StartOrbit();
}

void CBonusScore::SetScale(float factorApplied, float)
{
    const float s = scale * factorApplied;
    for (size_t i = 0; i < sprites.size(); ++i) {
        if (i == 0)
            sprites[i]->SetSize(s * kPlateWidth, s * kPlateHeight);
        else
            sprites[i]->SetSize(s * kCoinSide, s * kCoinSide);
    }
}

void CBonusScore::PlaceSprites(float factorApplied)
{
    if (!orbit || !orbitKeeper)
        return;
    MoveEffectTo(orbit, position);
    const int n = static_cast<int>(sprites.size()) - 1;
    const float r = scale * factorApplied * BonusParams().coinOrbitRadius;
    const float a = RingAngle();
    for (int i = 0; i < n; ++i) {
        const float angle = a + static_cast<float>(i) * 2.0f * kBonusPi / static_cast<float>(n);
        orbitKeeper->MoveOrigin(i, r * std::cos(angle), r * std::sin(angle), 0.0f);
    }
}

int CBonusScore::Update(float dt)
{
    if (!visible)
        return 1;
    if (state == kBonusFired)
        return events.Empty() ? 0 : 1;
    const BonusParameters& b = BonusParams();
    age += dt;
    for (size_t i = 0; i < coinPhases.size() && i + 1 < sprites.size(); ++i) {
        float& phase = coinPhases[i];
        phase += dt * b.coinFps;
        if (phase >= 8.0f)
            phase -= 8.0f * std::floor(phase / 8.0f);
        sprites[i + 1]->frame = static_cast<int32_t>(std::floor(phase)) % 8;
    }
    float k = 1.0f, opacity = 1.0f;
    if (state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff) {
        const FlightLook look = LookInFlight(AdvancePath(dt));
        k = look.scale;
        opacity = look.opacity;
        SetScale(k, 0.0f);
        for (const CountedHandle<CSprite>& sprite : sprites)
            sprite->SetAlphaNow(opacity);
    }
    for (const CountedHandle<CSprite>& sprite : sprites) {
        sprite->x = position.x;
        sprite->y = position.y;
        sprite->z = position.z;
    }
    PlaceSprites(k);
    if (MoveIsOver()) {
        if (state == kBonusToTarget)
            return 0;
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
            SetScale(k, 0.0f);
            for (const CountedHandle<CSprite>& sprite : sprites)
                sprite->SetAlphaNow(opacity);
            PlaceSprites(k);
        } else if (state == kBonusFlyingOff) {
            Raise(kEventFlownOff, 0);
            state = kBonusFired;
        }
    }
    return 1;
}

void CBonusScore::Fire()
{
    const BonusParameters& b = BonusParams();
    finished = 1;
    state = kBonusFired;
    const int n = CoinCount(Level());
    if (current.particles) {
        auto burst = MakeCountedHandle(new CSimpleSpriteSystemKeeper());
        burst->Configure(n, 40, 40, 0);
        burst->SetFrameRect(0, kCoinLeft / 256.0f, kCoinTop / 256.0f, (kCoinLeft + kCoinSide) / 256.0f,
                            (kCoinTop + kCoinSide) / 256.0f);
        burst->width = burst->height = 40.0f;
        burst->widthSpread = 0.0f;
        burst->heightSpread = 8.0f;
        burst->floor = -400.0f;
        burst->speed = 500.0f;
        burst->speedSpread = 150.0f;
        burst->gravity = 2000.0f;
        // The coins start on the ring where their sprites were.
        burst->SeedCircle(b.coinOrbitRadius, n, RingAngle());
        CCollection2Parametres coins(position.x, position.y, position.z, nullptr, burst, kCollectionAlphaBlend);
        coins.keeperFlag = true;
        current.particles->AddCollection2(&coins, 20, bonus3);
    }
    for (const CountedHandle<CSprite>& sprite : sprites)
        Expire(*sprite, 0.05f);
    sprites.clear();
    StopOrbit();
    Raise(kEventScoreFired, param);
}
