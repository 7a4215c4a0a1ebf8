// The six music tracks. Each is rendered into a circular stereo buffer exactly a whole number of
// bars long: notes, echoes and reverb that run past the end wrap around into the start, so the
// track loops without a seam.
#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "generators.h"

namespace sfx {

namespace {

enum Layer : unsigned {
    kPad = 1u << 0,
    kBass = 1u << 1,
    kPerc = 1u << 2,  // light percussion only
    kDrums = 1u << 3, // the full kit
    kMelody = 1u << 4,
    kArp = 1u << 5,
};

enum class Lead { Pluck, Flute, Bell, Marimba };

struct Song {
    std::string name;
    uint64_t seed = 1;
    double bpm = 100;
    int beatsPerBar = 4;
    int bars = 32;
    int root = 45;                // tonic in the bass octave (MIDI)
    std::array<int, 7> mode{};    // semitones of the seven degrees
    std::vector<int> melodyNotes; // allowed pitch classes of the tune, relative to the tonic; empty = whole mode
    std::vector<int> progression; // chord degree of each bar, cycled
    bool sevenths = false;
    Lead lead = Lead::Pluck;
    Lead arpVoice = Lead::Bell;
    int arpStep = 2;         // sixteenths per arpeggio note
    int leadOctave = 2;      // octaves above the bass tonic
    std::vector<int> rhythm; // note lengths in sixteenths the tune picks from
    double restChance = 0.12;
    std::vector<unsigned> sections;          // layers of each four-bar section
    std::string bass;                        // one bar: R root, F fifth, O octave, '.' hold/rest
    std::map<char, std::string> light, full; // drum patterns, one bar of sixteenths
    double padCutoff = 2000;
    double reverb = 0.35;
    double echo = 0.25;
};

class Bus {
public:
    explicit Bus(size_t frames) : l(frames, 0.0f), r(frames, 0.0f) {}
    void Add(const Buf& b, double atSeconds, double gain, double pan)
    {
        size_t n = l.size();
        size_t start = Frames(atSeconds) % n;
        double a = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
        float gl = static_cast<float>(gain * std::cos(a)), gr = static_cast<float>(gain * std::sin(a));
        for (size_t i = 0; i < b.size(); ++i) {
            size_t k = (start + i) % n;
            l[k] += b[i] * gl;
            r[k] += b[i] * gr;
        }
    }
    std::vector<float> l, r;
};

// Runs a filter over the loop twice and keeps the second pass, so its state at the start of the
// kept pass is exactly what the end of the loop leaves behind.
template <typename Process>
void Circular(const std::vector<float>& in, std::vector<float>& out, Process&& process)
{
    size_t n = in.size();
    for (size_t i = 0; i < 2 * n; ++i) {
        float y = process(in[i % n]);
        if (i >= n)
            out[i - n] += y;
    }
}

class Comb {
public:
    Comb(size_t len, double feedback, double damp) : buf_(len, 0.0f), fb_(feedback), damp_(damp) {}
    double Run(double x)
    {
        double y = buf_[pos_];
        filt_ = y * (1.0 - damp_) + filt_ * damp_;
        buf_[pos_] = static_cast<float>(x + filt_ * fb_);
        pos_ = (pos_ + 1) % buf_.size();
        return y;
    }

private:
    std::vector<float> buf_;
    size_t pos_ = 0;
    double fb_, damp_, filt_ = 0.0;
};

class AllPass {
public:
    explicit AllPass(size_t len) : buf_(len, 0.0f) {}
    double Run(double x)
    {
        double b = buf_[pos_];
        buf_[pos_] = static_cast<float>(x + b * 0.5);
        pos_ = (pos_ + 1) % buf_.size();
        return b - x;
    }

private:
    std::vector<float> buf_;
    size_t pos_ = 0;
};

void LoopReverb(const Bus& send, Bus& out, double gain)
{
    static const size_t kCombs[] = {1557, 1617, 1491, 1422, 1277, 1356};
    for (int ch = 0; ch < 2; ++ch) {
        size_t spread = ch == 0 ? 0 : 23;
        std::vector<Comb> combs;
        for (size_t c : kCombs)
            combs.emplace_back(c + spread, 0.83, 0.35);
        AllPass a1(556 + spread), a2(441 + spread), a3(341 + spread);
        std::vector<float> mono(send.l.size());
        for (size_t i = 0; i < mono.size(); ++i)
            mono[i] = (send.l[i] + send.r[i]) * 0.5f;
        Circular(mono, ch == 0 ? out.l : out.r, [&](float x) {
            double s = 0.0;
            for (Comb& c : combs)
                s += c.Run(x * 0.15);
            return static_cast<float>(a3.Run(a2.Run(a1.Run(s))) * gain);
        });
    }
}

void LoopEcho(const Bus& send, Bus& out, double delaySeconds, double feedback)
{
    // Ping-pong: each repeat crosses to the other side and loses some treble.
    size_t d = Frames(delaySeconds);
    size_t n = send.l.size();
    std::vector<float> dl(d, 0.0f), dr(d, 0.0f);
    double lpL = 0.0, lpR = 0.0;
    size_t pos = 0;
    for (size_t i = 0; i < 2 * n; ++i) {
        size_t k = i % n;
        double yl = dl[pos], yr = dr[pos];
        lpL = 0.7 * lpL + 0.3 * yr;
        lpR = 0.7 * lpR + 0.3 * yl;
        dl[pos] = static_cast<float>(send.l[k] * 0.5 + send.r[k] * 0.5 + lpL * feedback);
        dr[pos] = static_cast<float>(lpR * feedback);
        pos = (pos + 1) % d;
        if (i >= n) {
            out.l[k] += static_cast<float>(yl);
            out.r[k] += static_cast<float>(yr);
        }
    }
}

class Composer {
public:
    explicit Composer(const Song& s) : song_(s), rng_(s.seed)
    {
        step_ = 60.0 / s.bpm / 4.0;
        barSteps_ = s.beatsPerBar * 4;
        frames_ = Frames(s.bars * s.beatsPerBar * 60.0 / s.bpm);
    }

    void Render(std::vector<float>& interleaved)
    {
        Bus dry(frames_), reverbSend(frames_), echoSend(frames_), wet(frames_);
        BuildDrums();
        for (int bar = 0; bar < song_.bars; ++bar) {
            unsigned layers = song_.sections[static_cast<size_t>(bar / 4) % song_.sections.size()];
            bool lastBar = bar == song_.bars - 1;
            if (lastBar && (layers & kDrums))
                layers = (layers & ~kDrums) | kPerc; // ease back into the intro
            if (layers & kPad)
                Pad(bar, dry, reverbSend);
            if (layers & kBass)
                Bass(bar, dry);
            if (layers & (kPerc | kDrums))
                Drums(bar, (layers & kDrums) != 0, dry, reverbSend);
            if (layers & kArp)
                Arp(bar, dry, reverbSend, echoSend);
        }
        Melody(dry, reverbSend, echoSend);
        LoopReverb(reverbSend, wet, 1.0);
        LoopEcho(echoSend, wet, step_ * 3.0, 0.38);
        interleaved.assign(frames_ * 2, 0.0f);
        double sq = 0.0;
        for (size_t i = 0; i < frames_; ++i) {
            double l = dry.l[i] + wet.l[i] * song_.reverb, r = dry.r[i] + wet.r[i] * song_.reverb;
            interleaved[2 * i] = static_cast<float>(l);
            interleaved[2 * i + 1] = static_cast<float>(r);
            sq += l * l + r * r;
        }
        // Level to a comfortable loudness, then round off the rare peaks instead of letting one
        // drum hit set the level of the whole track. Memoryless, so the loop stays seamless.
        double rms = std::sqrt(sq / static_cast<double>(2 * frames_));
        double g = 0.15 / std::max(rms, 1e-9);
        for (float& v : interleaved) {
            double x = v * g, a = std::fabs(x);
            if (a > 0.6)
                a = 0.6 + 0.29 * std::tanh((a - 0.6) / 0.29);
            v = static_cast<float>(x < 0 ? -a : a);
        }
    }

private:
    int Chord(int bar) const { return song_.progression[static_cast<size_t>(bar) % song_.progression.size()]; }
    double BarTime(int bar) const { return bar * barSteps_ * step_; }
    // MIDI note of a scale degree counted from the bass tonic (degree 7 is an octave up).
    double Note(int degree) const
    {
        int oct = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
        int d = degree - oct * 7;
        return song_.root + 12 * oct + song_.mode[static_cast<size_t>(d)];
    }
    bool InMelodyScale(int degree) const
    {
        if (song_.melodyNotes.empty())
            return true;
        int pc = ((song_.mode[static_cast<size_t>(((degree % 7) + 7) % 7)]) % 12 + 12) % 12;
        return std::find(song_.melodyNotes.begin(), song_.melodyNotes.end(), pc) != song_.melodyNotes.end();
    }
    static double Fold(double note, double lo, double hi)
    {
        while (note < lo)
            note += 12;
        while (note > hi)
            note -= 12;
        return note;
    }

    Buf Instrument(Lead kind, double note, double dur, double velocity)
    {
        double f = MidiHz(note);
        switch (kind) {
        case Lead::Pluck: {
            Buf b = Pluck(f, dur + 0.6, rng_, 0.35 + 0.25 * velocity, 0.997);
            LowPass(b, 4500);
            return b;
        }
        case Lead::Flute: {
            VoiceParams p;
            p.freq = f;
            p.dur = dur;
            p.attack = std::min(0.08, dur * 0.4);
            p.release = 0.18;
            p.vibDepth = 0.14;
            p.vibRate = 5.0;
            p.vibDelay = 0.2;
            Buf b = Voice(Mellow(), p);
            Buf breath = NoiseHit(dur + 0.18, f * 2.0, 3.0, 1.0, rng_, p.attack);
            MixInto(b, breath, 0.0, 0.08);
            return b;
        }
        case Lead::Bell:
            return FmBell(f, std::max(dur, 0.3) + 0.6, 2.0, 1.0 + 0.4 * velocity, 2.6, 5.0);
        case Lead::Marimba:
            return FmBell(f, 0.55, 4.0, 1.1 + 0.4 * velocity, 7.0, 30.0);
        }
        return {};
    }

    void Pad(int bar, Bus& dry, Bus& send)
    {
        int c = Chord(bar);
        std::vector<int> degrees = {c, c + 2, c + 4};
        if (song_.sevenths)
            degrees.push_back(c + 6);
        double lo = song_.root + 10, hi = song_.root + 24;
        double dur = barSteps_ * step_;
        for (size_t i = 0; i < degrees.size(); ++i) {
            double note = Fold(Note(degrees[i]), lo, hi);
            for (int v = 0; v < 2; ++v) {
                VoiceParams p;
                p.freq = MidiHz(note) * std::pow(2.0, (v ? 7.0 : -7.0) / 1200.0);
                p.dur = dur;
                p.attack = std::min(0.6, dur * 0.3);
                p.release = 0.9;
                p.vibDepth = 0.05;
                p.vibRate = 0.3 + 0.2 * v;
                Buf b = Voice(SoftSaw(), p);
                LowPass(b, song_.padCutoff);
                double pan = (v ? 0.45 : -0.45) * (i % 2 ? -1 : 1);
                dry.Add(b, BarTime(bar), 0.055, pan);
                send.Add(b, BarTime(bar), 0.06, pan);
            }
        }
    }

    void Bass(int bar, Bus& dry)
    {
        int c = Chord(bar);
        const std::string& pat = song_.bass;
        for (int s = 0; s < barSteps_ && s < static_cast<int>(pat.size()); ++s) {
            char k = pat[static_cast<size_t>(s)];
            if (k == '.')
                continue;
            int len = 1;
            while (s + len < barSteps_ && s + len < static_cast<int>(pat.size()) &&
                   pat[static_cast<size_t>(s + len)] == '.')
                ++len;
            double note = Fold(Note(c), song_.root - 2, song_.root + 10);
            if (k == 'F')
                note += 7;
            if (k == 'O')
                note += 12;
            VoiceParams p;
            p.freq = MidiHz(note);
            p.dur = std::max(0.08, len * step_ * 0.85);
            p.attack = 0.008;
            p.release = 0.08;
            p.decay = 1.2;
            Buf b = Voice(BassWave(), p);
            LowPass(b, 900);
            dry.Add(b, BarTime(bar) + s * step_, 0.32, 0.0);
        }
    }

    void BuildDrums()
    {
        Rng r(song_.seed * 7 + 3);
        kit_['K'] = Kick(120, 48, 0.38, 0.25);
        kit_['S'] = NoiseHit(0.2, 1900, 0.9, 20, r);
        MixInto(kit_['S'], FmBell(200, 0.1, 1.0, 0.5, 35, 10), 0.0, 0.4);
        kit_['H'] = NoiseHit(0.06, 8500, 1.4, 70, r);
        HighPass(kit_['H'], 5000);
        kit_['D'] = Kick(100, 72, 0.4, 0.08);
        kit_['T'] = NoiseHit(0.08, 3200, 2.5, 45, r);
        MixInto(kit_['T'], FmBell(720, 0.08, 1.5, 1.0, 50, 40), 0.0, 0.5);
        kit_['Z'] = NoiseHit(0.09, 6500, 1.8, 35, r, 0.02);
    }

    void Drums(int bar, bool full, Bus& dry, Bus& send)
    {
        static const std::map<char, double> kGain = {{'K', 0.55}, {'S', 0.5},  {'H', 0.16},
                                                     {'D', 0.45}, {'T', 0.28}, {'Z', 0.14}};
        static const std::map<char, double> kPan = {{'K', 0.0},  {'S', 0.05},  {'H', 0.35},
                                                    {'D', -0.1}, {'T', -0.35}, {'Z', 0.4}};
        const auto& pats = full ? song_.full : song_.light;
        for (const auto& [drum, pat] : pats) {
            for (int s = 0; s < barSteps_ && s < static_cast<int>(pat.size()); ++s) {
                char k = pat[static_cast<size_t>(s)];
                if (k == '.')
                    continue;
                double vel = (k == 'x' ? 1.0 : 0.55) * rng_.Range(0.85, 1.0);
                double t = BarTime(bar) + s * step_ + rng_.Range(0.0, 0.004);
                dry.Add(kit_[drum], t, kGain.at(drum) * vel, kPan.at(drum));
                if (drum == 'S' || drum == 'T')
                    send.Add(kit_[drum], t, 0.15 * vel, 0.0);
            }
        }
    }

    void Arp(int bar, Bus& dry, Bus& send, Bus& echo)
    {
        int c = Chord(bar);
        std::vector<double> notes;
        for (int d : {c, c + 2, c + 4, c + 7})
            notes.push_back(Fold(Note(d), song_.root + 24, song_.root + 37));
        std::sort(notes.begin(), notes.end());
        static const int kOrder[] = {0, 1, 2, 3, 2, 1};
        int count = barSteps_ / song_.arpStep;
        for (int i = 0; i < count; ++i) {
            double note = notes[static_cast<size_t>(kOrder[i % 6])];
            double vel = i % (4 / std::min(song_.arpStep, 4)) == 0 ? 1.0 : 0.7;
            Buf b = Instrument(song_.arpVoice, note, song_.arpStep * step_, vel * 0.6);
            double t = BarTime(bar) + i * song_.arpStep * step_;
            double pan = i % 2 ? 0.5 : -0.5;
            dry.Add(b, t, 0.06 * vel, pan);
            send.Add(b, t, 0.05, pan);
            echo.Add(b, t, 0.025, pan);
        }
    }

    struct Tone {
        int start, len, offset; // sixteenths within the phrase; scale steps above the chord root
    };

    // A two-bar phrase as steps relative to the chord roots, so a theme can return over any chord.
    std::vector<Tone> MakePhrase(bool cadence)
    {
        std::vector<Tone> out;
        int total = 2 * barSteps_;
        int pos = 0;
        int offset = std::array<int, 3>{0, 2, 4}[static_cast<size_t>(rng_.Below(3))];
        static const int kSteps[] = {-2, -1, -1, 0, 1, 1, 2, 3, -3, 1, -1};
        while (pos < total) {
            int len = song_.rhythm[static_cast<size_t>(rng_.Below(static_cast<int>(song_.rhythm.size())))];
            if (pos + len > total || total - pos - len < 2)
                len = total - pos;
            bool rest = pos > 0 && rng_.Uni() < song_.restChance;
            if (!rest) {
                offset += kSteps[rng_.Below(11)];
                offset = std::clamp(offset, -3, 9);
                if (pos % 4 == 0 || len >= 4) { // strong beats and long notes sit on chord tones
                    static const int kChordTones[] = {-3, 0, 2, 4, 7, 9};
                    int best = 0;
                    for (int ct : kChordTones)
                        if (std::abs(ct - offset) < std::abs(best - offset))
                            best = ct;
                    offset = best;
                }
                if (pos + len == total)
                    offset = cadence ? 0 : (rng_.Below(2) ? 2 : 4);
                out.push_back({pos, len, offset});
            }
            pos += len;
        }
        return out;
    }

    void Melody(Bus& dry, Bus& send, Bus& echo)
    {
        std::vector<std::vector<Tone>> themes[2];
        for (auto& theme : themes)
            theme = {MakePhrase(false), MakePhrase(true)};
        int melodic = 0;
        int sections = song_.bars / 4;
        for (int sec = 0; sec < sections; ++sec) {
            unsigned layers = song_.sections[static_cast<size_t>(sec) % song_.sections.size()];
            if (!(layers & kMelody))
                continue;
            const auto& theme = themes[melodic % 2];
            bool lift = melodic >= 2; // when a theme comes back it climbs a third for variety
            ++melodic;
            for (int ph = 0; ph < 2; ++ph) {
                int barStart = sec * 4 + ph * 2;
                for (const Tone& t : theme[static_cast<size_t>(ph)]) {
                    int bar = barStart + t.start / barSteps_;
                    int degree = Chord(bar) + t.offset + (lift && ph == 0 ? 2 : 0);
                    for (int tries = 0; tries < 3 && !InMelodyScale(degree); ++tries)
                        degree += (t.offset >= 0 ? 1 : -1);
                    double note =
                        Fold(Note(degree) + 12 * song_.leadOctave, song_.root + 12 * song_.leadOctave - 3,
                             song_.root + 12 * song_.leadOctave + 16);
                    double dur = t.len * step_ * 0.92;
                    double vel = t.start % 4 == 0 ? 1.0 : 0.8;
                    Buf b = Instrument(song_.lead, note, dur, vel);
                    double at = BarTime(barStart) + t.start * step_;
                    dry.Add(b, at, 0.27 * vel, -0.12);
                    send.Add(b, at, 0.12, 0.0);
                    echo.Add(b, at, 0.1 * song_.echo / 0.25, 0.0);
                }
            }
        }
    }

    const Song& song_;
    Rng rng_;
    double step_;
    int barSteps_;
    size_t frames_;
    std::map<char, Buf> kit_;
};

std::vector<Song> Songs()
{
    const std::array<int, 7> aeolian{0, 2, 3, 5, 7, 8, 10}, dorian{0, 2, 3, 5, 7, 9, 10},
        mixolydian{0, 2, 4, 5, 7, 9, 10}, ionian{0, 2, 4, 5, 7, 9, 11}, hijaz{0, 1, 4, 5, 7, 8, 10};
    std::vector<Song> songs;

    Song menu;
    menu.name = "mainmenu";
    menu.seed = 101;
    menu.bpm = 76;
    menu.bars = 20;
    menu.root = 38;
    menu.mode = hijaz;
    menu.progression = {0, 0, 1, 0, 3, 3, 1, 0};
    menu.lead = Lead::Flute;
    menu.arpVoice = Lead::Pluck;
    menu.arpStep = 4;
    menu.leadOctave = 2;
    menu.rhythm = {4, 4, 6, 8, 2, 12};
    menu.restChance = 0.2;
    menu.sections = {kPad | kBass | kPerc, kPad | kBass | kPerc | kMelody, kPad | kBass | kPerc | kArp,
                     kPad | kBass | kPerc | kMelody | kArp, kPad | kPerc};
    menu.bass = "R...............";
    menu.light = {{'D', "x.......o......."}, {'T', "......o.....o..."}, {'Z', "..o...o...o...o."}};
    menu.padCutoff = 1400;
    menu.reverb = 0.5;
    menu.echo = 0.35;
    songs.push_back(menu);

    Song g1;
    g1.name = "gameplay1";
    g1.seed = 202;
    g1.bpm = 112;
    g1.bars = 32;
    g1.root = 45;
    g1.mode = aeolian;
    g1.melodyNotes = {0, 3, 5, 7, 10};
    g1.progression = {0, 5, 6, 0, 0, 3, 5, 6};
    g1.lead = Lead::Pluck;
    g1.arpVoice = Lead::Bell;
    g1.arpStep = 2;
    g1.rhythm = {2, 2, 2, 4, 4, 6, 1, 1};
    g1.sections = {kPad | kBass | kPerc,
                   kPad | kBass | kDrums | kMelody,
                   kPad | kBass | kDrums | kMelody | kArp,
                   kPad | kBass | kDrums | kArp,
                   kPad | kBass | kPerc | kMelody,
                   kPad | kBass | kDrums | kMelody,
                   kPad | kBass | kDrums | kMelody | kArp,
                   kPad | kBass | kDrums};
    g1.bass = "R.....R.F...O...";
    g1.light = {{'H', "..x...x...x...x."}, {'T', "....o.......o..."}};
    g1.full = {{'K', "x.......x.....o."},
               {'S', "....x.......x..."},
               {'H', "..x...x...x...xo"},
               {'D', "......o.......o."},
               {'T', "...o......o....."}};
    g1.padCutoff = 1800;
    songs.push_back(g1);

    Song g2;
    g2.name = "gameplay2";
    g2.seed = 303;
    g2.bpm = 120;
    g2.bars = 36;
    g2.root = 40;
    g2.mode = dorian;
    g2.progression = {0, 3, 0, 6, 2, 3, 6, 0};
    g2.sevenths = true;
    g2.lead = Lead::Marimba;
    g2.arpVoice = Lead::Pluck;
    g2.arpStep = 2;
    g2.leadOctave = 3;
    g2.rhythm = {2, 2, 4, 2, 1, 1, 3, 6};
    g2.sections = {kPad | kBass | kPerc,
                   kPad | kBass | kDrums | kArp,
                   kPad | kBass | kDrums | kMelody,
                   kPad | kBass | kDrums | kMelody | kArp,
                   kPad | kBass | kPerc | kArp,
                   kPad | kBass | kDrums | kMelody,
                   kPad | kBass | kDrums | kMelody | kArp,
                   kPad | kBass | kDrums | kArp,
                   kPad | kBass | kPerc};
    g2.bass = "R..R..F...R..O..";
    g2.light = {{'Z', "xoooxoooxoooxooo"}, {'D', "x.........o....."}};
    g2.full = {{'K', "x...x...x...x..."},
               {'S', "....x.......x..."},
               {'Z', "xoooxoooxoooxooo"},
               {'H', "..x...x...x...x."}};
    g2.padCutoff = 2200;
    songs.push_back(g2);

    Song g3;
    g3.name = "gameplay3";
    g3.seed = 404;
    g3.bpm = 128;
    g3.bars = 36;
    g3.root = 43;
    g3.mode = mixolydian;
    g3.melodyNotes = {0, 2, 4, 7, 9};
    g3.progression = {0, 6, 3, 0, 0, 4, 6, 3};
    g3.lead = Lead::Bell;
    g3.arpVoice = Lead::Marimba;
    g3.arpStep = 2;
    g3.leadOctave = 2;
    g3.rhythm = {2, 4, 2, 2, 6, 4, 8};
    g3.sections = {
        kPad | kBass | kPerc | kArp,     kPad | kBass | kDrums | kMelody, kPad | kBass | kDrums | kMelody | kArp,
        kPad | kBass | kDrums | kArp,    kPad | kBass | kPerc | kMelody,  kPad | kBass | kDrums | kMelody | kArp,
        kPad | kBass | kDrums | kMelody, kPad | kBass | kDrums | kArp,    kPad | kBass | kPerc};
    g3.bass = "R.R...F.R.R...O.";
    g3.light = {{'H', "x.x.x.x.x.x.x.x."}, {'T', "...o...o...o...o"}};
    g3.full = {{'K', "x.....x...x....."},
               {'S', "....x.......x..."},
               {'H', "x.x.x.x.x.x.x.xo"},
               {'T', "...o...o...o...o"},
               {'D', "..........o....."}};
    g3.padCutoff = 2400;
    songs.push_back(g3);

    Song story;
    story.name = "storyline";
    story.seed = 505;
    story.bpm = 66;
    story.beatsPerBar = 3;
    story.bars = 24;
    story.root = 41;
    story.mode = aeolian;
    story.progression = {0, 5, 2, 6, 0, 3, 4, 0};
    story.sevenths = true;
    story.lead = Lead::Flute;
    story.arpVoice = Lead::Pluck;
    story.arpStep = 2;
    story.leadOctave = 2;
    story.rhythm = {4, 4, 8, 6, 2, 12};
    story.restChance = 0.15;
    story.sections = {kPad | kBass | kArp,         kPad | kBass | kArp | kMelody, kPad | kBass | kPerc | kMelody,
                      kPad | kBass | kArp | kPerc, kPad | kBass | kArp | kMelody, kPad | kBass};
    story.bass = "R...........";
    story.light = {{'D', "x..........."}, {'Z', "......o....."}};
    story.padCutoff = 1300;
    story.reverb = 0.55;
    story.echo = 0.3;
    songs.push_back(story);

    Song bonus;
    bonus.name = "bonuslevel";
    bonus.seed = 606;
    bonus.bpm = 144;
    bonus.bars = 40;
    bonus.root = 48;
    bonus.mode = ionian;
    bonus.melodyNotes = {0, 2, 4, 7, 9};
    bonus.progression = {0, 3, 4, 0, 5, 3, 4, 4};
    bonus.lead = Lead::Marimba;
    bonus.arpVoice = Lead::Bell;
    bonus.arpStep = 2;
    bonus.leadOctave = 2;
    bonus.rhythm = {2, 2, 1, 1, 2, 4, 3};
    bonus.restChance = 0.18;
    bonus.sections = {kPad | kBass | kPerc,
                      kPad | kBass | kDrums | kMelody,
                      kPad | kBass | kDrums | kMelody | kArp,
                      kPad | kBass | kDrums | kArp,
                      kPad | kBass | kPerc | kMelody,
                      kPad | kBass | kDrums | kMelody,
                      kPad | kBass | kDrums | kMelody | kArp,
                      kPad | kBass | kDrums | kArp,
                      kPad | kBass | kPerc | kMelody,
                      kPad | kBass | kDrums};
    bonus.bass = "R...O...F...O...";
    bonus.light = {{'H', "..x...x...x...x."}, {'T', "o...o...o...o..."}};
    bonus.full = {{'K', "x.......x......."},
                  {'S', "....x.......x..."},
                  {'H', "..x...x...x...x."},
                  {'T', "...o..o....o..o."}};
    bonus.padCutoff = 2600;
    bonus.reverb = 0.3;
    songs.push_back(bonus);
    return songs;
}

} // namespace

std::vector<Track> AllTracks()
{
    std::vector<Track> tracks;
    for (const Song& s : Songs()) {
        tracks.push_back({s.name, [s](std::vector<float>& out) {
                              Composer c(s);
                              c.Render(out);
                          }});
    }
    return tracks;
}

} // namespace sfx
