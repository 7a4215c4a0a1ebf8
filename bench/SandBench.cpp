// The sand under the board: one heightfield update of 1/60 s with the box
// draining, in steady play (two grains landing a frame) and in a burst frame
// (24 grains landing at once on an uneven box 40 % full). Every frame is
// timed on its own, so the mean and the 99th percentile can be reported.
#include "effects/sandbox/SandHeightfield.h"

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

} // namespace

BENCHMARK_MAIN();
