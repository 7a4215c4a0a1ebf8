#include "backgrounds/DoorBackground.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {
const OrnamentLook kDoorLook = {CDoorBackground::kSets, 0, -2, kSoundDoor, false};
} // namespace

CDoorBackground::CDoorBackground()
    : CScene({{"BackgroundDoor", "Door.jpg", TextureLoader::Plain},
              {"DoorShadow", "DoorShadow.jpg", TextureLoader::Plain, "ShadowTexture"},
              {"DoorMask", "DoorMask.tga", TextureLoader::AutoFormat, "MaskTexture"},
              {"DoorFoliage", "DoorFoliage.tga", TextureLoader::AlphaColour, "FoliageTexture"}}),
      m_ornaments(kDoorLook, m_core)
{
    m_curtains.reserve(2);
}

CDoorBackground::~CDoorBackground() { ReleaseObjects(); }

void CDoorBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "Door");
    m_core.ReadTextureFiles(cfg);
    const Vec4 window = cfg.Quad("ShadowT", "16 8 496 120");
    m_shadowWindow = Vec4{window.x / 512.0f, window.y / 128.0f, window.z / 512.0f, window.w / 128.0f};
    const Vec2 nearSway = cfg.Pair("ShadowNearTR", "16 8");
    const Vec2 farSway = cfg.Pair("ShadowFarTR", "8 4");
    m_nearSway = Vec2{nearSway.x / 512.0f, nearSway.y / 128.0f};
    m_farSway = Vec2{farSway.x / 512.0f, farSway.y / 128.0f};
    m_nearSwaySpeed = cfg.Pair("ShadowNearW", "1.1 0.96");
    m_farSwaySpeed = cfg.Pair("ShadowFarW", "0.947 1.21");

    m_foliageShift = cfg.Pair("FoliageShift", "16 16");
    m_moveAmplitude = cfg.Pair("FoliageMove", "8 8");
    m_curtain[0].movePhase = cfg.Pair("FoliageMoveA1", "1 0.4");
    m_curtain[0].moveSpeed = cfg.Pair("FoliageMoveW1", "1.1 0.96");
    m_curtain[1].movePhase = cfg.Pair("FoliageMoveA2", "2 -0.77");
    m_curtain[1].moveSpeed = cfg.Pair("FoliageMoveW2", "0.947 1.21");
    m_swingAmplitude = cfg.Pair("FoliageDisp", "16 8");
    m_curtain[0].swingPhase = cfg.Pair("FoliageA1", "1 0.4");
    m_curtain[0].swingSpeed = cfg.Pair("FoliageW1", "1.1 0.96");
    m_curtain[1].swingPhase = cfg.Pair("FoliageA2", "2 -0.77");
    m_curtain[1].swingSpeed = cfg.Pair("FoliageW2", "0.947 1.21");

    const ScreenBox door = cfg.Box("Door", "366 187 170 268");
    m_door.centre = Vec3{door.x, door.y, 0.0f};
    m_door.size = Vec2{door.width, door.height};
    m_door.topLeft = Vec2{door.x - door.width / 2.0f, door.y + door.height / 2.0f};
    m_door.floor = cfg.Pair("DoorBottom", "264 258");
    m_door.preOpenTime = cfg.Positive("DoorPreTime", "0.25");
    m_door.openTime = cfg.Positive("DoorOpenTime", "2");
    m_door.sand = cfg.Int("UseSand", "0") == 1;
    m_door.sandColour = cfg.Colour("SandColor", "247 217 107 255");
    m_door.dustColour = cfg.Colour("DustColor", "247 217 107 127");
    const Vec2 left = cfg.Pair("SandShift0", "4 4"), right = cfg.Pair("SandShift1", "-4 4");
    m_door.sandShift[0] = Vec2{left.x, -left.y};
    m_door.sandShift[1] = Vec2{right.x, -right.y};
    const Vec2 down = cfg.Pair("SandDown", "446 455");
    m_door.sandStop = 384.0f - down.x;
    m_door.sandFloor = 384.0f - down.y;
    ReadOrnamentSettings(cfg, kOpenAirOrnamentDefaults, kDoorLook, kSets, kSets + 1, &m_ornaments.settings);
}

void CDoorBackground::Init()
{
    m_time = 0.0f;
    // The shadow covers the lower third of the screen.
    m_mesh.SizeForQuads(1);
    const Vec4& w = m_shadowWindow;
    const float z = kOriginZ - 1.0f;
    SceneVertex* q = m_mesh.Quad(0);
    q[0] = SceneVertex{kOriginX - 512.0f, kOriginY - 128.0f, z, 0, w.x, w.y, 0, 0};
    q[1] = SceneVertex{kOriginX + 512.0f, kOriginY - 128.0f, z, 0, w.z, w.y, 1, 0};
    q[2] = SceneVertex{kOriginX + 512.0f, kOriginY - 384.0f, z, 0, w.z, w.w, 1, 1};
    q[3] = SceneVertex{kOriginX - 512.0f, kOriginY - 384.0f, z, 0, w.x, w.w, 0, 1};

    // The curtains hang from the top corners, each shifted outwards and up.
    const float sx = m_foliageShift.x, sy = m_foliageShift.y;
    const Vec2 left[4] = {{-512 - sx, 384 + sy}, {-4 - sx, 384 + sy}, {-4 - sx, 36 + sy}, {-512 - sx, 36 + sy}};
    const Vec2 right[4] = {{4 + sx, 384 + sy}, {512 + sx, 384 + sy}, {512 + sx, 36 + sy}, {4 + sx, 36 + sy}};
    std::copy(left, left + 4, m_curtain[0].quad);
    std::copy(right, right + 4, m_curtain[1].quad);
    Update(0.0f);
}

int CDoorBackground::Build()
{
    // The door is always built closed, whatever it held when it was left.
    m_ornaments.Release();
    m_time = 0.0f;
    const CountedHandle<CTexture>& foliage = m_core.Texture(kFoliage);
    const Vec4 rects[2] = {{0.0f, 0.0f, 0.9921875f, 0.33984375f}, {0.0078125f, 0.34375f, 1.0f, 0.69140625f}};
    for (int k = 0; k < 2; ++k) {
        auto curtain = MakeLayerSprite(kOriginX, kOriginY, kOriginZ, 1, 1, 0xFFFFFFFF, foliage, 1, 0);
        curtain->SetFrameRect(0, rects[k].x, rects[k].y, rects[k].z, rects[k].w);
        const Vec2* c = m_curtain[k].quad;
        const float corners[8] = {c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y};
        curtain->SetVertexOffsets(corners);
        SetDepth(*curtain, true, false);
        curtain->zOrder = 90;
        m_curtains.push_back(m_core.services.Add(curtain));
    }
    m_picture = m_core.MakePicture(false);
    return 0;
}

// The far (upper) and the near (lower) edge of the shadow's window wander
// apart, so the leaves seem to move in a breeze.
void CDoorBackground::SwayShadow()
{
    const float t = m_time;
    const float farU = m_farSway.x * std::sin(m_farSwaySpeed.x * t + 1.0f);
    const float farV = m_farSway.y * std::sin(m_farSwaySpeed.y * t - 1.0f);
    const float nearU = m_nearSway.x * std::sin(m_nearSwaySpeed.x * t + 2.0f);
    const float nearV = m_nearSway.y * std::sin(m_nearSwaySpeed.y * t + 0.7f);
    const Vec4& w = m_shadowWindow;
    SceneVertex* q = m_mesh.Quad(0);
    q[0].u = w.x + farU;
    q[0].v = w.y + farV;
    q[1].u = w.z + farU;
    q[1].v = w.y + farV;
    q[2].u = w.z + nearU;
    q[2].v = w.w + nearV;
    q[3].u = w.x + nearU;
    q[3].v = w.w + nearV;
}

// The upper edge moves a little; the lower edge moves and swings.
void CDoorBackground::SwingFoliage()
{
    if (!m_core.services.sprites || m_curtains.size() != 2 || !m_curtains[0] || !m_curtains[1])
        return;
    const float t = m_time;
    for (int k = 0; k < 2; ++k) {
        const Curtain& c = m_curtain[k];
        const float mx = m_moveAmplitude.x * std::sin(c.moveSpeed.x * t + c.movePhase.x);
        const float my = m_moveAmplitude.y * std::sin(c.moveSpeed.y * t + c.movePhase.y);
        const float dx = m_swingAmplitude.x * std::sin(c.swingSpeed.x * t + c.swingPhase.x) + mx;
        const float dy = m_swingAmplitude.y * std::sin(c.swingSpeed.y * t + c.swingPhase.y) + my;
        const float corners[8] = {c.quad[0].x + mx, c.quad[0].y + my, c.quad[1].x + mx, c.quad[1].y + my,
                                  c.quad[2].x + dx, c.quad[2].y + dy, c.quad[3].x + dx, c.quad[3].y + dy};
        m_curtains[static_cast<size_t>(k)]->SetVertexOffsets(corners);
    }
}

void CDoorBackground::Update(float dt)
{
    m_time += dt;
    SwayShadow();
    SwingFoliage();
    m_ornaments.Update(dt);
    RunDoor(dt);
}

HRESULT CDoorBackground::RenderMesh()
{
    MeshPass shadow;
    shadow.quadCount = 1;
    shadow.layer = m_core.Texture(kShadow);
    shadow.mask = m_core.Texture(kMask);
    // Darkens by the shadow's colour: white is the deepest shade.
    shadow.blend = PassBlend::Darken();
    shadow.clampV = true;
    return RenderMeshPasses(m_core.services, m_mesh, &shadow, 1);
}

HRESULT CDoorBackground::Render()
{
    return m_core.RenderAroundMesh([this] { return RenderMesh(); });
}

void CDoorBackground::SetProgress(int count, int quiet)
{
    const CProgressOrnaments::Change change = m_ornaments.SetProgress(count, quiet);
    if (change.full)
        CreateDoor();
    if (change.fell) {
        DropDoor();
        StopSand();
    }
}

void CDoorBackground::ReleaseObjects()
{
    if (m_core.services.sprites) {
        m_core.services.Drop({&m_picture, &m_cover, &m_doorway, &m_doorLeaf, &m_shade});
        m_core.services.DropAll(&m_curtains);
        m_ornaments.Release();
    }
    StopSand();
}
