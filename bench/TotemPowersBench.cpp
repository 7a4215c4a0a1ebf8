// The totem powers' own frames on the null device, one colour after another
// at level 4 fired at strength 3 on a board of 12 steel tokens, 10 gems and
// plenty of plain tokens to paint and secure gems on. The board is the
// totems tests' stub, which answers the records as the game's board does; a
// frame is the manager's update (1/60 s), the stub's answers and the sprite
// and flare renderers' updates and drawing (both sprite passes). The
// particle manager's update and drawing are timed apart. Per power: the
// median and slowest frame, the draw calls, and the allocations per frame,
// also over the frames that start no effect.
#include "BenchDevice.h"
#include "StubBoard.h"

#include "balance/BalanceState.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/Sprite.h"
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
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

using namespace d3d;
using namespace totems_rig;

namespace {

constexpr float kDt = 1.0f / 60.0f;
using Clock = std::chrono::steady_clock;

struct Rig : BenchDevice {
    Rig()
    {
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        flares = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        particles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        particles->Environment().killMin = Vec3{-1000, -1000, -1000};
        particles->Environment().killMax = Vec3{1000, 1000, 1000};
        particles->Environment().view->eye.z = 10000.0f;
        balance.bonusSlots.assign(6, 3);
        totems.SetRenderers(device, sprites, particles, flares, &balance);
        totems.LoadConfig("Data\\Config\\Totems.cfg");
        totems.LoadTextures("Data\\Gfx\\");
        std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
        const char* files[CTotemsManager::kChain] = {
            "Halo1.tga",      "SpellFuzzy.bmp", "FireCloud.jpg", "StarParticle.bmp", "Twirl.tga",
            "PanelGlass.png", "GemFlares.tga",  "Lightning.jpg", "Spark.bmp",        "Cloud.jpg"};
        for (int i = 0; i < CTotemsManager::kChain; ++i)
            shared[static_cast<size_t>(i)] = device->LoadTexture(std::string("Data\\Gfx\\") + files[i], files[i],
                                                                 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        totems.SetTextures(shared);
        totems.levels.fill(4);
        totems.Reset();
    }
    // A board of 12 steel tokens and 10 gems.
    void SetBoard()
    {
        board = StubBoard();
        board.gemsToPlace = 12;
        for (int i = 0; i < 12; ++i)
            board.cells[static_cast<size_t>(i * 5 + 2)].colour = kSteel;
        for (int i = 0; i < 10; ++i)
            board.cells[static_cast<size_t>(i * 6 + 1)].gem = true;
    }
    void Frame()
    {
        if (totems.Update(kDt))
            board.Apply(totems);
        sprites->Update(kDt, 0);
        sprites->Render();
        sprites->RenderLayer(1);
        flares->Update(kDt);
        flares->Render();
    }
    void Particles()
    {
        particles->Update(kDt);
        particles->RenderBlended();
    }
    // Frames until the colour's totem stands in front, its power charged
    // once and over, ready for a strength 3 power.
    void Prepare(int colour)
    {
        SetBoard();
        for (int i = 0; i < 600 && totems.pendingColour != colour; ++i) {
            if (totems.IsIdle())
                totems.QueueTotem(colour);
            Frame();
            Particles();
        }
        totems.QueueTotem(colour); // strength 2
        for (int i = 0; i < 600 && !(totems.IsIdle() && totems.Placed(colour)->state == 6); ++i) {
            Frame();
            Particles();
        }
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

    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CParticleSystemsManager> particles;
    CBalanceState balance;
    CTotemsManager totems;
    StubBoard board;
};

void PowerFrames(benchmark::State& state)
{
    const int colour = static_cast<int>(state.range(0));
    Rig rig;
    std::vector<double> times, particleTimes;
    long frames = 0, draws = 0, allocations = 0, still = 0, stillAllocations = 0;
    for (auto _ : state) {
        rig.Prepare(colour);
        const CountedHandle<CTotem> totem = rig.totems.Placed(colour);
        rig.totems.QueueTotem(colour); // strength 3
        do {
            const int drawsBefore = rig.direct3d.log.draws;
            const long allocationsBefore = g_allocations;
            const Rig::Held before = rig.Effects();
            const Clock::time_point start = Clock::now();
            rig.Frame();
            const Clock::time_point mid = Clock::now();
            const long made = g_allocations - allocationsBefore;
            const Rig::Held after = rig.Effects();
            rig.Particles();
            const Clock::time_point end = Clock::now();
            times.push_back(std::chrono::duration<double, std::micro>(mid - start).count());
            particleTimes.push_back(std::chrono::duration<double, std::micro>(end - mid).count());
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
    std::sort(particleTimes.begin(), particleTimes.end());
    const double n = static_cast<double>(frames);
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["slowest_us"] = times.back();
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
    // The totems read the installed pictures and "Totems.cfg".
    if (chdir(GALVORINE_GAME_DIR) != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
