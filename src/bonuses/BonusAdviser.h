// The adviser: an emblem of a rim, a turning glass and a darkening shade on
// a token. When its token is destroyed it leaves the board: it flies over
// the HUD to the hint counter trailing sparkles and, on arrival, asks the
// board to switch the hint display on (event 10) for 5n + 15 seconds, n
// being its level.
#pragma once

#include "bonuses/DrawnBonus.h"

#include <vector>

class CBonusAdviser : public CDrawnBonus {
public:
    CBonusAdviser();
    ~CBonusAdviser() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1,
                      CountedHandle<CParticleSystemsManager> particles1,
                      CountedHandle<CFlareRenderer> flareRenderer1, CountedHandle<CSpriteRenderer> spriteRenderer3,
                      CountedHandle<CParticleSystemsManager> particles2,
                      CountedHandle<CFlareRenderer> flareRenderer2, CountedHandle<CTexture> bonus4,
                      CountedHandle<CTexture> gemFlares, CountedHandle<CTexture> spark);

    void Build() override;
    int Update(float dt) override;
    void Fire() override;
    void SetScale(float factorApplied, float) override;
    void PlaceSprites(float factorApplied) override;

    CountedHandle<CTexture> bonus4;
    CountedHandle<CTexture> gemFlares; // held, not drawn
    CountedHandle<CTexture> spark;
    // The rim (whole, or its left and right halves), the glass, the shade.
    std::vector<CountedHandle<CSprite>> sprites;
    CountedHandle<CParticleSystem> tail; // from Fire on

private:
    void VisitSprites(SpriteVisitor& visitor) override;
    // A fired adviser's sprites are in the renderer over the HUD.
    const CountedHandle<CSpriteRenderer>& Holder() const override
    {
        return finished ? group0.sprites : current.sprites;
    }
    // Its trail stops while it is hidden and starts anew when shown.
    void OnHide() override { bonus_kit::StopEffect(tail); }
    void OnShow() override
    {
        if (finished)
            StartTail();
    }
    void StartTail();

    struct Part {
        Vec2 size;   // at scale 1
        Vec2 offset; // from the bonus, at scale 1, y up
    };
    std::vector<Part> m_parts; // one per sprite
};
