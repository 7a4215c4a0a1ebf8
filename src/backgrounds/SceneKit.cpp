#include "backgrounds/SceneKit.h"

#include "engine/CheckedSettings.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace d3d;

void SceneMeshLayer::SizeForQuads(size_t quads)
{
    vertices.assign(quads * 4, SceneVertex{});
    indices.resize(quads * 6);
    for (size_t q = 0; q < quads; ++q) {
        const uint16_t b = static_cast<uint16_t>(firstVertex + static_cast<int32_t>(q * 4));
        const uint16_t quad[6] = {b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2),
                                  b, static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 3)};
        std::memcpy(&indices[q * 6], quad, sizeof quad);
    }
}

void SceneServices::SetDevice(const CountedHandle<CRenderDevice>& renderDevice,
                              const CountedHandle<CVertexBuffer>& vertices,
                              const CountedHandle<CIndexBuffer>& indices)
{
    device = renderDevice;
    vertexBuffer = vertices;
    indexBuffer = indices;
}

void SceneServices::Play(SceneSound sound) const
{
    if (sounds)
        sounds->Play(sounds->slots[sound], 0, 0);
}

const CountedHandle<CSprite>& SceneServices::Add(const CountedHandle<CSprite>& sprite) const
{
    if (sprites)
        sprites->Add(sprite);
    return sprite;
}

void SceneServices::Drop(CountedHandle<CSprite>* sprite) const
{
    if (sprites && *sprite)
        sprites->Remove(*sprite);
    sprite->Reset();
}

void SceneServices::Drop(std::initializer_list<CountedHandle<CSprite>*> list) const
{
    for (CountedHandle<CSprite>* sprite : list)
        Drop(sprite);
}

void SceneServices::DropAll(std::vector<CountedHandle<CSprite>>* list) const
{
    for (auto& sprite : *list)
        Drop(&sprite);
    list->clear();
}

CSceneCore::CSceneCore(std::initializer_list<SceneTexture> textures)
{
    m_textures.reserve(textures.size());
    for (const SceneTexture& t : textures)
        m_textures.push_back(Slot{t, t.file, {}});
}

void CSceneCore::ReadTextureFiles(const CSceneSettings& file)
{
    for (Slot& t : m_textures)
        if (t.wanted.fileKey)
            t.file = file.Text(t.wanted.fileKey, t.wanted.file);
}

bool CSceneCore::LoadTextures(const std::string& folder)
{
    // Masks take the first of these formats the device offers.
    static const std::vector<D3DFORMAT> maskFormats = {D3DFMT_A1R5G5B5, D3DFMT_A4L4, D3DFMT_A8R3G3B2,
                                                       D3DFMT_A4R4G4B4, D3DFMT_A8L8, D3DFMT_A8R8G8B8};
    if (!services.device)
        return false;
    CRenderDevice& device = *services.device;
    bool ok = true;
    for (Slot& t : m_textures) {
        const char* name = t.wanted.name;
        if (device.FindTextureIndex(name) >= 0) {
            t.texture = device.FindTextureStr(name);
            continue;
        }
        const std::string path = folder + t.file;
        switch (t.wanted.loader) {
        case TextureLoader::Plain:
            t.texture = device.LoadTexture(path, name, 1, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
            break;
        case TextureLoader::AutoFormat:
            t.texture = device.LoadTextureAutoFormat(path, name, maskFormats, 1, 0, D3DPOOL_MANAGED);
            break;
        case TextureLoader::AlphaGrey:
            t.texture = device.LoadTextureForAlpha(path, name, 1, 0, D3DPOOL_MANAGED);
            break;
        case TextureLoader::AlphaColour:
            t.texture = device.LoadTextureForAlpha(path, name, 0, 0, D3DPOOL_MANAGED);
            break;
        }
        ok = ok && t.texture;
    }
    return ok;
}

int CSceneCore::ReleaseTextures()
{
    CRenderDevice* device = services.device.Get();
    for (Slot& t : m_textures) {
        if (device)
            device->RemoveTexture(device->FindTextureIndex(t.wanted.name));
        t.texture.Reset();
    }
    return 1;
}

CountedHandle<CSprite> CSceneCore::MakePicture(bool depth) const
{
    auto picture =
        MakeMainSprite(kOriginX, kOriginY, kOriginZ, kScreenWidth, kScreenHeight, 0xFFFFFFFF, Texture(0));
    picture->SetFrameRect(0, 0.0f, 0.0f, 1.0f, 0.75f);
    SetDepth(*picture, depth, depth);
    picture->zOrder = 100;
    return services.Add(picture);
}

void TurningRays::Read(const CSceneSettings& file, const char* centreDefault, const char* periodDefault)
{
    centre = file.Position("FlareCenter", centreDefault);
    size = file.Pair("FlareRaysSize", "714 714");
    spin = kTwoPi / file.NonZero("FlareRaysRotT", periodDefault);
}

CountedHandle<CSprite> CSceneCore::MakeTurningRays(const TurningRays& r, size_t texture) const
{
    auto rays =
        MakeLayerSprite(r.centre.x, r.centre.y, kOriginZ, r.size.x, r.size.y, r.colour, Texture(texture), 1, 3);
    SetDepth(*rays, true, false);
    rays->spinning = 1;
    rays->spinSpeed = r.spin;
    rays->zOrder = -10;
    return services.Add(rays);
}

void CDustLayers::Read(const CSceneSettings& file, bool yUp)
{
    const int layers = std::clamp(file.Int("DustLayersCount", "4"), 0, kMaxCountedQuads);
    m_size = file.Float("DustSizeFactor", "4");
    m_layers.assign(static_cast<size_t>(layers), Layer{});
    for (int n = 0; n < layers; ++n) {
        const Vec2 drift = file.Pair(Numbered("DustVec_", n).c_str(), "0.001 -0.002");
        m_layers[static_cast<size_t>(n)].velocity = TurnedDrift(Vec2{drift.x, yUp ? -drift.y : drift.y}, n);
    }
}

void CDustLayers::Init(SceneMeshLayer* mesh, size_t extraQuads, float z, uint32_t colour)
{
    mesh->SizeForQuads(m_layers.size() + extraQuads);
    for (size_t q = 0; q < m_layers.size() + extraQuads; ++q)
        FullScreenQuad(mesh->Quad(q), z, colour);
    for (size_t n = 0; n < m_layers.size(); ++n) {
        DustCorners(static_cast<int>(n), m_size, m_layers[n].corners);
        m_layers[n].offset.x = RandomUnit();
        m_layers[n].offset.y = RandomUnit();
    }
}

void CDustLayers::Drift(SceneMeshLayer* mesh, float dt)
{
    for (size_t n = 0; n < m_layers.size(); ++n) {
        Layer& layer = m_layers[n];
        layer.offset.x = WrapUnit(layer.offset.x + layer.velocity.x * dt);
        layer.offset.y = WrapUnit(layer.offset.y + layer.velocity.y * dt);
        SceneVertex* q = mesh->Quad(n);
        q[0].u = layer.offset.x;
        q[0].v = layer.offset.y;
        for (int k = 0; k < 3; ++k) {
            q[k + 1].u = layer.offset.x + layer.corners[k].x;
            q[k + 1].v = layer.offset.y + layer.corners[k].y;
        }
    }
}

namespace {

// The copy of the mesh in the shared buffers.
struct MeshCopy {
    uint32_t firstVertex = 0;
    uint32_t firstIndex = 0;
};

SceneVertex Lerp(const SceneVertex& a, const SceneVertex& b, float f)
{
    auto mix = [f](float p, float q) { return p + (q - p) * f; };
    return SceneVertex{mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z),         a.diffuse,
                       mix(a.u, b.u), mix(a.v, b.v), mix(a.maskU, b.maskU), mix(a.maskV, b.maskV)};
}

bool Near(float a, float b) { return std::fabs(a - b) <= 1e-4f * (1.0f + std::fabs(a) + std::fabs(b)); }

// Cuts a quad down to where its mask can show: the part whose mask
// coordinates fall inside `bounds`. Only a parallelogram of one colour whose
// mask coordinates run along its edges, within the mask (no repeat), is cut;
// any other quad is left whole. A quad with nothing to show folds to a point.
void ClipToMask(SceneVertex q[4], const CTexture::UvRect& bounds)
{
    const SceneVertex& a = q[0];
    const SceneVertex& b = q[1];
    const SceneVertex& d = q[3];
    const SceneVertex& c = q[2];
    if (!Near(c.x, b.x + d.x - a.x) || !Near(c.y, b.y + d.y - a.y) ||
        !Near(c.maskU, b.maskU + d.maskU - a.maskU) || !Near(c.maskV, b.maskV + d.maskV - a.maskV) ||
        !Near(c.u, b.u + d.u - a.u) || !Near(c.v, b.v + d.v - a.v) || a.diffuse != b.diffuse ||
        a.diffuse != c.diffuse || a.diffuse != d.diffuse)
        return;
    // u along a-b and v along a-d.
    if (!Near(b.maskV, a.maskV) || !Near(d.maskU, a.maskU) || Near(b.maskU, a.maskU) || Near(d.maskV, a.maskV))
        return;
    auto within = [](float p) { return p >= -1e-4f && p <= 1.0f + 1e-4f; };
    if (!within(a.maskU) || !within(b.maskU) || !within(a.maskV) || !within(d.maskV))
        return;
    if (bounds.Empty()) {
        q[1] = q[2] = q[3] = q[0];
        return;
    }
    auto range = [](float from, float to, float low, float high, float* s0, float* s1) {
        float p = (low - from) / (to - from), r = (high - from) / (to - from);
        if (p > r)
            std::swap(p, r);
        *s0 = std::max(p, 0.0f);
        *s1 = std::min(r, 1.0f);
    };
    float s0, s1, t0, t1;
    range(a.maskU, b.maskU, bounds.u0, bounds.u1, &s0, &s1);
    range(a.maskV, d.maskV, bounds.v0, bounds.v1, &t0, &t1);
    if (s1 <= s0 || t1 <= t0) {
        q[1] = q[2] = q[3] = q[0];
        return;
    }
    const SceneVertex top0 = Lerp(a, b, s0), top1 = Lerp(a, b, s1);
    const SceneVertex bottom0 = Lerp(d, c, s0), bottom1 = Lerp(d, c, s1);
    q[0] = Lerp(top0, bottom0, t0);
    q[1] = Lerp(top1, bottom1, t0);
    q[2] = Lerp(top1, bottom1, t1);
    q[3] = Lerp(top0, bottom0, t1);
}

// Copies the mesh into the shared buffers, each masked pass's quads cut to
// where their mask shows: drawing the rest would only be dropped texel by
// texel.
HRESULT CopyMesh(const SceneServices& services, const SceneMeshLayer& mesh, const MeshPass* passes,
                 size_t passCount, MeshCopy* copy)
{
    uint8_t* vertexData = nullptr;
    uint8_t* indexData = nullptr;
    HRESULT hr = services.vertexBuffer->Lock(static_cast<uint32_t>(mesh.vertices.size()), &vertexData, 0);
    if (Failed(hr))
        return hr;
    hr = services.indexBuffer->Lock(static_cast<uint32_t>(mesh.indices.size()), &indexData, 0);
    if (Failed(hr)) {
        services.vertexBuffer->Unlock();
        return hr;
    }
    copy->firstVertex = services.vertexBuffer->LockStart();
    copy->firstIndex = services.indexBuffer->LockStart();
    SceneVertex* vertices = reinterpret_cast<SceneVertex*>(vertexData);
    std::memcpy(vertices, mesh.vertices.data(), mesh.vertices.size() * sizeof(SceneVertex));
    for (size_t p = 0; p < passCount; ++p) {
        const MeshPass& pass = passes[p];
        if (!pass.mask || !pass.mask->texture)
            continue;
        const CTexture::UvRect& bounds = pass.mask->AlphaBounds();
        const size_t quads = mesh.vertices.size() / 4;
        for (size_t q = pass.firstQuad; q < pass.firstQuad + pass.quadCount && q < quads; ++q)
            ClipToMask(vertices + 4 * q, bounds);
    }
    // The indices address the copy, wherever the ring put it.
    uint16_t* indices = reinterpret_cast<uint16_t*>(indexData);
    for (size_t i = 0; i < mesh.indices.size(); ++i)
        indices[i] = static_cast<uint16_t>(mesh.indices[i] + copy->firstVertex);
    services.indexBuffer->Unlock();
    services.vertexBuffer->Unlock();
    return D3D_OK;
}

} // namespace

HRESULT RenderMeshPasses(const SceneServices& services, const SceneMeshLayer& mesh, const MeshPass* passes,
                         size_t passCount, const SceneView& view)
{
    CRenderDevice* device = services.device.Get();
    if (!device || !device->Device() || !services.vertexBuffer || !services.indexBuffer || mesh.vertices.empty())
        return D3D_OK;
    MeshCopy copy;
    const HRESULT hr = CopyMesh(services, mesh, passes, passCount, &copy);
    if (Failed(hr))
        return hr;

    // Texels of alpha 1 or less (of 255) are dropped; the passes draw without
    // depth writes.
    PassState state;
    state.depth = PassDepth::NoWrite;
    for (size_t p = 0; p < passCount; ++p) {
        const MeshPass& pass = passes[p];
        if (pass.quadCount == 0)
            continue;
        state.blend = pass.blend;
        state.texturing = pass.vertexColour ? PassTexturing::MaskedVertexColour : PassTexturing::Masked;
        state.clampU = pass.clampU;
        state.clampV = pass.clampV;
        state.texture = pass.layer;
        state.second = pass.mask;
        const uint32_t quad = static_cast<uint32_t>(pass.firstQuad);
        const PassDraw draw =
            PassDraw::Quads(copy.firstVertex + static_cast<uint32_t>(mesh.firstVertex) + 4 * quad,
                            copy.firstIndex + static_cast<uint32_t>(mesh.firstIndex) + 6 * quad,
                            static_cast<uint32_t>(pass.quadCount));
        if (pass.faint)
            DrawFaint(*device, view, [&] { device->DrawPass(state, draw); });
        else
            device->DrawPass(state, draw);
    }
    return D3D_OK;
}

std::string CSceneSettings::Text(const char* key, const char* defaultText) const
{
    return ReadIniString(m_file, m_section, key, defaultText);
}

int32_t CSceneSettings::Int(const char* key, const char* defaultText) const
{
    return ReadIniInt(m_file, m_section, key, defaultText);
}

float CSceneSettings::Float(const char* key, const char* defaultText) const
{
    return ReadCheckedFloat(m_file, m_section, key, defaultText);
}

float CSceneSettings::Positive(const char* key, const char* defaultText) const
{
    return ReadPositiveFloat(m_file, m_section, key, defaultText);
}

float CSceneSettings::NonZero(const char* key, const char* defaultText) const
{
    const float value = Float(key, defaultText);
    return value != 0.0f ? value : DefaultNumber(defaultText);
}

Vec2 CSceneSettings::Pair(const char* key, const char* defaultText) const
{
    return ReadCheckedVec2(m_file, m_section, key, defaultText);
}

Vec3 CSceneSettings::Triple(const char* key, const char* defaultText) const
{
    return ReadCheckedVec3(m_file, m_section, key, defaultText);
}

Vec4 CSceneSettings::Quad(const char* key, const char* defaultText) const
{
    return ReadCheckedVec4(m_file, m_section, key, defaultText);
}

IntPair CSceneSettings::Ints(const char* key, const char* defaultText) const
{
    IntPair pair;
    ReadIniIntPair(m_file, m_section, key, defaultText, &pair);
    return pair;
}

uint32_t CSceneSettings::Colour(const char* key, const char* defaultText) const
{
    return ReadIniColor(m_file, m_section, key, defaultText);
}

int CSceneSettings::BlendPreset(const char* key, const char* defaultText) const
{
    const std::string method = Text(key, defaultText);
    if (method == "Screen")
        return 3;
    if (method == "Normal")
        return 0;
    return 1;
}

Vec2 CSceneSettings::Position(const char* key, const char* defaultText) const
{
    const Vec2 p = Pair(key, defaultText);
    return Vec2{p.x - 512.0f, 384.0f - p.y};
}

ScreenBox CSceneSettings::Box(const char* key, const char* defaultText) const
{
    const Vec4 r = Quad(key, defaultText);
    return ScreenBox{r.x - 512.0f + r.z / 2.0f, 384.0f - r.y - r.w / 2.0f, r.z, r.w};
}

Vec4 CSceneSettings::TexelRect(const char* key, const char* defaultText, float texWidth, float texHeight) const
{
    const Vec4 r = Quad(key, defaultText);
    return Vec4{r.x / texWidth, r.y / texHeight, r.z / texWidth, r.w / texHeight};
}

std::string Numbered(const char* prefix, int number) { return prefix + std::to_string(number); }

CountedHandle<CSprite> MakeLayerSprite(float x, float y, float z, float width, float height, uint32_t colour,
                                       const CountedHandle<CTexture>& texture, int layer, int preset)
{
    auto sprite = MakeCountedHandle(new CSprite(x, y, z, width, height, colour, texture, 1));
    sprite->SetBlendMode(1, preset);
    sprite->layer = layer;
    return sprite;
}

CountedHandle<CSprite> MakeMainSprite(float x, float y, float z, float width, float height, uint32_t colour,
                                      const CountedHandle<CTexture>& texture)
{
    return MakeCountedHandle(new CSprite(x, y, z, width, height, colour, texture, 0));
}

void SetDepth(CSprite& sprite, bool test, bool write)
{
    sprite.depthTest = test ? 1 : 0;
    sprite.depthWrite = write ? 1 : 0;
}

void FadeOutAndExpire(CSprite& sprite, float life)
{
    sprite.FadeTo(0.0f);
    sprite.timed = 1;
    sprite.timeLeft = life;
}

void FadeOutAtOwnRate(CSprite& sprite) { FadeOutAndExpire(sprite, sprite.opacity / sprite.fadeSpeed); }

void FullScreenQuad(SceneVertex quad[4], float z, uint32_t colour)
{
    const float x[4] = {-512.0f, 512.0f, 512.0f, -512.0f}, y[4] = {384.0f, 384.0f, -384.0f, -384.0f};
    const float mu[4] = {0, 1, 1, 0}, mv[4] = {0, 0, 0.75f, 0.75f};
    for (int k = 0; k < 4; ++k)
        quad[k] = SceneVertex{kOriginX + x[k], kOriginY + y[k], z, colour, 0, 0, mu[k], mv[k]};
}

void DustCorners(int layer, float s, Vec2 corners[3])
{
    switch (layer % 4) {
    case 0:
        corners[0] = {s, 0};
        corners[1] = {s, 0.75f * s};
        corners[2] = {0, 0.75f * s};
        break;
    case 1:
        corners[0] = {0, s};
        corners[1] = {-0.75f * s, s};
        corners[2] = {-0.75f * s, 0};
        break;
    case 2:
        corners[0] = {-s, 0};
        corners[1] = {-s, -0.75f * s};
        corners[2] = {0, -0.75f * s};
        break;
    default:
        corners[0] = {0, -s};
        corners[1] = {0.75f * s, -s};
        corners[2] = {0.75f * s, 0};
        break;
    }
}

Vec2 TurnedDrift(Vec2 d, int layer)
{
    switch (layer % 4) {
    case 0:
        return {-d.x, -d.y};
    case 1:
        return {d.y, -d.x};
    case 2:
        return {d.x, d.y};
    default:
        return {-d.y, d.x};
    }
}

float WrapUnit(float value)
{
    if (value >= 1.0f)
        return value - 1.0f;
    if (value < 0.0f)
        return value + 1.0f;
    return value;
}

float WrapPhase(float phase, bool atTwoPi)
{
    if (phase > kTwoPi || (atTwoPi && phase == kTwoPi))
        return phase - kTwoPi;
    return phase;
}
