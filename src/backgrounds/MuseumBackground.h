// The lamplit museum gallery, the first stage's scene: a slowly turning
// sprite of light rays, drifting dust in stacked layers drawn over the whole
// scene, and five progress ornaments; once the fifth has settled the map on
// the gallery wall unrolls with its own flare and sound. The dust and the
// rays are faint: through the board's backdrop they leave no visible trace,
// so they are drawn only where the quest screen leaves the faint layers in
// view.
#pragma once

#include "backgrounds/ProgressOrnaments.h"
#include "backgrounds/SceneKit.h"

class CMuseumBackground final : public CScene {
public:
    static constexpr int kSets = 5;

    CMuseumBackground();
    ~CMuseumBackground();

    void LoadSettings(const std::string& file);
    void Init();
    int Build();
    void Update(float dt);
    // Draws the scene where `view` leaves it in view (whole by default).
    d3d::HRESULT Render(const SceneView& view = {});
    d3d::HRESULT RenderMesh(const SceneView& view = {});
    void SetProgress(int count, int quiet);
    void ReleaseObjects();

    CProgressOrnaments& Ornaments() { return m_ornaments; }
    // The map, while the stage is full: the last entry of the ray list.
    CountedHandle<CSprite> Map() const;
    int32_t MapState() const { return m_ornaments.Phase(kSets); }
    const SceneMeshLayer& Mesh() const { return m_mesh; }
    // The map's shown share of its height.
    float MapUnrolled() const { return m_mapShown; }

private:
    void MakeMap();
    void UnrollMap(float dt);

    enum Texture { kPicture, kDust, kDustMask, kFlareRays };
    // The sprite layer of the turning rays.
    static constexpr int32_t kFaintLayer = 2;

    CDustLayers m_dust;
    TurningRays m_rays;
    float m_mapFadeTime = 0.4f;
    float m_mapExpandTime = 0.5f;
    float m_mapHoldTime = 0.5f;
    float m_mapStart = 0.4f;
    float m_mapShown = 0.0f;

    SceneMeshLayer m_mesh;
    CountedHandle<CSprite> m_picture;
    CountedHandle<CSprite> m_flareRays;
    CProgressOrnaments m_ornaments;
};
