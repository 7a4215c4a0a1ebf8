// Levels started by the game on the real board and screens (null device):
// a level of a running game, a quest level started or resumed from the
// save, the tutorial's steps, and the three lessons played through the
// game's and the board's operations as the input would call them.
#include "board/BoardRig.h"
#include "game/Game.h"
#include "game/Lessons.h"
#include "screens/ScreensTestSupport.h"

#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

using board_rig::BoardRig;

namespace {

// A game with the board, the screens and one player, "Tester", whose
// settings live in the test's own players folder.
struct GameRig {
    GameRig()
    {
        EXPECT_TRUE(screensRig.Load());
        game.services.screens = screensRig.screens;
        game.services.board = boardRig.board;
        game.services.capsRenderer = boardRig.caps;
        // What the board shares with the game.
        game.services.totems = MakeCountedHandle(new CTotemsManager());
        game.services.board->SetTotems(game.services.totems);
        game.services.gemsBar = MakeCountedHandle(new CGemsBar());
        game.services.board->SetGemsBar(game.services.gemsBar);
        game.services.popups = MakeCountedHandle(new CPopupManager());
        game.services.board->SetPopups(game.services.popups);
        game.services.bonuses = MakeCountedHandle(new CBonusManager());
        game.services.adviser = MakeCountedHandle(new CAdviserInterface());
        game.services.board->SetBonuses(game.services.bonuses, game.services.adviser);
        ShopBoardLinks links;
        links.totems = game.services.totems.Get();
        links.bonuses = game.services.bonuses;
        links.balance = &game.services.balance;
        game.services.shop = MakeCountedHandle(new CShop(game.services.screens, links, {}, {}, {}, {}, {}));
        game.services.profiles =
            MakeCountedHandle(new CProfiles(game.services.paths.folders[CDataPaths::Players]));
        game.services.profiles->CreateProfile("Tester");
        game.quest.playerName = MakeCountedHandle(new std::string("Tester"));
    }
    CProfile& Player() { return *game.quest.CurrentProfile(); }
    CGameBoard& Board() { return *boardRig.board; }
    // The board's play starts with the player's lessons.
    void StartPlay()
    {
        Board().SetLessons(game.quest.CurrentLessonPlan());
        Board().SetLocked(false);
    }

    // Frames until the board rests full, answering every lesson step the
    // board reports with the game's prompt and marking what the player has
    // seen, as the game's flow does.
    void Play(float seconds = 10.0f)
    {
        std::vector<BoardEvent> events;
        for (float t = 0; t < seconds; t += 1.0f / 60.0f) {
            boardRig.Frame();
            CGameBoard& b = Board();
            b.Events().TakeDeferred(&events);
            for (const BoardEvent& e : events) {
                if (e.kind == BoardEventKind::LessonSeen)
                    game.quest.MarkLessonSeen(e.lesson);
                if (e.kind == BoardEventKind::LessonStep) {
                    game.flow.lessons.ShowStep(e.lesson, e.step);
                    break;
                }
            }
            for (size_t i = 0; i < b.Events().Size(); ++i)
                if (b.Events().At(i).kind == BoardEventKind::LessonSeen)
                    game.quest.MarkLessonSeen(b.Events().At(i).lesson);
            b.Events().Clear();
            if (b.IsIdle() && t > 1.0f)
                return;
        }
    }
    // A lesson's pick and swap as the input makes them: the pick moves the
    // lesson on, and the tutorial lets the swap through or not.
    bool PickAndSwap(int fromColumn, int fromRow, int toColumn, int toRow)
    {
        CGameBoard& b = Board();
        b.SetLessonStep(b.CurrentLesson().step + 1);
        if (!game.flow.lessons.StepWithSwap(toColumn, toRow))
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
    rig.game.flow.loader.StartLevel(1);
    CGameBoard& b = rig.Board();
    EXPECT_EQ(b.GemsToCollect(), 5); // the file's goal
    EXPECT_EQ(rig.game.services.gemsBar->goal, 5);
    EXPECT_FALSE(b.Status().enabled);
    EXPECT_FALSE(b.Status().challengePlay);
    EXPECT_FLOAT_EQ(rig.game.quest.timeLeft, 240.0f);
    EXPECT_FLOAT_EQ(rig.game.quest.nextTimeWarning, 30.0f);
    EXPECT_EQ(rig.game.quest.lives, 2); // the balance limits the lives

    // The bought level time and gems at a time play in the next level.
    rig.game.services.shop->items.levels[CShopItemTable::kTimeItem] = 2;
    rig.game.services.shop->items.levels[CShopItemTable::kGemsItem] = 3;
    rig.game.flow.loader.StartLevel(2);
    EXPECT_FLOAT_EQ(rig.game.quest.timeLeft, 330.0f);
    EXPECT_EQ(rig.game.services.balance.item8Value, 7);

    // There is no level past the last one: nothing changes.
    const int32_t level = rig.game.quest.level;
    const int32_t gems = b.GemsToCollect();
    EXPECT_FALSE(rig.game.flow.loader.StartLevel(CQuestSave::kLastLevel + 1));
    EXPECT_EQ(rig.game.quest.level, level);
    EXPECT_EQ(b.GemsToCollect(), gems);
}

TEST(LevelStart, ATotemOwnedStartsTheTotemLessonOnItsOwnBoard)
{
    GameRig rig;
    CGameBoard& b = rig.Board();
    rig.game.flow.loader.StartLevel(6);
    EXPECT_EQ(b.CurrentLesson().lesson, Lesson::None); // no totem owned yet
    rig.game.services.totems->levels[3] = 1;
    rig.game.flow.loader.StartLevel(6);
    EXPECT_EQ(b.CurrentLesson().lesson, Lesson::Totem);
    EXPECT_EQ(b.CurrentLesson().step, 0);
    EXPECT_EQ(b.ColourCount(), 7);
    EXPECT_EQ(b.LevelData()->path, "Data\\Lvl\\Totem.lvl");
    EXPECT_EQ(b.Events().Size(), 0u); // the lesson is no news to the game
}

// A save of level 42 (no file: a goal of 210) in the middle of play.
CQuestSave& SaveAt(CGame& game, int32_t gemsLeft, int32_t resumeKind)
{
    CQuestSave& save = *game.services.questSave;
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
    save.itemLevels[2] = 9;
    return save;
}

// A saved level goes on with the gems the save counts, held to what the
// level can deliver: its own saves as they are, an edited one never beyond
// the goal (13 on the last level) nor with too few gems left to place for
// those still to collect; the gems bar shows the gems collected so far.
TEST(LevelStart, ASavedLevelGoesOnWithTheGemsItCanDeliver)
{
    struct Case {
        int32_t toCollect, toPlace, onBoard; // as saved
        int32_t heldToCollect, heldToPlace;
    };
    const Case cases[] = {
        {9, 7, 2, 9, 7},          // the game's own save
        {13, 13, 0, 13, 13},      // nothing collected or placed yet
        {500, 7, 0, 13, 13},      // more than the goal
        {-5, 7, 0, 0, 0},         // fewer than none
        {9, 2, 1, 9, 8},          // too few left to place
        {5, 2147483647, 0, 5, 5}, // more to place than to collect
        {2147483647, -2147483647, 3, 13, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.toCollect << " " << c.toPlace << " " << c.onBoard);
        GameRig rig;
        CQuestSave& save = SaveAt(rig.game, c.toCollect, CQuestSave::kResumeInPlay);
        save.level = CQuestSave::kLastLevel;
        save.gemGoal = c.toPlace;
        save.SizeGrids();
        for (int i = 0; i < c.onBoard; ++i)
            save.SetCell(CQuestSave::TokenCodes, 7, i, ~2);
        rig.game.flow.loader.StartQuestLevel();
        CGameBoard& b = rig.Board();
        EXPECT_EQ(rig.game.services.gemsBar->goal, 13);
        EXPECT_EQ(b.GemsToCollect(), c.heldToCollect);
        EXPECT_EQ(b.GemsToPlace(), c.heldToPlace);
        EXPECT_EQ(rig.game.services.gemsBar->Collected(), 13 - c.heldToCollect);
    }
}

// The gems bar of a continued level shows the gems collected, in their
// colours and order, through the save file; a save that does not keep them
// (an older one) shows the level's own colours.
TEST(LevelStart, TheGemsBarShowsTheGemsCollectedThroughTheSave)
{
    GameRig rig;
    CGame& game = rig.game;
    game.quest.level = 1;
    game.flow.loader.StartLevel(1);
    const std::vector<int32_t> gems = {2, 0, 2};
    for (const int32_t colour : gems)
        game.services.gemsBar->AddGem(colour);
    rig.Board().SetGemCounts(2, 0);
    game.quest.Store(CQuestSave::kResumeInPlay, true);
    const std::string path = game.quest.PlayerFolder() + "Quest.sav";
    ASSERT_EQ(game.services.questSave->Save(path), 1);
    ASSERT_EQ(game.services.questSave->Load(path), 1);
    game.flow.loader.StartQuestLevel();
    EXPECT_EQ(game.services.gemsBar->CollectedColours(), gems);

    const std::vector<int32_t> colours = game.flow.loader.QuestLevelSetup(1).colours;
    game.services.questSave->collectedGems.clear();
    for (int i = 0; i < 10; ++i) {
        game.flow.loader.StartQuestLevel();
        ASSERT_EQ(game.services.gemsBar->Collected(), 3);
        for (const int32_t colour : game.services.gemsBar->CollectedColours())
            EXPECT_TRUE(std::find(colours.begin(), colours.end(), colour) != colours.end()) << colour;
    }
}

TEST(LevelStart, AQuestLevelTakesTheSavesValuesAndHowToFillTheBoard)
{
    GameRig rig;
    CQuestSave& save = SaveAt(rig.game, 100, CQuestSave::kResumeInPlay);
    save.difficulty = 1;
    save.SizeGrids();
    save.SetCell(CQuestSave::TokenCodes, 0, 0, 3);
    CFlowState& entry = rig.game.flow.loader.StartQuestLevel();
    CGameBoard& b = rig.Board();
    CGame& game = rig.game;
    EXPECT_EQ(game.quest.level, 42);
    EXPECT_EQ(game.quest.lives, 2); // the balance's limit is lower
    EXPECT_FLOAT_EQ(game.quest.timeLeft, 77.0f);
    EXPECT_FLOAT_EQ(game.quest.nextTimeWarning, 60.0f);
    EXPECT_EQ(&entry, &game.flow.levelIntro);
    EXPECT_TRUE(game.quest.hardMode);
    EXPECT_EQ(game.quest.extraLifeSteps, 4);
    EXPECT_EQ(game.quest.trophyCounters[1], 9);
    EXPECT_EQ(game.services.shop->items.goldenStars, 6);
    EXPECT_EQ(game.services.shop->items.levels[3], 2);
    EXPECT_EQ(game.services.shop->items.levels[2], 3); // the blue totem stops at 3
    EXPECT_EQ(game.services.totems->levels[1], 2);     // the yellow totem is owned
    EXPECT_EQ(game.services.shop->items.limits[2], 3);
    // Hard mode drains the sand at half the rate.
    EXPECT_DOUBLE_EQ(b.SandDrainRate(), BalanceDecay(2) * 0.5f);
    // The saved board comes back with the first fill.
    b.SetLocked(false);
    rig.boardRig.Frame();
    ASSERT_TRUE(b.Cell(0, 0));
    EXPECT_EQ(b.Cell(0, 0)->colour, 2);

    save.resumeKind = CQuestSave::kResumeInShop; // won and waiting in the shop: a new board
    save.difficulty = 0;
    EXPECT_EQ(&game.flow.loader.StartQuestLevel(), &game.flow.shopIntro);
    EXPECT_DOUBLE_EQ(b.SandDrainRate(), BalanceDecay(2));
    EXPECT_EQ(BoardProbe(b).FirstFill(), 1); // the level's own first fill

    save.resumeKind = CQuestSave::kResumeInPlay;
    game.flow.loader.ResumeQuestLevel();
    EXPECT_EQ(BoardProbe(b).FirstFill(), 1); // a reloaded level starts afresh

    // The shop's limits are those of the level the quest goes on with: the
    // gems item opens at level 2.
    const std::pair<int32_t, int32_t> limits[] = {{CQuestSave::kResumeInPlay, 0}, {CQuestSave::kResumeInShop, 1}};
    for (const auto& [resumeKind, limit] : limits) {
        save.level = 1;
        save.resumeKind = resumeKind;
        game.flow.loader.StartQuestLevel();
        EXPECT_EQ(game.services.shop->items.limits[CShopItemTable::kGemsItem], limit) << resumeKind;
    }

    // The clock shows no more than the level's time, which the time item
    // gives as held to the level's shop (its limit is 1 at level 3, 4 from
    // level 38 on).
    struct Clock {
        int32_t level, timeItem;
        float saved, held;
    };
    for (const Clock c :
         {Clock{42, 2, 1.0e9f, 330.0f}, Clock{3, 4, 1.0e9f, 300.0f}, Clock{3, 4, 299.5f, 299.5f}}) {
        save.level = c.level;
        save.resumeKind = CQuestSave::kResumeInPlay;
        save.itemLevels[CShopItemTable::kTimeItem] = c.timeItem;
        save.timeLeft = c.saved;
        game.flow.loader.StartQuestLevel();
        EXPECT_FLOAT_EQ(game.quest.timeLeft, c.held) << c.level;
    }
}

// A swap in a guided lesson: the lesson's own moves it on; another cell
// ends the lesson and the swap goes ahead, but the totem lesson refuses it;
// any other lesson closes with the swap.
TEST(LevelStart, ALessonsSwapLetsItsOwnMovesThroughAndEndsAnyOther)
{
    using namespace lesson_step;
    struct Case {
        Lesson lesson;
        int step, column, row;
        int result;
        Lesson lessonAfter;
        int stepAfter;
    };
    const Case cases[] = {
        {Lesson::Base, kPicked, 3, 4, 1, Lesson::Base, kSwapped},
        {Lesson::Base, kPicked, 2, 4, 1, Lesson::None, 0},
        {Lesson::Bonus, kSecondPicked, 5, 4, 1, Lesson::None, 0}, // its last swap ends it
        {Lesson::Totem, kTotemChargePicked, 1, 6, 1, Lesson::Totem, kTotemCharged},
        {Lesson::Totem, kTotemChargePicked, 2, 6, 0, Lesson::None, 0},
        {Lesson::Wrong, 0, 2, 2, 1, Lesson::None, 0},
    };
    GameRig rig;
    CGameBoard& b = rig.Board();
    BoardProbe probe(b);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.lesson) << "/" << c.step << " at " << c.column << "," << c.row);
        probe.SetLesson(c.lesson, c.step);
        EXPECT_EQ(rig.game.flow.lessons.StepWithSwap(c.column, c.row), c.result);
        EXPECT_EQ(b.CurrentLesson().lesson, c.lessonAfter);
        if (c.lessonAfter != Lesson::None) {
            EXPECT_EQ(b.CurrentLesson().step, c.stepAfter);
        }
    }
}

TEST(LevelStart, PromptsShowTheirTextAndTheShopLessonIsWrittenDown)
{
    GameRig rig;
    CGameBoard& b = rig.Board();
    BoardProbe probe(b);
    rig.game.flow.loader.StartLevel(1);
    rig.StartPlay();
    probe.SetLesson(Lesson::Gem, 0); // no gem on the board yet: nothing to show
    rig.game.flow.lessons.ShowStep(Lesson::Gem, 0);
    EXPECT_EQ(b.CurrentLesson().lesson, Lesson::None);
    rig.Play(0.1f);
    EXPECT_EQ(rig.Player().tutGem, 1);

    rig.Play(); // the first lesson's prompt once the board rests
    std::string shown = rig.game.services.screens->tutorial.panelText->MainText()->text;
    std::replace(shown.begin(), shown.end(), CText::kSoftBreak, ' ');
    EXPECT_EQ(shown, GetString(35));
    EXPECT_EQ(b.CurrentLesson().lesson, Lesson::Base);

    rig.game.flow.lessons.ShowStep(Lesson::Shop, 0);
    EXPECT_EQ(rig.Player().tutShop, 1);
    EXPECT_NE(
        testing_support::ReadText(rig.game.services.paths.folders[CDataPaths::Players] + "Tester\\Settings.ini")
            .find("Shop=1"),
        std::string::npos);
}

TEST(LevelStart, WithoutAPlayerThereIsNoTutorial)
{
    GameRig rig;
    rig.game.quest.playerName.Reset();
    rig.game.services.totems->levels[0] = 1;
    rig.game.flow.loader.StartLevel(6);
    EXPECT_EQ(rig.Board().CurrentLesson().lesson, Lesson::None); // no totem lesson
    rig.game.flow.lessons.ShowStep(Lesson::Shop, 0);
    EXPECT_EQ(
        testing_support::ReadText(rig.game.services.paths.folders[CDataPaths::Players] + "Tester\\Settings.ini")
            .find("Shop=1"),
        std::string::npos);
}

// A lesson's swap made its row when the token that stood in the row is gone.
TEST(Lessons, BaseLessonSwapsTheFourthTokenIntoARowOfThree)
{
    GameRig rig;
    rig.boardRig.random.Seed(21);
    CGameBoard& b = rig.Board();
    rig.game.flow.loader.StartLevel(1);
    rig.StartPlay();
    rig.Play();
    ASSERT_EQ(b.CurrentLesson().lesson, Lesson::Base);
    ASSERT_EQ(b.CurrentLesson().step, 0);
    const CountedHandle<CToken> left = b.Cell(1, 4);
    ASSERT_TRUE(rig.PickAndSwap(4, 4, 3, 4));
    rig.Play();
    EXPECT_NE(b.Cell(1, 4), left); // the row was struck
    EXPECT_EQ(rig.Player().tutBase, 1);
}

TEST(Lessons, BonusLessonMakesARowOfFourThenARowThroughTheMiddle)
{
    GameRig rig;
    rig.boardRig.random.Seed(5);
    CGameBoard& b = rig.Board();
    rig.Player().tutBase = rig.Player().tutGem = 1;
    rig.game.flow.loader.StartLevel(2);
    rig.StartPlay();
    rig.Play();
    ASSERT_EQ(b.CurrentLesson().lesson, Lesson::Bonus);
    ASSERT_EQ(b.CurrentLesson().step, 0);
    ASSERT_TRUE(rig.PickAndSwap(2, 5, 1, 5));
    rig.Play();
    EXPECT_GE(rig.boardRig.stats.tables[1].Get(StatLargestMatch), 4); // a row of four
    ASSERT_EQ(b.CurrentLesson().lesson, Lesson::Bonus);
    ASSERT_EQ(b.CurrentLesson().step, lesson_step::kSecondPrompt);
    const CountedHandle<CToken> middle = b.Cell(4, 4);
    ASSERT_TRUE(rig.PickAndSwap(6, 4, 5, 4));
    rig.Play();
    EXPECT_NE(b.Cell(4, 4), middle);
    EXPECT_EQ(rig.Player().tutBonus, 1);
}

TEST(Lessons, TotemLessonMakesTwoRowsOfTheTotemsColour)
{
    GameRig rig;
    rig.boardRig.random.Seed(8);
    CGameBoard& b = rig.Board();
    rig.game.services.totems->levels[5] = 1;
    rig.game.flow.loader.StartLevel(6);
    rig.StartPlay();
    rig.Play();
    ASSERT_EQ(b.CurrentLesson().lesson, Lesson::Totem);
    ASSERT_EQ(b.CurrentLesson().step, lesson_step::kTotemChargePrompt);
    EXPECT_EQ(b.TutorialColour(), 5);
    EXPECT_EQ(b.Cell(2, 6)->colour, 5);
    ASSERT_TRUE(rig.PickAndSwap(2, 6, 1, 6));
    rig.Play();
    ASSERT_EQ(b.CurrentLesson().step, lesson_step::kTotemLightPrompt);
    EXPECT_EQ(b.Cell(6, 4)->colour, 5); // the second row is still there
    ASSERT_TRUE(rig.PickAndSwap(6, 4, 5, 4));
    rig.Play();
    EXPECT_EQ(rig.Player().tutTotem, 1);
    EXPECT_EQ(b.CurrentLesson().lesson, Lesson::None);
    // The level's own board comes back, with the level's own colours.
    EXPECT_EQ(b.LevelData()->path, "Data\\Lvl\\l6.lvl");
    EXPECT_EQ(b.ColourCount(), 6);
    EXPECT_TRUE(rig.game.flow.IsIn<CResumePlay>());
}

// In every guided lesson the hand, over a whole bob, covers neither the
// panel with its text, nor the token it points at, nor any token of the run
// the lesson teaches: where they stand and where the swap takes them, at
// the prompt and once the first token is picked.
TEST(Lessons, TheHandLeavesTheTextAndTheLessonsRunClear)
{
    struct Step {
        MatchCell pick, arrow;
        std::vector<MatchCell> run; // with both swapped cells
    };
    const Step base{{4, 4}, {3, 4}, {{1, 4}, {2, 4}, {3, 4}, {4, 4}}};
    const Step bonusColumn{{2, 5}, {1, 5}, {{1, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 5}}};
    const Step bonusRow{{6, 4}, {5, 4}, {{3, 4}, {4, 4}, {5, 4}, {6, 4}}};
    const Step totemColumn{{2, 6}, {1, 6}, {{1, 4}, {1, 5}, {1, 6}, {2, 6}}};
    struct Case {
        const char* name;
        int level;
        std::vector<Step> steps;
    } const cases[] = {
        {"base", 1, {base}},
        {"bonus", 2, {bonusColumn, bonusRow}},
        {"totem", 6, {totemColumn, bonusRow}},
    };
    for (const Case& c : cases) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << c.name << ", seed " << seed);
            GameRig rig;
            rig.boardRig.random.Seed(seed);
            CGameBoard& b = rig.Board();
            rig.Player().tutBase = c.level == 1 ? 0 : 1;
            rig.Player().tutGem = 1;
            if (c.level == 6)
                rig.game.services.totems->levels[3] = 1;
            rig.game.flow.loader.StartLevel(c.level);
            rig.StartPlay();
            CGameScreens& screens = *rig.game.services.screens;
            const CGameScreens::TutorialForm& t = screens.tutorial;
            auto boxOf = [](const CQoWindow& w) {
                const Vec3& at = w.Position();
                const GuiSize& size = w.Size();
                return ScreenRect{at.x - size.w / 2, at.x + size.w / 2, at.y - size.h / 2, at.y + size.h / 2};
            };
            auto expectClear = [&](const Step& step, MatchCell pointed, const char* when) {
                SCOPED_TRACE(when);
                for (int frame = 0; frame < 70; ++frame) { // a whole bob of the hand
                    screens.Update(-900.0f, -900.0f, 1.0f / 60.0f);
                    ASSERT_TRUE(t.rows[4].At(0)->IsVisible());
                    const ScreenRect hand = boxOf(*t.rows[4].At(0));
                    for (const CQoWindow* text : {t.rows[1].At(0).Get(), t.panelText.Get()})
                        EXPECT_FALSE(hand.Overlaps(boxOf(*text))) << frame;
                    for (const MatchCell& cell : step.run) {
                        const Vec2 p = b.CellToPoint(cell.column, cell.row, true);
                        const float r = b.Cell(cell.column, cell.row)->size;
                        EXPECT_FALSE(hand.Overlaps({p.x - r, p.x + r, p.y - r, p.y + r}))
                            << frame << ": token " << cell.column << ", " << cell.row;
                    }
                }
                // The fingertip rests on the middle of an edge of the token's cell.
                const Vec2 centre = b.CellToPoint(pointed.column, pointed.row, true);
                const float dx = std::fabs(screens.pointerX - centre.x),
                            dy = std::fabs(screens.pointerY - centre.y);
                EXPECT_TRUE(dx == 0.0f || dy == 0.0f) << dx << ", " << dy;
                EXPECT_FLOAT_EQ(dx + dy, b.CellWidth() / 2);
            };
            for (const Step& step : c.steps) {
                rig.Play();
                ASSERT_NE(b.CurrentLesson().lesson, Lesson::None);
                expectClear(step, step.pick, "the prompt");
                rig.game.flow.lessons.StepWithPick(b.Cell(step.pick.column, step.pick.row));
                expectClear(step, step.arrow, "the pick");
                ASSERT_TRUE(rig.game.flow.lessons.StepWithSwap(step.arrow.column, step.arrow.row));
                b.Swap(step.pick.column, step.pick.row, step.arrow.column, step.arrow.row, false);
            }
        }
    }
}

// A prompt whose move the board does not hold (on a board the lesson's
// start layout did not lay out) ends the lesson at once, as seen, rather
// than wait for a move that cannot be made; with the move there the prompt
// stays.
TEST(Lessons, APromptWhoseMoveCannotBeMadeEndsTheLesson)
{
    // Row 4 reads "b r r g r": the token at column 4 swapped onto column 3
    // makes a row of three red.
    std::vector<std::string> withMove = board_rig::NoMoveGrid();
    withMove[4] = "brrgrbow";
    std::vector<std::string> chained = withMove;
    chained[4][4] = 'R';
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        bool stays;
    } const cases[] = {
        {"the move there", withMove, true},
        {"its token chained", chained, false},
        {"no run", board_rig::NoMoveGrid(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameRig rig;
        CGameBoard& b = rig.Board();
        rig.game.flow.loader.StartLevel(1);
        rig.StartPlay();
        rig.boardRig.Place(c.rows);
        BoardProbe(b).SetLesson(Lesson::Base, lesson_step::kPrompt);
        rig.game.flow.lessons.ShowStep(Lesson::Base, lesson_step::kPrompt);
        EXPECT_EQ(b.CurrentLesson().lesson, c.stays ? Lesson::Base : Lesson::None);
        rig.Play(0.1f);
        EXPECT_EQ(rig.Player().tutBase, c.stays ? 0 : 1);
    }
}

// Every guided lesson at every level where it can come, in normal and hard
// mode, each play on a seed of its own: at each of its prompts the hand
// points at a token the player can pick and a neighbour it can be swapped
// with, the swap makes the run the prompt promises, and the player's two
// presses take the lesson on, through its prompts to its end. The first
// lesson comes on level 1, the bonus lesson on level 2 and the totem lesson
// on the first level after a totem was bought (the shop sells the first for
// level 4), whatever chains and steel the level draws.
TEST(Lessons, EveryGuidedLessonsMoveCanBeMadeWhateverTheLevelDraws)
{
    struct Prompt {
        MatchCell pick, arrow;
        size_t run;       // the run the swap makes at least, through the arrow's cell
        bool totemColour; // of the colour of the lesson's totem
    };
    struct Case {
        const char* name;
        Lesson lesson;
        int32_t CProfile::*seenFlag;
        int firstLevel, lastLevel;
        uint32_t seeds; // at each level and mode
        std::vector<Prompt> prompts;
    } const cases[] = {
        {"first", Lesson::Base, &CProfile::tutBase, 1, 1, 300, {{{4, 4}, {3, 4}, 3, false}}},
        {"bonus",
         Lesson::Bonus,
         &CProfile::tutBonus,
         2,
         2,
         300,
         {{{2, 5}, {1, 5}, 4, false}, {{6, 4}, {5, 4}, 3, false}}},
        {"totem",
         Lesson::Totem,
         &CProfile::tutTotem,
         4,
         CQuestSave::kLastLevel,
         100,
         {{{2, 6}, {1, 6}, 3, true}, {{6, 4}, {5, 4}, 3, true}}},
    };
    GameRig rig;
    CGameBoard& b = rig.Board();
    CProfile& player = rig.Player();
    CTotemsManager& totems = *rig.game.services.totems;
    // Frames, the lessons' news handled as the game's flow handles it, until
    // `done` holds (false after 20 s without that); the lessons the board
    // reports as seen go into `seen`.
    std::vector<Lesson> seen;
    auto playUntil = [&](const std::function<bool()>& done) {
        std::vector<BoardEvent> events;
        for (float t = 0; t < 20.0f; t += 1.0f / 60.0f) {
            rig.boardRig.Frame();
            b.Events().TakeDeferred(&events);
            for (const BoardEvent& e : events)
                if (e.kind == BoardEventKind::LessonSeen)
                    seen.push_back(e.lesson);
                else if (e.kind == BoardEventKind::LessonStep)
                    rig.game.flow.lessons.ShowStep(e.lesson, e.step);
            if (done())
                return true;
        }
        return false;
    };
    // What keeps the prompt's move from being made; empty when it can be.
    auto whyNot = [&](const Prompt& p, int totemColour) -> std::string {
        for (const MatchCell& cell : {p.pick, p.arrow}) {
            const CountedHandle<CToken>& t = b.Cell(cell.column, cell.row);
            const std::string at = std::to_string(cell.column) + "," + std::to_string(cell.row);
            if (!t)
                return at + " empty";
            if (t->chained)
                return at + " chained";
            if (t->colour >= kSteelColour)
                return at + " steel";
            if (!b.CanSelect(cell.column, cell.row))
                return at + " not at rest";
        }
        CMatchAnalyser analysis = b.Analysis();
        std::swap(analysis.Cell(p.pick.column, p.pick.row), analysis.Cell(p.arrow.column, p.arrow.row));
        analysis.FindRuns(3, false);
        const int32_t colour = std::abs(analysis.Cell(p.arrow.column, p.arrow.row)) - 1;
        for (const CMatchGroup& g : analysis.Groups())
            if (std::find(g.cells.begin(), g.cells.end(), p.arrow) != g.cells.end() && g.cells.size() >= p.run &&
                (!p.totemColour || colour == totemColour))
                return {};
        return "no run of " + std::to_string(p.run);
    };
    for (const Case& c : cases) {
        uint32_t seed = 0;
        std::vector<std::string> failures;
        for (int level = c.firstLevel; level <= c.lastLevel; ++level)
            for (const bool hard : {false, true})
                for (uint32_t i = 0; i < c.seeds; ++i) {
                    ++seed;
                    // The player has had every lesson but this one.
                    for (int32_t CProfile::*flag :
                         {&CProfile::tutBase, &CProfile::tutGem, &CProfile::tutWrong, &CProfile::tutTimer,
                          &CProfile::tutSandbox, &CProfile::tutBonus, &CProfile::tutTotem, &CProfile::tutLock,
                          &CProfile::tutSteel, &CProfile::tutShop})
                        player.*flag = 1;
                    player.*c.seenFlag = 0;
                    // A totem of some colour bought in the shop.
                    const int totemColour = static_cast<int>(seed % CTotemsManager::kColours);
                    totems.levels.fill(0);
                    if (c.lesson == Lesson::Totem)
                        totems.levels[static_cast<size_t>(totemColour)] = 1;
                    totems.Reset();
                    seen.clear();
                    b.Clear();
                    rig.game.quest.hardMode = hard;
                    rig.boardRig.random.Seed(seed);
                    ASSERT_TRUE(rig.game.flow.loader.StartLevel(level));
                    rig.StartPlay();
                    std::string failure;
                    for (const Prompt& p : c.prompts) {
                        const std::string at =
                            "prompt at " + std::to_string(p.pick.column) + "," + std::to_string(p.pick.row) + ": ";
                        if (!playUntil(
                                [&] { return FindLessonPick(b.CurrentLesson(), p.pick.column, p.pick.row); })) {
                            failure = at + "not shown";
                            break;
                        }
                        if (const std::string why = whyNot(p, totemColour); !why.empty()) {
                            failure = at + why + " on\n" + rig.boardRig.Letters();
                            break;
                        }
                        // The player's two presses, as play takes them.
                        for (const MatchCell& cell : {p.pick, p.arrow}) {
                            const Vec2 point = b.CellToPoint(cell.column, cell.row, true);
                            rig.game.flow.play.Press(point.x, point.y, {});
                        }
                        if (!BoardProbe(b).SwapsUnderWay()) {
                            failure = at + "the presses made no swap";
                            break;
                        }
                    }
                    if (failure.empty() && !playUntil([&] { return b.CurrentLesson().lesson == Lesson::None; }))
                        failure = "the lesson did not end";
                    playUntil([] { return true; }); // the news that the player has seen it
                    if (failure.empty() && std::find(seen.begin(), seen.end(), c.lesson) == seen.end())
                        failure = "the lesson was not seen";
                    if (!failure.empty())
                        failures.push_back(std::string(c.name) + ", level " + std::to_string(level) +
                                           (hard ? " hard" : "") + ", seed " + std::to_string(seed) + ": " +
                                           failure);
                }
        std::string first;
        for (size_t i = 0; i < std::min<size_t>(failures.size(), 10); ++i)
            first += "\n" + failures[i];
        EXPECT_TRUE(failures.empty()) << c.name << ": " << failures.size() << " of " << seed << " plays fail"
                                      << first;
    }
}

} // namespace
