// The chest bursting open at the end of the fifth and every later stage:
// its flare blooms with the treasure's sound, rays shoot out of the chest
// with bursts of sparks, then the lid vanishes in a flash and breaks into
// pieces that tumble up and off the screen while glow worms rise and sway.
#include "backgrounds/TreasuryBackground.h"

#include "engine/Random.h"
#include "engine/Text.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {
// The chest's sprites lie in front of the picture; their depth offsets keep
// the flash behind the rays and the pieces in front of the gold.
constexpr float kRaysDepth = -12.0f;
constexpr float kFlashDepth = -13.0f;
constexpr float kDebrisDepth = -1.5f;
} // namespace

void CTreasuryBackground::MakeLidAndBand()
{
    const CountedHandle<CTexture>& elements = m_core.Texture(kElements);
    m_lid = MakeLayerSprite(-32.5f, -49.5f, 998.0f, 302, 264, 0xFFFFFFFF, elements, 0, 0);
    m_lid->SetFrameRect(0, 0.0f, 0.453125f, 0.58984375f, 0.96875f);
    SetDepth(*m_lid, false, false);
    m_lid->zOrder = 98;
    m_lid->fadeSpeed = 1.0f / m_chest.fadeTime;
    m_core.services.Add(m_lid);

    // The band's picture stands upright in the texture, turned a quarter.
    m_band = MakeLayerSprite(-36.5f, -162.5f, 998.0f, 320, 64, 0xFFFFFFFF, elements, 0, 2);
    const float band[8] = {0.59765625f, 0.7734375f, 0.59765625f, 0.4609375f,
                           0.66015625f, 0.4609375f, 0.66015625f, 0.7734375f};
    m_band->SetFrameQuad(0, band);
    SetDepth(*m_band, false, false);
    m_band->zOrder = 99;
    m_band->fadeSpeed = 1.0f / m_chest.fadeTime;
    m_core.services.Add(m_band);
}

void CTreasuryBackground::RunChest(float dt)
{
    int32_t& state = m_ornaments.ClosingState();
    float& timer = m_ornaments.ClosingTimer();
    switch (state) {
    case kChestFlare:
        timer += dt;
        if (timer >= m_ornaments.settings.flareTime) {
            state = kChestRays;
            timer = 0.0f;
            m_raysClock = 0.0f;
            m_wormClock = 0.0f;
        }
        break;
    case kChestRays:
        timer += dt;
        if (timer < m_chest.raysTime) {
            m_raysClock += dt;
            const float n = std::floor(m_raysClock / m_chest.raysInterval);
            if (n >= 1.0f) {
                m_raysClock -= n * m_chest.raysInterval;
                ShootChestRays(static_cast<int>(std::min(n, 64.0f)));
            }
        } else {
            state = kChestBreak;
            timer = 0.0f;
            BreakLid();
        }
        break;
    case kChestBreak:
        timer += dt;
        if (timer >= m_chest.fadeTime && m_pieces.empty() && m_worms.empty()) {
            state = kChestIdle;
            timer = 0.0f;
            break;
        }
        MoveDebris(dt);
        break;
    default:
        break;
    }
}

void CTreasuryBackground::ShootChestRays(int count)
{
    const ChestSettings& c = m_chest;
    for (int i = 0; i < count; ++i) {
        const float a = RandomUnit() * kTwoPi;
        const float k = 0.8f * RandomUnit() + 0.2f;
        const float d = k * c.raysRadius;
        const float length = (0.5f * RandomUnit() + 0.75f) * k * c.raysSize.x;
        const float thickness = (0.5f * RandomUnit() + 0.75f) * c.raysSize.y;
        auto ray = MakeLayerSprite(kOriginX + c.raysCentre.x + d * std::cos(a),
                                   kOriginY + c.raysCentre.y + d * std::sin(a), kOriginZ + kRaysDepth, length,
                                   thickness, c.raysColour, m_core.resources.spark, 1, 1);
        ray->SetFrameRect(0, 0.5f, 0.0f, 1.0f, 1.0f);
        ray->zOrder = -12;
        ray->fadeSpeed = 1.0f / c.fadeTime;
        // Starts at its centre point and reaches one length outwards.
        ray->originX = -0.5f;
        ray->SetAngle(a);
        ray->SetAlphaNow(1.0f);
        m_chestRays.push_back(m_core.services.Add(ray));
        // A burst of sparks from the ray's root, flying outwards.
        if (CParticleSystemsManager* particles = m_core.services.particles.Get()) {
            CSparksSpringParametres sparks(ray->x, ray->y, ray->z, 200.0f * std::cos(a), 200.0f * std::sin(a),
                                           0.0f, 1.0f, 0.0f, 0.0f, 200.0f, 100.0f, c.raysColour);
            sparks.width = 5.0f;
            sparks.lengthFactor = 0.01f;
            sparks.maxLength = 25.0f;
            sparks.fadeRate = 1.0f;
            sparks.duration = 0.1f;
            sparks.rate = 300.0f;
            sparks.sphereMode = true;
            particles->AddSparks(&sparks, 120, m_core.resources.spark);
        }
    }
}

void CTreasuryBackground::BreakLid()
{
    for (auto& ray : m_chestRays)
        FadeOutAtOwnRate(*ray);
    m_chestRays.clear();
    for (CountedHandle<CSprite>* part : {&m_lid, &m_band}) {
        if (*part)
            FadeOutAtOwnRate(**part);
        part->Reset();
    }
    const ChestSettings& c = m_chest;
    if (m_core.services.flares) {
        auto flash =
            MakeCountedHandle(new CFlare(c.form.x + kOriginX + c.form.z / 2, kOriginY + c.form.y - c.form.w / 2,
                                         kOriginZ + kFlashDepth, m_core.resources.spark, c.flashColour));
        flash->SetSize(c.form.z, c.form.w);
        flash->flickerDepth = 0.0f;
        flash->fadeIn = 0.1f * c.fadeTime;
        flash->fadeOutStart = c.fadeTime;
        flash->fadeOut = 1.0f;
        flash->StartScale(4.0f, 3.0f / c.fadeTime);
        m_core.services.flares->Add(flash);
    }
    // Two breaks over one another: the lid shatters into twice the grid.
    CrackLid();
    CrackLid();
}

// Cuts the lid into a grid of pieces whose inner corners are jittered; the
// pieces share their corners, so together they still tile the lid.
void CTreasuryBackground::CrackLid()
{
    const ChestSettings& c = m_chest;
    const int cols = c.columns, rows = c.rows;
    if (cols <= 0 || rows <= 0)
        return;
    const size_t stride = static_cast<size_t>(cols) + 1;
    std::vector<Vec2> jitter(stride * (static_cast<size_t>(rows) + 1), Vec2{0, 0});
    auto at = [&](int row, int col) -> Vec2& {
        return jitter[static_cast<size_t>(row) * stride + static_cast<size_t>(col)];
    };
    auto shake = [] { return 0.98f * RandomUnit() - 0.49f; };
    for (int row = 0; row <= rows; ++row)
        for (int col = 0; col <= cols; ++col) {
            const bool edgeRow = row == 0 || row == rows, edgeCol = col == 0 || col == cols;
            if (edgeRow && edgeCol)
                continue;
            if (!edgeCol)
                at(row, col).x = shake();
            if (!edgeRow)
                at(row, col).y = shake();
        }
    const float pw = c.form.z / static_cast<float>(cols), ph = c.form.w / static_cast<float>(rows);
    const float du = (c.texels.z - c.texels.x) / static_cast<float>(cols);
    const float dv = (c.texels.w - c.texels.y) / static_cast<float>(rows);
    auto texel = [&](int row, int col, float* uv) {
        const Vec2& j = at(row, col);
        uv[0] = c.texels.x + (static_cast<float>(col) + j.x) * du;
        uv[1] = c.texels.y + (static_cast<float>(row) - j.y) * dv;
    };
    for (int ro = 0; ro < rows; ++ro)
        for (int co = 0; co < cols; ++co) {
            auto piece =
                MakeLayerSprite(c.form.x + kOriginX + pw / 2 + static_cast<float>(co) * pw,
                                kOriginY + c.form.y - ph / 2 - static_cast<float>(ro) * ph,
                                kOriginZ + kDebrisDepth, pw, ph, 0xFFFFFFFF, m_core.Texture(kElements), 0, 0);
            const Vec2 &tl = at(ro, co), &tr = at(ro, co + 1), &br = at(ro + 1, co + 1), &bl = at(ro + 1, co);
            const float corners[8] = {tl.x - 0.5f, tl.y + 0.5f, tr.x + 0.5f, tr.y + 0.5f,
                                      br.x + 0.5f, br.y - 0.5f, bl.x - 0.5f, bl.y - 0.5f};
            piece->SetVertexOffsets(corners);
            float uv[8];
            texel(ro, co, uv);
            texel(ro, co + 1, uv + 2);
            texel(ro + 1, co + 1, uv + 4);
            texel(ro + 1, co, uv + 6);
            piece->SetFrameQuad(0, uv);
            piece->zOrder = 97;
            piece->fadeSpeed = 10.0f;
            piece->spinning = 1;
            piece->spinSpeed = 0.0f;
            m_pieces.push_back(m_core.services.Add(piece));
            // Every piece drifts left; the top rows rise fastest. A lid of one
            // row lifts like a top row.
            m_pieceVelocities.push_back(Vec2{static_cast<float>(co - cols) * (0.5f * RandomUnit() + 0.75f), 0.0f});
            const float share = rows > 1 ? static_cast<float>(ro) / static_cast<float>(rows - 1) : 0.0f;
            m_pieceLifts.push_back(((c.lift.y - c.lift.x) * share + c.lift.x) * (0.5f * RandomUnit() + 0.75f));
        }
}

void CTreasuryBackground::MoveDebris(float dt)
{
    const ChestSettings& c = m_chest;
    for (size_t i = 0; i < m_pieces.size();) {
        CSprite& p = *m_pieces[i];
        Vec2& v = m_pieceVelocities[i];
        v.y += m_pieceLifts[i] * dt;
        p.x += v.x * dt;
        p.y += v.y * dt;
        const float step = (0.5f * RandomUnit() + 0.75f) * c.spinAcceleration * dt;
        if (p.spinSpeed == 0.0f)
            p.spinSpeed = RandomUnit() >= 0.5f ? step : -step;
        else
            p.spinSpeed += p.spinSpeed > 0.0f ? step : -step;
        if (p.y > 384.0f + 2.5f * p.height) {
            m_core.services.Drop(&m_pieces[i]);
            m_pieces.erase(m_pieces.begin() + static_cast<std::ptrdiff_t>(i));
            m_pieceVelocities.erase(m_pieceVelocities.begin() + static_cast<std::ptrdiff_t>(i));
            m_pieceLifts.erase(m_pieceLifts.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
    // Glow worms rise from the gold while pieces are still in the air.
    if (!m_pieces.empty()) {
        m_wormClock += (0.5f * RandomUnit() + 0.75f) * dt;
        if (m_wormClock >= c.wormInterval) {
            m_wormClock -= c.wormInterval;
            const float x = kOriginX + c.raysCentre.x + (RandomUnit() - 0.5f) * 1.5f * c.raysRadius;
            const float y = kOriginY + c.raysCentre.y - (0.5f + 0.5f * RandomUnit()) * c.raysRadius;
            const float size = (0.5f * RandomUnit() + 0.75f) * c.wormSize;
            const uint32_t colour = c.wormColour ? c.wormColour : RandomColorBetween(0, 1, 0, 0);
            auto worm =
                MakeLayerSprite(x, y, kOriginZ + kDebrisDepth, size, size, colour, m_core.resources.halo, 0, 1);
            worm->zOrder = -13;
            worm->fadeSpeed = 4.0f;
            worm->SetAlphaNow(0.0f);
            worm->FadeTo(1.0f);
            const float phase = RandomUnit() * kTwoPi;
            m_worms.push_back(m_core.services.Add(worm));
            m_wormRecords.push_back(GlowWorm{x, (0.5f * RandomUnit() + 0.75f) * c.wormSpeed, phase});
        }
    }
    for (size_t i = 0; i < m_worms.size();) {
        CSprite& w = *m_worms[i];
        if (w.y > 384.0f + 2.0f * w.height) {
            m_core.services.Drop(&m_worms[i]);
            m_worms.erase(m_worms.begin() + static_cast<std::ptrdiff_t>(i));
            m_wormRecords.erase(m_wormRecords.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        GlowWorm& r = m_wormRecords[i];
        r.phase += c.wormSway * dt;
        if (r.phase >= kTwoPi)
            r.phase -= kTwoPi;
        w.x = r.baseX + 0.25f * c.raysRadius * std::sin(r.phase);
        w.y += r.riseSpeed * dt;
        ++i;
    }
}

// A falling progress takes the open chest back: its effects fade out and
// the lid and band come back whole.
void CTreasuryBackground::UndoChest()
{
    for (auto& ray : m_chestRays)
        FadeOutAtOwnRate(*ray);
    for (auto& piece : m_pieces)
        FadeOutAtOwnRate(*piece);
    for (auto& worm : m_worms) {
        worm->fadeSpeed = 10.0f;
        FadeOutAtOwnRate(*worm);
    }
    m_chestRays.clear();
    m_pieces.clear();
    m_pieceVelocities.clear();
    m_pieceLifts.clear();
    m_worms.clear();
    m_wormRecords.clear();
    if (!m_lid)
        MakeLidAndBand();
}

void CTreasuryBackground::DropChest()
{
    m_core.services.DropAll(&m_chestRays);
    m_core.services.DropAll(&m_pieces);
    m_core.services.DropAll(&m_worms);
    m_pieceVelocities.clear();
    m_pieceLifts.clear();
    m_wormRecords.clear();
    m_raysClock = 0.0f;
    m_wormClock = 0.0f;
}
