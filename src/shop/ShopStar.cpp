// The Golden Star: its pictures by kind, its flight with a tail of
// sparkles, and its fades.
#include "shop/ShopStar.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rect {
    float u0, v0, u1, v1;
};

// Texture rectangles of the resting stars.
constexpr Rect kPanelFrame{0.65625f, 0.65625f, 0.84375f, 0.84375f};
constexpr Rect kBarFrame{0.65625f, 0.765625f, 0.765625f, 0.875f};
// The turning star: cells of this side, two columns of four from u = 0.65625.
constexpr float kCell = 0.1640625f;
constexpr float kCellsLeft = 0.65625f;

constexpr float kPanelSize = 48.0f;
constexpr float kBarSize = 28.0f;
constexpr float kMovingSize = 42.0f;

Rect AnimationFrame(int k)
{
    const float u0 = kCellsLeft + static_cast<float>(k / 4) * kCell;
    const float v0 = static_cast<float>(k % 4) * kCell;
    return {u0, v0, u0 + kCell, v0 + kCell};
}

} // namespace

CShopStar::~CShopStar()
{
    // The tail's last sparkles fade out in their manager.
    if (m_tail)
        m_tail->StopEmitting();
    m_tail.Reset();
    RemoveSprite();
}

void CShopStar::SetResources(CountedHandle<CParticleSystemsManager> particles,
                             CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTexture> texture1,
                             CountedHandle<CTexture> texture2, CountedHandle<CTexture> texture3)
{
    m_particles = std::move(particles);
    m_sprites = std::move(sprites);
    m_texture1 = std::move(texture1);
    m_texture2 = std::move(texture2);
    m_texture3 = std::move(texture3);
}

void CShopStar::SetTail(float size, float intensity, uint32_t colour)
{
    m_tailSize = size;
    m_tailIntensity = intensity;
    m_tailColour = colour;
}

void CShopStar::RemoveSprite()
{
    if (m_sprite && m_sprites)
        m_sprites->Remove(m_sprite);
    m_sprite.Reset();
}

void CShopStar::MakeSprite(float size, const CountedHandle<CTexture>& texture, bool animated, int32_t zOrder)
{
    RemoveSprite();
    m_sprite = MakeCountedHandle(
        new CSprite(m_position.x, m_position.y, m_position.z, size, size, 0xFFFFFFFF, texture, 1));
    if (animated) {
        for (int k = 0; k < kFrames; ++k) {
            const Rect r = AnimationFrame(k);
            if (k == 0)
                m_sprite->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
            else
                m_sprite->AddFrame(r.u0, r.v0, r.u1, r.v1);
        }
    } else {
        const Rect r = m_kind == kInPanel ? kPanelFrame : kBarFrame;
        m_sprite->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
    }
    m_sprite->zOrder = zOrder;
    if (m_sprites)
        m_sprites->Add(m_sprite);
}

void CShopStar::PlaceResting(Kind kind, float x, float y, float z, int32_t zOrder)
{
    m_position = {x, y, z};
    m_kind = kind;
    switch (kind) {
    case kInPanel:
        MakeSprite(kPanelSize, m_texture2, false, zOrder);
        break;
    case kOnItem:
        MakeSprite(kBarSize, m_texture1, false, zOrder);
        break;
    default: // dragged: above the resting stars, turning as soon as it flies
        MakeSprite(kMovingSize, m_texture2, true, zOrder - 1);
        break;
    }
}

void CShopStar::PlaceInPanel(float x, float y, float z, int32_t zOrder)
{
    PlaceResting(kInPanel, x, y, z, zOrder);
}
void CShopStar::PlaceOnItem(float x, float y, float z, int32_t zOrder) { PlaceResting(kOnItem, x, y, z, zOrder); }
void CShopStar::StartDrag(float x, float y, float z, int32_t zOrder) { PlaceResting(kDragged, x, y, z, zOrder); }

void CShopStar::FlyBackToPanel(float fx, float fy, float fz, float tx, float ty, float tz, float speed,
                               int32_t zOrder)
{
    StartFlight(kFlyingBack, fx, fy, fz, tx, ty, tz, speed, zOrder);
}

void CShopStar::FlyToPanel(float fx, float fy, float fz, float tx, float ty, float tz, float speed, int32_t zOrder)
{
    StartFlight(kToPanel, fx, fy, fz, tx, ty, tz, speed, zOrder);
}

void CShopStar::FlyToItem(float fx, float fy, float fz, float tx, float ty, float tz, float speed, int32_t zOrder)
{
    StartFlight(kToItem, fx, fy, fz, tx, ty, tz, speed, zOrder);
}

void CShopStar::StartFlight(Kind kind, float fx, float fy, float fz, float tx, float ty, float tz, float speed,
                            int32_t zOrder)
{
    m_elapsed = 0.0f;
    m_start = m_position = {fx, fy, fz};
    m_end = {tx, ty, tz};
    const float d = std::sqrt((tx - fx) * (tx - fx) + (ty - fy) * (ty - fy) + (tz - fz) * (tz - fz));
    m_frameClock = 0.0f;
    if (d != 0.0f && speed > 0.0f) {
        m_duration = d / speed;
        // Whole turns of the eight frames, about 30 frames a second.
        float turns = std::floor((m_duration * 30.0f + 4.0f) * 0.125f);
        if (turns < 1.0f)
            turns = 1.0f;
        m_frameRate = turns * kFrames / m_duration;
    } else {
        m_duration = 0.0f;
        m_frameRate = 0.0f;
    }
    m_kind = kind;
    MakeSprite(kind == kFlyingBack ? kMovingSize : kBarSize, m_texture2, true, zOrder - 1);

    if (m_tail)
        m_tail->StopEmitting();
    m_tail.Reset();
    const int count = static_cast<int>(std::floor(m_tailIntensity * 3.0f / 1.25f));
    if (!m_particles || count < 1)
        return;
    CSpellsSpringParametres tail(fx, fy, fz, 0.0f, 0.0f, 0.0f, 2.0f * m_tailSize, m_tailSize, m_tailSize,
                                 m_tailSize / 2.0f, m_tailColour & 0x00FFFFFF);
    tail.duration = 10000000.0f; // it never runs out: the star stops it
    tail.fadeRate = 1.25f;
    tail.fadeSpread = 0.25f;
    tail.rate = m_tailIntensity;
    tail.randomRotation = true;
    tail.randomSpinSign = true;
    tail.spin = 512.0f;
    tail.spinSpread = 256.0f;
    m_tail = m_particles->AddSpells(&tail, count, m_texture3);
}

bool CShopStar::Update(float dt)
{
    if (m_kind != kFlyingBack && m_kind != kToPanel && m_kind != kToItem)
        return false;
    m_elapsed = std::min(m_elapsed + dt, m_duration);
    // A flight of no length stands at its end at once.
    const float h = m_duration > 0.0f ? m_elapsed / m_duration : 1.0f;
    m_position = {m_start.x * (1 - h) + m_end.x * h, m_start.y * (1 - h) + m_end.y * h,
                  m_start.z * (1 - h) + m_end.z * h};
    if (m_sprite) {
        m_sprite->x = m_position.x;
        m_sprite->y = m_position.y;
        m_sprite->z = m_position.z;
        if (m_kind == kToPanel) {
            const float size = kBarSize + (kMovingSize - kBarSize) * h;
            m_sprite->SetSize(size, size);
        } else if (m_kind == kToItem) {
            const float size = kBarSize + (kMovingSize - kBarSize) * (1 - h);
            m_sprite->SetSize(size, size);
        }
    }
    m_frameClock += dt * m_frameRate;
    m_frameClock -= kFrames * std::floor(m_frameClock / kFrames);
    if (m_sprite)
        m_sprite->frame = std::clamp(static_cast<int32_t>(m_frameClock), 0, kFrames - 1);
    if (m_tail)
        m_tail->SetPosition(m_position.x, m_position.y, m_position.z);
    return m_duration <= m_elapsed;
}

void CShopStar::MoveTo(float x, float y, float z)
{
    m_position = {x, y, z};
    if (m_sprite) {
        m_sprite->x = x;
        m_sprite->y = y;
        m_sprite->z = z;
    }
    if (m_tail)
        m_tail->SetPosition(x, y, z);
}

void CShopStar::Show(bool visible, float speed)
{
    if ((m_kind != kInPanel && m_kind != kOnItem) || !m_sprite)
        return;
    if (speed <= 0.0f) {
        m_sprite->SetAlphaNow(visible ? 1.0f : 0.0f);
        return;
    }
    m_sprite->fadeSpeed = speed;
    if (visible)
        m_sprite->SetAlphaNow(0.0f);
    m_sprite->FadeTo(visible ? 1.0f : 0.0f);
}
