// Form files from text to windows: every error text of the reader and the
// checks, the values the parsers read, the layout from the design screen and
// the element-by-element creation of the controls.
#include "GuiTestSupport.h"
#include "TestSupport.h"

#include "gui/FormFile.h"
#include "gui/QoButton.h"

#include <limits>

namespace {

// A rig with textures "T", "A", "B" and "C" registered, that writes form
// texts to files and loads them.
struct FormRig : GuiRig {
    FormRig()
    {
        for (const char* name : {"T", "A", "B", "C"})
            device->CreateTexture(name, 256, 256, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
    }
    std::string Write(const std::string& text)
    {
        const std::string path = scratch.File("form" + std::to_string(++files) + ".qof");
        testing_support::WriteText(path, text);
        return path;
    }
    // The whole load; the error text, empty on success.
    std::string Load(const std::string& text, CFormFile* form)
    {
        return form->LoadFromFile(Write(text), -512, 384) ? std::string() : form->errorText;
    }
    std::string Load(const std::string& text)
    {
        CFormFile form(device);
        const std::string error = Load(text, &form);
        EXPECT_EQ(error.empty(), form.errorText.empty()) << "a failure always leaves a text";
        return error;
    }
    CountedHandle<CFormElement> Element(const std::string& text)
    {
        CFormFile form(device);
        EXPECT_TRUE(form.Parse(Write(text))) << form.errorText;
        return form.elements.empty() ? CountedHandle<CFormElement>() : form.elements[0];
    }
    std::vector<CountedHandle<CBitmapFont>> Fonts(int count)
    {
        std::vector<CountedHandle<CBitmapFont>> fonts;
        for (int i = 0; i < count; ++i)
            fonts.push_back(MakeTestFont(10 * (i + 1)));
        return fonts;
    }

    testing_support::ScratchDir scratch;
    int files = 0;
};

const char* const kUnit = " 0 0 1 0 1 1 0 1 ";

std::string Normal() { return std::string(" STATE NORMAL") + kUnit; }

} // namespace

TEST(FormFileErrors, EveryBadTextFailsWithItsExactErrorText)
{
    const std::string knob = std::string(" STATE SCROLLER") + kUnit;
    const struct {
        const char* name;
        std::string text;
        std::string error; // empty: the load succeeds
    } cases[] = {
        {"empty file", "", ""},
        {"unknown statement", "SCREENWIDTH 1024\nbogus", "Unexpected token \"BOGUS\", line 2"},
        {"missing argument", "SCREENWIDTH", "Unexpected end of file"},
        {"end inside an element", "ELEMENT STATIC {\n POSITION 1 2", "Unexpected end of file"},
        {"unknown kind", "ELEMENT widget {}", "Unexpected token \"WIDGET\", line 1"},
        {"no brace after the kind", "ELEMENT STATIC foo {", "Unexpected token \"FOO\", line 1"},
        {"no brace after the ID name", "ELEMENT STATIC ID name bar {", "Unexpected token \"bar\", line 1"},
        {"no brace after TILING", "\nTILING\n oops {", "Unexpected token \"oops\", line 3"},
        {"end inside TILING", "TILING { CORNERS A", "Unexpected end of file"},
        {"unknown property", "ELEMENT STATIC { SIZE 1 1 }\nELEMENT STATIC { shade }",
         "Unexpected token \"SHADE\", line 2"},
        {"PRESSED on a static", "ELEMENT STATIC {\n STATE pressed 0 0 0 0 0 0 0 0 }",
         "Unexpected token \"PRESSED\", line 2"},
        {"TEXTSTATE NORMAL", "ELEMENT BUTTON { TEXTSTATE NORMAL FFFFFFFF }",
         "Unexpected token \"NORMAL\", line 1"},
        {"VERTICAL in a button", "ELEMENT BUTTON { VERTICAL }", "Unexpected token \"VERTICAL\", line 1"},
        {"WIDTHFACTOR in a progress bar", "ELEMENT PROGRESSBAR { WIDTHFACTOR 1 }",
         "Unexpected token \"WIDTHFACTOR\", line 1"},
        {"SCROLLERSIZE in a static", "ELEMENT STATIC { SCROLLERSIZE 1 1 }",
         "Unexpected token \"SCROLLERSIZE\", line 1"},
        {"unknown alignment", "ELEMENT STATIC { ALIGNMENT middle }", "Unexpected token \"MIDDLE\", line 1"},
        {"unknown filter", "ELEMENT STATIC { FILTER none }", "Unexpected token \"NONE\", line 1"},
        {"end inside a colour", "COLOR ( 1 2 3 4", "Wrong color, line 2"}, // the failed read counts a line,
        {"fifth component", "COLOR (1 2 3 4 5)", "Wrong color, line 1"},
        {"colour without its parenthesis", "\n\nELEMENT STATIC { TEXTCOLOR (1, 2, 3, 4 }", "Wrong color, line 3"},
        {"end after COLOR", "COLOR", "Wrong color, line 2"},
        {"tiling without a background", "SIZE 100 100 TILING { CORNERS \"A\" SIDES \"B\" }",
         "Not all tiling textures set"},
        {"tile length 0", "SIZE 100 100 TILING { CORNERS A SIDES B BACKGROUND C HTILE 0 16 VTILE 16 64 }",
         "Tile length is not above 0"},
        {"vertical tile length below 0", "SIZE 100 100 TILING { CORNERS A SIDES B BACKGROUND C VTILE 16 -4 }",
         "Tile length is not above 0"},
        {"bands wider than the form",
         "SIZE 100 100 TILING { CORNERS A SIDES B BACKGROUND C HTILE 64 16 VTILE 51 64 }",
         "Tiling bands do not fit the form"},
        {"default bands of 512", "SIZE 100 100 TILING { CORNERS A SIDES B BACKGROUND C }",
         "Tiling bands do not fit the form"},
        {"bands that just fit", "SIZE 100 32 TILING { CORNERS A SIDES B BACKGROUND C HTILE 64 16 VTILE 50 64 }",
         ""},
        {"normal look without a texture", "ELEMENT STATIC { SIZE 1 1" + Normal() + "}", "Texture name not set"},
        {"scroller without a knob", "ELEMENT SCROLLER { SIZE 1 1 TEXTURE T" + Normal() + "}",
         "Scroller state not found"},
        {"progress bar without a fill", "ELEMENT PROGRESSBAR { SIZE 1 1 TEXTURE T" + Normal() + "}",
         "Progress state not found"},
        {"texture without a normal look", "ELEMENT BUTTON { SIZE 1 1 TEXTURE T }", "Normal state not found"},
        {"another look without a normal one", "ELEMENT BUTTON { SIZE 1 1 STATE OVER" + std::string(kUnit) + "}",
         "Normal state not found"},
        {"scroller with only text", "ELEMENT SCROLLER { SIZE 1 1 TEXT \"x\" }", "Normal state not found"},
        {"text-only button", "ELEMENT BUTTON { SIZE 10 10 TEXT \"Hi\" TEXTSTATE OVER FF00FF00 }", ""},
        {"element of size 0", "ELEMENT STATIC { TEXT \"no size\" }", "Element 1: SIZE is not above 0"},
        {"element of height 0 named by its ID",
         "DEFINE Go 3 ELEMENT STATIC { SIZE 1 1 } ELEMENT BUTTON ID Go { SIZE 10 0 }",
         "Element Go: SIZE is not above 0"},
        {"CHARSIZE width 0", "ELEMENT STATIC { SIZE 1 1 } ELEMENT CHECKBOX { SIZE 10 10 CHARSIZE 0 1 }",
         "Element 2: CHARSIZE width is not above 0"},
        {"WIDTHFACTOR 0", "ELEMENT SCROLLER { SIZE 10 10 TEXTURE T WIDTHFACTOR 0" + Normal() + knob + "}",
         "Element 1: WIDTHFACTOR is not above 0"},
        {"WIDTHFACTOR nan", "ELEMENT SCROLLER { SIZE 10 10 TEXTURE T WIDTHFACTOR nan" + Normal() + knob + "}",
         "Element 1: WIDTHFACTOR is not above 0"},
        {"screen width below 1", "SCREENWIDTH 0.5", "ScreenWidth is too small"},
        {"screen width nan", "SCREENWIDTH nan", "ScreenWidth is too small"},
        {"screen width inf", "SCREENWIDTH inf", "ScreenWidth is too small"},
        {"screen width 1e999", "SCREENWIDTH 1e999", "ScreenWidth is too small"},
        {"ID without DEFINE", "ELEMENT STATIC ID Missing { SIZE 1 1 }", "ID Missing not found"},
        {"ID names keep their case", "DEFINE ok 1 ELEMENT STATIC ID OK { SIZE 1 1 }", "ID OK not found"},
        {"tiling texture missing before any element",
         "SIZE 100 100 TILING { CORNERS \"Nope\" SIDES B BACKGROUND C HTILE 10 10 VTILE 10 10 }"
         " ELEMENT BUTTON { SIZE 1 1 TEXTURE Gone" +
             Normal() + "}",
         "Texture Nope not found"},
        {"element texture missing", "ELEMENT BUTTON { SIZE 1 1 TEXTURE \"Gone\"" + Normal() + "}",
         "Texture Gone not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormRig rig;
        EXPECT_EQ(rig.Load(c.text), c.error);
    }
}

TEST(FormFileErrors, AMissingFileNamesItself)
{
    FormRig rig;
    CFormFile form(rig.device);
    const std::string path = rig.scratch.File("Nowhere.qof");
    EXPECT_FALSE(form.LoadFromFile(path, -512, 384));
    EXPECT_EQ(form.errorText, "Unable to open file " + path);
}

TEST(FormFileValues, ColoursInBothForms)
{
    const struct {
        const char* text;
        uint32_t colour;
    } cases[] = {
        {"( 100% , 0 , 0 , 50% )", 0x7FFF0000},
        {"(300 -5 0 255)", 0xFFFF0000},
        {"FF8080FF", 0xFF8080FF},
        {"80ff00ff", 0x80FF00FF},
        {"(1 2 3 4)", 0x04010203},
        {"(200%, 50%, 1%, 100)", 0x64FF7F02},
        {"123456789A", 0x12345678}, // eight characters at most
        {"(abc 1 2 3)", 0x03000102},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FormRig rig;
        CFormFile form(rig.device);
        ASSERT_TRUE(form.Parse(rig.Write(std::string("COLOR ") + c.text))) << form.errorText;
        EXPECT_EQ(form.color, c.colour);
    }
}

// Which kinds take which state names, in STATE and in TEXTSTATE, and the
// index each selects.
TEST(FormFileValues, StateNamesByKind)
{
    const char* const kinds[] = {"STATIC", "BUTTON", "CHECKBOX", "SCROLLER", "PROGRESSBAR"};
    const struct {
        const char* name;
        int index;
        const char* state; // per kind above: 1 when STATE takes it
        const char* text;  // likewise for TEXTSTATE
    } names[] = {
        {"normal", 0, "11111", "00000"},      {"Pressed", 1, "01100", "01100"},
        {"SCROLLER", 1, "00010", "00000"},    {"PROGRESS", 1, "00001", "00000"},
        {"OVER", 2, "01100", "01100"},        {"DISABLED", 3, "01110", "01110"},
        {"OVERPRESSED", 4, "00100", "00100"}, {"PRESSEDDISABLED", 5, "00100", "00100"},
    };
    for (const auto& n : names)
        for (int k = 0; k < 5; ++k) {
            SCOPED_TRACE(std::string(kinds[k]) + " " + n.name);
            FormRig rig;
            for (const bool textState : {false, true}) {
                const std::string entry = textState ? std::string(" TEXTSTATE ") + n.name + " 11223344"
                                                    : std::string(" STATE ") + n.name + " 1 2 3 4 5 6 7 8";
                CFormFile form(rig.device);
                const bool parsed =
                    form.Parse(rig.Write("ELEMENT " + std::string(kinds[k]) + " {" + entry + " }"));
                const bool allowed = (textState ? n.text : n.state)[k] == '1';
                ASSERT_EQ(parsed, allowed) << form.errorText;
                if (!allowed) {
                    EXPECT_EQ(form.errorText, "Unexpected token \"" + UpperCased(n.name) + "\", line 1");
                    continue;
                }
                const FormElementState& state = form.elements[0]->states[n.index];
                if (textState) {
                    EXPECT_TRUE(state.textColorDefined);
                    EXPECT_EQ(state.textColor, 0x11223344u);
                } else {
                    EXPECT_TRUE(state.defined);
                    EXPECT_FLOAT_EQ(state.corners[7], 8);
                }
            }
        }
}

TEST(FormFileValues, ElementPropertiesAndTheirFlags)
{
    FormRig rig;
    const auto e = rig.Element("DEFINE Ok 4\n"
                               "element button id Ok {\n"
                               "  text \"Two # words\" # the rest is a comment\n"
                               "  TEXT \"lines\"\n"
                               "  PICTURE 4 4 1\n" // before SIZE: no picture size yet
                               "  SIZE 64 32 ZORDER 12.7\n"
                               "  alignment width FILTER add INTERRUPT -3\n"
                               "  TEXTSHADOWSHIFT 3 -1 FONT 2 TEXTURESIZE 0 0\n"
                               "}");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind, WindowKind::Button);
    EXPECT_EQ(e->idName, "Ok");
    EXPECT_EQ(e->text, "Two # words\nlines");
    EXPECT_TRUE(e->hasText);
    EXPECT_TRUE(e->hasPicture);
    EXPECT_FLOAT_EQ(e->pictureSize.w, 0);
    EXPECT_EQ(e->zOrder, 12);
    EXPECT_EQ(e->alignment, CText::WIDTH);
    EXPECT_EQ(e->filter, 1);
    EXPECT_TRUE(e->hasInterrupt);
    EXPECT_EQ(e->interrupt, -3);
    EXPECT_TRUE(e->hasShadow);
    EXPECT_FLOAT_EQ(e->shadowShift.x, 3);
    EXPECT_FLOAT_EQ(e->shadowShift.z, 0.5f);
    EXPECT_EQ(e->font, 2);

    const auto sized = rig.Element("ELEMENT STATIC { SIZE 64 32 PICTURE 4 4 0 TEXT \"\" TEXT \"b\" }");
    EXPECT_FLOAT_EQ(sized->pictureSize.w, 64);
    EXPECT_FLOAT_EQ(sized->pictureSize.h, 32);
    EXPECT_EQ(sized->text, "\nb");

    const auto plain = rig.Element("ELEMENT STATIC { }");
    EXPECT_FALSE(plain->hasText);
    EXPECT_FALSE(plain->hasPicture);
    EXPECT_FLOAT_EQ(plain->widthFactor, 0.9f);
    EXPECT_FLOAT_EQ(plain->states[0].corners[2], 256);
}

// Numbers not finite read as 0, as do magnitudes below a millionth; floats
// beyond a million and integers beyond 32 bits are held.
TEST(FormFileValues, NumbersAreFiniteAndHeldToTheirRanges)
{
    FormRig rig;
    const auto e = rig.Element("ELEMENT SCROLLER { POSITION 1e999 nan -1e39 SIZE 1e7 inf\n"
                               " ZORDER 99999999999 INTERRUPT -99999999999 FONT abc WIDTHFACTOR 1.5e-999\n"
                               " CHARSIZE 1e-40 0.000002 }");
    EXPECT_FLOAT_EQ(e->position.x, 0);
    EXPECT_FLOAT_EQ(e->position.y, 0);
    EXPECT_FLOAT_EQ(e->position.z, -1000000);
    EXPECT_FLOAT_EQ(e->size.w, 1000000);
    EXPECT_FLOAT_EQ(e->size.h, 0);
    EXPECT_EQ(e->zOrder, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(e->interrupt, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(e->font, 0);
    EXPECT_FLOAT_EQ(e->widthFactor, 0);
    EXPECT_FLOAT_EQ(e->charSize.w, 0); // too small to divide by
    EXPECT_FLOAT_EQ(e->charSize.h, 0.000002f);

    // The form's z-order and a control's ZORDER add up without wrapping.
    CFormFile form(rig.device);
    ASSERT_EQ(rig.Load("POSITION 0 0 1e6 ELEMENT STATIC { SIZE 1 1 ZORDER 2147483647 }", &form), "");
    ASSERT_TRUE(form.CreateForm(rig.sprites, rig.texts, rig.Fonts(1), 0));
    bool interrupted = true;
    ASSERT_TRUE(form.CreateControls(&interrupted));
    EXPECT_EQ(form.Form()->zOrder, 10000000);
    EXPECT_EQ(form.Form()->Child(0)->zOrder, std::numeric_limits<int32_t>::max());
}

TEST(FormFileValues, TilingSkipsWhatItDoesNotKnow)
{
    FormRig rig;
    CFormFile form(rig.device);
    ASSERT_TRUE(form.Parse(rig.Write("TILING { FOO 1 2 3 corners \"Glass Corners\" HTILE 8 4 VTILE 2 16 }")));
    EXPECT_TRUE(form.tiled);
    EXPECT_EQ(form.cornersTexture, "Glass Corners");
    EXPECT_FLOAT_EQ(form.horizontalTile[1], 4);
    EXPECT_FLOAT_EQ(form.verticalTile[0], 2);
    EXPECT_FLOAT_EQ(form.designWidth, 1024);
}

// SCREENWIDTH 800 makes every design pixel 1.28 units.
TEST(FormBuilder, LayoutFromAnEightHundredPixelScreen)
{
    FormRig rig;
    CFormFile good(rig.device);
    ASSERT_EQ(rig.Load("SCREENWIDTH 800 SIZE 800 600 POSITION 0 0 0.25\n"
                       "ELEMENT STATIC { POSITION 0 0 0.5 SIZE 100 50 PICTURE 10 5 0 PICTURESIZE 20 10\n"
                       "  NOTESHIFT 5 -5 0 SPECIALNOTEWIDTH 100 TEXTSHADOWSHIFT 2 -2 TEXTURESIZE 128 0"
                       " TEXTURE T STATE NORMAL 64 32 128 32 128 64 64 64 }",
                       &good),
              "");
    EXPECT_FLOAT_EQ(good.layoutSize.w, 1024);
    EXPECT_FLOAT_EQ(good.layoutSize.h, 768);
    EXPECT_FLOAT_EQ(good.layoutPosition.x, 0);
    EXPECT_FLOAT_EQ(good.layoutPosition.y, 0);
    const CFormElement& e = *good.elements[0];
    EXPECT_FLOAT_EQ(e.layoutSize.w, 128);
    EXPECT_FLOAT_EQ(e.layoutSize.h, 64);
    EXPECT_FLOAT_EQ(e.layoutPosition.x, -448);
    EXPECT_FLOAT_EQ(e.layoutPosition.y, 352);
    EXPECT_FLOAT_EQ(e.layoutPosition.z, 0.5f);
    EXPECT_FLOAT_EQ(e.layoutPicture.x, 1.28f * (10 + 10 - 50));
    EXPECT_FLOAT_EQ(e.layoutPicture.y, -1.28f * (5 + 5 - 25));
    EXPECT_FLOAT_EQ(e.layoutNoteShift.y, -6.4f);
    EXPECT_FLOAT_EQ(e.layoutSpecialNoteWidth, 128);
    EXPECT_FLOAT_EQ(e.layoutShadowShift.x, 2.56f);
    EXPECT_FLOAT_EQ(e.layoutShadowShift.z, 0.0005f);
    EXPECT_FLOAT_EQ(e.states[0].normalised[0], 0.5f);
    EXPECT_FLOAT_EQ(e.states[0].normalised[1], 32); // a texture height of 0 counts as 1

    ASSERT_TRUE(good.CreateForm(rig.sprites, rig.texts, rig.Fonts(1), 3));
    const CQoForm& f = *good.Form();
    EXPECT_FLOAT_EQ(f.Position().x, -0.64f);
    EXPECT_FLOAT_EQ(f.Position().y, 0.64f);
    EXPECT_EQ(f.zOrder, 2);
    EXPECT_EQ(f.TextLayer(), 3);
    bool interrupted = true;
    ASSERT_TRUE(good.CreateControls(&interrupted));
    EXPECT_FALSE(interrupted);
    const CQoWindow& control = *f.Child(0);
    EXPECT_FLOAT_EQ(control.relativePosition.x, -448);
    EXPECT_FLOAT_EQ(control.Position().x, -448.64f);
    EXPECT_FLOAT_EQ(control.BaseSize().w, 128);
    EXPECT_EQ(control.TextLayer(), 3);
}

TEST(FormBuilder, InterruptsHandControlsOverOneCallEach)
{
    FormRig rig;
    CFormFile form(rig.device);
    ASSERT_EQ(rig.Load("DEFINE A 10 DEFINE B 20 DEFINE A 30\n"
                       "ELEMENT STATIC ID A { SIZE 10 10 INTERRUPT 1 }\n"
                       "ELEMENT BUTTON ID B { SIZE 10 10 }\n"
                       "ELEMENT CHECKBOX { SIZE 10 10 INTERRUPT 2 }",
                       &form),
              "");
    ASSERT_TRUE(form.CreateForm(rig.sprites, rig.texts, rig.Fonts(1), 0));
    bool interrupted = false;
    ASSERT_TRUE(form.CreateControls(&interrupted));
    EXPECT_TRUE(interrupted);
    EXPECT_EQ(form.InterruptValue(), 1);
    EXPECT_EQ(form.InterruptingControl()->id, 10); // the first DEFINE of a name wins
    EXPECT_EQ(form.Form()->ChildCount(), 1u);
    ASSERT_TRUE(form.CreateControls(&interrupted));
    EXPECT_TRUE(interrupted);
    EXPECT_EQ(form.InterruptValue(), 2);
    EXPECT_EQ(form.InterruptingControl()->Kind(), WindowKind::Checkbox);
    EXPECT_EQ(form.Form()->ChildCount(), 3u);
    EXPECT_EQ(form.Form()->Child(1)->id, 20);
    for (int call = 0; call < 2; ++call) {
        ASSERT_TRUE(form.CreateControls(&interrupted));
        EXPECT_FALSE(interrupted);
    }
    EXPECT_EQ(form.Form()->ChildCount(), 3u);

    CFormFile empty(rig.device);
    ASSERT_EQ(rig.Load("", &empty), "");
    ASSERT_TRUE(empty.CreateForm(rig.sprites, rig.texts, rig.Fonts(1), 0));
    ASSERT_TRUE(empty.CreateControls(&interrupted));
    EXPECT_FALSE(interrupted);
    EXPECT_EQ(empty.Form()->ChildCount(), 0u);
}

// Fonts of sizes 10, 20 and 30: FONT n in 1..2 picks font n, anything else
// font 0; the character size is CHARSIZE width × the font's scale.
TEST(FormBuilder, FontChoiceAndCharacterSize)
{
    const struct {
        int font;
        float size;
    } cases[] = {{0, 10}, {1, 20}, {2, 30}, {3, 10}, {5, 10}, {-1, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        FormRig rig;
        CFormFile form(rig.device);
        ASSERT_EQ(
            rig.Load("ELEMENT STATIC { SIZE 100 10 CHARSIZE 2 7 FONT " + std::to_string(c.font) + " }", &form),
            "");
        ASSERT_TRUE(form.CreateForm(rig.sprites, rig.texts, rig.Fonts(3), 0));
        bool interrupted = false;
        ASSERT_TRUE(form.CreateControls(&interrupted));
        const CText& text = *form.Form()->Child(0)->Text(0);
        EXPECT_FLOAT_EQ(text.charWidth, 2 * c.size);
        EXPECT_FLOAT_EQ(text.charHeight, 2 * c.size); // the width serves for both
        EXPECT_FLOAT_EQ(text.font->header3f, c.size);
    }
}

TEST(FormBuilder, TextOnlyControlsGetTheirColoursButNoPicture)
{
    FormRig rig;
    CFormFile form(rig.device);
    ASSERT_EQ(
        rig.Load("ELEMENT STATIC { SIZE 100 10 TEXT \"Label\" TEXTCOLOR FF112233 }\n"
                 "ELEMENT BUTTON { SIZE 10 10 TEXT \"Go\" TEXTSTATE OVER FF00FF00 TEXTSTATE DISABLED 80808080 }",
                 &form),
        "");
    ASSERT_TRUE(form.CreateForm(rig.sprites, rig.texts, rig.Fonts(1), 0));
    bool interrupted = false;
    ASSERT_TRUE(form.CreateControls(&interrupted));
    const CQoWindow& label = *form.Form()->Child(0);
    EXPECT_EQ(label.SpriteCount(), 0u);
    EXPECT_EQ(label.Text(0)->colour, 0xFF112233u);
    EXPECT_EQ(label.Text(0)->text, "Label");
    auto* button = dynamic_cast<CQoButton*>(form.Form()->Child(1).Get());
    ASSERT_TRUE(button);
    EXPECT_EQ(button->SpriteCount(), 0u);
    EXPECT_TRUE(button->overColorGiven);
    EXPECT_EQ(button->overColor, 0xFF00FF00u);
    EXPECT_TRUE(button->disabledColorGiven);
    EXPECT_FALSE(button->pressedColorGiven);
    EXPECT_EQ(button->OverFrame(), -1);
}

TEST(FormBuilder, CreationFailsWithoutUsableFontsOrForAnUnknownKind)
{
    FormRig rig;
    CFormFile form(rig.device);
    ASSERT_EQ(rig.Load("ELEMENT STATIC { SIZE 10 10 TEXT \"Label\" }", &form), "");
    EXPECT_FALSE(form.CreateForm(rig.sprites, rig.texts, {}, 0));
    EXPECT_EQ(form.errorText, "No fonts for the form's texts");
    EXPECT_FALSE(form.Form());
    auto fonts = rig.Fonts(2);
    fonts[1]->header3 = 0;
    EXPECT_FALSE(form.CreateForm(rig.sprites, rig.texts, fonts, 0));
    EXPECT_EQ(form.errorText, "Font 1 has no size");

    bool interrupted = true;
    EXPECT_FALSE(form.CreateControls(&interrupted));
    EXPECT_FALSE(interrupted);
    ASSERT_TRUE(form.CreateForm(rig.sprites, rig.texts, rig.Fonts(1), 0));
    form.elements[0]->kind = WindowKind::Form;
    EXPECT_FALSE(form.CreateControls(&interrupted));
    EXPECT_EQ(form.errorText, "Bad FormFile data. Fatal");
}
