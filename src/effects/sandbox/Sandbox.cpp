#include "effects/sandbox/Sandbox.h"

#include "effects/particles/ParticleSystemsManager.h"
#include "effects/sandbox/DuneKeepers.h"
#include "engine/BufferLocks.h"
#include "engine/RenderDevice.h"
#include "engine/Vertex.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {

// The dune effects run until the box is hidden.
constexpr float kDuneDuration = 100000000.0f;
constexpr int kDuneCapacity = 320;
// The dust puffs' spin and its spread, in 1024ths of a turn per second.
constexpr float kDustSpin = 512.0f;
constexpr float kDustSpinSpread = 256.0f;

// The sand texture repeats this often across the box, and half its height
// is one kind of sand (everyday above, frenzy below).
constexpr float kSandRepeats = 2.5f;

// The glass and the frame are three bands of one texture laid side by side,
// 42 units high, together 658 units wide.
struct Band {
    float width;
    float u0, v0, u1, v1;
};
constexpr Band kBands[3] = {
    {242.0f, 0.0f, 0.0f, 0.9453125f, 0.328125f},
    {176.0f, 0.15625f, 0.328125f, 0.84375f, 0.65625f},
    {240.0f, 0.0625f, 0.65625f, 1.0f, 0.984375f},
};
constexpr float kBandHeight = 42.0f;

uint32_t WithAlpha(uint32_t rgb, float alpha)
{
    const float a = std::clamp(std::floor(alpha), 0.0f, 255.0f);
    return static_cast<uint32_t>(a) << 24 | (rgb & 0x00ffffffu);
}

// Writes a quad with its top left at (x, y) and its six indices.
void PutQuad(Vertex* v, uint16_t* x, uint32_t first, float left, float top, float z, float width, float height,
             uint32_t colour, float u0, float v0, float u1, float v1)
{
    v[0] = Vertex{left, top, z, colour, u0, v0, 0, 0};
    v[1] = Vertex{left + width, top, z, colour, u1, v0, 0, 0};
    v[2] = Vertex{left + width, top - height, z, colour, u1, v1, 0, 0};
    v[3] = Vertex{left, top - height, z, colour, u0, v1, 0, 0};
    const uint16_t b = static_cast<uint16_t>(first);
    const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i)
        x[i] = static_cast<uint16_t>(b + order[i]);
}

// The sand box draws with depth writes on whatever the frame has set
// before it; texels of alpha 1 or less are dropped.
PassState BoxPass(PassBlend blend, const CountedHandle<CTexture>& texture)
{
    PassState pass;
    pass.blend = blend;
    pass.depth = PassDepth::Write;
    pass.texture = texture;
    return pass;
}

} // namespace

void CPourPath::Build(const std::vector<Vec2>& points, float speed)
{
    m_duration = 0.0f;
    Vec3 from{0.0f, 0.0f, 0.0f};
    for (const Vec2& point : points) {
        const Vec3 to{point.x, point.y, 0.0f};
        const float length = std::hypot(to.x - from.x, to.y - from.y);
        const float duration = length / speed;
        // A run that takes no time, or for ever, would have the path divide
        // by it.
        if (!(std::isfinite(duration) && duration > 0.0f))
            continue;
        if (m_duration == 0.0f)
            m_path.ResetLinear(from, to, duration);
        else
            m_path.AppendSegment(to, duration);
        m_duration += duration;
        from = to;
    }
}

Vec3 CPourPath::Start() const { return m_duration > 0.0f ? m_path.segments.front().start : Vec3{}; }

Vec3 CPourPath::PointAt(float time) const
{
    if (m_duration <= 0.0f)
        return Vec3{};
    return m_path.GetPoint(std::clamp(time, 0.0f, m_duration));
}

CSandbox::CSandbox() : m_geometry(MakeCountedHandle(new SandboxGeometry())) {}

CSandbox::~CSandbox() { StopDunes(); }

void CSandbox::SetTextures(CountedHandle<CTexture> sand, CountedHandle<CTexture> smallSand,
                           CountedHandle<CTexture> dust, CountedHandle<CTexture> front,
                           CountedHandle<CTexture> glass, CountedHandle<CTexture> barElement)
{
    m_textures[kSand] = std::move(sand);
    m_textures[kSmallSand] = std::move(smallSand);
    m_textures[kDust] = std::move(dust);
    m_textures[kFront] = std::move(front);
    m_textures[kGlass] = std::move(glass);
    m_textures[kBarElement] = std::move(barElement);
}

void CSandbox::ApplySettings(const SandboxSettings& s)
{
    m_frontShift = Vec3{s.frontShift.x, s.frontShift.y, 0.0f};
    m_glassColor = s.glassColor;
    m_inGravity = s.inGravity;
    m_outGravity = s.outGravity;
    m_pathSpeed = s.pathSpeed;
    m_pourPath.Build(s.pathPoints, s.pathSpeed);
    m_sandColor = s.sandColor;
    m_sandAlpha = s.sandAlpha;
    m_dustSpeed = s.dustSpeed;
    m_dustSpeedSpread = s.dustSpeedSpread;
    m_dustBraking = s.dustSpeed;
    m_dustSize = s.dustSize;
    m_dustSizeSpread = s.dustSizeSpread;
    m_dustColor = s.dustColor;
    m_dustAlpha = s.dustAlpha;
    m_barColor = s.barColor;
    m_barAlpha = s.barAlpha;
    m_barShift = s.barShift;
    m_barElementSize = s.barElementSize;
    m_barElements = std::clamp(s.barElements, 1, SandboxSettings::kMaxBarElements);
    m_barPostTime = s.barPostTime;
}

void CSandbox::SetParticleManager(CountedHandle<CParticleSystemsManager> manager)
{
    m_particles = std::move(manager);
}

void CSandbox::SetHeightfield(CountedHandle<CSandHeightfield> heightfield)
{
    m_heightfield = std::move(heightfield);
    LayOutColumns();
    UpdateSurface();
}

void CSandbox::SetGeometry(float x, float y, float z, float width, float height)
{
    SandboxGeometry& g = *m_geometry;
    g.left = x;
    g.top = y;
    g.z = z;
    g.width = width;
    g.height = height;
    g.bases.clear(); // laid out anew for the new place
    LayOutColumns();
    UpdateSurface();
}

void CSandbox::LayOutColumns()
{
    SandboxGeometry& g = *m_geometry;
    const int n = m_heightfield ? m_heightfield->ColumnCount() : 0;
    if (g.Columns() == n)
        return;
    g.bases.resize(static_cast<size_t>(n));
    g.u.resize(static_cast<size_t>(n));
    g.surface.resize(static_cast<size_t>(n));
    const float last = static_cast<float>(std::max(n - 1, 1));
    for (int i = 0; i < n; ++i) {
        g.bases[static_cast<size_t>(i)] =
            Vec3{g.left + static_cast<float>(i) * g.width / last, g.top - g.height, g.z};
        g.u[static_cast<size_t>(i)] = static_cast<float>(i) * kSandRepeats / last;
    }
}

void CSandbox::UpdateSurface()
{
    LayOutColumns();
    SandboxGeometry& g = *m_geometry;
    if (!m_heightfield)
        return;
    const std::vector<double>& shown = m_heightfield->DisplayLevels();
    for (size_t i = 0; i < g.bases.size(); ++i) {
        g.surface[i] = g.bases[i];
        g.surface[i].y += static_cast<float>(shown[i]) * g.height;
    }
}

void CSandbox::Show(bool show, float speed)
{
    if (speed != 0.0f) {
        m_fadeSpeed = show ? std::fabs(speed) : -std::fabs(speed);
    } else {
        m_visible = show;
        m_fade = show ? 1.0f : 0.0f;
        m_fadeSpeed = 0.0f;
    }
    if (show)
        StartDunes();
    else
        StopDunes();
}

void CSandbox::StartDunes()
{
    if (!m_particles || !m_heightfield || m_flyOutSystem || m_dustSystem)
        return;
    const SandboxGeometry& g = *m_geometry;
    auto start = [&](CountedHandle<CCollection2Keeper> keeper, const CountedHandle<CTexture>& texture,
                     float alpha) {
        CCollection2Parametres params(g.left, g.top, g.z, nullptr, std::move(keeper), kCollectionAlphaBlend);
        params.keeperFlag = true;
        params.duration = kDuneDuration;
        params.alphaFactor = alpha;
        return m_particles->AddCollection2(&params, kDuneCapacity, texture);
    };
    m_flyOut = MakeCountedHandle(new CDuneSandFlyOut());
    m_flyOut->Attach(m_heightfield, m_geometry, m_pourPath, m_inGravity, m_outGravity, m_pathSpeed);
    m_flyOut->colour = m_sandColor;
    m_flyOutSystem = start(m_flyOut, m_textures[kSmallSand], m_sandAlpha);

    m_dust = MakeCountedHandle(new CDuneDustKeeper());
    m_dust->Attach(m_heightfield, m_geometry, m_dustSpeed, m_dustSpeedSpread, kDustSpin, kDustSpinSpread);
    m_dust->slopeBraking = m_dustBraking;
    m_dust->size = m_dustSize;
    m_dust->sizeSpread = m_dustSizeSpread;
    m_dust->colour = m_dustColor;
    m_dustSystem = start(m_dust, m_textures[kDust], m_dustAlpha);
    EnableDunes(!m_heightfield->IsFull());
}

// Live grains and puffs run out on their own.
void CSandbox::StopDunes()
{
    EnableDunes(false);
    for (CountedHandle<CParticleSystem>* system : {&m_flyOutSystem, &m_dustSystem}) {
        if (*system)
            (*system)->StopEmitting();
        system->Reset();
    }
    m_flyOut.Reset();
    m_dust.Reset();
}

void CSandbox::EnableDunes(bool on)
{
    if (m_flyOut)
        m_flyOut->enabled = on;
    if (m_dust)
        m_dust->enabled = on;
}

void CSandbox::Update(float dt)
{
    if (m_fadeSpeed < 0.0f) {
        m_fade += m_fadeSpeed * dt;
        if (m_fade <= 0.0f) {
            m_fade = 0.0f;
            m_visible = false;
            m_fadeSpeed = 0.0f;
        }
    } else if (m_fadeSpeed > 0.0f) {
        m_visible = true;
        m_fade += m_fadeSpeed * dt;
        if (m_fade >= 1.0f) {
            m_fade = 1.0f;
            m_fadeSpeed = 0.0f;
        }
    } else if (!(m_heightfield && m_heightfield->IsFull()) && m_barAlpha > 0.0f) {
        m_barAlpha = std::max(m_barAlpha - dt / m_barPostTime, 0.0f);
    }
    UpdateSurface();
}

void CSandbox::SetFull(bool on, double meter)
{
    if (on)
        m_barAlpha = 1.0f;
    if (m_heightfield)
        m_heightfield->SetFull(on, on ? meter : 0.0);
    UpdateSurface();
    EnableDunes(!on);
}

void CSandbox::DropGrain(float amount, float x, float y, float /*z*/, float dropOffset, float vx, float upSpeed,
                         float maxSpeed, float gravity)
{
    if (!m_heightfield)
        return;
    const SandboxGeometry& g = *m_geometry;
    const float h = y - (g.top - g.height) - dropOffset;
    float t = 0.0f;
    if (h > 0.0f) {
        const float r = std::min(upSpeed, maxSpeed);
        const float t1 = (maxSpeed + r) / gravity;
        const float d1 = t1 * (gravity / 2.0f * t1) - r * t1; // fallen when the top speed is reached
        t = h > d1 ? t1 + (h - d1) / maxSpeed : (std::sqrt(2.0f * gravity * h + r * r) + r) / gravity;
    }
    // A gravity or top speed that is not above 0 gives no fall time at all;
    // the grain lands at once rather than never.
    if (!(std::isfinite(t) && t >= 0.0f))
        t = 0.0f;
    const float last = static_cast<float>(m_heightfield->ColumnCount() - 1);
    float position = (x - g.left + t * vx) / g.width * last;
    position = std::isnan(position) ? 0.0f : std::clamp(position, 0.0f, last);
    m_heightfield->QueueGrain(t, position, amount);
}

void CSandbox::Draw(const FrameTargets& targets)
{
    RenderSand(targets);
    RenderBox(targets);
}

bool CSandbox::RenderSand(const FrameTargets& targets)
{
    UpdateSurface();
    const SandboxGeometry& g = *m_geometry;
    const uint32_t n = static_cast<uint32_t>(g.Columns());
    if (n < 2 || !m_heightfield)
        return true;
    CBufferLocks locks(*targets.vertices, *targets.indices, 2 * n, 2 * n);
    if (!locks.Locked())
        return false;
    // Everyday sand lies in the upper half of the texture, the frenzy's in
    // the lower; the surface row is where each half begins.
    const float offset = m_heightfield->IsFull() ? 0.0f : -0.5f;
    const uint32_t colour = WithAlpha(0xffffff, m_fade * 255.0f);
    const std::vector<double>& shown = m_heightfield->DisplayLevels();
    for (uint32_t i = 0; i < n; ++i) {
        const Vec3& base = g.bases[i];
        const Vec3& top = g.surface[i];
        const float u = g.u[i];
        locks.vertices[2 * i] = Vertex{base.x, base.y, base.z, colour, u, 1.0f + offset, 0, 0};
        locks.vertices[2 * i + 1] =
            Vertex{top.x, top.y, top.z, colour, u, 1.0f + offset - 0.5f * static_cast<float>(shown[i]), 0, 0};
        locks.indices[2 * i] = static_cast<uint16_t>(locks.firstVertex + 2 * i);
        locks.indices[2 * i + 1] = static_cast<uint16_t>(locks.firstVertex + 2 * i + 1);
    }
    const uint32_t firstVertex = locks.firstVertex;
    const uint32_t firstIndex = locks.firstIndex;
    locks.Unlock();

    // Opaque once fully faded in: blending would only cost.
    targets.device->DrawPass(BoxPass(m_fade < 1.0f ? PassBlend::Alpha() : PassBlend::Opaque(), m_textures[kSand]),
                             PassDraw::Strip(firstVertex, 2 * n, firstIndex));
    return true;
}

bool CSandbox::RenderBox(const FrameTargets& targets)
{
    const SandboxGeometry& g = *m_geometry;
    const double meter = m_heightfield ? m_heightfield->Meter() : 0.0;
    const int count = m_barElements;
    const float lit = static_cast<float>(count * meter);
    const int whole = std::clamp(static_cast<int>(std::floor(lit)), 0, count - 1);
    const bool barShown = m_barAlpha > 0.0f;
    const bool fullRun = barShown && 1.0 / count <= meter;
    const uint32_t barQuads = barShown ? (fullRun ? 2 : 1) : 0;
    const uint32_t quads = 6 + barQuads;
    CBufferLocks locks(*targets.vertices, *targets.indices, 4 * quads, 6 * quads);
    if (!locks.Locked())
        return false;

    const float px = m_frontShift.x + g.left;
    const float py = m_frontShift.y + g.top;
    const float pz = m_frontShift.z + g.z;
    const uint32_t glass = WithAlpha(m_glassColor, static_cast<float>(m_glassColor >> 24) * m_fade);
    const uint32_t front = WithAlpha(0xffffff, m_fade * 255.0f);
    uint32_t q = 0;
    auto quad = [&](float x, float y, float z, float w, float h, uint32_t colour, float u0, float v0, float u1,
                    float v1) {
        PutQuad(locks.vertices + 4 * q, locks.indices + 6 * q, locks.firstVertex + 4 * q, x, y, z, w, h, colour,
                u0, v0, u1, v1);
        ++q;
    };
    for (uint32_t colour : {glass, front}) {
        float x = px;
        for (const Band& b : kBands) {
            quad(x, py, pz, b.width, kBandHeight, colour, b.u0, b.v0, b.u1, b.v1);
            x += b.width;
        }
    }
    if (barShown) {
        const float barX = g.left + m_barShift.x;
        const float barY = g.top + m_barShift.y;
        const float w = m_barElementSize.x;
        const float h = m_barElementSize.y;
        const float opacity = m_fade * m_barAlpha * 255.0f;
        const float partial = std::min((lit - static_cast<float>(whole)) * opacity, 255.0f);
        quad(barX + static_cast<float>(whole) * w, barY, g.z, w, h, WithAlpha(m_barColor, partial), 0, 0, 1, 1);
        if (fullRun)
            quad(barX, barY, g.z, static_cast<float>(whole) * w, h, WithAlpha(m_barColor, opacity), 0, 0,
                 static_cast<float>(whole), 1);
    }
    const uint32_t firstVertex = locks.firstVertex;
    const uint32_t firstIndex = locks.firstIndex;
    locks.Unlock();

    CRenderDevice& device = *targets.device;
    device.DrawPass(BoxPass(PassBlend::Alpha(), m_textures[kGlass]), PassDraw::Quads(firstVertex, firstIndex, 3));
    device.DrawPass(BoxPass(PassBlend::Alpha(), m_textures[kFront]),
                    PassDraw::Quads(firstVertex + 12, firstIndex + 18, 3));
    if (barShown)
        device.DrawPass(BoxPass(PassBlend::Additive(), m_textures[kBarElement]),
                        PassDraw::Quads(firstVertex + 24, firstIndex + 36, barQuads));
    return true;
}
