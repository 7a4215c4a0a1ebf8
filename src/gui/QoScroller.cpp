#include "gui/QoScroller.h"

#include <algorithm>

namespace {
// The knob lies this far in front of the track.
constexpr float kKnobDepth = -0.001f;
} // namespace

CQoScroller::CQoScroller(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoStatic(WindowKind::Scroller, std::move(sprites), std::move(texts))
{}

void CQoScroller::Setup(const CountedHandle<CTexture>& texture, float trackL, float trackT, float trackR,
                        float trackB, float knobL, float knobT, float knobR, float knobB, float knobWidth,
                        float knobHeight)
{
    SetTextureRect(texture, trackL, trackT, trackR, trackB);
    float quad[8];
    RectQuad(knobL, knobT, knobR, knobB, quad);
    SetKnob(texture, quad, knobWidth, knobHeight);
}

Vec2 CQoScroller::GetKnobPosition() const
{
    if (horizontal)
        return {centreShift.x + (m_value - 0.5f) * BaseSize().w * travel, centreShift.y};
    return {centreShift.x, centreShift.y - (m_value - 0.5f) * BaseSize().h * travel};
}

void CQoScroller::SetKnob(const CountedHandle<CTexture>& texture, const float quad[8], float knobWidth,
                          float knobHeight)
{
    m_knobSize = {knobWidth, knobHeight};
    float frame[8];
    RectQuad(quad[0], quad[1], quad[4], quad[5], frame);
    const Vec2 at = GetKnobPosition();
    const int32_t trackZOrder = zOrder;
    zOrder = ClampedZOrder(int64_t{trackZOrder} - 1);
    m_knob = std::min(m_knob, m_sprites.size());
    PutSprite(m_knob, texture, frame, {at.x, at.y, kKnobDepth}, m_knobSize);
    zOrder = trackZOrder;
}

int32_t CQoScroller::SetKnobDisabledFrame(const float quad[8])
{
    if (m_knob >= m_sprites.size() || !m_sprites[m_knob].sprite)
        return -1;
    return m_knobDisabledFrame = m_sprites[m_knob].sprite->AddFrameQuad(quad);
}

void CQoScroller::MoveKnob()
{
    if (m_knob >= m_sprites.size())
        return;
    const Vec2 at = GetKnobPosition();
    m_sprites[m_knob].offset = {at.x, at.y, kKnobDepth};
    PlaceSprite(m_knob, false);
}

float CQoScroller::SetValue(float value)
{
    const float previous = m_value;
    m_value = value;
    MoveKnob();
    return previous;
}

bool CQoScroller::SetEnabled(bool flag)
{
    const bool previous = CQoStatic::SetEnabled(flag);
    if (m_knobDisabledFrame != -1)
        ShowFrame(m_knob, flag ? 0 : m_knobDisabledFrame);
    return previous;
}

float CQoScroller::ValueAt(const Vec2& local) const
{
    const float span = travel * (horizontal ? BaseSize().w : BaseSize().h);
    // A track without travel has no value to give: the knob stays.
    if (!(span > 0.0f))
        return m_value;
    const float value =
        horizontal ? (local.x - centreShift.x) / span + 0.5f : 0.5f - (local.y - centreShift.y) / span;
    return std::clamp(value, 0.0f, 1.0f);
}

void CQoScroller::Drag(const Vec2& local)
{
    m_value = ValueAt(local);
    m_events.push_back({GuiCode::ValueChanged, id, local.x, local.y, Kind()});
    MoveKnob();
}

int CQoScroller::OnMouseDown(float x, float y, int button)
{
    CQoStatic::OnMouseDown(x, y, button);
    if (button == 0 && !m_events.empty() && m_events[0].code == GuiCode::LeftDown && m_events[0].id == id)
        Drag({m_events[0].x, m_events[0].y});
    return static_cast<int>(m_events.size());
}

// The drag goes on wherever the cursor is while the left button stays down,
// and reports a value on every move, changed or not.
int CQoScroller::OnMouseMove(float x, float y, float dt)
{
    CQoStatic::OnMouseMove(x, y, dt);
    if (TakesInput() && IsPressed(0))
        Drag(Local(x, y));
    return static_cast<int>(m_events.size());
}
