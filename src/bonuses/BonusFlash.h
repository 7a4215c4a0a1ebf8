// Lightning: a storm emblem ringed by spinning, flickering bolts, one bolt
// more than its level. When its token is destroyed the emblem shatters, two
// blue flares spin over the cell and thunderbolts run from the cell to the
// edges of the board along its column, its row or both, by level; every
// cell a bolt crosses is destroyed.
#pragma once

#include "bonuses/DrawnBonus.h"

#include <vector>

class CBonusFlash : public CDrawnBonus {
public:
    CBonusFlash();
    ~CBonusFlash() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1,
                      CountedHandle<CParticleSystemsManager> particles1,
                      CountedHandle<CFlareRenderer> flareRenderer1, CountedHandle<CSpriteRenderer> spriteRenderer3,
                      CountedHandle<CParticleSystemsManager> particles2,
                      CountedHandle<CFlareRenderer> flareRenderer2, CountedHandle<CTexture> bonus2,
                      CountedHandle<CTexture> halo1, CountedHandle<CTexture> lightning,
                      CountedHandle<CTexture> spark);

    void Build() override;
    int Update(float dt) override;
    void Fire() override;
    // The picture at `k` times the scale; with `boltsOnly` only the bolts.
    void SetScale(float k, float boltsOnly) override;

    CountedHandle<CTexture> bonus2, halo1, lightning, spark;
    CountedHandle<CSprite> picture, glow, shade;
    std::vector<CountedHandle<CSprite>> boltSprites; // the core, then the bolts
    std::vector<float> boltLength;

private:
    void VisitSprites(SpriteVisitor& visitor) override;
    void Thunderbolt(float endX, float endY, bool vertical);
};
