// The board's own picture under the tokens: the backdrop of the cells and
// the frame pieces round them, each a textured quad with its colour and
// blending, faded in and out as a whole. The frame draws it through the
// board-mesh slot while it is shown.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/FrameLayers.h"
#include "layout/QuestLayout.h"

#include <cstdint>
#include <vector>

class CTexture;

class CBoardMesh : public IBufferLayer {
public:
    CBoardMesh();

    // Replaces the whole mesh with the pieces, in order.
    void Rebuild(const std::vector<FramePiece>& pieces);
    // Shows (fading in at `rate` per second, or at once) or hides.
    void Show(bool show, float rate);
    void Update(float dt);
    // False when a buffer lock failed.
    bool DrawMesh(const FrameTargets& targets);
    void SetOffset(float x, float y, float z)
    {
        m_offsetX = x;
        m_offsetY = y;
        m_offsetZ = z;
    }
    void SetScale(float x, float y)
    {
        m_scaleX = x;
        m_scaleY = y;
    }

    bool IsShown() const override { return m_visible; }
    void Draw(const FrameTargets& targets) override { DrawMesh(targets); }

    // Indexed by the pieces' texture numbers; filled before the first draw.
    std::vector<CountedHandle<CTexture>> textures;

    float Opacity() const { return m_opacity; }
    float OffsetX() const { return m_offsetX; }
    float OffsetY() const { return m_offsetY; }
    float OffsetZ() const { return m_offsetZ; }
    size_t QuadCount() const { return m_scaledColour.size(); }
    // What the backdrop under the cells and the rails along its sides cover
    // of the virtual screen while the mesh shows whole (left, top, right,
    // bottom; y up): the pieces of full colour that blend by alpha and
    // span the backdrop, the largest of them. False while it fades, or with
    // no such piece.
    bool CoveredArea(Vec4* area) const;

private:
    void FindCoveredArea(const std::vector<FramePiece>& pieces);

    struct MeshVertex {
        float x, y, u, v;
    };
    struct Batch {
        int32_t texture, quads;
        uint32_t sourceBlend, destinationBlend;
    };
    struct Rgba {
        float r, g, b, a;
    };

    bool m_visible = true;
    float m_opacity = 1.0f;
    float m_fadeRate = 0.0f; // positive fades in, negative fades out
    float m_offsetX = 0, m_offsetY = 0, m_offsetZ = 0;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    std::vector<MeshVertex> m_vertices;  // four per quad, y already upwards
    std::vector<Rgba> m_colours;         // one per quad, components 0..255
    std::vector<uint8_t> m_scaledColour; // one per quad: colour scaled by alpha (darkening and screen kinds)
    std::vector<Batch> m_batches;        // runs of quads drawn with one call
    bool m_covers = false;
    Vec4 m_coveredArea; // as the mesh's own vertices place it, y up
};
