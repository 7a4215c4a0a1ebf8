// A level's first fill and the gems bar drawn through the real frame
// renderer on GL: a fixture level with fixed colours, a steel, a chained
// and a gem token, landed; under the board the bar at a goal of 20 with
// three gems collected, its amber fill and its counter.
#include "BoardDrawingFixture.h"
#include "TestSupport.h"
#include "engine/BitmapFont.h"
#include "engine/Text.h"
#include "platform/D3DX.h"
#include "platform/System.h"

#include <algorithm>

using board_drawing::BoardDrawing;
using drawing_test::Channel;
using drawing_test::Frame;
using drawing_test::Near;

namespace {

class LevelDrawing : public BoardDrawing {
protected:
    void SetUp() override
    {
        BoardDrawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
        renderer->textBatch = texts;
        auto fontTexture = device->LoadTexture("Data\\Fonts\\FontBold.tga", "FontBold", 0, 0, d3d::D3DPOOL_MANAGED,
                                               d3d::D3DFMT_UNKNOWN);
        font = MakeCountedHandle(new CBitmapFont(fontTexture));
        ASSERT_EQ(ReadFontFile(font.Get(), "Data\\Fonts\\FontBold.vfd"), 1);
        bar = MakeCountedHandle(new CGemsBar());
        bar->SetSharedObjects(device, Load("Frame.png"), sprites, texts, font, glows);
        bar->SetEffectTexture(Load("GemFlares.tga"));
        bar->ApplyLayout(layout);
        ASSERT_TRUE(bar->LoadBarGems("Data\\Gfx\\BarGems.bmp"));
        ASSERT_TRUE(bar->Init());
        board->SetGemsBar(bar);
        board->Reset(0);
        board->Show(true, true, 0.0f);
    }
    void TearDown() override
    {
        bar.Reset();
        texts.Reset();
        BoardDrawing::TearDown();
    }
    // The screen point of a strip pixel.
    Vec2 StripPoint(float column, float row) const
    {
        const Vec3 origin = bar->Origin();
        const GemsBarLook& look = bar->Look();
        return Vec2{origin.x + look.stripShift.x + column + 0.5f, origin.y + look.stripShift.y - row - 0.5f};
    }

    testing_support::ScratchDir dir;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CBitmapFont> font;
    CountedHandle<CGemsBar> bar;
};

// A straight colour over another by the top one's alpha.
uint32_t Over(uint32_t top, uint32_t under)
{
    const int a = Channel(top, 24);
    uint32_t out = 0;
    for (int shift : {16, 8, 0})
        out |= static_cast<uint32_t>((Channel(top, shift) * a + Channel(under, shift) * (255 - a)) / 255) << shift;
    return out;
}

} // namespace

TEST_F(LevelDrawing, AFilledLevelAndTheGemsBarUnderIt)
{
    plat::SeedRandom(3);
    // Fixed colours along the top, steel, a chain and a gem.
    testing_support::WriteText(dir.File("fixture.lvl"), "GEMSCOUNT 20\n"
                                                        "SET { 0 1 2 3 4 5 6 }\n"
                                                        "BEGIN { \"0123456x\" \"xxxxxxxx\" \"xxsxxxxx\" }\n"
                                                        "LOCKS { \"--------\" \"--------\" \"--------\" "
                                                        "\"----1---\" }\n"
                                                        "GEMS { \"--------\" \"--------\" \"--------\" "
                                                        "\"--------\" \"------g-\" }\n");
    random.Seed(3);
    BoardSetup setup = LevelSetup(14, false, 70);
    ASSERT_TRUE(LoadLevelFile(&setup, dir.File("fixture.lvl")));
    // The level waits for play: nothing is matched while the test looks.
    board->StartLevel(setup);
    board->FillNow();
    ASSERT_EQ(bar->goal, 20);
    const int colours[3] = {0, 3, 6};
    int lefts[3];
    for (int i = 0; i < 3; ++i) {
        bar->AddGem(colours[i]);
        lefts[i] = std::max(static_cast<int>(bar->Cursor()) - bar->GemWidth(colours[i]), 0);
    }
    // No sparkles or flares over the strip while its pixels are judged.
    GemsBarLook quiet = bar->Look();
    quiet.sparklePeriod = quiet.flarePeriod = 1e6f;
    bar->SetLook(quiet);
    for (int frame = 0; frame < 180; ++frame) {
        board->Update(1.0f / 60.0f, -2000.0f, -2000.0f);
        sprites->Update(1.0f / 60.0f, 0);
        texts->Update(1.0f / 60.0f);
    }
    ASSERT_TRUE(board->IsIdle());
    // The GL device refuses the 2-bit alpha of the first candidate: the
    // strip keeps its soft edges in eight bits.
    EXPECT_EQ(bar->SurfaceTexture()->description.Format, d3d::D3DFMT_A8R8G8B8);
    ASSERT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
    const Frame f = Grab();
    ASSERT_EQ(f.width, 1024);

    // The fixed colours stand as written, and the steel, the chain and the
    // gem where the file put them.
    for (int c = 0; c < 7; ++c)
        EXPECT_TRUE(Near(At(f, Centre(c, 0)), AtlasCentre("Caps.png", c), 14)) << c;
    EXPECT_TRUE(Near(At(f, Centre(2, 2)), AtlasCentre("Caps.png", 7), 14));
    const int gemColour = board->Cell(6, 4)->colour;
    EXPECT_TRUE(Near(At(f, Centre(6, 4)), AtlasCentre("Caps_d.png", gemColour), 14));
    ASSERT_EQ(board->Cell(4, 3)->chained, 1);
    const int chainColour = board->Cell(4, 3)->colour;
    double chainDifference = 0;
    for (int i = 0; i < 32; ++i) {
        const float a = 6.2831855f * static_cast<float>(i) / 32.0f, r = 34.0f;
        const uint32_t chained = At(f, Centre(4, 3), r * std::cos(a), r * std::sin(a));
        const uint32_t twin = At(f, Centre(chainColour, 0), r * std::cos(a), r * std::sin(a));
        for (int shift : {16, 8, 0})
            chainDifference += std::abs(Channel(chained, shift) - Channel(twin, shift));
    }
    EXPECT_GT(chainDifference / 96, 25.0);

    // The bar's gold frame round the strip.
    const Vec3 origin = bar->Origin();
    const GemsBarLook& look = bar->Look();
    const uint32_t rim = f.At(Px(origin.x + look.frameShift.x + 100.0f), Py(origin.y + look.frameShift.y - 1.5f));
    EXPECT_GT(Channel(rim, 16), 150);
    EXPECT_GT(Channel(rim, 16), Channel(rim, 0) + 40);

    // Each gem in its own colour where it was placed, under the frame's
    // glass: the middle of the part the next gem leaves uncovered.
    d3d::DecodedImage frame;
    ASSERT_TRUE(d3d::DecodeImageFile("Data\\Gfx\\Frame.png", &frame));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(colours[i]);
        const int w = bar->GemWidth(colours[i]);
        const int x = lefts[i] + (i < 2 ? (lefts[i + 1] - lefts[i]) / 2 : w / 2), y = 20;
        const uint32_t strip = bar->StripPixel(x, y);
        ASSERT_EQ(strip >> 24, 0xFFu);
        const uint32_t glass = frame.pixels[static_cast<size_t>(4 + y) * frame.width + static_cast<size_t>(5 + x)];
        const Vec2 p = StripPoint(static_cast<float>(x), static_cast<float>(y));
        EXPECT_TRUE(Near(f.At(Px(p.x), Py(p.y)), Over(glass, strip), 12));
    }
    // The three are told apart by their hues: green, blue, violet.
    auto hueAt = [&](int i) {
        const int x = lefts[i] + (i < 2 ? (lefts[i + 1] - lefts[i]) / 2 : bar->GemWidth(colours[i]) / 2);
        const Vec2 p = StripPoint(static_cast<float>(x), 20.0f);
        return f.At(Px(p.x), Py(p.y));
    };
    EXPECT_GT(Channel(hueAt(0), 8), Channel(hueAt(0), 16));
    EXPECT_GT(Channel(hueAt(1), 0), Channel(hueAt(1), 16));
    EXPECT_GT(Channel(hueAt(2), 16), Channel(hueAt(2), 8));

    // The amber fill runs to 3/20 of the strip and no further: where the
    // strip shows no gem, a row of the fill is warmer before its end than
    // the same row after it.
    const float end = 3.0f / 20.0f * CGemsBar::kStripWidth;
    auto warmth = [&](int column, int row) {
        const Vec2 p = StripPoint(static_cast<float>(column), static_cast<float>(row));
        const uint32_t px = f.At(Px(p.x), Py(p.y));
        return Channel(px, 16) - Channel(px, 0);
    };
    // Away from the fill's rounded ends, and after it beyond the last gem.
    const int after = static_cast<int>(bar->Cursor()) + 6;
    int compared = 0;
    for (int row = 10; row < 30; ++row)
        for (int column = 12; column < static_cast<int>(end) - 3; ++column) {
            if ((bar->StripPixel(column, row) >> 24) != 0)
                continue;
            EXPECT_GT(warmth(column, row), warmth(200, row) + 20) << column << " " << row;
            EXPECT_NEAR(warmth(after, row), warmth(200, row), 6) << row;
            ++compared;
        }
    EXPECT_GT(compared, 0);

    // The counter "3/20" lights its place right of the strip.
    EXPECT_EQ(bar->CounterText()->text, "3/20");
    int lit = 0;
    const int tx = Px(origin.x + look.countShift.x), ty = Py(origin.y + look.countShift.y);
    for (int y = ty - 30; y <= ty + 30; ++y)
        for (int x = tx - 40; x <= tx + 40; ++x)
            lit += Channel(f.At(x, y), 16) > 200 && Channel(f.At(x, y), 8) > 180 ? 1 : 0;
    EXPECT_GT(lit, 20);
    renderer->Present();
}
