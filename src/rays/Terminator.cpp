#include "rays/Terminator.h"

#include "effects/keepers/SimpleSpriteSystemKeeper.h"
#include "effects/keepers/SpriteCrackKeeper.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Flare.h"
#include "engine/Random.h"
#include "engine/VectorMath.h"
#include "tokens/CapsRenderer.h"
#include "tokens/MovingTokens.h"

#include <algorithm>
#include <cmath>

namespace {

// The chain pictures are drawn for a cap of this half size; sparkles along
// them scale with the token.
constexpr float kChainArtSize = 39.0f;

struct Point {
    float x, y, z;
};

// Where a target is drawn: its cap, or the token itself when it has none.
Point TokenPosition(const CToken& t)
{
    if (t.cap)
        return Point{t.cap->x, t.cap->y, t.cap->z};
    return Point{t.x + t.offsetX, t.y + t.offsetY, t.z + t.offsetZ};
}

// A random index below n (n > 0), a drawn 1.0 kept inside.
int RandomIndex(int n)
{
    return std::min(n - 1, static_cast<int>(std::floor(RandomUnit() * static_cast<float>(n))));
}

// Bolts are drawn this much nearer the viewer than the tokens they join.
constexpr float kBoltLift = 20.0f;

// Where a chain's link flies off when it breaks: the break piece of the
// chain picture.
constexpr float kBreakU0 = 0.71875f, kBreakU1 = 0.828125f, kBreakV0 = 0.0f, kBreakV1 = 0.21875f;

} // namespace

RayBolt::~RayBolt()
{
    if (system)
        system->StopEmitting();
}

RayBolt::End RayBolt::EndA() const
{
    return End{endAX + radiusA * std::cos(phaseA),
               endAY + radiusA * std::sin(phaseA),
               endAZ - kBoltLift,
               -std::sin(phaseA),
               std::cos(phaseA),
               widthA};
}

RayBolt::End RayBolt::EndB() const
{
    return End{endBX + radiusB * std::cos(phaseB),
               endBY + radiusB * std::sin(phaseB),
               endBZ - kBoltLift,
               -std::sin(phaseB),
               std::cos(phaseB),
               widthB};
}

CTerminator::CTerminator(int32_t kind, bool quick, CMovingTokens* movingTokens)
    : m_kind(kind), m_quick(quick), m_movingTokens(movingTokens)
{
    m_targets.reserve(8);
    m_modes.reserve(8);
}

CTerminator::~CTerminator() = default;

void CTerminator::AddTarget(const CountedHandle<CToken>& target, int32_t mode)
{
    m_targets.push_back(target);
    m_modes.push_back(mode);
    if (target && target->bonus)
        m_bonuses.push_back(target->bonus);
}

int CTerminator::Update(float) { return 1; }

bool CTerminator::HasLiveTargets() const
{
    for (const CountedHandle<CToken>& target : m_targets)
        if (target && target->chained)
            return true;
    return false;
}

CTerminatorElectro::CTerminatorElectro(bool quick, CMovingTokens* movingTokens, const RayResources& resources,
                                       CountedHandle<CTexture> tokenTexture)
    : CTerminator(1, quick, movingTokens), m_resources(resources), m_tokenTexture(std::move(tokenTexture))
{
    m_glows.reserve(8);
}

CTerminatorElectro::~CTerminatorElectro() = default;

void CTerminatorElectro::AddTarget(const CountedHandle<CToken>& target, int32_t mode)
{
    CTerminator::AddTarget(target, mode);
    m_boltLimit = m_boltsPerTarget * static_cast<int32_t>(m_targets.size());
}

int CTerminatorElectro::Update(float dt)
{
    if (m_hit)
        return 0;
    elapsed += dt;
    if (elapsed < 0.0f)
        return 1;
    if (elapsed < HitTime()) {
        Travel(dt);
        return 1;
    }
    Hit();
    return 0;
}

void CTerminatorElectro::Travel(float dt)
{
    if (m_glows.empty())
        StartGlows();
    MoveBolts(dt);
    StartBolts();
    SpawnChainSparkles(dt);
}

void CTerminatorElectro::MoveBolts(float dt)
{
    for (size_t i = 0; i < m_bolts.size();) {
        RayBolt& bolt = *m_bolts[i];
        bolt.age += dt;
        if (bolt.age >= bolt.life) {
            m_bolts.erase(m_bolts.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        bolt.phaseA += dt * bolt.angularSpeedA;
        bolt.phaseB += dt * bolt.angularSpeedB;
        const RayBolt::End a = bolt.EndA(), b = bolt.EndB();
        bolt.system->Aim(a.x, a.y, a.z, a.wanderX, a.wanderY, 0.0f, a.length, b.x, b.y, b.z, b.wanderX, b.wanderY,
                         0.0f, b.length);
        ++i;
    }
}

// Half the bolts join two linked targets, the others circle over one. A
// bolt only ever joins targets the ray holds: the path may list more cells
// than there are targets.
void CTerminatorElectro::StartBolts()
{
    const int targets = static_cast<int>(std::min(m_path.cells.size(), m_targets.size()));
    if (!m_resources.particles || targets == 0)
        return;
    while (static_cast<int>(m_bolts.size()) < m_boltLimit) {
        int i = RandomIndex(targets), j = i;
        if (!m_path.links.empty() && RandomUnit() < 0.5f) {
            const CellPair& link =
                m_path.links[static_cast<size_t>(RandomIndex(static_cast<int>(m_path.links.size())))];
            if (link.first < targets && link.second < targets) {
                i = link.first;
                j = link.second;
            }
        }
        const CToken* from = m_targets[static_cast<size_t>(i)].Get();
        const CToken* to = m_targets[static_cast<size_t>(j)].Get();
        if (!from || !to)
            return;
        CountedHandle<RayBolt> handle = MakeCountedHandle(new RayBolt());
        RayBolt& bolt = *handle;
        bolt.life = (1.5f - RandomUnit()) * m_boltLife;
        bolt.phaseA = RandomUnit() * kTwoPi;
        bolt.phaseB = RandomUnit() * kTwoPi;
        bolt.angularSpeedA = (RandomUnit() + 0.1f) * kTwoPi;
        bolt.angularSpeedB = (RandomUnit() + 0.1f) * kTwoPi;
        const Point pa = TokenPosition(*from), pb = TokenPosition(*to);
        bolt.endAX = pa.x, bolt.endAY = pa.y, bolt.endAZ = pa.z;
        bolt.endBX = pb.x, bolt.endBY = pb.y, bolt.endBZ = pb.z;
        bolt.widthA = (1.5f - RandomUnit()) * from->size * m_boltWidthFactor;
        bolt.widthB = (1.5f - RandomUnit()) * to->size * m_boltWidthFactor;
        bolt.radiusA = 0.75f * from->size;
        bolt.radiusB = 0.75f * to->size;
        const RayBolt::End a = bolt.EndA(), b = bolt.EndB();
        CThunderboltParametres params(a.x, a.y, a.z, a.wanderX, a.wanderY, 0, 0, 0, 1, a.length, 0.5f,
                                      a.length / 2, b.x, b.y, b.z, b.wanderX, b.wanderY, 0, 0, 0, 1, b.length,
                                      0.5f, b.length / 2, 4, 2, m_boltColour);
        params.particleSize = 0.2f * from->size;
        params.duration = 1000000.0f;
        bolt.system = m_resources.particles->AddThunderbolt(&params, 40, m_resources.boltTexture);
        if (!bolt.system)
            return;
        m_bolts.push_back(handle);
    }
}

void CTerminatorElectro::StartGlows()
{
    if (!m_resources.glowFlares)
        return;
    for (const CountedHandle<CToken>& target : m_targets) {
        if (!target)
            continue;
        const Point p = TokenPosition(*target);
        auto glow = MakeCountedHandle(new CFlare(p.x, p.y, p.z, m_resources.glowTexture, 0xFFFFFF));
        const float side = m_glowSizeFactor * target->size;
        glow->SetSize(side, side);
        glow->fadeIn = HitTime() / 4.0f;
        glow->fadeOutStart = glow->fadeIn + 1000000.0f; // held until the hit puts it out
        glow->fadeOut = 0.05f;
        m_resources.glowFlares->Add(glow);
        m_glows.push_back(glow);
    }
}

// Sparkles run along the chains of chained targets: round the token for one
// chain, and along the crossing chain as well for two.
void CTerminatorElectro::SpawnChainSparkles(float dt)
{
    if (!m_resources.sparkleFlares)
        return;
    auto sparkle = [this](float x, float y, float z, float s) {
        auto flare = MakeCountedHandle(new CFlare(x, y, z, m_resources.sparkleTexture, 0xFFFFFF));
        flare->SetSize(m_sparkleSizeFactor * s, m_sparkleSizeFactor * s);
        flare->SetTextureRect(0.734375f, 0.25f, 0.984375f, 0.75f);
        flare->fadeIn = 0.0625f;
        flare->fadeOutStart = flare->fadeIn + m_sparkleLife;
        flare->fadeOut = 0.0625f;
        m_resources.sparkleFlares->Add(flare);
    };
    for (const CountedHandle<CToken>& target : m_targets) {
        if (!target || target->chained <= 0)
            continue;
        m_sparkleAccumulator += dt;
        const int n = static_cast<int>(std::floor(m_sparkleAccumulator / m_sparkleInterval));
        if (n < 1)
            continue;
        m_sparkleAccumulator -= static_cast<float>(n) * m_sparkleInterval;
        const Point p = TokenPosition(*target);
        const float s = target->size;
        const float scale = s / kChainArtSize;
        for (int i = 0; i < n; ++i) {
            if (target->chained >= 2) {
                const float u = RandomUnit() * 42.0f;
                const float shift = (RandomUnit() - 0.5f) * 16.0f;
                sparkle(p.x + (-22.0f + u + shift) * scale, p.y + (22.0f - u + shift) * scale, p.z, s);
            }
            const float radius = (RandomUnit() * 8.0f + 24.0f) * scale;
            const float angle = RandomUnit() * kTwoPi;
            sparkle(p.x + radius * std::cos(angle), p.y + radius * std::sin(angle), p.z, s);
        }
    }
}

void CTerminatorElectro::Hit()
{
    m_hit = true;
    for (const CountedHandle<CFlare>& glow : m_glows)
        glow->FadeOutNow();
    m_glows.clear();
    m_bolts.clear();
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const CountedHandle<CToken>& target = m_targets[i];
        if (!target)
            continue;
        CToken& t = *target;
        if (t.chained > 0 && m_modes[i] != kDestroyEvenChained) {
            BreakChains(t);
            t.SetChained(m_modes[i] == kBreakAllChains ? 0 : t.chained - 1);
            t.state = kTokenResting;
            t.active = 1;
        } else {
            Shatter(t);
            if (m_movingTokens)
                m_movingTokens->Remove(target, true);
        }
    }
}

// Links fly off round the token, and for a second chain along the chain
// that crosses it.
void CTerminatorElectro::BreakChains(const CToken& token)
{
    if (!m_resources.particles)
        return;
    const Point p = TokenPosition(token);
    const float scale = token.size / kChainArtSize;
    auto burst = [&](bool crossing) {
        CountedHandle<CSimpleSpriteSystemKeeper> keeper = MakeCountedHandle(new CSimpleSpriteSystemKeeper());
        keeper->Configure(16, 40.0f, 40.0f, 0.0f);
        if (crossing) {
            const float mirrored[4][2] = {
                {kBreakU1, kBreakV0}, {kBreakU1, kBreakV1}, {kBreakU0, kBreakV1}, {kBreakU0, kBreakV0}};
            keeper->SetFrameCorners(0, mirrored);
        } else {
            keeper->SetFrameRect(0, kBreakU0, kBreakV0, kBreakU1, kBreakV1);
        }
        keeper->width = keeper->height = 32.0f;
        keeper->widthSpread = 0.0f;
        keeper->heightSpread = 8.0f;
        keeper->floor = -400.0f;
        keeper->gravity = 2000.0f;
        keeper->speed = 500.0f;
        keeper->speedSpread = 150.0f;
        if (crossing)
            keeper->SeedLine(-22.0f * scale, 22.0f * scale, 0.0f, 22.0f * scale, -22.0f * scale, 0.0f, 5);
        else
            keeper->SeedCircle(30.0f * scale, 19, 0.0f);
        CCollection2Parametres params(p.x, p.y, p.z, nullptr, keeper, kCollectionAlphaBlend);
        params.keeperFlag = true;
        m_resources.particles->AddCollection2(&params, 20, m_resources.chainTexture);
    };
    burst(false);
    if (token.chained >= 2)
        burst(true);
}

// The token's picture cracks into pieces that fly apart and fall, behind
// the tokens they pass: a cascade's column stays readable.
void CTerminatorElectro::Shatter(const CToken& token)
{
    if (!m_resources.debris || !m_resources.caps)
        return;
    const CCapsRenderer& caps = *m_resources.caps;
    const int index = caps.AnimationIndex(token.colour > 97 ? kSteelColour : token.colour);
    if (index < 0)
        return;
    const CCapsAnimation& animation = caps.Animations()[static_cast<size_t>(index)];
    const CapFrame& frame = animation.frames[static_cast<size_t>(animation.track.front())];
    CountedHandle<CSpriteCrackKeeper> keeper = MakeCountedHandle(new CSpriteCrackKeeper());
    keeper->Configure(2.0f * token.size, 2.0f * token.size, frame.uLeft, frame.vTop, frame.uRight, frame.vBottom,
                      6, 6, 0.25f);
    keeper->floor = -400.0f;
    keeper->gravity = 2500.0f;
    keeper->speed = 300.0f;
    keeper->speedSpread = 150.0f;
    keeper->BuildCracks();
    const Point p = TokenPosition(token);
    CCollection2Parametres params(p.x, p.y, p.z, nullptr, keeper, kCollectionAlphaBlend);
    params.keeperFlag = true;
    m_resources.debris->AddCollection2(&params, 40, m_tokenTexture);
}
