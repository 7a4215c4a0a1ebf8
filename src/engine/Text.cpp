#include "engine/Text.h"
#include "engine/BufferLocks.h"
#include "engine/Random.h"
#include "engine/VectorMath.h"

#include <algorithm>
#include <cmath>

using namespace d3d;

namespace {
bool IsBreak(uint8_t c) { return c == 10 || c == 11; }
uint32_t ToByte(float value) { return static_cast<uint32_t>(std::clamp(std::floor(value), 0.0f, 255.0f)); }
} // namespace

CText::CText(CountedHandle<CBitmapFont> textFont) : font(std::move(textFont)) {}

float CText::Advance(uint8_t code) const
{
    if (fixedSpacing)
        return font->fixedAdvance * charWidth;
    return (font->glyphs[code].advance + interval) * charWidth;
}

void CText::SetText(const std::string& value)
{
    text = value.empty() ? std::string(" ") : value;
    quads.clear();
    for (char ch : text) {
        const uint8_t code = static_cast<uint8_t>(ch);
        if (IsBreak(code))
            continue;
        GlyphQuad quad;
        quad.code = code;
        quads.push_back(quad);
    }
    Layout();
}

void CText::SetCharSize(float width, float h)
{
    charWidth = width;
    charHeight = h;
    Layout();
}

void CText::Relayout() { Layout(); }

void CText::SetBoxSize(float width, float h)
{
    snap = 1;
    cellWidth = width;
    cellHeight = h;
    inverseCellWidth = width != 0.0f ? 1.0f / width : 0.0f;
    inverseCellHeight = h != 0.0f ? 1.0f / h : 0.0f;
}

void CText::Layout()
{
    ++m_version;
    minX = maxWidth = height = 0.0f;
    if (!font)
        return;
    float lineStart[3] = {0, 0, 0};
    float stepCarry = 0.0f;
    size_t quadIndex = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = pos;
        while (end < text.size() && !IsBreak(static_cast<uint8_t>(text[end])))
            ++end;
        const bool softBreak = end < text.size() && static_cast<uint8_t>(text[end]) == 11;
        if (pos == text.size() && pos != 0 && !IsBreak(static_cast<uint8_t>(text[pos - 1])))
            break;

        // Line width and, for WIDTH, the advance of its spaces.
        float natural = 0.0f, others = 0.0f;
        int spaces = 0;
        for (size_t i = pos; i < end; ++i) {
            const uint8_t code = static_cast<uint8_t>(text[i]);
            const float advance = Advance(code);
            natural += advance;
            if (code == ' ')
                ++spaces;
            else
                others += advance;
        }
        float start = 0.0f;
        float lineWidth = natural;
        float spaceAdvance = -1.0f; // below 0: spaces keep their own advance
        switch (alignment) {
        case RIGHT:
            start = -natural;
            break;
        case CENTER:
            start = snap ? -std::floor(natural / 2.0f / cellWidth) * cellWidth : -natural / 2.0f;
            break;
        case WIDTH: {
            const float target = noteWidth * charWidth;
            if (spaces > 0 && natural <= target && softBreak)
                spaceAdvance = (target - others) / static_cast<float>(spaces);
            else
                spaceAdvance = (fixedSpacing ? font->fixedAdvance : font->spaceAdvance) * charWidth;
            lineWidth = std::max(target, natural);
            break;
        }
        default:
            break;
        }
        minX = std::min(minX, start);
        maxWidth = std::max(maxWidth, lineWidth);

        float pen[3] = {lineStart[0] + right[0] * start, lineStart[1] + right[1] * start,
                        lineStart[2] + right[2] * start};
        float spaceCarry = 0.0f;
        for (size_t i = pos; i < end; ++i, ++quadIndex) {
            const uint8_t code = static_cast<uint8_t>(text[i]);
            const GlyphRecord& g = font->glyphs[code];
            GlyphQuad& q = quads[quadIndex];
            const float shift =
                fixedSpacing ? (font->fixedAdvance - g.width) / 2.0f * charWidth : g.xOffset * charWidth;
            q.x = pen[0] + right[0] * shift;
            q.y = pen[1] + right[1] * shift;
            q.z = pen[2] + right[2] * shift;
            q.charWidth = charWidth;
            q.charHeight = charHeight;
            for (int k = 0; k < 3; ++k) {
                q.right[k] = right[k];
                q.up[k] = up[k];
                q.rightScaled[k] = right[k] * charWidth;
                q.upScaled[k] = up[k] * charHeight;
            }
            float advance = Advance(code);
            if (code == ' ' && spaceAdvance >= 0.0f) {
                advance = spaceAdvance;
                if (snap && cellWidth > 0.0f) {
                    const float wanted = advance + spaceCarry;
                    advance = std::floor(wanted / cellWidth) * cellWidth;
                    spaceCarry = wanted - advance;
                }
            }
            for (int k = 0; k < 3; ++k)
                pen[k] += right[k] * advance;
        }

        float step = -lineSpacing * charHeight;
        if (snap && cellHeight > 0.0f) {
            const float wanted = step + stepCarry;
            step = std::floor(wanted / cellHeight) * cellHeight;
            stepCarry = wanted - step;
        }
        for (int k = 0; k < 3; ++k)
            lineStart[k] += up[k] * step;
        height += step;
        if (end >= text.size())
            break;
        pos = end + 1;
    }
    ApplyColor();
}

void CText::ApplyColor()
{
    ++m_version;
    const float a = static_cast<float>(colour >> 24);
    float opacity = alphaFactor * a;
    if (fading)
        opacity *= fadeFactor;
    const uint32_t alpha = ToByte(opacity);
    uint32_t rgb = colour & 0xFFFFFF;
    auto premultiply = [](uint32_t colourRgb, float factor) {
        const uint32_t r = ToByte(static_cast<float>((colourRgb >> 16) & 0xFF) * factor);
        const uint32_t g = ToByte(static_cast<float>((colourRgb >> 8) & 0xFF) * factor);
        const uint32_t b = ToByte(static_cast<float>(colourRgb & 0xFF) * factor);
        return r << 16 | g << 8 | b;
    };
    if (destBlend == 4)
        rgb = premultiply(rgb, opacity / 255.0f);
    if (!waving) {
        for (GlyphQuad& q : quads)
            q.color = alpha << 24 | rgb;
        return;
    }
    for (size_t i = 0; i < quads.size(); ++i) {
        const float c = std::cos(static_cast<float>(i) * wavePhaseStep - wavePhase);
        uint32_t channel[4];
        for (int k = 0; k < 4; ++k)
            channel[k] =
                ToByte(((1.0f + c) / 2.0f * waveColourA[k] + (1.0f - c) / 2.0f * waveColourB[k]) * 255.0f);
        const float scale = opacity / 255.0f;
        const uint32_t waveAlpha = ToByte(static_cast<float>(channel[0]) * scale);
        uint32_t waveRgb = channel[1] << 16 | channel[2] << 8 | channel[3];
        if (destBlend == 4)
            waveRgb = premultiply(waveRgb, scale);
        quads[i].color = waveAlpha << 24 | waveRgb;
    }
}

int CText::AdvanceFade(float dt)
{
    if (!fading && !waving)
        return 1;
    if (fading) {
        elapsed += dt;
        if (elapsed >= lifetime)
            return 0;
        for (int k = 0; k < 3; ++k)
            origin[k] += velocity[k] * dt;
        const float h = fadeRate * (elapsed - fadeStart);
        if (fadeRate >= 0.0f) {
            if (elapsed < fadeStart) {
                fadeFactor = 1.0f;
            } else {
                fadeFactor = 1.0f - h;
                if (fadeFactor <= 0.0f) {
                    fadeFactor = 0.0f;
                    return 0;
                }
            }
        } else {
            fadeFactor = elapsed < fadeStart ? 0.0f : -h;
            if (lifetime - elapsed < -1.0f / fadeRate)
                fadeFactor = -fadeRate * (lifetime - elapsed);
            fadeFactor = std::clamp(fadeFactor, 0.0f, 1.0f);
        }
    }
    if (waving) {
        wavePhase = std::fmod(wavePhase + waveSpeed * dt, kTwoPi);
        if (wavePhase < 0.0f)
            wavePhase += kTwoPi;
    }
    ApplyColor();
    return !fading || elapsed < lifetime ? 1 : 0;
}

void CText::FillBuffers(Vertex* vertices, uint16_t* indices, uint32_t firstVertex) const
{
    uint32_t b = firstVertex;
    for (const GlyphQuad& q : quads) {
        const GlyphRecord& g = font->glyphs[q.code];
        float p[3] = {q.x + origin[0], q.y + origin[1], q.z + origin[2]};
        float corner[4][3];
        for (int k = 0; k < 3; ++k) {
            corner[0][k] = p[k] - q.upScaled[k] * g.yOffset;
            corner[1][k] = corner[0][k] + q.rightScaled[k] * g.width;
            corner[2][k] = corner[1][k] - q.upScaled[k] * g.height;
            corner[3][k] = corner[2][k] - q.rightScaled[k] * g.width;
        }
        const float uv[4][2] = {{g.u0, g.v0}, {g.u1, g.v0}, {g.u1, g.v1}, {g.u0, g.v1}};
        for (int i = 0; i < 4; ++i)
            *vertices++ =
                Vertex{corner[i][0], corner[i][1], corner[i][2], q.color, uv[i][0], uv[i][1], 0.0f, 0.0f};
        if (indices) {
            const uint16_t base = static_cast<uint16_t>(b);
            const uint16_t list[6] = {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
                                      base, static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 3)};
            for (uint16_t index : list)
                *indices++ = index;
        }
        b += 4;
    }
}

const std::vector<Vertex>& CText::Vertices()
{
    const bool moved =
        origin[0] != m_builtOrigin[0] || origin[1] != m_builtOrigin[1] || origin[2] != m_builtOrigin[2];
    if (m_builtVersion == m_version && m_builtFont == font.Get() && !moved)
        return m_vertices;
    m_vertices.resize(4 * quads.size());
    if (font)
        FillBuffers(m_vertices.data(), nullptr, 0);
    m_builtVersion = m_version;
    m_builtFont = font.Get();
    std::copy(origin, origin + 3, m_builtOrigin);
    return m_vertices;
}

void CText::WordWrap(const std::string& source, std::string* out) const
{
    out->clear();
    auto charWidthOf = [&](uint8_t code) {
        if (fixedSpacing)
            return font->fixedAdvance;
        return (code == ' ' ? font->spaceAdvance : font->glyphs[code].advance) + interval;
    };
    float line = 0.0f;
    size_t i = 0;
    while (i < source.size()) {
        const char ch = source[i];
        if (ch == '\n') {
            out->push_back(ch);
            line = 0.0f;
            ++i;
            continue;
        }
        size_t end = i + 1;
        if (ch != ' ')
            while (end < source.size() && source[end] != ' ' && source[end] != '\n')
                ++end;
        const std::string word = source.substr(i, end - i);
        float width = 0.0f;
        for (char c : word)
            width += charWidthOf(static_cast<uint8_t>(c));
        i = end;
        if (line + width < noteWidth) {
            *out += word;
            line += width;
            continue;
        }
        if (line > 0.0f) {
            if (!out->empty() && out->back() == ' ')
                out->pop_back();
            out->push_back(kSoftBreak);
            line = 0.0f;
        }
        if (word == " ")
            continue;
        if (width <= noteWidth) {
            *out += word;
            line = width;
            continue;
        }
        for (char c : word) {
            const float w = charWidthOf(static_cast<uint8_t>(c));
            if (line + w < noteWidth) {
                out->push_back(c);
                line += w;
            } else if (line > 0.0f) {
                out->push_back(kSoftBreak);
                out->push_back(c);
                line = w;
            } else {
                out->push_back(c);
                out->push_back(kSoftBreak);
                line = 0.0f;
            }
        }
    }
}

CTextBatch::CTextBatch(CountedHandle<CRenderDevice> renderDevice, CountedHandle<CVertexBuffer> vertices,
                       CountedHandle<CIndexBuffer> indices)
    : device(std::move(renderDevice)), vertexBuffer(std::move(vertices)), indexBuffer(std::move(indices))
{}

CountedHandle<CText> CTextBatch::Add(CountedHandle<CText> text)
{
    texts.push_back(text);
    m_layersDirty = true;
    return text;
}

void CTextBatch::Remove(const CountedHandle<CText>& text)
{
    auto it = std::find(texts.begin(), texts.end(), text);
    if (it != texts.end()) {
        texts.erase(it);
        m_layersDirty = true;
    }
}

void CTextBatch::Update(float dt)
{
    for (size_t i = 0; i < texts.size();) {
        CText* text = texts[i].Get();
        if (text->visible && (text->fading || text->waving) && !text->AdvanceFade(dt)) {
            texts.erase(texts.begin() + static_cast<long>(i));
            m_layersDirty = true;
            continue;
        }
        ++i;
    }
    // A text moved to another layer since the texts were sorted.
    if (!m_layersDirty)
        for (const Layer& l : m_layers)
            for (const CText* t : l.texts)
                m_layersDirty = m_layersDirty || t->layer != l.layer;
}

void CTextBatch::SortIntoLayers()
{
    for (Layer& l : m_layers)
        l.texts.clear();
    for (const CountedHandle<CText>& handle : texts) {
        CText* t = handle.Get();
        auto it =
            std::find_if(m_layers.begin(), m_layers.end(), [&](const Layer& l) { return l.layer == t->layer; });
        if (it == m_layers.end()) {
            m_layers.push_back(Layer{t->layer, {}});
            it = m_layers.end() - 1;
        }
        it->texts.push_back(t);
    }
    m_layersDirty = false;
}

bool CTextBatch::DrawRun(const std::vector<CText*>& run)
{
    uint32_t n = 0;
    for (CText* t : run)
        n += static_cast<uint32_t>(t->quads.size());
    CBufferLocks locks(*vertexBuffer, *indexBuffer, 4 * n, 6 * n);
    if (!locks.Locked())
        return false;
    Vertex* vertices = locks.vertices;
    uint16_t* indices = locks.indices;
    const uint32_t first = locks.firstVertex;
    const uint32_t firstIndex = locks.firstIndex;
    uint32_t b = first;
    for (CText* t : run) {
        const std::vector<Vertex>& glyphs = t->Vertices();
        vertices = std::copy(glyphs.begin(), glyphs.end(), vertices);
        for (size_t q = 0; q < glyphs.size() / 4; ++q, b += 4) {
            const uint16_t base = static_cast<uint16_t>(b);
            const uint16_t list[6] = {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
                                      base, static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 3)};
            indices = std::copy(list, list + 6, indices);
        }
    }
    locks.Unlock();
    device->DrawIndexed(D3DPT_TRIANGLELIST, first, 4 * n, firstIndex, 2 * n);
    return true;
}

// The texts of a layer go by texture: the first texture is that of the first
// text of the whole list, whatever its layer, each later one that of the
// first text of the layer left over; within a texture, in list order. Texts
// of one texture next to each other in that order that blend alike are
// drawn with one call.
void CTextBatch::Draw(int32_t layer)
{
    if (texts.empty() || !device || !device->Device())
        return;
    if (m_layersDirty)
        SortIntoLayers();
    auto found = std::find_if(m_layers.begin(), m_layers.end(), [&](const Layer& l) { return l.layer == layer; });
    if (found == m_layers.end())
        return;
    const std::vector<CText*>& own = found->texts;
    auto drawable = [&](const CText* t) {
        return t->visible && t->layer == layer && t->font && !t->quads.empty();
    };
    auto textureOf = [](const CText* t) { return t->font ? t->font->texture.Get() : nullptr; };
    m_order.clear();
    m_order.push_back(textureOf(texts.front().Get()));
    for (const CText* t : own)
        if (drawable(t) && std::find(m_order.begin(), m_order.end(), textureOf(t)) == m_order.end())
            m_order.push_back(textureOf(t));

    uint32_t fog = 0, fogColour = 0;
    device->GetFrameRenderState(D3DRS_FOGENABLE, &fog);
    device->GetFrameRenderState(D3DRS_FOGCOLOR, &fogColour);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    auto sameBlend = [](const CText* a, const CText* b) {
        return a->alphaBlend == b->alphaBlend &&
               (!a->alphaBlend || (a->srcBlend == b->srcBlend && a->destBlend == b->destBlend));
    };
    bool failed = false;
    for (const CTexture* texture : m_order) {
        const CText* groupFirst = nullptr;
        for (size_t i = 0; i < own.size() && !failed;) {
            CText* t = own[i];
            if (!drawable(t) || textureOf(t) != texture) {
                ++i;
                continue;
            }
            if (!groupFirst) {
                groupFirst = t;
                device->SetTexture(0, t->font->texture);
            }
            m_run.clear();
            m_run.push_back(t);
            size_t next = i + 1;
            for (; next < own.size(); ++next) {
                CText* u = own[next];
                if (!drawable(u) || textureOf(u) != texture)
                    continue;
                if (!sameBlend(u, t))
                    break;
                m_run.push_back(u);
            }
            if (t->alphaBlend) {
                device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
                device->SetRenderState(D3DRS_SRCBLEND, static_cast<uint32_t>(t->srcBlend));
                device->SetRenderState(D3DRS_DESTBLEND, static_cast<uint32_t>(t->destBlend));
                if (fog)
                    device->SetRenderState(D3DRS_FOGCOLOR, t->destBlend == 2 || t->destBlend == 4 ? 0 : fogColour);
            } else {
                device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
            }
            failed = !DrawRun(m_run);
            i = next;
        }
        if (failed)
            break;
    }
    if (fog)
        device->SetRenderState(D3DRS_FOGCOLOR, fogColour);
}

int32_t ParseHex(const std::string& text)
{
    uint32_t value = 0;
    const size_t count = std::min<size_t>(text.size(), 8);
    for (size_t i = 0; i < count; ++i) {
        const char c = text[i];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        value = value << 4 | digit;
    }
    return static_cast<int32_t>(value);
}

uint32_t RandomColorBetween(float lo1, float hi1, float lo2, float hi2)
{
    const float k = 3.0f * RandomUnit();
    const float s = (hi1 - lo1) * RandomUnit();
    const float x = lo1 + s, y = lo1 + (hi1 - lo1 - s), z = lo2 + (hi2 - lo2) * RandomUnit();
    float r, g, b;
    if (k <= 1.0f) {
        r = x;
        g = y;
        b = z;
    } else if (k <= 2.0f) {
        r = z;
        g = x;
        b = y;
    } else {
        r = y;
        g = z;
        b = x;
    }
    auto byte = [](float c) { return static_cast<uint32_t>(std::floor(c * 255.0f)) & 0xFF; };
    return 0xFF000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}
