#include "gui/QoForm.h"

CQoForm::CQoForm(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoWindow(WindowKind::Form, std::move(sprites), std::move(texts))
{}

// The corner texture holds the four corners as its quadrants. The side
// texture holds four strips a quarter wide (left, right, bottom, top), each
// repeating downwards; the horizontal sides turn theirs a quarter turn so that
// the strip's outer edge (u = 0.5 for the bottom, 1 for the top) lies on the
// frame's outer edge and the repeat runs from left to right.
void CQoForm::SetTiling(const CountedHandle<CTexture>& corners, const CountedHandle<CTexture>& sides,
                        const CountedHandle<CTexture>& background, float horizontal, float bandH, float bandW,
                        float vertical)
{
    RemoveSprites();
    horizontalTile = horizontal;
    bandHeight = bandH;
    bandWidth = bandW;
    verticalTile = vertical;

    const float w = BaseSize().w, h = BaseSize().h;
    const float dx = (w - bandW) / 2, dy = (h - bandH) / 2;
    const float innerW = w - 2 * bandW, innerH = h - 2 * bandH;
    const float q = innerW / horizontal, r = innerH / vertical;
    struct Piece {
        const CountedHandle<CTexture>* texture;
        GuiSize size;
        Vec3 offset;
        float quad[8];
    };
    const Piece pieces[9] = {
        {&corners, {bandW, bandH}, {-dx, dy, 0}, {0, 0, 0.5f, 0, 0.5f, 0.5f, 0, 0.5f}},
        {&corners, {bandW, bandH}, {dx, dy, 0}, {0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 0.5f}},
        {&corners, {bandW, bandH}, {dx, -dy, 0}, {0.5f, 0.5f, 1, 0.5f, 1, 1, 0.5f, 1}},
        {&corners, {bandW, bandH}, {-dx, -dy, 0}, {0, 0.5f, 0.5f, 0.5f, 0.5f, 1, 0, 1}},
        {&sides, {bandW, innerH}, {-dx, 0, 0}, {0, 0, 0.25f, 0, 0.25f, r, 0, r}},
        {&sides, {bandW, innerH}, {dx, 0, 0}, {0.25f, 0, 0.5f, 0, 0.5f, r, 0.25f, r}},
        {&sides, {innerW, bandH}, {0, -dy, 0}, {0.75f, 0, 0.75f, q, 0.5f, q, 0.5f, 0}},
        {&sides, {innerW, bandH}, {0, dy, 0}, {1, 0, 1, q, 0.75f, q, 0.75f, 0}},
        {&background, {innerW, innerH}, {0, 0, 0}, {0, 0, q, 0, q, r, 0, r}},
    };
    for (const Piece& piece : pieces)
        m_sprites.push_back(
            {MakeSprite(*piece.texture, piece.quad, piece.offset, piece.size), piece.offset, piece.size});
    SetPosition(relativePosition.x, relativePosition.y, relativePosition.z, 0, 0, 0);
}

void CQoForm::SetZOrder(int32_t z)
{
    const int32_t old = zOrder;
    zOrder = z;
    for (const SpriteItem& item : m_sprites)
        if (item.sprite)
            item.sprite->zOrder = z;
    const int32_t delta = ClampedZOrder(int64_t{z} - old);
    for (const ChildItem& child : m_children)
        child.window->ShiftZOrder(delta);
}

bool CQoForm::SetVisible(bool flag)
{
    const bool previous = IsVisible();
    SetVisibleFlag(flag);
    return previous;
}
