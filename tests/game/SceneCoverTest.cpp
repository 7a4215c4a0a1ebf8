// The stage's scene is drawn only where the quest screen leaves it in view,
// and looks the same: the frame of level 3 in play drawn cut and drawn
// whole differ nowhere by more than a trace of the museum's faint layers
// through the board's backdrop. At the main menu the scene draws whole.
// The frames are written to the PNG named by GALVORINE_DRAWING_PNG
// ("-cut", "-whole") when that is set.
#include "GlGame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace gl_game;

TEST(SceneCover, InPlayTheSceneIsCutWithoutChangingTheLook)
{
    std::string why;
    if (!VideoAvailable(&why))
        GTEST_SKIP() << "no video: " << why;
    testing_support::ScratchDir user;
    MakeBenchPlayer(user.Path());
    plat::SeedRandom(3);
    GlGame game(Size{640, 480}, user.Path(), Presenting::AsTheGame);
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(ToTheMenu(game));
    game.Frame();
    EXPECT_FALSE(game.renderer->ViewOfScene().cut);

    Player player(game);
    ASSERT_TRUE(ToLevelInPlay(game, 3, player, 1.0f));
    const SceneCover& cover = game.renderer->sceneCover;
    ASSERT_EQ(cover.opaque.size(), 1u);      // the HUD's panel
    ASSERT_EQ(cover.translucent.size(), 1u); // the board
    // The panel stands left of the board, the board's rails on the screen.
    EXPECT_LE(cover.opaque[0].right, cover.translucent[0].left);
    EXPECT_GT(cover.translucent[0].right, 500.0f);

    // The same state drawn again, cut and then whole.
    std::vector<uint32_t> cut, whole;
    int width = 0, height = 0;
    game->Frame(0.0f, 1, 0);
    ASSERT_TRUE(game.Grab(&cut, &width, &height, DrawingPng("cut")));
    game.renderer->sceneCover = SceneCover{};
    game->Frame(0.0f, 1, 0);
    ASSERT_TRUE(game.Grab(&whole, &width, &height, DrawingPng("whole")));
    ASSERT_EQ(cut.size(), whole.size());
    int differing = 0, largest = 0;
    for (size_t i = 0; i < cut.size(); ++i) {
        int most = 0;
        for (int shift : {16, 8, 0})
            most = std::max(most, std::abs(static_cast<int>((cut[i] >> shift) & 0xFF) -
                                           static_cast<int>((whole[i] >> shift) & 0xFF)));
        differing += most > 0 ? 1 : 0;
        largest = std::max(largest, most);
    }
    // The faint layers leave a trace through the board's backdrop, nothing
    // more; under the panel nothing at all.
    EXPECT_GT(differing, 0);
    EXPECT_LE(largest, 16);
}

} // namespace
