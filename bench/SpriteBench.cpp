// One frame of the sprite renderer on the null device: 2,000 sprites over 8
// textures and 2 blend presets in mixed z-order, built and submitted.
#include "BenchDevice.h"

#include "engine/Sprite.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace d3d;

static void SpriteFrame(benchmark::State& state)
{
    BenchDevice rig;
    const CountedHandle<CRenderDevice>& device = rig.device;
    std::vector<CountedHandle<CTexture>> textures;
    for (int i = 0; i < 8; ++i)
        textures.push_back(
            device->CreateTexture("T" + std::to_string(i), 16, 16, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8));
    CSpriteRenderer renderer(device, rig.vertices, rig.indices);
    std::srand(7);
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto sprite = MakeCountedHandle(
            new CSprite(static_cast<float>(std::rand() % 1024 - 512), static_cast<float>(std::rand() % 768 - 384),
                        0, 32, 32, 0xFFFFFFFF, textures[static_cast<size_t>(std::rand() % 8)], 1));
        sprite->SetBlendMode(1, std::rand() % 2);
        sprite->zOrder = std::rand() % 16;
        renderer.Add(sprite);
    }
    NullDeviceLog& log = rig.log();
    int draws = 0;
    for (auto _ : state) {
        const int before = log.draws;
        renderer.Update(0.016f, 0);
        renderer.RenderLayer(1);
        draws = log.draws - before;
        log.calls.clear();
    }
    // Runs of equal texture and preset in z-order, as the list holds them.
    int runs = 0;
    const CSprite* last = nullptr;
    for (const auto& s : renderer.sprites) {
        if (!last || last->zOrder != s->zOrder || !SameTexture(last->texture, s->texture) ||
            last->srcBlend != s->srcBlend || last->destBlend != s->destBlend)
            ++runs;
        last = s.Get();
    }
    state.counters["draws/frame"] = draws;
    state.counters["runs"] = runs;
    state.counters["sprites"] = count;
}
BENCHMARK(SpriteFrame)->Arg(2000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
