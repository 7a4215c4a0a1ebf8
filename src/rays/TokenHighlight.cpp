#include "rays/TokenHighlight.h"

#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Sprite.h"
#include "engine/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace {

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

CTokenHighlight::CTokenHighlight(CountedHandle<CParticleSystemsManager> particles,
                                 CountedHandle<CSpriteRenderer> sprites, CountedHandle<CFlareRenderer> flares,
                                 CountedHandle<CTexture> highlightTexture, CountedHandle<CTexture> sparkleTexture)
    : m_particles(std::move(particles)), m_sprites(std::move(sprites)), m_flares(std::move(flares)),
      m_highlightTexture(std::move(highlightTexture)), m_sparkleTexture(std::move(sparkleTexture))
{}

CountedHandle<CParticleSystem> CTokenHighlight::Sparkles(float x, float y, float z, float speed, float speedSpread,
                                                         float size, float fadeRate, float fadeSpread,
                                                         float duration, float rate, bool twoPhase)
{
    if (!m_particles)
        return {};
    CSpellsSpringParametres params(x, y, z, 0, 0, 0, speed, speedSpread, size, 4.0f, TokenColourArgb(*m_token));
    params.fadeRate = fadeRate;
    params.fadeSpread = fadeSpread;
    params.timeLimited = true;
    params.duration = duration;
    params.rate = rate * m_rateFactor;
    params.randomRotation = true;
    params.randomSpinSign = true;
    params.twoPhase = twoPhase;
    return m_particles->AddSpells(&params, 80, m_sparkleTexture);
}

CTokenHighlight::~CTokenHighlight() { Hide(); }

// A short burst of sparkles marks the click.
void CTokenHighlight::ShowAt(const CountedHandle<CToken>& token)
{
    Hide();
    m_token = token;
    m_colourCode = token ? token->colour : -1;
    if (token) {
        const Point p = MarkerPosition(*token);
        const float s = token->size;
        if (CountedHandle<CParticleSystem> burst =
                Sparkles(p.x, p.y, p.z, 3.0f * s, s, 12.0f, 2.0f, 0.5f, 0.1f, 100.0f, false))
            burst->Update(0.1f);
    }
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
    // Two sources of sparkles circle the token for as long as it is selected.
    const float s = m_token->size;
    for (int i = 0; i < 2; ++i)
        m_satellites[i] =
            Sparkles(p.x + (i ? -s : s), p.y, p.z, 6.0f, 1.0f, 8.0f, 1.0f, 0.1f, 1000000.0f, 16.0f, true);
    m_visible = true;
}

void CTokenHighlight::MoveSatellites()
{
    const Point p = MarkerPosition(*m_token);
    const float dx = m_token->size * std::cos(m_angle), dy = m_token->size * std::sin(m_angle);
    if (m_satellites[0])
        m_satellites[0]->SetPosition(p.x + dx, p.y + dy, p.z);
    if (m_satellites[1])
        m_satellites[1]->SetPosition(p.x - dx, p.y - dy, p.z);
}

void CTokenHighlight::Hide()
{
    if (m_visible) {
        if (m_sprites)
            m_sprites->Remove(m_sprite);
        m_sprite.Reset();
        // Their live sparkles fade out on their own.
        for (CountedHandle<CParticleSystem>& satellite : m_satellites)
            if (satellite) {
                satellite->StopEmitting();
                satellite.Reset();
            }
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
    MoveSatellites();
    return 1;
}
