// The game's whole frame (update, render, present) on the recording null
// device: the real game object from the installed data, seeded. The level
// lab's reference player plays level 3, a move every 1.5 s of rest, clicking
// its tokens through the game's mouse handlers; after 5 s of play, 60 s of frames of
// 1/60 s are timed one by one (the rays, the sand, the popups and the
// particles all run). The level's goal is kept out of reach, so the minute
// stays on the board. Also the main menu's frame and the level results'
// tally. Each reports the median, the 99th percentile and the slowest
// frame, and the draw calls per frame.
#include "FrameTimes.h"
#include "GameHarness.h"
#include "ReferencePlay.h"

#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <unistd.h>

namespace {

constexpr float kFrame = GameHarness::kFrame;

void EnterGameFolder()
{
    if (chdir(GALVORINE_GAME_DIR) != 0)
        std::abort();
}

// A player called Bench who has seen the tutorial: its prompts write the
// player's settings, which is the disk's time, not the frame's.
void MakeBench(const std::string& user)
{
    plat::CreateDirectory(user + "Players\\Bench");
    testing_support::WriteText(user + "Players/Bench/Settings.ini", "[Main]\nQuestTutorial=0\n");
}

// A game at the main menu with the player Bench.
bool ToTheMenu(GameHarness& game)
{
    if (!game.started)
        return false;
    game.d3d.lastDevice->quiet = true;
    return game.RunUntil([&] { return GameHarness::Shown(game->services.screens->mainMenu.form); }, 30.0f);
}

// The quest's first level, then level 3 started as the map starts it.
bool ToLevel3(GameHarness& game)
{
    if (!ToTheMenu(game))
        return false;
    // "Play the Quest" as a player clicks it: the main menu goes.
    game.Click(*game->services.screens->mainMenu.form->FindChild(IdOf(Command::PlayQuest)));
    if (!game.RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 5.0f))
        return false;
    game.Key(32);
    if (!game.RunUntil([&] { return game->flow.IsIn<CPlay>(); }, 10.0f))
        return false;
    game->flow.loader.StartLevel(3);
    game->services.SwitchBackgroundForStage(1, 3);
    game->flow.Enter(game->flow.levelStart);
    return game.RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 10.0f);
}

bool ToLevel3(GameHarness& game, benchmark::State& state)
{
    if (ToLevel3(game))
        return true;
    state.SkipWithError("the game did not reach level 3");
    return false;
}

using Player = ReferencePlay<GameHarness>;

void PlayLevel3(benchmark::State& state)
{
    EnterGameFolder();
    for (auto _ : state) {
        plat::SeedRandom(3);
        GameHarness game(MakeBench);
        if (!ToLevel3(game, state))
            return;
        game->services.board->SetGemCounts(1000, game->services.board->GemsToPlace());
        Player player(game);
        for (int i = 0; i < static_cast<int>(5.0f / kFrame); ++i) {
            player.Frame();
            game->Frame(kFrame, 1, 0);
        }
        FrameTimes times;
        for (int i = 0; i < static_cast<int>(60.0f / kFrame); ++i) {
            player.Frame();
            times.Time(game);
        }
        times.Report(state);
        state.counters["moves"] = player.moves;
    }
}

void MainMenu(benchmark::State& state)
{
    EnterGameFolder();
    for (auto _ : state) {
        GameHarness game(MakeBench);
        if (!ToTheMenu(game)) {
            state.SkipWithError("the game did not reach the menu");
            return;
        }
        FrameTimes times;
        for (int i = 0; i < static_cast<int>(10.0f / kFrame); ++i)
            times.Time(game);
        times.Report(state);
    }
}

void ResultsTally(benchmark::State& state)
{
    EnterGameFolder();
    for (auto _ : state) {
        plat::SeedRandom(3);
        GameHarness game(MakeBench);
        if (!ToLevel3(game, state))
            return;
        game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
        if (!game.RunUntil([&] { return game->flow.IsIn<CLevelResults>(); }, 10.0f)) {
            state.SkipWithError("the level did not end");
            return;
        }
        FrameTimes times;
        while (game->flow.IsIn<CLevelResults>() && !game->flow.WaitsForPlayer() && times.micros.size() < 1200)
            times.Time(game);
        times.Report(state);
    }
}

} // namespace

BENCHMARK(PlayLevel3)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MainMenu)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ResultsTally)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
