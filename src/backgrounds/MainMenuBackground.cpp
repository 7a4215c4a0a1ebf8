#include "backgrounds/MainMenuBackground.h"

#include "engine/Random.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {
// Element rectangles are texels of a 512 x 1024 texture.
constexpr float kElementsWidth = 512.0f;
constexpr float kElementsHeight = 1024.0f;
// However "FoliageCells" is set, the block is cut into at most this many
// columns and rows: every cell is a sprite drawn in one batch.
constexpr int kMostFoliageCells = 100;

Vec4 ElementTexels(const CSceneSettings& cfg, const char* key, const char* defaultText)
{
    return cfg.TexelRect(key, defaultText, kElementsWidth, kElementsHeight);
}

// A phase that advances and wraps by one turn when it reaches a full turn.
void Advance(float* phase, float speed, float dt) { *phase = WrapPhase(*phase + speed * dt, true); }

// Every piece of the scene but its picture is blended in the layer pass,
// after the sky and the falling leaves, so that its soft edges lie over
// them; none writes depth, so the scene stays behind whatever the frame
// draws after it.
CountedHandle<CSprite> MakePiece(float x, float y, float z, float width, float height,
                                 const CountedHandle<CTexture>& texture)
{
    auto sprite = MakeLayerSprite(x, y, z, width, height, 0xFFFFFFFF, texture, 1, 0);
    SetDepth(*sprite, true, false);
    return sprite;
}
} // namespace

CMainMenuBackground::CMainMenuBackground()
    : CScene({{"BackgroundMainMenu", "MainBack.jpg", TextureLoader::Plain},
              {"MainMenuSkyMask", "MainSkyMask.tga", TextureLoader::AutoFormat},
              {"MainMenuLeafMask", "MainLeafMask.tga", TextureLoader::AutoFormat},
              {"MainMenuElements", "MainElements.jpg", TextureLoader::AlphaColour},
              {"MainMenuFrontFoliage", "MainFoliage.jpg", TextureLoader::AlphaColour}})
{
    m_mesh.vertices.reserve(36);
    m_mesh.indices.reserve(54);
    m_elements.reserve(kElements);
    m_leaves.reserve(8);
}

CMainMenuBackground::~CMainMenuBackground() { ReleaseObjects(); }

void CMainMenuBackground::LoadSettings(const std::string& file)
{
    const CSceneSettings cfg(file, "MainMenu");
    const Vec2 sky = cfg.Position("SkyPos", "262 0");
    m_skyPosition = Vec3{sky.x, sky.y, -1.0f};
    m_skySize = cfg.Pair("SkySize", "762 256");
    m_skyTop = cfg.Float("SkyV", "768") / 1024.0f;
    const Vec2 strip = cfg.Pair("SkyTSize", "762 256");
    m_skyTexSize = Vec2{strip.x / 1024.0f, strip.y / 1024.0f};
    const Vec2 mask = cfg.Pair("SkyMaskTSize", "254 104");
    m_skyMaskExtent = Vec2{mask.x / 256.0f, mask.y / 128.0f};
    m_skySpeed = cfg.Float("SkyTSpeed", "-0.01");

    for (int i = 0; i < kElements; ++i) {
        const Vec3 corner = cfg.Triple(Numbered("Sprite", i).c_str(), "256 0 -2");
        const Vec2 size = cfg.Pair(Numbered("SpriteSize", i).c_str(), "256 104");
        Element& e = m_element[i];
        e.size = size;
        e.centre = Vec3{corner.x - 512.0f + size.x / 2.0f, 384.0f - corner.y - size.y / 2.0f, corner.z};
        e.texels = ElementTexels(cfg, Numbered("SpriteT", i).c_str(), "168 844 424 948");
        e.zOrder = cfg.Int(Numbered("SpriteZOrder", i).c_str(), "99");
    }
    m_eyeTexels = ElementTexels(cfg, "EyeT", "127 957 199 987");
    m_lipsTexels[0] = ElementTexels(cfg, "LipsT1", "201 957 252 985");
    m_lipsTexels[1] = ElementTexels(cfg, "LipsT2", "254 957 305 985");

    for (int i = 0; i < 3; ++i)
        m_leafTexels[i] = ElementTexels(cfg, Numbered("LeafT", i).c_str(), "430 728 470 768");
    m_leafSize = cfg.Pair("LeafSize", "40 40");
    const Vec4 zone = cfg.Quad("LeafBirthZone", "0 12 290 224");
    m_birthZone = Vec4{zone.x - 512.0f, 384.0f - zone.y, zone.z, zone.w};
    m_leafSpeed = cfg.Pair("LeafSpeed", "40 100");
    m_leafTurn = cfg.Float("LeafRotSpeed", "3") * kPi;
    m_leafTurnSpeed = cfg.Positive("LeafRotW", "1");
    m_arcSize = cfg.Pair("LeafArcSize", "64 32");
    m_arcSpeed = cfg.Positive("LeafArcW", "1");
    m_maxLeaves = std::clamp(cfg.Int("MaxLeafs", "8"), 0, kMaxCountedQuads - 1);
    m_birthInterval = cfg.Positive("LeafBirthT", "0.5");

    const Vec4 form = cfg.Quad("FoliageForm", "0 0 476 716");
    m_foliageForm = Vec4{form.x - 512.0f, 384.0f - form.y, form.z, form.w};
    const Vec4 texels = cfg.Quad("FoliageTForm", "4 4 476 716");
    m_foliageTexels = Vec4{texels.x / kElementsWidth, texels.y / kElementsHeight, texels.z / kElementsWidth,
                           texels.w / kElementsHeight};
    const IntPair cells = cfg.Ints("FoliageCells", "6 6");
    m_columns = std::clamp(cells.a, 0, kMostFoliageCells);
    m_rows = std::clamp(cells.b, 0, kMostFoliageCells);
    const Vec2 noise = cfg.Pair("FoliageTNoise", "4 4");
    m_noise = Vec2{noise.x / kElementsWidth, noise.y / kElementsHeight};
    m_noiseSpeed = cfg.Float("FoliageNoiseW", "1");

    m_mapDisplacement = cfg.Pair("MapDisp", "4 4");
    m_mapSpeed1 = cfg.Pair("MapW1", "1.2 0.97");
    m_mapSpeed2 = cfg.Pair("MapW2", "0.57 0.63");
    m_strandDisplacement = cfg.Pair("HairDisp", "4 0.2");
    m_strandSpeed1 = cfg.Pair("HairW1", "1.2 0.97");
    m_strandSpeed2 = cfg.Pair("HairW2", "0.57 0.63");
    m_eyeChance = cfg.Float("EyeProbability", "0.25");
    m_lipsChance = cfg.Float("LipsProbability", "0.3");
    m_lipsMinTime = cfg.Float("LipsMinTime", "0.3");

    // Its depth counts from the picture, as the elements' do: the scene
    // stays behind whatever the frame draws after it.
    const Vec3 front = cfg.Triple("FrontFoliage", "9 94 -3");
    m_frontSize = cfg.Pair("FrontFoliageSize", "404 242");
    m_frontCentre =
        Vec3{front.x - 512.0f + m_frontSize.x / 2.0f, 384.0f - front.y - m_frontSize.y / 2.0f, front.z};
    m_frontZOrder = cfg.Int("FrontFoliageZOrder", "0");
    m_frontMove = cfg.Pair("FrontFoliageMove", "8 8");
    m_frontMoveSpeed = cfg.Pair("FrontFoliageMoveW", "1.17 0.95");
    m_frontSkew = cfg.Pair("FrontFoliageSqew", "8 2");
    m_frontSkewSpeed = cfg.Pair("FrontFoliageSqewW", "0.87 1.3");
    m_frontRock = cfg.Float("FrontFoliageRotA", "0.01") * kPi;
    m_frontRockSpeed = cfg.Float("FrontFoliageRotW", "1.1");
    m_shiftAngle = cfg.Float("FrontFoliageShiftAngle", "0.1") * kPi;
    const Vec2 shift = cfg.Pair("FrontFoliageShift", "-10 -20");
    m_shift = Vec2{shift.x, -shift.y};
    m_shiftTime = cfg.Positive("FrontFoliageShiftTime", "0.2");
    const Vec4 z = cfg.Quad("FrontFoliageShiftZone", "24 232 382 352");
    m_shiftZone = Zone{z.x - 512.0f, 384.0f - z.y, z.z - 512.0f, 384.0f - z.w};
}

int CMainMenuBackground::Init()
{
    m_mesh.SizeForQuads(static_cast<size_t>(m_maxLeaves) + 1);
    m_leaves.clear();
    m_leafQuads = 0;
    m_mapSway = Sway{};
    m_strandSway[0] = m_strandSway[1] = Sway{};
    m_lipsTimer = 0.0f;

    const float x0 = m_skyPosition.x + kOriginX, y0 = m_skyPosition.y + kOriginY, z = m_skyPosition.z + kOriginZ;
    const float w = m_skySize.x, h = m_skySize.y, v0 = m_skyTop, tu = m_skyTexSize.x, tv = m_skyTexSize.y;
    const float mu = m_skyMaskExtent.x, mv = m_skyMaskExtent.y;
    SceneVertex* q = m_mesh.Quad(0);
    q[0] = SceneVertex{x0, y0, z, 0xFFFFFFFF, 0, v0, 1 - mu, 0};
    q[1] = SceneVertex{x0 + w, y0, z, 0xFFFFFFFF, tu, v0, 1, 0};
    q[2] = SceneVertex{x0 + w, y0 - h, z, 0xFFFFFFFF, tu, v0 + tv, 1, mv};
    q[3] = SceneVertex{x0, y0 - h, z, 0xFFFFFFFF, 0, v0 + tv, 1 - mu, mv};
    return Update(0.0f);
}

int CMainMenuBackground::Build()
{
    const CountedHandle<CTexture>& elements = m_core.Texture(kElementsTexture);
    auto randomPhase = [] { return kTwoPi * RandomUnit(); };
    for (int i = 0; i < kElements; ++i) {
        const Element& e = m_element[i];
        auto sprite = MakePiece(e.centre.x + kOriginX, e.centre.y + kOriginY, e.centre.z + kOriginZ, e.size.x,
                                e.size.y, elements);
        sprite->SetFrameRect(0, e.texels.x, e.texels.y, e.texels.z, e.texels.w);
        sprite->zOrder = e.zOrder;
        if (i == kStrandA || i == kStrandB) {
            Sway& s = m_strandSway[i == kStrandA ? 0 : 1];
            const float speeds[4] = {m_strandSpeed1.x, m_strandSpeed1.y, m_strandSpeed2.x, m_strandSpeed2.y};
            for (int k = 0; k < 4; ++k) {
                s.phase[k] = randomPhase();
                s.speed[k] = speeds[k] * (0.8f + 0.4f * RandomUnit());
            }
            SwayElement(*sprite, s, m_strandDisplacement, 0.0f);
        } else if (i == kEye) {
            sprite->AddFrame(m_eyeTexels.x, m_eyeTexels.y, m_eyeTexels.z, m_eyeTexels.w);
        } else if (i == kLips) {
            for (const Vec4& t : m_lipsTexels)
                sprite->AddFrame(t.x, t.y, t.z, t.w);
        } else if (i == kMap) {
            const float speeds[4] = {m_mapSpeed1.x, m_mapSpeed1.y, m_mapSpeed2.x, m_mapSpeed2.y};
            for (int k = 0; k < 4; ++k) {
                m_mapSway.phase[k] = randomPhase();
                m_mapSway.speed[k] = speeds[k];
            }
            SwayElement(*sprite, m_mapSway, m_mapDisplacement, 0.0f);
        }
        m_elements.push_back(m_core.services.Add(sprite));
    }

    // The foliage block, cut into cells whose texture corners wobble.
    const float cw = m_foliageForm.z / static_cast<float>(std::max(m_columns, 1));
    const float ch = m_foliageForm.w / static_cast<float>(std::max(m_rows, 1));
    const float tw = m_foliageTexels.z / static_cast<float>(std::max(m_columns, 1));
    const float th = m_foliageTexels.w / static_cast<float>(std::max(m_rows, 1));
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            auto cell = MakePiece(m_foliageForm.x + (static_cast<float>(c) + 0.5f) * cw + kOriginX,
                                  m_foliageForm.y - (static_cast<float>(r) + 0.5f) * ch + kOriginY,
                                  kOriginZ - 2.0f, cw, ch, elements);
            const float u = m_foliageTexels.x + static_cast<float>(c) * tw;
            const float v = m_foliageTexels.y + static_cast<float>(r) * th;
            cell->SetFrameRect(0, u, v, u + tw, v + th);
            cell->zOrder = 90;
            m_cells.push_back(m_core.services.Add(cell));
        }
    const size_t nodes = (static_cast<size_t>(m_columns) + 1) * (static_cast<size_t>(m_rows) + 1);
    m_nodeSpeeds.resize(nodes);
    m_nodePhases.resize(nodes);
    for (Vec2& s : m_nodeSpeeds)
        s = Vec2{(0.75f + 0.5f * RandomUnit()) * m_noiseSpeed, (0.75f + 0.5f * RandomUnit()) * m_noiseSpeed};
    for (Vec2& p : m_nodePhases)
        p = Vec2{randomPhase(), randomPhase()};

    m_picture = m_core.MakePicture(true);

    for (float& phase : m_frontPhase)
        phase = randomPhase();
    m_front = MakePiece(m_frontCentre.x + kOriginX, m_frontCentre.y + kOriginY, m_frontCentre.z + kOriginZ,
                        m_frontSize.x, m_frontSize.y, m_core.Texture(kFrontTexture));
    m_front->SetFrameRect(0, 0.0f, 0.0f, m_frontSize.x / 512.0f, m_frontSize.y / 256.0f);
    m_front->zOrder = m_frontZOrder;
    MoveFrontFoliage(0.0f);
    m_core.services.Add(m_front);
    return 0;
}

void CMainMenuBackground::ScrollSky(float dt)
{
    m_skyOffset += m_skySpeed * dt;
    if (m_skyOffset >= 1.0f)
        m_skyOffset -= 1.0f;
    else if (m_skyOffset < 0.0f)
        m_skyOffset += 1.0f;
    SceneVertex* q = m_mesh.Quad(0);
    q[0].u = q[3].u = m_skyOffset;
    q[1].u = q[2].u = m_skyTexSize.x + m_skyOffset;
}

void CMainMenuBackground::MoveLeaves(float dt)
{
    for (size_t i = 0; i < m_leaves.size();) {
        Leaf& leaf = m_leaves[i];
        leaf.x += leaf.vx * dt;
        leaf.y += leaf.vy * dt;
        if (leaf.y < -384.0f) {
            m_leaves.erase(m_leaves.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        leaf.turnPhase = WrapPhase(leaf.turnPhase + leaf.turnSpeed * dt, false);
        leaf.angle += std::sin(leaf.turnPhase) * dt * leaf.turnAmplitude;
        leaf.arcPhase = WrapPhase(leaf.arcPhase + leaf.arcSpeed * dt, false);
        ++i;
    }
}

void CMainMenuBackground::BirthLeaf(float dt)
{
    m_birthTimer += dt;
    if (m_birthTimer <= m_birthInterval)
        return;
    m_birthTimer -= (0.8f + 0.2f * RandomUnit()) * m_birthInterval;
    if (static_cast<int>(m_leaves.size()) >= m_maxLeaves)
        return;
    auto spread = [] { return 0.75f + 0.5f * RandomUnit(); };
    Leaf leaf{};
    leaf.x = m_birthZone.x + RandomUnit() * m_birthZone.z;
    leaf.y = m_birthZone.y - RandomUnit() * m_birthZone.w;
    const float size = spread();
    leaf.width = m_leafSize.x * size;
    leaf.height = m_leafSize.y * size;
    leaf.variant = std::min(static_cast<int32_t>(std::floor(3.0f * RandomUnit())), 2);
    leaf.vx = spread() * m_leafSpeed.x;
    leaf.vy = -spread() * m_leafSpeed.y;
    leaf.angle = kTwoPi * RandomUnit();
    leaf.turnAmplitude = spread() * m_leafTurn;
    leaf.turnSpeed = spread() * m_leafTurnSpeed;
    leaf.turnPhase = kTwoPi * RandomUnit() / leaf.turnSpeed;
    const float arc = spread();
    leaf.arcWidth = m_arcSize.x * arc;
    leaf.arcHeight = m_arcSize.y * arc;
    leaf.arcSpeed = spread() * m_arcSpeed;
    leaf.arcPhase = kTwoPi * RandomUnit() / leaf.arcSpeed;
    m_leaves.push_back(leaf);
}

// Each leaf swings from side to side along its arc, dipping at the middle of
// the swing; the mask is fixed to the screen, so it shows leaves only where
// it lets them.
void CMainMenuBackground::BuildLeafQuads()
{
    m_leafQuads = m_leaves.size();
    for (size_t k = 0; k < m_leaves.size(); ++k) {
        const Leaf& leaf = m_leaves[k];
        const float a = (std::sin(leaf.arcPhase) + 1.0f) * kPi / 2.0f;
        const float cx = leaf.x + std::cos(a) * leaf.arcWidth / 2.0f;
        const float cy = leaf.y - std::sin(a) * leaf.arcHeight;
        const float c = std::cos(leaf.angle), s = std::sin(leaf.angle);
        const float hw = leaf.width / 2.0f, hh = leaf.height / 2.0f;
        const float dx[4] = {-hw, hw, hw, -hw}, dy[4] = {hh, hh, -hh, -hh};
        const Vec4& t = m_leafTexels[leaf.variant];
        const float u[4] = {t.x, t.z, t.z, t.x}, v[4] = {t.y, t.y, t.w, t.w};
        SceneVertex* q = m_mesh.Quad(k + 1);
        for (int i = 0; i < 4; ++i) {
            const float x = cx + dx[i] * c - dy[i] * s;
            const float y = cy + dx[i] * s + dy[i] * c;
            q[i] = SceneVertex{x + kOriginX, y + kOriginY, kOriginZ - 2.0f,       0xFFFFFFFF,
                               u[i],         v[i],         (x + 512.0f) / 768.0f, (384.0f - y) / 768.0f};
        }
    }
}

void CMainMenuBackground::WobbleFoliage(float dt)
{
    if (m_cells.empty())
        return;
    const size_t stride = static_cast<size_t>(m_columns) + 1;
    std::vector<Vec2>& phases = m_nodePhases;
    for (size_t n = 0; n < phases.size(); ++n) {
        Advance(&phases[n].x, m_nodeSpeeds[n].x, dt);
        Advance(&phases[n].y, m_nodeSpeeds[n].y, dt);
    }
    auto offset = [&](int c, int r) {
        const Vec2& p = phases[static_cast<size_t>(r) * stride + static_cast<size_t>(c)];
        return Vec2{std::sin(p.x) * m_noise.x, std::sin(p.y) * m_noise.y};
    };
    const float tw = m_foliageTexels.z / static_cast<float>(m_columns);
    const float th = m_foliageTexels.w / static_cast<float>(m_rows);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const float u0 = m_foliageTexels.x + static_cast<float>(c) * tw,
                        v0 = m_foliageTexels.y + static_cast<float>(r) * th;
            const Vec2 a = offset(c, r), b = offset(c + 1, r), d = offset(c + 1, r + 1), e = offset(c, r + 1);
            const float uv[8] = {u0 + a.x,      v0 + a.y,      u0 + tw + b.x, v0 + b.y,
                                 u0 + tw + d.x, v0 + th + d.y, u0 + e.x,      v0 + th + e.y};
            m_cells[static_cast<size_t>(r) * static_cast<size_t>(m_columns) + static_cast<size_t>(c)]
                ->SetFrameQuad(0, uv);
        }
}

// The element hangs from its upper edge and swings like a pendulum of its
// own height: its lower edge rises as it swings out.
void CMainMenuBackground::SwayElement(CSprite& sprite, Sway& sway, Vec2 amplitude, float dt)
{
    for (int k = 0; k < 4; ++k)
        Advance(&sway.phase[k], sway.speed[k], dt);
    const float w = sprite.width, h = sprite.height;
    const float dx = (std::sin(sway.phase[0]) + 0.5f * std::sin(sway.phase[2])) * amplitude.x;
    // A swing wider than the pendulum is long reaches the level of its pivot.
    const float rest = std::sqrt(std::max(0.0f, h * h - dx * dx));
    const float lift = (std::sin(sway.phase[1]) + 0.5f * std::sin(sway.phase[3])) * amplitude.y + h - rest;
    const float lowX = dx / w, lowY = -0.5f + lift / h;
    const float corners[8] = {-0.5f, 0.5f, 0.5f, 0.5f, 0.5f + lowX, lowY, -0.5f + lowX, lowY};
    sprite.SetVertexOffsets(corners);
}

// The eye opens five times less often than it closes; the lips move between
// their two frames while it is open and for a moment after.
void CMainMenuBackground::BlinkAndSpeak(float dt)
{
    CSprite& eye = *m_elements[kEye];
    CSprite& lips = *m_elements[kLips];
    const float m = eye.frame == 1 ? 1.0f : 0.2f;
    if (RandomUnit() < dt * m_eyeChance * m) {
        eye.frame = 1 - eye.frame;
        if (eye.frame == 1) {
            if (lips.frame == 0) {
                lips.frame = 1;
                m_lipsTimer = 0.0f;
            }
        } else if (lips.frame == 2) {
            lips.frame = 1;
            m_lipsTimer = 0.0f;
        } else {
            lips.frame = 0;
        }
    } else if (eye.frame == 1) {
        if (lips.frame != 0 && RandomUnit() < dt * m_lipsChance)
            lips.frame = 3 - lips.frame;
    } else if (lips.frame != 0) {
        m_lipsTimer += dt;
        if (m_lipsTimer >= m_lipsMinTime)
            lips.frame = 0;
    }
}

void CMainMenuBackground::MoveFrontFoliage(float dt)
{
    if (!m_front)
        return;
    const float speeds[5] = {m_frontMoveSpeed.x, m_frontMoveSpeed.y, m_frontSkewSpeed.x, m_frontSkewSpeed.y,
                             m_frontRockSpeed};
    for (int k = 0; k < 5; ++k)
        Advance(&m_frontPhase[k], speeds[k], dt);
    if (m_cursorInZone)
        m_shiftLevel = std::min(1.0f, m_shiftLevel + dt / m_shiftTime);
    else if (m_shiftLevel > 0.0f)
        m_shiftLevel = std::max(0.0f, m_shiftLevel - dt / m_shiftTime);
    CSprite& f = *m_front;
    f.x = m_frontCentre.x + kOriginX + std::sin(m_frontPhase[0]) * m_frontMove.x + m_shift.x * m_shiftLevel;
    f.y = m_frontCentre.y + kOriginY + std::sin(m_frontPhase[1]) * m_frontMove.y + m_shift.y * m_shiftLevel;
    const float g = std::sin(m_frontPhase[2]) * m_frontSkew.x / m_frontSize.x;
    const float k = std::sin(m_frontPhase[3]) * m_frontSkew.y / m_frontSize.y;
    const float corners[8] = {g - 0.5f, k + 0.5f, g + 0.5f, k + 0.5f, 0.5f - g, -0.5f - k, -0.5f - g, -0.5f - k};
    f.SetVertexOffsets(corners);
    f.SetAngle(std::sin(m_frontPhase[4]) * m_frontRock + m_shiftAngle * m_shiftLevel);
}

int CMainMenuBackground::Update(float dt)
{
    ScrollSky(dt);
    MoveLeaves(dt);
    BirthLeaf(dt);
    BuildLeafQuads();
    WobbleFoliage(dt);
    if (m_elements.size() == kElements) {
        SwayElement(*m_elements[kMap], m_mapSway, m_mapDisplacement, dt);
        SwayElement(*m_elements[kStrandA], m_strandSway[0], m_strandDisplacement, dt);
        SwayElement(*m_elements[kStrandB], m_strandSway[1], m_strandDisplacement, dt);
        BlinkAndSpeak(dt);
    }
    MoveFrontFoliage(dt);
    return 0;
}

HRESULT CMainMenuBackground::RenderMesh()
{
    MeshPass passes[2];
    passes[0].quadCount = 1;
    passes[0].layer = m_core.Texture(kPicture);
    passes[0].mask = m_core.Texture(kSkyMask);
    passes[1].firstQuad = 1;
    passes[1].quadCount = m_leafQuads;
    passes[1].layer = m_core.Texture(kElementsTexture);
    passes[1].mask = m_core.Texture(kLeafMask);
    // The leaf mask covers the left 768 pixels of the screen; to its right
    // it stays at its edge instead of repeating.
    passes[1].clampU = true;
    return RenderMeshPasses(m_core.services, m_mesh, passes, m_leafQuads ? 2 : 1);
}

HRESULT CMainMenuBackground::Render()
{
    return m_core.RenderAroundMesh([this] { return RenderMesh(); });
}

void CMainMenuBackground::ReleaseObjects()
{
    m_core.services.DropAll(&m_elements);
    m_core.services.Drop(&m_picture);
    m_core.services.DropAll(&m_cells);
    m_core.services.Drop(&m_front);
    m_leaves.clear();
    m_leafQuads = 0;
    m_birthTimer = 0.0f;
}
