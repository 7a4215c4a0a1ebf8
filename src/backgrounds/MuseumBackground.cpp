#include "backgrounds/MuseumBackground.h"

#include "engine/Random.h"

#include <algorithm>

using namespace d3d;

namespace {
const OrnamentLook kMuseumLook = {CMuseumBackground::kSets, 1, -1, kSoundMuseum, true};
} // namespace

CMuseumBackground::CMuseumBackground()
    : CScene({{"BackgroundMuseum", "Museum.jpg", TextureLoader::Plain},
              {"MuseumDust", "MuseumDust.tga", TextureLoader::AlphaGrey, "DustTexture"},
              {"MuseumDustMask", "MuseumDustMask.tga", TextureLoader::AutoFormat, "DustMaskTexture"},
              {"MuseumFlareRays", "MuseumFlareRays.tga", TextureLoader::AlphaColour, "FlareRaysTexture"}}),
      m_ornaments(kMuseumLook, m_core)
{}

CMuseumBackground::~CMuseumBackground() { ReleaseObjects(); }

void CMuseumBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Museum");
    m_core.ReadTextureFiles(cfg);
    m_dust.Read(cfg, false);
    m_rays.Read(cfg, "291 213", "12");
    m_rays.colour = cfg.Colour("FlareRaysColor", "255 255 255 200");
    ReadOrnamentSettings(cfg, kGalleryOrnamentDefaults, kMuseumLook, kSets + 1, kSets + 1, &m_ornaments.settings);
    m_mapFadeTime = cfg.Positive("MapTime", "0.4");
    m_mapExpandTime = cfg.Positive("MapExpandTime", "0.5");
    m_mapStart = std::clamp(cfg.Float("MapBegin", "0.4"), 0.0f, 1.0f);
    m_mapHoldTime = std::max(m_mapFadeTime, m_mapExpandTime);
}

void CMuseumBackground::Init()
{
    m_dust.Init(&m_mesh, 0, kOriginZ - 1.0f, 0);
    Update(0.0f);
}

int CMuseumBackground::Build()
{
    m_flareRays = m_core.MakeTurningRays(m_rays, kFlareRays);
    // The rays are the last sprites of layer 1: drawn in a layer of their
    // own right after it, they keep their place.
    m_flareRays->layer = kFaintLayer;
    m_picture = m_core.MakePicture(false);
    return 0;
}

void CMuseumBackground::Update(float dt)
{
    m_dust.Drift(&m_mesh, dt);
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
                               m_core.Texture(kPicture), 1, s.raysPreset);
    // Rolled up: only the upper part of the quad and of its picture shows.
    map->SetFrameRect(0, t.x, t.y, t.z, t.y + (t.w - t.y) * m_mapStart);
    const float corners[8] = {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f - m_mapStart, -0.5f, 0.5f - m_mapStart};
    map->SetVertexOffsets(corners);
    map->zOrder = -1;
    map->SetAlphaNow(0.0f);
    map->fadeSpeed = 1.0f / m_mapFadeTime;
    map->SetAngle(s.rayAngles[kSets]);
    m_mapShown = m_mapStart;
    m_ornaments.AppendRay(m_core.services.Add(map));
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

HRESULT CMuseumBackground::RenderMesh(const SceneView& view)
{
    MeshPass dust;
    dust.quadCount = m_dust.Count();
    dust.layer = m_core.Texture(kDust);
    dust.mask = m_core.Texture(kDustMask);
    dust.faint = true;
    return RenderMeshPasses(m_core.services, m_mesh, &dust, 1, view);
}

HRESULT CMuseumBackground::Render(const SceneView& view)
{
    if (!m_core.services.sprites)
        return D3D_OK;
    m_core.services.sprites->Render();
    m_core.services.sprites->RenderLayer(1);
    if (m_core.services.device)
        DrawFaint(*m_core.services.device, view, [&] { m_core.services.sprites->RenderLayer(kFaintLayer); });
    return RenderMesh(view);
}

void CMuseumBackground::SetProgress(int count, int quiet)
{
    if (m_ornaments.SetProgress(count, quiet).full)
        MakeMap();
}

void CMuseumBackground::ReleaseObjects()
{
    m_core.services.Drop({&m_picture, &m_flareRays});
    m_ornaments.Release();
}
