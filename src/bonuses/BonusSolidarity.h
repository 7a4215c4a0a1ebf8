// Solidarity: a turning glow with short light tails round it that keeps
// sending out rings. When its token is destroyed the board picks the
// tokens that go with it and hands their places to SetTargets; the bonus
// chains them into one path, nearest first, and answers for each a delay
// that follows from its distance along the path. After Fire a bolt of fixed
// length runs along the path; each time its head reaches a new point a
// flash bursts there and the bonus reports event 13 (a sound and a shake).
// It lives until the bolt has left the path.
#pragma once

#include "bonuses/DrawnBonus.h"

#include <vector>

class CBonusSolidarity : public CDrawnBonus {
public:
    CBonusSolidarity();
    ~CBonusSolidarity() override;

    void SetResources(CountedHandle<CSpriteRenderer> spriteRenderer1,
                      CountedHandle<CParticleSystemsManager> particles1,
                      CountedHandle<CFlareRenderer> flareRenderer1, CountedHandle<CSpriteRenderer> spriteRenderer3,
                      CountedHandle<CParticleSystemsManager> particles2,
                      CountedHandle<CFlareRenderer> flareRenderer2, CountedHandle<CTexture> bonus5);

    void Build() override;
    int Update(float dt) override;
    void Fire() override;
    // Busy while its bolt runs, events or not.
    int IsIdle() const override { return events.Empty() && bolts.empty() ? 1 : 0; }
    // The glow at `factorApplied` times the scale and at `opacity`.
    void SetScale(float factorApplied, float opacity) override;
    // The bolt's path through the targets (screen points); `delays` gets,
    // at each target's own index, the seconds until the bolt strikes it. An
    // empty list changes nothing.
    void SetTargets(const std::vector<Vec2>& targets, std::vector<float>* delays);

    CountedHandle<CTexture> bonus5;
    std::vector<CountedHandle<CSprite>> glowSprites; // the centre, then the tails
    std::vector<float> tailU;                        // each tail's texture window start
    std::vector<CountedHandle<CSprite>> rings;
    std::vector<float> ringAges;
    float ringTimer = 0.0f;
    std::vector<Vec3> pathPoints;
    std::vector<Vec3> segmentDirections;
    std::vector<float> segmentLengths;
    std::vector<float> pathDistances; // along the path to each point
    float boltTail = 0.0f, boltHead = 0.0f;
    int32_t firstLit = 0, lastLit = 0;         // the segments that hold the bolt's tail and head
    std::vector<CountedHandle<CSprite>> bolts; // one slot per segment
    int32_t endFlashMade = 0;
    float boltPhase = 0.0f;

private:
    // The glow and the rings; the bolt runs on its own.
    void VisitSprites(SpriteVisitor& visitor) override;
    void UpdateBolt(float dt);
    // A flash that swells from `side` to `finalSide` in `growTime` and fades
    // out over its `life`, into the current renderer; `ring` shows the ring
    // picture, else the glow.
    void Flash(const Vec3& at, float side, float finalSide, float growTime, float life, uint32_t argb, bool ring,
               float spin);
};
