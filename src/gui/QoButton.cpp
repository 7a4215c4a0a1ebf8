#include "gui/QoButton.h"

CQoButton::CQoButton(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoButton(WindowKind::Button, std::move(sprites), std::move(texts))
{}

CQoButton::CQoButton(WindowKind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoStatic(kind, std::move(sprites), std::move(texts))
{}

void CQoButton::Setup(const CountedHandle<CBitmapFont>& font, float charWidth, float charHeight,
                      const CountedHandle<CTexture>& texture, float l, float t, float r, float b, bool withShadow)
{
    CreateText(font, charWidth, charHeight, "Button", withShadow);
    SetTextureRect(texture, l, t, r, b);
}

int32_t CQoButton::AddLook(const float quad[8])
{
    if (m_sprites.empty() || !m_sprites[0].sprite)
        return -1;
    return m_sprites[0].sprite->AddFrameQuad(quad);
}

int32_t CQoButton::SetPressedFrame(const float quad[8]) { return m_pressedFrame = AddLook(quad); }
int32_t CQoButton::SetDisabledFrame(const float quad[8]) { return m_disabledFrame = AddLook(quad); }
int32_t CQoButton::SetOverFrame(const float quad[8]) { return m_overFrame = AddLook(quad); }

bool CQoButton::FirstEventIs(GuiCode code) const
{
    return !m_events.empty() && m_events[0].code == code && m_events[0].id == id;
}

void CQoButton::ShowFrameIfGiven(int32_t frame)
{
    if (frame != -1)
        ShowFrame(0, frame);
}

void CQoButton::ShowColorIfGiven(uint32_t argb, bool given)
{
    if (given)
        ShowTextColor(argb);
}

void CQoButton::SetTextColor(uint32_t argb)
{
    normalColor = argb;
    const bool otherShowing = (!IsEnabled() && disabledColorGiven) || (IsPressed(0) && pressedColorGiven);
    if (!otherShowing)
        ShowTextColor(argb);
}

bool CQoButton::SetEnabled(bool flag)
{
    const bool previous = CQoStatic::SetEnabled(flag);
    if (flag) {
        ShowFrame(0, 0);
        ShowTextColor(normalColor);
    } else {
        ShowFrameIfGiven(m_disabledFrame);
        ShowColorIfGiven(disabledColor, disabledColorGiven);
    }
    return previous;
}

int CQoButton::OnMouseDown(float x, float y, int button)
{
    const int count = CQoStatic::OnMouseDown(x, y, button);
    if (button == 0 && FirstEventIs(GuiCode::LeftDown)) {
        ShowFrameIfGiven(m_pressedFrame);
        ShowColorIfGiven(pressedColor, pressedColorGiven);
    }
    return count;
}

int CQoButton::OnMouseUp(float x, float y, int button)
{
    const int count = CQoStatic::OnMouseUp(x, y, button);
    // Only a release the window took: a disabled button keeps its look.
    if (count == 0 || IsPressed(0))
        return count;
    const bool over = IsHovered() && m_overFrame != -1;
    ShowFrame(0, over ? m_overFrame : 0);
    if (pressedColorGiven)
        ShowTextColor(IsHovered() && overColorGiven ? overColor : normalColor);
    return count;
}

int CQoButton::OnMouseMove(float x, float y, float dt)
{
    const int count = CQoStatic::OnMouseMove(x, y, dt);
    if (FirstEventIs(GuiCode::Enter)) {
        // Entering again with the button still held shows the pressed look.
        const bool held = IsPressed(0);
        ShowFrameIfGiven(held && m_pressedFrame != -1 ? m_pressedFrame : m_overFrame);
        if (held && pressedColorGiven)
            ShowTextColor(pressedColor);
        else
            ShowColorIfGiven(overColor, overColorGiven);
    } else if (FirstEventIs(GuiCode::Leave)) {
        ShowFrame(0, 0);
        ShowTextColor(normalColor);
    }
    return count;
}

void CQoButton::ResetInput()
{
    CQoStatic::ResetInput();
    if (IsEnabled()) {
        ShowFrame(0, 0);
        ShowTextColor(normalColor);
    }
}

CQoCheckbox::CQoCheckbox(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoButton(WindowKind::Checkbox, std::move(sprites), std::move(texts))
{}

void CQoCheckbox::Setup(const CountedHandle<CBitmapFont>& font, float charWidth, float charHeight,
                        const CountedHandle<CTexture>& texture, float l, float t, float r, float b)
{
    CreateText(font, charWidth, charHeight, "Checkbox", false);
    SetTextureRect(texture, l, t, r, b);
}

int32_t CQoCheckbox::SetPressedDisabledFrame(const float quad[8])
{
    return m_pressedDisabledFrame = AddLook(quad);
}

int32_t CQoCheckbox::SetOverPressedFrame(const float quad[8]) { return m_overPressedFrame = AddLook(quad); }

void CQoCheckbox::ShowStateLook(bool fallBack)
{
    if (IsEnabled()) {
        if (m_checked) {
            ShowFrameIfGiven(m_pressedFrame);
            ShowColorIfGiven(pressedColor, pressedColorGiven);
        } else {
            ShowFrame(0, 0);
            ShowTextColor(normalColor);
        }
        return;
    }
    struct Look {
        int32_t frame;
        uint32_t color;
        bool colorGiven;
    };
    const Look exact = m_checked ? Look{m_pressedDisabledFrame, pressedDisabledColor, pressedDisabledColorGiven}
                                 : Look{m_disabledFrame, disabledColor, disabledColorGiven};
    const Look other = m_checked ? Look{m_disabledFrame, disabledColor, disabledColorGiven}
                                 : Look{m_pressedDisabledFrame, pressedDisabledColor, pressedDisabledColorGiven};
    ShowFrameIfGiven(exact.frame != -1 || !fallBack ? exact.frame : other.frame);
    if (exact.colorGiven || !fallBack)
        ShowColorIfGiven(exact.color, exact.colorGiven);
    else
        ShowColorIfGiven(other.color, other.colorGiven);
}

bool CQoCheckbox::SetChecked(bool flag)
{
    const bool previous = m_checked;
    m_checked = flag;
    ShowStateLook(false);
    return previous;
}

bool CQoCheckbox::SetEnabled(bool flag)
{
    const bool previous = CQoStatic::SetEnabled(flag);
    ShowStateLook(true);
    return previous;
}

void CQoCheckbox::SetTextColor(uint32_t argb)
{
    normalColor = argb;
    bool showsNormal = false;
    if (IsEnabled())
        showsNormal = !(m_checked && pressedColorGiven);
    else if (!m_checked)
        showsNormal = !disabledColorGiven;
    else
        showsNormal = !pressedDisabledColorGiven && !pressedColorGiven;
    if (showsNormal)
        ShowTextColor(argb);
}

int CQoCheckbox::OnMouseDown(float x, float y, int button)
{
    CQoStatic::OnMouseDown(x, y, button);
    if (button == 0 && FirstEventIs(GuiCode::LeftDown)) {
        m_checked = !m_checked;
        m_events.push_back({GuiCode::ValueChanged, id, m_events[0].x, m_events[0].y, Kind()});
        // The press leaves the cursor over the box: the over looks first.
        if (m_checked) {
            ShowFrameIfGiven(m_overPressedFrame != -1 ? m_overPressedFrame : m_pressedFrame);
            if (overPressedColorGiven)
                ShowTextColor(overPressedColor);
            else
                ShowColorIfGiven(pressedColor, pressedColorGiven);
        } else {
            ShowFrame(0, m_overFrame != -1 ? m_overFrame : 0);
            ShowTextColor(overColorGiven ? overColor : normalColor);
        }
    }
    return static_cast<int>(m_events.size());
}

int CQoCheckbox::OnMouseUp(float x, float y, int button) { return CQoStatic::OnMouseUp(x, y, button); }

int CQoCheckbox::OnMouseMove(float x, float y, float dt)
{
    const int count = CQoStatic::OnMouseMove(x, y, dt);
    if (FirstEventIs(GuiCode::Enter)) {
        if (m_checked) {
            ShowFrameIfGiven(m_overPressedFrame);
            ShowColorIfGiven(overPressedColor, overPressedColorGiven);
        } else {
            ShowFrameIfGiven(m_overFrame);
            ShowColorIfGiven(overColor, overColorGiven);
        }
    } else if (FirstEventIs(GuiCode::Leave)) {
        if (m_checked) {
            if (m_overPressedFrame != -1)
                ShowFrame(0, m_pressedFrame != -1 ? m_pressedFrame : 0);
            if (overPressedColorGiven)
                ShowTextColor(pressedColorGiven ? pressedColor : normalColor);
        } else {
            if (m_overFrame != -1)
                ShowFrame(0, 0);
            if (overColorGiven)
                ShowTextColor(normalColor);
        }
    }
    return count;
}

void CQoCheckbox::ResetInput()
{
    CQoButton::ResetInput();
    if (IsEnabled() && m_checked)
        ShowStateLook(false);
}
