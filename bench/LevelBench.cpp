// A level's colours on the null device with the real caps: the shuffle of
// a start layout (level 1's five colours with its letters, level 41's seven
// with its steel basin), a level's whole first fill (64 new tokens with
// their caps and fall paths), and the animated reshuffle of a full board.
// Each call is timed alone; the board is emptied again off the clock.
#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "engine/Log.h"
#include "engine/RenderDevice.h"
#include "layout/QuestLayout.h"
#include "platform/NullDirect3D.h"
#include "platform/System.h"
#include "records/Options.h"
#include "tokens/CapsRenderer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <unistd.h>

using namespace d3d;

namespace {

struct LevelRig {
    LevelRig()
        : direct3d(NullDirect3D::StandardAdapters()), device(MakeCountedHandle(new CRenderDevice(&direct3d, 0)))
    {
        SetLogName("/dev/null");
        if (chdir(GALVORINE_GAME_DIR) != 0)
            std::abort();
        device->CreateDevice(1024, 768, D3DFMT_X8R8G8B8, 0, 1, nullptr, D3DFMT_D16, 1, 0, 1, 0);
        direct3d.lastDevice->quiet = true;
        auto vertices = device->CreateVertexBuffer(65536, 0x208, 0x242, D3DPOOL_DEFAULT);
        auto indices = device->CreateIndexBuffer(65536, D3DFMT_INDEX16, 0x208, D3DPOOL_DEFAULT);
        layout.Load("Data\\Config\\Skin.cfg");
        caps = MakeCountedHandle(new CCapsRenderer(device, vertices, indices));
        ready = caps->LoadTextures("Data\\Gfx\\") && caps->LoadAnimations("Data\\");
        board = MakeCountedHandle(new CGameBoard(caps, layout, paths, balance, options));
    }
    // The level's difficulty and file on an empty board.
    void Level(int level)
    {
        board->Reset(0);
        board->SetLevelDifficulty(level);
        ready = ready && board->LoadLevel("Data\\Lvl\\l" + std::to_string(level) + ".lvl") == 1;
    }
    // The level's first fill, as the board's update makes it.
    void FirstFill()
    {
        board->firstFill = 1;
        board->Refill(true, true);
        board->firstFill = 0;
    }
    void Empty()
    {
        for (auto& row : board->grid)
            for (CountedHandle<CToken>& cell : row)
                cell.Reset();
        board->movingTokens.Clear();
        board->bonuses->RemoveAll();
    }

    NullDirect3D direct3d;
    CountedHandle<CRenderDevice> device;
    CQuestLayout layout;
    CDataPaths paths;
    CBalanceState balance;
    CGameOptions options;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CGameBoard> board;
    bool ready = false;
};

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
    LevelRig rig;
    rig.Level(static_cast<int>(state.range(0)));
    if (!rig.ready) {
        state.SkipWithError("the caps pictures or the level file are not installed");
        return;
    }
    plat::SeedRandom(7);
    Timed(
        state, [] {}, [&] { benchmark::DoNotOptimize(rig.board->Shuffle(0, 0)); }, [] {});
}

void FirstFill(benchmark::State& state)
{
    LevelRig rig;
    rig.Level(1);
    if (!rig.ready) {
        state.SkipWithError("the caps pictures or the level file are not installed");
        return;
    }
    plat::SeedRandom(7);
    Timed(
        state, [] {}, [&] { rig.FirstFill(); }, [&] { rig.Empty(); });
}

void ShuffleAnimatedFullBoard(benchmark::State& state)
{
    LevelRig rig;
    rig.Level(20);
    if (!rig.ready) {
        state.SkipWithError("the caps pictures or the level file are not installed");
        return;
    }
    plat::SeedRandom(7);
    Timed(
        state, [&] { rig.FirstFill(); }, [&] { rig.board->ShuffleAnimated(1.5f, 30); },
        [&] {
            rig.board->SetLocked(false);
            rig.Empty();
        });
}

} // namespace

BENCHMARK(ShuffleStartLayout)->Arg(1)->Arg(41)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstFill)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(ShuffleAnimatedFullBoard)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
