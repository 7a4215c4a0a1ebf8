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
    const CountedHandle<CToken>& Selected() { return game->services.board->Picked(); }
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
    EXPECT_TRUE(game->flow.level.dragging == false); // the release lets go of the drag
    game.Click(far.x, far.y);
    ASSERT_TRUE(game.Selected());
    EXPECT_EQ(game.Selected()->column, 5);
    EXPECT_EQ(game.Selected()->row, 3);
    game.Click(next.x, next.y);
    EXPECT_FALSE(game.Selected());
    EXPECT_FALSE(game->services.board->IsIdle()); // the swap is under way
}

// A token pressed and dragged onto a neighbour swaps with it.
TEST(BoardInput, ADraggedTokenSwapsWithTheNeighbourItIsDraggedTo)
{
    InPlay game;
    const Vec2 a = game.Cell(2, 2), b = game.Cell(2, 3);
    game.Press(a.x, a.y);
    EXPECT_TRUE(game->flow.level.dragging);
    game.PointAt(b.x, b.y);
    game.Frames(1);
    EXPECT_FALSE(game->flow.level.dragging);
    EXPECT_FALSE(game->services.board->IsIdle()); // the swap is under way
    game.Release(b.x, b.y);
}

// In the first lesson the hand points at the lesson's token, the only one
// the player can pick, and then at where it goes: only the lesson's swap is
// made. Without the option that holds the player to the lessons, any token
// is picked.
TEST(BoardInput, TheFirstLessonLetsThePlayerMakeOnlyItsOwnMove)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    ASSERT_TRUE(game.PlayFirstLevel(true));
    ASSERT_TRUE(game.RunUntil([&] { return game->services.board->CurrentLesson().lesson == Lesson::Base; }, 5.0f));
    auto click = [&](int column, int row) {
        const Vec2 p = game.Cell(column, row);
        game.Click(p.x, p.y);
    };
    auto picked = [&]() -> MatchCell {
        const CountedHandle<CToken>& t = game->services.board->Picked();
        return t ? MatchCell{t->column, t->row} : MatchCell{-1, -1};
    };
    const CGameScreens& screens = *game->services.screens;
    const float half = 0.5f * game->services.board->CellWidth();
    // The token to pick, from the side away from where it goes.
    game.Frames(1);
    const Vec2 token = game.Cell(4, 4);
    EXPECT_FLOAT_EQ(screens.pointerX, token.x + half);
    EXPECT_FLOAT_EQ(screens.pointerY, token.y);
    EXPECT_EQ(screens.pointerSide, PointerSide::Right);
    click(2, 2);
    EXPECT_EQ(picked(), (MatchCell{-1, -1})); // not the lesson's token
    click(4, 4);
    EXPECT_EQ(picked(), (MatchCell{4, 4}));
    // The hand points at where the token goes, from below: the row beside
    // it holds the rest of the run.
    const Vec2 arrow = game.Cell(3, 4);
    EXPECT_FLOAT_EQ(screens.pointerX, arrow.x);
    EXPECT_FLOAT_EQ(screens.pointerY, arrow.y - half);
    EXPECT_EQ(screens.pointerSide, PointerSide::Below);
    click(5, 4); // a neighbour, but not the lesson's
    EXPECT_EQ(picked(), (MatchCell{4, 4}));
    EXPECT_TRUE(game->services.board->IsIdle());
    click(3, 4);
    EXPECT_FALSE(game->services.board->IsIdle()); // the lesson's swap is under way
    EXPECT_EQ(game->services.board->CurrentLesson().step, lesson_step::kSwapped);

    GameRig free;
    ASSERT_TRUE(free.NewPlayer("Bert"));
    free->services.gameOptions.capsLockTutorial = 0;
    ASSERT_TRUE(free.PlayFirstLevel(true));
    ASSERT_TRUE(free.RunUntil([&] { return free->services.board->CurrentLesson().lesson == Lesson::Base; }, 5.0f));
    const Vec2 other = free.Cell(2, 2);
    free.Click(other.x, other.y);
    ASSERT_TRUE(free->services.board->Picked());
    EXPECT_EQ(free->services.board->Picked()->column, 2);
}

namespace {
struct Rect {
    float left, right, bottom, top;
    bool Overlaps(const Rect& o) const
    {
        return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
    }
};
Rect RectOf(const CQoWindow& w)
{
    const Vec3& at = w.Position();
    const GuiSize& size = w.Size();
    return {at.x - size.w / 2, at.x + size.w / 2, at.y - size.h / 2, at.y + size.h / 2};
}
} // namespace

// A lesson's note and its pointing hand cover neither the token pointed at
// nor each other, wherever the token stands and however the hand bobs: the
// first lesson's, then the gem's note at tokens all over the board.
TEST(BoardInput, ALessonsNoteAndHandLeaveTheirTokenAndTextClear)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    ASSERT_TRUE(game.PlayFirstLevel(true));
    ASSERT_TRUE(game.RunUntil([&] { return game->services.board->CurrentLesson().lesson == Lesson::Base; }, 5.0f));
    CGameBoard& board = *game->services.board;
    const CGameScreens::TutorialForm& t = game->services.screens->tutorial;
    const float radius = 0.45f * board.CellWidth();
    auto check = [&](MatchCell cell) {
        SCOPED_TRACE(testing::Message() << "token " << cell.column << ", " << cell.row);
        const Vec2 c = game.Cell(cell.column, cell.row);
        const Rect token{c.x - radius, c.x + radius, c.y - radius, c.y + radius};
        const CQoWindow& tab = t.tabAbove->IsVisible() ? *t.tabAbove : *t.tabBelow;
        for (int frame = 0; frame < 70; ++frame) { // a whole bob of the hand
            game.Frames(1);
            const Rect hand = RectOf(*t.rows[4].At(0));
            ASSERT_TRUE(t.rows[4].At(0)->IsVisible());
            EXPECT_FALSE(hand.Overlaps(token)) << frame;
            EXPECT_FALSE(hand.Overlaps(RectOf(*t.rows[1].At(0)))) << frame;
            EXPECT_FALSE(hand.Overlaps(RectOf(*t.panelText))) << frame;
            EXPECT_FALSE(hand.Overlaps(RectOf(tab))) << frame;
        }
        EXPECT_FALSE(RectOf(*t.rows[1].At(0)).Overlaps(token));
        EXPECT_FALSE(RectOf(tab).Overlaps(token));
    };
    check({4, 4});
    const MatchCell cells[] = {{0, 0}, {7, 0}, {4, 3}, {3, 4}, {0, 7}, {7, 7}, {6, 5}};
    for (const MatchCell& cell : cells) {
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                board.Cell(c, r)->gem = c == cell.column && r == cell.row ? 1 : 0;
        game->flow.lessons.ShowStep(Lesson::Gem, 0);
        check(cell);
    }
}

// While a note the player reads is up, a press on the board closes the
// note and picks nothing.
TEST(BoardInput, APressThatClosesALessonsNotePicksNothing)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    ASSERT_TRUE(game.PlayFirstLevel(true));
    CGameBoard& board = *game->services.board;
    ASSERT_TRUE(game.RunUntil([&] { return board.CurrentLesson().lesson == Lesson::Base; }, 5.0f));
    for (const MatchCell cell : {MatchCell{4, 4}, MatchCell{3, 4}}) {
        const Vec2 p = game.Cell(cell.column, cell.row);
        game.Click(p.x, p.y);
    }
    ASSERT_TRUE(game.RunUntil([&] { return board.CurrentLesson().lesson == Lesson::Gem; }, 10.0f));
    game.Seconds(2.0f); // past the time a note keeps presses off the board
    const Vec2 p = game.Cell(0, 7);
    game.Click(p.x, p.y);
    EXPECT_EQ(board.CurrentLesson().lesson, Lesson::None);
    EXPECT_FALSE(board.Picked());
    game.Click(p.x, p.y); // the next press picks
    EXPECT_TRUE(board.Picked());
}

// Space, Escape and P pause play that is ready for input and resume it; a
// press while paused reaches no token; another game type has no pause.
TEST(BoardInput, PauseKeysPauseAndResume)
{
    InPlay game;
    const CountedHandle<CQoForm>& menu = game->services.screens->gameMenu.form;
    for (const int key : {27, 32, 80}) {
        game.Key(key);
        game.Frames(30);
        EXPECT_TRUE(GameRig::Shown(menu)) << key;
        EXPECT_TRUE(game->services.board->Status().locked);
        const Vec2 cell = game.Cell(1, 1);
        game.Click(cell.x, cell.y);
        EXPECT_FALSE(game->services.board->Picked());
        game.Key(key);
        game.Frames(30);
        EXPECT_FALSE(menu->IsVisible()) << key;
        EXPECT_FALSE(game->services.board->Status().locked);
    }
    game->quest.gameType = 1;
    game.Key(27);
    game.Frames(30);
    EXPECT_FALSE(menu->IsVisible());
}

// The input's result is quit or go on: the main menu's Exit and the window's
// quit button end the game, and no other button of the menu does.
TEST(MenuCommands, OnlyExitAndTheQuitButtonEndTheGame)
{
    const Command commands[] = {Command::PlayQuest,  Command::Exit,    Command::Options, Command::Help,
                                Command::HighScores, Command::Players, Command::Quit};
    for (const Command command : commands) {
        GameRig game;
        ASSERT_TRUE(game.NewPlayer("Anna"));
        // The window's buttons show when the pointer comes near the top of
        // the screen; each button is pressed in its upper half.
        const bool onWindow = command == Command::Quit;
        const CountedHandle<CQoForm>& form =
            onWindow ? game->services.screens->winBox.form : game->services.screens->mainMenu.form;
        const CQoWindow& button = GameRig::Control(form, command);
        const float x = button.Position().x, y = button.Position().y + button.Size().h / 4.0f;
        game.PointAt(x, y);
        game.Frames(2);
        const bool quits = command == Command::Exit || onWindow;
        EXPECT_EQ(game.Click(x, y), quits ? InputResult::Quit : InputResult::Continue) << IdOf(command);
    }
}

// The main menu's commands.
TEST(MenuCommands, TheMainMenuStartsQuestsAndLeaves)
{
    {
        GameRig game;
        ASSERT_TRUE(game.NewPlayer("Anna"));
        game.ClickId(game->services.screens->mainMenu.form, Command::PlayQuest);
        EXPECT_EQ(game->flow.Mode(), kModeLevelIntro); // no save, no veteran: a Normal quest at once
        EXPECT_FALSE(game->quest.hardMode);
    }
    {
        // A veteran is asked for the Hard mode; Hard starts a Hard quest.
        GameRig game([](const std::string& user) {
            plat::CreateDirectory(user + "Players\\Vera");
            testing_support::WriteText(user + "Players/Vera/Settings.ini", "[Main]\nVeteran=1\n");
        });
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->mainMenu.form); }, 30.0f));
        game.ClickId(game->services.screens->mainMenu.form, Command::PlayQuest);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->msgBox.form); }, 5.0f));
        EXPECT_EQ(game->services.screens->AskedQuestion(), Question::TryHardMode);
        game.ClickId(game->services.screens->msgBox.form, Command::MessageYes);
        EXPECT_EQ(game->flow.Mode(), kModeLevelIntro);
        EXPECT_TRUE(game->quest.hardMode);
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
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->mainMenu.form); }, 30.0f));
        game.ClickId(game->services.screens->mainMenu.form, Command::PlayQuest);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->startQuest.form); }, 5.0f));
        game.ClickId(game->services.screens->startQuest.form, Command::NewQuest);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->msgBox.form); }, 5.0f));
        EXPECT_EQ(game->services.screens->AskedQuestion(), Question::ReplaceSavedQuest);
        game.ClickId(game->services.screens->msgBox.form, Command::MessageYes);
        EXPECT_EQ(game->flow.Mode(), kModeLevelIntro);
        EXPECT_FALSE(plat::FileExists(game.PlayerFolder("Anna") + "QuestAS1.sav"));
    }
}

// The message box's OK and Yes answer by the box's question: the state that
// waits for the box goes on.
TEST(MenuCommands, TheMessageBoxAnswersByItsCommand)
{
    struct Case {
        Question question;
        int group;
        Command button;
        // The state that waits for the box, without its screens' work.
        void (*wait)(CGameFlow&);
        bool (*answered)(const CGameFlow&);
    };
    const Case cases[] = {
        {Question::BonusLevelRules, CGameScreens::kGroupContinue, Command::MessageOk,
         [](CGameFlow& f) { f.Enter(f.bonusLevel, CBonusLevel::kRules); },
         [](const CGameFlow& f) { return f.IsAt<CBonusLevel>(CBonusLevel::kRulesRead); }},
        {Question::LevelFailed, CGameScreens::kGroupContinue, Command::MessageOk,
         [](CGameFlow& f) { f.Enter(f.levelFailed, CLevelFailed::kMessage); },
         [](const CGameFlow& f) { return f.IsAt<CLevelFailed>(CLevelFailed::kReload); }},
        {Question::GameOver, CGameScreens::kGroupContinue, Command::MessageOk,
         [](CGameFlow& f) { f.Enter(f.questOver, CQuestOver::kMessage); },
         [](const CGameFlow& f) { return f.IsAt<CQuestOver>(CQuestOver::kClear); }},
        {Question::StarsLeft, CGameScreens::kGroupYesNo, Command::MessageYes,
         [](CGameFlow& f) { f.Enter(f.shopVisit); }, [](const CGameFlow& f) { return f.IsIn<CMapMarch>(); }},
    };
    for (const Case& c : cases) {
        InPlay game;
        c.wait(game->flow);
        EXPECT_TRUE(game->flow.WaitsForPlayer() || game->flow.IsIn<CShopVisit>());
        game->services.board->SetLocked(true);
        game.AskNow(c.question, c.group);
        game.ClickId(game->services.screens->msgBox.form, c.button);
        EXPECT_TRUE(c.answered(game->flow))
            << static_cast<int>(c.question) << ": " << game->flow.StateName() << ", " << game->flow.StepName();
    }
}

// The shop's Done waits for the shop to open; "+" without a star says so.
TEST(MenuCommands, TheShopsButtonsWaitForTheShop)
{
    InPlay game;
    game->flow.Enter(game->flow.shopVisit);
    game->services.shop->Show(1, 2.0f, 2);
    game.ShowNow(game->services.screens->shop.form);
    game.ClickId(game->services.screens->shop.form, Command::ShopDone);
    EXPECT_TRUE(game->flow.IsIn<CShopVisit>()); // not open yet
    game.Frames(40);
    game->services.shop->items.goldenStars = 0;
    game.ClickId(game->services.screens->shop.form, NthOf(Command::ItemPlusFirst, CShopItemTable::kGemsItem));
    EXPECT_EQ(game->services.screens->AskedQuestion(), Question::NoStarsLeft);
    EXPECT_FALSE(game->services.screens->shop.form->IsEnabled());
    game.Frames(30);
    game.ClickId(game->services.screens->msgBox.form, Command::MessageOk);
    game.Frames(30);
    EXPECT_TRUE(game->services.screens->shop.form->IsEnabled());
    game.ClickId(game->services.screens->shop.form, Command::ShopDone);
    EXPECT_TRUE(game->flow.IsIn<CMapMarch>());
    EXPECT_EQ(game->services.questSave->resumeKind, CQuestSave::kResumeInShop);
}

// A hint shows a move and costs its points, even without an extra life.
TEST(MenuCommands, AHintCostsItsPoints)
{
    InPlay game;
    game->quest.stats.AddToRunTables(7000, StatScore);
    game.ClickId(game->services.screens->quest.form, Command::Hint);
    EXPECT_EQ(game->quest.stats.tables[1].Get(StatScore), 2000);
    EXPECT_EQ(game->quest.trophyCounters[1], -1);
    // A big arrow over each of the move's two cells, for three seconds.
    EXPECT_EQ(game->services.adviser->bigArrowTimes, (std::vector<float>{3.0f, 3.0f}));
}

// A shuffle bought with a life reshuffles the board and the HUD shows the
// life gone.
TEST(MenuCommands, AShuffleCostsALifeTheHudShows)
{
    InPlay game;
    const int lives = game->quest.lives;
    game.ClickId(game->services.screens->quest.form, Command::ShuffleFirst);
    EXPECT_EQ(game->quest.lives, lives - 1);
    EXPECT_TRUE(game->flow.level.lifeLost.active);
    EXPECT_EQ(game->services.screens->quest.count->MainText()->text, std::to_string(lives - 1));
}

// Leaving a quest hides the shuffles with the HUD; a new quest begun after
// it offers them again on its first level, as every level does.
TEST(MenuCommands, ANewQuestAfterLeavingOneOffersItsShuffles)
{
    InPlay game;
    CGameScreens& screens = *game->services.screens;
    game.Seconds(4.0f); // idle play: the quest is kept to be continued
    game.Key(27);
    game.Frames(30);
    game.ClickId(screens.gameMenu.form, Command::LeaveQuest);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.mainMenu.form); }, 10.0f));
    EXPECT_FALSE(screens.quest.shuffleNote->IsVisible());
    game.ClickId(screens.mainMenu.form, Command::PlayQuest);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.startQuest.form); }, 5.0f));
    game.ClickId(screens.startQuest.form, Command::NewQuest);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.msgBox.form); }, 5.0f));
    game.ClickId(screens.msgBox.form, Command::MessageYes);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 10.0f));
    game.Key(32);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CPlay>(); }, 30.0f));
    EXPECT_TRUE(screens.quest.shuffleNote->IsVisible());
    for (const auto& button : screens.quest.shuffleGroup)
        EXPECT_TRUE(button->IsVisible());
}

// The chosen profile becomes the player's; no choice (-1) changes nothing.
TEST(MenuCommands, AChosenProfileBecomesCurrentWhenItExists)
{
    GameRig game([](const std::string& user) {
        plat::CreateDirectory(user + "Players\\Anna");
        plat::CreateDirectory(user + "Players\\Bert");
    });
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->mainMenu.form); }, 30.0f));
    ASSERT_TRUE(game->quest.playerName);
    const std::string current = *game->quest.playerName;
    const int other = game->services.profiles->FindProfile(current == "Anna" ? "Bert" : "Anna");
    // Nothing chosen yet.
    game->services.screens->profileSelected = -1;
    game.ShowNow(game->services.screens->profiles.form);
    game.ClickId(game->services.screens->profiles.form, Command::ProfileOk);
    EXPECT_EQ(*game->quest.playerName, current);
    game->services.screens->profileSelected = other;
    game.ShowNow(game->services.screens->profiles.form);
    game.ClickId(game->services.screens->profiles.form, Command::ProfileOk);
    EXPECT_NE(*game->quest.playerName, current);
    EXPECT_EQ(game->services.gameOptions.profile, *game->quest.playerName);
}

// The blink of the hint button and the scenes of the stages.
TEST(GameQueries, BlinkAndStageScenes)
{
    InPlay game;
    auto* highlight = static_cast<CQoCheckbox*>(game->services.screens->quest.hintHighlight.Get());
    for (const auto& [t, checked] : {std::pair{0.49f, false}, {0.01f, true}, {0.5f, false}}) {
        game->flow.level.AdvanceBlinkA(t);
        EXPECT_EQ(highlight->IsChecked(), checked) << game->flow.level.blinkTimerA;
    }
    struct Stages {
        int from, to;
        bool switched;
        int scene;
    };
    for (const Stages s :
         {Stages{-1, 3, true, 1}, Stages{4, 5, false, 1}, Stages{5, 6, true, 2}, Stages{41, 42, true, 5}}) {
        EXPECT_EQ(game->services.SwitchBackgroundForStage(s.from, s.to), s.switched) << s.from;
        EXPECT_EQ(game->services.backgrounds->CurrentScene(), s.scene) << s.from;
    }
}

// Play is ready for input and idle only on an enabled, unlocked board.
TEST(GameQueries, ReadyAndIdleFollowTheBoard)
{
    InPlay game;
    EXPECT_TRUE(game->flow.level.IsReadyForInput());
    EXPECT_TRUE(game->flow.level.IsPlayIdle());
    game->services.board->SetLocked(true);
    EXPECT_FALSE(game->flow.level.IsReadyForInput());
    EXPECT_FALSE(game->flow.level.IsPlayIdle());
    game->services.board->SetLocked(false);
    game->flow.Enter(game->flow.shopVisit);
    EXPECT_FALSE(game->flow.level.IsReadyForInput());
    game->flow.Enter(game->flow.play);
    game->services.board->StopPlay();
    EXPECT_FALSE(game->flow.level.IsReadyForInput());
}
