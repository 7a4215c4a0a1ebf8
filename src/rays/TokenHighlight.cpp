#include "rays/TokenHighlight.h"

#include "engine/Sprite.h"

#include <algorithm>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.14159265f;
// The marker is drawn this much in front of its token.
constexpr float kInFront = 16.0f;

struct Point {
    float x, y, z;
};

Point MarkerPosition(const CToken& t)
{
    return Point{t.x + t.offsetX, t.y + t.offsetY, t.z + t.offsetZ - kInFront};
}

} // namespace

CTokenHighlight::CTokenHighlight(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CFlareRenderer> flares,
                                 CountedHandle<CTexture> highlightTexture, CountedHandle<CTexture> sparkleTexture)
    : m_sprites(std::move(sprites)), m_flares(std::move(flares)), m_highlightTexture(std::move(highlightTexture)),
      m_sparkleTexture(std::move(sparkleTexture))
{}

CTokenHighlight::~CTokenHighlight() { Hide(); }

void CTokenHighlight::ShowAt(const CountedHandle<CToken>& token)
{
    Hide();
    m_token = token;
    m_colourCode = token ? token->colour : -1;
    MakeVisible();
}

void CTokenHighlight::MakeVisible()
{
    if (m_visible || !m_token)
        return;
    m_angle = 0.0f;
    m_zoom = 2.0f;
    const Point p = MarkerPosition(*m_token);
    const float side = 2.0f * m_token->size * m_zoom;
    m_sprite = MakeCountedHandle(new CSprite(p.x, p.y, p.z, side, side, 0xFFFFFFFF, m_highlightTexture, 1));
    m_sprite->SetAlphaNow(0.0f);
    if (m_sprites)
        m_sprites->Add(m_sprite);
    m_visible = true;
}

void CTokenHighlight::Hide()
{
    if (m_visible) {
        if (m_sprites)
            m_sprites->Remove(m_sprite);
        m_sprite.Reset();
        m_visible = false;
    }
    m_token.Reset();
}

int CTokenHighlight::Update(float dt)
{
    if (!m_visible || !m_token)
        return 0;
    const Point p = MarkerPosition(*m_token);
    m_sprite->x = p.x;
    m_sprite->y = p.y;
    m_sprite->z = p.z;
    if (m_zoom > 1.0f) {
        m_zoom = std::max(1.0f, m_zoom - m_zoomSpeed * dt);
        m_sprite->SetAlphaNow(2.0f - m_zoom);
    }
    const float side = 2.0f * m_token->size * m_zoom;
    m_sprite->SetSize(side, side);
    m_angle += m_angularSpeed * dt;
    if (m_angle > kTwoPi)
        m_angle -= kPi;
    return 1;
}
