// The clock: a small dark clock face with two turning hands and, from level
// 1, a badge of its level. When its token is destroyed the clock vanishes
// and a glowing twirl, wrapped in swirls of digits and stars, swells over
// the cell, flies to the time display and bursts there; on arrival the
// bonus reports its level (event 8) and the board turns it into seconds for
// the level's clock.
#pragma once

#include "bonuses/DrawnBonus.h"
#include "effects/keepers/VortexKeeper.h"

#include <vector>

class CBonusTime : public CDrawnBonus {
public:
    CBonusTime();
    ~CBonusTime() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1,
                      CountedHandle<CParticleSystemsManager> particles1,
                      CountedHandle<CFlareRenderer> flareRenderer1, CountedHandle<CSpriteRenderer> spriteRenderer3,
                      CountedHandle<CParticleSystemsManager> particles2,
                      CountedHandle<CFlareRenderer> flareRenderer2, CountedHandle<CTexture> bonus3,
                      CountedHandle<CTexture> twirlTexture, CountedHandle<CTexture> secondTwirlTexture,
                      CountedHandle<CTexture> starParticle, CountedHandle<CTexture> panelGlass);

    void Build() override;
    int Update(float dt) override;
    void Fire() override;
    void SetScale(float k, float) override;

    CountedHandle<CTexture> bonus3, twirlTexture, secondTwirlTexture, starParticle, panelGlass;
    // The long hand, its shadow, the short hand, its shadow, the badge (from
    // level 1), the face's glow and the face.
    std::vector<CountedHandle<CSprite>> clockSprites;
    CountedHandle<CParticleSystem> digitSystem, starSystem;
    CountedHandle<CVortexKeeper> digitKeeper, starKeeper;
    CountedHandle<CSprite> twirl;
    float phaseTime = 0.0f; // seconds since Fire
    Vec3 flightStart;
    Vec3 flightDelta; // the time display less the start

private:
    void VisitSprites(SpriteVisitor& visitor) override;
    // The twirl flies over the HUD whatever the clock's set.
    void OnHide() override { bonus_kit::SetVisible(group0.sprites, twirl, 0); }
    void OnShow() override { bonus_kit::SetVisible(group0.sprites, twirl, 1); }
    void PlaceSwirls(const Vec3& at);
    // Sizes of the clock's sprites at scale 1, in their list's order.
    std::vector<Vec2> m_partSizes;
};
