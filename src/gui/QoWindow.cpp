#include "gui/QoWindow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// What the list capacities are sized for: the largest forms of the game.
constexpr size_t kChildCapacity = 32;
constexpr size_t kItemCapacity = 16;

constexpr GuiCode kDownCodes[kGuiButtons] = {GuiCode::LeftDown, GuiCode::RightDown, GuiCode::MiddleDown};
constexpr GuiCode kUpCodes[kGuiButtons] = {GuiCode::LeftUp, GuiCode::RightUp, GuiCode::MiddleUp};

// Far outside any window: where a cursor lands in a window of scale 0.
constexpr float kFarAway = 1000000.0f;

} // namespace

int32_t ClampedZOrder(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

CQoWindow::CQoWindow(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoWindow(WindowKind::Window, std::move(sprites), std::move(texts))
{}

CQoWindow::CQoWindow(WindowKind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : m_kind(kind)
{
    SetRenderers(std::move(sprites), std::move(texts));
    m_children.reserve(kChildCapacity);
    m_sprites.reserve(kItemCapacity);
    m_texts.reserve(kItemCapacity);
    m_events.reserve(kItemCapacity);
}

CQoWindow::~CQoWindow()
{
    for (const SpriteItem& item : m_sprites)
        RemoveFromRenderer(item.sprite);
    if (m_textBatch)
        for (const TextItem& item : m_texts)
            m_textBatch->Remove(item.text);
}

void CQoWindow::SetRenderers(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
{
    m_spriteRenderer = std::move(sprites);
    m_textBatch = std::move(texts);
}

void CQoWindow::RemoveFromRenderer(const CountedHandle<CSprite>& sprite) const
{
    if (m_spriteRenderer && sprite)
        m_spriteRenderer->Remove(sprite);
}

void CQoWindow::RemoveSprites()
{
    for (const SpriteItem& item : m_sprites)
        RemoveFromRenderer(item.sprite);
    m_sprites.clear();
}

void CQoWindow::SetBaseSize(float w, float h)
{
    m_baseSize = {w, h};
    m_size = {w, h};
    m_scale = {1, 1};
}

Vec3 CQoWindow::At(const Vec3& offset) const
{
    const float a = m_scale.x * offset.x, b = m_scale.y * offset.y, c = offset.z;
    return {m_position.x + a * m_axisX.x + b * m_axisY.x + c * m_axisZ.x,
            m_position.y + a * m_axisX.y + b * m_axisY.y + c * m_axisZ.y,
            m_position.z + a * m_axisX.z + b * m_axisY.z + c * m_axisZ.z};
}

CountedHandle<CSprite> CQoWindow::MakeSprite(const CountedHandle<CTexture>& texture, const float quad[8],
                                             const Vec3& offset, const GuiSize& designSize) const
{
    const Vec3 p = At(offset);
    // Blended sprites of layer 1: the GUI pass draws exactly those.
    auto sprite = MakeCountedHandle(
        new CSprite(p.x, p.y, p.z, m_scale.x * designSize.w, m_scale.y * designSize.h, color, texture, 1));
    const float ax[3] = {m_axisX.x, m_axisX.y, m_axisX.z};
    const float ay[3] = {m_axisY.x, m_axisY.y, m_axisY.z};
    sprite->SetAxes(ax, ay, 0);
    sprite->SetFrameQuad(0, quad);
    sprite->zOrder = zOrder;
    sprite->visible = m_visible ? 1 : 0;
    sprite->SetAlphaNow(m_alpha);
    if (m_spriteRenderer)
        m_spriteRenderer->Add(sprite);
    return sprite;
}

void CQoWindow::PlaceSprite(size_t i, bool resize)
{
    const SpriteItem& item = m_sprites[i];
    if (!item.sprite)
        return;
    const Vec3 p = At(item.offset);
    item.sprite->x = p.x;
    item.sprite->y = p.y;
    item.sprite->z = p.z;
    if (resize)
        item.sprite->SetSize(m_scale.x * item.designSize.w, m_scale.y * item.designSize.h);
}

void CQoWindow::PlaceText(size_t i, bool resize)
{
    const TextItem& item = m_texts[i];
    if (!item.text)
        return;
    const Vec3 p = At(item.offset);
    item.text->origin[0] = p.x;
    item.text->origin[1] = p.y;
    item.text->origin[2] = p.z;
    if (resize)
        item.text->SetCharSize(m_scale.x * item.charSize.w, m_scale.y * item.charSize.h);
}

// A child's size is always its base size times this window's scale, so its
// scale equals this one's and design offsets never accumulate rounding.
void CQoWindow::PlaceContents(bool resized)
{
    for (size_t i = 0; i < m_sprites.size(); ++i)
        PlaceSprite(i, resized);
    for (size_t i = 0; i < m_texts.size(); ++i)
        PlaceText(i, resized);
    for (const ChildItem& child : m_children) {
        const float x = m_scale.x * child.offset.x, y = m_scale.y * child.offset.y;
        if (resized) {
            const GuiSize& base = child.window->BaseSize();
            child.window->SetPositionAndSize(x, y, child.offset.z, m_scale.x * base.w, m_scale.y * base.h,
                                             m_position.x, m_position.y, m_position.z);
        } else {
            child.window->SetPosition(x, y, child.offset.z, m_position.x, m_position.y, m_position.z);
        }
    }
}

void CQoWindow::SetPosition(float x, float y, float z, float originX, float originY, float originZ)
{
    relativePosition = {x, y, z};
    m_position = {originX + x * m_axisX.x + y * m_axisY.x + z * m_axisZ.x,
                  originY + x * m_axisX.y + y * m_axisY.y + z * m_axisZ.y,
                  originZ + x * m_axisX.z + y * m_axisY.z + z * m_axisZ.z};
    PlaceContents(false);
}

void CQoWindow::SetSize(float w, float h)
{
    m_size = {w, h};
    m_scale = {w / m_baseSize.w, h / m_baseSize.h};
    PlaceContents(true);
}

void CQoWindow::SetPositionAndSize(float x, float y, float z, float w, float h, float originX, float originY,
                                   float originZ)
{
    m_size = {w, h};
    m_scale = {w / m_baseSize.w, h / m_baseSize.h};
    relativePosition = {x, y, z};
    m_position = {originX + x * m_axisX.x + y * m_axisY.x + z * m_axisZ.x,
                  originY + x * m_axisX.y + y * m_axisY.y + z * m_axisZ.y,
                  originZ + x * m_axisX.z + y * m_axisY.z + z * m_axisZ.z};
    PlaceContents(true);
}

void CQoWindow::SetAlpha(float value)
{
    m_alpha = value;
    for (const SpriteItem& item : m_sprites)
        if (item.sprite)
            item.sprite->SetAlphaNow(value);
    for (const TextItem& item : m_texts) {
        item.text->alphaFactor = value;
        item.text->ApplyColor();
    }
    for (const ChildItem& child : m_children)
        child.window->SetAlpha(value);
}

void CQoWindow::ShiftZOrder(int32_t delta)
{
    zOrder = ClampedZOrder(int64_t{zOrder} + delta);
    for (const SpriteItem& item : m_sprites)
        if (item.sprite)
            item.sprite->zOrder = ClampedZOrder(int64_t{item.sprite->zOrder} + delta);
    for (const ChildItem& child : m_children)
        child.window->ShiftZOrder(delta);
}

void CQoWindow::SetTextColor(uint32_t argb)
{
    for (const TextItem& item : m_texts) {
        item.text->colour = argb;
        item.text->ApplyColor();
    }
}

void CQoWindow::SetColor(uint32_t argb)
{
    color = argb;
    for (const SpriteItem& item : m_sprites)
        if (item.sprite)
            item.sprite->SetColor(argb);
}

void CQoWindow::AddChild(const CountedHandle<CQoWindow>& child)
{
    if (!child)
        return;
    m_children.push_back({child, child->relativePosition});
    child->SetTextLayer(m_textLayer);
    const Vec3& offset = m_children.back().offset;
    const GuiSize& base = child->BaseSize();
    child->SetPositionAndSize(m_scale.x * offset.x, m_scale.y * offset.y, offset.z, m_scale.x * base.w,
                              m_scale.y * base.h, m_position.x, m_position.y, m_position.z);
}

bool CQoWindow::SetEnabled(bool flag)
{
    const bool previous = m_enabled;
    m_enabled = flag;
    return previous;
}

bool CQoWindow::SetVisible(bool flag)
{
    const bool previous = m_visible;
    m_visible = flag;
    for (const SpriteItem& item : m_sprites) {
        if (!item.sprite)
            continue;
        if (m_spriteRenderer)
            m_spriteRenderer->SetVisible(item.sprite, flag ? 1 : 0);
        else
            item.sprite->visible = flag ? 1 : 0;
    }
    for (const TextItem& item : m_texts)
        item.text->visible = flag ? 1 : 0;
    for (const ChildItem& child : m_children)
        child.window->SetVisible(flag);
    return previous;
}

Vec2 CQoWindow::Local(float x, float y) const
{
    return {m_scale.x == 0.0f ? kFarAway : x / m_scale.x, m_scale.y == 0.0f ? kFarAway : y / m_scale.y};
}

bool CQoWindow::Contains(const Vec2& local) const
{
    return std::fabs(local.x) <= m_baseSize.w * 0.5f && std::fabs(local.y) <= m_baseSize.h * 0.5f;
}

void CQoWindow::PushEvent(GuiCode code, const Vec2& local)
{
    m_events.push_back({code, id, local.x, local.y, m_kind});
}

// Release events reach every window that takes input, so a press inside one
// control and a release outside it ends that control's pressed state without
// a click; a hit on one child does not keep the call from the others.
template <typename Call>
void CQoWindow::PassToChildren(float x, float y, Call call)
{
    for (const ChildItem& child : m_children) {
        CQoWindow& w = *child.window;
        if (w.TakesInput() && call(w, x - w.relativePosition.x, y - w.relativePosition.y) > 0)
            m_events.insert(m_events.end(), w.m_events.begin(), w.m_events.end());
    }
}

int CQoWindow::OnMouseDown(float x, float y, int button)
{
    m_events.clear();
    if (!IsButton(button) || !TakesInput())
        return 0;
    const Vec2 local = Local(x, y);
    if (Contains(local)) {
        PushEvent(kDownCodes[button], local);
        m_pressed[button] = true;
        m_holdTime[button] = 0.0f;
    }
    PassToChildren(x, y, [button](CQoWindow& w, float cx, float cy) { return w.OnMouseDown(cx, cy, button); });
    return static_cast<int>(m_events.size());
}

int CQoWindow::OnMouseUp(float x, float y, int button)
{
    m_events.clear();
    if (!IsButton(button) || !TakesInput())
        return 0;
    const Vec2 local = Local(x, y);
    PushEvent(kUpCodes[button], local);
    if (Contains(local) && button == 0 && m_pressed[0])
        PushEvent(GuiCode::Click, local);
    m_pressed[button] = false;
    m_holdTime[button] = 0.0f;
    PassToChildren(x, y, [button](CQoWindow& w, float cx, float cy) { return w.OnMouseUp(cx, cy, button); });
    return static_cast<int>(m_events.size());
}

int CQoWindow::OnMouseMove(float x, float y, float dt)
{
    m_events.clear();
    if (!TakesInput())
        return 0;
    const Vec2 local = Local(x, y);
    const bool inside = Contains(local);
    if (inside && !m_hover) {
        PushEvent(GuiCode::Enter, local);
        m_hover = true;
    } else if (!inside && m_hover) {
        PushEvent(GuiCode::Leave, local);
        m_hover = false;
    }
    for (int b = 0; b < kGuiButtons; ++b)
        if (m_pressed[b])
            m_holdTime[b] += dt;
    PassToChildren(x, y, [dt](CQoWindow& w, float cx, float cy) { return w.OnMouseMove(cx, cy, dt); });
    return static_cast<int>(m_events.size());
}

void CQoWindow::ResetInput()
{
    m_events.clear();
    std::fill(std::begin(m_pressed), std::end(m_pressed), false);
    std::fill(std::begin(m_holdTime), std::end(m_holdTime), 0.0f);
    m_hover = false;
    for (const ChildItem& child : m_children)
        child.window->ResetInput();
}

CountedHandle<CQoWindow> CQoWindow::FindChild(int32_t childId) const
{
    for (const ChildItem& child : m_children)
        if (child.window->id == childId)
            return child.window;
    return {};
}

void CQoWindow::MoveChild(ChildItem& item, float x, float y, float z)
{
    item.offset = {x, y, z};
    item.window->SetPosition(m_scale.x * x, m_scale.y * y, z, m_position.x, m_position.y, m_position.z);
}

void CQoWindow::SetChildPosition(const CountedHandle<CQoWindow>& child, float x, float y, float z)
{
    for (ChildItem& item : m_children)
        if (item.window == child)
            MoveChild(item, x, y, z);
}

void CQoWindow::SetChildPositionById(int32_t childId, float x, float y, float z)
{
    for (ChildItem& item : m_children)
        if (item.window->id == childId)
            MoveChild(item, x, y, z);
}

// This window's scale does not enter: the child is re-placed at scale 1
// around its current position.
void CQoWindow::SetChildSize(const CountedHandle<CQoWindow>& child, float w, float h)
{
    for (const ChildItem& item : m_children)
        if (item.window == child) {
            item.window->SetBaseSize(w, h);
            item.window->SetSize(w, h);
        }
}

void CQoWindow::SetChildSizeById(int32_t childId, float w, float h)
{
    for (const ChildItem& item : m_children)
        if (item.window->id == childId)
            SetChildSize(item.window, w, h);
}

void CQoWindow::SetTextLayer(int32_t layer)
{
    m_textLayer = layer;
    for (const TextItem& item : m_texts)
        item.text->layer = layer;
    for (const ChildItem& child : m_children)
        child.window->SetTextLayer(layer);
}
