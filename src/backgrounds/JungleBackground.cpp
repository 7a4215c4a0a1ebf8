#include "backgrounds/JungleBackground.h"

#include "engine/Log.h"
#include "engine/Random.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <new>

using namespace d3d;

namespace {
const OrnamentLook kJungleLook = {CJungleBackground::kSets, 0, -2, kSoundFlare, false};

// A glint looks this many times for a bright start in its parallelogram, and
// tries this many directions from each start for a bright end, before the
// batch goes without it: a mask with no bright water must not hang a frame.
constexpr int kStartTries = 32;
constexpr int kEndTries = 10;
// A start needs more than this mask byte; an end more than the second.
constexpr int kStartThreshold = 16;
constexpr int kEndThreshold = 128;
// However short "FlashT" is set, one frame makes no more glints than this.
constexpr float kMostFlashesPerFrame = 256.0f;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
} // namespace

CJungleBackground::CJungleBackground()
    : CScene({{"BackgroundJungle", "Jungle.jpg", TextureLoader::Plain},
              {"JungleFog", "JungleFog.jpg", TextureLoader::Plain, "FogTexture"},
              {"JungleMask", "JungleMask.tga", TextureLoader::AutoFormat, "MaskTexture"},
              {"JungleFlareRays", "JungleFlareRays.tga", TextureLoader::AlphaColour, "FlareRaysTexture"}}),
      m_ornaments(kJungleLook, m_core)
{}

CJungleBackground::~CJungleBackground() { ReleaseObjects(); }

void CJungleBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Jungle");
    m_core.ReadTextureFiles(cfg);
    const Vec4 fog = cfg.Quad("Fog", "192 242 740 332");
    m_fog = Vec4{fog.x - 512.0f, 384.0f - fog.y, fog.z, fog.w};
    m_fogRepeats = cfg.Pair("FogTSize", "2.890625 1");
    m_fogDrift = cfg.Pair("FogTVector", "0.01 0");
    m_rays.Read(cfg, "302 81", "-61");

    const Vec4 area = cfg.Quad("FlashArea", "288 412 412 164");
    m_areaTopLeft = Vec2{area.x - 512.0f, 384.0f - area.y};
    m_areaSize = Vec2{area.z, area.w};
    m_areaBottomLeft = Vec2{m_areaTopLeft.x, m_areaTopLeft.y - area.w};
    const Vec4 basis = cfg.Quad("FlashBasis", "412 -72 0 -92");
    m_basis1 = Vec2{basis.x, -basis.y};
    m_basis2 = Vec2{basis.z, -basis.w};
    m_flashInterval = cfg.Positive("FlashT", "0.1");
    m_flashLife = cfg.Positive("FlashLifeTime", "0.5");
    m_flashColour = cfg.Colour("FlashColor", "255 240 200 255");
    m_flashBrightness = static_cast<float>(m_flashColour >> 24) / 255.0f;
    m_flashSize = cfg.Float("FlashSize", "4");
    m_gatherX = cfg.Float("FlashCenter", "420") - 512.0f;
    m_flashMinSpeed = cfg.Float("FlashMinSpeed", "10");
    m_flashMaxSpeed = cfg.Float("FlashMaxSpeed", "40");
    ReadOrnamentSettings(cfg, kOpenAirOrnamentDefaults, kJungleLook, kSets, kSets + 1, &m_ornaments.settings);
}

void CJungleBackground::Init()
{
    m_mesh.SizeForQuads(1);
    const float x = m_fog.x + kOriginX, y = m_fog.y + kOriginY, w = m_fog.z, h = m_fog.w, z = kOriginZ - 1.0f;
    SceneVertex* q = m_mesh.Quad(0);
    q[0] = SceneVertex{x, y, z, 0, 0, 0, 0, 0};
    q[1] = SceneVertex{x + w, y, z, 0, 0, 0, 1, 0};
    q[2] = SceneVertex{x + w, y - h, z, 0, 0, 0, 1, 1};
    q[3] = SceneVertex{x, y - h, z, 0, 0, 0, 0, 1};
    Update(0.0f);
}

bool CJungleBackground::LoadFlashMask(const std::string& path)
{
    m_mask.clear();
    try {
        std::vector<uint8_t> file;
        if (!plat::ReadWholeFile(path, &file)) {
            WriteLog("JungleFlashMask.bmp File not found!\n");
            return false;
        }
        constexpr size_t kHeaders = 14 + 40;
        constexpr size_t kPixels = static_cast<size_t>(kMaskWidth) * kMaskHeight;
        if (file.size() < kHeaders || Le32(file, 18) != static_cast<uint32_t>(kMaskWidth) ||
            Le32(file, 22) != static_cast<uint32_t>(kMaskHeight)) {
            WriteLog("Error loading JungleFlashMask.bmp file!\n");
            return false;
        }
        const size_t offset = Le32(file, 10);
        if (offset > file.size() || file.size() - offset < kPixels * 3) {
            WriteLog("Error loading JungleFlashMask.bmp file!\n");
            return false;
        }
        // Bottom row first in the file, top row first in the mask; the first
        // byte of each pixel is its brightness.
        std::vector<uint8_t> mask(kPixels);
        for (int row = 0; row < kMaskHeight; ++row) {
            const uint8_t* line = &file[offset + static_cast<size_t>(kMaskHeight - 1 - row) * kMaskWidth * 3];
            for (int col = 0; col < kMaskWidth; ++col)
                mask[static_cast<size_t>(row) * kMaskWidth + static_cast<size_t>(col)] = line[col * 3];
        }
        m_mask.swap(mask);
        return true;
    } catch (const std::bad_alloc&) {
        WriteLog("Error loading JungleFlashMask.bmp file, unknown error!\n");
        return false;
    }
}

int CJungleBackground::Build()
{
    m_flashTimer = 0.0f;
    m_flareRays = m_core.MakeTurningRays(m_rays, kFlareRays);

    m_picture = m_core.MakePicture(false);
    m_flashes.clear();
    m_flashVelocities.clear();
    return 0;
}

void CJungleBackground::DriftFog(float dt)
{
    m_fogOffset.x = WrapUnit(m_fogOffset.x + m_fogDrift.x * dt);
    m_fogOffset.y = WrapUnit(m_fogOffset.y + m_fogDrift.y * dt);
    SceneVertex* q = m_mesh.Quad(0);
    const float u = m_fogOffset.x, v = m_fogOffset.y;
    q[0].u = u;
    q[0].v = v;
    q[1].u = u + m_fogRepeats.x;
    q[1].v = v;
    q[2].u = u + m_fogRepeats.x;
    q[2].v = v + m_fogRepeats.y;
    q[3].u = u;
    q[3].v = v + m_fogRepeats.y;
}

int CJungleBackground::MaskAt(float x, float y) const
{
    if (m_mask.empty() || !(m_areaSize.x > 0.0f) || !(m_areaSize.y > 0.0f))
        return -1;
    const float col = std::floor((x - m_areaTopLeft.x) / m_areaSize.x * kMaskWidth);
    const float row = std::floor((m_areaTopLeft.y - y) / m_areaSize.y * kMaskHeight);
    if (!(col >= 0.0f && col < kMaskWidth && row >= 0.0f && row < kMaskHeight))
        return -1;
    return m_mask[static_cast<size_t>(row) * kMaskWidth + static_cast<size_t>(col)];
}

void CJungleBackground::MoveFlashes(float dt)
{
    for (size_t i = 0; i < m_flashes.size();) {
        CFlare& f = *m_flashes[i];
        if (f.age >= f.fadeOutStart && f.alpha <= 0.0f) {
            m_flashes.erase(m_flashes.begin() + static_cast<std::ptrdiff_t>(i));
            m_flashVelocities.erase(m_flashVelocities.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        f.x += m_flashVelocities[i].x * dt;
        f.y += m_flashVelocities[i].y * dt;
        ++i;
    }
}

// A glint starts on bright water, drawn towards the gathering line so the
// glints crowd where the stream narrows, and glides to another bright spot.
void CJungleBackground::MakeFlash()
{
    const float c = m_gatherX;
    const float left = c - m_areaTopLeft.x;
    const float right = m_areaTopLeft.x + m_areaSize.x - c;
    for (int start = 0; start < kStartTries; ++start) {
        Vec2 p{m_areaBottomLeft.x + kOriginX, m_areaBottomLeft.y + kOriginY};
        const float a = RandomUnit(), b = RandomUnit();
        p.x += a * m_basis1.x + b * m_basis2.x;
        p.y += a * m_basis1.y + b * m_basis2.y;
        if (p.x >= c && right > 0.0f)
            p.x = c + right * std::pow((p.x - c) / right, 3.0f);
        else if (p.x < c && left > 0.0f)
            p.x = c - left * std::pow((c - p.x) / left, 3.0f);
        const int byte = MaskAt(p.x, p.y);
        if (byte <= kStartThreshold)
            continue;
        const float brightness = static_cast<float>(byte) * m_flashBrightness / 255.0f;
        const float life = (1.25f - 0.5f * RandomUnit()) * m_flashLife;
        const float distance = (m_flashMinSpeed + (m_flashMaxSpeed - m_flashMinSpeed) * RandomUnit()) * life;
        for (int end = 0; end < kEndTries; ++end) {
            const float angle = RandomUnit() * kTwoPi;
            const Vec2 e{p.x + distance * std::cos(angle), p.y + distance * std::sin(angle)};
            if (MaskAt(e.x, e.y) <= kEndThreshold)
                continue;
            auto flash = MakeCountedHandle(
                new CFlare(p.x, p.y, kOriginZ - 3.0f, m_core.resources.jungleFlash, m_flashColour));
            flash->SetSize(m_flashSize, m_flashSize);
            flash->alphaFactor = brightness;
            flash->flickerDepth = 0.0f;
            flash->fadeIn = 0.45f * life;
            flash->fadeOutStart = 0.5f * life;
            flash->fadeOut = 0.5f * life;
            m_core.services.flares->Add(flash);
            m_flashes.push_back(flash);
            m_flashVelocities.push_back(Vec2{(e.x - p.x) / life, (e.y - p.y) / life});
            return;
        }
    }
}

void CJungleBackground::Update(float dt)
{
    DriftFog(dt);
    MoveFlashes(dt);
    m_flashTimer += dt;
    const float batch = std::floor(m_flashTimer / m_flashInterval);
    if (batch >= 1.0f) {
        m_flashTimer -= batch * m_flashInterval;
        // Without a mask there is no water to glint on.
        if (!m_mask.empty() && m_core.services.flares)
            for (int i = 0; i < static_cast<int>(std::min(batch, kMostFlashesPerFrame)); ++i)
                MakeFlash();
    }
    m_ornaments.Update(dt);
    m_ornaments.SettleClosingFlare(dt);
}

HRESULT CJungleBackground::RenderMesh()
{
    MeshPass fog;
    fog.quadCount = 1;
    fog.layer = m_core.Texture(kFog);
    fog.mask = m_core.Texture(kMask);
    fog.blend = PassBlend::Additive();
    return RenderMeshPasses(m_core.services, m_mesh, &fog, 1);
}

HRESULT CJungleBackground::Render()
{
    return m_core.RenderAroundMesh([this] { return RenderMesh(); });
}

void CJungleBackground::SetProgress(int count, int quiet) { m_ornaments.SetProgress(count, quiet); }

void CJungleBackground::ReleaseObjects()
{
    m_core.services.Drop({&m_picture, &m_flareRays});
    m_ornaments.Release();
    // Glints already in the flare renderer run out by themselves.
    m_flashes.clear();
    m_flashVelocities.clear();
}
