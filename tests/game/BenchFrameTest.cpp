// The frame benchmark times the picture the player sees: its unpaced device
// and its way to each scene draw, frame for frame, what the game made as the
// shell makes it draws on the same way with the same seed. The frames are
// written to the PNG named by GALVORINE_DRAWING_PNG ("-menu-bench", ...)
// when that is set.
#include "GlGame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace gl_game;

struct Picture {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

// The main menu's frame and one of level 3 in play, from a game seeded
// alike each time.
struct Frames {
    Picture menu, play;
    bool menuHiddenInPlay = false;
};

Frames Draw(Presenting presenting, const char* name)
{
    Frames frames;
    testing_support::ScratchDir user;
    MakeBenchPlayer(user.Path());
    plat::SeedRandom(3);
    plat::SeedGuids(3);
    GlGame game(Size{640, 480}, user.Path(), presenting);
    if (!game.started)
        return frames;
    EXPECT_TRUE(ToTheMenu(game));
    game.Frame();
    EXPECT_TRUE(game.Grab(&frames.menu.pixels, &frames.menu.width, &frames.menu.height,
                          DrawingPng(std::string("menu-") + name)));
    Player player(game);
    EXPECT_TRUE(ToLevelInPlay(game, 3, player, 1.0f));
    frames.menuHiddenInPlay = !game->services.screens->mainMenu.form->IsVisible();
    EXPECT_TRUE(game.Grab(&frames.play.pixels, &frames.play.width, &frames.play.height,
                          DrawingPng(std::string("play-") + name)));
    return frames;
}

// Pixels whose colour differs by more than the rasteriser's rounding.
int Differing(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size())
        return -1;
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {16, 8, 0}) {
            const int p = static_cast<int>((a.pixels[i] >> shift) & 0xFF);
            const int q = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            if (std::abs(p - q) > 2) {
                ++count;
                break;
            }
        }
    return count;
}

TEST(BenchFrame, DrawsTheGamesOwnPicture)
{
    std::string why;
    if (!VideoAvailable(&why))
        GTEST_SKIP() << "no video: " << why;
    const Frames bench = Draw(Presenting::Unpaced, "bench");
    const Frames game = Draw(Presenting::AsTheGame, "game");
    ASSERT_FALSE(game.menu.pixels.empty());
    ASSERT_FALSE(bench.menu.pixels.empty());
    EXPECT_EQ(Differing(bench.menu, game.menu), 0);
    EXPECT_EQ(Differing(bench.play, game.play), 0);
    EXPECT_TRUE(bench.menuHiddenInPlay);
}

} // namespace
