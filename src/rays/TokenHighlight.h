// The selection marker: the highlight picture zooms in over the selected
// token and fades in, two sparkle sources circle round it, and a short
// burst of sparkles in the token's colour marks the click. It follows the
// token every frame, so it stays on a token that shakes or moves.
#pragma once

#include "engine/CountedHandle.h"
#include "tokens/Token.h"

#include <cstdint>

class CFlareRenderer;
class CParticleSystem;
class CParticleSystemsManager;
class CSprite;
class CSpriteRenderer;
class CTexture;

class CTokenHighlight {
public:
    CTokenHighlight(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CSpriteRenderer> sprites,
                    CountedHandle<CFlareRenderer> flares, CountedHandle<CTexture> highlightTexture,
                    CountedHandle<CTexture> sparkleTexture);
    ~CTokenHighlight();
    CTokenHighlight(const CTokenHighlight&) = delete;
    CTokenHighlight& operator=(const CTokenHighlight&) = delete;

    // Selects a token; selecting one again restarts the zoom.
    void ShowAt(const CountedHandle<CToken>& token);
    // Hides the marker and forgets the token.
    void Hide();
    // 0 while hidden.
    int Update(float dt);

    bool IsVisible() const { return m_visible; }
    const CountedHandle<CToken>& Token() const { return m_token; }
    int32_t ColourCode() const { return m_colourCode; }
    const CountedHandle<CSprite>& Sprite() const { return m_sprite; }
    const CountedHandle<CParticleSystem>& Satellite(int i) const { return m_satellites[i]; }

private:
    void MakeVisible();
    // A source of sparkles in the token's colour at a point.
    CountedHandle<CParticleSystem> Sparkles(float x, float y, float z, float speed, float speedSpread, float size,
                                            float fadeRate, float fadeSpread, float duration, float rate,
                                            bool twoPhase);
    void MoveSatellites();

    bool m_visible = false;
    CountedHandle<CToken> m_token;
    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CFlareRenderer> m_flares; // kept, not drawn into
    CountedHandle<CTexture> m_highlightTexture;
    CountedHandle<CTexture> m_sparkleTexture;
    float m_angle = 0.0f;
    float m_angularSpeed = 1.5707964f; // a full turn of the satellites in 4 s
    float m_zoom = 1.0f;
    float m_zoomSpeed = 4.0f; // from twice the size to the token's in 0.25 s
    CountedHandle<CSprite> m_sprite;
    CountedHandle<CParticleSystem> m_satellites[2];
    float m_rateFactor = 1.0f;
    int32_t m_colourCode = -1;
};
