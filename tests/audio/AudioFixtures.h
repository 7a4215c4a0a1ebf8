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
// dummy driver).
class AudioDevice {
public:
    AudioDevice();
    ~AudioDevice();
    bool Open() const { return m_open; }

private:
    bool m_open = false;
};

uint32_t Le32(const std::vector<unsigned char>& bytes, size_t at);
uint16_t Le16(const std::vector<unsigned char>& bytes, size_t at);

} // namespace audio_fixtures
