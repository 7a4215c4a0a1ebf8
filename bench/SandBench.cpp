// The sand under the board on the null device. (a) One heightfield update
// of 1/60 s with the box draining, in steady play (two grains landing a
// frame) and in a burst frame (24 grains landing at once on an uneven box
// 40 % full). (b) A whole sand frame: the heightfield, the box, its two dune
// systems with about 300 live particles, both box passes and the manager's
// two passes. Every frame is timed on its own, so the mean and the 99th
// percentile can be reported.
#include "BenchDevice.h"

#include "effects/particles/ParticleSystemsManager.h"
#include "effects/sandbox/DuneKeepers.h"
#include "effects/sandbox/SandHeightfield.h"
#include "effects/sandbox/Sandbox.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A small seeded generator: the same frames on every run.
class Seeded {
public:
    explicit Seeded(uint32_t seed) : m_state(seed) {}
    float Unit()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<float>(m_state >> 8) / 16777216.0f;
    }

private:
    uint32_t m_state;
};

// Times each frame by the clock, hands the time to the benchmark and keeps
// it for the percentile.
class FrameTimes {
public:
    template <typename Frame>
    void Run(benchmark::State& state, Frame&& frame)
    {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        frame();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        m_samples.push_back(seconds);
    }

    void Report(benchmark::State& state)
    {
        if (m_samples.empty())
            return;
        const size_t at = m_samples.size() * 99 / 100;
        std::nth_element(m_samples.begin(), m_samples.begin() + static_cast<long>(at), m_samples.end());
        state.counters["p99_us"] = m_samples[at] * 1e6;
    }

private:
    std::vector<double> m_samples;
};

CSandHeightfield UnevenBox(int columns, double total, Seeded& random)
{
    CSandHeightfield field;
    field.SetColumnCount(columns);
    field.draining = true;
    while (field.Total() < total) {
        field.Pour(0.01 * random.Unit(), random.Unit() * columns);
        if (random.Unit() < 0.2f)
            field.Update(kFrame);
    }
    return field;
}

void HeightfieldSteady(benchmark::State& state)
{
    const int columns = static_cast<int>(state.range(0));
    Seeded random(11);
    CSandHeightfield field = UnevenBox(columns, 0.55, random);
    FrameTimes times;
    for (auto _ : state) {
        // Two grains a frame against the drain of 0.04 a second keeps the
        // box between 0.3 and 0.8 full.
        const float amount = field.Total() < 0.55 ? 0.0006f : 0.0002f;
        for (int i = 0; i < 2; ++i)
            field.QueueGrain(0.01f, random.Unit() * static_cast<float>(columns - 1), amount);
        times.Run(state, [&] { field.Update(kFrame); });
        benchmark::DoNotOptimize(field.Total());
    }
    times.Report(state);
    state.counters["total"] = field.Total();
}
BENCHMARK(HeightfieldSteady)->Arg(40)->Arg(64)->UseManualTime()->Unit(benchmark::kMicrosecond);

void HeightfieldBurst(benchmark::State& state)
{
    const int columns = static_cast<int>(state.range(0));
    Seeded random(12);
    const CSandHeightfield start = UnevenBox(columns, 0.4, random);
    std::vector<CSandHeightfield::FallingGrain> burst;
    for (int i = 0; i < 24; ++i)
        burst.push_back({0.01f, random.Unit() * static_cast<float>(columns - 1), 0.002f + 0.004f * random.Unit()});
    FrameTimes times;
    for (auto _ : state) {
        CSandHeightfield field = start;
        for (const auto& grain : burst)
            field.QueueGrain(grain.timeLeft, grain.position, grain.amount);
        times.Run(state, [&] { field.Update(kFrame); });
        benchmark::DoNotOptimize(field.Total());
    }
    times.Report(state);
}
BENCHMARK(HeightfieldBurst)->Arg(40)->Arg(64)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The game's 40-column box under the board, shown, with the sand kept about
// half full by two grains a frame.
void SandFrame(benchmark::State& state)
{
    using namespace d3d;
    plat::SeedRandom(21);
    BenchDevice rig;
    const CountedHandle<CRenderDevice>& device = rig.device;
    const FrameTargets targets{device, rig.vertices, rig.indices};
    auto manager = MakeCountedHandle(new CParticleSystemsManager(device, targets.vertices, targets.indices));
    manager->Environment().killMin = Vec3{-1000, -1000, -1000};
    manager->Environment().killMax = Vec3{1000, 1000, 1000};
    manager->Environment().view->eye.z = 10000.0f;
    CountedHandle<CTexture> textures[CSandbox::kTextureCount];
    for (int i = 0; i < CSandbox::kTextureCount; ++i)
        textures[i] =
            device->CreateTexture("T" + std::to_string(i), 64, 64, 1, 0, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8);

    Seeded random(13);
    const SandboxSettings skin;
    auto field = MakeCountedHandle(new CSandHeightfield(UnevenBox(skin.columns, 0.55, random)));
    CSandbox box;
    box.SetTextures(textures[0], textures[1], textures[2], textures[3], textures[4], textures[5]);
    box.ApplySettings(skin);
    box.SetParticleManager(manager);
    box.SetHeightfield(field);
    box.SetGeometry(skin.origin.x, skin.origin.y, 0, skin.size.x, skin.size.y);
    box.Show(true, 0);
    // Livelier dunes than the game's, for about 300 particles at a time.
    box.FlyOutKeeper()->crestRate = 90.0f;
    box.DustKeeper()->rate = 190.0f;

    NullDeviceLog& log = rig.log();
    int draws = 0;
    auto frame = [&] {
        const float amount = field->Total() < 0.55 ? 0.0006f : 0.0002f;
        for (int i = 0; i < 2; ++i)
            field->QueueGrain(0.01f, random.Unit() * static_cast<float>(skin.columns - 1), amount);
        const int before = log.draws;
        field->Update(kFrame);
        box.Update(kFrame);
        manager->Update(kFrame);
        box.RenderSand(targets);
        box.RenderBox(targets);
        manager->RenderAlphaTested();
        manager->RenderBlended();
        draws = log.draws - before;
    };
    for (int i = 0; i < 240; ++i)
        frame();
    FrameTimes times;
    for (auto _ : state)
        times.Run(state, frame);
    times.Report(state);
    state.counters["draws/frame"] = draws;
    state.counters["particles"] = box.FlyOutSystem()->LiveCount() + box.DustSystem()->LiveCount();
}
BENCHMARK(SandFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
