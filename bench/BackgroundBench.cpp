// One frame of the scene backgrounds on the null device: the manager's update
// and the background's part of the frame (the scene, particle layer 1 and
// flare layer 1). The treasury is measured with twelve sets just celebrated
// and its chest breaking (pieces, glow worms, fading rays); the main menu in
// its ordinary run. Besides the time, each reports its draw calls, the runs
// of texture and blend they should be, and its allocations per frame.
#include "BenchDevice.h"

#include "backgrounds/BackgroundManager.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <unistd.h>

// Every allocation of the process is counted, so a frame's can be told. The
// replacements pair malloc with free, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<long> g_allocations{0};
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

namespace {

struct Rig : BenchDevice {
    Rig()
    {
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        flares = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        particles = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        const std::string gfx = "Data\\Gfx\\";
        BackgroundResources shared;
        shared.sprites = sprites;
        shared.flares = flares;
        shared.particles = particles;
        shared.flare = device->LoadTextureForAlpha(gfx + "Flare.jpg", "Flare", 1, 0, D3DPOOL_MANAGED);
        shared.spark = device->LoadTexture(gfx + "Spark.bmp", "Spark", 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        shared.halo = device->LoadTexture(gfx + "Halo1.tga", "Halo1", 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        manager = MakeCountedHandle(new CBackgroundManager());
        manager->SetDevice(device, vertices, indices);
        manager->SetResources(shared);
        manager->LoadSettings("Data\\Config\\Background.cfg");
        manager->Init(gfx);
        manager->OpenRenderGate();
    }
    // The background's part of the game's frame.
    void Frame(float dt)
    {
        manager->Update(dt);
        particles->Update(dt);
        flares->Update(dt);
        manager->Render();
        particles->RenderAlphaTested();
        particles->RenderBlended();
        if (!flares->flares.empty())
            flares->Render();
        direct3d.log.calls.clear();
    }
    // Draws a frame should make: one per run of sprites the renderer may
    // batch, one per mesh pass, one per particle system with live particles,
    // one per run of flares of one texture.
    int Runs(int meshPasses) const
    {
        int runs = meshPasses;
        for (const auto& system : particles->BlendedSystems())
            runs += system->LiveCount() > 0;
        const CSprite* last = nullptr;
        for (const auto& s : sprites->sprites) // the main pass
            if (!s->blended) {
                runs += !last || !SameTexture(last->texture, s->texture) || last->depthWrite != s->depthWrite;
                last = s.Get();
            }
        for (int layer : {0, 1}) {
            std::vector<const CSprite*> pass;
            for (const auto& s : sprites->sprites)
                if (s->blended && s->layer == layer)
                    pass.push_back(s.Get());
            std::stable_sort(pass.begin(), pass.end(),
                             [](const CSprite* a, const CSprite* b) { return a->zOrder > b->zOrder; });
            for (size_t i = 0; i < pass.size(); ++i) {
                const CSprite *a = i ? pass[i - 1] : nullptr, *b = pass[i];
                runs += !a || a->zOrder != b->zOrder || !SameTexture(a->texture, b->texture) ||
                        a->depthTest != b->depthTest || a->depthWrite != b->depthWrite ||
                        a->srcBlend != b->srcBlend || a->destBlend != b->destBlend;
            }
        }
        for (size_t i = 0; i < flares->flares.size(); ++i)
            runs += i == 0 || flares->flares[i - 1]->texture != flares->flares[i]->texture;
        return runs;
    }

    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CBackgroundManager> manager;
};

constexpr float kDt = 1.0f / 60.0f;

// What the measured frames did, frame by frame.
struct Tally {
    long frames = 0, draws = 0, runs = 0, allocations = 0;

    void Frame(Rig& rig, int meshPasses)
    {
        const int drawsBefore = rig.direct3d.log.draws;
        const long allocationsBefore = g_allocations;
        rig.Frame(kDt);
        allocations += g_allocations - allocationsBefore;
        draws += rig.direct3d.log.draws - drawsBefore;
        runs += rig.Runs(meshPasses);
        ++frames;
    }
    void Report(benchmark::State& state) const
    {
        const double n = static_cast<double>(frames);
        state.counters["draws/frame"] = static_cast<double>(draws) / n;
        state.counters["runs/frame"] = static_cast<double>(runs) / n;
        state.counters["allocs/frame"] = static_cast<double>(allocations) / n;
    }
};

// The chest breaks a little under five seconds after a celebrated twelfth
// gem; the frames measured are the second after it, the pieces still over
// the vault.
void TreasuryBreaking(benchmark::State& state)
{
    Rig rig;
    rig.manager->SetScene(CBackgroundManager::kTreasury);
    auto breakChest = [&] {
        plat::SeedRandom(3);
        rig.manager->SetProgress(11, 1);
        rig.manager->SetProgress(12, 0);
        CTreasuryBackground& vault = rig.manager->Treasury();
        while (vault.ChestState() != CTreasuryBackground::kChestBreak)
            rig.Frame(kDt);
    };
    breakChest();
    Tally tally;
    int sinceBreak = 0;
    for (auto _ : state) {
        tally.Frame(rig, 2);
        if (++sinceBreak == 60) {
            state.PauseTiming();
            breakChest();
            sinceBreak = 0;
            state.ResumeTiming();
        }
    }
    tally.Report(state);
    state.counters["pieces"] = static_cast<double>(rig.manager->Treasury().Pieces().size());
}
BENCHMARK(TreasuryBreaking)->Unit(benchmark::kMicrosecond);

void MainMenu(benchmark::State& state)
{
    Rig rig;
    rig.manager->SetScene(CBackgroundManager::kMainMenu);
    for (int i = 0; i < 600; ++i) // ten seconds: the leaves are falling
        rig.Frame(kDt);
    Tally tally;
    for (auto _ : state)
        tally.Frame(rig, rig.manager->MainMenu().Leaves().empty() ? 1 : 2);
    tally.Report(state);
}
BENCHMARK(MainMenu)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // The scenes read the installed pictures and settings.
    if (chdir(GALVORINE_GAME_DIR) != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
