// Texts drawn with bitmap fonts, and the batch that fades and draws them.
#pragma once

#include "engine/BitmapFont.h"
#include "engine/CountedHandle.h"
#include "engine/RenderDevice.h"
#include "engine/Vertex.h"

#include <string>
#include <vector>

// The two text layers the frame draws: the scene's texts under the GUI, and
// the texts drawn over everything but the top particle layer.
constexpr int32_t kTextLayerScene = -1;
constexpr int32_t kTextLayerOverlay = 12345;

struct GlyphQuad {
    uint32_t code = 0;
    float x = 0, y = 0, z = 0;
    float charWidth = 1, charHeight = 1;
    float right[3] = {1, 0, 0};
    float up[3] = {0, 1, 0};
    float rightScaled[3] = {1, 0, 0};
    float upScaled[3] = {0, 1, 0};
    uint32_t color = 0xFFFFFFFF;
};

class CText {
public:
    enum Alignment { LEFT = 0, RIGHT = 1, CENTER = 2, WIDTH = 3 };
    static constexpr char kSoftBreak = 11;

    explicit CText(CountedHandle<CBitmapFont> textFont);

    void SetText(const std::string& value);
    void WordWrap(const std::string& source, std::string* out) const;
    void SetCharSize(float width, float height);
    void Relayout();
    void SetBoxSize(float width, float height);
    void ApplyColor();
    int AdvanceFade(float dt);
    // Four vertices and, unless `indices` is null, six indices a glyph.
    void FillBuffers(Vertex* vertices, uint16_t* indices, uint32_t firstVertex) const;
    // The glyphs' vertices, four a glyph, as FillBuffers writes them; built
    // again only after the text, its layout, colour, fade, font or origin
    // changed.
    const std::vector<Vertex>& Vertices();

    CountedHandle<CBitmapFont> font;
    std::vector<GlyphQuad> quads;
    std::string text;
    int32_t layer = kTextLayerScene;
    float origin[3] = {0, 0, 0};
    float right[3] = {1, 0, 0};
    float up[3] = {0, 1, 0};
    int32_t visible = 1;
    float noteWidth = 10.0f;
    float charWidth = 1.0f;
    float charHeight = 1.0f;
    int32_t alignment = LEFT;
    uint32_t colour = 0xFFFFFFFF;
    float lineSpacing = 1.5f;
    float interval = 0.0f;
    int32_t fixedSpacing = 0;
    int32_t fading = 0;
    float velocity[3] = {0, 0, 0};
    float fadeFactor = 1.0f;
    float fadeRate = 2.0f;
    float elapsed = 0.0f;
    float lifetime = 3.01f;
    float fadeStart = 1.0f;
    int32_t waving = 0;
    float waveColourA[4] = {1, 1, 1, 1};
    float waveColourB[4] = {1, 1, 0, 1};
    float wavePhase = 0.0f;
    float wavePhaseStep = 0.62831855f;
    float waveSpeed = 3.1415927f;
    float minX = 0.0f;
    float maxWidth = 0.0f;
    float height = 0.0f;
    int32_t alphaBlend = 1;
    int32_t srcBlend = 5;
    int32_t destBlend = 6;
    float alphaFactor = 1.0f;
    int32_t snap = 0;
    float cellWidth = 1.0f;
    float cellHeight = 1.0f;
    float inverseCellWidth = 1.0f;
    float inverseCellHeight = 1.0f;

private:
    void Layout();
    float Advance(uint8_t code) const;

    // Bumped whenever the quads change; the vertices were built at
    // `m_builtVersion` from `m_builtFont` at `m_builtOrigin`.
    uint32_t m_version = 0;
    uint32_t m_builtVersion = ~0u;
    const CBitmapFont* m_builtFont = nullptr;
    float m_builtOrigin[3] = {0, 0, 0};
    std::vector<Vertex> m_vertices;
};

class CTextBatch {
public:
    CTextBatch(CountedHandle<CRenderDevice> renderDevice, CountedHandle<CVertexBuffer> vertices,
               CountedHandle<CIndexBuffer> indices);

    CountedHandle<CText> Add(CountedHandle<CText> text);
    void Remove(const CountedHandle<CText>& text);
    void Update(float dt);
    void Draw(int32_t layer);

    CountedHandle<CRenderDevice> device;
    CountedHandle<CVertexBuffer> vertexBuffer;
    CountedHandle<CIndexBuffer> indexBuffer;
    // Change only through Add and Remove: the batch keeps the texts of each
    // layer apart for its passes.
    std::vector<CountedHandle<CText>> texts;

private:
    // The texts of one layer, in the order of `texts`.
    struct Layer {
        int32_t layer = 0;
        std::vector<CText*> texts;
    };
    void SortIntoLayers();
    // Copies a run of texts of one texture and blend into the shared
    // buffers and draws it; false when a lock failed.
    bool DrawRun(const std::vector<CText*>& run);

    std::vector<Layer> m_layers;
    bool m_layersDirty = true;
    std::vector<CText*> m_run;            // kept between frames to avoid allocations
    std::vector<const CTexture*> m_order; // the same for the textures of a pass
};

int32_t ParseHex(const std::string& text);
uint32_t RandomColorBetween(float lo1, float hi1, float lo2, float hi2);
