#include "backgrounds/TreasuryBackground.h"

#include "engine/Random.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {
const OrnamentLook kTreasuryLook = {CTreasuryBackground::kSets, 0, -1, kSoundTreasure, true};
// However "ChestCrack" is set, the lid breaks into at most this many columns
// and rows (twice over): every piece is a sprite of the frame.
constexpr int kMostCracks = 64;
} // namespace

CTreasuryBackground::CTreasuryBackground()
    : m_textures{{"BackgroundTreasury", "Treasury.jpg", TextureLoader::Plain, {}},
                 {"TreasuryDust", "TreasuryDust.tga", TextureLoader::AlphaGrey, {}},
                 {"TreasuryMask", "TreasuryMask.tga", TextureLoader::AutoFormat, {}},
                 {"TreasuryElements", "TreasuryElements.tga", TextureLoader::AlphaColour, {}},
                 {"TreasuryRays", "TreasuryRays.jpg", TextureLoader::Plain, {}}},
      m_ornaments(kTreasuryLook, m_services, m_textures[kPicture].texture, m_flareTexture, m_sparkTexture)
{
    m_dust.reserve(4);
    m_chestRays.reserve(32);
    m_pieces.reserve(64);
    m_pieceVelocities.reserve(64);
    m_pieceLifts.reserve(64);
    m_worms.reserve(20);
    m_wormRecords.reserve(20);
}

CTreasuryBackground::~CTreasuryBackground()
{
    ReleaseObjects();
    ReleaseTextures();
}

void CTreasuryBackground::SetDevice(const CountedHandle<CRenderDevice>& device,
                                    const CountedHandle<CVertexBuffer>& vertices,
                                    const CountedHandle<CIndexBuffer>& indices)
{
    m_services.SetDevice(device, vertices, indices);
}

void CTreasuryBackground::SetResources(const CountedHandle<CSpriteRenderer>& sprites,
                                       const CountedHandle<CParticleSystemsManager>& particles,
                                       const CountedHandle<CFlareRenderer>& flares,
                                       const CountedHandle<CTexture>& flareTexture,
                                       const CountedHandle<CTexture>& sparkTexture,
                                       const CountedHandle<CTexture>& haloTexture)
{
    m_services.sprites = sprites;
    m_services.particles = particles;
    m_services.flares = flares;
    m_flareTexture = flareTexture;
    m_sparkTexture = sparkTexture;
    m_haloTexture = haloTexture;
}

void CTreasuryBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Treasury");
    m_textures[kDust].file = cfg.Text("DustTexture", "TreasuryDust.tga");
    m_textures[kMask].file = cfg.Text("MaskTexture", "TreasuryMask.tga");
    m_textures[kElements].file = cfg.Text("ElementsTexture", "TreasuryElements.tga");
    const int layers = std::clamp(cfg.Int("DustLayersCount", "4"), 0, kMaxCountedQuads);
    m_dustSize = cfg.Float("DustSizeFactor", "4");
    m_dustAdditive = cfg.Int("DustAdd", "1") == 1;
    m_dustWhite = cfg.Int("WhiteDust", "1") == 1;
    const char* forms[4][2] = {{"SunRaysTForm0", "-0.25 0.1"},
                               {"SunRaysTForm1", "1 0.1"},
                               {"SunRaysTForm2", "1.25 1.1"},
                               {"SunRaysTForm3", "0 1.1"}};
    for (int k = 0; k < 4; ++k)
        m_sunForm[k] = cfg.Pair(forms[k][0], forms[k][1]);
    m_sunDrift1 = cfg.Pair("SunRaysTVec1", "0.25 0");
    m_sunDrift2 = cfg.Pair("SunRaysTVec2", "0 0");
    m_sunSpeed = cfg.Float("SunRaysW", "0.5");
    m_dust.assign(static_cast<size_t>(layers), DustLayer{});
    for (int n = 0; n < layers; ++n) {
        // The pair is read with y down; the vault's dust frame runs y up.
        const Vec2 drift = cfg.Pair(Numbered("DustVec_", n).c_str(), "0.001 -0.002");
        m_dust[static_cast<size_t>(n)].velocity = TurnedDrift(Vec2{drift.x, -drift.y}, n);
    }

    ChestSettings& c = m_chest;
    c.raysColour = cfg.Colour("ChestRaysColor", "255 255 80 255");
    c.raysCentre = cfg.Position("ChestRaysCenter", "480 434");
    c.raysRadius = cfg.Float("ChestRaysR", "120");
    c.raysSize = cfg.Pair("ChestRaysSize", "256 16");
    c.raysTime = cfg.Float("ChestRaysTime", "2");
    c.raysInterval = cfg.Positive("ChestRaysT", "0.2");
    c.fadeTime = cfg.Positive("ChestFadeTime", "0.1");
    const Vec4 form = cfg.Quad("ChestForm", "329 302 302 264");
    c.form = Vec4{form.x - 512.0f, 384.0f - form.y, form.z, form.w};
    c.texels = cfg.TexelRect("ChestTForm", "0 232 302 496", 512.0f, 512.0f);
    const IntPair crack = cfg.Ints("ChestCrack", "8 8");
    c.columns = std::clamp(crack.a, 0, kMostCracks);
    c.rows = std::clamp(crack.b, 0, kMostCracks);
    c.spinAcceleration = cfg.Float("ChestRotAccel", "0.1") * kPi;
    c.lift = cfg.Pair("ChestAccelArea", "100 20");
    c.flashColour = cfg.Colour("ChestFlashColor", "255 255 160 255");
    c.wormColour = cfg.Colour("ChestGlowWormsColor", "0 0 0 0");
    c.wormSize = cfg.Float("ChestGlowWormsSize", "32");
    c.wormSpeed = cfg.Float("ChestGlowWormsSpeed", "300");
    c.wormSway = cfg.Float("ChestGlowWormsW", "3");
    c.wormInterval = cfg.Positive("ChestGlowWormsT", "0.2");

    ReadOrnamentSettings(cfg, kGalleryOrnamentDefaults, kTreasuryLook, kSets, kSets + 1, &m_ornaments.settings);
}

void CTreasuryBackground::Init()
{
    // The dust quads, then two quads of sun rays.
    const size_t layers = m_dust.size();
    m_mesh.SizeForQuads(layers + 2);
    for (size_t q = 0; q < layers + 2; ++q)
        FullScreenQuad(m_mesh.Quad(q), kOriginZ - 10.0f, 0xFFFFFFFF);
    for (size_t n = 0; n < layers; ++n) {
        DustCorners(static_cast<int>(n), m_dustSize, m_dust[n].corners);
        m_dust[n].offset.x = RandomUnit();
        m_dust[n].offset.y = RandomUnit();
    }
    m_sunAngle = 0.0f;
}

bool CTreasuryBackground::LoadTextures(const std::string& folder)
{
    return m_services.device && LoadSceneTextures(*m_services.device, folder, &m_textures);
}

int CTreasuryBackground::Build()
{
    // The vault is always built closed, whatever it held when it was left.
    m_ornaments.Release();
    const CountedHandle<CTexture>& elements = m_textures[kElements].texture;
    // The carved arch over the vault, drawn over the dust and the sun rays.
    m_chestTop = MakeLayerSprite(-34.5f, 268.5f, 988.0f, 482, 232, 0xFFFFFFFF, elements, 1, 0);
    m_chestTop->SetFrameRect(0, 0.0f, 0.0f, 0.94140625f, 0.453125f);
    SetDepth(*m_chestTop, false, false);
    m_chestTop->zOrder = -11;
    m_services.Add(m_chestTop);
    MakeLidAndBand();
    m_picture = MakeMainSprite(kOriginX, kOriginY, kOriginZ, kScreenWidth, kScreenHeight, 0xFFFFFFFF,
                               m_textures[kPicture].texture);
    m_picture->SetFrameRect(0, 0.0f, 0.0f, 1.0f, 0.75f);
    SetDepth(*m_picture, false, false);
    m_picture->zOrder = 100;
    m_services.Add(m_picture);
    return 0;
}

void CTreasuryBackground::DriftDust(float dt)
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

// Both ray layers sway back and forth along the drift, one mirrored.
void CTreasuryBackground::SwaySunRays(float dt)
{
    m_sunAngle += m_sunSpeed * dt;
    if (m_sunAngle >= kTwoPi)
        m_sunAngle -= kTwoPi;
    else if (m_sunAngle < 0.0f)
        m_sunAngle += kTwoPi;
    const float c = std::cos(m_sunAngle);
    const Vec2 d{c * (m_sunDrift1.x + m_sunDrift2.x), c * (m_sunDrift1.y + m_sunDrift2.y)};
    SceneVertex* first = m_mesh.Quad(m_dust.size());
    SceneVertex* mirrored = m_mesh.Quad(m_dust.size() + 1);
    for (int k = 0; k < 4; ++k) {
        first[k].u = m_sunForm[k].x + d.x;
        first[k].v = m_sunForm[k].y + d.y;
        mirrored[k].u = 1.0f - m_sunForm[k].x + d.x;
        mirrored[k].v = m_sunForm[k].y - d.y;
    }
}

void CTreasuryBackground::Update(float dt)
{
    DriftDust(dt);
    SwaySunRays(dt);
    m_ornaments.Update(dt);
    RunChest(dt);
}

HRESULT CTreasuryBackground::RenderMesh()
{
    MeshPass passes[2];
    passes[0].quadCount = m_dust.size();
    passes[0].layer = m_textures[kDust].texture;
    passes[0].mask = m_textures[kMask].texture;
    passes[0].destinationBlend = m_dustAdditive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
    // White dust takes its colour from the vertices, its shape from the texture.
    passes[0].colourOperation = m_dustWhite ? D3DTOP_SELECTARG2 : D3DTOP_SELECTARG1;
    passes[1].firstQuad = m_dust.size();
    passes[1].quadCount = 2;
    passes[1].layer = m_textures[kRays].texture;
    passes[1].mask = m_textures[kMask].texture;
    passes[1].destinationBlend = D3DBLEND_ONE;
    passes[1].clampU = true;
    return RenderMeshPasses(m_services, m_mesh, passes, 2);
}

HRESULT CTreasuryBackground::Render()
{
    if (!m_services.sprites)
        return D3D_OK;
    m_services.sprites->Render();
    m_services.sprites->RenderLayer(0);
    const HRESULT hr = RenderMesh();
    m_services.sprites->RenderLayer(1);
    return hr;
}

void CTreasuryBackground::SetProgress(int count, int quiet)
{
    if (m_ornaments.SetProgress(count, quiet).fell)
        UndoChest();
}

int CTreasuryBackground::ReleaseTextures()
{
    ReleaseSceneTextures(m_services.device.Get(), &m_textures);
    return 1;
}

void CTreasuryBackground::ReleaseObjects()
{
    m_services.Drop(&m_picture);
    m_services.Drop(&m_chestTop);
    m_services.Drop(&m_lid);
    m_services.Drop(&m_band);
    m_ornaments.Release();
    DropChest();
}
