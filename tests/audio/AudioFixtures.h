// Small sound files and helpers the audio tests build on.
#pragma once

#include "TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace audio_fixtures {

// A PCM WAV file: `frames` interleaved values per channel, 8-bit (0..255) or
// 16-bit (signed) as `bits` says.
void WriteWav(const std::string& path, int channels, int rate, int bits, const std::vector<int>& values);
// A WAV of `frames` frames of a quiet constant, mono 16-bit at `rate`.
void WriteQuietWav(const std::string& path, int rate, int frames);
// An OGG Vorbis file of interleaved floats.
void WriteOggFile(const std::string& path, const std::vector<float>& interleaved, int channels, int rate);
// A sine of `seconds` at `rate`, `channels` channels (the same in each).
std::vector<float> Sine(int channels, int rate, double seconds, double hz, float amplitude);

using testing_support::LogCapture;

// Opens the audio output for the test's lifetime (the test main picks the
// dummy driver). Held, the mixer stands still until the test mixes frames
// itself (Mix): what a test asks of its voices then does not hang on how
// long it took to ask while the device's thread played on.
class AudioDevice {
public:
    enum class Mixer { Running, Held };
    explicit AudioDevice(Mixer mixer = Mixer::Running);
    ~AudioDevice();
    bool Open() const { return m_open; }
    // The next `frames` frames of the held mixer, interleaved stereo, mixed
    // in passes of the device's length.
    std::vector<float> Mix(int frames) const;

private:
    bool m_open = false;
};

// The frames of one pass of the device, as the mixer is opened.
constexpr int kPassFrames = 1024;

uint32_t Le32(const std::vector<unsigned char>& bytes, size_t at);
uint16_t Le16(const std::vector<unsigned char>& bytes, size_t at);

} // namespace audio_fixtures
