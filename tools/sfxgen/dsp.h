// Small synthesis toolkit shared by the sound-effect and music generators.
// Everything is deterministic: randomness comes only from Rng with fixed seeds.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sfx {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Buf = std::vector<float>;

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t Next()
    {
        // splitmix64: tiny, fast and identical on every platform.
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uni() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double a, double b) { return a + (b - a) * Uni(); }
    double Noise() { return Uni() * 2.0 - 1.0; }
    int Below(int n) { return static_cast<int>(Uni() * n) % n; }

private:
    uint64_t state_;
};

inline double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }
inline size_t Frames(double seconds) { return static_cast<size_t>(std::lround(seconds * kRate)); }
inline double DbGain(double db) { return std::pow(10.0, db / 20.0); }

// Adds src into dst starting at a time offset; samples past the end are dropped.
void MixInto(Buf& dst, const Buf& src, double atSeconds, double gain);

// One period of a band-limited waveform built from harmonic amplitudes (index 0 = fundamental),
// read with linear interpolation: far cheaper than summing sines per sample.
class Wavetable {
public:
    explicit Wavetable(const std::vector<double>& harmonics, const std::vector<double>& phases = {});
    float At(double phase) const
    {
        double p = (phase - std::floor(phase)) * kSize;
        size_t i = static_cast<size_t>(p);
        double f = p - static_cast<double>(i);
        return static_cast<float>(table_[i] + (table_[i + 1] - table_[i]) * f);
    }
    static const Wavetable& Sine();

private:
    static constexpr size_t kSize = 4096;
    std::vector<float> table_;
};

// Topology-preserving state-variable filter: stays stable under fast cutoff sweeps.
class Svf {
public:
    void Set(double cutoffHz, double q)
    {
        double fc = std::fmin(cutoffHz, kRate * 0.45);
        g_ = std::tan(kPi * fc / kRate);
        k_ = 1.0 / q;
    }
    void Process(double x)
    {
        double v3 = x - ic2_;
        double v1 = (g_ * v3 + ic1_) / (1.0 + g_ * (g_ + k_));
        double v2 = ic2_ + g_ * v1;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        low = v2;
        band = v1;
        high = x - k_ * v1 - v2;
    }
    double low = 0, band = 0, high = 0;

private:
    double g_ = 0.1, k_ = 1.0, ic1_ = 0, ic2_ = 0;
};

class OnePole {
public:
    void Set(double cutoffHz) { a_ = std::exp(-kTwoPi * cutoffHz / kRate); }
    double Low(double x)
    {
        z_ = x + a_ * (z_ - x);
        return z_;
    }
    double High(double x) { return x - Low(x); }

private:
    double a_ = 0.0, z_ = 0.0;
};

// Envelope helpers, t in seconds.
inline double Attack(double t, double a)
{
    return a <= 0 ? 1.0 : (t >= a ? 1.0 : 0.5 - 0.5 * std::cos(kPi * t / a));
}
inline double Release(double t, double dur, double r)
{
    if (t <= dur)
        return 1.0;
    if (r <= 0 || t >= dur + r)
        return 0.0;
    return 0.5 + 0.5 * std::cos(kPi * (t - dur) / r);
}

// ---- Instruments: each returns a mono note rendered from time 0 ----------------------

struct VoiceParams {
    double freq = 440.0;
    double dur = 0.5; // held time
    double attack = 0.01;
    double release = 0.1;
    double decay = 0.0;    // exponential decay rate per second while held (0 = sustain)
    double glide = 1.0;    // frequency ratio reached at the end of the held time
    double vibDepth = 0.0; // in semitones
    double vibRate = 5.0;
    double vibDelay = 0.0;
};
Buf Voice(const Wavetable& wave, const VoiceParams& p);
// Two tables crossfaded by the envelope so the tone brightens as it swells (brass-like).
Buf BrightVoice(const Wavetable& dull, const Wavetable& bright, const VoiceParams& p, double brightness);
Buf FmBell(double freq, double dur, double ratio, double index, double decay, double indexDecay);
Buf Pluck(double freq, double dur, Rng& rng, double brightness, double sustain);
Buf Choir(double freq, double dur, int vowel, int voices, double attack, double release, Rng& rng);
Buf Kick(double startHz, double endHz, double dur, double click);
Buf NoiseHit(double dur, double centerHz, double q, double decay, Rng& rng, double attack = 0.001);
Buf NoiseSweep(double dur, double fromHz, double toHz, double q, Rng& rng);
Buf Metal(double freq, double dur, double decay, Rng& rng);

const Wavetable& SoftSaw();
const Wavetable& Brassy();
const Wavetable& BrassDull();
const Wavetable& Mellow();
const Wavetable& Hollow();
const Wavetable& BassWave();

// ---- Post processing ----------------------------------------------------------------

void LowPass(Buf& b, double hz);
void HighPass(Buf& b, double hz);
void SimpleReverb(Buf& b, double mix, double size, double damp);
void FadeEdges(Buf& b, double fadeIn, double fadeOut);
void RemoveDc(Buf& b);
void NormalizePeak(Buf& b, double peak);

struct Stats {
    double peak = 0, rms = 0, dc = 0, seconds = 0;
};
Stats Measure(const float* data, size_t frames, int channels);

} // namespace sfx
