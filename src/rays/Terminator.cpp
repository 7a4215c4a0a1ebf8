#include "rays/Terminator.h"

#include "engine/Flare.h"
#include "engine/Random.h"
#include "tokens/MovingTokens.h"

#include <cmath>

namespace {

constexpr float kTwoPi = 6.2831855f;
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

} // namespace

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
    SpawnChainSparkles(dt);
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
    for (size_t i = 0; i < m_targets.size(); ++i) {
        const CountedHandle<CToken>& target = m_targets[i];
        if (!target)
            continue;
        CToken& t = *target;
        if (t.chained > 0 && m_modes[i] != kDestroyEvenChained) {
            t.SetChained(m_modes[i] == kBreakAllChains ? 0 : t.chained - 1);
            t.state = kTokenResting;
            t.active = 1;
        } else if (m_movingTokens) {
            m_movingTokens->Remove(target, true);
        }
    }
}
