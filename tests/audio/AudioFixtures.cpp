#include "AudioFixtures.h"

#include "TestSupport.h"
#include "engine/Log.h"
#include "ogg_out.h"
#include "platform/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace audio_fixtures {

namespace {
void Put32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void Put16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}
} // namespace

void WriteWav(const std::string& path, int channels, int rate, int bits, const std::vector<int>& values)
{
    const uint32_t bytesPer = static_cast<uint32_t>(bits / 8);
    const uint32_t dataSize = static_cast<uint32_t>(values.size()) * bytesPer;
    std::vector<unsigned char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + dataSize);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate) * static_cast<uint32_t>(channels) * bytesPer);
    Put16(out, static_cast<uint32_t>(channels) * bytesPer);
    Put16(out, static_cast<uint32_t>(bits));
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataSize);
    for (int v : values) {
        if (bits == 8)
            out.push_back(static_cast<unsigned char>(v));
        else
            Put16(out, static_cast<uint32_t>(v) & 0xffff);
    }
    testing_support::WriteBytes(path, out);
}

void WriteQuietWav(const std::string& path, int rate, int frames)
{
    WriteWav(path, 1, rate, 16, std::vector<int>(static_cast<size_t>(frames), 300));
}

void WriteOggFile(const std::string& path, const std::vector<float>& interleaved, int channels, int rate)
{
    const std::string error = sfx::WriteOgg(
        path, interleaved.data(), interleaved.size() / static_cast<size_t>(channels), channels, rate, 0.4f, 1234);
    if (!error.empty())
        throw std::runtime_error(error);
}

std::vector<float> Sine(int channels, int rate, double seconds, double hz, float amplitude)
{
    const size_t frames = static_cast<size_t>(std::lround(seconds * rate));
    std::vector<float> out;
    out.reserve(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const float v = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
        for (int c = 0; c < channels; ++c)
            out.push_back(v);
    }
    return out;
}

AudioDevice::AudioDevice(Mixer mixer)
{
    m_open = plat::snd::Init(1, 44100, 0, nullptr, nullptr) != 0;
    if (m_open && mixer == Mixer::Held)
        m_open = plat::snd::HoldMixerForTests() != 0;
}

std::vector<float> AudioDevice::Mix(int frames) const
{
    std::vector<float> out(static_cast<size_t>(std::max(frames, 0)) * 2);
    for (int done = 0; done < frames; done += kPassFrames) {
        const int pass = std::min(kPassFrames, frames - done);
        if (!plat::snd::MixForTests(out.data() + 2 * static_cast<size_t>(done), pass))
            throw std::runtime_error("the mixer is not held");
    }
    return out;
}

AudioDevice::~AudioDevice()
{
    if (m_open)
        plat::snd::Free();
}

uint32_t Le32(const std::vector<unsigned char>& bytes, size_t at)
{
    return static_cast<uint32_t>(bytes.at(at)) | static_cast<uint32_t>(bytes.at(at + 1)) << 8 |
           static_cast<uint32_t>(bytes.at(at + 2)) << 16 | static_cast<uint32_t>(bytes.at(at + 3)) << 24;
}

uint16_t Le16(const std::vector<unsigned char>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

} // namespace audio_fixtures
