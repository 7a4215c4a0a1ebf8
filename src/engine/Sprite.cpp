#include "engine/Sprite.h"

#include "engine/BufferLocks.h"

#include "engine/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <memory>

using namespace d3d;

namespace {

// Moves `value` toward `target` by `step`; true once it got there.
bool Approach(float* value, float target, float step)
{
    if (*value < target) {
        *value += step;
        if (*value >= target) {
            *value = target;
            return true;
        }
        return false;
    }
    if (*value > target) {
        *value -= step;
        if (*value <= target) {
            *value = target;
            return true;
        }
        return false;
    }
    return true;
}
} // namespace

CSprite::CSprite(float px, float py, float pz, float w, float h, uint32_t argb, CountedHandle<CTexture> tex,
                 int blendedFlag)
    : blended(blendedFlag), texture(std::move(tex)), x(px), y(py), z(pz), width(w), height(h), targetWidth(w),
      targetHeight(h)
{
    SetColor(argb);
    AddFrame(0, 0, 1, 1);
    const float ax[3] = {1, 0, 0}, ay[3] = {0, 1, 0};
    SetAxes(ax, ay, 1);
}

namespace {

// Blocks of sprite slots; freed slots are taken again first, so that new
// sprites fill the holes old ones left. The blocks stay for the program's
// life: the game's sprite count only ever grows to a few thousand. The pool
// itself is never destroyed, so that it outlives every sprite, those that
// objects of static storage let go of at exit too (which may have been
// made before the pool was).
class SpritePool {
public:
    static SpritePool& Get()
    {
        union Forever {
            SpritePool pool;
            Forever() : pool() {}
            ~Forever() {}
        };
        static Forever forever;
        return forever.pool;
    }
    void* Take()
    {
        if (m_free.empty())
            Grow();
        void* slot = m_free.back();
        m_free.pop_back();
        return slot;
    }
    void Give(void* slot) { m_free.push_back(slot); }

private:
    static constexpr size_t kSlotsPerBlock = 128;
    void Grow()
    {
        m_blocks.push_back(std::make_unique<Slot[]>(kSlotsPerBlock));
        Slot* block = m_blocks.back().get();
        // Handed out from the block's start on.
        for (size_t i = kSlotsPerBlock; i-- > 0;)
            m_free.push_back(&block[i]);
    }
    struct alignas(alignof(CSprite)) Slot {
        unsigned char bytes[sizeof(CSprite)];
    };
    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    std::vector<void*> m_free;
};

} // namespace

void* CSprite::operator new(size_t size)
{
    if (size != sizeof(CSprite))
        return ::operator new(size, std::align_val_t(alignof(CSprite)));
    return SpritePool::Get().Take();
}

void* CSprite::operator new(size_t size, std::align_val_t) { return operator new(size); }

void CSprite::operator delete(void* sprite) noexcept
{
    if (sprite)
        SpritePool::Get().Give(sprite);
}

void CSprite::operator delete(void* sprite, std::align_val_t) noexcept { operator delete(sprite); }

void CSprite::SetColor(uint32_t argb)
{
    color = argb;
    rgb = argb & 0xFFFFFF;
    alpha = static_cast<float>(argb >> 24);
    red = static_cast<float>((argb >> 16) & 0xFF);
    green = static_cast<float>((argb >> 8) & 0xFF);
    blue = static_cast<float>(argb & 0xFF);
}

void CSprite::SetBlendMode(int blendedFlag, int preset)
{
    blended = blendedFlag;
    static const int32_t table[4][2] = {{5, 6}, {5, 2}, {1, 4}, {2, 4}};
    if (preset >= 0 && preset < 4) {
        srcBlend = table[preset][0];
        destBlend = table[preset][1];
    }
}

void CSprite::UpdateExtents()
{
    const float c = std::cos(angle), s = std::sin(angle);
    for (int k = 0; k < 3; ++k) {
        extentX[k] = width * (c * axisX[k] + s * axisY[k]);
        extentY[k] = height * (-s * axisX[k] + c * axisY[k]);
    }
}

void CSprite::SetSize(float w, float h)
{
    width = w;
    height = h;
    UpdateExtents();
}

void CSprite::SetAngle(float radians)
{
    angle = radians;
    UpdateExtents();
}

void CSprite::SetAxes(const float ax[3], const float ay[3], int normalise)
{
    for (int k = 0; k < 3; ++k) {
        axisX[k] = ax[k];
        axisY[k] = ay[k];
    }
    if (normalise) {
        Normalise(axisX);
        Normalise(axisY);
    }
    UpdateExtents();
}

void CSprite::SetAlphaNow(float value) { opacity = targetOpacity = value; }

void CSprite::ResizeTo(float w, float h)
{
    targetWidth = w;
    targetHeight = h;
    resizing = 1;
}

void CSprite::FadeTo(float value)
{
    targetOpacity = value;
    fading = 1;
}

int CSprite::AddFrame(float u0, float v0, float u1, float v1)
{
    const float uv[8] = {u0, v0, u1, v0, u1, v1, u0, v1};
    return AddFrameQuad(uv);
}

int CSprite::AddFrameQuad(const float uv[8])
{
    frames.Append(uv);
    return static_cast<int>(frames.size() / 8) - 1;
}

void CSprite::SetFrameRect(int n, float u0, float v0, float u1, float v1)
{
    const float uv[8] = {u0, v0, u1, v0, u1, v1, u0, v1};
    SetFrameQuad(n, uv);
}

void CSprite::SetFrameQuad(int n, const float uv[8])
{
    if (n < 0 || static_cast<size_t>(n) * 8 + 8 > frames.size())
        return;
    std::copy(uv, uv + 8, frames.data() + n * 8);
}

void CSprite::SetVertexOffsets(const float xy[8]) { cornerOffsets.assign(xy, xy + 8); }

void CSprite::Update(float dt)
{
    if (!(timed | spinning | resizing | fading))
        return; // most sprites stand still
    if (timed)
        timeLeft -= dt;
    if (spinning) {
        angle += dt * spinSpeed;
        if (angle > kTwoPi)
            angle -= kTwoPi;
        if (angle < 0.0f)
            angle += kTwoPi;
    }
    if (resizing) {
        Approach(&width, targetWidth, dt * widthSpeed);
        Approach(&height, targetHeight, dt * heightSpeed);
    }
    if (spinning || resizing)
        UpdateExtents();
    if (fading && opacity != targetOpacity && Approach(&opacity, targetOpacity, dt * fadeSpeed))
        fading = 0;
    if (timed && fadeWithTimer && timerFade > timeLeft) {
        fading = 0;
        opacity = targetOpacity = timeLeft / timerFade;
    }
}

void CSprite::FillVertices(Vertex* vertices, uint16_t* indices, uint32_t firstVertex) const
{
    const float level = opacity * alpha;
    // Truncation is the floor for the usual non-negative levels and much cheaper.
    const float whole = level >= 0.0f ? static_cast<float>(static_cast<int32_t>(level)) : std::floor(level);
    const uint32_t a = static_cast<uint32_t>(static_cast<int32_t>(whole)) & 0xFF;
    uint32_t colour = a << 24 | rgb;
    if (destBlend == 4) {
        auto scaled = [&](float channel) {
            return static_cast<uint32_t>(std::floor(channel * level / 255.0f)) & 0xFF;
        };
        colour = a << 24 | scaled(red) << 16 | scaled(green) << 8 | scaled(blue);
    }
    // Plain scalars rather than a corner array: the compiler then keeps the
    // corners in registers instead of packing halves of them through the
    // stack, which stalled every sprite on a store it had to read back whole.
    const float ax = extentX[0], ay = extentX[1], az = extentX[2];
    const float bx = extentY[0], by = extentY[1], bz = extentY[2];
    const size_t f = static_cast<size_t>(frame) * 8 + 8 <= frames.size() ? static_cast<size_t>(frame) * 8 : 0;
    const float* uv = frames.data() + f;
    auto put = [&](Vertex& v, float px, float py, float pz, int i) {
        v.x = px;
        v.y = py;
        v.z = pz;
        v.color = colour;
        v.u = uv[i * 2];
        v.v = uv[i * 2 + 1];
    };
    if (cornerOffsets.size() == 8) {
        for (int i = 0; i < 4; ++i) {
            const float s = cornerOffsets[static_cast<size_t>(i) * 2],
                        t = cornerOffsets[static_cast<size_t>(i) * 2 + 1];
            put(vertices[i], x + s * ax + t * bx, y + s * ay + t * by, z + s * az + t * bz, i);
        }
    } else {
        const float s = -0.5f - originX, t = 0.5f - originY;
        const float x0 = x + s * ax + t * bx, y0 = y + s * ay + t * by, z0 = z + s * az + t * bz;
        const float x1 = x0 + ax, y1 = y0 + ay, z1 = z0 + az;
        const float x2 = x1 - bx, y2 = y1 - by, z2 = z1 - bz;
        put(vertices[0], x0, y0, z0, 0);
        put(vertices[1], x1, y1, z1, 1);
        put(vertices[2], x2, y2, z2, 2);
        put(vertices[3], x2 - ax, y2 - ay, z2 - az, 3);
    }
    const uint16_t b = static_cast<uint16_t>(firstVertex);
    indices[0] = b;
    indices[1] = static_cast<uint16_t>(b + 1);
    indices[2] = static_cast<uint16_t>(b + 2);
    indices[3] = b;
    indices[4] = static_cast<uint16_t>(b + 2);
    indices[5] = static_cast<uint16_t>(b + 3);
}

CSpriteRenderer::CSpriteRenderer(CountedHandle<CRenderDevice> renderDevice, CountedHandle<CVertexBuffer> vertices,
                                 CountedHandle<CIndexBuffer> indices)
    : device(std::move(renderDevice)), vertexBuffer(std::move(vertices)), indexBuffer(std::move(indices))
{}

CSpriteRenderer::~CSpriteRenderer()
{
    hiddenSprites.clear();
    sprites.clear();
}

void CSpriteRenderer::Insert(const CountedHandle<CSprite>& sprite)
{
    m_orderedDirty = true;
    const CSprite& s = *sprite;
    bool groupSeen = false;
    for (auto it = sprites.begin(); it != sprites.end();) {
        CSprite& e = **it;
        if (!e.visible) {
            hiddenSprites.push_back(*it);
            it = sprites.erase(it);
            continue;
        }
        if (e.zOrder < s.zOrder) {
            sprites.insert(it, sprite);
            return;
        }
        if (e.zOrder == s.zOrder) {
            if (!SameTexture(e.texture, s.texture)) {
                if (groupSeen) {
                    sprites.insert(it, sprite);
                    return;
                }
            } else {
                groupSeen = true;
                if ((!e.blended && !s.blended) ||
                    (e.blended == s.blended && e.depthTest == s.depthTest && e.depthWrite == s.depthWrite &&
                     e.srcBlend == s.srcBlend && e.destBlend == s.destBlend)) {
                    sprites.insert(it, sprite);
                    return;
                }
            }
        }
        ++it;
    }
    sprites.push_back(sprite);
}

void CSpriteRenderer::Repartition()
{
    m_orderedDirty = true;
    // Sprites that were hidden leave the drawing list, keeping their order...
    const auto hiddenStart = std::stable_partition(
        sprites.begin(), sprites.end(), [](const CountedHandle<CSprite>& h) { return h->visible != 0; });
    hiddenSprites.insert(hiddenSprites.end(), hiddenStart, sprites.end());
    sprites.erase(hiddenStart, sprites.end());
    // ...and those shown again go back in, each at its place. They are taken
    // out first because placing one may move other sprites between lists.
    SpriteList shown;
    for (auto it = hiddenSprites.begin(); it != hiddenSprites.end();) {
        if ((*it)->visible) {
            shown.push_back(*it);
            it = hiddenSprites.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& sprite : shown)
        Insert(sprite);
}

void CSpriteRenderer::Add(const CountedHandle<CSprite>& sprite)
{
    if (!sprite)
        return;
    if (sprite->visible)
        Insert(sprite);
    else
        hiddenSprites.push_back(sprite);
}

void CSpriteRenderer::Remove(const CountedHandle<CSprite>& sprite)
{
    sprites.erase(std::remove(sprites.begin(), sprites.end(), sprite), sprites.end());
    m_orderedDirty = true;
    hiddenSprites.erase(std::remove(hiddenSprites.begin(), hiddenSprites.end(), sprite), hiddenSprites.end());
    Repartition();
}

void CSpriteRenderer::SetVisible(const CountedHandle<CSprite>& sprite, int flag)
{
    if (sprite)
        sprite->visible = flag;
    Repartition();
}

void CSpriteRenderer::Resort()
{
    Repartition();
    // The list is built again from a scratch list the renderer keeps, so a
    // resort takes no memory once both lists have grown.
    m_resorting.swap(sprites);
    for (const auto& sprite : m_resorting)
        Insert(sprite);
    m_resorting.clear();
}

const std::vector<CSprite*>& CSpriteRenderer::Ordered()
{
    // The walks of every frame go through plain pointers in list order; the
    // handles' blocks are only touched again when the list changes.
    if (m_ordered.size() != sprites.size() || m_orderedDirty) {
        m_ordered.clear();
        for (const auto& handle : sprites)
            m_ordered.push_back(handle.Get());
        m_orderedDirty = false;
    }
    return m_ordered;
}

void CSpriteRenderer::Update(float dt, int updateHidden)
{
    auto over = [](const CSprite& s) {
        return (s.timed && s.timeLeft <= 0.0f) || (s.dropWhenFaded && s.opacity <= 0.0f);
    };
    auto expired = [&](const CountedHandle<CSprite>& h) { return over(*h); };
    bool anyExpired = false;
    for (CSprite* s : Ordered()) {
        if (s->visible || updateHidden)
            s->Update(dt);
        anyExpired = anyExpired || over(*s);
    }
    if (anyExpired) {
        sprites.erase(std::remove_if(sprites.begin(), sprites.end(), expired), sprites.end());
        m_orderedDirty = true;
    }
    for (auto it = hiddenSprites.begin(); it != hiddenSprites.end();) {
        CSprite& s = **it;
        if (s.visible || updateHidden)
            s.Update(dt);
        if (expired(*it))
            it = hiddenSprites.erase(it);
        else
            ++it;
    }
}

bool CSpriteRenderer::DrawRun(const std::vector<CSprite*>& run)
{
    const uint32_t n = static_cast<uint32_t>(run.size());
    CBufferLocks locks(*vertexBuffer, *indexBuffer, 4 * n, 6 * n);
    if (!locks.Locked())
        return false;
    for (uint32_t i = 0; i < n; ++i)
        run[i]->FillVertices(locks.vertices + 4 * i, locks.indices + 6 * i, locks.firstVertex + 4 * i);
    return true;
}

void CSpriteRenderer::Render()
{
    if (sprites.empty() || !device->Device())
        return;
    uint32_t keptZWrite = 1;
    device->GetFrameRenderState(D3DRS_ZWRITEENABLE, &keptZWrite);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 128);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetTextureStageState(1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    std::vector<CSprite*>& run = m_run;
    for (auto it = sprites.begin(); it != sprites.end();) {
        CSprite* first = it->Get();
        if (!first->visible || first->blended) {
            ++it;
            continue;
        }
        run.clear();
        run.push_back(first);
        auto next = std::next(it);
        for (; next != sprites.end(); ++next) {
            CSprite* s = next->Get();
            if (!s->visible || s->blended)
                continue;
            if (!SameTexture(s->texture, first->texture) || s->depthWrite != first->depthWrite)
                break;
            run.push_back(s);
        }
        if (!DrawRun(run))
            return;
        device->SetTexture(0, first->texture);
        device->SetRenderState(D3DRS_ZWRITEENABLE, static_cast<uint32_t>(first->depthWrite));
        const uint32_t n = static_cast<uint32_t>(run.size());
        device->DrawIndexed(D3DPT_TRIANGLELIST, vertexBuffer->LockStart(), 4 * n, indexBuffer->LockStart(), 2 * n);
        it = next;
    }
    device->SetRenderState(D3DRS_ZWRITEENABLE, keptZWrite);
}

void CSpriteRenderer::RenderLayer(int32_t layerNumber)
{
    if (sprites.empty() || !device->Device())
        return;
    auto drawable = [&](const CSprite* s) { return s->visible && s->blended && s->layer == layerNumber; };
    // Passes go from the largest z-order down; within a pass the sprites
    // keep their list order and a run ends only at a sprite of the same key
    // that differs in texture or states. Gathering the drawable sprites and
    // ordering them stably by key gives exactly those passes and runs in one
    // walk (the list is normally in order already, and then is not sorted).
    m_drawable.clear();
    const std::vector<CSprite*>& ordered = Ordered();
    for (size_t i = 0; i < ordered.size(); ++i) {
        if (i + 8 < ordered.size())
            __builtin_prefetch(ordered[i + 8]);
        if (drawable(ordered[i]))
            m_drawable.push_back(ordered[i]);
    }
    if (m_drawable.empty())
        return;
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetTextureStageState(1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    uint32_t keptZWrite = 1, keptZFunc = D3DCMP_LESSEQUAL;
    device->GetFrameRenderState(D3DRS_ZWRITEENABLE, &keptZWrite);
    device->GetFrameRenderState(D3DRS_ZFUNC, &keptZFunc);
    auto byKey = [](const CSprite* a, const CSprite* b) { return a->zOrder > b->zOrder; };
    if (!std::is_sorted(m_drawable.begin(), m_drawable.end(), byKey))
        std::stable_sort(m_drawable.begin(), m_drawable.end(), byKey);
    m_runs.clear();
    for (size_t i = 0; i < m_drawable.size();) {
        const CSprite* first = m_drawable[i];
        size_t next = i + 1;
        for (; next < m_drawable.size(); ++next) {
            const CSprite* s = m_drawable[next];
            if (s->zOrder != first->zOrder || !SameTexture(s->texture, first->texture) ||
                s->depthTest != first->depthTest || s->depthWrite != first->depthWrite ||
                s->srcBlend != first->srcBlend || s->destBlend != first->destBlend)
                break;
        }
        m_runs.push_back(Run{i, next});
        i = next;
    }
    // Every run's quads go in with one lock when they fit; else run by run.
    const bool filled = FillRuns();
    for (const Run& r : m_runs) {
        const CSprite* first = m_drawable[r.begin];
        const uint32_t n = static_cast<uint32_t>(r.end - r.begin);
        uint32_t firstVertex = r.firstVertex, firstIndex = r.firstIndex;
        if (!filled) {
            m_run.assign(m_drawable.begin() + static_cast<std::ptrdiff_t>(r.begin),
                         m_drawable.begin() + static_cast<std::ptrdiff_t>(r.end));
            if (!DrawRun(m_run))
                break;
            firstVertex = vertexBuffer->LockStart();
            firstIndex = indexBuffer->LockStart();
        }
        device->SetRenderState(D3DRS_ZWRITEENABLE, static_cast<uint32_t>(first->depthWrite));
        device->SetRenderState(D3DRS_ZFUNC, first->depthTest ? keptZFunc : D3DCMP_ALWAYS);
        device->SetRenderState(D3DRS_SRCBLEND, static_cast<uint32_t>(first->srcBlend));
        device->SetRenderState(D3DRS_DESTBLEND, static_cast<uint32_t>(first->destBlend));
        device->SetTexture(0, first->texture);
        device->DrawIndexed(D3DPT_TRIANGLELIST, firstVertex, 4 * n, firstIndex, 2 * n);
    }
    device->SetRenderState(D3DRS_ZWRITEENABLE, keptZWrite);
    device->SetRenderState(D3DRS_ZFUNC, keptZFunc);
}

bool CSpriteRenderer::FillRuns()
{
    const uint32_t n = static_cast<uint32_t>(m_drawable.size());
    if (4 * n > vertexBuffer->capacity || 6 * n > indexBuffer->capacity)
        return false;
    CBufferLocks locks(*vertexBuffer, *indexBuffer, 4 * n, 6 * n);
    if (!locks.Locked())
        return false;
    // The sprites come in z-order, not in the order they lie in memory: the
    // ones a few places ahead are fetched while this one is filled.
    constexpr uint32_t kAhead = 6;
    for (uint32_t i = 0; i < n; ++i) {
        if (i + kAhead < n) {
            const char* ahead = reinterpret_cast<const char*>(m_drawable[i + kAhead]);
            __builtin_prefetch(ahead);
            __builtin_prefetch(ahead + 64);
            __builtin_prefetch(ahead + 128);
        }
        m_drawable[i]->FillVertices(locks.vertices + 4 * i, locks.indices + 6 * i, locks.firstVertex + 4 * i);
    }
    for (Run& r : m_runs) {
        r.firstVertex = locks.firstVertex + 4 * static_cast<uint32_t>(r.begin);
        r.firstIndex = locks.firstIndex + 6 * static_cast<uint32_t>(r.begin);
    }
    return true;
}
