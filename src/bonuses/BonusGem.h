// The gem secured to a token. While it rides it pulses with a halo of its
// colour, two big flares swell and fade in turn and small flares sparkle
// round it. When its token is destroyed the board tells it its place in the
// gems bar and fires it: it lifts over the board as a cut gem, flies to the
// bar on a curved path trailing sparkles, bursts there and reports its
// value (event 2), and the board puts it into the bar.
#pragma once

#include "bonuses/Bonus.h"
#include "bonuses/BonusKit.h"

class CBonusGem : public CBonus {
public:
    CBonusGem();
    ~CBonusGem() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1, CountedHandle<CFlareRenderer> flareRenderer1,
                      CountedHandle<CSpriteRenderer> spriteRenderer2,
                      CountedHandle<CParticleSystemsManager> particles2,
                      CountedHandle<CFlareRenderer> flareRenderer2, CountedHandle<CTexture> allGemLights,
                      CountedHandle<CTexture> allGems, CountedHandle<CTexture> gemFlares,
                      CountedHandle<CTexture> starParticle);

    void Build() override;
    void Hide() override;
    void Show() override;
    void ShowPictures(bool shown) override;
    int Update(float dt) override;
    void Fire() override;

    // Resources: the riding renderers, then those of the flight over the
    // HUD, then the pictures.
    CountedHandle<CSpriteRenderer> spriteRenderer1;
    CountedHandle<CFlareRenderer> flareRenderer1;
    CountedHandle<CSpriteRenderer> spriteRenderer2;
    CountedHandle<CParticleSystemsManager> particles2;
    CountedHandle<CFlareRenderer> flareRenderer2;
    CountedHandle<CTexture> allGemLights, allGems, gemFlares, starParticle;

    CountedHandle<CSprite> halo;
    CountedHandle<CSprite> bigFlares[2];
    CountedHandle<CSprite> gemSprite;               // from Fire on
    CountedHandle<CParticleSystem> trail;           // from Fire on
    int32_t value = 0;                              // 0 .. 7: the gem's colour
    float smallFlareClock = 0.0f;                   // seconds not yet spent on small flares
    std::vector<CountedHandle<CFlare>> smallFlares; // every small flare it made, alive or spent
    Vec2 flareOffsets[2];
    // Fired: the sprites live in the second renderer, new small flares go to
    // the second flare renderer.
    int32_t collected = 0;
    Vec3 destination; // its place in the gems bar, written by the board

private:
    const CountedHandle<CSpriteRenderer>& Renderer() const
    {
        return collected ? spriteRenderer2 : spriteRenderer1;
    }
    // A point inside the big or the small flares' ellipse of the gem's value.
    Vec2 RandomOffset(bool big) const;
    void StartTrail(float x, float y, float z, float fadeRate, float rate);
    void MakeSmallFlare();
};
