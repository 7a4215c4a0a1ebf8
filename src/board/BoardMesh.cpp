#include "board/BoardMesh.h"

#include "engine/RenderDevice.h"
#include "engine/Vertex.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {

struct BlendPair {
    uint32_t source, destination;
};

// The source and destination blend of a piece's kind: 1 adds, 2 darkens by
// the colour, 3 lightens like a screen, anything else blends by alpha.
BlendPair BlendOf(int32_t kind)
{
    switch (kind) {
    case 1:
        return {D3DBLEND_SRCALPHA, D3DBLEND_ONE};
    case 2:
        return {D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR};
    case 3:
        return {D3DBLEND_ONE, D3DBLEND_INVSRCCOLOR};
    default:
        return {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA};
    }
}

} // namespace

CBoardMesh::CBoardMesh()
{
    textures.reserve(2);
    m_vertices.reserve(88);
    m_colours.reserve(22);
    m_scaledColour.reserve(22);
    m_batches.reserve(3);
}

// Pieces are given with y growing downwards; the mesh keeps the screen's
// upward y.
void CBoardMesh::Rebuild(const std::vector<FramePiece>& pieces)
{
    m_vertices.clear();
    m_colours.clear();
    m_scaledColour.clear();
    m_batches.clear();
    for (const FramePiece& p : pieces) {
        const BlendPair blend = BlendOf(p.method);
        m_scaledColour.push_back(p.method == 2 || p.method == 3 ? 1 : 0);
        if (m_batches.empty() || m_batches.back().texture != p.texture ||
            m_batches.back().sourceBlend != blend.source || m_batches.back().destinationBlend != blend.destination)
            m_batches.push_back(Batch{p.texture, 0, blend.source, blend.destination});
        ++m_batches.back().quads;
        const float x = p.rect.x, y = -p.rect.y, w = p.rect.z, h = p.rect.w;
        m_vertices.push_back(MeshVertex{x, y, p.uv[0], p.uv[1]});
        m_vertices.push_back(MeshVertex{x + w, y, p.uv[2], p.uv[3]});
        m_vertices.push_back(MeshVertex{x + w, y - h, p.uv[4], p.uv[5]});
        m_vertices.push_back(MeshVertex{x, y - h, p.uv[6], p.uv[7]});
        const uint32_t c = p.colour;
        m_colours.push_back(Rgba{static_cast<float>((c >> 16) & 0xFF), static_cast<float>((c >> 8) & 0xFF),
                                 static_cast<float>(c & 0xFF), static_cast<float>(c >> 24)});
    }
    FindCoveredArea(pieces);
}

// The corner jewels are round and stand out of the rails: what they cover
// is too little to count, and they do not cover the corners of their quads.
void CBoardMesh::FindCoveredArea(const std::vector<FramePiece>& pieces)
{
    auto covering = [](const FramePiece& p) { return p.method == 0 && (p.colour >> 24) == 0xFF; };
    const FramePiece* backdrop = nullptr;
    for (const FramePiece& p : pieces)
        if (covering(p) && (!backdrop || p.rect.z * p.rect.w > backdrop->rect.z * backdrop->rect.w))
            backdrop = &p;
    m_covers = backdrop != nullptr && backdrop->rect.z > 0 && backdrop->rect.w > 0;
    if (!m_covers)
        return;
    float left = backdrop->rect.x, top = backdrop->rect.y;
    float right = left + backdrop->rect.z, bottom = top + backdrop->rect.w;
    for (const FramePiece& p : pieces) {
        if (!covering(p) || (p.rect.z < backdrop->rect.z && p.rect.w < backdrop->rect.w))
            continue;
        left = std::min(left, p.rect.x);
        top = std::min(top, p.rect.y);
        right = std::max(right, p.rect.x + p.rect.z);
        bottom = std::max(bottom, p.rect.y + p.rect.w);
    }
    m_coveredArea = Vec4{left, -top, right, -bottom};
}

bool CBoardMesh::CoveredArea(Vec4* area) const
{
    if (!m_covers || !m_visible || m_opacity < 1.0f || m_fadeRate != 0.0f)
        return false;
    *area = Vec4{m_scaleX * m_coveredArea.x + m_offsetX, m_scaleY * m_coveredArea.y + m_offsetY,
                 m_scaleX * m_coveredArea.z + m_offsetX, m_scaleY * m_coveredArea.w + m_offsetY};
    return true;
}

void CBoardMesh::Show(bool show, float rate)
{
    if (show) {
        m_visible = true;
        if (rate > 0.0f) {
            m_fadeRate = rate;
        } else {
            m_opacity = 1.0f;
            m_fadeRate = 0.0f;
        }
    } else if (rate > 0.0f) {
        m_fadeRate = -rate;
    } else {
        m_visible = false;
        m_opacity = 0.0f;
        m_fadeRate = 0.0f;
    }
}

void CBoardMesh::Update(float dt)
{
    if (m_fadeRate == 0.0f)
        return;
    m_opacity += m_fadeRate * dt;
    if (m_fadeRate > 0.0f && m_opacity > 1.0f) {
        m_opacity = 1.0f;
        m_fadeRate = 0.0f;
    } else if (m_fadeRate < 0.0f && m_opacity <= 0.0f) {
        m_opacity = 0.0f;
        m_visible = false;
        m_fadeRate = 0.0f;
    }
}

bool CBoardMesh::DrawMesh(const FrameTargets& targets)
{
    const uint32_t quads = static_cast<uint32_t>(m_scaledColour.size());
    if (quads == 0)
        return true;
    uint8_t* vb = nullptr;
    if (Failed(targets.vertices->Lock(4 * quads, &vb, 0)))
        return false;
    Vertex* v = reinterpret_cast<Vertex*>(vb);
    for (uint32_t q = 0; q < quads; ++q) {
        const Rgba& c = m_colours[q];
        const float alpha = c.a * m_opacity;
        const uint32_t a = static_cast<uint32_t>(std::floor(alpha)) & 0xFF;
        uint32_t colour = a << 24 | static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 |
                          static_cast<uint32_t>(c.b);
        if (m_scaledColour[q]) {
            const float f = alpha / 255.0f;
            auto scaled = [f](float channel) { return static_cast<uint32_t>(std::floor(channel * f)) & 0xFF; };
            colour = a << 24 | scaled(c.r) << 16 | scaled(c.g) << 8 | scaled(c.b);
        }
        for (uint32_t k = 0; k < 4; ++k) {
            const MeshVertex& m = m_vertices[4 * q + k];
            v[4 * q + k] = Vertex{
                m_scaleX * m.x + m_offsetX, m.y * m_scaleY + m_offsetY, m_offsetZ, colour, m.u, m.v, 0.0f, 0.0f};
        }
    }
    const uint32_t firstVertex = targets.vertices->LockStart();
    targets.vertices->Unlock();

    uint8_t* ib = nullptr;
    if (Failed(targets.indices->Lock(6 * quads, &ib, 0)))
        return false;
    uint16_t* x = reinterpret_cast<uint16_t*>(ib);
    const uint32_t order[6] = {0, 1, 2, 0, 2, 3};
    for (uint32_t q = 0; q < quads; ++q)
        for (int k = 0; k < 6; ++k)
            x[6 * q + k] = static_cast<uint16_t>(firstVertex + 4 * q + order[k]);
    const uint32_t firstIndex = targets.indices->LockStart();
    targets.indices->Unlock();

    // The mesh draws without depth writes and leaves them on for the layers
    // after it.
    PassState pass;
    pass.depth = PassDepth::NoWrite;
    uint32_t before = 0;
    for (const Batch& batch : m_batches) {
        const uint32_t s = before;
        before += static_cast<uint32_t>(batch.quads);
        // A piece naming a texture the mesh was not given is not drawn.
        if (batch.texture < 0 || batch.texture >= static_cast<int32_t>(textures.size()))
            continue;
        pass.texture = textures[static_cast<size_t>(batch.texture)];
        pass.blend = PassBlend::Factors(batch.sourceBlend, batch.destinationBlend);
        targets.device->DrawPass(
            pass, PassDraw::Quads(firstVertex + 4 * s, firstIndex + 6 * s, static_cast<uint32_t>(batch.quads)));
    }
    targets.device->SetFrameDepthWrites(true);
    return true;
}
