// Floating popups: how each kind swells, pulses, blooms and fades, where
// the multiplier's texts and icons go, how finished popups leave the list
// and the renderers, and that the shipped texts fit over the board.
#include "effects/overlays/Popups.h"

#include "engine/BitmapFont.h"
#include "engine/RenderTestSupport.h"
#include "engine/Sprite.h"
#include "engine/StringTable.h"
#include "engine/Text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kGlyph = 30.0f;

class Popups : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScoreMessageSettings().Clear();
        ScoreMessageSettings().messageColors = {0xff000000, 0xff000001, 0xff000002, 0xff000003, 0xff000004};
        font->header3f = kGlyph;
        popups.SetResources(sprites, texts, font, font, icons);
    }
    void TearDown() override { ScoreMessageSettings().Clear(); }

    // The size a text of the popup is drawn at, in units of the glyph size.
    static float Size(const CountedHandle<CPopup>& popup, size_t text = 0)
    {
        return popup->Texts()[text]->charHeight / kGlyph;
    }

    NullRig rig;
    CountedHandle<CBitmapFont> font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
    CountedHandle<CSpriteRenderer> sprites =
        MakeCountedHandle(new CSpriteRenderer(rig.device, rig.vertices, rig.indices));
    CountedHandle<CTextBatch> texts = MakeCountedHandle(new CTextBatch(rig.device, rig.vertices, rig.indices));
    CountedHandle<CTexture> icons =
        rig.device->CreateTexture("Bonus3", 256, 256, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
    CPopupManager popups;
};

} // namespace

TEST_F(Popups, ANumberSwellsFromAQuarterToItsSizeWhileItDrifts)
{
    auto popup = popups.AddNumberPopup(250, 0, 10, 20, -3);
    EXPECT_EQ(popup->Texts()[0]->text, "250");
    EXPECT_EQ(popup->Texts()[0]->colour, 0xffffa050u);
    popup->Update(0.0f); // a frame of no time keeps the built look
    EXPECT_FLOAT_EQ(Size(popup), 1.0f);
    EXPECT_EQ(popups.Popups().size(), 1u);

    popups.Update(0.125f);
    EXPECT_NEAR(Size(popup), 1.7803f, 1e-3);
    EXPECT_FLOAT_EQ(popup->Texts()[0]->alphaFactor, 0.5f);
    popups.Update(0.125f);
    EXPECT_FLOAT_EQ(Size(popup), 1.0f);
    EXPECT_FLOAT_EQ(popup->Texts()[0]->alphaFactor, 1.0f);
    EXPECT_FLOAT_EQ(popup->Texts()[0]->origin[1], 20 - 80 * 0.25f); // down the screen
    EXPECT_FLOAT_EQ(popup->Texts()[0]->origin[2], -3);

    popups.Update(0.75f); // half-way through the fade
    EXPECT_FLOAT_EQ(popup->Texts()[0]->alphaFactor, 0.5f);
    popups.Update(0.25f);
    EXPECT_TRUE(popups.Popups().empty());
    popup.Reset();
    EXPECT_TRUE(texts->texts.empty());

    auto bigger = popups.AddNumberPopup(250, 3, 0, 0, 0);
    EXPECT_FLOAT_EQ(Size(bigger), 1.3f);
}

TEST_F(Popups, AMultiplierOfThreeTokensFliesItsIconsInBetweenItsTexts)
{
    const std::vector<Vec3> cells = {{-200, 100, 0}, {-120, 100, 0}, {-40, 100, 0}};
    auto popup = popups.AddEquationPopup(30, 90, 0, 100, 0, -1, cells, {0, 2, 7});
    ASSERT_EQ(popup->Texts().size(), 2u);
    EXPECT_EQ(popup->Texts()[0]->text, "30");
    EXPECT_EQ(popup->Texts()[0]->alignment, CText::RIGHT);
    EXPECT_FLOAT_EQ(popup->Texts()[0]->origin[0], 100 - 75);
    EXPECT_EQ(popup->Texts()[1]->text, "=90");
    EXPECT_EQ(popup->Texts()[1]->alignment, CText::LEFT);
    EXPECT_FLOAT_EQ(popup->Texts()[1]->origin[0], 100 + 75);
    ASSERT_EQ(popup->Icons().size(), 3u);
    EXPECT_EQ(sprites->sprites.size(), 3u);
    // Each icon starts on its token's cell, cut from its level's plate.
    EXPECT_FLOAT_EQ(popup->Icons()[0]->x, -200);
    const float* uv = popup->Icons()[1]->frames.data();
    EXPECT_FLOAT_EQ(uv[0], 4.0f / 256);
    EXPECT_FLOAT_EQ(uv[1], (94.0f + 72) / 256);
    uv = popup->Icons()[2]->frames.data();
    EXPECT_FLOAT_EQ(uv[5], (130.0f + 108) / 256); // levels past the plates take the last

    popups.Update(0.15f); // half the bloom
    EXPECT_FLOAT_EQ(popup->Icons()[0]->x, 100 + 0.5f * -50 + 0.5f * -300);
    EXPECT_NEAR(popup->Icons()[0]->axisX[0], -1.0f, 1e-5); // half a turn
    EXPECT_FLOAT_EQ(popup->Texts()[0]->alphaFactor, 0.5f);
    EXPECT_FLOAT_EQ(popup->Icons()[0]->opacity, 1.0f);

    popups.Update(0.2f); // settled, and rising
    const float below = -0.5f * kGlyph * 0.8f;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(popup->Icons()[static_cast<size_t>(i)]->x, 100.0f - 50 + 50 * i);
        EXPECT_FLOAT_EQ(popup->Icons()[static_cast<size_t>(i)]->y, 50 * 0.2f + below);
        EXPECT_FLOAT_EQ(popup->Icons()[static_cast<size_t>(i)]->axisX[0], 1.0f);
    }

    popups.Update(2.0f);
    EXPECT_TRUE(popups.Popups().empty());
    popup.Reset();
    EXPECT_TRUE(sprites->sprites.empty());
    EXPECT_TRUE(sprites->hiddenSprites.empty());
    EXPECT_TRUE(texts->texts.empty());
}

TEST_F(Popups, AMultiplierMakesNoIconsWithoutTheirPicture)
{
    popups.SetResources(sprites, texts, font, font, CountedHandle<CTexture>());
    auto popup = popups.AddEquationPopup(30, 60, 0, 0, 0, 0, {{0, 0, 0}, {80, 0, 0}}, {1, 1});
    EXPECT_TRUE(popup->Icons().empty());
    EXPECT_FLOAT_EQ(popup->Texts()[0]->origin[0], -50); // the line keeps its room
    popups.Update(0.5f);
    EXPECT_EQ(popups.Popups().size(), 1u);
}

TEST_F(Popups, AMessageSwellsPulsesAndShrinksAway)
{
    auto popup = popups.AddTextPopup("SCORE-FRENZY!!!", 1.8f, 4, 0, 0, 0);
    EXPECT_EQ(popup->Texts()[0]->colour, 0xff000004u);
    EXPECT_EQ(popup->Texts()[0]->alignment, CText::CENTER);
    popups.Update(0.5f); // between the swells: the pulse alone
    EXPECT_NEAR(Size(popup), 1.8f * (1 + 0.1f * std::sin(6.2831853f * 0.5f)), 1e-4);
    popups.Update(0.125f);
    EXPECT_NEAR(Size(popup), 1.8f * (1 + 0.1f * std::sin(6.2831853f * 0.625f)), 1e-4);
    popups.Update(0.5f); // 0.125 s into the shrink of 0.3 s
    EXPECT_NEAR(popup->Texts()[0]->alphaFactor, 1.0f - 0.125f / 0.3f, 1e-5);
    popups.Update(0.2f);
    EXPECT_TRUE(popups.Popups().empty());

    ScoreMessageSettings().message.pulseDepth = 0.0f;
    auto still = popups.AddTextPopup("GOOD\nCOMBO x3", 0.8f, 0, 0, 0, 0);
    for (float t : {0.35f, 0.2f, 0.1f, 0.15f}) {
        popups.Update(t);
        EXPECT_FLOAT_EQ(Size(still), 0.8f);
    }
}

TEST_F(Popups, AStyleBeyondTheColourTableTakesItsLastColour)
{
    auto popup = popups.AddTextPopup("MISS", 1, 9, 0, 0, 0);
    EXPECT_EQ(popup->Texts()[0]->colour, 0xff000004u);
    ScoreMessageSettings().messageColors.clear();
    auto pale = popups.AddTextPopup("MISS", 1, 0, 0, 0, 0);
    EXPECT_EQ(pale->Texts()[0]->colour, CScoreMessageSettings::kFallbackMessageColor);
}

TEST_F(Popups, ACaptionUnfoldsVerticallyAndHasItsShadowBehind)
{
    ScoreMessageSettings().caption.shadow = true;
    ScoreMessageSettings().caption.shadowShift = Vec2{3, -3};
    auto popup = popups.AddCaptionPopup("Life lost", 1.5f, 100, 50, -3);
    ASSERT_EQ(popup->Texts().size(), 2u);
    EXPECT_EQ(popup->Texts()[1]->colour, ScoreMessageSettings().caption.shadowColor);
    EXPECT_FLOAT_EQ(popup->Texts()[1]->origin[0], 103);
    popups.Update(0.15f); // half the bloom
    EXPECT_FLOAT_EQ(popup->Texts()[0]->charWidth, kGlyph * 1.5f);
    EXPECT_FLOAT_EQ(popup->Texts()[0]->charHeight, kGlyph * 1.5f * 0.505f);
    EXPECT_FLOAT_EQ(popup->Texts()[1]->origin[1], 50 - 3 * 0.505f);
    popups.Update(1.1f); // 0.25 s into the fade
    EXPECT_FLOAT_EQ(popup->Texts()[0]->alphaFactor, 0.5f);
}

// A caption wider than its room shrinks to it, keeping its proportions; one
// that fits stays as it is.
TEST_F(Popups, ACaptionFitsItsWidth)
{
    for (auto& glyph : font->glyphs)
        glyph.advance = 0.5f;
    auto wide = popups.AddCaptionPopup("You didn't collect enough tokens!\nBonus level failed.", 1.5f, 0, 0, 0);
    const float natural = wide->Texts()[0]->maxWidth;
    ASSERT_GT(natural, 0.0f);
    wide->FitWidth(natural / 2);
    EXPECT_FLOAT_EQ(wide->Texts()[0]->maxWidth, natural / 2);
    popups.Update(0.5f); // the bloom does not bring its size back
    EXPECT_FLOAT_EQ(wide->Texts()[0]->charWidth, kGlyph * 1.5f / 2);
    EXPECT_FLOAT_EQ(wide->Texts()[0]->charHeight, kGlyph * 1.5f / 2);
    auto narrow = popups.AddCaptionPopup("Life lost", 1.5f, 0, 0, 0);
    const float fits = narrow->Texts()[0]->maxWidth;
    narrow->FitWidth(2 * fits);
    EXPECT_FLOAT_EQ(narrow->Texts()[0]->charWidth, kGlyph * 1.5f);
}

TEST_F(Popups, AFinishedPopupInTheMiddleDoesNotMakeTheNextOneSkipAFrame)
{
    auto first = popups.AddTextPopup("A", 1, 0, 0, 0, 0);
    popups.AddTextPopup("B", 1, 0, 0, 0, 0)->life = 0.1f; // ends after 0.4 s
    auto last = popups.AddTextPopup("C", 1, 0, 0, 0, 0);
    popups.Update(0.5f);
    ASSERT_EQ(popups.Popups().size(), 2u);
    EXPECT_FLOAT_EQ(first->Elapsed(), 0.5f);
    EXPECT_FLOAT_EQ(last->Elapsed(), 0.5f);
    EXPECT_EQ(texts->texts.size(), 2u);
    popups.Clear();
    EXPECT_EQ(texts->texts.size(), 2u); // the test still holds them
    first.Reset();
    last.Reset();
    EXPECT_TRUE(texts->texts.empty());
}

TEST(PopupTexts, TheShippedMessagesFitOverTheBoardAtTheirScales)
{
    LoadStrings("Data\\Txt\\Strings.txt");
    // Messages and captions use font 2, the second of the list after font 0.
    auto font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
    ASSERT_EQ(ReadFontFile(font.Get(), "Data\\Fonts\\FontPopup.vfd"), 1);
    struct Case {
        std::string text;
        float scale;
    };
    const Case cases[] = {
        {GetString(7), 1.8f},          // the frenzy
        {GetString(12), 1.5f},         // the star
        {GetString(53), 1.5f},         // a lost life
        {GetString(6) + " x99", 1.4f}, // the largest combo
        {GetString(3) + " x99", 0.8f},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.text.empty());
        CText text(font);
        text.alignment = CText::CENTER;
        text.SetCharSize(font->header3f * c.scale, font->header3f * c.scale);
        text.SetText(c.text);
        EXPECT_LE(text.maxWidth, 620.0f) << c.text;
        EXPECT_GE(text.maxWidth, 120.0f) << c.text; // and still reads as a headline
    }
}
