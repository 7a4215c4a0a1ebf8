// Recipes for every sound effect. Each one renders a mono buffer; main() removes DC, softens the
// edges and sets the peak level, so the recipes only care about the sound itself.
#include <algorithm>
#include <cstdio>

#include "generators.h"

namespace sfx {

namespace {

Buf Silence(double seconds) { return Buf(Frames(seconds), 0.0f); }

// A glassy, harmonic bell: the workhorse of chimes and sparkles.
Buf Bell(double freq, double dur, double brightness = 1.0)
{
    Buf b = FmBell(freq, dur, 2.0, 1.6 * brightness, 4.0 / dur, 6.0);
    Buf shimmer = FmBell(freq * 2.76, dur * 0.5, 1.0, 0.0, 10.0 / dur, 0.0);
    MixInto(b, shimmer, 0.0, 0.12 * brightness);
    return b;
}

// Wooden mallet: short FM with a strong, quickly vanishing fourth partial.
Buf Mallet(double freq, double dur) { return FmBell(freq, dur, 4.0, 1.3, 5.0 / dur, 25.0); }

Buf Tick(double freq, Rng& rng)
{
    Buf b = NoiseHit(0.05, freq * 2.0, 3.0, 140.0, rng);
    MixInto(b, FmBell(freq, 0.05, 1.5, 2.0, 90.0, 120.0), 0.0, 0.7);
    return b;
}

Buf Grains(double dur, int count, double lowHz, double highHz, Rng& rng, double spread)
{
    Buf out = Silence(dur);
    for (int i = 0; i < count; ++i) {
        double at = spread * rng.Uni() * rng.Uni();
        double len = rng.Range(0.03, 0.09);
        Buf g = NoiseHit(len, rng.Range(lowHz, highHz), rng.Range(1.5, 4.0), rng.Range(40.0, 110.0), rng);
        MixInto(out, g, at, rng.Range(0.4, 1.0) * (1.0 - 0.5 * at / std::max(spread, 1e-3)));
    }
    return out;
}

Buf Explosion(double dur, double thumpHz, double brightHz, uint64_t seed, double debris)
{
    Rng rng(seed);
    Buf out = Silence(dur);
    Svf body;
    Svf rumble;
    rumble.Set(140.0, 0.8);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        body.Set(300.0 + brightHz * std::exp(-t * 6.0), 0.9);
        double n = rng.Noise();
        body.Process(n);
        rumble.Process(n);
        double env = Attack(t, 0.004) * std::exp(-t * 5.0);
        double renv = Attack(t, 0.02) * std::exp(-t * 2.2);
        out[i] = static_cast<float>(0.7 * body.low * env + 1.6 * rumble.low * renv);
    }
    MixInto(out, Kick(thumpHz * 2.2, thumpHz, std::min(dur, 0.9), 0.3), 0.0, 0.9);
    if (debris > 0)
        MixInto(out, Grains(dur * 0.7, 14, 900, 3500, rng, dur * 0.5), 0.08, debris);
    SimpleReverb(out, 0.25, 1.1, 0.5);
    return out;
}

Buf Arpeggio(const std::vector<double>& notes, double step, double noteDur, double brightness)
{
    Buf out = Silence(step * static_cast<double>(notes.size()) + noteDur);
    for (size_t i = 0; i < notes.size(); ++i) {
        MixInto(out, Bell(MidiHz(notes[i]), noteDur, brightness), step * static_cast<double>(i), 1.0);
    }
    return out;
}

Buf Brass(double note, double dur, double release = 0.25)
{
    VoiceParams p;
    p.freq = MidiHz(note);
    p.dur = dur;
    p.attack = 0.045;
    p.release = release;
    p.decay = 0.4;
    p.vibDepth = 0.08;
    p.vibRate = 5.2;
    p.vibDelay = 0.25;
    return BrightVoice(BrassDull(), Brassy(), p, 0.9);
}

Buf Fanfare(const std::vector<double>& run, double step, const std::vector<double>& chord, double hold,
            double total)
{
    Buf out = Silence(total);
    for (size_t i = 0; i < run.size(); ++i)
        MixInto(out, Brass(run[i], step * 0.9, 0.08), step * i, 0.8);
    double at = step * static_cast<double>(run.size());
    for (size_t i = 0; i < chord.size(); ++i) {
        MixInto(out, Brass(chord[i], hold, 0.45), at + 0.012 * i, 0.55);
    }
    for (size_t i = 0; i < chord.size(); ++i) {
        MixInto(out, Bell(MidiHz(chord[i] + 24), 0.9, 0.7), at + 0.03 * i, 0.18);
    }
    LowPass(out, 7000);
    SimpleReverb(out, 0.22, 1.0, 0.4);
    return out;
}

Buf ChoirChord(const std::vector<double>& notes, double dur, int vowel, uint64_t seed, double attack,
               double release)
{
    Rng rng(seed);
    Buf out = Silence(dur + release);
    for (double n : notes)
        MixInto(out, Choir(MidiHz(n), dur, vowel, 3, attack, release, rng), 0.0, 1.0);
    SimpleReverb(out, 0.3, 1.2, 0.45);
    return out;
}

// A totem's voice: a choir swell on its chord with a colour-specific accent mixed in.
Buf TotemVoice(const std::vector<double>& notes, int vowel, uint64_t seed, double dur,
               const std::function<void(Buf&, Rng&)>& accent)
{
    Buf out = ChoirChord(notes, dur - 0.5, vowel, seed, 0.25, 0.45);
    Rng rng(seed * 31 + 1);
    if (accent)
        accent(out, rng);
    return out;
}

Buf Terminator(int variant, bool quick)
{
    Rng rng(100 + static_cast<uint64_t>(variant) * 17 + (quick ? 1000 : 0));
    double dur = quick ? 0.22 : 0.38;
    double pitch = 1.0 + 0.07 * (variant - 3.5) / 3.5;
    Buf out = Grains(dur, quick ? 5 : 9, 700 * pitch, 3200 * pitch, rng, quick ? 0.06 : 0.14);
    MixInto(out, Kick(260 * pitch, 90 * pitch, 0.18, 0.1), 0.0, 0.5);
    MixInto(out, Mallet(MidiHz(74 + (variant * 5) % 12), 0.12), 0.0, 0.25);
    return out;
}

Buf ChainRattle(int links, double span, uint64_t seed)
{
    Rng rng(seed);
    Buf out = Silence(span + 0.2);
    for (int i = 0; i < links; ++i) {
        double at = span * i / std::max(1, links - 1) + rng.Range(-0.01, 0.01);
        MixInto(out, Metal(rng.Range(2100, 3300), 0.14, 30, rng), std::max(0.0, at), 1.0 - 0.1 * i);
    }
    HighPass(out, 400);
    return out;
}

// Electric crackle: sharp broadband snaps, thick at first and thinning out,
// over a falling zap and a mains hum.
Buf Crackle(double dur, int snaps, uint64_t seed)
{
    Rng rng(seed);
    Buf out = Silence(dur);
    for (int i = 0; i < snaps; ++i) {
        const double at = dur * 0.85 * std::pow(rng.Uni(), 1.8);
        Buf snap = NoiseHit(rng.Range(0.004, 0.018), rng.Range(2500, 7500), rng.Range(0.7, 1.6),
                            rng.Range(250, 600), rng);
        MixInto(out, snap, at, rng.Range(0.5, 1.0) * (1.0 - 0.6 * at / dur));
    }
    MixInto(out, NoiseSweep(0.35, 6000, 900, 4.0, rng), 0.0, 0.45);
    VoiceParams hum;
    hum.freq = 100;
    hum.dur = dur * 0.6;
    hum.attack = 0.005;
    hum.release = dur * 0.3;
    hum.decay = 3.0;
    MixInto(out, Voice(SoftSaw(), hum), 0.0, 0.07);
    HighPass(out, 120);
    return out;
}

// A splash of liquid: a wet burst that darkens as it falls back, then drops
// plinking round it, each rising in pitch as drops do.
Buf Splash(double dur, int drops, uint64_t seed)
{
    Rng rng(seed);
    Buf out = Silence(dur);
    MixInto(out, NoiseSweep(0.28, 5200, 700, 1.2, rng), 0.0, 0.9);
    MixInto(out, NoiseHit(0.12, 900, 0.8, 25, rng, 0.004), 0.0, 0.6);
    for (int i = 0; i < drops; ++i) {
        VoiceParams p;
        p.freq = rng.Range(900, 1800);
        p.dur = rng.Range(0.025, 0.05);
        p.attack = 0.003;
        p.release = 0.03;
        p.glide = rng.Range(1.6, 2.4);
        MixInto(out, Voice(Wavetable::Sine(), p), 0.08 + rng.Range(0.0, dur * 0.55), rng.Range(0.2, 0.45));
    }
    LowPass(out, 9000);
    SimpleReverb(out, 0.2, 0.7, 0.5);
    return out;
}

// Coins pouring: bright clinks by the dozen, swelling and thinning, each a
// small metal ring, with the hiss of the pile.
Buf CoinRush(double dur, int coins, uint64_t seed)
{
    Rng rng(seed);
    Buf out = Silence(dur);
    for (int i = 0; i < coins; ++i) {
        // Most coins land in the first half.
        const double at = dur * 0.75 * (0.5 * rng.Uni() + 0.5 * rng.Uni() * rng.Uni());
        MixInto(out, Metal(rng.Range(2600, 5200), rng.Range(0.08, 0.2), rng.Range(25, 45), rng), at,
                rng.Range(0.25, 0.6));
    }
    MixInto(out, NoiseSweep(dur * 0.8, 7000, 3500, 1.0, rng), 0.0, 0.06);
    HighPass(out, 500);
    SimpleReverb(out, 0.18, 0.8, 0.4);
    return out;
}

} // namespace

std::vector<Effect> AllEffects()
{
    std::vector<Effect> e;
    auto add = [&e](const std::string& name, std::function<Buf()> f) { e.push_back({name, std::move(f), false}); };

    add("MouseOver", [] {
        Buf b = FmBell(1760, 0.07, 2.0, 0.6, 45, 40);
        MixInto(b, FmBell(2637, 0.05, 2.0, 0.3, 60, 40), 0.0, 0.3);
        return b;
    });
    add("Click", [] {
        Rng rng(1);
        Buf b = NoiseHit(0.07, 2800, 1.5, 80, rng);
        MixInto(b, FmBell(1200, 0.07, 1.5, 1.5, 60, 70), 0.0, 0.8);
        return b;
    });
    add("Upgrade", [] {
        Buf b = Arpeggio({72, 76, 79, 84, 88}, 0.07, 0.7, 1.0);
        Rng rng(2);
        MixInto(b, NoiseSweep(0.5, 2000, 9000, 3, rng), 0.0, 0.15);
        SimpleReverb(b, 0.25, 1.0, 0.3);
        return b;
    });
    add("Hint", [] {
        Buf b = Silence(0.9);
        MixInto(b, Bell(MidiHz(79), 0.7, 0.6), 0.0, 1.0);
        MixInto(b, Bell(MidiHz(86), 0.7, 0.6), 0.16, 0.9);
        SimpleReverb(b, 0.25, 1.0, 0.4);
        return b;
    });
    add("Select", [] {
        Rng rng(3);
        Buf b = Mallet(MidiHz(76), 0.16);
        MixInto(b, NoiseHit(0.02, 3500, 2, 200, rng), 0.0, 0.3);
        return b;
    });
    add("SelectSteel", [] {
        Rng rng(4);
        Buf b = Metal(1250, 0.3, 14, rng);
        MixInto(b, Mallet(MidiHz(76), 0.1), 0.0, 0.6);
        return b;
    });
    add("Wrong", [] {
        Buf b = Silence(0.4);
        VoiceParams p;
        p.freq = MidiHz(62);
        p.dur = 0.1;
        p.attack = 0.01;
        p.release = 0.05;
        MixInto(b, Voice(Mellow(), p), 0.0, 1.0);
        MixInto(b, Voice(Hollow(), p), 0.0, 0.25);
        p.freq = MidiHz(57);
        p.dur = 0.16;
        p.release = 0.08;
        p.glide = 0.97;
        MixInto(b, Voice(Mellow(), p), 0.15, 1.0);
        MixInto(b, Voice(Hollow(), p), 0.15, 0.25);
        LowPass(b, 1800);
        return b;
    });
    add("Drop", [] {
        Rng rng(5);
        Buf b = Kick(320, 130, 0.14, 0.2);
        MixInto(b, NoiseHit(0.06, 1400, 1.2, 70, rng), 0.0, 0.35);
        MixInto(b, Mallet(MidiHz(67), 0.08), 0.0, 0.2);
        return b;
    });
    add("BonusClick", [] {
        Rng rng(6);
        Buf b = Silence(0.3);
        MixInto(b, NoiseHit(0.05, 3500, 2, 100, rng), 0.0, 1.0);
        MixInto(b, Bell(MidiHz(88), 0.28), 0.0, 0.8);
        MixInto(b, Bell(MidiHz(95), 0.2), 0.04, 0.4);
        return b;
    });
    add("GemOut", [] {
        Buf b = Arpeggio({84, 88, 91, 96, 100}, 0.045, 0.4, 0.9);
        Rng rng(7);
        MixInto(b, NoiseSweep(0.45, 2500, 10000, 4, rng), 0.0, 0.2);
        SimpleReverb(b, 0.2, 0.9, 0.3);
        return b;
    });
    add("GemIn", [] {
        Buf b = Silence(0.7);
        MixInto(b, Bell(MidiHz(91), 0.6), 0.0, 1.0);
        MixInto(b, Bell(MidiHz(96), 0.5, 0.6), 0.03, 0.5);
        SimpleReverb(b, 0.2, 0.9, 0.3);
        return b;
    });
    add("GemBar", [] {
        VoiceParams p;
        p.freq = MidiHz(76);
        p.dur = 0.35;
        p.attack = 0.05;
        p.release = 0.12;
        p.glide = 2.0;
        Buf b = Silence(0.75);
        MixInto(b, Voice(Mellow(), p), 0.0, 0.6);
        MixInto(b, Bell(MidiHz(88), 0.4, 0.8), 0.33, 0.7);
        SimpleReverb(b, 0.25, 1.0, 0.3);
        return b;
    });
    for (int i = 0; i < 8; ++i)
        add("Terminator" + std::to_string(i), [i] { return Terminator(i, false); });
    add("Terminator0_s", [] { return Terminator(0, true); });
    add("TerminatorSteel", [] {
        Rng rng(8);
        Buf b = Metal(620, 0.7, 5, rng);
        MixInto(b, Grains(0.4, 8, 1500, 5000, rng, 0.12), 0.0, 0.6);
        MixInto(b, Kick(200, 80, 0.2, 0.2), 0.0, 0.6);
        return b;
    });
    add("ChainOut", [] { return ChainRattle(5, 0.22, 9); });
    add("ChainOut_s", [] { return ChainRattle(3, 0.1, 10); });
    add("Explode", [] { return Explosion(1.3, 55, 4000, 11, 0.0); });
    for (int k = 0; k < 8; ++k) {
        add("Combo" + std::to_string(k + 2), [k] {
            // Each cascade step climbs one degree of the major scale and gains notes and shine.
            static const int kMajor[] = {0, 2, 4, 5, 7, 9, 11, 12, 14, 16};
            double root = 72 + kMajor[k];
            std::vector<double> notes = {root, root + 4, root + 7};
            if (k >= 2)
                notes.push_back(root + 12);
            if (k >= 5)
                notes.push_back(root + 16);
            double bright = 0.7 + 0.08 * k;
            Buf b = Arpeggio(notes, 0.055 - 0.002 * k, 0.55, bright);
            if (k >= 3) {
                Rng rng(20 + static_cast<uint64_t>(k));
                MixInto(b, NoiseSweep(0.4, 3000, 11000, 5, rng), 0.05, 0.04 * k);
            }
            SimpleReverb(b, 0.2, 0.9, 0.35);
            return b;
        });
    }
    add("BonusDrop", [] {
        Buf b = Arpeggio({100, 96, 93}, 0.05, 0.25, 0.8);
        Buf tail = Bell(MidiHz(91), 0.5);
        b.resize(Frames(0.75), 0.0f);
        MixInto(b, tail, 0.16, 1.0);
        SimpleReverb(b, 0.2, 0.9, 0.3);
        return b;
    });
    add("TNT", [] {
        Rng rng(12);
        Buf b = Silence(1.7);
        Buf fuse = Grains(0.25, 30, 4000, 9000, rng, 0.25);
        MixInto(b, fuse, 0.0, 0.25);
        MixInto(b, Explosion(1.45, 48, 5500, 13, 0.5), 0.22, 1.0);
        return b;
    });
    add("Flash", [] {
        Rng rng(14);
        Buf b = Silence(1.4);
        Svf f;
        f.Set(3200, 1.2);
        double gate = 1.0;
        size_t next = 0;
        for (size_t i = 0; i < Frames(0.45); ++i) {
            if (i >= next) { // crackle: the arc flickers on and off in random steps
                gate = rng.Uni() < 0.65 ? rng.Range(0.5, 1.0) : 0.05;
                next = i + Frames(rng.Range(0.004, 0.015));
            }
            double t = static_cast<double>(i) / kRate;
            f.Process(rng.Noise());
            b[i] += static_cast<float>(f.band * gate * std::exp(-t * 4.0) * Attack(t, 0.003));
        }
        VoiceParams zap;
        zap.freq = 1800;
        zap.dur = 0.25;
        zap.attack = 0.003;
        zap.release = 0.05;
        zap.glide = 0.12;
        MixInto(b, Voice(SoftSaw(), zap), 0.0, 0.25);
        Buf thunder = NoiseHit(1.2, 90, 0.7, 2.8, rng, 0.08);
        MixInto(b, thunder, 0.12, 2.0);
        SimpleReverb(b, 0.2, 1.0, 0.4);
        return b;
    });
    add("Clock", [] {
        Rng rng(15);
        Buf b = Silence(1.0);
        for (int i = 0; i < 3; ++i)
            MixInto(b, Tick(i % 2 ? 1700 : 2300, rng), 0.17 * i, 1.0);
        MixInto(b, Bell(MidiHz(84), 0.5, 0.7), 0.5, 0.6);
        return b;
    });
    add("TimeAdd", [] {
        Rng rng(16);
        Buf b = NoiseSweep(0.45, 500, 5000, 2.5, rng);
        for (float& v : b)
            v *= 0.4f;
        b.resize(Frames(0.95), 0.0f);
        MixInto(b, Arpeggio({84, 91, 96}, 0.07, 0.5, 0.9), 0.3, 1.0);
        SimpleReverb(b, 0.2, 0.9, 0.3);
        return b;
    });
    add("Multiplier", [] {
        Buf b = Silence(0.6);
        MixInto(b, Bell(MidiHz(81), 0.35, 1.2), 0.0, 1.0);
        MixInto(b, Bell(MidiHz(93), 0.4, 1.2), 0.12, 1.0);
        return b;
    });
    add("AdviserGet", [] {
        Buf b = Silence(0.8);
        double notes[] = {74, 78, 81, 86};
        for (int i = 0; i < 4; ++i) {
            VoiceParams p;
            p.freq = MidiHz(notes[i]);
            p.dur = 0.12;
            p.attack = 0.02;
            p.release = 0.25;
            p.decay = 3.0;
            MixInto(b, Voice(Mellow(), p), 0.08 * i, 0.6);
        }
        SimpleReverb(b, 0.3, 1.0, 0.3);
        return b;
    });
    add("AdviserAct", [] {
        Rng rng(17);
        Buf b = Silence(1.0);
        static const int kPenta[] = {0, 3, 5, 7, 10};
        for (int i = 0; i < 9; ++i) {
            double n = 79 + kPenta[rng.Below(5)] + 12 * rng.Below(2);
            MixInto(b, Bell(MidiHz(n), 0.5, 0.5), 0.06 * i, 0.5);
        }
        for (size_t i = 0; i < b.size(); ++i)
            b[i] *= static_cast<float>(0.75 + 0.25 * std::sin(kTwoPi * 9.0 * i / kRate));
        SimpleReverb(b, 0.35, 1.1, 0.3);
        return b;
    });
    add("Solidarity", [] {
        Buf b = Silence(0.95);
        for (double n : {67.0, 71.0, 74.0, 79.0}) {
            VoiceParams p;
            p.freq = MidiHz(n);
            p.dur = 0.4;
            p.attack = 0.12;
            p.release = 0.35;
            MixInto(b, Voice(SoftSaw(), p), 0.0, 0.5);
        }
        LowPass(b, 3500);
        MixInto(b, Arpeggio({91, 95, 98}, 0.06, 0.4, 0.6), 0.2, 0.4);
        SimpleReverb(b, 0.25, 1.0, 0.35);
        return b;
    });
    add("SolidarityRedir", [] {
        Rng rng(18);
        Buf b = NoiseSweep(0.35, 3500, 700, 3, rng);
        VoiceParams p;
        p.freq = 1300;
        p.dur = 0.3;
        p.attack = 0.02;
        p.release = 0.05;
        p.glide = 0.5;
        b.resize(Frames(0.4), 0.0f);
        MixInto(b, Voice(Mellow(), p), 0.0, 0.35);
        return b;
    });
    add("TotemEye", [] {
        Rng rng(19);
        Buf b = Silence(1.1);
        MixInto(b, Choir(MidiHz(45), 0.6, 2, 3, 0.2, 0.4, rng), 0.0, 1.0);
        MixInto(b, Choir(MidiHz(57), 0.6, 2, 2, 0.25, 0.4, rng), 0.0, 0.6);
        MixInto(b, Bell(MidiHz(81), 0.7, 0.5), 0.12, 0.35);
        SimpleReverb(b, 0.3, 1.2, 0.4);
        return b;
    });
    // Each colour's power sound: its totem's voice with its power's own accent.
    add("TotemGreen1", [] {
        return TotemVoice({50, 57, 62, 66}, 0, 30, 1.5, [](Buf& b, Rng&) {
            MixInto(b, Arpeggio({81, 86, 90, 93}, 0.07, 0.45, 0.8), 0.2, 0.22); // gems catching light
        });
    });
    add("TotemGreen2", [] {
        return TotemVoice({50, 57, 62, 69}, 1, 31, 1.6, [](Buf& b, Rng& rng) {
            MixInto(b, Arpeggio({86, 88, 93, 98}, 0.08, 0.5, 0.6), 0.15, 0.25);
            MixInto(b, NoiseSweep(0.8, 2000, 6000, 2, rng), 0.0, 0.08); // leaves rustling
        });
    });
    add("TotemYellow1", [] {
        return TotemVoice({52, 59, 64, 68}, 0, 32, 1.5, [](Buf& b, Rng& rng) {
            MixInto(b, Metal(3800, 0.3, 12, rng), 0.18, 0.3); // a coin spun up
            MixInto(b, Metal(4600, 0.25, 14, rng), 0.3, 0.2);
        });
    });
    add("TotemYellow2", [] { // the points land: a rush of coins
        Buf b = CoinRush(1.3, 46, 33);
        MixInto(b, Arpeggio({76, 80, 83, 88}, 0.05, 0.4, 0.7), 0.0, 0.2);
        return b;
    });
    add("TotemRed1", [] {
        return TotemVoice({45, 52, 57, 60}, 0, 34, 1.5, [](Buf& b, Rng& rng) {
            MixInto(b, NoiseSweep(0.9, 250, 1400, 1.5, rng), 0.15, 0.35); // fire taking hold
        });
    });
    add("TotemRed2", [] { // a fireball bursts: a blast with a roar of flame after it
        Buf b = Explosion(1.1, 48, 3800, 35, 0.45);
        Rng rng(36);
        MixInto(b, NoiseHit(0.8, 420, 0.6, 4.0, rng, 0.02), 0.04, 0.35);
        return b;
    });
    add("TotemBlue1", [] {
        return TotemVoice({55, 62, 67, 71}, 2, 36, 1.5,
                          [](Buf& b, Rng&) { MixInto(b, Crackle(0.7, 14, 361), 0.3, 0.35); }); // charging bolts
    });
    add("TotemBlue2", [] { return Crackle(0.9, 34, 37); }); // the bolts strike the steel
    add("TotemBlue3", [] { // full strength: the steel is done for and the shields rise
        return TotemVoice({43, 55, 62, 67}, 2, 38, 1.8, [](Buf& b, Rng& rng) {
            MixInto(b, NoiseSweep(1.0, 500, 4000, 6.0, rng), 0.1, 0.3); // a charge winding up
            MixInto(b, Crackle(0.6, 12, 381), 0.9, 0.3);
        });
    });
    add("TotemOrange", [] {
        return TotemVoice({53, 60, 65, 69}, 0, 39, 1.6, [](Buf& b, Rng& rng) {
            MixInto(b, Brass(77, 0.5, 0.3), 0.2, 0.25);
            for (int i = 0; i < 4; ++i) // the clock's hand ticking on
                MixInto(b, Tick(1800, rng), 0.25 + 0.18 * i, 0.3);
        });
    });
    add("TotemWhite1", [] {
        return TotemVoice({60, 64, 67, 72}, 4, 40, 1.5, [](Buf& b, Rng& rng) {
            MixInto(b, NoiseSweep(0.6, 1200, 3500, 2.0, rng), 0.2, 0.18); // paint stirring
        });
    });
    add("TotemWhite2", [] { return Splash(0.9, 9, 41); }); // the paint lands
    add("TotemViolet", [] {
        return TotemVoice({47, 54, 59, 62, 66}, 2, 42, 1.8, [](Buf& b, Rng&) {
            MixInto(b, Bell(MidiHz(83), 1.0, 0.4), 0.3, 0.2);
            MixInto(b, Bell(MidiHz(90), 0.8, 0.4), 0.45, 0.15);
        });
    });
    add("Explode2", [] { return Explosion(1.6, 45, 3000, 43, 0.7); });
    add("ScoreFrenzy", [] {
        static const int kPenta[] = {0, 2, 4, 7, 9};
        std::vector<double> notes;
        for (int i = 0; i < 14; ++i)
            notes.push_back(72 + kPenta[i % 5] + 12 * (i / 5));
        Buf b = Arpeggio(notes, 0.05, 0.35, 0.9);
        SimpleReverb(b, 0.25, 1.0, 0.3);
        return b;
    });
    add("BonusStar", [] {
        Buf b = Arpeggio({84, 88, 91, 96}, 0.035, 0.9, 1.0);
        b.resize(Frames(1.3), 0.0f);
        Rng rng(44);
        MixInto(b, Grains(0.8, 18, 6000, 11000, rng, 0.7), 0.05, 0.12);
        SimpleReverb(b, 0.3, 1.1, 0.3);
        return b;
    });
    add("LifeLost", [] {
        Buf b = Silence(1.4);
        VoiceParams p;
        p.freq = MidiHz(55);
        p.dur = 0.3;
        p.attack = 0.03;
        p.release = 0.15;
        p.decay = 1.0;
        MixInto(b, Voice(Hollow(), p), 0.0, 0.9);
        p.freq = MidiHz(51);
        p.dur = 0.7;
        p.release = 0.35;
        p.glide = 0.94;
        MixInto(b, Voice(Hollow(), p), 0.32, 1.0);
        MixInto(b, Kick(90, 45, 0.5, 0.0), 0.32, 0.6);
        LowPass(b, 1200);
        SimpleReverb(b, 0.25, 1.1, 0.5);
        return b;
    });
    add("LifeLostBack", [] {
        Rng rng(45);
        Buf b = Silence(2.0);
        VoiceParams p;
        p.freq = MidiHz(38);
        p.dur = 1.2;
        p.attack = 0.4;
        p.release = 0.6;
        MixInto(b, Voice(SoftSaw(), p), 0.0, 0.8);
        p.freq = MidiHz(45);
        MixInto(b, Voice(SoftSaw(), p), 0.0, 0.4);
        MixInto(b, NoiseHit(1.9, 120, 0.8, 1.2, rng, 0.5), 0.0, 1.0);
        LowPass(b, 500);
        SimpleReverb(b, 0.3, 1.3, 0.6);
        return b;
    });
    add("EndLevel", [] { return Fanfare({60, 64, 67}, 0.13, {60, 64, 67, 72}, 1.0, 2.0); });
    add("Warning", [] {
        Buf b = Silence(0.75);
        for (int i = 0; i < 4; ++i) {
            VoiceParams p;
            p.freq = MidiHz(i % 2 ? 76 : 81);
            p.dur = 0.11;
            p.attack = 0.012;
            p.release = 0.05;
            MixInto(b, Voice(Mellow(), p), 0.16 * i, 0.8);
            MixInto(b, Voice(Hollow(), p), 0.16 * i, 0.15);
        }
        LowPass(b, 2500);
        return b;
    });
    add("NewLevel", [] { return Fanfare({67, 72, 76}, 0.1, {67, 72, 76, 79}, 0.6, 1.4); });
    add("Bad", [] {
        Buf b = Silence(0.45);
        VoiceParams p;
        p.freq = MidiHz(53);
        p.dur = 0.25;
        p.attack = 0.015;
        p.release = 0.12;
        p.glide = 0.95;
        MixInto(b, Voice(Hollow(), p), 0.0, 0.5);
        p.freq = MidiHz(54);
        MixInto(b, Voice(Mellow(), p), 0.0, 0.6);
        LowPass(b, 1100);
        return b;
    });
    add("Win", [] { return Fanfare({62, 66, 69, 74}, 0.11, {62, 66, 69, 74, 78}, 1.1, 2.0); });
    add("Tick", [] {
        Rng rng(46);
        return Tick(2000, rng);
    });
    e.push_back({"TickLoop",
                 [] {
                     // Exactly one second: two ticks that die out well before the loop wraps.
                     Rng rng(47);
                     Buf b = Silence(1.0);
                     MixInto(b, Tick(2000, rng), 0.004, 1.0);
                     MixInto(b, Tick(1600, rng), 0.504, 0.8);
                     return b;
                 },
                 true});
    add("AddLife", [] {
        Buf b = Silence(1.0);
        double notes[] = {72, 76, 79};
        for (int i = 0; i < 3; ++i) {
            VoiceParams p;
            p.freq = MidiHz(notes[i]);
            p.dur = 0.25 - 0.05 * i;
            p.attack = 0.02;
            p.release = 0.3;
            p.decay = 1.5;
            MixInto(b, Voice(Mellow(), p), 0.1 * i, 0.6);
            MixInto(b, Bell(MidiHz(notes[i] + 12), 0.4, 0.5), 0.1 * i, 0.25);
        }
        SimpleReverb(b, 0.25, 1.0, 0.3);
        return b;
    });
    add("GoodClick", [] {
        Rng rng(48);
        Buf b = Silence(0.22);
        MixInto(b, NoiseHit(0.05, 3000, 2, 100, rng), 0.0, 1.0);
        MixInto(b, Bell(MidiHz(88), 0.2, 0.7), 0.0, 0.8);
        return b;
    });
    add("Trophy", [] {
        Buf b = Arpeggio({77, 81, 84, 89}, 0.06, 1.0, 0.9);
        b.resize(Frames(1.6), 0.0f);
        MixInto(b, Brass(65, 0.7, 0.4), 0.0, 0.35);
        MixInto(b, Brass(72, 0.7, 0.4), 0.0, 0.25);
        SimpleReverb(b, 0.3, 1.1, 0.3);
        return b;
    });
    add("Background", [] {
        Rng rng(49);
        Buf b = Silence(1.6);
        MixInto(b, NoiseSweep(1.0, 800, 6000, 2, rng), 0.0, 0.12);
        MixInto(b, Arpeggio({81, 84, 88, 93}, 0.12, 0.8, 0.6), 0.1, 0.7);
        SimpleReverb(b, 0.35, 1.2, 0.3);
        return b;
    });
    add("Museum", [] {
        Rng rng(50);
        Buf b = Silence(2.0);
        MixInto(b, Metal(98, 1.9, 1.2, rng), 0.0, 0.8);
        MixInto(b, ChoirChord({55, 62, 67, 71}, 1.0, 0, 51, 0.3, 0.5), 0.1, 0.7);
        SimpleReverb(b, 0.3, 1.3, 0.4);
        return b;
    });
    add("Flare", [] {
        Rng rng(52);
        Buf b = NoiseSweep(0.9, 900, 9000, 3, rng);
        for (float& v : b)
            v *= 0.4f;
        b.resize(Frames(1.1), 0.0f);
        MixInto(b, Arpeggio({88, 95, 100}, 0.1, 0.6, 0.7), 0.3, 0.7);
        SimpleReverb(b, 0.3, 1.1, 0.3);
        return b;
    });
    add("Door", [] {
        Rng rng(53);
        Buf b = Silence(2.0);
        Svf grind;
        double wobble = 0.0;
        for (size_t i = 0; i < b.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            if (i % 400 == 0)
                wobble = 0.6 * wobble + 0.4 * rng.Uni(); // stone catching on stone
            grind.Set(90 + 220 * wobble, 1.5);
            grind.Process(rng.Noise());
            double env = Attack(t, 0.25) * Release(t, 1.5, 0.45);
            b[i] = static_cast<float>(grind.band * env * (0.6 + 0.6 * wobble));
        }
        MixInto(b, Metal(73, 1.2, 2.0, rng), 0.0, 0.3);
        MixInto(b, Kick(80, 40, 0.7, 0.1), 0.0, 0.6);
        SimpleReverb(b, 0.3, 1.3, 0.5);
        return b;
    });
    add("Treasure", [] {
        Rng rng(54);
        Buf b = Silence(2.0);
        for (int i = 0; i < 22; ++i) {
            double at = 0.6 * rng.Uni() * rng.Uni();
            MixInto(b, Metal(rng.Range(2800, 5200), 0.18, 22, rng), at, rng.Range(0.15, 0.35));
        }
        MixInto(b, ChoirChord({60, 67, 72, 76}, 0.9, 0, 55, 0.2, 0.5), 0.15, 0.8);
        MixInto(b, Arpeggio({84, 88, 91, 96}, 0.07, 0.8, 0.8), 0.2, 0.4);
        SimpleReverb(b, 0.3, 1.2, 0.3);
        return b;
    });
    return e;
}

} // namespace sfx
