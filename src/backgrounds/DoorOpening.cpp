// The door's show at the end of the fourth stage: the door flare opens, a
// copy of the closed door fades away to show the door as three pictures
// (the doorway behind, the leaf, its shade), sand trickles from the door's
// top corners and the leaf slides down behind the slanted floor line, the
// sand following its top edge.
#include "backgrounds/DoorBackground.h"

#include "effects/keepers/DustTrackKeeper.h"
#include "engine/Random.h"

#include <algorithm>

using namespace d3d;

namespace {
// Where the door's pieces lie in the foliage texture, in its texels.
constexpr float kFoliageWidth = 512.0f;
constexpr float kFoliageHeight = 1024.0f;
constexpr float kLeafColumn = 170.0f;
constexpr float kShadeColumn = 340.0f;
constexpr float kPiecesRow = 712.0f;
// The door's slot: its flare opening, the cover fading, the leaf sliding.
enum DoorState { kDoorIdle = 0, kDoorFlare = 1, kDoorCover = 2, kDoorSlide = 3 };

// Sand that pours from a source the door moves: its grains start where the
// scene puts the source, not where its system was made.
class CDoorSandKeeper final : public CSandKeeper {
public:
    bool FollowOrigin(float, float, float, float) override { return true; }
};
} // namespace

void CDoorBackground::ComputeDoorQuad(float fraction)
{
    const float w = m_door.size.x;
    const float a = m_door.floor.x, b = m_door.floor.y;
    const float c = m_door.size.y * fraction;
    Vec2* p = m_leaf;
    if (a == b) {
        if (c >= a) {
            p[0] = {0, a};
            p[1] = {w, a};
            p[2] = {w, a};
            p[3] = {0, a};
        } else {
            p[0] = {0, c};
            p[1] = {w, c};
            p[2] = {w, a};
            p[3] = {0, a};
        }
        return;
    }
    const float lo = std::min(a, b), hi = std::max(a, b);
    if (c >= hi) {
        const Vec2 gone = a > b ? Vec2{0, a} : Vec2{w, b};
        std::fill(p, p + 4, gone);
    } else if (c >= lo) {
        // The top edge has passed the floor line's higher end: what is left
        // is a narrowing rectangle on the side where the floor lies lower.
        if (a > b) {
            const float xc = (1.0f - (c - b) / (a - b)) * w;
            p[0] = {0, c};
            p[1] = {xc, c};
            p[2] = {xc, a};
            p[3] = {0, a};
        } else {
            const float xc = (c - a) / (b - a) * w;
            p[0] = {xc, c};
            p[1] = {w, c};
            p[2] = {w, b};
            p[3] = {xc, b};
        }
    } else {
        p[0] = {0, c};
        p[1] = {w, c};
        p[2] = {w, b};
        p[3] = {0, a};
    }
}

// The shade stays in place and is cropped; the leaf's picture keeps its top
// row at the leaf's top edge, so it moves down with it.
void CDoorBackground::PlaceLeafPictures()
{
    if (!m_shade || !m_doorLeaf)
        return;
    const Vec2* p = m_leaf;
    const float xl = m_door.topLeft.x, yt = m_door.topLeft.y;
    float corners[8];
    float shade[8];
    for (int k = 0; k < 4; ++k) {
        corners[k * 2] = xl + p[k].x;
        corners[k * 2 + 1] = yt - p[k].y;
        shade[k * 2] = (p[k].x + kShadeColumn) / kFoliageWidth;
        shade[k * 2 + 1] = (p[k].y + kPiecesRow) / kFoliageHeight;
    }
    const float leaf[8] = {
        (p[0].x + kLeafColumn) / kFoliageWidth, kPiecesRow / kFoliageHeight,
        (p[1].x + kLeafColumn) / kFoliageWidth, kPiecesRow / kFoliageHeight,
        (p[2].x + kLeafColumn) / kFoliageWidth, (p[2].y - p[1].y + kPiecesRow) / kFoliageHeight,
        (p[3].x + kLeafColumn) / kFoliageWidth, (p[3].y - p[0].y + kPiecesRow) / kFoliageHeight};
    m_shade->SetVertexOffsets(corners);
    m_shade->SetFrameQuad(0, shade);
    m_doorLeaf->SetVertexOffsets(corners);
    m_doorLeaf->SetFrameQuad(0, leaf);
}

void CDoorBackground::CreateDoor()
{
    const Vec3& c = m_door.centre;
    const float w = m_door.size.x, h = m_door.size.y;
    const CountedHandle<CTexture>& foliage = m_core.Texture(kFoliage);

    // The closed door as the picture paints it, a little larger all round.
    m_cover = MakeLayerSprite(c.x + kOriginX, c.y + kOriginY, c.z + kOriginZ, w + 16, h + 16, 0xFFFFFFFF,
                              m_core.Texture(kPicture), 0, 0);
    m_cover->SetFrameRect(0, (c.x + 512.0f - w / 2 - 8) / 1024.0f, (384.0f - c.y - h / 2 - 8) / 1024.0f,
                          (c.x + 512.0f + w / 2 + 8) / 1024.0f, (384.0f - c.y + h / 2 + 8) / 1024.0f);
    m_cover->zOrder = 95;
    m_cover->fadeSpeed = 1.0f / m_door.preOpenTime;
    m_core.services.Add(m_cover);

    ComputeDoorQuad(0.0f);
    m_shade = MakeLayerSprite(kOriginX, kOriginY, c.z + kOriginZ, 1, 1, 0xFFFFFFFF, foliage, 0, 2);
    m_shade->zOrder = 97;
    m_doorLeaf = MakeLayerSprite(kOriginX, kOriginY, c.z + kOriginZ, 1, 1, 0xFFFFFFFF, foliage, 0, 0);
    m_doorLeaf->zOrder = 98;
    PlaceLeafPictures();
    m_core.services.Add(m_shade);
    m_core.services.Add(m_doorLeaf);

    m_doorway =
        MakeLayerSprite(c.x + kOriginX, c.y + kOriginY, c.z + kOriginZ, w - 4, h - 4, 0xFFFFFFFF, foliage, 0, 0);
    m_doorway->SetFrameRect(0, 2 / kFoliageWidth, 714 / kFoliageHeight, 168 / kFoliageWidth, 978 / kFoliageHeight);
    m_doorway->zOrder = 99;
    m_core.services.Add(m_doorway);
}

void CDoorBackground::DropDoor()
{
    for (CountedHandle<CSprite>* s : {&m_cover, &m_shade, &m_doorLeaf, &m_doorway}) {
        if (*s) {
            (*s)->fadeSpeed = 20.0f;
            FadeOutAndExpire(**s, 0.05f);
        }
        s->Reset();
    }
}

void CDoorBackground::RunDoor(float dt)
{
    int32_t& state = m_ornaments.ClosingState();
    float& timer = m_ornaments.ClosingTimer();
    if (state == kDoorIdle || !m_cover)
        return;
    timer += dt;
    if (state == kDoorFlare) {
        if (timer >= m_ornaments.settings.flareTime) {
            state = kDoorCover;
            timer = 0.0f;
            m_cover->FadeTo(0.0f);
            if (m_door.sand) {
                StartSand(0);
                StartSand(1);
            }
        }
        return;
    }
    if (state == kDoorCover) {
        if (timer >= m_door.preOpenTime) {
            state = kDoorSlide;
            timer = 0.0f;
        }
        return;
    }
    float fraction = timer / m_door.openTime;
    if (timer >= m_door.openTime) {
        state = kDoorIdle;
        timer = 0.0f;
        fraction = 1.0f;
        StopSand();
    }
    ComputeDoorQuad(fraction);
    PlaceLeafPictures();
    FollowLeafWithSand();
}

// A trickle of sand from one of the door's top corners (0 left, 1 right),
// with the dust its grains raise.
void CDoorBackground::StartSand(int side)
{
    CParticleSystemsManager* particles = m_core.services.particles.Get();
    if (!particles)
        return;
    const float x = kOriginX + m_door.topLeft.x + (side == 0 ? 0.0f : m_door.size.x) + m_door.sandShift[side].x;
    const float y = m_door.topLeft.y + kOriginY + m_door.sandShift[side].y;
    const float z = m_door.centre.z + kOriginZ - 10.0f;
    auto sand = MakeCountedHandle(new CDoorSandKeeper());
    sand->origin = Vec3{x, y, z};
    sand->burstCount = 1;
    sand->rate = 40.0f;
    sand->width = sand->height = 8.0f + 4.0f * RandomUnit();
    sand->speed = 10.0f;
    sand->speedSpread = 5.0f;
    sand->gravity = 300.0f;
    sand->colour = m_door.sandColour;
    sand->groundLine = m_door.sandFloor;
    CCollection2Parametres grains(x, y, z, nullptr, sand, kCollectionAlphaBlend);
    grains.keeperFlag = true;
    grains.duration = 10000000.0f;
    grains.alphaFactor = static_cast<float>(m_door.sandColour >> 24) / 255.0f;
    const CountedHandle<CParticleSystem> system =
        particles->AddCollection2(&grains, 80, m_core.resources.smallSand);

    auto dust = MakeCountedHandle(new CDustTrackKeeper(*sand, system));
    dust->colour = m_door.dustColour;
    dust->rate = 2.0f;
    CCollection2Parametres cloud(x, y, z, nullptr, dust, kCollectionAlphaBlend);
    cloud.keeperFlag = true;
    cloud.duration = 100.0f;
    cloud.alphaFactor = static_cast<float>(m_door.dustColour >> 24) / 255.0f;
    particles->AddCollection2(&cloud, 200, m_core.resources.cloud);

    m_sandSystems.push_back(system);
    m_sandKeepers.push_back(sand);
}

// The sources ride the leaf's top edge down until the left corner passes
// the stop line.
void CDoorBackground::FollowLeafWithSand()
{
    if (!m_door.sand || m_sandKeepers.empty())
        return;
    const float yt = m_door.topLeft.y;
    if (yt - m_leaf[0].y <= m_door.sandStop) {
        StopSand();
        return;
    }
    for (size_t side = 0; side < m_sandKeepers.size() && side < 2; ++side)
        m_sandKeepers[side]->origin.y = yt - m_leaf[side].y + m_door.sandShift[side].y;
}

// The live grains finish falling; the dust follows them out.
void CDoorBackground::StopSand()
{
    for (const auto& system : m_sandSystems)
        system->StopEmitting();
    m_sandKeepers.clear();
    m_sandSystems.clear();
}
