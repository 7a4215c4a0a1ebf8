#include "bonuses/BonusSolidarity.h"

#include "bonuses/BonusParameters.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace bonus_kit;

namespace {

// Bonus5.tga, in texels: the band the tails and the bolt scroll along (its
// whole width, the upper half), the ring and the glow below it.
constexpr float kBandV = 0.5f;
constexpr float kRingU0 = 0.0f, kGlowU0 = 64.0f, kRegionTop = 128.0f, kRegionWidth = 64.0f;

// A ring's opacity over its life (0 .. 1): it swells in over the first
// quarter, holds, and fades over the second half.
float RingOpacity(float c)
{
    if (c > 1.0f)
        return 0.0f;
    if (c < 0.25f)
        return 4.0f * c;
    if (c <= 0.5f)
        return 1.0f;
    return 2.0f * (1.0f - c);
}

} // namespace

CBonusSolidarity::CBonusSolidarity()
{
    kind = kBonusSolidarity;
    glowSprites.reserve(8);
    rings.reserve(4);
    ringAges.reserve(4);
    ringTimer = BonusParams().ringT; // the first ring comes with the first update
}

CBonusSolidarity::~CBonusSolidarity()
{
    RemoveSprites();
    for (const CountedHandle<CSprite>& bolt : bolts)
        Remove(current.sprites, bolt);
}

void CBonusSolidarity::VisitSprites(SpriteVisitor& visitor)
{
    for (std::vector<CountedHandle<CSprite>>* list : {&glowSprites, &rings})
        for (CountedHandle<CSprite>& s : *list)
            visitor.Visit(s);
}

void CBonusSolidarity::SetResources(CountedHandle<CSpriteRenderer> sr1, CountedHandle<CParticleSystemsManager> p1,
                                    CountedHandle<CFlareRenderer> fr1, CountedHandle<CSpriteRenderer> sr3,
                                    CountedHandle<CParticleSystemsManager> p2, CountedHandle<CFlareRenderer> fr2,
                                    CountedHandle<CTexture> picture5)
{
    SetGroups(BonusDrawSet{std::move(sr1), std::move(p1), std::move(fr1)},
              BonusDrawSet{std::move(sr3), std::move(p2), std::move(fr2)});
    bonus5 = std::move(picture5);
}

void CBonusSolidarity::Build()
{
    const BonusParameters& b = BonusParams();
    builtSize = size;
    state = kBonusIdle;
    scale = GemParams().Scale(size);
    const float s = scale;
    glowSprites.clear();
    tailU.clear();
    CountedHandle<CSprite> centre = NewSprite(position.x, position.y, position.z, b.centerSize * s,
                                              b.centerSize * s, b.centerColor, bonus5, kBlendAdd, zOrder - 2);
    CutTexels(*centre, kGlowU0, kRegionTop, kGlowU0 + kRegionWidth, 256.0f);
    Spin(*centre, 2.0f * kBonusPi * RandomUnit(), b.centerW);
    glowSprites.push_back(centre);
    const int tails = Level() + 2;
    for (int i = 0; i < tails; ++i) {
        CountedHandle<CSprite> tail = NewSprite(position.x, position.y, position.z, b.tailSize.x * s,
                                                b.tailSize.y * s, b.tailColor, bonus5, kBlendScreen, zOrder - 1);
        const float u = RandomUnit();
        tail->SetFrameRect(0, u, 0.0f, u + b.tailTLen, kBandV);
        tail->originX = -0.5f; // it starts at the centre and points outwards
        Spin(*tail, static_cast<float>(i) * 2.0f * kBonusPi / static_cast<float>(tails), b.tailW);
        glowSprites.push_back(tail);
        tailU.push_back(u);
    }
    for (const CountedHandle<CSprite>& sprite : glowSprites)
        Add(current.sprites, sprite);
}

void CBonusSolidarity::SetScale(float factorApplied, float opacity)
{
    const BonusParameters& b = BonusParams();
    const float g = scale * factorApplied;
    for (size_t i = 0; i < glowSprites.size(); ++i) {
        CSprite& sprite = *glowSprites[i];
        if (i == 0)
            sprite.SetSize(b.centerSize * g, b.centerSize * g);
        else
            sprite.SetSize(b.tailSize.x * g, b.tailSize.y * g);
        sprite.x = position.x;
        sprite.y = position.y;
        sprite.z = position.z;
        sprite.SetAlphaNow(opacity);
    }
    for (size_t i = 0; i < rings.size(); ++i) {
        CSprite& ring = *rings[i];
        const float side = g * (b.ringR + b.ringExpandSpeed * ringAges[i]);
        ring.SetSize(side, side);
        ring.x = position.x;
        ring.y = position.y;
        ring.z = position.z;
        ring.SetAlphaNow(opacity * RingOpacity(ringAges[i] / b.ringLifeTime));
    }
}

void CBonusSolidarity::SetTargets(const std::vector<Vec2>& targets, std::vector<float>* delays)
{
    if (targets.empty())
        return;
    const BonusParameters& b = BonusParams();
    const size_t n = targets.size();
    const float depth = position.z - 10.0f;
    auto distance = [](float ax, float ay, float bx, float by) { return std::hypot(bx - ax, by - ay); };
    // The first target: the nearest that the bolt's tail reaches no sooner
    // than a strike needs; the farthest when none is that far.
    std::vector<size_t> byDistance(n);
    std::iota(byDistance.begin(), byDistance.end(), size_t{0});
    std::stable_sort(byDistance.begin(), byDistance.end(), [&](size_t i, size_t j) {
        return distance(position.x, position.y, targets[i].x, targets[i].y) <
               distance(position.x, position.y, targets[j].x, targets[j].y);
    });
    size_t first = byDistance.back();
    for (size_t i : byDistance)
        if ((distance(position.x, position.y, targets[i].x, targets[i].y) + b.boltLength) / b.boltSpeed >=
            b.termTime) {
            first = i;
            break;
        }
    // Then always the nearest target not yet on the path, however far.
    std::vector<size_t> order{first};
    order.reserve(n);
    std::vector<bool> visited(n, false);
    visited[first] = true;
    while (order.size() < n) {
        const Vec2& last = targets[order.back()];
        size_t nearest = n;
        float best = 0.0f;
        for (size_t i = 0; i < n; ++i) {
            if (visited[i])
                continue;
            const float d = distance(last.x, last.y, targets[i].x, targets[i].y);
            if (nearest == n || d < best) {
                nearest = i;
                best = d;
            }
        }
        visited[nearest] = true;
        order.push_back(nearest);
    }
    pathPoints.clear();
    pathPoints.reserve(n + 1);
    pathPoints.push_back(Vec3{position.x, position.y, depth});
    for (size_t i : order)
        pathPoints.push_back(Vec3{targets[i].x, targets[i].y, depth});
    segmentDirections.clear();
    segmentLengths.clear();
    pathDistances.assign(1, 0.0f);
    // A segment of no length keeps the direction of the one before.
    Vec3 direction{1.0f, 0.0f, 0.0f};
    for (size_t i = 0; i + 1 < pathPoints.size(); ++i) {
        const Vec3 d{pathPoints[i + 1].x - pathPoints[i].x, pathPoints[i + 1].y - pathPoints[i].y, 0.0f};
        const float length = std::hypot(d.x, d.y);
        if (length > 0.0f)
            direction = Vec3{d.x / length, d.y / length, 0.0f};
        segmentDirections.push_back(direction);
        segmentLengths.push_back(length);
        pathDistances.push_back(pathDistances.back() + length);
    }
    if (!delays)
        return;
    delays->assign(n, 0.0f);
    for (size_t i = 0; i < n; ++i)
        (*delays)[order[i]] = std::max(0.0f, (pathDistances[i + 1] + b.boltLength) / b.boltSpeed - b.termTime);
}

void CBonusSolidarity::Flash(const Vec3& at, float side, float finalSide, float growTime, float life,
                             uint32_t argb, bool ring, float spin)
{
    CountedHandle<CSprite> flash = NewSprite(at.x, at.y, at.z, side, side, argb, bonus5, kBlendAdd, zOrder);
    const float u0 = ring ? kRingU0 : kGlowU0;
    CutTexels(*flash, u0, kRegionTop, u0 + kRegionWidth, 256.0f);
    Spin(*flash, 2.0f * kBonusPi * RandomUnit(), spin);
    const float speed = (finalSide - side) / growTime;
    Grow(*flash, speed, speed, finalSide, finalSide);
    FadeTo(*flash, 0.0f, 1.0f / life);
    Expire(*flash, life);
    Add(current.sprites, flash);
}

void CBonusSolidarity::Fire()
{
    const BonusParameters& b = BonusParams();
    finished = 1;
    state = kBonusFired;
    for (std::vector<CountedHandle<CSprite>>* list : {&glowSprites, &rings}) {
        for (const CountedHandle<CSprite>& sprite : *list)
            Expire(*sprite, 0.05f);
        list->clear();
    }
    ringAges.clear();
    tailU.clear();
    boltTail = -b.boltLength;
    boltHead = 0.0f;
    firstLit = lastLit = 0;
    const float s = scale;
    const float t = b.boltLength / b.boltSpeed;
    if (Level() >= 3) {
        Flash(position, 160.0f * s, 640.0f * s, t, t, 0xFFFFFFFF, false, b.centerW);
        for (float spin : {4.0f * kBonusPi, -4.0f * kBonusPi})
            Flash(position, 80.0f * s, 360.0f * s, b.termTime, 2.0f * b.termTime, 0xFFFFFFFF, true, spin);
    } else {
        Flash(position, 64.0f * s, 256.0f * s, t, t, b.centerColor, false, b.centerW);
    }
    Raise(kEventSolidarityFired, param);
}

void CBonusSolidarity::UpdateBolt(float dt)
{
    const BonusParameters& b = BonusParams();
    const int32_t segments = static_cast<int32_t>(segmentLengths.size());
    if (segments == 0)
        return;
    if (boltHead == 0.0f && bolts.empty())
        bolts.assign(static_cast<size_t>(segments), CountedHandle<CSprite>());
    boltTail += dt * b.boltSpeed;
    boltHead = boltTail + b.boltLength;
    const float total = pathDistances.back();
    // The lit segments stop at the last one when the bolt leaves the path.
    while (firstLit < segments - 1 && pathDistances[static_cast<size_t>(firstLit) + 1] < boltTail)
        ++firstLit;
    while (lastLit < segments - 1 && pathDistances[static_cast<size_t>(lastLit) + 1] < boltHead)
        ++lastLit;
    boltPhase -= dt * b.boltTSpeed;
    if (boltPhase < 0.0f)
        boltPhase -= std::floor(boltPhase);
    float u = boltHead <= total ? boltPhase : boltPhase - (boltHead - total) * b.boltTFactor;
    const float t = b.boltLength / b.boltSpeed;
    for (int32_t i = segments - 1; i >= 0 && static_cast<size_t>(i) < bolts.size(); --i) {
        CountedHandle<CSprite>& slot = bolts[static_cast<size_t>(i)];
        if (i < firstLit) {
            Remove(current.sprites, slot);
            slot.Reset();
            continue;
        }
        if (i > lastLit)
            continue;
        const size_t k = static_cast<size_t>(i);
        const float start = pathDistances[k], end = pathDistances[k + 1];
        const float a = i == firstLit ? std::max(boltTail, start) : start;
        const float bEnd = i == lastLit ? std::min(boltHead, end) : end;
        const float length = std::max(bEnd - a, 0.0f);
        const Vec3& dir = segmentDirections[k];
        const float along = (a + bEnd) / 2.0f - start;
        const Vec3& from = pathPoints[k];
        const bool reached = !slot;
        if (reached) {
            Flash(from, 64.0f * scale, 256.0f * scale, t, t, b.centerColor, false, b.centerW);
            slot = NewSprite(0, 0, from.z, length, b.boltWidth, b.boltColor, bonus5, kBlendAdd, zOrder);
        }
        CSprite& bolt = *slot;
        bolt.x = from.x + dir.x * along;
        bolt.y = from.y + dir.y * along;
        bolt.z = from.z;
        bolt.SetSize(length, b.boltWidth);
        const float across[3] = {-dir.y, dir.x, 0.0f}, alongAxis[3] = {dir.x, dir.y, 0.0f};
        bolt.SetAxes(alongAxis, across, 1);
        // The texture rides with the head; the tail's end shows the band
        // further back.
        const float behind = u - b.boltTFactor * length;
        const float uv[8] = {behind, 0.0f, u, 0.0f, u, kBandV, behind, kBandV};
        bolt.SetFrameQuad(0, uv);
        u = behind;
        if (reached) {
            Add(current.sprites, slot);
            Raise(kEventSolidarityStrike, param, 0, 0, bolt.x);
        }
    }
    if (boltHead >= total && !endFlashMade) {
        const Vec3& last = pathPoints.back();
        Flash(last, 64.0f * scale, 256.0f * scale, t, t, b.centerColor, false, b.centerW);
        Raise(kEventSolidarityStrike, param, 0, 0, last.x);
        endFlashMade = 1;
    }
    if (boltTail > total) {
        for (const CountedHandle<CSprite>& sprite : bolts)
            Remove(current.sprites, sprite);
        bolts.clear();
    }
}

int CBonusSolidarity::Update(float dt)
{
    if (!visible)
        return 1;
    if (state == kBonusFired) {
        UpdateBolt(dt);
        return events.Empty() && bolts.empty() ? 0 : 1;
    }
    const BonusParameters& b = BonusParams();
    age += dt;
    for (size_t i = 1; i < glowSprites.size() && i - 1 < tailU.size(); ++i) {
        float& u = tailU[i - 1];
        u -= dt * b.tailTSpeed;
        if (u < 0.0f)
            u -= std::floor(u);
        glowSprites[i]->SetFrameRect(0, u, 0.0f, u + b.tailTLen, kBandV);
    }
    for (size_t i = 0; i < rings.size();) {
        ringAges[i] += dt;
        if (ringAges[i] >= b.ringLifeTime) {
            Remove(current.sprites, rings[i]);
            rings.erase(rings.begin() + static_cast<std::ptrdiff_t>(i));
            ringAges.erase(ringAges.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
    ringTimer += dt;
    if (ringTimer >= b.ringT) {
        ringTimer -= b.ringT;
        const float side = b.ringR * scale;
        CountedHandle<CSprite> ring =
            NewSprite(position.x, position.y, position.z, side, side, b.ringColor, bonus5, kBlendScreen, zOrder);
        CutTexels(*ring, kRingU0, kRegionTop, kRingU0 + kRegionWidth, 256.0f);
        Spin(*ring, 2.0f * kBonusPi * RandomUnit(), b.ringW);
        Add(current.sprites, ring);
        rings.push_back(ring);
        ringAges.push_back(0.0f);
    }
    float k = 1.0f, opacity = 1.0f;
    if (state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff) {
        const FlightLook look = LookInFlight(AdvancePath(dt));
        k = look.scale;
        opacity = look.opacity;
    }
    SetScale(k, opacity);
    if (MoveIsOver()) {
        if (state == kBonusToTarget)
            return 0;
        if (state == kBonusFlyingIn) {
            Place(target.x, target.y, target.z, size, column, row);
            SetScale(k, opacity);
        } else if (state == kBonusFlyingOff) {
            Raise(kEventFlownOff, 0);
            state = kBonusFired;
        }
    }
    return 1;
}
