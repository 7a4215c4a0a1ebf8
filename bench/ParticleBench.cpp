// One frame of the particle engine on the null device: six managers sharing
// 65,536-entry buffers, about forty systems of every kind (smokes in all
// three blend modes; keeper-driven systems with multi-origin, vortex and
// sand-with-dust keepers) held at about 10,000 live particles. A frame is the
// six updates of 1/60 s and both drawing passes of every manager.
#include "BenchDevice.h"

#include "effects/keepers/DustTrackKeeper.h"
#include "effects/keepers/MultiOriginSystemKeeper.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/keepers/VortexKeeper.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

using namespace d3d;

// Every heap allocation of the process is counted, so a frame that
// allocates shows up in the figures. GCC cannot see that these news and
// deletes pair up through malloc and free.
namespace {
long g_allocations = 0;
}
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr float kForever = 1e6f;

struct Scene : BenchDevice {
    Scene()
    {
        for (int i = 0; i < 6; ++i) {
            managers[i] = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
            CParticleEnvironment& env = managers[i]->Environment();
            env.killMin = Vec3{-1000, -1000, -1000};
            env.killMax = Vec3{1000, 1000, 1000};
            env.view->eye.z = 10000.0f;
        }
        for (int i = 0; i < 4; ++i)
            textures[i] =
                device->CreateTexture("T" + std::to_string(i), 16, 16, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);
        Populate();
    }

    CParticleSystemsManager& Layer(int n) { return *managers[n % 6]; }
    float X(int n) const { return static_cast<float>((n * 137) % 800 - 400); }

    void Populate()
    {
        for (int n = 0; n < 6; ++n) { // about 270 sparks each
            CSparksSpringParametres p(X(n), 0, 0, 0, 120, 0, 1, 0, 0, 80, 20, 0xFFD080);
            p.rate = 200.0f;
            p.duration = kForever;
            p.width = 3.0f;
            p.maxLength = 20.0f;
            Layer(n).AddSparks(&p, 400, textures[0]);
        }
        const int blends[] = {kSmokeAlphaBlend, kSmokeAdditive, kSmokeDarken};
        for (int n = 0; n < 9; ++n) { // 240 puffs each
            CSmokesSpringParametres p(X(n + 7), 50, 0, 0, 1, 0, 1, 0, 0, 40, 40, 0.5f, 0.5f, 0x808080,
                                      blends[n % 3]);
            p.speed = 30.0f;
            p.size = 40.0f;
            p.fadeRate = 0.5f;
            p.fadeSpread = 0.0f;
            p.rate = 120.0f;
            p.duration = kForever;
            Layer(n).AddSmokes(&p, 320, textures[1]);
        }
        for (int n = 0; n < 4; ++n) { // 250 fireballs each, never fading
            CExplosionParametres p(X(n + 20), -50, 0, 0, 0, 0, 0, 1, 0, 30, 0.2f, 250, 0xFFC060, n % 2);
            p.speed = 200.0f;
            p.fadeRate = 0.0f;
            p.fadeSpread = 0.0f;
            Layer(n).AddExplosion(&p, 250, textures[2]);
        }
        for (int n = 0; n < 4; ++n) { // 3 bolts of 20 segments each
            CThunderboltParametres p(X(n + 30), 200, 0, 1, 0, 0, 0, 1, 0, 20, 20, 4, X(n + 31), -200, 0, 1, 0, 0,
                                     0, 1, 0, 20, 20, 4, 20, 3, 0xD0D0FF);
            p.duration = kForever;
            Layer(n + 2).AddThunderbolt(&p, 63, textures[3]);
        }
        for (int n = 0; n < 5; ++n) { // 200 sparkles each
            CSpellsSpringParametres p(X(n + 40), 100, 0, 0, 0, 0, 40, 10, 12, 4, 0xFFFFFF);
            p.fadeSpread = 0.0f;
            p.rate = 100.0f;
            p.duration = kForever;
            p.randomRotation = true;
            p.spin = 200.0f;
            Layer(n + 1).AddSpells(&p, 280, textures[0]);
        }
        for (int n = 0; n < 4; ++n) { // about 250 each from eight origins
            auto keeper = MakeCountedHandle(new CMultiOriginSystemKeeper());
            keeper->SetOriginsOnCircle(60, 8, 0, 220, 30, MultiOriginEmission(), false);
            Keeper(n, keeper, 400);
        }
        for (int n = 0; n < 4; ++n) { // about 180 each
            auto keeper = MakeCountedHandle(new CVortexKeeper());
            keeper->rate = 160.0f;
            Keeper(n + 3, keeper, 300);
        }
        for (int n = 0; n < 3; ++n) { // grains falling to a ground line, and their dust
            auto sand = MakeCountedHandle(new CSandKeeper());
            sand->rate = 100.0f;
            sand->groundLine = -300.0f;
            auto grains = Keeper(n, sand, 200);
            auto dust = MakeCountedHandle(new CDustTrackKeeper(*sand, grains));
            dust->rate = 4.0f;
            Keeper(n, dust, 700);
        }
        for (int i = 0; i < 600; ++i) // ten seconds to settle
            Frame();
    }

    template <class K>
    CountedHandle<CParticleSystem> Keeper(int n, const CountedHandle<K>& keeper, int capacity)
    {
        CCollection2Parametres p(X(n + 50), 0, 0, nullptr, keeper, n % 3);
        p.keeperFlag = true;
        p.duration = kForever;
        return Layer(n).AddCollection2(&p, capacity, textures[n % 4]);
    }

    void Frame()
    {
        for (auto& m : managers)
            m->Update(1.0f / 60.0f);
        for (auto& m : managers) {
            m->RenderAlphaTested();
            m->RenderBlended();
        }
    }

    int Systems() const
    {
        int n = 0;
        for (const auto& m : managers)
            n += static_cast<int>(m->BlendedSystems().size());
        return n;
    }

    int Live(int* drawn) const
    {
        int live = 0;
        *drawn = 0;
        for (const auto& m : managers)
            for (const auto& s : m->BlendedSystems()) {
                live += s->LiveCount();
                *drawn += s->LiveCount() > 0;
            }
        return live;
    }

    CountedHandle<CParticleSystemsManager> managers[6];
    CountedHandle<CTexture> textures[4];
};

void ParticleFrame(benchmark::State& state)
{
    plat::SeedRandom(9);
    Scene scene;
    NullDeviceLog& log = scene.direct3d.log;
    const int drawsBefore = log.draws;
    const long allocationsBefore = g_allocations;
    for (auto _ : state)
        scene.Frame();
    const double frames = static_cast<double>(state.iterations());
    int drawnSystems = 0;
    const int live = scene.Live(&drawnSystems);
    state.counters["systems"] = scene.Systems();
    state.counters["live"] = live;
    state.counters["draws/frame"] = (log.draws - drawsBefore) / frames;
    state.counters["systems drawn"] = drawnSystems;
    state.counters["allocs/frame"] = static_cast<double>(g_allocations - allocationsBefore) / frames;
    // Seconds per live particle, shown in ns.
    state.counters["per particle"] =
        benchmark::Counter(live, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ParticleFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
