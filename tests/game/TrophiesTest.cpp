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
    ASSERT_TRUE(game->services.board->Picked());
    game->quest.stats.AddToRunTables(600000, StatScore);
    game.Frames(1);
    EXPECT_TRUE(game->flow.trophies.OverLevel());
    EXPECT_TRUE(game->services.board->Status().locked);
    EXPECT_FALSE(game->services.board->Picked());
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->trophies.form); }, 2.0f));
    EXPECT_FALSE(game->services.screens->quest.form->IsVisible());
    EXPECT_FALSE(game->services.board->SandboxShown());
    EXPECT_FALSE(game->services.gemsBar->IsShown());
    // The award flies in and lands on its medal.
    ASSERT_TRUE(game.RunUntil([&] { return game->services.trophies->pendingAwards.empty(); }, 5.0f));
    EXPECT_EQ(game->services.trophies->levels[3], 1);
    EXPECT_TRUE(game->services.screens->trophies.levels[3].At(0)->IsVisible());
    EXPECT_FALSE(game->services.screens->trophies.locked[3].At(0)->IsVisible());
    EXPECT_EQ(testing_support::ReadBytes(game.UserFolder() + "Players/Anna/Trophies.dat").size(), 36u);
    game.ClickId(game->services.screens->trophies.form, Command::TrophiesContinue);
    EXPECT_FALSE(game->flow.trophies.OverLevel());
    EXPECT_FALSE(game->services.board->Status().locked);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->quest.form); }, 2.0f));
    game.Frames(5);
    EXPECT_FALSE(game->flow.trophies.OverLevel()); // the same trophy does not come again
}

// A trophy reached at a level's results comes over them; once it is closed
// the level stays won once: its board, cleared and unlocked again, does not
// finish the level a second time (no second caption, no second Golden Star).
TEST(Trophies, ATrophyOverTheResultsLeavesTheLevelWonOnce)
{
    InPlay game;
    game->quest.timeLeft = 5.0f; // few seconds left: trophy kind 8
    game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f));
    ASSERT_TRUE(game->flow.trophies.OverLevel());
    ASSERT_TRUE(game.RunUntil([&] { return game->services.trophies->pendingAwards.empty(); }, 10.0f));
    game.ClickId(game->services.screens->trophies.form, Command::TrophiesContinue);
    game.Seconds(3.0f);
    EXPECT_TRUE(game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown)) << game->flow.StateName();
    EXPECT_EQ(game->quest.levelsWon, 1);
    EXPECT_EQ(game->services.shop->items.goldenStars, 1);
    EXPECT_FALSE(game->services.screens->newLevel.form->IsVisible());
}

// A trophy reached when a bonus level ends stays up until the player closes
// it; then the quest goes on without the board coming back.
TEST(Trophies, ATrophyAtABonusLevelsEndWaitsForThePlayer)
{
    InPlay game;
    game->quest.profile->questTutorial = 0;
    game->flow.bonusLevel.Start(2, 1, kAccuracy);
    game->quest.lastGameValue = 0; // the last results' seconds left reach kind 8
    // Nobody catches a star: the level ends when its 40 s are up.
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->trophies.form); }, 60.0f));
    game.Seconds(3.0f);
    EXPECT_TRUE(GameRig::Shown(game->services.screens->trophies.form));
    EXPECT_TRUE(game->flow.IsIn<CBonusLevel>());
    game.ClickId(game->services.screens->trophies.form, Command::TrophiesContinue);
    EXPECT_TRUE(game->flow.IsIn<CBetweenLevels>());
    EXPECT_EQ(game->services.trophies->levels[8], 3);
    game.Seconds(2.5f);
    EXPECT_FALSE(game->services.board->IsShown());
    EXPECT_FALSE(game->flow.trophies.OverLevel());
}

TEST(Trophies, ACompletedQuestEndsWithTheTrophiesAndTheHardModeOpen)
{
    InPlay game;
    CQuestSave running;
    running.resumeKind = CQuestSave::kResumeInShop; // a quest waiting in the shop
    ASSERT_EQ(running.Save(QuestSavePath(game.PlayerFolder("Anna"))), 1);
    game->quest.level = 41;
    game->flow.CompleteQuest();
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CQuestComplete>(CQuestComplete::kWinners); }, 2.0f));
    EXPECT_TRUE(game->services.screens->win.form->IsVisible());
    game.Key(32);
    EXPECT_TRUE(game->flow.IsAt<CQuestComplete>(CQuestComplete::kTrophies));
    ASSERT_FALSE(game->services.trophies->pendingAwards.empty());
    EXPECT_EQ(game->services.trophies->pendingAwards.front().first, 0);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->trophies.form); }, 2.0f));
    game.ClickId(game->services.screens->trophies.form, Command::TrophiesClose);
    EXPECT_EQ(game->services.trophies->levels[0], 1); // Normal completed
    EXPECT_EQ(game->quest.profile->veteran, 1);
    EXPECT_FALSE(plat::FileExists(QuestSavePath(game.PlayerFolder("Anna"))));
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CMenus>(); }, 3.0f));
    EXPECT_EQ(game->services.screens->AskedQuestion(), Question::HardModeUnlocked);
    EXPECT_TRUE(game->services.screens->msgBox.form->IsVisible());
}
