// The lamplit museum gallery, the first stage's scene: a slowly turning
// sprite of light rays, drifting dust in stacked layers drawn over the whole
// scene, and five progress ornaments; once the fifth has settled the map on
// the gallery wall unrolls with its own flare and sound.
#pragma once

#include "backgrounds/ProgressOrnaments.h"
#include "backgrounds/SceneKit.h"

class CMuseumBackground {
public:
    static constexpr int kSets = 5;

    CMuseumBackground();
    ~CMuseumBackground();
    CMuseumBackground(const CMuseumBackground&) = delete;
    CMuseumBackground& operator=(const CMuseumBackground&) = delete;

    // Its services and textures: device, sound, loading and releasing.
    CSceneCore& Core() { return m_core; }

    void SetResources(const CountedHandle<CSpriteRenderer>& sprites,
                      const CountedHandle<CParticleSystemsManager>& particles,
                      const CountedHandle<CFlareRenderer>& flares, const CountedHandle<CTexture>& flareTexture,
                      const CountedHandle<CTexture>& sparkTexture);
    void LoadSettings(const std::string& file);
    void Init();
    int Build();
    void Update(float dt);
    d3d::HRESULT Render();
    d3d::HRESULT RenderMesh();
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
    CSceneCore m_core; // services and textures
    CountedHandle<CTexture> m_flareTexture;
    CountedHandle<CTexture> m_sparkTexture;

    CDustLayers m_dust;
    Vec2 m_raysCentre{};
    Vec2 m_raysSize{};
    float m_raysSpin = 0.0f;
    uint32_t m_raysColour = 0xC8FFFFFF;
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
