#include "bonuses/BonusFlash.h"

#include "bonuses/BonusParameters.h"
#include "effects/keepers/SpriteCrackKeeper.h"
#include "engine/Random.h"
#include "tokens/BoardGrid.h"

#include <algorithm>
#include <cmath>

using namespace bonus_kit;

namespace {

// Bonus2.tga, in texels: the emblems by level in two rows of two, the glow,
// the shade, the core and the strip of eight bolt frames.
constexpr float kEmblemWidth = 88.0f, kEmblemHeight = 92.0f;
constexpr float kGlowSide = 76.0f;
constexpr float kBoltTop = 188.0f, kBoltBottom = 252.0f;
// A bolt's picture is this much longer than the bolt, for its glow.
constexpr float kBoltOverhang = 1.1228f;
constexpr uint32_t kStormBlue = 0x4040FF;

} // namespace

CBonusFlash::CBonusFlash()
{
    kind = kBonusFlash;
    boltSprites.reserve(5);
}

CBonusFlash::~CBonusFlash() { RemoveSprites(); }

void CBonusFlash::VisitSprites(SpriteVisitor& visitor)
{
    visitor.Visit(picture);
    visitor.Visit(glow);
    visitor.Visit(shade);
    for (CountedHandle<CSprite>& s : boltSprites)
        visitor.Visit(s);
}

void CBonusFlash::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CParticleSystemsManager> p1,
                               CountedHandle<CFlareRenderer> fr1, CountedHandle<CSpriteRenderer> sr3,
                               CountedHandle<CParticleSystemsManager> p2, CountedHandle<CFlareRenderer> fr2,
                               CountedHandle<CTexture> picture2, CountedHandle<CTexture> haloTexture,
                               CountedHandle<CTexture> lightningTexture, CountedHandle<CTexture> sparkTexture)
{
    SetGroups(BonusDrawSet{std::move(sr1), std::move(p1), std::move(fr1)},
              BonusDrawSet{std::move(sr3), std::move(p2), std::move(fr2)});
    bonus2 = std::move(picture2);
    halo1 = std::move(haloTexture);
    lightning = std::move(lightningTexture);
    spark = std::move(sparkTexture);
}

void CBonusFlash::Build()
{
    const BonusParameters& b = BonusParams();
    builtSize = size;
    state = kBonusIdle;
    const float s = scale;
    const float x = position.x, y = position.y, z = position.z - 0.5f;
    const int n = Level();
    picture = NewSprite(x, y, z, s * kEmblemWidth, s * kEmblemHeight, 0xFFFFFFFF, bonus2, kBlendAlpha, zOrder - 2);
    const float left = static_cast<float>(n & 1) * kEmblemWidth, top = static_cast<float>(n >> 1) * kEmblemHeight;
    CutTexels(*picture, left, top, left + kEmblemWidth, top + kEmblemHeight);
    Add(current.sprites, picture);
    glow = NewSprite(x, y, z, s * kGlowSide, s * kGlowSide, 0x80FFFFFF, bonus2, kBlendAdd, zOrder - 1);
    CutTexels(*glow, 178, 82, 254, 158);
    glow->depthWrite = 0;
    Add(current.sprites, glow);
    shade = NewSprite(x, y, z, s * kGlowSide, s * kGlowSide, 0x80FFFFFF, bonus2, kBlendDarken, zOrder);
    CutTexels(*shade, 178, 2, 254, 78);
    shade->depthWrite = 0;
    Add(current.sprites, shade);
    CountedHandle<CSprite> core =
        NewSprite(x, y, z, s * b.flashCoreSize, s * b.flashCoreSize, b.flashColor, bonus2, kBlendAdd, zOrder - 1);
    CutTexels(*core, 224, 160, 248, 184);
    core->depthWrite = 0;
    Add(current.sprites, core);
    boltSprites.push_back(core);
    boltLength.assign(static_cast<size_t>(n + 1), b.flashRadius);
    for (int i = 0; i <= n; ++i) {
        CountedHandle<CSprite> bolt = NewSprite(x, y, z, s * b.flashBoltWidth, b.flashRadius * s * kBoltOverhang,
                                                b.flashColor, bonus2, kBlendAdd, zOrder - 1);
        CutTexels(*bolt, 0, kBoltTop, 32, kBoltBottom);
        for (int f = 1; f < 8; ++f)
            bolt->AddFrame(static_cast<float>(f) / 8.0f, kBoltTop / 256.0f, static_cast<float>(f + 1) / 8.0f,
                           kBoltBottom / 256.0f);
        bolt->depthWrite = 0;
        // It turns about a point near its lower end.
        bolt->originX = 0.0625f;
        bolt->originY = -0.390625f;
        const float angle = 2.0f * kBonusPi * RandomUnit();
        const bool backwards = RandomUnit() < 0.5f;
        const float speed = (1.25f - 0.5f * RandomUnit()) * b.flashW;
        Spin(*bolt, angle, backwards ? -speed : speed);
        Add(current.sprites, bolt);
        boltSprites.push_back(bolt);
    }
}

void CBonusFlash::SetScale(float k, float boltsOnly)
{
    const BonusParameters& b = BonusParams();
    const float a = scale * k;
    if (boltsOnly == 0.0f) {
        if (picture)
            picture->SetSize(a * kEmblemWidth, a * kEmblemHeight);
        for (CSprite* sprite : {glow.Get(), shade.Get()})
            if (sprite)
                sprite->SetSize(a * kGlowSide, a * kGlowSide);
        if (!boltSprites.empty() && boltSprites[0])
            boltSprites[0]->SetSize(a * b.flashCoreSize, a * b.flashCoreSize);
    }
    for (size_t i = 1; i < boltSprites.size() && i - 1 < boltLength.size(); ++i)
        if (boltSprites[i])
            boltSprites[i]->SetSize(a * b.flashBoltWidth, a * kBoltOverhang * boltLength[i - 1]);
}

int CBonusFlash::Update(float dt)
{
    if (!visible)
        return 1;
    if (state == kBonusFired)
        return events.Empty() ? 0 : 1;
    age += dt;
    for (size_t i = 1; i < boltSprites.size(); ++i)
        if (RandomUnit() <= 30.0f * dt && boltSprites[i])
            boltSprites[i]->frame = std::clamp(static_cast<int32_t>(std::floor(8.0f * RandomUnit())), 0, 7);
    if (state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff) {
        const FlightLook look = LookInFlight(AdvancePath(dt));
        SetScale(look.scale, 0.0f);
        ForEachSprite([&](CountedHandle<CSprite>& s) { s->SetAlphaNow(look.opacity); });
    } else {
        SetScale(1.0f, 1.0f);
    }
    ForEachSprite([this](CountedHandle<CSprite>& s) {
        s->x = position.x;
        s->y = position.y;
        s->z = position.z - 0.5f;
    });
    if (MoveIsOver()) {
        if (state == kBonusToTarget)
            return 0;
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
            SetScale(1.0f, 0.0f);
            ForEachSprite([](CountedHandle<CSprite>& s) { s->SetAlphaNow(1.0f); });
        } else if (state == kBonusFlyingOff) {
            Raise(kEventFlownOff, 0);
            state = kBonusFired;
        }
    }
    return 1;
}

void CBonusFlash::Thunderbolt(float endX, float endY, bool vertical)
{
    const BonusParameters& b = BonusParams();
    const CBoardGrid& grid = BoardGrid();
    const float cw = grid.cellWidth, ch = grid.cellHeight;
    const float x = position.x, y = position.y, z = position.z - 20.0f;
    // Both ends wander across the bolt and a little in depth.
    const float across = vertical ? cw / 8.0f : ch / 8.0f;
    const float jitter = vertical ? cw / 4.0f : ch / 4.0f;
    const float ax = vertical ? 1.0f : 0.0f, ay = vertical ? 0.0f : 1.0f;
    if (current.particles) {
        CThunderboltParametres bolt(x, y, z, ax, ay, 0.0f, 0.0f, 0.0f, 1.0f, across, 0.5f, jitter, endX, endY, z,
                                    ax, ay, 0.0f, 0.0f, 0.0f, 1.0f, across, 0.5f, jitter,
                                    static_cast<int>(std::floor(8.0f * factor)), 4, kStormBlue);
        bolt.particleSize = 8.0f;
        bolt.duration = b.flashLifeTime;
        current.particles->AddThunderbolt(&bolt, 40, lightning);
    }
    auto beam = MakeCountedHandle(new CFlare((x + endX) / 2.0f, (y + endY) / 2.0f, z, spark, kStormBlue));
    if (vertical)
        beam->SetSize(2.0f * cw, std::fabs(endY - y) + 2.0f * ch);
    else
        beam->SetSize(std::fabs(endX - x) + 2.0f * cw, 2.0f * ch);
    beam->fadeIn = 0.1f * b.flashLifeTime;
    beam->fadeOutStart = b.flashLifeTime;
    beam->fadeOut = 0.5f * b.flashLifeTime;
    AddFlare(current.flares, beam);
}

void CBonusFlash::Fire()
{
    const BonusParameters& b = BonusParams();
    const CBoardGrid& grid = BoardGrid();
    finished = 1;
    state = kBonusFired;
    ForEachSprite([](CountedHandle<CSprite>& s) {
        Expire(*s, 0.05f);
        s.Reset();
    });
    boltSprites.clear();
    const float s = scale;
    const Vec3 p = position;
    const int n = Level();
    const float life = b.flashLifeTime;
    if (current.particles) {
        auto crack = MakeCountedHandle(new CSpriteCrackKeeper());
        const float u0 = static_cast<float>(n & 1) * kEmblemWidth / 256.0f;
        const float v0 = static_cast<float>(n >> 1) * kEmblemHeight / 256.0f;
        crack->Configure(s * kEmblemWidth, s * kEmblemHeight, u0, v0, u0 + kEmblemWidth / 256.0f,
                         v0 + kEmblemHeight / 256.0f, 6, 6, 0.25f);
        crack->floor = -400.0f;
        crack->gravity = 2500.0f;
        crack->speed = 500.0f;
        crack->speedSpread = 150.0f;
        crack->BuildCracks();
        CCollection2Parametres pieces(p.x, p.y, p.z, nullptr, crack, kCollectionAlphaBlend);
        pieces.keeperFlag = true;
        current.particles->AddCollection2(&pieces, 40, bonus2);
    }
    const float cw = grid.cellWidth, ch = grid.cellHeight;
    for (int i = 0; i < 2; ++i) {
        auto flare = MakeCountedHandle(new CFlare(p.x, p.y, p.z - 20.0f, halo1, kStormBlue));
        flare->SetSize(2.0f * cw, 2.0f * ch);
        flare->fadeIn = 0.1f * life;
        flare->fadeOutStart = life;
        flare->fadeOut = 0.5f * life;
        const float across[3] = {1, 0, 0}, up[3] = {0, 1, 0};
        flare->SetSpin(2.0f * kBonusPi * RandomUnit(), 2.0f * kBonusPi, across, up);
        AddFlare(current.flares, flare);
    }
    if (n != 1)
        Thunderbolt(p.x, grid.originY, true);
    if (n == 3)
        Thunderbolt(p.x, grid.originY - grid.height, true);
    if (n >= 1) {
        Thunderbolt(grid.originX, p.y, false);
        Thunderbolt(grid.originX + grid.width, p.y, false);
    }
    Raise(kEventFlashFired, param);
    // A bolt from no cell strikes nothing of the board.
    if (column < 0 || row < 0)
        return;
    if (n == 0)
        Raise(kEventDestroyCell, param, column, row);
    else
        for (int32_t c = 0; c < grid.columns; ++c)
            Raise(kEventDestroyCell, param, c, row);
    if (n == 0 || n >= 2)
        for (int32_t r = row - 1; r >= 0; --r)
            Raise(kEventDestroyCell, param, column, r);
    if (n >= 3)
        for (int32_t r = row + 1; r < grid.rows; ++r)
            Raise(kEventDestroyCell, param, column, r);
}
