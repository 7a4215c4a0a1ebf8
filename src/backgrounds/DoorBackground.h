// The temple door, the fourth stage's scene: a band of leaf shadow swaying
// over the lower third of the screen, two curtains of foliage swinging from
// the top corners, and ten progress ornaments. When the tenth has settled the
// door opens: its cover fades, sand trickles from its top corners and the
// leaf slides down behind the slanted floor line (DoorOpening.cpp).
#pragma once

#include "backgrounds/ProgressOrnaments.h"
#include "backgrounds/SceneKit.h"
#include "effects/keepers/SandKeeper.h"

class CDoorBackground final : public CScene {
public:
    static constexpr int kSets = 10;

    CDoorBackground();
    ~CDoorBackground();

    void LoadSettings(const std::string& file);
    void Init();
    int Build();
    void Update(float dt);
    d3d::HRESULT Render();
    d3d::HRESULT RenderMesh();
    void SetProgress(int count, int quiet);
    void ReleaseObjects();

    // The visible door leaf when it has slid down `fraction` (0 closed, 1
    // all the way): its corners in door pixels from the door's top-left
    // corner, x right, y down (top-left, top-right, bottom-right,
    // bottom-left).
    void ComputeDoorQuad(float fraction);
    const Vec2* DoorQuad() const { return m_leaf; }

    CProgressOrnaments& Ornaments() { return m_ornaments; }
    int32_t DoorState() const { return m_ornaments.Phase(kSets); }
    const SceneMeshLayer& Mesh() const { return m_mesh; }
    const std::vector<CountedHandle<CSprite>>& Curtains() const { return m_curtains; }
    const CountedHandle<CSprite>& DoorCover() const { return m_cover; }
    const CountedHandle<CSprite>& Doorway() const { return m_doorway; }
    const CountedHandle<CSprite>& DoorLeaf() const { return m_doorLeaf; }
    const CountedHandle<CSprite>& DoorShade() const { return m_shade; }
    // The sources pouring sand, left then right, while the door slides.
    const std::vector<CountedHandle<CSandKeeper>>& SandSources() const { return m_sandKeepers; }

    // The door as read: rectangle in screen pixels and floor line.
    struct DoorSettings {
        Vec3 centre{};  // virtual screen, y up
        Vec2 topLeft{}; // virtual screen, y up
        Vec2 size{};    // width W, height H
        Vec2 floor{};   // floor line's depth below the top edge at the left and the right edge
        float preOpenTime = 0.25f;
        float openTime = 2.0f;
        bool sand = false;
        uint32_t sandColour = 0;
        uint32_t dustColour = 0;
        Vec2 sandShift[2]{};    // from the top corners, y up
        float sandStop = 0.0f;  // sources stop following the leaf below this y
        float sandFloor = 0.0f; // grains end at this y
    };
    const DoorSettings& Door() const { return m_door; }

private:
    void SwayShadow();
    void SwingFoliage();
    // The door's show (DoorOpening.cpp).
    void CreateDoor();
    void RunDoor(float dt);
    void PlaceLeafPictures();
    void DropDoor();
    void StartSand(int side);
    void FollowLeafWithSand();
    void StopSand();

    enum Texture { kPicture, kShadow, kMask, kFoliage };

    Vec4 m_shadowWindow{}; // u0, v0, u1, v1
    Vec2 m_nearSway{};
    Vec2 m_farSway{};
    Vec2 m_nearSwaySpeed{};
    Vec2 m_farSwaySpeed{};
    struct Curtain {
        Vec2 movePhase, moveSpeed, swingPhase, swingSpeed;
        Vec2 quad[4]; // corners from the origin: upper edge first
    };
    Vec2 m_foliageShift{};
    Vec2 m_moveAmplitude{};
    Vec2 m_swingAmplitude{};
    Curtain m_curtain[2]{};
    DoorSettings m_door;

    SceneMeshLayer m_mesh;
    float m_time = 0.0f;
    CountedHandle<CSprite> m_picture;
    std::vector<CountedHandle<CSprite>> m_curtains;
    CountedHandle<CSprite> m_cover;
    CountedHandle<CSprite> m_doorway;
    CountedHandle<CSprite> m_doorLeaf;
    CountedHandle<CSprite> m_shade;
    std::vector<CountedHandle<CParticleSystem>> m_sandSystems;
    std::vector<CountedHandle<CSandKeeper>> m_sandKeepers;
    Vec2 m_leaf[4]{};
    CProgressOrnaments m_ornaments;
};
