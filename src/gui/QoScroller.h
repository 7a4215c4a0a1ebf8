// A track (sprite 0) with a knob (sprite 1) that the player drags with the
// left button to set a value from 0 to 1; every drag step reports the value
// as a ValueChanged event. The knob lies one z-order and a little depth in
// front of the track.
#pragma once

#include "gui/QoStatic.h"

class CQoScroller : public CQoStatic {
public:
    CQoScroller(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    // Track and knob rectangles (l, t, r, b) of one texture; knob size in
    // design units.
    void Setup(const CountedHandle<CTexture>& texture, float trackL, float trackT, float trackR, float trackB,
               float knobL, float knobT, float knobR, float knobB, float knobWidth, float knobHeight);
    // Builds or replaces the knob sprite with frame 0 from the quad's corners
    // 0 and 2.
    void SetKnob(const CountedHandle<CTexture>& texture, const float quad[8], float knobWidth, float knobHeight);
    int32_t SetKnobDisabledFrame(const float quad[8]);
    // The knob's design offset from the centre; value 0 puts it at the left
    // (or top) end.
    Vec2 GetKnobPosition() const;
    // Stored as given (callers pass 0 to 1); moves the knob, no event.
    // Returns the previous value.
    float SetValue(float value);
    float Value() const { return m_value; }
    const GuiSize& KnobSize() const { return m_knobSize; }

    bool SetEnabled(bool flag) override;
    int OnMouseDown(float x, float y, int button) override;
    int OnMouseMove(float x, float y, float dt) override;

    // Written by the form builder before Setup.
    bool horizontal = true; // else the knob moves along y
    float travel = 0.9f;    // fraction of the base width (or height) the knob travels over
    Vec2 centreShift;       // of the knob's middle position, design units

private:
    // The value under a cursor at local design coordinates, clamped to 0..1.
    float ValueAt(const Vec2& local) const;
    void Drag(const Vec2& local);
    void MoveKnob();

    float m_value = 0.0f;
    GuiSize m_knobSize{0.1f, 0.1f};
    int32_t m_knobDisabledFrame = -1;
    size_t m_knob = 1; // the knob's sprite item
};
