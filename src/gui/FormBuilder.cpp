// From a parsed form file to live windows: the checks, the layout from the
// design screen (pixels, origin top left, y down) to the virtual screen
// (1024 units wide, centred, y up), the resolution of ids and textures, and
// the creation of the form and of its controls, every property handed to the
// control operation that consumes it.
#include "gui/FormFile.h"

#include "gui/QoButton.h"
#include "gui/QoProgressbar.h"
#include "gui/QoScroller.h"

#include <algorithm>
#include <cmath>

namespace {

CountedHandle<CTexture> FindTexture(const CountedHandle<CRenderDevice>& device, const std::string& name)
{
    return device ? device->FindTextureStr(name) : CountedHandle<CTexture>();
}

// An element as its error texts name it: its ID name, else its number in the
// file (from 1).
std::string ElementName(const CFormElement& e, size_t index)
{
    return "Element " + (e.idName.empty() ? std::to_string(index + 1) : e.idName);
}

bool TakesText(WindowKind kind)
{
    return kind == WindowKind::Static || kind == WindowKind::Button || kind == WindowKind::Checkbox;
}

} // namespace

CFormFile::CFormFile(CountedHandle<CRenderDevice> device) : m_device(std::move(device)) {}

bool CFormFile::LoadFromFile(const std::string& file, float originX, float originY)
{
    return Load(file, m_device, originX, originY);
}

bool CFormFile::Load(const std::string& file, const CountedHandle<CRenderDevice>& device, float originX,
                     float originY)
{
    if (!Parse(file) || !Check())
        return false;
    Layout(originX, originY);
    return ResolveIds() && ResolveTextures(device);
}

bool CFormElement::Check()
{
    if (states[kStateNormal].defined) {
        if (texture.empty())
            errorText = "Texture name not set";
        else if (kind == WindowKind::Scroller && !states[kStatePressed].defined)
            errorText = "Scroller state not found";
        else if (kind == WindowKind::Progressbar && !states[kStatePressed].defined)
            errorText = "Progress state not found";
        return errorText.empty();
    }
    // A text-only control has no texture and no looks.
    bool anyState = false;
    for (const FormElementState& state : states)
        anyState = anyState || state.defined;
    if (texture.empty() && kind != WindowKind::Scroller && kind != WindowKind::Progressbar && !anyState)
        return true;
    errorText = "Normal state not found";
    return false;
}

bool CFormFile::Check()
{
    if (tiled && (cornersTexture.empty() || sidesTexture.empty() || backgroundTexture.empty())) {
        errorText = "Not all tiling textures set";
        return false;
    }
    // Tiles that do not repeat, or bands wider than the form, would give the
    // frame infinite repeat counts or sides of negative length.
    if (tiled && !(horizontalTile[0] > 0 && verticalTile[1] > 0)) {
        errorText = "Tile length is not above 0";
        return false;
    }
    if (tiled && !(horizontalTile[1] >= 0 && verticalTile[0] >= 0 && size.w >= 2 * verticalTile[0] &&
                   size.h >= 2 * horizontalTile[1])) {
        errorText = "Tiling bands do not fit the form";
        return false;
    }
    for (size_t i = 0; i < elements.size(); ++i) {
        const CFormElement& e = *elements[i];
        if (!elements[i]->Check()) {
            errorText = e.errorText;
            return false;
        }
        // A control of size 0 has no scale, a text of character width 0 no
        // wrap width, a scroller without travel no value.
        const char* fault = nullptr;
        if (!(e.size.w > 0 && e.size.h > 0))
            fault = "SIZE";
        else if (TakesText(e.kind) && !(e.charSize.w > 0))
            fault = "CHARSIZE width";
        else if (e.kind == WindowKind::Scroller && !(e.widthFactor > 0))
            fault = "WIDTHFACTOR";
        if (fault) {
            errorText = ElementName(e, i) + ": " + fault + " is not above 0";
            return false;
        }
    }
    if (!(designWidth >= 1.0f)) {
        errorText = "ScreenWidth is too small";
        return false;
    }
    return true;
}

void CFormElement::Layout(float k, float originX, float originY)
{
    layoutSize = {size.w * k, size.h * k};
    layoutPosition = {originX + position.x * k + layoutSize.w / 2, originY - position.y * k - layoutSize.h / 2,
                      position.z};
    // The picture is placed from the control's centre, y up.
    if (hasPicture) {
        layoutPictureSize = {pictureSize.w * k, pictureSize.h * k};
        layoutPicture = {k * (pictureSize.w / 2 + picture.x - size.w / 2),
                         -k * (pictureSize.h / 2 + picture.y - size.h / 2), picture.z};
    }
    layoutNoteShift = {noteShift.x * k, noteShift.y * k, noteShift.z};
    layoutSpecialNoteWidth = specialNoteWidth * k;
    layoutShadowShift.x = shadowShift.x * k;
    layoutShadowShift.y = shadowShift.y * k;
    const float u = textureSize.w != 0 ? textureSize.w : 1.0f;
    const float v = textureSize.h != 0 ? textureSize.h : 1.0f;
    for (FormElementState& state : states)
        for (int i = 0; i < 8; i += 2) {
            state.normalised[i] = state.corners[i] / u;
            state.normalised[i + 1] = state.corners[i + 1] / v;
        }
    layoutKnobSize = {knobSize.w * k, knobSize.h * k};
    layoutCentreShift = {centreShift.x * k, centreShift.y * k};
}

void CFormFile::Layout(float originX, float originY)
{
    const float k = ScaleFactor();
    layoutSize = {size.w * k, size.h * k};
    layoutPosition = {originX + position.x * k + layoutSize.w / 2, originY - position.y * k - layoutSize.h / 2,
                      position.z};
    const float tiles[4] = {horizontalTile[0], horizontalTile[1], verticalTile[0], verticalTile[1]};
    for (int i = 0; i < 4; ++i)
        layoutTiles[i] = tiles[i] * k;
    for (const CountedHandle<CFormElement>& e : elements)
        e->Layout(k, -layoutSize.w / 2, layoutSize.h / 2);
}

bool CFormFile::ResolveIds()
{
    for (const CountedHandle<CFormElement>& e : elements) {
        e->id = 0;
        if (e->idName.empty())
            continue;
        const auto at = std::find(defineNames.begin(), defineNames.end(), e->idName);
        if (at == defineNames.end()) {
            errorText = "ID " + e->idName + " not found";
            return false;
        }
        e->id = defineValues[static_cast<size_t>(at - defineNames.begin())];
    }
    return true;
}

bool CFormFile::ResolveTextures(const CountedHandle<CRenderDevice>& device)
{
    std::vector<const std::string*> names;
    if (tiled)
        names = {&cornersTexture, &sidesTexture, &backgroundTexture};
    for (const CountedHandle<CFormElement>& e : elements)
        if (e->states[kStateNormal].defined)
            names.push_back(&e->texture);
    for (const std::string* name : names)
        if (!FindTexture(device, *name)) {
            errorText = "Texture " + *name + " not found";
            return false;
        }
    return true;
}

bool CFormFile::CreateForm(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
                           const std::vector<CountedHandle<CBitmapFont>>& fonts, int32_t textLayer)
{
    // Every text control needs a font, and the note widths are divided by
    // the font's scale.
    if (fonts.empty()) {
        errorText = "No fonts for the form's texts";
        return false;
    }
    for (size_t i = 0; i < fonts.size(); ++i)
        if (!fonts[i] || fonts[i]->header3 <= 0) {
            errorText = "Font " + std::to_string(i) + " has no size";
            return false;
        }
    m_sprites = std::move(sprites);
    m_texts = std::move(texts);
    m_form = MakeCountedHandle(new CQoForm(m_sprites, m_texts));
    m_form->SetTextLayer(textLayer);
    m_form->color = color;
    m_form->SetBaseSize(layoutSize.w, layoutSize.h);
    if (tiled)
        m_form->SetTiling(FindTexture(m_device, cornersTexture), FindTexture(m_device, sidesTexture),
                          FindTexture(m_device, backgroundTexture), layoutTiles[0], layoutTiles[1], layoutTiles[2],
                          layoutTiles[3]);
    m_form->SetZOrder(ClampedZOrder(static_cast<int64_t>(std::floor(10.0 * position.z))));
    // Half a design pixel left and up.
    const float k = ScaleFactor();
    m_form->SetPosition(layoutPosition.x - k / 2, layoutPosition.y + k / 2, position.z, 0, 0, 0);
    m_fonts = fonts;
    m_fontScales.clear();
    for (const CountedHandle<CBitmapFont>& font : m_fonts)
        m_fontScales.push_back(static_cast<float>(font->header3) * k);
    return true;
}

bool CFormFile::CreateControls(bool* interrupted)
{
    *interrupted = false;
    if (!m_form) {
        errorText = "Form not created";
        return false;
    }
    const int32_t count = static_cast<int32_t>(elements.size());
    for (m_nextElement = std::min(m_nextElement + 1, count); m_nextElement < count; ++m_nextElement) {
        const CFormElement& e = *elements[static_cast<size_t>(m_nextElement)];
        CountedHandle<CQoStatic> control = CreateControl(e);
        if (!control) {
            errorText = "Bad FormFile data. Fatal";
            return false;
        }
        if (e.hasInterrupt) {
            m_interrupting = control;
            m_interruptValue = e.interrupt;
            *interrupted = true;
            return true;
        }
    }
    return true;
}

CountedHandle<CQoStatic> CFormFile::CreateControl(const CFormElement& e)
{
    CountedHandle<CQoStatic> control;
    switch (e.kind) {
    case WindowKind::Static:
        control = MakeCountedHandle(new CQoStatic(m_sprites, m_texts));
        break;
    case WindowKind::Button:
        control = MakeCountedHandle(new CQoButton(m_sprites, m_texts));
        break;
    case WindowKind::Checkbox:
        control = MakeCountedHandle(new CQoCheckbox(m_sprites, m_texts));
        break;
    case WindowKind::Scroller:
        control = MakeCountedHandle(new CQoScroller(m_sprites, m_texts));
        break;
    case WindowKind::Progressbar:
        control = MakeCountedHandle(new CQoProgressbar(m_sprites, m_texts));
        break;
    default:
        return {};
    }
    control->zOrder = ClampedZOrder(int64_t{m_form->zOrder} + e.zOrder);
    control->relativePosition = e.layoutPosition;
    control->SetBaseSize(e.layoutSize.w, e.layoutSize.h);
    control->id = e.id;

    const CountedHandle<CTexture> texture = FindTexture(m_device, e.texture);
    const float* normal = e.states[kStateNormal].normalised;
    const float* second = e.states[kStatePressed].normalised; // the knob or the fill
    if (auto* scroller = dynamic_cast<CQoScroller*>(control.Get())) {
        scroller->travel = e.widthFactor;
        scroller->centreShift = e.layoutCentreShift;
        scroller->horizontal = e.horizontal;
        scroller->Setup(texture, normal[0], normal[1], normal[4], normal[5], second[0], second[1], second[4],
                        second[5], e.layoutKnobSize.w, e.layoutKnobSize.h);
    } else if (auto* bar = dynamic_cast<CQoProgressbar*>(control.Get())) {
        bar->horizontal = e.horizontal;
        bar->Setup(texture, normal[0], normal[1], normal[4], normal[5], second[0], second[1], second[4],
                   second[5]);
    } else {
        SetUpTextControl(*control, e, texture);
    }
    // The filter is the blend preset of the picture, and of every sprite of
    // a scroller or a progress bar.
    if (e.filter != 0) {
        const size_t sprites =
            TakesText(e.kind) ? std::min<size_t>(1, control->SpriteCount()) : control->SpriteCount();
        for (size_t i = 0; i < sprites; ++i)
            control->Sprite(i)->SetBlendMode(1, e.filter);
    }
    m_form->AddChild(control);
    return control;
}

void CFormFile::SetUpTextControl(CQoStatic& control, const CFormElement& e, const CountedHandle<CTexture>& texture)
{
    const size_t fontIndex = e.font > 0 && static_cast<size_t>(e.font) < m_fonts.size() ? e.font : 0;
    const float s = m_fontScales[fontIndex];
    if (e.hasShadow) {
        control.shadowShift = {e.layoutShadowShift.x, e.layoutShadowShift.y};
        control.shadowDepth = e.layoutShadowShift.z;
        control.shadowColor = e.shadowColor;
    }
    control.noteShift = e.layoutNoteShift;
    // CHARSIZE's width serves as both character sizes: the captions of the
    // game's forms are laid out for square characters.
    const float charSize = e.charSize.w * s;
    control.CreateText(m_fonts[fontIndex], charSize, charSize, e.text, e.hasShadow);
    control.SetInterval(e.interval);
    if (scaleTexts) {
        const float k = ScaleFactor();
        control.SetSnapStep(k, k);
    }
    if (e.hasSpecialWidth) {
        control.SetNoteWidth(e.layoutSpecialNoteWidth / s);
        control.SetText(e.text);
    }
    control.SetTextColor(e.textColor);
    control.SetAlignment(e.alignment);
    const FormElementState* states = e.states;
    if (states[kStateNormal].defined) {
        const FormElementState& normal = states[kStateNormal];
        if (e.hasPicture)
            control.SetPicture(texture, normal.normalised, e.layoutPicture.x, e.layoutPicture.y, e.layoutPicture.z,
                               e.layoutPictureSize.w, e.layoutPictureSize.h);
        else
            control.SetTexture(texture, normal.normalised);
        control.SetColor(e.color);
    }
    auto* button = dynamic_cast<CQoButton*>(&control);
    if (!button)
        return;
    auto* box = dynamic_cast<CQoCheckbox*>(button);
    // The looks in this order, then the state colours with their flags.
    if (states[kStatePressed].defined)
        button->SetPressedFrame(states[kStatePressed].normalised);
    if (states[kStateOver].defined)
        button->SetOverFrame(states[kStateOver].normalised);
    if (states[kStateDisabled].defined)
        button->SetDisabledFrame(states[kStateDisabled].normalised);
    if (box && states[kStateOverPressed].defined)
        box->SetOverPressedFrame(states[kStateOverPressed].normalised);
    if (box && states[kStatePressedDisabled].defined)
        box->SetPressedDisabledFrame(states[kStatePressedDisabled].normalised);
    struct StateColour {
        int state;
        uint32_t* color;
        bool* given;
    };
    std::vector<StateColour> colours = {{kStatePressed, &button->pressedColor, &button->pressedColorGiven},
                                        {kStateOver, &button->overColor, &button->overColorGiven},
                                        {kStateDisabled, &button->disabledColor, &button->disabledColorGiven}};
    if (box) {
        colours.push_back({kStateOverPressed, &box->overPressedColor, &box->overPressedColorGiven});
        colours.push_back({kStatePressedDisabled, &box->pressedDisabledColor, &box->pressedDisabledColorGiven});
    }
    for (const StateColour& c : colours)
        if (states[c.state].textColorDefined) {
            *c.color = states[c.state].textColor;
            *c.given = true;
        }
}
