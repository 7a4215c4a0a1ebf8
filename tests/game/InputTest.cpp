// The mouse and the keys: picking and swapping tokens, the tutorial's
// picks, pausing, the commands of the menus by mode and message box, the
// profile choice, and the game's small queries.
#include "GameRig.h"

#include "rays/TokenHighlight.h"

namespace {

struct InPlay : GameRig {
    InPlay()
    {
        EXPECT_TRUE(NewPlayer("Anna"));
        EXPECT_TRUE(PlayFirstLevel());
    }
    const CountedHandle<CToken>& Selected() { return game->board->selectionMarker->Token(); }
};

} // namespace

// A press on a neighbour of the picked token swaps the two; a press two
// cells away picks that token instead.
TEST(BoardInput, APressPicksOrSwapsWithANeighbour)
{
    InPlay game;
    const Vec2 a = game.Cell(3, 3), far = game.Cell(5, 3), next = game.Cell(5, 4);
    game.Click(a.x, a.y);
    ASSERT_TRUE(game.Selected());
    EXPECT_EQ(game.Selected()->column, 3);
    EXPECT_TRUE(game->dragging == false); // the release lets go of the drag
    game.Click(far.x, far.y);
    ASSERT_TRUE(game.Selected());
    EXPECT_EQ(game.Selected()->column, 5);
    EXPECT_EQ(game.Selected()->row, 3);
    game.Click(next.x, next.y);
    EXPECT_FALSE(game.Selected());
    EXPECT_FALSE(game->board->swapsActive.empty());
}

// A token pressed and dragged onto a neighbour swaps with it.
TEST(BoardInput, ADraggedTokenSwapsWithTheNeighbourItIsDraggedTo)
{
    InPlay game;
    const Vec2 a = game.Cell(2, 2), b = game.Cell(2, 3);
    game.Press(a.x, a.y);
    EXPECT_TRUE(game->dragging);
    game.PointAt(b.x, b.y);
    game.Frames(1);
    EXPECT_FALSE(game->dragging);
    EXPECT_FALSE(game->board->swapsActive.empty());
    game.Release(b.x, b.y);
}

// In the lessons only the lesson's token may be picked; picking it moves the
// lesson on and the arrow to the token's target.
TEST(BoardInput, TheLessonsAllowTheirOwnPicksOnly)
{
    InPlay game;
    struct Case {
        int state, subState, column, row;
        bool allowed;
        int newSubState;
    };
    const Case cases[] = {
        {1, 0, 4, 4, true, 1}, {1, 0, 3, 4, false, 0}, {6, 0, 2, 5, true, 1},  {6, 4, 6, 4, true, 5},
        {7, 2, 2, 6, true, 3}, {7, 6, 6, 4, true, 7},  {7, 6, 2, 6, false, 6}, {2, 0, 0, 0, true, 0},
    };
    for (const Case& c : cases) {
        game->board->levelState = c.state;
        game->board->levelSubState = c.subState;
        const CountedHandle<CToken> token = game->board->Cell(c.column, c.row);
        ASSERT_TRUE(token);
        EXPECT_EQ(game->TutorialAllowsPick(token), c.allowed) << c.state << "/" << c.subState;
        if (!c.allowed)
            continue;
        game->AdvanceTutorialPick(token);
        EXPECT_EQ(game->board->levelSubState, c.newSubState) << c.state << "/" << c.subState;
    }
    const Vec2 arrow = game.Cell(5, 4);
    EXPECT_FLOAT_EQ(game->screens->pointerX, arrow.x);
    EXPECT_FLOAT_EQ(game->screens->pointerY, arrow.y + 0.25f * game->board->cellHeight);
    game->gameOptions.capsLockTutorial = 0;
    game->board->levelState = 1;
    game->board->levelSubState = 0;
    EXPECT_TRUE(game->TutorialAllowsPick(game->board->Cell(0, 0)));
}

// Space, Escape and P pause play that is ready for input and resume it; a
// press while paused reaches no token; another game type has no pause.
TEST(BoardInput, PauseKeysPauseAndResume)
{
    InPlay game;
    const CountedHandle<CQoForm>& menu = game->screens->gameMenu.form;
    for (const int key : {27, 32, 80}) {
        game.Key(key);
        game.Frames(30);
        EXPECT_TRUE(GameRig::Shown(menu)) << key;
        EXPECT_TRUE(game->board->locked);
        const Vec2 cell = game.Cell(1, 1);
        game.Click(cell.x, cell.y);
        EXPECT_FALSE(game->board->selectionMarker->Token());
        game.Key(key);
        game.Frames(30);
        EXPECT_FALSE(menu->IsVisible()) << key;
        EXPECT_FALSE(game->board->locked);
    }
    game->gameType = 1;
    game.Key(27);
    game.Frames(30);
    EXPECT_FALSE(menu->IsVisible());
}

// The main menu's commands.
TEST(MenuCommands, TheMainMenuStartsQuestsAndLeaves)
{
    {
        GameRig game;
        ASSERT_TRUE(game.NewPlayer("Anna"));
        EXPECT_EQ(game.ClickId(game->screens->mainMenu.form, Command::Exit), 1);
        game.ClickId(game->screens->mainMenu.form, Command::PlayQuest);
        EXPECT_EQ(game->mode, kModeLevelIntro); // no save, no veteran: a Normal quest at once
        EXPECT_FALSE(game->board->hardMode);
    }
    {
        // A veteran is asked for the Hard mode; Hard starts a Hard quest.
        GameRig game([](const std::string& user) {
            plat::CreateDirectory(user + "Players\\Vera");
            testing_support::WriteText(user + "Players/Vera/Settings.ini", "[Main]\nVeteran=1\n");
        });
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->mainMenu.form); }, 30.0f));
        game.ClickId(game->screens->mainMenu.form, Command::PlayQuest);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->msgBox.form); }, 5.0f));
        EXPECT_EQ(game->screens->AskedQuestion(), Question::TryHardMode);
        game.ClickId(game->screens->msgBox.form, Command::MessageYes);
        EXPECT_EQ(game->mode, kModeLevelIntro);
        EXPECT_TRUE(game->board->hardMode);
    }
    {
        // With a save the continue screen comes, and a new quest is asked for.
        GameRig game([](const std::string& user) {
            plat::CreateDirectory(user + "Players\\Anna");
            CQuestSave save;
            save.level = 7;
            save.resumeKind = 8;
            save.Save(user + "Players\\Anna\\QuestAS1.sav");
        });
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->mainMenu.form); }, 30.0f));
        game.ClickId(game->screens->mainMenu.form, Command::PlayQuest);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->startQuest.form); }, 5.0f));
        game.ClickId(game->screens->startQuest.form, Command::NewQuest);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->msgBox.form); }, 5.0f));
        EXPECT_EQ(game->screens->AskedQuestion(), Question::ReplaceSavedQuest);
        game.ClickId(game->screens->msgBox.form, Command::MessageYes);
        EXPECT_EQ(game->mode, kModeLevelIntro);
        EXPECT_FALSE(plat::FileExists(game.PlayerFolder("Anna") + "QuestAS1.sav"));
    }
}

// The message box's OK and Yes answer by the box's command.
TEST(MenuCommands, TheMessageBoxAnswersByItsCommand)
{
    struct Case {
        Question question;
        int group;
        Command button;
        int subState, phase;
    };
    const Case cases[] = {
        {Question::BonusLevelRules, CGameScreens::kGroupContinue, Command::MessageOk, -7, kPhaseBonusLevel},
        {Question::LevelFailed, CGameScreens::kGroupContinue, Command::MessageOk, 3, kPhaseLevelFailed},
        {Question::GameOver, CGameScreens::kGroupContinue, Command::MessageOk, 3, kPhaseQuestOver},
        {Question::StarsLeft, CGameScreens::kGroupYesNo, Command::MessageYes, 0, kPhaseMapMarch},
    };
    for (const Case& c : cases) {
        InPlay game;
        // Phases that wait for the box, without their screens' work.
        game->phase = c.phase == kPhaseMapMarch ? kPhaseShop : c.phase;
        game->subState = c.phase == kPhaseBonusLevel ? -8 : 1;
        game->board->SetLocked(true);
        game.AskNow(c.question, c.group);
        game.ClickId(game->screens->msgBox.form, c.button);
        EXPECT_EQ(game->phase, c.phase) << static_cast<int>(c.question);
        EXPECT_EQ(game->subState, c.subState) << static_cast<int>(c.question);
    }
}

// The shop's Done waits for the shop to open; "+" without a star says so.
TEST(MenuCommands, TheShopsButtonsWaitForTheShop)
{
    InPlay game;
    game->phase = kPhaseShop;
    game->shop->Show(1, 2.0f, 2);
    game.ShowNow(game->screens->shop.form);
    game.ClickId(game->screens->shop.form, Command::ShopDone);
    EXPECT_EQ(game->phase, kPhaseShop); // not open yet
    game.Frames(40);
    game->shop->stars = 0;
    game.ClickId(game->screens->shop.form, NthOf(Command::ItemPlusFirst, 2));
    EXPECT_EQ(game->screens->AskedQuestion(), Question::NoStarsLeft);
    EXPECT_FALSE(game->screens->shop.form->IsEnabled());
    game.Frames(30);
    game.ClickId(game->screens->msgBox.form, Command::MessageOk);
    game.Frames(30);
    EXPECT_TRUE(game->screens->shop.form->IsEnabled());
    game.ClickId(game->screens->shop.form, Command::ShopDone);
    EXPECT_EQ(game->phase, kPhaseMapMarch);
    EXPECT_EQ(game->questSave->resumeKind, 8);
}

// A hint shows a move and costs its points, even without an extra life.
TEST(MenuCommands, AHintCostsItsPoints)
{
    InPlay game;
    game->board->stats.AddToRunTables(7000, StatScore);
    game.ClickId(game->screens->quest.form, Command::Hint);
    EXPECT_EQ(game->board->stats.tables[1].Get(StatScore), 2000);
    EXPECT_EQ(game->board->trophyCounters[1], -1);
}

// A shuffle bought with a life reshuffles the board and the HUD shows the
// life gone.
TEST(MenuCommands, AShuffleCostsALifeTheHudShows)
{
    InPlay game;
    const int lives = game->lives;
    game.ClickId(game->screens->quest.form, Command::ShuffleFirst);
    EXPECT_EQ(game->lives, lives - 1);
    EXPECT_TRUE(game->lifeLost.active);
    EXPECT_EQ(game->screens->quest.count->MainText()->text, std::to_string(lives - 1));
}

// The chosen profile becomes the player's; no choice (-1) changes nothing.
TEST(MenuCommands, AChosenProfileBecomesCurrentWhenItExists)
{
    GameRig game([](const std::string& user) {
        plat::CreateDirectory(user + "Players\\Anna");
        plat::CreateDirectory(user + "Players\\Bert");
    });
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->screens->mainMenu.form); }, 30.0f));
    ASSERT_TRUE(game->playerName);
    const std::string current = *game->playerName;
    const int other = game->profiles->FindProfile(current == "Anna" ? "Bert" : "Anna");
    // Nothing chosen yet.
    game->screens->profileSelected = -1;
    game.ShowNow(game->screens->profiles.form);
    game.ClickId(game->screens->profiles.form, Command::ProfileOk);
    EXPECT_EQ(*game->playerName, current);
    game->screens->profileSelected = other;
    game.ShowNow(game->screens->profiles.form);
    game.ClickId(game->screens->profiles.form, Command::ProfileOk);
    EXPECT_NE(*game->playerName, current);
    EXPECT_EQ(game->gameOptions.profile, *game->playerName);
}

// The tutorial's swap rule, the blink of the hint button and the scenes of
// the stages.
TEST(GameQueries, TutorialRuleBlinkAndStageScenes)
{
    InPlay game;
    struct Swap {
        int state, subState, column, row;
        bool allowed;
    };
    for (const Swap s :
         {Swap{0, 0, 0, 0, true}, Swap{1, 1, 3, 4, true}, Swap{1, 0, 3, 4, false}, Swap{1, 1, 4, 4, false},
          Swap{6, 1, 1, 5, true}, Swap{6, 5, 5, 4, true}, Swap{6, 5, 1, 5, false}, Swap{7, 3, 1, 6, true},
          Swap{7, 7, 5, 4, true}, Swap{7, 3, 5, 4, false}, Swap{3, 0, 7, 7, true}}) {
        game->board->levelState = s.state;
        game->board->levelSubState = s.subState;
        EXPECT_EQ(game->IsActionAllowedInTutorial(s.column, s.row), s.allowed) << s.state << "/" << s.subState;
    }
    game->board->levelState = 0;
    auto* highlight = static_cast<CQoCheckbox*>(game->screens->quest.hintHighlight.Get());
    for (const auto& [t, checked] : {std::pair{0.49f, false}, {0.01f, true}, {0.5f, false}}) {
        game->AdvanceBlinkA(t);
        EXPECT_EQ(highlight->IsChecked(), checked) << game->blinkTimerA;
    }
    struct Stages {
        int from, to;
        bool switched;
        int scene;
    };
    for (const Stages s :
         {Stages{-1, 3, true, 1}, Stages{4, 5, false, 1}, Stages{5, 6, true, 2}, Stages{41, 42, true, 5}}) {
        EXPECT_EQ(game->SwitchBackgroundForStage(s.from, s.to), s.switched) << s.from;
        EXPECT_EQ(game->backgrounds->CurrentScene(), s.scene) << s.from;
    }
}

// Play is ready for input and idle only on an enabled, unlocked board.
TEST(GameQueries, ReadyAndIdleFollowTheBoard)
{
    InPlay game;
    EXPECT_TRUE(game->IsReadyForInput());
    EXPECT_TRUE(game->IsPlayIdle());
    game->board->SetLocked(true);
    EXPECT_FALSE(game->IsReadyForInput());
    EXPECT_FALSE(game->IsPlayIdle());
    game->board->SetLocked(false);
    game->phase = kPhaseShop;
    EXPECT_FALSE(game->IsReadyForInput());
    game->phase = kPhasePlay;
    game->board->ended = true;
    EXPECT_FALSE(game->IsReadyForInput());
}
