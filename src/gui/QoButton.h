// Buttons and check boxes: statics whose picture frame and caption colour
// change with the cursor, the left button and the enabled (and checked)
// state. Looks are frames of the picture sprite: frame 0 is the normal look,
// each further look is appended by its setter; −1 means no such look. Each
// state colour comes with a flag that says whether it was given.
#pragma once

#include "gui/QoStatic.h"

class CQoButton : public CQoStatic {
public:
    CQoButton(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    void Setup(const CountedHandle<CBitmapFont>& font, float charWidth, float charHeight,
               const CountedHandle<CTexture>& texture, float l, float t, float r, float b, bool withShadow);
    // Each appends the look as a frame of the picture and returns its index.
    int32_t SetPressedFrame(const float quad[8]);
    int32_t SetDisabledFrame(const float quad[8]);
    int32_t SetOverFrame(const float quad[8]);

    // The normal colour, shown at once unless a disabled or pressed colour
    // is showing.
    void SetTextColor(uint32_t argb) override;
    bool SetEnabled(bool flag) override;
    int OnMouseDown(float x, float y, int button) override;
    int OnMouseUp(float x, float y, int button) override;
    int OnMouseMove(float x, float y, float dt) override;
    void ResetInput() override;

    int32_t PressedFrame() const { return m_pressedFrame; }
    int32_t DisabledFrame() const { return m_disabledFrame; }
    int32_t OverFrame() const { return m_overFrame; }

    // Written by the form builder from TEXTSTATE before the first look shows.
    uint32_t normalColor = 0xFFFFFFFF;
    uint32_t pressedColor = 0xFFFFFFFF; // check box: checked
    uint32_t disabledColor = 0xFFFFFFFF;
    uint32_t overColor = 0xFFFFFFFF;
    bool pressedColorGiven = false;
    bool disabledColorGiven = false;
    bool overColorGiven = false;

protected:
    CQoButton(WindowKind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    int32_t AddLook(const float quad[8]);
    // The window's first event of the last call has this code and this id.
    bool FirstEventIs(GuiCode code) const;
    // Shows a frame when it exists (not −1) and a colour when it was given.
    void ShowFrameIfGiven(int32_t frame);
    void ShowColorIfGiven(uint32_t argb, bool given);

    int32_t m_pressedFrame = -1; // check box: the checked look
    int32_t m_disabledFrame = -1;
    int32_t m_overFrame = -1;
};

// A button that toggles a checked state on the press (not the release) and
// reports the toggle as a ValueChanged event after the window's events.
class CQoCheckbox : public CQoButton {
public:
    CQoCheckbox(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    void Setup(const CountedHandle<CBitmapFont>& font, float charWidth, float charHeight,
               const CountedHandle<CTexture>& texture, float l, float t, float r, float b);
    int32_t SetPressedDisabledFrame(const float quad[8]);
    int32_t SetOverPressedFrame(const float quad[8]);
    // Shows the look of the new state; no event. Returns the previous flag.
    bool SetChecked(bool flag);
    bool IsChecked() const { return m_checked; }

    // The normal colour, shown at once only while the box shows it.
    void SetTextColor(uint32_t argb) override;
    bool SetEnabled(bool flag) override;
    int OnMouseDown(float x, float y, int button) override;
    int OnMouseUp(float x, float y, int button) override;
    int OnMouseMove(float x, float y, float dt) override;
    // The button's reset, then a checked box shows its checked look again.
    void ResetInput() override;

    int32_t PressedDisabledFrame() const { return m_pressedDisabledFrame; }
    int32_t OverPressedFrame() const { return m_overPressedFrame; }

    uint32_t pressedDisabledColor = 0xFFFFFFFF;
    uint32_t overPressedColor = 0xFFFFFFFF;
    bool pressedDisabledColorGiven = false;
    bool overPressedColorGiven = false;

private:
    // The look of the checked state while enabled, or while disabled; with
    // `fallBack` a disabled box without the exact look shows the other
    // disabled one.
    void ShowStateLook(bool fallBack);

    int32_t m_pressedDisabledFrame = -1;
    int32_t m_overPressedFrame = -1;
    bool m_checked = false;
};
