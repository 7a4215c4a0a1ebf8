// The services' own small operations.
#include "game/Services.h"

#include <gtest/gtest.h>

// Stages hold 5, 6, 8, 10 and 12 levels; the treasury serves every stage
// from the fifth on.
TEST(Game, EachLevelShowsTheSceneOfItsStage)
{
    CGameServices game{CountedHandle<CSceneRenderer>()};
    game.backgrounds = MakeCountedHandle(new CBackgroundManager());
    const int levels[][2] = {{1, 1},  {5, 1},  {6, 2},  {11, 2}, {12, 3},
                             {19, 3}, {20, 4}, {29, 4}, {30, 5}, {57, 5}};
    for (const auto& [level, scene] : levels) {
        game.backgrounds->SetScene(CBackgroundManager::kMainMenu);
        EXPECT_TRUE(game.SwitchBackgroundForStage(-1, level));
        EXPECT_EQ(game.backgrounds->CurrentScene(), scene) << level;
    }
    // Moving on within a stage keeps the scene; into the next one switches.
    EXPECT_FALSE(game.SwitchBackgroundForStage(6, 11));
    EXPECT_TRUE(game.SwitchBackgroundForStage(11, 12));
    EXPECT_EQ(game.backgrounds->CurrentScene(), CBackgroundManager::kValley);
    EXPECT_FALSE(game.SwitchBackgroundForStage(45, 56)); // one stage of fifteen
}
