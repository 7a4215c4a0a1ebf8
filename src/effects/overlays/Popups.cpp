#include "effects/overlays/Popups.h"

#include "engine/BitmapFont.h"
#include "engine/Sprite.h"
#include "engine/Text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr float kPi = 3.14159265f;
// A token icon of a multiplier popup, and the room each takes in the line.
constexpr float kIconWidth = 50.0f;
constexpr float kIconHeight = 36.0f;
// The icons are the score plates of a 256 x 256 atlas, one 50 x 36 cell per
// level in a column from (4, 94).
constexpr int kIconLevels = 4;

} // namespace

CPopup::CPopup(Kind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
               CountedHandle<CBitmapFont> font, int iconDrawOrder, int textLayer)
    : m_kind(kind), m_sprites(std::move(sprites)), m_textBatch(std::move(texts)), m_font(std::move(font)),
      m_iconDrawOrder(iconDrawOrder), m_textLayer(textLayer)
{
    const CScoreMessageSettings& settings = ScoreMessageSettings();
    const PopupLook* looks[4] = {&settings.score, &settings.message, &settings.multiplier, &settings.caption};
    m_look = looks[kind];
    life = m_look->lifeTime;
    for (auto* list : {&m_textOffsets, &m_iconOffsets, &m_iconStarts, &m_iconEnds})
        list->reserve(2);
    m_textSizes.reserve(2);
    m_texts.reserve(2);
    m_iconSizes.reserve(2);
    m_icons.reserve(2);
}

CPopup::~CPopup()
{
    if (m_textBatch)
        for (const auto& text : m_texts)
            m_textBatch->Remove(text);
    if (m_sprites)
        for (const auto& icon : m_icons)
            m_sprites->Remove(icon);
}

float CPopup::GlyphSize() const { return m_font ? m_font->header3f : 0.0f; }

void CPopup::Begin(const Vec3& anchor, float scale)
{
    m_anchor = anchor;
    m_scale = scale;
}

void CPopup::FitWidth(float width)
{
    float widest = 0.0f;
    for (const CountedHandle<CText>& text : m_texts)
        widest = std::max(widest, text->maxWidth);
    if (widest <= width || width <= 0.0f)
        return;
    const float k = width / widest;
    const float glyph = GlyphSize();
    for (size_t j = 0; j < m_texts.size(); ++j) {
        m_textSizes[j].x *= k;
        m_textSizes[j].y *= k;
        m_texts[j]->SetCharSize(glyph * m_textSizes[j].x, glyph * m_textSizes[j].y);
    }
}

void CPopup::AddText(const std::string& text, int alignment, uint32_t colour, const Vec3& offset)
{
    auto make = [&](uint32_t argb, const Vec3& at) {
        auto t = MakeCountedHandle(new CText(m_font));
        t->layer = m_textLayer;
        t->colour = argb;
        t->alignment = alignment;
        t->SetCharSize(GlyphSize() * m_scale, GlyphSize() * m_scale);
        t->SetText(text);
        t->origin[0] = m_anchor.x + at.x;
        t->origin[1] = m_anchor.y + at.y;
        t->origin[2] = m_anchor.z + at.z;
        m_texts.push_back(t);
        m_textOffsets.push_back(at);
        m_textSizes.push_back(Vec2{m_scale, m_scale});
        return t;
    };
    CountedHandle<CText> main = make(colour, offset);
    // The batch draws in its own order: the shadow goes in first, so that it
    // lies under its text rather than darkening it.
    if (m_look->shadow) {
        const Vec2 shift = m_look->shadowShift;
        CountedHandle<CText> shadow =
            make(m_look->shadowColor, Vec3{offset.x + shift.x, offset.y + shift.y, offset.z});
        if (m_textBatch)
            m_textBatch->Add(shadow);
    }
    if (m_textBatch)
        m_textBatch->Add(main);
}

void CPopup::AddIcon(const Vec3& from, const Vec3& end, CountedHandle<CTexture> texture, int level)
{
    const Vec3 start{from.x - m_anchor.x, from.y - m_anchor.y, from.z - m_anchor.z};
    auto icon = MakeCountedHandle(
        new CSprite(from.x, from.y, from.z, kIconWidth, kIconHeight, 0xffffffff, std::move(texture), 1));
    const float c = static_cast<float>(std::clamp(level, 0, kIconLevels - 1));
    icon->SetFrameRect(0, 4.0f / 256, (94.0f + 36.0f * c) / 256, 54.0f / 256, (130.0f + 36.0f * c) / 256);
    icon->zOrder = m_iconDrawOrder;
    if (m_sprites)
        m_sprites->Add(icon);
    m_icons.push_back(icon);
    m_iconStarts.push_back(start);
    m_iconEnds.push_back(end);
    m_iconOffsets.push_back(start);
    m_iconSizes.push_back(Vec2{kIconWidth, kIconHeight});
}

// The icons b of the way from their cells to their places, turned b of a
// whole turn about the vertical; at 1 they face the screen again exactly.
void CPopup::FlyIcons(float b)
{
    const float turn = 2 * kPi * b;
    const float ax[3] = {b < 1.0f ? std::cos(turn) : 1.0f, 0.0f, b < 1.0f ? std::sin(turn) : 0.0f};
    const float ay[3] = {0.0f, 1.0f, 0.0f};
    for (size_t i = 0; i < m_icons.size(); ++i) {
        const Vec3& s = m_iconStarts[i];
        const Vec3& e = m_iconEnds[i];
        m_iconOffsets[i] = Vec3{b * e.x + (1 - b) * s.x, b * e.y + (1 - b) * s.y, b * e.z + (1 - b) * s.z};
        m_icons[i]->SetAxes(ax, ay, 0);
    }
}

// Runs from 0.25 at b = 0 through a peak back to 1 at b = 1.
float CPopup::Swell(float b) const
{
    return 0.25f + 0.75f * std::sin(kPi / 2 * b) + (m_look->swellFactor - 1.0f) * (1.0f - std::cos(2 * kPi * b));
}

int CPopup::Update(float dt)
{
    m_elapsed += dt;
    const float t = m_elapsed;
    if (t <= 0.0f)
        return 1;
    const PopupLook& look = *m_look;
    const float l = life;
    float alpha = 1.0f;
    float textAlpha = -1.0f; // the same as `alpha` unless a kind says otherwise
    float sx = 1.0f;
    float sy = 1.0f;
    auto drift = [&] {
        m_anchor.x += dt * look.speed.x;
        m_anchor.y += dt * look.speed.y;
    };
    switch (m_kind) {
    case kNumber:
        drift();
        if (t >= l + look.fadeTime)
            return 0;
        if (t < look.swellTime) {
            const float b = t / look.swellTime;
            alpha = b;
            sx = sy = Swell(b);
        } else if (t >= l) {
            alpha = 1.0f - (t - l) / look.fadeTime;
        }
        break;
    case kMessage: {
        if (t >= l + look.swellTime)
            return 0;
        const float pulse = 1.0f + look.pulseDepth * std::sin(look.pulseSpeed * t);
        sx = sy = pulse;
        if (t < look.swellTime || t > l) {
            const float b = t < look.swellTime ? t / look.swellTime : 1.0f - (t - l) / look.swellTime;
            alpha = b;
            sx = sy = Swell(b) * pulse;
        }
        break;
    }
    case kMultiplier:
        if (t >= l + look.fadeTime)
            return 0;
        if (t < look.bloomTime) {
            // The icons fly in from their cells, turning once about the
            // vertical, while the texts fade in.
            const float b = t / look.bloomTime;
            textAlpha = b;
            FlyIcons(b);
        } else {
            drift();
            if (!m_iconsSettled) {
                FlyIcons(1.0f);
                m_iconsSettled = true;
            }
            if (t >= l)
                alpha = 1.0f - (t - l) / look.fadeTime;
        }
        break;
    case kCaption:
        if (t >= l + look.fadeTime)
            return 0;
        if (t < look.bloomTime) {
            // The caption unfolds vertically.
            const float b = t / look.bloomTime;
            alpha = b;
            sy = 0.99f * b + 0.01f;
        } else if (t >= l) {
            const float b = 1.0f - (t - l) / look.fadeTime;
            alpha = b;
            sy = 0.99f * b + 0.01f;
        }
        break;
    }
    Place(alpha, textAlpha < 0.0f ? alpha : textAlpha, sx, sy);
    return 1;
}

void CPopup::Place(float iconAlpha, float textAlpha, float sx, float sy)
{
    for (size_t i = 0; i < m_icons.size(); ++i) {
        CSprite& icon = *m_icons[i];
        const Vec3& o = m_iconOffsets[i];
        icon.x = m_anchor.x + sx * o.x;
        icon.y = m_anchor.y + sy * o.y;
        icon.z = m_anchor.z + o.z;
        icon.SetSize(sx * m_iconSizes[i].x, sy * m_iconSizes[i].y);
        icon.SetAlphaNow(iconAlpha);
    }
    const float glyph = GlyphSize();
    for (size_t j = 0; j < m_texts.size(); ++j) {
        CText& text = *m_texts[j];
        const Vec3& o = m_textOffsets[j];
        text.origin[0] = m_anchor.x + sx * o.x;
        text.origin[1] = m_anchor.y + sy * o.y;
        text.origin[2] = m_anchor.z + o.z;
        text.alphaFactor = textAlpha;
        text.SetCharSize(glyph * sx * m_textSizes[j].x, glyph * sy * m_textSizes[j].y);
    }
}

CPopupManager::CPopupManager() { m_popups.reserve(32); }

CPopupManager::~CPopupManager() = default;

void CPopupManager::SetResources(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
                                 CountedHandle<CBitmapFont> numberFont, CountedHandle<CBitmapFont> messageFont,
                                 CountedHandle<CTexture> icons)
{
    m_sprites = std::move(sprites);
    m_texts = std::move(texts);
    m_numberFont = std::move(numberFont);
    m_messageFont = std::move(messageFont);
    m_icons = std::move(icons);
}

CountedHandle<CPopup> CPopupManager::Make(CPopup::Kind kind)
{
    const bool numbers = kind == CPopup::kNumber || kind == CPopup::kMultiplier;
    return MakeCountedHandle(
        new CPopup(kind, m_sprites, m_texts, numbers ? m_numberFont : m_messageFont, iconDrawOrder, textLayer));
}

CountedHandle<CPopup> CPopupManager::Keep(CountedHandle<CPopup> popup)
{
    m_popups.push_back(popup);
    return popup;
}

CountedHandle<CPopup> CPopupManager::AddNumberPopup(int number, int sizeStep, float x, float y, float z)
{
    CountedHandle<CPopup> popup = Make(CPopup::kNumber);
    const PopupLook& look = ScoreMessageSettings().score;
    popup->Begin(Vec3{x, y, z}, look.minSize + static_cast<float>(sizeStep) * look.sizeStep);
    popup->AddText(std::to_string(number), CText::CENTER, look.color, Vec3{});
    return Keep(popup);
}

CountedHandle<CPopup> CPopupManager::AddTextPopup(const std::string& text, float scale, int style, float x,
                                                  float y, float z)
{
    CountedHandle<CPopup> popup = Make(CPopup::kMessage);
    popup->Begin(Vec3{x, y, z}, scale);
    popup->AddText(text, CText::CENTER, ScoreMessageSettings().MessageColor(style), Vec3{});
    return Keep(popup);
}

CountedHandle<CPopup> CPopupManager::AddCaptionPopup(const std::string& text, float scale, float x, float y,
                                                     float z)
{
    CountedHandle<CPopup> popup = Make(CPopup::kCaption);
    popup->Begin(Vec3{x, y, z}, scale);
    popup->AddText(text, CText::CENTER, ScoreMessageSettings().caption.color, Vec3{});
    return Keep(popup);
}

CountedHandle<CPopup> CPopupManager::AddEquationPopup(int points, int total, int sizeStep, float x, float y,
                                                      float z, const std::vector<Vec3>& tokenPositions,
                                                      const std::vector<int>& tokenColours)
{
    CountedHandle<CPopup> popup = Make(CPopup::kMultiplier);
    const PopupLook& look = ScoreMessageSettings().multiplier;
    const float scale = look.minSize + static_cast<float>(sizeStep) * look.sizeStep;
    popup->Begin(Vec3{x, y, z}, scale);
    const size_t n = std::min(tokenPositions.size(), tokenColours.size());
    const float w = kIconWidth * static_cast<float>(n);
    popup->AddText(std::to_string(points), CText::RIGHT, look.color, Vec3{-w / 2, 0, 0});
    popup->AddText("=" + std::to_string(total), CText::LEFT, look.color, Vec3{w / 2, 0, 0});
    if (m_icons) {
        const float below = -0.5f * popup->GlyphSize() * scale;
        for (size_t i = 0; i < n; ++i) {
            const Vec3 end{-(w - kIconWidth) / 2 + kIconWidth * static_cast<float>(i), below, 0};
            popup->AddIcon(tokenPositions[i], end, m_icons, tokenColours[i]);
        }
    }
    return Keep(popup);
}

void CPopupManager::DropMessages()
{
    const auto isMessage = [](const CountedHandle<CPopup>& popup) {
        return popup->GetKind() == CPopup::kMessage || popup->GetKind() == CPopup::kCaption;
    };
    m_popups.erase(std::remove_if(m_popups.begin(), m_popups.end(), isMessage), m_popups.end());
}

// A popup that finishes is dropped at once; the one that moves into its
// place is looked at in the same walk.
void CPopupManager::Update(float dt)
{
    for (size_t i = 0; i < m_popups.size();) {
        if (m_popups[i]->Update(dt))
            ++i;
        else
            m_popups.erase(m_popups.begin() + static_cast<long>(i));
    }
}
