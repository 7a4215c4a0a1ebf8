// The bomb: a bomb picture riding on a token, a bigger charge for each
// level, with three sparks running along its fuse. When its token is
// destroyed it blows up: the bomb vanishes, a ring and two counter-turning
// halos swell from the cell, sparks fly out, and the bonus asks the board to
// destroy every cell within a radius that grows with its level.
#pragma once

#include "bonuses/DrawnBonus.h"

class CBonusTNT : public CDrawnBonus {
public:
    CBonusTNT();
    ~CBonusTNT() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1,
                      CountedHandle<CParticleSystemsManager> particles1,
                      CountedHandle<CSpriteRenderer> spriteRenderer3,
                      CountedHandle<CParticleSystemsManager> particles2, CountedHandle<CTexture> bonus1,
                      CountedHandle<CTexture> halo1, CountedHandle<CTexture> ring, CountedHandle<CTexture> spark);

    void Build() override;
    int Update(float dt) override;
    void Fire() override;

    CountedHandle<CTexture> bonus1, halo1, ring, spark;
    CountedHandle<CSprite> body, front;
    CountedHandle<CSprite> sparks[3];
    float sparkAngle[3] = {0, 0, 0}; // radians
    float sparkFrame[3] = {0, 0, 0}; // flip-book position, 0 .. 8

private:
    void VisitSprites(SpriteVisitor& visitor) override;
    void PlaceSparks(float k, float opacity);
};
