// The treasure vault, the scene of the fifth stage and every later one: dust
// drifting in stacked layers under a mask, two swaying layers of sun rays,
// twelve progress ornaments, and when the twelfth has settled the chest
// bursts open (TreasuryChest.cpp): rays and sparks shoot out of it, the lid
// vanishes in a flash and breaks into pieces that tumble up and away while
// glow worms rise from the gold.
#pragma once

#include "backgrounds/ProgressOrnaments.h"
#include "backgrounds/SceneKit.h"

class CTreasuryBackground final : public CScene {
public:
    static constexpr int kSets = 12;

    CTreasuryBackground();
    ~CTreasuryBackground();

    void LoadSettings(const std::string& file);
    void Init();
    int Build();
    void Update(float dt);
    d3d::HRESULT Render();
    d3d::HRESULT RenderMesh();
    void SetProgress(int count, int quiet);
    void ReleaseObjects();

    // The chest's states: idle, its flare blooming, rays shooting, breaking.
    enum ChestPhase { kChestIdle = 0, kChestFlare = 1, kChestRays = 2, kChestBreak = 3 };
    int32_t ChestState() const { return m_ornaments.Phase(kSets); }

    struct ChestSettings {
        uint32_t raysColour = 0;
        Vec2 raysCentre{}; // virtual screen, y up
        float raysRadius = 120.0f;
        Vec2 raysSize{}; // length, thickness
        float raysTime = 2.0f;
        float raysInterval = 0.2f;
        float fadeTime = 0.1f;
        Vec4 form{};   // lid's top-left (y up), width, height
        Vec4 texels{}; // lid's picture in the elements texture
        int columns = 8;
        int rows = 8;
        float spinAcceleration = 0.1f * kPi;
        Vec2 lift{}; // upward acceleration of the top row, of the bottom row
        uint32_t flashColour = 0;
        uint32_t wormColour = 0; // 0: each worm its own colour
        float wormSize = 32.0f;
        float wormSpeed = 300.0f;
        float wormSway = 3.0f;
        float wormInterval = 0.2f;
    };
    const ChestSettings& Chest() const { return m_chest; }

    CProgressOrnaments& Ornaments() { return m_ornaments; }
    const SceneMeshLayer& Mesh() const { return m_mesh; }
    const CountedHandle<CSprite>& ChestLid() const { return m_lid; }
    const CountedHandle<CSprite>& ChestBand() const { return m_band; }
    const std::vector<CountedHandle<CSprite>>& ChestRays() const { return m_chestRays; }
    const std::vector<CountedHandle<CSprite>>& Pieces() const { return m_pieces; }
    const std::vector<float>& PieceLifts() const { return m_pieceLifts; }
    const std::vector<CountedHandle<CSprite>>& GlowWorms() const { return m_worms; }
    size_t DustLayers() const { return m_dust.Count(); }

private:
    void SwaySunRays(float dt);
    // The chest (TreasuryChest.cpp).
    void MakeLidAndBand();
    void RunChest(float dt);
    void ShootChestRays(int count);
    void BreakLid();
    void CrackLid();
    void MoveDebris(float dt);
    void UndoChest();
    void DropChest();

    enum Texture { kPicture, kDust, kMask, kElements, kRays };
    struct GlowWorm {
        float baseX;
        float riseSpeed;
        float phase;
    };

    CDustLayers m_dust;
    bool m_dustAdditive = true;
    bool m_dustWhite = true;
    ChestSettings m_chest;
    Vec2 m_sunForm[4]{};
    Vec2 m_sunDrift1{};
    Vec2 m_sunDrift2{};
    float m_sunSpeed = 0.5f;
    float m_sunAngle = 0.0f;

    SceneMeshLayer m_mesh;
    CountedHandle<CSprite> m_picture;
    CountedHandle<CSprite> m_chestTop;
    CountedHandle<CSprite> m_lid;
    CountedHandle<CSprite> m_band;
    CProgressOrnaments m_ornaments;

    std::vector<CountedHandle<CSprite>> m_chestRays;
    float m_raysClock = 0.0f;
    std::vector<CountedHandle<CSprite>> m_pieces;
    std::vector<Vec2> m_pieceVelocities;
    std::vector<float> m_pieceLifts;
    std::vector<CountedHandle<CSprite>> m_worms;
    std::vector<GlowWorm> m_wormRecords;
    float m_wormClock = 0.0f;
};
