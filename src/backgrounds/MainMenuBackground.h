// The main menu's scene: the picture, a strip of sky scrolling behind a mask,
// eight elements cut from one texture (two hanging strands and a hanging map
// that sway, an eye that opens and closes at random, lips that move while it
// is open), leaves falling along swinging arcs behind a mask, a block of
// foliage whose texture wobbles with slow noise, and a front foliage before
// the rest of the scene that sways and slides aside while the cursor is over
// it. Everything is drawn in the scene's own pass, so no part of it comes
// over the forms. It has no progress and plays no sound.
#pragma once

#include "backgrounds/SceneKit.h"

#include <vector>

class CMainMenuBackground final : public CScene {
public:
    static constexpr int kElements = 8;
    // The elements that move.
    static constexpr int kStrandA = 2;
    static constexpr int kEye = 4;
    static constexpr int kLips = 5;
    static constexpr int kStrandB = 6;
    static constexpr int kMap = 7;

    CMainMenuBackground();
    ~CMainMenuBackground();

    void LoadSettings(const std::string& file);
    int Init();
    int Build();
    int Update(float dt);
    d3d::HRESULT Render();
    d3d::HRESULT RenderMesh();
    void ReleaseObjects();

    // The screen zone over which the front foliage slides aside (virtual
    // screen, y up), and the flag the game sets while the cursor is in it.
    struct Zone {
        float left, top, right, bottom;
        bool Contains(float x, float y) const { return left <= x && x <= right && bottom <= y && y <= top; }
    };
    const Zone& ShiftZone() const { return m_shiftZone; }
    void SetCursorInZone(bool inside) { m_cursorInZone = inside; }
    float ShiftLevel() const { return m_shiftLevel; }

    struct Leaf {
        float width, height;
        float vx, vy;
        float turnSpeed, turnAmplitude;
        float arcWidth, arcHeight, arcSpeed;
        float x, y;
        float angle, turnPhase, arcPhase;
        int32_t variant;
    };
    const std::vector<Leaf>& Leaves() const { return m_leaves; }
    int MaxLeaves() const { return m_maxLeaves; }
    const std::vector<CountedHandle<CSprite>>& Elements() const { return m_elements; }
    const std::vector<CountedHandle<CSprite>>& FoliageCells() const { return m_cells; }
    const CountedHandle<CSprite>& FrontFoliage() const { return m_front; }
    const SceneMeshLayer& Mesh() const { return m_mesh; }
    float SkyOffset() const { return m_skyOffset; }

private:
    struct Sway {
        float phase[4];
        float speed[4];
    };
    void ScrollSky(float dt);
    void MoveLeaves(float dt);
    void BirthLeaf(float dt);
    void BuildLeafQuads();
    void WobbleFoliage(float dt);
    void SwayElement(CSprite& sprite, Sway& sway, Vec2 amplitude, float dt);
    void BlinkAndSpeak(float dt);
    void MoveFrontFoliage(float dt);

    enum Texture { kPicture, kSkyMask, kLeafMask, kElementsTexture, kFrontTexture };

    // Sky.
    Vec3 m_skyPosition{};
    Vec2 m_skySize{};
    float m_skyTop = 0.0f;
    Vec2 m_skyTexSize{};
    Vec2 m_skyMaskExtent{};
    float m_skySpeed = 0.0f;
    float m_skyOffset = 0.0f;
    // Elements.
    struct Element {
        Vec3 centre;
        Vec2 size;
        Vec4 texels;
        int32_t zOrder;
    };
    Element m_element[kElements]{};
    Vec4 m_eyeTexels{};
    Vec4 m_lipsTexels[2]{};
    // Leaves.
    Vec4 m_leafTexels[3]{};
    Vec2 m_leafSize{};
    Vec4 m_birthZone{}; // left, top (y up), width, height
    Vec2 m_leafSpeed{};
    float m_leafTurn = 0.0f;
    float m_leafTurnSpeed = 1.0f;
    Vec2 m_arcSize{};
    float m_arcSpeed = 1.0f;
    int m_maxLeaves = 8;
    float m_birthInterval = 0.5f;
    // Foliage block.
    Vec4 m_foliageForm{};   // left, top (y up), width, height
    Vec4 m_foliageTexels{}; // left, top, width, height
    int m_columns = 6;
    int m_rows = 6;
    Vec2 m_noise{};
    float m_noiseSpeed = 1.0f;
    // Sways.
    Vec2 m_mapDisplacement{};
    Vec2 m_mapSpeed1{};
    Vec2 m_mapSpeed2{};
    Vec2 m_strandDisplacement{};
    Vec2 m_strandSpeed1{};
    Vec2 m_strandSpeed2{};
    // Face.
    float m_eyeChance = 0.25f;
    float m_lipsChance = 0.3f;
    float m_lipsMinTime = 0.3f;
    // Front foliage.
    Vec3 m_frontCentre{};
    Vec2 m_frontSize{};
    int32_t m_frontZOrder = 0;
    Vec2 m_frontMove{};
    Vec2 m_frontMoveSpeed{};
    Vec2 m_frontSkew{};
    Vec2 m_frontSkewSpeed{};
    float m_frontRock = 0.0f;
    float m_frontRockSpeed = 0.0f;
    float m_shiftAngle = 0.0f;
    Vec2 m_shift{};
    float m_shiftTime = 0.2f;
    Zone m_shiftZone{};

    SceneMeshLayer m_mesh;
    size_t m_leafQuads = 0; // quads of the second pass: the live leaves
    CountedHandle<CSprite> m_picture;
    std::vector<CountedHandle<CSprite>> m_elements;
    std::vector<Leaf> m_leaves;
    float m_birthTimer = 0.0f;
    std::vector<CountedHandle<CSprite>> m_cells;
    std::vector<Vec2> m_nodeSpeeds;
    std::vector<Vec2> m_nodePhases;
    Sway m_mapSway{};
    Sway m_strandSway[2]{};
    float m_lipsTimer = 0.0f;
    CountedHandle<CSprite> m_front;
    float m_frontPhase[5]{};
    float m_shiftLevel = 0.0f;
    bool m_cursorInZone = false;
};
