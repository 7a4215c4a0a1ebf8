// The totems' own frame on the null device: seven totems owned at level 4
// with the panel beside the board, and one colour after another flying to
// the front, lighting its lamp and flying back as the next comes. A frame is
// the manager's update (1/60 s) and its sprite renderer's update and
// drawing. Besides the time, it reports the draw calls, the runs of texture
// and blend they should be, and the allocations per frame, over all frames
// and over the frames that made no sprite.
#include "BenchDevice.h"

#include "engine/Sprite.h"
#include "totems/TotemsManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <unistd.h>

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

namespace {

constexpr float kDt = 1.0f / 60.0f;

struct Rig : BenchDevice {
    Rig()
    {
        sprites = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        totems.SetRenderers(device, sprites, {}, {}, nullptr);
        totems.LoadConfig("Data\\Config\\Totems.cfg");
        totems.LoadTextures("Data\\Gfx\\");
        std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
        shared[CTotemsManager::kHalo1] =
            device->LoadTexture("Data\\Gfx\\Halo1.tga", "Halo1", 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        totems.SetTextures(shared);
        totems.levels.fill(4);
        totems.Reset();
        totems.BuildPanel(true);
    }
    // The next colour when the front is free or its totem has arrived.
    void Play()
    {
        if (totems.IsIdle() && (totems.pendingColour < 0 || totems.Placed(totems.pendingColour)->state == 0)) {
            totems.QueueTotem(next);
            next = (next + 3) % CTotemsManager::kColours;
        }
    }
    void Frame()
    {
        totems.Update(kDt);
        sprites->Update(kDt, 0);
        sprites->RenderLayer(1);
    }
    // The runs the drawing should come to: texture, blend and layer in
    // z-order, as the drawn list holds them.
    int Runs() const
    {
        int runs = 0;
        const CSprite* last = nullptr;
        for (const auto& s : sprites->sprites) {
            if (!s->visible)
                continue;
            if (!last || last->zOrder != s->zOrder || !SameTexture(last->texture, s->texture) ||
                last->srcBlend != s->srcBlend || last->destBlend != s->destBlend)
                ++runs;
            last = s.Get();
        }
        return runs;
    }

    CountedHandle<CSpriteRenderer> sprites;
    CTotemsManager totems;
    int next = 0;
};

void TotemsFrame(benchmark::State& state)
{
    Rig rig;
    for (int i = 0; i < 120; ++i) {
        rig.Play();
        rig.Frame();
    }
    long frames = 0, draws = 0, runs = 0, allocations = 0, still = 0, stillAllocations = 0;
    size_t held = 0;
    for (auto _ : state) {
        rig.Play();
        const int drawsBefore = rig.direct3d.log.draws;
        const long allocationsBefore = g_allocations;
        const size_t totemsBefore = rig.totems.Totems().size();
        const size_t spritesBefore = rig.sprites->sprites.size() + rig.sprites->hiddenSprites.size();
        rig.Frame();
        const long made = g_allocations - allocationsBefore;
        allocations += made;
        draws += rig.direct3d.log.draws - drawsBefore;
        runs += rig.Runs();
        held += rig.sprites->sprites.size();
        // A frame that made no totem and no sprite (a lamp, a flash).
        const size_t spritesAfter = rig.sprites->sprites.size() + rig.sprites->hiddenSprites.size();
        if (rig.totems.Totems().size() <= totemsBefore && spritesAfter <= spritesBefore) {
            ++still;
            stillAllocations += made;
        }
        rig.direct3d.log.calls.clear();
        ++frames;
    }
    const double n = static_cast<double>(frames);
    state.counters["draws/frame"] = static_cast<double>(draws) / n;
    state.counters["runs/frame"] = static_cast<double>(runs) / n;
    state.counters["sprites/frame"] = static_cast<double>(held) / n;
    state.counters["allocs/frame"] = static_cast<double>(allocations) / n;
    state.counters["allocs/still"] =
        still ? static_cast<double>(stillAllocations) / static_cast<double>(still) : 0;
}
BENCHMARK(TotemsFrame)->Unit(benchmark::kMicrosecond);

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
