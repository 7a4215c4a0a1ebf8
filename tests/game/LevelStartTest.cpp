// Levels started by the game on the real board and screens (null device):
// a level of a running game, a quest level started or resumed from the
// save, the tutorial's steps, and the three lessons played through the
// game's and the board's operations as the input would call them.
#include "board/BoardRig.h"
#include "game/Game.h"
#include "screens/ScreensTestSupport.h"

#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>

using board_rig::BoardRig;

namespace {

// A game with the board, the screens and one player, "Tester", whose
// settings live in the test's own players folder.
struct GameRig {
    GameRig()
    {
        EXPECT_TRUE(screensRig.Load());
        game.screens = screensRig.screens;
        game.board = boardRig.board;
        game.capsRenderer = boardRig.caps;
        game.shop = MakeCountedHandle(new CShop(game.screens, game.board, {}, {}, {}, {}, {}));
        game.profiles = MakeCountedHandle(new CProfiles(game.paths.folders[CDataPaths::Players]));
        game.profiles->CreateProfile("Tester");
        game.playerName = MakeCountedHandle(new std::string("Tester"));
        boardRig.board->profile = game.CurrentProfile();
    }
    CProfile& Player() { return *game.CurrentProfile(); }
    CGameBoard& Board() { return *boardRig.board; }

    // Frames until the board rests full, answering every level state the
    // board sets with the game's prompt, as the game's flow does.
    void Play(float seconds = 10.0f)
    {
        for (float t = 0; t < seconds; t += 1.0f / 60.0f) {
            boardRig.Frame();
            CGameBoard& b = Board();
            for (size_t i = 0; i < b.events.Size(); ++i) {
                const BoardEvent e = b.events.At(i);
                if (e.kind == kEventLevelState) {
                    b.events.Clear();
                    game.ShowTutorialStep(static_cast<int>(e.arg), e.value);
                    break;
                }
            }
            b.events.Clear();
            if (b.IsIdle(true) && t > 1.0f)
                return;
        }
    }
    // A lesson's pick and swap as the input makes them: the pick moves the
    // lesson on, and the tutorial lets the swap through or not.
    bool PickAndSwap(int fromColumn, int fromRow, int toColumn, int toRow)
    {
        CGameBoard& b = Board();
        ++b.levelSubState;
        if (!game.StepTutorial(toColumn, toRow))
            return false;
        b.Swap(fromColumn, fromRow, toColumn, toRow, false);
        return true;
    }

    LogCapture log; // first: the game's players folder lies in it
    ScreensRig screensRig;
    BoardRig boardRig;
    CGame game{CountedHandle<CSceneRenderer>()};
};

TEST(LevelStart, ALevelOfTheQuestTakesItsFilesGoalOrFiveGemsALevel)
{
    GameRig rig;
    rig.Player().questTutorial = 0;
    rig.game.StartLevel(1);
    CGameBoard& b = rig.Board();
    EXPECT_EQ(b.gemsToCollect, 5); // the file's goal
    EXPECT_EQ(b.gemsBar->goal, 5);
    EXPECT_EQ(b.firstFill, 1);
    EXPECT_FALSE(b.enabled);
    EXPECT_EQ(rig.game.challengeMode, 100);
    EXPECT_FLOAT_EQ(rig.game.timeLeft, 240.0f);
    EXPECT_FLOAT_EQ(rig.game.nextTimeWarning, 30.0f);
    EXPECT_EQ(rig.game.lives, 2); // the balance limits the lives
    EXPECT_EQ(rig.game.shop->items.balanceApplied, 1);

    rig.game.StartLevel(47); // no file: five gems a level
    EXPECT_EQ(b.gemsToCollect, 235);
    EXPECT_EQ(b.gemsBar->goal, 235);
    EXPECT_EQ(b.levelNumber, 47);
}

TEST(LevelStart, ATotemOwnedStartsTheTotemLessonOnItsOwnBoard)
{
    GameRig rig;
    CGameBoard& b = rig.Board();
    rig.game.StartLevel(6);
    EXPECT_EQ(b.levelState, 0); // no totem owned yet
    b.totems.levels[3] = 1;
    rig.game.StartLevel(6);
    EXPECT_EQ(b.levelState, 7);
    EXPECT_EQ(b.levelSubState, 0);
    EXPECT_EQ(b.colours.size(), 7u);
    EXPECT_EQ(b.levelData->path, "Data\\Lvl\\Totem.lvl");
    EXPECT_EQ(b.events.Size(), 0u); // the state is no news to the game
}

// A save of level 42 (no file: a goal of 210) in the middle of play.
CQuestSave& SaveAt(CGame& game, int32_t gemsLeft, int32_t resumeKind)
{
    CQuestSave& save = *game.questSave;
    save.level = 42;
    save.resumeKind = resumeKind;
    save.gemsLeft = gemsLeft;
    save.gemGoal = 7;
    save.lives = 3;
    save.timeLeft = 77.0f;
    save.nextTimeWarning = 60.0f;
    save.sandRateSteps = 2;
    save.extraLifeSteps = 4;
    save.trophyCounter5 = 9;
    save.stars = 6;
    save.itemLevels[3] = 2;
    return save;
}

TEST(LevelStart, AResumedLevelShowsTheGemsCollectedSoFar)
{
    struct Case {
        int32_t gemsLeft;
        int collected;
    };
    // 23 collected of 210; a save that claims more than the goal or fewer
    // than none shows what the goal allows.
    const Case cases[] = {{187, 23}, {-5, 210}, {500, 0}, {210, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gemsLeft);
        GameRig rig;
        SaveAt(rig.game, c.gemsLeft, 1);
        rig.game.ResumeQuestLevel();
        CGameBoard& b = rig.Board();
        EXPECT_EQ(b.gemsBar->goal, 210);
        EXPECT_EQ(b.gemsBar->Collected(), c.collected);
        EXPECT_EQ(b.gemsToCollect, c.gemsLeft);
        EXPECT_EQ(b.gemsToPlace, 7);
    }
}

TEST(LevelStart, AQuestLevelTakesTheSavesValuesAndHowToFillTheBoard)
{
    GameRig rig;
    CQuestSave& save = SaveAt(rig.game, 100, 1);
    save.difficulty = 1;
    rig.game.StartQuestLevel();
    CGameBoard& b = rig.Board();
    CGame& game = rig.game;
    EXPECT_EQ(game.level, 42);
    EXPECT_EQ(game.lives, 2); // the balance's limit is lower
    EXPECT_FLOAT_EQ(game.timeLeft, 77.0f);
    EXPECT_FLOAT_EQ(game.nextTimeWarning, 60.0f);
    EXPECT_EQ(game.phase, 1);
    EXPECT_EQ(game.phaseEntry, 4);
    EXPECT_TRUE(b.hardMode);
    EXPECT_EQ(b.savedCounter, 4);
    EXPECT_EQ(b.trophyCounters[1], 9);
    EXPECT_EQ(b.questSave, game.questSave);
    EXPECT_EQ(b.firstFill, 3); // the saved board
    EXPECT_EQ(b.fillFlag2, 1);
    EXPECT_EQ(game.shop->stars, 6);
    EXPECT_EQ(game.shop->items.levels[3], 2);
    EXPECT_EQ(game.shop->items.limitLevel, 42);
    // Hard mode drains the sand at half the rate.
    EXPECT_DOUBLE_EQ(b.sandbox->Heightfield()->drainRate, BalanceDecay(2) * 0.5f);

    save.resumeKind = 8; // won and waiting in the shop: a new board
    save.difficulty = 0;
    game.StartQuestLevel();
    EXPECT_EQ(b.firstFill, 1);
    EXPECT_EQ(b.fillFlag2, 0);
    EXPECT_EQ(game.phaseEntry, 12);
    EXPECT_EQ(game.shop->items.limitLevel, 43);
    EXPECT_DOUBLE_EQ(b.sandbox->Heightfield()->drainRate, BalanceDecay(2));

    save.resumeKind = 1;
    game.ResumeQuestLevel();
    EXPECT_EQ(b.firstFill, 1);
    EXPECT_EQ(game.subState, 5);
}

TEST(LevelStart, StepTutorialLetsTheLessonsMovesThroughAndEndsAnyOther)
{
    struct Case {
        int state, subState, column, row;
        int result, stateAfter, subStateAfter;
    };
    const Case cases[] = {
        {1, 1, 3, 4, 1, 1, 2},                                               // Base: the lesson's swap
        {1, 1, 2, 4, 1, 0, 1}, {1, 5, 0, 0, 1, 0, 6},                        // another cell, or past 5: over
        {6, 1, 1, 5, 1, 6, 2}, {6, 1, 0, 5, 1, 0, 1},                        // Bonus, first swap
        {6, 3, 5, 4, 1, 6, 4}, {6, 3, 6, 4, 1, 0, 3},                        // Bonus, second swap
        {7, 3, 1, 6, 1, 7, 4}, {7, 3, 2, 6, 0, 0, 3},                        // Totem: a wrong cell is refused
        {7, 7, 5, 4, 1, 7, 8}, {7, 7, 4, 4, 0, 0, 7}, {7, 8, 3, 3, 0, 0, 9}, // and the end of it
        {3, 0, 2, 2, 1, 0, 0},                                               // any other state: closed
    };
    GameRig rig;
    CGameBoard& b = rig.Board();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state << "/" << c.subState << " at " << c.column << "," << c.row);
        b.levelState = c.state;
        b.levelSubState = c.subState;
        EXPECT_EQ(rig.game.StepTutorial(c.column, c.row), c.result);
        EXPECT_EQ(b.levelState, c.stateAfter);
        if (c.stateAfter != 0) {
            EXPECT_EQ(b.levelSubState, c.subStateAfter);
        }
    }
}

TEST(LevelStart, PromptsShowTheirTextAndTheShopLessonIsWrittenDown)
{
    GameRig rig;
    CGameBoard& b = rig.Board();
    rig.game.StartLevel(1);
    b.SetLevelState(1, 0);
    rig.game.ShowTutorialStep(1, 0);
    std::string shown = rig.game.screens->tutorial.panelText->MainText()->text;
    std::replace(shown.begin(), shown.end(), CText::kSoftBreak, ' ');
    EXPECT_EQ(shown, GetString(35));
    EXPECT_EQ(b.levelState, 1);

    b.SetLevelState(2, 0); // no gem on the board yet: nothing to show
    rig.game.ShowTutorialStep(2, 0);
    EXPECT_EQ(b.levelState, 0);
    EXPECT_EQ(rig.Player().tutGem, 1);

    rig.game.ShowTutorialStep(10, 0);
    EXPECT_EQ(rig.Player().tutShop, 1);
    EXPECT_NE(testing_support::ReadText(rig.game.paths.folders[CDataPaths::Players] + "Tester\\Settings.ini")
                  .find("Shop=1"),
              std::string::npos);
}

TEST(LevelStart, WithoutAPlayerThereIsNoTutorial)
{
    GameRig rig;
    rig.game.playerName.Reset();
    rig.Board().profile.Reset();
    rig.Board().totems.levels[0] = 1;
    rig.game.StartLevel(6);
    EXPECT_EQ(rig.Board().levelState, 0); // no totem lesson
    rig.game.ShowTutorialStep(10, 0);
    EXPECT_EQ(testing_support::ReadText(rig.game.paths.folders[CDataPaths::Players] + "Tester\\Settings.ini")
                  .find("Shop=1"),
              std::string::npos);
}

// A lesson's swap made its row when the token that stood in the row is gone.
TEST(Lessons, BaseLessonSwapsTheFourthTokenIntoARowOfThree)
{
    plat::SeedRandom(21);
    GameRig rig;
    CGameBoard& b = rig.Board();
    rig.game.StartLevel(1);
    b.enabled = true;
    rig.Play();
    ASSERT_EQ(b.levelState, 1);
    ASSERT_EQ(b.levelSubState, 0);
    const CountedHandle<CToken> left = b.Cell(1, 4);
    ASSERT_TRUE(rig.PickAndSwap(4, 4, 3, 4));
    rig.Play();
    EXPECT_NE(b.Cell(1, 4), left); // the row was struck
    EXPECT_EQ(rig.Player().tutBase, 1);
}

TEST(Lessons, BonusLessonMakesARowOfFourThenARowThroughTheMiddle)
{
    plat::SeedRandom(5);
    GameRig rig;
    CGameBoard& b = rig.Board();
    rig.Player().tutBase = rig.Player().tutGem = 1;
    rig.game.StartLevel(2);
    b.enabled = true;
    rig.Play();
    ASSERT_EQ(b.levelState, 6);
    ASSERT_EQ(b.levelSubState, 0);
    ASSERT_TRUE(rig.PickAndSwap(2, 5, 1, 5));
    rig.Play();
    EXPECT_GE(b.stats.tables[1].Get(StatLargestMatch), 4); // a row of four
    ASSERT_EQ(b.levelState, 6);
    ASSERT_EQ(b.levelSubState, 4); // the second prompt
    const CountedHandle<CToken> middle = b.Cell(4, 4);
    ASSERT_TRUE(rig.PickAndSwap(6, 4, 5, 4));
    rig.Play();
    EXPECT_NE(b.Cell(4, 4), middle);
    EXPECT_EQ(rig.Player().tutBonus, 1);
}

TEST(Lessons, TotemLessonMakesTwoRowsOfTheTotemsColour)
{
    plat::SeedRandom(8);
    GameRig rig;
    CGameBoard& b = rig.Board();
    b.totems.levels[5] = 1;
    rig.game.StartLevel(6);
    b.enabled = true;
    rig.Play();
    ASSERT_EQ(b.levelState, 7);
    ASSERT_EQ(b.levelSubState, 2);
    EXPECT_EQ(b.tutorialColour, 5);
    EXPECT_EQ(b.Cell(2, 6)->colour, 5);
    ASSERT_TRUE(rig.PickAndSwap(2, 6, 1, 6));
    rig.Play();
    ASSERT_EQ(b.levelSubState, 6);
    EXPECT_EQ(b.Cell(6, 4)->colour, 5); // the second row is still there
    ASSERT_TRUE(rig.PickAndSwap(6, 4, 5, 4));
    rig.Play();
    EXPECT_EQ(rig.Player().tutTotem, 1);
    EXPECT_EQ(b.levelState, 0);
    EXPECT_EQ(b.levelData->path, "Data\\Lvl\\l6.lvl"); // the level's own board comes back
    EXPECT_EQ(rig.game.phase, 14);
}

} // namespace
