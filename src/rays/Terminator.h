// The strikes that destroy board tokens. The board never removes a token
// itself: it spawns a terminator over the doomed tokens, and when the
// terminator's hit time comes every target either bursts and leaves the
// moving-token list or, when chained, loses its chains and survives. The
// only kind the game spawns is the electric ray: glows over the targets,
// bolts crawling between them, sparkles along the chains.
#pragma once

#include "engine/CountedHandle.h"
#include "tokens/Token.h"

#include <cstdint>
#include <utility>
#include <vector>

class CCapsRenderer;
class CFlare;
class CFlareRenderer;
class CMovingTokens;
class CParticleSystem;
class CParticleSystemsManager;
class CSpriteRenderer;
class CTexture;

using CellPair = std::pair<int32_t, int32_t>;

// The target group as the board hands it over: one cell per target (the
// ray picks bolt ends below its length) and the pairs of target indices a
// bolt may join.
struct TerminatorPath {
    std::vector<CellPair> cells;
    std::vector<CellPair> links;
};

// How a target is struck.
enum TargetMode : int32_t {
    kRemoveOneChain = 0,
    kBreakAllChains = 1,
    kDestroyEvenChained = 2,
};

class CTerminator {
public:
    CTerminator(int32_t kind, bool quick, CMovingTokens* movingTokens);
    virtual ~CTerminator();
    CTerminator(const CTerminator&) = delete;
    CTerminator& operator=(const CTerminator&) = delete;

    virtual void AddTarget(const CountedHandle<CToken>& target, int32_t mode);
    virtual void SetPath(const TerminatorPath& path) { m_path = path; }
    // 0 when the terminator has finished.
    virtual int Update(float dt);
    // True while any target token is still chained.
    virtual bool HasLiveTargets() const;

    int32_t Kind() const { return m_kind; }
    bool Quick() const { return m_quick; }
    const TerminatorPath& Path() const { return m_path; }
    const std::vector<CountedHandle<CToken>>& Targets() const { return m_targets; }
    const std::vector<CountedHandle<CBonus>>& Bonuses() const { return m_bonuses; }

    // Seconds since the spawn; the board may start it below 0 so that the
    // strike comes after a delay.
    float elapsed = 0.0f;

protected:
    int32_t m_kind;
    bool m_quick; // hits after 0.2 s instead of 0.75 s, with the short sounds
    TerminatorPath m_path;
    std::vector<CountedHandle<CToken>> m_targets;
    std::vector<int32_t> m_modes;
    std::vector<CountedHandle<CBonus>> m_bonuses; // the targets' bonuses when they were added
    CMovingTokens* m_movingTokens;                // the board's, not owned
};

// The look of a ray: what the manager hands every ray it spawns.
struct RayResources {
    CountedHandle<CParticleSystemsManager> particles;
    // The pieces a struck token bursts into, drawn under the tokens.
    CountedHandle<CParticleSystemsManager> debris;
    CountedHandle<CFlareRenderer> glowFlares;
    CountedHandle<CFlareRenderer> sparkleFlares;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CTexture> glowTexture, chainTexture, sparkleTexture, boltTexture;
    // Where a struck token's picture lies in the caps texture: the first
    // frame of its colour's caps animation.
    CountedHandle<CCapsRenderer> caps;
};

// One electric bolt between two targets (or circling over one): each end
// turns round its token, and the thunderbolt is aimed anew every frame.
// Letting go of the record stops the thunderbolt.
struct RayBolt {
    RayBolt() = default;
    RayBolt(const RayBolt&) = delete;
    RayBolt& operator=(const RayBolt&) = delete;
    ~RayBolt();

    struct End {
        float x, y, z;          // where it stands this frame
        float wanderX, wanderY; // the direction it wanders along
        float length;           // how far it wanders
    };
    End EndA() const;
    End EndB() const;

    CountedHandle<CParticleSystem> system;
    float age = 0.0f;
    float life = 0.75f;
    float endAX = 0, endAY = 0, endAZ = 0;
    float endBX = 0, endBY = 0, endBZ = 0;
    float radiusA = 32.0f, radiusB = 32.0f;
    float phaseA = 0.0f, phaseB = 0.0f; // radians
    float angularSpeedA = 0.0f, angularSpeedB = 0.0f;
    float widthA = 4.0f, widthB = 4.0f;
};

class CTerminatorElectro : public CTerminator {
public:
    CTerminatorElectro(bool quick, CMovingTokens* movingTokens, const RayResources& resources,
                       CountedHandle<CTexture> tokenTexture);
    ~CTerminatorElectro() override;

    void AddTarget(const CountedHandle<CToken>& target, int32_t mode) override;
    int Update(float dt) override;

    float HitTime() const { return m_quick ? 0.2f : 0.75f; }
    const std::vector<CountedHandle<CFlare>>& Glows() const { return m_glows; }
    const std::vector<CountedHandle<RayBolt>>& Bolts() const { return m_bolts; }

private:
    void Travel(float dt);
    void StartGlows();
    void MoveBolts(float dt);
    void StartBolts();
    void SpawnChainSparkles(float dt);
    void Hit();
    void BreakChains(const CToken& token);
    void Shatter(const CToken& token);

    RayResources m_resources;
    CountedHandle<CTexture> m_tokenTexture;
    std::vector<CountedHandle<RayBolt>> m_bolts;
    std::vector<CountedHandle<CFlare>> m_glows;
    int32_t m_boltsPerTarget = 2;
    int32_t m_boltLimit = 0;
    float m_boltLife = 0.15f;
    float m_boltWidthFactor = 0.2f;
    uint32_t m_boltColour = 0x004040FF;
    float m_glowSizeFactor = 4.0f;
    float m_sparkleSizeFactor = 0.75f;
    float m_sparkleLife = 0.25f;
    float m_sparkleInterval = 0.025f;
    float m_sparkleAccumulator = 0.0f;
    bool m_hit = false;
};
