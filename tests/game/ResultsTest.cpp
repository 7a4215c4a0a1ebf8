// A won level's way on: the results and their tally, the best lists, the
// story screen, the shop and its checkpoint, the map's march; and a lost
// level's way back through its checkpoint to the shop.
#include "GameRig.h"

#include "records/BestList.h"
#include "records/QuestSave.h"

namespace {

struct InPlay : GameRig {
    InPlay()
    {
        EXPECT_TRUE(NewPlayer("Anna"));
        EXPECT_TRUE(PlayFirstLevel());
    }
    int32_t QuestScore() { return game->quest.stats.tables[1].Get(StatScore); }
    // The gem goal is met: the level ends and its results come.
    bool WinLevel()
    {
        game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
        return RunUntil([&] { return game->flow.IsIn<CLevelResults>(); }, 10.0f);
    }
    bool Shows(int key)
    {
        return game->services.screens->statistics.values[static_cast<size_t>(key)]->IsVisible();
    }
};

} // namespace

// The time left becomes points in both tables; the tally reveals its rows
// and ends with the continue button. The best lists take the better values.
TEST(LevelResults, TheTimeLeftBecomesPointsAndTheRowsComeOneByOne)
{
    InPlay game;
    game->quest.stats.AddToRunTables(300, StatScore);
    game->services.board->SetLocked(true);
    game->quest.timeLeft = 100.7f;
    game->services.board->SetLocked(false);
    ASSERT_TRUE(game.WinLevel());
    const int32_t secondsLeft = static_cast<int32_t>(game->quest.timeLeft);
    EXPECT_EQ(game->quest.results.timeBonus, secondsLeft * 50);
    EXPECT_EQ(game->quest.results.levelScore, 300);
    EXPECT_EQ(game.QuestScore(), 300 + secondsLeft * 50);
    EXPECT_EQ(game->quest.stats.tables[2].Get(StatScore), 300 + secondsLeft * 50);
    EXPECT_EQ(game->quest.lastGameValue, secondsLeft);
    // The defaults of level 1 are beaten: 15 s and 20000 points are not,
    // so only the time is a new best.
    EXPECT_TRUE(game->quest.results.newBestTime);
    EXPECT_FALSE(game->quest.results.newBestScore);
    EXPECT_TRUE(plat::FileExists(game.UserFolder() + "Data\\GameData\\Ti.bst"));
    EXPECT_FALSE(plat::FileExists(game.UserFolder() + "Data\\GameData\\Sc.bst"));
    EXPECT_FALSE(game.Shows(13));
    EXPECT_FALSE(game.Shows(4));
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kTallying); }, 3.0f));
    EXPECT_TRUE(game.Shows(4));
    game.Seconds(1.25f);
    const int32_t halfway = std::stoi(game->services.screens->quest.score->MainText()->text);
    EXPECT_GT(halfway, 300);
    EXPECT_LT(halfway, 300 + secondsLeft * 50);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 10.0f));
    EXPECT_TRUE(game.Shows(13));
    EXPECT_TRUE(game.Shows(7));
    EXPECT_FALSE(game.Shows(8));
}

// A press during the tally gives the final values at once and ends the
// results as the tally would: the continue button shows.
TEST(LevelResults, APressFinishesTheTallyAtOnce)
{
    InPlay game;
    game->services.board->SetLocked(true);
    game->quest.timeLeft = 60.0f;
    game->services.board->SetLocked(false);
    ASSERT_TRUE(game.WinLevel());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kTallying); }, 3.0f));
    game.Seconds(0.5f);
    game.Click(-500.0f, -300.0f);
    EXPECT_TRUE(game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown));
    game.Frames(1);
    EXPECT_EQ(game->services.screens->quest.score->MainText()->text, std::to_string(game.QuestScore()));
    EXPECT_EQ(game->services.screens->statistics.values[4]->MainText()->text,
              std::to_string(game->quest.results.timeBonus));
    EXPECT_TRUE(game.Shows(13));
}

// With no time left the tally skips the counting.
TEST(LevelResults, NoTimeLeftSkipsTheTimeBonus)
{
    InPlay game;
    game->services.board->SetLocked(true);
    game->quest.timeLeft = 0.0f;
    game->services.board->SetLocked(false);
    ASSERT_TRUE(game.WinLevel());
    bool counted = false;
    ASSERT_TRUE(game.RunUntil(
        [&] {
            counted = counted || game->flow.IsAt<CLevelResults>(CLevelResults::kTallying);
            return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown);
        },
        10.0f));
    EXPECT_FALSE(counted);
    EXPECT_EQ(game->quest.results.timeBonus, 0);
}

// After the results: the story screen, the shop, whose opening writes the
// checkpoint (the first becomes the second), the map's march and the next
// level.
TEST(WonLevel, TheShopsOpeningWritesTheCheckpointAndTheMapLeadsOn)
{
    InPlay game;
    const std::string folder = game.PlayerFolder("Anna");
    testing_support::WriteText(game.UserFolder() + "Players/Anna/QuestAS1.sav", "older checkpoint");
    ASSERT_TRUE(game.WinLevel());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 10.0f));
    game.ClickId(game->services.screens->statistics.form, Command::ResultsContinue);
    EXPECT_TRUE(game->flow.IsIn<CBetweenLevels>());
    ASSERT_TRUE(
        game.RunUntil([&] { return game->flow.IsAt<CBetweenLevels>(CBetweenLevels::kStageProgress); }, 5.0f));
    game.Key(32);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CShopVisit>(); }, 5.0f));
    EXPECT_TRUE(game->quest.levelWon);
    ASSERT_TRUE(game.RunUntil([&] { return !game->quest.levelWon; }, 5.0f));
    const auto quest = testing_support::ReadBytes(game.UserFolder() + "Players/Anna/Quest.sav");
    EXPECT_EQ(quest.size(), 312u);
    EXPECT_EQ(quest, testing_support::ReadBytes(game.UserFolder() + "Players/Anna/QuestAS1.sav"));
    EXPECT_EQ(testing_support::ReadText(game.UserFolder() + "Players/Anna/QuestAS2.sav"), "older checkpoint");
    CQuestSave saved;
    ASSERT_EQ(saved.Load(QuestSavePath(folder)), 1);
    EXPECT_EQ(saved.resumeKind, CQuestSave::kResumeInShop);
    EXPECT_EQ(saved.level, 1);
    EXPECT_EQ(saved.stars, 1);
    EXPECT_EQ(game->quest.level, 1); // the won level stays until the map's Play

    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->shop.form); }, 5.0f));
    // The won star goes to the gems item (open from level 2); "Done" while it
    // flies: it lands at once, and the save holds the bought level.
    CShop& shop = *game->services.shop;
    ASSERT_TRUE(game.RunUntil([&] { return shop.OpenFraction() >= 1.0f; }, 5.0f));
    game.ClickId(game->services.screens->shop.form, NthOf(Command::ItemPlusFirst, CShopItemTable::kGemsItem));
    ASSERT_EQ(shop.Stars().size(), 1u);
    EXPECT_EQ(shop.Stars()[0]->GetKind(), CShopStar::kToItem);
    game.ClickId(game->services.screens->shop.form, Command::ShopDone);
    EXPECT_TRUE(game->flow.IsIn<CMapMarch>());
    EXPECT_EQ(shop.FadeDirection(), -1);
    EXPECT_EQ(shop.LevelNumber(), 2);
    EXPECT_EQ(shop.items.levels[CShopItemTable::kGemsItem], 1);
    EXPECT_EQ(shop.items.goldenStars, 0);
    const CQuestSave& stored = *game->services.questSave;
    EXPECT_EQ(stored.itemLevels[CShopItemTable::kGemsItem], 1);
    EXPECT_EQ(stored.stars, 0);
    EXPECT_EQ(stored.itemLevels[CShopItemTable::kTimeItem], 0);
    EXPECT_EQ(stored.itemLevels[0], -1); // the violet totem is not offered yet
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->map.form); }, 5.0f));
    const Vec3 start = game->services.screens->map.flag->Position();
    game.Seconds(0.5f);
    const Vec3 halfway = game->services.screens->map.flag->Position();
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CMapMarch>(CMapMarch::kOnTheMap); }, 5.0f));
    const Vec3 end = game->services.screens->map.flag->Position();
    EXPECT_NE(start.x, end.x);
    EXPECT_GT(halfway.y, std::min(start.y, end.y)); // the flag hops on its way
    game.ClickId(game->services.screens->map.form, Command::MapPlay);
    EXPECT_EQ(game->quest.level, 2);
    EXPECT_TRUE(game->flow.IsIn<CLevelStart>());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsFull(); }, 10.0f));
}

// A lost level's box leads back to the checkpoint's shop a frame after the
// level came back.
TEST(LostLevel, TheBoxLeadsBackToTheShop)
{
    InPlay game;
    CQuestSave save;
    save.level = 3;
    save.lives = 2;
    save.resumeKind = CQuestSave::kResumeInShop;
    save.stars = 4;
    ASSERT_EQ(save.Save(FirstCheckpointPath(game.PlayerFolder("Anna"))), 1);
    ASSERT_TRUE(game->flow.LoadQuestCheckpoint(false));
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->msgBox.form); }, 5.0f));
    EXPECT_EQ(game->services.screens->AskedQuestion(), Question::LevelFailed);
    game.ClickId(game->services.screens->msgBox.form, Command::MessageOk);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CShopVisit>(); }, 5.0f));
    EXPECT_EQ(game->quest.level, 3);
    EXPECT_EQ(game->services.shop->items.goldenStars, 4);
    EXPECT_EQ(game->services.shop->LevelNumber(), 4);
    // The reloaded level brought the quest's panel pictures back; the shop
    // has its own again, as after a won level.
    const CountedHandle<CRenderDevice>& device = game->services.device;
    EXPECT_TRUE(device->FindTexture("ShopFrame")->texture);
    EXPECT_FALSE(device->FindTexture("PanelQuest")->texture);
}

// After the last level of stage 5 the map does not march, and no level
// follows: the quest is complete.
TEST(WonLevel, NoMarchOrLevelPastTheLastOne)
{
    InPlay game;
    game->quest.level = 41;
    game->flow.Enter(game->flow.shopVisit);
    game.ShowNow(game->services.screens->shop.form);
    game->flow.shopVisit.Close();
    game.ShowNow(game->services.screens->map.form);
    game.Frames(2);
    EXPECT_TRUE(game->flow.IsAt<CMapMarch>(CMapMarch::kOnTheMap));
    game.ClickId(game->services.screens->map.form, Command::MapPlay);
    EXPECT_TRUE(game->flow.IsIn<CQuestComplete>());
    EXPECT_EQ(game->quest.level, 41);
}

// A quest kept in the last level's shop (which the game itself never
// writes) goes to the quest's end when it is continued; closing the game
// there leaves a save the game can still read.
TEST(WonLevel, AQuestKeptInTheLastLevelsShopIsComplete)
{
    GameRig game([](const std::string& user) {
        plat::CreateDirectory(user + "Players\\Anna");
        CQuestSave save;
        save.level = CQuestSave::kLastLevel;
        save.resumeKind = CQuestSave::kResumeInShop;
        save.Save(user + "Players\\Anna\\Quest.sav");
    });
    CGameScreens& screens = *game->services.screens;
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.mainMenu.form); }, 30.0f));
    game.ClickId(screens.mainMenu.form, Command::PlayQuest);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.startQuest.form); }, 5.0f));
    game.ClickId(screens.startQuest.form, Command::ContinueQuest);
    EXPECT_TRUE(game->flow.IsIn<CQuestComplete>());
    EXPECT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.win.form); }, 5.0f));
    EXPECT_EQ(game->quest.level, CQuestSave::kLastLevel);
    const std::string path = game.PlayerFolder("Anna") + "Quest.sav";
    game.EndGame();
    CQuestSave kept;
    ASSERT_EQ(kept.Load(path), 1);
    EXPECT_EQ(kept.level, CQuestSave::kLastLevel);
}

// After level 5 the Accuracy challenge runs as a bonus level: its rules,
// its form, its end (no star caught: it is lost); the quest goes on to the
// second stage's newspaper and the shop.
TEST(BonusLevel, ABonusLevelShowsItsRulesFailsAndTheQuestGoesOn)
{
    InPlay game;
    game->quest.level = 5;
    ASSERT_TRUE(game.WinLevel());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 10.0f));
    game->quest.profile->questTutorial = 1; // the rules come with the tutorial
    game.ClickId(game->services.screens->statistics.form, Command::ResultsContinue);
    EXPECT_TRUE(game->flow.IsIn<CBonusLevel>());
    EXPECT_EQ(game->flow.bonusLevel.Challenge().kind, kAccuracy);
    EXPECT_TRUE(game->services.board->Status().challengePlay);
    EXPECT_FLOAT_EQ(game->quest.timeLeft, 40.0f);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->msgBox.form); }, 5.0f));
    EXPECT_EQ(game->services.screens->AskedQuestion(), Question::BonusLevelRules);
    EXPECT_TRUE(game->services.screens->arcade.form->IsVisible());
    game.ClickId(game->services.screens->msgBox.form, Command::MessageOk);
    // Nobody catches a star: the level is lost when its 40 s are up.
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CBonusLevel>(CBonusLevel::kFailed); }, 45.0f));
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CBetweenLevels>(); }, 5.0f));
    EXPECT_EQ(game->flow.bonusLevel.Challenge().kind, kOrdinaryLevel);
    EXPECT_FALSE(game->flow.bonusLevel.Challenge().accuracy);
    EXPECT_FALSE(game->services.board->Status().challengePlay);
    EXPECT_EQ(game->quest.trophyCounters[2], 0);
    ASSERT_TRUE(
        game.RunUntil([&] { return game->flow.IsAt<CBetweenLevels>(CBetweenLevels::kStageProgress); }, 5.0f));
    // Level 6 opens stage 2: its newspaper comes before the shop.
    game.Key(32);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CBetweenLevels>(CBetweenLevels::kNewspaper); }, 5.0f));
    EXPECT_TRUE(game->services.screens->newspaper.form->IsVisible());
    game.Key(32);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CShopVisit>(); }, 5.0f));
}
