// The base of the retained-mode GUI: a rectangle with a centre, a design
// ("base") size and a current size that owns sprites, texts and child windows
// placed relative to it. Moving or resizing a window re-places everything it
// owns from offsets kept in design units, so repeated resizing never drifts;
// alpha, colour, visibility, z-order and the text layer pass down to what it
// owns. Mouse input becomes GuiEvent records, the window's own first, then
// its children's.
//
// Coordinates are virtual-screen units: x right, y up, z into the screen.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "events/GameEvent.h"
#include "gui/GuiEvent.h"

#include <cstdint>
#include <vector>

struct GuiSize {
    float w = 0, h = 0;
};

// Mouse buttons as the input calls number them; any other number is ignored.
constexpr int kGuiButtons = 3;

class CQoWindow : public CEventSource {
public:
    CQoWindow(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);
    ~CQoWindow() override;
    CQoWindow(const CQoWindow&) = delete;
    CQoWindow& operator=(const CQoWindow&) = delete;

    // Sprites and texts already made stay with the old renderer and batch.
    void SetRenderers(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);
    void RemoveSprites();
    // Base size and size both (w, h), scale 1; nothing is re-placed.
    void SetBaseSize(float w, float h);
    // (x, y, z) relative to the parent's centre `origin`; places everything.
    void SetPosition(float x, float y, float z, float originX, float originY, float originZ);
    void SetSize(float w, float h);
    void SetPositionAndSize(float x, float y, float z, float w, float h, float originX, float originY,
                            float originZ);
    void SetAlpha(float value);
    // The owner re-sorts its sprite renderer afterwards.
    void ShiftZOrder(int32_t delta);
    virtual void SetTextColor(uint32_t argb);
    void SetColor(uint32_t argb);
    // Records the child's relative position as its design offset and places it.
    void AddChild(const CountedHandle<CQoWindow>& child);
    // Each returns the previous flag.
    virtual bool SetEnabled(bool flag);
    virtual bool SetVisible(bool flag);

    // (x, y) is the cursor's offset from this window's relative position, in
    // the parent's units. Each returns the number of events in Events().
    virtual int OnMouseDown(float x, float y, int button);
    virtual int OnMouseUp(float x, float y, int button);
    virtual int OnMouseMove(float x, float y, float dt);
    virtual void ResetInput();

    CountedHandle<CQoWindow> FindChild(int32_t childId) const;
    void SetChildPosition(const CountedHandle<CQoWindow>& child, float x, float y, float z);
    void SetChildPositionById(int32_t childId, float x, float y, float z);
    // The child's base size and size both become (w, h), at scale 1.
    void SetChildSize(const CountedHandle<CQoWindow>& child, float w, float h);
    void SetChildSizeById(int32_t childId, float w, float h);
    void SetTextLayer(int32_t layer);

    WindowKind Kind() const { return m_kind; }
    int32_t TextLayer() const { return m_textLayer; }
    const Vec3& Position() const { return m_position; }
    const GuiSize& BaseSize() const { return m_baseSize; }
    const GuiSize& Size() const { return m_size; }
    const Vec2& Scale() const { return m_scale; }
    float Alpha() const { return m_alpha; }
    bool IsVisible() const { return m_visible; }
    bool IsEnabled() const { return m_enabled; }
    bool IsHovered() const { return m_hover; }
    // Visible, enabled and active: the window produces events and passes
    // input on to its children.
    bool TakesInput() const { return m_visible && m_enabled && active; }
    bool IsPressed(int button) const { return IsButton(button) && m_pressed[button]; }
    // Seconds the button has been held since it was pressed inside.
    float HoldTime(int button) const { return IsButton(button) ? m_holdTime[button] : 0.0f; }

    const std::vector<GuiEvent>& Events() const { return m_events; }
    size_t ChildCount() const { return m_children.size(); }
    const CountedHandle<CQoWindow>& Child(size_t i) const { return m_children[i].window; }
    size_t SpriteCount() const { return m_sprites.size(); }
    const CountedHandle<CSprite>& Sprite(size_t i) const { return m_sprites[i].sprite; }
    size_t TextCount() const { return m_texts.size(); }
    const CountedHandle<CText>& Text(size_t i) const { return m_texts[i].text; }
    const CountedHandle<CSpriteRenderer>& SpriteRenderer() const { return m_spriteRenderer; }
    const CountedHandle<CTextBatch>& TextBatch() const { return m_textBatch; }

    // Written by the creator (form builder, screens) before the window is
    // added to its parent, and by the modal stack and screen fades (`active`).
    int32_t id = 0;
    Vec3 relativePosition; // as last given to SetPosition
    bool active = true;
    int32_t zOrder = 0;          // given to the window's sprites
    uint32_t color = 0xFFFFFFFF; // given to the window's sprites

protected:
    struct SpriteItem {
        CountedHandle<CSprite> sprite;
        Vec3 offset;        // from the centre, design units
        GuiSize designSize; // at scale 1
    };
    struct TextItem {
        CountedHandle<CText> text;
        float wrapWidth = 0; // design wrap width, character widths
        GuiSize charSize;    // design character size
        Vec3 offset;         // of the text origin, design units
    };
    struct ChildItem {
        CountedHandle<CQoWindow> window;
        Vec3 offset; // the child's relative position in design units
    };

    explicit CQoWindow(WindowKind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts);

    static bool IsButton(int button) { return button >= 0 && button < kGuiButtons; }
    // The point at a design offset from the centre: P + (sx a)X + (sy b)Y + c Z.
    Vec3 At(const Vec3& offset) const;
    // A sprite of this window's colour, axes, z-order, visibility and alpha at
    // a design offset and size, with `quad` as frame 0, added to the renderer.
    CountedHandle<CSprite> MakeSprite(const CountedHandle<CTexture>& texture, const float quad[8],
                                      const Vec3& offset, const GuiSize& designSize) const;
    // Puts item i's sprite in place (and, when `resize`, to its scaled size).
    void PlaceSprite(size_t i, bool resize);
    void PlaceText(size_t i, bool resize);
    void RemoveFromRenderer(const CountedHandle<CSprite>& sprite) const;
    // The cursor in design units from the centre; a zero scale puts it far
    // outside.
    Vec2 Local(float x, float y) const;
    bool Contains(const Vec2& local) const;
    void PushEvent(GuiCode code, const Vec2& local);
    // The flag alone, for a form's own SetVisible.
    void SetVisibleFlag(bool flag) { m_visible = flag; }

    std::vector<SpriteItem> m_sprites; // item 0 is a control's picture
    std::vector<TextItem> m_texts;
    std::vector<ChildItem> m_children;
    std::vector<GuiEvent> m_events;

private:
    void PlaceContents(bool resized);
    void MoveChild(ChildItem& item, float x, float y, float z);
    template <typename Call>
    void PassToChildren(float x, float y, Call call);

    WindowKind m_kind;
    int32_t m_textLayer = 0;
    Vec3 m_position;
    Vec3 m_axisX{1, 0, 0};
    Vec3 m_axisY{0, 1, 0};
    Vec3 m_axisZ{0, 0, 1};
    GuiSize m_baseSize{1, 1};
    GuiSize m_size{1, 1};
    Vec2 m_scale{1, 1};
    float m_alpha = 1.0f;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_pressed[kGuiButtons] = {};
    float m_holdTime[kGuiButtons] = {};
    bool m_hover = false;
    CountedHandle<CSpriteRenderer> m_spriteRenderer;
    CountedHandle<CTextBatch> m_textBatch;
};

// a + b held to the int32 range: z-orders come from files and shifts.
int32_t ClampedZOrder(int64_t value);
