#include "gui/QoStatic.h"

void RectQuad(float l, float t, float r, float b, float quad[8])
{
    const float corners[8] = {l, t, r, t, r, b, l, b};
    std::copy(corners, corners + 8, quad);
}

CQoStatic::CQoStatic(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoStatic(WindowKind::Static, std::move(sprites), std::move(texts))
{}

CQoStatic::CQoStatic(WindowKind kind, CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts)
    : CQoWindow(kind, std::move(sprites), std::move(texts))
{}

CountedHandle<CText> CQoStatic::MainText() const
{
    const size_t index = m_shadow ? 1 : 0;
    return index < m_texts.size() ? m_texts[index].text : CountedHandle<CText>();
}

void CQoStatic::SetTexts(const CountedHandle<CText>& main, const CountedHandle<CText>& shadow)
{
    if (!main)
        return;
    if (TextBatch())
        for (const TextItem& item : m_texts)
            TextBatch()->Remove(item.text);
    std::vector<CountedHandle<CText>> installed;
    if (shadow)
        installed.push_back(shadow);
    installed.push_back(main);
    // Slots that exist keep their offsets and take the new text's character
    // size; missing ones are appended, and a slot left over is dropped.
    m_texts.resize(installed.size());
    for (size_t i = 0; i < installed.size(); ++i) {
        TextItem& item = m_texts[i];
        item.text = installed[i];
        item.charSize = {item.text->charWidth, item.text->charHeight};
    }
    m_shadow = static_cast<bool>(shadow);
    const float width = BaseSize().w;
    for (TextItem& item : m_texts) {
        if (TextBatch())
            TextBatch()->Add(item.text);
        item.text->layer = TextLayer();
        // A character width of 0 has no wrap width in characters; the text
        // keeps its own.
        item.wrapWidth = item.text->charWidth > 0.0f ? width / item.text->charWidth : item.text->noteWidth;
    }
    AnchorTexts(true);
}

// LEFT and WIDTH anchor the caption at the left edge, RIGHT at the right edge,
// CENTER at the centre; the anchor lies half a character above the centre so
// that a single line is centred vertically.
void CQoStatic::AnchorTexts(bool resize)
{
    if (m_texts.empty())
        return;
    const CText& first = *m_texts[0].text;
    float edge = 0.0f;
    switch (first.alignment) {
    case CText::LEFT:
    case CText::WIDTH:
        edge = -BaseSize().w / 2;
        break;
    case CText::RIGHT:
        edge = BaseSize().w / 2;
        break;
    default:
        break;
    }
    Vec3& offset = m_texts[0].offset;
    offset = {edge + noteShift.x, first.charHeight / 2 + noteShift.y, -textDepth + noteShift.z};
    if (m_shadow) {
        m_texts[1].offset = {offset.x, offset.y, offset.z + shadowDepth};
        offset.x += shadowShift.x;
        offset.y += shadowShift.y;
    }
    for (size_t i = 0; i < m_texts.size(); ++i) {
        PlaceText(i, false);
        if (!resize)
            continue;
        TextItem& item = m_texts[i];
        item.text->noteWidth = item.wrapWidth * Scale().x;
        item.text->SetCharSize(Scale().x * item.charSize.w, Scale().y * item.charSize.h);
    }
}

void CQoStatic::CreateText(const CountedHandle<CBitmapFont>& font, float charWidth, float charHeight,
                           const std::string& caption, bool withShadow)
{
    auto main = MakeCountedHandle(new CText(font));
    main->SetCharSize(charWidth, charHeight);
    CountedHandle<CText> shadow;
    if (withShadow) {
        shadow = MakeCountedHandle(new CText(font));
        shadow->SetCharSize(charWidth, charHeight);
        shadow->colour = shadowColor;
        shadow->ApplyColor();
    }
    SetTexts(main, shadow);
    SetText(caption);
}

void CQoStatic::SetAlignment(CText::Alignment mode)
{
    for (const TextItem& item : m_texts) {
        item.text->alignment = mode;
        item.text->Relayout();
    }
    AnchorTexts(false);
}

void CQoStatic::SetInterval(float lineInterval)
{
    for (const TextItem& item : m_texts) {
        item.text->lineSpacing = lineInterval;
        item.text->Relayout();
    }
}

void CQoStatic::SetSnapStep(float stepX, float stepY)
{
    for (const TextItem& item : m_texts) {
        item.text->SetBoxSize(stepX, stepY);
        item.text->Relayout();
    }
}

void CQoStatic::SetNoteWidth(float width)
{
    for (TextItem& item : m_texts) {
        item.text->noteWidth = width;
        item.wrapWidth = width;
        item.text->Relayout();
    }
}

void CQoStatic::SetText(const std::string& caption)
{
    std::string wrapped;
    for (const TextItem& item : m_texts) {
        if (!wrap) {
            item.text->SetText(caption);
            continue;
        }
        item.text->WordWrap(caption, &wrapped);
        item.text->SetText(wrapped);
    }
}

void CQoStatic::SetTextColor(uint32_t argb)
{
    for (size_t i = m_shadow ? 1 : 0; i < m_texts.size(); ++i) {
        m_texts[i].text->colour = argb;
        m_texts[i].text->ApplyColor();
    }
}

void CQoStatic::ShowTextColor(uint32_t argb)
{
    if (CountedHandle<CText> main = MainText()) {
        main->colour = argb;
        main->ApplyColor();
    }
}

void CQoStatic::PutSprite(size_t index, const CountedHandle<CTexture>& texture, const float quad[8],
                          const Vec3& offset, const GuiSize& designSize)
{
    if (index >= m_sprites.size()) {
        index = m_sprites.size();
        m_sprites.push_back({});
    } else {
        RemoveFromRenderer(m_sprites[index].sprite);
    }
    m_sprites[index] = {MakeSprite(texture, quad, offset, designSize), offset, designSize};
}

void CQoStatic::ShowFrame(size_t index, int32_t frame)
{
    if (index < m_sprites.size() && m_sprites[index].sprite)
        m_sprites[index].sprite->frame = frame;
}

void CQoStatic::SetTexture(const CountedHandle<CTexture>& texture, const float quad[8])
{
    PutSprite(0, texture, quad, {}, BaseSize());
}

void CQoStatic::SetTextureRect(const CountedHandle<CTexture>& texture, float l, float t, float r, float b)
{
    float quad[8];
    RectQuad(l, t, r, b, quad);
    SetTexture(texture, quad);
}

void CQoStatic::SetPicture(const CountedHandle<CTexture>& texture, const float quad[8], float x, float y, float z,
                           float w, float h)
{
    PutSprite(0, texture, quad, {x, y, z}, {w, h});
}

void CQoStatic::SetPictureRect(const CountedHandle<CTexture>& texture, float l, float t, float r, float b, float x,
                               float y, float z, float w, float h)
{
    float quad[8];
    RectQuad(l, t, r, b, quad);
    SetPicture(texture, quad, x, y, z, w, h);
}
