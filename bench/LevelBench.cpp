// A level's colours on the null device with the real caps: the shuffle of
// a start layout (level 1's five colours with its letters, level 41's seven
// with its steel basin), a level's whole first fill (64 new tokens with
// their caps and fall paths), and the animated reshuffle of a full board.
// Each call is timed alone; the board is emptied again off the clock.
#include "BoardProbe.h"
#include "LabBoard.h"

#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

// The lab's board at a level of the installation, or empty (with the
// benchmark skipped) when the installation lacks what it needs.
std::unique_ptr<LabBoard> BoardAt(benchmark::State& state, int level)
{
    if (chdir(GALVORINE_GAME_DIR) != 0)
        std::abort();
    auto lab = std::make_unique<LabBoard>();
    bool parsed = false;
    lab->StartLevel(level, "l" + std::to_string(level) + ".lvl", Lesson::None, &parsed);
    if (!lab->Ready() || !parsed) {
        state.SkipWithError("the caps pictures or the level file are not installed");
        return {};
    }
    lab->Seed(7);
    return lab;
}

template <typename Setup, typename Call, typename After>
void Timed(benchmark::State& state, Setup setup, Call call, After after)
{
    for (auto _ : state) {
        setup();
        const auto start = std::chrono::steady_clock::now();
        call();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        after();
    }
}

void ShuffleStartLayout(benchmark::State& state)
{
    const auto lab = BoardAt(state, static_cast<int>(state.range(0)));
    if (!lab)
        return;
    BoardProbe probe(*lab->board);
    Timed(
        state, [] {}, [&] { benchmark::DoNotOptimize(probe.Shuffle(0, 0)); }, [] {});
}

void FirstFill(benchmark::State& state)
{
    const auto lab = BoardAt(state, 1);
    if (!lab)
        return;
    Timed(
        state, [] {}, [&] { lab->FirstFill(); },
        [&] {
            lab->board->FlushTokens();
            lab->board->LetFallenTokensGo();
        });
}

void ShuffleAnimatedFullBoard(benchmark::State& state)
{
    const auto lab = BoardAt(state, 20);
    if (!lab)
        return;
    Timed(
        state, [&] { lab->FirstFill(); }, [&] { lab->board->ShuffleAnimated(1.5f, 30); },
        [&] {
            lab->board->LetFallenTokensGo();
            lab->board->SetLocked(false);
        });
}

} // namespace

BENCHMARK(ShuffleStartLayout)->Arg(1)->Arg(41)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstFill)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(ShuffleAnimatedFullBoard)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
