// The totem powers' own frames on the null device, one colour after another
// at level 4 fired at strength 3 on the real board (the installed caps and
// skin, seeded) laid out anew for each power: 12 steel tokens, 10 gems and
// plain tokens to paint and secure gems on. A frame is the manager's update
// (1/60 s), the board's carrying out of its records, and sprite renderer 3
// and flare renderer 2 updated and drawn (both sprite passes). The rest of
// the board's frame (its rays, refill and tokens, with the totems left out)
// and particle manager 5's update and drawing are timed apart. Per power:
// the median and slowest frame, the draw calls, and the allocations per
// frame, also over the frames that start no effect.
#include "BenchDevice.h"
#include "BoardProbe.h"

#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Random.h"
#include "engine/Sprite.h"
#include "layout/QuestLayout.h"
#include "platform/System.h"
#include "tokens/CapsRenderer.h"
#include "totems/TotemBalance.h"
#include "totems/TotemsManager.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <new>
#include <unistd.h>
#include <vector>

// Every allocation of the process is counted, so a frame's can be told. The
// replacements pair malloc with free, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static long g_allocations = 0;
void* operator new(size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace d3d;

namespace {

constexpr float kDt = 1.0f / 60.0f;
using Clock = std::chrono::steady_clock;

struct Rig : BenchDevice {
    Rig()
    {
        plat::SeedRandom(23);
        random.Seed(23);
        layout.Load("Data\\Config\\Skin.cfg");
        caps = MakeCountedHandle(new CCapsRenderer(device, vertices, indices));
        if (!caps->LoadTextures("Data\\Gfx\\") || !caps->LoadAnimations("Data\\"))
            std::abort();
        board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        flares = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        particles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        particles->Environment().killMin = Vec3{-1000, -1000, -1000};
        particles->Environment().killMax = Vec3{1000, 1000, 1000};
        particles->Environment().view->eye.z = 10000.0f;
        balance.bonusSlots.assign(6, 3);
        totems = MakeCountedHandle(new CTotemsManager());
        totems->SetRenderers(device, sprites, particles, flares, &balance);
        totems->LoadConfig("Data\\Config\\Totems.cfg");
        totems->LoadTextures("Data\\Gfx\\");
        std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
        const char* files[CTotemsManager::kChain] = {
            "Halo1.tga",      "SpellFuzzy.bmp", "FireCloud.jpg", "StarParticle.bmp", "Twirl.tga",
            "PanelGlass.png", "GemFlares.tga",  "Lightning.jpg", "Spark.bmp",        "Cloud.jpg"};
        for (int i = 0; i < CTotemsManager::kChain; ++i)
            shared[static_cast<size_t>(i)] = device->LoadTexture(std::string("Data\\Gfx\\") + files[i], files[i],
                                                                 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        shared[CTotemsManager::kChain] = caps->ChainTexture();
        shared[CTotemsManager::kChainAlpha] = caps->ChainAlphaTexture();
        totems->SetTextures(shared);
        totems->levels.fill(4);
        board->SetTotems(totems);
        board->Show(true, true, 0.0f);
        BoardProbe(*board).SetColours({0, 1, 2, 3, 4, 5, 6});
        totems->Reset();
    }
    ~Rig() { SetTotemBalanceState(nullptr); }
    // A still board of 12 steel tokens and 10 gems among five colours that
    // make no run.
    void SetBoard()
    {
        board->Clear();
        BoardProbe probe(*board);
        probe.SetSteel(0.0f, 0);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) {
                const int cell = r * 8 + c;
                const bool steel = cell % 5 == 2 && cell < 60;
                const bool gem = !steel && cell % 6 == 1;
                probe.Place(c, r, steel ? kSteelColour : (c + 3 * r) % 5, gem, 0);
            }
        probe.FillDone();
        board->SetGemCounts(20, 12);
    }
    // The totems' part of a frame.
    void Frame()
    {
        if (totems->Update(kDt))
            BoardProbe(*board).ApplyTotemActions(totems->Actions());
        sprites->Update(kDt, 0);
        sprites->Render();
        sprites->RenderLayer(1);
        flares->Update(kDt);
        flares->Render();
    }
    // The rest of the board's frame: the totems were updated above.
    void BoardFrame()
    {
        board->SetTotems(idle);
        board->Update(kDt, -2000.0f, -2000.0f);
        board->SetTotems(totems);
        board->Events().Clear();
    }
    void Particles()
    {
        particles->Update(kDt);
        particles->RenderBlended();
    }
    void FullFrame()
    {
        Frame();
        BoardFrame();
        Particles();
    }
    // Frames until the colour's totem stands in front, its power charged
    // once and over, ready for a strength 3 power.
    void Prepare(int colour)
    {
        SetBoard();
        for (int i = 0; i < 600 && totems->pendingColour != colour; ++i) {
            if (totems->IsIdle())
                totems->QueueTotem(colour);
            FullFrame();
        }
        totems->QueueTotem(colour); // strength 2
        for (int i = 0; i < 600 && !(totems->IsIdle() && totems->Placed(colour)->state == 6); ++i)
            FullFrame();
        for (int i = 0; i < 600 && !board->IsIdle(); ++i)
            FullFrame();
        SetBoard();
    }
    // What the renderers hold, and the flares ever added.
    struct Held {
        size_t sprites, systems;
        int32_t flaresAdded;
    };
    Held Effects() const
    {
        return {sprites->sprites.size() + sprites->hiddenSprites.size(), particles->BlendedSystems().size(),
                flares->nextId};
    }

    CQuestLayout layout;
    CBalanceState balance;
    CRandomStream random;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CGameBoard> board;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CTotemsManager> totems;
    // What the board sees of the totems while the rest of its frame runs.
    CountedHandle<CTotemsManager> idle = MakeCountedHandle(new CTotemsManager());
};

void PowerFrames(benchmark::State& state)
{
    const int colour = static_cast<int>(state.range(0));
    Rig rig;
    std::vector<double> times, boardTimes, particleTimes;
    long frames = 0, draws = 0, allocations = 0, still = 0, stillAllocations = 0;
    for (auto _ : state) {
        rig.Prepare(colour);
        const CountedHandle<CTotem> totem = rig.totems->Placed(colour);
        rig.totems->QueueTotem(colour); // strength 3
        do {
            const int drawsBefore = rig.direct3d.log.draws;
            const long allocationsBefore = g_allocations;
            const Rig::Held before = rig.Effects();
            const Clock::time_point start = Clock::now();
            rig.Frame();
            const Clock::time_point mid = Clock::now();
            const long made = g_allocations - allocationsBefore;
            const Rig::Held after = rig.Effects();
            const Clock::time_point boardStart = Clock::now();
            rig.BoardFrame();
            const Clock::time_point boardEnd = Clock::now();
            rig.Particles();
            const Clock::time_point end = Clock::now();
            times.push_back(std::chrono::duration<double, std::micro>(mid - start).count());
            boardTimes.push_back(std::chrono::duration<double, std::micro>(boardEnd - boardStart).count());
            particleTimes.push_back(std::chrono::duration<double, std::micro>(end - boardEnd).count());
            allocations += made;
            draws += rig.direct3d.log.draws - drawsBefore;
            // A frame that started no sprite, flare or particle system.
            if (after.sprites <= before.sprites && after.systems <= before.systems &&
                after.flaresAdded == before.flaresAdded) {
                ++still;
                stillAllocations += made;
            }
            rig.direct3d.log.calls.clear();
            ++frames;
        } while (totem->PowerRuns() && frames < 100000);
    }
    std::sort(times.begin(), times.end());
    std::sort(boardTimes.begin(), boardTimes.end());
    std::sort(particleTimes.begin(), particleTimes.end());
    const double n = static_cast<double>(frames);
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["slowest_us"] = times.back();
    state.counters["board_median_us"] = boardTimes[boardTimes.size() / 2];
    state.counters["particles_median_us"] = particleTimes[particleTimes.size() / 2];
    state.counters["frames"] = n;
    state.counters["draws/frame"] = static_cast<double>(draws) / n;
    state.counters["allocs/frame"] = static_cast<double>(allocations) / n;
    state.counters["allocs/still"] =
        still ? static_cast<double>(stillAllocations) / static_cast<double>(still) : 0;
}
// Blue, red, violet, orange, green, white, yellow.
BENCHMARK(PowerFrames)
    ->Arg(kBlueTotem)
    ->Arg(kRedTotem)
    ->Arg(kVioletTotem)
    ->Arg(kOrangeTotem)
    ->Arg(kGreenTotem)
    ->Arg(kWhiteTotem)
    ->Arg(kYellowTotem)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The board and the totems read the installed pictures, the skin and
    // "Totems.cfg".
    if (chdir(GALVORINE_GAME_DIR) != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
