// The two scripted animations the game plays over the quest screen. The
// Golden Star: glows stream along the frenzy bar, a big star flies up from
// the panel growing, a ring flashes out of it, the note "You've got the
// Star!!!" pops up, and the star swells and fades away. A lost life: the
// caption "Life lost", a heart flying from the lives counter to the middle
// of the board trailing sparks, a wait, and the heart shatters in a burst of
// sparks. The game owns one of each, starts them from its play and updates
// them every frame while they run.
#pragma once

#include "effects/overlays/ScoreSettings.h"
#include "engine/CountedHandle.h"
#include "engine/Settings.h"

#include <string>
#include <vector>

class CParticleSystem;
class CParticleSystemsManager;
class CPopupManager;
class CSprite;
class CSpriteRenderer;
class CTexture;

class CStarAward {
public:
    CStarAward();
    ~CStarAward();
    CStarAward(const CStarAward&) = delete;
    CStarAward& operator=(const CStarAward&) = delete;

    // The popups belong to the board, which outlives the award's use of them.
    void SetResources(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CParticleSystemsManager> particles,
                      CPopupManager* popups, CountedHandle<CTexture> star, CountedHandle<CTexture> particle,
                      CountedHandle<CTexture> ring);
    // Starts the animation afresh, clearing one that still runs.
    void Start();
    // 0 once the animation has ended.
    int Update(float dt);
    // Back to idle: the star and the glows go at once.
    void Clear();

    int Phase() const { return m_phase; }
    const CountedHandle<CSprite>& Star() const { return m_star; }
    const std::vector<CountedHandle<CParticleSystem>>& Glows() const { return m_glows; }

    // The game waits for this to drop before it goes on.
    bool running = false;
    CStarAwardSettings settings;

private:
    void StartGlow(const Vec3& direction, float lineSpeed, float intensity, float emissionSpeed,
                   float emissionSpread, float size, uint32_t colour);
    void StopGlows();

    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CParticleSystemsManager> m_particles;
    CPopupManager* m_popups = nullptr;
    CountedHandle<CTexture> m_starTexture;
    CountedHandle<CTexture> m_particleTexture;
    CountedHandle<CTexture> m_ringTexture;
    float m_elapsed = 0.0f;
    int m_phase = 0;
    CountedHandle<CSprite> m_star;
    std::vector<CountedHandle<CParticleSystem>> m_glows;
};

class CLifeLostAward {
public:
    CLifeLostAward();
    ~CLifeLostAward();
    CLifeLostAward(const CLifeLostAward&) = delete;
    CLifeLostAward& operator=(const CLifeLostAward&) = delete;

    // Also reads the caption (text 53) from the string table.
    void SetResources(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CParticleSystemsManager> particles,
                      CPopupManager* popups, CountedHandle<CTexture> heart, CountedHandle<CTexture> spark);
    // The heart flies from (x, y, z) when `fromGiven` is set, else from the
    // settings' start point.
    void Start(bool fromGiven, float x, float y, float z);
    // The caption of the next start, in place of "Life lost" alone (the
    // game puts the cause before it, or shows a shuffle's text).
    void SetCaption(const std::string& caption) { m_caption = caption; }
    int Update(float dt);
    void Clear();

    int Phase() const { return m_phase; }
    const CountedHandle<CSprite>& Heart() const { return m_heart; }
    const CountedHandle<CParticleSystem>& Trail() const { return m_trail; }

    bool running = false;
    // Scales the rate of the sparks.
    float rateFactor = 1.0f;
    CLifeLostSettings settings;

private:
    // The sparks of the trail and the burst fall at 500 units per second
    // squared, whatever the manager's gravity.
    CountedHandle<CParticleSystem> AddSparks(const Vec3& at, float vy, float rate, float duration, int capacity);
    void Break();

    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CParticleSystemsManager> m_particles;
    CPopupManager* m_popups = nullptr;
    CountedHandle<CTexture> m_heartTexture;
    CountedHandle<CTexture> m_sparkTexture;
    std::string m_caption;
    float m_elapsed = 0.0f;
    int m_phase = 0;
    Vec3 m_start;
    CountedHandle<CSprite> m_heart;
    CountedHandle<CParticleSystem> m_trail;
};
