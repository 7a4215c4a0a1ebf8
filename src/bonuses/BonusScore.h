// The score multiplier: a small plate marked with its factor and a ring of
// coins turning round it, one sparkle source riding on each coin. The coins
// count the factor: 3, 5, 7 or 10 for levels 0 to 3. The points are the
// board's: it multiplies a match that destroys score bonuses by their
// factors. When its token is destroyed the coins fly out from the ring and
// fall, and the bonus reports event 11.
#pragma once

#include "bonuses/DrawnBonus.h"
#include "effects/keepers/MultiOriginSystemKeeper.h"

#include <vector>

class CBonusScore : public CDrawnBonus {
public:
    CBonusScore();
    ~CBonusScore() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1,
                      CountedHandle<CParticleSystemsManager> particles1,
                      CountedHandle<CFlareRenderer> flareRenderer1, CountedHandle<CSpriteRenderer> spriteRenderer3,
                      CountedHandle<CParticleSystemsManager> particles2,
                      CountedHandle<CFlareRenderer> flareRenderer2, CountedHandle<CTexture> bonus3,
                      CountedHandle<CTexture> starParticle);

    void Build() override;
    int Update(float dt) override;
    void Fire() override;
    void SetScale(float factorApplied, float) override;
    void PlaceSprites(float factorApplied) override;

    // The coins of a level (its factor).
    static int CoinCount(int32_t level);

    CountedHandle<CTexture> bonus3, starParticle;
    std::vector<CountedHandle<CSprite>> sprites; // the plate, then the coins
    CountedHandle<CParticleSystem> orbit;
    CountedHandle<CMultiOriginSystemKeeper> orbitKeeper;
    std::vector<float> coinPhases; // 0 .. 8: the frame of each coin's turn

private:
    void VisitSprites(SpriteVisitor& visitor) override;
    // The sparkles stop while it is hidden, and start anew when it shows or
    // changes its set.
    void OnHide() override { StopOrbit(); }
    void OnShow() override
    {
        if (state != kBonusFired)
            StartOrbit();
    }
    void OnDrawGroupChanged() override
    {
        if (orbit)
            StartOrbit();
    }
    void StartOrbit();
    void StopOrbit();
    // The angle of the first coin, where the ring stands.
    float RingAngle() const;
};
