#include "backgrounds/ValleyBackground.h"

#include "platform/D3DX.h"

#include <cmath>

using namespace d3d;

namespace {
const OrnamentLook kValleyLook = {CValleyBackground::kSets, 1, -2, kSoundFlare, false};
} // namespace

CValleyBackground::CValleyBackground()
    : CScene({{"BackgroundValley", "Valley.jpg", TextureLoader::Plain},
              {"ValleyCloud", "ValleyCloud.jpg", TextureLoader::Plain, "CloudTexture"},
              {"ValleyMask", "ValleyMask.tga", TextureLoader::Plain, "MaskTexture"},
              {"ValleyFlareRays", "ValleyFlareRays.tga", TextureLoader::AlphaColour, "FlareRaysTexture"}}),
      m_ornaments(kValleyLook, m_core)
{}

CValleyBackground::~CValleyBackground() { ReleaseObjects(); }

void CValleyBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Valley");
    m_core.ReadTextureFiles(cfg);
    m_rays.Read(cfg, "302 81", "-61");
    m_fieldOfView = cfg.Float("FOV", "45");
    if (!(m_fieldOfView > 0.0f && m_fieldOfView < 180.0f))
        m_fieldOfView = 45.0f;
    m_fieldOfView *= kPi / 180.0f;
    Vec2 position = cfg.Pair("CloudPos", "386 1236");
    m_cloudSize = cfg.Pair("CloudSize", "2100 1250");
    // The sheet must lie in front of the viewer for the view to exist.
    if (!(position.y > 0.0f))
        position.y = 1236.0f;
    if (!(m_cloudSize.y > 0.0f))
        m_cloudSize.y = 1250.0f;
    m_cloudCentre = Vec3{0.0f, position.x, position.y + m_cloudSize.y / 2.0f};
    const float factor = cfg.Float("CloudTFactor", "0.0001");
    m_cloudSpan = Vec2{factor * m_cloudSize.x, factor * m_cloudSize.y};
    m_mask = cfg.Box("Mask", "0 0 1024 248");
    m_maskTexels = cfg.Quad("MaskT", "0 0 256 62");
    m_maskTexels =
        Vec4{m_maskTexels.x / 256.0f, m_maskTexels.y / 64.0f, m_maskTexels.z / 256.0f, m_maskTexels.w / 64.0f};
    m_cloudSpeed = cfg.Pair("CloudTSpeed", "0.1");
    ReadOrnamentSettings(cfg, kOpenAirOrnamentDefaults, kValleyLook, kSets, kSets + 1, &m_ornaments.settings);
}

void CValleyBackground::Init()
{
    const float half = m_cloudSize.y / 2.0f;
    const float centreZ = m_cloudCentre.z;
    m_frustum.nearZ = (centreZ - half) * 0.9f;
    m_frustum.farZ = (centreZ + half) * 1.1f;
    m_frustum.right = std::tan(m_fieldOfView / 2.0f) * m_frustum.nearZ;
    m_frustum.top = m_frustum.right * 0.75f;
    D3DXMatrixPerspectiveOffCenterLH(&m_projection, -m_frustum.right, m_frustum.right, -m_frustum.top,
                                     m_frustum.top, m_frustum.nearZ, m_frustum.farZ);
    Update(0.0f);
}

int CValleyBackground::Build()
{
    const uint32_t white = 0xFFFFFFFF;
    m_flareRays = m_core.MakeTurningRays(m_rays, kFlareRays);

    // The picture is screened over the clouds: its dark sky lets them show.
    m_picture = MakeLayerSprite(kOriginX, kOriginY, kOriginZ, kScreenWidth, kScreenHeight, white,
                                m_core.Texture(kPicture), 1, 3);
    m_picture->SetFrameRect(0, 0.0f, 0.0f, 1.0f, 0.75f);
    SetDepth(*m_picture, false, false);
    m_picture->zOrder = 100;
    m_core.services.Add(m_picture);

    m_maskSprite = MakeLayerSprite(m_mask.x + kOriginX, m_mask.y + kOriginY, kOriginZ, m_mask.width, m_mask.height,
                                   white, m_core.Texture(kMask), 1, 2);
    m_maskSprite->SetFrameRect(0, m_maskTexels.x, m_maskTexels.y, m_maskTexels.z, m_maskTexels.w);
    SetDepth(*m_maskSprite, false, false);
    m_maskSprite->zOrder = 101;
    m_core.services.Add(m_maskSprite);

    // Flat and level above the viewer, seen from below.
    m_cloud = MakeMainSprite(m_cloudCentre.x, m_cloudCentre.y, m_cloudCentre.z, m_cloudSize.x, m_cloudSize.y,
                             white, m_core.Texture(kCloud));
    SetDepth(*m_cloud, false, false);
    m_cloud->zOrder = 102;
    const float across[3] = {1, 0, 0}, ahead[3] = {0, 0, 1};
    m_cloud->SetAxes(across, ahead, 1);
    m_core.services.Add(m_cloud);
    ScrollClouds(0.0f);
    return 0;
}

void CValleyBackground::ScrollClouds(float dt)
{
    if (!m_cloud)
        return;
    m_cloudOffset.x = WrapUnit(m_cloudOffset.x + dt * m_cloudSpeed.x);
    m_cloudOffset.y = WrapUnit(m_cloudOffset.y + dt * m_cloudSpeed.y);
    const float u = m_cloudOffset.x, v = m_cloudOffset.y;
    const float uv[8] = {u, v, u + m_cloudSpan.x, v, u + m_cloudSpan.x, v + m_cloudSpan.y, u, v + m_cloudSpan.y};
    m_cloud->SetFrameQuad(0, uv);
}

void CValleyBackground::Update(float dt)
{
    ScrollClouds(dt);
    m_ornaments.Update(dt);
    m_ornaments.SettleClosingFlare(dt);
}

HRESULT CValleyBackground::Render()
{
    CSpriteRenderer* sprites = m_core.services.sprites.Get();
    CRenderDevice* device = m_core.services.device.Get();
    if (!sprites || !device || !device->Device())
        return D3D_OK;
    D3DMATRIX frame;
    device->Device()->GetTransform(D3DTS_PROJECTION, &frame);
    device->SetTransform(D3DTS_PROJECTION, m_projection);
    sprites->Render();
    device->SetTransform(D3DTS_PROJECTION, frame);
    sprites->RenderLayer(1);
    return D3D_OK;
}

void CValleyBackground::SetProgress(int count, int quiet) { m_ornaments.SetProgress(count, quiet); }

void CValleyBackground::ReleaseObjects()
{
    m_core.services.Drop({&m_picture, &m_flareRays, &m_cloud, &m_maskSprite});
    m_ornaments.Release();
}
