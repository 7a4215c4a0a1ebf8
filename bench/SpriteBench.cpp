// One frame of the sprite renderer on the null device: 2,000 sprites over 8
// textures and 2 blend presets in mixed z-order, built and submitted.
#include "engine/Log.h"
#include "engine/Sprite.h"
#include "platform/NullDirect3D.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace d3d;

static void SpriteFrame(benchmark::State& state)
{
    SetLogName("/dev/null"); // the device's farewell line is not the benchmark's business
    NullDirect3D direct3d(NullDirect3D::StandardAdapters());
    auto device = MakeCountedHandle(new CRenderDevice(&direct3d, 0));
    device->CreateDevice(1024, 768, D3DFMT_X8R8G8B8, 0, 1, nullptr, D3DFMT_D16, 1, 0, 1, 0);
    direct3d.lastDevice->quiet = true;
    auto vertices = device->CreateVertexBuffer(65536, 0x208, 0x242, D3DPOOL_DEFAULT);
    auto indices = device->CreateIndexBuffer(65536, D3DFMT_INDEX16, 0x208, D3DPOOL_DEFAULT);
    std::vector<CountedHandle<CTexture>> textures;
    for (int i = 0; i < 8; ++i)
        textures.push_back(
            device->CreateTexture("T" + std::to_string(i), 16, 16, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8));
    CSpriteRenderer renderer(device, vertices, indices);
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
    NullDeviceLog& log = direct3d.log;
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
