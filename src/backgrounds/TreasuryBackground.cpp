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
    : CScene({{"BackgroundTreasury", "Treasury.jpg", TextureLoader::Plain},
              {"TreasuryDust", "TreasuryDust.tga", TextureLoader::AlphaGrey, "DustTexture"},
              {"TreasuryMask", "TreasuryMask.tga", TextureLoader::AutoFormat, "MaskTexture"},
              {"TreasuryElements", "TreasuryElements.tga", TextureLoader::AlphaColour, "ElementsTexture"},
              {"TreasuryRays", "TreasuryRays.jpg", TextureLoader::Plain}}),
      m_ornaments(kTreasuryLook, m_core)
{
    m_chestRays.reserve(32);
    m_pieces.reserve(64);
    m_pieceVelocities.reserve(64);
    m_pieceLifts.reserve(64);
    m_worms.reserve(20);
    m_wormRecords.reserve(20);
}

CTreasuryBackground::~CTreasuryBackground() { ReleaseObjects(); }

void CTreasuryBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Treasury");
    m_core.ReadTextureFiles(cfg);
    m_dust.Read(cfg, true);
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
    m_dust.Init(&m_mesh, 2, kOriginZ - 10.0f, 0xFFFFFFFF);
    m_sunAngle = 0.0f;
}

int CTreasuryBackground::Build()
{
    // The vault is always built closed, whatever it held when it was left.
    m_ornaments.Release();
    const CountedHandle<CTexture>& elements = m_core.Texture(kElements);
    // The carved arch over the vault, drawn over the dust and the sun rays.
    m_chestTop = MakeLayerSprite(-34.5f, 268.5f, 988.0f, 482, 232, 0xFFFFFFFF, elements, 1, 0);
    m_chestTop->SetFrameRect(0, 0.0f, 0.0f, 0.94140625f, 0.453125f);
    SetDepth(*m_chestTop, false, false);
    m_chestTop->zOrder = -11;
    m_core.services.Add(m_chestTop);
    MakeLidAndBand();
    m_picture = m_core.MakePicture(false);
    return 0;
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
    SceneVertex* first = m_mesh.Quad(m_dust.Count());
    SceneVertex* mirrored = m_mesh.Quad(m_dust.Count() + 1);
    for (int k = 0; k < 4; ++k) {
        first[k].u = m_sunForm[k].x + d.x;
        first[k].v = m_sunForm[k].y + d.y;
        mirrored[k].u = 1.0f - m_sunForm[k].x + d.x;
        mirrored[k].v = m_sunForm[k].y - d.y;
    }
}

void CTreasuryBackground::Update(float dt)
{
    m_dust.Drift(&m_mesh, dt);
    SwaySunRays(dt);
    m_ornaments.Update(dt);
    RunChest(dt);
}

HRESULT CTreasuryBackground::RenderMesh()
{
    MeshPass passes[2];
    passes[0].quadCount = m_dust.Count();
    passes[0].layer = m_core.Texture(kDust);
    passes[0].mask = m_core.Texture(kMask);
    passes[0].blend = m_dustAdditive ? PassBlend::Additive() : PassBlend::Alpha();
    // White dust takes its colour from the vertices, its shape from the texture.
    passes[0].vertexColour = m_dustWhite;
    passes[1].firstQuad = m_dust.Count();
    passes[1].quadCount = 2;
    passes[1].layer = m_core.Texture(kRays);
    passes[1].mask = m_core.Texture(kMask);
    passes[1].blend = PassBlend::Additive();
    passes[1].clampU = true;
    return RenderMeshPasses(m_core.services, m_mesh, passes, 2);
}

HRESULT CTreasuryBackground::Render()
{
    return m_core.RenderAroundMesh([this] { return RenderMesh(); });
}

void CTreasuryBackground::SetProgress(int count, int quiet)
{
    if (m_ornaments.SetProgress(count, quiet).fell)
        UndoChest();
}

void CTreasuryBackground::ReleaseObjects()
{
    m_core.services.Drop({&m_picture, &m_chestTop, &m_lid, &m_band});
    m_ornaments.Release();
    DropChest();
}
