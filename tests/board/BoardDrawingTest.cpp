// A board in play drawn through the real frame renderer on GL: tokens of
// every colour, a gem, a chain, the light under the pointer, the selection
// highlight and a ray on its way, inside the gold frame. Every effect is
// judged against a twin token of the same colour without it.
#include "BoardDrawingFixture.h"

#include "effects/overlays/Popups.h"
#include "effects/overlays/ScoreSettings.h"
#include "engine/BitmapFont.h"
#include "engine/Text.h"

using board_drawing::BoardDrawing;
using drawing_test::Channel;
using drawing_test::Frame;
using drawing_test::Near;

TEST_F(BoardDrawing, ABoardInPlayShowsItsTokensAndEffects)
{
    // Row 0 holds one token of each level-1 colour; the effects stand on
    // twins of them further down.
    std::vector<std::string> rows = board_rig::NoMoveGrid();
    rows[7].replace(0, 3, "yvs");
    rows[3][2] = 'R';                                                 // chained; twin (1, 0)
    rows[2][7] = '.';                                                 // the backdrop shows
    const MatchCell gem{2, 5}, lit{5, 4}, marked{7, 6}, struck{4, 6}; // twins (2, 0), (2, 0), (0, 0), (2, 0)
    board_rig::PlaceGrid(*board, rows, {gem});
    BoardProbe probe(*board);
    probe.SetEnabled(false); // the hole stays; nothing is matched
    board->Pick(board->Cell(marked.column, marked.row));
    TerminatorPath path;
    path.cells.emplace_back(struck.column, struck.row);
    probe.Rays()
        .Spawn(1, path, board->Cell(struck.column, struck.row)->cap->baseTexture, false)
        ->AddTarget(board->Cell(struck.column, struck.row), 0);
    const Vec2 pointer = Centre(lit.column, lit.row);
    for (int frame = 0; frame < 20; ++frame) {
        board->Update(1.0f / 60.0f, pointer.x, pointer.y);
        glows->Update(1.0f / 60.0f);
        sparkles->Update(1.0f / 60.0f);
        sprites->Update(1.0f / 60.0f, 0);
        for (const CountedHandle<CParticleSystemsManager>& manager : particles)
            manager->Update(1.0f / 60.0f);
    }
    ASSERT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
    const Frame f = Grab();
    ASSERT_EQ(f.width, 1024);

    // Every colour's own picture at its token's centre.
    const std::pair<MatchCell, int> tokens[] = {{{0, 0}, 0}, {{1, 0}, 2}, {{2, 0}, 3}, {{3, 0}, 4},
                                                {{4, 0}, 5}, {{0, 7}, 1}, {{1, 7}, 6}, {{2, 7}, 7}};
    for (const auto& [cell, kind] : tokens)
        EXPECT_TRUE(Near(At(f, Centre(cell.column, cell.row)), AtlasCentre("Caps.png", kind), 14)) << kind;
    EXPECT_TRUE(Near(At(f, Centre(gem.column, gem.row)), AtlasCentre("Caps_d.png", 3), 14));

    // The chain stands out round its token where the twin shows nothing.
    double chainDifference = 0;
    for (int i = 0; i < 32; ++i) {
        const float a = 6.2831855f * static_cast<float>(i) / 32.0f, r = 34.0f;
        const uint32_t chained = At(f, Centre(2, 3), r * std::cos(a), r * std::sin(a));
        const uint32_t twin = At(f, Centre(1, 0), r * std::cos(a), r * std::sin(a));
        for (int shift : {16, 8, 0})
            chainDifference += std::abs(Channel(chained, shift) - Channel(twin, shift));
    }
    EXPECT_GT(chainDifference / 96, 25.0);

    // The light under the pointer and the ray's glow brighten their tokens.
    const double plain = Brightness(f, Px(Centre(2, 0).x), Py(Centre(2, 0).y), 6);
    EXPECT_GT(Brightness(f, Px(pointer.x), Py(pointer.y), 6), plain + 15);
    EXPECT_GT(Brightness(f, Px(Centre(struck.column, struck.row).x), Py(Centre(struck.column, struck.row).y), 6),
              plain + 15);

    // The highlight's gold ring frames the selected token.
    int ringRed = 0, twinRed = 0;
    for (float dx = 27; dx <= 35; dx += 1) {
        ringRed = std::max(ringRed, Channel(At(f, Centre(marked.column, marked.row), dx), 16));
        twinRed = std::max(twinRed, Channel(At(f, Centre(0, 0), dx), 16));
    }
    EXPECT_GT(ringRed, twinRed + 40);

    // The gold rail above the board (below its turquoise inlay).
    const BoardGeometry g = board->Geometry();
    const uint32_t rail = f.At(Px(g.originX + 320), Py(g.originY + 4));
    EXPECT_GT(Channel(rail, 16), 150);
    EXPECT_GT(Channel(rail, 16), Channel(rail, 0) + 40);

    // The backdrop, blended over the clear colour, in the empty cell.
    d3d::DecodedImage back;
    ASSERT_TRUE(d3d::DecodeImageFile("Data\\Gfx\\FrameBack.tga", &back));
    const uint32_t texel = back.pixels[64 * back.width + 192];
    const float alpha = static_cast<float>(texel >> 24) / 255.0f;
    auto blend = [&](int shift) {
        return static_cast<uint32_t>(
                   std::lround(Channel(texel, shift) * alpha + Channel(renderer->clearColor, shift) * (1 - alpha)))
               << shift;
    };
    EXPECT_TRUE(Near(At(f, Centre(7, 2)), blend(16) | blend(8) | blend(0), 8));
    renderer->Present();
}

// A struck token bursts into pieces and throws its sand down its column:
// both show in an empty cell on their way, but the tokens they pass, below
// the struck one and beside its column, stay in front of them, every frame
// as they were before the strike, and the column is clear again once the
// burst has fallen through.
TEST_F(BoardDrawing, StruckTokensPiecesAndSandPassBehindTheTokens)
{
    BoardLooks looks;
    looks.particlesFront = particles[0];
    looks.particles = particles[1];
    looks.mesh = {Load("Frame.png"), Load("FrameBack.tga")};
    looks.sand = device->LoadTextureForAlpha("Data\\Gfx\\Sand.jpg", "Sand", 1, 0, d3d::D3DPOOL_MANAGED);
    looks.cloud = device->LoadTextureForAlpha("Data\\Gfx\\Cloud.jpg", "Cloud", 1, 0, d3d::D3DPOOL_MANAGED);
    ASSERT_TRUE(looks.sand && looks.cloud);
    board->SetLooks(looks);
    // The blue token at (3, 3) is struck; the cell below it is empty, and
    // so is its twin at (7, 2), far from the fall.
    std::vector<std::string> rows = board_rig::NoMoveGrid();
    rows[4][3] = '.';
    const MatchCell struck{3, 3}, hole{3, 4}, emptyTwin{7, 2};
    rows[static_cast<size_t>(emptyTwin.row)][static_cast<size_t>(emptyTwin.column)] = '.';
    board_rig::PlaceGrid(*board, rows);
    BoardProbe probe(*board);
    probe.SetEnabled(false); // the holes stay, the tokens keep still
    board->SetSandActive(true);
    std::vector<MatchCell> passed;
    for (int r = 5; r < 8; ++r)
        for (int c = 2; c <= 4; ++c)
            passed.push_back({c, r});
    auto face = [&](const Frame& f, MatchCell cell, float dx, float dy) {
        return At(f, Centre(cell.column, cell.row), dx, dy);
    };
    ASSERT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
    const Frame before = Grab("before");
    renderer->Present();

    TerminatorPath path;
    path.cells.emplace_back(struck.column, struck.row);
    probe.Rays()
        .Spawn(1, path, board->Cell(struck.column, struck.row)->cap->baseTexture, false)
        ->AddTarget(board->Cell(struck.column, struck.row), 0);
    double sandInHole = 0, holeDifference = 0;
    int covered = 0;
    for (int frame = 0; frame < 180; ++frame) {
        board->Update(1.0f / 60.0f, -900.0f, -900.0f);
        for (const CountedHandle<CParticleSystemsManager>& manager : particles)
            manager->Update(1.0f / 60.0f);
        glows->Update(1.0f / 60.0f);
        sparkles->Update(1.0f / 60.0f);
        sprites->Update(1.0f / 60.0f, 0);
        ASSERT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
        const Frame f = frame == 50 ? Grab("falling") : Read();
        renderer->Present();
        const Vec2 inHole = Centre(hole.column, hole.row), inTwin = Centre(emptyTwin.column, emptyTwin.row);
        holeDifference = std::abs(Brightness(f, Px(inHole.x), Py(inHole.y), 10) -
                                  Brightness(f, Px(inTwin.x), Py(inTwin.y), 10));
        sandInHole = std::max(sandInHole, holeDifference);
        for (const MatchCell& cell : passed)
            for (float dy = -10.0f; dy <= 10.0f; dy += 5.0f)
                for (float dx = -10.0f; dx <= 10.0f; dx += 5.0f)
                    if (!Near(face(f, cell, dx, dy), face(before, cell, dx, dy), 6) && covered++ < 5)
                        ADD_FAILURE() << "frame " << frame << ": token " << cell.column << ", " << cell.row
                                      << " covered at " << dx << ", " << dy;
    }
    EXPECT_EQ(covered, 0) << "points of the tokens below that the burst covered";
    EXPECT_GT(sandInHole, 12.0); // the burst did pass
    // Three seconds on, the burst has fallen through: the cell under the
    // struck token reads as its empty twin again.
    EXPECT_LT(holeDifference, 3.0);
}

// A board without moves reshuffles under its caption: every token trembles
// and falls off the board, and slides out under the board's edge without
// crossing what lies around it (the gems bar, the HUD); the caption, whole
// from its bloom to its fade, stands over the tumbling tokens as brightly
// as over the empty board they leave.
TEST_F(BoardDrawing, AReshuffledBoardsTokensStayInsideItUnderItsCaption)
{
    auto texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
    renderer->textBatch = texts;
    auto fontTexture = device->LoadTexture("Data\\Fonts\\FontPopup.tga", "FontPopup", 0, 0, d3d::D3DPOOL_MANAGED,
                                           d3d::D3DFMT_UNKNOWN);
    auto font = MakeCountedHandle(new CBitmapFont(fontTexture));
    ASSERT_EQ(ReadFontFile(font.Get(), "Data\\Fonts\\FontPopup.vfd"), 1);
    LoadScoreMessageSettings("Data\\Config\\Score.cfg");
    CPopupManager popups;
    popups.SetResources(sprites, texts, font, font, {});

    board_rig::PlaceGrid(*board, board_rig::NoMoveGrid());
    BoardProbe(*board).SetEnabled(false);
    ASSERT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
    const Frame before = Grab("before-shuffle");
    renderer->Present();

    // As the game shows it: at the board's middle, whole for the shuffle
    // and the fall.
    const BoardGeometry g = board->Geometry();
    const Vec2 middle = Centre(g.columns / 2, g.rows / 2);
    const CountedHandle<CPopup> caption =
        popups.AddCaptionPopup("NO MOVES!", 1.5f, middle.x - g.cellWidth / 2, middle.y + g.cellHeight / 2, -20.0f);
    caption->life = 2.5f;
    board->ShuffleAnimated(1.5f, 30);
    const float left = g.originX, right = g.originX + g.cellWidth * static_cast<float>(g.columns);
    const float top = g.originY, bottom = g.originY - g.cellHeight * static_cast<float>(g.rows);
    const uint32_t captionColour = ScoreMessageSettings().caption.color;
    // The caption's glyphs: pixels of its colour inside its line.
    auto glyphs = [&](const Frame& f) {
        int n = 0;
        for (int y = Py(middle.y + 40); y < Py(middle.y - 40); ++y)
            for (int x = Px(left); x < Px(right); ++x)
                n += Near(f.At(x, y), captionColour, 24) ? 1 : 0;
        return n;
    };
    std::vector<int> overTokens;
    int strays = 0;
    Frame f;
    for (int frame = 1; frame <= 145; ++frame) {
        board->Update(1.0f / 60.0f, -900.0f, -900.0f);
        popups.Update(1.0f / 60.0f);
        sprites->Update(1.0f / 60.0f, 0);
        if (frame % 5 != 0)
            continue;
        ASSERT_EQ(renderer->RenderFrame(), d3d::D3D_OK);
        f = frame == 100 ? Grab("falling-off") : Read();
        renderer->Present();
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                // The board's edges fall between pixels: one either way is the edge's.
                const bool inside = x >= Px(left) - 1 && x <= Px(right) && y >= Py(top) - 1 && y <= Py(bottom);
                strays += !inside && !Near(f.At(x, y), before.At(x, y), 3) ? 1 : 0;
            }
        if (frame >= 30)
            overTokens.push_back(glyphs(f));
    }
    EXPECT_EQ(strays, 0) << "pixels outside the board that the falling tokens change";
    const int alone = glyphs(f); // the board is empty by now
    EXPECT_GT(alone, 400);
    for (size_t i = 0; i < overTokens.size(); ++i)
        EXPECT_GT(overTokens[i], alone * 9 / 10) << "at " << (30 + 5 * static_cast<int>(i)) / 60.0f << " s";
    renderer->textBatch.Reset();
}
