// The board's frame on the null device, with the real caps, mesh, rays and
// selection highlight: a level-1 board in play, a scripted player swapping a
// random possible move whenever the board rests, the no-move search forced
// every frame, then the mesh, the caps and the chains drawn. And the
// no-move search alone on a full board that has no move.
#include "BenchDevice.h"
#include "BoardProbe.h"

#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Flare.h"
#include "engine/Random.h"
#include "engine/Sprite.h"
#include "layout/QuestLayout.h"
#include "platform/System.h"
#include "rays/TerminatorsManager.h"
#include "rays/TokenHighlight.h"
#include "tokens/CapsRenderer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <unistd.h>
#include <utility>

using namespace d3d;

namespace {

// The benchmark reads the installed pictures, animations and skin.
void EnterGameFolder()
{
    if (chdir(GALVORINE_GAME_DIR) != 0)
        std::abort();
}

// Distinct (layer, texture) runs of the visible caps: the fewest draws the
// caps' first pass can make; and the light textures of the lit caps, the
// draws of the second pass.
int TextureLayerRuns(const CCapsRenderer& caps)
{
    std::set<std::pair<int, const void*>> runs;
    for (const CountedHandle<CCap>& cap : caps.Caps())
        if (cap->visible)
            runs.insert({cap->layer, cap->baseTexture.Get()});
    return static_cast<int>(runs.size());
}

int LightRuns(const CCapsRenderer& caps)
{
    std::set<const void*> runs;
    for (const CountedHandle<CCap>& cap : caps.Caps())
        if (cap->visible && cap->hoverLight && cap->lit)
            runs.insert(cap->lightTexture.Get());
    return static_cast<int>(runs.size());
}

void BoardFrame(benchmark::State& state)
{
    EnterGameFolder();
    BenchDevice rig;
    const CountedHandle<CRenderDevice>& device = rig.device;
    const CountedHandle<CVertexBuffer>& vertices = rig.vertices;
    const CountedHandle<CIndexBuffer>& indices = rig.indices;
    auto load = [&](const char* file) {
        return device->LoadTexture(std::string("Data\\Gfx\\") + file, file, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    };

    CQuestLayout layout;
    layout.Load("Data\\Config\\Skin.cfg");
    CBalanceState balance;
    CRandomStream random(17);
    auto caps = MakeCountedHandle(new CCapsRenderer(device, vertices, indices));
    if (!caps->LoadTextures("Data\\Gfx\\") || !caps->LoadAnimations("Data\\")) {
        state.SkipWithError("the caps pictures are not installed");
        return;
    }
    auto sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
    auto glows = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
    auto sparkles = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
    auto board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
    board->Reset(0);
    BoardLooks looks;
    auto particles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
    looks.particles = looks.particlesFront = particles;
    looks.mesh = {load("Frame.png"), load("FrameBack.tga")};
    board->SetLooks(looks);
    board->SetSelectionMarker(MakeCountedHandle(
        new CTokenHighlight(particles, sprites, glows, load("Selector.png"), load("StarParticle.bmp"))));
    board->EquipRays(particles, particles, glows, sparkles, sprites, load("Spark.bmp"),
                     device->FindTexture("Chain"), load("Lightning.jpg"));
    board->Show(true, true, 0.0f);
    BoardProbe probe(*board);
    const CountedHandle<IBufferLayer> mesh = board->MeshLayer();
    const FrameTargets targets{device, vertices, indices};

    plat::SeedRandom(17);
    const float dt = 1.0f / 60.0f;
    const Vec2 pointer = board->CellToPoint(3, 3, true);
    NullDeviceLog& log = rig.log();
    double slowest = 0;
    long long draws = 0, capsDraws = 0, runs = 0, frames = 0;
    // Only the board's own frame is timed: the player's choice of a move and
    // the updates of the effects the board started belong to the game.
    for (auto _ : state) {
        if (board->IsIdle()) {
            MatchMove move;
            if (board->Analysis().PickRandomMove(&move, RandomUnit())) {
                board->Pick(board->Cell(move.column1, move.row1));
                board->Swap(move.column1, move.row1, move.column2, move.row2, false);
            } else {
                board->Reset(0);
            }
        }
        probe.SearchForMovesNow(); // the no-move search runs every frame
        glows->Update(dt);
        sparkles->Update(dt);
        particles->Update(dt);
        const int before = log.draws;
        const auto start = std::chrono::steady_clock::now();
        board->Update(dt, pointer.x, pointer.y);
        mesh->Draw(targets);
        const int beforeCaps = log.draws;
        caps->Render();
        const int capsCalls = log.draws - beforeCaps;
        caps->DrawChains();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        slowest = std::max(slowest, took.count() * 1e6);
        draws += log.draws - before;
        capsDraws += capsCalls - LightRuns(*caps);
        runs += TextureLayerRuns(*caps);
        board->Events().Clear();
        ++frames;
    }
    state.counters["slowest_us"] = slowest;
    state.counters["draws/frame"] = static_cast<double>(draws) / static_cast<double>(frames);
    state.counters["caps_pass1_draws/frame"] = static_cast<double>(capsDraws) / static_cast<double>(frames);
    state.counters["texture_layer_runs"] = static_cast<double>(runs) / static_cast<double>(frames);
}
BENCHMARK(BoardFrame)->Iterations(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The level-1 colours repeating only five cells apart: no run, no move.
void NoMoveSearch(benchmark::State& state)
{
    const int colours[] = {1, 3, 4, 5, 6};
    CMatchAnalyser analyser;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            analyser.Cell(c, r) = colours[(c + 3 * r) % 5];
    for (auto _ : state)
        benchmark::DoNotOptimize(analyser.HasPossibleMove(3, false));
    if (analyser.HasPossibleMove(3, false))
        state.SkipWithError("the board has a move");
}
BENCHMARK(NoMoveSearch)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
