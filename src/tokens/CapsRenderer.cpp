#include "tokens/CapsRenderer.h"

#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "engine/Vertex.h"

#include <algorithm>

using namespace d3d;

namespace {

const char* const kTextureFiles[CCapsRenderer::kTextureCount] = {
    "Caps.png",     "Caps_d.png",     "Caps_l.tga",     "MemCaps1.tga",   "MemCaps2.tga",
    "MemCaps3.tga", "MemCaps1_l.tga", "MemCaps2_l.tga", "MemCaps3_l.tga",
};

// The registry name of a picture: its file name without the extension.
std::string Stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

// The light pass brightens only caps whose centre lies within about three
// half-sizes of the pointer; the factor is this constant, not exactly 1/9.
constexpr double kLightReach = 0.111111;

// Chains are drawn a little larger than their cap; the two chain pictures
// lie side by side in the chain texture.
constexpr float kChainScale = 46.0f / 39.0f;
constexpr float kChainPictureWidth = 0.359375f;
constexpr float kChainPictureHeight = 0.71875f;

void WriteQuadIndices(uint16_t* x, uint32_t b)
{
    const uint32_t order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i)
        x[i] = static_cast<uint16_t>(b + order[i]);
}

} // namespace

CCapsRenderer::CCapsRenderer(CountedHandle<CRenderDevice> device, CountedHandle<CVertexBuffer> vertices,
                             CountedHandle<CIndexBuffer> indices)
    : m_device(device), m_vertexBuffer(vertices), m_indexBuffer(indices)
{
    m_caps.reserve(128);
    m_animations.reserve(CCapsAnimation::kCount);
    m_batches.reserve(128);
}

// The pictures are registered by their headers and come into memory when
// the board first draws them: the main menu never does. The memory
// challenge's set is not even drawn then: it comes back when the game
// switches to it.
bool CCapsRenderer::LoadTextures(const std::string& folder)
{
    auto load = [&](const char* file, CountedHandle<CTexture>* slot) {
        *slot = m_device->RegisterTexture(folder + file, Stem(file), 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        if (!*slot)
            WriteLog("Unable to load Texture " + Stem(file) + "!\n");
        return static_cast<bool>(*slot);
    };
    m_textures.clear();
    for (int entry = 0; entry < kTextureCount; ++entry) {
        m_textures.emplace_back();
        if (!load(kTextureFiles[entry], &m_textures.back()))
            return false;
        if (entry >= kMemCaps1)
            m_textures.back()->ReleaseD3DResource();
    }
    if (!load("CursorAdd.bmp", &m_cursorAddTexture) || !load("Chain.png", &m_chainTexture))
        return false;
    static const std::vector<D3DFORMAT> kChainAlphaFormats = {D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_A4L4,
                                                              D3DFMT_A8R8G8B8, D3DFMT_A8R3G3B2, D3DFMT_A8L8};
    m_chainAlphaTexture = m_device->RegisterTexture(folder + "Chain.png", "ChainAlpha", 0, 0, D3DPOOL_MANAGED,
                                                    m_device->ChooseFormat(kChainAlphaFormats));
    if (!m_chainAlphaTexture) {
        WriteLog("Unable to load Texture ChainAlpha!\n");
        return false;
    }
    m_textureSet = 0;
    return true;
}

bool CCapsRenderer::LoadAnimations(const std::string& folder)
{
    m_animations.clear();
    return LoadCapsAnimations(folder, &m_animations);
}

bool CCapsRenderer::SwitchTextureSet(int set)
{
    if (m_textureSet < 0 || (set != 0 && set != 1))
        return false;
    if (set == m_textureSet)
        return true;
    auto first = [](int s) { return s == 0 ? 0 : static_cast<int>(kMemCaps1); };
    auto end = [](int s) { return s == 0 ? static_cast<int>(kMemCaps1) : static_cast<int>(kTextureCount); };
    for (int e = first(m_textureSet); e < end(m_textureSet); ++e)
        m_textures[static_cast<size_t>(e)]->ReleaseD3DResource();
    m_textureSet = set;
    for (int e = first(set); e < end(set); ++e)
        if (Failed(m_textures[static_cast<size_t>(e)]->Recreate(m_device->Device())))
            return false;
    return true;
}

int CCapsRenderer::AnimationIndex(int type) const
{
    int index = -1;
    if (type >= 0 && type <= 19)
        index = type;
    else if (type >= 20 && type <= 28)
        index = type - 12;
    else if (type >= 50 && type <= 99)
        index = type - 50;
    else if (type >= 100)
        index = 7;
    return index < static_cast<int>(m_animations.size()) ? index : -1;
}

// A track position beyond the track shows its last frame.
const CapFrame* CCapsRenderer::FrameOf(const CCap& cap) const
{
    const int index = AnimationIndex(cap.type);
    if (index < 0)
        return nullptr;
    const CCapsAnimation& animation = m_animations[static_cast<size_t>(index)];
    if (animation.track.empty())
        return nullptr;
    const int last = static_cast<int>(animation.track.size()) - 1;
    const int position = std::clamp(cap.trackPosition, 0, last);
    return &animation.frames[static_cast<size_t>(animation.track[static_cast<size_t>(position)])];
}

void CCapsRenderer::AssignTextures(CCap& cap) const
{
    if (m_textures.size() < kTextureCount)
        return;
    int base = kCaps, light = kCapsLight;
    if (cap.type >= 20 && cap.type <= 28) {
        base = kMemCaps1 + (cap.type - 20) / 3;
        light = kMemCapsLight1 + (cap.type - 20) / 3;
    } else if (cap.type >= 50 && cap.type <= 99) {
        base = kCapsGem;
    }
    cap.baseTexture = m_textures[static_cast<size_t>(base)];
    cap.lightTexture = m_textures[static_cast<size_t>(light)];
}

CountedHandle<CCap> CCapsRenderer::CreateCap(int type, float x, float y, float z, float size, int layer)
{
    CountedHandle<CCap> cap = MakeCountedHandle(new CCap());
    cap->type = type;
    cap->x = x;
    cap->y = y;
    cap->z = z;
    cap->size = size;
    cap->layer = layer;
    AssignTextures(*cap);
    InsertCap(cap);
    return cap;
}

// Before the first cap of the same layer and texture, else before the first
// cap of a lower layer, else at the end.
void CCapsRenderer::InsertCap(const CountedHandle<CCap>& cap)
{
    auto at = m_caps.begin();
    for (; at != m_caps.end(); ++at) {
        const CCap& other = **at;
        if (other.layer == cap->layer && other.baseTexture == cap->baseTexture)
            break;
        if (other.layer < cap->layer)
            break;
    }
    m_caps.insert(at, cap);
}

int CCapsRenderer::Find(const CountedHandle<CCap>& cap) const
{
    for (size_t i = 0; i < m_caps.size(); ++i)
        if (m_caps[i] == cap)
            return static_cast<int>(i);
    return -1;
}

int CCapsRenderer::RemoveCap(const CountedHandle<CCap>& cap)
{
    const int index = Find(cap);
    if (index >= 0)
        m_caps.erase(m_caps.begin() + index);
    return index;
}

void CCapsRenderer::SetCapGem(const CountedHandle<CCap>& cap, bool gem)
{
    if (gem && cap->type < 50) {
        cap->type += 50;
    } else if (!gem && cap->type >= 50 && cap->type <= 99) {
        cap->type -= 50;
    } else {
        return;
    }
    AssignTextures(*cap);
    ResortCap(cap);
}

int CCapsRenderer::ResortCap(const CountedHandle<CCap>& cap)
{
    int i = Find(cap);
    if (i < 0)
        return -1;
    const int n = static_cast<int>(m_caps.size());
    auto layer = [&](int k) { return m_caps[static_cast<size_t>(k)]->layer; };
    auto swapWith = [&](int k) { std::swap(m_caps[static_cast<size_t>(i)], m_caps[static_cast<size_t>(k)]); };

    if (i > 0 && layer(i - 1) < cap->layer) {
        for (; i > 0 && layer(i - 1) < cap->layer; --i)
            swapWith(i - 1);
    } else {
        for (; i + 1 < n && layer(i + 1) > cap->layer; ++i)
            swapWith(i + 1);
    }

    // Join the run of caps with the same texture in the same layer.
    auto sameRun = [&](int k) { return layer(k) == cap->layer; };
    auto sameTexture = [&](int k) { return m_caps[static_cast<size_t>(k)]->baseTexture == cap->baseTexture; };
    auto moveTo = [&](int target) {
        CountedHandle<CCap> held = m_caps[static_cast<size_t>(i)];
        m_caps.erase(m_caps.begin() + i);
        m_caps.insert(m_caps.begin() + target, held);
        i = target;
    };
    for (int k = i - 1; k >= 0 && sameRun(k); --k)
        if (sameTexture(k)) {
            if (k != i - 1)
                moveTo(k + 1);
            return i;
        }
    for (int k = i + 1; k < n && sameRun(k); ++k)
        if (sameTexture(k)) {
            if (k != i + 1)
                moveTo(k - 1);
            return i;
        }
    return i;
}

uint32_t CCapsRenderer::MarkLitCaps(float mouseX, float mouseY)
{
    uint32_t lit = 0;
    for (const CountedHandle<CCap>& handle : m_caps) {
        CCap& cap = *handle;
        if (!cap.visible || !cap.hoverLight)
            continue;
        const float dx = cap.x - mouseX;
        const float dy = cap.y - mouseY;
        if (static_cast<double>(cap.size * cap.size) > static_cast<double>(dx * dx + dy * dy) * kLightReach) {
            cap.hoverDx = dx;
            cap.hoverDy = dy;
            cap.lit = 1;
            ++lit;
        } else {
            cap.lit = 0;
        }
    }
    return lit;
}

void CCapsRenderer::SetClip(float left, float top, float right, float bottom)
{
    m_clipped = true;
    m_clipLeft = left;
    m_clipTop = top;
    m_clipRight = right;
    m_clipBottom = bottom;
}

// A clipped cap keeps the part of its picture that lies inside the clip:
// its texture coordinates are cut where its square is.
bool CCapsRenderer::WriteQuad(Pass pass, const CCap& cap, Vertex* v, uint16_t* x, uint32_t base) const
{
    const CapFrame* frame = FrameOf(cap);
    if (!frame || cap.quadSuppressed)
        return false;
    const float s = cap.size;
    float a = 0, b = 0, span = 0;
    if (pass == Pass::Light) {
        const float c = 1.0f / (3.0f * s);
        a = cap.hoverDx * c;
        b = -cap.hoverDy * c;
        span = 1.0f;
    }
    float left = cap.x - s, right = cap.x + s, top = cap.y + s, bottom = cap.y - s;
    // Where each edge lies across the whole square, 0 at its left or top.
    float l = 0, r = 1, t = 0, d = 1;
    if (m_clipped && s > 0.0f) {
        left = std::max(left, m_clipLeft);
        right = std::min(right, m_clipRight);
        top = std::min(top, m_clipTop);
        bottom = std::max(bottom, m_clipBottom);
        if (left >= right || bottom >= top)
            return false;
        l = (left - (cap.x - s)) / (2 * s);
        r = (right - (cap.x - s)) / (2 * s);
        t = ((cap.y + s) - top) / (2 * s);
        d = ((cap.y + s) - bottom) / (2 * s);
    }
    const float du = frame->uRight - frame->uLeft, dv = frame->vBottom - frame->vTop;
    const float u0 = frame->uLeft + l * du, u1 = frame->uLeft + r * du;
    const float v0 = frame->vTop + t * dv, v1 = frame->vTop + d * dv;
    const float a0 = a + l * span, a1 = a + r * span, b0 = b + t * span, b1 = b + d * span;
    v[0] = Vertex{left, top, cap.z, 0xFFFFFFFF, u0, v0, a0, b0};
    v[1] = Vertex{right, top, cap.z, 0xFFFFFFFF, u1, v0, a1, b0};
    v[2] = Vertex{right, bottom, cap.z, 0xFFFFFFFF, u1, v1, a1, b1};
    v[3] = Vertex{left, bottom, cap.z, 0xFFFFFFFF, u0, v1, a0, b1};
    WriteQuadIndices(x, base);
    return true;
}

bool CCapsRenderer::BuildBatches(Pass pass, uint32_t quads)
{
    uint8_t* vb = nullptr;
    uint8_t* ib = nullptr;
    if (Failed(m_vertexBuffer->Lock(4 * quads, &vb, 0)))
        return false;
    if (Failed(m_indexBuffer->Lock(6 * quads, &ib, 0))) {
        m_vertexBuffer->Unlock();
        return false;
    }
    Vertex* vertices = reinterpret_cast<Vertex*>(vb);
    uint16_t* indices = reinterpret_cast<uint16_t*>(ib);
    const uint32_t firstVertex = m_vertexBuffer->LockStart();
    const uint32_t firstIndex = m_indexBuffer->LockStart();
    auto texture = [pass](const CCap& cap) -> const CountedHandle<CTexture>& {
        return pass == Pass::Base ? cap.baseTexture : cap.lightTexture;
    };

    m_batches.clear();
    CapBatch open{nullptr, firstVertex, 0, firstIndex, 0};
    uint32_t written = 0;
    for (const CountedHandle<CCap>& handle : m_caps) {
        const CCap& cap = *handle;
        if (!cap.visible || (pass == Pass::Light && (!cap.hoverLight || !cap.lit)))
            continue;
        if (!open.first || !(texture(cap) == texture(*open.first))) {
            if (open.triangleCount > 0)
                m_batches.push_back(open);
            open = CapBatch{&cap, firstVertex + 4 * written, 0, firstIndex + 6 * written, 0};
        }
        if (WriteQuad(pass, cap, vertices + 4 * written, indices + 6 * written, firstVertex + 4 * written)) {
            ++written;
            open.vertexCount += 4;
            open.triangleCount += 2;
        }
    }
    if (open.triangleCount > 0)
        m_batches.push_back(open);
    m_indexBuffer->Unlock();
    m_vertexBuffer->Unlock();
    return true;
}

// The caps leave the frame's depth writes on for the sprites drawn over
// them, and the light under the pointer leaves them off again.
int CCapsRenderer::DrawBatches(Pass pass)
{
    CRenderDevice& d = *m_device;
    PassState state;
    if (pass == Pass::Base) {
        d.SetFrameDepthWrites(true);
    } else {
        // The cap's sheen, lit by the light spot under the pointer, added.
        d.SetFrameDepthWrites(false);
        state.blend = PassBlend::Add();
        state.texturing = PassTexturing::LitBySecond;
        state.second = m_cursorAddTexture;
        state.clampSecond = true;
    }
    int triangles = 0;
    for (const CapBatch& batch : m_batches) {
        state.texture = pass == Pass::Base ? batch.first->baseTexture : batch.first->lightTexture;
        d.DrawPass(state, PassDraw::Triangles(batch.firstVertex, batch.vertexCount, batch.firstIndex,
                                              batch.triangleCount));
        triangles += static_cast<int>(batch.triangleCount);
    }
    return triangles;
}

int CCapsRenderer::Render()
{
    uint32_t visible = 0;
    for (const CountedHandle<CCap>& cap : m_caps)
        visible += cap->visible ? 1 : 0;
    if (visible == 0)
        return 0;
    if (!BuildBatches(Pass::Base, visible))
        return -1;
    const int triangles = DrawBatches(Pass::Base);
    const uint32_t lit = MarkLitCaps(static_cast<float>(m_mouseX), static_cast<float>(m_mouseY));
    if (lit == 0)
        return triangles;
    if (!BuildBatches(Pass::Light, lit))
        return -1;
    return triangles + DrawBatches(Pass::Light);
}

// One call for every chain: the picture's colour comes from the chain
// texture, its alpha from the second copy of it.
int CCapsRenderer::DrawChains()
{
    uint32_t n = 0;
    for (const CountedHandle<CCap>& cap : m_caps)
        n += (cap->visible && cap->chainLevel > 0) ? 1 : 0;
    if (n == 0)
        return 0;
    uint8_t* vb = nullptr;
    uint8_t* ib = nullptr;
    if (Failed(m_vertexBuffer->Lock(4 * n, &vb, 0)))
        return -1;
    if (Failed(m_indexBuffer->Lock(6 * n, &ib, 0))) {
        m_vertexBuffer->Unlock();
        return -1;
    }
    Vertex* v = reinterpret_cast<Vertex*>(vb);
    uint16_t* x = reinterpret_cast<uint16_t*>(ib);
    const uint32_t firstVertex = m_vertexBuffer->LockStart();
    const uint32_t firstIndex = m_indexBuffer->LockStart();
    uint32_t q = 0;
    for (const CountedHandle<CCap>& handle : m_caps) {
        const CCap& cap = *handle;
        if (!cap.visible || cap.chainLevel <= 0)
            continue;
        const float e = cap.size * kChainScale;
        const float u0 = cap.chainLevel == 1 ? 0.0f : kChainPictureWidth;
        const float u1 = u0 + kChainPictureWidth;
        const float v1 = kChainPictureHeight;
        Vertex* quad = v + 4 * q;
        quad[0] = Vertex{cap.x - e, cap.y + e, cap.z, 0xFFFFFFFF, u0, 0, u0, 0};
        quad[1] = Vertex{cap.x + e, cap.y + e, cap.z, 0xFFFFFFFF, u1, 0, u1, 0};
        quad[2] = Vertex{cap.x + e, cap.y - e, cap.z, 0xFFFFFFFF, u1, v1, u1, v1};
        quad[3] = Vertex{cap.x - e, cap.y - e, cap.z, 0xFFFFFFFF, u0, v1, u0, v1};
        WriteQuadIndices(x + 6 * q, firstVertex + 4 * q);
        ++q;
    }
    m_indexBuffer->Unlock();
    m_vertexBuffer->Unlock();

    // Depth writes stay on after the chains, as after the caps.
    m_device->SetFrameDepthWrites(true);
    PassState state;
    state.texturing = PassTexturing::AlphaFromSecond;
    state.texture = m_chainTexture;
    state.second = m_chainAlphaTexture;
    m_device->DrawPass(state, PassDraw::Quads(firstVertex, firstIndex, n));
    return static_cast<int>(n);
}
