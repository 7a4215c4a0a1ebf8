// Board play on the first level: the board's events as the game handles
// them, the level clock and its countdown, a time-out, the autosave, a lost
// life, the shipped rules of both, and the checkpoint a lost level reloads.
#include "GameRig.h"

#include "board/BoardProbe.h"
#include "effects/overlays/ScoreSettings.h"

#include "records/QuestSave.h"

#include <algorithm>
#include <functional>

namespace {

BoardEvent Event(BoardEventKind kind, int32_t value = 0)
{
    BoardEvent e;
    e.kind = kind;
    e.value = value;
    return e;
}

// A game in play on the first level, with a player called Anna.
struct InPlay : GameRig {
    InPlay()
    {
        EXPECT_TRUE(NewPlayer("Anna"));
        EXPECT_TRUE(PlayFirstLevel());
    }
    int32_t Score() { return game->quest.stats.tables[1].Get(StatScore); }
};

} // namespace

// The level-complete event waits for the others of its frame.
TEST(BoardEvents, TheLevelsEndIsHandledAfterTheOtherEventsOfItsFrame)
{
    InPlay game;
    const int32_t before = game.Score();
    game->services.board->Events().Push(Event(BoardEventKind::LevelWon));
    game->services.board->Events().Push(Event(BoardEventKind::StrikesScored, 100));
    game.Frames(1);
    EXPECT_TRUE(game->flow.IsIn<CLevelComplete>());
    EXPECT_EQ(game.Score(), before + 100);
    EXPECT_TRUE(game->quest.levelWon);
    EXPECT_EQ(game->services.shop->items.goldenStars, 1);
}

TEST(BoardEvents, ATimeBonusStaysWithinTheLevelsTime)
{
    InPlay game;
    struct Case {
        float before, seconds, after, threshold;
    };
    for (const Case c : {Case{20, -30, 0, -10}, Case{20, 500, 240, 30}, Case{12, 5, 17, 15}, Case{5, 7, 12, 10},
                         Case{8, 0.5f, 8.5f, 8}}) {
        game->quest.timeLeft = c.before;
        BoardEvent e = Event(BoardEventKind::TimeBonus);
        e.seconds = c.seconds;
        game->services.board->Events().Push(e);
        game->services.board->SetLocked(true); // the clock stands still
        game.Frames(1);
        EXPECT_FLOAT_EQ(game->quest.timeLeft, c.after) << c.before << " + " << c.seconds;
        EXPECT_FLOAT_EQ(game->quest.nextTimeWarning, c.threshold) << c.before << " + " << c.seconds;
        game->services.board->SetLocked(false);
    }
}

// A cascade reaches the longest-cascade counters whether or not it is
// long enough for a message.
TEST(BoardEvents, ACascadeCountsEvenWithoutItsMessage)
{
    InPlay game;
    const size_t messages = game->services.popups->Popups().size();
    game->services.board->Events().Push(Event(BoardEventKind::Combo, 2));
    game.Frames(1);
    EXPECT_EQ(game->services.popups->Popups().size(), messages);
    EXPECT_EQ(game->quest.stats.tables[1].Get(StatLongestCascade), 2);
    EXPECT_EQ(game->quest.stats.tables[2].Get(StatLongestCascade), 2);
    game->services.board->Events().Push(Event(BoardEventKind::Combo, 9));
    game.Frames(1);
    EXPECT_EQ(game->services.popups->Popups().size(), messages + 1);
    EXPECT_EQ(game->quest.stats.tables[1].Get(StatLongestCascade), 9);
}

// Without the lives cap each new multiple of the points per life gives a
// life; one event passing two multiples gives one.
TEST(BoardEvents, ScoreGivesExtraLivesOneAtATime)
{
    InPlay game;
    game->services.balance.livesLimited = 0;
    game->services.balance.pointsPerLife = 1000;
    const int lives = game->quest.lives;
    struct Step {
        int32_t points;
        int livesGained;
    };
    for (const Step s : {Step{600, 0}, Step{500, 1}, Step{1000, 2}, Step{2500, 3}, Step{100, 3}}) {
        game->services.board->Events().Push(Event(BoardEventKind::StrikesScored, s.points));
        game.Frames(1);
        EXPECT_EQ(game->quest.lives, lives + s.livesGained) << game.Score();
    }
    game->services.board->Events().Push(Event(BoardEventKind::SandFullInChallenge));
    game.Frames(1);
    EXPECT_EQ(game->quest.lives, lives + 3);
}

// The countdown overlay comes at 30, 15 and 10 seconds and then every
// second; the clock also counts the time played.
TEST(LevelClock, TheCountdownComesAtItsMarks)
{
    InPlay game;
    game->quest.timeLeft = 31.0f;
    game->quest.nextTimeWarning = 30.0f;
    std::vector<int> marks;
    float last = game->quest.nextTimeWarning;
    const float played = game->quest.stats.tables[2].GetFloat(StatSeconds);
    for (int frame = 0; frame < 60 * 40 && game->quest.timeLeft > 0.5f; ++frame) {
        game.Frames(1);
        if (game->quest.nextTimeWarning != last) {
            marks.push_back(static_cast<int>(last));
            last = game->quest.nextTimeWarning;
        }
        game->services.board->Events().Clear();
    }
    EXPECT_EQ(marks, (std::vector<int>{30, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_NEAR(game->quest.stats.tables[2].GetFloat(StatSeconds) - played, 30.5f, 0.1f);
}

// A time-out costs the level once, when the board has settled, however long
// the life-lost sequence then runs (with and without the life it costs);
// without a checkpoint the quest then ends.
TEST(LevelClock, ATimeOutStartsTheLostLifeOnceTheBoardSettles)
{
    for (const bool costsLife : {false, true}) {
        InPlay game;
        game->services.balance.timeOutFlag = costsLife ? 1 : 0;
        const int lives = game->quest.lives;
        game->quest.timeLeft = 0.05f;
        game->services.board->ShuffleAnimated(1.5f, 30); // the tokens fall, the board in play
        game->services.board->SetLocked(false);
        game.Frames(6);
        EXPECT_FLOAT_EQ(game->quest.timeLeft, 0.0f);
        EXPECT_FALSE(game->flow.level.lifeLost.active);
        ASSERT_TRUE(game.RunUntil([&] { return game->flow.level.lifeLost.active; }, 10.0f));
        EXPECT_TRUE(game->flow.level.lifeLost.timeUp);
        EXPECT_EQ(game->services.lifeLostAward->running, costsLife);
        ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CQuestOver>(); }, 10.0f)) << costsLife;
        EXPECT_EQ(game->quest.lives, costsLife ? lives - 1 : lives);
    }
}

// The level's clock never stands still unseen: through a minimise and a
// restore the level goes on as before, and when a lesson's note holds the
// clock (the clock's own note, 30 s into a first level) the note is there
// to read, and a press goes on with the level.
TEST(LevelClock, TheClockStopsOnlyWhereTheLevelSaysSo)
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
    game.Seconds(2.0f);
    const Vec2 corner = game.Cell(0, 7);
    game.Click(corner.x, corner.y);
    ASSERT_EQ(board.CurrentLesson().lesson, Lesson::None);

    const CGameScreens& screens = *game->services.screens;
    auto noteShown = [&] {
        return screens.tutorial.form->IsVisible() && screens.tutorial.panelText->IsVisible() &&
               !screens.tutorial.panelText->MainText()->text.empty() &&
               screens.tutorial.rows[4].At(0)->IsVisible();
    };
    bool timerNoteSeen = false;
    float stillSeconds = 0.0f;
    for (int frame = 0; frame < 60 * 45; ++frame) {
        if (frame == 60 * 10) {
            // Minimised for a while, then restored: the first frame after it
            // brings the whole time away, which the game cuts short.
            game->PauseAudio(true);
            for (int pass = 0; pass < 200; ++pass)
                game->Frame(0.0f, 0, 1);
            game->PauseAudio(false);
            const float left = game->quest.timeLeft;
            game->Frame(20.0f, 1, 0);
            EXPECT_LT(game->quest.timeLeft, left);
        }
        const float before = game->quest.timeLeft;
        game.Frames(1);
        if (game->quest.timeLeft < before) {
            stillSeconds = 0.0f;
            continue;
        }
        stillSeconds += GameHarness::kFrame;
        ASSERT_TRUE(noteShown() || GameRig::Shown(screens.gameMenu.form))
            << "the clock stands still unseen after " << frame << " frames";
        if (board.CurrentLesson().lesson == Lesson::Timer && stillSeconds > 3.0f && !timerNoteSeen) {
            timerNoteSeen = true;
            game.Click(corner.x, corner.y); // read: the level goes on
        }
    }
    EXPECT_TRUE(timerNoteSeen);
}

// The record takes the quest at the first idle frame after 3 s of play.
TEST(LevelClock, TheAutosaveWaitsForAnIdleBoard)
{
    InPlay game;
    game->services.questSave->state = 0;
    game->flow.play.autosaveTimer = 2.9f;
    game->services.board->ShuffleAnimated(1.5f, 30);
    game->services.board->SetLocked(false);
    game.Frames(12);
    EXPECT_EQ(game->services.questSave->state, 0);
    EXPECT_GT(game->flow.play.autosaveTimer, 3.0f);
    ASSERT_TRUE(game.RunUntil([&] { return game->services.questSave->state == 2; }, 10.0f));
    EXPECT_EQ(game->services.questSave->resumeKind, CQuestSave::kResumeInPlay);
    EXPECT_EQ(game->services.questSave->level, 1);
    EXPECT_NE(game->services.questSave->Cell(CQuestSave::TokenCodes, 0, 0), 1000);
    EXPECT_FLOAT_EQ(game->flow.play.autosaveTimer, 0.0f);
}

// A close keeps the play since the board last rested: in play at rest, the
// level as it stands; under the pause menu or a trophy that came over the
// level, the rest the overlay came in, however long it stays up.
TEST(LevelClock, ACloseKeepsThePlaySinceTheLastRest)
{
    struct Case {
        const char* what;
        int32_t points;
        std::function<void(GameRig&)> overlay;
        float seconds; // from the points to the close
    };
    const Case cases[] = {
        {"in play", 650, [](GameRig&) {}, 1.0f},
        {"under the pause menu", 650, [](GameRig& g) { g.Key(27); }, 14.0f},
        {"under a trophy", 600000, [](GameRig& g) { ASSERT_TRUE(g->flow.trophies.OverLevel()); }, 14.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InPlay game;
        ASSERT_TRUE(game.RunUntil([&] { return game->services.questSave->state == 2; }, 5.0f));
        game->quest.stats.AddToRunTables(c.points, StatScore);
        game.Frames(1);
        c.overlay(game);
        const float timeLeft = game->quest.timeLeft;
        game.Seconds(c.seconds);
        const int32_t score = game.Score();
        game.EndGame();
        CQuestSave saved;
        ASSERT_EQ(saved.Load(QuestSavePath(game.PlayerFolder("Anna"))), 1);
        EXPECT_EQ(saved.stats.tables[1].Get(StatScore), score);
        EXPECT_EQ(saved.resumeKind, CQuestSave::kResumeInPlay);
        if (c.seconds > 1.0f) {
            EXPECT_FLOAT_EQ(saved.timeLeft, timeLeft); // the clock stood still under it
        }
    }
}

// The hint display's seconds go into a save taken in play, and none into
// one taken for the shop or once the display has gone.
TEST(LevelClock, TheSaveKeepsTheHintDisplaysSeconds)
{
    InPlay game;
    CAdviserInterface& hints = *game->services.adviser;
    ASSERT_TRUE(game.RunUntil([&] { return game->services.board->IsIdle(); }, 10.0f));
    hints.AddTime(18.0f);
    game.Frames(30);
    ASSERT_TRUE(hints.IsShown());
    game->quest.Store(CQuestSave::kResumeInPlay, false);
    EXPECT_FLOAT_EQ(game->services.questSave->hintTimeLeft, hints.SecondsLeft());
    EXPECT_NEAR(game->services.questSave->hintTimeLeft, 17.5f, 0.05f);
    game->quest.Store(CQuestSave::kResumeInShop, false);
    EXPECT_EQ(game->services.questSave->hintTimeLeft, 0.0f);
    hints.Reset();
    game->quest.Store(CQuestSave::kResumeInPlay, false);
    EXPECT_EQ(game->services.questSave->hintTimeLeft, 0.0f);
}

// A board without moves: play goes on while lives are left (or capped);
// without lives the second checkpoint comes back.
TEST(LostLife, TheSequenceEndsByTheLivesLeft)
{
    struct Case {
        int lives;
        bool capped;
        bool playGoesOn;
    };
    for (const Case c : {Case{2, false, true}, Case{1, true, true}, Case{1, false, false}}) {
        InPlay game;
        game->services.balance.livesLimited = c.capped ? 1 : 0;
        game->quest.lives = c.lives;
        game->services.balance.noMovesFlag = 1; // no moves costs a life
        game->services.board->Events().Push(Event(BoardEventKind::NoMoveLeft));
        game.Frames(1);
        EXPECT_EQ(game->quest.lives, c.lives - 1);
        EXPECT_TRUE(game->flow.level.lifeLost.active);
        ASSERT_TRUE(game.RunUntil([&] { return !game->flow.level.lifeLost.active; }, 10.0f));
        // No checkpoint exists yet: losing the last life ends the quest.
        EXPECT_EQ(game->flow.IsIn<CPlay>(), c.playGoesOn) << c.lives << c.capped;
        EXPECT_EQ(game->flow.IsIn<CQuestOver>(), !c.playGoesOn) << c.lives << c.capped;
        if (c.playGoesOn) {
            EXPECT_FALSE(game->services.board->Status().locked);
        }
    }
}

// The rules How to Play tells, as the shipped balance plays them: a board
// without moves is shuffled at no cost and play goes on; a time-out costs no
// life either and goes back to the shop of the last checkpoint, to play the
// level again with the level's lives.
TEST(ShippedRules, NeitherNoMovesNorATimeOutCostsALife)
{
    {
        InPlay game;
        const int lives = game->quest.lives;
        game->services.board->Events().Push(Event(BoardEventKind::NoMoveLeft));
        game.Frames(1);
        EXPECT_TRUE(game->flow.level.lifeLost.active);
        ASSERT_TRUE(game.RunUntil([&] { return !game->flow.level.lifeLost.active; }, 10.0f));
        EXPECT_TRUE(game->flow.IsIn<CPlay>());
        EXPECT_EQ(game->quest.lives, lives);
    }
    {
        InPlay game;
        CQuestSave checkpoint;
        checkpoint.level = 1;
        checkpoint.lives = 1;
        checkpoint.resumeKind = CQuestSave::kResumeInShop;
        ASSERT_EQ(checkpoint.Save(FirstCheckpointPath(game.PlayerFolder("Anna"))), 1);
        game->services.board->SetLocked(false);
        game->quest.timeLeft = 0.05f;
        ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CLevelFailed>(); }, 10.0f));
        EXPECT_FALSE(game->services.lifeLostAward->running);
        EXPECT_EQ(game->services.questSave->lives, game->services.balance.maxLives);
        ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->msgBox.form); }, 10.0f));
        game.ClickId(game->services.screens->msgBox.form, Command::MessageOk);
        EXPECT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CShopVisit>(); }, 10.0f));
    }
}

// A lost level reloads a shop checkpoint: the first one keeps the lives,
// the second one gives at least the level's minimum and is copied back.
TEST(Checkpoints, ALostLevelReloadsItsCheckpointWithTheRightLives)
{
    struct Case {
        int32_t level;
        int32_t savedLives;
        bool noLivesLeft;
        int32_t resumeKind;
        bool loaded;
        int32_t lives;
    };
    const Case cases[] = {
        {12, 1, true, CQuestSave::kResumeInShop, true, 4},  {31, 1, true, CQuestSave::kResumeInShop, true, 3},
        {3, 5, true, CQuestSave::kResumeInShop, true, 5},   {12, 1, false, CQuestSave::kResumeInShop, true, 2},
        {12, 1, true, CQuestSave::kResumeInPlay, false, 1},
    };
    for (const Case& c : cases) {
        InPlay game;
        game->services.balance.livesLimited = 0;
        game->quest.lives = 2;
        CQuestSave save;
        save.level = c.level;
        save.lives = c.savedLives;
        save.resumeKind = c.resumeKind;
        if (c.resumeKind == CQuestSave::kResumeInPlay)
            save.SizeGrids();
        const std::string folder = game.PlayerFolder("Anna");
        ASSERT_EQ(save.Save(c.noLivesLeft ? SecondCheckpointPath(folder) : FirstCheckpointPath(folder)), 1);
        EXPECT_EQ(game->flow.LoadQuestCheckpoint(c.noLivesLeft), c.loaded) << c.level;
        if (!c.loaded) {
            EXPECT_TRUE(game->flow.IsIn<CPlay>());
            continue;
        }
        EXPECT_TRUE(game->flow.IsIn<CLevelFailed>());
        EXPECT_EQ(game->services.questSave->lives, c.lives) << c.level;
        EXPECT_EQ(plat::FileExists(FirstCheckpointPath(folder)), true);
    }
}

// A quest that ends without a checkpoint offers its score once: one that
// takes the table's last place is told as a new high score.
TEST(QuestOver, AScoreThatTakesTheLastPlaceIsANewHighScore)
{
    InPlay game;
    for (int i = 0; i < game->services.hiscores.count; ++i)
        game->services.hiscores.scores[static_cast<size_t>(i)] = 100000 - 1000 * i;
    game->quest.stats.AddToRunTables(91500, StatScore);
    game->flow.EndQuestSession();
    EXPECT_EQ(game->quest.hiscoreEntered, 1);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->msgBox.form); }, 5.0f));
    game.ClickId(game->services.screens->msgBox.form, Command::MessageOk);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CMenus>(); }, 5.0f));
    EXPECT_EQ(game->services.screens->AskedQuestion(), Question::NewHighScore);
    EXPECT_EQ(game->services.screens->highScoreHighlight, game->services.hiscores.count - 1);
    EXPECT_EQ(game->services.hiscores.scores.back(), 91500);
}

// A level starts with the hint counter and the warning of a life at stake
// hidden; leaving the quest from the pause menu leaves no board behind in
// the menu.
TEST(LevelScreen, ComesWithoutStrayPartsAndGoesWhole)
{
    InPlay game;
    EXPECT_FALSE(game->services.screens->quest.hintCounter->IsVisible());
    EXPECT_FALSE(game->services.screens->quest.warningLamp->IsVisible());
    EXPECT_FALSE(game->services.screens->quest.warningGroup.At(0)->IsVisible());
    game.Key(27);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->gameMenu.form); }, 2.0f));
    game.ClickId(game->services.screens->gameMenu.form, Command::LeaveQuest);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CMenus>(); }, 5.0f));
    game.Seconds(1.0f);
    EXPECT_FALSE(game->services.board->IsShown());
    EXPECT_FALSE(game->services.board->SandboxShown());
    EXPECT_FALSE(game->services.gemsBar->IsShown());
}

// What makes up the level's screen comes and goes at one pace: the HUD,
// the totems' panel in it, the board, its sand box and its gems bar are
// half in a quarter of a second after the level's caption comes, and half
// gone a quarter of a second after the player leaves the quest.
TEST(LevelScreen, ItsPartsComeAndGoTogether)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    CGameServices& s = game->services;
    BoardProbe probe(*s.board);
    auto expectHalfway = [&](const char* when) {
        SCOPED_TRACE(when);
        const float hud = s.screens->quest.form->Alpha();
        EXPECT_NEAR(hud, 0.5f, 0.1f);
        ASSERT_FALSE(s.totems->PanelSprites().empty());
        EXPECT_NEAR(s.totems->PanelSprites().front()->opacity, hud, 0.05f);
        EXPECT_NEAR(probe.Mesh().Opacity(), hud, 0.05f);
        EXPECT_NEAR(probe.Sandbox().Fade(), hud, 0.05f);
        EXPECT_NEAR(s.gemsBar->Alpha(), hud, 0.05f);
    };
    game.ClickId(game.Screens().mainMenu.form, Command::PlayQuest);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 10.0f));
    game->quest.profile->questTutorial = 0;
    game.Key(32);
    ASSERT_TRUE(game.RunUntil([&] { return s.screens->quest.form->IsVisible(); }, 10.0f));
    game.Seconds(0.25f);
    expectHalfway("coming");

    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CPlay>() && s.board->IsIdle(); }, 30.0f));
    game.Key(27);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(s.screens->gameMenu.form); }, 2.0f));
    game.ClickId(s.screens->gameMenu.form, Command::LeaveQuest);
    ASSERT_TRUE(game.RunUntil([&] { return probe.Mesh().Opacity() < 1.0f; }, 5.0f));
    game.Seconds(0.25f);
    expectHalfway("going");
}

// A board without moves reshuffles under "NO MOVES!": past its bloom the
// caption stays whole for as long as the tokens tremble and fall off the
// board, and fades only once they are gone.
TEST(PlayMessages, NoMovesStaysWholeWhileTheTokensTumble)
{
    InPlay game;
    game->services.balance.noMovesFlag = 0; // the reshuffle costs no life
    game->services.board->Events().Push(Event(BoardEventKind::NoMoveLeft));
    game.Frames(1);
    const std::vector<CountedHandle<CPopup>>& popups = game->services.popups->Popups();
    const auto found = std::find_if(popups.begin(), popups.end(), [](const CountedHandle<CPopup>& p) {
        return p->GetKind() == CPopup::kCaption;
    });
    ASSERT_NE(found, popups.end());
    const CountedHandle<CPopup> caption = *found;
    game.Seconds(ScoreMessageSettings().caption.bloomTime + 0.05f);
    auto tumbling = [&] {
        const std::vector<CountedHandle<CToken>>& tokens = game->services.board->LiveTokens();
        return std::any_of(tokens.begin(), tokens.end(),
                           [](const CountedHandle<CToken>& t) { return t->moveKind == 2; });
    };
    ASSERT_TRUE(tumbling());
    for (int frame = 0; tumbling() && frame < 600; ++frame) {
        ASSERT_NE(std::find(popups.begin(), popups.end(), caption), popups.end()) << frame;
        for (const CountedHandle<CText>& text : caption->Texts())
            EXPECT_FLOAT_EQ(text->alphaFactor, 1.0f) << frame;
        game.Frames(1);
    }
    EXPECT_FALSE(tumbling());
}

// Play's messages show one at a time: a new one takes the place of the one
// showing, and so does the refusal of a swap, which stays inside the board.
TEST(PlayMessages, ANewMessageTakesThePlaceOfTheOneShowing)
{
    InPlay game;
    const std::vector<CountedHandle<CPopup>>& popups = game->services.popups->Popups();
    auto messages = [&] {
        return std::count_if(popups.begin(), popups.end(), [](const CountedHandle<CPopup>& p) {
            return p->GetKind() == CPopup::kMessage || p->GetKind() == CPopup::kCaption;
        });
    };
    game->services.board->Events().Push(Event(BoardEventKind::Combo, 20));
    game.Frames(1);
    EXPECT_EQ(messages(), 1);
    game->services.board->Events().Push(Event(BoardEventKind::SandFull));
    game.Frames(1);
    EXPECT_EQ(messages(), 1);
    game->services.ShowCaption("NO MOVES!");
    EXPECT_EQ(messages(), 1);

    game->flow.lessons.ShowStep(Lesson::Wrong, 0);
    EXPECT_EQ(messages(), 0);
    game.Frames(30);
    const BoardGeometry g = game->services.board->Geometry();
    const float left = g.baseOriginX, top = g.baseOriginY;
    const float right = left + g.cellWidth * static_cast<float>(g.columns);
    const float bottom = top - g.cellHeight * static_cast<float>(g.rows);
    CGameScreens& screens = *game->services.screens;
    for (const CQoStatic* shown : {screens.tutorial.title.Get(), screens.tutorial.rows[0].At(0).Get()}) {
        ASSERT_TRUE(shown->IsVisible());
        const Vec3& at = shown->Position();
        const GuiSize& size = shown->Size();
        EXPECT_GE(at.x - size.w / 2, left - 1.0f);
        EXPECT_LE(at.x + size.w / 2, right + 1.0f);
        EXPECT_LE(at.y + size.h / 2, top + 1.0f);
        EXPECT_GE(at.y - size.h / 2, bottom - 1.0f);
    }
}
