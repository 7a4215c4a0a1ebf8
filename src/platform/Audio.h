// The audio output of the game: samples decoded into memory and played on
// voices, OGG Vorbis files streamed (looped music, or decoded on demand for
// the first-run conversion), all mixed by our own float mixer on the audio
// device's callback thread.
//
// Every object is named by a non-zero 32-bit handle; 0 means failure. Handles
// come from one counter shared by samples, voices and streams, so a handle is
// not reused until four billion others have been given out: a call with the
// handle of a voice that has finished, or of anything freed, simply fails and
// does nothing. Volumes are 0..100, pans -100 (left) .. 100 (right).
#pragma once

#include <cstdint>

namespace plat::snd {

using Handle = uint32_t;

// Sample flags.
constexpr uint32_t SAMPLE_8BITS = 0x1;        // in information records: 8-bit data
constexpr uint32_t SAMPLE_LOOP = 0x4;         // loops by default (samples) / loops (streams)
constexpr uint32_t SAMPLE_OVER_POS = 0x20000; // all voices busy: replace the one that has played longest
// Stream flag: only decoded through ChannelGetData, never played.
constexpr uint32_t STREAM_DECODE = 0x200000;

// ChannelIsActive results.
constexpr int ACTIVE_STOPPED = 0;
constexpr int ACTIVE_PLAYING = 1;

struct SampleInfo {
    uint32_t freq = 0;   // default playback rate in Hz
    uint32_t volume = 0; // default volume 0..100
    int32_t pan = 0;     // default pan -100..100
    uint32_t flags = 0;
    uint32_t length = 0;  // bytes of the original data
    uint32_t max = 0;     // simultaneous voices
    uint32_t origres = 0; // bits per sample of the file
    uint32_t chans = 0;
};

struct ChannelInfo {
    uint32_t freq = 0;
    uint32_t chans = 0;
    uint32_t flags = 0; // SAMPLE_8BITS set when the delivered data is 8-bit
    uint32_t origres = 0;
};

// Opens the default output device (stereo, `freq` Hz or what the device
// offers) and starts output. 1 on success; 0 when already open or when no
// device can be opened (LastError says why). `device`, `flags`, `window` and
// `clsid` are accepted for the callers' sake and not needed here.
int Init(int device, uint32_t freq, uint32_t flags, void* window, const void* clsid);
// Closes the device and frees every sample, voice and stream. 0 when not open.
int Free();
// Stops and resumes all output together.
int Pause();
int Start();
const char* LastError();

// Loads a WAV file (8- or 16-bit PCM, mono or stereo, any rate; other
// encodings the file reader understands are converted too). `max` voices may
// play it at once. Needs an open device. `mem`, `offset` and `length` must be
// 0 (files only).
Handle SampleLoad(int mem, const char* file, uint32_t offset, uint32_t length, uint32_t max, uint32_t flags);
int SampleGetInfo(Handle sample, SampleInfo* info);
// Takes freq (0 keeps it), volume, pan, the SAMPLE_LOOP and SAMPLE_OVER_POS
// flags and max (0 keeps it).
int SampleSetInfo(Handle sample, const SampleInfo* info);
// Plays the sample from its start with its defaults; returns the voice.
Handle SamplePlay(Handle sample);
// `start` in frames; freq -1 = the sample's default, 0 = its own rate;
// volume -1 = default; pan -101 = default; loop -1 = the sample's loop flag.
Handle SamplePlayEx(Handle sample, uint32_t start, int freq, int volume, int pan, int loop);

// A voice or a stream: freq -1 keeps, 0 = the data's own rate; volume -1
// keeps; pan -101 keeps.
int ChannelSetAttributes(Handle channel, int freq, int volume, int pan);
// A voice ends (its handle goes stale); a stream stops and stays open. Both
// fade out over one mixer pass rather than cut off mid-waveform.
int ChannelStop(Handle channel);
int ChannelGetInfo(Handle channel, ChannelInfo* info);
// Decode streams: fills `buffer` with up to `length` bytes of 16-bit signed
// little-endian interleaved PCM; returns the bytes delivered (0 at the end),
// -1 on error.
int32_t ChannelGetData(Handle channel, void* buffer, uint32_t length);
// ACTIVE_PLAYING while a voice sounds, a stream plays, or a decode stream has
// data left; else ACTIVE_STOPPED.
int ChannelIsActive(Handle channel);

// Opens an OGG Vorbis file. Without STREAM_DECODE the device must be open;
// SAMPLE_LOOP makes it loop.
Handle StreamCreateFile(int mem, const char* file, uint32_t offset, uint32_t length, uint32_t flags);
// Starts (or continues) playing; `restart` non-zero goes back to the start.
// SAMPLE_LOOP in `flags` makes it loop.
int StreamPlay(Handle stream, int restart, uint32_t flags);
int StreamFree(Handle stream);

// Test hooks.
int VoiceCountForTests(Handle sample);
int StreamCountForTests();
int DeviceRateForTests();
// Holds the mixer still for a test: from this call until Free() the device
// plays silence and nothing sounds on by itself; MixForTests mixes the next
// `frames` frames (interleaved stereo, into `out`) on the caller's thread,
// exactly as one pass of the device would. A test then knows how far every
// voice has played however slowly it runs. Both 0 without an open device,
// MixForTests also while the mixer is not held.
int HoldMixerForTests();
int MixForTests(float* out, int frames);

} // namespace plat::snd
