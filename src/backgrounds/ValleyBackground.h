// The valley at dusk, the third stage's scene: a ceiling of clouds drifting
// in true perspective behind the picture (the only part of any scene drawn
// under a projection of its own), a darkening mask over the top of the sky,
// a slowly turning overlay of light rays and eight progress ornaments.
#pragma once

#include "backgrounds/ProgressOrnaments.h"
#include "backgrounds/SceneKit.h"

class CValleyBackground final : public CScene {
public:
    static constexpr int kSets = 8;

    CValleyBackground();
    ~CValleyBackground();

    void LoadSettings(const std::string& file);
    void Init();
    int Build();
    void Update(float dt);
    d3d::HRESULT Render();
    void SetProgress(int count, int quiet);
    void ReleaseObjects();

    // The cloud view: a left-handed perspective over the cloud sheet.
    const d3d::D3DMATRIX& CloudProjection() const { return m_projection; }
    struct Frustum {
        float nearZ, farZ, right, top;
    };
    const Frustum& CloudFrustum() const { return m_frustum; }
    Vec2 CloudOffset() const { return m_cloudOffset; }
    const CountedHandle<CSprite>& CloudSprite() const { return m_cloud; }
    const CountedHandle<CSprite>& RaysSprite() const { return m_flareRays; }
    CProgressOrnaments& Ornaments() { return m_ornaments; }

private:
    void ScrollClouds(float dt);

    enum Texture { kPicture, kCloud, kMask, kFlareRays };

    TurningRays m_rays;
    float m_fieldOfView = 0.0f;
    Vec3 m_cloudCentre{};
    Vec2 m_cloudSize{}; // width (x) and depth (z)
    Vec2 m_cloudSpan{}; // texture repeats over the sheet
    Vec2 m_cloudSpeed{};
    Vec2 m_cloudOffset{};
    ScreenBox m_mask;
    Vec4 m_maskTexels{};

    CountedHandle<CSprite> m_picture;
    CountedHandle<CSprite> m_flareRays;
    CountedHandle<CSprite> m_cloud;
    CountedHandle<CSprite> m_maskSprite;
    CProgressOrnaments m_ornaments;
    Frustum m_frustum{};
    d3d::D3DMATRIX m_projection;
};
