// sfxgen <game dir>: synthesises every sound effect into <game dir>/Data/Sfx/ and every music track
// into <game dir>/Music/, as OGG Vorbis, and prints a level check of each file.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sched.h>

#include "generators.h"
#include "ogg_out.h"

namespace {

using namespace sfx;

constexpr double kEffectPeak = 0.708; // -3 dBFS: room for the mixer to add several at once
constexpr int kEffectCount = 77;

struct Result {
    std::string file;
    Stats stats;
    double seam = -1.0; // loop seam jump relative to the mean sample step; -1 when not a loop
    std::string error;
    std::string warning;
};

// The CPUs this process may run on: a build pinned to a few (taskset, a
// container's quota of cores) must not start a thread for every CPU of the
// machine, or the jobs crowd each other and everything else on those few.
unsigned UsableCpus()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(std::thread::hardware_concurrency(), 1u);
}

double ToDb(double v) { return 20.0 * std::log10(std::max(v, 1e-9)); }

// How far the last-to-first sample jump stands out from the signal's ordinary movement.
double SeamRatio(const float* data, size_t frames, int channels)
{
    double worst = 0.0;
    for (int c = 0; c < channels; ++c) {
        double sum = 0.0;
        for (size_t i = 1; i < frames; ++i) {
            sum += std::fabs(data[i * channels + c] - data[(i - 1) * channels + c]);
        }
        double mean = std::max(sum / static_cast<double>(frames - 1), 1e-9);
        double jump = std::fabs(data[c] - data[(frames - 1) * channels + c]);
        worst = std::max(worst, jump / mean);
    }
    return worst;
}

uint32_t Serial(const std::string& name)
{
    uint32_t h = 2166136261u;
    for (unsigned char ch : name)
        h = (h ^ ch) * 16777619u;
    return h;
}

void Check(Result& r, bool music)
{
    if (r.stats.peak > 0.99)
        r.warning += " clipping";
    if (std::fabs(r.stats.dc) > 0.005)
        r.warning += " dc-offset";
    if (r.stats.rms < (music ? 0.03 : 0.005))
        r.warning += " too-quiet";
    if (r.seam > 12.0)
        r.warning += " loop-seam";
}

Result MakeEffect(const Effect& e, const std::string& root)
{
    Result r;
    r.file = "Data/Sfx/" + e.name + ".ogg";
    Buf b = e.render();
    RemoveDc(b);
    if (e.loops) {
        FadeEdges(b, 0.0, 0.0);
    } else {
        FadeEdges(b, 0.003, 0.02);
    }
    NormalizePeak(b, kEffectPeak);
    r.stats = Measure(b.data(), b.size(), 1);
    if (e.loops)
        r.seam = SeamRatio(b.data(), b.size(), 1);
    r.error = WriteOgg(root + "/" + r.file, b.data(), b.size(), 1, kRate, 0.5f, Serial(e.name));
    Check(r, false);
    return r;
}

Result MakeTrack(const Track& t, const std::string& root)
{
    Result r;
    r.file = "Music/" + t.name + ".ogg";
    std::vector<float> pcm;
    t.render(pcm);
    size_t frames = pcm.size() / 2;
    r.stats = Measure(pcm.data(), frames, 2);
    r.seam = SeamRatio(pcm.data(), frames, 2);
    r.error = WriteOgg(root + "/" + r.file, pcm.data(), frames, 2, kRate, 0.35f, Serial(t.name));
    Check(r, true);
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sfxgen <game dir>\n");
        return 2;
    }
    const std::string root = argv[1];
    const auto started = std::chrono::steady_clock::now();

    std::vector<Effect> effects = AllEffects();
    std::vector<Track> tracks = AllTracks();
    std::set<std::string> names;
    for (const Effect& e : effects)
        names.insert(e.name);
    if (effects.size() != kEffectCount || names.size() != effects.size()) {
        std::fprintf(stderr, "sfxgen: expected %d distinct effects, have %zu\n", kEffectCount, names.size());
        return 1;
    }

    // Jobs are independent and each writes its own file, so the output does not depend on the
    // order in which the threads pick them up. The long music jobs go first.
    size_t jobCount = tracks.size() + effects.size();
    std::vector<Result> results(jobCount);
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t j = next++; j < jobCount; j = next++) {
            results[j] =
                j < tracks.size() ? MakeTrack(tracks[j], root) : MakeEffect(effects[j - tracks.size()], root);
        }
    };
    const unsigned threads = std::clamp(UsableCpus(), 1u, 8u);
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < threads; ++i)
        pool.emplace_back(worker);
    for (std::thread& t : pool)
        t.join();

    int errors = 0, warnings = 0;
    std::printf("%-30s %7s %7s %7s %8s %6s\n", "file", "sec", "peakdB", "rmsdB", "dc", "seam");
    for (const Result& r : results) {
        std::printf("%-30s %7.2f %7.1f %7.1f %8.5f %6s", r.file.c_str(), r.stats.seconds, ToDb(r.stats.peak),
                    ToDb(r.stats.rms), r.stats.dc, r.seam < 0 ? "-" : std::to_string(r.seam).substr(0, 5).c_str());
        if (!r.error.empty()) {
            std::printf("  ERROR %s", r.error.c_str());
            ++errors;
        }
        if (!r.warning.empty()) {
            std::printf("  WARNING%s", r.warning.c_str());
            ++warnings;
        }
        std::printf("\n");
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("sfxgen: %zu effects, %zu tracks, %d warnings, %d errors, %.1f s on %u threads\n", effects.size(),
                tracks.size(), warnings, errors, secs, threads);
    return errors || warnings ? 1 : 0;
}
