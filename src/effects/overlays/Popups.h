// The short-lived texts that float over the board: the points of a
// destroyed token (number popups), the points times tokens of a match with
// token icons flying in (multiplier popups), the combo and frenzy messages
// (message popups) and the two-line captions such as "Life lost". The board
// owns the manager and updates it every frame; its look comes from
// "Score.cfg" (the process-wide CScoreMessageSettings).
#pragma once

#include "effects/overlays/ScoreSettings.h"
#include "engine/CountedHandle.h"
#include "engine/Settings.h"

#include <string>
#include <vector>

class CBitmapFont;
class CSprite;
class CSpriteRenderer;
class CText;
class CTextBatch;
class CTexture;

class CPopup {
public:
    enum Kind { kNumber = 0, kMessage = 1, kMultiplier = 2, kCaption = 3 };

    CPopup(Kind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
           CountedHandle<CBitmapFont> font, int iconDrawOrder, int textLayer);
    // Takes its texts out of the batch and its icons out of the renderer.
    ~CPopup();
    CPopup(const CPopup&) = delete;
    CPopup& operator=(const CPopup&) = delete;

    // Advances the animation; 0 once the popup has finished.
    int Update(float dt);

    Kind GetKind() const { return m_kind; }
    float Elapsed() const { return m_elapsed; }
    Vec3 Anchor() const { return m_anchor; }
    const std::vector<CountedHandle<CText>>& Texts() const { return m_texts; }
    const std::vector<CountedHandle<CSprite>>& Icons() const { return m_icons; }

    // Shrinks the texts so that the widest fits in `width`; a popup that
    // fits stays as it is.
    void FitWidth(float width);

    // Seconds the popup stays at full strength; callers may change it right
    // after creating it.
    float life = 1.0f;

private:
    friend class CPopupManager;

    void Begin(const Vec3& anchor, float scale);
    // A text at `offset` from the anchor, with its shadow when the look has one.
    void AddText(const std::string& text, int alignment, uint32_t colour, const Vec3& offset);
    // An icon flying in from `from` to `end` (an offset from the anchor),
    // cut from the plate of `level`.
    void AddIcon(const Vec3& from, const Vec3& end, CountedHandle<CTexture> texture, int level);
    void FlyIcons(float b);
    // Places texts and icons for the opacities and the two scale factors.
    void Place(float iconAlpha, float textAlpha, float sx, float sy);
    float Swell(float b) const;
    // The font's design size: a text of this glyph size shows it texel for texel.
    float GlyphSize() const;

    Kind m_kind;
    const PopupLook* m_look;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CTextBatch> m_textBatch;
    CountedHandle<CBitmapFont> m_font;
    int m_iconDrawOrder;
    int m_textLayer;
    float m_elapsed = 0.0f;
    Vec3 m_anchor;
    float m_scale = 1.0f;
    std::vector<Vec3> m_textOffsets;
    std::vector<Vec2> m_textSizes; // factors of the font's glyph size
    std::vector<CountedHandle<CText>> m_texts;
    std::vector<Vec3> m_iconOffsets;
    std::vector<Vec2> m_iconSizes;
    std::vector<Vec3> m_iconStarts;
    std::vector<Vec3> m_iconEnds;
    std::vector<CountedHandle<CSprite>> m_icons;
    bool m_iconsSettled = false;
};

class CPopupManager {
public:
    CPopupManager();
    ~CPopupManager();
    CPopupManager(const CPopupManager&) = delete;
    CPopupManager& operator=(const CPopupManager&) = delete;

    // Number and multiplier popups use the number font, messages and
    // captions the message font; the icons are cut from `icons`, and none is
    // made while it is empty.
    void SetResources(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
                      CountedHandle<CBitmapFont> numberFont, CountedHandle<CBitmapFont> messageFont,
                      CountedHandle<CTexture> icons);

    CountedHandle<CPopup> AddNumberPopup(int number, int sizeStep, float x, float y, float z);
    // `style` picks the message colour.
    CountedHandle<CPopup> AddTextPopup(const std::string& text, float scale, int style, float x, float y, float z);
    // "points", one icon per matched token flying in from its cell, and
    // "=total". `tokenColours` holds one colour number per position.
    CountedHandle<CPopup> AddEquationPopup(int points, int total, int sizeStep, float x, float y, float z,
                                           const std::vector<Vec3>& tokenPositions,
                                           const std::vector<int>& tokenColours);
    CountedHandle<CPopup> AddCaptionPopup(const std::string& text, float scale, float x, float y, float z);

    // Advances every popup and drops the finished ones.
    void Update(float dt);
    // Drops every popup at once.
    void Clear() { m_popups.clear(); }
    // Drops the messages and captions, so that another can take their place;
    // the points stay.
    void DropMessages();
    const std::vector<CountedHandle<CPopup>>& Popups() const { return m_popups; }

    int iconDrawOrder = 0;
    int textLayer = -1;

private:
    CountedHandle<CPopup> Make(CPopup::Kind kind);
    CountedHandle<CPopup> Keep(CountedHandle<CPopup> popup);

    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CTextBatch> m_texts;
    CountedHandle<CBitmapFont> m_numberFont;
    CountedHandle<CBitmapFont> m_messageFont;
    CountedHandle<CTexture> m_icons;
    std::vector<CountedHandle<CPopup>> m_popups;
};
