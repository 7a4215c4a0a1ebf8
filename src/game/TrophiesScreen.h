// The trophies screen's half of the trophies: the player's levels (the
// records' CTrophies) shown on the Trophies form. Each kind shows the medal
// of its level or its locked medal; a queued award flies in onto its medal,
// spiralling and growing, with a sparkle burst, a sound and a halo when it
// lands; the description of the medal under the pointer shows beside it;
// and a black backdrop lies behind the form while it is up.
#pragma once

#include "audio/SoundManager.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Sprite.h"
#include "records/Trophies.h"

class CGameScreens;
class CQoStatic;

class CTrophiesScreen : public CTrophies {
public:
    // The screens, the particle managers of the burst (the first is used),
    // the flare renderer of the landing, and the sprite renderers drawn over
    // and under the forms.
    void SetSharedObjects(CountedHandle<CGameScreens> screens, CountedHandle<CParticleSystemsManager> particles,
                          CountedHandle<CParticleSystemsManager> particlesBack,
                          CountedHandle<CFlareRenderer> flares, CountedHandle<CSpriteRenderer> spritesOver,
                          CountedHandle<CSpriteRenderer> spritesUnder);
    // The burst's sparkles, the landing's halo, the backdrop and the flare.
    void SetTextures(CountedHandle<CTexture> sparkle, CountedHandle<CTexture> halo,
                     CountedHandle<CTexture> backdrop, CountedHandle<CTexture> flare);

    // One frame while the form is visible: the backdrop scrolls, awards
    // play one after another, and the medal under (x, y) shows its
    // description. 1 on the frame an award has landed.
    int Update(float dt, float x, float y);
    void RefreshIcons();
    // The description of a kind's level at the pointer; a level below 1
    // hides it.
    void ShowDescription(int kind, int level, float x, float y);
    void ShowBackground(bool show);
    // Every queued level at once; a running flight goes.
    void CommitAwards();
    bool AwardRunning() const { return static_cast<bool>(m_flying); }

    CountedHandle<CSoundManager> sounds;

private:
    // The medal of a kind's level, or an empty handle.
    CountedHandle<CQoStatic> Medal(int kind, int level) const;
    void StartAward();
    void LandAward();
    void StopFlight();
    void HoverDescription(float x, float y);

    CountedHandle<CGameScreens> m_screens;
    CountedHandle<CParticleSystemsManager> m_particles, m_particlesBack;
    CountedHandle<CFlareRenderer> m_flares;
    CountedHandle<CSpriteRenderer> m_spritesOver, m_spritesUnder;
    CountedHandle<CTexture> m_sparkle, m_halo, m_backdrop, m_flare;
    CountedHandle<CSprite> m_flying;
    CountedHandle<CParticleSystem> m_burst;
    CountedHandle<CSprite> m_background;
    Vec2 m_origin; // of the backdrop's texture
    int m_hoverKind = -1, m_hoverLevel = 0;
};
