// Frames timed one by one for the benchmarks that run the whole game: the
// microseconds of each, the draws they made, and the figures they report
// (median, 99th percentile, slowest, draws per frame).
#pragma once

#include "GameHarness.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

// The median, the 99th percentile and the slowest of the microseconds, as
// counters whose names begin with `prefix`.
inline void ReportMicros(benchmark::State& state, std::vector<double> micros, const std::string& prefix)
{
    if (micros.empty()) {
        state.SkipWithError("nothing was timed");
        return;
    }
    std::sort(micros.begin(), micros.end());
    auto at = [&](double q) {
        return micros[std::min(micros.size() - 1, static_cast<size_t>(q * micros.size()))];
    };
    state.counters[prefix + "median_us"] = at(0.5);
    state.counters[prefix + "p99_us"] = at(0.99);
    state.counters[prefix + "max_us"] = micros.back();
}

// The frames timed, in microseconds, and the draws they made.
struct FrameTimes {
    std::vector<double> micros;
    long draws = 0;

    void Time(GameHarness& game)
    {
        const int drawsBefore = game.d3d.log.draws;
        const auto start = std::chrono::steady_clock::now();
        game->Frame(GameHarness::kFrame, 1, 0);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        draws += game.d3d.log.draws - drawsBefore;
    }
    void Report(benchmark::State& state)
    {
        ReportMicros(state, micros, "");
        if (micros.empty())
            return;
        state.counters["draws_per_frame"] = static_cast<double>(draws) / static_cast<double>(micros.size());
        state.counters["frames"] = static_cast<double>(micros.size());
    }
};
