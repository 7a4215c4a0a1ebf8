#include "dsp.h"

#include <algorithm>

namespace sfx {

void MixInto(Buf& dst, const Buf& src, double atSeconds, double gain)
{
    size_t start = Frames(atSeconds);
    for (size_t i = 0; i < src.size() && start + i < dst.size(); ++i) {
        dst[start + i] += static_cast<float>(src[i] * gain);
    }
}

Wavetable::Wavetable(const std::vector<double>& harmonics, const std::vector<double>& phases)
    : table_(kSize + 1, 0.0f)
{
    std::vector<double> acc(kSize, 0.0);
    for (size_t h = 0; h < harmonics.size(); ++h) {
        if (harmonics[h] == 0.0)
            continue;
        double ph = h < phases.size() ? phases[h] : 0.0;
        for (size_t i = 0; i < kSize; ++i) {
            acc[i] += harmonics[h] * std::sin(kTwoPi * (static_cast<double>(h + 1) * i / kSize + ph));
        }
    }
    double peak = 1e-9;
    for (double v : acc)
        peak = std::max(peak, std::fabs(v));
    for (size_t i = 0; i < kSize; ++i)
        table_[i] = static_cast<float>(acc[i] / peak);
    table_[kSize] = table_[0];
}

const Wavetable& Wavetable::Sine()
{
    static const Wavetable t({1.0});
    return t;
}

namespace {
std::vector<double> Series(int count, double (*amp)(int))
{
    std::vector<double> h;
    for (int n = 1; n <= count; ++n)
        h.push_back(amp(n));
    return h;
}
} // namespace

const Wavetable& SoftSaw()
{
    static const Wavetable t(Series(40, [](int n) { return std::exp(-n / 14.0) / n; }));
    return t;
}
const Wavetable& Brassy()
{
    static const Wavetable t(Series(28, [](int n) { return std::pow(n, -0.85) * std::exp(-n / 20.0); }));
    return t;
}
const Wavetable& BrassDull()
{
    static const Wavetable t(Series(8, [](int n) { return 1.0 / (n * n); }));
    return t;
}
const Wavetable& Mellow()
{
    static const Wavetable t({1.0, 0.28, 0.12, 0.05, 0.02});
    return t;
}
const Wavetable& Hollow()
{
    static const Wavetable t(Series(15, [](int n) { return n % 2 ? std::pow(n, -1.4) : 0.04 / n; }));
    return t;
}
const Wavetable& BassWave()
{
    static const Wavetable t({1.0, 0.45, 0.2, 0.08, 0.03});
    return t;
}

Buf Voice(const Wavetable& wave, const VoiceParams& p)
{
    Buf out(Frames(p.dur + p.release), 0.0f);
    double phase = 0.0;
    double vibPhase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double g = std::pow(p.glide, std::min(t, p.dur) / std::max(p.dur, 1e-6));
        double vib = 0.0;
        if (p.vibDepth > 0.0 && t > p.vibDelay) {
            double ramp = std::min(1.0, (t - p.vibDelay) / 0.3);
            vib = p.vibDepth * ramp * std::sin(kTwoPi * vibPhase);
        }
        vibPhase += p.vibRate / kRate;
        double f = p.freq * g * std::pow(2.0, vib / 12.0);
        double env = Attack(t, p.attack) * std::exp(-p.decay * t) * Release(t, p.dur, p.release);
        out[i] = static_cast<float>(wave.At(phase) * env);
        phase += f / kRate;
    }
    return out;
}

Buf BrightVoice(const Wavetable& dull, const Wavetable& bright, const VoiceParams& p, double brightness)
{
    Buf out(Frames(p.dur + p.release), 0.0f);
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double g = std::pow(p.glide, std::min(t, p.dur) / std::max(p.dur, 1e-6));
        double vib = p.vibDepth > 0.0 && t > p.vibDelay ? p.vibDepth * std::sin(kTwoPi * p.vibRate * t) : 0.0;
        double f = p.freq * g * std::pow(2.0, vib / 12.0);
        double env = Attack(t, p.attack) * std::exp(-p.decay * t) * Release(t, p.dur, p.release);
        double b = std::clamp(env * brightness, 0.0, 1.0);
        double v = dull.At(phase) * (1.0 - b) + bright.At(phase) * b;
        out[i] = static_cast<float>(v * env);
        phase += f / kRate;
    }
    return out;
}

Buf FmBell(double freq, double dur, double ratio, double index, double decay, double indexDecay)
{
    Buf out(Frames(dur), 0.0f);
    const Wavetable& s = Wavetable::Sine();
    double pc = 0.0, pm = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double idx = index * std::exp(-indexDecay * t);
        double v = s.At(pc + idx * s.At(pm) / kTwoPi);
        double env = Attack(t, 0.002) * std::exp(-decay * t) * Release(t, dur - 0.03, 0.03);
        out[i] = static_cast<float>(v * env);
        pc += freq / kRate;
        pm += freq * ratio / kRate;
    }
    return out;
}

Buf Pluck(double freq, double dur, Rng& rng, double brightness, double sustain)
{
    Buf out(Frames(dur), 0.0f);
    double delay = kRate / freq - 0.5;
    size_t seed = static_cast<size_t>(delay) + 2;
    OnePole lp;
    lp.Set(200.0 + brightness * 8000.0);
    for (size_t i = 0; i < seed && i < out.size(); ++i)
        out[i] = static_cast<float>(lp.Low(rng.Noise()));
    // Remove the excitation's offset, otherwise the string "rings" with a DC bias.
    double mean = 0.0;
    for (size_t i = 0; i < seed && i < out.size(); ++i)
        mean += out[i];
    mean /= static_cast<double>(seed);
    for (size_t i = 0; i < seed && i < out.size(); ++i)
        out[i] -= static_cast<float>(mean);
    auto at = [&](double pos) {
        if (pos < 0)
            return 0.0;
        size_t k = static_cast<size_t>(pos);
        double f = pos - static_cast<double>(k);
        return out[k] * (1.0 - f) + out[k + 1] * f;
    };
    for (size_t i = seed; i < out.size(); ++i) {
        double pos = static_cast<double>(i) - delay;
        out[i] = static_cast<float>(sustain * 0.5 * (at(pos) + at(pos - 1.0)));
    }
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] *= static_cast<float>(Attack(t, 0.002) * Release(t, dur - 0.05, 0.05));
    }
    return out;
}

Buf Choir(double freq, double dur, int vowel, int voices, double attack, double release, Rng& rng)
{
    static const double kFormants[5][3] = {
        {730, 1090, 2440}, {570, 840, 2410}, {300, 870, 2240}, {530, 1840, 2480}, {390, 1990, 2550}};
    const double* fm = kFormants[std::clamp(vowel, 0, 4)];
    Buf src(Frames(dur + release), 0.0f);
    for (int v = 0; v < voices; ++v) {
        double detune = std::pow(2.0, rng.Range(-9.0, 9.0) / 1200.0);
        double vibRate = rng.Range(4.6, 5.8);
        double vibPh = rng.Uni();
        double phase = rng.Uni();
        for (size_t i = 0; i < src.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            double vib = 0.12 * std::min(1.0, t / 0.4) * std::sin(kTwoPi * (vibRate * t + vibPh));
            src[i] += SoftSaw().At(phase) / voices;
            phase += freq * detune * std::pow(2.0, vib / 12.0) / kRate;
        }
    }
    Buf out(src.size(), 0.0f);
    Svf f1, f2, f3;
    f1.Set(fm[0], 6.0);
    f2.Set(fm[1], 8.0);
    f3.Set(fm[2], 10.0);
    OnePole breath;
    breath.Set(3000);
    for (size_t i = 0; i < src.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double x = src[i] + 0.03 * breath.Low(rng.Noise());
        f1.Process(x);
        f2.Process(x);
        f3.Process(x);
        double v = f1.band / 6.0 + 0.5 * f2.band / 8.0 + 0.22 * f3.band / 10.0 + 0.08 * x;
        out[i] = static_cast<float>(v * Attack(t, attack) * Release(t, dur, release));
    }
    return out;
}

Buf Kick(double startHz, double endHz, double dur, double click)
{
    Buf out(Frames(dur), 0.0f);
    double phase = 0.0;
    Rng rng(7);
    OnePole lp;
    lp.Set(2500);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = endHz + (startHz - endHz) * std::exp(-t * 28.0);
        double env = Attack(t, 0.0015) * std::exp(-t * 4.0 / dur) * Release(t, dur - 0.02, 0.02);
        double c = click * lp.Low(rng.Noise()) * std::exp(-t * 250.0);
        out[i] = static_cast<float>(std::sin(kTwoPi * phase) * env + c);
        phase += f / kRate;
    }
    return out;
}

Buf NoiseHit(double dur, double centerHz, double q, double decay, Rng& rng, double attack)
{
    Buf out(Frames(dur), 0.0f);
    Svf f;
    f.Set(centerHz, q);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        f.Process(rng.Noise());
        double env = Attack(t, attack) * std::exp(-decay * t) * Release(t, dur - 0.01, 0.01);
        out[i] = static_cast<float>(f.band / q * env);
    }
    return out;
}

Buf NoiseSweep(double dur, double fromHz, double toHz, double q, Rng& rng)
{
    Buf out(Frames(dur), 0.0f);
    Svf f;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double k = t / dur;
        f.Set(fromHz * std::pow(toHz / fromHz, k), q);
        f.Process(rng.Noise());
        double env = std::sin(kPi * k);
        out[i] = static_cast<float>(f.band / q * env * env);
    }
    return out;
}

Buf Metal(double freq, double dur, double decay, Rng& rng)
{
    static const double kRatios[] = {1.0, 1.414, 2.236, 2.757, 3.523, 4.302, 5.17};
    Buf out(Frames(dur), 0.0f);
    for (size_t p = 0; p < sizeof kRatios / sizeof kRatios[0]; ++p) {
        double f = freq * kRatios[p] * rng.Range(0.995, 1.005);
        if (f > 16000)
            continue;
        double a = 1.0 / (1.0 + p * 0.6);
        double d = decay * (1.0 + p * 0.5);
        double ph = rng.Uni();
        for (size_t i = 0; i < out.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            out[i] += static_cast<float>(a * std::exp(-d * t) * Wavetable::Sine().At(ph + f * t));
        }
    }
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] *= static_cast<float>(Attack(t, 0.001) * Release(t, dur - 0.02, 0.02));
    }
    return out;
}

void LowPass(Buf& b, double hz)
{
    Svf f;
    f.Set(hz, 0.707);
    for (float& v : b) {
        f.Process(v);
        v = static_cast<float>(f.low);
    }
}

void HighPass(Buf& b, double hz)
{
    Svf f;
    f.Set(hz, 0.707);
    for (float& v : b) {
        f.Process(v);
        v = static_cast<float>(f.high);
    }
}

void SimpleReverb(Buf& b, double mix, double size, double damp)
{
    static const int kComb[] = {1116, 1188, 1277, 1356};
    static const int kAll[] = {556, 441};
    std::vector<std::vector<float>> comb, all;
    std::vector<size_t> ci(4, 0), ai(2, 0);
    std::vector<double> filt(4, 0.0);
    for (int c : kComb)
        comb.emplace_back(static_cast<size_t>(c * size) + 1, 0.0f);
    for (int a : kAll)
        all.emplace_back(static_cast<size_t>(a * size) + 1, 0.0f);
    const double feedback = 0.78;
    for (float& v : b) {
        double in = v * 0.25;
        double wet = 0.0;
        for (size_t c = 0; c < 4; ++c) {
            float& cell = comb[c][ci[c]];
            double y = cell;
            filt[c] = y * (1.0 - damp) + filt[c] * damp;
            cell = static_cast<float>(in + filt[c] * feedback);
            ci[c] = (ci[c] + 1) % comb[c].size();
            wet += y;
        }
        for (size_t a = 0; a < 2; ++a) {
            float& cell = all[a][ai[a]];
            double bufOut = cell;
            cell = static_cast<float>(wet + bufOut * 0.5);
            wet = bufOut - wet;
            ai[a] = (ai[a] + 1) % all[a].size();
        }
        v = static_cast<float>(v * (1.0 - mix) + wet * mix);
    }
}

void FadeEdges(Buf& b, double fadeIn, double fadeOut)
{
    size_t n = b.size();
    size_t fi = std::min(n, Frames(fadeIn)), fo = std::min(n, Frames(fadeOut));
    for (size_t i = 0; i < fi; ++i)
        b[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * i / fi));
    for (size_t i = 0; i < fo; ++i)
        b[n - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * i / fo));
}

void RemoveDc(Buf& b)
{
    // A gentle 15 Hz high-pass keeps the envelope shape; subtracting the mean would leave steps.
    double r = std::exp(-kTwoPi * 15.0 / kRate);
    double x1 = 0.0, y1 = 0.0;
    for (float& v : b) {
        double y = v - x1 + r * y1;
        x1 = v;
        y1 = y;
        v = static_cast<float>(y);
    }
}

void NormalizePeak(Buf& b, double peak)
{
    double m = 1e-9;
    for (float v : b)
        m = std::max(m, static_cast<double>(std::fabs(v)));
    double g = peak / m;
    for (float& v : b)
        v = static_cast<float>(v * g);
}

Stats Measure(const float* data, size_t frames, int channels)
{
    Stats s;
    double sum = 0.0, sq = 0.0;
    size_t n = frames * static_cast<size_t>(channels);
    for (size_t i = 0; i < n; ++i) {
        double v = data[i];
        s.peak = std::max(s.peak, std::fabs(v));
        sum += v;
        sq += v * v;
    }
    if (n > 0) {
        s.dc = sum / static_cast<double>(n);
        s.rms = std::sqrt(sq / static_cast<double>(n));
    }
    s.seconds = static_cast<double>(frames) / kRate;
    return s;
}

} // namespace sfx
