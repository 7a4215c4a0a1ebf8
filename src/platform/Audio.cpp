#include "platform/Audio.h"

#include "platform/Files.h"

#include <SDL.h>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plat::snd {

namespace {

struct Sample {
    std::vector<float> pcm; // interleaved, `channels` values per frame
    uint32_t channels = 1;
    uint32_t frames = 0;
    uint32_t rate = 44100;
    uint32_t origBits = 16;
    uint32_t originalBytes = 0;
    SampleInfo defaults;
    std::vector<Handle> voices; // in start order: the front one has played longest
};

struct Voice {
    Handle sample = 0;
    double position = 0.0; // in frames of the sample
    uint32_t rate = 0;     // playback rate in Hz
    float volume = 1.0f;
    float pan = 0.0f;
    bool loop = false;
    // Gains of the last mixed frame: a change of volume or pan glides there
    // over one mixer pass instead of jumping, which would click.
    float gainLeft = 0.0f;
    float gainRight = 0.0f;
    bool mixed = false;
    // Stopped or replaced: its handle is stale at once, but it fades out over
    // one more pass. Finished voices are erased by the game thread, so the
    // callback never frees memory.
    bool releasing = false;
    bool finished = false;
};

// The whole compressed file, so that decoding in the callback never waits
// for the disk.
struct MemoryFile {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

struct Stream {
    MemoryFile source;
    OggVorbis_File file{};
    bool decodeOnly = false;
    bool playing = false;
    bool stopping = false; // fades out over the next pass, then stops
    bool loop = false;
    bool ended = false;
    uint32_t channels = 2;
    uint32_t rate = 44100;
    uint32_t playRate = 0;
    float volume = 1.0f;
    float pan = 0.0f;
    float gainLeft = 0.0f;
    float gainRight = 0.0f;
    bool mixed = false;
    SDL_AudioStream* converter = nullptr; // source rate -> device rate, same channel count

    ~Stream()
    {
        if (converter)
            SDL_FreeAudioStream(converter);
        ov_clear(&file);
    }
};

// Everything the callback reads lives here, under `lock`. SDL's own device
// functions are never called while `lock` is held: the callback runs under
// SDL's device lock and then takes ours, so the reverse order would deadlock.
struct State {
    std::mutex lock;
    SDL_AudioDeviceID device = 0;
    bool outputPaused = false;
    // The device's passes play silence and only MixForTests moves the mixer on.
    bool heldForTests = false;
    int deviceRate = 44100;
    Handle lastHandle = 0;
    std::map<Handle, std::unique_ptr<Sample>> samples;
    std::map<Handle, Voice> voices;
    std::map<Handle, std::unique_ptr<Stream>> streams;
    // Sized when the device opens, so that the callback does not allocate.
    std::vector<float> mix;
    std::vector<float> scratch;
    std::string error;
};

State& S()
{
    static State state;
    return state;
}

// Callers hold the lock.
Handle NewHandle(State& s)
{
    for (;;) {
        ++s.lastHandle;
        const Handle h = s.lastHandle;
        if (h != 0 && !s.samples.count(h) && !s.voices.count(h) && !s.streams.count(h))
            return h;
    }
}

void Gains(float volume, float pan, float* left, float* right)
{
    *left = volume * (pan > 0.0f ? 1.0f - pan : 1.0f);
    *right = volume * (pan < 0.0f ? 1.0f + pan : 1.0f);
}

// The voice behind a handle that still plays for the caller; null for a
// finished, stopped, replaced or unknown one. Callers hold the lock.
Voice* LiveVoice(State& s, Handle voice)
{
    auto it = s.voices.find(voice);
    if (it == s.voices.end() || it->second.releasing || it->second.finished)
        return nullptr;
    return &it->second;
}

void DropVoice(State& s, Handle voice)
{
    auto it = s.voices.find(voice);
    if (it == s.voices.end())
        return;
    auto sample = s.samples.find(it->second.sample);
    if (sample != s.samples.end()) {
        auto& list = sample->second->voices;
        list.erase(std::remove(list.begin(), list.end(), voice), list.end());
    }
    s.voices.erase(it);
}

// Stops a voice for the caller at once and lets the mixer fade it out.
void ReleaseVoice(State& s, Handle voice)
{
    Voice* v = LiveVoice(s, voice);
    if (!v)
        return;
    v->releasing = true;
    auto sample = s.samples.find(v->sample);
    if (sample != s.samples.end()) {
        auto& list = sample->second->voices;
        list.erase(std::remove(list.begin(), list.end(), voice), list.end());
    }
    if (s.outputPaused)
        v->finished = true; // no pass comes to fade it out
}

// Erases the voices the mixer has finished with. Callers hold the lock.
void ReapVoices(State& s)
{
    for (auto it = s.voices.begin(); it != s.voices.end();) {
        const Handle h = it->first;
        const bool finished = it->second.finished;
        ++it;
        if (finished)
            DropVoice(s, h);
    }
}

// The gains of a pass: from where the last pass ended to the target, one
// step per frame. A channel's first pass starts at the target, as its data
// does.
struct GainRamp {
    float left, right, stepLeft, stepRight;
};

GainRamp StartRamp(float* gainLeft, float* gainRight, bool* mixed, float targetLeft, float targetRight, int frames)
{
    if (!*mixed) {
        *gainLeft = targetLeft;
        *gainRight = targetRight;
        *mixed = true;
    }
    GainRamp ramp{*gainLeft, *gainRight, (targetLeft - *gainLeft) / static_cast<float>(frames),
                  (targetRight - *gainRight) / static_cast<float>(frames)};
    *gainLeft = targetLeft;
    *gainRight = targetRight;
    return ramp;
}

// Mixes one voice into `out` and marks it finished at its end.
void MixVoice(State& s, Voice& v, float* out, int frames)
{
    const Sample& sample = *s.samples.at(v.sample);
    float targetLeft = 0.0f, targetRight = 0.0f;
    if (!v.releasing)
        Gains(v.volume, v.pan, &targetLeft, &targetRight);
    const GainRamp ramp = StartRamp(&v.gainLeft, &v.gainRight, &v.mixed, targetLeft, targetRight, frames);
    if (v.releasing || (sample.frames == 0 && !v.loop))
        v.finished = true;
    if (sample.frames == 0)
        return;
    const double step = static_cast<double>(v.rate) / s.deviceRate;
    const uint32_t ch = sample.channels;
    const float* pcm = sample.pcm.data();
    for (int f = 0; f < frames; ++f) {
        if (v.position >= sample.frames) {
            if (!v.loop) {
                v.finished = true;
                return;
            }
            v.position = std::fmod(v.position, static_cast<double>(sample.frames));
        }
        const uint32_t i = static_cast<uint32_t>(v.position);
        const float frac = static_cast<float>(v.position - i);
        uint32_t j = i + 1;
        if (j >= sample.frames)
            j = v.loop ? 0 : i;
        const float l0 = pcm[i * ch], l1 = pcm[j * ch];
        const float left = l0 + (l1 - l0) * frac;
        float right = left;
        if (ch == 2) {
            const float r0 = pcm[i * ch + 1], r1 = pcm[j * ch + 1];
            right = r0 + (r1 - r0) * frac;
        }
        const float n = static_cast<float>(f + 1);
        out[2 * f] += left * (ramp.left + ramp.stepLeft * n);
        out[2 * f + 1] += right * (ramp.right + ramp.stepRight * n);
        v.position += step;
    }
    if (v.position >= sample.frames && !v.loop)
        v.finished = true;
}

// Decodes enough of a playing stream to give `frames` device frames and
// mixes them in; the stream stops at its end unless it loops.
void MixStream(State& s, Stream& st, float* out, int frames)
{
    const int bytesPerFrame = static_cast<int>(st.channels * sizeof(float));
    const int wanted = frames * bytesPerFrame;
    bool emptyPass = false; // a loop that yields nothing must not spin forever
    while (!st.ended && SDL_AudioStreamAvailable(st.converter) < wanted) {
        float** planes = nullptr;
        int section = 0;
        const long got = ov_read_float(&st.file, &planes, 1024, &section);
        if (got > 0) {
            emptyPass = false;
            if (s.scratch.size() < static_cast<size_t>(got) * st.channels)
                s.scratch.resize(static_cast<size_t>(got) * st.channels);
            for (long n = 0; n < got; ++n)
                for (uint32_t c = 0; c < st.channels; ++c)
                    s.scratch[n * st.channels + c] = planes[c][n];
            SDL_AudioStreamPut(st.converter, s.scratch.data(), static_cast<int>(got * bytesPerFrame));
        } else if (got == OV_HOLE) {
            continue;
        } else if (got == 0 && st.loop && !emptyPass && ov_pcm_seek(&st.file, 0) == 0) {
            emptyPass = true;
        } else {
            SDL_AudioStreamFlush(st.converter);
            st.ended = true;
        }
    }
    if (s.scratch.size() < static_cast<size_t>(frames) * st.channels)
        s.scratch.resize(static_cast<size_t>(frames) * st.channels);
    const int bytes = SDL_AudioStreamGet(st.converter, s.scratch.data(), wanted);
    const int have = bytes > 0 ? bytes / bytesPerFrame : 0;
    float targetLeft = 0.0f, targetRight = 0.0f;
    if (!st.stopping)
        Gains(st.volume, st.pan, &targetLeft, &targetRight);
    const GainRamp ramp = StartRamp(&st.gainLeft, &st.gainRight, &st.mixed, targetLeft, targetRight, frames);
    for (int f = 0; f < have; ++f) {
        const float left = s.scratch[f * st.channels];
        const float right = st.channels >= 2 ? s.scratch[f * st.channels + 1] : left;
        const float n = static_cast<float>(f + 1);
        out[2 * f] += left * (ramp.left + ramp.stepLeft * n);
        out[2 * f + 1] += right * (ramp.right + ramp.stepRight * n);
    }
    if (st.stopping || (st.ended && SDL_AudioStreamAvailable(st.converter) == 0)) {
        st.playing = false;
        st.stopping = false;
    }
}

// One pass of the mixer: `frames` frames of every sounding voice and playing
// stream into `out`, interleaved stereo. Callers hold the lock.
void MixPass(State& s, float* out, int frames)
{
    const size_t values = static_cast<size_t>(frames) * 2;
    if (s.mix.size() < values)
        s.mix.resize(values); // only when the device hands a larger buffer than it announced
    std::fill_n(s.mix.begin(), values, 0.0f);
    for (auto& entry : s.voices)
        if (!entry.second.finished)
            MixVoice(s, entry.second, s.mix.data(), frames);
    for (auto& entry : s.streams) {
        Stream& st = *entry.second;
        if (st.playing && !st.decodeOnly)
            MixStream(s, st, s.mix.data(), frames);
    }
    for (size_t i = 0; i < values; ++i)
        out[i] = std::clamp(s.mix[i], -1.0f, 1.0f);
}

void SDLCALL Callback(void*, Uint8* stream, int length)
{
    State& s = S();
    const int frames = length / static_cast<int>(2 * sizeof(float));
    if (frames <= 0)
        return;
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.heldForTests) {
        std::fill_n(reinterpret_cast<float*>(stream), static_cast<size_t>(frames) * 2, 0.0f);
        return;
    }
    MixPass(s, reinterpret_cast<float*>(stream), frames);
}

size_t ReadCallback(void* data, size_t size, size_t count, void* source)
{
    MemoryFile& file = *static_cast<MemoryFile*>(source);
    if (size == 0)
        return 0;
    const size_t items = std::min(count, (file.bytes.size() - file.position) / size);
    if (items == 0)
        return 0; // an empty file has no bytes to copy from at all
    std::memcpy(data, file.bytes.data() + file.position, items * size);
    file.position += items * size;
    return items;
}
int SeekCallback(void* source, ogg_int64_t offset, int whence)
{
    MemoryFile& file = *static_cast<MemoryFile*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(file.position);
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(file.bytes.size());
    else if (whence != SEEK_SET)
        return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(file.bytes.size()))
        return -1;
    file.position = static_cast<size_t>(target);
    return 0;
}
int CloseCallback(void*) { return 0; }
long TellCallback(void* source) { return static_cast<long>(static_cast<MemoryFile*>(source)->position); }

int Volume(int value) { return std::clamp(value, 0, 100); }
int Pan(int value) { return std::clamp(value, -100, 100); }

} // namespace

int Init(int, uint32_t freq, uint32_t, void*, const void*)
{
    State& s = S();
    if (s.device) {
        s.error = "already open";
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        s.error = SDL_GetError();
        std::fprintf(stderr, "No audio output: %s\n", s.error.c_str());
        return 0;
    }
    SDL_AudioSpec want{};
    want.freq = freq ? static_cast<int>(freq) : 44100;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Callback;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        s.error = SDL_GetError();
        std::fprintf(stderr, "No audio output: %s\n", s.error.c_str());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.deviceRate = have.freq;
        s.device = device;
        s.outputPaused = false;
        s.heldForTests = false;
        const size_t values = static_cast<size_t>(std::max<int>(have.samples, 4096)) * 2;
        s.mix.assign(values, 0.0f);
        s.scratch.assign(values, 0.0f);
    }
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

int Free()
{
    State& s = S();
    if (!s.device)
        return 0;
    SDL_CloseAudioDevice(s.device); // waits for the callback thread to end
    {
        // Freed outside the lock, and before the audio subsystem goes: a
        // stream's rate converter belongs to it.
        std::map<Handle, std::unique_ptr<Sample>> samples;
        std::map<Handle, std::unique_ptr<Stream>> streams;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            s.device = 0;
            s.voices.clear();
            samples.swap(s.samples);
            streams.swap(s.streams);
        }
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 1;
}

int Pause()
{
    State& s = S();
    if (!s.device)
        return 0;
    SDL_PauseAudioDevice(s.device, 1);
    std::lock_guard<std::mutex> guard(s.lock);
    s.outputPaused = true;
    return 1;
}

int Start()
{
    State& s = S();
    if (!s.device)
        return 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.outputPaused = false;
    }
    SDL_PauseAudioDevice(s.device, 0);
    return 1;
}

const char* LastError() { return S().error.c_str(); }

Handle SampleLoad(int mem, const char* file, uint32_t offset, uint32_t length, uint32_t max, uint32_t flags)
{
    State& s = S();
    if (!s.device || mem || offset || length || max == 0 || !file)
        return 0;
    SDL_AudioSpec wavFormat{};
    Uint8* data = nullptr;
    Uint32 bytes = 0;
    std::vector<uint8_t> wav;
    if (!ReadWholeFile(file, &wav, kSoundFileLimit)) {
        s.error = std::string("cannot read ") + file;
        return 0;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(wav.data(), static_cast<int>(wav.size()));
    if (!rw || !SDL_LoadWAV_RW(rw, 1, &wavFormat, &data, &bytes)) {
        s.error = SDL_GetError();
        return 0;
    }
    auto sample = std::make_unique<Sample>();
    if (wavFormat.channels < 1 || wavFormat.channels > 2 || wavFormat.freq <= 0) {
        SDL_FreeWAV(data);
        return 0;
    }
    sample->channels = wavFormat.channels;
    sample->rate = static_cast<uint32_t>(wavFormat.freq);
    sample->origBits = SDL_AUDIO_BITSIZE(wavFormat.format);
    sample->originalBytes = bytes;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wavFormat.format, wavFormat.channels, wavFormat.freq, AUDIO_F32SYS,
                          wavFormat.channels, wavFormat.freq) < 0) {
        SDL_FreeWAV(data);
        return 0;
    }
    std::vector<Uint8> work(static_cast<size_t>(bytes) * static_cast<size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(work.data(), data, bytes);
    SDL_FreeWAV(data);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(bytes);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
        return 0;
    const size_t floats = static_cast<size_t>(cvt.needed ? cvt.len_cvt : cvt.len) / sizeof(float);
    sample->frames = static_cast<uint32_t>(floats / sample->channels);
    sample->pcm.resize(static_cast<size_t>(sample->frames) * sample->channels);
    std::memcpy(sample->pcm.data(), work.data(), sample->pcm.size() * sizeof(float));

    SampleInfo& d = sample->defaults;
    d.freq = sample->rate;
    d.volume = 100;
    d.pan = 0;
    d.flags = flags & (SAMPLE_LOOP | SAMPLE_OVER_POS);
    if (sample->origBits == 8)
        d.flags |= SAMPLE_8BITS;
    d.length = bytes;
    d.max = max;
    d.origres = sample->origBits;
    d.chans = sample->channels;

    std::lock_guard<std::mutex> guard(s.lock);
    const Handle h = NewHandle(s);
    s.samples[h] = std::move(sample);
    return h;
}

int SampleGetInfo(Handle sample, SampleInfo* info)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.samples.find(sample);
    if (it == s.samples.end() || !info)
        return 0;
    *info = it->second->defaults;
    return 1;
}

int SampleSetInfo(Handle sample, const SampleInfo* info)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.samples.find(sample);
    if (it == s.samples.end() || !info)
        return 0;
    SampleInfo& d = it->second->defaults;
    if (info->freq)
        d.freq = info->freq;
    d.volume = static_cast<uint32_t>(Volume(static_cast<int>(std::min<uint32_t>(info->volume, 100))));
    d.pan = Pan(info->pan);
    const uint32_t settable = SAMPLE_LOOP | SAMPLE_OVER_POS;
    d.flags = (d.flags & ~settable) | (info->flags & settable);
    if (info->max)
        d.max = info->max;
    return 1;
}

Handle SamplePlay(Handle sample) { return SamplePlayEx(sample, 0, -1, -1, -101, -1); }

Handle SamplePlayEx(Handle sample, uint32_t start, int freq, int volume, int pan, int loop)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.samples.find(sample);
    if (it == s.samples.end() || !s.device)
        return 0;
    ReapVoices(s);
    Sample& data = *it->second;
    const SampleInfo& d = data.defaults;
    if (data.voices.size() >= d.max && !(d.flags & SAMPLE_OVER_POS))
        return 0;
    while (!data.voices.empty() && data.voices.size() >= d.max)
        ReleaseVoice(s, data.voices.front());
    Voice v;
    v.sample = sample;
    v.position = std::min(start, data.frames);
    v.rate = freq < 0 ? d.freq : freq == 0 ? data.rate : static_cast<uint32_t>(freq);
    v.volume = static_cast<float>(volume < 0 ? static_cast<int>(d.volume) : Volume(volume)) / 100.0f;
    v.pan = static_cast<float>(pan == -101 ? d.pan : Pan(pan)) / 100.0f;
    v.loop = loop < 0 ? (d.flags & SAMPLE_LOOP) != 0 : loop != 0;
    const Handle h = NewHandle(s);
    s.voices[h] = v;
    data.voices.push_back(h);
    return h;
}

int ChannelSetAttributes(Handle channel, int freq, int volume, int pan)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    if (Voice* v = LiveVoice(s, channel)) {
        Voice& voice = *v;
        if (freq >= 0)
            voice.rate = freq == 0 ? s.samples.at(voice.sample)->rate : static_cast<uint32_t>(freq);
        if (volume >= 0)
            voice.volume = static_cast<float>(Volume(volume)) / 100.0f;
        if (pan != -101)
            voice.pan = static_cast<float>(Pan(pan)) / 100.0f;
        return 1;
    }
    if (auto st = s.streams.find(channel); st != s.streams.end()) {
        Stream& stream = *st->second;
        if (freq >= 0 && stream.converter) {
            const uint32_t rate = freq == 0 ? stream.rate : static_cast<uint32_t>(freq);
            if (rate != stream.playRate) {
                // The decoded data already queued keeps its old rate; what
                // follows takes the new one.
                SDL_AudioStream* next =
                    SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(stream.channels), static_cast<int>(rate),
                                       AUDIO_F32SYS, static_cast<Uint8>(stream.channels), s.deviceRate);
                if (next) {
                    SDL_FreeAudioStream(stream.converter);
                    stream.converter = next;
                    stream.playRate = rate;
                }
            }
        }
        if (volume >= 0)
            stream.volume = static_cast<float>(Volume(volume)) / 100.0f;
        if (pan != -101)
            stream.pan = static_cast<float>(Pan(pan)) / 100.0f;
        return 1;
    }
    return 0;
}

int ChannelStop(Handle channel)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    if (LiveVoice(s, channel)) {
        ReleaseVoice(s, channel);
        return 1;
    }
    if (auto st = s.streams.find(channel); st != s.streams.end()) {
        Stream& stream = *st->second;
        if (stream.playing && !s.outputPaused)
            stream.stopping = true; // the mixer fades it out, then it stops
        else
            stream.playing = false;
        return 1;
    }
    return 0;
}

int ChannelGetInfo(Handle channel, ChannelInfo* info)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!info)
        return 0;
    if (const Voice* v = LiveVoice(s, channel)) {
        const Sample& sample = *s.samples.at(v->sample);
        info->freq = v->rate;
        info->chans = sample.channels;
        info->flags = sample.defaults.flags;
        info->origres = sample.origBits;
        return 1;
    }
    if (auto st = s.streams.find(channel); st != s.streams.end()) {
        const Stream& stream = *st->second;
        info->freq = stream.rate;
        info->chans = stream.channels;
        info->flags = (stream.loop ? SAMPLE_LOOP : 0) | (stream.decodeOnly ? STREAM_DECODE : 0);
        info->origres = 16;
        return 1;
    }
    return 0;
}

int32_t ChannelGetData(Handle channel, void* buffer, uint32_t length)
{
    State& s = S();
    Stream* found = nullptr;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        auto st = s.streams.find(channel);
        if (st == s.streams.end() || !st->second->decodeOnly || !buffer)
            return -1;
        found = st->second.get();
    }
    // The mixer never touches a decode-only stream and only the game thread
    // frees streams, so the decoding needs no lock.
    Stream& stream = *found;
    const uint32_t frameBytes = 2 * stream.channels;
    length -= length % frameBytes;
    char* out = static_cast<char*>(buffer);
    uint32_t done = 0;
    while (done < length && !stream.ended) {
        int section = 0;
        const long got = ov_read(&stream.file, out + done, static_cast<int>(length - done), 0, 2, 1, &section);
        if (got > 0)
            done += static_cast<uint32_t>(got);
        else if (got == OV_HOLE)
            continue;
        else {
            stream.ended = true;
            if (got < 0 && done == 0)
                return -1;
        }
    }
    return static_cast<int32_t>(done);
}

int ChannelIsActive(Handle channel)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    if (LiveVoice(s, channel))
        return ACTIVE_PLAYING;
    if (auto st = s.streams.find(channel); st != s.streams.end()) {
        const Stream& stream = *st->second;
        const bool active = stream.decodeOnly ? !stream.ended : stream.playing && !stream.stopping;
        return active ? ACTIVE_PLAYING : ACTIVE_STOPPED;
    }
    return ACTIVE_STOPPED;
}

Handle StreamCreateFile(int mem, const char* file, uint32_t offset, uint32_t length, uint32_t flags)
{
    State& s = S();
    const bool decodeOnly = (flags & STREAM_DECODE) != 0;
    if (mem || offset || length || !file || (!decodeOnly && !s.device))
        return 0;
    auto stream = std::make_unique<Stream>();
    if (!ReadWholeFile(file, &stream->source.bytes, kSoundFileLimit))
        return 0;
    const ov_callbacks callbacks{ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(&stream->source, &stream->file, nullptr, 0, callbacks) != 0) {
        std::memset(&stream->file, 0, sizeof stream->file);
        return 0;
    }
    const vorbis_info* vi = ov_info(&stream->file, -1);
    if (!vi || vi->channels < 1 || vi->channels > 2 || vi->rate <= 0)
        return 0;
    stream->channels = static_cast<uint32_t>(vi->channels);
    stream->rate = static_cast<uint32_t>(vi->rate);
    stream->playRate = stream->rate;
    stream->decodeOnly = decodeOnly;
    stream->loop = (flags & SAMPLE_LOOP) != 0;

    if (!decodeOnly) {
        int deviceRate = 0;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            deviceRate = s.deviceRate;
        }
        stream->converter =
            SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(stream->channels), static_cast<int>(stream->rate),
                               AUDIO_F32SYS, static_cast<Uint8>(stream->channels), deviceRate);
        if (!stream->converter)
            return 0;
    }
    std::lock_guard<std::mutex> guard(s.lock);
    const Handle h = NewHandle(s);
    s.streams[h] = std::move(stream);
    return h;
}

int StreamPlay(Handle stream, int restart, uint32_t flags)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    auto st = s.streams.find(stream);
    if (st == s.streams.end() || st->second->decodeOnly || !s.device)
        return 0;
    Stream& data = *st->second;
    if (restart || data.ended) {
        if (ov_pcm_seek(&data.file, 0) != 0)
            return 0;
        SDL_AudioStreamClear(data.converter);
        data.ended = false;
        data.mixed = false; // the data starts afresh: no glide from the old gains
    }
    data.loop = (flags & SAMPLE_LOOP) != 0;
    data.playing = true;
    data.stopping = false;
    return 1;
}

int StreamFree(Handle stream)
{
    State& s = S();
    std::unique_ptr<Stream> freed; // destroyed after the lock is let go
    {
        std::lock_guard<std::mutex> guard(s.lock);
        auto it = s.streams.find(stream);
        if (it == s.streams.end())
            return 0;
        freed = std::move(it->second);
        s.streams.erase(it);
    }
    return 1;
}

int VoiceCountForTests(Handle sample)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    ReapVoices(s);
    auto it = s.samples.find(sample);
    return it == s.samples.end() ? -1 : static_cast<int>(it->second->voices.size());
}

int StreamCountForTests()
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    return static_cast<int>(s.streams.size());
}

int HoldMixerForTests()
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.device)
        return 0;
    s.heldForTests = true;
    return 1;
}

int MixForTests(float* out, int frames)
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.device || !s.heldForTests || !out || frames <= 0)
        return 0;
    MixPass(s, out, frames);
    return 1;
}

int DeviceRateForTests()
{
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.deviceRate;
}

} // namespace plat::snd
