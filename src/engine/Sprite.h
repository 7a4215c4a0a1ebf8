// Sprites (textured quads with simple animations) and the renderer that
// keeps them in z-order and draws them in as few batches as possible.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/RenderDevice.h"
#include "engine/Vertex.h"

#include <algorithm>
#include <new>
#include <vector>

// The u, v pairs of a sprite's frames, four pairs per frame. The first four
// frames live inside the sprite itself, so drawing one reads no memory of
// its own; only sprites with more frames keep them on the heap.
class SpriteFrames {
public:
    static constexpr size_t kInlineFloats = 32;

    size_t size() const { return m_size; }
    const float* data() const { return m_size <= kInlineFloats ? m_inline : m_heap.data(); }
    float* data() { return m_size <= kInlineFloats ? m_inline : m_heap.data(); }
    void Append(const float uv[8])
    {
        if (m_size + 8 <= kInlineFloats) {
            std::copy(uv, uv + 8, m_inline + m_size);
        } else {
            if (m_size <= kInlineFloats)
                m_heap.assign(m_inline, m_inline + m_size);
            m_heap.insert(m_heap.end(), uv, uv + 8);
        }
        m_size += 8;
    }

private:
    size_t m_size = 0;
    float m_inline[kInlineFloats];
    std::vector<float> m_heap;
};

// Sprites live side by side in blocks of the sprite pool, not each in a heap
// object of its own: the renderer's walks of every frame then read a few
// dense blocks of memory.
class alignas(64) CSprite {
public:
    CSprite(float x, float y, float z, float width, float height, uint32_t argb, CountedHandle<CTexture> texture,
            int blended);

    static void* operator new(size_t size);
    static void* operator new(size_t size, std::align_val_t);
    static void operator delete(void* sprite) noexcept;
    static void operator delete(void* sprite, std::align_val_t) noexcept;

    void SetColor(uint32_t argb);
    void SetBlendMode(int blendedFlag, int preset);
    void SetSize(float w, float h);
    void SetAngle(float radians);
    void SetAxes(const float ax[3], const float ay[3], int normalise);
    void SetAlphaNow(float value);
    void ResizeTo(float w, float h);
    void FadeTo(float value);
    int AddFrame(float u0, float v0, float u1, float v1);
    int AddFrameQuad(const float uv[8]);
    void SetFrameRect(int n, float u0, float v0, float u1, float v1);
    void SetFrameQuad(int n, const float uv[8]);
    void SetVertexOffsets(const float xy[8]);
    void Update(float dt);
    void FillVertices(Vertex* vertices, uint16_t* indices, uint32_t firstVertex) const;
    void UpdateExtents();

    // What the renderer reads for every sprite of every frame comes first,
    // so that sorting out, updating and filling a still sprite touch as few
    // cache lines as possible; the rest follows.
    int32_t zOrder = 0;
    int32_t visible = 1;
    int32_t blended = 0;
    int32_t layer = 1;
    int32_t depthTest = 1;
    int32_t depthWrite = 1;
    int32_t srcBlend = 5;
    int32_t destBlend = 6;
    CountedHandle<CTexture> texture;
    int32_t timed = 0;
    int32_t spinning = 0;
    int32_t resizing = 0;
    int32_t fading = 0;
    float opacity = 1.0f;
    float alpha = 0;
    uint32_t rgb = 0;
    int32_t frame = 0;
    float x = 0, y = 0, z = 0;
    float originX = 0, originY = 0;
    float extentX[3] = {0, 0, 0};
    float extentY[3] = {0, 0, 0};
    float timeLeft = 1.0f;
    // The renderer lets go of the sprite once its opacity has reached 0.
    int32_t dropWhenFaded = 0;
    std::vector<float> cornerOffsets; // x, y pairs
    SpriteFrames frames;

    uint32_t color = 0;
    float red = 0, green = 0, blue = 0;
    float width = 0, height = 0;
    float angle = 0;
    float axisX[3] = {1, 0, 0};
    float axisY[3] = {0, 1, 0};
    float targetWidth = 0, targetHeight = 0;
    float widthSpeed = 1.0f, heightSpeed = 1.0f;
    float spinSpeed = 3.1415927f;
    float targetOpacity = 1.0f;
    float fadeSpeed = 1.0f;
    int32_t fadeWithTimer = 0;
    float timerFade = 0.25f;
};

class CSpriteRenderer {
public:
    CSpriteRenderer(CountedHandle<CRenderDevice> renderDevice, CountedHandle<CVertexBuffer> vertices,
                    CountedHandle<CIndexBuffer> indices);
    ~CSpriteRenderer();

    void Add(const CountedHandle<CSprite>& sprite);
    void Remove(const CountedHandle<CSprite>& sprite);
    void SetVisible(const CountedHandle<CSprite>& sprite, int flag);
    void Resort();
    void Update(float dt, int updateHidden);
    void Render();
    void RenderLayer(int32_t layer);

    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertexBuffer;
    CountedHandle<CIndexBuffer> indexBuffer;
    // Vectors rather than linked lists: the frame walks them every pass, and
    // independent loads from a contiguous array overlap where a list's chain
    // of node pointers would stall on each one.
    // Change them only through the renderer's operations: it keeps a pointer
    // copy of `sprites` for its per-frame walks.
    using SpriteList = std::vector<CountedHandle<CSprite>>;
    SpriteList sprites;
    SpriteList hiddenSprites;
    int32_t enabled = 1;

private:
    // A run of `m_drawable` drawn with one call, and where its quads went.
    struct Run {
        size_t begin = 0;
        size_t end = 0;
        uint32_t firstVertex = 0;
        uint32_t firstIndex = 0;
    };
    void Insert(const CountedHandle<CSprite>& sprite);
    void Repartition();
    // Locks, fills and draws one run; false when a lock failed.
    bool DrawRun(const std::vector<CSprite*>& run);
    // Fills the quads of every run of `m_drawable` with one lock of each
    // buffer; false when they do not fit or a lock failed.
    bool FillRuns();
    std::vector<Run> m_runs;
    const std::vector<CSprite*>& Ordered();
    std::vector<CSprite*> m_drawable; // kept between frames to avoid allocations
    std::vector<CSprite*> m_run;      // the same for the run being drawn
    std::vector<CSprite*> m_ordered;  // `sprites` as plain pointers, rebuilt when it changes
    SpriteList m_resorting;           // the list being sorted again, kept for its room
    bool m_orderedDirty = true;
};

// Same texture for batching: the same handle, or neither refers to a texture
// record. A record whose device object was released still counts as itself.
inline bool SameTexture(const CountedHandle<CTexture>& a, const CountedHandle<CTexture>& b) { return a == b; }
