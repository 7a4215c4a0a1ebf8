#include "gui/QoProgressbar.h"

namespace {
// The fill lies this far in front of the empty part.
constexpr float kFillDepth = -0.001f;
} // namespace

CQoProgressbar::CQoProgressbar(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoStatic(WindowKind::Progressbar, std::move(sprites), std::move(texts))
{}

void CQoProgressbar::Setup(const CountedHandle<CTexture>& texture, float emptyL, float emptyT, float emptyR,
                           float emptyB, float fillL, float fillT, float fillR, float fillB)
{
    m_empty = {emptyL, emptyT, emptyR, emptyB};
    SetTextureRect(texture, emptyL, emptyT, emptyR, emptyB);
    SetFill(texture, fillL, fillT, fillR, fillB);
}

void CQoProgressbar::SetFill(const CountedHandle<CTexture>& texture, float l, float t, float r, float b)
{
    m_fill = {l, t, r, b};
    float quad[8];
    RectQuad(l, t, r, b, quad);
    const int32_t barZOrder = zOrder;
    zOrder = ClampedZOrder(int64_t{barZOrder} - 1);
    PutSprite(1, texture, quad, {0, 0, kFillDepth}, {1, 1});
    zOrder = barZOrder;
    Split();
}

float CQoProgressbar::SetValue(float value)
{
    const float previous = m_value;
    m_value = value;
    Split();
    return previous;
}

void CQoProgressbar::Split()
{
    const float w = BaseSize().w, h = BaseSize().h, v = m_value;
    const Rect& e = m_empty;
    const Rect& f = m_fill;
    struct Part {
        GuiSize size;
        Vec3 offset;
        float quad[8];
    };
    Part parts[2];
    if (horizontal) {
        const float emptyU = e.l + (e.r - e.l) * v, fillU = f.l + (f.r - f.l) * v;
        parts[0] = {{(1 - v) * w, h}, {v * w / 2, 0, 0}, {emptyU, e.t, e.r, e.t, e.r, e.b, emptyU, e.b}};
        parts[1] = {{v * w, h}, {(v - 1) * w / 2, 0, kFillDepth}, {f.l, f.t, fillU, f.t, fillU, f.b, f.l, f.b}};
    } else {
        const float emptyV = e.b - (e.b - e.t) * v, fillV = f.b - (f.b - f.t) * v;
        parts[0] = {{w, (1 - v) * h}, {0, v * h / 2, 0}, {e.l, e.t, e.r, e.t, e.r, emptyV, e.l, emptyV}};
        parts[1] = {{w, v * h}, {0, (v - 1) * h / 2, kFillDepth}, {f.l, fillV, f.r, fillV, f.r, f.b, f.l, f.b}};
    }
    for (size_t i = 0; i < 2 && i < m_sprites.size(); ++i) {
        SpriteItem& item = m_sprites[i];
        item.designSize = parts[i].size;
        item.offset = parts[i].offset;
        if (item.sprite)
            item.sprite->SetFrameQuad(0, parts[i].quad);
        PlaceSprite(i, true);
    }
}
