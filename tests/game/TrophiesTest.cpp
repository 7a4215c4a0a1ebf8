// The trophies screen: over a level when play reaches a trophy, and at the
// end of a completed quest with the award's flight, the veteran's mark and
// the quest's saves gone.
#include "GameRig.h"

#include "rays/TokenHighlight.h"
#include "records/QuestSave.h"

namespace {
struct InPlay : GameRig {
    InPlay()
    {
        EXPECT_TRUE(NewPlayer("Anna"));
        EXPECT_TRUE(PlayFirstLevel());
    }
};
} // namespace

// The level steps back, its picked token let go, with the sand box and the
// gems bar; it comes back when the trophy is closed.
TEST(Trophies, AScoreTrophyComesOverThePausedLevelAndGoesAgain)
{
    InPlay game;
    const Vec2 cell = game.Cell(3, 3);
    game.Click(cell.x, cell.y);
    ASSERT_TRUE(game->board->Picked());
    game->stats.AddToRunTables(600000, StatScore);
    game.Frames(1);
    EXPECT_TRUE(game->trophiesOverLevel);
    EXPECT_TRUE(game->board->Status().locked);
    EXPECT_FALSE(game->board->Picked());
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->trophies.form); }, 2.0f));
    EXPECT_FALSE(game->screens->quest.form->IsVisible());
    EXPECT_FALSE(game->board->SandboxShown());
    EXPECT_FALSE(game->gemsBar->IsShown());
    // The award flies in and lands on its medal.
    ASSERT_TRUE(game.RunUntil([&] { return game->trophies->pendingAwards.empty(); }, 5.0f));
    EXPECT_EQ(game->trophies->levels[3], 1);
    EXPECT_TRUE(game->screens->trophies.levels[3].At(0)->IsVisible());
    EXPECT_FALSE(game->screens->trophies.locked[3].At(0)->IsVisible());
    EXPECT_EQ(testing_support::ReadBytes(game.UserFolder() + "Players/Anna/Trophies.dat").size(), 36u);
    game.ClickId(game->screens->trophies.form, Command::TrophiesContinue);
    EXPECT_FALSE(game->trophiesOverLevel);
    EXPECT_FALSE(game->board->Status().locked);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->quest.form); }, 2.0f));
    game.Frames(5);
    EXPECT_FALSE(game->trophiesOverLevel); // the same trophy does not come again
}

// A trophy reached when a bonus level ends stays up until the player closes
// it; then the quest goes on without the board coming back.
TEST(Trophies, ATrophyAtABonusLevelsEndWaitsForThePlayer)
{
    InPlay game;
    game->profile->questTutorial = 0;
    game->StartBonusLevel(2, 1, kAccuracy);
    game->lastGameValue = 0; // the last results' seconds left reach kind 8
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->trophies.form); }, 15.0f));
    game.Seconds(3.0f);
    EXPECT_TRUE(GameRig::Shown(game->screens->trophies.form));
    EXPECT_EQ(game->phase, kPhaseBonusLevel);
    game.ClickId(game->screens->trophies.form, Command::TrophiesContinue);
    EXPECT_EQ(game->phase, kPhaseAfterResults);
    EXPECT_EQ(game->trophies->levels[8], 3);
    game.Seconds(2.5f);
    EXPECT_FALSE(game->board->IsShown());
    EXPECT_FALSE(game->trophiesOverLevel);
}

TEST(Trophies, ACompletedQuestEndsWithTheTrophiesAndTheHardModeOpen)
{
    InPlay game;
    CQuestSave running;
    running.resumeKind = 8; // a quest waiting in the shop
    ASSERT_EQ(running.Save(QuestSavePath(game.PlayerFolder("Anna"))), 1);
    game->level = 41;
    game->EnterGameComplete();
    ASSERT_TRUE(game.RunUntil([&] { return game->subState == 3; }, 2.0f));
    EXPECT_TRUE(game->screens->win.form->IsVisible());
    game.Key(32);
    EXPECT_EQ(game->subState, 10);
    ASSERT_FALSE(game->trophies->pendingAwards.empty());
    EXPECT_EQ(game->trophies->pendingAwards.front().first, 0);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->trophies.form); }, 2.0f));
    game.ClickId(game->screens->trophies.form, Command::TrophiesClose);
    EXPECT_EQ(game->trophies->levels[0], 1); // Normal completed
    EXPECT_EQ(game->profile->veteran, 1);
    EXPECT_FALSE(plat::FileExists(QuestSavePath(game.PlayerFolder("Anna"))));
    ASSERT_TRUE(game.RunUntil([&] { return game->mode == kModeMenus; }, 3.0f));
    EXPECT_EQ(game->screens->AskedQuestion(), Question::HardModeUnlocked);
    EXPECT_TRUE(game->screens->msgBox.form->IsVisible());
}
