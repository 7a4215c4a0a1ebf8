// Form files (".qof"): the text that describes one form and its controls, and
// the record that carries it from the file to live windows. Reading goes
// parse → check → lay out (design-screen pixels to the 1024-unit virtual
// screen) → resolve ids → resolve textures; then the form is created, and
// its controls element by element, stopping at every element with INTERRUPT
// so that the caller can keep that control.
//
// Every failure leaves a non-empty error text and a false result; the
// caller logs it with the form's name.
#pragma once

#include "engine/BitmapFont.h"
#include "engine/RenderDevice.h"
#include "engine/TextReader.h"
#include "gui/QoForm.h"
#include "gui/QoStatic.h"

#include <string>
#include <vector>

// The visual states of an element, by index. PRESSED is a check box's
// checked look; the scroller's knob and the progress bar's fill use index 1
// under the names SCROLLER and PROGRESS.
enum FormStateIndex {
    kStateNormal = 0,
    kStatePressed = 1,
    kStateOver = 2,
    kStateDisabled = 3,
    kStateOverPressed = 4,
    kStatePressedDisabled = 5,
    kFormStates = 6
};

struct FormElementState {
    bool defined = false;                                // by STATE
    float corners[8] = {0, 0, 256, 0, 256, 256, 0, 256}; // texture pixels, top-left first
    float normalised[8] = {0, 0, 1, 0, 1, 1, 0, 1};      // divided by the texture size
    bool textColorDefined = false;                       // by TEXTSTATE
    uint32_t textColor = 0xFFFFFFFF;
};

// One ELEMENT of a form file. The fields named "layout…" are written by the
// layout from the file's own, in virtual-screen units.
class CFormElement {
public:
    // Reads from the word after "ELEMENT" to the element's closing "}".
    // False with the error text set.
    bool Parse(CTextReader& reader);
    // The states the element needs are there; false with the error text set.
    bool Check();
    // k: virtual units per design pixel; origin: the form's top-left corner
    // relative to its centre.
    void Layout(float k, float originX, float originY);

    float targetWidth = 1024.0f;
    WindowKind kind = WindowKind::Static;
    std::string idName; // raw, matched case-sensitively against DEFINE names
    int32_t id = 0;
    Vec3 position; // top-left corner in the form, y down
    Vec3 layoutPosition;
    GuiSize size;
    GuiSize layoutSize;
    int32_t zOrder = 0;
    bool hasPicture = false;
    Vec3 picture; // top-left corner in the control, y down
    Vec3 layoutPicture;
    GuiSize pictureSize;
    GuiSize layoutPictureSize;
    bool hasText = false;
    std::string text; // TEXT lines joined with "\n"
    int32_t textLines = 0;
    Vec3 noteShift;
    Vec3 layoutNoteShift;
    uint32_t textColor = 0xFFFFFFFF;
    GuiSize charSize{1, 1};
    CText::Alignment alignment = CText::LEFT;
    bool hasSpecialWidth = false;
    float specialNoteWidth = 512.0f;
    float layoutSpecialNoteWidth = 1.0f;
    float interval = 1.5f;
    int32_t font = 0;
    bool hasShadow = false;
    Vec3 shadowShift{2.0f, -2.0f, 0.5f}; // the file sets x and y
    Vec3 layoutShadowShift{0.00390625f, -0.00390625f, 0.0005f};
    uint32_t shadowColor = 0x80000000;
    std::string texture;
    GuiSize textureSize{256, 256};
    uint32_t color = 0xFFFFFFFF;
    FormElementState states[kFormStates];
    int32_t filter = 0; // sprite blend preset: 0 none, 1 ADD, 2 MUL, 3 SCREEN
    bool hasInterrupt = false;
    int32_t interrupt = -1;
    GuiSize knobSize;
    GuiSize layoutKnobSize;
    Vec2 centreShift;
    Vec2 layoutCentreShift;
    float widthFactor = 0.9f;
    bool horizontal = true;
    std::string errorText;
};

class CFormFile {
public:
    explicit CFormFile(CountedHandle<CRenderDevice> device);

    // Load with the record's own device. The forms of the game are placed
    // from the top-left corner of the virtual screen, (-512, 384).
    bool LoadFromFile(const std::string& file, float originX, float originY);
    bool Load(const std::string& file, const CountedHandle<CRenderDevice>& device, float originX, float originY);

    // The file level: statements until the end of the file.
    bool Parse(const std::string& file);
    // A hexadecimal AARRGGBB token or "(" red green blue alpha ")".
    static bool ReadColour(CTextReader& reader, uint32_t* colour);
    void AddElement(const CountedHandle<CFormElement>& element);
    // Also rejects what would give windows infinite or NaN geometry: element
    // sizes, CHARSIZE widths and scroller WIDTHFACTORs not above 0, tile
    // lengths not above 0 and tiling bands wider than the form.
    bool Check();
    void Layout(float originX, float originY);
    bool ResolveIds();
    // The look-ups only test presence; creation looks the textures up again.
    bool ResolveTextures(const CountedHandle<CRenderDevice>& device);

    // Creates the form on the renderer and batch with the fonts (each of
    // which must have a size above 0) and its own text layer.
    bool CreateForm(CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
                    const std::vector<CountedHandle<CBitmapFont>>& fonts, int32_t textLayer);
    // Creates the controls after the last one made; stops after an element
    // with INTERRUPT (`*interrupted` true, the control and its number kept)
    // or at the end (`*interrupted` false).
    bool CreateControls(bool* interrupted);

    const CountedHandle<CQoForm>& Form() const { return m_form; }
    const CountedHandle<CQoStatic>& InterruptingControl() const { return m_interrupting; }
    int32_t InterruptValue() const { return m_interruptValue; }
    // Design pixels to virtual-screen units.
    float ScaleFactor() const { return targetWidth / designWidth; }

    // The parsed form, as the file gives it and as laid out.
    float targetWidth = 1024.0f;
    float designWidth = 1024.0f; // SCREENWIDTH
    std::vector<std::string> defineNames;
    std::vector<int32_t> defineValues;
    Vec3 position; // top-left corner on the design screen, y down
    Vec3 layoutPosition;
    GuiSize size;
    GuiSize layoutSize;
    std::vector<CountedHandle<CFormElement>> elements;
    uint32_t color = 0xFFFFFFFF;
    bool tiled = false;
    std::string cornersTexture;
    std::string sidesTexture;
    std::string backgroundTexture;
    float horizontalTile[2] = {512.0f, 512.0f}; // tile length, band height
    float verticalTile[2] = {512.0f, 512.0f};   // band width, tile length
    float layoutTiles[4] = {0, 0, 0, 0};        // the four, laid out
    // Character sizes follow the design-pixel step of the layout.
    bool scaleTexts = true;
    std::string errorText;

private:
    // The control of one element on the form, or empty for a kind that makes
    // none.
    CountedHandle<CQoStatic> CreateControl(const CFormElement& element);
    // Caption, picture and looks of a static, a button or a check box.
    void SetUpTextControl(CQoStatic& control, const CFormElement& element, const CountedHandle<CTexture>& texture);

    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CTextBatch> m_texts;
    CountedHandle<CQoForm> m_form;
    int32_t m_nextElement = -1; // the element whose control was made last
    CountedHandle<CQoStatic> m_interrupting;
    int32_t m_interruptValue = 0;
    std::vector<CountedHandle<CBitmapFont>> m_fonts;
    std::vector<float> m_fontScales;
};
