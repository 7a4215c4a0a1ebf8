// A bar split by a value from 0 to 1 into a fill (sprite 1, growing from the
// left or the bottom) and an empty part (sprite 0). Each part shows its own
// share of its picture without stretching it, so the fill reveals the full
// picture and the empty part the rest of the empty one.
#pragma once

#include "gui/QoStatic.h"

class CQoProgressbar : public CQoStatic {
public:
    CQoProgressbar(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    // Rectangles (l, t, r, b) of the whole bar when empty and when full.
    void Setup(const CountedHandle<CTexture>& texture, float emptyL, float emptyT, float emptyR, float emptyB,
               float fillL, float fillT, float fillR, float fillB);
    // Builds or replaces the fill sprite for the current value.
    void SetFill(const CountedHandle<CTexture>& texture, float l, float t, float r, float b);
    // Stored as given (callers pass 0 to 1); no event. Returns the previous
    // value.
    float SetValue(float value);
    float Value() const { return m_value; }

    // Written by the form builder before Setup.
    bool horizontal = true; // else the fill grows from the bottom

private:
    struct Rect {
        float l, t, r, b;
    };
    // Sizes, offsets and texture corners of both parts for the value.
    void Split();

    float m_value = 0.0f;
    Rect m_empty{0, 0, 1, 0.5f};
    Rect m_fill{0, 0.5f, 1, 1};
};
