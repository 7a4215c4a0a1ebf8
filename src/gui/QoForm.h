// The top-level window of one form file: its frame is tiled from a corner,
// a side and a background texture, and its controls are its children. The
// forms manager draws it and passes it input while it is visible.
#pragma once

#include "gui/QoWindow.h"

class CQoForm : public CQoWindow {
public:
    CQoForm(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    // The nine frame sprites (corners, sides, background) for the current
    // base size. Band sizes are design units; the sides and the background
    // repeat every tile length (texture addressing wraps).
    void SetTiling(const CountedHandle<CTexture>& corners, const CountedHandle<CTexture>& sides,
                   const CountedHandle<CTexture>& background, float horizontalTile, float bandHeight,
                   float bandWidth, float verticalTile);
    // Sets the form's and its sprites' z-order and shifts the controls by the
    // difference. A form already in a manager is removed and added again.
    void SetZOrder(int32_t z);
    // Only the flag: a hidden form is skipped by the manager's drawing and
    // input, and its sprites, texts and controls keep their own flags.
    bool SetVisible(bool flag) override;

    float horizontalTile = 0.2f; // length after which the top and bottom sides repeat
    float bandHeight = 0.2f;     // of the corners and the top and bottom sides
    float bandWidth = 0.2f;      // of the corners and the left and right sides
    float verticalTile = 0.2f;   // after which the left and right sides and the background repeat
};
