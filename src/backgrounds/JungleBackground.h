// The overgrown jungle ruins, the second stage's scene: slowly turning light
// rays, a drifting fog quad drawn additively through a mask, small glints
// gliding over the stream wherever a grey mask file marks the water bright,
// and six progress ornaments closed by a seventh flare.
#pragma once

#include "backgrounds/ProgressOrnaments.h"
#include "backgrounds/SceneKit.h"

#include <cstdint>
#include <vector>

class CJungleBackground final : public CScene {
public:
    static constexpr int kSets = 6;
    static constexpr int kMaskWidth = 256;
    static constexpr int kMaskHeight = 102;

    CJungleBackground();
    ~CJungleBackground();

    void LoadSettings(const std::string& file);
    void Init();
    // The glints' mask, a 256 x 102 24-bit bitmap; false (and a log line)
    // when it is missing or of another size, and the scene goes without.
    bool LoadFlashMask(const std::string& path);
    int Build();
    void Update(float dt);
    d3d::HRESULT Render();
    d3d::HRESULT RenderMesh();
    void SetProgress(int count, int quiet);
    void ReleaseObjects();

    CProgressOrnaments& Ornaments() { return m_ornaments; }
    const std::vector<uint8_t>& FlashMask() const { return m_mask; }
    // The mask's byte under a point of the virtual screen, -1 outside it.
    int MaskAt(float x, float y) const;
    size_t FlashCount() const { return m_flashes.size(); }
    const std::vector<CountedHandle<CFlare>>& Flashes() const { return m_flashes; }
    const SceneMeshLayer& Mesh() const { return m_mesh; }

private:
    void DriftFog(float dt);
    void MoveFlashes(float dt);
    void MakeFlash();

    enum Texture { kPicture, kFog, kMask, kFlareRays };

    Vec4 m_fog{}; // left, top (y up), width, height
    Vec2 m_fogRepeats{};
    Vec2 m_fogDrift{};
    Vec2 m_fogOffset{};
    TurningRays m_rays;

    // The glints: their area (its top-left corner, y up), the parallelogram
    // they start in, and how they live and glide.
    Vec2 m_areaTopLeft{};
    Vec2 m_areaSize{};
    Vec2 m_areaBottomLeft{};
    Vec2 m_basis1{};
    Vec2 m_basis2{};
    float m_flashInterval = 0.1f;
    float m_flashLife = 0.5f;
    uint32_t m_flashColour = 0;
    float m_flashBrightness = 1.0f;
    float m_flashSize = 4.0f;
    float m_gatherX = 0.0f;
    float m_flashMinSpeed = 10.0f;
    float m_flashMaxSpeed = 40.0f;
    float m_flashTimer = 0.0f;
    std::vector<CountedHandle<CFlare>> m_flashes;
    std::vector<Vec2> m_flashVelocities;
    std::vector<uint8_t> m_mask;

    SceneMeshLayer m_mesh;
    CountedHandle<CSprite> m_picture;
    CountedHandle<CSprite> m_flareRays;
    CProgressOrnaments m_ornaments;
};
