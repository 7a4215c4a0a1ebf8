#include "backgrounds/MuseumBackground.h"

#include "engine/Random.h"

#include <algorithm>

using namespace d3d;

namespace {
const OrnamentLook kMuseumLook = {CMuseumBackground::kSets, 1, -1, kSoundMuseum, true};
} // namespace

CMuseumBackground::CMuseumBackground()
    : m_textures{{"BackgroundMuseum", "Museum.jpg", TextureLoader::Plain, {}},
                 {"MuseumDust", "MuseumDust.tga", TextureLoader::AlphaGrey, {}},
                 {"MuseumDustMask", "MuseumDustMask.tga", TextureLoader::AutoFormat, {}},
                 {"MuseumFlareRays", "MuseumFlareRays.tga", TextureLoader::AlphaColour, {}}},
      m_ornaments(kMuseumLook, m_services, m_textures[kPicture].texture, m_flareTexture, m_sparkTexture)
{}

CMuseumBackground::~CMuseumBackground()
{
    ReleaseObjects();
    ReleaseTextures();
}

void CMuseumBackground::SetDevice(const CountedHandle<CRenderDevice>& device,
                                  const CountedHandle<CVertexBuffer>& vertices,
                                  const CountedHandle<CIndexBuffer>& indices)
{
    m_services.SetDevice(device, vertices, indices);
}

void CMuseumBackground::SetResources(const CountedHandle<CSpriteRenderer>& sprites,
                                     const CountedHandle<CParticleSystemsManager>& particles,
                                     const CountedHandle<CFlareRenderer>& flares,
                                     const CountedHandle<CTexture>& flareTexture,
                                     const CountedHandle<CTexture>& sparkTexture)
{
    m_services.sprites = sprites;
    m_services.particles = particles;
    m_services.flares = flares;
    m_flareTexture = flareTexture;
    m_sparkTexture = sparkTexture;
}

void CMuseumBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Museum");
    m_textures[kDust].file = cfg.Text("DustTexture", "MuseumDust.tga");
    m_textures[kDustMask].file = cfg.Text("DustMaskTexture", "MuseumDustMask.tga");
    m_textures[kFlareRays].file = cfg.Text("FlareRaysTexture", "MuseumFlareRays.tga");
    const int layers = std::clamp(cfg.Int("DustLayersCount", "4"), 0, kMaxCountedQuads);
    m_dustSize = cfg.Float("DustSizeFactor", "4");
    m_dust.assign(static_cast<size_t>(layers), DustLayer{});
    for (int n = 0; n < layers; ++n)
        m_dust[static_cast<size_t>(n)].velocity =
            TurnedDrift(cfg.Pair(Numbered("DustVec_", n).c_str(), "0.001 -0.002"), n);
    m_raysCentre = cfg.Position("FlareCenter", "291 213");
    m_raysSize = cfg.Pair("FlareRaysSize", "714 714");
    m_raysSpin = kTwoPi / cfg.NonZero("FlareRaysRotT", "12");
    m_raysColour = cfg.Colour("FlareRaysColor", "255 255 255 200");
    ReadOrnamentSettings(cfg, kGalleryOrnamentDefaults, kMuseumLook, kSets + 1, kSets + 1, &m_ornaments.settings);
    m_mapFadeTime = cfg.Positive("MapTime", "0.4");
    m_mapExpandTime = cfg.Positive("MapExpandTime", "0.5");
    m_mapStart = std::clamp(cfg.Float("MapBegin", "0.4"), 0.0f, 1.0f);
    m_mapHoldTime = std::max(m_mapFadeTime, m_mapExpandTime);
}

void CMuseumBackground::Init()
{
    m_mesh.SizeForQuads(m_dust.size());
    for (size_t n = 0; n < m_dust.size(); ++n) {
        FullScreenQuad(m_mesh.Quad(n), kOriginZ - 1.0f, 0);
        DustCorners(static_cast<int>(n), m_dustSize, m_dust[n].corners);
        m_dust[n].offset.x = RandomUnit();
        m_dust[n].offset.y = RandomUnit();
    }
    Update(0.0f);
}

bool CMuseumBackground::LoadTextures(const std::string& folder)
{
    return m_services.device && LoadSceneTextures(*m_services.device, folder, &m_textures);
}

int CMuseumBackground::Build()
{
    m_flareRays = MakeLayerSprite(m_raysCentre.x, m_raysCentre.y, kOriginZ, m_raysSize.x, m_raysSize.y,
                                  m_raysColour, m_textures[kFlareRays].texture, 1, 3);
    SetDepth(*m_flareRays, true, false);
    m_flareRays->spinning = 1;
    m_flareRays->spinSpeed = m_raysSpin;
    m_flareRays->zOrder = -10;
    m_services.Add(m_flareRays);

    m_picture = MakeMainSprite(kOriginX, kOriginY, kOriginZ, kScreenWidth, kScreenHeight, 0xFFFFFFFF,
                               m_textures[kPicture].texture);
    m_picture->SetFrameRect(0, 0.0f, 0.0f, 1.0f, 0.75f);
    SetDepth(*m_picture, false, false);
    m_picture->zOrder = 100;
    m_services.Add(m_picture);
    return 0;
}

void CMuseumBackground::DriftDust(float dt)
{
    for (size_t n = 0; n < m_dust.size(); ++n) {
        DustLayer& layer = m_dust[n];
        layer.offset.x = WrapUnit(layer.offset.x + layer.velocity.x * dt);
        layer.offset.y = WrapUnit(layer.offset.y + layer.velocity.y * dt);
        SceneVertex* q = m_mesh.Quad(n);
        q[0].u = layer.offset.x;
        q[0].v = layer.offset.y;
        for (int k = 0; k < 3; ++k) {
            q[k + 1].u = layer.offset.x + layer.corners[k].x;
            q[k + 1].v = layer.offset.y + layer.corners[k].y;
        }
    }
}

void CMuseumBackground::Update(float dt)
{
    DriftDust(dt);
    m_ornaments.Update(dt);
    UnrollMap(dt);
}

CountedHandle<CSprite> CMuseumBackground::Map() const
{
    const auto& rays = m_ornaments.Rays();
    return rays.size() > static_cast<size_t>(kSets) ? rays[kSets] : CountedHandle<CSprite>();
}

void CMuseumBackground::MakeMap()
{
    const OrnamentSettings& s = m_ornaments.settings;
    const ScreenBox& box = s.rays[kSets];
    const Vec4& t = s.rayTexels[kSets];
    auto map = MakeLayerSprite(box.x + kOriginX, box.y + kOriginY, kOriginZ, box.width, box.height, s.raysColour,
                               m_textures[kPicture].texture, 1, s.raysPreset);
    // Rolled up: only the upper part of the quad and of its picture shows.
    map->SetFrameRect(0, t.x, t.y, t.z, t.y + (t.w - t.y) * m_mapStart);
    const float corners[8] = {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f - m_mapStart, -0.5f, 0.5f - m_mapStart};
    map->SetVertexOffsets(corners);
    map->zOrder = -1;
    map->SetAlphaNow(0.0f);
    map->fadeSpeed = 1.0f / m_mapFadeTime;
    map->SetAngle(s.rayAngles[kSets]);
    m_mapShown = m_mapStart;
    m_ornaments.AppendRay(m_services.Add(map));
}

// The map's slot runs after the fifth gem's flare: it fades in, then unrolls
// downwards, and stays as drawn.
void CMuseumBackground::UnrollMap(float dt)
{
    const CountedHandle<CSprite> map = Map();
    int32_t& state = m_ornaments.ClosingState();
    float& timer = m_ornaments.ClosingTimer();
    if (!map)
        return;
    const OrnamentSettings& s = m_ornaments.settings;
    if (state == 1) {
        timer += dt;
        if (timer >= s.flareTime) {
            map->FadeTo(1.0f);
            state = 2;
        }
    } else if (state == 2) {
        timer += dt;
        const float k = std::min(1.0f, (timer - s.flareTime) / m_mapExpandTime);
        m_mapShown = m_mapStart + (1.0f - m_mapStart) * k;
        const float lower = 0.5f - m_mapShown;
        const float corners[8] = {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f, lower, -0.5f, lower};
        map->SetVertexOffsets(corners);
        const Vec4& t = s.rayTexels[kSets];
        const float v = t.y + (t.w - t.y) * m_mapShown;
        const float uv[8] = {t.x, t.y, t.z, t.y, t.z, v, t.x, v};
        map->SetFrameQuad(0, uv);
        if (timer >= s.flareTime + m_mapHoldTime)
            state = 0;
    }
}

HRESULT CMuseumBackground::RenderMesh()
{
    MeshPass dust;
    dust.quadCount = m_dust.size();
    dust.layer = m_textures[kDust].texture;
    dust.mask = m_textures[kDustMask].texture;
    return RenderMeshPasses(m_services, m_mesh, &dust, 1);
}

HRESULT CMuseumBackground::Render()
{
    if (!m_services.sprites)
        return D3D_OK;
    m_services.sprites->Render();
    m_services.sprites->RenderLayer(1);
    return RenderMesh();
}

void CMuseumBackground::SetProgress(int count, int quiet)
{
    if (m_ornaments.SetProgress(count, quiet).full)
        MakeMap();
}

int CMuseumBackground::ReleaseTextures()
{
    ReleaseSceneTextures(m_services.device.Get(), &m_textures);
    return 1;
}

void CMuseumBackground::ReleaseObjects()
{
    if (!m_services.sprites)
        return;
    m_services.Drop(&m_picture);
    m_services.Drop(&m_flareRays);
    m_ornaments.Release();
}
