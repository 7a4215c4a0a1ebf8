// The base of every control: one picture sprite (sprite 0) and one caption
// text, two when the caption has a shadow. The caption is anchored inside the
// control's rectangle by its alignment and word-wrapped to the control's
// width. Buttons, check boxes, scrollers and progress bars build on it.
#pragma once

#include "engine/BitmapFont.h"
#include "gui/QoWindow.h"

#include <string>

class CQoStatic : public CQoWindow {
public:
    CQoStatic(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    // Installs the caption texts: with a shadow, text 0 is the shadow and
    // text 1 the main text; without, text 0 is the main text.
    void SetTexts(const CountedHandle<CText>& main, const CountedHandle<CText>& shadow);
    // Makes the main text (and the shadow) from the font at this character
    // size and sets the caption.
    void CreateText(const CountedHandle<CBitmapFont>& font, float charWidth, float charHeight,
                    const std::string& caption, bool withShadow);
    void SetAlignment(CText::Alignment mode);
    void SetInterval(float lineInterval);
    // From now on the layout rounds space widths and line steps down to whole
    // steps, carrying the remainder on.
    void SetSnapStep(float stepX, float stepY);
    // Wrap width in character widths.
    void SetNoteWidth(float width);
    void SetText(const std::string& caption);
    // Every text but the shadow.
    void SetTextColor(uint32_t argb) override;

    // The picture fills the control; corners top-left, top-right,
    // bottom-right, bottom-left, a rectangle (l, t, r, b) standing for
    // (l, t), (r, t), (r, b), (l, b).
    void SetTextureRect(const CountedHandle<CTexture>& texture, float l, float t, float r, float b);
    void SetTexture(const CountedHandle<CTexture>& texture, const float quad[8]);
    // A picture of its own design size at a design offset from the centre.
    void SetPictureRect(const CountedHandle<CTexture>& texture, float l, float t, float r, float b, float x,
                        float y, float z, float w, float h);
    void SetPicture(const CountedHandle<CTexture>& texture, const float quad[8], float x, float y, float z,
                    float w, float h);

    bool HasShadow() const { return m_shadow; }
    // The caption's own text (text 1 with a shadow, else text 0), or empty.
    CountedHandle<CText> MainText() const;

    // Set by the creator before CreateText.
    bool wrap = true;                            // SetText word-wraps the caption to the wrap width
    float textDepth = 0.001f;                    // the caption lies this far in front of the control
    Vec3 noteShift;                              // of the caption, design units
    Vec2 shadowShift{0.00390625f, -0.00390625f}; // of the shadow from the main text
    float shadowDepth = -0.0005f;                // of the main text from the shadow along z
    uint32_t shadowColor = 0x80000000;

protected:
    CQoStatic(WindowKind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    // Replaces (or appends) sprite item `index` with a sprite of the texture
    // at a design offset and size.
    void PutSprite(size_t index, const CountedHandle<CTexture>& texture, const float quad[8], const Vec3& offset,
                   const GuiSize& designSize);
    // Shows frame `frame` of sprite `index` when it exists.
    void ShowFrame(size_t index, int32_t frame);
    // Sets the main text's colour and applies it.
    void ShowTextColor(uint32_t argb);

private:
    // Places the text origins from the alignment's anchor, the note shift and
    // the shadow's offsets; with `resize`, wrap widths and character sizes too.
    void AnchorTexts(bool resize);

    bool m_shadow = false;
};

// The four corners of the rectangle (l, t, r, b), top-left first.
void RectQuad(float l, float t, float r, float b, float quad[8]);
