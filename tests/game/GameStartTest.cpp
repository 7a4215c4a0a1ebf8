// Start-up on the null device and the frame: the load sequence ends in the
// splash, the splash leads to the name entry or the menu, the frame's step
// and cursor, and the order in which a game lets go of its members.
#include "GameRig.h"

#include <cstddef>

TEST(GameStart, TheLoadSequenceEndsInTheSplashWithEveryMemberMade)
{
    GameRig game;
    ASSERT_TRUE(game.started);
    EXPECT_EQ(game->mode, kModeSplash);
    EXPECT_EQ(game->phase, kPhasePlay);
    EXPECT_EQ(game->challenge, kOrdinaryLevel);
    EXPECT_TRUE(game->nameEntryPending);
    EXPECT_TRUE(game->cursorReady);
    for (const bool made : {!!game->screens, !!game->board, !!game->backgrounds, !!game->shop, !!game->starAward,
                            !!game->lifeLostAward, !!game->bestScores, !!game->bestTimes, !!game->trophies,
                            !!game->sounds, !!game->music, !!game->fpsText})
        EXPECT_TRUE(made);
    // The loading picture goes with the splash's first step, not before.
    EXPECT_TRUE(game->device->FindTexture("Loading"));
    EXPECT_EQ(game->screens->FormsManager(), game->renderer->gui);
}

// The splash runs its groups and hands over to the name entry for a first
// player, to the main menu once a player exists; a key cuts a hold short.
TEST(GameStart, TheSplashEndsInTheNameEntryOrTheMenu)
{
    struct Case {
        bool playerExists;
        bool keys;
        float within;
    };
    for (const Case c : {Case{false, false, 12.0f}, Case{true, false, 12.0f}, Case{true, true, 6.5f}}) {
        GameRig game([&](const std::string& user) {
            if (c.playerExists)
                plat::CreateDirectory(user + "Players\\Anna");
        });
        const CGameScreens& screens = *game->screens;
        const CountedHandle<CQoForm>& expected = c.playerExists ? screens.mainMenu.form : screens.newProfile.form;
        float t = 0.0f;
        while (game->mode == kModeSplash && t < 30.0f) {
            if (c.keys)
                game.Key(65);
            game.Frames(1);
            t += GameRig::kFrame;
        }
        EXPECT_LE(t, c.within) << c.playerExists << c.keys;
        EXPECT_TRUE(expected->IsVisible());
        EXPECT_FALSE(game->device->FindTexture("Loading"));
        EXPECT_EQ(game->nameEntryPending, !c.playerExists);
    }
}

TEST(GameFrame, AStepIsClampedAndAZeroStepOrAPauseChangesNothing)
{
    GameRig game;
    game->mode = kModeMenus;
    struct Case {
        float dt;
        int draw, paused;
        float advance;
        int presents;
    };
    for (const Case c : {Case{2.0f, 1, 0, 0.5f, 1}, Case{0.1f, 1, 0, 0.1f, 1}, Case{0.0f, 1, 0, 0.0f, 1},
                         Case{0.0f, 0, 0, 0.0f, 0}, Case{0.1f, 1, 1, 0.0f, 0}}) {
        game->modeTimer = 0.0f;
        const int presents = game.d3d.log.presents;
        game->Frame(c.dt, c.draw, c.paused);
        EXPECT_FLOAT_EQ(game->modeTimer, c.advance) << c.dt << c.draw << c.paused;
        EXPECT_EQ(game.d3d.log.presents - presents, c.presents) << c.dt << c.draw << c.paused;
    }
}

// The 4:3 part of the client area maps to x -512 .. 512 and y 384 .. -384;
// a window without a client area keeps the last point.
TEST(GameFrame, TheCursorMapsOntoTheVirtualScreen)
{
    GameRig game;
    struct Case {
        plat::CursorPoll poll;
        float x, y;
    };
    const Case cases[] = {
        {{640, 0, 1280, 1024}, 0.0f, 384.37537f}, {{0, 512, 1280, 1024}, -480.46921f, 0.0f},
        {{320, 240, 640, 480}, 0.0f, 0.0f},       {{1024, 768, 1024, 768}, 512.0f, -384.0f},
        {{5, 5, 0, 0}, 512.0f, -384.0f},          {{0, 0, 640, 1}, 512.0f, -384.0f},
    };
    for (const Case& c : cases) {
        plat::SetCursorPollForTests(&c.poll);
        game.Frames(1);
        EXPECT_FLOAT_EQ(game->cursorX, c.x) << c.poll.x << "," << c.poll.y << " of " << c.poll.width;
        EXPECT_FLOAT_EQ(game->cursorY, c.y) << c.poll.x << "," << c.poll.y << " of " << c.poll.width;
    }
}

TEST(GameFrame, TheWindowButtonsShowNearTheTopOnly)
{
    GameRig game;
    for (const auto& [y, shown] : {std::pair{300.0f, false}, {370.0f, true}, {357.0f, false}, {380.0f, true}}) {
        game.PointAt(0.0f, y);
        game.Frames(1);
        EXPECT_EQ(game->screens->winBox.form->IsVisible(), shown) << y;
    }
}

// The members go in the reverse of this order: the device last of the
// handles, the renderer just before it, the trophies first.
TEST(GameStart, MembersAreDeclaredInTheirReleaseOrderReversed)
{
    GameRig game;
    CGame& g = *game;
    const void* const order[] = {
        &g.errors,
        &g.device,
        &g.renderer,
        &g.fullScreen,
        &g.hardwareLevel,
        &g.window,
        &g.instance,
        &g.paths,
        &g.questLayout,
        &g.graphicsOptions,
        &g.soundOptions,
        &g.gameOptions,
        &g.fpsShown,
        &g.fps,
        &g.fpsText,
        &g.vertexBuffer,
        &g.indexBuffer,
        &g.particleManagers,
        &g.effectTextures,
        &g.flareRenderers,
        &g.font,
        &g.fonts,
        &g.textBatch,
        &g.mode,
        &g.phase,
        &g.modeTimer,
        &g.subState,
        &g.gameType,
        &g.challenge,
        &g.screens,
        &g.hiscores,
        &g.music,
        &g.sounds,
        &g.questSave,
        &g.cursorReady,
        &g.spriteRenderers,
        &g.playerName,
        &g.capsRenderer,
        &g.screenTextures,
        &g.board,
        &g.backgrounds,
        &g.balance,
        &g.shop,
        &g.starAward,
        &g.lifeLostAward,
        &g.dragging,
        &g.bestScores,
        &g.bestTimes,
        &g.lastGameValue,
        &g.trophies,
        &g.nameEntryPending,
    };
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LT(order[i - 1], order[i]) << "member " << i;
}

// The quest's intro waits on its pages for the player, then for its own
// fade, before the level comes.
TEST(GameStart, TheIntroWaitsForThePlayerAndItsFade)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    game.ClickId(game->screens->mainMenu.form, Command::PlayQuest);
    ASSERT_TRUE(game.RunUntil([&] { return game->subState == -7; }, 5.0f));
    EXPECT_TRUE(game->device->FindTexture("Intro")->texture);
    game.Seconds(5.0f);
    EXPECT_EQ(game->subState, -7);
    game.Click(0.0f, 0.0f);
    EXPECT_EQ(game->screens->IntroPage(), 1);
    EXPECT_EQ(game->subState, -7);
    game.Key(13);
    EXPECT_EQ(game->subState, -6);
    game.Frames(1);
    EXPECT_EQ(game->subState, -6); // the intro is still fading out
    ASSERT_TRUE(game.RunUntil([&] { return game->subState >= 0; }, 2.0f));
    EXPECT_FALSE(game->device->FindTexture("Intro")->texture);
    ASSERT_TRUE(game.RunUntil([&] { return game->mode == kModePlaying; }, 5.0f));
    EXPECT_EQ(game->phase, kPhasePlay);
    EXPECT_EQ(game->level, 1);
    EXPECT_EQ(game->questSave->state, 0);
}
